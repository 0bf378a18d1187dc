// The log file's bytes: a header, then framed records, each of a kind its marker names.
//
//   header  "LQJOURNL", version (u32)
//   record  marker, payload length (u32), payload, CRC-32 of length and payload (u32)
//
// A marker is "LQ" and two capital Latin letters: "LQBR" a batch, others for the other
// things the shop records (own recipes in their own file). A reader passes over a whole
// record of a kind it does not know as a record, not as damage, so a kind added later
// leaves older copies of the program reading the rest.
//
// Integers are little-endian; texts are UTF-8 with a u32 byte count. A payload may
// carry fields after the ones this version knows; they are passed over. That is how a
// record grows without a new file version, which older copies of the program would
// refuse: the corrections' accepted flags (a u32 count equal to the corrections', then
// a byte each, 1 accepted, 0 declined) follow the corrections, and a record that ends
// before them was written when every correction was an accepted one. After the flags
// come the components' codes (a u32 count equal to the components', then per component
// its code and a byte, 1 for a tinting addition); a record that ends before them kept
// no codes and no additions. Last comes the batch's id (u64); a record that ends before
// it has id 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "journal/BatchRecord.h"
#include "journal/FileBytes.h"
#include "journal/JournalFile.h"

namespace lacqueron {

constexpr std::uint32_t kJournalVersion = 1;
constexpr std::size_t kJournalHeaderSize = 12;
constexpr std::size_t kRecordFrameOverhead = 12;  // marker, length, checksum
constexpr std::size_t kRecordHeadSize = 8;        // marker, length: what precedes the payload
constexpr std::size_t kMaxRecordPayload = 1 << 20;

// CRC-32 (IEEE 802.3, reflected), continuing from crc (0 to start): by carry-less
// multiplies where the processor has them, else by tables.
std::uint32_t Crc32(const void* data, std::size_t size, std::uint32_t crc = 0) noexcept;
// The same by tables alone, on every processor.
std::uint32_t Crc32Sliced(const void* data, std::size_t size, std::uint32_t crc = 0) noexcept;

std::string EncodeJournalHeader();

// The payload length in a record's first kRecordHeadSize bytes.
std::uint32_t RecordPayloadLength(std::string_view head);

// A record's kind: its frame marker.
using RecordKind = std::array<char, 4>;
constexpr RecordKind kBatchKind = {'L', 'Q', 'B', 'R'};

// Which write a record came from: a retry of a write reported failed writes the same
// record with the same id, and readers keep the first record of an id. 0 is a record
// written before records had ids, always a record of its own.
using RecordId = std::uint64_t;

// An import's records stand between an opening record (import id u64, record count
// u32) and a closing one (the same fields). Readers take them only when exactly that
// many records of other kinds follow the opening one and the closing one comes next, so
// a write cut short, even at a record's end, leaves none of them. Older copies of the
// program pass over both kinds and read the records.
constexpr RecordKind kImportOpenKind = {'L', 'Q', 'I', 'B'};
constexpr RecordKind kImportCloseKind = {'L', 'Q', 'I', 'E'};

// `frames`, the `records` framed records of one import, between its opening and closing
// records; empty when `frames` is.
std::string EncodeImport(RecordId importId, std::uint32_t records, std::string_view frames);
// A closing record of no records: a writer that finds the file ending inside an import,
// whose writer stopped at a record's end, writes it first, so that its own records are
// not taken for the import's.
std::string EncodeImportAbandoned();

// The framed record, ready to be written as one unit; empty when the payload would
// exceed kMaxRecordPayload.
std::string EncodeBatchFrame(const BatchRecord& batch);
// The same for a record of any kind; `kind` must be "LQ" and two capital letters.
std::string EncodeFrame(const RecordKind& kind, std::string_view payload);

enum class JournalDamageKind {
    BadHeader,        // the file does not start with a journal header
    NewerVersion,     // written by a later version of the program
    TruncatedRecord,  // the file ends inside a record: a write that never finished
    BadChecksum,      // a record's bytes changed after it was written
    BadPayload,       // the checksum is right but the fields are not a record of its kind
    UnexpectedBytes,  // bytes that are no record, passed over up to the next record
};

struct JournalDamage {
    std::uint64_t offset = 0;
    std::size_t recordNumber = 0;  // counted from 1, damaged records included
    JournalDamageKind kind = JournalDamageKind::BadHeader;
    bool operator==(const JournalDamage&) const = default;
};

// What a journal file ends with, as a writer finds it before adding a record.
enum class JournalTail {
    Empty,           // no bytes yet: the first record brings the header
    HeaderCutShort,  // the first write stopped inside the header: it is completed
    NotAJournal,     // the header is wrong or from a newer version: the file is left alone
    HeaderOnly,
    IntactRecord,  // a whole record whose checksum holds ends the file
    Damaged,       // anything else: a record cut short or changed; records go on after it
};

// The largest stretch that can hold a file's last record: the record itself.
constexpr std::size_t kLongestTail = kMaxRecordPayload + kRecordFrameOverhead;

// Judges a file of `size` bytes from its first bytes `head` (up to kJournalHeaderSize
// of them) and its last bytes `tail` (none of the header's among them). A last record
// longer than `tail` is judged Damaged; kLongestTail bytes, or all of them after the
// header, always hold it.
JournalTail ClassifyJournalTail(std::string_view head, std::uint64_t size, std::string_view tail);

// Every intact frame of a log file's bytes, whole from its marker to its checksum, of
// whatever kind, in file order; the header and any damage between frames are passed
// over. The views point into `bytes`.
std::vector<std::string_view> IntactFrames(std::string_view bytes);

// Where an intact record's payload lies, when its batch ended and which batch it is,
// for ordering and for finding the standing records without decoding.
struct JournalEntry {
    std::size_t payloadOffset = 0;
    std::size_t payloadSize = 0;
    std::int64_t utcSeconds = 0;
    std::uint64_t batchId = 0;
};

// Where an intact record of another kind than a batch lies; its payload is checked by
// whoever reads that kind.
struct JournalFrame {
    RecordKind kind{};
    std::uint64_t offset = 0;  // of its marker
    std::size_t payloadOffset = 0;  // in the file, as offset
    std::size_t payloadSize = 0;
    std::size_t recordNumber = 0;  // counted from 1 as JournalDamage counts
};

// Where a log was read up to, enough to read on from there in another process: what
// a store's index beside its log keeps. The log's last record before `size` identifies
// the log, so that an index is not trusted for a log replaced by another.
struct JournalMark {
    std::uint64_t size = 0;
    std::size_t records = 0;           // counted as JournalDamage counts
    std::uint64_t lastFrameAt = 0;     // the last record, which ends at `size`
    std::uint32_t lastFrameCrc = 0;    // its checksum as the file holds it
    std::vector<JournalDamage> damage;
    bool operator==(const JournalMark&) const = default;
};

// Whether `bytes`, the file's bytes from mark.lastFrameAt to mark.size, are the record
// the mark names.
bool MarkHolds(const JournalMark& mark, std::string_view bytes);

// A log is read in pieces of this size when its reader keeps what it needs of each piece
// (JournalStore::Stream): a file of many megabytes then never lies in memory whole. A
// piece of 128 KB is checked while the processor's cache still holds it; a megabyte's
// buffer was fresh memory at every opening, a page fault each 4 KB, and took 12 ms of
// the 18 it took to open 10,000 own recipes.
constexpr std::size_t kReadChunk = 1 << 17;

// A journal file's bytes with the index of its intact records. A batch is decoded only
// when asked for, so a journal of many thousands opens as fast as it can be checked.
class JournalContents {
public:
    // Reads a whole file: every intact record, and every damaged stretch with where it
    // starts. Stepping over damage, the reader looks for the next record whose checksum
    // holds, so a record appended after a damaged one is found again.
    static JournalContents Parse(FileBytes bytes);
    static JournalContents Parse(std::string_view bytes) { return Parse(FileBytes(bytes)); }
    // A log read up to the mark, its bytes forgotten, ready for ReadMore and ParseRead.
    static JournalContents Resume(const JournalMark& mark);
    // Where these contents were read up to; none when they cannot be resumed from: inside
    // an import, after damage that ends the bytes read, or with a header that is not one
    // this version writes after.
    std::optional<JournalMark> Mark() const;

