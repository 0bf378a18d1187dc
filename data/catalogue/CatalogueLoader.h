// Builds the catalogue from a data package, after reading the stored profile values.
#pragma once

#include <cstdint>
#include <string>

#include "core/AppModule.h"
#include "data/catalogue/Catalogue.h"
#include "data/catalogue/DataPackage.h"
#include "data/catalogue/UnitAndPurpose.h"

namespace lacqueron {

// The three values the main dialog keeps and the profile stores.
struct ProfileValues {
    std::int32_t targetWeight = 100;
    std::uint32_t weightType = kGrams;  // a WeightUnit
    std::uint32_t purpose = kPurposeDashboardPvcMatt;  // a Purpose
};

// Told what the loader does with each line, so that the datapack tool can lint a
// package with the loader's own rules. Line indices count the lines as the section
// splits them: from 0, empty lines included only in the recipes section.
class LoadObserver {
public:
    // A record (setting, colour, recipe header or component) was appended from this line.
    virtual void RecordAppended(SectionIndex section, std::uint32_t line) {}
    // The line, or a part of it (a formula term), was passed over for this reason.
    virtual void Skipped(SectionIndex section, std::uint32_t line, const std::string& reason) {}
    // The section could not be decoded, or the picture failed a check.
    virtual void SectionRefused(SectionIndex section, const std::string& reason) {}

protected:
    ~LoadObserver() = default;
};

// Appends to an empty catalogue; reports nothing to the user. Lines that fail a check
// are passed over; a section that fails to decode contributes nothing. observer may
// be null.
void LoadCatalogue(IAppModule& module, const DataPackage& package, Catalogue& catalogue,
                   ProfileValues& values, LoadObserver* observer = nullptr);

}  // namespace lacqueron
