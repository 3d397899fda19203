// The waits a page may make are marked while they last: the write turn's
// queue, another connection's database lock, the mail relay.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>

#include "TempFolder.h"
#include "platform/MailComponent.h"
#include "platform/SqliteDatabase.h"
#include "platform/WaitMark.h"
#include "platform/WriteTurn.h"

namespace {

using namespace std::chrono_literals;

// Runs `wait` on a thread whose marks are counted; true when a mark was
// seen while it waited and none is left after. `release` ends the wait.
bool MarkedWhileItWaits(const std::function<void()>& wait, const std::function<void()>& release) {
    std::atomic<std::size_t> marks{0};
    std::atomic<bool> done{false};
    std::thread waiter([&] {
        platform::WaitMark::CountOn(&marks);
        wait();
        done = true;
    });
    bool seen = false;
    for (int i = 0; i < 10000 && !seen && !done; ++i) {
        seen = marks.load() > 0;
        std::this_thread::sleep_for(1ms);
    }
    release();
    waiter.join();
    return seen && marks.load() == 0;
}

TEST(WaitMark, TheWriteTurnsQueueIsAMarkedWait) {
    platform::WriteTurn& turn = platform::WriteTurn::Of("/wait-mark-test/turn.db");
    ASSERT_TRUE(turn.TryAcquire());
    EXPECT_TRUE(MarkedWhileItWaits(
        [&] {
            if (turn.Acquire(10s)) turn.Release();
        },
        [&] { turn.Release(); }));
}

TEST(WaitMark, AnotherConnectionsLockIsAMarkedWait) {
    TempFolder folder;
    platform::SqliteDatabase holder(folder.File("lock.db"), true), waiter(folder.File("lock.db"));
    holder.Exec("BEGIN IMMEDIATE");
    EXPECT_TRUE(MarkedWhileItWaits(
        [&] {
            waiter.Exec("BEGIN IMMEDIATE");
            waiter.Exec("COMMIT");
        },
        [&] { holder.Exec("COMMIT"); }));
}

// A relay that takes the connection and never says a word.
TEST(WaitMark, ASilentRelayIsAMarkedWait) {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(listener, 8), 0);
    socklen_t length = sizeof addr;
    getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &length);
    platform::MailComponent mail;
    mail.MailServer("127.0.0.1:" + std::to_string(ntohs(addr.sin_port)));
    mail.MailFromAddress("board@example.com");
    mail.AddRecipient("Li", "li@example.com");
    mail.MailDeadline(10);
    EXPECT_TRUE(MarkedWhileItWaits([&] { (void)mail.SendNow(); }, [&] { close(listener); }));
}

}  // namespace
