// The storage chain below the settings dialog: stored-property entries,
// placement texts, form storage paths and versions, window-procedure hooks
// and the change notifications of points and rectangles.
#include "support/KitFormStorage.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/controls/StdCtrls.h"
#include "support/KitAppRegistryStorage.h"
#include "support/KitPropertyStorage.h"
#include "support/SxRegistry.h"

namespace {

TEST(KitPropertyStorageItems, ParseMakeAndRename)
{
    const struct {
        const char* item;
        bool ok;
        const char* component;
        const char* prop;
        const char* renamed;
    } cases[] = {
        {"edtOutPath.Text", true, "edtOutPath", "Text", "X.Text"},
        {" a . b ", true, "a", "b", "X.b"},
        {"a.Font.Size", true, "a", "Font.Size", "X.Font.Size"},
        {".Text", false, "", "", ""},
        {"edt.", false, "", "", ""},
        {"noDot", false, "", "", ""},
    };
    for (const auto& c : cases) {
        String component, prop;
        EXPECT_EQ(ParseStoredItem(QString::fromLatin1(c.item), component, prop), c.ok) << c.item;
        if (c.ok) {
            EXPECT_EQ(component, QString::fromLatin1(c.component));
            EXPECT_EQ(prop, QString::fromLatin1(c.prop));
        }
        EXPECT_EQ(RenameStoredItem(QString::fromLatin1(c.item), QStringLiteral("X")), QString::fromLatin1(c.renamed));
    }
    EXPECT_EQ(MakeStoredItem(QString(), QStringLiteral("Text")), String());
}

class KitFormStorage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        SetRegistryDirectory(FDir.path());
        FApp.Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetName(QStringLiteral("frmTest"));
        Edit = new TEdit(Form.get());
        Edit->SetName(QStringLiteral("Edit1"));
        Edit->SetParent(Form.get());
        Combo = new TComboBox(Form.get());
        Combo->SetName(QStringLiteral("Combo1"));
        Combo->SetParent(Form.get());
        Combo->Items()->Add(QStringLiteral("a"));
        Combo->Items()->Add(QStringLiteral("b"));
        Storage = new TKitAppRegistryStorage(Form.get());
        Storage->SetRoot(QStringLiteral("Software"));
        FS = new TKitFormStorage(Form.get());
        FS->Loading();
        FS->SetAppStorage(Storage);
        FS->SetAppStoragePath(QStringLiteral("Test"));
        FS->SetStoredPropsPath(QStringLiteral("Props"));
    }
    void TearDown() override
    {
        Form.reset();
        SetRegistryDirectory(String());
    }
    void storeProps(std::initializer_list<const char*> Props)
    {
        TStringList l;
        for (const char* p : Props)
            l.Add(QString::fromLatin1(p));
        FS->StoredProps()->Assign(&l);
        FS->Loaded();
    }
    QTemporaryDir FDir;
    TApplication FApp{nullptr};
    std::unique_ptr<TForm> Form;
    TEdit* Edit = nullptr;
    TComboBox* Combo = nullptr;
    TKitAppRegistryStorage* Storage = nullptr;
    TKitFormStorage* FS = nullptr;
};

TEST_F(KitFormStorage, PathsGetTheirBackslashAndUnknownEntriesGo)
{
    EXPECT_EQ(FS->AppStoragePath(), QStringLiteral("Test\\"));
    storeProps({"Edit1.Text", "Missing.Text", ".Text", "Combo1.", "Combo1.ItemIndex", "Edit1.NoSuchProp"});
    FS->SetAppStoragePath(QString());
    EXPECT_EQ(FS->AppStoragePath(), String());
    FS->SetAppStoragePath(QStringLiteral("%form_name%\\x"));
    EXPECT_EQ(FS->AppStoragePath(), QStringLiteral("frmTest\\x\\"));
    ASSERT_EQ(FS->StoredProps()->Count(), 3);
    EXPECT_EQ(FS->StoredProps()->Strings(2), QStringLiteral("Edit1.NoSuchProp"));
    // A destroyed component's entries go with it.
    delete Combo;
    EXPECT_EQ(FS->StoredProps()->Count(), 2);
}

