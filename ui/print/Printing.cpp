#include "ui/print/Printing.h"

#include <cwchar>

#include "ui/print/PrintingDetail.h"
#include "ui/shared/ErrorBox.h"

namespace lacqueron {
namespace {

constexpr wchar_t kRecipeDocument[] = L"Tintaro";

const PrintOperations kPlatform = {
    [](PRINTDLGEXW* request) noexcept { return PrintDlgExW(request); },
    []() noexcept { return CommDlgExtendedError(); },
    [](wchar_t* name, HANDLE* printer, PRINTER_DEFAULTSW* defaults) noexcept {
        return OpenPrinterW(name, printer, defaults);
    },
    [](HANDLE printer) noexcept { return ClosePrinter(printer); },
    [](HDC dc, const DOCINFOW* document) noexcept { return StartDocW(dc, document); },
    [](HDC dc) noexcept { return StartPage(dc); },
    [](HDC dc) noexcept { return EndPage(dc); },
    [](HDC dc) noexcept { return EndDoc(dc); },
    [](HDC dc) noexcept { return AbortDoc(dc); },
    &RenderPageOffScreen,
    &ComposePage,
    [](HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) noexcept {
        return MessageBoxW(owner, text, caption, type);
    },
};

// What the print dialog hands over: freed and deleted on every path.
class DialogResults {
public:
    explicit DialogResults(const PRINTDLGEXW& request) noexcept
        : devMode_(request.hDevMode), devNames_(request.hDevNames), dc_(request.hDC) {}
    ~DialogResults() {
        if (devMode_) GlobalFree(devMode_);
        if (devNames_) GlobalFree(devNames_);
        if (dc_) DeleteDC(dc_);
    }
    DialogResults(const DialogResults&) = delete;
    DialogResults& operator=(const DialogResults&) = delete;

private:
    HGLOBAL devMode_;
    HGLOBAL devNames_;
    HDC dc_;
};

class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL memory) noexcept
        : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    ~GlobalLockGuard() { if (data_) GlobalUnlock(memory_); }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    void* get() const noexcept { return data_; }
    std::size_t size() const noexcept { return data_ ? GlobalSize(memory_) : 0; }

private:
    HGLOBAL memory_;
    void* data_;
};

class OpenedPrinter {
public:
    OpenedPrinter(const PrintOperations& operations, wchar_t* name, PRINTER_DEFAULTSW* defaults) noexcept
        : operations_(operations) {
        if (!operations_.openPrinter(name, &printer_, defaults)) printer_ = nullptr;
    }
    ~OpenedPrinter() { if (printer_) operations_.closePrinter(printer_); }
    OpenedPrinter(const OpenedPrinter&) = delete;
    OpenedPrinter& operator=(const OpenedPrinter&) = delete;
    explicit operator bool() const noexcept { return printer_ != nullptr; }

private:
    const PrintOperations& operations_;
    HANDLE printer_ = nullptr;
};

// A started document: ended when it goes out of scope, unless it was abandoned.
class PrintJob {
public:
    PrintJob(const PrintOperations& operations, HDC dc, const DOCINFOW& document) noexcept
        : operations_(operations), dc_(dc), started_(operations.startDoc(dc, &document) > 0) {}
    ~PrintJob() { if (started_) operations_.endDoc(dc_); }
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;
    bool started() const noexcept { return started_; }
    // Nothing of a failed job goes to the printer.
    void Abandon() noexcept {
        if (started_) operations_.abortDoc(dc_);
        started_ = false;
    }
    // False when the spooler did not take the document.
    bool Finish() noexcept {
        started_ = false;
        return operations_.endDoc(dc_) > 0;
    }

private:
    const PrintOperations& operations_;
    HDC dc_;
    bool started_;
};

// The device name inside a locked DEVNAMES block, or null when it does not lie within it.
wchar_t* DeviceName(const GlobalLockGuard& names) noexcept {
    const std::size_t size = names.size() / sizeof(wchar_t);
    if (names.size() < sizeof(DEVNAMES)) return nullptr;
    const std::size_t offset = static_cast<const DEVNAMES*>(names.get())->wDeviceOffset;
    auto* text = static_cast<wchar_t*>(names.get());
    if (offset >= size || wmemchr(text + offset, L'\0', size - offset) == nullptr) return nullptr;
    return text + offset;
}

