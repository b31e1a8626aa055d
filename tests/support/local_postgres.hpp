#pragma once

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <pwd.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace audkit::test {

// A throw-away PostgreSQL server: a fresh cluster in a temporary folder,
// listening on a free port of 127.0.0.1, trusted for the user "audkit";
// stopped and removed when the object goes. Run as root, PostgreSQL's own
// programs run as the "postgres" user (they refuse root).
class LocalPostgres {
public:
    LocalPostgres() {
        const auto bin = binDir();
        char pattern[] = "/tmp/audkit-pg-XXXXXX";
        if (!::mkdtemp(pattern)) throw std::runtime_error("no temporary folder for PostgreSQL");
        folder_ = pattern;
        if (::geteuid() == 0) {
            const auto* owner = ::getpwnam("postgres");
            if (!owner) throw std::runtime_error("running as root and there is no postgres user to run PostgreSQL");
            if (::chown(folder_.c_str(), owner->pw_uid, owner->pw_gid) != 0)
                throw std::runtime_error("cannot hand " + folder_.string() + " to the postgres user");
            as_ = "runuser -u postgres -- ";
        }
        port_ = freePort();
        const auto data = folder_ / "data";
        shell(bin + "/initdb -D " + data.string() + " -U audkit -A trust --no-sync -E UTF8 --no-locale");
        shell(bin + "/pg_ctl -D " + data.string() + " -l " + (folder_ / "log").string() + " -w -t 60 -o \"-p " +
              std::to_string(port_) + " -k " + folder_.string() +
              " -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off\" start");
        stop_ = bin + "/pg_ctl -D " + data.string() + " -m immediate -w stop";
    }
    ~LocalPostgres() {
        if (!stop_.empty()) std::system((as_ + stop_ + " >/dev/null 2>&1").c_str());
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    LocalPostgres(const LocalPostgres&) = delete;
    LocalPostgres& operator=(const LocalPostgres&) = delete;

    std::string address(const std::string& database = "postgres") const {
        return "postgresql://audkit@127.0.0.1:" + std::to_string(port_) + "/" + database;
    }
    // A name for a database no test has used yet.
    std::string newDatabaseName() { return "t" + std::to_string(++databases_); }

private:
    static std::string binDir() {
        if (const char* given = std::getenv("AUDKIT_POSTGRES_BIN")) return given;
        for (const char* version : {"17", "16", "15", "14", "13"}) {
            const std::string bin = std::string("/usr/lib/postgresql/") + version + "/bin";
            if (std::filesystem::exists(bin + "/initdb")) return bin;
        }
        throw std::runtime_error("no PostgreSQL server programs (Debian's postgresql package) are installed");
    }
    static int freePort() {
        const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof where;
        ::bind(probe, reinterpret_cast<sockaddr*>(&where), size);
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&where), &size);
        ::close(probe);
        return ntohs(where.sin_port);
    }
    void shell(const std::string& command) const {
        const auto log = folder_ / "setup.log";
        if (std::system((as_ + command + " >>" + log.string() + " 2>&1").c_str()) != 0) {
            std::ifstream in(log);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            throw std::runtime_error("PostgreSQL would not start: " + command + "\n" + text);
        }
    }

    std::filesystem::path folder_;
    std::string as_, stop_;
    int port_ = 0;
    std::atomic<int> databases_ = 0;
};

}  // namespace audkit::test
