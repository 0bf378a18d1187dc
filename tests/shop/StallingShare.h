// A share for tests of the data folder: up, gone, stalled or losing replies, and a
// file whose every call goes through it first. Native and Windows tests alike.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "core/WideString.h"
#include "journal/JournalFile.h"
#include "journal/JournalStore.h"

namespace lacqueron {

enum class ShareState { kUp, kDown, kStalled, kReplyLost };

// The share every file of the test goes through: up, gone (every call fails), stalled
// (every call waits until it is up or gone again), or losing replies (a write lands but
// is reported failed).
class Share {
public:
    void Set(ShareState state) {
        {
            std::lock_guard lock(mutex_);
            state_ = state;
        }
        changed_.notify_all();
    }
    // False when the share is gone; waits while it stalls.
    bool Pass() {
        std::unique_lock lock(mutex_);
        if (state_ == ShareState::kStalled) ++stalledCalls_;
        changed_.wait(lock, [this] { return state_ != ShareState::kStalled; });
        return state_ != ShareState::kDown;
    }
    bool ReplyLost() {
        std::lock_guard lock(mutex_);
        return state_ == ShareState::kReplyLost;
    }
    int StalledCalls() {
        std::lock_guard lock(mutex_);
        return stalledCalls_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    ShareState state_ = ShareState::kUp;
    int stalledCalls_ = 0;
};

// A file on the share: the real file behind it, every call through the share first.
class ShareFile final : public JournalFile {
public:
    ShareFile(std::shared_ptr<Share> share, std::unique_ptr<JournalFile> file)
        : share_(std::move(share)), file_(std::move(file)) {}
    JournalLockResult TryLock(JournalLockKind kind) override {
        return share_->Pass() ? file_->TryLock(kind) : JournalLockResult::Failed;
    }
    void Unlock() override { file_->Unlock(); }
    bool Size(std::uint64_t& size) override { return share_->Pass() && file_->Size(size); }
    bool ReadInto(std::uint64_t offset, std::size_t length, char* out) override {
        return share_->Pass() && file_->ReadInto(offset, length, out);
    }
    bool Append(const std::string& bytes) override {
        return share_->Pass() && file_->Append(bytes) && !share_->ReplyLost();
    }

private:
    std::shared_ptr<Share> share_;
    std::unique_ptr<JournalFile> file_;
};

// A store read from `file` (null when it could not be opened) on the share; null, with
// the reason in error, when it cannot be read.
template <class Store>
std::unique_ptr<Store> OpenOnShare(const std::shared_ptr<Share>& share, std::unique_ptr<JournalFile> file,
                                   const WideString& path, WideString& error) {
    if (file) {
        auto store = std::make_unique<Store>(std::make_unique<ShareFile>(share, std::move(file)));
        if (store->Load() == JournalLoadResult::Loaded) return store;
    }
    error = u"Не удалось прочитать " + path;
    return nullptr;
}

}  // namespace lacqueron
