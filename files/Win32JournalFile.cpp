#include "files/Win32JournalFile.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <limits>
#include <utility>

#include "win32/Handles.h"

namespace lacqueron {
namespace {

constexpr wchar_t kProgramFolder[] = L"Lacqueron";
// The lock is one byte far past any real data: writers take it exclusively, readers
// shared. A Win32 lock is mandatory for the bytes it covers, so locking the data
// itself would keep other handles from reading it.
constexpr std::uint64_t kLockOffset = 0x7FFFFFFFFFFFFFF0;
constexpr DWORD kLockLength = 1;
constexpr std::size_t kLargestIo = std::numeric_limits<DWORD>::max();

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

class Win32JournalFile final : public JournalFile {
public:
    explicit Win32JournalFile(FileHandle handle) : handle_(std::move(handle)) {}

    JournalLockResult TryLock(JournalLockKind kind) override {
        OVERLAPPED where = At(kLockOffset);
        const DWORD flags =
            LOCKFILE_FAIL_IMMEDIATELY | (kind == JournalLockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        if (LockFileEx(handle_.get(), flags, 0, kLockLength, 0, &where)) return JournalLockResult::Granted;
        return GetLastError() == ERROR_LOCK_VIOLATION ? JournalLockResult::Busy : JournalLockResult::Failed;
    }
    void Unlock() override {
        OVERLAPPED where = At(kLockOffset);
        UnlockFileEx(handle_.get(), 0, kLockLength, 0, &where);
    }

    bool Size(std::uint64_t& size) override {
        LARGE_INTEGER value;
        if (!GetFileSizeEx(handle_.get(), &value)) return false;
        size = static_cast<std::uint64_t>(value.QuadPart);
        return true;
    }

    bool ReadInto(std::uint64_t offset, std::size_t length, char* out) override {
        for (std::size_t done = 0; done < length;) {
            OVERLAPPED where = At(offset + done);
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(std::min(length - done, kLargestIo));
            if (!ReadFile(handle_.get(), out + done, want, &got, &where) || got == 0) return false;
            done += got;
        }
        return true;
    }

    // The handle has FILE_APPEND_DATA and no FILE_WRITE_DATA, so every write goes to the end.
    bool Append(const std::string& bytes) override {
        if (bytes.size() > kLargestIo) return false;
        DWORD written = 0;
        if (!WriteFile(handle_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return false;
        return written == bytes.size() && FlushFileBuffers(handle_.get());
    }

private:
    FileHandle handle_;
};

}  // namespace

std::unique_ptr<JournalFile> OpenWin32JournalFile(const WideString& path) {
    // Owned from the moment it exists: the file object's allocation below may throw.
    FileHandle handle =
        AdoptFileHandle(CreateFileW(WinText(path), GENERIC_READ | FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return nullptr;
    return std::make_unique<Win32JournalFile>(std::move(handle));
}

WideString LocalDataFolder() {
    wchar_t base[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, base)))
        return {};
    WideString folder = FromWinText(base);
    if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
    folder += FromWinText(kProgramFolder);
    if (!CreateDirectoryW(WinText(folder), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
    return folder + u'\\';
}

}  // namespace lacqueron
