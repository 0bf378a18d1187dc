// The bench's settings per user: HKCU\Software\VELM\Lacqueron\1.0\Bench, beside the
// profile, whose values they never touch. The weighing settings and the data folder
// both live here.
#pragma once

#include "core/RegistryKeyInterface.h"
#include "core/WideString.h"

namespace lacqueron {

inline constexpr char16_t kBenchKeyPath[] = u"Software\\VELM\\Lacqueron\\1.0\\Bench";

// The bench key, created when missing; null on failure.
RefPtr<IRegistryKey> OpenBenchKey() noexcept;

// A REG_SZ bench value; empty when there is none, it is no text or memory runs out.
WideString LoadBenchText(const char16_t* name) noexcept;
// Writes a REG_SZ bench value; empty text removes it. False on failure.
bool StoreBenchText(const char16_t* name, const WideString& text) noexcept;

}  // namespace lacqueron
