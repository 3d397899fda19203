#include "site/HttpServer.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/AddressKey.h"
#include "site/BoardHost.h"
#include "site/LoopThreads.h"

namespace site {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using error_code = beast::error_code;
// A connection's handlers take turns (its strand): a loop may have several
// threads while a page of its waits. Named, not type-erased: an erased
// strand executor cost an allocation and a shared count at every operation.
using Strand = asio::strand<asio::io_context::executor_type>;
using Socket = tcp::socket::rebind_executor<Strand>::other;

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%D6%D0.asp" -> its bytes; a "+" stays, as in any path.
std::string PercentDecodePath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size() && HexDigit(path[i + 1]) >= 0 && HexDigit(path[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(path[i + 1]) * 16 + HexDigit(path[i + 2]));
            i += 2;
        } else {
            out += path[i];
        }
    }
    return out;
}

std::string_view View(beast::string_view text) { return {text.data(), text.size()}; }

// How long and how much a closing connection still reads of what its client
// sends after the last answer.
constexpr std::size_t kDrainBytes = 1024 * 1024;
constexpr std::chrono::seconds kDrainTime{2};

}  // namespace

class HttpServer::Impl {
public:
    Impl(HttpServer& owner, BoardHost& host, std::size_t loopCount)
        : owner(owner), host(host), limits(host.options().limits), loops(MakeLoops(loopCount)),
          acceptor(*loops.front()), acceptPause(*loops.front()),
          threads(
              loops.size(), kMostThreads, [this](std::size_t i) { return loops[i]->run_one() > 0; },
              [this](std::size_t i) { asio::post(*loops[i], [] {}); }) {}

    // Enough for every page that may wait at once (the connections of a few
    // hundred visitors), few enough that memory stays bounded.
    static constexpr std::size_t kMostThreads = 512;

    // A loop is served by one thread but while its pages wait, and then by
    // one free thread and those in pages (LoopThreads): told so (the hint
    // 1), it keeps the handlers a thread queues for that thread, where a
    // loop told of many threads signalled one or interrupted its poll at
    // every handler, a system call or two per request. It still locks, so
    // the threads in pages may finish their handlers meanwhile; what they
    // leave queued the watcher wakes the loop for.
    static std::vector<std::unique_ptr<asio::io_context>> MakeLoops(std::size_t count) {
        std::vector<std::unique_ptr<asio::io_context>> loops;
        for (std::size_t i = 0; i < count; ++i) loops.push_back(std::make_unique<asio::io_context>(1));
        return loops;
    }

    // Counts a connection of `address`'s client (an IPv6 client by its /64);
    // false when it has its share already.
    bool Enter(const std::string& address) {
        std::string key = platform::AddressLimitKey(address);
        std::lock_guard lock(addressMutex);
        std::size_t& open = openByAddress[std::move(key)];
        if (open >= limits.connectionsPerAddress) return false;
        ++open;
        return true;
    }
    // Counts `bytes` of body in flight; false when they would pass the total.
    bool ReserveBody(std::size_t bytes) {
        std::size_t held = bodyBytes.load();
        do {
            if (held + bytes > limits.bodyBytesInFlight) return false;
        } while (!bodyBytes.compare_exchange_weak(held, held + bytes));
        return true;
    }
    void ReleaseBody(std::size_t bytes) { bodyBytes -= bytes; }

    void Leave(const std::string& address) {
        const std::string key = platform::AddressLimitKey(address);
        std::lock_guard lock(addressMutex);
        const auto it = openByAddress.find(key);
        if (it != openByAddress.end() && --it->second == 0) openByAddress.erase(it);
    }

    // Behind a trusted proxy every client shares the proxy's address: the
    // proxy's connections are not counted, each request of a client behind
    // it is, under the client's address, while it is read and answered.
    class RequestShare {
    public:
        RequestShare(Impl& server, std::string address) : server_(server), address_(std::move(address)) {}
        ~RequestShare() { server_.Leave(address_); }
        RequestShare(const RequestShare&) = delete;
        RequestShare& operator=(const RequestShare&) = delete;

    private:
        Impl& server_;
        std::string address_;
    };

    void Accept();

