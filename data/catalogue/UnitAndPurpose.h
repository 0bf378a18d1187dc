// The stored values of the amount's unit and of the paint's purpose, as the profile
// keeps them and the catalogue's bases name their purpose; their names as the main
// dialog lists them; and the weights every layer above counts in.
#pragma once

#include <cstdint>

#include "core/WideString.h"

namespace lacqueron {

enum WeightUnit : std::uint32_t { kGrams = 1, kMillilitres = 2 };

// One surface material with its finish each.
enum Purpose : std::uint32_t {
    kPurposeDashboardPvcMatt = 1,
    kPurposeHideGloss = 2,
    kPurposeHideMatt = 3,
    kPurposePlasticGloss = 4,
    kPurposePlasticMattLighter = 5,
    kPurposePlasticMattSaturated = 6,
};

constexpr std::uint32_t kFirstPurpose = kPurposeDashboardPvcMatt;
constexpr std::uint32_t kLastPurpose = kPurposePlasticMattSaturated;

// The largest amount, in grams or millilitres, the main dialog takes.
constexpr std::int32_t kLargestAmount = 100000000;

// Weights are whole hundredths of a gram, as the recipe text rounds them, so sums stay exact.
using Hundredths = std::int64_t;
constexpr Hundredths kHundredthsPerGram = 100;

// A unit or purpose with the name the main dialog's lists show for it.
struct ChoiceText {
    const char16_t* text;
    std::uint32_t value;
};

// In the order the lists show them.
inline constexpr ChoiceText kUnitChoices[] = {
    {u"грамм", kGrams},
    {u"миллилитров", kMillilitres},
};
inline constexpr ChoiceText kPurposeChoices[] = {
    {u"торпедный материал PVC (Vinolux) матовая", kPurposeDashboardPvcMatt},
    {u"экокожа и натуральная кожа (Corvana Gloss) глянцевая", kPurposeHideGloss},
    {u"экокожа и натуральная кожа (Corvana Matt) матовая", kPurposeHideMatt},
    {u"пластик (Polira Gloss) глянцевая", kPurposePlasticGloss},
    {u"пластик (Polira Matt) матовая - оттенок светлее RAL, стандартное кол-во пасты", kPurposePlasticMattLighter},
    {u"пластик (Polira Matt) матовая - насыщенный оттенок, +10% пасты", kPurposePlasticMattSaturated},
};

// The name as the lists show it; empty for a value they do not have.
WideString UnitName(std::uint32_t unit);
WideString PurposeName(std::uint32_t purpose);

}  // namespace lacqueron
