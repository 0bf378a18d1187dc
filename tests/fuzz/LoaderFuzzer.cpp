// Arbitrary bytes as the plain text of every section and as the picture, through the
// same encryption, decoding and loading as the shipped package, then the recipe text
// of every recipe the loader produced.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "core/AppModule.h"
#include "data/catalogue/CatalogueLoader.h"
#include "data/catalogue/PackageBuilder.h"
#include "formula/RecipeText.h"

namespace {

using namespace lacqueron;

constexpr SectionKey kFuzzKey = {
    {0x10, 0x32, 0x54, 0x76, 0x98, 0xba, 0xdc, 0xfe, 0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef},
    {0xf0, 0xe1, 0xd2, 0xc3, 0xb4, 0xa5, 0x96, 0x87, 0x78, 0x69, 0x5a, 0x4b, 0x3c, 0x2d, 0x1e, 0x0f},
};

// Touches every report so that the reasons' texts are built as lint builds them.
class CountingObserver final : public LoadObserver {
public:
    std::size_t events = 0;
    void RecordAppended(SectionIndex, std::uint32_t) override { ++events; }
    void Skipped(SectionIndex, std::uint32_t, const std::string& reason) override { events += reason.size(); }
    void SectionRefused(SectionIndex, const std::string& reason) override { events += reason.size(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    SectionContents contents;
    for (int index = 0; index < kSectionPicture; ++index) contents[index] = provider.ConsumeRandomLengthString(4096);
    contents[kSectionPicture] = provider.ConsumeRemainingBytesAsString();

    const std::unique_ptr<OwnedPackage> package = EncryptPackage(contents, kFuzzKey);
    RefPtr<ICipherFactory> factory = CreateCipherFactory();
    if (!package || !factory) return 0;
    AppModule module;
    module.RegisterService(factory.get(), iid::CipherFactory, kOwnsReference);

    Catalogue catalogue;
    ProfileValues values;
    CountingObserver observer;
    LoadCatalogue(module, package->package, catalogue, values, &observer);
    module.ClearServices();

    for (const ColourRecipe& recipe : catalogue.recipes) {
        catalogue.findColour(recipe.number);
        for (std::uint32_t purpose = 1; purpose <= 6; ++purpose)
            for (std::uint32_t unit = 1; unit <= 2; ++unit) ComputeRecipeText(catalogue, &recipe, purpose, unit, 100);
    }
    return 0;
}
