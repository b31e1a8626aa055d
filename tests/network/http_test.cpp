#include <gtest/gtest.h>

#include <chrono>
#include <httplib.h>
#include <thread>
#include <zlib.h>

#include "audkit/base/process_state.hpp"
#include "audkit/network/gzip.hpp"
#include "audkit/network/http_executor.hpp"
#include "audkit/platform/curl_transport.hpp"
#include "tests/support/local_server.hpp"
#include "tests/support/test_support.hpp"
#include "tests/support/tls_server.hpp"

namespace audkit {
namespace {

// A real HTTP server on 127.0.0.1 that answers as the test needs.
class TestServer : public test::LocalServer {
public:
    TestServer() {
        server.Get("/ok", [](const httplib::Request&, httplib::Response& reply) {
            reply.set_content("{\"a\":1}", "application/json");
        });
        server.Get("/large", [](const httplib::Request&, httplib::Response& reply) {
            reply.set_content(std::string(3 * 1024 * 1024, 'x'), "text/plain");
        });
        server.Post("/created", [](const httplib::Request&, httplib::Response& reply) {
            reply.status = 201;
            reply.set_content("{\"id\":\"1\"}", "application/json");
        });
        server.Get("/empty", [](const httplib::Request&, httplib::Response& reply) { reply.status = 200; });
        server.Get("/nocontent", [](const httplib::Request&, httplib::Response& reply) { reply.status = 204; });
        server.Get("/bad", [](const httplib::Request&, httplib::Response& reply) {
            reply.status = 400;
            reply.set_content(R"({"message":"bad","error":"x"})", "application/json");
        });
        server.Get("/broken", [](const httplib::Request&, httplib::Response& reply) {
            reply.status = 500;
            reply.set_content("<html>oops</html>", "text/html");
        });
        server.Get("/slow", [](const httplib::Request&, httplib::Response& reply) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            reply.set_content("late", "text/plain");
        });
        auto echo = [this](const httplib::Request& request, httplib::Response& reply) {
            last = request;
            reply.set_content("echo", "text/plain");
        };
        server.Put("/echo", echo);
        server.Post("/echo", echo);
        server.Delete("/echo", echo);
        server.Get("/echo", echo);
        start();
    }

    URLWrapper url(const std::string& path) const {
        return URLWrapper("http://127.0.0.1:" + std::to_string(port)).appending({path});
    }

    httplib::Request last;
};

class StaticCredential : public Authentication {
public:
    CredentialHeader credentialHeader() override { return {"Bearer token-1", HeaderField::authorization}; }
};

std::string gunzip(const std::string& bytes) {
    z_stream stream{};
    inflateInit2(&stream, 31);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    std::string out(1 << 20, '\0');
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    inflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return out;
}

using test::errorOf;

TEST(URLWrapperTest, ValidatesAndJoinsWithOneSlash) {
    EXPECT_EQ(URLWrapper("https://api.example.com/").appending({"/attest/user"}).url(),
              "https://api.example.com/attest/user");
    EXPECT_EQ(URLWrapper("https://api.example.com").appending({"results", "u1"}).url(),
              "https://api.example.com/results/u1");
    EXPECT_EQ(URLWrapper("http://h/a/").appending({"b"}).url(), "http://h/a/b");
    for (const char* bad : {"ftp://example.com", "example.com", "https://", "https://exa mple.com", "http://:80/x"}) {
        EXPECT_EQ(errorOf([&] { URLWrapper url(bad); }),
                  std::string("URL ") + bad +
                      " is not in the correct format. Please ensure that it starts with `http://` or `https://`.");
    }
}

TEST(Gzip, EmptyStaysEmptyAndEverythingElseRoundTrips) {
    EXPECT_EQ(gzipped(""), "");
    std::string document(100000, 'a');
    for (std::size_t i = 0; i < document.size(); i += 7) document[i] = static_cast<char>('a' + i % 26);
    const auto compressed = gzipped(document);
    ASSERT_GE(compressed.size(), 2U);
    EXPECT_EQ(static_cast<unsigned char>(compressed[0]), 0x1f);
    EXPECT_EQ(static_cast<unsigned char>(compressed[1]), 0x8b);
    EXPECT_LT(compressed.size(), document.size());
    EXPECT_EQ(gunzip(compressed), document);
    EXPECT_THROW((void)gzipped("x", 42), GzipError);  // an impossible level
}

TEST(HttpExecutor, OnlyStatus200Succeeds) {
    test::LogCapture log;
    TestServer server;
    CurlTransport transport;
    EXPECT_EQ(send(transport, getRequest(server.url("/ok"), nullptr), SuccessfulMessage::none), "{\"a\":1}");
    EXPECT_EQ(errorOf([&] {
                  send(transport, postRequest(server.url("/created"), "{}", ContentType::json, nullptr),
                       SuccessfulMessage::none);
              }),
              "\n\tmessage: No message available.\n\terror:  (201)");
    EXPECT_EQ(errorOf([&] { send(transport, getRequest(server.url("/empty"), nullptr), SuccessfulMessage::none); }),
              "Server unexpectedly returned no data.");
    EXPECT_EQ(errorOf([&] { send(transport, getRequest(server.url("/nocontent"), nullptr), SuccessfulMessage::none); }),
              "Server unexpectedly returned no data.");
    EXPECT_EQ(errorOf([&] { send(transport, getRequest(server.url("/bad"), nullptr), SuccessfulMessage::none); }),
              "\n\tmessage: bad\n\terror: x (400)");
    EXPECT_EQ(errorOf([&] { send(transport, getRequest(server.url("/broken"), nullptr), SuccessfulMessage::none); }),
              "No message available. (500)");
    // An error status without a body reads as a reply without data, and
    // keeps its status for whoever explains the failure.
    try {
        send(transport, getRequest(server.url("/missing"), nullptr), SuccessfulMessage::none);
        FAIL();
    } catch (const ResponseError& error) {
        EXPECT_EQ(std::string(error.what()), "Server unexpectedly returned no data.");
        EXPECT_EQ(error.statusCode(), 404);
    }
    // An update may answer with nothing: 204 or an empty 200 succeed, an
    // error status still fails.
    const auto update = [&](const char* path) {
        return send(transport, getRequest(server.url(path), nullptr), SuccessfulMessage::none, ReplyBody::optional);
    };
    EXPECT_EQ(update("/nocontent"), "");
    EXPECT_EQ(update("/empty"), "");
    EXPECT_EQ(update("/ok"), "{\"a\":1}");
    EXPECT_THROW(update("/missing"), ResponseError);
    EXPECT_THROW(update("/broken"), ResponseError);
}

TEST(HttpExecutor, SuccessIsLoggedOnlyWithDebugOutput) {
    test::LogCapture log;
    TestServer server;
    CurlTransport transport;
    send(transport, getRequest(server.url("/ok"), nullptr), SuccessfulMessage::resultRetrived);
    EXPECT_TRUE(log.lines().empty());
    processState().debugStatements = true;
    send(transport, getRequest(server.url("/ok"), nullptr), SuccessfulMessage::resultRetrived);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"ZUNIK LOG: 200 OK - Result retrieved successfully."});
}

