#pragma once

#include <optional>
#include <string>

#include "audkit/base/error.hpp"
#include "audkit/network/http_request.hpp"

namespace audkit {

// What came back: the HTTP status (none when the reply was no HTTP response)
// and the body (none when there was none).
struct HttpReply {
    std::optional<long> status;
    std::optional<std::string> body;
};

// The request could not be exchanged at all (refused, timed out, TLS refused).
class TransportError : public MessageError {
public:
    using MessageError::MessageError;
};

// Sends one request and blocks until its reply arrives or its timeout passes.
class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    // Throws TransportError.
    virtual HttpReply perform(const HttpRequest& request) = 0;
};

}  // namespace audkit
