#include "tests/support/HttpFixtureServer.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>

namespace testsupport {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// Writes body[from, to) to the sink; false when the client has gone.
bool WriteRange(httplib::DataSink& sink, const std::string& body, std::size_t from,
                std::size_t to) {
    return from >= to || sink.write(body.data() + from, to - from);
}

}  // namespace

HttpRoute HttpRoute::Ok(std::string body) {
    HttpRoute route;
    route.body = std::move(body);
    return route;
}

HttpRoute HttpRoute::Redirect(int status, std::string location) {
    HttpRoute route;
    route.status = status;
    route.headers.emplace_back("Location", std::move(location));
    return route;
}

std::string HttpRequestRecord::Header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (SameName(key, name)) {
            return value;
        }
    }
    return "";
}

bool HttpRequestRecord::HasHeader(std::string_view name) const {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& header) { return SameName(header.first, name); });
}

HttpFixtureServer::HttpFixtureServer() : server_(std::make_unique<httplib::Server>()) {
    auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        HttpRequestRecord record{request.method, request.target, {}};
        for (const auto& header : request.headers) {
            record.headers.emplace_back(header.first, header.second);
        }
        Handle(record, request.path, response);
    };
    // One request per connection: a close-delimited body ends with its
    // response instead of at the keep-alive time-out.
    server_->set_keep_alive_max_count(1);
    server_->Get(".*", handler);
    server_->Post(".*", handler);
    // bind_to_any_port listens at once, so clients may connect before the
    // accept loop runs.
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ > 0) {
        thread_ = std::thread([this] { server_->listen_after_bind(); });
        // stop() is ignored until the loop runs, and the join would hang.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!server_->is_running() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
    }
}

HttpFixtureServer::~HttpFixtureServer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    server_->stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::string HttpFixtureServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void HttpFixtureServer::SetRoute(const std::string& path, HttpRoute route) {
    std::lock_guard<std::mutex> lock(mutex_);
    routes_[path] = std::move(route);
}

std::vector<HttpRequestRecord> HttpFixtureServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

bool HttpFixtureServer::WaitUntilStalled(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return stalls_reached_ > 0; });
}

// False when the server is stopping, so the answer ends at once.
bool HttpFixtureServer::Pause(int stall_ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    ++stalls_reached_;
    changed_.notify_all();
    changed_.wait_for(lock, std::chrono::milliseconds(stall_ms),
                      [this] { return stopping_ || stalls_released_; });
    return !stopping_;
}

void HttpFixtureServer::ReleaseStalls() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stalls_released_ = true;
    }
    changed_.notify_all();
}

void HttpFixtureServer::Handle(const HttpRequestRecord& record, const std::string& path,
                               httplib::Response& response) {
    HttpRoute route;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(record);
        auto found = routes_.find(path);
        if (found == routes_.end()) {
            response.status = 404;
            response.set_content("not found", "text/plain");
            return;
        }
        route = found->second;
    }
    response.status = route.status;
    for (const auto& [name, value] : route.headers) {
        response.set_header(name, value);
    }
    auto body = std::make_shared<const std::string>(std::move(route.body));
    const std::size_t cut = std::min(route.cut_at, body->size());
    const int stall_ms = route.stall_ms;
    const HttpRoute::Delivery delivery = route.delivery;
    const bool cut_short = delivery == HttpRoute::Delivery::kShortBody ||
                           delivery == HttpRoute::Delivery::kAbortChunked;

    // The head of the body, an optional stall, then the rest unless the
    // route cuts it short. False ends the connection without a proper end.
    auto send = [this, body, cut, stall_ms, cut_short](httplib::DataSink& sink) {
        if (!WriteRange(sink, *body, 0, cut)) {
            return false;
        }
        if (stall_ms > 0 && !Pause(stall_ms)) {
            return false;
        }
        if (cut_short) {
            return false;
        }
        return WriteRange(sink, *body, cut, body->size());
    };
    const std::string type = "application/octet-stream";
    switch (delivery) {
        case HttpRoute::Delivery::kContentLength:
        case HttpRoute::Delivery::kShortBody:
            if (body->empty() && stall_ms == 0) {
                return;
            }
            response.set_content_provider(
                body->size(), type,
                [send](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    // One call sends everything; a later call means the body was cut.
                    return offset == 0 && send(sink);
                });
            return;
        case HttpRoute::Delivery::kChunked:
        case HttpRoute::Delivery::kAbortChunked:
            response.set_chunked_content_provider(type,
                                                  [send](std::size_t, httplib::DataSink& sink) {
                                                      if (!send(sink)) {
                                                          return false;
                                                      }
                                                      sink.done();
                                                      return true;
                                                  });
            return;
        case HttpRoute::Delivery::kCloseDelimited:
            response.set_content_provider(type, [send](std::size_t, httplib::DataSink& sink) {
                if (!send(sink)) {
                    return false;
                }
                sink.done();
                return true;
            });
            return;
    }
}

}  // namespace testsupport
