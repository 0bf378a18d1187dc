// The journal as a table for a spreadsheet.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "journal/JournalFormat.h"

namespace lacqueron {

// The purpose's name as the main dialog lists it.
using PurposeNamer = std::function<WideString(std::uint32_t purpose)>;

// A column of the batch's own after the component columns, repeated on each of its rows.
struct BatchCsvColumn {
    WideString title;
    std::function<WideString(const BatchRecord& batch)> cell;
};

// The batches of `journal` at `order`, as a CSV file that a Russian spreadsheet opens as it is:
// UTF-8 with a byte-order mark, ';' between fields, CR LF line ends, decimal commas;
// a title row, then one row per component with the batch's columns repeated (one row
// with empty component columns for a batch without components). A typed text that a
// spreadsheet would take for a formula gets a leading apostrophe. `more` columns come last.
std::string ExportBatchesCsv(const JournalContents& journal, const std::vector<std::size_t>& order,
                             const PurposeNamer& purposeName, const std::vector<BatchCsvColumn>& more = {});

// The conventions above, for every table the shop exports: the byte-order mark, and a
// row of fields quoted where they need it.
extern const char kCsvByteOrderMark[];
void AppendCsvRow(std::string& out, const std::vector<WideString>& fields);
// A typed text with the leading apostrophe a formula-like start gets, and back.
WideString CsvTypedText(const WideString& text);
WideString CsvTypedTextBack(const WideString& text);

// Reads such a table back, byte-order mark or not, with LF or CR LF line ends. False,
// with the row (counted from 1) where the text is no UTF-8 or a quote is left open.
bool ReadCsvRows(std::string_view bytes, std::vector<std::vector<WideString>>& rows, std::size_t& badRow);

}  // namespace lacqueron
