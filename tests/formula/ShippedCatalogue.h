// The shipped package's catalogue, loaded once as the program loads it.
#pragma once

#include "data/catalogue/CatalogueLoader.h"
#include "tests/catalogue/LoaderHarness.h"

namespace lacqueron::test {

inline const Catalogue& ShippedCatalogue() {
    static const Catalogue* const catalogue = [] {
        TestModule module;
        return &LoadPackage(module, ShippedPackage()).release()->catalogue;
    }();
    return *catalogue;
}

}  // namespace lacqueron::test
