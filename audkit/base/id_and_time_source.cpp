#include "audkit/base/id_and_time_source.hpp"

#include <array>
#include <chrono>
#include <cstdio>
#include <random>

namespace audkit {
namespace {

std::string randomUuid() {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    std::array<unsigned char, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const auto word = generator();
        for (std::size_t j = 0; j < 8; ++j) bytes[i + j] = static_cast<unsigned char>(word >> (j * 8));
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0FU) | 0x40U);  // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3FU) | 0x80U);  // RFC 4122 variant
    std::array<char, 37> text{};
    std::snprintf(text.data(), text.size(), "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8], bytes[9],
                  bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return text.data();
}

double systemSeconds() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(now).count();
}

IdAndTimeSource::UuidGenerator& uuidGenerator() {
    static IdAndTimeSource::UuidGenerator generator = randomUuid;
    return generator;
}

IdAndTimeSource::Clock& clock() {
    static IdAndTimeSource::Clock source = systemSeconds;
    return source;
}

}  // namespace

std::string IdAndTimeSource::uuid() { return uuidGenerator()(); }
double IdAndTimeSource::secondsSince1970() { return clock()(); }

void IdAndTimeSource::setUuidGenerator(UuidGenerator generator) {
    uuidGenerator() = generator ? std::move(generator) : UuidGenerator(randomUuid);
}

void IdAndTimeSource::setClock(Clock source) { clock() = source ? std::move(source) : Clock(systemSeconds); }

}  // namespace audkit
