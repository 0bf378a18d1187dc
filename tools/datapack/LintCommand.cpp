// datapack lint: what the program would silently pass over, line by line.
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/Utf8.h"
#include "data/catalogue/UnitAndPurpose.h"
#include "formula/RecipeText.h"
#include "tools/datapack/Commands.h"
#include "tools/datapack/NumberFieldCheck.h"
#include "tools/datapack/Options.h"
#include "tools/datapack/SourceFiles.h"

namespace datapack {

namespace {

using lacqueron::kSectionCount;
using lacqueron::kSectionPicture;
using lacqueron::kSectionRecipes;
using lacqueron::SectionIndex;

constexpr char16_t kIncorrectRecipe[] = u"!!! ФОРМУЛА НЕКОРРЕКТНА !!!";
constexpr std::int32_t kLintAmount = 100;

struct Finding {
    int file;          // section index
    std::size_t line;  // 1-based; 0 for the whole file
    std::string reason;
};

// Maps the loader's line indices to the lines people see in an editor. The loader
// drops empty lines in every text section but the recipes; a CR without LF would
// make editors count differently, so it is a finding of its own.
class LineMap {
public:
    LineMap(const std::string& text, bool dropsEmpty, int file, std::vector<Finding>& findings) {
        std::size_t number = 0;
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::size_t length = end - start;
            if (length > 0 && text[start + length - 1] == '\r') --length;
            ++number;
            if (text.find('\r', start) < start + length)
                findings.push_back({file, number, "carriage return without line feed (ends a line for the program only)"});
            if (!dropsEmpty || length > 0) lines_.push_back(number);
            start = end + 1;
        }
    }
    std::size_t FileLine(std::uint32_t index) const { return index < lines_.size() ? lines_[index] : 0; }

private:
    std::vector<std::size_t> lines_;
};

class LintObserver final : public lacqueron::LoadObserver {
public:
    std::vector<std::uint32_t> records[kSectionCount];  // line index of each appended record
    std::vector<Finding> skipped;                       // line holds the loader's index until mapped
    std::vector<Finding> refusals;