TEST_F(KitFormStorage, PropertiesRoundTripAndMissingValuesLeaveThemAlone)
{
    storeProps({"Edit1.Text", "Combo1.ItemIndex", "Combo1.Items", "Edit1.NoSuchProp"});
    FS->SetOptions({});
    FS->RestorePlacement();  // nothing stored yet: design values stay
    Edit->SetText(QStringLiteral("design"));
    EXPECT_EQ(Edit->Text(), QStringLiteral("design"));
    Combo->SetItemIndex(1);
    FS->SavePlacement();
    const String key = QStringLiteral("Software\\Test\\Props");
    EXPECT_EQ(ReadRegTextOr(HKEY_CURRENT_USER, key, QStringLiteral("Edit1_Text"), String()), QStringLiteral("design"));
    EXPECT_EQ(ReadRegIntegerOr(HKEY_CURRENT_USER, key, QStringLiteral("Combo1_ItemIndex"), -5), 1);
    // A string list becomes a folder with a count and items.
    EXPECT_EQ(ReadRegIntegerOr(HKEY_CURRENT_USER, key + QStringLiteral("\\Combo1_Items"), QStringLiteral("Count"), -1), 2);
    EXPECT_EQ(ReadRegTextOr(HKEY_CURRENT_USER, key + QStringLiteral("\\Combo1_Items"), QStringLiteral("Item1"), String()),
              QStringLiteral("b"));
    Edit->SetText(QStringLiteral("changed"));
    Combo->Items()->Add(QStringLiteral("c"));
    Combo->SetItemIndex(2);
    FS->RestorePlacement();
    EXPECT_EQ(Edit->Text(), QStringLiteral("design"));
    EXPECT_EQ(Combo->Items()->Count(), 2);
    EXPECT_EQ(Combo->ItemIndex(), 1);
}

