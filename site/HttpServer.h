#pragma once
// The HTTP front of the board host. Each socket loop waits on its share of
// the connections (handed out in turn) at once, so a slow or idle client
// holds no thread. Once a request's head and body have arrived whole, its
// page runs on the thread that read it; a loop whose threads all wait in
// pages (for a mail relay, the database) gets another thread
// (site/LoopThreads.h), so no page holds up the other connections. Each
// head and body has a total deadline, each client address a cap of open
// connections (a client behind a trusted proxy, of its requests in
// progress), and an oversized request a 4xx answer at once (the limits of
// the host's options). One log line per request on standard error.
#include <memory>
#include <string>

namespace site {

class BoardHost;

class HttpServer {
public:
    // `loops`: socket loops (0 for two per core, at least 16), each with a
    // thread of its own and more while its pages wait, up to a few hundred.
    explicit HttpServer(BoardHost& host, std::size_t loops = 0);
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

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
    int port_ = 0;
};

}  // namespace site
