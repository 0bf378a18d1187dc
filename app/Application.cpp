#include "app/Application.h"

#include <objbase.h>

#include <memory>
#include <new>

#include "app/ExitCodes.h"
#include "app/MessageLoop.h"
#include "app/PasswordGate.h"
#include "app/ProfileSave.h"
#include "data/cipher/Cipher.h"
#include "profile/RegistryKey.h"
#include "ui/shared/ErrorBox.h"
#include "ui/main/HostWindow.h"
#include "colour/ShippedOptics.h"
#include "ui/main/MainDialog.h"

namespace lacqueron {
namespace {

constexpr wchar_t kMainWindowFailedText[] =
    L"Не удалось открыть главное окно программы. Программа будет закрыта.";

// Exists for the whole process, from before the entry until after it returns.
HostWindow host;

// The services the catalogue loader and the shutdown reach through the module.
void RegisterServices(AppModule& module) noexcept {
    if (RefPtr<ICipherFactory> factory = CreateCipherFactory())
        module.RegisterService(factory.get(), iid::CipherFactory, kOwnsReference);

    RefPtr<IRegistryKey> profile = OpenRegistryPath(GetProfileKeyPath().c_str());
    if (!profile) return;
    // The module's field takes the creating reference; the service table adds its own.
    IRegistryKey* key = profile.get();
    module.SetProfileKey(std::move(profile));
    module.RegisterService(key, iid::RegistryKey, kOwnsReference);
    key->SetDword(u"VersionMajor", static_cast<std::int32_t>(module.GetVersionMajor()));
    key->SetDword(u"VersionMinor", static_cast<std::int32_t>(module.GetVersionMinor()));
    key->SetDword(u"VersionBuild", static_cast<std::int32_t>(module.GetVersionBuild()));
}

// Null when memory runs out while the dialog object or its catalogue is built.
std::unique_ptr<MainDialog> ConstructMainDialog(AppModule& module) noexcept {
    try {
        auto dialog = std::make_unique<MainDialog>(module, ShippedPackage());
        dialog->SetOptics(colour::ShippedOpticsText());
        return dialog;
    } catch (...) {
        return nullptr;
    }
}

// Without its main window the program would end with nothing on screen; say why.
int ReportMainWindowFailed() noexcept {
    ShowErrorBox(nullptr, kMainWindowFailedText);
    return kExitMainWindowFailed;
}

// From the main dialog's window to its values back in the profile; the exit code.
int RunMainDialog(MainDialog& dialog, AppModule& module, MessageLoop& loop) noexcept {
    // A log-off tears the host down without the orderly shutdown; keep this run's values.
    MainDialog* values = &dialog;
    host.SetEndSessionSave([&module, values]() noexcept { SaveProfileValues(module, values->Values()); });
    int exitCode = 0;
    if (HWND window = dialog.Create()) {
        ShowWindow(window, SW_SHOWNORMAL);
        host.SetCommandTarget(window);
        if (PasswordGate(dialog)) exitCode = loop.Run();
    } else {
        exitCode = ReportMainWindowFailed();
    }

    host.SetCommandTarget(nullptr);
    dialog.DestroyWindowIfAny();
    SaveProfileValues(module, dialog.Values());
    return exitCode;
}

}  // namespace

int RunApplication(HINSTANCE instance) noexcept {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    MessageLoop loop;
    AppModule& module = host.Module();
    loop.AddMessageFilter(&host.Filter());

    std::unique_ptr<MainDialog> dialog;
    int exitCode = 0;
    // The host carries the shortcuts, the log-off save and the end of the run: without it
    // the program does not start, and the painter is told as for the main dialog itself.
    if (host.Create(instance)) {
        RegisterServices(module);
        dialog = ConstructMainDialog(module);
        exitCode = dialog ? RunMainDialog(*dialog, module, loop) : ReportMainWindowFailed();
    } else {
        exitCode = ReportMainWindowFailed();
    }
    host.SetEndSessionSave(nullptr);
    host.Teardown();
    loop.RemoveMessageFilter(&host.Filter());

    CoFreeUnusedLibraries();
    if (SUCCEEDED(com)) CoUninitialize();
    dialog.reset();
    return exitCode;
}

}  // namespace lacqueron
