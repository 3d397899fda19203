#include "platform/WriteTurn.h"

#include <map>
#include <thread>

#include "platform/SqliteDatabase.h"

namespace platform {

namespace {

std::mutex registryLock;
std::map<std::string, std::unique_ptr<WriteTurn>>& Registry() {
    static auto* turns = new std::map<std::string, std::unique_ptr<WriteTurn>>;  // never destroyed
    return *turns;
}

// A turn lasts a fraction of a millisecond, and waking a sleeping thread
// takes about as long on a busy machine: a few waiters try for a while
// before they sleep. Sleeping ones are woken as the mutex hands on.
constexpr auto kSpinTime = std::chrono::microseconds(1000);
constexpr int kMostSpinning = 2;

}  // namespace

WriteTurn& WriteTurn::Of(const std::string& path) {
    std::lock_guard guard(registryLock);
    auto& slot = Registry()[path];
    if (!slot) slot.reset(new WriteTurn(path));
    return *slot;
}

bool WriteTurn::TryAcquire() { return turn_.try_lock(); }

bool WriteTurn::Acquire(std::chrono::milliseconds timeout) {
    if (turn_.try_lock()) return true;
    if (spinning_.fetch_add(1) < kMostSpinning) {
        const auto until = std::chrono::steady_clock::now() + kSpinTime;
        do {
            std::this_thread::yield();
            if (turn_.try_lock()) {
                spinning_.fetch_sub(1);
                return true;
            }
        } while (std::chrono::steady_clock::now() < until);
    }
    spinning_.fetch_sub(1);
    return turn_.try_lock_for(timeout);
}

void WriteTurn::Release() {
    if (writer_) writer_->GrantTo({});
    turn_.unlock();
}

std::shared_ptr<SqliteDatabase> WriteTurn::Writer() {
    DropWriterOfGoneFile();
    if (!writer_) {
        const auto file = IdentityOfFile(path_);
        if (!file) return nullptr;
        writer_ = std::make_shared<SqliteDatabase>(path_, false, HandleUse::WritersInTurn);
        writerFile_ = *file;
        // Tests and tools open many files in one process: the handles of
        // files since deleted would hold them open.
        std::lock_guard guard(registryLock);
        for (auto& [path, turn] : Registry())
            if (turn.get() != this && turn->TryAcquire()) {
                turn->DropWriterOfGoneFile();
                turn->Release();
            }
    }
    writer_->GrantTo(std::this_thread::get_id());
    return writer_;
}

void WriteTurn::DropWriterOfGoneFile() {
    if (!writer_) return;
    const auto file = IdentityOfFile(path_);
    if (!(file && *file == writerFile_)) writer_.reset();
}

}  // namespace platform
