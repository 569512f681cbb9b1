// Tests of the editor framework: the properties' change protocol and
// defaults, buttons, the registry, the repository and the unit functions.
#include <gtest/gtest.h>

#include "ui/editors/vlEdit.h"
#include "ui/editors/vlTextEdit.h"

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
    const std::vector<String> ours = {QStringLiteral("ImageComboBox"), QStringLiteral("TextEdit")};
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

}  // namespace
