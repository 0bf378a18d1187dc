// The standard dialogs for choosing a CSV table, or another file, to write or to read.
#pragma once

#include <windows.h>

#include "core/WideString.h"

namespace lacqueron {

enum class CsvFileUse { kSave, kOpen };

// Asks for the file, starting from `defaultName` when saving (an existing one is
// overwritten only after asking). False when the painter cancels or the dialog fails;
// a failure is told, ending with `notDone` ("Журнал не выгружен.").
bool AskCsvFile(HWND owner, CsvFileUse use, const wchar_t* defaultName, const wchar_t* notDone,
                WideString& path) noexcept;
// The same for any kind of file: filter as OPENFILENAME takes it (pairs ending in "\0\0"),
// extension without the dot.
bool AskFile(HWND owner, CsvFileUse use, const wchar_t* filter, const wchar_t* extension, const wchar_t* defaultName,
             const wchar_t* notDone, WideString& path) noexcept;

}  // namespace lacqueron
