#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "audkit/base/error.hpp"

namespace audkit {

// A validated absolute http or https address.
class URLWrapper {
public:
    class URLinvalidFormat : public MessageError {
    public:
        explicit URLinvalidFormat(std::string_view text)
            : MessageError(
                  "URL " + std::string(text) +
                  " is not in the correct format. Please ensure that it starts with `http://` or `https://`.") {}
    };

    // Throws URLinvalidFormat.
    explicit URLWrapper(std::string_view text);

    // Path pieces joined with exactly one slash between them, added verbatim
    // (callers percent-encode what needs it).
    URLWrapper appending(std::initializer_list<std::string_view> components) const;

    const std::string& url() const { return url_; }

private:
    std::string url_;
};

// One path segment with everything but letters, digits and "-._~" percent-
// encoded, so a "/", "?", "#" or "%" inside it cannot change which resource
// the address names.
std::string percentEncodedSegment(std::string_view text);

}  // namespace audkit
