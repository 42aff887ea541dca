// A scripted HTTP server for tests: listens on an ephemeral port of
// 127.0.0.1, answers each path from a table of routes (exact status, headers
// and body, or a fault), and records every request it receives.
//
// Thread rules: the server answers on its own threads from construction to
// destruction. SetRoute, Requests and WaitUntilStalled may be called from
// any thread. Destruction ends stalls at once, then waits for the answers in
// progress, so a test never hangs on a stalled route.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class Server;
struct Response;
}  // namespace httplib

namespace testsupport {

struct HttpRoute {
    // How the body reaches the client.
    enum class Delivery {
        kContentLength,   // Content-Length, then the whole body
        kChunked,         // chunked, no Content-Length
        kCloseDelimited,  // no Content-Length; the body ends when the connection closes
        kShortBody,       // Content-Length of the whole body, only cut_at bytes, then close
        kAbortChunked,    // chunked, cut_at bytes, then close without the last chunk
    };

    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    Delivery delivery = Delivery::kContentLength;
    // Where a short or aborted body ends, and where a stall pauses.
    std::size_t cut_at = 0;
    // Pause after cut_at bytes for this long (or until the server stops).
    int stall_ms = 0;

    static HttpRoute Ok(std::string body);
    static HttpRoute Redirect(int status, std::string location);
};

struct HttpRequestRecord {
    std::string method;
    std::string target;  // path and query exactly as sent
    std::vector<std::pair<std::string, std::string>> headers;

    // The first value of a header (names without regard to case), "" if absent.
    std::string Header(std::string_view name) const;
    bool HasHeader(std::string_view name) const;
};

class HttpFixtureServer {
  public:
    HttpFixtureServer();
    ~HttpFixtureServer();
    HttpFixtureServer(const HttpFixtureServer&) = delete;
    HttpFixtureServer& operator=(const HttpFixtureServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by path.
    std::string Url(std::string_view path) const;

    // Paths are matched without their query; unknown paths answer 404.
    void SetRoute(const std::string& path, HttpRoute route);
    std::vector<HttpRequestRecord> Requests() const;

    // True once a stalled route has paused, false when timeout passes first.
    bool WaitUntilStalled(std::chrono::milliseconds timeout);
    // Ends every stall, now and later, as if its time had passed.
    void ReleaseStalls();

  private:
    void Handle(const HttpRequestRecord& record, const std::string& path,
                httplib::Response& response);
    bool Pause(int stall_ms);

    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;
    std::thread thread_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, HttpRoute> routes_;
    std::vector<HttpRequestRecord> requests_;
    int stalls_reached_ = 0;
    bool stalls_released_ = false;
    bool stopping_ = false;
};

}  // namespace testsupport
