#pragma once

// What the harnesses of readers of replies share.

#include <string>
#include <utility>

#include "audkit/base/error.hpp"
#include "audkit/network/http_transport.hpp"

namespace audkit::fuzz {

// Answers every request with the fuzzer's reply.
class Replay : public HttpTransport {
public:
    Replay(long status, std::string body) : status_(status), body_(std::move(body)) {}
    HttpReply perform(const HttpRequest&) override { return {status_, body_}; }

private:
    long status_;
    std::string body_;
};

// Runs one reader on the fuzzer's input, which it accepts or refuses with
// the library's Error; anything else reaches the fuzzer.
template <class Read>
void attempt(Read&& read) {
    try {
        read();
    } catch (const Error&) {}
}

}  // namespace audkit::fuzz
