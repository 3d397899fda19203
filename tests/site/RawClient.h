#pragma once
// A client of the server over a plain socket, as a browser's bytes arrive,
// from a loopback address of the test's choice: 127.0.0.2 is another client
// than 127.0.0.1.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace site_test {

// A socket connected to the server from `from`; -1 if none.
inline int Connect(int port, const char* from = "127.0.0.1") {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, from, &address.sin_addr);
    sockaddr_in server = address;
    server.sin_port = htons(static_cast<std::uint16_t>(port));
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

inline void Send(int fd, const std::string& bytes) { (void)!send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }

// What the server sends until it closes the connection or `wait` passes.
struct Received {
    std::string bytes;
    bool closed = false;
};
inline Received ReadFor(int fd, std::chrono::milliseconds wait) {
    Received got;
    const auto end = std::chrono::steady_clock::now() + wait;
    char buffer[4096];
    for (auto now = std::chrono::steady_clock::now(); now < end; now = std::chrono::steady_clock::now()) {
        pollfd p{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
        if (poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0) break;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            got.closed = true;
            break;
        }
        got.bytes.append(buffer, n);
    }
    return got;
}

// One request over a plain socket, as a browser sends it, without a client
// library between: returns the raw response.
inline std::string RawExchange(int port, const std::string& request, const char* from = "127.0.0.1") {
    const int fd = Connect(port, from);
    if (fd < 0) return {};
    Send(fd, request);
    const std::string response = ReadFor(fd, std::chrono::seconds(10)).bytes;
    close(fd);
    return response;
}

}  // namespace site_test
