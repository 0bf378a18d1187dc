#include "files/DataFolder.h"

#include <windows.h>

#include "files/FileReplace.h"
#include "files/LedgerAccess.h"
#include "files/OpticsAccess.h"
#include "files/LogStoreOpen.h"
#include "files/Win32JournalFile.h"
#include "journal/RecordCopy.h"
#include "profile/BenchKey.h"

namespace lacqueron {
namespace {

constexpr char16_t kDataFolderValue[] = u"DataFolder";
constexpr char16_t kOwnRecipesFileName[] = u"recipes.lqr";
constexpr LogStoreTexts kOwnRecipesTexts = {
    u"Не удалось открыть свои рецепты: ", kOwnRecipeWords.busy,
    u"Не удалось прочитать свои рецепты: ", u"Не хватило памяти, чтобы прочитать свои рецепты."};

bool EndsWithSeparator(const WideString& path) { return !path.empty() && (path.back() == u'\\' || path.back() == u'/'); }

// The file in the folder, whether or not the folder ends with a separator.
WideString InFolder(const WideString& folder, const char16_t* name) {
    if (folder.empty()) return {};
    return EndsWithSeparator(folder) ? folder + name : folder + u'\\' + name;
}

// The folder the bench value names, with its closing separator, or the local one.
WideString FolderAsSet() {
    WideString folder = LoadBenchText(kDataFolderValue);
    if (folder.empty()) return LocalDataFolder();
    while (EndsWithSeparator(folder)) folder.pop_back();
    return folder + u'\\';
}

// The folder's own level is made when missing; a share that is not there stays not there.
void MakeFolderLevel(WideString folder) {
    while (EndsWithSeparator(folder)) folder.pop_back();
    if (!folder.empty()) CreateDirectoryW(WinText(folder), nullptr);
}

bool FileExists(const WideString& path) { return GetFileAttributesW(WinText(path)) != INVALID_FILE_ATTRIBUTES; }

// Copies one file's records; empty when done, else why not.
WideString CopyLogFile(const WideString& from, const WideString& to) {
    if (!FileExists(from)) return {};
    const std::unique_ptr<JournalFile> source = OpenWin32JournalFile(from);
    const std::unique_ptr<JournalFile> target = source ? OpenWin32JournalFile(to) : nullptr;
    if (!target) return u"Не удалось открыть " + (source ? to : from);
    std::size_t copied = 0;
    switch (CopyMissingRecords(*source, *target, copied)) {
    case JournalAppendResult::Appended: return {};
    case JournalAppendResult::Busy: return u"Файл занят другим рабочим местом: " + to + u". Попробуйте ещё раз.";
    case JournalAppendResult::NotAJournal: return u"Это не файл Lacqueron, он оставлен как есть: " + to;
    case JournalAppendResult::TooLarge:
    case JournalAppendResult::WriteFailed:
    case JournalAppendResult::Refused: break;
    }
    return u"Не удалось скопировать " + from + u" в " + to;
}

// The folder in force from the bench value, and the stores in it, through Win32.
class Win32FolderAccess final : public FolderAccess {
public:
    WideString Folder() override { return FolderAsSet(); }
    void MakeFolder(const WideString& folder) override { MakeFolderLevel(folder); }
    bool FolderThere(const WideString& folder) override { return FolderExists(folder); }
    std::unique_ptr<OwnRecipeStore> OpenRecipes(const WideString& folder, WideString& error) override {
        return OpenOwnRecipes(OwnRecipesPathIn(folder), error);
    }
    std::unique_ptr<LedgerStore> OpenLedger(const WideString& folder, WideString& error) override {
        return lacqueron::OpenLedger(InFolder(folder, kLedgerFileName), error);
    }
    std::unique_ptr<OpticsStore> OpenOptics(const WideString& folder, WideString& error) override {
        return lacqueron::OpenOptics(InFolder(folder, kOpticsFileName), error);
    }
};

}  // namespace

std::shared_ptr<FolderAccess> DataFolderAccess() noexcept {
    try {
        return std::make_shared<Win32FolderAccess>();
    } catch (...) {
        return nullptr;
    }
}

WideString DataFolderPath() { return FolderAsSet(); }

bool FolderExists(const WideString& folder) noexcept {
    const DWORD attributes = GetFileAttributesW(WinText(folder));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

WideString OwnRecipesPath() { return OwnRecipesPathIn(DataFolderPath()); }

WideString OwnRecipesPathIn(const WideString& folder) { return InFolder(folder, kOwnRecipesFileName); }

bool StoreDataFolder(const WideString& folder) { return StoreBenchText(kDataFolderValue, folder); }

std::unique_ptr<OwnRecipeStore> OpenOwnRecipes(const WideString& path, WideString& error) noexcept {
    return OpenLogStore<OwnRecipeStore>(path, kOwnRecipesTexts, error,
                                        path.empty() ? nullptr : OpenWin32LogIndex(path));
}

WideString CopyDataFolder(const WideString& from, const WideString& to) noexcept {
    try {
        if (from.empty() || to.empty()) return u"Не удалось скопировать данные: " + WideString(kNoDataFolderText);
        WideString target = to;
        while (EndsWithSeparator(target)) target.pop_back();
        CreateDirectoryW(WinText(target), nullptr);
        for (const char16_t* name : {kJournalFileName, kOwnRecipesFileName, kLedgerFileName, kOpticsFileName}) {
            const WideString error = CopyLogFile(InFolder(from, name), InFolder(to, name));
            if (!error.empty()) return error;
        }
        return {};
    } catch (...) {
        return u"Не хватило памяти, чтобы скопировать данные.";
    }
}

}  // namespace lacqueron
