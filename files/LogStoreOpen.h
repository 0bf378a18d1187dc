// Opening one of the data folder's logs (own recipes, the ledger) the same way: a file
// not there yet opens empty, a damaged one opens with what could be read.
#pragma once

#include <memory>
#include <utility>

#include "core/WideString.h"
#include "files/Win32JournalFile.h"
#include "journal/JournalStore.h"

namespace lacqueron {

// What the painter is told when a log cannot be used; each names it in Russian.
struct LogStoreTexts {
    const char16_t* openFailed;  // followed by the path
    const char16_t* busy;
    const char16_t* readFailed;  // followed by the path
    const char16_t* noMemory;
};

inline constexpr char16_t kNoDataFolderText[] = u"нет папки данных пользователя";

// Null, with the reason in error, when the folder cannot be reached or the file read.
// `more` goes to the store's constructor after the file.
template <class Store, class... More>
std::unique_ptr<Store> OpenLogStore(const WideString& path, const LogStoreTexts& texts, WideString& error,
                                    More&&... more) noexcept {
    try {
        std::unique_ptr<JournalFile> file = path.empty() ? nullptr : OpenWin32JournalFile(path);
        if (!file) {
            error = texts.openFailed + (path.empty() ? WideString(kNoDataFolderText) : path);
            return nullptr;
        }
        auto store = std::make_unique<Store>(std::move(file), std::forward<More>(more)...);
        switch (store->Load()) {
        case JournalLoadResult::Loaded: return store;
        case JournalLoadResult::Busy: error = texts.busy; break;
        case JournalLoadResult::ReadFailed: error = texts.readFailed + path; break;
        }
        return nullptr;
    } catch (...) {
        error = texts.noMemory;
        return nullptr;
    }
}

}  // namespace lacqueron
