// The journal window inside this process, over a journal file in a temporary folder:
// typing filters the list, the details follow the selection, the export is read back,
// "Повторить" sets the main dialog as the painter would, and a damaged journal opens
// with what was read, says so once and keeps its file as it was. With prices, each
// batch's cost is listed and exported, and the totals follow a range of dates.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/JournalAccess.h"
#include "files/LedgerAccess.h"
#include "formula/RecipeText.h"
#include "res/resource.h"
#include "tests/ui/shared/ModalDriver.h"
#include "tests/support/SampleBatch.h"
#include "tests/ui/shared/DialogHarness.h"
#include "ui/journal/JournalDialog.h"
#include "win32/Handles.h"

namespace lacqueron::testing {
namespace {

constexpr wchar_t kJournalCaption[] = L"Журнал замесов";

BatchRecord Batch(std::uint32_t number, const char16_t* code, std::uint32_t purpose, std::uint32_t unit,
                  std::int32_t amount, const char16_t* note) {
    BatchRecord batch = test::SampleBatch(number);
    batch.colourCode = code;
    batch.colourName = u"";
    batch.purpose = purpose;
    batch.weightType = unit;
    batch.amount = amount;
    batch.note = note;
    return batch;
}

// The harness's catalogue with one colour coded as a lab's package may code it: without
// "RAL", unlike its recipe's title. A batch keeps the colour's code.
TestCatalogue LabCodedCatalogue() {
    TestCatalogue catalogue = PaintCatalogue();
    catalogue.colours =
        "RAL 1000\t200-30-40\tx\tGreen beige\r\n"
        "3020\t20-180-60\tx\tTraffic red\r\n"
        "RAL 5005\t10-40-220\tx\tSignal blue\r\n";
    return catalogue;
}

class JournalWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = std::wstring(temp) + L"lacqueron-journal-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        journal_ = FromWinText((folder_ + L"journal.lqj").c_str());
    }
    void TearDown() override {
        for (const std::wstring& name : FolderFiles()) DeleteFileW((folder_ + name).c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::vector<std::wstring> FolderFiles() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        const FindHandle search = AdoptFindHandle(FindFirstFileW((folder_ + L"*").c_str(), &found));
        if (!search) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (FindNextFileW(search.get(), &found));
        return names;
    }

    std::string ReadFile(const std::wstring& path) const {
        std::ifstream in(std::filesystem::path(path), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    static int ItemCount(HWND dialog) {
        return static_cast<int>(SendMessageW(GetDlgItem(dialog, IDC_JOURNAL_LIST), LVM_GETITEMCOUNT, 0, 0));
    }
    static std::wstring Cell(HWND dialog, int item, int column) {
        wchar_t text[128] = {};
        LVITEMW request{};
        request.iSubItem = column;
        request.pszText = text;
        request.cchTextMax = 128;
        SendMessageW(GetDlgItem(dialog, IDC_JOURNAL_LIST), LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                     reinterpret_cast<LPARAM>(&request));
        return text;
    }

    // Sets a date field as the painter's pick does, and tells the window so.
    static void PickDate(HWND dialog, int id, WORD day) {
        NMDATETIMECHANGE change{};
        change.nmhdr = {GetDlgItem(dialog, id), static_cast<UINT_PTR>(id), DTN_DATETIMECHANGE};
        change.dwFlags = GDT_VALID;
        change.st = {2026, 12, 0, day};
        SendMessageW(change.nmhdr.hwndFrom, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&change.st));
        SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&change));
    }

    std::wstring folder_;
    WideString journal_;
};

