// The prices and stock windows inside this process, over a ledger in a temporary data
// folder and the shipped package: two prices set in the prices window (one of them
// twice, so its history lists both, the other again from a later day, which the list
// marks beside today's), a price table with a bad row refused whole with
// the row named, then a delivery in kilograms, a count and a minimum recorded in the
// stock window; the figures read back from the window and the records from the file.
// Both windows' pictures go to LACQUERON_SHOTS when it is set.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Utf8.h"
#include "data/catalogue/DataPackage.h"
#include "files/DataFolder.h"
#include "files/FileReplace.h"
#include "files/JournalAccess.h"
#include "files/LedgerAccess.h"
#include "files/Win32JournalFile.h"
#include "ledger/Costing.h"
#include "ledger/LedgerDay.h"
#include "res/resource.h"
#include "tests/ui/shared/DialogHarness.h"
#include "tests/ui/shared/ModalDriver.h"
#include "tests/ui/shared/WindowReading.h"
#include "ui/ledger/LedgerWindows.h"
#include "ui/main/MainDialog.h"

namespace lacqueron::testing {
namespace {

constexpr int kPriceColumn = 2;
constexpr int kFromColumn = 3;
constexpr int kOnHandColumn = 2;
constexpr int kMinimumColumn = 5;
constexpr int kKilogramItem = 1;
constexpr Hundredths kDelivered = 250000;  // 2,5 kg
constexpr Hundredths kCounted = 240000;
constexpr Hundredths kMinimum = 300000;

std::wstring Wide(const WideString& text) { return WinText(text); }

void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// A step that types the fields of the dialog with the caption and presses its OK.
ModalDriver::Step Fill(const wchar_t* caption, std::vector<std::pair<int, std::wstring>> fields, int unitItem = -1) {
    return [=] {
        HWND dialog = FindDialog(caption);
        if (!dialog) return false;
        for (const auto& [id, text] : fields) SetDlgItemTextW(dialog, id, text.c_str());
        if (unitItem >= 0) SendDlgItemMessageW(dialog, IDC_STOCK_ENTRY_UNIT, CB_SETCURSEL, unitItem, 0);
        Click(dialog, IDOK);
        return true;
    };
}

class LedgerWindowsTest : public ::testing::Test {
protected:
    static constexpr ULONGLONG kReleaseMs = 10000;
    static constexpr DWORD kReleasePollMs = 20;
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = std::wstring(temp) + L"lacqueron-ledger-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        // The stock window reads the journal of the data folder in force.
        before_ = DataFolderPath();
        ASSERT_TRUE(StoreDataFolder(FromWinText(folder_.c_str())));
        ASSERT_EQ(Wide(LedgerPath()), folder_ + L"ledger.lqs");
        WideString error;
        ledger_ = OpenLedger(LedgerPath(), error);
        ASSERT_TRUE(ledger_) << Wide(error);
    }
    void TearDown() override {
        ledger_.reset();
        StoreDataFolder(before_ == LocalDataFolder() ? WideString() : before_);
        // The main window's folder worker ends on its own after the window: the ledger it
        // opened may stay open a moment longer, and the next test must not find it.
        const ULONGLONG deadline = GetTickCount64() + kReleaseMs;
        for (const wchar_t* name : {L"ledger.lqs", L"journal.lqj", L"prices.csv"}) {
            const std::wstring path = folder_ + name;
            while (!DeleteFileW(path.c_str()) && GetLastError() == ERROR_SHARING_VIOLATION && GetTickCount64() < deadline)
                Sleep(kReleasePollMs);
        }
        RemoveDirectoryW((folder_ + L"journal.lqj").c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring folder_;
    WideString before_;
    std::unique_ptr<LedgerStore> ledger_;
};

TEST_F(LedgerWindowsTest, SetsPricesRefusesABadTableAndRecordsADeliveryACountAndAMinimum) {
    MainDialog main(TestModule(), ShippedPackage());
    ASSERT_NE(main.Create(), nullptr);
    const Catalogue& catalogue = main.GetCatalogue();
    const std::vector<LedgerComponent> components = LedgerComponents(catalogue);
    ASSERT_GE(components.size(), 2u);
    const LedgerComponent& first = components[0];
    const LedgerComponent& second = components[1];

    int changes = 0;
    LedgerContext context;
    context.catalogue = &catalogue;
    context.ledger = ledger_.get();
    context.changed = [&] { ++changes; };

    // A table whose second price is not a number: nothing of it may be written.
    const std::wstring csv = folder_ + L"prices.csv";
    ASSERT_TRUE(ReplaceFileContents(
        FromWinText(csv.c_str()),
        "\xEF\xBB\xBF" + ToUtf8(u"Код;Компонент;Цена за кг, ₽;Действует с\r\n" + first.key + u";" + first.name +
                                 u";1400,00;01.02.2026\r\n" + second.key + u";" + second.name + u";сто;\r\n")));

    HWND prices = nullptr;
    const auto pricesIdle = [&] { return prices && IsWindowEnabled(prices) && !FindDialog(L"Цена"); };
    const auto editRow = [&](int item) {
        SelectListRow(prices, IDC_PRICES_LIST, item);
        Click(prices, IDC_PRICES_EDIT);
    };
    std::wstring firstPrice, secondPrice, firstFrom;
    constexpr DayNumber kDaysAhead = 10;
    const DayNumber later = LocalDay(CurrentBatchTime()) + kDaysAhead;
    std::vector<std::wstring> history;
    SeenBox badTable;
    std::size_t pricesAfterImport = 0;
    ModalDriver pricing(
        {
            [&] {
                if (!(prices = FindDialog(L"Цены"))) return false;
                editRow(0);
                return true;
            },
            Fill(L"Цена", {{IDC_PRICE_VALUE, L"1250,50"}, {IDC_PRICE_FROM, L""}}),
            [&] {
                if (!pricesIdle() || ListCell(prices, IDC_PRICES_LIST, 0, kPriceColumn) != L"1 250.50") return false;
                editRow(0);
                return true;
            },
            Fill(L"Цена", {{IDC_PRICE_VALUE, L"1300"}, {IDC_PRICE_FROM, L"01.01.2026"}}),
            [&] {
                if (!pricesIdle() || ListCell(prices, IDC_PRICES_LIST, 0, kPriceColumn) != L"1 300.00") return false;
                editRow(1);
                return true;
            },
            Fill(L"Цена", {{IDC_PRICE_VALUE, L"99.9"}, {IDC_PRICE_FROM, L""}}),
            [&] {
                if (!pricesIdle() || ListCell(prices, IDC_PRICES_LIST, 1, kPriceColumn).empty()) return false;
                editRow(1);
                return true;
            },
            // A price from a later day: today's stays in the list, the later one marked.
            Fill(L"Цена", {{IDC_PRICE_VALUE, L"120"}, {IDC_PRICE_FROM, Wide(FormatDay(later))}}),
            [&] {
                if (!pricesIdle() || ListCell(prices, IDC_PRICES_LIST, 1, kFromColumn) == L"всегда") return false;
                firstPrice = ListCell(prices, IDC_PRICES_LIST, 0, kPriceColumn);
                firstFrom = ListCell(prices, IDC_PRICES_LIST, 0, kFromColumn);
                secondPrice = ListCell(prices, IDC_PRICES_LIST, 1, kPriceColumn) + L" " +
                              ListCell(prices, IDC_PRICES_LIST, 1, kFromColumn);
                SelectListRow(prices, IDC_PRICES_LIST, 0);
                Click(prices, IDC_PRICES_HISTORY);
                return true;
            },
            [&] {
                HWND open = FindDialog(Wide(u"История цены " + first.key).c_str());
                if (!open) return false;
                for (int item = 0; item < ListItemCount(open, IDC_PRICE_HISTORY_LIST); ++item)
                    history.push_back(ListCell(open, IDC_PRICE_HISTORY_LIST, item, 1) + L" " +
                                      ListCell(open, IDC_PRICE_HISTORY_LIST, item, 2));
                PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
                return true;
            },
            [&] {
                if (!pricesIdle() || FindDialog(Wide(u"История цены " + first.key).c_str())) return false;
                SaveShotIfAsked(L"prices-window", prices);
                Click(prices, IDC_PRICES_IMPORT);
                return true;
            },
            [&] {
                HWND open = FindOwnedWindow(prices);
                if (!open) return false;
                ChooseFileName(open, csv);
                return true;
            },
            AnswerBox(L"Ошибка", IDOK, badTable),
            [&] {
                if (!pricesIdle()) return false;
                pricesAfterImport = ledger_->Prices().size();
                PostMessageW(prices, WM_COMMAND, IDCANCEL, 0);
                return true;
            },
        },
        30000);
    ShowPrices(main.Window(), context);
    ASSERT_TRUE(pricing.Finished());

    EXPECT_EQ(firstPrice, L"1 300.00");
    EXPECT_EQ(firstFrom, L"01.01.2026");
    EXPECT_EQ(secondPrice, L"99.90 всегда; с " + Wide(FormatDay(later)) + L": 120.00");
    EXPECT_EQ(history, (std::vector<std::wstring>{L"1 300.00 01.01.2026", L"1 250.50 всегда"}));
    bool named = false;
    for (const std::wstring& text : badTable.texts)
        named = named ||
                text == L"Строка 3: цена «сто» не число с двумя знаками после запятой. Ничего не импортировано.";
    EXPECT_TRUE(named) << (badTable.texts.empty() ? std::wstring() : badTable.texts.back());
    EXPECT_EQ(pricesAfterImport, 4u);

    HWND stock = nullptr;
    const auto stockShows = [&](int column, const wchar_t* text) {
        return stock && IsWindowEnabled(stock) && ListCell(stock, IDC_STOCK_LIST, 0, column) == text;
    };
    std::wstring listedKey, booked;
    ModalDriver stocking(
        {
            [&] {
                if (!(stock = FindDialog(L"Остатки"))) return false;
                listedKey = ListCell(stock, IDC_STOCK_LIST, 0, 0);
                SelectListRow(stock, IDC_STOCK_LIST, 0);
                Click(stock, IDC_STOCK_RECEIPT);
                return true;
            },
            Fill(L"Приход", {{IDC_STOCK_ENTRY_AMOUNT, L"2,5"}, {IDC_STOCK_ENTRY_NOTE, L"Поставка 17"}}, kKilogramItem),
            [&] {
                if (!stockShows(kOnHandColumn, L"2500.00")) return false;
                Click(stock, IDC_STOCK_COUNT);
                return true;
            },
            [&] {
                HWND open = FindDialog(L"Инвентаризация");
                if (!open) return false;
                booked = WindowText(GetDlgItem(open, IDC_STOCK_ENTRY_BOOKED));
                SetDlgItemTextW(open, IDC_STOCK_ENTRY_AMOUNT, L"2400");
                Click(open, IDOK);
                return true;
            },
            [&] {
                if (!stockShows(kOnHandColumn, L"2400.00")) return false;
                Click(stock, IDC_STOCK_MINIMUM);
                return true;
            },
            Fill(L"Минимум", {{IDC_STOCK_ENTRY_AMOUNT, L"3"}}, kKilogramItem),
            [&] {
                if (!stockShows(kMinimumColumn, L"3000.00")) return false;
                // The row below its minimum not selected, so its colour shows.
                SelectListRow(stock, IDC_STOCK_LIST, 1);
                SaveShotIfAsked(L"stock-window", stock);
                PostMessageW(stock, WM_COMMAND, IDCANCEL, 0);
                return true;
            },
        },
        30000);
    ShowStock(main.Window(), context);
    const DayNumber today = LocalDay(CurrentBatchTime());
    ASSERT_TRUE(stocking.Finished());
    EXPECT_EQ(listedKey, Wide(first.key));
    EXPECT_EQ(booked, L"по учёту 2500.00 г");
    EXPECT_EQ(changes, 7);  // four prices, a delivery, a count and a minimum

    // Read back from the file: every record as the windows wrote it.
    ledger_.reset();
    WideString error;
    ledger_ = OpenLedger(LedgerPath(), error);
    ASSERT_TRUE(ledger_) << Wide(error);
    const std::vector<PriceRecord>& written = ledger_->Prices();
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0].key, first.key);
    EXPECT_EQ(written[0].perKilogram, 125050);
    EXPECT_FALSE(written[0].from);
    EXPECT_EQ(written[1].perKilogram, 130000);
    EXPECT_EQ(written[1].from, DayOfDate(2026, 1, 1));
    EXPECT_EQ(written[2].key, second.key);
    EXPECT_EQ(written[2].perKilogram, 9990);
    EXPECT_EQ(written[3].perKilogram, 12000);
    EXPECT_EQ(written[3].from, later);
    ASSERT_EQ(ledger_->Receipts().size(), 1u);
    const ReceiptRecord& receipt = ledger_->Receipts().front();
    EXPECT_EQ(receipt.key, first.key);
    EXPECT_EQ(receipt.grams, kDelivered);
    EXPECT_EQ(receipt.day, today);
    EXPECT_EQ(receipt.note, u"Поставка 17");
    ASSERT_EQ(ledger_->Counts().size(), 1u);
    EXPECT_EQ(ledger_->Counts().front().counted, kCounted);
    EXPECT_EQ(ledger_->Counts().front().correction, kCounted - kDelivered);
    ASSERT_EQ(ledger_->Minimums().size(), 1u);
    EXPECT_EQ(ledger_->Minimums().front().grams, kMinimum);
    main.DestroyWindowIfAny();
}

// A journal that cannot be read: the stock window says its figures lack the batches, and
// "Инвентаризация..." refuses, saying why, with nothing written.
TEST_F(LedgerWindowsTest, ACountIsRefusedWhileTheJournalCannotBeRead) {
    MainDialog main(TestModule(), ShippedPackage());
    ASSERT_NE(main.Create(), nullptr);
    // A folder where the journal should be: it cannot be opened.
    ASSERT_TRUE(CreateDirectoryW(WinText(JournalPath()), nullptr));
    LedgerContext context;
    context.catalogue = &main.GetCatalogue();
    context.ledger = ledger_.get();

    HWND stock = nullptr;
    std::wstring state;
    SeenBox refused;
    ModalDriver stocking(
        {
            [&] {
                if (!(stock = FindDialog(L"Остатки"))) return false;
                state = WindowText(GetDlgItem(stock, IDC_STOCK_STATE));
                SelectListRow(stock, IDC_STOCK_LIST, 0);
                Click(stock, IDC_STOCK_COUNT);
                return true;
            },
            AnswerBox(L"Ошибка", IDOK, refused),
            [&] {
                if (!IsWindowEnabled(stock) || FindDialog(L"Инвентаризация")) return false;
                PostMessageW(stock, WM_COMMAND, IDCANCEL, 0);
                return true;
            },
        },
        30000);
    ShowStock(main.Window(), context);
    ASSERT_TRUE(stocking.Finished());
    EXPECT_NE(state.find(L"Расход не учтён, остатки без замесов: "), std::wstring::npos) << state;
    bool told = false;
    for (const std::wstring& text : refused.texts)
        told = told || text.rfind(L"Инвентаризация невозможна: журнал замесов не читается", 0) == 0;
    EXPECT_TRUE(told) << (refused.texts.empty() ? std::wstring() : refused.texts.back());
    ledger_->Refresh();
    EXPECT_TRUE(ledger_->Counts().empty());
    main.DestroyWindowIfAny();
}

}  // namespace
}  // namespace lacqueron::testing
