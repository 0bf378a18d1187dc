// The parts of the about dialog that tests reach: the version line and the shell
// "open" of a link target.
#pragma once

#include <windows.h>

#include "core/WideString.h"

namespace lacqueron {

// The private messages a link control sends to the dialog on a button press.
inline constexpr UINT kSiteLinkClicked = 0x1985;
inline constexpr UINT kEmailLinkClicked = 0x1986;

// APPNAMEFORMAT with the major and minor version 1 and the build text ".20"; conversions
// the arguments cannot serve stay as they are. Empty for an empty format.
WideString FormatAboutVersionLine(const WideString& format);

// The operation behind a link click; ShellExecuteW "open" unless a test replaced it.
using OpenTargetFunction = void (*)(HWND owner, const WideString& target) noexcept;
// Returns the previous operation; null restores the shell.
OpenTargetFunction SetOpenTargetForTesting(OpenTargetFunction open) noexcept;
// The version line is formatted once per process; tests start afresh with this.
void ForgetVersionLineForTesting() noexcept;

}  // namespace lacqueron
