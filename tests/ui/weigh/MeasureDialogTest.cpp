// Correction by a trial's measurement, from the weighing dialog: every bad input told in
// Russian with nothing to add, then a typed measurement whose additions are poured as
// steps and kept in the journal as a round.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "colour/Decimal.h"
#include "colour/DifferenceWords.h"
#include "colour/Drafting.h"
#include "colour/TargetText.h"
#include "colour/Optics.h"
#include "colour/ShippedOptics.h"
#include "core/Utf8.h"
#include "files/JournalAccess.h"
#include "tests/ui/shared/WindowReading.h"
#include "tint/OpticsInForce.h"
#include "tests/ui/weigh/WeighHarness.h"

namespace lacqueron::testing {
namespace {

constexpr wchar_t kMeasureCaption[] = L"Поправка по замеру";
// The example's pastes stand for two of the shipped table's.
constexpr const char* kRenamed[][2] = {{"YOX", "P1"}, {"ROX", "P2"}};
// The example at 500 g as poured: base, Yel, Red.
constexpr double kPoured[] = {480.77, 14.42, 4.81};
constexpr double kBaseGrams = 1000;
constexpr double kMoreYellow = 1.3;
constexpr wchar_t kPourTo[] = L"налейте до ";

HWND Measuring() { return FindDialog(kMeasureCaption); }

std::wstring MeasureText(int id) { return WindowText(GetDlgItem(Measuring(), id)); }

std::wstring Wide(const std::string& utf8) { return WinText(FromUtf8Lenient(utf8)); }

std::string LabTyped(const colour::Lab& lab) {
    return colour::FormatFixed(lab.l, 2) + ' ' + colour::FormatFixed(lab.a, 2) + ' ' + colour::FormatFixed(lab.b, 2);
}

struct BadInput {
    const wchar_t* target;
    const wchar_t* trial;
    const wchar_t* file;  // a name in the test's folder; empty for none
    const wchar_t* told;  // how the result field starts
};

const BadInput kBadInputs[] = {
    {L"", L"50 0 0", L"", L"Введите цель: L* a* b* (например 52.4 -3.1 18) или код цвета RAL."},
    {L"RAL 9999", L"50 0 0", L"", L"Такого кода цвета нет в каталоге."},
    {L"120 0 0", L"50 0 0", L"", L"Светлота цели L* должна быть от 0 до 100."},
    {L"50 0 250", L"50 0 0", L"", L"Координаты цели a* и b* должны быть от -200 до 200."},
    {L"RAL 1000", L"50 0", L"", L"Введите замер пробы: три числа L* a* b*"},
    {L"RAL 1000", L"101 0 0", L"", L"Светлота пробы L* должна быть от 0 до 100."},
    {L"50 0 0", L"-0,5 0 0", L"", L"Светлота пробы L* должна быть от 0 до 100."},
    {L"50 0 0", L"", L"no-spectrum.txt", L"В файле нет спектра пробы"},
    {L"50 0 0", L"", L"missing.txt", L"Файл замера не открывается."},
};

// A CGATS file as an instrument exports L*a*b* only: no reflectance to read.
constexpr char kNoSpectrum[] =
    "CGATS.17\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\n"
    "NUMBER_OF_SETS 1\nBEGIN_DATA\n1 52.1 3.2 18.0\nEND_DATA\n";

class MeasureDialogTest : public WeighHarness {
protected:
    void SetUp() override {
        WeighHarness::SetUp();
        ShowBeigeColour();
        colour::OpticsError error;
        ASSERT_TRUE(colour::ReadOptics(colour::ShippedOpticsText(), optics_, error)) << error.reason;
        for (const auto& pair : kRenamed) {
            const int index = optics_.Find(pair[0]);
            ASSERT_GE(index, 0) << pair[0];
            optics_.pastes[index].code = pair[1];
        }
        request_.optics = &optics_;
        request_.opticsSource = kVendorOpticsName;
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        folder_ = folder;
        noSpectrum_ = folder_ + L"no-spectrum.txt";
        FILE* file = _wfopen(noSpectrum_.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        std::fputs(kNoSpectrum, file);
        std::fclose(file);
    }
    void TearDown() override {
        DeleteFileW(noSpectrum_.c_str());
        WeighHarness::TearDown();
    }

    // The model's colour of the example with Yel times yellow, per 1000 g of base.
    colour::Lab ExampleLab(double yellow) const {
        const double perBase = kBaseGrams / kPoured[0];
        const colour::Load loads[] = {{optics_.Find("P1"), kPoured[1] * perBase * yellow},
                                      {optics_.Find("P2"), kPoured[2] * perBase}};
        return colour::SpectrumToLab(colour::PredictMeasured(optics_, loads));
    }

    // Types the three fields and presses "Рассчитать".
    ModalDriver::Step Compute(std::wstring target, std::wstring trial, std::wstring file) {
        return [=] {
            HWND dialog = Measuring();
            if (!dialog || !IsWindowEnabled(dialog)) return false;
            SetDlgItemTextW(dialog, IDC_MEASURE_TARGET, target.c_str());
            SetDlgItemTextW(dialog, IDC_MEASURE_TRIAL, trial.c_str());
            SetDlgItemTextW(dialog, IDC_MEASURE_FILE, file.c_str());
            SetDlgItemTextW(dialog, IDC_MEASURE_RESULT, L"");
            PostMessageW(GetDlgItem(dialog, IDC_MEASURE_COMPUTE), BM_CLICK, 0, 0);
            return true;
        };
    }

    // Enters each step's target as its reading until the batch is finished again.
    static ModalDriver::Step PourAsInstructed() {
        auto last = std::make_shared<std::wstring>();
        return [last] {
            HWND weighing = Weighing();
            if (!weighing) return false;
            const std::wstring instruction = Text(IDC_WEIGH_INSTRUCTION);
            const std::size_t at = instruction.find(kPourTo);
            if (at == std::wstring::npos) return !IsWindowEnabled(GetDlgItem(weighing, IDC_WEIGH_READING));
            if (instruction == *last) return false;  // the reading typed is not taken yet
            *last = instruction;
            std::wstring reading = instruction.substr(at + std::size(kPourTo) - 1);
            reading = reading.substr(0, reading.find(L' '));
            HWND edit = GetDlgItem(weighing, IDC_WEIGH_READING);
            SetWindowTextW(edit, reading.c_str());
            PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
            return false;
        };
    }

    colour::OpticsTable optics_;
    std::wstring folder_, noSpectrum_;
};

TEST_F(MeasureDialogTest, BadInputIsToldAndAGoodMeasurementIsPouredAndJournalled) {
    const colour::Lab target = ExampleLab(kMoreYellow);
    const colour::Lab trial = ExampleLab(1);
    // As typed, to two decimals.
    colour::Lab typedTarget, typedTrial;
    ASSERT_EQ(colour::ParseLabText(LabTyped(target), typedTarget), colour::TargetProblem::kNone);
    ASSERT_EQ(colour::ParseLabText(LabTyped(trial), typedTrial), colour::TargetProblem::kNone);

    bool offBeforeReading = false;
    std::vector<std::wstring> told;
    std::vector<bool> addOffered;
    std::wstring result, added;
    std::vector<ModalDriver::Step> steps = {
        [&] {
            offBeforeReading = Weighing() && !IsWindowEnabled(GetDlgItem(Weighing(), IDC_WEIGH_MEASURE));
            return Weighing() != nullptr;
        },
        PourAsInstructed(),
        GiveNote(L""),
        Shows(IDC_WEIGH_MESSAGE, L"Замес записан в журнал."),
        Press(IDC_WEIGH_MEASURE),
    };
    for (const BadInput& bad : kBadInputs) {
        steps.push_back(Compute(bad.target, bad.trial, *bad.file ? folder_ + bad.file : std::wstring()));
        steps.push_back([&] {
            const std::wstring text = MeasureText(IDC_MEASURE_RESULT);
            if (text.empty()) return false;
            told.push_back(text);
            addOffered.push_back(IsWindowEnabled(GetDlgItem(Measuring(), IDOK)) != FALSE);
            return true;
        });
    }
    steps.push_back(Compute(Wide(LabTyped(target)), Wide(LabTyped(trial)), L""));
    steps.push_back([&] {
        result = MeasureText(IDC_MEASURE_RESULT);
        if (result.empty()) return false;
        SaveShotIfAsked(L"weigh-measure", Measuring());
        PostMessageW(GetDlgItem(Measuring(), IDOK), BM_CLICK, 0, 0);
        return true;
    });
    steps.push_back([&] {
        if (Measuring()) return false;
        added = Text(IDC_WEIGH_MESSAGE);
        return true;
    });
    steps.push_back(PourAsInstructed());
    steps.push_back(Shows(IDC_WEIGH_MESSAGE, L"Замес записан в журнал."));
    steps.push_back(Press(IDC_WEIGH_CLOSE));
    ASSERT_TRUE(Run(std::move(steps)));

    EXPECT_TRUE(offBeforeReading);
    ASSERT_EQ(told.size(), std::size(kBadInputs));
    for (std::size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(told[i].rfind(kBadInputs[i].told, 0), 0u) << i << ": " << told[i];
        EXPECT_FALSE(addOffered[i]) << i;
    }
    const std::wstring difference = Wide(colour::DifferenceText(typedTarget, typedTrial));
    EXPECT_EQ(result.rfind(difference + L"\r\nДобавить:\r\n", 0), 0u) << result;
    EXPECT_NE(result.find(L"После добавок ожидается ΔE00 = "), std::wstring::npos) << result;
    EXPECT_NE(result.find(L"\r\nОптика паст: данные поставщика."), std::wstring::npos) << result;
    EXPECT_EQ(added.rfind(L"Добавлена паста ", 0), 0u) << added;

    WideString error;
    const auto journal = OpenJournal(request_.journalPath, error);
    ASSERT_TRUE(journal);
    const std::size_t count = journal->Contents().BatchCount();
    ASSERT_GE(count, 2u);
    const BatchRecord batch = journal->Contents().Batch(count - 1);
    EXPECT_EQ(batch.status, BatchStatus::Done);
    ASSERT_EQ(batch.measureRounds.size(), 1u);
    const BatchMeasureRound& round = batch.measureRounds[0];
    const auto hundredths = [](double value) { return static_cast<std::int32_t>(std::lround(value * 100)); };
    EXPECT_EQ(round.target, (BatchLab{hundredths(typedTarget.l), hundredths(typedTarget.a), hundredths(typedTarget.b)}));
    EXPECT_EQ(round.measured, (BatchLab{hundredths(typedTrial.l), hundredths(typedTrial.a), hundredths(typedTrial.b)}));
    EXPECT_EQ(round.deltaE, static_cast<std::uint32_t>(hundredths(colour::DeltaE2000(typedTarget, typedTrial))));
    EXPECT_LT(round.predicted, round.deltaE);
    ASSERT_FALSE(round.proposed.empty());
    // Poured as instructed: exactly what was proposed.
    EXPECT_EQ(round.poured, round.proposed);
    EXPECT_EQ(round.proposed.front().code, u"P1") << "more yellow is made with the yellow paste";
}

}  // namespace
}  // namespace lacqueron::testing
