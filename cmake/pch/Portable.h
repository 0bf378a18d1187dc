// Precompiled for every portable library: the standard headers most of them include,
// parsed once per build tree instead of once per file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
