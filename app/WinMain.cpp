// The process entry. The command line and the show command are not acted on.
#include <windows.h>

#include "app/Application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return lacqueron::RunApplication(instance);
}