TEST_F(KitFormStorage, AnOlderStoredVersionSkipsTheRestoreButCountsAsRestored)
{
    storeProps({"Edit1.Text"});
    FS->SetOptions({});
    WriteRegInteger(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"), QStringLiteral("FormVersion"), 1);
    WriteRegText(HKEY_CURRENT_USER, QStringLiteral("Software\\Test\\Props"), QStringLiteral("Edit1_Text"), QStringLiteral("old"));
    const struct {
        TKitFormPlacementVersionCheck check;
        int version;
        bool loads;
    } cases[] = {{fpvcCheckGreaterEqual, 2, false}, {fpvcCheckGreaterEqual, 1, true}, {fpvcCheckEqual, 0, false},
                 {fpvcNocheck, 7, true}};
    for (const auto& c : cases) {
        Edit->SetText(QStringLiteral("design"));
        FS->SetVersionCheck(c.check);
        FS->SetVersion(c.version);
        FS->RestorePlacement();
        EXPECT_TRUE(FS->Restored());
        EXPECT_EQ(Edit->Text(), c.loads ? QStringLiteral("old") : QStringLiteral("design")) << c.version;
    }
}

TEST_F(KitFormStorage, PlacementTextsAndTheirChecks)
{
    storeProps({});
    FS->SetOptions({fpSize, fpLocation});
    Form->SetBounds(10, 20, 300, 200);
    const String key = QStringLiteral("Software\\Test");
    Storage->WriteInteger(QStringLiteral("Test\\PixelsPerInch"), 96);  // makes the key
    const String other = QStringLiteral("(1x1)") == ResolutionSuffix() ? QStringLiteral("(2x2)") : QStringLiteral("(1x1)");
    const struct {
        const char* plain;
        const char* suffixed;     // under this desktop's suffix, or nullptr
        const char* otherDesktop; // under another desktop's suffix, or nullptr
        int ppi;
        TRect expected;
    } cases[] = {
        {"30,40,230,190", nullptr, "1,1,99,99", 96, Bounds(30, 40, 200, 150)},
        {"30,40,230,190", "50,60,150,160", nullptr, 96, Bounds(50, 60, 100, 100)},
        {"30,40,230,190", nullptr, nullptr, 120, Bounds(10, 20, 300, 200)},       // other pixels per inch
        {"-5000,-5000,-4900,-4900", nullptr, nullptr, 96, Bounds(10, 20, 300, 200)},  // off every monitor
        {"200,40,100,190", nullptr, nullptr, 96, Bounds(10, 20, 300, 200)},       // right not past left
        {"30 40 x 190", nullptr, nullptr, 96, Rect(30, 40, 300, 190)},  // bad word: the form's width stands for the right
    };
    for (const auto& c : cases) {
        Form->SetBounds(10, 20, 300, 200);
        for (const String& n : {QStringLiteral("NormPos"), QStringLiteral("NormPos") + ResolutionSuffix(), QStringLiteral("NormPos") + other})
            Storage->DeleteValue(QStringLiteral("Test\\") + n);
        WriteRegText(HKEY_CURRENT_USER, key, QStringLiteral("NormPos"), QString::fromLatin1(c.plain));
        if (c.suffixed != nullptr)
            WriteRegText(HKEY_CURRENT_USER, key, QStringLiteral("NormPos") + ResolutionSuffix(), QString::fromLatin1(c.suffixed));
        if (c.otherDesktop != nullptr)
            WriteRegText(HKEY_CURRENT_USER, key, QStringLiteral("NormPos") + other, QString::fromLatin1(c.otherDesktop));
        WriteRegInteger(HKEY_CURRENT_USER, key, QStringLiteral("PixelsPerInch"), c.ppi);
        FS->RestorePlacement();
        EXPECT_EQ(Form->BoundsRect(), c.expected) << c.plain;
    }
}

TEST_F(KitFormStorage, StateOnlyWritesAndReadsTheShowCommand)
{
    storeProps({});
    FS->SetOptions({fpState});
    FS->RestorePlacement();
    FS->SavePlacement();
    TStringList names;
    Storage->GetStoredValues(QStringLiteral("Test"), &names, false);
    QStringList got;
    for (int i = 0; i < names.Count(); ++i)
        got << names.Strings(i);
    got.sort(Qt::CaseInsensitive);
    EXPECT_EQ(got, (QStringList{QStringLiteral("FormVersion"), QStringLiteral("ShowCmd")}));
    const struct {
        int cmd;
        TWindowState state;
    } cases[] = {{3, wsMaximized}, {1, wsNormal}, {9, wsNormal}, {42, wsNormal}};
    FApp.SetMainForm(nullptr);
    TForm other(nullptr);
    FApp.SetMainForm(&other);  // this form is not the main form: no application minimise
    for (const auto& c : cases) {
        WriteRegInteger(HKEY_CURRENT_USER, QStringLiteral("Software\\Test"), QStringLiteral("ShowCmd"), c.cmd);
        FS->RestorePlacement();
        EXPECT_EQ(Form->WindowState(), c.state) << c.cmd;
    }
    FApp.SetMainForm(nullptr);
}

TEST_F(KitFormStorage, KeyedStoredValuesAreXorHex)
{
    storeProps({});
    FS->SetOptions({});
    FS->SetStoredValuesPath(QStringLiteral("Values"));
    TKitStoredValue* v = FS->StoredValues()->Add();
    v->SetName(QStringLiteral("Secret"));
    v->SetKeyString(QStringLiteral("K"));
    v->SetValue(Variant(QStringLiteral("a")));
    TKitStoredValue* n = FS->StoredValues()->Add();
    n->SetName(QStringLiteral("Count"));
    n->SetValue(Variant(5));
    EXPECT_THROW(n->SetName(QStringLiteral("secret")), EKitException);
    FS->RestorePlacement();
    v->SetValue(Variant(QStringLiteral("a")));
    n->SetValue(Variant(5));
    FS->SavePlacement();
    EXPECT_EQ(ReadRegTextOr(HKEY_CURRENT_USER, QStringLiteral("Software\\Test\\Values"), QStringLiteral("Secret"), String()),
              QStringLiteral("2a"));  // 'a' 0x61 xor 'K' 0x4B
    EXPECT_EQ(ReadRegIntegerOr(HKEY_CURRENT_USER, QStringLiteral("Software\\Test\\Values"), QStringLiteral("Count"), 0), 5);
    v->SetValue(Variant(QStringLiteral("z")));
    n->SetValue(Variant(0));
    FS->RestorePlacement();
    EXPECT_EQ(v->Value().AsString(), QStringLiteral("a"));
    EXPECT_EQ(n->Value().AsInteger(), 5);
}

// ---- window-procedure hooks ----

struct THookProbe : TObject {
    std::vector<String>* Log = nullptr;
    TControl* Control = nullptr;
    bool Swallow = false;
    std::function<void()> During;
    String Tag;
    bool Hook(TMessage& Msg)
    {
        if (Msg.Msg != WM_USER + 7)
            return false;
        Log->push_back(Tag);
        if (During)
            During();
        return Swallow;
    }
};

// The placement's limits join the form's own size constraints, and the
// form's own come back once the placement no longer limits the window; the
// window system gets them as the window's size limits.
TEST_F(KitFormStorage, PlacementLimitsKeepTheFormsOwnConstraints)
{
    Form->SetBounds(0, 0, 900, 500);
    Form->SetConstraints(TSizeConstraints{820, 400, 0, 0});
    storeProps({"Edit1.Text"});
    Form->Show();
    const auto limits = [&] {
        const TSizeConstraints c = Form->Constraints();
        return std::vector<int>{c.MinWidth, c.MinHeight, c.MaxWidth, c.MaxHeight};
    };
    EXPECT_EQ(limits(), (std::vector<int>{820, 400, 0, 0}));
    EXPECT_EQ(Form->Widget()->minimumSize(), QSize(820, 400));
    FS->MinMaxInfo()->SetValue(7, 450);   // min height
    FS->MinMaxInfo()->SetValue(4, 1200);  // max width
    EXPECT_EQ(limits(), (std::vector<int>{820, 450, 1200, 0}));
    EXPECT_EQ(Form->Widget()->minimumSize(), QSize(820, 450));
    EXPECT_EQ(Form->Widget()->maximumWidth(), 1200);
    FS->SetPreventResize(true);
    EXPECT_EQ(limits(), (std::vector<int>{900, 500, 900, 500}));
    FS->SetPreventResize(false);
    FS->MinMaxInfo()->SetValue(7, 0);
    FS->MinMaxInfo()->SetValue(4, 0);
    EXPECT_EQ(limits(), (std::vector<int>{820, 400, 0, 0}));
    EXPECT_EQ(Form->Widget()->minimumSize(), QSize(820, 400));
}

TEST(KitWndProcHook, ChainsRunInOrderAndSeeChangesMadeDuringDispatch)
{
    TApplication app(nullptr);
    app.Initialize();
    auto edit = std::make_unique<TEdit>(nullptr);
    std::vector<String> log;
    THookProbe b1, b2, a1, late;
    for (auto [p, tag] : {std::pair{&b1, "b1"}, std::pair{&b2, "b2"}, std::pair{&a1, "a1"}, std::pair{&late, "late"}}) {
        p->Log = &log;
        p->Tag = QString::fromLatin1(tag);
    }
    auto m = [](THookProbe& p) { return TKitHookMethod(&p, &THookProbe::Hook); };
    EXPECT_FALSE(RegisterWndProcHook(nullptr, m(b1), hoBeforeMsg));
    EXPECT_FALSE(RegisterWndProcHook(edit.get(), TKitHookMethod(), hoBeforeMsg));
    ASSERT_TRUE(RegisterWndProcHook(edit.get(), m(b1), hoBeforeMsg));
    ASSERT_TRUE(RegisterWndProcHook(edit.get(), m(b2), hoBeforeMsg));
    ASSERT_TRUE(RegisterWndProcHook(edit.get(), m(a1), hoAfterMsg));
    // b2, the last before hook, adds one: it runs for this message too.
    b2.During = [&] { RegisterWndProcHook(edit.get(), m(late), hoBeforeMsg); };
    edit->Perform(WM_USER + 7);
    EXPECT_EQ(log, (std::vector<String>{"b1", "b2", "late", "a1"}));
    b2.During = nullptr;
    // b1 removes b2 while running: dispatch goes on with what follows.
    log.clear();
    b1.During = [&] { UnRegisterWndProcHook(edit.get(), m(b2), hoBeforeMsg); };
    edit->Perform(WM_USER + 7);
    EXPECT_EQ(log, (std::vector<String>{"b1", "late", "a1"}));
    b1.During = nullptr;
    // A before hook that handles the message stops the control and the after chain.
    log.clear();
    late.Swallow = true;
    EXPECT_EQ(edit->Perform(WM_USER + 7), 0);
    EXPECT_EQ(log, (std::vector<String>{"b1", "late"}));
    // The last hook gone, the control's own procedure is back.
    for (auto* p : {&b1, &late})
        UnRegisterWndProcHook(edit.get(), m(*p), hoBeforeMsg);
    UnRegisterWndProcHook(edit.get(), m(a1), hoAfterMsg);
    EXPECT_TRUE(edit->WindowProc == TWndMethod(edit.get(), &TControl::WndProc) ||
                edit->WindowProc == TWndMethod(static_cast<TWinControl*>(edit.get()), &TWinControl::WndProc));
}

TEST(KitWndProcHook, AControlDestroyedInsideAHookEndsDispatchAndItsChainGoesLater)
{
    TApplication app(nullptr);
    app.Initialize();
    auto edit = std::make_unique<TEdit>(nullptr);
    std::vector<String> log;
    THookProbe killer, after;
    killer.Log = after.Log = &log;
    killer.Tag = QStringLiteral("killer");
    after.Tag = QStringLiteral("after");
    killer.During = [&] { edit.reset(); };
    const int pending = TKitReleaser::Instance()->PendingCount();
    RegisterWndProcHook(edit.get(), TKitHookMethod(&killer, &THookProbe::Hook), hoBeforeMsg);
    RegisterWndProcHook(edit.get(), TKitHookMethod(&after, &THookProbe::Hook), hoAfterMsg);
    edit->Perform(WM_USER + 7);
    EXPECT_EQ(log, (std::vector<String>{"killer"}));
    EXPECT_EQ(TKitReleaser::Instance()->PendingCount(), pending + 1);
    app.ProcessMessages();
    EXPECT_EQ(TKitReleaser::Instance()->PendingCount(), 0);
}

TEST(KitUtilsRect, ChangesNotifyOncePerRealChange)
{
    TKitRect r;
    int changes = 0;
    struct Counter : TObject {
        int* N;
        void Changed(TObject*) { ++*N; }
    } counter;
    counter.N = &changes;
    r.OnChange = TNotifyEvent(&counter, &Counter::Changed);
    r.SetLeft(0);
    EXPECT_EQ(changes, 0);
    r.SetLeft(5);
    EXPECT_EQ(changes, 1);
    TKitRect other;
    other.SetRight(9);
    r.Assign(&other);
    EXPECT_EQ(changes, 4);  // each point, then the rectangle once more
    EXPECT_EQ(r.Right(), 9);
    EXPECT_EQ(r.Left(), 0);
}

TEST(KitUtilsReferences, ReplacingTheSameReferenceChangesNothing)
{
    TComponent owner(nullptr), a(nullptr), b(nullptr);
    TComponent* ref = nullptr;
    EXPECT_TRUE(ReplaceComponentReference(&owner, &a, ref));
    EXPECT_FALSE(ReplaceComponentReference(&owner, &a, ref));
    EXPECT_FALSE(ReplaceComponentReference(nullptr, &b, ref));
    EXPECT_TRUE(ReplaceComponentReference(&owner, &b, ref));
    EXPECT_EQ(ref, &b);
    const int64_t t0 = TimeRunning();
    EXPECT_GE(TimeRunning(), t0);
}

}  // namespace
