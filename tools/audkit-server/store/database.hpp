#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "audkit/base/error.hpp"

namespace audkit::server {

// Bytes kept as they are (a stored result document), as opposed to text.
struct Blob {
    std::string bytes;
};
using SqlValue = std::variant<std::nullptr_t, std::int64_t, std::string, Blob>;
// A row's columns as text (or bytes for a blob column); SQL NULL is absent.
using SqlRow = std::vector<std::optional<std::string>>;

class DatabaseError : public Error {
public:
    using Error::Error;
};

// The one seam between the server and its storage. Statements use `?` for
// their values and only SQL that SQLite and PostgreSQL read alike; the column
// type of bytes is the one word that differs (blobType). A database is safe
// to use from several threads: each statement, and each transaction as a
// whole, runs alone.
class Database {
public:
    virtual ~Database() = default;
    std::vector<SqlRow> run(std::string_view sql, const std::vector<SqlValue>& values = {}) {
        return execute(sql, values);
    }
    // Runs `work` (whose statements go through run) as one transaction: all
    // of it or, when it throws, none of it.
    virtual void transaction(const std::function<void()>& work) = 0;
    virtual std::string_view blobType() const = 0;
    // Copies the live database into `target` while it keeps serving.
    virtual void backup(const std::string& target) = 0;

protected:
    virtual std::vector<SqlRow> execute(std::string_view sql, const std::vector<SqlValue>& values) = 0;
};

// A database named by its place: "postgresql://..." (or "postgres://...") is
// a PostgreSQL server, anything else the path of a SQLite file, made when
// missing.
std::unique_ptr<Database> openDatabase(const std::string& place);

std::unique_ptr<Database> openSqlite(const std::string& path);
std::unique_ptr<Database> openPostgresql(const std::string& address);

}  // namespace audkit::server
