// A CSV table written to or read from a file the painter chooses, told the same way in
// every window that exports or imports one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/WideString.h"
#include "journal/JournalCsv.h"
#include "ui/shared/FolderWriteState.h"

namespace lacqueron {

// Asks for the file, starting from `defaultName`, and writes what `table` makes; a
// failure is told, ending with `notDone` ("Цены не выгружены.").
void ExportCsvFile(HWND owner, const wchar_t* defaultName, const wchar_t* notDone,
                   const std::function<std::string()>& table) noexcept;

// Asks for the file and reads its bytes; false when cancelled, or told as not read
// ("Ничего не импортировано.").
bool ReadCsvFile(HWND owner, std::string& bytes) noexcept;
// Tells how many things an import saved ("Импортировано цен: 3.").
void TellImported(HWND owner, const wchar_t* countText, std::size_t count) noexcept;
// Tells the sentence saying why nothing was imported, followed by "Ничего не импортировано.".
void TellNotImported(HWND owner, const WideString& failure) noexcept;

// The import of a table of `Item`s into the data folder: the file is read and checked on
// the window's thread, and its items go in one write, all or nothing, on the folder's
// worker while the dialog holds still with "Сохранение...".
template <class Item>
class CsvTableImport {
public:
    // `read(bytes, items, error)` reads the table, or returns false with the row and why;
    // `write(items)` makes the write of them. A table of no items saves nothing and is told so.
    template <class Read, class Write>
    void Start(HWND dialog, int statusId, FolderWrites* writes, OwnRecipeStore* recipes, LedgerStore* ledger,
               const wchar_t* countText, const Read& read, const Write& write) noexcept {
        std::string bytes;
        if (!ReadCsvFile(dialog, bytes)) return;
        try {
            std::vector<Item> items;
            CsvError error;
            if (!read(bytes, items, error)) return TellNotImported(dialog, DescribeCsvError(error) + u".");
            if (items.empty()) return TellImported(dialog, countText, 0);
            count_ = items.size();
            if (!state_.Start(dialog, statusId, writes, write(std::move(items)), recipes, ledger))
                TellNotImported(dialog, FromWinText(kStoresAwayText));
        } catch (...) {
            TellNotImported(dialog, u"Не хватило памяти.");
        }
    }
    bool Running() const noexcept { return state_.Running(); }
    // At FolderWriteState::kWrittenMessage: the outcome told, with `failure(result)` the
    // sentence (with its full stop) for a write that failed; true when saved, none for another write's message.
    template <class Failure>
    std::optional<bool> OnWritten(HWND dialog, WPARAM generation, const wchar_t* countText,
                                  const Failure& failure) noexcept {
        const std::optional<JournalAppendResult> result = state_.Take(generation);
        if (!result) return std::nullopt;
        if (*result == JournalAppendResult::Appended) {
            TellImported(dialog, countText, count_);
            return true;
        }
        try {
            TellNotImported(dialog, failure(*result));
        } catch (...) {
            TellNotImported(dialog, u"Не хватило памяти.");
        }
        return false;
    }

private:
    FolderWriteState state_;
    std::size_t count_ = 0;  // items on their way
};

}  // namespace lacqueron
