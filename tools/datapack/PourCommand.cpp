// datapack pour: the bench's pour plan for one recipe after the given scale readings;
// with --journal, the batch appended to a journal as a bench's weighing writes it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/UniqueId.h"
#include "core/Utf8.h"
#include "journal/JournalStore.h"
#include "journal/posix/PosixJournalFile.h"
#include "pour/PourBatch.h"
#include "pour/PourPlan.h"
#include "pour/PourText.h"
#include "tools/datapack/Commands.h"
#include "tools/datapack/RecipeSelection.h"

namespace datapack {

namespace {

constexpr char kPourUsage[] =
    "datapack pour --sources DIR (--row N | --title TEXT) --purpose N --unit g|ml|N --amount N "
    "[--resolution 0.01|0.1|1] [--capacity G] [--journal FILE] [--accept] READING|undo|add CODE GRAMS...";
constexpr char kAcceptFlag[] = "--accept";
constexpr char kUndoToken[] = "undo";
constexpr char kAddToken[] = "add";
constexpr char kOptionPrefix[] = "--";

struct PourArguments {
    Arguments named;  // "--name value" pairs
    bool accept = false;
    Arguments readings;
};

PourArguments SplitArguments(const Arguments& args) {
    PourArguments split;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == kAcceptFlag) {
            split.accept = true;
        } else if (args[i].rfind(kOptionPrefix, 0) == 0) {
            split.named.push_back(args[i]);
            if (i + 1 < args.size()) split.named.push_back(args[++i]);
        } else {
            split.readings.push_back(args[i]);
        }
    }
    return split;
}

bool ParseResolution(const std::string& text, lacqueron::Hundredths& resolution) {
    if (text == "0.01") resolution = lacqueron::kResolutionHundredth;
    else if (text == "0.1") resolution = lacqueron::kResolutionTenth;
    else if (text == "1") resolution = lacqueron::kResolutionGram;
    else return false;
    return true;
}

// Why a reading was refused; empty when it was recorded.
std::string Refusal(lacqueron::ReadingOutcome outcome, const lacqueron::PourPlan& plan) {
    switch (outcome) {
    case lacqueron::ReadingOutcome::kNegative: return "it is negative";
    case lacqueron::ReadingOutcome::kBelowPrevious:
        return "it is below the previous reading " + lacqueron::FormatGrams(plan.lastReading);
    case lacqueron::ReadingOutcome::kNoStepLeft: return "every step is done";
    case lacqueron::ReadingOutcome::kDecisionPending: return "a correction is still to be decided";
    default: return {};
    }
}

std::string Utf8(const char16_t* text) { return lacqueron::ToUtf8(text); }

const char* KindWord(lacqueron::PourStepKind kind) noexcept {
    switch (kind) {
    case lacqueron::PourStepKind::kTopUp: return "top-up";
    case lacqueron::PourStepKind::kAddition: return "addition";
    case lacqueron::PourStepKind::kStep: break;
    }
    return "step";
}

std::optional<lacqueron::Hundredths> ParseGrams(const std::string& text) {
    lacqueron::WideString wide;
    if (!lacqueron::FromUtf8(text, wide, nullptr, lacqueron::kLargestBasicCodePoint)) return std::nullopt;
    return lacqueron::ParseReading(wide);
}

// Adds the paste of the code (case of Latin letters aside) for the grams; empty when
// added, else why not.
std::string AddPaste(lacqueron::PourPlan& plan, const lacqueron::Catalogue& catalogue, const std::string& code,
                     const std::string& grams) {
    lacqueron::WideString wideCode;
    if (!lacqueron::FromUtf8(code, wideCode, nullptr, lacqueron::kLargestBasicCodePoint)) return "the code is not UTF-8";
    const std::vector<lacqueron::PourPaste> pastes = lacqueron::PastesToAdd(catalogue);
    const auto paste = std::find_if(pastes.begin(), pastes.end(), [&](const lacqueron::PourPaste& p) {
        return lacqueron::EqualFoldLatin(p.code, wideCode);
    });
    if (paste == pastes.end()) return "no paste has the code " + code;
    const std::optional<lacqueron::Hundredths> weight = ParseGrams(grams);
    if (!weight) return "the grams " + grams + " are not a number";
    switch (lacqueron::AddPaste(plan, *paste, *weight)) {
    case lacqueron::AdditionOutcome::kAdded: return {};
    case lacqueron::AdditionOutcome::kNothingPoured: return "no reading stands yet";
    case lacqueron::AdditionOutcome::kDecisionPending: return "a correction is still to be decided";
    case lacqueron::AdditionOutcome::kBadWeight: break;
    }
    return "the grams " + grams + " are not above 0 or too many";
}

void PrintPlan(const lacqueron::PourPlan& plan) {
    for (const lacqueron::PourStep& step : plan.steps) {
        const std::string reading = step.reading ? lacqueron::FormatGrams(*step.reading) : "-";
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", KindWord(step.kind),
                    lacqueron::ToUtf8(plan.components[step.component].name).c_str(),
                    lacqueron::FormatGrams(step.weight).c_str(), lacqueron::FormatGrams(step.target).c_str(),
                    reading.c_str(), Utf8(lacqueron::StatusWord(step)).c_str());
    }
    std::printf("total\t%s\n", lacqueron::FormatGrams(plan.Total()).c_str());
    for (const lacqueron::PourDecision& decision : plan.decisions) {
        const lacqueron::PourCorrection& correction = decision.correction;
        const bool fits = plan.capacity <= 0 || correction.total <= plan.capacity;
        std::printf("correction\t%s\t%s\t%s\n", lacqueron::FormatFactor(correction.factor).c_str(),
                    lacqueron::FormatGrams(correction.total).c_str(),
                    decision.accepted ? "accepted" : fits ? "declined" : "too-large");
    }
}

