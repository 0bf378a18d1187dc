#include "files/OpticsAccess.h"

#include "files/LogStoreOpen.h"

namespace lacqueron {
namespace {

constexpr LogStoreTexts kOpticsTexts = {
    u"Не удалось открыть калибровку паст: ", u"Файл калибровки паст занят другим рабочим местом.",
    u"Не удалось прочитать калибровку паст: ", u"Не хватило памяти, чтобы прочитать калибровку паст."};

}  // namespace

std::unique_ptr<OpticsStore> OpenOptics(const WideString& path, WideString& error) noexcept {
    return OpenLogStore<OpticsStore>(path, kOpticsTexts, error);
}

}  // namespace lacqueron
