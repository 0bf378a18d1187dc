// The journal of batches: an append-only file of checksummed records.
//
// Why not an embedded database: a database would be third-party code to compile
// statically for MinGW and keep up to date, for a log that is only ever appended to
// and read whole. Here a batch is one write of one framed record, flushed before the
// painter is told it is saved, so a power loss can leave at worst a last record cut
// short; the reader steps over it and recovers everything else.
//
// Damage: a damaged file is never written over, truncated or moved. New batches are
// appended after the damage: the reader looks for the next record whose checksum
// holds, so the records before the damage, and those appended after it, all stay
// readable, and the damage is reported with its offset at every open. Only a file
// whose header is not a journal of this version is refused for writing.
//
// Two writers: an append happens under the file's exclusive lock as one write at the
// end of the file. A lock held by another bench for longer than kJournalLockLimit is
// reported, not waited out.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "journal/JournalFile.h"
#include "journal/JournalFormat.h"

namespace lacqueron {

enum class JournalAppendResult {
    Appended,
    NotAJournal,  // the header is wrong or from a newer version: the file is left alone
    TooLarge,     // the batch does not fit in one record
    WriteFailed,
    Busy,  // another bench held the journal's lock past the time limit
    Refused,  // what the file held once caught up under the lock stood against the write
};

enum class JournalLoadResult {
    Loaded,
    Busy,  // another bench held the journal's lock past the time limit
    ReadFailed,
};

// How a journal file ends, read under a lock the caller holds.
struct JournalEnd {
    std::uint64_t size = 0;
    JournalTail tail = JournalTail::Empty;
};

// Reads the header and the last record only (more when the last record is long or
// damaged, never more than kLongestTail); false when the file cannot be read.
bool ReadJournalEnd(JournalFile& file, JournalEnd& end);

// The program's way to add a batch: under the exclusive lock it reads the file's end,
// never the whole file, and writes the batch's record (with the header when the file
// has none yet) as one flushed write. A damaged end is written after, as the reader
// expects.
JournalAppendResult AppendBatch(JournalFile& file, const BatchRecord& batch,
                                std::chrono::milliseconds lockLimit = kJournalLockLimit);

class JournalStore {
public:
    // For a store of records of other kinds than batches whose reader keeps what it
    // needs: given to Load, Refresh and AppendFrame alike, the file is read in pieces of
    // kReadChunk, and `take` gets each piece's records before they are forgotten.
    using Take = std::function<void(const JournalContents&)>;

    explicit JournalStore(std::unique_ptr<JournalFile> file);

    // Reads the whole file.
    JournalLoadResult Load(const Take& take = {});
    // Reads what other writers appended since the last look; the whole file when it was
    // replaced meanwhile.
    JournalLoadResult Refresh(const Take& take = {});
    // Reads on from `mark`, a log read up to there before, when the file still holds the
    // record it names there (`held`); else reads nothing and leaves `held` false.
    JournalLoadResult Resume(const JournalMark& mark, const Take& take, bool& held);
    // Writes one batch and adds it, with any batches other writers added, to Contents().
    JournalAppendResult Append(const BatchRecord& batch);
    // The same for a record of any kind, framed by EncodeFrame (empty when too large).
    JournalAppendResult AppendFrame(std::string frame, const Take& take = {});
    // Under the exclusive lock, with the contents caught up (and the pieces read handed
    // to `take`), `build` decides what to write: it fills the framed records (none:
    // nothing is written) and returns Appended, or another result, which is returned
    // with nothing written.
    using Build = std::function<JournalAppendResult(std::string& frames)>;
    JournalAppendResult AppendBuilt(const Build& build, const Take& take = {});

    // The batches in file order, oldest first, and the damage found.
    const JournalContents& Contents() const { return contents_; }
    // Whether the last read or write failed: the file's folder is as good as gone, and
    // the handle is opened again rather than trusted.
    bool Failing() const noexcept { return failing_; }

    // The payloads of the whole records whose markers are at `offsets`, read under the
    // shared lock (or under the lock an append's `build` runs in); false when the file
    // cannot be read or a record there is not whole.
    bool ReadRecords(const std::vector<std::uint64_t>& offsets, std::vector<std::string>& payloads) const;

private:
    // Brings the contents up to the file's current end; the caller holds a lock.
    bool CatchUp(const Take& take);
    // The same in pieces, for a store that takes them.
    bool CatchUpInPieces(std::uint64_t size, const Take& take);
    // Gives the records read to `take`, if any, and forgets them.
    void Hand(const Take& take);
    JournalAppendResult AppendUnderLock(const Build& build, const Take& take);

    std::unique_ptr<JournalFile> file_;
    JournalContents contents_;
    bool failing_ = false;
    // While an append holds the exclusive lock: a read asked for by its `build` must not
    // lock again, since a second lock on the same handle would give up the first.
    bool appending_ = false;
};

}  // namespace lacqueron
