// The weighing dialog's scale row driven inside its modal loop, with scale events sent
// to the dialog as the port reader posts them: a reading from before a change of port
// is dropped, a scale the search found becomes the choice, and a light step is not
// auto-recorded before anything is poured. The
// reader itself runs on a port that is not there; the panel's clock is the test's.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "port/ScaleReader.h"
#include "tests/ui/weigh/WeighHarness.h"
#include "ui/weigh/ScalePanel.h"

namespace lacqueron::testing {
namespace {

constexpr std::uint32_t kAbsentPort = 77;
// The panel numbers its readers from 1 at opening, one more for every choice after.
constexpr ScaleGeneration kOpened = 1;
constexpr ScaleGeneration kAfterManualAndBack = 3;
constexpr int kReadingColumn = 3;

std::int64_t testNowMs = 0;
std::int64_t TestClock() noexcept { return testNowMs; }

std::wstring PlanCell(int row, int column) { return ListCell(IDC_WEIGH_PLAN, row, column); }

// An event handed to the dialog as the reader of `generation` posts it.
void SendEvent(ScaleEvent event, ScaleGeneration generation) {
    event.generation = generation;
    SendMessageW(Weighing(), ScaleEventMessage(), PackScaleEvent(event), static_cast<LPARAM>(event.hundredths));
}

// A stable reading, at `atMs` on the panel's clock.
void SendReading(std::int32_t hundredths, ScaleGeneration generation, std::int64_t atMs = 0) {
    ScaleEvent event;
    event.stable = true;
    event.hundredths = hundredths;
    testNowMs = atMs;
    SendEvent(event, generation);
}

bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(Weighing(), id)) != FALSE; }

// Selects the port combo's item with this port number and reports the change.
void ChoosePort(std::uint32_t port) {
    HWND combo = GetDlgItem(Weighing(), IDC_WEIGH_SCALE_PORT);
    const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
        if (static_cast<std::uint32_t>(SendMessageW(combo, CB_GETITEMDATA, index, 0)) == port)
            SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(Weighing(), WM_COMMAND, MAKEWPARAM(IDC_WEIGH_SCALE_PORT, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

class WeighScaleTest : public WeighHarness {
protected:
    void SetUp() override {
        WeighHarness::SetUp();
        request_.scale.port = kAbsentPort;
        ScalePanel::SetClock(&TestClock);
    }
    void TearDown() override {
        ScalePanel::SetClock(nullptr);
        WeighHarness::TearDown();
    }

    static ModalDriver::Step Close() {
        return [] {
            PostMessageW(GetDlgItem(Weighing(), IDC_WEIGH_CLOSE), BM_CLICK, 0, 0);
            return true;
        };
    }
};

TEST_F(WeighScaleTest, ReadingFromBeforeAPortChangeIsDropped) {
    std::wstring afterStale, afterCurrent;
    ASSERT_TRUE(Run({
        [&] {
            if (!Weighing()) return false;
            ChoosePort(kManualEntry);
            ChoosePort(kAbsentPort);
            SendReading(1234, kOpened);
            afterStale = Text(IDC_WEIGH_READING);
            SendReading(5678, kAfterManualAndBack);
            afterCurrent = Text(IDC_WEIGH_READING);
            return true;
        },
        Close(),
    }));
    EXPECT_EQ(afterStale, L"");
    EXPECT_EQ(afterCurrent, L"56.78") << "a reading of the reader in force is shown";
}

// The automatic search found a scale: it is said in the message line, its rate is kept
// for the next search to start from while the choice stays automatic, and only the
// commands it has are offered: the ESC P scale tares but cannot be zeroed from here.
TEST_F(WeighScaleTest, FoundScaleKeepsItsRateAndTheAutomaticChoice) {
    std::wstring message, protocol, baud;
    bool tareBefore = false, zeroBefore = false, tare = true, zero = true;
    ASSERT_TRUE(Run({
        [&] {
            if (!Weighing()) return false;
            tareBefore = Enabled(IDC_WEIGH_TARE);
            zeroBefore = Enabled(IDC_WEIGH_ZERO);
            SendEvent(ScaleFoundEvent(ScaleProtocol::EscPolled, 4800), kOpened);
            message = Text(IDC_WEIGH_MESSAGE);
            protocol = Text(IDC_WEIGH_SCALE_PROTOCOL);
            baud = Text(IDC_WEIGH_SCALE_BAUD);
            tare = Enabled(IDC_WEIGH_TARE);
            zero = Enabled(IDC_WEIGH_ZERO);
            return true;
        },
        Close(),
    }));
    EXPECT_EQ(message, L"Найдены весы: протокол «ESC P, 16/22 знака», 4800 бод.");
    EXPECT_EQ(protocol, L"автоматически");
    EXPECT_EQ(baud, L"4800");
    EXPECT_TRUE(tareBefore && zeroBefore) << "the automatic choice offers both";
    EXPECT_TRUE(tare);
    EXPECT_FALSE(zero);
    EXPECT_EQ(request_.scale.protocol, ScaleProtocol::Automatic);
    EXPECT_EQ(request_.scale.baud, 4800u);
}

// At 1 g a division the first step, under a gram, is within tolerance of the empty
// can: the can standing still is not the step poured. A gram more is, and is recorded.
TEST_F(WeighScaleTest, LightStepWaitsForSomethingPoured) {
    request_.amount = 1;
    request_.resolution = kResolutionGram;
    request_.scale.autoRecord = true;
    std::wstring unchanged, poured;
    SeenBox confirmation;
    ASSERT_TRUE(Run({
        [&] {
            if (!Weighing()) return false;
            for (const std::int64_t atMs : {0, 400, 800, 1200, 1600}) SendReading(0, kOpened, atMs);
            unchanged = PlanCell(0, kReadingColumn);
            for (const std::int64_t atMs : {2000, 2400, 2800, 3200}) SendReading(100, kOpened, atMs);
            poured = PlanCell(0, kReadingColumn);
            return true;
        },
        Close(),
        AnswerBox(L"Подтверждение", IDYES, confirmation),
        [] {
            HWND prompt = FindDialog(L"Замес в журнал");
            if (!prompt) return false;
            PostMessageW(GetDlgItem(prompt, IDCANCEL), BM_CLICK, 0, 0);
            return true;
        },
    }));
    EXPECT_EQ(unchanged, L"") << "nothing poured, nothing recorded";
    EXPECT_EQ(poured, L"1.00");
}

}  // namespace
}  // namespace lacqueron::testing
