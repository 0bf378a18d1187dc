// "Подбор цвета": a target typed, picked or measured, the drafts the pastes give for the
// main dialog's purpose, and the catalogue's and the shop's colours near it. The window
// knows no other window: weighing a draft, saving it and selecting a colour in the main
// list are the opener's, through the context.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "colour/Optics.h"
#include "data/catalogue/Catalogue.h"
#include "ledger/Ledger.h"
#include "ownrecipes/OwnRecipeStore.h"
#include "shop/FolderWorker.h"

namespace lacqueron {

struct MatchContext {
    const Catalogue* catalogue = nullptr;  // borrowed; outlives every search
    // The own recipes as they are now, copied for each search's worker: a draft saved
    // meanwhile is among the next search's similar colours.
    std::function<std::vector<OwnRecipeCurrent>()> ownRecipes;
    std::uint32_t purpose = 1;
    // The pastes' optics in force and their name, shown with the drafts; none: the
    // table the package ships.
    std::optional<colour::OpticsTable> optics;
    WideString opticsSource;
    WideString purposeText;  // "Предназначение: ..., количество: ..." as the main dialog has them
    // Empty when the shop keeps no stock, or no prices.
    std::function<bool(const MixComponent&)> inStock;
    // The job that counts, on the data folder's worker through `writes`, what inStock
    // answers from; run before each search kept to the pastes in stock. Empty when
    // inStock reads nothing.
    std::function<FolderWrite()> countStock;
    FolderWrites* writes = nullptr;
    std::function<std::optional<Kopecks>(const MixComponent&)> pricePerKilogram;
    // Where the window starts: a RAL Classic code, else a screen colour; neither: L*a*b*.
    WideString startCode;
    std::optional<std::uint32_t> startRgb;
    // The draft as a recipe of its own (number, title, lines) with its colour and the
    // target it was drafted for.
    std::function<void(HWND owner, const ColourRecipe& recipe, const ColourEntry& colour, const OwnTarget& target)>
        weigh;
    std::function<void(HWND owner, const OwnRecipe& recipe)> saveAsOwn;
    // A similar colour's code chosen: select it in the main list.
    std::function<void(const WideString& code)> select;
};

void ShowMatchWindow(HWND owner, MatchContext& context) noexcept;

}  // namespace lacqueron
