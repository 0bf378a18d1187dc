#include "files/FileReplace.h"

#include <windows.h>

#include <limits>
#include <utility>

#include "win32/Handles.h"

namespace lacqueron {
namespace {

constexpr wchar_t kTemporaryPrefix[] = L"lqx";

// The folder part of path, with its last separator; "." when path has none.
std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash + 1);
}

bool WriteAndFlush(const wchar_t* path, const std::string& bytes) noexcept {
    if (bytes.size() > std::numeric_limits<DWORD>::max()) return false;
    const FileHandle file =
        AdoptFileHandle(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    // Flushed before the move: the bytes are on the disk before the old file goes.
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.get());
}

class Win32WholeFile final : public WholeFile {
public:
    explicit Win32WholeFile(WideString path) : path_(std::move(path)) {}
    bool Read(std::string& bytes) override { return ReadFileContents(path_, bytes); }
    bool Replace(const std::string& bytes) override { return ReplaceFileContents(path_, bytes); }

private:
    WideString path_;
};

}  // namespace

bool ReplaceFileContents(const WideString& path, const std::string& bytes) noexcept {
    try {
        const std::wstring target(WinText(path));
        wchar_t temporary[MAX_PATH] = {};
        // Creates the (empty) temporary file, in the target's folder so that the move is a rename.
        if (GetTempFileNameW(FolderOf(target).c_str(), kTemporaryPrefix, 0, temporary) == 0) return false;
        if (WriteAndFlush(temporary, bytes) &&
            MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DeleteFileW(temporary);
        return false;
    } catch (...) {
        return false;  // out of memory for the path
    }
}

bool ReadFileContents(const WideString& path, std::string& bytes) noexcept {
    const FileHandle file = AdoptFileHandle(CreateFileW(WinText(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > std::numeric_limits<DWORD>::max()) return false;
    try {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (...) {
        return false;  // out of memory for the file
    }
    DWORD read = 0;
    return bytes.empty() ||
           (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size());
}

std::unique_ptr<WholeFile> OpenWin32LogIndex(const WideString& logPath) {
    WideString path = logPath;
    for (const char* c = kLogIndexSuffix; *c != '\0'; ++c) path += static_cast<char16_t>(*c);
    return std::make_unique<Win32WholeFile>(std::move(path));
}

}  // namespace lacqueron
