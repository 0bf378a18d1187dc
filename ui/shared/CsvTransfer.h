// A CSV table written to or read from a file the painter chooses, told the same way in
// every window that exports or imports one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/WideString.h"
#include "journal/JournalCsv.h"

namespace lacqueron {

// Asks for the file, starting from `defaultName`, and writes what `table` makes; a
// failure is told, ending with `notDone` ("Цены не выгружены.").
void ExportCsvFile(HWND owner, const wchar_t* defaultName, const wchar_t* notDone,
                   const std::function<std::string()>& table) noexcept;

// What a window does with the bytes of the file chosen: reads them as its table and
// saves what they hold. It returns how many things it saved, or nothing with `failure`
// set to a sentence saying why nothing was.
using CsvImport = std::function<std::optional<std::size_t>(std::string_view bytes, WideString& failure)>;

// Asks for the file, reads it and hands its bytes to `import`. A failure is told,
// followed by "Ничего не импортировано."; success by `countText` and the count
// ("Импортировано цен: 3."). True when something was saved.
bool ImportCsvFile(HWND owner, const wchar_t* countText, const CsvImport& import) noexcept;

// The import of a table of `Item`s: `read(bytes, items, error)` reads them, or returns
// false with the row and why; `save(items)` saves them and returns why it could not,
// or an empty text. A table of no items saves nothing.
template <class Item, class Read, class Save>
bool ImportCsvTable(HWND owner, const wchar_t* countText, const Read& read, const Save& save) noexcept {
    return ImportCsvFile(owner, countText, [&](std::string_view bytes, WideString& failure) -> std::optional<std::size_t> {
        std::vector<Item> items;
        CsvError error;
        if (!read(bytes, items, error)) {
            failure = DescribeCsvError(error) + u".";
            return std::nullopt;
        }
        if (!items.empty()) failure = save(items);
        if (!failure.empty()) return std::nullopt;
        return items.size();
    });
}

}  // namespace lacqueron
