#include "site/HttpServer.h"

#include <httplib.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "site/BoardHost.h"

namespace site {

namespace {

platform::RawRequest ToRawRequest(const httplib::Request& req, int localPort) {
    platform::RawRequest raw;
    raw.method = req.method;
    raw.path = req.path;
    const std::size_t question = req.target.find('?');
    if (question != std::string::npos) raw.queryString = req.target.substr(question + 1);
    raw.body = req.body;
    raw.remoteAddr = req.remote_addr;
    raw.serverPort = localPort;
    const std::string host = req.get_header_value("Host");
    raw.serverName = host.substr(0, host.rfind(':') == std::string::npos ? host.size() : host.rfind(':'));
    raw.headers.reserve(req.headers.size());
    for (const auto& [name, value] : req.headers) raw.headers.emplace_back(name, value);
    return raw;
}

// cpp-httplib percent-decodes every request header value once before we see
// it. Escaping the "%" of a cookie once more on the way out makes the Cookie
// header arrive in the escaped form the request decodes, so values read back
// exactly.
std::string EscapeForHttplib(const std::string& setCookie) {
    const std::size_t end = std::min(setCookie.find(';'), setCookie.size());
    std::string out;
    out.reserve(setCookie.size() + 16);
    for (std::size_t i = 0; i < end; ++i) {
        if (setCookie[i] == '%') out += "%25";
        else out += setCookie[i];
    }
    out.append(setCookie, end);
    return out;
}

void Reply(BoardHost& host, platform::RawRequest raw, httplib::Response& res) {
    HostResponse out = host.Handle(std::move(raw));
    res.status = out.status;
    for (auto& [name, value] : out.headers) {
        if (name == "Set-Cookie") value = EscapeForHttplib(value);
        res.headers.emplace(std::move(name), std::move(value));
    }
    res.set_content(std::move(out.body), out.contentType.c_str());
}

}  // namespace

HttpServer::HttpServer(BoardHost& host, std::size_t threads)
    : host_(host), server_(std::make_unique<httplib::Server>()) {
    // Each keep-alive connection holds a worker while open, so keep plenty.
    if (threads == 0) threads = std::max<std::size_t>(64, 8 * std::thread::hardware_concurrency());
    server_->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    server_->set_tcp_nodelay(true);
    server_->set_keep_alive_max_count(1000);
    server_->set_payload_max_length(64 * 1024 * 1024);

    // Pages and files without a body go straight to the host; a POST comes
    // through the handler below once its body has been read whole.
    server_->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        if (req.method != "GET" && req.method != "HEAD") return httplib::Server::HandlerResponse::Unhandled;
        Reply(host_, ToRawRequest(req, req.local_port), res);
        return httplib::Server::HandlerResponse::Handled;
    });
    server_->Post(".*", [this](const httplib::Request& req, httplib::Response& res,
                               const httplib::ContentReader& read) {
        platform::RawRequest raw = ToRawRequest(req, req.local_port);
        read([&raw](const char* data, std::size_t length) {
            raw.body.append(data, length);
            return true;
        });
        Reply(host_, std::move(raw), res);
    });
    server_->set_logger([this](const httplib::Request& req, const httplib::Response& res) {
        if (!logRequests) return;
        std::fprintf(stderr, "%s \"%s %s\" %d %zu\n", req.remote_addr.c_str(), req.method.c_str(),
                     req.target.c_str(), res.status, res.body.size());
    });
}

HttpServer::~HttpServer() { Stop(); }

bool HttpServer::Bind(const std::string& address, int port) {
    if (port == 0) {
        port_ = server_->bind_to_any_port(address);
        return port_ > 0;
    }
    if (!server_->bind_to_port(address, port)) return false;
    port_ = port;
    return true;
}

void HttpServer::Run() { server_->listen_after_bind(); }

void HttpServer::Stop() {
    if (server_->is_running()) server_->stop();
}

bool HttpServer::IsRunning() const { return server_->is_running(); }

}  // namespace site

