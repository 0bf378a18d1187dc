// The weighing dialog driven through window messages inside its own modal loop: the
// worked example at 500 g poured step by step, a short reading, a bad one and an
// over-pour whose correction is accepted, then left midway into the journal with a
// note; the smallest batch and the resolution.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "files/JournalAccess.h"
#include "tests/ui/weigh/WeighHarness.h"
#include "ui/journal/JournalDialog.h"

namespace lacqueron::testing {
namespace {


// A row of a list as its five cells joined by "|".
std::wstring ListRow(int list, int row) {
    std::wstring cells;
    for (int column = 0; column < 5; ++column) {
        cells += (column ? L"|" : L"") + ListCell(list, row, column);
    }
    return cells;
}

// A plan row as "name|weight|target|reading|status".
std::wstring Row(int row) { return ListRow(IDC_WEIGH_PLAN, row); }
// A summary row as "name|planned|poured|deviation|percent".
std::wstring SummaryRow(int row) { return ListRow(IDC_WEIGH_SUMMARY, row); }

bool Said(const SeenBox& box, const wchar_t* text) {
    return std::find(box.texts.begin(), box.texts.end(), text) != box.texts.end();
}

// Ctrl+Z typed in the reading field.
ModalDriver::Step TypeCtrlZ() {
    return [] {
        HWND edit = GetDlgItem(Weighing(), IDC_WEIGH_READING);
        if (!edit) return false;
        PostMessageW(edit, WM_CHAR, 0x1A, 0);
        return true;
    };
}

constexpr wchar_t kAddPasteCaption[] = L"Добавить пасту";

// Picks the paste at the row of the add-paste dialog, types the grams and presses
// "Добавить".
ModalDriver::Step AddPaste(int row, const wchar_t* grams) {
    return [row, grams] {
        HWND dialog = FindDialog(kAddPasteCaption);
        if (!dialog || !IsWindowEnabled(dialog)) return false;
        SendDlgItemMessageW(dialog, IDC_WEIGH_PASTE, CB_SETCURSEL, row, 0);
        SetDlgItemTextW(dialog, IDC_WEIGH_PASTE_GRAMS, grams);
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        return true;
    };
}

class WeighDialogTest : public WeighHarness {
protected:
    void SetUp() override {
        WeighHarness::SetUp();
        ShowBeigeColour();
        request_.setAmount = [this](std::int32_t amount) { amountsSet_.push_back(amount); };
    }

    std::vector<std::int32_t> amountsSet_;
};

TEST_F(WeighDialogTest, StepsAndAnAcceptedOverPour) {
    std::vector<std::wstring> rows;
    std::wstring badInput;
    std::wstring correction;
    SeenBox confirmation;
    ASSERT_TRUE(Run({
        Shows(IDC_WEIGH_INSTRUCTION, L"Основа: налейте до 480.77 г"),
        Enter(L"480.77"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Yel: налейте до 495.19 г"),
        Enter(L"495"),
        Shows(IDC_WEIGH_MESSAGE, L"долейте ещё 0.19 г"),
        Enter(L"495 г"),
        [&] { return !(badInput = Text(IDC_WEIGH_MESSAGE)).empty() && badInput != L"долейте ещё 0.19 г"; },
        Enter(L"496,19"),
        [&] {
            if (!IsWindowVisible(GetDlgItem(Weighing(), IDC_WEIGH_ACCEPT))) return false;
            correction = Text(IDC_WEIGH_CORRECTION);
            return true;
        },
        Press(IDC_WEIGH_ACCEPT),
        Shows(IDC_WEIGH_INSTRUCTION, L"Red (N): налейте до 501.33 г"),
        [&] {
            for (int row = 0; row < 4; ++row) rows.push_back(Row(row));
            PostMessageW(GetDlgItem(Weighing(), IDC_WEIGH_READING), WM_KEYDOWN, VK_ESCAPE, 0);
            return true;
        },
        AnswerBox(L"Подтверждение", IDYES, confirmation),
        GiveNote(L"Иванов, заказ 17"),
    }));
    EXPECT_EQ(badInput.rfind(L"Введите показание весов числом", 0), 0u) << badInput;
    EXPECT_NE(correction.find(L"Увеличить партию в 1.0693 раза, новый итог 534.67 г."), std::wstring::npos)
        << correction;
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"Основа|480.77|480.77|480.77|готово",
                                               L"Yel|14.42|495.19|496.19|перелив", L"Red (N)|5.14|501.33||ждёт",
                                               L"Основа|33.34|534.67||долить"}));
    bool asked = false;
    for (const std::wstring& text : confirmation.texts) asked = asked || text.rfind(L"Взвешивание не закончено", 0) == 0;
    EXPECT_TRUE(asked) << "the closing midway was confirmed";
    EXPECT_TRUE(amountsSet_.empty());

