#include "journal/JournalFile.h"

#include <algorithm>
#include <thread>

namespace lacqueron {
namespace {

// Neither Wine nor flock can wait for a file lock with a time limit, so a held lock is
// asked for again at this pace; a batch's write is over in a few of these steps.
constexpr std::chrono::milliseconds kLockRetryStep{5};

}  // namespace

JournalLockGuard::JournalLockGuard(JournalFile& file, JournalLockKind kind, std::chrono::milliseconds limit)
    : file_(file), result_(file.TryLock(kind)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (result_ == JournalLockResult::Busy) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) break;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kLockRetryStep, deadline - now));
        result_ = file.TryLock(kind);
    }
}

}  // namespace lacqueron
