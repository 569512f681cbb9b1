// Styles: the assigned-value rules of a style, slot resolution through
// sheets and defaults, the observer links between styles and the sets that
// use them (also when a style goes), and font scaling on load.
#include "ui/grid/vlStyles.h"

#include <gtest/gtest.h>

namespace {

// A style set that records each notified slot and supplies fixed defaults.
class RecordingStyles : public TvlStyles {
public:
    explicit RecordingStyles(TPersistent* AOwner = nullptr) : TvlStyles(AOwner) {}
    void ValueChanged(int Index) override { Notified.push_back(Index); }
    void DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams) override
    {
        TvlStyles::DefaultViewParams(Index, AData, AParams);
        AParams.Color = clWindow;
        AParams.TextColor = clWindowText;
        AParams.Font = &DefaultFont;
    }
    std::vector<int> Notified;
    TFont DefaultFont;
};

class RecordingSheet : public TvlCustomStyleSheet {
public:
    explicit RecordingSheet(TComponent* AOwner) : TvlCustomStyleSheet(AOwner) { recreateStyles(); }
    static TvlCustomStyleSheet* SheetClass(TComponent* AOwner) { return new RecordingSheet(AOwner); }
    const std::type_info& StylesClass() const override { return typeid(RecordingStyles); }

protected:
    std::unique_ptr<TvlCustomStyles> CreateStyles() override { return std::make_unique<RecordingStyles>(this); }
};

class ScreenAt120 : public TvlStyleRepository {
public:
    using TvlStyleRepository::TvlStyleRepository;

protected:
    int ScreenPixelsPerInch() const override { return 120; }
};

class Styles : public ::testing::Test {
protected:
    TvlStyle* newStyle() { return static_cast<TvlStyle*>(repository->CreateStyle()); }
    std::unique_ptr<TvlStyleRepository> repository = std::make_unique<TvlStyleRepository>(nullptr);
};

TEST_F(Styles, SettersKeepTheAssignedValues)
{
    struct Case {
        const char* name;
        void (*change)(TvlStyle*);
        TvlStyleValues expected;
    } cases[] = {
        {"black colour", [](TvlStyle* s) { s->SetColor(clBlack); }, {svColor}},
        {"colour back to default", [](TvlStyle* s) { s->SetColor(clRed); s->SetColor(clDefault); }, {}},
        {"text colour", [](TvlStyle* s) { s->SetTextColor(clBlack); }, {svTextColor}},
        {"font size", [](TvlStyle* s) { s->Font()->SetSize(12); }, {svFont}},
        {"empty bitmap", [](TvlStyle* s) { TBitmap empty; s->SetBitmap(&empty); }, {}},
        {"bitmap", [](TvlStyle* s) { TBitmap b; b.SetSize(2, 2); s->SetBitmap(&b); }, {svBitmap}},
        {"bitmap cleared", [](TvlStyle* s) { TBitmap b; b.SetSize(2, 2); s->SetBitmap(&b); s->SetBitmap(nullptr); }, {}},
        {"values set directly", [](TvlStyle* s) { s->SetAssignedValues({svFont}); }, {svFont}},
        {"restore defaults", [](TvlStyle* s) { s->SetColor(clRed); s->Font()->SetSize(12); s->RestoreDefaults(); }, {}},
    };
    for (const Case& c : cases) {
        TvlStyle* style = newStyle();
        c.change(style);
        EXPECT_EQ(style->AssignedValues(), c.expected) << c.name;
    }
}

TEST_F(Styles, AssignTakesTheSourcesAssignedValuesLast)
{
    TvlStyle* source = newStyle();
    source->SetColor(clRed);
    source->SetAssignedValues({svTextColor});
    TvlStyle* target = newStyle();
    target->Assign(source);
    EXPECT_EQ(target->Color(), clRed);
    EXPECT_EQ(target->AssignedValues(), TvlStyleValues{svTextColor});
    RecordingStyles set;
    EXPECT_THROW(target->Assign(&set), EConvertError);
}

