#include "files/JournalAccess.h"

#include "files/Win32JournalFile.h"
#include "journal/JournalText.h"

namespace lacqueron {

WideString JournalPath() {
    const WideString folder = LocalDataFolder();
    return folder.empty() ? WideString() : folder + kJournalFileName;
}

std::unique_ptr<JournalStore> OpenJournal(const WideString& path, WideString& error) noexcept {
    try {
        std::unique_ptr<JournalFile> file = path.empty() ? nullptr : OpenWin32JournalFile(path);
        if (!file) {
            error = u"Не удалось открыть журнал замесов: " + (path.empty() ? u"нет папки данных пользователя" : path);
            return nullptr;
        }
        auto store = std::make_unique<JournalStore>(std::move(file));
        if (!store->Load()) {
            error = u"Не удалось прочитать журнал замесов: " + path;
            return nullptr;
        }
        return store;
    } catch (...) {
        error = u"Не хватило памяти, чтобы прочитать журнал замесов.";
        return nullptr;
    }
}

WideString AppendBatchToJournal(const BatchRecord& batch, const WideString& path) noexcept {
    try {
        std::unique_ptr<JournalFile> file = path.empty() ? nullptr : OpenWin32JournalFile(path);
        if (!file) return DescribeAppendFailure(JournalAppendResult::WriteFailed);
        JournalStore store(std::move(file));
        return DescribeAppendFailure(store.Append(batch));
    } catch (...) {
        return u"Замес не записан: не хватило памяти.";
    }
}

}  // namespace lacqueron
