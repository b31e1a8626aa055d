#include "tools/audkit-server/commands/server_commands.hpp"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <pthread.h>
#include <signal.h>
#include <thread>

#include "tools/audkit-server/auth/secrets.hpp"
#include "tools/audkit-server/http/api_server.hpp"
#include "tools/audkit-server/store/accounts.hpp"
#include "tools/audkit-server/store/schema.hpp"
#include "tools/audkit/scan/terminal_input.hpp"

namespace audkit::server {
namespace {

// Opens the database with its schema ready, runs `work`, and turns any error
// into the one line of the exit status 1.
template <class Work>
int withDatabase(const std::string& place, std::ostream& err, Work work) {
    try {
        const auto database = openDatabase(place);
        prepareSchema(*database);
        return work(*database);
    } catch (const std::exception& error) {
        err << "audkit-server: " << error.what() << "\n";
        return 1;
    }
}

// The database's place as it may be shown: a PostgreSQL address without the
// user and password it may carry.
std::string shown(const std::string& place) {
    if (!place.starts_with("postgres")) return place;
    const auto scheme = place.find("://");
    const auto at = place.find('@');
    if (scheme == std::string::npos || at == std::string::npos || at < scheme) return place;
    return place.substr(0, scheme + 3) + place.substr(at + 1);
}

// "HOST:PORT" (the host may be a bracketed IPv6 address).
std::pair<std::string, int> hostAndPort(const std::string& listen) {
    const auto colon = listen.rfind(':');
    if (colon == std::string::npos || colon == 0) throw Error("--listen wants HOST:PORT, not " + listen);
    auto host = listen.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    int port = -1;
    try {
        std::size_t used = 0;
        port = std::stoi(listen.substr(colon + 1), &used);
        if (used != listen.size() - colon - 1) port = -1;
    } catch (const std::exception&) {}
    if (port < 0 || port > 65535) throw Error("--listen wants a port from 0 to 65535, not " + listen.substr(colon + 1));
    return {host, port};
}

}  // namespace

int runInit(const std::string& database, std::ostream& out, std::ostream& err) {
    return withDatabase(database, err, [&](Database&) {
        out << "audkit-server: the database " << shown(database) << " is ready\n";
        return 0;
    });
}

int runUserAdd(const std::string& database, const std::string& email, const std::string& organisation,
               std::ostream& out, std::ostream& err) {
    return withDatabase(database, err, [&](Database& db) {
        if (email.empty() || email.size() > 320) throw Error("a user needs an e-mail address (at most 320 bytes)");
        if (organisation.empty()) throw Error("a user needs an organisation (--organisation NAME)");
        const char* given = std::getenv("AUDKIT_SERVER_PASSWORD");
        const std::string password =
            given && *given ? given
                            : cli::readSecret("Password for " + email + ": ",
                                              "no password: set AUDKIT_SERVER_PASSWORD or give it on standard input");
        if (password.size() < 8) throw Error("a password has at least 8 characters");
        const auto user = Accounts(db).addUser(email, organisation, hashPassword(password));
        out << "audkit-server: added " << email << " to " << organisation << " (user " << user.id << ")\n";
        return 0;
    });
}

int runUserRemove(const std::string& database, const std::string& email, std::ostream& out, std::ostream& err) {
    return withDatabase(database, err, [&](Database& db) {
        if (!Accounts(db).removeUser(email)) throw Error("there is no user " + email);
        out << "audkit-server: removed " << email << " and their keys; their results stay with the organisation\n";
        return 0;
    });
}

int runKeyCreate(const std::string& database, const std::string& email, std::ostream& out, std::ostream& err) {
    return withDatabase(database, err, [&](Database& db) {
        Accounts accounts(db);
        const auto user = accounts.userByEmail(email);
        if (!user) throw Error("there is no user " + email);
        const auto key = newApiKey();
        accounts.addKey(key.id, user->id, secretHash(key.secret));
        out << key.text() << "\n";
        return 0;
    });
}

int runKeyRevoke(const std::string& database, const std::string& keyId, std::ostream& out, std::ostream& err) {
    return withDatabase(database, err, [&](Database& db) {
        // The id, or the whole key pasted.
        const auto parsed = parseApiKey(keyId);
        const auto id = parsed ? parsed->id : keyId;
        if (!Accounts(db).revokeKey(id)) throw Error("there is no key " + id + " that is not revoked already");
        out << "audkit-server: revoked the key " << id << "\n";
        return 0;
    });
}

int runKeyList(const std::string& database, std::ostream& out, std::ostream& err) {
    return withDatabase(database, err, [&](Database& db) {
        for (const auto& key : Accounts(db).keys())
            out << key.id << "  " << key.userEmail << (key.revoked ? "  revoked" : "") << "\n";
        return 0;
    });
}

int runBackup(const std::string& database, const std::string& target, std::ostream& out, std::ostream& err) {
    return withDatabase(database, err, [&](Database& db) {
        std::error_code error;
        if (std::filesystem::exists(target, error)) throw Error("the backup " + target + " exists already");
        db.backup(target);
        out << "audkit-server: backed up " << database << " to " << target << "\n";
        return 0;
    });
}

int runServe(const std::string& database, const std::string& listen, const ServerOptions& options, std::ostream& out,
             std::ostream& err) {
    return withDatabase(database, err, [&](Database& db) {
        const auto [host, port] = hostAndPort(listen);
        StructuredLog log(err);
        ApiServer server(db, options, log);
        const int bound = server.bind(host, port);
        // The signals are taken by one thread, which stops the server; the
        // others (the server's workers) never see them.
        sigset_t stopping;
        sigemptyset(&stopping);
        sigaddset(&stopping, SIGINT);
        sigaddset(&stopping, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &stopping, nullptr);
        std::atomic<bool> done = false;
        std::thread watcher([&] {
            const timespec aWhile{0, 200'000'000};
            while (!done) {
                const int signal = sigtimedwait(&stopping, nullptr, &aWhile);
                if (signal < 0) continue;
                log.write("info", "stopping", {{"signal", signal == SIGINT ? "SIGINT" : "SIGTERM"}});
                server.stop();
                return;
            }
        });
        const auto scheme = options.certificate.empty() ? "http" : "https";
        log.write("info", "listening",
                  {{"address", std::string(scheme) + "://" + host + ":" + std::to_string(bound)},
                   {"database", shown(database)}});
        out << "audkit-server: listening on " << scheme << "://" << host << ":" << bound << "\n" << std::flush;
        const bool served = server.run();
        done = true;
        watcher.join();
        pthread_sigmask(SIG_UNBLOCK, &stopping, nullptr);
        log.write("info", "stopped");
        return served ? 0 : 1;
    });
}

}  // namespace audkit::server
