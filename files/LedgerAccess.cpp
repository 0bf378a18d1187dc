#include "files/LedgerAccess.h"

#include "files/DataFolder.h"
#include "files/LogStoreOpen.h"

namespace lacqueron {
namespace {

constexpr LogStoreTexts kLedgerTexts = {
    u"Не удалось открыть цены и остатки: ", kLedgerWords.busy,
    u"Не удалось прочитать цены и остатки: ", u"Не хватило памяти, чтобы прочитать цены и остатки."};

}  // namespace

WideString LedgerPath() {
    // The data folder in force ends with its separator.
    const WideString folder = DataFolderPath();
    return folder.empty() ? WideString() : folder + kLedgerFileName;
}

std::unique_ptr<LedgerStore> OpenLedger(const WideString& path, WideString& error) noexcept {
    return OpenLogStore<LedgerStore>(path, kLedgerTexts, error);
}

}  // namespace lacqueron