TEST(HttpRequests, MethodsHeadersAndBodiesArriveAsBuilt) {
    TestServer server;
    CurlTransport transport;
    StaticCredential credential;

    auto put = putRequest(server.url("/echo"), gzipped("{\"scanName\":\"Login\"}"), ContentType::json, &credential);
    put.addHeader(HeaderField::contentEncoding, "gzip");
    EXPECT_EQ(send(transport, put, SuccessfulMessage::none), "echo");
    EXPECT_EQ(server.last.method, "PUT");
    EXPECT_EQ(server.last.get_header_value("Authorization"), "Bearer token-1");
    EXPECT_EQ(server.last.get_header_value("Content-Type"), "application/json");
    EXPECT_EQ(server.last.get_header_value("Content-Encoding"), "gzip");
    EXPECT_EQ(put.headers.front().first, "Authorization");  // the credential comes first

    (void)send(
        transport,
        postRequest(server.url("/echo"), "grant_type=password&username=a%40b", ContentType::formURLEncoded, nullptr),
        SuccessfulMessage::none);
    EXPECT_EQ(server.last.method, "POST");
    EXPECT_EQ(server.last.body, "grant_type=password&username=a%40b");
    EXPECT_EQ(server.last.get_header_value("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_FALSE(server.last.has_header("Authorization"));

    (void)send(transport, deleteRequest(server.url("/echo"), &credential), SuccessfulMessage::none);
    EXPECT_EQ(server.last.method, "DELETE");
    EXPECT_FALSE(server.last.has_header("Content-Type"));

    const auto get = getRequest(server.url("/echo"), nullptr);
    EXPECT_EQ(get.headers, (std::vector<std::pair<std::string, std::string>>{{"Content-Type", "application/json"}}));
    EXPECT_EQ(get.timeout, std::chrono::seconds(60));
}

TEST(HttpTransportFailures, RefusedSlowAndUntrustedServers) {
    CurlTransport transport;
    int closedPort = 0;
    {
        TestServer gone;
        closedPort = gone.port;
    }
    const auto refused = errorOf([&] {
        send(transport, getRequest(URLWrapper("http://127.0.0.1:" + std::to_string(closedPort) + "/ok"), nullptr),
             SuccessfulMessage::none);
    });
    EXPECT_TRUE(refused.starts_with("The request to http://127.0.0.1:")) << refused;

    TestServer server;
    auto slow = getRequest(server.url("/slow"), nullptr);
    slow.timeout = std::chrono::milliseconds(300);  // the default stays 60 seconds
    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(send(transport, slow, SuccessfulMessage::none), TransportError);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));

    // Plain HTTP spoken to where TLS is expected is refused, not read.
    auto tls = getRequest(URLWrapper("https://127.0.0.1:" + std::to_string(server.port) + "/ok"), nullptr);
    tls.timeout = std::chrono::seconds(5);
    EXPECT_THROW(send(transport, tls, SuccessfulMessage::none), TransportError);

    // A reply larger than the request takes is refused as it arrives.
    auto large = getRequest(server.url("/large"), nullptr);
    large.largestReply = 1024 * 1024;
    EXPECT_EQ(errorOf([&] { send(transport, large, SuccessfulMessage::none); }),
              "The reply of " + server.url("/large").url() + " is larger than 1 MB; it was not read");
}

TEST(HttpTransportFailures, SelfSignedCertificateIsRejectedUnlessItsAuthorityIsConfigured) {
    test::TempDir dir;
    test::TlsServer server(dir.path());
    server.server().Get(
        "/ok", [](const httplib::Request&, httplib::Response& reply) { reply.set_content("secure", "text/plain"); });
    server.start();
    const URLWrapper url(server.address() + "/ok");

    CurlTransport systemAuthorities;
    EXPECT_THROW(send(systemAuthorities, getRequest(url, nullptr), SuccessfulMessage::none), TransportError);
    CurlTransport trusting(CurlTransport::Settings{server.certificateFile()});
    EXPECT_EQ(send(trusting, getRequest(url, nullptr), SuccessfulMessage::none), "secure");
}

}  // namespace
}  // namespace audkit
