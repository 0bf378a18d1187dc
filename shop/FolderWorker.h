// The data folder's stores (own recipes, ledger, optics) opened, opened again and caught up on
// a thread of their own, so a share that stalls or drops never holds up a window. The
// window hands its stores over for a look and takes them back when told; every look is
// stamped with a generation, and a look nobody waits for any more is dropped.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/WideString.h"
#include "ledger/Ledger.h"
#include "ownrecipes/OwnRecipeStore.h"
#include "tint/OpticsStore.h"

namespace lacqueron {

// The shop's stores in the data folder; null where one could not be opened.
struct FolderStores {
    std::unique_ptr<OwnRecipeStore> recipes;
    std::unique_ptr<LedgerStore> ledger;
    std::unique_ptr<OpticsStore> optics;  // the shop's calibrations of the pastes
};

// The file system's side of a look: the program's goes through Win32, a test's may stall
// or fail. Called on the worker's thread only, one call at a time.
class FolderAccess {
public:
    virtual ~FolderAccess() = default;
    // The data folder in force, as set; empty when there is none. Makes nothing.
    virtual WideString Folder() = 0;
    // Makes the folder's own level when it is missing (a share that is not there stays
    // not there).
    virtual void MakeFolder(const WideString& folder) = 0;
    // Whether the folder is still where it was: one renamed away, or a share that
    // dropped, can leave open handles that still read a file no longer at its place.
    virtual bool FolderThere(const WideString& folder) = 0;
    // Opens and reads a store in the folder; null, with the Russian reason in error,
    // when the folder cannot be reached or the file read.
    virtual std::unique_ptr<OwnRecipeStore> OpenRecipes(const WideString& folder, WideString& error) = 0;
    virtual std::unique_ptr<LedgerStore> OpenLedger(const WideString& folder, WideString& error) = 0;
    // An access that keeps no optics leaves the vendor's table in force.
    virtual std::unique_ptr<OpticsStore> OpenOptics(const WideString& /*folder*/, WideString& /*error*/) {
        return nullptr;
    }
};

using LookGeneration = std::uint64_t;

// What one look at the folder found.
struct FolderLook {
    LookGeneration generation = 0;
    WideString folder;    // the folder looked at
    FolderStores stores;  // caught up, or opened afresh
    WideString recipesError;  // why stores.recipes is null
    WideString ledgerError;   // why stores.ledger is null
    WideString opticsError;   // why stores.optics is null
    bool recipesReopened = false;  // not the store handed over: everything is to be read again
    bool ledgerReopened = false;
    bool opticsReopened = false;
    // A write's outcome; none for a look. A write leaves the stores as they were handed
    // over, a failing one failing: the next look opens it afresh.
    std::optional<JournalAppendResult> written;
};

// A write to the stores, run on the worker's thread over the stores handed over (null where
// missing); WriteFailed when the store it needs is. What else it brings back it keeps
// itself, shared with the window, which reads it only once told.
using FolderWrite =
    std::function<JournalAppendResult(OwnRecipeStore* recipes, LedgerStore* ledger, OpticsStore* optics)>;

// What the window hands over for a look: its stores, the folder they are of, and
// whether that folder was ever read. A folder read once and gone since is a share that
// dropped, and is never made again empty in its place.
struct FolderHeld {
    FolderStores stores;
    WideString folder;
    bool read = false;
};

// One write, on the calling thread: the stores come back as handed over, with the outcome.
// A folder renamed away or gone is not written: its open handles would still write a
// file no bench reads at that place.
FolderLook WriteToFolder(FolderAccess& access, FolderHeld held, const FolderWrite& write) noexcept;

// One look, on the calling thread. A store handed over catches up when it is of the
// folder in force, the folder is still there and the file answers; one of another
// folder, missing, or whose last read or write failed is opened afresh, so a share that
// came back is found again.
FolderLook LookAtFolder(FolderAccess& access, FolderHeld held) noexcept;

class FolderWorker {
public:
    // Called on the worker's thread when a look or a write is done; it must only post,
    // never wait for the window.
    using Notify = std::function<void(LookGeneration generation)>;

    // Starts the thread; null when it cannot be made.
    static std::unique_ptr<FolderWorker> Start(std::shared_ptr<FolderAccess> access, Notify notify) noexcept;
    // Tells the thread to end and returns at once: a look stalled on a share ends on its
    // own later and frees what it holds.
    ~FolderWorker();
    FolderWorker(const FolderWorker&) = delete;
    FolderWorker& operator=(const FolderWorker&) = delete;

    // Hands the stores over for a look; its generation, which notify tells when it is
    // done. None, with the stores left with the caller, while a look asked for has not
    // begun yet, or out of memory.
    std::optional<LookGeneration> Look(FolderHeld& held) noexcept;
    // The same for a write over the stores handed over, in the same queue: done, it is
    // told to `told` instead of the notify of Start, and taken as a look is.
    std::optional<LookGeneration> Write(FolderHeld& held, FolderWrite write, Notify told) noexcept;
    // The look of that generation once done, taken; none while it runs or for another
    // generation (a stale look is dropped).
    std::optional<FolderLook> Take(LookGeneration generation) noexcept;
    // The same, waiting for it at most `limit`.
    std::optional<FolderLook> WaitFor(LookGeneration generation, std::chrono::milliseconds limit) noexcept;

private:
    struct Shared;
    explicit FolderWorker(std::shared_ptr<Shared> shared) noexcept : shared_(std::move(shared)) {}
    std::optional<LookGeneration> Ask(FolderHeld& held, FolderWrite write, Notify told) noexcept;

    // Shared with the thread, which keeps it alive until it ends.
    std::shared_ptr<Shared> shared_;
};

// What a window writes to the data folder through: the write runs on the folder's
// worker, the window is told by its own message and takes the outcome. The main
// window's link to the folder is one.
class FolderWrites {
public:
    virtual ~FolderWrites() = default;
    // Starts the write; its generation, told to `told` (which only posts) once done.
    // None, with nothing started, while the stores are away on a look or a write.
    virtual std::optional<LookGeneration> Write(FolderWrite write, FolderWorker::Notify told) noexcept = 0;
    // The outcome once done, the stores back in their place; none while it runs or for
    // another generation.
    virtual std::optional<JournalAppendResult> TakeWritten(LookGeneration generation) noexcept = 0;
    // Whether the stores are on the worker now: a window reads nothing of them meanwhile,
    // not even to paint, as the worker may be growing them.
    virtual bool Away() const noexcept = 0;
};

}  // namespace lacqueron
