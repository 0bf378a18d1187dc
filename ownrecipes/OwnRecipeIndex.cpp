#include "ownrecipes/OwnRecipeIndex.h"

#include "journal/RecordPayload.h"

namespace lacqueron {
namespace {

constexpr char kIndexMagic[] = "LQRINDEX";
constexpr std::size_t kMagicSize = sizeof kIndexMagic - 1;
constexpr std::size_t kCrcSize = 4;
constexpr std::size_t kDamageSize = 8 + 8 + 1;
constexpr std::size_t kVersionSize = 8 + 8;
constexpr std::size_t kSmallestRecipe = 8 + 8 + 4 + 8 + 1 + 4 + 4 + kVersionSize;
constexpr auto kLastDamageKind = static_cast<std::uint8_t>(JournalDamageKind::UnexpectedBytes);

void WriteDamage(PayloadWriter& out, const std::vector<JournalDamage>& damage) {
    out.U32(static_cast<std::uint32_t>(damage.size()));
    for (const JournalDamage& found : damage) {
        out.U64(found.offset);
        out.U64(found.recordNumber);
        out.U8(static_cast<std::uint8_t>(found.kind));
    }
}

// Damage before the log's mark only.
bool ReadDamage(PayloadReader& in, std::uint64_t size, std::vector<JournalDamage>& damage) {
    damage.resize(in.Count(kDamageSize));
    for (JournalDamage& found : damage) {
        found.offset = in.U64();
        found.recordNumber = static_cast<std::size_t>(in.U64());
        const std::uint8_t kind = in.U8();
        if (kind > kLastDamageKind || found.offset >= size) return false;
        found.kind = static_cast<JournalDamageKind>(kind);
    }
    return in.ok();
}

bool ReadRecipe(PayloadReader& in, const JournalMark& log, OwnRecipeVersions& recipe) {
    recipe.id = in.U64();
    recipe.firstSaved.utcSeconds = in.I64();
    recipe.firstSaved.localOffsetMinutes = in.I32();
    recipe.lastRecord = static_cast<std::size_t>(in.U64());
    recipe.deleted = in.Flag();
    recipe.last = in.Bytes();
    const std::uint32_t versions = in.Count(kVersionSize);
    recipe.offsets.resize(versions);
    recipe.saves.resize(versions);
    for (std::uint32_t i = 0; i < versions; ++i) {
        recipe.offsets[i] = in.U64();
        recipe.saves[i] = in.U64();
    }
    return in.ok() && recipe.id != 0 && versions > 0 && recipe.offsets.back() < log.size &&
           recipe.lastRecord <= log.records;
}

}  // namespace

std::string EncodeOwnRecipeIndex(const RecordLogMark& mark, const std::vector<OwnRecipeVersions>& recipes) {
    PayloadWriter out;
    out.bytes().assign(kIndexMagic, kMagicSize);
    out.U32(kOwnRecipeIndexVersion);
    out.U64(mark.journal.size);
    out.U64(mark.journal.records);
    out.U64(mark.journal.lastFrameAt);
    out.U32(mark.journal.lastFrameCrc);
    WriteDamage(out, mark.journal.damage);
    WriteDamage(out, mark.payloadDamage);
    out.U32(static_cast<std::uint32_t>(recipes.size()));
    for (const OwnRecipeVersions& recipe : recipes) {
        out.U64(recipe.id);
        out.I64(recipe.firstSaved.utcSeconds);
        out.I32(recipe.firstSaved.localOffsetMinutes);
        out.U64(recipe.lastRecord);
        out.U8(recipe.deleted ? 1 : 0);
        out.Bytes(recipe.last);
        out.U32(static_cast<std::uint32_t>(recipe.offsets.size()));
        for (std::size_t i = 0; i < recipe.offsets.size(); ++i) {
            out.U64(recipe.offsets[i]);
            out.U64(recipe.saves[i]);
        }
    }
    out.U32(Crc32(out.bytes().data(), out.bytes().size()));
    return std::move(out.bytes());
}

bool DecodeOwnRecipeIndex(std::string_view bytes, RecordLogMark& mark, std::vector<OwnRecipeVersions>& recipes) {
    if (bytes.size() < kMagicSize + kCrcSize || !bytes.starts_with(std::string_view(kIndexMagic, kMagicSize)))
        return false;
    const std::string_view body = bytes.substr(0, bytes.size() - kCrcSize);
    PayloadReader crc(bytes.substr(body.size()));
    if (crc.U32() != Crc32(body.data(), body.size())) return false;
    PayloadReader in(body.substr(kMagicSize));
    if (in.U32() != kOwnRecipeIndexVersion) return false;
    JournalMark& log = mark.journal;
    log.size = in.U64();
    log.records = static_cast<std::size_t>(in.U64());
    log.lastFrameAt = in.U64();
    log.lastFrameCrc = in.U32();
    if (!ReadDamage(in, log.size, log.damage) || !ReadDamage(in, log.size, mark.payloadDamage)) return false;
    recipes.resize(in.Count(kSmallestRecipe));
    for (OwnRecipeVersions& recipe : recipes)
        if (!ReadRecipe(in, log, recipe)) return false;
    return in.ok() && in.left() == 0 && log.lastFrameAt < log.size;
}

}  // namespace lacqueron
