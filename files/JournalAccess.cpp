#include "files/JournalAccess.h"

#include <windows.h>

#include <cstdint>

#include "files/DataFolder.h"
#include "files/Win32JournalFile.h"
#include "journal/JournalText.h"

namespace lacqueron {
namespace {

// FILETIME counts 100 ns steps from 1601-01-01; the Unix epoch is this many seconds later.
constexpr std::int64_t kFileTimeStepsPerSecond = 10000000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr char16_t kBatchNoMemoryText[] = u"Замес не записан: не хватило памяти.";

}  // namespace

BatchTime CurrentBatchTime() noexcept {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::int64_t steps =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    BatchTime time;
    time.utcSeconds = steps / kFileTimeStepsPerSecond - kSecondsFrom1601To1970;
    // The bias is UTC minus local time, in minutes, plus the daylight or standard one in force.
    TIME_ZONE_INFORMATION zone{};
    const DWORD kind = GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias;
    if (kind == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    if (kind == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    time.localOffsetMinutes = kind == TIME_ZONE_ID_INVALID ? 0 : -bias;
    return time;
}

WideString JournalPath() {
    const WideString folder = DataFolderPath();
    return folder.empty() ? WideString() : folder + kJournalFileName;
}

std::unique_ptr<JournalStore> OpenJournal(const WideString& path, WideString& error) noexcept {
    try {
        std::unique_ptr<JournalFile> file = path.empty() ? nullptr : OpenWin32JournalFile(path);
        if (!file) {
            error = u"Не удалось открыть журнал замесов: " + (path.empty() ? u"нет папки данных пользователя" : path);
            return nullptr;
        }
        auto store = std::make_unique<JournalStore>(std::move(file));
        switch (store->Load()) {
        case JournalLoadResult::Loaded: return store;
        case JournalLoadResult::Busy: error = kJournalBusyText; break;
        case JournalLoadResult::ReadFailed: error = u"Не удалось прочитать журнал замесов: " + path; break;
        }
        return nullptr;
    } catch (...) {
        error = u"Не хватило памяти, чтобы прочитать журнал замесов.";
        return nullptr;
    }
}

WideString AppendBatchToJournal(const BatchRecord& batch, const WideString& path) noexcept {
    try {
        return AppendBatchToJournal(batch, path.empty() ? nullptr : OpenWin32JournalFile(path));
    } catch (...) {
        return kBatchNoMemoryText;
    }
}

WideString AppendBatchToJournal(const BatchRecord& batch, std::unique_ptr<JournalFile> file) noexcept {
    try {
        if (!file) return DescribeAppendFailure(JournalAppendResult::WriteFailed);
        return DescribeAppendFailure(AppendBatch(*file, batch));
    } catch (...) {
        return kBatchNoMemoryText;
    }
}

}  // namespace lacqueron
