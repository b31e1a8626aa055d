#pragma once

#include <string>

#include "audkit/base/error.hpp"
#include "audkit/network/http_transport.hpp"

namespace audkit {

// What is logged when a request succeeds.
enum class SuccessfulMessage {
    resultPosted,
    resultDeleted,
    resultRetrived,
    resultTagged,
    scanNameUpdated,
    userVerified,
    serverVerified,
    generic,
    none
};

std::string successfulMessageText(SuccessfulMessage message);

class ResponseError : public MessageError {
public:
    enum class Case { generalUnexpectedResponse, dataIsEmpty, noResponseStatus };

    // The message, then " (" + status + ")".
    static ResponseError generalUnexpectedResponse(long statusCode, const std::string& message);
    // Keeps the status (a redirect or an error status without a body) for
    // callers that explain the failure.
    static ResponseError dataIsEmpty(long statusCode = 0) {
        return {Case::dataIsEmpty, "Server unexpectedly returned no data.", statusCode};
    }
    static ResponseError noResponseStatus() {
        return {Case::noResponseStatus, "Server unexpectedly returned no response status code.", 0};
    }

    Case errorCase() const { return case_; }
    long statusCode() const { return statusCode_; }

private:
    ResponseError(Case errorCase, const std::string& text, long statusCode)
        : MessageError(text), case_(errorCase), statusCode_(statusCode) {}
    Case case_;
    long statusCode_;
};

// Whether a successful reply must carry a body. An update that returns
// nothing (204, or 200 with no body) has still happened.
enum class ReplyBody { required, optional };

// Sends the request and returns the body of a 200 reply. Anything else throws:
// the transport's error, noResponseStatus, dataIsEmpty, or
// generalUnexpectedResponse with the reply's "message" and "error" members.
// With ReplyBody::optional a 204 or an empty 200 returns "".
std::string send(HttpTransport& transport, const HttpRequest& request, SuccessfulMessage successMessage,
                 ReplyBody body = ReplyBody::required);

}  // namespace audkit
