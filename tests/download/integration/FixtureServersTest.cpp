// The HTTP fixtures themselves, checked with a plain client: what a route
// scripts is what goes over the wire, and nginx serves a folder.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <future>
#include <thread>

#include "tests/support/HttpFixtureServer.h"
#include "tests/support/NginxFixture.h"
#include "tests/support/Sandbox.h"

namespace {

using testsupport::HttpFixtureServer;
using testsupport::HttpRoute;
using Delivery = HttpRoute::Delivery;

class FixtureServersTest : public testsupport::SandboxTest {};

httplib::Client ClientFor(int port) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(5, 0);
    client.set_connection_timeout(5, 0);
    return client;
}

TEST_F(FixtureServersTest, RoutesAnswerAsScriptedAndRequestsAreRecorded) {
    HttpFixtureServer server;
    ASSERT_GT(server.port(), 0);
    HttpRoute teapot = HttpRoute::Ok("short and stout");
    teapot.status = 418;
    teapot.headers.emplace_back("X-Kind", "teapot");
    server.SetRoute("/pot", teapot);

    httplib::Client client = ClientFor(server.port());
    httplib::Result pot = client.Get("/pot?rand=12%3D3", {{"X-Probe", "1"}});
    ASSERT_TRUE(pot);
    EXPECT_EQ(pot->status, 418);
    EXPECT_EQ(pot->get_header_value("X-Kind"), "teapot");
    EXPECT_EQ(pot->get_header_value("Content-Length"), "15");
    EXPECT_EQ(pot->body, "short and stout");

    httplib::Result missing = client.Get("/missing");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/pot?rand=12%3D3");
    EXPECT_EQ(requests[0].Header("x-probe"), "1");
    EXPECT_FALSE(requests[0].HasHeader("X-Absent"));
    EXPECT_EQ(requests[1].target, "/missing");
}

// Each delivery as a client sees it: how the length is framed and whether
// the body arrives whole.
TEST_F(FixtureServersTest, DeliveriesFrameTheBodyAsNamed) {
    struct Case {
        Delivery delivery;
        const char* content_length;  // header value, "" when absent
        const char* transfer_encoding;
        bool complete;
    };
    const Case cases[] = {
        {Delivery::kContentLength, "10", "", true},      {Delivery::kChunked, "", "chunked", true},
        {Delivery::kCloseDelimited, "", "", true},       {Delivery::kShortBody, "10", "", false},
        {Delivery::kAbortChunked, "", "chunked", false},
    };
    HttpFixtureServer server;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.delivery));
        HttpRoute route = HttpRoute::Ok("0123456789");
        route.delivery = c.delivery;
        route.cut_at = 4;
        server.SetRoute("/body", route);
        std::string received;
        httplib::Headers headers;
        httplib::Client client = ClientFor(server.port());
        httplib::Result result = client.Get(
            "/body",
            [&](const httplib::Response& response) {
                headers = response.headers;
                return true;
            },
            [&](const char* data, std::size_t length) {
                received.append(data, length);
                return true;
            });
        auto value = [&](const char* name) {
            auto found = headers.find(name);
            return found == headers.end() ? std::string() : found->second;
        };
        EXPECT_EQ(value("Content-Length"), c.content_length);
        EXPECT_EQ(value("Transfer-Encoding"), c.transfer_encoding);
        EXPECT_EQ(static_cast<bool>(result), c.complete);
        EXPECT_EQ(received, c.complete ? "0123456789" : "0123");
    }
}

TEST_F(FixtureServersTest, StallPausesMidBodyAndEndsWhenTheServerStops) {
    std::string received;
    std::thread reader;
    {
        HttpFixtureServer server;
        HttpRoute route = HttpRoute::Ok("headtail");
        route.cut_at = 4;
        route.stall_ms = 60000;
        server.SetRoute("/slow", route);
        reader = std::thread([&, port = server.port()] {
            httplib::Client client = ClientFor(port);
            client.Get("/slow", [&](const char* data, std::size_t length) {
                received.append(data, length);
                return true;
            });
        });
        EXPECT_TRUE(server.WaitUntilStalled(std::chrono::seconds(10)));
        // Leaving the scope must not wait out the stall.
    }
    reader.join();
    EXPECT_EQ(received.substr(0, 4), "head");
    EXPECT_NE(received, "headtail");
}

TEST_F(FixtureServersTest, ReleasedStallsSendTheRestOfTheBody) {
    HttpFixtureServer server;
    HttpRoute route = HttpRoute::Ok("headtail");
    route.cut_at = 4;
    route.stall_ms = 60000;
    server.SetRoute("/slow", route);
    auto reader = std::async(std::launch::async, [port = server.port()] {
        httplib::Client client = ClientFor(port);
        httplib::Result result = client.Get("/slow");
        return result ? result->body : std::string("no response");
    });
    ASSERT_TRUE(server.WaitUntilStalled(std::chrono::seconds(10)));
    server.ReleaseStalls();
    ASSERT_EQ(reader.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(reader.get(), "headtail");
}

TEST_F(FixtureServersTest, NginxServesAFolder) {
    WriteFile(work() / "www" / "LauncherVersion" / "version", "1.0.7\n");
    testsupport::NginxFixture nginx;
    ASSERT_TRUE(nginx.Start(work() / "www", work() / "nginx")) << nginx.error_log();
    httplib::Client client = ClientFor(nginx.port());
    httplib::Result found = client.Get("/LauncherVersion/version");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->status, 200);
    EXPECT_EQ(found->body, "1.0.7\n");
    httplib::Result missing = client.Get("/nothing");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
    EXPECT_TRUE(nginx.Stop());
    EXPECT_NE(ReadFile(work() / "nginx" / "access.log").find("GET /LauncherVersion/version"),
              std::string::npos);
}

}  // namespace
