#pragma once

#include <httplib.h>
#include <memory>
#include <string>

#include "tools/audkit-server/http/services.hpp"

namespace audkit::server {

// The results backend over HTTP(S): the endpoints the audkit client uses
// (log in, check the user, post, get, tag, rename and delete results) and a
// health check, with one line of structured log per request.
class ApiServer {
public:
    // The database must have its schema (prepareSchema).
    ApiServer(Database& database, ServerOptions options, StructuredLog& log);
    ~ApiServer();

    // The port it listens on (any free one when 0); throws when it cannot.
    int bind(const std::string& host, int port);
    // Serves until stop(); false when it could not.
    bool run();
    // Takes no new connections and returns at once; run() returns when the
    // requests in flight are answered.
    void stop();
    bool running() const { return http_->is_running(); }

private:
    Services services_;
    std::unique_ptr<httplib::Server> http_;
};

}  // namespace audkit::server
