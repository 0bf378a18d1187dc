// linktarget: prints what a shell link (.lnk) points at, as the shell reads it, one item a
// line: the target path, then the working folder. Exit code 1 when the link cannot be read.
//   linktarget <file.lnk>
#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <initializer_list>

namespace {

using Microsoft::WRL::ComPtr;

// COM for the life of main.
class ComApartment {
public:
    ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (ok_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_;
};

int PrintLink(const wchar_t* path) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(path, STGM_READ))) {
        std::fprintf(stderr, "linktarget: cannot read the link\n");
        return 1;
    }
    wchar_t target[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    if (link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK ||
        FAILED(link->GetWorkingDirectory(folder, MAX_PATH))) {
        std::fprintf(stderr, "linktarget: the link has no target path\n");
        return 1;
    }
    // The C library writes the wide text as UTF-8.
    _setmode(_fileno(stdout), _O_U8TEXT);
    for (const wchar_t* line : {target, folder}) {
        std::fputws(line, stdout);
        std::fputws(L"\n", stdout);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: linktarget <file.lnk>\n");
        return 2;
    }
    const ComApartment com;
    if (!com.ok()) {
        std::fprintf(stderr, "linktarget: COM did not start\n");
        return 1;
    }
    return PrintLink(argv[1]);
}
