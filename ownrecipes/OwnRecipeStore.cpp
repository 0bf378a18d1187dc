#include "ownrecipes/OwnRecipeStore.h"

#include <algorithm>
#include <bit>

#include "data/text/TextFold.h"
#include "journal/RecordPayload.h"

namespace lacqueron {
namespace {

constexpr std::size_t kSmallestLine = 4 + 8;
constexpr std::uint8_t kKept = 0;
constexpr std::uint8_t kDeleted = 1;

// The fields every version starts with and the save's id, read without decoding the
// texts: what indexing needs.
struct VersionHead {
    OwnRecipeId id = 0;
    BatchTime saved;
    bool deleted = false;
    RecordId saveId = 0;
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
    in.SkipText();  // code
    in.SkipText();  // name
    in.SkipText();  // note
    in.U32();       // rgb
    for (std::uint32_t lines = in.Count(kSmallestLine); lines > 0; --lines) {
        in.SkipText();
        in.I64();
    }
    head.saveId = ReadRecordId(in);
    return in.ok() && head.id != 0;
}

// A write asks for a save id for each version and a recipe id for each that may be new:
// the check under the lock may make any of them new.
constexpr std::size_t kIdsPerVersion = 2;

// The recipes a write is for: those `given`, and for each 0 its own of the new ids that
// follow the saves' in `fresh`.
std::vector<OwnRecipeId> RecipeIds(std::vector<OwnRecipeId> given, const std::vector<RecordId>& fresh) {
    for (std::size_t i = 0; i < given.size(); ++i)
        if (given[i] == 0) given[i] = fresh[given.size() + i];
    return given;
}

constexpr std::size_t kDoubleBytes = 8;

// Numbers kept as their IEEE 754 bits: read back exactly on every platform.
void WriteDouble(PayloadWriter& out, double value) { out.U64(std::bit_cast<std::uint64_t>(value)); }
double ReadDouble(PayloadReader& in) { return std::bit_cast<double>(in.U64()); }

void WriteTarget(PayloadWriter& out, const std::optional<OwnTarget>& target) {
    out.U8(target ? 1 : 0);
    if (!target) return;
    WriteDouble(out, target->l);
    WriteDouble(out, target->a);
    WriteDouble(out, target->b);
    out.U32(static_cast<std::uint32_t>(target->reflectance.size()));
    for (const double band : target->reflectance) WriteDouble(out, band);
    out.Text(target->method);
}

// A version written before recipes kept targets ends before the flag.
void ReadTarget(PayloadReader& in, std::optional<OwnTarget>& target) {
    target.reset();
    if (!in.ok() || in.left() == 0 || !in.Flag()) return;
    OwnTarget read;
    read.l = ReadDouble(in);
    read.a = ReadDouble(in);
    read.b = ReadDouble(in);
    read.reflectance.resize(in.Count(kDoubleBytes));
    for (double& band : read.reflectance) band = ReadDouble(in);
    in.Text(read.method);
    target = std::move(read);
}

}  // namespace

std::string EncodeOwnRecipeVersion(const OwnRecipeVersion& version, RecordId saveId) {
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
    WriteRecordId(out, saveId);
    WriteTarget(out, version.recipe.target);
    return std::move(out.bytes());
}

bool DecodeOwnRecipeVersion(std::string_view payload, OwnRecipeVersion& version, RecordId* saveId) {
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
    const RecordId save = ReadRecordId(in);
    if (saveId) *saveId = save;
    ReadTarget(in, recipe.target);
    return in.ok() && head.id != 0;
}

OwnRecipeStore::OwnRecipeStore(std::unique_ptr<JournalFile> file, std::unique_ptr<WholeFile> index)
    : log_(std::move(file)), index_(std::move(index)) {}

JournalLoadResult OwnRecipeStore::Load() {
    JournalLoadResult result = JournalLoadResult::Loaded;
    const bool resumed = ResumeFromIndex(result);
    if (!resumed) result = log_.Load(*this);
    indexed_ = resumed && result == JournalLoadResult::Loaded;
    BuildCurrent();
    if (result == JournalLoadResult::Loaded) KeepIndexUp();
    return result;
}

bool OwnRecipeStore::ResumeFromIndex(JournalLoadResult& result) {
    std::string bytes;
    RecordLogMark mark;
    std::vector<Versions> recipes;
    if (!index_ || !index_->Read(bytes) || !DecodeOwnRecipeIndex(bytes, mark, recipes)) return false;
    Restart();
    recipes_ = std::move(recipes);
    byId_.reserve(recipes_.size());
    bool held = true;
    for (std::size_t i = 0; held && i < recipes_.size(); ++i) held = byId_.try_emplace(recipes_[i].id, i).second;
    if (held) result = log_.Resume(mark, *this, held);
    if (!held) {
        Restart();
        // A log held by another bench is as busy for reading it whole.
        return result == JournalLoadResult::Busy;
    }
    indexedAt_ = mark.journal.size;
    return true;
}

bool OwnRecipeStore::Refresh() {
    if (!log_.Refresh(*this)) return false;
    BuildCurrent();
    KeepIndexUp();
    return true;
}

bool OwnRecipeStore::WriteIndex() {
    if (!index_) return false;
    const std::optional<RecordLogMark> mark = log_.Mark();
    if (!mark) return false;
    // A failed write is not tried again until as much again was read: the index is a cache.
    indexedAt_ = log_.SizeRead();
    return index_->Replace(EncodeOwnRecipeIndex(*mark, recipes_));
}

void OwnRecipeStore::KeepIndexUp() {
    if (index_ && log_.SizeRead() >= indexedAt_ + kOwnIndexRewriteBytes) WriteIndex();
}

void OwnRecipeStore::Restart() {
    recipes_.clear();
    byId_.clear();
    indexedAt_ = 0;
}

bool OwnRecipeStore::Read(const JournalFrame& frame, std::string_view payload) {
    if (frame.kind != kOwnRecipeKind) return true;
    VersionHead head;
    if (!ReadHead(payload, head)) return false;
    const auto [slot, added] = byId_.try_emplace(head.id, recipes_.size());
    if (added) recipes_.push_back({head.id, head.saved, {}, {}, 0, false, {}});
    Versions& recipe = recipes_[slot->second];
    // A retry writes the same version again, so its save id is among its recipe's: looked
    // for there, not among all 200,000 of a big store, which costs a cache miss each.
    if (head.saveId != 0 && std::find(recipe.saves.begin(), recipe.saves.end(), head.saveId) != recipe.saves.end())
        return true;
    recipe.offsets.push_back(frame.offset);
    recipe.saves.push_back(head.saveId);
    recipe.lastRecord = frame.recordNumber;
    recipe.deleted = head.deleted;
    recipe.last.assign(payload);
    return true;
}

std::vector<OwnRecipeVersion> OwnRecipeStore::ReadVersions(const Versions& recipe) const {
    std::vector<OwnRecipeVersion> versions;
    std::vector<std::string> payloads;
    // A file that cannot be read now leaves the last version, which is at hand.
    if (!log_.ReadRecords(recipe.offsets, payloads)) payloads = {recipe.last};
    OwnRecipeVersion version;
    for (const std::string& payload : payloads)
        if (DecodeOwnRecipeVersion(payload, version)) versions.push_back(version);
    return versions;
}

// Only the last version of each recipe is kept and decoded, so the log opens as fast as
// it can be read and checked; the others are read again when their history is asked for.
void OwnRecipeStore::BuildCurrent() {
    damage_ = log_.Damage();
    current_.clear();
    current_.reserve(recipes_.size());
    OwnRecipeVersion version;
    for (const Versions& recipe : recipes_) {
        if (recipe.deleted) continue;
        if (DecodeOwnRecipeVersion(recipe.last, version)) {
            current_.push_back(
                {recipe.id, recipe.firstSaved, version.saved, recipe.offsets.size(), std::move(version.recipe)});
            continue;
        }
        // A last version whose fields do not read is reported; the one before it stands.
        damage_.push_back({recipe.offsets.back(), recipe.lastRecord, JournalDamageKind::BadPayload});
        std::vector<OwnRecipeVersion> older = ReadVersions(recipe);
        if (!older.empty() && !older.back().deleted)
            current_.push_back({recipe.id, recipe.firstSaved, older.back().saved, recipe.offsets.size(),
                                std::move(older.back().recipe)});
    }
    std::sort(damage_.begin(), damage_.end(),
              [](const JournalDamage& a, const JournalDamage& b) { return a.offset < b.offset; });
}

// The time of a save is left out of a retry's key: a retry is the same save asked for
// again a moment later. So are the ids of new recipes: a retry keeps those it was given.
JournalAppendResult OwnRecipeStore::Write(std::vector<OwnRecipeId>& ids, const std::vector<OwnRecipe>& recipes,
                                          bool deleted, const BatchTime& now, const SaveCheck& check,
                                          OwnSaveClash& clash) {
    std::vector<OwnRecipeId> asked = ids;
    asked.resize(recipes.size());
    std::vector<OwnRecipeId> target = asked;
    const auto frames = [&](const std::vector<RecordId>& fresh, bool key) {
        const std::vector<OwnRecipeId> chosen = RecipeIds(target, fresh);
        std::string bytes;
        for (std::size_t i = 0; i < recipes.size(); ++i) {
            const OwnRecipeVersion version = {chosen[i], key ? BatchTime{} : now, deleted, recipes[i]};
            const std::string frame = EncodeFrame(kOwnRecipeKind, EncodeOwnRecipeVersion(version, fresh[i]));
            if (frame.empty()) return std::string();
            bytes += frame;
        }
        return bytes;
    };
    RecordLog::Check checked;
    if (check)
        checked = [&](const std::vector<RecordId>& fresh) {
            // What other benches appended, read under the lock, is what the check sees.
            BuildCurrent();
            target = asked;
            clash = {};
            return check(target, fresh, clash) ? JournalAppendResult::Appended : JournalAppendResult::Refused;
        };
    std::vector<RecordId> used;
    const JournalAppendResult result =
        log_.Write(recipes.size(), recipes.size() * kIdsPerVersion, frames, *this, &used, checked);
    BuildCurrent();
    KeepIndexUp();
    if (result == JournalAppendResult::Appended && !used.empty()) ids = RecipeIds(target, used);
    return result;
}

JournalAppendResult OwnRecipeStore::SaveAll(std::vector<OwnRecipeId>& ids, const std::vector<OwnRecipe>& recipes,
                                            const BatchTime& now) {
    OwnSaveClash clash;
    return Write(ids, recipes, false, now, {}, clash);
}

JournalAppendResult OwnRecipeStore::SaveAllByCode(std::vector<OwnRecipeId>& ids, const std::vector<OwnRecipe>& recipes,
                                                  const BatchTime& now) {
    OwnSaveClash clash;
    return Write(ids, recipes, false, now,
                 [&](std::vector<OwnRecipeId>& chosen, const std::vector<RecordId>&, OwnSaveClash&) {
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
    const JournalAppendResult result = Write(
        ids, {recipe}, false, now,
        [&](std::vector<OwnRecipeId>& chosen, const std::vector<RecordId>& fresh, OwnSaveClash& told) {
            const OwnRecipeId mine = RecipeIds(chosen, fresh).front();
            if (versions && chosen.front() != 0) {
                const OwnRecipeCurrent* standing = CurrentOf(mine);
                // This very save, retried after it landed although reported failed, is not
                // another bench's version.
                const std::size_t landed = Landed(mine, fresh.front()) ? 1 : 0;
                if (!standing || standing->versions - landed != *versions) {
                    told.changed = true;
                    if (standing) told.theirs = *standing;
                    return false;
                }
            }
            return CodeFree(recipe.code, mine, told);
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

bool OwnRecipeStore::Landed(OwnRecipeId id, RecordId save) const {
    const auto found = byId_.find(id);
    if (found == byId_.end()) return false;
    const std::vector<RecordId>& saves = recipes_[found->second].saves;
    return std::find(saves.begin(), saves.end(), save) != saves.end();
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
    std::vector<OwnRecipeId> ids = {id};
    OwnSaveClash clash;
    return Write(ids, {found->recipe}, true, now, {}, clash);
}

JournalAppendResult OwnRecipeStore::Restore(const OwnRecipeVersion& version, const BatchTime& now,
                                            OwnSaveClash& clash) {
    std::vector<OwnRecipeId> ids = {version.id};
    return Write(
        ids, {version.recipe}, false, now,
        [&](std::vector<OwnRecipeId>&, const std::vector<RecordId>&, OwnSaveClash& told) {
            return CodeFree(version.recipe.code, version.id, told);
        },
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
    const auto found = byId_.find(id);
    return found == byId_.end() ? std::vector<OwnRecipeVersion>{} : ReadVersions(recipes_[found->second]);
}

std::vector<OwnRecipeVersion> OwnRecipeStore::Deleted() const {
    std::vector<OwnRecipeVersion> deleted;
    for (const Versions& recipe : recipes_) {
        if (!recipe.deleted) continue;
        const std::vector<OwnRecipeVersion> versions = ReadVersions(recipe);
        const auto kept = std::find_if(versions.rbegin(), versions.rend(),
                                       [](const OwnRecipeVersion& version) { return !version.deleted; });
        if (kept != versions.rend()) deleted.push_back(*kept);
    }
    return deleted;
}

const std::vector<JournalDamage>& OwnRecipeStore::Damage() const { return damage_; }

}  // namespace lacqueron
