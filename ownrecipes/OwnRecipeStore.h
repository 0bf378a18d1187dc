// The shop's own recipes, every version of them, in an append-only log of the
// journal's kind (recipes.lqr in the data folder). A save appends a version; a delete
// appends a version that marks the recipe deleted; a restore appends an old version
// again. Nothing is ever written over, so two benches sharing the folder lose nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "journal/BatchRecord.h"
#include "journal/JournalFile.h"
#include "journal/JournalFormat.h"
#include "journal/JournalStore.h"
#include "journal/RecordLog.h"
#include "journal/WholeFile.h"
#include "ownrecipes/OwnRecipe.h"
#include "ownrecipes/OwnRecipeIndex.h"
#include "ownrecipes/OwnSaveClash.h"

namespace lacqueron {

// The frame marker of a recipe version in the log.
constexpr RecordKind kOwnRecipeKind = {'L', 'Q', 'R', 'V'};

struct OwnRecipeVersion {
    OwnRecipeId id = 0;
    BatchTime saved;
    bool deleted = false;
    OwnRecipe recipe;  // as saved; for a delete, the last version's fields
    bool operator==(const OwnRecipeVersion&) const = default;
};

// A version's payload: id (u64), time (i64 seconds, i32 minutes), deleted (u8), code,
// name, note, rgb (u32), lines (u32 count, then component and amount (i64) each), and
// the save's id (u64), which a version written before saves had ids ends without; then
// whether a target is kept (u8) and if so its L*a*b* (three IEEE doubles as u64), its
// reflectance (u32 count, doubles) and how it was got (text): older versions end before.
// Fields a later version adds after these are passed over.
std::string EncodeOwnRecipeVersion(const OwnRecipeVersion& version, RecordId saveId = 0);
bool DecodeOwnRecipeVersion(std::string_view payload, OwnRecipeVersion& version, RecordId* saveId = nullptr);

// The index is written again once an opening, a refresh or a write read this much of
// the log after what the index holds: a few thousand versions.
constexpr std::uint64_t kOwnIndexRewriteBytes = 1 << 20;

// Every save is written with an id; a retry of a save reported failed writes it again
// with the same id, and the store keeps the first version of an id.
//
// With an index beside the log, an opening reads the index and the log after it; the
// history before it is read when asked for. Damage in that part of the log is then
// reported as the index was made, and a record damaged since is found when its history
// is read, which then shows the last version only, as for a file that cannot be read.
class OwnRecipeStore final : private RecordReader {
public:
    explicit OwnRecipeStore(std::unique_ptr<JournalFile> file, std::unique_ptr<WholeFile> index = nullptr);

    JournalLoadResult Load();
    // Reads what other benches appended since; true when anything changed.
    bool Refresh();
    // Writes the index of what was read so far, whatever was read since the last one;
    // false when there is no index, when the log ends where it cannot be read on from
    // (inside an import, in damage) or when the write failed.
    bool WriteIndex();
    // Whether the last Load read on from the index rather than the whole log.
    bool Indexed() const noexcept { return indexed_; }
    // Counts the changes read or written through this object: a window compares it with
    // the count it last showed, since another window may have done the refreshing.
    std::uint64_t Revision() const noexcept { return log_.Revision(); }
    // Whether the last read or write of the file failed: its folder is as good as gone.
    bool Failing() const noexcept { return log_.Failing(); }

