#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audkit/network/url_wrapper.hpp"

namespace audkit {

enum class HeaderField { authorization, contentType, contentEncoding, apiKey };
enum class ContentType { formURLEncoded, json, plainText };

std::string headerName(HeaderField field);
std::string contentTypeText(ContentType type);

// What a credential adds to a request: the value of one header, or none.
struct CredentialHeader {
    std::optional<std::string> value;
    HeaderField field = HeaderField::authorization;
};

// Every credential (password login, API key, token) implements this.
class Authentication {
public:
    virtual ~Authentication() = default;
    virtual CredentialHeader credentialHeader() = 0;
};

// How long a request may take unless a caller chooses otherwise.
inline constexpr std::chrono::milliseconds defaultRequestTimeout{60'000};

// One fully built HTTP request.
// Far beyond a result document with its screenshot or any page source.
inline constexpr std::size_t defaultLargestReply = std::size_t{256} * 1024 * 1024;

struct HttpRequest {
    std::string method;
    std::string url;
    std::vector<std::pair<std::string, std::string>> headers;  // in the order they are sent
    std::optional<std::string> body;
    std::chrono::milliseconds timeout = defaultRequestTimeout;
    // The largest reply body taken: a larger one is refused as it arrives
    // (TransportError), never held whole in memory.
    std::size_t largestReply = defaultLargestReply;

    void addHeader(HeaderField field, std::string value) { headers.emplace_back(headerName(field), std::move(value)); }
};

// The credential header first (when the credential yields one), then
// "Content-Type: application/json".
HttpRequest getRequest(const URLWrapper& url, Authentication* authentication);
// The credential header, then the content type; the body unchanged.
HttpRequest postRequest(const URLWrapper& url, std::string body, ContentType type, Authentication* authentication);
HttpRequest putRequest(const URLWrapper& url, std::string body, ContentType type, Authentication* authentication);
// Only the credential header.
HttpRequest deleteRequest(const URLWrapper& url, Authentication* authentication);

}  // namespace audkit
