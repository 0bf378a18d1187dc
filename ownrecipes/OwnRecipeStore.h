// The shop's own recipes, every version of them, in an append-only log of the
// journal's kind (recipes.lqr in the data folder). A save appends a version; a delete
// appends a version that marks the recipe deleted; a restore appends an old version
// again. Nothing is ever written over, so two benches sharing the folder lose nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "journal/BatchRecord.h"
#include "journal/JournalFile.h"
#include "journal/JournalFormat.h"
#include "journal/JournalStore.h"
#include "ownrecipes/OwnRecipe.h"

namespace lacqueron {

// Which recipe a version belongs to, across renames of its code.
using OwnRecipeId = std::uint64_t;

struct OwnRecipeVersion {
    OwnRecipeId id = 0;
    BatchTime saved;
    bool deleted = false;
    OwnRecipe recipe;  // as saved; for a delete, the last version's fields
    bool operator==(const OwnRecipeVersion&) const = default;
};

// A recipe as it stands: its last version, when that is not a delete.
struct OwnRecipeCurrent {
    OwnRecipeId id = 0;
    BatchTime firstSaved;
    BatchTime lastSaved;
    std::size_t versions = 0;
    OwnRecipe recipe;
};

class OwnRecipeStore {
public:
    explicit OwnRecipeStore(std::unique_ptr<JournalFile> file);

    JournalLoadResult Load();
    // Reads what other benches appended since; true when anything changed.
    bool Refresh();

    // Appends a version; a new recipe gets a new id (returned through `id` when 0).
    JournalAppendResult Save(OwnRecipeId& id, const OwnRecipe& recipe, const BatchTime& now);
    JournalAppendResult Delete(OwnRecipeId id, const BatchTime& now);
    // Appends the version again as the newest, undeleting the recipe.
    JournalAppendResult Restore(const OwnRecipeVersion& version, const BatchTime& now);

    // Recipes not deleted, in the order they were first saved.
    const std::vector<OwnRecipeCurrent>& Current() const;
    // Every version of one recipe, oldest first, deletes included.
    std::vector<OwnRecipeVersion> History(OwnRecipeId id) const;
    // Deleted recipes, for restoring: their last version before the delete.
    std::vector<OwnRecipeVersion> Deleted() const;
    // The damage found in the file, as the journal reports it.
    const std::vector<JournalDamage>& Damage() const;
};

}  // namespace lacqueron
