// The own recipe windows inside this process, over a store in a temporary folder and
// the shipped package: a recipe made in the editor (a bad line first, told and not
// saved), edited, deleted and restored from the deleted list, its history, and the
// list exported and imported again; the store read back from its file at the end.
// The manager's and the editor's pictures go to LACQUERON_SHOTS when it is set. A save
// on a share that stalls leaves the editor answering, says "Сохранение...", and once
// the share goes is told as not saved with the edit kept; saved again, it is in the
// file once, even when the failed write had landed.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <type_traits>
#include <string>
#include <vector>

#include "data/catalogue/DataPackage.h"
#include "files/DataFolder.h"
#include "files/JournalAccess.h"
#include "res/resource.h"
#include "tests/ui/shared/DialogHarness.h"
#include "tests/ui/shared/ModalDriver.h"
#include "tests/ui/shared/WindowReading.h"
#include "tests/ui/shared/ShareAccess.h"
#include "ui/shared/ErrorBox.h"
#include "ui/main/MainDialog.h"
#include "ui/main/ShopData.h"
#include "ui/recipes/OwnRecipeWindows.h"
#include "win32/Handles.h"

namespace lacqueron::testing {
namespace {

constexpr wchar_t kManagerCaption[] = L"Свои рецепты";
constexpr wchar_t kEditorCaption[] = L"Свой рецепт";
constexpr std::uint32_t kPurpose = 1;
constexpr std::uint32_t kGrams = 1;
constexpr std::int32_t kAmount = 500;
constexpr wchar_t kCode[] = L"К-0012";
constexpr Thousandths kBaseAmount = 1000 * kThousandthsPerGram;
constexpr Thousandths kPasteAmount = 12345;  // "12.345"
constexpr int kNameColumn = 2;
constexpr int kChangesColumn = 3;
constexpr int kAmountColumn = 2;  // of the editor's lines

std::wstring Wide(const WideString& text) { return WinText(text); }

void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The component's item chosen in the editor's combo box, as the painter's choice reports it.
void ChooseComponent(HWND editor, const MixComponent& component) {
    HWND combo = GetDlgItem(editor, IDC_OWN_RECIPE_COMPONENT);
    const LRESULT item = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(WinText(component.name)));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDC_OWN_RECIPE_COMPONENT, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

// A line added, its component chosen and its amount typed.
void AddLine(HWND editor, const MixComponent& component, const wchar_t* amount) {
    SendMessageW(GetDlgItem(editor, IDC_OWN_RECIPE_ADD), BM_CLICK, 0, 0);
    ChooseComponent(editor, component);
    SetDlgItemTextW(editor, IDC_OWN_RECIPE_AMOUNT, amount);
}

// The first base of the purpose and the first named paste, each listed once by name.
const MixComponent* FirstComponent(const Catalogue& catalogue, ComponentKind kind) {
    for (const MixComponent& component : catalogue.components)
        if (component.kind == kind && !component.name.empty() && !component.hasFormula() &&
            (kind != kBase || component.purpose == static_cast<std::int32_t>(kPurpose)))
            return &component;
    return nullptr;
}

class RecipeWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = std::wstring(temp) + L"lacqueron-recipes-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        storePath_ = FromWinText((folder_ + L"recipes.lqr").c_str());
        WideString error;
        store_ = OpenOwnRecipes(storePath_, error);
        ASSERT_TRUE(store_) << Wide(error);
    }
    void TearDown() override {
        store_.reset();
        for (const wchar_t* name : {L"recipes.lqr", L"recipes.csv", L"ledger.lqs"}) DeleteFileW((folder_ + name).c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring folder_;
    WideString storePath_;
    std::unique_ptr<OwnRecipeStore> store_;
};

TEST_F(RecipeWindowsTest, MakesEditsDeletesRestoresAndCarriesRecipesThroughCsv) {
    MainDialog main(TestModule(), ShippedPackage());
    ASSERT_NE(main.Create(), nullptr);
    const Catalogue& catalogue = main.GetCatalogue();
    const MixComponent* base = FirstComponent(catalogue, kBase);
    const MixComponent* paste = FirstComponent(catalogue, kPigment);
    ASSERT_TRUE(base && paste);

    int changes = 0;
    OwnRecipeContext context;
    context.catalogue = &catalogue;
    context.store = store_.get();
    context.purpose = kPurpose;
    context.weightType = kGrams;
    context.amount = kAmount;
    context.changed = [&] { ++changes; };

    const std::wstring csv = folder_ + L"recipes.csv";
    SeenBox badLine, question, imported;
    std::size_t savedAfterBadLine = 1;
    std::wstring preview, editedName, editedAmount, deletedListed;
    std::vector<std::wstring> history;
    int listedAfterDelete = -1;
    HWND manager = nullptr;
    const auto editor = [] { return FindDialog(kEditorCaption); };
    const auto managerIdle = [&] { return manager && IsWindowEnabled(manager); };
    ModalDriver driver(
        {
            [&] {
                manager = FindDialog(kManagerCaption);
                if (!manager) return false;
                Click(manager, IDC_OWN_NEW);
                return true;
            },
            [&] {
                HWND open = editor();
                if (!open) return false;
                SetDlgItemTextW(open, IDC_OWN_RECIPE_CODE, kCode);
                SetDlgItemTextW(open, IDC_OWN_RECIPE_NAME, L"Бордо заказчика");
                SetDlgItemTextW(open, IDC_OWN_RECIPE_NOTE, L"Иванов, Нива");
                SetDlgItemTextW(open, IDC_OWN_RECIPE_RGB, L"120-20-40");
                AddLine(open, *base, L"1000");
                AddLine(open, *paste, L"12.3456");  // a decimal too many
                Click(open, IDOK);
                return true;
            },
            AnswerBox(L"Ошибка", IDOK, badLine),
            [&] {
                HWND open = editor();
                if (!open || !IsWindowEnabled(open)) return false;
                savedAfterBadLine = store_->Current().size();
                // The bad line is selected: its amount is in the field.
                SetDlgItemTextW(open, IDC_OWN_RECIPE_AMOUNT, L"12.345");
                preview = WindowText(GetDlgItem(open, IDC_OWN_RECIPE_PREVIEW));
                SaveShotIfAsked(L"own-recipe-editor", open);
                Click(open, IDOK);
                return true;
            },
            [&] {
                if (editor() || !managerIdle() || ListItemCount(manager, IDC_OWN_LIST) != 1) return false;
                Click(manager, IDC_OWN_EDIT);
                return true;
            },
            [&] {
                HWND open = editor();
                if (!open) return false;
                editedAmount = ListCell(open, IDC_OWN_RECIPE_LINES, 1, kAmountColumn);
                SetDlgItemTextW(open, IDC_OWN_RECIPE_NAME, L"Бордо");
                Click(open, IDOK);
                return true;
            },
            [&] {
                if (editor() || !managerIdle()) return false;
                editedName = ListCell(manager, IDC_OWN_LIST, 0, kNameColumn);
                SaveShotIfAsked(L"own-recipes-manager", manager);
                Click(manager, IDC_OWN_DELETE);
                return true;
            },
            AnswerBox(L"Подтверждение", IDYES, question),
            [&] {
                if (!managerIdle() || ListItemCount(manager, IDC_OWN_LIST) != 0) return false;
                listedAfterDelete = 0;
                Click(manager, IDC_OWN_DELETED);
                return true;
            },
            [&] {
                HWND deleted = FindDialog(L"Удалённые рецепты");
                if (!deleted) return false;
                deletedListed = ListCell(deleted, IDC_OWN_HISTORY_LIST, 0, 1);
                Click(deleted, IDC_OWN_HISTORY_RESTORE);
                return true;
            },
            [&] {
                if (!managerIdle() || ListItemCount(manager, IDC_OWN_LIST) != 1) return false;
                Click(manager, IDC_OWN_HISTORY);
                return true;
            },
            [&] {
                HWND versions = FindDialog(L"История рецепта К-0012");
                if (!versions) return false;
                for (int item = 0; item < ListItemCount(versions, IDC_OWN_HISTORY_LIST); ++item)
                    history.push_back(ListCell(versions, IDC_OWN_HISTORY_LIST, item, kChangesColumn));
                PostMessageW(versions, WM_COMMAND, IDCANCEL, 0);
                return true;
            },
            [&] {
                if (!managerIdle()) return false;
                Click(manager, IDC_OWN_EXPORT);
                return true;
            },
            [&] {
                HWND save = FindOwnedWindow(manager);
                if (!save) return false;
                ChooseFileName(save, csv);
                return true;
            },
            [&] {
                if (!managerIdle() || GetFileAttributesW(csv.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
                Click(manager, IDC_OWN_IMPORT);
                return true;
            },
            [&] {
                HWND open = FindOwnedWindow(manager);
                if (!open) return false;
                ChooseFileName(open, csv);
                return true;
            },
            AnswerBox(L"Импорт", IDOK, imported),
            [&] {
                if (!managerIdle()) return false;
                PostMessageW(manager, WM_COMMAND, IDCANCEL, 0);
                return true;
            },
        },
        30000);
    ShowOwnRecipeManager(main.Window(), context);
    ASSERT_TRUE(driver.Finished());

    // The bad line: named, told as the model words it, and nothing saved.
    OwnRecipe bad{u"К-0012", u"Бордо заказчика", u"Иванов, Нива", 0, {{base->code, kBaseAmount}, {paste->code, 0}}};
    OwnRecipeCheck tooPrecise{OwnRecipeProblem::kTooManyDecimals, 1};
    bool told = false;
    for (const std::wstring& text : badLine.texts)
        told = told || text == Wide(DescribeProblem(bad, tooPrecise)) + L" Рецепт не сохранён.";
    EXPECT_TRUE(told) << (badLine.texts.empty() ? std::wstring() : badLine.texts.back()).size();
    EXPECT_EQ(savedAfterBadLine, 0u);
    // The preview is the recipe text the main dialog would show for the same lines.
    EXPECT_NE(preview.find(Wide(base->name)), std::wstring::npos);
    EXPECT_NE(preview.find(Wide(paste->name)), std::wstring::npos);

    EXPECT_EQ(editedName, L"Бордо");
    EXPECT_EQ(editedAmount, L"12.345") << "a saved amount shows with a point, as every window writes it";
    EXPECT_EQ(listedAfterDelete, 0);
    EXPECT_EQ(deletedListed, kCode);
    EXPECT_EQ(history, (std::vector<std::wstring>{L"восстановлен", L"удалён", L"название", L"создан"}));
    bool counted = false;
    for (const std::wstring& text : imported.texts) counted = counted || text == L"Импортировано рецептов: 1.";
    EXPECT_TRUE(counted);
    EXPECT_GE(changes, 5);

    // Read back from the file: one recipe of five versions, the last the import's, as saved.
    store_.reset();
    WideString error;
    store_ = OpenOwnRecipes(storePath_, error);
    ASSERT_TRUE(store_) << Wide(error);
    ASSERT_EQ(store_->Current().size(), 1u);
    const OwnRecipeCurrent& current = store_->Current().front();
    EXPECT_EQ(current.versions, 5u);
    const OwnRecipe expected{u"К-0012", u"Бордо", u"Иванов, Нива", 0x281478u,
                             {{base->code, kBaseAmount}, {paste->code, kPasteAmount}}};
    EXPECT_EQ(current.recipe, expected);
    const std::vector<OwnRecipeVersion> versions = store_->History(current.id);
    ASSERT_EQ(versions.size(), 5u);
    EXPECT_TRUE(versions[2].deleted);
    EXPECT_EQ(versions[3].recipe, versions[1].recipe);
    main.DestroyWindowIfAny();
}

// The data folder moved from the manager: a folder that is not there refused by name,
// then another stored and the old one's recipes copied into it on request, read back there.
TEST_F(RecipeWindowsTest, MovesTheDataFolderAndCopiesTheRecipesIntoTheNewOne) {
    MainDialog main(TestModule(), ShippedPackage());
    ASSERT_NE(main.Create(), nullptr);
    const MixComponent* base = FirstComponent(main.GetCatalogue(), kBase);
    ASSERT_TRUE(base);
    const OwnRecipe recipe{FromWinText(kCode), u"Бордо", u"", 0, {{base->code, kBaseAmount}}, std::nullopt};
    OwnRecipeId id = 0;
    ASSERT_EQ(store_->Save(id, recipe, CurrentBatchTime()), JournalAppendResult::Appended);
    const std::wstring moved = folder_ + L"новая";
    ASSERT_TRUE(CreateDirectoryW(moved.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::wstring missing = folder_ + L"нет";
    ASSERT_TRUE(StoreDataFolder(FromWinText(folder_.c_str())));

    OwnRecipeContext context;
    context.catalogue = &main.GetCatalogue();
    context.store = store_.get();
    context.purpose = kPurpose;
    context.weightType = kGrams;
    context.amount = kAmount;
    int changes = 0;
    context.changed = [&] { ++changes; };
    constexpr wchar_t kFolderCaption[] = L"Папка данных";
    HWND manager = nullptr, dialog = nullptr;
    SeenBox refused, question;
    bool typingAgain = false;
    const auto dialogIdle = [&] {
        return !FindDialog(kErrorCaption) && IsWindowEnabled(dialog) && IsWindowEnabled(GetDlgItem(dialog, IDOK));
    };
    const auto typeAndPressOk = [&](const std::wstring& folder) {
        SetDlgItemTextW(dialog, IDC_OWN_FOLDER_PATH, folder.c_str());
        Click(dialog, IDOK);
    };
    ModalDriver driver(
        {
            [&] {
                if (!(manager = FindDialog(kManagerCaption))) return false;
                Click(manager, IDC_OWN_FOLDER);
                return true;
            },
            [&] {
                if (!(dialog = FindDialog(kFolderCaption))) return false;
                typeAndPressOk(missing);
                return true;
            },
            AnswerBox(kErrorCaption, IDOK, refused),
            [&] {
                if (!dialogIdle()) return false;
                typingAgain = GetFocus() == GetDlgItem(dialog, IDC_OWN_FOLDER_PATH);
                typeAndPressOk(moved);
                return true;
            },
            AnswerBox(L"Подтверждение", IDYES, question),
            [&] {
                if (FindDialog(kFolderCaption) || !IsWindowEnabled(manager)) return false;
                PostMessageW(manager, WM_COMMAND, IDCANCEL, 0);
                return true;
            },
        },
        30000);
    ShowOwnRecipeManager(main.Window(), context);
    const WideString now = DataFolderPath();
    StoreDataFolder(u"");
    ASSERT_TRUE(driver.Finished());

    EXPECT_NE(std::find(refused.texts.begin(), refused.texts.end(),
                        L"Папка " + missing + L" не найдена или недоступна."),
              refused.texts.end());
    EXPECT_TRUE(typingAgain) << "after the refusal the keys go to the folder's field again";
    EXPECT_NE(std::find_if(question.texts.begin(), question.texts.end(),
                           [&](const std::wstring& text) { return text.find(folder_) != std::wstring::npos; }),
              question.texts.end())
        << "the question names the folder the records come from";
    std::wstring stored = WinText(now);
    while (!stored.empty() && stored.back() == L'\\') stored.pop_back();
    EXPECT_EQ(stored, moved);
    EXPECT_EQ(changes, 1);
    WideString error;
    const std::unique_ptr<OwnRecipeStore> copied = OpenOwnRecipes(OwnRecipesPathIn(now), error);
    ASSERT_TRUE(copied) << Wide(error);
    ASSERT_EQ(copied->Current().size(), 1u);
    EXPECT_EQ(copied->Current().front().recipe, recipe);
    EXPECT_EQ(store_->Current().size(), 1u) << "the old folder keeps its recipes";
    DeleteFileW((moved + L"\\recipes.lqr").c_str());
    RemoveDirectoryW(moved.c_str());
    main.DestroyWindowIfAny();
}

// How long the share stalls under a save before it goes: the editor must answer all along.
constexpr ULONGLONG kStallMs = 1000;
// An editor that never answered by then is frozen inside the share: the share goes, so
// the test fails instead of hanging.
constexpr DWORD kFrozenMs = 10000;
constexpr UINT kLooked = WM_APP + 2;
constexpr wchar_t kSavingText[] = L"Сохранение...";

struct WindowDestroyer {
    void operator()(HWND window) const noexcept { DestroyWindow(window); }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

class StalledSaveTest : public RecipeWindowsTest, public ::testing::WithParamInterface<ShareState> {};

TEST_P(StalledSaveTest, LeavesTheEditorAnsweringAndIsInTheFileOnceAfterTheRetry) {
    store_.reset();  // the folder's link opens its own
    MainDialog main(TestModule(), ShippedPackage());
    ASSERT_NE(main.Create(), nullptr);
    const Catalogue& catalogue = main.GetCatalogue();
    const MixComponent* base = FirstComponent(catalogue, kBase);
    ASSERT_TRUE(base);
    const OwnedWindow looks(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(looks.get());

    auto share = std::make_shared<Share>();
    ShopData shop(catalogue, std::chrono::hours(1),
                  std::make_shared<ShareAccess>(share, FromWinText(folder_.c_str())));
    shop.Start(looks.get(), kLooked);
    shop.Look(ShopData::Retry::kNow);
    shop.Settle();
    OwnRecipeContext context;
    context.catalogue = &catalogue;
    shop.Fill(context);
    ASSERT_TRUE(context.store && context.writes);

    const EventHandle answered = EventHandle::ManualReset();
    SeenBox failed;
    std::wstring savingText, keptCode;
    bool heldStill = false;
    ULONGLONG stalledAt = 0;
    const auto editor = [] { return FindDialog(kEditorCaption); };
    ModalDriver driver({
        [&] {
            HWND open = editor();
            if (!open) return false;
            SetDlgItemTextW(open, IDC_OWN_RECIPE_CODE, kCode);
            SetDlgItemTextW(open, IDC_OWN_RECIPE_NAME, L"Бордо");
            AddLine(open, *base, L"1000");
            share->Set(ShareState::kStalled);
            Click(open, IDOK);
            return true;
        },
        // This step runs from the editor's own message loop: while it does, the editor answers.
        [&] {
            HWND open = editor();
            if (share->StalledCalls() == 0) return false;
            if (stalledAt == 0) {
                answered.Set();
                stalledAt = GetTickCount64();
                savingText = WindowText(GetDlgItem(open, IDC_OWN_RECIPE_SAVING));
                heldStill = !IsWindowEnabled(GetDlgItem(open, IDOK)) &&
                            !IsWindowEnabled(GetDlgItem(open, IDC_OWN_RECIPE_CODE));
            }
            if (GetTickCount64() - stalledAt < kStallMs) return false;
            share->Set(GetParam());
            return true;
        },
        AnswerBox(L"Ошибка", IDOK, failed),
        [&] {
            HWND open = editor();
            if (!open || !IsWindowEnabled(GetDlgItem(open, IDOK))) return false;
            keptCode = WindowText(GetDlgItem(open, IDC_OWN_RECIPE_CODE));
            share->Set(ShareState::kUp);
            Click(open, IDOK);
            return true;
        },
    });
    std::thread watchdog([&] {
        if (!answered.Wait(kFrozenMs)) share->Set(ShareState::kDown);
    });
    OwnRecipeId id = 0;
    const bool saved = EditOwnRecipe(main.Window(), context, id, {});
    answered.Set();
    watchdog.join();
    EXPECT_TRUE(saved);
    ASSERT_TRUE(driver.Finished());

    EXPECT_EQ(savingText, kSavingText);
    EXPECT_TRUE(heldStill);
    bool told = false;
    for (const std::wstring& text : failed.texts)
        told = told || text == L"Рецепт не сохранён: не удалось записать файл рецептов.";
    EXPECT_TRUE(told);
    EXPECT_EQ(keptCode, kCode);
    EXPECT_NE(id, 0u);

    // Read back past the share: one recipe, saved once.
    WideString error;
    store_ = OpenOwnRecipes(storePath_, error);
    ASSERT_TRUE(store_) << Wide(error);
    ASSERT_EQ(store_->Current().size(), 1u);
    EXPECT_EQ(store_->Current().front().versions, 1u);
    main.DestroyWindowIfAny();
}

INSTANTIATE_TEST_SUITE_P(Share, StalledSaveTest, ::testing::Values(ShareState::kDown, ShareState::kReplyLost),
                         [](const ::testing::TestParamInfo<ShareState>& info) {
                             return info.param == ShareState::kDown ? "TheShareGoes" : "TheReplyIsLost";
                         });

}  // namespace
}  // namespace lacqueron::testing