    // Appends a version; a new recipe gets a new id (returned through `id` when 0).
    // Once caught up under the file's lock, the save is refused (Refused, `clash` told)
    // when another recipe holds the code, or, with `versions` given, when the recipe no
    // longer has that many versions: another bench saved or deleted it meanwhile.
    JournalAppendResult Save(OwnRecipeId& id, const OwnRecipe& recipe, const BatchTime& now,
                             std::optional<std::size_t> versions, OwnSaveClash& clash);
    JournalAppendResult Save(OwnRecipeId& id, const OwnRecipe& recipe, const BatchTime& now);
    // Several recipes in one write, so that either all of them are saved or none, on disk too.
    JournalAppendResult SaveAll(std::vector<OwnRecipeId>& ids, const std::vector<OwnRecipe>& recipes,
                                const BatchTime& now);
    // The same, each recipe saved as a version of the one that holds its code once
    // caught up under the lock (a new one when none does): an import.
    JournalAppendResult SaveAllByCode(std::vector<OwnRecipeId>& ids, const std::vector<OwnRecipe>& recipes,
                                      const BatchTime& now);
    JournalAppendResult Delete(OwnRecipeId id, const BatchTime& now);
    // Appends the version again as the newest, undeleting the recipe; refused (`clash`
    // told) when another recipe holds its code once caught up under the lock.
    JournalAppendResult Restore(const OwnRecipeVersion& version, const BatchTime& now, OwnSaveClash& clash);

    // Recipes not deleted, in the order they were first saved.
    const std::vector<OwnRecipeCurrent>& Current() const;
    // The current recipe with the code, case folded; null when none.
    const OwnRecipeCurrent* FindCurrent(std::u16string_view code) const;
    // Every version of one recipe, oldest first, deletes included: read from the file.
    std::vector<OwnRecipeVersion> History(OwnRecipeId id) const;
    // Deleted recipes, for restoring: their last version before the delete, read from the file.
    std::vector<OwnRecipeVersion> Deleted() const;
    // The damage found in the file, as the journal reports it.
    const std::vector<JournalDamage>& Damage() const;

private:
    using Versions = OwnRecipeVersions;

    void Restart() override;
    bool Read(const JournalFrame& frame, std::string_view payload) override;
    // Under the lock, caught up, with the save ids of the write (a retry's are those it
    // had): true when the recipe ids (0 for new recipes) may be saved with these recipes;
    // else false with `clash` told. May set the recipe ids.
    using SaveCheck =
        std::function<bool(std::vector<OwnRecipeId>& ids, const std::vector<RecordId>& saves, OwnSaveClash& clash)>;
    // Writes versions of the recipes `ids` name (0: a new recipe, given a new id) in one
    // write, once `check`, if any, lets it.
    JournalAppendResult Write(std::vector<OwnRecipeId>& ids, const std::vector<OwnRecipe>& recipes, bool deleted,
                              const BatchTime& now, const SaveCheck& check, OwnSaveClash& clash);
    // The current recipe with the id; null when there is none.
    const OwnRecipeCurrent* CurrentOf(OwnRecipeId id) const;
    // Whether a version with the save id is among the recipe's: a save reported failed
    // that landed after all.
    bool Landed(OwnRecipeId id, RecordId save) const;
    // False, with `clash` told, when a recipe other than `id` holds the code.
    bool CodeFree(const WideString& code, OwnRecipeId id, OwnSaveClash& clash) const;
    void BuildCurrent();
    // The versions of a recipe that read, oldest first, read again from the file.
    std::vector<OwnRecipeVersion> ReadVersions(const Versions& recipe) const;

    // Takes the index's recipes and reads the log on from it; false, with nothing taken,
    // when there is no index that holds for this log. `result` is the reading's.
    bool ResumeFromIndex(JournalLoadResult& result);
    // Writes the index again when enough was read since.
    void KeepIndexUp();

    RecordLog log_;
    std::unique_ptr<WholeFile> index_;
    std::uint64_t indexedAt_ = 0;  // the log's bytes the index holds, as far as this store knows
    bool indexed_ = false;
    std::vector<Versions> recipes_;  // in the order first saved
    std::unordered_map<OwnRecipeId, std::size_t> byId_;
    std::vector<JournalDamage> damage_;  // the log's and undecodable versions', by offset
    std::vector<OwnRecipeCurrent> current_;
};

}  // namespace lacqueron
