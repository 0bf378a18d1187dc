// The journal file's bytes: a header, then one framed record per batch.
//
//   header  "LQJOURNL", version (u32)
//   record  marker "LQBR", payload length (u32), payload, CRC-32 of length and payload (u32)
//
// Integers are little-endian; texts are UTF-8 with a u32 byte count. A payload may
// carry fields after the ones this version knows; they are passed over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "journal/BatchRecord.h"

namespace lacqueron {

constexpr std::uint32_t kJournalVersion = 1;
constexpr std::size_t kJournalHeaderSize = 12;
constexpr std::size_t kRecordFrameOverhead = 12;  // marker, length, checksum
constexpr std::size_t kMaxRecordPayload = 1 << 20;

// CRC-32 (IEEE 802.3, reflected), continuing from crc (0 to start).
std::uint32_t Crc32(const void* data, std::size_t size, std::uint32_t crc = 0) noexcept;

std::string EncodeJournalHeader();

// The framed record, ready to be written as one unit; empty when the payload would
// exceed kMaxRecordPayload.
std::string EncodeBatchFrame(const BatchRecord& batch);

enum class JournalDamageKind {
    BadHeader,         // the file does not start with a journal header
    NewerVersion,      // written by a later version of the program
    TruncatedRecord,   // the file ends inside a record: a write that never finished
    BadChecksum,       // a record's bytes changed after it was written
    BadPayload,        // the checksum is right but the fields are not a batch
    UnexpectedBytes,   // bytes that are no record, passed over up to the next record
};

struct JournalDamage {
    std::uint64_t offset = 0;
    std::size_t recordNumber = 0;  // counted from 1, damaged records included
    JournalDamageKind kind = JournalDamageKind::BadHeader;
    bool operator==(const JournalDamage&) const = default;
};

struct ParsedJournal {
    std::vector<BatchRecord> batches;
    std::vector<JournalDamage> damage;
    bool headerPresent = false;  // false for an empty file
    bool appendable = true;      // false when the header is wrong or from a newer version
    std::size_t records = 0;     // records seen so far, damaged ones included
};

// Reads a whole file's bytes: every intact record, and every damaged stretch with where
// it starts. Stepping over damage, the reader looks for the next record whose checksum
// holds, so a record appended after a damaged one is found again.
ParsedJournal ParseJournal(std::string_view bytes);

// Reads records that start at byte `offset` of the file, as after a header or after the
// part already read, and adds them to `into`.
void ParseJournalRecords(std::string_view bytes, std::uint64_t offset, ParsedJournal& into);

}  // namespace lacqueron
