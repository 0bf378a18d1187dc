// Sets a flag for the length of a scope and puts back what it was, so a window can tell
// a message it caused itself (or one that arrives while a question is open) from the
// painter's.
#pragma once

#include <utility>

namespace lacqueron {

class FlagScope {
public:
    explicit FlagScope(bool& flag) noexcept : flag_(flag), previous_(std::exchange(flag, true)) {}
    ~FlagScope() { flag_ = previous_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool previous_;
};

}  // namespace lacqueron
