// A target colour as a painter types it or an instrument writes it: L*a*b* ("52,3 -4,1
// 18", "52.3, -4.1, 18" or "52.3,-4.1,18"), a RAL Design code ("H L C", "RAL" before it
// allowed) and a measurement file's sample (CGATS or CxF3). What the matching window, the
// own recipes' CSV and the command line all read the same way.
#pragma once

#include <string>
#include <string_view>

#include "colour/Bands.h"
#include "colour/Colorimetry.h"

namespace lacqueron::colour {

enum class TargetProblem {
    kNone,
    kEmpty,
    kNotThreeNumbers,
    kLightnessOutside,  // L* beyond 0-100
    kOpponentOutside,   // a* or b* beyond what a surface colour can have
    kHueOutside,        // H beyond 0-360
    kChromaNegative,
    kFileUnreadable,    // neither a CGATS nor a CxF3 file; the reader's reason and line go with it
    kNoSpectrum,        // a measurement file with no reflectance in it
    kNoSample,          // no sample of that name or id
    kUnknownCode,       // a colour code the collection does not have
};

constexpr double kLargestLightness = 100;
constexpr double kLargestOpponent = 200;
constexpr double kFullTurnDegrees = 360;

TargetProblem ParseLabText(std::string_view text, Lab& lab);
TargetProblem ParseHlcText(std::string_view text, Lab& lab);
// "52,31 -4,1 18" with the mark given: two decimals at most, trailing zeros dropped.
std::string FormatLabText(const Lab& lab, char decimalMark);

// The sample named (SAMPLE_NAME, else SAMPLE_ID; a CxF3 object's Name, else its Id),
// or the first when name is empty, from a CGATS file or, when the text is XML, a CxF3
// file. On kFileUnreadable, `reason` holds the reader's English reason and `line` its line.
struct MeasurementError {
    TargetProblem problem = TargetProblem::kNone;
    int line = 0;
    std::string reason;
};
bool SpectrumFromMeasurement(std::string_view text, std::string_view name, Spectrum& spectrum,
                             MeasurementError& error);

// The Russian sentence for a problem, UTF-8; `what` names the text or file in it.
std::string DescribeTargetProblem(TargetProblem problem, std::string_view what);
// The same in English, for the command line: "L* is outside 0-100".
std::string TargetProblemReason(TargetProblem problem);

}  // namespace lacqueron::colour