TEST_F(JournalWindowTest, FiltersExportsAndRepeatsIntoTheMainDialog) {
    // Tinted: red added while pouring, kept first here, is listed after the recipe's own components.
    BatchRecord tinted = Batch(1, u"RAL 1000", 1, 1, 100, u"Иванов, Нива");
    tinted.components.insert(tinted.components.begin(), {u"Паста красная", 0, 150, u"RED", true});
    for (const BatchRecord& batch : {tinted, Batch(2, u"3020", 4, 1, 300, u"заказ 17"),
                                     Batch(3, u"RAL 5005", 1, 2, 50, u"")})
        ASSERT_EQ(AppendBatchToJournal(batch, journal_), u"");
    const std::wstring csv = folder_ + L"Журнал.csv";

    DialogUnderTest ui(LabCodedCatalogue());
    int listed = 0, filtered = 0;
    std::wstring newestCode, filteredCode, details;
    ModalDriver driver(
        {
            [&] {
                HWND journal = FindDialog(kJournalCaption);
                if (!journal) return false;
                listed = ItemCount(journal);
                newestCode = Cell(journal, 0, 1);
                SetWindowPos(journal, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
                RedrawWindow(journal, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                // Typed, as the painter types: the list follows every key.
                HWND field = GetDlgItem(journal, IDC_JOURNAL_SEARCH);
                for (const wchar_t* c = L"ИВАН"; *c; ++c) PostMessageW(field, WM_CHAR, *c, 1);
                return true;
            },
            [&] {
                HWND journal = FindDialog(kJournalCaption);
                if (ItemCount(journal) != 1) return false;
                filtered = ItemCount(journal);
                filteredCode = Cell(journal, 0, 1);
                details = WindowText(GetDlgItem(journal, IDC_JOURNAL_DETAILS));
                PostMessageW(GetDlgItem(journal, IDC_JOURNAL_EXPORT), BM_CLICK, 0, 0);
                return true;
            },
            [&] {
                HWND save = FindOwnedWindow(FindDialog(kJournalCaption));
                if (!save) return false;
                ChooseFileName(save, csv);
                return true;
            },
            [&] {
                HWND journal = FindDialog(kJournalCaption);
                if (FindOwnedWindow(journal) || GetFileAttributesW(csv.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
                SetDlgItemTextW(journal, IDC_JOURNAL_SEARCH, L"3020");
                PostMessageW(GetDlgItem(journal, IDC_JOURNAL_REPEAT), BM_CLICK, 0, 0);
                return true;
            },
        },
        20000);
    ShowJournal(ui.Window(), ui.Dialog().GetCatalogue(),
                [&](const BatchRecord& batch) { return ui.Dialog().RepeatBatch(batch); }, journal_);
    ASSERT_TRUE(driver.Finished());

    EXPECT_EQ(listed, 3);
    EXPECT_EQ(newestCode, L"RAL 5005");
    EXPECT_EQ(filtered, 1);
    EXPECT_EQ(filteredCode, L"RAL 1000");
    EXPECT_NE(details.find(L"Примечание: Иванов, Нива"), std::wstring::npos) << details;
    EXPECT_NE(details.find(L"Красный оксид\t18.00\t18.30\r\nЧёрный\t7.00\t7.00\r\n"
                           L"Добавлено при подборе:\r\nПаста красная\t0.00\t1.50\r\n"),
              std::wstring::npos)
        << details;

    // The export holds the listed batch, one row per component, and nothing was left beside it.
    const std::string table = ReadFile(csv);
    ASSERT_EQ(table.rfind("\xEF\xBB\xBF", 0), 0u);
    std::vector<std::string> rows;
    for (std::size_t start = 3, end; start < table.size(); start = end + 2) {
        end = table.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        rows.push_back(table.substr(start, end - start));
    }
    ASSERT_EQ(rows.size(), 1 + tinted.components.size());
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_NE(rows[i].find(";RAL 1000;"), std::string::npos) << rows[i];
    EXPECT_EQ(FolderFiles().size(), 2u);

    // Repeated: the colour found by its code, purpose, unit and amount, and the recipe computed from them.
    const Catalogue& catalogue = ui.Dialog().GetCatalogue();
    EXPECT_EQ(ui.Text(IDC_COLOUR_CODE), u"Код: 3020");  // the colour's code, as the package writes it
    EXPECT_EQ(ui.Dialog().Values().purpose, 4u);
    EXPECT_EQ(ui.Dialog().Values().weightType, 1u);
    EXPECT_EQ(ui.Dialog().Values().targetWeight, 300);
    EXPECT_EQ(ui.Text(IDC_AMOUNT), u"300");
    EXPECT_EQ(ui.Text(IDC_RECIPE), ComputeRecipeText(catalogue, &catalogue.recipes[1], 4, 1, 300));
}

TEST_F(JournalWindowTest, ADamagedJournalOpensWithWhatWasReadAndStaysAsItWas) {
    ASSERT_EQ(AppendBatchToJournal(test::SampleBatch(1), journal_), u"");
    {
        std::ofstream damage(std::filesystem::path(folder_ + L"journal.lqj"), std::ios::binary | std::ios::app);
        damage << "LQBR\x10garbage";  // a record cut short
    }
    ASSERT_EQ(AppendBatchToJournal(test::SampleBatch(2), journal_), u"");
    const std::string before = ReadFile(folder_ + L"journal.lqj");

    DialogUnderTest ui(PaintCatalogue());
    SeenBox box;
    int listed = 0;
    ModalDriver driver({
        AnswerBox(L"Внимание", IDOK, box),
        [&] {
            HWND journal = FindDialog(kJournalCaption);
            if (!journal) return false;
            listed = ItemCount(journal);
            PostMessageW(journal, WM_COMMAND, IDCANCEL, 0);
            return true;
        },
    });
    ShowJournal(ui.Window(), ui.Dialog().GetCatalogue(), [](const BatchRecord&) { return false; }, journal_);
    ASSERT_TRUE(driver.Finished());
    EXPECT_EQ(listed, 2);
    bool told = false;
    for (const std::wstring& text : box.texts) told = told || text.find(L"Прочитано замесов: 2") != std::wstring::npos;
    EXPECT_TRUE(told);
    EXPECT_EQ(ReadFile(folder_ + L"journal.lqj"), before);
}

// A batch of the first purpose's base and a paste on the sample's day and the two after.
BatchRecord PricedBatch(std::uint32_t day, Hundredths base, const char16_t* paste, Hundredths planned,
                        Hundredths poured) {
    BatchRecord batch = Batch(day, u"RAL 1000", 1, 1, 100, u"");
    batch.time.utcSeconds = test::kSampleEpoch + day * std::int64_t{24 * 60 * 60};
    batch.components = {{u"First base", base, base, u"B1"}, {u"Yel", planned, poured, paste}};
    batch.corrections.clear();
    batch.finalTotal = base + poured;
    return batch;
}

TEST_F(JournalWindowTest, CostsEachBatchAndTotalsARangeOfDates) {
    // 07.12.2026: 100 g of base and 11 g of yellow, 1 g over; 08.12: 200 g and 20 g; 09.12 a
    // paste without a price.
    for (const BatchRecord& batch : {PricedBatch(0, 10000, u"P1", 1000, 1100), PricedBatch(1, 20000, u"P1", 2000, 2000),
                                     PricedBatch(2, 5000, u"P2", 500, 500)})
        ASSERT_EQ(AppendBatchToJournal(batch, journal_), u"");
    // A kilogram of base 100.00 ₽, of yellow 1 000.00 ₽.
    WideString error;
    const std::unique_ptr<LedgerStore> ledger = OpenLedger(FromWinText((folder_ + L"ledger.lqs").c_str()), error);
    ASSERT_TRUE(ledger);
    ASSERT_EQ(ledger->AddPrices({{u"B1/B1", 10000, std::nullopt, {}}, {u"P1", 100000, std::nullopt, {}}}),
              JournalAppendResult::Appended);
    const std::wstring csv = folder_ + L"Журнал.csv";

    DialogUnderTest ui(PaintCatalogue());
    LedgerContext prices;
    prices.catalogue = &ui.Dialog().GetCatalogue();
    prices.ledger = ledger.get();
    std::vector<std::wstring> costs;
    std::wstring allTotals, rangeTotals;
    int inRange = 0;
    ModalDriver driver({
        [&] {
            HWND journal = FindDialog(kJournalCaption);
            if (!journal) return false;
            for (int item = 0; item < ItemCount(journal); ++item) costs.push_back(Cell(journal, item, 4));
            allTotals = WindowText(GetDlgItem(journal, IDC_JOURNAL_TOTALS));
            PickDate(journal, IDC_JOURNAL_FROM, 7);
            PickDate(journal, IDC_JOURNAL_TO, 8);
            inRange = ItemCount(journal);
            rangeTotals = WindowText(GetDlgItem(journal, IDC_JOURNAL_TOTALS));
            PostMessageW(GetDlgItem(journal, IDC_JOURNAL_EXPORT), BM_CLICK, 0, 0);
            return true;
        },
        [&] {
            HWND save = FindOwnedWindow(FindDialog(kJournalCaption));
            if (!save) return false;
            ChooseFileName(save, csv);
            return true;
        },
        [&] {
            HWND journal = FindDialog(kJournalCaption);
            if (FindOwnedWindow(journal) || GetFileAttributesW(csv.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
            PostMessageW(journal, WM_COMMAND, IDCANCEL, 0);
            return true;
        },
    });
    ShowJournal(ui.Window(), ui.Dialog().GetCatalogue(), [](const BatchRecord&) { return false; }, journal_, {},
                &prices);
    ASSERT_TRUE(driver.Finished());

    // Newest first: no price for the red paste, then 20.00 + 20.00, then 10.00 + 11.00.
    EXPECT_EQ(costs, (std::vector<std::wstring>{L"", L"40.00", L"21.00"}));
    EXPECT_EQ(allTotals, L"Замесов: 3   Вес: 0.39 кг   Стоимость: 61.00 ₽   Перелив: 1.00 ₽   Без цены: 1");
    EXPECT_EQ(inRange, 2);
    EXPECT_EQ(rangeTotals, L"Замесов: 2   Вес: 0.33 кг   Стоимость: 61.00 ₽   Перелив: 1.00 ₽");

    // The export: the cost last, with a decimal comma, on each component's row of the batches in range.
    const std::string table = ReadFile(csv);
    std::vector<std::string> rows;
    for (std::size_t start = 3, end; start < table.size(); start = end + 2) {
        end = table.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        rows.push_back(table.substr(start, end - start));
    }
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_TRUE(rows[0].ends_with(";Налито, г;Стоимость, ₽")) << rows[0];
    for (const std::size_t row : {1u, 2u}) EXPECT_TRUE(rows[row].ends_with(";40,00")) << rows[row];
    for (const std::size_t row : {3u, 4u}) EXPECT_TRUE(rows[row].ends_with(";21,00")) << rows[row];
}

}  // namespace
}  // namespace lacqueron::testing
