// Tests of the editor framework: the properties' change protocol and
// defaults, buttons, the registry, the repository and the unit functions.
#include <QPixmap>
#include <gtest/gtest.h>

#include "ui/editors/vlEdit.h"
#include "tests/ui/foundation/SentinelSurface.h"
#include "ui/editors/vlTextEdit.h"
#include "tests/ui/foundation/ThemedLibrary.h"
#include "ui/foundation/vxOffice11.h"

namespace {

struct Counter {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
};

struct Props {
    TvlCustomEditProperties P{nullptr};
    Counter Changes;
    Props() { P.OnPropertiesChanged = TNotifyEvent(&Changes, &Counter::Changed); }
};

TEST(vlEditProperties, NestedUpdatesReportOneChange)
{
    Props p;
    p.P.BeginUpdate();
    p.P.BeginUpdate();
    p.P.BeginUpdate();
    p.P.SetAutoSelect(false);
    p.P.SetTransparent(true);
    p.P.EndUpdate();
    p.P.EndUpdate();
    EXPECT_EQ(p.Changes.Count, 0);
    p.P.EndUpdate();
    EXPECT_EQ(p.Changes.Count, 1);

    // EndUpdate(false) drops the report; the mark stays until the next
    // BeginUpdate from zero.
    p.P.BeginUpdate();
    p.P.SetAutoSelect(true);
    p.P.EndUpdate(false);
    EXPECT_EQ(p.Changes.Count, 1);
    EXPECT_TRUE(p.P.ChangedPending());
    p.P.BeginUpdate();
    EXPECT_FALSE(p.P.ChangedPending());
    p.P.EndUpdate();
    EXPECT_EQ(p.Changes.Count, 1);

    p.P.EndUpdate();  // without BeginUpdate: nothing
    EXPECT_EQ(p.Changes.Count, 1);

    p.P.LockUpdate(true);
    p.P.SetTransparent(false);
    p.P.LockUpdate(false);
    EXPECT_EQ(p.Changes.Count, 1);
    p.P.SetAutoSelect(true);  // equal: nothing
    EXPECT_EQ(p.Changes.Count, 1);
}

TEST(vlEditProperties, AssignedValuesMarkWhatWasSet)
{
    Props p;
    EXPECT_FALSE(p.P.AssignedValues()->MaxValue());
    p.P.SetMaxValue(0);
    EXPECT_TRUE(p.P.AssignedValues()->MaxValue());
    EXPECT_EQ(p.Changes.Count, 1);
    p.P.SetMaxValue(0);
    EXPECT_EQ(p.Changes.Count, 1);
    p.P.SetMaxValue(5);
    EXPECT_EQ(p.Changes.Count, 2);
    EXPECT_EQ(p.P.MaxValue(), 5);
}

struct ReadOnlyProvider : TvlCustomEditDefaultValuesProvider {
    ReadOnlyProvider() : TvlCustomEditDefaultValuesProvider(nullptr) {}
    bool ProvidedReadOnly() const override { return true; }
    TAlignment ProvidedAlignment() const override { return taRightJustify; }
    double ProvidedMaxValue() const override { return 9; }
};

TEST(vlEditProperties, TheProviderFillsInWhatIsNotAssigned)
{
    Props p;
    {
        ReadOnlyProvider provider;
        p.P.SetDefaultValuesProvider(&provider);
        EXPECT_TRUE(p.P.ReadOnly());
        EXPECT_FALSE(p.P.CanModify());
        EXPECT_EQ(p.P.MaxValue(), 9);
        EXPECT_EQ(p.P.Alignment()->Horz(), taRightJustify);
        EXPECT_FALSE(p.P.IsAlignmentStored());
        p.P.SetReadOnly(false);
        EXPECT_FALSE(p.P.ReadOnly());
        EXPECT_TRUE(p.P.CanModify());
        // Writing through the alignment marks it assigned.
        p.P.Alignment()->SetVert(taVCenter);
        EXPECT_TRUE(p.P.IsAlignmentStored());
    }
    // The provider's end detaches it.
    EXPECT_EQ(p.P.DefaultValuesProvider(), nullptr);
    EXPECT_EQ(p.P.MaxValue(), 0);
}

TEST(vlEditProperties, AssignCopiesSettingsButNotTheOwnersHandlers)
{
    Props source;
    struct Handlers {
        void PopupClosed(TObject*, int) {}
        void Changed(TObject*) {}
    } handlers;
    source.P.OnPopupClose = TvlEditPopupCloseEvent(&handlers, &Handlers::PopupClosed);
    source.P.OnChange = TNotifyEvent(&handlers, &Handlers::Changed);
    source.P.SetMaxValue(7);
    source.P.SetTransparent(true);
    source.P.Buttons()->Add()->SetKind(bkEllipsis);
    source.P.Alignment()->SetHorz(taCenter);

    Props target;
    target.P.SetMinValue(3);
    const int before = target.Changes.Count;
    target.P.Assign(&source.P);
    EXPECT_EQ(target.Changes.Count, before + 1);
    EXPECT_TRUE(target.P.AssignedValues()->MaxValue());
    EXPECT_EQ(target.P.MaxValue(), 7);
    EXPECT_FALSE(target.P.AssignedValues()->MinValue());
    EXPECT_TRUE(target.P.Transparent());
    EXPECT_EQ(target.P.Buttons()->Count(), 1);
    EXPECT_EQ(target.P.Buttons()->Items(0)->Kind(), bkEllipsis);
    EXPECT_EQ(target.P.Alignment()->Horz(), taCenter);
    EXPECT_TRUE(target.P.OnChange == source.P.OnChange);
    EXPECT_FALSE(target.P.OnPopupClose.Assigned());
    EXPECT_TRUE(target.P.OnPropertiesChanged == TNotifyEvent(&target.Changes, &Counter::Changed));
}

TEST(vlEditProperties, RegistryIsSortedByDescription)
{
    TvlRegisteredClasses* registry = GetRegisteredEditProperties();
    std::vector<String> names;
    for (int i = 0; i < registry->Count(); ++i)
        names.push_back(registry->RegistrationTexts(i).section(QLatin1Char('|'), 0, 0));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(),
                               [](const String& a, const String& b) { return a.compare(b, Qt::CaseInsensitive) < 0; }));
    const std::vector<String> ours = {QStringLiteral("ComboBox"), QStringLiteral("ImageComboBox"),
                                      QStringLiteral("PopupEdit"), QStringLiteral("TextEdit")};
    for (const String& name : ours)
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name.toStdString();

    TvlClass text = FindEditPropertiesClass(QStringLiteral("TvlTextEditProperties"));
    ASSERT_NE(text, nullptr);
    TComponent owner(nullptr);
    auto made = CreateEditProperties(text, &owner);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->ClassName(), QStringLiteral("TvlTextEditProperties"));
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_EQ(made->CreatePreviewProperties()->ClassName(), QStringLiteral("TvlTextEditProperties"));
    EXPECT_EQ(FindEditPropertiesClass(QStringLiteral("TvlNoSuchProperties")), nullptr);
}

