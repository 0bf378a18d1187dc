// A small package for the ledger's tests: a gloss base of purpose 4, the mixed base of
// purpose 6 (lacquer and matting paste, pigments times 1.1), two pastes and a thinner.
#pragma once

#include "data/catalogue/Catalogue.h"
#include "ledger/Ledger.h"
#include "tests/support/MadeUpCatalogue.h"

namespace lacqueron::test {

inline const Catalogue& LedgerCatalogue() {
    static const Catalogue* const catalogue = [] {
        auto* made = new Catalogue;
        made->components.Append(Base(u"OSN", 4, u"Основа для пластика глянцевая", 1.0));
        made->components.Append(Base(u"LAK", 6, u"Лак для пластика", 1.0));
        made->components.Append(Base(u"MAT", 6, u"Матирующая паста", 1.0));
        made->components.Append(
            WithFactor(WithFormula(Base(u"OSN", 6, u"Основа для пластика матовая", 0), {{u"LAK", 0.6}, {u"MAT", 0.4}}),
                       1.1));
        made->components.Append(Pigment(u"WHT", u"Паста белая", u"", 2.0));
        made->components.Append(Pigment(u"GRN", u"Паста зелёная", u"", 1.25));
        made->components.Append(Other(u"RAZ", u"Разбавитель"));
        made->recipes.Append(Recipe({{u"OSN", 100}, {u"WHT", 10}}));
        made->recipes.Append(Recipe({{u"OSN", 100}, {u"GRN", 10}}));
        return made;
    }();
    return *catalogue;
}

constexpr std::int64_t kMondayUtc = 1796601600;  // 2026-12-07 00:00 UTC
constexpr DayNumber kMonday = 20794;             // the same day's number
constexpr std::int32_t kMoscow = 180;
constexpr std::int64_t kSecondsPerHour = 3600;

}  // namespace lacqueron::test
