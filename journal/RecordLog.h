// A store's log of framed records (own recipes, the ledger) over the journal's file: each
// record read once as benches append them, one record per id, and writes that a retry
// never doubles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "journal/JournalFile.h"
#include "journal/JournalFormat.h"
#include "journal/JournalStore.h"

namespace lacqueron {

// What a store does with the records it reads. Passed to every call, not kept, so a
// store may be moved.
class RecordReader {
public:
    // The file was replaced: every record read so far is forgotten.
    virtual void Restart() = 0;
    // One record of another kind than a batch, in file order; false when it is of the
    // store's kinds and its fields do not read. The payload is gone after the call: the
    // log is read in pieces, and a reader keeps what it needs.
    virtual bool Read(const JournalFrame& frame, std::string_view payload) = 0;

protected:
    ~RecordReader() = default;
};

// Where a log was read up to, with the damage its reader found in the records' fields.
struct RecordLogMark {
    JournalMark journal;
    std::vector<JournalDamage> payloadDamage;
    bool operator==(const RecordLogMark&) const = default;
};

class RecordLog {
public:
    // Frames a write's records with `ids`, the new ids the store asked for. With `key` the
    // ids are 0 and every time the store takes from the clock is left at zero, so two
    // attempts at one write give the same bytes. Empty when a record is too large.
    using Encode = std::function<std::string(const std::vector<RecordId>& ids, bool key)>;

    // Runs under the lock once the log is caught up, before the records are encoded,
    // with the ids the write goes with (a retry's are those it had when it failed):
    // Appended lets it go on; any other result is returned with nothing written. It may
    // change what `encode` writes, such as which recipes the records are versions of.
    using Check = std::function<JournalAppendResult(const std::vector<RecordId>& ids)>;

    explicit RecordLog(std::unique_ptr<JournalFile> file);

    JournalLoadResult Load(RecordReader& reader);
    // Reads what other benches appended since; true when the file changed.
    bool Refresh(RecordReader& reader);
    // Reads on from `mark` (a reader that has what it kept of the records before it),
    // when the file still holds there the record the mark names: `held`; else nothing
    // is read and the caller loads. Not for a reader that asks FirstOfId: the ids met
    // before the mark are not kept.
    JournalLoadResult Resume(const RecordLogMark& mark, RecordReader& reader, bool& held);
    // Where the log was read up to; none when it cannot be read on from there (see
    // JournalContents::Mark).
    std::optional<RecordLogMark> Mark() const;
    // The bytes of the file read so far.
    std::uint64_t SizeRead() const noexcept { return sizeIndexed_; }
    // Counts the changes read or written through this log: a window compares it with the
    // count it last showed, since another window may have done the refreshing.
    std::uint64_t Revision() const noexcept { return revision_; }
    // Whether the last read or write of the file failed: its folder is as good as gone.
    bool Failing() const noexcept { return log_.Failing(); }

    // True for the first record of an id, and for every record of id 0; a reader keeps
    // only those (or looks among the records of the same key, where a retry's must be),
    // so a retry that landed twice counts once, where the first one landed.
    bool FirstOfId(RecordId id);

    // Writes `records` records as one write, an import when there are several: all of
    // them or none. When the last write through this log failed and this one encodes the
    // same, its bytes go again, ids and times as they were: had it landed after all, the
    // reader keeps one. `ids` new ids are asked for; `used` gets those written. A retry
    // goes again only when, after `check`, it encodes as it did; else it is a write of
    // its own, with new ids.
    JournalAppendResult Write(std::size_t records, std::size_t ids, const Encode& encode, RecordReader& reader,
                              std::vector<RecordId>* used = nullptr, const Check& check = {});

    // The payloads of the records at `offsets` (JournalFrame::offset), read again from
    // the file; false when it cannot be read or a record there is no longer whole.
    bool ReadRecords(const std::vector<std::uint64_t>& offsets, std::vector<std::string>& payloads) const {
        return log_.ReadRecords(offsets, payloads);
    }
    // The log's damage and that of the records whose fields do not read, by offset.
    const std::vector<JournalDamage>& Damage() const { return damage_; }

private:
    struct FailedWrite {
        std::string key;    // encoded with no ids: the write asked for
        std::string same;   // encoded with its ids after the check: the write made
        std::string bytes;
        std::vector<RecordId> ids;
    };

    // The log's damage and that of the records' fields, by offset.
    void MergeDamage(const std::vector<JournalDamage>& logDamage);
    // Reads the records of a piece of the log; every record again when the file was replaced.
    void Take(RecordReader& reader, const JournalContents& log);
    JournalStore::Take Taker(RecordReader& reader) {
        return [this, &reader](const JournalContents& log) { Take(reader, log); };
    }

    // Doubles the id table and puts the ids met in again.
    void GrowIds();

    JournalStore log_;
    // The ids met, open addressing with 0 for a free slot: a log of 200,000 records meets
    // as many ids, and a node for each would cost more than reading them.
    std::vector<RecordId> ids_;
    std::size_t idCount_ = 0;
    std::vector<JournalDamage> payloadDamage_;
    std::vector<JournalDamage> damage_;
    std::uint64_t sizeIndexed_ = 0;
    std::uint64_t revision_ = 0;
    std::optional<FailedWrite> failed_;
};

}  // namespace lacqueron