TEST(vlEditButtons, NewButtonsAndTheirChangeChain)
{
    Props p;
    TvlEditButton* b = p.P.Buttons()->Add();
    EXPECT_EQ(p.Changes.Count, 1);
    EXPECT_TRUE(b->Visible());
    EXPECT_TRUE(b->Enabled());
    EXPECT_TRUE(b->Stretchable());
    EXPECT_EQ(b->Kind(), bkDown);
    EXPECT_EQ(b->ContentAlignment(), taCenter);
    EXPECT_EQ(b->Width(), 0);
    EXPECT_FALSE(b->Default());
    EXPECT_EQ(b->TextColor(), clBtnText);

    struct Step {
        const char* name;
        std::function<void()> set;
        int changes;
    } steps[] = {
        {"caption", [&] { b->SetCaption(QStringLiteral("&Open")); }, 1},
        {"caption again", [&] { b->SetCaption(QStringLiteral("&Open")); }, 0},
        {"hint", [&] { b->SetHint(QStringLiteral("h")); }, 0},
        {"tag", [&] { b->SetTag(3); }, 0},
        {"kind", [&] { b->SetKind(bkText); }, 1},
        {"kind again", [&] { b->SetKind(bkText); }, 0},
        {"alignment", [&] { b->SetContentAlignment(taLeftJustify); }, 1},
        {"enabled", [&] { b->SetEnabled(false); }, 1},
        {"left", [&] { b->SetLeftAlignment(true); }, 1},
        {"stretch", [&] { b->SetStretchable(false); }, 1},
        {"visible", [&] { b->SetVisible(false); }, 1},
        {"width", [&] { b->SetWidth(20); }, 1},
        {"width again", [&] { b->SetWidth(20); }, 0},
        {"glyph edited in place", [&] { b->Glyph()->SetSize(4, 4); }, 1},
    };
    for (const Step& step : steps) {
        const int before = p.Changes.Count;
        step.set();
        EXPECT_EQ(p.Changes.Count - before, step.changes) << step.name;
    }
    EXPECT_EQ(b->Caption(), QStringLiteral("&Open"));
    EXPECT_EQ(b->VisibleCaption(), QStringLiteral("Open"));
    b->SetGlyph(nullptr);
    EXPECT_EQ(b->GlyphIfAny(), nullptr);
    EXPECT_TRUE(b->Glyph()->Empty());
}

TEST(vlEditButtons, NegativeWidthIsRefusedAndLaterWidthsStillTake)
{
    TvlCustomEditProperties p(nullptr);
    TvlEditButton* b = p.Buttons()->Add();
    b->SetWidth(-3);
    EXPECT_EQ(b->Width(), 0);
    b->SetWidth(15);
    EXPECT_EQ(b->Width(), 15);
}

TEST(vlEditButtons, OneDefaultButtonAtMost)
{
    Props p;
    for (int i = 0; i < 3; ++i)
        p.P.Buttons()->Add();
    p.P.Buttons()->Items(0)->SetDefault(true);
    const int before = p.Changes.Count;
    p.P.Buttons()->Items(1)->SetDefault(true);
    EXPECT_EQ(p.Changes.Count, before + 1);
    EXPECT_FALSE(p.P.Buttons()->Items(0)->Default());
    EXPECT_TRUE(p.P.Buttons()->Items(1)->Default());
    p.P.Buttons()->Items(1)->SetDefault(false);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(p.P.Buttons()->Items(i)->Default());
    p.P.Buttons()->Items(2)->SetVisible(false);
    EXPECT_EQ(p.P.Buttons()->VisibleButtonCount(), 2);
}

struct Observer : IvlEditRepositoryItemObserver {
    std::vector<std::string>* Log;
    std::string Name;
    Observer(std::vector<std::string>* ALog, std::string AName) : Log(ALog), Name(std::move(AName)) {}
    void RepositoryItemFreed(TvlEditRepositoryItem*) override { Log->push_back(Name + " freed"); }
    void ItemPropertiesChanged(TvlEditRepositoryItem*) override { Log->push_back(Name + " changed"); }
};

TEST(vlEditRepository, ItemsTellTheirObserversLastFirst)
{
    std::vector<std::string> log;
    Observer a(&log, "a");
    Observer b(&log, "b");
    TComponent form(nullptr);
    auto repository = std::make_unique<TvlEditRepository>(&form);
    TvlEditRepositoryItem* item =
        repository->NewItemEx([](TComponent* AOwner) { return new TvlEditRepositoryItem(AOwner); }, &form);
    EXPECT_EQ(repository->Count(), 1);
    item->AttachObserver(&a);
    item->AttachObserver(&b);
    item->AttachObserver(&a);
    EXPECT_EQ(item->ObserverCount(), 2);
    item->Properties()->SetAutoSelect(false);
    EXPECT_EQ(log, (std::vector<std::string>{"b changed", "a changed"}));
    log.clear();
    repository->SetName(QStringLiteral("Repo"));
    EXPECT_EQ(item->ProposeItemName(), QStringLiteral("RepoItem"));
    repository.reset();  // frees its items
    EXPECT_EQ(log, (std::vector<std::string>{"b freed", "a freed"}));
    EXPECT_EQ(form.ComponentCount(), 0);

    TvlEditRepositoryItem loose(nullptr);
    EXPECT_THROW(loose.SetParentComponent(&form), EInvalidCast);
}