    WideString error;
    const auto journal = OpenJournal(request_.journalPath, error);
    ASSERT_TRUE(journal) << journal_;
    ASSERT_EQ(journal->Contents().BatchCount(), 1u);
    const BatchRecord batch = journal->Contents().Batch(0);
    EXPECT_EQ(batch.status, BatchStatus::Abandoned);
    EXPECT_EQ(batch.note, u"Иванов, заказ 17");
    EXPECT_EQ(batch.colourCode, u"RAL 1000");
    EXPECT_EQ(batch.components, (std::vector<BatchComponent>{{u"Основа", 48077, 48077, u"B1"},
                                                             {u"Yel", 1442, 1542, u"P1"},
                                                             {u"Red (N)", 481, 0, u"P2"}}));
    EXPECT_EQ(batch.corrections, (std::vector<BatchCorrection>{{10693, 53467, true}}));
    EXPECT_EQ(batch.finalTotal, 49619);
}

// The last step over-poured: the far-over reading is asked about, the correction waits
// for its answer with nothing written and Enter refused, then its top-ups are poured and
// only then is the batch finished and written, with what really went into the can. The
// stock short for the plan is told first; the summary says what the batch and its
// over-pour cost.
TEST_F(WeighDialogTest, LastStepOverPourAcceptedAndItsTopUpsPoured) {
    // A kilogram of base 100.00 ₽, of yellow 1 000.00 ₽, of red 2 000.00 ₽.
    const PriceBook prices({{u"B4/B1", 10000, std::nullopt, {}}, {u"P1", 100000, std::nullopt, {}},
                            {u"P2", 200000, std::nullopt, {}}},
                           catalogue_);
    request_.prices = &prices;
    std::vector<CostLine> needed;
    request_.shortfalls = [&](const std::vector<CostLine>& lines, WeighRequest::Shortfalls out) -> FolderWrite {
        needed = lines;
        return [out](OwnRecipeStore*, LedgerStore*, OpticsStore*) {
            *out = {{u"P2", u"Red (N)", -200}, {u"P1", u"Yel", 5000, 0, std::nullopt, Hundredths{10000}, true}};
            return JournalAppendResult::Appended;
        };
    };
    SeenBox farAbove;
    std::wstring correction, afterEnter, cost;
    bool offerAlone = false, tooLarge = false, labelOffered = false, costShown = false;
    std::vector<std::wstring> summary;
    ASSERT_TRUE(Run({
        Shows(IDC_WEIGH_MESSAGE, L"Остатков мало: Red (N) — не хватит 2.00 г; Yel — останется 50.00 г, минимум "
                                 L"100.00 г."),
        Enter(L"480.77"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Yel: налейте до 495.19 г"),
        Enter(L"495.19"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Red (N): налейте до 500.00 г"),
        Enter(L"501"),
        AnswerBox(L"Подтверждение", IDYES, farAbove),
        [&] {
            if (!IsWindowVisible(GetDlgItem(Weighing(), IDC_WEIGH_ACCEPT))) return false;
            correction = Text(IDC_WEIGH_CORRECTION);
            offerAlone = !FindDialog(L"Замес в журнал") &&
                         !IsWindowVisible(GetDlgItem(Weighing(), IDC_WEIGH_SUMMARY)) &&
                         !IsWindowVisible(GetDlgItem(Weighing(), IDC_WEIGH_LABEL)) &&
                         GetFocus() == GetDlgItem(Weighing(), IDC_WEIGH_READING);
            return true;
        },
        Enter(L"502"),
        Shows(IDC_WEIGH_MESSAGE, L"Сначала примите или отклоните пересчёт партии."),
        [&] {
            afterEnter = Text(IDC_WEIGH_READING);
            // A 600 g can does not hold 603.95 g: said, and Принять refused.
            SetDlgItemTextW(Weighing(), IDC_WEIGH_CAPACITY, L"600");
            tooLarge = Text(IDC_WEIGH_CORRECTION).find(L"не поместится в тару (600.00 г)") != std::wstring::npos &&
                       !IsWindowEnabled(GetDlgItem(Weighing(), IDC_WEIGH_ACCEPT));
            SetDlgItemTextW(Weighing(), IDC_WEIGH_CAPACITY, L"");
            return true;
        },
        Press(IDC_WEIGH_ACCEPT),
        Shows(IDC_WEIGH_INSTRUCTION, L"Основа: налейте до 600.95 г"),
        Enter(L"601.00"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Yel: налейте до 604.00 г"),
        Enter(L"604.00"),
        GiveNote(L"Петров"),
        Shows(IDC_WEIGH_MESSAGE, L"Замес записан в журнал."),
        [&] {
            for (int row = 0; row < 4; ++row) summary.push_back(SummaryRow(row));
            labelOffered = IsWindowVisible(GetDlgItem(Weighing(), IDC_WEIGH_LABEL)) != FALSE;
            cost = Text(IDC_WEIGH_COST);
            costShown = IsWindowVisible(GetDlgItem(Weighing(), IDC_WEIGH_COST)) != FALSE;
            return true;
        },
        Press(IDC_WEIGH_CLOSE),
    }));
    // The plan's own weights, keyed as the prices are: 480.77 g of base, 14.42 and 4.81 of paste.
    ASSERT_EQ(needed.size(), 3u);
    EXPECT_EQ(needed[0].key, u"B4/B1");
    EXPECT_EQ(needed[0].grams, 48077);
    EXPECT_EQ(needed[2].key, u"P2");
    EXPECT_EQ(needed[2].grams, 481);
    // Poured: 580.77 g at 100 ₽ 58.08, 17.42 g at 1 000 ₽ 17.42, 5.81 g at 2 000 ₽ 11.62. Beyond
    // the recipe's 480.77, 14.42 and 4.81: 100 g, 3 g and 1 g, 10.00 + 3.00 + 2.00.
    EXPECT_EQ(cost, L"Стоимость замеса: 87.12 ₽\r\nПерелив обошёлся в 15.00 ₽");
    EXPECT_TRUE(costShown);
    EXPECT_TRUE(Said(farAbove, L"Показание 501.00 г больше цели на 1.00 г. Записать?"));
    EXPECT_NE(correction.find(L"Увеличить партию в 1.2079 раза, новый итог 603.95 г."), std::wstring::npos)
        << correction;
    EXPECT_TRUE(offerAlone) << "the offer shares the window with nothing and leaves the focus in the field";
    EXPECT_EQ(afterEnter, L"502");
    EXPECT_TRUE(tooLarge) << "a correction too large for the can is said and cannot be accepted";
    // The plan in force after the rescale: 580.72, 17.42, 5.81; the base's top-up ended
    // 0.05 over, 0.05 / 580.72 = 0.0086 %.
    EXPECT_EQ(summary, (std::vector<std::wstring>{L"Основа|580.72|580.77|+0.05|+0.01", L"Yel|17.42|17.42|+0.00|+0.00",
                                                  L"Red (N)|5.81|5.81|+0.00|+0.00",
                                                  L"Итого|603.95|604.00|+0.05|+0.01"}));
    EXPECT_TRUE(labelOffered);

    WideString error;
    const auto journal = OpenJournal(request_.journalPath, error);
    ASSERT_TRUE(journal) << journal_;
    ASSERT_EQ(journal->Contents().BatchCount(), 1u);
    const BatchRecord batch = journal->Contents().Batch(0);
    EXPECT_EQ(batch.status, BatchStatus::Done);
    EXPECT_EQ(batch.components, (std::vector<BatchComponent>{{u"Основа", 48077, 58077, u"B1"},
                                                             {u"Yel", 1442, 1742, u"P1"},
                                                             {u"Red (N)", 481, 581, u"P2"}}));
    EXPECT_EQ(batch.corrections, (std::vector<BatchCorrection>{{12079, 60395, true}}));
    EXPECT_EQ(batch.finalTotal, 60400);
    EXPECT_EQ(batch.note, u"Петров");
}

// A slip far over the target is asked about and No keeps the field as typed; an
// over-pour is taken back with Ctrl+Z together with its correction, and the button
// takes back every reading down to the first: nothing stands, so nothing is written.
TEST_F(WeighDialogTest, SlipsAreRefusedOrTakenBack) {
    SeenBox farAbove;
    std::wstring keptText, afterCtrlZ, firstUndone;
    bool offerGone = false, undoDisabled = false;
    ASSERT_TRUE(Run({
        Enter(L"480.77"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Yel: налейте до 495.19 г"),
        Enter(L"540"),
        AnswerBox(L"Подтверждение", IDNO, farAbove),
        [&] {
            if (!IsWindowEnabled(Weighing())) return false;
            keptText = Text(IDC_WEIGH_READING) + L"|" + Row(1);
            return true;
        },
        Enter(L"496.19"),
        [] { return IsWindowVisible(GetDlgItem(Weighing(), IDC_WEIGH_ACCEPT)) != FALSE; },
        TypeCtrlZ(),
        Shows(IDC_WEIGH_MESSAGE, L"Показание 496.19 г и его пересчёт отменены."),
        [&] {
            offerGone = !IsWindowVisible(GetDlgItem(Weighing(), IDC_WEIGH_ACCEPT));
            afterCtrlZ = Row(1);
            return true;
        },
        Press(IDC_WEIGH_UNDO),
        Shows(IDC_WEIGH_MESSAGE, L"Показание 480.77 г отменено."),
        [&] {
            firstUndone = Row(0);
            undoDisabled = !IsWindowEnabled(GetDlgItem(Weighing(), IDC_WEIGH_UNDO));
            return true;
        },
        Press(IDC_WEIGH_CLOSE),
    }));
    EXPECT_TRUE(Said(farAbove, L"Показание 540.00 г больше цели на 44.81 г. Записать?"));
    EXPECT_EQ(keptText, L"540|Yel|14.42|495.19||ждёт");
    EXPECT_TRUE(offerGone);
    EXPECT_EQ(afterCtrlZ, L"Yel|14.42|495.19||ждёт");
    EXPECT_EQ(firstUndone, L"Основа|480.77|480.77||ждёт");
    EXPECT_TRUE(undoDisabled);
    EXPECT_EQ(GetFileAttributesW(journal_.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing stood, nothing written";
}

// A journal that cannot be written: closing asks before the readings go, and No keeps
// the dialog with them; the note is asked only once.
TEST_F(WeighDialogTest, UnwritableJournalKeepsTheReadingsUntilTheyAreGivenUp) {
    request_.journalPath = u"Q:\\нет такой папки\\journal.lqj";
    SeenBox confirmation, kept, givenUp;
    int notesAsked = 0;
    const ModalDriver::Step withoutNote = [&] {
        HWND prompt = FindDialog(L"Замес в журнал");
        if (!prompt) return false;
        ++notesAsked;
        PostMessageW(GetDlgItem(prompt, IDCANCEL), BM_CLICK, 0, 0);
        return true;
    };
    std::wstring afterNo;
    ASSERT_TRUE(Run({
        Enter(L"480.77"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Yel: налейте до 495.19 г"),
        Press(IDC_WEIGH_CLOSE),
        AnswerBox(L"Подтверждение", IDYES, confirmation),
        withoutNote,
        AnswerBox(L"Ошибка", IDNO, kept),
        [&] {
            if (!Weighing() || !IsWindowEnabled(Weighing())) return false;
            afterNo = Row(0);
            return true;
        },
        Press(IDC_WEIGH_CLOSE),
        AnswerBox(L"Подтверждение", IDYES, confirmation),
        AnswerBox(L"Ошибка", IDYES, givenUp),
    }));
    EXPECT_EQ(notesAsked, 1);
    bool told = false;
    for (const std::wstring& text : kept.texts) told = told || text.rfind(L"Замес не записан", 0) == 0;
    EXPECT_TRUE(told) << "the error box says the batch was not written";
    EXPECT_EQ(afterNo, L"Основа|480.77|480.77|480.77|готово");
}

// A paste of 1 part in 100001 rounds to 0.00 at 10 g: starred, called unweighable at this
// amount, with the smallest batch that weighs it.
TEST_F(WeighDialogTest, StepThatRoundsToNothingIsMarked) {
    recipe_ = test::Recipe({{u"B1", 100000}, {u"P1", 1}});
    request_.amount = 10;
    std::wstring row, smallest;
    ASSERT_TRUE(Run({
        [&] {
            if (!Weighing()) return false;
            row = Row(1);
            smallest = Text(IDC_WEIGH_SMALLEST_TEXT);
            return true;
        },
        Press(IDC_WEIGH_CLOSE),
    }));
    EXPECT_EQ(row, L"Yel|0.00 *|10.00||ждёт");
    EXPECT_EQ(smallest, L"* меньше 10 делений весов; 0.00 г при этом количестве не взвесить\r\n"
                        L"Наименьшая партия: 9501 грамм");
}

TEST_F(WeighDialogTest, ResolutionAndTheSmallestBatch) {
    std::wstring atTenth;
    ASSERT_TRUE(Run({
        Shows(IDC_WEIGH_SMALLEST_TEXT, L"Наименьшая партия: 10 грамм"),
        [&] {
            HWND combo = GetDlgItem(Weighing(), IDC_WEIGH_RESOLUTION);
            SendMessageW(combo, CB_SETCURSEL, 1, 0);
            SendMessageW(Weighing(), WM_COMMAND, MAKEWPARAM(IDC_WEIGH_RESOLUTION, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(combo));
            atTenth = Text(IDC_WEIGH_SMALLEST_TEXT);
            return true;
        },
        Press(IDC_WEIGH_SMALLEST),
        Shows(IDC_WEIGH_AMOUNT, L"Количество: 104 грамм"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Основа: налейте до 100.00 г"),
        Press(IDC_WEIGH_CLOSE),
    }));
    EXPECT_EQ(atTenth, L"Наименьшая партия: 104 грамм");
    EXPECT_EQ(amountsSet_, std::vector<std::int32_t>{104});
    EXPECT_EQ(request_.resolution, kResolutionTenth);
}

// Tinting: red added after the base, refused grams said, its reading recorded, both taken
// back, red added again and the batch finished; the summary lists the addition under its
// heading and hands the batch to "Сохранить как рецепт...", and the journal keeps it marked.
// Yellow added after the end writes the batch again, and the journal window lists it once,
// as last written.
TEST_F(WeighDialogTest, PasteAddedTakenBackAndAddedAgain) {
    std::vector<BatchRecord> saved;
    request_.saveAsRecipe = [&](HWND, const BatchRecord& batch) { saved.push_back(batch); };
    SeenBox badGrams;
    bool closedBeforeReading = false;
    std::wstring withdrawn;
    std::vector<std::wstring> summary;
    ASSERT_TRUE(Run({
        [&] {
            // Nothing to tint before the first reading.
            closedBeforeReading = Weighing() && !IsWindowEnabled(GetDlgItem(Weighing(), IDC_WEIGH_ADD_PASTE));
            return Weighing() != nullptr;
        },
        Enter(L"480.77"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Yel: налейте до 495.19 г"),
        Press(IDC_WEIGH_ADD_PASTE),
        AddPaste(1, L"0"),
        AnswerBox(L"Ошибка", IDOK, badGrams),
        AddPaste(1, L"0,50"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Red (N): налейте до 481.27 г"),
        Shows(IDC_WEIGH_MESSAGE, L"Добавлена паста Red (N): 0.50 г."),
        Enter(L"481.27"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Yel: налейте до 495.69 г"),
        Press(IDC_WEIGH_UNDO),
        Shows(IDC_WEIGH_MESSAGE, L"Показание 481.27 г отменено."),
        Press(IDC_WEIGH_UNDO),
        Shows(IDC_WEIGH_MESSAGE, L"Добавление пасты Red (N) (0.50 г) отменено."),
        [&] {
            withdrawn = Text(IDC_WEIGH_INSTRUCTION) + L"|" + Row(1);
            return true;
        },
        Press(IDC_WEIGH_ADD_PASTE),
        AddPaste(1, L"0.3"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Red (N): налейте до 481.07 г"),
        Enter(L"481.07"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Yel: налейте до 495.49 г"),
        Enter(L"495.49"),
        Shows(IDC_WEIGH_INSTRUCTION, L"Red (N): налейте до 500.30 г"),
        Enter(L"500.30"),
        GiveNote(L""),
        Shows(IDC_WEIGH_MESSAGE, L"Замес записан в журнал."),
        [&] {
            for (int row = 0; row < 6; ++row) summary.push_back(SummaryRow(row));
            return true;
        },
        Press(IDC_WEIGH_SAVE_RECIPE),
        [&] { return saved.size() == 1; },
        Press(IDC_WEIGH_ADD_PASTE),
        AddPaste(0, L"0.2"),
        Shows(IDC_WEIGH_MESSAGE, L"Добавлена паста Yel: 0.20 г."),
        Enter(L"500.50"),
        Shows(IDC_WEIGH_MESSAGE, L"Замес записан в журнал."),
        Press(IDC_WEIGH_CLOSE),
    }));
    EXPECT_TRUE(closedBeforeReading);
    bool told = false;
    for (const std::wstring& text : badGrams.texts) told = told || text.rfind(L"Введите, сколько граммов пасты", 0) == 0;
    EXPECT_TRUE(told) << "grams of 0 are refused with a message";
    EXPECT_EQ(withdrawn, L"Yel: налейте до 495.19 г|Yel|14.42|495.19||ждёт");
    EXPECT_EQ(summary, (std::vector<std::wstring>{L"Основа|480.77|480.77|+0.00|+0.00", L"Yel|14.42|14.42|+0.00|+0.00",
                                                  L"Red (N)|4.81|4.81|+0.00|+0.00", L"Добавлено при подборе:||||",
                                                  L"Red (N)|0.30|0.30|+0.00|+0.00", L"Итого|500.30|500.30|+0.00|+0.00"}));

    WideString error;
    const auto journal = OpenJournal(request_.journalPath, error);
    ASSERT_TRUE(journal) << journal_;
    ASSERT_EQ(journal->Contents().BatchCount(), 2u);
    const BatchRecord batch = journal->Contents().Batch(0);
    EXPECT_EQ(batch.status, BatchStatus::Done);
    EXPECT_EQ(batch.components,
              (std::vector<BatchComponent>{{u"Основа", 48077, 48077, u"B1"}, {u"Yel", 1442, 1442, u"P1"},
                                           {u"Red (N)", 481, 481, u"P2"}, {u"Red (N)", 0, 30, u"P2", true}}));
    EXPECT_EQ(batch.finalTotal, 50030);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved.front(), batch);
    const BatchRecord again = journal->Contents().Batch(1);
    EXPECT_NE(batch.batchId, 0u);
    EXPECT_EQ(again.batchId, batch.batchId);
    EXPECT_EQ(again.components.back(), (BatchComponent{u"Yel", 0, 20, u"P1", true}));
    EXPECT_EQ(again.finalTotal, 50050);

    int listed = 0;
    std::wstring details;
    ModalDriver driver({[&] {
        HWND window = FindDialog(L"Журнал замесов");
        details = window ? WindowText(GetDlgItem(window, IDC_JOURNAL_DETAILS)) : L"";
        if (details.empty()) return false;
        listed = static_cast<int>(SendDlgItemMessageW(window, IDC_JOURNAL_LIST, LVM_GETITEMCOUNT, 0, 0));
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        return true;
    }});
    ShowJournal(owner_, catalogue_, [](const BatchRecord&) { return false; }, request_.journalPath);
    ASSERT_TRUE(driver.Finished());
    EXPECT_EQ(listed, 1);
    EXPECT_NE(details.find(L"Yel\t0.00\t0.20"), std::wstring::npos) << details;
    EXPECT_NE(details.find(L"Итого: 500.50 г"), std::wstring::npos) << details;
}

}  // namespace
}  // namespace lacqueron::testing
