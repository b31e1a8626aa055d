#pragma once

#include <chrono>
#include <httplib.h>
#include <string>
#include <thread>

namespace audkit::test {

// A real HTTP server on 127.0.0.1 for one test: register routes on `server`,
// then start(); it stops when the object goes.
class LocalServer {
public:
    LocalServer() = default;
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;
    ~LocalServer() {
        if (!thread.joinable()) return;
        server.stop();
        thread.join();
    }

    void start() {
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        // stop() only stops a server that already listens.
        while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    std::string address() const { return "http://127.0.0.1:" + std::to_string(port); }

    httplib::Server server;
    int port = 0;

private:
    std::thread thread;
};

}  // namespace audkit::test