TEST(vlEditUnit, SmallFunctions)
{
    EXPECT_TRUE(IsBlankChar(QChar(9)));
    EXPECT_TRUE(IsBlankChar(QChar(0)));
    EXPECT_FALSE(IsBlankChar(QChar(11)));
    EXPECT_TRUE(MouseButtonCodeToShift(2) == TShiftState{ssRight});
    EXPECT_TRUE(MouseButtonCodeToShift(0) == TShiftState{});
    TSize s{3, 9};
    ExtendSize(s, TSize{5, 2});
    EXPECT_EQ(s.cx, 5);
    EXPECT_EQ(s.cy, 9);
    TComponent owner(nullptr);
    TvlTextEditProperties p(&owner);
    EXPECT_EQ(GetOwnerComponent(p.Alignment()), &owner);
    EXPECT_EQ(GetOwnerComponent(p.Buttons()->Add()), &owner);
}

}  // namespace

namespace {

TEST(vlEditStyles, FallbackTableWithAndWithoutController)
{
    TvlCustomEdit edit(nullptr);
    TvlCustomEditStyle* normal = edit.Style();
    auto* focused = static_cast<TvlCustomEditStyle*>(edit.GetStyleFocused());
    auto* disabled = static_cast<TvlCustomEditStyle*>(edit.GetStyleDisabled());
    auto* hot = static_cast<TvlCustomEditStyle*>(edit.GetStyleHot());
    EXPECT_EQ(normal->GetStyleValueCount(), 16);

    // Nothing assigned, and the default controller assigns nothing either.
    EXPECT_EQ(normal->StyleController(), nullptr);
    EXPECT_EQ(normal->ButtonStyle(), btsDefault);
    EXPECT_EQ(normal->ButtonTransparency(), ebtNone);
    EXPECT_EQ(normal->PopupBorderStyle(), epbsDefault);
    EXPECT_FALSE(normal->Gradient());
    EXPECT_EQ(normal->GradientDirection(), dirDown);
    EXPECT_TRUE(normal->PopupCloseButton());

    // ButtonStyle belongs to each state; the others to the normal style.
    normal->SetButtonStyle(bts3D);
    hot->SetButtonStyle(btsFlat);
    disabled->SetGradient(true);
    focused->SetButtonTransparency(ebtHideInactive);
    struct Row {
        const char* state;
        TvlCustomEditStyle* style;
        TvlEditButtonStyle buttonStyle;
        bool buttonStyleAssigned;
    } rows[] = {
        {"normal", normal, bts3D, true},
        {"focused", focused, bts3D, false},
        {"disabled", disabled, bts3D, false},
        {"hot", hot, btsFlat, true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.style->ButtonStyle(), row.buttonStyle) << row.state;
        EXPECT_EQ(row.style->IsValueAssigned(svButtonStyle), row.buttonStyleAssigned) << row.state;
        EXPECT_TRUE(row.style->Gradient()) << row.state;
        EXPECT_EQ(row.style->ButtonTransparency(), ebtHideInactive) << row.state;
        // Assigned only where the lookup finds the bit: on the normal style.
        EXPECT_EQ(row.style->IsValueAssigned(svGradient), row.style == normal) << row.state;
    }
    EXPECT_TRUE(normal->AssignedValues().Contains(svGradient));
    EXPECT_FALSE(disabled->AssignedValues().Contains(svGradient));

    // A controller's focused style fills in what the editor's does not.
    TvlEditStyleController controller(nullptr);
    normal->SetStyleController(&controller);
    controller.StyleFocused()->SetButtonStyle(btsUltraFlat);
    controller.Style()->SetPopupBorderStyle(epbsFlat);
    EXPECT_EQ(focused->ButtonStyle(), btsUltraFlat);
    EXPECT_TRUE(focused->IsValueAssigned(svButtonStyle));
    EXPECT_EQ(normal->ButtonStyle(), bts3D);
    EXPECT_EQ(normal->PopupBorderStyle(), epbsFlat);
    EXPECT_EQ(hot->PopupBorderStyle(), epbsFlat);
    normal->SetStyleController(nullptr);

    String name;
    EXPECT_TRUE(normal->GetStyleValueName(svGradientDirection, name));
    EXPECT_EQ(name, QStringLiteral("GradientDirection"));
    EXPECT_FALSE(normal->GetStyleValueName(16, name));
    TvlContainerStyleValue found = -1;
    EXPECT_TRUE(normal->FindStyleValue(QStringLiteral("PopupBorderStyle"), found));
    EXPECT_EQ(found, svPopupBorderStyle);
}

TEST(vlEditStyles, DirectAccessIgnoresControllersAndEqualSettersAreQuiet)
{
    TvlEditStyleController controller(nullptr);
    controller.Style()->SetButtonStyle(btsHotFlat);
    TvlEditStyle style(nullptr, csNormal, nullptr, true);
    style.SetStyleController(&controller);
    EXPECT_EQ(style.ButtonStyle(), btsDefault);

    TvlEditStyle plain(nullptr, csNormal, nullptr, false);
    int changes = 0;
    struct Count {
        int* N;
        void Changed(TObject*) { ++*N; }
    } counter{&changes};
    plain.OnChanged = TNotifyEvent(&counter, &Count::Changed);
    plain.SetButtonStyle(btsFlat);
    plain.SetButtonStyle(btsFlat);
    EXPECT_EQ(changes, 1);

    TvlEditStyle copy(nullptr, csNormal, nullptr, false);
    copy.Assign(&plain);
    EXPECT_EQ(copy.ButtonStyle(), btsFlat);
    EXPECT_TRUE(copy.AssignedValues().Contains(svButtonStyle));
}

TEST(vlEditStyles, StandaloneEditorsFollowTheDefaultControllerInPlaceOnesNone)
{
    TStartupList units;
    AddvlEditUnit(units);
    units.Initialize();
    ASSERT_NE(GetEditorsDefaultStyleController(), nullptr);
    {
        TvlCustomEdit standalone(nullptr);
        TvlCustomEdit inplace(nullptr, true);
        EXPECT_EQ(standalone.Style()->GetActiveStyleController(), GetEditorsDefaultStyleController());
        EXPECT_EQ(standalone.Style()->StyleController(), nullptr);  // the default is not named
        EXPECT_EQ(inplace.Style()->GetActiveStyleController(), nullptr);
        GetEditorsDefaultStyleController()->Style()->SetButtonStyle(btsOffice11);
        EXPECT_EQ(standalone.Style()->ButtonStyle(), btsOffice11);
        EXPECT_EQ(inplace.Style()->ButtonStyle(), btsDefault);
    }
    units.Finalize();
}

TEST(vlInplaceEditList, ReusesExactThenFreeOfTheClassThenMakesNew)
{
    TComponent owner(nullptr);
    TvlInplaceEditList list(&owner);
    auto first = std::make_unique<TvlCustomEditProperties>(nullptr);
    first->SetAutoSelect(false);
    TvlCustomEdit* edit = list.GetEdit(first.get());
    EXPECT_TRUE(edit->IsInplace());
    EXPECT_FALSE(edit->Visible());
    EXPECT_FALSE(edit->Properties()->AutoSelect());
    EXPECT_EQ(list.GetEdit(first.get()), edit);
    first.reset();  // frees its entry, the editor stays

    TvlCustomEditProperties second(nullptr);
    EXPECT_EQ(list.GetEdit(&second), edit);
    EXPECT_TRUE(edit->Properties()->AutoSelect());
    EXPECT_EQ(list.Count(), 1);

    TvlClass baseClass = &TvlCustomEditProperties::StaticClassInfo();
    // No class registered under the base: an editor needs a factory.
    EXPECT_EQ(list.GetEditByClass(baseClass), nullptr);
    TvlClass textClass = FindEditPropertiesClass(QStringLiteral("TvlTextEditProperties"));
    TvlCustomEdit* free = list.GetEditByClass(textClass);
    ASSERT_NE(free, nullptr);
    EXPECT_EQ(list.GetEditByClass(textClass), free);
    EXPECT_EQ(list.Count(), 2);
    list.RemoveItem(&second);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.EditAt(0), free);
}

