// uidriver: drives the program's windows from outside, with real window messages and
// synthesized keys, for tests run under Wine beside Lacqueron.exe.
//
//   uidriver <command> [args] [<command> [args] ...]
//
// Commands run in order; the first failing one ends the run with exit code 1.
// Most commands act on the current window, set by wait-window or wait-dialog.
//   wait-window <class|-> <title|-> <ms>   a top-level window (hidden ones too)
//   wait-dialog <control id> <ms>          a visible dialog holding that control
//   wait-gone <ms>                         the current window no longer exists
//   wait-menu <ms>                         a popup menu is open (it becomes the current window)
//   in-process <pid> / other-process <pid> later waits find only windows of that process, or of
//                                          any other (0: any), for two copies of the program at once
//   pid                                    prints the current window's process id
//   wait-text <id> <text> <ms>             a control's text becomes text
//   get-text <id>                          prints the text (id 0: the window's own)
//   is-enabled <id> / is-visible <id>      prints 1 or 0
//   list-count <id>                        prints the list view's row count
//   wait-count <id> <n> <ms>               the list view's row count becomes n
//   wait-rows <id> <ms>                    the list view has rows: one its window reads
//                                          on a worker fills all of them at once
//   row-text <id> <row>                    prints the row's first column
//   cell-text <id> <row> <column>          prints one cell of the row
//   select-row <id> <row>                  selects and focuses a list view row
//   pick-combo <id> <index>                selects an item, telling the dialog as a user would
//   set-text <id> <text>                   WM_SETTEXT (the control reports the change itself)
//   focus <id>                             gives the control the keyboard focus
//   type <text>                            synthesized key presses of the characters
//   key <keys>                             e.g. ctrl+x, ctrl+f1, f3, shift+f10, apps, enter, escape, down
//   press <id>                             clicks a button (BM_CLICK)
//   close                                  the close box (SC_CLOSE)
//   send <message> <wParam> <lParam>       SendMessage to the window, prints the result
//   screenshot <file.bmp>                  the whole screen
//   rect                                   prints the current window's "width x height + left + top"
//
//   uidriver serve <folder>
// stays running and takes runs through files, so a test pays for Wine's process start
// once: a run's arguments, each ended by a NUL, come as <folder>\request-<name>
// (renamed into place whole); its answer goes to <folder>\reply-<name>: the exit code
// on the first line, then what the run printed. Each run has a thread of its own and
// starts as a fresh process would, with no current window and no process filter, so
// runs that overlap (two copies driven at once) behave as two processes did.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "RemoteBuffer.h"
#include "Screenshot.h"

