#pragma once

#include <optional>
#include <string>

#include "audkit/network/http_transport.hpp"

namespace audkit {

// HTTP over libcurl: blocking, TLS peers and host names verified.
class CurlTransport : public HttpTransport {
public:
    struct Settings {
        // Certificate authorities to trust instead of the system's (a PEM file).
        std::optional<std::string> caFile;
    };

    CurlTransport() : CurlTransport(Settings{}) {}
    explicit CurlTransport(Settings settings);

    HttpReply perform(const HttpRequest& request) override;

private:
    Settings settings_;
};

}  // namespace audkit
