// One batch as the journal keeps it: what was mixed, for whom, and how it came out.
#pragma once

#include <cstdint>
#include <vector>

#include "core/WideString.h"
#include "data/catalogue/UnitAndPurpose.h"

namespace lacqueron {

enum class BatchStatus : std::uint8_t { Done = 0, Abandoned = 1 };

struct BatchComponent {
    WideString name;
    Hundredths recipeWeight = 0;
    Hundredths poured = 0;
    WideString code;        // the package's code; empty in records written before codes were kept
    bool addition = false;  // poured while tinting, beyond the recipe
    bool operator==(const BatchComponent&) const = default;
};

// A correction offered after an over-pour, and whether the painter took it.
struct BatchCorrection {
    std::uint32_t factorTenThousandths = 0;  // the factor with four decimals: 1.0250 is 10250
    Hundredths newTotal = 0;
    bool accepted = true;
    bool operator==(const BatchCorrection&) const = default;
};

// L*a*b* (D65) in hundredths: 52.41 is 5241.
constexpr double kBatchLabPerUnit = 100;
struct BatchLab {
    std::int32_t l = 0, a = 0, b = 0;
    bool operator==(const BatchLab&) const = default;
};

// A paste by its package code and a weight.
struct BatchPaste {
    WideString code;
    Hundredths weight = 0;
    bool operator==(const BatchPaste&) const = default;
};

// A round of correction by a trial's measurement: what was measured against what, what
// the engine proposed and what of it went into the can.
struct BatchMeasureRound {
    BatchLab target;
    BatchLab measured;
    std::uint32_t deltaE = 0;     // hundredths of ΔE00, as measured
    std::uint32_t predicted = 0;  // after the proposed additions
    std::vector<BatchPaste> proposed;
    std::vector<BatchPaste> poured;
    bool operator==(const BatchMeasureRound&) const = default;
};

struct BatchTime {
    std::int64_t utcSeconds = 0;          // since 1970-01-01 00:00 UTC
    std::int32_t localOffsetMinutes = 0;  // local time minus UTC where and when the batch ended
    bool operator==(const BatchTime&) const = default;
};

// Values are kept as they were written; whoever uses purpose, unit or resolution checks
// their range there.
struct BatchRecord {
    BatchTime time;
    WideString colourCode;
    WideString colourName;
    std::uint32_t purpose = 1;     // 1 to 6, as the main dialog's purpose list
    std::uint32_t weightType = 1;  // 1 grams, 2 millilitres
    std::int32_t amount = 0;       // whole grams or millilitres
    std::uint32_t resolution = 1;  // the scale's step in hundredths of a gram: 1, 10 or 100
    std::vector<BatchComponent> components;
    std::vector<BatchCorrection> corrections;
    Hundredths finalTotal = 0;
    BatchStatus status = BatchStatus::Done;
    WideString note;  // customer, order, car; may be empty
    // Shared by every record of one batch, of which the latest stands; 0 in records
    // written before batches had ids, each of which is a batch of its own.
    std::uint64_t batchId = 0;
    // Rounds of correction by measurement, in order; none in records written before they were kept.
    std::vector<BatchMeasureRound> measureRounds;
    bool operator==(const BatchRecord&) const = default;
};

}  // namespace lacqueron
