// A small file beside a log that is read whole and replaced whole, never appended to:
// a store's index, which can always be made again from its log.
#pragma once

#include <string>

namespace lacqueron {

// Beside the log "recipes.lqr", its index is "recipes.lqr.idx".
inline constexpr char kLogIndexSuffix[] = ".idx";

class WholeFile {
public:
    virtual ~WholeFile() = default;
    // All its bytes; false when it is not there or cannot be read.
    virtual bool Read(std::string& bytes) = 0;
    // Written beside it under a name of its own, then moved over it: a reader finds the
    // old bytes or all of the new ones, and two writers at once leave one whole file.
    virtual bool Replace(const std::string& bytes) = 0;
};

}  // namespace lacqueron
