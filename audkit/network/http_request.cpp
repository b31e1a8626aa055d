#include "audkit/network/http_request.hpp"

namespace audkit {
namespace {

HttpRequest withCredential(std::string method, const URLWrapper& url, Authentication* authentication) {
    HttpRequest request;
    request.method = std::move(method);
    request.url = url.url();
    if (authentication != nullptr) {
        auto credential = authentication->credentialHeader();
        if (credential.value) request.addHeader(credential.field, std::move(*credential.value));
    }
    return request;
}

HttpRequest withBody(std::string method, const URLWrapper& url, std::string body, ContentType type,
                     Authentication* authentication) {
    auto request = withCredential(std::move(method), url, authentication);
    request.addHeader(HeaderField::contentType, contentTypeText(type));
    request.body = std::move(body);
    return request;
}

}  // namespace

std::string headerName(HeaderField field) {
    switch (field) {
        case HeaderField::authorization: return "Authorization";
        case HeaderField::contentType: return "Content-Type";
        case HeaderField::contentEncoding: return "Content-Encoding";
        case HeaderField::apiKey: return "X-Api-Key";
    }
    return {};
}

std::string contentTypeText(ContentType type) {
    switch (type) {
        case ContentType::formURLEncoded: return "application/x-www-form-urlencoded";
        case ContentType::json: return "application/json";
        case ContentType::plainText: return "text/plain; charset=utf-8";
    }
    return {};
}

HttpRequest getRequest(const URLWrapper& url, Authentication* authentication) {
    auto request = withCredential("GET", url, authentication);
    request.addHeader(HeaderField::contentType, contentTypeText(ContentType::json));
    return request;
}

HttpRequest postRequest(const URLWrapper& url, std::string body, ContentType type, Authentication* authentication) {
    return withBody("POST", url, std::move(body), type, authentication);
}

HttpRequest putRequest(const URLWrapper& url, std::string body, ContentType type, Authentication* authentication) {
    return withBody("PUT", url, std::move(body), type, authentication);
}

HttpRequest deleteRequest(const URLWrapper& url, Authentication* authentication) {
    return withCredential("DELETE", url, authentication);
}

}  // namespace audkit
