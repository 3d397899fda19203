#pragma once
// A small SMTP relay on loopback for tests: accepts sessions on a thread,
// records the envelope and data of every accepted mail, and can answer a
// chosen command with a refusal.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_smtp {

struct SinkMail {
    std::string mailFrom;                // as given in MAIL FROM, without < >
    std::vector<std::string> rcptTo;     // the same for every RCPT TO
    std::string data;                    // after DATA, dots unstuffed, CRLF kept

    // The value of the first header of that name (exact letter case), its
    // folded continuation lines joined; "" when absent.
    std::string Header(const std::string& name) const {
        const std::string head = "\r\n" + Head();
        const std::size_t pos = head.find("\r\n" + name + ": ");
        if (pos == std::string::npos) return "";
        std::string value;
        std::size_t i = pos + 2 + name.size() + 2;
        for (;;) {
            const std::size_t end = head.find("\r\n", i);
            value += head.substr(i, end - i);
            if (end + 2 >= head.size() || (head[end + 2] != ' ' && head[end + 2] != '\t')) break;
            i = end + 2;
        }
        return value;
    }
    std::string Head() const { return data.substr(0, data.find("\r\n\r\n") + 2); }
    std::string RawBody() const { return data.substr(data.find("\r\n\r\n") + 4); }
};

inline std::string DecodeBase64(const std::string& text) {
    std::string out;
    unsigned v = 0;
    int bits = 0;
    for (char c : text) {
        int d;
        if (c >= 'A' && c <= 'Z') d = c - 'A';
        else if (c >= 'a' && c <= 'z') d = c - 'a' + 26;
        else if (c >= '0' && c <= '9') d = c - '0' + 52;
        else if (c == '+') d = 62;
        else if (c == '/') d = 63;
        else continue;
        v = v << 6 | d;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((v >> bits) & 0xff);
        }
    }
    return out;
}

class SmtpSink {
public:
    SmtpSink() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        const int on = 1;
        setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        listen(listener_, 8);
        socklen_t len = sizeof addr;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~SmtpSink() {
        stop_ = true;
        Resume();
        thread_.join();
        close(listener_);
    }
    SmtpSink(const SmtpSink&) = delete;
    SmtpSink& operator=(const SmtpSink&) = delete;

    // "127.0.0.1:port", as the SmtpServer setting holds it.
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

    // Answer `command` ("MAIL", "RCPT", "DATA" or "." for the end of data)
    // with `reply`, e.g. "550 5.7.1 Relaying denied".
    void Refuse(const std::string& command, const std::string& reply) {
        std::lock_guard lock(mutex_);
        refusals_[command] = reply;
    }

    // Answer the RCPT TO of `address` alone with `reply`.
    void RefuseRecipient(const std::string& address, const std::string& reply) {
        std::lock_guard lock(mutex_);
        refusals_["RCPT " + address] = reply;
    }

    // A relay that stalls: each session waits before answering `command`
    // until Resume.
    void StallAt(const std::string& command) {
        std::lock_guard lock(mutex_);
        stallAt_ = command;
    }
    void Resume() {
        {
            std::lock_guard lock(mutex_);
            stallAt_.clear();
        }
        resumed_.notify_all();
    }

    // Waits until a session stalls (false when none has after a long while).
    bool WaitUntilStalled() {
        std::unique_lock lock(mutex_);
        return resumed_.wait_for(lock, std::chrono::seconds(30), [&] { return stalled_ > 0; });
    }

    std::vector<SinkMail> Mails() const {
        std::lock_guard lock(mutex_);
        return mails_;
    }

    // A loopback address where nothing listens.
    static std::string DeadAddress() {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
        close(s);
        return "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
    }

private:
    void Serve() {
        while (!stop_) {
            pollfd p{listener_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            Session(client);
            close(client);
        }
    }

    std::string RefusalFor(const std::string& command) const {
        std::lock_guard lock(mutex_);
        auto it = refusals_.find(command);
        return it == refusals_.end() ? "" : it->second;
    }

    static void Send(int fd, const std::string& line) {
        const std::string out = line + "\r\n";
        // A client gone meanwhile (one that gave up on a stalled relay)
        // must not end the test program.
        (void)!send(fd, out.data(), out.size(), MSG_NOSIGNAL);
    }

    // One line without its CRLF; false when the peer is gone.
    bool ReadLine(int fd, std::string& buffer, std::string& line) {
        for (;;) {
            const std::size_t end = buffer.find("\r\n");
            if (end != std::string::npos) {
                line = buffer.substr(0, end);
                buffer.erase(0, end + 2);
                return true;
            }
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) {
                if (stop_) return false;
                continue;
            }
            char chunk[4096];
            const ssize_t n = read(fd, chunk, sizeof chunk);
            if (n <= 0) return false;
            buffer.append(chunk, n);
        }
    }

    static std::string Path(const std::string& arg) {
        const std::size_t open = arg.find('<');
        const std::size_t close = arg.find('>', open);
        if (open == std::string::npos || close == std::string::npos) return arg;
        return arg.substr(open + 1, close - open - 1);
    }

    void Session(int fd) {
        std::string buffer, line;
        SinkMail mail;
        Send(fd, "220 sink ready");
        while (ReadLine(fd, buffer, line)) {
            const std::string verb = line.substr(0, 4);
            {
                std::unique_lock lock(mutex_);
                if (stallAt_ == verb) {
                    ++stalled_;
                    resumed_.notify_all();
                    resumed_.wait(lock, [&] { return stallAt_ != verb; });
                }
            }
            if (verb == "EHLO" || verb == "HELO") {
                Send(fd, "250 sink");
            } else if (verb == "MAIL") {
                if (Reply(fd, "MAIL")) continue;
                mail = SinkMail{};
                mail.mailFrom = Path(line);
                Send(fd, "250 OK");
            } else if (verb == "RCPT") {
                if (Reply(fd, "RCPT") || Reply(fd, "RCPT " + Path(line))) continue;
                mail.rcptTo.push_back(Path(line));
                Send(fd, "250 OK");
            } else if (verb == "DATA") {
                if (Reply(fd, "DATA")) continue;
                Send(fd, "354 go ahead");
                while (ReadLine(fd, buffer, line) && line != ".")
                    mail.data += (line.rfind("..", 0) == 0 ? line.substr(1) : line) + "\r\n";
                if (Reply(fd, ".")) continue;
                {
                    std::lock_guard lock(mutex_);
                    mails_.push_back(mail);
                }
                Send(fd, "250 queued");
            } else if (verb == "QUIT") {
                Send(fd, "221 bye");
                return;
            } else {
                Send(fd, "250 OK");  // RSET, NOOP
            }
        }
    }

    bool Reply(int fd, const std::string& command) {
        const std::string refusal = RefusalFor(command);
        if (refusal.empty()) return false;
        Send(fd, refusal);
        return true;
    }

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable resumed_;
    std::string stallAt_;
    int stalled_ = 0;  // sessions that have stalled
    std::map<std::string, std::string> refusals_;
    std::vector<SinkMail> mails_;
};

}  // namespace testing_smtp