TEST_F(Styles, ResolutionPrefersThePriorityStyleThenTheSlotThenDefaults)
{
    RecordingStyles set;
    TvlStyle* slot = newStyle();
    slot->SetColor(clRed);
    slot->SetTextColor(clGreen);
    TvlStyle* priority = newStyle();
    priority->SetTextColor(clBlue);
    set.SetValue(3, slot);
    TvlViewParams params;
    set.ResolveViewParams(3, nullptr, priority, params);
    EXPECT_EQ(params.Color, clRed);
    EXPECT_EQ(params.TextColor, clBlue);
    EXPECT_EQ(params.Font, &set.DefaultFont);
    EXPECT_EQ(set.MaxDefaultIndex(), 3);
    set.ResolveViewParams(5, nullptr, nullptr, params);
    EXPECT_EQ(params.Color, clWindow);
    EXPECT_EQ(params.TextColor, clWindowText);
}

TEST_F(Styles, SlotsStaySortedAndFollowTheSheet)
{
    RecordingStyles set;
    TvlStyle *a = newStyle(), *b = newStyle();
    set.SetValue(7, a);
    set.SetValue(2, b);
    set.SetValue(5, a);
    ASSERT_EQ(set.ItemCount(), 3);
    EXPECT_EQ(set.Items(0)->Index, 2);
    EXPECT_EQ(set.Items(1)->Index, 5);
    EXPECT_EQ(set.Items(2)->Index, 7);

    auto* sheet = repository->CreateSheet(&RecordingSheet::SheetClass);
    TvlStyle* sheetStyle = newStyle();
    sheet->Styles()->SetValue(9, sheetStyle);
    set.Notified.clear();
    set.SetStyleSheet(sheet);
    EXPECT_EQ(set.StyleSheet(), sheet);
    EXPECT_EQ(set.Notified, std::vector<int>{9});
    EXPECT_EQ(set.GetValue(9), sheetStyle);
    // The sheet's own value is no assignment of the set's.
    set.SetValue(9, sheetStyle);
    EXPECT_EQ(set.ItemCount(), 3);
    // A change inside the sheet reaches its users.
    set.Notified.clear();
    sheetStyle->SetColor(clRed);
    EXPECT_EQ(set.Notified, std::vector<int>{9});
    // A sheet that goes leaves its users.
    delete sheet;
    EXPECT_EQ(set.StyleSheet(), nullptr);
    EXPECT_EQ(set.GetValue(9), nullptr);
}

TEST_F(Styles, RefusesSheetsOfAnotherClassAndCycles)
{
    RecordingStyles set;
    TvlCustomStyleSheet* plain = repository->CreateSheet(&TvlCustomStyleSheet::SheetClass);
    set.SetStyleSheet(plain);
    EXPECT_EQ(set.StyleSheet(), nullptr);

    auto* a = repository->CreateSheet(&RecordingSheet::SheetClass);
    auto* b = repository->CreateSheet(&RecordingSheet::SheetClass);
    auto* c = repository->CreateSheet(&RecordingSheet::SheetClass);
    a->Styles()->SetStyleSheet(b);
    b->Styles()->SetStyleSheet(c);
    ASSERT_EQ(b->Styles()->StyleSheet(), c);
    c->Styles()->SetStyleSheet(a);
    EXPECT_EQ(c->Styles()->StyleSheet(), nullptr);
    a->Styles()->SetStyleSheet(a);
    EXPECT_EQ(a->Styles()->StyleSheet(), b);
}

TEST_F(Styles, DestroyingAStyleEmptiesEverySlotThatUsesIt)
{
    RecordingStyles set;
    TvlStyle* style = newStyle();
    for (int index : {1, 4, 6})
        set.SetValue(index, style);
    EXPECT_EQ(style->ObserverCount(), 1);
    set.Notified.clear();
    delete style;
    EXPECT_EQ(set.ItemCount(), 0);
    std::vector<int> notified = set.Notified;
    std::sort(notified.begin(), notified.end());
    EXPECT_EQ(notified, (std::vector<int>{1, 4, 6}));
}

