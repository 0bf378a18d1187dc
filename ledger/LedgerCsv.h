// Prices and stock as tables, with the journal export's conventions (UTF-8 with a
// byte-order mark, ';', decimal commas, CR LF; read as ReadCsvRows reads any
// spreadsheet's table):
//   prices  Код;Компонент;Цена за кг, ₽;Действует с     (a date ДД.ММ.ГГГГ, or empty: from always)
//   stock   Код;Компонент;Остаток, г;Расход за 30 дней, г;Дней осталось;Минимум, г
//   order   Код;Компонент;Остаток, г;Минимум, г;Заказать, г
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "journal/JournalCsv.h"
#include "ledger/Costing.h"

namespace lacqueron {

// Every component of the package in its order with each price it ever had, oldest
// start first; a component without a price has a row with an empty price to fill in.
std::string ExportPricesCsv(const std::vector<LedgerComponent>& components, const std::vector<PriceRecord>& prices,
                            const SharedKeys& keys);

// Every priced row of the table as a price saved `now`, or none: false with the first
// bad row. A row with an empty price is passed over; so is one that equals the price
// already in force on its start (in `known`, or from a row above it), so that importing
// an export again adds nothing while a return to an earlier price is imported. A code
// may be another purpose's key of a shared paste; the price is kept under the paste's.
bool ReadPricesCsv(std::string_view bytes, const std::vector<LedgerComponent>& components, const PriceBook& known,
                   const BatchTime& now, std::vector<PriceRecord>& prices, CsvError& error);

std::string ExportStockCsv(const std::vector<StockRow>& rows);
// The rows below their minimum, with what brings each up to it.
std::string ExportOrderCsv(const std::vector<StockRow>& rows);

}  // namespace lacqueron
