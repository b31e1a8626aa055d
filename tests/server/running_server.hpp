#pragma once

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/local_postgres.hpp"
#include "tests/support/test_support.hpp"
#include "tools/audkit-server/auth/secrets.hpp"
#include "tools/audkit-server/http/api_server.hpp"
#include "tools/audkit-server/store/accounts.hpp"
#include "tools/audkit-server/store/schema.hpp"

namespace audkit::test {

// A fresh, empty results database of either kind: a SQLite file in a
// temporary folder, or a new database on one throw-away PostgreSQL server
// shared by the tests of a run.
class TestDatabase {
public:
    explicit TestDatabase(const std::string& kind) {
        if (kind == "sqlite") {
            database = server::openDatabase((folder.path() / "results.sqlite3").string());
        } else {
            static LocalPostgres postgres;  // started once, on first use
            const auto name = postgres.newDatabaseName();
            server::openDatabase(postgres.address())->run("CREATE DATABASE " + name);
            database = server::openDatabase(postgres.address(name));
        }
        server::prepareSchema(*database);
    }
    // A user of `organisation` and an API key of theirs.
    std::string userWithKey(const std::string& email, const std::string& organisation,
                            const std::string& password = "correct horse") {
        server::Accounts accounts(*database);
        const auto user = accounts.addUser(email, organisation, server::hashPassword(password));
        const auto key = server::newApiKey();
        accounts.addKey(key.id, user.id, server::secretHash(key.secret));
        return key.text();
    }

    TempDir folder;
    std::unique_ptr<server::Database> database;
};

// audkit-server's HTTP side on 127.0.0.1, in this process; its log lines
// are read once it has stopped.
class RunningServer {
public:
    explicit RunningServer(server::Database& database, server::ServerOptions options = {})
        : log_(logText_), api_(database, options, log_) {
        port = api_.bind("127.0.0.1", 0);
        thread_ = std::thread([this] { api_.run(); });
        while (!api_.running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~RunningServer() { stop(); }
    std::string address() const { return "http://127.0.0.1:" + std::to_string(port); }
    std::string stop() {
        if (thread_.joinable()) {
            api_.stop();
            thread_.join();
        }
        return logText_.str();
    }
    int port = 0;

private:
    std::ostringstream logText_;
    server::StructuredLog log_;
    server::ApiServer api_;
    std::thread thread_;
};

}  // namespace audkit::test