// Appends the batch as the plan was left to the journal, as a bench's weighing does,
// stamped with the time now (UTC); empty when written, else why not.
std::string AppendToJournal(const std::string& path, const lacqueron::PourPlan& plan, const RecipeSelection& selection) {
    lacqueron::BatchHeader header;
    header.time.utcSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    header.colourCode = selection.recipe->title;
    if (const lacqueron::ColourEntry* colour = selection.catalogue.findColour(selection.recipe->number)) {
        header.colourCode = colour->code;
        header.colourName = colour->name;
    }
    header.purpose = selection.purpose;
    header.weightType = selection.weightType;
    header.amount = selection.amount;
    header.batchId = lacqueron::NewUniqueId();
    const std::unique_ptr<lacqueron::JournalFile> file = lacqueron::OpenPosixJournalFile(path);
    if (!file) return "cannot open " + path;
    switch (lacqueron::AppendBatch(*file, lacqueron::BatchOfPour(plan, header))) {
    case lacqueron::JournalAppendResult::Appended: return {};
    case lacqueron::JournalAppendResult::Busy: return path + " is held by another writer past the time limit";
    case lacqueron::JournalAppendResult::NotAJournal: return path + " is not a journal of this version";
    case lacqueron::JournalAppendResult::TooLarge: return "the batch does not fit in one record";
    case lacqueron::JournalAppendResult::WriteFailed:
    case lacqueron::JournalAppendResult::Refused: break;
    }
    return "cannot write " + path;
}

// Whole grams, as the bench's can capacity is kept.
bool ParseCapacity(const std::string& text, lacqueron::Hundredths& capacity) {
    std::int64_t grams = 0;
    if (!ParseWhole(text, 1, lacqueron::kLargestAmount, grams)) return false;
    capacity = grams * lacqueron::kHundredthsPerGram;
    return true;
}

}  // namespace

int RunPour(const Arguments& args) {
    const PourArguments split = SplitArguments(args);
    std::vector<std::string> names = RecipeOptionNames();
    names.push_back("--resolution");
    names.push_back("--capacity");
    names.push_back("--journal");
    Options options;
    if (!ParseOptions(split.named, names, RequiredRecipeOptionNames(), kPourUsage, options)) return 2;
    lacqueron::Hundredths resolution = lacqueron::kDefaultResolution;
    if (options.count("--resolution") && !ParseResolution(options["--resolution"], resolution))
        return BadUsage("--resolution needs 0.01, 0.1 or 1: " + options["--resolution"], kPourUsage);
    lacqueron::Hundredths capacity = 0;
    if (options.count("--capacity") && !ParseCapacity(options["--capacity"], capacity))
        return BadUsage("--capacity needs whole grams above 0: " + options["--capacity"], kPourUsage);
    RecipeSelection selection;
    if (const int status = SelectRecipe(options, kPourUsage, selection); status != 0) return status;

    const lacqueron::Recipe recipe = lacqueron::ComputeRecipe(selection.catalogue, *selection.recipe, selection.purpose,
                                                              selection.weightType, selection.amount);
    if (recipe.kind != lacqueron::RecipeKind::kCorrect)
        return Fail(lacqueron::ToUtf8(selection.recipe->title) + " is not a correct formula for this purpose and unit");
    if (selection.amount <= 0) return Fail("nothing to pour: the amount is not above 0");

    lacqueron::PourPlan plan = lacqueron::BuildPourPlan(recipe, resolution);
    plan.capacity = capacity;
    for (std::size_t i = 0; i < split.readings.size(); ++i) {
        const std::string& text = split.readings[i];
        if (text == kUndoToken) {
            if (!lacqueron::UndoReading(plan)) return Fail("undo: no reading to take back");
            continue;
        }
        if (text == kAddToken) {
            if (i + 2 >= split.readings.size()) return BadUsage("add needs a paste code and grams", kPourUsage);
            const std::string error = AddPaste(plan, selection.catalogue, split.readings[i + 1], split.readings[i + 2]);
            if (!error.empty()) return Fail("cannot add " + split.readings[i + 1] + ": " + error);
            i += 2;
            continue;
        }
        const std::optional<lacqueron::Hundredths> reading = ParseGrams(text);
        if (!reading) return Fail("bad reading " + text + ": not a number");
        const lacqueron::ReadingOutcome outcome = lacqueron::RecordReading(plan, *reading);
        if (lacqueron::IsRefused(outcome)) return Fail("bad reading " + text + ": " + Refusal(outcome, plan));
        if (outcome == lacqueron::ReadingOutcome::kOverPour) {
            // A correction that does not fit the can is declined even with --accept.
            if (!split.accept || !lacqueron::AcceptCorrection(plan)) lacqueron::DeclineCorrection(plan);
        }
    }
    if (options.count("--journal"))
        if (const std::string error = AppendToJournal(options["--journal"], plan, selection); !error.empty())
            return Fail(error);
    PrintPlan(plan);
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the plan");
}

}  // namespace datapack
