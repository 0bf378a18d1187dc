// Cuts the bytes read from a port into lines: CR, LF and CR LF all end a line, a line
// may arrive over several reads, and empty lines are passed over.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lacqueron {

class LineSplitter {
public:
    // Longer than any scale line: the rest of such a line is dropped up to its end.
    static constexpr std::size_t kMaxLineLength = 80;

    // Calls onLine(std::string_view) for every line completed by these bytes.
    template <class OnLine>
    void Feed(std::string_view bytes, OnLine&& onLine) {
        for (const char c : bytes) {
            if (c == '\r' || c == '\n') {
                if (!pending_.empty() && !overlong_) onLine(std::string_view(pending_));
                pending_.clear();
                overlong_ = false;
            } else if (pending_.size() < kMaxLineLength) {
                pending_.push_back(c);
            } else {
                overlong_ = true;
            }
        }
    }

    // Forgets a partial line, as after reopening the port.
    void Reset() noexcept {
        pending_.clear();
        overlong_ = false;
    }

private:
    std::string pending_;
    bool overlong_ = false;
};

}  // namespace lacqueron