    void RecordAppended(SectionIndex section, std::uint32_t line) override { records[section].push_back(line); }
    void Skipped(SectionIndex section, std::uint32_t line, const std::string& reason) override {
        skipped.push_back({section, line, "passed over: " + reason});
    }
    void SectionRefused(SectionIndex section, const std::string& reason) override {
        refusals.push_back({section, 0, "refused: " + reason});
    }
};

std::string Utf8(const lacqueron::WideString& text) { return lacqueron::ToUtf8(text); }

std::string UnitName(std::uint32_t unit) { return unit == lacqueron::kGrams ? "g" : "ml"; }

// Every purpose and unit whose recipe text the program would show as incorrect.
void CheckRecipeTexts(const lacqueron::Catalogue& catalogue, const std::vector<std::size_t>& recipeLines,
                      std::vector<Finding>& findings) {
    for (std::size_t r = 0; r < catalogue.recipes.size(); ++r) {
        const lacqueron::ColourRecipe& recipe = catalogue.recipes[r];
        std::string whole;
        std::string parts;
        for (std::uint32_t purpose = lacqueron::kFirstPurpose; purpose <= lacqueron::kLastPurpose; ++purpose) {
            for (const std::uint32_t unit : {lacqueron::kGrams, lacqueron::kMillilitres}) {
                const lacqueron::RecipeKind kind =
                    lacqueron::ComputeRecipe(catalogue, recipe, purpose, unit, kLintAmount).kind;
                const std::string where = " " + std::to_string(purpose) + "/" + UnitName(unit);
                if (kind == lacqueron::RecipeKind::kIncorrectFormula)
                    whole += where;
                else if (kind == lacqueron::RecipeKind::kIncorrectComponentFormula)
                    parts += where;
            }
        }
        const std::size_t line = recipeLines[r];
        if (!whole.empty())
            findings.push_back({kSectionRecipes, line, Utf8(recipe.title) + " gives \"" + Utf8(kIncorrectRecipe) +
                                                           "\" for purpose/unit" + whole});
        if (!parts.empty())
            findings.push_back({kSectionRecipes, line, Utf8(recipe.title) + " has a base part that cannot be resolved for purpose/unit" + parts});
    }
}

void CheckReferences(const lacqueron::Catalogue& catalogue, const std::vector<std::size_t> (&lines)[kSectionCount],
                     std::vector<Finding>& findings) {
    for (std::size_t r = 0; r < catalogue.recipes.size(); ++r) {
        const lacqueron::ColourRecipe& recipe = catalogue.recipes[r];
        if (!catalogue.findColour(recipe.number))
            findings.push_back({kSectionRecipes, lines[kSectionRecipes][r],
                                Utf8(recipe.title) + " has no colour with number " + std::to_string(recipe.number)});
    }
    for (std::size_t c = 0; c < catalogue.colours.size(); ++c) {
        const lacqueron::ColourEntry& colour = catalogue.colours[c];
        bool hasRecipe = false;
        for (const lacqueron::ColourRecipe& recipe : catalogue.recipes) hasRecipe = hasRecipe || recipe.number == colour.number;
        if (!hasRecipe)
            findings.push_back({lacqueron::kSectionColours, lines[lacqueron::kSectionColours][c],
                                Utf8(colour.code) + " has no recipe"});
    }
    for (std::size_t m = 0; m < catalogue.components.size(); ++m) {
        const lacqueron::MixComponent& component = catalogue.components[m];
        if (component.kind == lacqueron::kBase && component.hasFormula() && !(component.density > 0))
            findings.push_back({lacqueron::kSectionComponents, lines[lacqueron::kSectionComponents][m],
                                "the density of base " + Utf8(component.code) + " (purpose " +
                                    std::to_string(component.purpose) + ") cannot be computed from its formula"});
    }
}

// Before the sources are read: most invisible characters have no Windows-1251 byte and
// stop the reading, which then names only the first of them.
void CheckNumberFields(const std::string& directory, std::vector<Finding>& findings) {
    for (int index = 0; index < kSectionPicture; ++index) {
        std::string utf8;
        std::string unreadable;  // told by ReadSources
        if (!ReadWholeFile(JoinPath(directory, kSourceFileNames[index]), utf8, unreadable)) continue;
        for (LineWarning& warning : FindInvisibleCharactersInNumbers(static_cast<SectionIndex>(index), utf8))
            findings.push_back({index, warning.line, std::move(warning.reason)});
    }
}

void PrintFindings(std::vector<Finding>& findings) {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.file != b.file ? a.file < b.file : a.line < b.line; });
    for (const Finding& finding : findings) {
        if (finding.line > 0)
            std::printf("%s:%zu: %s\n", kSourceFileNames[finding.file], finding.line, finding.reason.c_str());
        else
            std::printf("%s: %s\n", kSourceFileNames[finding.file], finding.reason.c_str());
    }
}

}  // namespace

int RunLint(const Arguments& args) {
    Options options;
    if (!ParseOptions(args, {"--sources"}, {"--sources"}, "datapack lint --sources DIR", options)) return 2;
    std::vector<Finding> findings;
    CheckNumberFields(options["--sources"], findings);
    Sources sources;
    std::string error;
    if (!ReadSources(options["--sources"], sources, error)) {
        PrintFindings(findings);
        return Fail(error);
    }

    std::vector<LineMap> maps;
    for (int index = 0; index < kSectionPicture; ++index)
        maps.emplace_back(sources.contents[index], index != kSectionRecipes, index, findings);

    lacqueron::Catalogue catalogue;
    LintObserver observer;
    if (!LoadSources(sources, catalogue, &observer, error)) return Fail(error);

    for (Finding& skipped : observer.skipped) {
        skipped.line = maps[skipped.file].FileLine(static_cast<std::uint32_t>(skipped.line));
        findings.push_back(skipped);
    }
    findings.insert(findings.end(), observer.refusals.begin(), observer.refusals.end());
    std::vector<std::size_t> recordLines[kSectionCount];
    for (int index = 0; index < kSectionPicture; ++index)
        for (std::uint32_t line : observer.records[index]) recordLines[index].push_back(maps[index].FileLine(line));

    CheckReferences(catalogue, recordLines, findings);
    CheckRecipeTexts(catalogue, recordLines[kSectionRecipes], findings);

    PrintFindings(findings);
    return findings.empty() ? 0 : 1;
}

}  // namespace datapack
