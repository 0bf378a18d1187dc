// datapack calibrate, match, correct and nearest: the colour engine on the command line.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "colour/BenchCorrection.h"
#include "colour/Calibration.h"
#include "colour/Cgats.h"
#include "colour/Correction.h"
#include "colour/Decimal.h"
#include "colour/Drafting.h"
#include "colour/Nearest.h"
#include "colour/Optics.h"
#include "core/Utf8.h"
#include "journal/posix/PosixJournalFile.h"
#include "journal/posix/PosixWholeFile.h"
#include "ledger/Costing.h"
#include "ledger/LedgerCsv.h"
#include "ledger/LedgerDay.h"
#include "matching/ColourMatch.h"
#include "ownrecipes/OwnRecipeStore.h"
#include "tint/LadderCalibration.h"
#include "tint/OpticsStore.h"
#include "tint/TargetInput.h"
#include "tools/datapack/Commands.h"
#include "tools/datapack/Options.h"
#include "tools/datapack/RecipeSelection.h"
#include "tools/datapack/SourceFiles.h"

namespace datapack {

namespace {

namespace colour = lacqueron::colour;

constexpr char kCalibrateUsage[] = "datapack calibrate --sources DIR --ladders FILE --out FILE";
constexpr char kMatchUsage[] =
    "datapack match --sources DIR [--optics FILE] --purpose N TARGET [--pastes CODE,...] [--max-pastes N] "
    "[--top K] [--prices CSV]; TARGET: --lab L,a,b | --hlc \"H L C\" | --ral CODE | --spectrum FILE --sample NAME";
constexpr char kCorrectUsage[] =
    "datapack correct --sources DIR [--optics FILE] --purpose N TARGET --poured CODE=G,CODE=G,... "
    "(--trial-lab L,a,b | --trial-spectrum FILE --trial-sample NAME) [--capacity G] [--max-add-pastes N]";
constexpr char kNearestUsage[] = "datapack nearest --sources DIR [--own-store FILE] TARGET [--top N]";
constexpr char kOpticsUsage[] = "datapack optics --store FILE [--out FILE]";
constexpr double kHundredths = 100;

// The optics table beside the package sources, unless --optics says.
constexpr char kOpticsFileName[] = "optics.txt";
const std::string kBaseCode = lacqueron::ToUtf8(lacqueron::kMatchBaseCode);
constexpr double kBaseGrams = lacqueron::kMatchBaseGrams;
constexpr int kDeltaEDecimals = 2;
constexpr int kDefaultDrafts = 5;
constexpr int kDefaultNearest = 10;
constexpr int kMostPastesAsked = 4;
constexpr std::int64_t kMostListed = 1000;

const std::vector<std::string> kTargetNames = {"--lab", "--hlc", "--ral", "--spectrum", "--sample"};

std::string DeltaE(double value) { return colour::FormatFixed(value, kDeltaEDecimals); }

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

std::vector<std::string> WithTargets(std::vector<std::string> names) {
    names.insert(names.end(), kTargetNames.begin(), kTargetNames.end());
    return names;
}

int ReadText(const std::string& path, std::string& text) {
    std::string error;
    if (!ReadWholeFile(path, text, error)) return Fail(error);
    return 0;
}

int LoadOptics(const Options& options, colour::OpticsTable& table) {
    const std::string path = options.count("--optics") ? options.at("--optics")
                                                       : JoinPath(options.at("--sources"), kOpticsFileName);
    std::string text;
    if (const int status = ReadText(path, text); status != 0) return status;
    colour::OpticsError error;
    if (!colour::ReadOptics(text, table, error))
        return Fail(path + (error.line ? ":" + std::to_string(error.line) : std::string()) + ": " + error.reason);
    return 0;
}

// The sample whose SAMPLE_NAME, or else SAMPLE_ID, is name.
int FindSample(const std::string& path, const std::string& name, colour::Spectrum& spectrum) {
    std::string text;
    if (const int status = ReadText(path, text); status != 0) return status;
    colour::MeasurementError error;
    if (colour::SpectrumFromMeasurement(text, name, spectrum, error)) return 0;
    if (error.problem == colour::TargetProblem::kNoSample) return Fail(path + ": no sample " + name);
    return Fail(path + ":" + std::to_string(error.line) + ": " + error.reason);
}

// Reads the target options: exactly one of --lab, --hlc, --ral, --spectrum with --sample.
int ReadTarget(Options& options, const lacqueron::Catalogue& catalogue, const char* usage, colour::Target& target,
               bool& approximate) {
    const int given = static_cast<int>(options.count("--lab") + options.count("--hlc") + options.count("--ral") +
                                       options.count("--spectrum"));
    if (given != 1) return BadUsage("give exactly one target: --lab, --hlc, --ral or --spectrum", usage);
    if (options.count("--spectrum") != options.count("--sample"))
        return BadUsage("--spectrum and --sample go together", usage);
    approximate = false;
    if (options.count("--spectrum")) {
        colour::Spectrum spectrum;
        if (const int status = FindSample(options["--spectrum"], options["--sample"], spectrum); status != 0)
            return status;
        target = colour::TargetFromSpectrum(spectrum);
        return 0;
    }
    const char* name = options.count("--lab") ? "--lab" : options.count("--hlc") ? "--hlc" : "--ral";
    const lacqueron::TargetKind kind = options.count("--lab")   ? lacqueron::TargetKind::kLab
                                       : options.count("--hlc") ? lacqueron::TargetKind::kRalDesign
                                                                : lacqueron::TargetKind::kRalClassic;
    const lacqueron::MatchTarget read = lacqueron::ReadMatchTarget(catalogue, {kind, options[name], {}, 0});
    if (read.problem == colour::TargetProblem::kUnknownCode) return Fail("no catalogue colour " + options[name]);
    if (!read.ok()) return BadUsage(std::string(name) + ": " + colour::TargetProblemReason(read.problem) + ": " +
                                        options[name], usage);
    target = read.target;
    approximate = read.approximate;
    return 0;
}

struct Purpose {
    std::uint32_t value = 0;
    double pigmentFactor = 1;
};

int ReadPurpose(Options& options, const lacqueron::Catalogue& catalogue, const char* usage, Purpose& purpose) {
    std::int64_t value = 0;
    if (!ParseWhole(options["--purpose"], lacqueron::kFirstPurpose, lacqueron::kLastPurpose, value))
        return BadUsage("--purpose needs 1 to 6: " + options["--purpose"], usage);
    purpose.value = static_cast<std::uint32_t>(value);
    const std::optional<double> factor = lacqueron::MatchPigmentFactor(catalogue, static_cast<std::int32_t>(value));
    if (!factor) return Fail("the package has no base " + kBaseCode + " for purpose " + options["--purpose"]);
    purpose.pigmentFactor = *factor;
    return 0;
}

// The optics pastes a draft or correction may use: --pastes, or every package paste the
// table knows.
int ChoosePastes(Options& options, const lacqueron::Catalogue& catalogue, const colour::OpticsTable& table,
                 const char* usage, std::vector<int>& pastes) {
    if (options.count("--pastes")) {
        for (const std::string& code : Split(options["--pastes"], ',')) {
            if (!lacqueron::IsPackagePaste(catalogue, code)) return BadUsage("--pastes: " + code + " is no paste of the package", usage);
            const int index = table.Find(code);
            if (index < 0) return Fail("the optics table has no paste " + code);
            pastes.push_back(index);
        }
        return 0;
    }
    pastes = lacqueron::PackagePastes(catalogue, table);
    if (pastes.empty()) return Fail("the optics table knows none of the package's pastes");
    return 0;
}

int ReadCount(Options& options, const char* name, std::int64_t least, std::int64_t most, const char* usage,
              int& value) {
    if (!options.count(name)) return 0;
    std::int64_t read = 0;
    if (!ParseWhole(options[name], least, most, read))
        return BadUsage(std::string(name) + " needs " + std::to_string(least) + " to " + std::to_string(most) + ": " +
                            options[name],
                        usage);
    value = static_cast<int>(read);
    return 0;
}

// Price per gram of each optics paste; negative where the table has none.
int ReadPrices(const std::string& path, const lacqueron::Catalogue& catalogue, const colour::OpticsTable& table,
               std::vector<double>& perGram) {
    std::string bytes;
    if (const int status = ReadText(path, bytes); status != 0) return status;
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    const lacqueron::BatchTime today{now.count(), 0};
    std::vector<lacqueron::PriceRecord> prices;
    lacqueron::CsvError error;
    const lacqueron::PriceBook none({}, catalogue);
    if (!lacqueron::ReadPricesCsv(bytes, lacqueron::LedgerComponents(catalogue), none, today, prices, error))
        return Fail(path + ": " + lacqueron::ToUtf8(lacqueron::DescribeCsvError(error)));
    const lacqueron::PriceBook book(prices, catalogue);
    perGram = lacqueron::PastePricesPerGram(catalogue, table, [&](const lacqueron::MixComponent& paste) {
        return book.PriceOn(lacqueron::LedgerKey(paste), lacqueron::LocalDay(today));
    });
    return 0;
}

// What match and correct both read: the sources, the purpose, the target, the optics
// table and the pastes that may be used.
struct Job {
    lacqueron::Catalogue catalogue;
    Purpose purpose;
    colour::Target target;
    bool approximate = false;
    colour::OpticsTable table;
    std::vector<int> pastes;
};

int Prepare(Options& options, const char* usage, Job& job) {
    if (const int status = LoadCatalogueSources(options["--sources"], job.catalogue); status != 0) return status;
    if (const int status = ReadPurpose(options, job.catalogue, usage, job.purpose); status != 0) return status;
    if (const int status = ReadTarget(options, job.catalogue, usage, job.target, job.approximate); status != 0)
        return status;
    if (const int status = LoadOptics(options, job.table); status != 0) return status;
    return ChoosePastes(options, job.catalogue, job.table, usage, job.pastes);
}

std::string GramsText(double grams) { return colour::FormatTrimmed(grams, colour::kRecipeDecimals); }

}  // namespace

int RunCalibrate(const Arguments& args) {
    Options options;
    if (!ParseOptions(args, {"--sources", "--ladders", "--out"}, {"--sources", "--ladders", "--out"}, kCalibrateUsage,
                      options))
        return 2;
    lacqueron::Catalogue catalogue;
    if (const int status = LoadCatalogueSources(options["--sources"], catalogue); status != 0) return status;
    const std::string& path = options["--ladders"];
    std::string text;
    if (const int status = ReadText(path, text); status != 0) return status;
    lacqueron::LadderFit fit;
    lacqueron::LadderError error;
    if (!lacqueron::FitLadders(catalogue, text, fit, error)) {
        switch (error.problem) {
        case lacqueron::LadderProblem::kUnknownPaste:
            return Fail(path + ":" + std::to_string(error.line) + ": paste code " + error.detail +
                        " is unknown to the package");
        case lacqueron::LadderProblem::kCannotFit: return Fail(path + ": " + error.detail);
        default: return Fail(path + ":" + std::to_string(error.line) + ": " + error.detail);
        }
    }
    const colour::Calibration& result = fit.calibration;

    std::string out;
    for (std::size_t j = 0; j < fit.names.size(); ++j)
        if (result.deltaE[j] > colour::kOutlierDeltaE)
            out += "outlier\t" + fit.names[j] + "\tdE00\t" + DeltaE(result.deltaE[j]) + '\n';
    out += "surface\t" + colour::FormatNumber(result.table.surface.k1) + '\t' +
           colour::FormatTrimmed(result.table.surface.k2, 4) + '\n';
    out += "falloff\t" + colour::FormatNumber(result.table.falloff) + '\n';
    out += "fit\tmedian\t" + DeltaE(result.median) + "\tlargest\t" + DeltaE(result.largest) + '\n';
    std::string writeError;
    if (!WriteWholeFile(options["--out"], colour::WriteOptics(result.table), writeError)) return Fail(writeError);
    return WriteOut(out);
}

int RunOptics(const Arguments& args) {
    Options options;
    if (!ParseOptions(args, {"--store", "--out"}, {"--store"}, kOpticsUsage, options)) return 2;
    const std::string& path = options["--store"];
    lacqueron::OpticsStore store(lacqueron::OpenPosixJournalFile(path));
    if (store.Load() != lacqueron::JournalLoadResult::Loaded) return Fail(path + ": cannot be read");
    // A damaged store is listed as far as it reads, as the program reads it.
    if (!store.Damage().empty())
        std::fputs(("datapack: " + path + ": damaged at byte " + std::to_string(store.Damage().front().offset) + '\n')
                       .c_str(),
                   stderr);
    std::string out;
    for (const lacqueron::OpticsEntry& entry : store.History()) {
        const std::string day = lacqueron::ToUtf8(lacqueron::FormatDay(lacqueron::LocalDay(entry.time)));
        if (entry.vendor) {
            out += "vendor\t" + day + '\n';
            continue;
        }
        std::string outliers;
        for (const std::string& name : entry.outliers) outliers += (outliers.empty() ? "" : ",") + name;
        out += "calibration\t" + day + '\t' + entry.source + "\tmedian\t" + DeltaE(entry.median / kHundredths) +
               "\tlargest\t" + DeltaE(entry.largest / kHundredths) + "\toutliers\t" + outliers + '\n';
    }
    const lacqueron::OpticsEntry* inForce = store.InForce();
    out += inForce ? "in force\tcalibration\n" : "in force\tvendor\n";
    const bool wanted = options.count("--out") != 0;
    if (wanted && inForce) {
        std::string writeError;
        if (!WriteWholeFile(options["--out"], inForce->optics, writeError)) return Fail(writeError);
    }
    if (const int status = WriteOut(out); status != 0) return status;
    return wanted && !inForce ? Fail(path + ": no calibration is in force, the vendor's table is") : 0;
}

int RunMatch(const Arguments& args) {
    Options options;
    if (!ParseOptions(args,
                      WithTargets({"--sources", "--optics", "--purpose", "--pastes", "--max-pastes", "--top", "--prices"}),
                      {"--sources", "--purpose"}, kMatchUsage, options))
        return 2;
    Job job;
    if (const int status = Prepare(options, kMatchUsage, job); status != 0) return status;
    const lacqueron::Catalogue& catalogue = job.catalogue;
    const colour::OpticsTable& table = job.table;
    const colour::Target& target = job.target;
    colour::DraftRequest request;
    request.top = kDefaultDrafts;
    request.pastes = job.pastes;
    request.pigmentFactor = job.purpose.pigmentFactor;
    if (const int status = ReadCount(options, "--max-pastes", 1, kMostPastesAsked, kMatchUsage, request.maxPastes);
        status != 0)
        return status;
    if (const int status = ReadCount(options, "--top", 1, kMostListed, kMatchUsage, request.top); status != 0)
        return status;
    if (options.count("--prices"))
        if (const int status = ReadPrices(options["--prices"], catalogue, table, request.pricePerGram); status != 0)
            return status;

    const std::vector<colour::Draft> drafts = colour::MatchTarget(table, target, request);
    if (drafts.empty()) return Fail("no draft: the pastes give nothing");
    const bool outside = lacqueron::BeyondReach(drafts);
    std::string out;
    if (job.approximate) out += "target\tapproximate\tscreen colour of " + options["--ral"] + '\n';
    for (std::size_t i = 0; i < drafts.size(); ++i) {
        const colour::Draft& draft = drafts[i];
        out += "draft\t" + std::to_string(i + 1) + "\tdE00\t" + DeltaE(draft.deltaE) + "\tpastes\t" +
               std::to_string(draft.recipe.size());
        if (target.spectral) out += "\tmetamerism\t" + DeltaE(draft.deltaEA) + '\t' + DeltaE(draft.deltaEF11);
        if (outside) out += "\toutside";
        out += '\n';
        out += std::string(kBaseCode) + '\t' + GramsText(kBaseGrams) + '\n';
        for (const colour::Load& load : draft.recipe)
            out += table.pastes[load.paste].code + '\t' + GramsText(load.grams) + '\n';
        out += '\n';
    }
    return WriteOut(out);
}

int RunCorrect(const Arguments& args) {
    Options options;
    if (!ParseOptions(args,
                      WithTargets({"--sources", "--optics", "--purpose", "--poured", "--trial-lab", "--trial-spectrum",
                                   "--trial-sample", "--capacity", "--max-add-pastes", "--pastes"}),
                      {"--sources", "--purpose", "--poured"}, kCorrectUsage, options))
        return 2;
    Job job;
    if (const int status = Prepare(options, kCorrectUsage, job); status != 0) return status;
    const lacqueron::Catalogue& catalogue = job.catalogue;
    const colour::OpticsTable& table = job.table;
    int maxAddPastes = colour::CorrectionRequest{}.maxAddPastes;
    if (const int status = ReadCount(options, "--max-add-pastes", 0, 2, kCorrectUsage, maxAddPastes);
        status != 0)
        return status;

    // What went into the can, in grams as weighed; the base 1000 g unless given.
    double total = 0;
    colour::WeighedTrial trial;
    trial.baseGrams = kBaseGrams;
    for (const std::string& part : Split(options["--poured"], ',')) {
        const std::size_t equals = part.find('=');
        double grams = 0;
        if (equals == std::string::npos || !colour::ParseNumber(part.substr(equals + 1), grams) || grams < 0)
            return BadUsage("--poured needs CODE=GRAMS,...: " + part, kCorrectUsage);
        const std::string code = part.substr(0, equals);
        total += grams;
        if (code == kBaseCode) {
            trial.baseGrams = grams;
            continue;
        }
        if (!lacqueron::IsPackagePaste(catalogue, code)) return BadUsage("--poured: " + code + " is no paste of the package", kCorrectUsage);
        if (table.Find(code) < 0) return Fail("the optics table has no paste " + code);
        trial.pastes.push_back({code, grams});
    }
    if (!(trial.baseGrams > 0)) return BadUsage("--poured: the base must weigh more than 0", kCorrectUsage);
    if (trial.pastes.empty()) return BadUsage("--poured names no paste", kCorrectUsage);
    if (options.count("--trial-lab") + options.count("--trial-spectrum") != 1)
        return BadUsage("give exactly one of --trial-lab and --trial-spectrum", kCorrectUsage);
    if (options.count("--trial-spectrum") != options.count("--trial-sample"))
        return BadUsage("--trial-spectrum and --trial-sample go together", kCorrectUsage);
    if (options.count("--trial-lab")) {
        if (const colour::TargetProblem problem = colour::ParseLabText(options["--trial-lab"], trial.measuredLab);
            problem != colour::TargetProblem::kNone)
            return BadUsage("--trial-lab: " + colour::TargetProblemReason(problem) + ": " + options["--trial-lab"],
                            kCorrectUsage);
    } else {
        if (const int status = FindSample(options["--trial-spectrum"], options["--trial-sample"], trial.measured);
            status != 0)
            return status;
        trial.spectral = true;
    }
    std::optional<double> room;
    if (options.count("--capacity")) {
        double capacity = 0;
        if (!colour::ParseNumber(options["--capacity"], capacity) || capacity <= 0)
            return BadUsage("--capacity needs grams: " + options["--capacity"], kCorrectUsage);
        if (capacity < total) return Fail("the can holds less than was poured");
        room = capacity - total;
    }

    colour::BenchCorrection correction;
    std::string badCode;
    if (colour::CorrectWeighedTrial(table, job.target, trial, job.pastes, maxAddPastes, room, correction, badCode) !=
        colour::BenchCorrectionResult::kCorrected)
        return Fail("the optics table has no paste " + badCode);
    std::string out = "predicted\tdE00\t" + DeltaE(correction.predicted) + '\n';
    for (const colour::BenchAddition& addition : correction.additions)
        out += "add\t" + addition.code + '\t' + GramsText(addition.grams) + '\n';
    if (correction.additions.empty()) out += "nothing\tno addition brings the batch closer\n";
    return WriteOut(out);
}

int RunNearest(const Arguments& args) {
    Options options;
    if (!ParseOptions(args, WithTargets({"--sources", "--own-store", "--top"}), {"--sources"},
                      kNearestUsage, options))
        return 2;
    lacqueron::Catalogue catalogue;
    if (const int status = LoadCatalogueSources(options["--sources"], catalogue); status != 0) return status;
    colour::Target target;
    bool approximate = false;
    int top = kDefaultNearest;
    if (const int status = ReadTarget(options, catalogue, kNearestUsage, target, approximate); status != 0)
        return status;
    if (const int status = ReadCount(options, "--top", 1, kMostListed, kNearestUsage, top); status != 0) return status;

    // Own recipes by the colour they were matched to, when they keep it.
    std::vector<lacqueron::OwnRecipeCurrent> own;
    if (options.count("--own-store")) {
        const std::string& storePath = options["--own-store"];
        lacqueron::OwnRecipeStore store(lacqueron::OpenPosixJournalFile(storePath),
                                        lacqueron::OpenPosixLogIndex(storePath));
        if (store.Load() != lacqueron::JournalLoadResult::Loaded) return Fail(storePath + ": cannot be read");
        own = store.Current();
    }
    std::string out;
    for (const lacqueron::SimilarColour& near : lacqueron::SimilarColours(catalogue, own, target.labs[0], top))
        out += "dE00\t" + DeltaE(near.deltaE) + '\t' + (near.own ? "own\t" : "catalogue\t") +
               lacqueron::ToUtf8(near.code) + '\t' + lacqueron::ToUtf8(near.name) + '\n';
    return WriteOut(out);
}

}  // namespace datapack
