#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <httplib.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace audkit::test {

// An HTTPS server on 127.0.0.1 with a fresh self-signed certificate (made by
// the openssl command in `directory`): register routes on `server()`, then
// start(); it stops when the object goes. Clients trust it only through
// certificateFile().
class TlsServer {
public:
    explicit TlsServer(const std::filesystem::path& directory)
        : certificate_((directory / "cert.pem").string()), key_((directory / "key.pem").string()) {
        const std::string make =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
            "-addext subjectAltName=IP:127.0.0.1 -keyout " +
            key_ + " -out " + certificate_ + " >/dev/null 2>&1";
        if (std::system(make.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
        server_ = std::make_unique<httplib::SSLServer>(certificate_.c_str(), key_.c_str());
    }
    TlsServer(const TlsServer&) = delete;
    TlsServer& operator=(const TlsServer&) = delete;
    ~TlsServer() {
        if (!thread_.joinable()) return;
        server_->stop();
        thread_.join();
    }

    httplib::SSLServer& server() { return *server_; }
    void start() {
        port_ = server_->bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_->listen_after_bind(); });
        while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::string address() const { return "https://127.0.0.1:" + std::to_string(port_); }
    const std::string& certificateFile() const { return certificate_; }

private:
    std::string certificate_, key_;
    std::unique_ptr<httplib::SSLServer> server_;
    int port_ = 0;
    std::thread thread_;
};

}  // namespace audkit::test
