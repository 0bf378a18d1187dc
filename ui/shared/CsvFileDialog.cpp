#include "ui/shared/CsvFileDialog.h"

#include <cderr.h>
#include <commdlg.h>

#include "ui/shared/ErrorBox.h"

namespace lacqueron {
namespace {

constexpr wchar_t kCsvFilter[] = L"Таблица CSV (*.csv)\0*.csv\0Все файлы (*.*)\0*.*\0";
constexpr wchar_t kCsvExtension[] = L"csv";

void TellFailure(HWND owner, const wchar_t* what, const wchar_t* notDone) noexcept {
    try {
        ShowErrorBox(owner, WinText(FromWinText(what) + u" " + FromWinText(notDone)));
    } catch (...) {
        ShowErrorBox(owner, notDone);
    }
}

}  // namespace

bool AskCsvFile(HWND owner, CsvFileUse use, const wchar_t* defaultName, const wchar_t* notDone,
                WideString& path) noexcept {
    return AskFile(owner, use, kCsvFilter, kCsvExtension, defaultName, notDone, path);
}

bool AskFile(HWND owner, CsvFileUse use, const wchar_t* filter, const wchar_t* extension, const wchar_t* defaultName,
             const wchar_t* notDone, WideString& path) noexcept {
    wchar_t file[MAX_PATH] = {};
    if (defaultName) lstrcpynW(file, defaultName, MAX_PATH);
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter;
    request.lpstrFile = file;
    request.nMaxFile = MAX_PATH;
    request.lpstrDefExt = extension;
    request.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_EXPLORER |
                    (use == CsvFileUse::kSave ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = use == CsvFileUse::kSave ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request);
    if (!chosen) {
        // No extended error: the painter cancelled.
        const DWORD error = CommDlgExtendedError();
        if (error == FNERR_BUFFERTOOSMALL)
            TellFailure(owner, L"Слишком длинное имя файла.", notDone);
        else if (error != 0)
            TellFailure(owner,
                        use == CsvFileUse::kSave ? L"Не удалось открыть окно сохранения файла."
                                                 : L"Не удалось открыть окно выбора файла.",
                        notDone);
        return false;
    }
    try {
        path = FromWinText(file);
    } catch (...) {
        TellFailure(owner, L"Не хватило памяти.", notDone);
        return false;
    }
    return true;
}

}  // namespace lacqueron