namespace uidriver {
namespace {

constexpr DWORD kPollMs = 50;

// Per thread: each served run is a thread of its own.
thread_local HWND current = nullptr;
// The process whose windows are searched, or whose are passed over; 0: any.
thread_local DWORD onlyProcess = 0;
thread_local DWORD skippedProcess = 0;

// While serving, what a run prints is kept for its reply instead of going to stdout.
thread_local std::string* printed = nullptr;

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

void Print(const std::wstring& text) {
    const std::string bytes = Utf8(text + L"\n");
    if (printed) {
        *printed += bytes;
        return;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

long Number(const wchar_t* text) { return std::wcstol(text, nullptr, 0); }

// Polls `done` until it holds or the time is up; the condition, not a fixed delay, ends the wait.
template <class Condition>
bool WaitFor(DWORD timeoutMs, Condition done) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[4096];
    const LRESULT length = SendMessageW(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[256];
    const int length = GetClassNameW(window, buffer, std::size(buffer));
    return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

HWND Control(const wchar_t* id) {
    const long number = Number(id);
    if (number == 0) return current;
    return current ? GetDlgItem(current, static_cast<int>(number)) : nullptr;
}

struct Search {
    const wchar_t* className;  // null: any
    const wchar_t* title;      // null: any
    int controlId;             // 0: none required; otherwise a visible dialog holding it
    bool visible;              // only a visible window
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    if (search.className && ClassOf(window) != search.className) return TRUE;
    if (search.title && TextOf(window) != search.title) return TRUE;
    if (search.visible && !IsWindowVisible(window)) return TRUE;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if ((onlyProcess && process != onlyProcess) || (skippedProcess && process == skippedProcess)) return TRUE;
    if (search.controlId && (!IsWindowVisible(window) || ClassOf(window) != L"#32770" ||
                             !GetDlgItem(window, search.controlId)))
        return TRUE;
    search.found = window;
    return FALSE;
}

HWND FindTopLevel(Search search) {
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

const wchar_t* AnyIfDash(const wchar_t* text) { return std::wcscmp(text, L"-") == 0 ? nullptr : text; }

// Brings the window's thread to the foreground and shares its input state, so that
// focus changes and synthesized keys reach it.
bool Activate(HWND control) {
    HWND top = GetAncestor(control, GA_ROOT);
    const DWORD target = GetWindowThreadProcessId(top, nullptr);
    AttachThreadInput(GetCurrentThreadId(), target, TRUE);
    SetForegroundWindow(top);
    SetActiveWindow(top);
    if (control != top) SetFocus(control);
    AttachThreadInput(GetCurrentThreadId(), target, FALSE);
    return WaitFor(2000, [&] { return GetForegroundWindow() == top; });
}

void AddKey(std::vector<INPUT>& inputs, WORD key, bool up, DWORD flags = 0, WORD scan = 0) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags | (up ? KEYEVENTF_KEYUP : 0);
    inputs.push_back(input);
}

bool SendInputs(std::vector<INPUT>& inputs) {
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

WORD KeyCode(const std::wstring& name) {
    static const struct { const wchar_t* name; WORD key; } kNames[] = {
        {L"enter", VK_RETURN}, {L"escape", VK_ESCAPE}, {L"tab", VK_TAB},   {L"space", VK_SPACE},
        {L"up", VK_UP},        {L"down", VK_DOWN},     {L"home", VK_HOME}, {L"end", VK_END},
        {L"back", VK_BACK},    {L"f1", VK_F1},         {L"f3", VK_F3},     {L"f4", VK_F4},
        {L"f5", VK_F5},        {L"f10", VK_F10},       {L"apps", VK_APPS}, {L"delete", VK_DELETE},
    };
    for (const auto& entry : kNames)
        if (name == entry.name) return entry.key;
    if (name.size() == 1 && std::iswalnum(name[0])) return static_cast<WORD>(std::towupper(name[0]));
    return 0;
}

// "ctrl+shift+x": the modifiers go down first and up last.
bool PressKeys(const std::wstring& combination) {
    std::vector<WORD> keys;
    std::size_t start = 0;
    while (start <= combination.size()) {
        std::size_t plus = combination.find(L'+', start);
        const std::wstring part = combination.substr(start, plus == std::wstring::npos ? plus : plus - start);
        WORD key = part == L"ctrl" ? VK_CONTROL : part == L"alt" ? VK_MENU : part == L"shift" ? VK_SHIFT : KeyCode(part);
        if (key == 0) return false;
        keys.push_back(key);
        if (plus == std::wstring::npos) break;
        start = plus + 1;
    }
    std::vector<INPUT> inputs;
    for (WORD key : keys) AddKey(inputs, key, false);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) AddKey(inputs, *it, true);
    return SendInputs(inputs);
}

bool TypeText(const wchar_t* text) {
    std::vector<INPUT> inputs;
    for (const wchar_t* c = text; *c; ++c) {
        AddKey(inputs, 0, false, KEYEVENTF_UNICODE, *c);
        AddKey(inputs, 0, true, KEYEVENTF_UNICODE, *c);
    }
    return SendInputs(inputs);
}

bool SelectRow(HWND list, int row) {
    RemoteBuffer remote(list, sizeof(LVITEMW));
    if (!list || !remote) return false;
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    LVITEMW item = clear;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    // Clear every row first (-1), then select the one asked for.
    if (!remote.Write(&clear, sizeof clear) || !SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), remote.Address()))
        return false;
    if (!remote.Write(&item, sizeof item) || !SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), remote.Address()))
        return false;
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    return true;
}

bool CellText(HWND list, int row, int column) {
    constexpr std::size_t kChars = 512;
    RemoteBuffer remote(list, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    if (!list || !remote) return false;
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<wchar_t*>(remote.Address(sizeof(LVITEMW)));
    if (!remote.Write(&item, sizeof item)) return false;
    const LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), remote.Address());
    std::wstring text(kChars, L'\0');
    if (!remote.Read(text.data(), kChars * sizeof(wchar_t), sizeof(LVITEMW))) return false;
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    Print(text);
    return true;
}

