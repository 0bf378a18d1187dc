// Own recipes of the size a lab's are, saved over and over, as the benchmarks open them.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "ownrecipes/OwnRecipeStore.h"

namespace lacqueron::bench {

constexpr std::uint64_t kSampleRecipes = 10000;
constexpr std::int64_t kSampleEpoch = 1796601600;  // 2026-12-07 00:00 UTC
constexpr std::int32_t kSampleOffsetMinutes = 180;

// A base and five pastes, a code, a name and a note; each version a little different.
inline OwnRecipe SampleOwnRecipe(std::uint64_t number, std::uint64_t version) {
    const std::string text = std::to_string(number);
    const WideString digits(text.begin(), text.end());
    const auto amount = static_cast<Thousandths>(1000 + version);
    return {u"К-" + digits, u"Бежевый заказчика " + digits, u"Заказ " + digits + u", «Ока»", 0x88BACD,
            {{u"OSN", 1000000}, {u"WHT", 119000 + amount}, {u"YEL", amount}, {u"RED", 146}, {u"ULT", 437},
             {u"BLK", 12}}, {}};
}

// A store's bytes: kSampleRecipes recipes saved `versionsEach` times, the versions
// interleaved as benches saving through the years leave them, each save with its id as
// the program writes it.
inline void WriteSampleOwnRecipes(std::ostream& out, std::uint64_t versionsEach) {
    out << EncodeJournalHeader();
    for (std::uint64_t version = 0; version < versionsEach; ++version)
        for (std::uint64_t number = 0; number < kSampleRecipes; ++number) {
            const std::uint64_t save = version * kSampleRecipes + number;
            const BatchTime saved = {kSampleEpoch + static_cast<std::int64_t>(save), kSampleOffsetMinutes};
            out << EncodeFrame(kOwnRecipeKind, EncodeOwnRecipeVersion(
                                                   {number + 1, saved, false, SampleOwnRecipe(number, version)},
                                                   save + 1));
        }
}

}  // namespace lacqueron::bench
