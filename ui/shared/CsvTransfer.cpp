#include "ui/shared/CsvTransfer.h"

#include "core/IntegerText.h"
#include "files/FileReplace.h"
#include "ui/shared/CsvFileDialog.h"
#include "ui/shared/ErrorBox.h"

namespace lacqueron {
namespace {

constexpr wchar_t kNotImported[] = L"Ничего не импортировано.";
constexpr wchar_t kImportCaption[] = L"Импорт";

// `what` and then `notDone`, or `notDone` alone when there is no memory for more.
void TellFailure(HWND owner, const WideString& what, const wchar_t* notDone) noexcept {
    try {
        ShowErrorBox(owner, WinText(what + u" " + FromWinText(notDone)));
    } catch (...) {
        ShowErrorBox(owner, notDone);
    }
}

}  // namespace

void ExportCsvFile(HWND owner, const wchar_t* defaultName, const wchar_t* notDone,
                   const std::function<std::string()>& table) noexcept {
    WideString path;
    if (!AskCsvFile(owner, CsvFileUse::kSave, defaultName, notDone, path)) return;
    try {
        if (ReplaceFileContents(path, table())) return;
        TellFailure(owner, u"Не удалось записать файл " + path + u".", notDone);
    } catch (...) {
        TellFailure(owner, u"Не хватило памяти.", notDone);
    }
}

bool ReadCsvFile(HWND owner, std::string& bytes) noexcept {
    WideString path;
    if (!AskCsvFile(owner, CsvFileUse::kOpen, nullptr, kNotImported, path)) return false;
    try {
        if (ReadFileContents(path, bytes)) return true;
        TellFailure(owner, u"Не удалось прочитать файл " + path + u".", kNotImported);
    } catch (...) {
        TellFailure(owner, u"Не хватило памяти.", kNotImported);
    }
    return false;
}

void TellImported(HWND owner, const wchar_t* countText, std::size_t count) noexcept {
    try {
        const WideString told = FromWinText(countText) + IntegerText(static_cast<std::int64_t>(count)) + u".";
        MessageBoxW(owner, WinText(told), kImportCaption, MB_OK | MB_ICONINFORMATION);
    } catch (...) {
        MessageBoxW(owner, countText, kImportCaption, MB_OK | MB_ICONINFORMATION);
    }
}

void TellNotImported(HWND owner, const WideString& failure) noexcept { TellFailure(owner, failure, kNotImported); }

}  // namespace lacqueron
