// The data folder as the program opens it, every file of it on a test's share that can
// stall, drop or lose replies (tests/shop/StallingShare.h); the folder's own level is
// there from the start.
#pragma once

#include <memory>

#include "files/Win32JournalFile.h"
#include "shop/FolderWorker.h"
#include "tests/shop/StallingShare.h"

namespace lacqueron::testing {

class ShareAccess final : public FolderAccess {
public:
    ShareAccess(std::shared_ptr<Share> share, WideString folder) : share_(std::move(share)), folder_(std::move(folder)) {}

    WideString Folder() override { return folder_; }
    void MakeFolder(const WideString&) override {}
    bool FolderThere(const WideString&) override { return share_->Pass(); }
    std::unique_ptr<OwnRecipeStore> OpenRecipes(const WideString& folder, WideString& error) override {
        return Open<OwnRecipeStore>(folder + u"recipes.lqr", error);
    }
    std::unique_ptr<LedgerStore> OpenLedger(const WideString& folder, WideString& error) override {
        return Open<LedgerStore>(folder + u"ledger.lqs", error);
    }

    // A file of the folder opened on the share; null when it cannot be opened.
    std::unique_ptr<JournalFile> OpenFile(const WideString& path) {
        std::unique_ptr<JournalFile> file = OpenWin32JournalFile(path);
        return file ? std::make_unique<ShareFile>(share_, std::move(file)) : nullptr;
    }

private:
    template <class Store>
    std::unique_ptr<Store> Open(const WideString& path, WideString& error) {
        return OpenOnShare<Store>(share_, OpenWin32JournalFile(path), path, error);
    }

    std::shared_ptr<Share> share_;
    WideString folder_;
};

}  // namespace lacqueron::testing
