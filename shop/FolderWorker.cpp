#include "shop/FolderWorker.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace lacqueron {
namespace {

constexpr char16_t kNoMemoryText[] = u"Не хватило памяти, чтобы прочитать папку данных.";

// The store handed over when its folder is still in force and there, and it answers
// after catching up; otherwise one opened afresh (reopened set), or none with the
// reason in error.
template <class Store, class Open>
std::unique_ptr<Store> CaughtUpOrReopened(std::unique_ptr<Store> given, bool keepable, Open open,
                                          WideString& error, bool& reopened) {
    if (given && keepable && !given->Failing()) {
        given->Refresh();
        if (!given->Failing()) return given;
    }
    // The dead handle goes before a new one is asked for.
    given.reset();
    reopened = true;
    return open(error);
}

}  // namespace

FolderLook LookAtFolder(FolderAccess& access, FolderHeld held) noexcept {
    FolderLook look;
    try {
        look.folder = access.Folder();
        const bool sameFolder = look.folder == held.folder;
        if (!sameFolder || !held.read) access.MakeFolder(look.folder);
        const bool keepable = sameFolder && access.FolderThere(look.folder);
        look.stores.recipes = CaughtUpOrReopened(
            std::move(held.stores.recipes), keepable,
            [&](WideString& error) { return access.OpenRecipes(look.folder, error); }, look.recipesError,
            look.recipesReopened);
        look.stores.ledger = CaughtUpOrReopened(
            std::move(held.stores.ledger), keepable,
            [&](WideString& error) { return access.OpenLedger(look.folder, error); }, look.ledgerError,
            look.ledgerReopened);
        look.stores.optics = CaughtUpOrReopened(
            std::move(held.stores.optics), keepable,
            [&](WideString& error) { return access.OpenOptics(look.folder, error); }, look.opticsError,
            look.opticsReopened);
    } catch (...) {
        // Out of memory: nothing half read is shown; the next look starts afresh.
        look.stores = {};
        look.recipesReopened = look.ledgerReopened = look.opticsReopened = true;
        try {
            look.recipesError = look.ledgerError = look.opticsError = kNoMemoryText;
        } catch (...) {
            // Not even that: the stores are missing without a reason.
        }
    }
    return look;
}

FolderLook WriteToFolder(FolderAccess& access, FolderHeld held, const FolderWrite& write) noexcept {
    FolderLook look;
    look.stores = std::move(held.stores);
    look.folder.swap(held.folder);
    try {
        // The next look opens the stores afresh once the folder is back.
        look.written = access.FolderThere(look.folder)
                           ? write(look.stores.recipes.get(), look.stores.ledger.get(), look.stores.optics.get())
                           : JournalAppendResult::WriteFailed;
    } catch (...) {
        // Out of memory before the write began, or after it landed: told as not written,
        // and a retry cannot double it, as it carries the same id.
        look.written = JournalAppendResult::WriteFailed;
    }
    return look;
}

struct FolderWorker::Shared {
    Shared(std::shared_ptr<FolderAccess> access, Notify notify) noexcept
        : access(std::move(access)), notify(std::move(notify)) {}

    const std::shared_ptr<FolderAccess> access;
    const Notify notify;
    std::mutex mutex;
    std::condition_variable changed;  // a look asked for, one done, or the end
    bool stopping = false;
    LookGeneration lastGeneration = 0;
    // The look asked for and not begun, with what the window handed over.
    std::optional<LookGeneration> asked;
    FolderHeld askedHeld;
    FolderWrite askedWrite;  // empty for a look
    Notify askedTold;        // who is told of the write
    std::optional<FolderLook> done;  // the last look done and not taken

    void Run() noexcept {
        for (;;) {
            LookGeneration generation = 0;
            FolderHeld held;
            FolderWrite write;
            Notify told;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [this] { return stopping || asked.has_value(); });
                if (stopping) return;
                generation = *asked;
                asked.reset();
                held = std::move(askedHeld);
                write.swap(askedWrite);
                told.swap(askedTold);
            }
            FolderLook look = write ? WriteToFolder(*access, std::move(held), write) : LookAtFolder(*access, std::move(held));
            look.generation = generation;
            {
                std::lock_guard lock(mutex);
                if (stopping) return;
                done = std::move(look);  // a look done before and never taken is stale
            }
            changed.notify_all();
            (told ? told : notify)(generation);
        }
    }
};

std::unique_ptr<FolderWorker> FolderWorker::Start(std::shared_ptr<FolderAccess> access, Notify notify) noexcept {
    try {
        auto shared = std::make_shared<Shared>(std::move(access), std::move(notify));
        std::unique_ptr<FolderWorker> worker(new FolderWorker(shared));
        std::thread([shared = std::move(shared)]() noexcept { shared->Run(); }).detach();
        return worker;
    } catch (const std::exception&) {  // no memory, or no thread
        return nullptr;
    }
}

FolderWorker::~FolderWorker() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
    }
    shared_->changed.notify_all();
}

std::optional<LookGeneration> FolderWorker::Look(FolderHeld& held) noexcept { return Ask(held, {}, {}); }

std::optional<LookGeneration> FolderWorker::Write(FolderHeld& held, FolderWrite write, Notify told) noexcept {
    if (!write) return std::nullopt;
    return Ask(held, std::move(write), std::move(told));
}

std::optional<LookGeneration> FolderWorker::Ask(FolderHeld& held, FolderWrite write, Notify told) noexcept {
    LookGeneration generation = 0;
    try {
        std::lock_guard lock(shared_->mutex);
        if (shared_->asked) return std::nullopt;  // one look or write waits already
        // Moves and swaps only, which never throw: nothing is half handed over.
        shared_->askedHeld = std::move(held);
        shared_->askedWrite.swap(write);
        shared_->askedTold.swap(told);
        generation = ++shared_->lastGeneration;
        shared_->asked = generation;
    } catch (...) {  // the lock could not be taken
        return std::nullopt;
    }
    shared_->changed.notify_all();
    return generation;
}

std::optional<FolderLook> FolderWorker::Take(LookGeneration generation) noexcept {
    return WaitFor(generation, std::chrono::milliseconds::zero());
}

std::optional<FolderLook> FolderWorker::WaitFor(LookGeneration generation, std::chrono::milliseconds limit) noexcept {
    std::optional<FolderLook> look;
    std::unique_lock lock(shared_->mutex);
    shared_->changed.wait_for(lock, limit, [&] { return shared_->done && shared_->done->generation >= generation; });
    // An older look nobody waits for any more is dropped with its stores; a newer one stays.
    if (shared_->done && shared_->done->generation <= generation) look.swap(shared_->done);
    lock.unlock();
    if (look && look->generation != generation) look.reset();
    return look;
}

}  // namespace lacqueron