    // Reads bytes that follow those read so far, as another writer appended them.
    void ParseMore(std::string_view more);

    // A log read in pieces, for a reader that takes each piece's records as they come
    // (records of other kinds than batches: a batch's bytes are not kept). Reads the next
    // `length` bytes of `file` from Size(); false, with nothing added, when they cannot
    // be read.
    bool ReadMore(JournalFile& file, std::size_t length);
    // Parses what ReadMore added. With `more` of the file still to come, a record running
    // past what was read waits for the next piece, and damage is left unread: false, and
    // the caller reads the rest of the file before calling it again.
    bool ParseRead(bool more);
    // Forgets Frames() and the bytes behind them, keeping an unfinished import's.
    void Forget();

    std::size_t BatchCount() const { return entries_.size(); }
    // Decoding cannot fail: the record was decoded once already while indexing.
    BatchRecord Batch(std::size_t index) const;
    // Decodes into `batch`, reusing its strings' storage.
    void DecodeInto(std::size_t index, BatchRecord& batch) const;
    std::int64_t UtcSeconds(std::size_t index) const { return entries_[index].utcSeconds; }
    std::uint64_t BatchId(std::size_t index) const { return entries_[index].batchId; }

    // Records of other kinds than a batch, in file order; an import's only once its
    // closing record is read, and its opening and closing records never.
    const std::vector<JournalFrame>& Frames() const { return frames_; }
    std::string_view Payload(const JournalFrame& frame) const {
        return bytes_.view().substr(frame.payloadOffset - base_, frame.payloadSize);
    }

