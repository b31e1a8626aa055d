#include <libpq-fe.h>
#include <mutex>

#include "tools/audkit-server/store/database.hpp"

namespace audkit::server {
namespace {

constexpr Oid byteaType = 17;

// libpq's message on one line: it breaks its own lines and indents them.
std::string oneLine(const char* message) {
    std::string line;
    bool space = false;
    for (const char* c = message; *c; ++c) {
        if (*c == '\n' || *c == '\t' || *c == ' ') {
            space = !line.empty();
            continue;
        }
        if (space) line += ' ';
        space = false;
        line += *c;
    }
    return line;
}

// `?` placeholders as PostgreSQL's $1, $2 ... (our statements hold no
// question mark of their own).
std::string numbered(std::string_view sql) {
    std::string out;
    int next = 1;
    for (const char c : sql) {
        if (c == '?')
            out += "$" + std::to_string(next++);
        else
            out += c;
    }
    return out;
}

class PostgresqlDatabase : public Database {
public:
    explicit PostgresqlDatabase(const std::string& address) : connection_(PQconnectdb(address.c_str())) {
        if (PQstatus(connection_) != CONNECTION_OK) {
            const std::string why = oneLine(PQerrorMessage(connection_));
            PQfinish(connection_);
            // The address may hold a password: the message names the server only.
            throw DatabaseError("cannot connect to the PostgreSQL database: " + why);
        }
        PQsetNoticeProcessor(
            connection_, [](void*, const char*) {}, nullptr);
    }
    ~PostgresqlDatabase() override { PQfinish(connection_); }

    std::vector<SqlRow> execute(std::string_view sql, const std::vector<SqlValue>& values) override {
        const std::lock_guard lock(mutex_);
        // A connection the server dropped is made again, once, outside a transaction.
        if (PQstatus(connection_) != CONNECTION_OK && depth_ == 0) PQreset(connection_);
        std::vector<std::string> numbers;
        numbers.reserve(values.size());
        std::vector<const char*> texts;
        std::vector<int> lengths, formats;
        for (const auto& value : values) {
            if (std::holds_alternative<std::nullptr_t>(value)) {
                texts.push_back(nullptr);
                lengths.push_back(0);
                formats.push_back(0);
            } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
                numbers.push_back(std::to_string(*number));
                texts.push_back(numbers.back().c_str());
                lengths.push_back(0);
                formats.push_back(0);
            } else {
                const auto& bytes =
                    std::holds_alternative<Blob>(value) ? std::get<Blob>(value).bytes : std::get<std::string>(value);
                texts.push_back(bytes.data());
                lengths.push_back(static_cast<int>(bytes.size()));
                formats.push_back(std::holds_alternative<Blob>(value) ? 1 : 0);
            }
        }
        const auto statement = numbered(sql);
        const std::unique_ptr<PGresult, void (*)(PGresult*)> result(
            PQexecParams(connection_, statement.c_str(), static_cast<int>(values.size()), nullptr, texts.data(),
                         lengths.data(), formats.data(), 0),
            PQclear);
        const auto status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw DatabaseError("database: cannot run \"" + std::string(sql.substr(0, 60)) +
                                "\": " + oneLine(PQerrorMessage(connection_)));
        std::vector<SqlRow> rows;
        for (int at = 0; at < PQntuples(result.get()); ++at) {
            SqlRow row;
            for (int column = 0; column < PQnfields(result.get()); ++column) {
                if (PQgetisnull(result.get(), at, column)) {
                    row.emplace_back();
                    continue;
                }
                const char* text = PQgetvalue(result.get(), at, column);
                if (PQftype(result.get(), column) != byteaType) {
                    row.emplace_back(
                        std::string(text, static_cast<std::size_t>(PQgetlength(result.get(), at, column))));
                    continue;
                }
                std::size_t size = 0;
                unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
                if (!bytes) throw DatabaseError("database: out of memory reading a stored document");
                row.emplace_back(std::string(reinterpret_cast<const char*>(bytes), size));
                PQfreemem(bytes);
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

    void transaction(const std::function<void()>& work) override {
        const std::lock_guard lock(mutex_);
        run("BEGIN");
        ++depth_;
        try {
            work();
        } catch (...) {
            --depth_;
            run("ROLLBACK");
            throw;
        }
        --depth_;
        run("COMMIT");
    }

    std::string_view blobType() const override { return "BYTEA"; }

    void backup(const std::string&) override {
        throw DatabaseError("a PostgreSQL database is backed up with PostgreSQL's own pg_dump, not audkit-server");
    }

private:
    PGconn* connection_;
    std::recursive_mutex mutex_;
    int depth_ = 0;  // inside a transaction: a lost connection is not silently made again
};

}  // namespace

std::unique_ptr<Database> openPostgresql(const std::string& address) {
    return std::make_unique<PostgresqlDatabase>(address);
}

}  // namespace audkit::server
