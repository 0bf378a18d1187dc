#include "ledger/LedgerCsv.h"

#include <algorithm>

#include "data/text/TextFold.h"
#include "data/text/TextTools.h"
#include "journal/JournalCsv.h"
#include "journal/JournalText.h"
#include "ledger/LedgerDay.h"

namespace lacqueron {
namespace {

const char16_t* const kPriceTitles[] = {u"Код", u"Компонент", u"Цена за кг, ₽", u"Действует с"};
enum PriceColumn : std::size_t { kCode, kName, kPrice, kFrom };
constexpr std::size_t kPriceColumns = std::size(kPriceTitles);

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
WideString Number(std::size_t value) { return ToWide(std::to_string(value).c_str()); }

bool IsBlank(const std::vector<WideString>& row) {
    return std::all_of(row.begin(), row.end(), [](const WideString& field) { return TrimSpaces(field).empty(); });
}

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

WideString DescribeLedgerCsvError(const LedgerCsvError& error) {
    return u"Строка " + Number(error.row) + u": " + error.reason;
}

bool ReadPricesCsv(std::string_view bytes, const std::vector<LedgerComponent>& components, const PriceBook& known,
                   const BatchTime& now, std::vector<PriceRecord>& prices, LedgerCsvError& error) {
    std::vector<std::vector<WideString>> rows;
    if (!ReadCsvRows(bytes, rows, error.row)) {
        error.reason = u"текст не в UTF-8 или не закрыта кавычка";
        return false;
    }
    if (rows.empty() || rows.front() != std::vector<WideString>(std::begin(kPriceTitles), std::end(kPriceTitles))) {
        error = {1, u"первая строка не заголовок «Код;Компонент;Цена за кг, ₽;Действует с»"};
        return false;
    }
    std::vector<PriceRecord> read;
    PriceBook book = known;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::vector<WideString>& row = rows[r];
        const std::size_t number = r + 1;
        if (IsBlank(row)) continue;
        if (row.size() != kPriceColumns) {
            error = {number, u"полей " + Number(row.size()) + u" вместо " + Number(kPriceColumns)};
            return false;
        }
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
                           row.daysLeft ? Number(static_cast<std::size_t>(*row.daysLeft)) : WideString(),
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
