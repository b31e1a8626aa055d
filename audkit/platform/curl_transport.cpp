#include "audkit/platform/curl_transport.hpp"

#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace audkit {
namespace {

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// The body as it arrives, up to the request's largest reply.
struct Received {
    std::string body;
    std::size_t largest = 0;
    bool tooLarge = false;
};

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* target) {
    auto& received = *static_cast<Received*>(target);
    if (received.body.size() + size * count > received.largest) {
        received.tooLarge = true;
        return 0;  // curl stops the transfer
    }
    received.body.append(data, size * count);
    return size * count;
}

}  // namespace

CurlTransport::CurlTransport(Settings settings) : settings_(std::move(settings)) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpReply CurlTransport::perform(const HttpRequest& request) {
    std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
    if (!handle) throw TransportError("The HTTP client could not be started.");
    CURL* curl = handle.get();

    curl_slist* rawHeaders = nullptr;
    for (const auto& [name, value] : request.headers)
        rawHeaders = curl_slist_append(rawHeaders, (name + ": " + value).c_str());
    rawHeaders = curl_slist_append(rawHeaders, "Expect:");  // no 100-continue round trip before a body
    std::unique_ptr<curl_slist, ListDeleter> headers(rawHeaders);

    Received received{{}, request.largestReply, false};
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeout.count()));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (settings_.caFile) curl_easy_setopt(curl, CURLOPT_CAINFO, settings_.caFile->c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &received);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    if (request.method == "GET") {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
    if (request.body) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body->size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body->data());
    }

    const CURLcode result = curl_easy_perform(curl);
    if (received.tooLarge)
        throw TransportError("The reply of " + request.url + " is larger than " +
                             std::to_string(request.largestReply / (1024 * 1024)) + " MB; it was not read");
    if (result != CURLE_OK) {
        const std::string detail = errorText[0] != '\0' ? errorText : curl_easy_strerror(result);
        throw TransportError("The request to " + request.url + " failed: " + detail);
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    HttpReply reply;
    if (status > 0) reply.status = status;
    if (!received.body.empty()) reply.body = std::move(received.body);
    return reply;
}

}  // namespace audkit
