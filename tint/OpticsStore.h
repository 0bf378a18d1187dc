// The shop's own paste optics in the data folder: every calibration kept as a record of
// the journal's framed log, and every return to the vendor's table; the latest stands.
// Benches sharing the folder read each other's.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "journal/BatchRecord.h"
#include "journal/JournalFile.h"
#include "journal/RecordLog.h"

namespace lacqueron {

constexpr RecordKind kOpticsKind = {'L', 'Q', 'O', 'P'};

struct OpticsEntry {
    RecordId id = 0;
    BatchTime time;
    bool vendor = false;       // back to the vendor's table; the fields below are empty
    std::string optics;        // the table's text (colour/Optics.h), UTF-8
    std::string source;        // the ladder file it was fitted from, UTF-8
    std::uint32_t median = 0;  // the fit's ΔE00 in hundredths
    std::uint32_t largest = 0;
    std::vector<std::string> outliers;  // the samples the fit missed, UTF-8
};

class OpticsStore final : private RecordReader {
public:
    explicit OpticsStore(std::unique_ptr<JournalFile> file) : log_(std::move(file)) {}

    JournalLoadResult Load() { return log_.Load(*this); }
    // Reads what other benches kept since; true when the file changed.
    bool Refresh() { return log_.Refresh(*this); }
    const std::vector<JournalDamage>& Damage() const { return log_.Damage(); }
    // The file failed a read or a write: it is to be opened afresh.
    bool Failing() const noexcept { return log_.Failing(); }

    // Every entry, in the order kept.
    const std::vector<OpticsEntry>& History() const noexcept { return entries_; }
    // The table in force: the latest calibration; null when there is none or the latest
    // entry went back to the vendor's table.
    const OpticsEntry* InForce() const noexcept;

    // Appends entry (its id and the file's are set here); a retry after a failure never
    // keeps it twice.
    JournalAppendResult Keep(const OpticsEntry& entry);

private:
    void Restart() override { entries_.clear(); }
    bool Read(const JournalFrame& frame, std::string_view payload) override;

    RecordLog log_;
    std::vector<OpticsEntry> entries_;
};

}  // namespace lacqueron