// ---- view data and view info ----------------------------------------------------

// One properties object with fixed-width buttons, measured in a plain style.
struct Layout {
    TvlCustomEditProperties P{nullptr};
    TvlEditStyle S{nullptr, csNormal, nullptr, false};
    Surface Canvas{4, 4};
    TvlCustomEditViewInfo Info;
    explicit Layout(std::initializer_list<int> AWidths, TvlEditBorderStyle ABorder = ebsSingle)
    {
        P.Buttons()->Clear();
        for (int w : AWidths) {
            TvlEditButton* b = P.Buttons()->Add();
            b->SetWidth(w);
        }
        S.SetBorderStyle(ABorder);
        S.SetTransparentBorder(false);
    }
    TvlCustomEditViewData& Data(bool AInplace = false)
    {
        FData = P.CreateViewData(&S, AInplace);
        return *FData;
    }
    void Calc(TvlCustomEditViewData& D, const TRect& R, TPoint AMouse = {-1, -1}, TShiftState AShift = {})
    {
        D.Calculate(&Canvas.Vl, R, AMouse, cxmbNone, AShift, &Info, false);
    }
    TRect B(int i) const { return Info.ButtonsInfo[size_t(i)]->Bounds; }
    TRect V(int i) const { return Info.ButtonsInfo[size_t(i)]->VisibleBounds; }

private:
    std::unique_ptr<TvlCustomEditViewData> FData;
};

TEST(vlEditViewData, NarrowEditorShowsOuterButtonsWholeAndCutsInnerOnes)
{
    Layout l({20, 20, 20});
    auto& d = l.Data();
    l.Calc(d, Rect(0, 0, 30, 20));
    EXPECT_EQ(l.Info.BorderRect, Rect(1, 1, 29, 19));
    ASSERT_EQ(l.Info.ButtonsInfo.size(), 3u);
    EXPECT_EQ(l.B(2), Rect(9, 1, 29, 19));
    EXPECT_EQ(l.V(2), l.B(2));
    EXPECT_EQ(l.B(1), Rect(-11, 1, 9, 19));
    EXPECT_EQ(l.V(1), Rect(1, 1, 9, 19));
    EXPECT_TRUE(IsRectEmpty(l.B(0)));
    EXPECT_TRUE(IsRectEmpty(l.V(0)));
    EXPECT_TRUE(l.Info.ButtonsInfo[2]->Data.Rightmost);
    EXPECT_TRUE(l.Info.ButtonsInfo[1]->Data.Leftmost);  // the last one with room
    EXPECT_FALSE(l.Info.ButtonsInfo[0]->Data.Leftmost);
    // The cut button pushes the client rectangle by its visible part only;
    // parts are found by visible bounds.
    EXPECT_EQ(l.Info.ClientRect.Right, 1);
    EXPECT_EQ(l.Info.GetPart(TPoint{5, 5}), 1);
    EXPECT_EQ(l.Info.GetPart(TPoint{-5, 5}), -2);
}

TEST(vlEditViewData, ButtonsOnlyLayoutSharesFreeWidthByWidthLastGetsTheRest)
{
    Layout l({20, 30});
    l.P.SetButtonsLayout(eblButtonsOnly);
    auto& d = l.Data(true);
    l.Calc(d, Rect(0, 0, 100, 18));
    ASSERT_EQ(l.Info.ButtonsInfo.size(), 2u);
    // The last button is visited first and gets 50 * 30 div 50 = 30; the
    // other one the remaining 20.
    EXPECT_EQ(l.B(1), Rect(40, 0, 100, 18));
    EXPECT_EQ(l.B(0), Rect(0, 0, 40, 18));
    EXPECT_EQ(l.V(0), l.B(0));
}

