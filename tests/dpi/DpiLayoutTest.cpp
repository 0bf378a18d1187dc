// The dialogs at the DPI the test script set in Wine's registry before starting this
// process (LACQUERON_DPI): each dialog's screenshot goes to LACQUERON_DPI_SHOTS as
// <name>-<dpi>.bmp, no text is cut off and no controls overlap; the colour areas and
// the icons have the size of the DPI. A new dialog joins by a row in kDialogs.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "colour/ShippedOptics.h"
#include "core/Utf8.h"
#include "data/catalogue/DataPackage.h"
#include "files/JournalAccess.h"
#include "files/OpticsAccess.h"
#include "res/resource.h"
#include "tests/support/SampleBatch.h"
#include "tests/support/SampleLadder.h"
#include "tests/ui/shared/ModalDriver.h"
#include "tests/dpi/LayoutCheck.h"
#include "tests/ui-driver/Screenshot.h"
#include "tests/ui/shared/DialogHarness.h"
#include "ui/about/AboutDialog.h"
#include "ui/calibration/CalibrationDialog.h"
#include "ui/journal/JournalDialog.h"
#include "ui/ledger/LedgerWindows.h"
#include "ui/password/PasswordDialog.h"
#include "ui/recipes/OwnRecipeWindows.h"
#include "ui/shared/ComboBox.h"
#include "ui/shared/Dpi.h"
#include "ui/weigh/BatchNoteDialog.h"
#include "ui/weigh/MeasureDialog.h"

