#include "ledger/LedgerCsv.h"

#include <algorithm>

#include "core/IntegerText.h"
#include "data/text/TextFold.h"
#include "journal/JournalCsv.h"
#include "journal/JournalText.h"
#include "ledger/LedgerDay.h"

namespace lacqueron {
namespace {

const char16_t* const kPriceTitles[] = {u"Код", u"Компонент", u"Цена за кг, ₽", u"Действует с"};
enum PriceColumn : std::size_t { kCode, kName, kPrice, kFrom };

const char16_t* const kStockTitles[] = {u"Код",        u"Компонент",    u"Остаток, г",
                                        u"Расход за 30 дней, г", u"Дней осталось", u"Минимум, г"};
const char16_t* const kOrderTitles[] = {u"Код", u"Компонент", u"Остаток, г", u"Минимум, г", u"Заказать, г"};

template <std::size_t N>
std::string StartTable(const char16_t* const (&titles)[N]) {
    std::string out = kCsvByteOrderMark;
    AppendCsvRow(out, std::vector<WideString>(std::begin(titles), std::end(titles)));
    return out;
}

// Kopecks are hundredths of a rouble, written as grams are.
WideString Money(Kopecks amount) { return FormatHundredths(amount, kSpreadsheetDecimalMark); }
WideString Grams(Hundredths grams) { return FormatHundredths(grams, kSpreadsheetDecimalMark); }

}  // namespace

std::string ExportPricesCsv(const std::vector<LedgerComponent>& components, const std::vector<PriceRecord>& prices,
                            const SharedKeys& keys) {
    std::string out = StartTable(kPriceTitles);
    for (const LedgerComponent& component : components) {
        std::vector<const PriceRecord*> own;
        for (const PriceRecord& price : prices)
            if (keys.Of(price.key) == component.key) own.push_back(&price);
        std::stable_sort(own.begin(), own.end(), [&](const PriceRecord* a, const PriceRecord* b) {
            return a->from.value_or(kFromAlways) < b->from.value_or(kFromAlways);
        });
        if (own.empty()) AppendCsvRow(out, {component.key, CsvTypedText(component.name), {}, {}});
        for (const PriceRecord* price : own)
            AppendCsvRow(out, {component.key, CsvTypedText(component.name), Money(price->perKilogram),
                               price->from ? FormatDay(*price->from) : WideString()});
    }
    return out;
}

bool ReadPricesCsv(std::string_view bytes, const std::vector<LedgerComponent>& components, const PriceBook& known,
                   const BatchTime& now, std::vector<PriceRecord>& prices, CsvError& error) {
    std::vector<CsvRow> rows;
    if (!ReadCsvTable(bytes, std::vector<WideString>(std::begin(kPriceTitles), std::end(kPriceTitles)), rows, error))
        return false;
    std::vector<PriceRecord> read;
    PriceBook book = known;
    for (const CsvRow& tableRow : rows) {
        const std::vector<WideString>& row = tableRow.fields;
        const std::size_t number = tableRow.number;
        const WideString code = known.Keys().Of(WideString(TrimSpaces(row[kCode])));
        if (std::none_of(components.begin(), components.end(),
                         [&](const LedgerComponent& component) { return component.key == code; })) {
            error = {number, u"неизвестный компонент «" + code + u"»"};
            return false;
        }
        const std::u16string_view priceText = TrimSpaces(row[kPrice]);
        if (priceText.empty()) continue;
        PriceRecord price{code, 0, std::nullopt, now};
        if (!ParseRoubles(priceText, price.perKilogram)) {
            error = {number, u"цена «" + row[kPrice] + u"» не число с двумя знаками после запятой"};
            return false;
        }
        const std::u16string_view fromText = TrimSpaces(row[kFrom]);
        if (!fromText.empty() && !(price.from = ParseDayText(fromText))) {
            error = {number, u"дата «" + row[kFrom] + u"» не в виде ДД.ММ.ГГГГ"};
            return false;
        }
        if (book.PriceOn(price.key, price.from.value_or(kFromAlways)) == price.perKilogram) continue;
        book.Add(price);
        read.push_back(std::move(price));
    }
    prices = std::move(read);
    return true;
}

std::string ExportStockCsv(const std::vector<StockRow>& rows) {
    std::string out = StartTable(kStockTitles);
    for (const StockRow& row : rows)
        AppendCsvRow(out, {row.key, CsvTypedText(row.name), Grams(row.onHand), Grams(row.usedLast30Days),
                           row.daysLeft ? IntegerText(*row.daysLeft) : WideString(),
                           row.minimum ? Grams(*row.minimum) : WideString()});
    return out;
}

std::string ExportOrderCsv(const std::vector<StockRow>& rows) {
    std::string out = StartTable(kOrderTitles);
    for (const StockRow& row : rows)
        if (row.belowMinimum && row.minimum)
            AppendCsvRow(out, {row.key, CsvTypedText(row.name), Grams(row.onHand), Grams(*row.minimum),
                               Grams(*row.minimum - row.onHand)});
    return out;
}

}  // namespace lacqueron