TEST(vlEditViewData, ComboStyleHidingStatesAndBorders)
{
    Layout one({17});
    auto& d1 = one.Data();
    one.Calc(d1, Rect(0, 0, 80, 20));
    EXPECT_TRUE(one.Info.ButtonsInfo[0]->Data.ComboBoxStyle);
    Layout two({17, 17});
    auto& d2 = two.Data();
    two.Calc(d2, Rect(0, 0, 80, 20));
    EXPECT_FALSE(two.Info.ButtonsInfo[1]->Data.ComboBoxStyle);

    // Unfocused with hide-inactive: no buttons, the former place is frame.
    one.S.SetButtonTransparency(ebtHideInactive);
    one.Calc(d1, Rect(0, 0, 80, 20));
    EXPECT_TRUE(one.Info.ButtonsInfo.empty());
    EXPECT_EQ(one.Info.GetPart(TPoint{75, 10}), -1);
    EXPECT_EQ(one.Info.ClientRect, Rect(1, 1, 79, 19));
    d1.Focused = true;
    one.Calc(d1, Rect(0, 0, 80, 20));
    EXPECT_EQ(one.Info.ButtonsInfo.size(), 1u);

    // Disabled wins over the mouse; designing ignores it.
    d1.Enabled = false;
    EXPECT_EQ(d1.ComputeContainerState(Rect(0, 0, 80, 20), TPoint{5, 5}, cxmbNone, {}, true),
              TvlContainerState{csDisabled});
    d1.Enabled = true;
    d1.IsDesigning = true;
    EXPECT_EQ(d1.ComputeContainerState(Rect(0, 0, 80, 20), TPoint{5, 5}, cxmbNone, {}, true),
              TvlContainerState{csNormal});
    d1.IsDesigning = false;
    d1.Focused = false;
    EXPECT_EQ(d1.ComputeContainerState(Rect(0, 0, 80, 20), TPoint{5, 5}, cxmbNone, {}, true),
              TvlContainerState({csNormal, csHotTrack}));

    // Hovering a button makes it hot; a left click presses it.
    one.S.SetButtonTransparency(ebtNone);
    one.Calc(d1, Rect(0, 0, 80, 20), TPoint{75, 10});
    EXPECT_EQ(one.Info.ButtonsInfo[0]->Data.State, bdsHot);
    EXPECT_EQ(one.Info.SelectedButton, 0);
    d1.Calculate(&one.Canvas.Vl, Rect(0, 0, 80, 20), TPoint{75, 10}, cxmbLeft, TShiftState{ssLeft}, &one.Info, true);
    EXPECT_EQ(one.Info.ButtonsInfo[0]->Data.State, bdsPressed);
    EXPECT_EQ(one.Info.PressedButton, 0);
}

TEST(vlEditViewData, BorderExtentByStyleAndShadow)
{
    struct Case {
        TvlEditBorderStyle Border;
        bool Shadow;
        TRect Rect;
    };
    const Case cases[] = {
        {ebsNone, false, Rect(0, 0, 40, 20)},   {ebsSingle, false, Rect(1, 1, 39, 19)},
        {ebs3D, false, Rect(2, 2, 38, 18)},     {ebsUltraFlat, false, Rect(1, 1, 39, 19)},
        {ebsThick, true, Rect(2, 2, 35, 15)},
    };
    for (const Case& c : cases) {
        Layout l({}, c.Border);
        l.S.SetShadow(c.Shadow);
        auto& d = l.Data();
        l.Calc(d, Rect(0, 0, 40, 20));
        EXPECT_EQ(l.Info.BorderRect, c.Rect) << int(c.Border);
    }
}

TEST(vlEditViewData, EditSizeIsTheFrameAndButtonsWithinTheWidthLimit)
{
    Layout l({20});
    auto& d = l.Data();
    TSize size{};
    d.GetEditSize(&l.Canvas.Vl, Variant(), TvlEditMeasureParams{}, size, nullptr);
    EXPECT_EQ(size.cx, 22);
    EXPECT_EQ(size.cy, 2);
    // A limit narrower than the frame gives the limit.
    TvlEditMeasureParams narrow;
    narrow.MaxWidth = 10;
    d.GetEditSize(&l.Canvas.Vl, Variant(), narrow, size, nullptr);
    EXPECT_EQ(size.cx, 10);
    // A standalone editor's size constraints bound the result.
    TvlCustomEdit edit(nullptr);
    edit.SetConstraints(TSizeConstraints{0, 30, 15, 0});
    d.Edit = &edit;
    d.GetEditSize(&l.Canvas.Vl, Variant(), TvlEditMeasureParams{}, size, nullptr);
    EXPECT_EQ(size.cx, 15);
    EXPECT_EQ(size.cy, 30);
}