    // The loop of the next connection, in turn.
    asio::io_context& NextLoop() { return *loops[nextLoop++ % loops.size()]; }

    HttpServer& owner;
    BoardHost& host;
    const RequestLimits& limits;
    std::mutex addressMutex;
    std::unordered_map<std::string, std::size_t> openByAddress;
    std::atomic<std::size_t> bodyBytes{0};  // in flight (ReserveBody)
    // One event loop per thread, each with its share of the connections: a
    // loop shared by all threads made them queue for its lock at every
    // read, write and timer.
    std::vector<std::unique_ptr<asio::io_context>> loops;
    std::size_t nextLoop = 0;  // only the accepting loop's thread turns it
    tcp::acceptor acceptor;
    asio::steady_timer acceptPause;
    LoopThreads threads;
    std::atomic<bool> running{false};
    std::atomic<bool> stopped{false};
};

namespace {

// One line per request on standard error, written with one call: stdio's
// stream lock would make every worker wait for the others' lines.
void LogRequest(const std::string& address, const std::string& method, const std::string& target, int status,
                std::size_t size) {
    std::string line;
    line.reserve(address.size() + method.size() + target.size() + 32);
    line.append(address).append(" \"").append(method).append(" ").append(target).append("\" ");
    line.append(std::to_string(status)).append(" ").append(std::to_string(size)).append("\n");
    for (std::size_t written = 0; written < line.size();) {
        const ssize_t n = ::write(STDERR_FILENO, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // a log that cannot be written does not stop the board
        written += static_cast<std::size_t>(n);
    }
}

// One client connection: reads a request head within its deadline, refuses
// it at once when it asks too much, reads its body within its deadline,
// runs its page, writes the answer, and waits a short while for
// the next request of a keep-alive client.
class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(HttpServer::Impl& server, Socket socket, std::string address, bool fromProxy)
        : server_(server), limits_(server.limits), stream_(std::move(socket)), address_(std::move(address)),
          fromProxy_(fromProxy) {
        error_code ignored;
        localPort_ = stream_.socket().local_endpoint(ignored).port();
    }
    ~Connection() {
        releaseBody();
        if (!fromProxy_) server_.Leave(address_);
    }

    void Start() { waitForRequest(); }

private:
    const std::string& clientAddress() const { return client_.empty() ? address_ : client_; }

    void waitForRequest() {
        if (buffer_.size() > 0) return readHead();
        // A keep-alive client gets a short while to start its next request.
        stream_.expires_after(firstRequest_ ? limits_.headTime : limits_.keepAliveIdle);
        stream_.async_read_some(buffer_.prepare(4096), [self = shared_from_this()](error_code ec, std::size_t n) {
            if (ec) return self->close();
            self->buffer_.commit(n);
            self->readHead();
        });
    }

    void readHead() {
        client_.clear();
        parser_.emplace();
        parser_->header_limit(static_cast<std::uint32_t>(limits_.headBytes));
        // The page's own limit is set once the head has named the page.
        parser_->body_limit(std::numeric_limits<std::uint64_t>::max());
        stream_.expires_after(limits_.headTime);
        http::async_read_header(stream_, buffer_, *parser_, [self = shared_from_this()](error_code ec, std::size_t) {
            self->onHead(ec);
        });
    }

    void onHead(error_code ec) {
        if (ec == http::error::header_limit) return refuse(431);
        // A head that does not parse is told so; a client gone or too slow
        // is not.
        const bool malformed = ec && ec.category() == http::make_error_code(http::error::bad_method).category() &&
                               ec != http::error::end_of_stream && ec != http::error::partial_message;
        if (malformed) return refuse(400);
        if (ec) return close();

        const auto& head = parser_->get();
        if (static_cast<std::size_t>(std::distance(head.begin(), head.end())) > limits_.headerLines)
            return refuse(431);
        if (fromProxy_) {
            std::string forwardedFor;
            for (const auto& field : head)
                if (beast::iequals(field.name_string(), "X-Forwarded-For"))
                    forwardedFor.append(View(field.value())).append(",");
            client_ = server_.host.options().trustedProxies.ClientAddress(address_, forwardedFor);
            if (!server_.Enter(client_)) return refuse(429);
            clientShare_.emplace(server_, client_);
        }
        const std::string_view target = View(head.target());
        path_ = PercentDecodePath(target.substr(0, target.find('?')));
        const std::size_t bodyLimit = server_.host.BodyLimit(path_);
        if (parser_->content_length() && *parser_->content_length() > bodyLimit) return refuse(413);
        parser_->body_limit(bodyLimit);

        if (parser_->is_done()) return runPage();
        if (!server_.ReserveBody(parser_->content_length().value_or(bodyLimit))) return refuse(503);
        bodyReserved_ = parser_->content_length().value_or(bodyLimit);
        if (beast::iequals(head[http::field::expect], "100-continue")) {
            auto going = std::make_shared<http::response<http::empty_body>>(http::status::continue_, head.version());
            stream_.expires_after(limits_.bodyTime);
            http::async_write(stream_, *going, [self = shared_from_this(), going](error_code ec, std::size_t) {
                if (ec) return self->close();
                self->readBody();
            });
            return;
        }
        readBody();
    }

    void readBody() {
        stream_.expires_after(limits_.bodyTime);
        http::async_read(stream_, buffer_, *parser_, [self = shared_from_this()](error_code ec, std::size_t) {
            if (ec == http::error::body_limit) return self->refuse(413);
            if (ec) return self->close();
            self->runPage();
        });
    }

    platform::RawRequest rawRequest() {
        auto request = parser_->release();
        platform::RawRequest raw;
        raw.method = View(request.method_string());
        raw.path = std::move(path_);
        const std::string_view target = View(request.target());
        if (const std::size_t question = target.find('?'); question != std::string_view::npos)
            raw.queryString = std::string(target.substr(question + 1));
        raw.remoteAddr = address_;  // the host takes the client's from a trusted proxy itself
        raw.serverPort = localPort_;
        const std::string_view host = View(request[http::field::host]);
        raw.serverName = std::string(host.substr(0, std::min(host.rfind(':'), host.size())));
        for (const auto& field : request) raw.headers.emplace_back(View(field.name_string()), View(field.value()));
        raw.body = std::move(request.body());
        return raw;
    }

    void runPage() {
        stream_.expires_never();
        const auto& head = parser_->get();
        keepAlive_ = head.keep_alive();
        isHead_ = head.method() == http::verb::head;
        version_ = head.version();
        method_ = View(head.method_string());
        target_ = View(head.target());
        // The page runs on this loop's thread; should it wait, the loop gets
        // another thread meanwhile (LoopThreads). A page may wait, with a
        // platform::WaitMark around the wait; it should not compute for long;
        // and its connection's work stays on this strand.
        const LoopThreads::Page page;
        HostResponse answer = server_.host.Handle(rawRequest());
        releaseBody();
        reply(std::move(answer));
    }

    void releaseBody() { server_.ReleaseBody(std::exchange(bodyReserved_, 0)); }

    void reply(HostResponse out, bool keepAlive = true) {
        keepAlive = keepAlive && keepAlive_ && server_.running;
        if (server_.owner.logRequests) LogRequest(clientAddress(), method_, target_, out.status, out.body.size());
        auto& res = response_.emplace();
        res.result(static_cast<unsigned>(out.status));
        res.version(version_);
        if (!out.contentType.empty()) res.set(http::field::content_type, out.contentType);
        for (const auto& [name, value] : out.headers) res.insert(name, value);
        res.body() = std::move(out.body);
        res.keep_alive(keepAlive);
        res.prepare_payload();
        if (isHead_) res.body().clear();
        stream_.expires_after(limits_.bodyTime);
        http::async_write(stream_, res, [self = shared_from_this(), keepAlive](error_code ec, std::size_t) {
            if (ec) return self->close();
            self->clientShare_.reset();
            if (!keepAlive) return self->drainAndClose();
            self->firstRequest_ = false;
            self->response_.reset();
            self->waitForRequest();
        });
    }

    // Over a limit: the answer at once, then the connection closes.
    void refuse(int status) {
        keepAlive_ = false;
        isHead_ = false;
        const bool known = parser_->is_header_done();
        version_ = known ? parser_->get().version() : 11;
        method_ = known ? View(parser_->get().method_string()) : "-";
        target_ = known ? View(parser_->get().target()) : "-";
        reply(BoardHost::Refusal(status), false);
    }

    // Reads on for a moment after the last answer, so that what the client
    // is still sending does not reset the connection before it has read the
    // answer.
    void drainAndClose() {
        error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        stream_.expires_after(kDrainTime);
        drain();
    }
    void drain() {
        buffer_.consume(buffer_.size());
        stream_.async_read_some(buffer_.prepare(16384), [self = shared_from_this()](error_code ec, std::size_t n) {
            self->drained_ += n;
            if (ec || self->drained_ > kDrainBytes) return self->close();
            self->drain();
        });
    }

    void close() {
        error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream_.close();
    }

    HttpServer::Impl& server_;
    const RequestLimits& limits_;
    beast::basic_stream<tcp, Strand> stream_;
    std::string address_;
    const bool fromProxy_;        // a trusted proxy: its requests count under their clients
    std::string client_;          // behind the proxy, the client of the current request
    std::optional<HttpServer::Impl::RequestShare> clientShare_;
    unsigned short localPort_ = 0;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    std::optional<http::response<http::string_body>> response_;
    std::string path_, method_, target_;
    unsigned version_ = 11;
    bool keepAlive_ = true;
    bool isHead_ = false;
    bool firstRequest_ = true;
    std::size_t drained_ = 0;
    std::size_t bodyReserved_ = 0;  // of the server's body bytes in flight
};

}  // namespace

