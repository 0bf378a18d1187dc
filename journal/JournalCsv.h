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
// spreadsheet would take for a formula gets a leading apostrophe. `more` columns come
// next; last, when a batch has rounds of correction by measurement, a column with them,
// one round a line.
std::string ExportBatchesCsv(const JournalContents& journal, const std::vector<std::size_t>& order,
                             const PurposeNamer& purposeName, const std::vector<BatchCsvColumn>& more = {});

// The conventions above, for every table the shop exports: the byte-order mark, and a
// row of fields quoted where they need it.
extern const char kCsvByteOrderMark[];
void AppendCsvRow(std::string& out, const std::vector<WideString>& fields);
// A typed text with the leading apostrophe a formula-like start gets, and back.
WideString CsvTypedText(const WideString& text);
WideString CsvTypedTextBack(const WideString& text);

// Where a table cannot be read or imported: its row (counted from 1, the title row is 1) and why.
struct CsvError {
    std::size_t row = 0;
    WideString reason;
};
// "Строка 3: цена «12,345» не число с двумя знаками после запятой".
WideString DescribeCsvError(const CsvError& error);

// Reads such a table back, and one as a Russian spreadsheet saves it: UTF-8 with or
// without its byte-order mark, UTF-16 (either byte order) after its mark, and otherwise
// Windows-1251, the spreadsheet's plain CSV; ';' or, in its "Unicode text", a tab
// between fields, whichever the first row has; CR LF, LF or a bare CR at line ends.
// False with the row where the text breaks off or a quote is left open.
bool ReadCsvRows(std::string_view bytes, std::vector<std::vector<WideString>>& rows, CsvError& error);

// A row of a table under its title row, with its number in the file.
struct CsvRow {
    std::size_t number = 0;
    std::vector<WideString> fields;
};
// The rows of a table whose first row is `titles`, blank rows left out, each with as
// many fields as there are titles; false with the first row that is not so. A title
// whose characters a Windows-1251 save lost reads as a "?" each.
bool ReadCsvTable(std::string_view bytes, const std::vector<WideString>& titles, std::vector<CsvRow>& rows,
                  CsvError& error);

}  // namespace lacqueron
