// The journal through the Win32 file under Wine: appends, reopening, two processes
// writing at once, a lock held too long, and the folder in the user's local
// application data; the own recipes' index beside their log, written and read whole.
//   files_journal_test                        runs the tests
//   files_journal_test append PATH FIRST N    appends sample batches FIRST..FIRST+N-1
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cwchar>
#include <string>

#include "core/Utf8.h"
#include "files/DataFolder.h"
#include "files/Win32JournalFile.h"
#include "journal/JournalStore.h"
#include "tests/support/SampleBatchChecks.h"

namespace lacqueron {
namespace {

using test::SampleBatch;

// The other writer may append many batches in a row here, so the wait is longer than a
// bench would wait for one.
constexpr std::chrono::seconds kWriterLockLimit{60};

// Appends as the program does, each batch after a look at the file's end only.
int AppendSamples(const wchar_t* path, std::uint32_t first, std::uint32_t count) {
    const std::unique_ptr<JournalFile> file = OpenWin32JournalFile(FromWinText(path));
    if (!file) return 1;
    for (std::uint32_t i = first; i < first + count; ++i)
        if (AppendBatch(*file, SampleBatch(i), kWriterLockLimit) != JournalAppendResult::Appended) return 1;
    return 0;
}

class Win32JournalFileTest : public testing::Test {
protected:
    void SetUp() override {
        path_ = LocalDataFolder() + u"journal-test-" + FromWinText(std::to_wstring(GetCurrentProcessId()).c_str()) +
                u".lqj";
        DeleteFileW(WinText(path_));
    }
    void TearDown() override { DeleteFileW(WinText(path_)); }

    JournalStore Open() {
        JournalStore store(OpenWin32JournalFile(path_));
        EXPECT_EQ(store.Load(), JournalLoadResult::Loaded);
        return store;
    }

