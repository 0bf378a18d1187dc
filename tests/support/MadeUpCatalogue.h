// Small catalogues built in tests: components and recipes with just the fields the
// recipe computation reads, and the made-up catalogue of the recipe text's worked example.
#pragma once

#include <utility>
#include <vector>

#include "data/catalogue/Catalogue.h"

namespace lacqueron::test {

inline MixComponent Component(ComponentKind kind, const char16_t* code, const char16_t* name, double density = 0,
                              std::int32_t purpose = 0, const char16_t* note = u"") {
    MixComponent component;
    component.kind = kind;
    component.purpose = purpose;
    component.density = density;
    component.code = code;
    component.name = name;
    component.note = note;
    return component;
}

inline MixComponent Base(const char16_t* code, std::int32_t purpose, const char16_t* name, double density) {
    return Component(kBase, code, name, density, purpose);
}

inline MixComponent Pigment(const char16_t* code, const char16_t* name, const char16_t* note, double density) {
    return Component(kPigment, code, name, density, 0, note);
}

inline MixComponent Other(const char16_t* code, const char16_t* name) { return Component(kOther, code, name); }

inline MixComponent WithFactor(MixComponent base, double factor) {
    base.flags |= kHasPigmentFactor;
    base.pigmentFactor = factor;
    return base;
}

inline MixComponent WithFormula(MixComponent base, std::vector<FormulaTerm> terms) {
    base.flags |= kHasFormula;
    base.formula = std::move(terms);
    return base;
}

inline ColourRecipe Recipe(std::vector<RecipeItem> items) {
    ColourRecipe recipe;
    recipe.number = 1000;
    recipe.title = u"RAL 1000";
    recipe.items = std::move(items);
    return recipe;
}

// The worked example: B1 a base of purpose 4 without a name, pigments Yel and Red (N).
inline const std::vector<RecipeItem> kExampleItems = {{u"B1", 100}, {u"P1", 3}, {u"P2", 1}};

inline void AddExampleComponents(Catalogue& catalogue) {
    catalogue.components.Append(Base(u"B1", 4, u"", 1.25));
    catalogue.components.Append(Pigment(u"P1", u"Yel", u"", 1.5));
    catalogue.components.Append(Pigment(u"P2", u"Red", u"N", 2.0));
}

// The worked example's mixed base: B1 of purpose 6 with pigment factor 1.1, mixed from Wh
// (0.9) and Yel (0.1); the example's plain B1 stays the base of purpose 4.
inline void AddMixedBase(Catalogue& catalogue) {
    catalogue.components.Append(WithFormula(WithFactor(Base(u"B1", 6, u"", 1.25), 1.1), {{u"W1", 0.9}, {u"P1", 0.1}}));
    catalogue.components.Append(Base(u"W1", 6, u"Wh", 1.0));
}

}  // namespace lacqueron::test
