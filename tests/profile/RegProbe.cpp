// Writes and reads profile-style values through the key object so that a script can
// compare them with what `wine reg` sees in the same prefix.
//   regprobe write <path>         writes the fixed sample values below
//   regprobe read <path> <name>   prints "kind=<k> dword=<d|->"
//   regprobe delete <path> <sub>  deletes a sub-key tree
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "profile/RegistryKey.h"

using namespace lacqueron;

namespace {

const char16_t* U(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

int Write(IRegistryKey& key) {
    const std::uint8_t four[4] = {0x01, 0x02, 0x03, 0x04};
    const std::uint8_t eight[8] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};
    const std::uint8_t blob[3] = {0xAA, 0xBB, 0xCC};
    const int ok = key.SetDword(u"Dword", -5) & key.SetString(u"Text", u"Paint mix") &
                   key.SetTagged4(u"Tag4", four) & key.SetTagged8(u"Tag8", eight) & key.SetBinary(u"Blob", blob, 3);
    return ok ? 0 : 1;
}

int Read(IRegistryKey& key, const wchar_t* name) {
    std::int32_t value = 0;
    const int kind = key.GetValueKind(U(name));
    if (key.GetDword(U(name), &value))
        std::printf("kind=%d dword=%ld\n", kind, static_cast<long>(value));
    else
        std::printf("kind=%d dword=-\n", kind);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    RefPtr<IRegistryKey> key = OpenRegistryPath(U(argv[2]));
    if (!key) return 3;
    if (std::wcscmp(argv[1], L"write") == 0) return Write(*key);
    if (std::wcscmp(argv[1], L"read") == 0 && argc == 4) return Read(*key, argv[3]);
    if (std::wcscmp(argv[1], L"delete") == 0 && argc == 4) return key->DeleteSubKey(U(argv[3])) ? 0 : 1;
    return 2;
}
