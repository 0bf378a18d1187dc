// The own recipes' index beside their log (recipes.lqr.idx): what the store kept of the
// log read up to a point, so that an opening reads only what was appended after it.
// A cache, never the truth: the log is never written for it, and an index that is
// missing, damaged, of another version or of another log is passed over and the log
// read whole.
//
//   "LQRINDEX", format version (u32)
//   the log's mark: size, records (u64), last record's offset (u64) and checksum (u32),
//     the log's damage and the undecodable records' (u32 count, then offset, record
//     number (u64) and kind (u8) each)
//   recipes (u32 count), each: id (u64), first save (i64 seconds, i32 minutes), last
//     record number (u64), deleted (u8), the last version's payload (u32 count, bytes),
//     versions (u32 count, then offset and save id (u64) each)
//   CRC-32 of all the bytes before it (u32)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "journal/BatchRecord.h"
#include "journal/RecordLog.h"
#include "ownrecipes/OwnSaveClash.h"

namespace lacqueron {

constexpr std::uint32_t kOwnRecipeIndexVersion = 1;

// Every version of one recipe, by where its record is in the log; only the last one is
// kept in memory.
struct OwnRecipeVersions {
    OwnRecipeId id = 0;
    BatchTime firstSaved;
    std::vector<std::uint64_t> offsets;  // oldest first
    std::vector<RecordId> saves;         // their save ids, the same way
    std::size_t lastRecord = 0;          // the last version's record number
    bool deleted = false;                // its last version is a delete
    std::string last;                    // the last version's payload
    bool operator==(const OwnRecipeVersions&) const = default;
};

std::string EncodeOwnRecipeIndex(const RecordLogMark& mark, const std::vector<OwnRecipeVersions>& recipes);
// False for bytes that are not a whole index of this version, or whose recipes could not
// have been read from the log it names (a recipe without versions, a version past its end).
bool DecodeOwnRecipeIndex(std::string_view bytes, RecordLogMark& mark, std::vector<OwnRecipeVersions>& recipes);

}  // namespace lacqueron