void HttpServer::Impl::Accept() {
    acceptor.async_accept(asio::make_strand(NextLoop()), [this](error_code ec, Socket socket) {
        if (ec == asio::error::operation_aborted || !acceptor.is_open()) return;
        if (ec) {
            // Out of descriptors, most likely: try again in a moment.
            acceptPause.expires_after(std::chrono::milliseconds(50));
            acceptPause.async_wait([this](error_code) { Accept(); });
            return;
        }
        error_code failed;
        const auto remote = socket.remote_endpoint(failed);
        if (!failed) {
            std::string address = remote.address().to_string();
            const bool fromProxy = host.options().trustedProxies.Trusts(address);
            if (fromProxy || Enter(address)) {
                socket.set_option(tcp::no_delay(true), failed);
                std::make_shared<Connection>(*this, std::move(socket), std::move(address), fromProxy)->Start();
            }
        }
        Accept();
    });
}

HttpServer::HttpServer(BoardHost& host, std::size_t loops) {
    if (loops == 0) loops = std::max<std::size_t>(16, 2 * std::thread::hardware_concurrency());
    impl_ = std::make_unique<Impl>(*this, host, loops);
}

HttpServer::~HttpServer() { Stop(); }

bool HttpServer::Bind(const std::string& address, int port) {
    error_code ec;
    const auto ip = asio::ip::make_address(address, ec);
    if (ec) return false;
    const tcp::endpoint endpoint(ip, static_cast<unsigned short>(port));
    auto& acceptor = impl_->acceptor;
    acceptor.open(endpoint.protocol(), ec);
    if (!ec) acceptor.set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec) acceptor.bind(endpoint, ec);
    if (!ec) acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        acceptor.close(ec);
        return false;
    }
    port_ = acceptor.local_endpoint().port();
    return true;
}

void HttpServer::Run() {
    Impl& impl = *impl_;
    impl.Accept();
    impl.running = true;
    {
        // The loops run on while they have no connection.
        std::vector<asio::executor_work_guard<asio::io_context::executor_type>> work;
        for (auto& loop : impl.loops) work.push_back(asio::make_work_guard(*loop));
        impl.threads.Run();
    }
    impl.running = false;
}

void HttpServer::Stop() {
    Impl& impl = *impl_;
    if (impl.stopped.exchange(true)) return;
    impl.running = false;
    asio::post(*impl.loops.front(), [&impl] {
        error_code ignored;
        impl.acceptor.close(ignored);
        for (auto& loop : impl.loops) loop->stop();
    });
}

bool HttpServer::IsRunning() const { return impl_->running; }

}  // namespace site
