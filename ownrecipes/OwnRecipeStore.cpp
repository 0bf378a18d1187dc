#include "ownrecipes/OwnRecipeStore.h"

#include <algorithm>

#include "core/UniqueId.h"
#include "data/text/TextFold.h"
#include "journal/RecordPayload.h"

namespace lacqueron {
namespace {

constexpr std::size_t kSmallestLine = 4 + 8;
constexpr std::uint8_t kKept = 0;
constexpr std::uint8_t kDeleted = 1;

// The fields every version starts with, read without the texts: what indexing needs.
struct VersionHead {
    OwnRecipeId id = 0;
    BatchTime saved;
    bool deleted = false;
};

void ReadHead(PayloadReader& in, VersionHead& head) {
    head.id = in.U64();
    head.saved.utcSeconds = in.I64();
    head.saved.localOffsetMinutes = in.I32();
    head.deleted = in.Flag();
}

bool ReadHead(std::string_view payload, VersionHead& head) {
    PayloadReader in(payload);
    ReadHead(in, head);
    return in.ok() && head.id != 0;
}

}  // namespace

std::string EncodeOwnRecipeVersion(const OwnRecipeVersion& version) {
    PayloadWriter out;
    out.U64(version.id);
    out.I64(version.saved.utcSeconds);
    out.I32(version.saved.localOffsetMinutes);
    out.U8(version.deleted ? kDeleted : kKept);
    out.Text(version.recipe.code);
    out.Text(version.recipe.name);
    out.Text(version.recipe.note);
    out.U32(version.recipe.rgb);
    out.U32(static_cast<std::uint32_t>(version.recipe.lines.size()));
    for (const OwnRecipeLine& line : version.recipe.lines) {
        out.Text(line.component);
        out.I64(line.amount);
    }
    return std::move(out.bytes());
}

bool DecodeOwnRecipeVersion(std::string_view payload, OwnRecipeVersion& version) {
    PayloadReader in(payload);
    VersionHead head;
    ReadHead(in, head);
    version.id = head.id;
    version.saved = head.saved;
    version.deleted = head.deleted;
    OwnRecipe& recipe = version.recipe;
    in.Text(recipe.code);
    in.Text(recipe.name);
    in.Text(recipe.note);
    recipe.rgb = in.U32();
    recipe.lines.resize(in.Count(kSmallestLine));
    for (OwnRecipeLine& line : recipe.lines) {
        in.Text(line.component);
        line.amount = in.I64();
    }
    return in.ok() && head.id != 0;
}

OwnRecipeStore::OwnRecipeStore(std::unique_ptr<JournalFile> file) : log_(std::move(file)) {}

JournalLoadResult OwnRecipeStore::Load() {
    const JournalLoadResult result = log_.Load();
    Index();
    return result;
}

bool OwnRecipeStore::Refresh() {
    const std::size_t frames = framesIndexed_;
    const std::size_t damage = damage_.size();
    if (log_.Refresh() != JournalLoadResult::Loaded) return false;
    Index();
    return framesIndexed_ != frames || damage_.size() != damage;
}

void OwnRecipeStore::Index() {
    const JournalContents& log = log_.Contents();
    if (log.Size() != sizeIndexed_) ++revision_;
    if (log.Size() < sizeIndexed_ || log.Frames().size() < framesIndexed_) {
        recipes_.clear();
        byId_.clear();
        headDamage_.clear();
        framesIndexed_ = 0;
    }
    for (std::size_t i = framesIndexed_; i < log.Frames().size(); ++i) {
        const JournalFrame& frame = log.Frames()[i];
        if (frame.kind != kOwnRecipeKind) continue;
        VersionHead head;
        if (!ReadHead(log.Payload(frame), head)) {
            headDamage_.push_back({frame.offset, frame.recordNumber, JournalDamageKind::BadPayload});
            continue;
        }
        const auto [slot, added] = byId_.try_emplace(head.id, recipes_.size());
        if (added) recipes_.push_back({head.id, {}, false});
        recipes_[slot->second].frames.push_back(i);
        recipes_[slot->second].deleted = head.deleted;
    }
    framesIndexed_ = log.Frames().size();
    sizeIndexed_ = log.Size();
    BuildCurrent();
}

bool OwnRecipeStore::DecodeFrame(std::size_t frame, OwnRecipeVersion& version) const {
    const JournalContents& log = log_.Contents();
    return DecodeOwnRecipeVersion(log.Payload(log.Frames()[frame]), version);
}

// Only the last version of each recipe is decoded, so the log opens as fast as it can
// be checked; the others are decoded when their history is asked for.
void OwnRecipeStore::BuildCurrent() {
    const JournalContents& log = log_.Contents();
    damage_ = log.Damage();
    damage_.insert(damage_.end(), headDamage_.begin(), headDamage_.end());
    current_.clear();
    current_.reserve(recipes_.size());
    OwnRecipeVersion version;
    for (const Versions& recipe : recipes_) {
        if (recipe.deleted) continue;
        // A last version whose fields do not read is reported; the one before it stands.
        for (std::size_t i = recipe.frames.size(); i-- > 0;) {
            if (DecodeFrame(recipe.frames[i], version)) {
                if (version.deleted) break;
                VersionHead first;
                ReadHead(log.Payload(log.Frames()[recipe.frames.front()]), first);
                current_.push_back({recipe.id, first.saved, version.saved, recipe.frames.size(),
                                    std::move(version.recipe)});
                break;
            }
            const JournalFrame& frame = log.Frames()[recipe.frames[i]];
            damage_.push_back({frame.offset, frame.recordNumber, JournalDamageKind::BadPayload});
        }
    }
    std::sort(damage_.begin(), damage_.end(),
              [](const JournalDamage& a, const JournalDamage& b) { return a.offset < b.offset; });
}

JournalAppendResult OwnRecipeStore::SaveChecked(std::vector<OwnRecipeId>& ids, const std::vector<OwnRecipe>& recipes,
                                                const BatchTime& now, const SaveCheck& check, OwnSaveClash& clash) {
    if (recipes.empty()) return JournalAppendResult::Appended;
    std::vector<OwnRecipeId> chosen;
    const JournalAppendResult result = log_.AppendBuilt([&](std::string& frames) {
        // What other benches appended, read under the lock, is what the check sees.
        Index();
        chosen = ids;
        chosen.resize(recipes.size());
        if (check && !check(chosen, clash)) return JournalAppendResult::Refused;
        for (std::size_t i = 0; i < recipes.size(); ++i) {
            if (chosen[i] == 0) {
                do chosen[i] = NewUniqueId();
                while (byId_.contains(chosen[i]));
            }
            const std::string frame =
                EncodeFrame(kOwnRecipeKind, EncodeOwnRecipeVersion({chosen[i], now, false, recipes[i]}));
            if (frame.empty()) return JournalAppendResult::TooLarge;
            frames += frame;
        }
        return JournalAppendResult::Appended;
    });
    Index();
    if (result == JournalAppendResult::Appended) ids = std::move(chosen);
    return result;
}

JournalAppendResult OwnRecipeStore::SaveAll(std::vector<OwnRecipeId>& ids, const std::vector<OwnRecipe>& recipes,
                                            const BatchTime& now) {
    OwnSaveClash clash;
    return SaveChecked(ids, recipes, now, {}, clash);
}

JournalAppendResult OwnRecipeStore::SaveAllByCode(std::vector<OwnRecipeId>& ids, const std::vector<OwnRecipe>& recipes,
                                                  const BatchTime& now) {
    OwnSaveClash clash;
    return SaveChecked(ids, recipes, now,
                       [&](std::vector<OwnRecipeId>& chosen, OwnSaveClash&) {
                           for (std::size_t i = 0; i < recipes.size(); ++i) {
                               const OwnRecipeCurrent* holder = FindCurrent(recipes[i].code);
                               chosen[i] = holder ? holder->id : 0;
                           }
                           return true;
                       },
                       clash);
}

JournalAppendResult OwnRecipeStore::Save(OwnRecipeId& id, const OwnRecipe& recipe, const BatchTime& now,
                                         std::optional<std::size_t> versions, OwnSaveClash& clash) {
    std::vector<OwnRecipeId> ids = {id};
    const JournalAppendResult result = SaveChecked(
        ids, {recipe}, now,
        [&](std::vector<OwnRecipeId>& chosen, OwnSaveClash& told) {
            if (versions && chosen.front() != 0) {
                const OwnRecipeCurrent* standing = CurrentOf(chosen.front());
                if (!standing || standing->versions != *versions) {
                    told.changed = true;
                    if (standing) told.theirs = *standing;
                    return false;
                }
            }
            return CodeFree(recipe.code, chosen.front(), told);
        },
        clash);
    id = ids.front();
    return result;
}

JournalAppendResult OwnRecipeStore::Save(OwnRecipeId& id, const OwnRecipe& recipe, const BatchTime& now) {
    OwnSaveClash clash;
    return Save(id, recipe, now, std::nullopt, clash);
}

const OwnRecipeCurrent* OwnRecipeStore::CurrentOf(OwnRecipeId id) const {
    const auto found = std::find_if(current_.begin(), current_.end(),
                                    [&](const OwnRecipeCurrent& recipe) { return recipe.id == id; });
    return found == current_.end() ? nullptr : &*found;
}

bool OwnRecipeStore::CodeFree(const WideString& code, OwnRecipeId id, OwnSaveClash& clash) const {
    const OwnRecipeCurrent* holder = FindCurrent(code);
    if (!holder || holder->id == id) return true;
    clash.code = holder->recipe.code;
    return false;
}

JournalAppendResult OwnRecipeStore::Delete(OwnRecipeId id, const BatchTime& now) {
    const auto found = std::find_if(current_.begin(), current_.end(),
                                    [&](const OwnRecipeCurrent& recipe) { return recipe.id == id; });
    // Deleted already, or never saved: nothing to record.
    if (found == current_.end()) return JournalAppendResult::Appended;
    const JournalAppendResult result =
        log_.AppendFrame(EncodeFrame(kOwnRecipeKind, EncodeOwnRecipeVersion({id, now, true, found->recipe})));
    Index();
    return result;
}

JournalAppendResult OwnRecipeStore::Restore(const OwnRecipeVersion& version, const BatchTime& now,
                                            OwnSaveClash& clash) {
    std::vector<OwnRecipeId> ids = {version.id};
    return SaveChecked(
        ids, {version.recipe}, now,
        [&](std::vector<OwnRecipeId>& chosen, OwnSaveClash& told) { return CodeFree(version.recipe.code, version.id, told); },
        clash);
}

const std::vector<OwnRecipeCurrent>& OwnRecipeStore::Current() const { return current_; }

const OwnRecipeCurrent* OwnRecipeStore::FindCurrent(std::u16string_view code) const {
    const WideString folded = FoldText(TrimSpaces(code));
    for (const OwnRecipeCurrent& recipe : current_)
        if (FoldText(TrimSpaces(recipe.recipe.code)) == folded) return &recipe;
    return nullptr;
}

std::vector<OwnRecipeVersion> OwnRecipeStore::History(OwnRecipeId id) const {
    std::vector<OwnRecipeVersion> versions;
    const auto found = byId_.find(id);
    if (found == byId_.end()) return versions;
    OwnRecipeVersion version;
    for (const std::size_t frame : recipes_[found->second].frames)
        if (DecodeFrame(frame, version)) versions.push_back(version);
    return versions;
}

std::vector<OwnRecipeVersion> OwnRecipeStore::Deleted() const {
    std::vector<OwnRecipeVersion> deleted;
    OwnRecipeVersion version;
    for (const Versions& recipe : recipes_) {
        if (!recipe.deleted) continue;
        for (std::size_t i = recipe.frames.size(); i-- > 0;) {
            if (DecodeFrame(recipe.frames[i], version) && !version.deleted) {
                deleted.push_back(version);
                break;
            }
        }
    }
    return deleted;
}

const std::vector<JournalDamage>& OwnRecipeStore::Damage() const { return damage_; }

}  // namespace lacqueron
