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
#include "ownrecipes/OwnRecipe.h"
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
// name, note, rgb (u32), lines (u32 count, then component and amount (i64) each). Fields
// a later version adds after these are passed over.
std::string EncodeOwnRecipeVersion(const OwnRecipeVersion& version);
bool DecodeOwnRecipeVersion(std::string_view payload, OwnRecipeVersion& version);

class OwnRecipeStore {
public:
    explicit OwnRecipeStore(std::unique_ptr<JournalFile> file);

    JournalLoadResult Load();
    // Reads what other benches appended since; true when anything changed.
    bool Refresh();
    // Counts the changes read or written through this object: a window compares it with
    // the count it last showed, since another window may have done the refreshing.
    std::uint64_t Revision() const noexcept { return revision_; }
    // Whether the last read or write of the file failed: its folder is as good as gone.
    bool Failing() const noexcept { return log_.Failing(); }

    // Appends a version; a new recipe gets a new id (returned through `id` when 0).
    // Once caught up under the file's lock, the save is refused (Refused, `clash` told)
    // when another recipe holds the code, or, with `versions` given, when the recipe no
    // longer has that many versions: another bench saved or deleted it meanwhile.
    JournalAppendResult Save(OwnRecipeId& id, const OwnRecipe& recipe, const BatchTime& now,
                             std::optional<std::size_t> versions, OwnSaveClash& clash);
    JournalAppendResult Save(OwnRecipeId& id, const OwnRecipe& recipe, const BatchTime& now);
    // Several recipes in one write, so that either all of them are saved or none.
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
    // Every version of one recipe, oldest first, deletes included.
    std::vector<OwnRecipeVersion> History(OwnRecipeId id) const;
    // Deleted recipes, for restoring: their last version before the delete.
    std::vector<OwnRecipeVersion> Deleted() const;
    // The damage found in the file, as the journal reports it.
    const std::vector<JournalDamage>& Damage() const;

private:
    // Every version of one recipe, by the index of its frame in the log.
    struct Versions {
        OwnRecipeId id = 0;
        std::vector<std::size_t> frames;
        bool deleted = false;  // its last version is a delete
    };

    // Indexes the frames read since the last time; everything again when the file was replaced.
    void Index();
    // Under the lock, caught up: true when the ids (0 for new recipes) may be saved with
    // these recipes; else false with `clash` told. May set the ids.
    using SaveCheck = std::function<bool(std::vector<OwnRecipeId>& ids, OwnSaveClash& clash)>;
    JournalAppendResult SaveChecked(std::vector<OwnRecipeId>& ids, const std::vector<OwnRecipe>& recipes,
                                    const BatchTime& now, const SaveCheck& check, OwnSaveClash& clash);
    // The current recipe with the id; null when there is none.
    const OwnRecipeCurrent* CurrentOf(OwnRecipeId id) const;
    // False, with `clash` told, when a recipe other than `id` holds the code.
    bool CodeFree(const WideString& code, OwnRecipeId id, OwnSaveClash& clash) const;
    void BuildCurrent();
    bool DecodeFrame(std::size_t frame, OwnRecipeVersion& version) const;

    JournalStore log_;
    std::vector<Versions> recipes_;  // in the order first saved
    std::unordered_map<OwnRecipeId, std::size_t> byId_;
    std::size_t framesIndexed_ = 0;
    std::uint64_t sizeIndexed_ = 0;
    std::uint64_t revision_ = 0;
    std::vector<JournalDamage> headDamage_;  // versions whose first fields do not read
    std::vector<JournalDamage> damage_;      // the log's and undecodable versions', by offset
    std::vector<OwnRecipeCurrent> current_;
};

}  // namespace lacqueron
