// What the fuzz targets of the measurement file readers (CGATS, CxF3) check alike.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "colour/Cgats.h"

namespace lacqueron::fuzz {

// The lines a reader may name: LF, CR LF and a bare CR each end one, and an unended last
// line counts; an empty text has line 1.
inline int LineCount(std::string_view text) {
    int lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++lines;
    }
    const bool openLast = !text.empty() && text.back() != '\n' && text.back() != '\r';
    return std::max(lines + (openLast ? 1 : 0), 1);
}

using MeasurementReader = bool (*)(std::string_view, std::vector<colour::CgatsSample>&, colour::CgatsError&);

// A refused text must name a line inside it with a reason and leave no samples. A text
// read must give samples on lines inside it with reflectances from 0 to 1, each sane to
// the reader's own rules, and written again in the reader's plainest form must read back
// exactly the same. Aborts otherwise.
inline void CheckMeasurementReader(std::string_view text, MeasurementReader read,
                                   bool (*sane)(const colour::CgatsSample&),
                                   std::string (*writeAgain)(const std::vector<colour::CgatsSample>&)) {
    std::vector<colour::CgatsSample> samples;
    colour::CgatsError error;
    const int lines = LineCount(text);
    if (!read(text, samples, error)) {
        if (!samples.empty() || error.reason.empty() || error.line < 1 || error.line > lines) std::abort();
        return;
    }
    if (samples.empty()) std::abort();
    for (const colour::CgatsSample& sample : samples) {
        if (sample.line < 1 || sample.line > lines || !sane(sample)) std::abort();
        for (double r : sample.reflectance)
            if (!(r >= 0 && r <= 1)) std::abort();
    }
    std::vector<colour::CgatsSample> again;
    if (!read(writeAgain(samples), again, error) || again.size() != samples.size()) std::abort();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const colour::CgatsSample &a = samples[i], &b = again[i];
        if (a.id != b.id || a.name != b.name || a.concentrations != b.concentrations || a.reflectance != b.reflectance)
            std::abort();
    }
}

}  // namespace lacqueron::fuzz
