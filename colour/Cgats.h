// CGATS.17 measurement files as colour instruments export them: each sample's id and
// name, the paste amounts it was made of and its reflectance from 400 to 700 nm.
//
// What the reader takes:
// - header lines "KEYWORD value" (ORIGINATOR, CREATED, KEYWORD "X" declarations and
//   anything else: only NUMBER_OF_FIELDS and NUMBER_OF_SETS are read), "#" comments,
//   one or more tables of BEGIN_DATA_FORMAT ... END_DATA_FORMAT, BEGIN_DATA ... END_DATA;
// - values split by spaces or tabs, "quoted text" holding spaces, one sample per line;
//   CR LF, LF or CR line ends, an optional UTF-8 byte order mark; keywords and field
//   names in any letter case;
// - numbers with a decimal point, or a decimal comma ("45,3"): a comma never separates
//   values in CGATS, so it can only be a spreadsheet's decimal point. "1,234" is 1.234.
//   Two of them, or a comma and a point, are text in a number;
// - the field SAMPLE_ID (required) and SAMPLE_NAME (optional: the id stands in for it);
// - CONC_<code>: grams of that paste per 1000 g of base, 0 or more;
// - spectral fields named SPECTRAL_NM400, SPECTRAL_NM_400, SPEC_400 or NM400, at any
//   step, as long as every band 400, 410, ... 700 nm is there; the others are read as
//   numbers and left out;
// - reflectance in percent or as fractions, decided once per file.
// Other fields (LAB_L, SAMPLE_LOC, ...) are counted but not read.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "colour/Bands.h"

namespace lacqueron::colour {

struct CgatsSample {
    std::string id, name;                                        // SAMPLE_ID, SAMPLE_NAME
    std::vector<std::pair<std::string, double>> concentrations;  // CONC_<code> columns, in file order
    Spectrum reflectance{};                                      // fractions 0..1
    int line = 0;  // the sample's data line, for a caller's message about it (an unknown paste code)
};

struct CgatsError {
    int line = 0;        // 1 for the first line
    std::string reason;  // English, for tools: "file:line: reason"
    bool noSpectrum = false;  // the failure is a table without the 31 reflectance bands
};

// Reads every sample of every table. False on the first problem, with its line and
// reason; samples is then empty. Codes are as the file writes them: checking them
// against a package is the caller's work.
bool ReadCgats(std::string_view text, std::vector<CgatsSample>& samples, CgatsError& error);

// A measurement file's raw reflectances as fractions: percent when the file's highest
// raw value is above 1.5, fractions otherwise, decided once for the file; instrument
// noise a little beyond 0..1 clamped. False with the sample's line and the reason for
// a value further out.
bool ScaleReflectances(std::vector<CgatsSample>& samples, double highest, CgatsError& error);

}  // namespace lacqueron::colour
