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
    static ResponseError dataIsEmpty() { return {Case::dataIsEmpty, "Server unexpectedly returned no data.", 0}; }
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

// Sends the request and returns the body of a 200 reply. Anything else throws:
// the transport's error, noResponseStatus, dataIsEmpty, or
// generalUnexpectedResponse with the reply's "message" and "error" members.
std::string send(HttpTransport& transport, const HttpRequest& request, SuccessfulMessage successMessage);

}  // namespace audkit
