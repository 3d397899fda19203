#pragma once
// The HTTP front of the board host (cpp-httplib): thread pool, TCP_NODELAY,
// one log line per request on standard error.
#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace site {

class BoardHost;

class HttpServer {
public:
    // `threads` 0: eight per core, at least 64.
    explicit HttpServer(BoardHost& host, std::size_t threads = 0);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Port 0 takes any free port. False when the address cannot be bound.
    bool Bind(const std::string& address, int port);
    int Port() const { return port_; }
    // Serves until Stop (from any thread).
    void Run();
    void Stop();
    // Whether Run is accepting connections.
    bool IsRunning() const;

    bool logRequests = true;

private:
    BoardHost& host_;
    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;
};

}  // namespace site
