#include "tools/audkit-server/http/api_server.hpp"

#include <chrono>
#include <regex>

#include "tools/audkit-server/http/exchange.hpp"

namespace audkit::server {
namespace {

// When the request now being handled on this thread began.
thread_local std::chrono::steady_clock::time_point requestStart;

bool hasBody(const httplib::Request& request) {
    if (request.has_header("Transfer-Encoding")) return true;
    const auto length = request.get_header_value("Content-Length");
    return !length.empty() && length != "0";
}

std::unique_ptr<httplib::Server> makeHttp(const ServerOptions& options) {
    if (options.certificate.empty() != options.privateKey.empty())
        throw Error("TLS needs both a certificate and its private key");
    if (options.certificate.empty()) return std::make_unique<httplib::Server>();
    auto secure = std::make_unique<httplib::SSLServer>(options.certificate.c_str(), options.privateKey.c_str());
    if (!secure->is_valid())
        throw Error("cannot use the certificate " + options.certificate + " with the key " + options.privateKey);
    return secure;
}

}  // namespace

ApiServer::ApiServer(Database& database, ServerOptions options, StructuredLog& log)
    : services_(database, std::move(options), log), http_(makeHttp(services_.options)) {
    auto& http = *http_;
    const auto threads = static_cast<std::size_t>(std::max(1, services_.options.threads));
    http.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    http.set_payload_max_length(services_.options.maxBodyBytes);
    http.set_read_timeout(60);
    // Pages are never framed by another site, sniffed as another type, or
    // allowed to load or send anything beyond this server (the reports carry
    // their own styles, script and pictures).
    http.set_default_headers({{"X-Content-Type-Options", "nosniff"},
                              {"X-Frame-Options", "DENY"},
                              {"Referrer-Policy", "no-referrer"},
                              {"Content-Security-Policy",
                               "default-src 'none'; img-src 'self' data:; style-src 'unsafe-inline'; script-src "
                               "'unsafe-inline'; form-action 'self'; frame-ancestors 'none'; base-uri 'none'"}});
    http.set_write_timeout(60);

    // Only the endpoints that read a body read it, within their own limits:
    // anything else that comes with one is refused before a byte of it is
    // read (or inflated).
    const std::regex bodyRoutes(
        "^(POST /auth/realms/[^/]+/protocol/openid-connect/token|POST /attest/result/aud|"
        "POST /attest/result/tag/.+|PUT /attest/results/summaries/.+/name|POST /login)$");
    http.set_pre_routing_handler([bodyRoutes](const httplib::Request& request, httplib::Response& reply) {
        requestStart = std::chrono::steady_clock::now();
        if (hasBody(request) && !std::regex_match(request.method + " " + request.path, bodyRoutes)) {
            replyError(reply, 404, "no endpoint takes a body at " + request.method + " " + request.path);
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    http.set_logger([this](const httplib::Request& request, const httplib::Response& reply) {
        const auto took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - requestStart);
        services_.log.write("info", "request",
                            {{"method", request.method},
                             {"path", request.path},
                             {"status", reply.status},
                             {"ms", std::round(took.count() * 10) / 10},
                             {"client", services_.clientAddress(request)}});
    });
    http.set_exception_handler(
        [this](const httplib::Request& request, httplib::Response& reply, std::exception_ptr thrown) {
            std::string why = "unknown";
            try {
                std::rethrow_exception(thrown);
            } catch (const std::exception& error) {
                why = error.what();
            } catch (...) {}
            services_.log.write("error", "request failed",
                                {{"method", request.method}, {"path", request.path}, {"error", why}});
            replyError(reply, 500, "the server could not answer this request");
        });
    http.set_error_handler([](const httplib::Request& request, httplib::Response& reply) {
        if (reply.body.empty())
            replyError(reply, reply.status, "no endpoint at " + request.method + " " + request.path);
    });

    http.Get("/health", [this](const httplib::Request&, httplib::Response& reply) {
        try {
            services_.database.run("SELECT 1");
            replyJson(reply, R"({"status":"ok"})");
        } catch (const std::exception&) {
            replyJson(reply, nlohmann::json{{"status", "database unavailable"}}.dump(), 503);
        }
    });
    addAuthEndpoints(http, services_);
    addResultEndpoints(http, services_);
    addDashboard(http, services_);
}

ApiServer::~ApiServer() = default;

int ApiServer::bind(const std::string& host, int port) {
    const int bound = port == 0 ? http_->bind_to_any_port(host) : (http_->bind_to_port(host, port) ? port : -1);
    if (bound < 0) throw Error("cannot listen on " + host + ":" + std::to_string(port));
    return bound;
}

bool ApiServer::run() { return http_->listen_after_bind(); }

void ApiServer::stop() {
    if (http_->is_running()) http_->stop();
}

}  // namespace audkit::server