// Steps from locking the dialog's results to the end of the document; true when the
// page went to the printer.
bool PrintOnePage(const PrintOperations& operations, const PRINTDLGEXW& request, const wchar_t* documentName,
                  const PageDrawer& draw, WideString& failure) noexcept {
    GlobalLockGuard devMode(request.hDevMode);
    if (!devMode.get()) return false;
    GlobalLockGuard devNames(request.hDevNames);
    if (!devNames.get()) return false;
    wchar_t* name = DeviceName(devNames);
    if (!name) return false;
    PRINTER_DEFAULTSW defaults{nullptr, static_cast<DEVMODEW*>(devMode.get()), PRINTER_ACCESS_USE};
    OpenedPrinter printer(operations, name, &defaults);
    if (!printer) return false;
    HDC dc = request.hDC;
    if (!dc) return false;

    DOCINFOW document{};
    document.cbSize = sizeof document;
    document.lpszDocName = documentName;
    PrintJob job(operations, dc, document);
    if (!job.started()) return false;
    if (operations.startPage(dc) <= 0) {
        job.Abandon();
        return false;
    }
    SetTextColor(dc, kPrintInk);
    SetBkColor(dc, kPrintPaper);
    if (!draw(dc, failure)) {
        job.Abandon();
        return false;
    }
    if (operations.endPage(dc) <= 0) {
        job.Abandon();
        return false;
    }
    return job.Finish();
}

// What the painter is told when the print dialog itself fails; a missing printer is
// the one case the painter can put right.
const wchar_t* DialogFailureText(DWORD error) noexcept {
    if (error == PDERR_NODEFAULTPRN || error == PDERR_NODEVICES)
        return L"Не найден ни один принтер. Документ не напечатан.";
    return L"Не удалось открыть окно печати. Документ не напечатан.";
}

}  // namespace

const PrintOperations& PlatformPrintOperations() noexcept { return kPlatform; }

bool PrintPageWith(const PrintOperations& operations, HWND owner, const wchar_t* documentName,
                   const PageDrawer& draw) noexcept {
    PRINTDLGEXW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.Flags = PD_NOSELECTION | PD_NOPAGENUMS | PD_RETURNDC | PD_HIDEPRINTTOFILE | PD_NOCURRENTPAGE;
    request.nCopies = 1;
    request.nStartPage = START_PAGE_GENERAL;
    const HRESULT shown = operations.printDialog(&request);
    const DialogResults results(request);
    // Cancelling answers S_OK with PD_RESULT_CANCEL; anything else is a failure.
    if (shown != S_OK) {
        operations.messageBox(owner, DialogFailureText(operations.dialogError()), kErrorCaption, kErrorBoxStyle);
        return false;
    }
    if (request.dwResultAction != PD_RESULT_PRINT) return false;

    WideString failure;
    if (PrintOnePage(operations, request, documentName, draw, failure)) {
        operations.messageBox(owner, L"Документ отправлен на печать", L"Успешно", MB_OK | MB_ICONINFORMATION);
        return true;
    }
    operations.messageBox(owner, failure.empty() ? L"Не получилось напечатать документ" : WinText(failure),
                          kErrorCaption, kErrorBoxStyle);
    return false;
}

bool PrintRecipeWith(const PrintOperations& operations, HWND owner, const WideString& text) noexcept {
    return PrintPageWith(operations, owner, kRecipeDocument, [&](HDC dc, WideString&) {
        const PageGeometry page = ReadPageGeometry(dc);
        // A page-sized bitmap can be too big to make (about 100 MB at 600 dpi): the same
        // layout drawn straight onto the printer then takes its place.
        return operations.renderOffScreen(dc, page, text) || operations.renderDirect(dc, page, text);
    });
}

bool PrintRecipe(HWND owner, const WideString& text) noexcept { return PrintRecipeWith(kPlatform, owner, text); }

bool PrintPage(HWND owner, const wchar_t* documentName, const PageDrawer& draw) noexcept {
    return PrintPageWith(kPlatform, owner, documentName, draw);
}

}  // namespace lacqueron