namespace lacqueron::testing {
namespace {

// What the main dialog shows in the screenshots: a colour, a purpose and an amount.
constexpr char16_t kShownTitle[] = u"RAL 3020";
constexpr int kShownPurposeIndex = 3;
constexpr wchar_t kShownAmount[] = L"500";
// Sizes at another DPI may differ from the exact ratio by rounding of dialog units and fonts.
constexpr double kScaleTolerance = 0.12;

UINT AskedDpi() {
    const char* value = std::getenv("LACQUERON_DPI");
    return value ? static_cast<UINT>(std::atoi(value)) : kDesignDpi;
}

std::wstring ShotsFolder() {
    const wchar_t* value = _wgetenv(L"LACQUERON_DPI_SHOTS");
    return value ? value : L".";
}

std::wstring ShotsFile(const std::string& name, const char* extension) {
    const std::string file = name + "-" + std::to_string(AskedDpi()) + extension;
    return ShotsFolder() + L"\\" + std::wstring(file.begin(), file.end());
}

// The catalogue's row of the colour titled so; the number of rows when there is none.
std::size_t RowOfTitle(const Catalogue& catalogue, const char16_t* title) {
    std::size_t row = 0;
    while (row < catalogue.recipes.size() && catalogue.recipes[row].title != title) ++row;
    return row;
}

// The main dialog with the shipped catalogue, shown with a colour chosen and its recipe.
class ShownMainDialog {
public:
    ShownMainDialog() : dialog_(TestModule(), ShippedPackage()) {
        EXPECT_NE(dialog_.Create(), nullptr);
        SetWindowPos(Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(Window(), SW_SHOWNORMAL);
        SelectTitle(kShownTitle);
        HWND purpose = Control(IDC_PURPOSE);
        SendMessageW(purpose, CB_SETCURSEL, kShownPurposeIndex, 0);
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDC_PURPOSE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(purpose));
        SetDlgItemTextW(Window(), IDC_AMOUNT, kShownAmount);
        UpdateWindow(Window());
        PumpPending();
    }
    ~ShownMainDialog() {
        dialog_.DestroyWindowIfAny();
        PumpPending();
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    ShownMainDialog(const ShownMainDialog&) = delete;
    ShownMainDialog& operator=(const ShownMainDialog&) = delete;

    HWND Window() const { return dialog_.Window(); }
    HWND Control(int id) const { return GetDlgItem(Window(), id); }
    const Catalogue& GetCatalogue() const { return dialog_.GetCatalogue(); }

private:
    void SelectTitle(const char16_t* title) {
        const int row = static_cast<int>(RowOfTitle(GetCatalogue(), title));
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(Control(IDC_PAINT_LIST), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
        SendMessageW(Control(IDC_PAINT_LIST), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    }

    MainDialog dialog_;
};

// The main dialog's button or menu command, as a click or its shortcut gives it.
void Command(const ShownMainDialog& main, int id) {
    SendMessageW(main.Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

struct Inspection {
    bool seen = false;
    bool saved = false;
    std::vector<std::string> cutOff;
    std::vector<std::string> overlaps;
};

// The journal window over a journal of one batch in the temporary folder.
void ShowSampleJournal(const ShownMainDialog& main) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"lacqueron-dpi-journal.lqj";
    DeleteFileW(path.c_str());
    const WideString journal = FromWinText(path.c_str());
    EXPECT_EQ(AppendBatchToJournal(test::SampleBatch(1), journal), u"");
    ShowJournal(main.Window(), main.GetCatalogue(), {}, journal);
    DeleteFileW(path.c_str());
}

// The own recipes' manager with no store: it says why.
OwnRecipeContext NoStoreContext(const ShownMainDialog& main) {
    OwnRecipeContext context;
    context.catalogue = &main.GetCatalogue();
    context.storeError = u"Папка данных недоступна.";
    context.purpose = 1;
    context.weightType = 1;
    context.amount = 500;
    return context;
}

// With the buttons the program's manager shows.
void ShowOwnRecipes(const ShownMainDialog& main) {
    OwnRecipeContext context = NoStoreContext(main);
    context.match = [](HWND) {};
    context.calibrate = [](HWND) {};
    ShowOwnRecipeManager(main.Window(), context);
}

// The ledger's windows with no ledger: they say why, the prices list the package's
// components all the same.
void ShowLedgerWindow(const ShownMainDialog& main, void (*show)(HWND, LedgerContext&)) {
    LedgerContext context;
    context.catalogue = &main.GetCatalogue();
    context.ledgerError = u"Папка данных недоступна.";
    show(main.Window(), context);
}

// The editor over a copy of the colour the main dialog shows, previewed for the main
// dialog's purpose, unit and amount: the preview holds the main dialog's recipe text.
void EditShownColour(const ShownMainDialog& main) {
    OwnRecipeContext context = NoStoreContext(main);
    context.purpose = SelectedComboData(main.Control(IDC_PURPOSE)).value_or(context.purpose);
    context.weightType = SelectedComboData(main.Control(IDC_UNIT)).value_or(context.weightType);
    const Catalogue& catalogue = main.GetCatalogue();
    const std::size_t row = RowOfTitle(catalogue, kShownTitle);
    ASSERT_LT(row, catalogue.recipes.size()) << "the shown colour is not in the catalogue";
    const ColourRecipe& recipe = catalogue.recipes[row];
    OwnRecipeId id = 0;
    EditOwnRecipe(main.Window(), context, id, CopyOfCatalogueRecipe(recipe, catalogue.findColour(recipe.number)));
}

constexpr wchar_t kWeighCaption[] = L"Взвешивание";
// The shown recipe's steps at 500 g end at 446.42, 446.47, 464.73 and 500.00 g; the
// scale reads to 0.01 g.
constexpr const wchar_t* kOverPouredReadings[] = {L"446.42", L"446.47", L"465.50"};
constexpr const wchar_t* kFinishingReadings[] = {L"446.50", L"446.55", L"464.80", L"500.08"};

HWND WeighControl(int id) {
    HWND weigh = FindDialog(kWeighCaption);
    return weigh && IsWindowEnabled(weigh) ? GetDlgItem(weigh, id) : nullptr;
}

// Each reading typed into the empty field and recorded, as Enter does.
std::vector<ModalDriver::Step> Record(const wchar_t* const* readings, std::size_t count) {
    std::vector<ModalDriver::Step> steps;
    for (std::size_t i = 0; i < count; ++i) {
        steps.push_back([reading = readings[i]] {
            HWND field = WeighControl(IDC_WEIGH_READING);
            if (!field || !IsWindowEnabled(field) || GetWindowTextLengthW(field) > 0) return false;
            SetWindowTextW(field, reading);
            PostMessageW(GetParent(field), WM_COMMAND, MAKEWPARAM(IDC_WEIGH_RECORD, BN_CLICKED), 0);
            return true;
        });
    }
    return steps;
}

// The last step over-poured by less than a tenth of it, so not asked about: the
// correction is offered.
std::vector<ModalDriver::Step> OfferCorrection() {
    std::vector<ModalDriver::Step> steps = Record(kOverPouredReadings, std::size(kOverPouredReadings));
    steps.push_back([] {
        HWND accept = WeighControl(IDC_WEIGH_ACCEPT);
        return accept && IsWindowVisible(accept);
    });
    return steps;
}

// Every reading taken back, so that closing writes nothing.
std::vector<ModalDriver::Step> TakeBackReadings() {
    return {[] {
        HWND undo = WeighControl(IDC_WEIGH_UNDO);
        if (!undo) return false;
        if (!IsWindowEnabled(undo)) return true;
        PostMessageW(undo, BM_CLICK, 0, 0);
        return false;
    }};
}

// Every step poured, the batch written without a note: the summary shows.
std::vector<ModalDriver::Step> FinishBatch() {
    std::vector<ModalDriver::Step> steps = Record(kFinishingReadings, std::size(kFinishingReadings));
    steps.push_back([] {
        HWND prompt = FindDialog(L"Замес в журнал");
        if (!prompt) return false;
        PostMessageW(GetDlgItem(prompt, IDCANCEL), BM_CLICK, 0, 0);
        return true;
    });
    steps.push_back([] {
        HWND summary = WeighControl(IDC_WEIGH_SUMMARY);
        return summary && IsWindowVisible(summary) &&
               WindowText(WeighControl(IDC_WEIGH_MESSAGE)) == L"Замес записан в журнал.";
    });
    return steps;
}

// A finished batch goes into the journal the main dialog names, the user's own: weighed
// only where there is none yet (the test's fresh Wine prefix), and removed afterwards.
void WeighIntoNewJournal(const ShownMainDialog& main) {
    const WideString journal = JournalPath();
    const std::wstring path = journal.empty() ? std::wstring() : WinText(journal);
    if (path.empty() || GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        ADD_FAILURE() << "not weighing into the journal that is already there: " << path;
        return;
    }
    Command(main, IDC_MAIN_WEIGH);
    EXPECT_TRUE(DeleteFileW(path.c_str())) << "no batch written to " << path;
}

// The correction by measurement over a trial of two shipped pastes, its proposal shown.
void MeasureTrial(const ShownMainDialog& main) {
    colour::OpticsTable optics;
    colour::OpticsError error;
    ASSERT_TRUE(colour::ReadOptics(colour::ShippedOpticsText(), optics, error)) << error.reason;
    MeasureRequest request;
    request.catalogue = &main.GetCatalogue();
    request.optics = &optics;
    request.pastes = PastesToAdd(main.GetCatalogue());
    request.trial.baseGrams = 480;
    request.trial.pastes = {{"YOX", 14}, {"ROX", 5}};
    AskMeasurement(main.Window(), request);
}

std::vector<ModalDriver::Step> ComputeMeasurement() {
    return {[] {
                HWND dialog = FindDialog(L"Поправка по замеру");
                SetDlgItemTextW(dialog, IDC_MEASURE_TARGET, L"62.5 12.0 34.0");
                SetDlgItemTextW(dialog, IDC_MEASURE_TRIAL, L"60.1 9.5 30.2");
                PostMessageW(GetDlgItem(dialog, IDC_MEASURE_COMPUTE), BM_CLICK, 0, 0);
                return true;
            },
            [] { return !WindowText(GetDlgItem(FindDialog(L"Поправка по замеру"), IDC_MEASURE_RESULT)).empty(); }};
}

// The matching window with the drafts for a typed L*a*b* target.
constexpr wchar_t kMatchCaption[] = L"Подбор цвета";
constexpr int kMatchLabKind = 2;
constexpr int kMatchDrafts = 5;

std::vector<ModalDriver::Step> MatchTypedTarget() {
    return {[] {
                HWND match = FindDialog(kMatchCaption);
                if (!match) return false;
                HWND kind = GetDlgItem(match, IDC_MATCH_KIND);
                SendMessageW(kind, CB_SETCURSEL, kMatchLabKind, 0);
                SendMessageW(match, WM_COMMAND, MAKEWPARAM(IDC_MATCH_KIND, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(kind));
                SetDlgItemTextW(match, IDC_MATCH_TEXT, L"52,3 -4,1 18");
                PostMessageW(GetDlgItem(match, IDC_MATCH_RUN), BM_CLICK, 0, 0);
                return true;
            },
            [] {
                HWND match = FindDialog(kMatchCaption);
                return match && SendMessageW(GetDlgItem(match, IDC_MATCH_DRAFTS), LVM_GETITEMCOUNT, 0, 0) ==
                                    kMatchDrafts;
            }};
}

// The pastes' calibration over an empty store in the temporary folder, a ladder file of
// three shipped pastes fitted, one sample missed.
constexpr wchar_t kCalibrationCaption[] = L"Калибровка паст";

std::wstring TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

const std::wstring& CalibrationLadders() {
    static const std::wstring path = TempPath(L"lacqueron-dpi-ladders.txt");
    return path;
}

void ShowCalibration(const ShownMainDialog& main) {
    colour::OpticsTable table;
    colour::OpticsError error;
    ASSERT_TRUE(colour::ReadOptics(colour::ShippedOpticsText(), table, error)) << error.reason;
    std::ofstream(CalibrationLadders().c_str(), std::ios::binary)
        << test::SampleLadders(table, {"WHT", "RED", "BLU"}, "RED/9");
    const std::wstring storePath = TempPath(L"lacqueron-dpi-optics.lqo");
    DeleteFileW(storePath.c_str());
    WideString storeError;
    std::unique_ptr<OpticsStore> store = OpenOptics(FromWinText(storePath.c_str()), storeError);
    CalibrationContext context;
    context.catalogue = &main.GetCatalogue();
    context.vendorOptics = colour::ShippedOpticsText();
    context.optics = store.get();
    context.opticsError = storeError;
    ShowCalibrationDialog(main.Window(), context);
    store.reset();
    DeleteFileW(storePath.c_str());
    DeleteFileW(CalibrationLadders().c_str());
}

std::vector<ModalDriver::Step> FittedLadders() {
    return {[] {
                PostMessageW(GetDlgItem(FindDialog(kCalibrationCaption), IDC_CALIB_IMPORT), BM_CLICK, 0, 0);
                return true;
            },
            [] {
                HWND open = FindOwnedWindow(FindDialog(kCalibrationCaption));
                if (!open) return false;
                ChooseFileName(open, CalibrationLadders());
                return true;
            },
            [] {
                HWND calibration = FindDialog(kCalibrationCaption);
                return calibration && !FindOwnedWindow(calibration) &&
                       WindowText(GetDlgItem(calibration, IDC_CALIB_SUMMARY)).rfind(L"Образцов: ", 0) == 0;
            }};
}

struct DialogCase {
    const char* name;        // of its screenshot: <name>-<dpi>
    const wchar_t* caption;  // of the modal dialog; null for the main dialog itself
    // Opens the modal dialog over the main one and returns when it is closed.
    void (*run)(const ShownMainDialog& main);
    OverlapAllowance allowed;
    // Bring the open dialog to the state it is inspected in, and then take back what
    // would stay behind after it is cancelled; none for a dialog inspected as it opens.
    std::vector<ModalDriver::Step> (*toState)() = nullptr;
    std::vector<ModalDriver::Step> (*undo)() = nullptr;
};

const DialogCase kDialogs[] = {
    {"main", nullptr, nullptr, {}},
    {"about", L"О программе...",
     [](const ShownMainDialog& main) { ShowAboutDialog(main.Window(), main.GetCatalogue()); }, {}},
    {"password", L"Введите пароль", [](const ShownMainDialog& main) { PasswordDialog().Run(main.Window()); }, {}},
    {"weigh", kWeighCaption, [](const ShownMainDialog& main) { Command(main, IDC_MAIN_WEIGH); }, {}},
    {"weigh-correction", kWeighCaption, [](const ShownMainDialog& main) { Command(main, IDC_MAIN_WEIGH); }, {},
     &OfferCorrection, &TakeBackReadings},
    {"weigh-summary", kWeighCaption, &WeighIntoNewJournal, {}, &FinishBatch},
    {"weigh-measure", L"Поправка по замеру", &MeasureTrial, {}, &ComputeMeasurement},
    {"find", L"Найти краску", [](const ShownMainDialog& main) { Command(main, IDM_FIND); }, {}},
    {"journal", L"Журнал замесов", &ShowSampleJournal, {}},
    {"note", L"Замес в журнал", [](const ShownMainDialog& main) { AskBatchNote(main.Window()); }, {}},
    {"own-recipes", L"Свои рецепты", &ShowOwnRecipes, {}},
    {"own-recipe", L"Свой рецепт", &EditShownColour, {}},
    {"prices", L"Цены", [](const ShownMainDialog& main) { ShowLedgerWindow(main, &ShowPrices); }, {}},
    {"stock", L"Остатки", [](const ShownMainDialog& main) { ShowLedgerWindow(main, &ShowStock); }, {}},
    {"match", kMatchCaption, [](const ShownMainDialog& main) { Command(main, IDC_MAIN_MATCH); }, {},
     &MatchTypedTarget},
    {"calibration", kCalibrationCaption, &ShowCalibration, {}, &FittedLadders},
};

Inspection Inspect(HWND dialog, const DialogCase& c) {
    Inspection seen;
    seen.seen = true;
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    seen.saved = uidriver::SaveWindowShot(ShotsFile(c.name, ".bmp").c_str(), dialog);
    seen.cutOff = FindCutOffTexts(dialog);
    seen.overlaps = FindOverlaps(dialog, c.allowed);
    return seen;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "\n  " + line;
    return text;
}

class DialogAtDpi : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogAtDpi, ShowsEveryTextWholeAndNoControlsOverlap) {
    const DialogCase& c = GetParam();
    ShownMainDialog main;
    Inspection seen;
    if (c.run == nullptr) {
        seen = Inspect(main.Window(), c);
    } else {
        HWND modal = nullptr;
        // Inspected from inside its modal loop in its state, then closed.
        std::vector<ModalDriver::Step> steps{[&] { return (modal = FindDialog(c.caption)) != nullptr; }};
        const auto append = [&steps](std::vector<ModalDriver::Step> more) {
            steps.insert(steps.end(), more.begin(), more.end());
        };
        if (c.toState) append(c.toState());
        steps.push_back([&] {
            seen = Inspect(modal, c);
            return true;
        });
        if (c.undo) append(c.undo());
        steps.push_back([&] {
            PostMessageW(modal, WM_COMMAND, IDCANCEL, 0);
            return true;
        });
        ModalDriver driver(std::move(steps));
        c.run(main);
        EXPECT_TRUE(driver.Finished());
    }
    ASSERT_TRUE(seen.seen) << c.name << " did not open";
    EXPECT_TRUE(seen.saved) << "no screenshot of " << c.name;
    EXPECT_TRUE(seen.cutOff.empty()) << "cut off at " << AskedDpi() << " DPI:" << Lines(seen.cutOff);
    EXPECT_TRUE(seen.overlaps.empty()) << "overlapping at " << AskedDpi() << " DPI:" << Lines(seen.overlaps);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogAtDpi, ::testing::ValuesIn(kDialogs),
                         [](const auto& info) {
                             // A test's name takes no hyphen; the screenshot's keeps it.
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(ScreenDpi, IsTheOneAskedFor) {
    ShownMainDialog main;
    EXPECT_EQ(DpiOfWindow(nullptr), AskedDpi());
    EXPECT_EQ(DpiOfWindow(main.Window()), AskedDpi());
}

// The swatch and a colour bar of the list, written as "width height" lines and, away
// from 96 DPI, compared with what the 96 DPI run wrote.
TEST(ColourAreas, ScaleWithTheDpi) {
    ShownMainDialog main;
    RECT swatch{};
    GetClientRect(main.Control(IDC_SWATCH), &swatch);
    RECT bar{};
    bar.top = 1;
    bar.left = LVIR_BOUNDS;
    SendMessageW(main.Control(IDC_PAINT_LIST), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&bar));
    const int sizes[] = {swatch.right - swatch.left, swatch.bottom - swatch.top, bar.right - bar.left,
                         bar.bottom - bar.top};
    {
        std::ofstream out(std::filesystem::path(ShotsFile("colour-areas", ".txt")));
        for (int size : sizes) out << size << "\n";
        ASSERT_TRUE(out.good());
    }
    if (AskedDpi() == kDesignDpi) return;
    std::ifstream designed(std::filesystem::path(ShotsFolder() + L"\\colour-areas-96.txt"));
    ASSERT_TRUE(designed.good()) << "the 96 DPI run comes first";
    for (int size : sizes) {
        int design = 0;
        designed >> design;
        ASSERT_GT(design, 0);
        const int expected = ScaleToDpi(design, AskedDpi());
        EXPECT_NEAR(size, expected, expected * kScaleTolerance)
            << size << " pixels at " << AskedDpi() << " DPI, " << design << " at 96";
    }
}

int IconWidth(HWND window, WPARAM which) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

TEST(WindowIcons, HaveTheSizesOfTheDpi) {
    ShownMainDialog main;
    EXPECT_EQ(IconWidth(main.Window(), ICON_SMALL), GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(IconWidth(main.Window(), ICON_BIG), GetSystemMetrics(SM_CXICON));
}

}  // namespace
}  // namespace lacqueron::testing
