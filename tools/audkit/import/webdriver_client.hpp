#pragma once

#include <chrono>
#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>

#include "audkit/network/http_transport.hpp"

namespace audkit::cli {

// A running WebDriver server (Appium, WebDriverAgent) read through the W3C
// WebDriver endpoints; every reply is checked as coming from outside.
class WebDriver {
public:
    WebDriver(std::string server, HttpTransport& transport);

    // The "value" of a GET; an error reply is named with the server's words.
    // Throws ImportError.
    nlohmann::json get(const std::string& path) const;

    // The session to capture: the one given, else the one the server names
    // (WebDriverAgent's status, Appium's session lists). Throws ImportError.
    std::string session(const std::string& given) const;

private:
    HttpReply fetch(const std::string& path) const;

    std::string server_;
    HttpTransport& transport_;
};

}  // namespace audkit::cli