bool PickCombo(HWND combo, int index) {
    if (!combo || SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) != index) return false;
    // CB_SETCURSEL tells nobody; a user's pick reaches the dialog as CBN_SELCHANGE.
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    return true;
}

struct Command {
    const wchar_t* name;
    int arity;
    bool (*run)(wchar_t** args);
};

const Command kCommands[] = {
    {L"wait-window", 3, [](wchar_t** a) {
         return WaitFor(Number(a[2]), [&] {
             return (current = FindTopLevel({AnyIfDash(a[0]), AnyIfDash(a[1]), 0, false, nullptr})) != nullptr;
         });
     }},
    {L"wait-dialog", 2, [](wchar_t** a) {
         const int id = static_cast<int>(Number(a[0]));
         return WaitFor(Number(a[1]), [&] {
             return (current = FindTopLevel({nullptr, nullptr, id, true, nullptr})) != nullptr;
         });
     }},
    {L"wait-menu", 1, [](wchar_t** a) {
         return WaitFor(Number(a[0]), [] {
             return (current = FindTopLevel({L"#32768", nullptr, 0, true, nullptr})) != nullptr;
         });
     }},
    {L"wait-gone", 1, [](wchar_t** a) { return WaitFor(Number(a[0]), [] { return !IsWindow(current); }); }},
    {L"wait-text", 3, [](wchar_t** a) {
         return WaitFor(Number(a[2]), [&] { HWND c = Control(a[0]); return c && TextOf(c) == a[1]; });
     }},
    {L"get-text", 1, [](wchar_t** a) { HWND c = Control(a[0]); if (c) Print(TextOf(c)); return c != nullptr; }},
    {L"is-enabled", 1, [](wchar_t** a) { HWND c = Control(a[0]); if (c) Print(IsWindowEnabled(c) ? L"1" : L"0"); return c != nullptr; }},
    {L"is-visible", 1, [](wchar_t** a) { HWND c = Control(a[0]); if (c) Print(IsWindowVisible(c) ? L"1" : L"0"); return c != nullptr; }},
    {L"list-count", 1, [](wchar_t** a) {
         HWND c = Control(a[0]);
         if (c) Print(std::to_wstring(SendMessageW(c, LVM_GETITEMCOUNT, 0, 0)));
         return c != nullptr;
     }},
    {L"wait-count", 3, [](wchar_t** a) {
         return WaitFor(Number(a[2]), [&] {
             HWND c = Control(a[0]);
             return c && SendMessageW(c, LVM_GETITEMCOUNT, 0, 0) == Number(a[1]);
         });
     }},
    {L"wait-rows", 2, [](wchar_t** a) {
         return WaitFor(Number(a[1]), [&] {
             HWND c = Control(a[0]);
             return c && SendMessageW(c, LVM_GETITEMCOUNT, 0, 0) > 0;
         });
     }},
    {L"in-process", 1, [](wchar_t** a) { onlyProcess = static_cast<DWORD>(Number(a[0])); return true; }},
    {L"other-process", 1, [](wchar_t** a) { skippedProcess = static_cast<DWORD>(Number(a[0])); return true; }},
    {L"pid", 0, [](wchar_t**) {
         DWORD process = 0;
         if (!current || !GetWindowThreadProcessId(current, &process)) return false;
         Print(std::to_wstring(process));
         return true;
     }},
    {L"row-text", 2, [](wchar_t** a) { return CellText(Control(a[0]), static_cast<int>(Number(a[1])), 0); }},
    {L"cell-text", 3, [](wchar_t** a) {
         return CellText(Control(a[0]), static_cast<int>(Number(a[1])), static_cast<int>(Number(a[2])));
     }},
    {L"select-row", 2, [](wchar_t** a) { return SelectRow(Control(a[0]), static_cast<int>(Number(a[1]))); }},
    {L"pick-combo", 2, [](wchar_t** a) { return PickCombo(Control(a[0]), static_cast<int>(Number(a[1]))); }},
    {L"set-text", 2, [](wchar_t** a) {
         HWND c = Control(a[0]);
         return c && SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[1])) == TRUE;
     }},
    {L"focus", 1, [](wchar_t** a) {
         HWND c = Control(a[0]);
         return c && Activate(c) && WaitFor(2000, [&] {
             GUITHREADINFO info{};
             info.cbSize = sizeof info;
             return GetGUIThreadInfo(GetWindowThreadProcessId(c, nullptr), &info) && info.hwndFocus == c;
         });
     }},
    {L"type", 1, [](wchar_t** a) { return TypeText(a[0]); }},
    {L"key", 1, [](wchar_t** a) { return PressKeys(a[0]); }},
    {L"press", 1, [](wchar_t** a) { HWND c = Control(a[0]); return c && PostMessageW(c, BM_CLICK, 0, 0); }},
    {L"close", 0, [](wchar_t**) { return current && PostMessageW(current, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {L"send", 3, [](wchar_t** a) {
         DWORD_PTR result = 0;
         if (!current || !SendMessageTimeoutW(current, static_cast<UINT>(Number(a[0])), Number(a[1]), Number(a[2]),
                                              SMTO_NORMAL, 10000, &result))
             return false;
         Print(std::to_wstring(result));
         return true;
     }},
    {L"screenshot", 1, [](wchar_t** a) { return SaveScreenshot(a[0]); }},
    {L"rect", 0, [](wchar_t**) {
         RECT r{};
         if (!current || !GetWindowRect(current, &r)) return false;
         Print(std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top) + L"+" +
               std::to_wstring(r.left) + L"+" + std::to_wstring(r.top));
         return true;
     }},
};



// Runs the commands of argv[first..argc) in order; 0, or 1 at the first that fails, 2 for
// a command line it cannot read.
int Run(int argc, wchar_t** argv, int first) {
    for (int i = first; i < argc;) {
        const Command* command = nullptr;
        for (const Command& candidate : kCommands)
            if (std::wcscmp(argv[i], candidate.name) == 0) command = &candidate;
        if (command == nullptr || i + 1 + command->arity > argc) {
            std::fwprintf(stderr, L"uidriver: unknown command or missing arguments at '%ls'\n", argv[i]);
            return 2;
        }
        if (!command->run(argv + i + 1)) {
            std::fwprintf(stderr, L"uidriver: %ls failed\n", argv[i]);
            return 1;
        }
        i += 1 + command->arity;
    }
    return 0;
}

// The whole of a small file, or nothing when it cannot be read.
bool ReadWhole(const std::wstring& path, std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return ok;
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::wstring Wide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// One served run: its request taken, its commands run, its reply written.
struct ServedRun {
    std::wstring request;
    std::wstring reply;
    std::wstring replyPart;
};

DWORD WINAPI RunServed(void* parameter) {
    const std::unique_ptr<ServedRun> run(static_cast<ServedRun*>(parameter));
    std::string bytes;
    if (!ReadWhole(run->request, bytes)) return 1;
    DeleteFileW(run->request.c_str());
    std::vector<std::wstring> words;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find('\0', start);
        if (end == std::string::npos) break;
        words.push_back(Wide(bytes.substr(start, end - start)));
        start = end + 1;
    }
    std::vector<wchar_t*> args;
    for (std::wstring& word : words) args.push_back(word.data());
    std::string output;
    printed = &output;
    const int code = Run(static_cast<int>(args.size()), args.data(), 0);
    printed = nullptr;
    if (!WriteWhole(run->replyPart, std::to_string(code) + "\n" + output)) return 1;
    return MoveFileExW(run->replyPart.c_str(), run->reply.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

// Takes runs from <folder> until the process is ended from outside.
int Serve(const std::wstring& folder) {
    const std::wstring requestPrefix = L"request-";
    for (;;) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\" + requestPrefix + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                const std::wstring suffix = name.substr(requestPrefix.size());
                auto run = std::make_unique<ServedRun>();
                // Renamed away first, so the next look does not take the same run again.
                run->request = folder + L"\\taken-" + suffix;
                run->reply = folder + L"\\reply-" + suffix;
                run->replyPart = folder + L"\\reply.part-" + suffix;
                if (!MoveFileW((folder + L"\\" + name).c_str(), run->request.c_str())) continue;
                HANDLE thread = CreateThread(nullptr, 0, RunServed, run.get(), 0, nullptr);
                if (thread == nullptr) return 1;
                run.release();
                CloseHandle(thread);
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        WaitFor(kPollMs, [] { return false; });
    }
}

}  // namespace
}  // namespace uidriver

int wmain(int argc, wchar_t** argv) {
    using namespace uidriver;
    if (argc == 3 && std::wcscmp(argv[1], L"serve") == 0) return Serve(argv[2]);
    return Run(argc, argv, 1);
}
