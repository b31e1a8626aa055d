#pragma once

#include <functional>
#include <string>

namespace audkit {

// The one source of identifiers and of the current time, so a test can pin both.
class IdAndTimeSource {
public:
    using UuidGenerator = std::function<std::string()>;
    using Clock = std::function<double()>;

    // A new random UUID in canonical upper-case form.
    static std::string uuid();
    // Seconds since 1970-01-01 UTC.
    static double secondsSince1970();

    // Replace either source; an empty function restores the real one.
    static void setUuidGenerator(UuidGenerator generator);
    static void setClock(Clock clock);
};

}  // namespace audkit