    WideString path_;
};

TEST_F(Win32JournalFileTest, TheFolderIsInLocalApplicationData) {
    wchar_t expected[MAX_PATH] = {};
    ASSERT_NE(GetEnvironmentVariableW(L"LOCALAPPDATA", expected, MAX_PATH), 0u);
    EXPECT_EQ(LocalDataFolder(), FromWinText(expected) + u"\\Lacqueron\\");
    const DWORD attributes = GetFileAttributesW(WinText(LocalDataFolder()));
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(Win32JournalFileTest, AppendedBatchesAreThereAfterReopening) {
    {
        JournalStore store = Open();
        for (std::uint32_t i = 0; i < 3; ++i) ASSERT_EQ(store.Append(SampleBatch(i)), JournalAppendResult::Appended);
    }
    // A writer's lock leaves the data readable through other handles.
    const std::unique_ptr<JournalFile> writer = OpenWin32JournalFile(path_);
    JournalLockGuard lock(*writer, JournalLockKind::Exclusive);
    ASSERT_TRUE(lock.locked());
    const std::unique_ptr<JournalFile> reader = OpenWin32JournalFile(path_);
    std::uint64_t size = 0;
    std::string bytes;
    ASSERT_TRUE(reader->Size(size));
    ASSERT_TRUE(reader->ReadAt(0, static_cast<std::size_t>(size), bytes));
    EXPECT_EQ(test::AllBatches(JournalContents::Parse(bytes)),
              (std::vector{SampleBatch(0), SampleBatch(1), SampleBatch(2)}));
}

// The program's opening writes the index through Win32 and reads on from it; without it
// the log alone gives the same.
TEST_F(Win32JournalFileTest, OwnRecipesOpenThroughTheirIndexAsFromTheLogAlone) {
    const WideString log = path_ + u".lqr";
    const WideString index = log + u".idx";
    const auto open = [&] {
        WideString error;
        std::unique_ptr<OwnRecipeStore> store = OpenOwnRecipes(log, error);
        EXPECT_TRUE(store) << ToUtf8(error);
        return store;
    };
    const auto recipe = [](const char16_t* code) {
        return OwnRecipe{code, u"Серый", u"", 0x808080, {{u"OSN", 1000000}, {u"WHT", 5000}}, {}};
    };
    std::vector<OwnRecipeCurrent> saved;
    {
        const std::unique_ptr<OwnRecipeStore> store = open();
        ASSERT_TRUE(store);
        for (const char16_t* code : {u"К-1", u"К-2", u"К-1"}) {
            OwnRecipeId id = store->FindCurrent(code) ? store->FindCurrent(code)->id : 0;
            ASSERT_EQ(store->Save(id, recipe(code), {1796601600, 180}), JournalAppendResult::Appended);
        }
        ASSERT_TRUE(store->WriteIndex());
        OwnRecipeId id = 0;
        ASSERT_EQ(store->Save(id, recipe(u"К-3"), {1796601660, 180}), JournalAppendResult::Appended);
        saved = store->Current();
    }
    const std::unique_ptr<OwnRecipeStore> indexed = open();
    ASSERT_TRUE(indexed);
    EXPECT_TRUE(indexed->Indexed());
    EXPECT_EQ(indexed->Current(), saved);
    EXPECT_EQ(indexed->History(saved.front().id).size(), 2u);
    ASSERT_TRUE(DeleteFileW(WinText(index)));
    const std::unique_ptr<OwnRecipeStore> alone = open();
    ASSERT_TRUE(alone);
    EXPECT_FALSE(alone->Indexed());
    EXPECT_EQ(alone->Current(), saved);
    DeleteFileW(WinText(log));
}

TEST_F(Win32JournalFileTest, AJournalHeldTooLongIsReportedBusyAndLeftAsItWas) {
    constexpr std::chrono::milliseconds kShortLimit{50};
    const std::unique_ptr<JournalFile> holder = OpenWin32JournalFile(path_);
    JournalLockGuard held(*holder, JournalLockKind::Exclusive);
    ASSERT_TRUE(held.locked());
    const std::unique_ptr<JournalFile> writer = OpenWin32JournalFile(path_);
    EXPECT_EQ(AppendBatch(*writer, SampleBatch(0), kShortLimit), JournalAppendResult::Busy);
    std::uint64_t size = 1;
    ASSERT_TRUE(writer->Size(size));
    EXPECT_EQ(size, 0u);
}

TEST_F(Win32JournalFileTest, TwoProcessesAppendingAtOnceLoseNothing) {
    constexpr std::uint32_t kWriters = 2;
    constexpr std::uint32_t kBatchesEach = 200;
    wchar_t self[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    HANDLE processes[kWriters] = {};
    for (std::uint32_t writer = 0; writer < kWriters; ++writer) {
        std::wstring command = L"\"" + std::wstring(self) + L"\" append \"" + WinText(path_) + L"\" " +
                               std::to_wstring(writer * kBatchesEach) + L" " + std::to_wstring(kBatchesEach);
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(
            CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
        CloseHandle(process.hThread);
        processes[writer] = process.hProcess;
    }
    EXPECT_EQ(WaitForMultipleObjects(kWriters, processes, TRUE, INFINITE), WAIT_OBJECT_0);
    for (HANDLE process : processes) {
        DWORD code = 1;
        EXPECT_TRUE(GetExitCodeProcess(process, &code) && code == 0);
        CloseHandle(process);
    }

    JournalStore reopened = Open();
    EXPECT_TRUE(reopened.Contents().Damage().empty());
    test::ExpectEachSampleOnce(reopened.Contents(), kWriters * kBatchesEach);
}

}  // namespace
}  // namespace lacqueron

int wmain(int argc, wchar_t** argv) {
    if (argc == 5 && std::wcscmp(argv[1], L"append") == 0)
        return lacqueron::AppendSamples(argv[2], static_cast<std::uint32_t>(std::wcstoul(argv[3], nullptr, 10)),
                                        static_cast<std::uint32_t>(std::wcstoul(argv[4], nullptr, 10)));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
