// The journal as a table for a spreadsheet.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "journal/JournalFormat.h"

namespace lacqueron {

// The purpose's name as the main dialog lists it.
using PurposeNamer = std::function<WideString(std::uint32_t purpose)>;

// The batches of `journal` at `order`, as a CSV file that a Russian spreadsheet opens as it is:
// UTF-8 with a byte-order mark, ';' between fields, CR LF line ends, decimal commas;
// a title row, then one row per component with the batch's columns repeated (one row
// with empty component columns for a batch without components). A typed text that a
// spreadsheet would take for a formula gets a leading apostrophe.
std::string ExportBatchesCsv(const JournalContents& journal, const std::vector<std::size_t>& order,
                             const PurposeNamer& purposeName);

}  // namespace lacqueron