    const std::vector<JournalDamage>& Damage() const { return damage_; }
    // False when the header is wrong or from a newer version; true for a header cut
    // short, which the next append completes.
    bool Appendable() const { return appendable_; }
    bool HeaderComplete() const { return Size() >= kJournalHeaderSize; }
    // Whether the bytes read end inside an import.
    bool InsideImport() const { return import_.has_value(); }
    // The file's bytes read so far.
    std::uint64_t Size() const { return base_ + bytes_.size(); }

private:
    // An import whose opening record was read and whose closing one was not yet.
    struct OpenImport {
        RecordId id = 0;
        std::uint32_t records = 0;
        JournalDamage opening;
        std::vector<JournalFrame> frames;
    };

    // The header, then the records; false as ParseRead says.
    bool ParseWhole(bool more);
    // Parses bytes_ from `start`, up to its end or, with `more`, to a record that runs
    // past it or to damage (false); parsed_ is where it stopped.
    bool ParseFrom(std::size_t start, bool more);
    // Takes a frame of another kind than a batch: into an open import or Frames().
    void TakeFrame(const JournalFrame& frame);
    // Forgets an open import's records; `unfinished` reports it as a write cut short
    // when no damage of its own says so.
    void DropImport(bool unfinished);

    FileBytes bytes_;            // the file's bytes from base_
    std::uint64_t base_ = 0;     // bytes before it were forgotten
    std::size_t parsed_ = 0;     // in bytes_: what follows is still to be parsed
    std::vector<JournalEntry> entries_;
    std::vector<JournalFrame> frames_;
    std::optional<OpenImport> import_;  // kept across ParseMore: its end may come later
    std::vector<JournalDamage> damage_;
    bool appendable_ = true;
    bool newerVersion_ = false;  // its records are not read
    std::size_t records_ = 0;    // records seen, damaged ones included
    // The last intact record of any kind: where it starts and ends, and its checksum.
    struct LastFrame {
        std::uint64_t at = 0;
        std::uint64_t end = 0;
        std::uint32_t crc = 0;
    };
    LastFrame last_;
};

}  // namespace lacqueron