QRgb rgbOf(TColor AColor)
{
    const TColor c = ColorToRGB(AColor);
    return qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

TEST(vlEditViewInfo, ThreeDButtonBorderPressedAndUnpressed)
{
    for (const bool pressed : {false, true}) {
        Surface s(12, 12);
        TvlCustomEditViewInfo info;
        info.BorderRect = Rect(0, 0, 12, 12);
        info.SetButtonsInfoCount(1);
        TvlEditButtonViewInfo& b = *info.ButtonsInfo[0];
        b.Bounds = b.VisibleBounds = Rect(0, 0, 12, 12);
        b.Data.Kind = bkGlyph;  // no glyph: border and background only
        b.Data.Style = bts3D;
        b.Data.State = pressed ? bdsPressed : bdsNormal;
        info.DrawButtons(&s.Vl);
        if (pressed) {
            EXPECT_EQ(s.at(0, 6), rgbOf(clBtnShadow));
            EXPECT_EQ(s.at(11, 6), rgbOf(clBtnShadow));
            EXPECT_EQ(s.at(1, 6), rgbOf(clBtnFace));
        } else {
            EXPECT_EQ(s.at(0, 6), rgbOf(cl3DLight));
            EXPECT_EQ(s.at(6, 0), rgbOf(cl3DLight));
            EXPECT_EQ(s.at(11, 6), rgbOf(cl3DDkShadow));
            EXPECT_EQ(s.at(6, 11), rgbOf(cl3DDkShadow));
            EXPECT_EQ(s.at(1, 6), rgbOf(clBtnHighlight));
            EXPECT_EQ(s.at(10, 6), rgbOf(clBtnShadow));
        }
        EXPECT_EQ(s.at(6, 6), rgbOf(clBtnFace));
    }
}


TEST(vlEditViewInfo, StandaloneFrameAroundFilledBorderRectangleButtonsOnTop)
{
    Layout l({5});
    l.S.SetBorderColor(clRed);
    l.S.SetColor(clWhite);
    auto& d = l.Data();
    Surface s(20, 10);
    l.Calc(d, Rect(0, 0, 20, 10));
    l.Info.DrawCustomEdit(&s.Vl, true);
    EXPECT_EQ(s.at(0, 5), rgbOf(clRed));
    EXPECT_EQ(s.at(19, 5), rgbOf(clRed));
    EXPECT_EQ(s.at(5, 9), rgbOf(clRed));
    EXPECT_EQ(s.at(3, 5), rgbOf(clWhite));
    // The button covers the right end of the border rectangle.
    EXPECT_EQ(l.B(0), Rect(14, 1, 19, 9));
    EXPECT_NE(s.at(14, 1), rgbOf(clWhite));
}


TEST(vlEditViewInfo, UpdateRegionIsTheChangedButtonsUnlessTheFrameChanged)
{
    Layout l({6, 6});
    auto& d = l.Data();
    l.Calc(d, Rect(0, 0, 40, 12));
    TvlCustomEditViewInfo old;
    old.Assign(&l.Info);
    old.EditBorderStyle = l.Info.EditBorderStyle;
    old.BorderColor = l.Info.BorderColor;
    old.SetButtonsInfoCount(2);
    for (int i = 0; i < 2; ++i)
        old.ButtonsInfo[size_t(i)]->Assign(l.Info.ButtonsInfo[size_t(i)].get());
    EXPECT_TRUE(l.Info.GetUpdateRegion(&old)->IsEmpty());

    l.Info.ButtonsInfo[1]->Data.State = bdsHot;
    TRect box;
    GetRgnBox(l.Info.GetUpdateRegion(&old)->Handle(), box);
    EXPECT_EQ(box, l.B(1));

    old.EditBorderStyle = ebs3D;
    GetRgnBox(l.Info.GetUpdateRegion(&old)->Handle(), box);
    EXPECT_EQ(box, l.Info.Bounds);
}

TEST(vlEditUnit, TheMouseWheelCursorLivesWithTheUnit)
{
    TStartupList units;
    AddvlEditUnit(units);
    units.Initialize();
    EXPECT_TRUE(IsScreenCursorRegistered(crvlEditMouseWheel));
    EXPECT_EQ(crvlEditMouseWheel, 4101);
    units.Finalize();
    EXPECT_FALSE(IsScreenCursorRegistered(crvlEditMouseWheel));
}

TEST(vlEditViewData, GlyphsAndCaptionsSetTheLeastContentHeight)
{
    struct Case {
        const char* Name;
        TvlEditButtonKind Kind;
        bool Inplace;
        bool ButtonsOnly;
    };
    const Case cases[] = {
        {"glyph, standalone", bkGlyph, false, false},
        {"caption, in place", bkText, true, false},
        {"caption, standalone: not counted", bkText, false, false},
        {"buttons only, standalone: a line of text", bkText, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Layout l({}, ebsSingle);
        TvlEditButton* b = l.P.Buttons()->Add();
        b->SetKind(c.Kind);
        b->SetCaption(QStringLiteral("Open"));
        b->Glyph()->SetSize(8, 16);
        if (c.ButtonsOnly)
            l.P.SetButtonsLayout(eblButtonsOnly);
        auto& d = l.Data(c.Inplace);
        TSize size{};
        d.GetEditSize(&l.Canvas.Vl, Variant(), TvlEditMeasureParams{}, size, nullptr);
        l.Canvas.Vl.SetFont(l.S.GetVisibleFont());
        const int frame = c.Inplace ? 0 : 2;  // a one-pixel border above and below
        int expected = frame;
        if (c.ButtonsOnly)
            expected += d.ContentSizeCorrection().cy + l.Canvas.Vl.TextHeight(QStringLiteral("Zg"));
        else if (c.Kind == bkGlyph)
            expected = 16 + 2 + 2;  // the glyph, the button's margins, the border
        else if (c.Inplace)
            expected = l.Canvas.Vl.TextHeight(QStringLiteral("Open")) + 2;
        EXPECT_EQ(size.cy, expected);
    }
}

TEST(vlEditViewData, ContentParamsAndPopupBorderStyle)
{
    Layout l({17});
    auto& d = l.Data(true);
    EXPECT_EQ(d.EditContentParams.Offsets, Rect(1, 1, 1, 1));
    EXPECT_EQ(d.ContentSizeCorrection(), (TSize{3, 2}));
    auto& s = l.Data(false);
    EXPECT_EQ(s.ContentSizeCorrection(), (TSize{3, 4}));

    // Without an editor the style's value stands; with one (whose state
    // picks its own style) the default follows the look in place and the
    // border standalone.
    TvlCustomEdit edit(nullptr);
    edit.Style()->SetTransparentBorder(false);
    struct Case {
        bool Inplace;
        TvlEditBorderStyle Border;
        TvlLookAndFeelKind Kind;
        TvlEditPopupBorderStyle Expected;
    };
    const Case cases[] = {
        {true, ebsSingle, lfFlat, epbsFlat},       {true, ebsSingle, lfStandard, epbsFrame3D},
        {true, ebsSingle, lfOffice11, epbsSingle}, {false, ebsFlat, lfStandard, epbsFlat},
        {false, ebs3D, lfFlat, epbsSingle},        {false, ebsNone, lfFlat, epbsFlat},
    };
    for (const Case& c : cases) {
        for (TvlCustomEditStyle* style : {static_cast<TvlCustomEditStyle*>(&l.S), edit.Style()}) {
            style->SetBorderStyle(c.Border);
            style->LookAndFeel()->SetKind(c.Kind);
        }
        auto& v = l.Data(c.Inplace);
        l.Calc(v, Rect(0, 0, 60, 20));
        EXPECT_EQ(l.Info.PopupBorderStyle, epbsDefault);
        v.Edit = &edit;
        l.Calc(v, Rect(0, 0, 60, 20));
        EXPECT_EQ(l.Info.PopupBorderStyle, c.Expected) << c.Inplace << ' ' << int(c.Border) << ' ' << int(c.Kind);
    }
    // Standalone without a border but with buttons: the look of the first
    // button's style (hot-flat buttons of a hot-tracked style look flat).
    edit.Style()->SetBorderStyle(ebsNone);
    edit.Style()->SetButtonStyle(btsHotFlat);
    auto& v = l.Data(false);
    v.Edit = &edit;
    l.Calc(v, Rect(0, 0, 60, 20));
    EXPECT_EQ(l.Info.PopupBorderStyle, epbsFlat);
    edit.Style()->SetButtonStyle(bts3D);
    l.Calc(v, Rect(0, 0, 60, 20));
    EXPECT_EQ(l.Info.PopupBorderStyle, epbsFrame3D);
}

TEST(vlEditViewData, NativeLookThemesFrameAndButtons)
{
    Themed themed;
    Layout one({17});
    one.S.LookAndFeel()->SetNativeStyle(true);
    auto& d = one.Data();
    ASSERT_TRUE(d.NativeStyle);
    one.Calc(d, Rect(0, 0, 80, 20));
    EXPECT_EQ(one.Info.BorderRect, Rect(2, 2, 78, 18));
    EXPECT_EQ(one.Info.NativeState, 1);
    // A single arrow of a standalone editor is the combo box's own part,
    // taking the whole height.
    const TvlEditButtonViewInfoData& b = one.Info.ButtonsInfo[0]->Data;
    EXPECT_EQ(b.NativePart, 6);
    EXPECT_EQ(b.NativeState, 1);
    EXPECT_EQ(one.Info.ButtonsInfo[0]->Bounds.Top, 0);
    one.Calc(d, Rect(0, 0, 80, 20), TPoint{75, 10});
    EXPECT_EQ(one.Info.ButtonsInfo[0]->Data.NativeState, 2);
    EXPECT_EQ(one.Info.NativeState, 2);
    d.Enabled = false;
    one.Calc(d, Rect(0, 0, 80, 20));
    EXPECT_EQ(one.Info.NativeState, 4);
    EXPECT_EQ(one.Info.ButtonsInfo[0]->Data.NativeState, 4);
    // Disabled without an own colour: the theme's fill colour.
    EXPECT_EQ(one.Info.BackgroundColor(), themed.fake()->Color);
    d.Enabled = true;

    // In place, and with two buttons, plain button parts.
    Layout inplace({17});
    inplace.S.LookAndFeel()->SetNativeStyle(true);
    auto& di = inplace.Data(true);
    inplace.Calc(di, Rect(0, 0, 80, 20));
    EXPECT_EQ(inplace.Info.ButtonsInfo[0]->Data.NativePart, 1);
    Layout two({17, 17});
    two.S.LookAndFeel()->SetNativeStyle(true);
    auto& d2 = two.Data();
    two.Calc(d2, Rect(0, 0, 80, 20));
    EXPECT_EQ(two.Info.ButtonsInfo[1]->Data.NativePart, 1);

    // Painting asks the theme for the edit frame and the button part.
    themed.fake()->Log.clear();
    Surface s(80, 20);
    one.Calc(d, Rect(0, 0, 80, 20));
    one.Info.Paint(&s.Vl);
    std::vector<std::string> drawn;
    for (const auto& call : themed.fake()->Log)
        if (call.Name == QStringLiteral("DrawThemeBackground"))
            drawn.push_back(call.ClassList.toStdString() + ' ' + std::to_string(call.Part));
    EXPECT_EQ(drawn, (std::vector<std::string>{"Edit 1", "ComboBox 6"}));
}

TEST(vlEditViewInfo, GlyphButtonsOffScreenAndCustomDrawHandlers)
{
    Layout l({16});
    TvlEditButton* b = l.P.Buttons()->Items(0);
    b->SetKind(bkGlyph);
    TBitmap* glyph = b->Glyph();
    glyph->SetSize(6, 6);
    glyph->Canvas()->Brush()->SetColor(clRed);
    glyph->Canvas()->FillRect(Rect(0, 0, 6, 6));
    glyph->Canvas()->SetPixels(0, 5, clWhite);  // the transparent colour
    l.S.SetButtonStyle(btsFlat);
    auto& d = l.Data();
    Surface s(40, 20);
    l.Calc(d, Rect(0, 0, 40, 20));
    ASSERT_EQ(l.B(0), Rect(23, 1, 39, 19));
    l.Info.Paint(&s.Vl);
    // The glyph centred in the content (x 25..36 inside the flat border): x 28..33.
    EXPECT_EQ(s.at(25 + 5, 7 + 2), qRgb(255, 0, 0));
    EXPECT_EQ(s.at(27, 9), rgbOf(clBtnFace));
    EXPECT_EQ(s.at(23, 5), rgbOf(clBtnFace));            // flat: the left line in the face colour
    EXPECT_EQ(s.at(24, 5), rgbOf(clBtnHighlight));

    // A handled custom background leaves border and content to the view info;
    // a handled custom button draws nothing else.
    Surface s2(40, 20);
    l.Info.OnCustomDrawButtonBackground = [](TObject*, TvlCanvas* C, const TRect& R, int, bool& AHandled) {
        C->FillRectByColor(R, clBlue);
        AHandled = true;
    };
    l.Info.Paint(&s2.Vl);
    EXPECT_EQ(s2.at(27, 9), qRgb(0, 0, 255));
    EXPECT_EQ(s2.at(25 + 5, 7 + 2), qRgb(255, 0, 0));
    EXPECT_EQ(s2.at(24, 5), rgbOf(clBtnHighlight));
    Surface s3(40, 20);
    l.Info.OnCustomDrawButton = [](TObject*, TvlCanvas*, int, bool& AHandled) { AHandled = true; };
    l.Info.Paint(&s3.Vl);
    EXPECT_EQ(s3.at(25 + 5, 7 + 2), sentinel);
    EXPECT_EQ(s3.at(24, 5), sentinel);
}

TEST(vlEditViewInfo, Office11GradientButtonsShadeFromLightToDark)
{
    Layout l({12}, ebsOffice11);
    l.S.SetButtonStyle(btsOffice11);
    auto& d = l.Data();
    l.Calc(d, Rect(0, 0, 40, 20));
    TvlEditButtonViewInfo& b = *l.Info.ButtonsInfo[0];
    const int x = b.Bounds.Left + 5;
    ASSERT_NE(rgbOf(Office11GradientLightColor), rgbOf(Office11GradientDarkColor));
    Surface flat(40, 20);
    l.Info.DrawButtons(&flat.Vl);
    EXPECT_EQ(flat.at(x, 3), flat.at(x, 16));
    b.Data.Gradient = true;
    Surface s(40, 20);
    l.Info.DrawButtons(&s.Vl);
    // Normal buttons: the gradient starts one pixel below the frame's top.
    EXPECT_EQ(s.at(x, l.Info.BorderRect.Top + 1), rgbOf(Office11GradientLightColor));
    EXPECT_NE(s.at(x, l.Info.BorderRect.Bottom - 2), rgbOf(Office11GradientLightColor));
    // Disabled buttons stay plain.
    b.Data.State = bdsDisabled;
    Surface off(40, 20);
    l.Info.DrawButtons(&off.Vl);
    EXPECT_EQ(off.at(x, 3), off.at(x, 16));
}

TEST(vlEditViewInfo, AssignHintsAndBackgroundKinds)
{
    Layout l({10, 10});
    l.P.Buttons()->Items(1)->SetHint(QStringLiteral("Open|Opens a file"));
    auto& d = l.Data();
    l.Calc(d, Rect(0, 0, 40, 20), TPoint{35, 10});
    ASSERT_EQ(l.Info.SelectedButton, 1);
    TvlCustomEditViewInfo copy;
    copy.Assign(&l.Info);
    EXPECT_EQ(copy.ButtonsInfo.size(), 2u);
    EXPECT_EQ(copy.SelectedButton, 1);
    EXPECT_EQ(copy.BackgroundColor(), l.Info.BackgroundColor());
    EXPECT_EQ(copy.ButtonsInfo[1]->Data.State, bdsHot);
    EXPECT_TRUE(l.Info.GetUpdateRegion(&copy)->IsEmpty());

    TRect r;
    bool multiLine = true;
    String text;
    EXPECT_TRUE(l.Info.NeedShowHint(&l.Canvas.Vl, TPoint{35, 10}, r, multiLine, text));
    EXPECT_EQ(text, QStringLiteral("Open"));
    EXPECT_FALSE(multiLine);
    EXPECT_FALSE(IsRectEmpty(r));
    EXPECT_FALSE(l.Info.NeedShowHint(&l.Canvas.Vl, TPoint{25, 10}, r, multiLine, text));  // no hint
    EXPECT_FALSE(l.Info.NeedShowHint(&l.Canvas.Vl, TPoint{5, 10}, r, multiLine, text));   // no button

    // Only the usual frame and the solid fill count as opaque.
    EXPECT_FALSE(l.Info.IsBackgroundTransparent());
    l.Info.Transparent = true;
    EXPECT_TRUE(l.Info.IsBackgroundTransparent());
    Layout cell({});
    l.S.SetColor(clWhite);
    auto& c = cell.Data(true);
    cell.Calc(c, Rect(0, 0, 20, 10));
    cell.Info.OnDrawBackground = [](TObject*, TvlCanvas* C, bool& AHandled) {
        C->FillRectByColor(Rect(0, 0, 5, 5), clRed);
        AHandled = true;
    };
    EXPECT_TRUE(cell.Info.IsBackgroundTransparent());
    Surface s(20, 10);
    cell.Info.Paint(&s.Vl);
    EXPECT_EQ(s.at(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(s.at(10, 5), sentinel);
    cell.Info.OnDrawBackground = nullptr;
    cell.Info.DrawEditBackground(&s.Vl, Rect(0, 0, 20, 10), Rect(0, 0, 5, 10), false);
    EXPECT_EQ(s.at(2, 2), qRgb(255, 0, 0));  // left out
    EXPECT_EQ(s.at(10, 5), rgbOf(cell.Info.BackgroundColor()));
}

// A skin that records its editor-button drawing.
class SkinPainter : public TvlCustomLookAndFeelPainter {
public:
    void DrawEditorButton(TvlCanvas*, const TRect& R, uint8_t AKind, TvlButtonState AState,
                          uint8_t APosition) const override
    {
        Calls.push_back({R, AKind, AState, APosition});
    }
    TColor EditButtonGlyphColor() const override { return clRed; }
    TColor GetContainerBorderColor(bool AIsHighlighted) const override { return AIsHighlighted ? clLime : clBlue; }
    struct TCall {
        TRect R;
        int Kind, State, Position;
    };
    mutable std::vector<TCall> Calls;
};

TEST(vlEditViewInfo, SkinDrawsTheButtonsKindsAndStates)
{
    Layout l({10, 10, 10});
    l.P.Buttons()->Items(0)->SetLeftAlignment(true);
    l.P.Buttons()->Items(1)->SetKind(bkEllipsis);
    l.P.Buttons()->Items(2)->SetKind(bkText);
    l.P.Buttons()->Items(2)->SetEnabled(false);
    auto& d = l.Data();
    l.Calc(d, Rect(0, 0, 60, 20), TPoint{45, 10});
    const SkinPainter skin;
    l.Info.Painter = &skin;
    Surface s(60, 20);
    l.Info.DrawButtons(&s.Vl);
    ASSERT_EQ(skin.Calls.size(), 3u);
    // Down arrow 1, ellipsis 3, text 2; left 0, right 1; hot and disabled.
    EXPECT_EQ(skin.Calls[0].Kind, 1);
    EXPECT_EQ(skin.Calls[0].Position, 0);
    EXPECT_EQ(skin.Calls[0].State, int(vlbsNormal));
    EXPECT_EQ(skin.Calls[1].Kind, 3);
    EXPECT_EQ(skin.Calls[1].Position, 1);
    EXPECT_EQ(skin.Calls[1].State, int(vlbsHot));
    EXPECT_EQ(skin.Calls[2].Kind, 2);
    EXPECT_EQ(skin.Calls[2].State, int(vlbsDisabled));
    // Drawn off-screen: the painter sees the button's own rectangle.
    EXPECT_EQ(skin.Calls[1].R, l.B(1));
}

}  // namespace
