#include <mutex>
#include <sqlite3.h>

#include "tools/audkit-server/store/database.hpp"

namespace audkit::server {
namespace {

class SqliteDatabase : public Database {
public:
    explicit SqliteDatabase(const std::string& path) : path_(path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                            nullptr) != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw DatabaseError("cannot open the database " + path + ": " + why);
        }
        // Readers never wait for the writer, and a writer waits a while for
        // another (a backup, a second process) instead of failing at once.
        sqlite3_busy_timeout(db_, 10000);
        run("PRAGMA journal_mode=WAL");
        run("PRAGMA foreign_keys=ON");
        run("PRAGMA synchronous=NORMAL");
    }
    ~SqliteDatabase() override { sqlite3_close(db_); }

    std::vector<SqlRow> execute(std::string_view sql, const std::vector<SqlValue>& values) override {
        const std::lock_guard lock(mutex_);
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK)
            fail("cannot prepare", sql);
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owned(statement, sqlite3_finalize);
        int index = 1;
        for (const auto& value : values) {
            int status = SQLITE_OK;
            if (std::holds_alternative<std::nullptr_t>(value)) {
                status = sqlite3_bind_null(statement, index);
            } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
                status = sqlite3_bind_int64(statement, index, *number);
            } else if (const auto* text = std::get_if<std::string>(&value)) {
                status =
                    sqlite3_bind_text64(statement, index, text->data(), text->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            } else {
                const auto& bytes = std::get<Blob>(value).bytes;
                status = sqlite3_bind_blob64(statement, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
            }
            if (status != SQLITE_OK) fail("cannot bind a value of", sql);
            ++index;
        }
        std::vector<SqlRow> rows;
        for (;;) {
            const int step = sqlite3_step(statement);
            if (step == SQLITE_DONE) break;
            if (step != SQLITE_ROW) fail("cannot run", sql);
            SqlRow row;
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                if (sqlite3_column_type(statement, column) == SQLITE_NULL) {
                    row.emplace_back();
                    continue;
                }
                const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
                row.emplace_back(
                    std::string(data ? data : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

    void transaction(const std::function<void()>& work) override {
        const std::lock_guard lock(mutex_);
        run("BEGIN IMMEDIATE");
        try {
            work();
        } catch (...) {
            run("ROLLBACK");
            throw;
        }
        run("COMMIT");
    }

    std::string_view blobType() const override { return "BLOB"; }

    void backup(const std::string& target) override {
        sqlite3* copy = nullptr;
        if (sqlite3_open(target.c_str(), &copy) != SQLITE_OK) {
            const std::string why = copy ? sqlite3_errmsg(copy) : "out of memory";
            sqlite3_close(copy);
            throw DatabaseError("cannot write the backup " + target + ": " + why);
        }
        // A few pages at a time, so that requests go on between the steps.
        sqlite3_backup* backup = sqlite3_backup_init(copy, "main", db_, "main");
        int status = SQLITE_OK;
        if (backup) {
            do {
                {
                    const std::lock_guard lock(mutex_);  // never inside another thread's transaction
                    status = sqlite3_backup_step(backup, 256);
                }
                if (status == SQLITE_BUSY || status == SQLITE_LOCKED) sqlite3_sleep(20);
            } while (status == SQLITE_OK || status == SQLITE_BUSY || status == SQLITE_LOCKED);
            sqlite3_backup_finish(backup);
        }
        const std::string why = sqlite3_errmsg(copy);
        sqlite3_close(copy);
        if (!backup || status != SQLITE_DONE) throw DatabaseError("cannot write the backup " + target + ": " + why);
    }

private:
    [[noreturn]] void fail(const std::string& what, std::string_view sql) const {
        throw DatabaseError("database: " + what + " \"" + std::string(sql.substr(0, 60)) +
                            "\": " + sqlite3_errmsg(db_));
    }

    std::string path_;
    sqlite3* db_ = nullptr;
    // One connection for the whole server: a transaction's statements and no
    // other thread's run between its BEGIN and COMMIT.
    std::recursive_mutex mutex_;
};

}  // namespace

std::unique_ptr<Database> openSqlite(const std::string& path) { return std::make_unique<SqliteDatabase>(path); }

std::unique_ptr<Database> openDatabase(const std::string& place) {
    if (place.starts_with("postgresql://") || place.starts_with("postgres://")) return openPostgresql(place);
    return openSqlite(place);
}

}  // namespace audkit::server