TEST_F(Styles, ASharedStyleReassignedInOneSlotStillReachesTheOther)
{
    RecordingStyles set;
    TvlStyle *shared = newStyle(), *other = newStyle();
    set.SetValue(0, shared);
    set.SetValue(1, shared);
    set.SetValue(0, other);
    EXPECT_EQ(shared->ObserverCount(), 1);
    set.Notified.clear();
    delete shared;
    EXPECT_EQ(set.GetValue(1), nullptr);
    EXPECT_EQ(set.GetValue(0), other);
    EXPECT_EQ(set.Notified, std::vector<int>{1});
    set.SetValue(0, nullptr);
    EXPECT_EQ(other->ObserverCount(), 0);
}

TEST_F(Styles, ASetThatGoesStopsObserving)
{
    TvlStyle* style = newStyle();
    {
        RecordingStyles set;
        set.SetValue(2, style);
        EXPECT_EQ(style->ObserverCount(), 1);
    }
    EXPECT_EQ(style->ObserverCount(), 0);
}

TEST_F(Styles, DefaultFontChangeNotifiesTheSlotsThatTakeIt)
{
    RecordingStyles set;
    TvlStyle* withFont = newStyle();
    withFont->Font()->SetSize(20);
    set.SetValue(1, withFont);
    TvlViewParams params;
    set.ResolveViewParams(2, nullptr, nullptr, params);
    set.Notified.clear();
    set.FontChanged(nullptr, &set.DefaultFont);
    EXPECT_EQ(set.Notified, (std::vector<int>{0, 2}));
    set.Notified.clear();
    TFont other;
    set.FontChanged(nullptr, &other);
    EXPECT_TRUE(set.Notified.empty());
}

TEST(StyleRepository, ScalesStoredFontHeightsToTheScreen)
{
    ScreenAt120 repository(nullptr);
    repository.ReadPixelsPerInch(96);
    EXPECT_EQ(repository.ScaleToScreen(-11), -11);  // not scalable
    repository.SetScalable(true);
    EXPECT_EQ(repository.ScaleToScreen(-11), -14);
    EXPECT_EQ(repository.ScaleToScreen(-10), -13);  // -12.5 rounds away from zero
    auto* style = static_cast<TvlStyle*>(repository.CreateStyle());
    style->Loading();
    style->Font()->SetHeight(-11);
    style->SetAssignedValues({svColor});
    style->Loaded();
    EXPECT_EQ(style->Font()->Height(), -14);
    EXPECT_EQ(style->AssignedValues(), TvlStyleValues{svColor});
    repository.ReadPixelsPerInch(0);
    EXPECT_EQ(repository.ScaleToScreen(-11), -11);
}

TEST(StyleRepository, KeepsItsStylesAndSheetsAndFreesThem)
{
    TComponent form(nullptr);
    auto* repository = new TvlStyleRepository(&form);
    TvlCustomStyle* own = repository->CreateStyle();
    TvlCustomStyle* formOwned = repository->CreateStyleOwned(&TvlStyle::StyleClass, &form);
    TvlCustomStyleSheet* sheet = repository->CreateSheet(&TvlCustomStyleSheet::SheetClass);
    EXPECT_EQ(repository->Count(), 2);
    EXPECT_EQ(repository->SheetCount(), 1);
    EXPECT_EQ(repository->GetChildren(repository), (std::vector<TComponent*>{own, sheet}));
    EXPECT_EQ(repository->GetChildren(&form), std::vector<TComponent*>{formOwned});
    EXPECT_THROW(own->SetParentComponent(&form), EvlStyleInvalidCast);
    delete repository;
    EXPECT_EQ(form.ComponentCount(), 0);
}

TEST(StyleSheet, CaptionFallsBackToTheName)
{
    TvlCustomStyleSheet sheet(nullptr);
    sheet.SetName(QStringLiteral("Sheet1"));
    EXPECT_EQ(sheet.Caption(), QStringLiteral("Sheet1"));
    sheet.SetCaption(QStringLiteral("SHEET1"));
    EXPECT_FALSE(sheet.IsCaptionStored());
    sheet.SetCaption(QStringLiteral("Blue"));
    EXPECT_EQ(sheet.Caption(), QStringLiteral("Blue"));
}

}  // namespace
