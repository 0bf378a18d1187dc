// The main window: paint list with colour bars, details, purpose, unit, amount and
// the live recipe. The object owns the catalogue, the three profile values, the
// recipe text and the window's GDI objects; it outlives its window.
#pragma once

#include <windows.h>

#include "core/AppModule.h"
#include "data/catalogue/Catalogue.h"
#include "data/catalogue/CatalogueLoader.h"
#include "data/catalogue/DataPackage.h"

namespace lacqueron {

class MainDialog {
public:
    // Keeps a module reference, initialises the list-view class and, last, loads the
    // catalogue (stored profile values first) from the package.
    MainDialog(AppModule& module, const DataPackage& package);
    ~MainDialog();
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    // Creates the modeless window from template IDD_MAIN with no owner; null on failure.
    HWND Create() noexcept;
    // Destroys the window if it exists; forgets the handle when that succeeds.
    void DestroyWindowIfAny() noexcept;
    HWND Window() const noexcept { return window_; }

    const Catalogue& GetCatalogue() const noexcept { return catalogue_; }
    const ProfileValues& Values() const noexcept { return values_; }
    const WideString& RecipeText() const noexcept { return recipeText_; }

private:
    class Impl;
    friend class Impl;

    HWND window_ = nullptr;
    RefPtr<AppModule> module_;
    Catalogue catalogue_;
    ProfileValues values_;
    WideString recipeText_;
};

}  // namespace lacqueron
