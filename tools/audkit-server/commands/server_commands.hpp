#pragma once

#include <iosfwd>
#include <string>

#include "tools/audkit-server/http/server_options.hpp"

namespace audkit::server {

// The commands of audkit-server. Each returns the exit status: 0 done,
// 1 failed (the reason on `err`, one line starting "audkit-server: ").

int runInit(const std::string& database, std::ostream& out, std::ostream& err);
// The password comes from AUDKIT_SERVER_PASSWORD, else standard input (asked
// for without echo on a terminal); at least 8 characters.
int runUserAdd(const std::string& database, const std::string& email, const std::string& organisation,
               std::ostream& out, std::ostream& err);
int runUserRemove(const std::string& database, const std::string& email, std::ostream& out, std::ostream& err);
// Prints the new key, the only time it is ever shown.
int runKeyCreate(const std::string& database, const std::string& email, std::ostream& out, std::ostream& err);
int runKeyRevoke(const std::string& database, const std::string& keyId, std::ostream& out, std::ostream& err);
int runKeyList(const std::string& database, std::ostream& out, std::ostream& err);
int runBackup(const std::string& database, const std::string& target, std::ostream& out, std::ostream& err);

// Serves on `listen` ("HOST:PORT") until SIGINT or SIGTERM, then answers
// the requests in flight and returns. Prepares the database first.
int runServe(const std::string& database, const std::string& listen, const ServerOptions& options, std::ostream& out,
             std::ostream& err);

}  // namespace audkit::server
