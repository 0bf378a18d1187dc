// The platform operations printing goes through, replaceable as a whole so tests can
// answer the print dialog, fail a step or watch the outcome box.
#pragma once

#include <windows.h>
// PRINTDLGEXW is declared only after the COM base declarations.
#include <objbase.h>
#include <cderr.h>
#include <commdlg.h>
#include <winspool.h>

#include "core/WideString.h"
#include "ui/print/PageLayout.h"
#include "ui/print/Printing.h"

namespace lacqueron {

struct PrintOperations {
    HRESULT (*printDialog)(PRINTDLGEXW* request) noexcept;
    // Why the print dialog failed (CommDlgExtendedError).
    DWORD (*dialogError)() noexcept;
    BOOL (*openPrinter)(wchar_t* name, HANDLE* printer, PRINTER_DEFAULTSW* defaults) noexcept;
    BOOL (*closePrinter)(HANDLE printer) noexcept;
    int (*startDoc)(HDC dc, const DOCINFOW* document) noexcept;
    int (*startPage)(HDC dc) noexcept;
    int (*endPage)(HDC dc) noexcept;
    int (*endDoc)(HDC dc) noexcept;
    int (*abortDoc)(HDC dc) noexcept;
    // The page as a bitmap copied to the printer, and drawn straight onto it.
    bool (*renderOffScreen)(HDC printer, const PageGeometry& page, const WideString& text) noexcept;
    bool (*renderDirect)(HDC printer, const PageGeometry& page, const WideString& text) noexcept;
    int (*messageBox)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) noexcept;
};

// The Win32 functions themselves.
const PrintOperations& PlatformPrintOperations() noexcept;

// PrintPage with the given operations.
bool PrintPageWith(const PrintOperations& operations, HWND owner, const wchar_t* documentName,
                   const PageDrawer& draw) noexcept;

// PrintRecipe with the given operations.
bool PrintRecipeWith(const PrintOperations& operations, HWND owner, const WideString& text) noexcept;

}  // namespace lacqueron
