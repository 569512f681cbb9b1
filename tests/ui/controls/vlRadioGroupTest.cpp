// Tests of the button group's columns, rows and button rectangles and of the
// radio group: value to item mapping, its child buttons kept in step with
// the items, arrow keys, loading, the tab order and registration.
#include <gtest/gtest.h>

#include "platform/graphics/DeviceContext.h"
#include "tests/ui/editors/EditControlFixture.h"
#include "ui/controls/vlRadioGroup.h"

namespace {

TEST(ButtonGroupProperties, ColumnsAreBalancedAndAtLeastOne)
{
    TvlCustomButtonGroupProperties p(nullptr);
    EXPECT_EQ(p.GetSupportedOperations(), 0x58Fu);
    for (int i = 0; i < 5; ++i)
        p.Items()->Add();
    EXPECT_EQ(p.GetSupportedOperations(), 0x5AFu);
    p.SetColumns(3);
    EXPECT_EQ(p.GetColumnCount(), 3);
    EXPECT_EQ(p.GetRowCount(), 2);
    p.Items()->Delete(4);
    EXPECT_EQ(p.GetColumnCount(), 2);  // 4 items in 3 columns: 2 x 2
    EXPECT_EQ(p.GetRowCount(), 2);
    p.SetColumns(0);
    EXPECT_EQ(p.Columns(), 1);
    p.SetColumns(-5);
    EXPECT_EQ(p.Columns(), 1);
    EXPECT_TRUE(p.GetSpecialFeatures() & 2u);

    TvlCustomRadioGroupProperties radio(nullptr);
    for (int i = 0; i < 4; ++i)
        radio.Items()->Add();
    radio.SetColumns(3);
    EXPECT_EQ(radio.GetColumnCount(), 3);  // not balanced: the third column empty
    EXPECT_EQ(radio.GetRowCount(), 2);
    EXPECT_EQ(radio.GetSupportedOperations(), 0x5AFu | 0x210u);
}

TEST(ButtonGroupLayout, RowsShareTheHeightAndCentreTheRemainder)
{
    TvlCustomRadioGroupProperties p(nullptr);
    for (const char* c : {"A", "B", "C"})
        p.Items()->Add()->SetCaption(String::fromLatin1(c));
    TvlEditStyle style(nullptr, csNormal, nullptr, true);
    for (const auto& [height, firstTop] : {std::pair{100, 0}, std::pair{101, 1}}) {
        auto data = p.CreateViewData(&style, true);
        auto info = p.CreateViewInfo();
        data->Calculate(GetScreenCanvas(), Rect(0, 0, 80, height), TPoint{-1, -1}, cxmbNone, {}, info.get(), false);
        auto* vi = static_cast<TvlButtonGroupViewInfo*>(info.get());
        ASSERT_EQ(vi->GroupButtons.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const TRect& r = vi->GroupButton(i)->Bounds;
            EXPECT_EQ(r.Height(), 33);
            EXPECT_EQ(r.Top, firstTop + 33 * i);
            EXPECT_EQ(r.Left, 1);       // in place: indent 1
            EXPECT_EQ(r.Width(), 78);   // width - 2
        }
    }
}

TEST(RadioGroupProperties, ValuesMapToItemsByExactComparison)
{
    TvlCustomRadioGroupProperties p(nullptr);
    p.Items()->Add()->SetCaption(String::fromLatin1("A"));
    TvlRadioGroupItem* b = p.Items()->Add();
    b->SetCaption(String::fromLatin1("B"));
    b->SetValue(2);
    EXPECT_EQ(p.GetItemIndexOfValue(Variant(2)), 1);
    EXPECT_EQ(p.GetItemIndexOfValue(Variant("2")), 1);
    EXPECT_EQ(p.GetItemIndexOfValue(Variant("A")), 0);
    EXPECT_EQ(p.GetItemIndexOfValue(Null()), -1);
    EXPECT_EQ(p.GetItemIndexOfValue(Variant("a")), -1);
    EXPECT_EQ(p.GetItemIndexOfValue(Variant(3.5)), -1);
    EXPECT_EQ(p.GetDisplayText(Variant(2)), String::fromLatin1("B"));
    p.SetDefaultCaption(String::fromLatin1("(none)"));
    EXPECT_EQ(p.GetDisplayText(Variant(9)), String::fromLatin1("(none)"));
    EXPECT_TRUE(p.CompareDisplayValues(Variant(2), Variant("2")));
    EXPECT_EQ(p.GetValueOfItemIndex(0).AsString(), String::fromLatin1("A"));
    EXPECT_EQ(p.GetValueOfItemIndex(1).AsInteger(), 2);
    EXPECT_TRUE(VarIsNull(p.GetValueOfItemIndex(-1)));

    // An item with a Null value and an empty caption takes Null.
    p.Items()->Add();
    EXPECT_EQ(p.GetItemIndexOfValue(Null()), 2);
}

TEST(RadioGroupProperties, PreviewShowsTheFirstItemChecked)
{
    TvlCustomRadioGroupProperties p(nullptr);
    p.Items()->Add()->SetCaption(String::fromLatin1("A"));
    p.Items()->Add()->SetCaption(String::fromLatin1("B"));
    TvlEditStyle style(nullptr, csNormal, nullptr, true);
    auto data = p.CreateViewData(&style, true, true);
    auto info = p.CreateViewInfo();
    data->Calculate(GetScreenCanvas(), Rect(0, 0, 80, 40), TPoint{-1, -1}, cxmbNone, {}, info.get(), false);
    data->EditValueToDrawValue(Variant("B"), info.get());
    EXPECT_EQ(static_cast<TvlCustomRadioGroupViewInfo*>(info.get())->CheckedItemIndex, 0);
    auto normal = p.CreateViewData(&style, true);
    normal->EditValueToDrawValue(Variant("B"), info.get());
    EXPECT_EQ(static_cast<TvlCustomRadioGroupViewInfo*>(info.get())->CheckedItemIndex, 1);
}

struct TLoadedGroup : TvlRadioGroup {
    using TvlRadioGroup::TvlRadioGroup;
    using TvlCustomRadioGroup::Loaded;
    using TvlCustomRadioGroup::Loading;
};

struct RadioGroupControl : TEditControlFixture {
    RadioGroupControl()
    {
        AddvlRadioGroupUnit(More);
        More.Initialize();
    }
    ~RadioGroupControl() override { More.Finalize(); }

    template <class T = TvlRadioGroup>
    T* make(std::initializer_list<const char*> ACaptions, int AColumns = 1)
    {
        auto* group = TvlCustomEdit::Create<T>(Form.get());
        group->SetParent(Form.get());
        group->SetBounds(10, 10, 300, 120);
        group->SetCaption(String::fromLatin1("&Mode"));
        group->Properties()->SetColumns(AColumns);
        for (const char* c : ACaptions)
            group->Properties()->Items()->Add()->SetCaption(String::fromLatin1(c));
        group->OnClick = TNotifyEvent::FromFunction([this](TObject*) { Events.push_back("click"); });
        group->Properties()->OnChange = TNotifyEvent::FromFunction([this](TObject*) { Events.push_back("change"); });
        group->HandleNeeded();
        QApplication::processEvents();
        return group;
    }
    void clickButton(TvlCustomRadioGroup* AGroup, int AIndex)
    {
        QWidget* w = AGroup->RadioButton(AIndex)->Widget();
        Mouse(w, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
        Mouse(w, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton, Qt::NoButton);
    }

    TStartupList More;
    std::vector<std::string> Events;
};

TEST_F(RadioGroupControl, OneButtonPerItemKeptInStep)
{
    TvlRadioGroup* group = make({"A", "B", "C"});
    ASSERT_EQ(group->ButtonCount(), 3);
    TWinControl* first = group->Buttons(0);
    TWinControl* third = group->Buttons(2);
    EXPECT_EQ(group->RadioButton(1)->Caption(), String::fromLatin1("B"));
    group->Properties()->Items()->Delete(1);
    ASSERT_EQ(group->ButtonCount(), 2);
    EXPECT_EQ(group->Buttons(0), first);
    EXPECT_EQ(group->Buttons(1), third);
    EXPECT_EQ(group->RadioButton(1)->Caption(), String::fromLatin1("C"));
    group->Properties()->Items()->Add()->SetCaption(String::fromLatin1("D"));
    ASSERT_EQ(group->ButtonCount(), 3);
    EXPECT_EQ(group->Buttons(0), first);
    EXPECT_EQ(group->Buttons(1), third);
    // The buttons stand where the view info put them.
    const auto* vi = static_cast<TvlButtonGroupViewInfo*>(group->EditViewInfo());
    EXPECT_EQ(group->Buttons(2)->BoundsRect(), vi->GroupButton(2)->Bounds);
}

TEST_F(RadioGroupControl, ItemIndexAndEditValueMoveTogether)
{
    TvlRadioGroup* group = make({"A", "B"});
    group->Properties()->Items()->Items(1)->SetValue(2);
    group->Properties()->SetDefaultValue(Variant("none"));
    EXPECT_EQ(group->ItemIndex(), -1);
    group->SetEditValue(Variant("2"));
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_TRUE(group->RadioButton(1)->Checked());
    group->SetItemIndex(0);
    EXPECT_EQ(group->EditValue().AsString(), String::fromLatin1("A"));
    EXPECT_FALSE(group->RadioButton(1)->Checked());
    group->SetItemIndex(-1);
    EXPECT_EQ(group->EditValue().AsString(), String::fromLatin1("none"));
    EXPECT_EQ(group->GetCheckedIndex(), -1);
    group->SetItemIndex(7);  // clamped to the last button
    EXPECT_EQ(group->ItemIndex(), 1);
    group->SetItemIndex(-4);
    EXPECT_EQ(group->ItemIndex(), -1);
}

TEST_F(RadioGroupControl, ClickingAButtonChecksItClickThenChange)
{
    TvlRadioGroup* group = make({"A", "B"});
    Events.clear();
    clickButton(group, 1);
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(group->EditValue().AsString(), String::fromLatin1("B"));
    EXPECT_EQ(Events, (std::vector<std::string>{"click", "change"}));
    // Read-only: the click leaves the choice.
    group->Properties()->SetReadOnly(true);
    clickButton(group, 0);
    EXPECT_EQ(group->ItemIndex(), 1);
}

TEST_F(RadioGroupControl, ArrowKeysMoveAlongColumnsAndRows)
{
    TvlRadioGroup* group = make({"0", "1", "2", "3", "4"}, 3);
    struct Case {
        int From;
        int Key;
        int To;
    } cases[] = {
        {4, Qt::Key_Down, 4}, {3, Qt::Key_Right, 3}, {1, Qt::Key_Right, 3}, {0, Qt::Key_Down, 1},
        {1, Qt::Key_Up, 0},   {2, Qt::Key_Left, 0},  {0, Qt::Key_Left, 0},  {2, Qt::Key_Down, 3},
    };
    for (const Case& c : cases) {
        group->RadioButton(c.From)->SetFocus();
        ASSERT_EQ(group->GetFocusedButtonIndex(), c.From);
        QKeyEvent key(QEvent::KeyPress, c.Key, Qt::NoModifier);
        QApplication::sendEvent(group->RadioButton(c.From)->Widget(), &key);
        EXPECT_EQ(group->GetFocusedButtonIndex(), c.To) << c.From << " key " << c.Key;
    }
}

TEST_F(RadioGroupControl, LoadedItemIndexIsAppliedWithoutEvents)
{
    auto* group = make<TLoadedGroup>({"A", "B", "C"});
    Events.clear();
    group->Loading();
    group->SetItemIndex(2);
    EXPECT_EQ(group->ItemIndex(), 2);  // the stored index while loading
    EXPECT_EQ(group->GetCheckedIndex(), -1);
    group->Loaded();
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_EQ(group->EditValue().AsString(), String::fromLatin1("C"));
    EXPECT_TRUE(Events.empty());
}

TEST_F(RadioGroupControl, NothingCheckedKeepsTheGroupOutOfTheTabOrder)
{
    TvlRadioGroup* group = make({"A", "B"});
    for (int i = 0; i < group->ButtonCount(); ++i)
        EXPECT_FALSE(group->Buttons(i)->TabStop());
    EXPECT_FALSE(group->TabStop());
    group->SetItemIndex(0);
    for (int i = 0; i < group->ButtonCount(); ++i)
        EXPECT_TRUE(group->Buttons(i)->TabStop());
    group->SetGroupTabStop(false);
    EXPECT_FALSE(group->Buttons(0)->TabStop());
}

TEST_F(RadioGroupControl, RegisteredUnderItsName)
{
    const int index = GetRegisteredEditProperties()->IndexOf(&TvlRadioGroupProperties::StaticClassInfo());
    ASSERT_GE(index, 0);
    EXPECT_EQ(GetRegisteredEditProperties()->RegistrationTexts(index),
              String::fromLatin1("RadioGroup|Represents a group of radio buttons"));
    EXPECT_EQ(GetFilterEditsController()->FindHelper(&TvlRadioGroupProperties::StaticClassInfo()),
              TvlFilterRadioGroupHelper::Instance());
}

}  // namespace

namespace {

TEST(RadioGroupCell, PaintsTheCheckedItemsGlyphOnly)
{
    TvlCustomRadioGroupProperties p(nullptr);
    p.Items()->Add()->SetCaption(String::fromLatin1("A"));
    p.Items()->Add()->SetCaption(String::fromLatin1("B"));
    p.SetColumns(2);
    TvlEditStyle style(nullptr, csNormal, nullptr, true);
    TFont font;
    style.SetFont(&font);
    auto data = p.CreateViewData(&style, true);
    auto info = p.CreateViewInfo();
    data->Calculate(GetScreenCanvas(), Rect(0, 0, 120, 20), TPoint{-1, -1}, cxmbNone, {}, info.get(), false);
    data->EditValueToDrawValue(Variant("B"), info.get());
    auto* vi = static_cast<TvlCustomRadioGroupViewInfo*>(info.get());
    QImage image(120, 20, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    TDeviceContext dc(&image);
    TCanvas canvas;
    canvas.SetHandle(&dc);
    TvlCanvas vc(&canvas);
    vi->Paint(&vc);
    canvas.SetHandle(nullptr);
    // The two glyphs differ only by the check dot.
    const TRect a = vi->GroupButton(0)->GetGlyphRect(vi->GlyphSize, taRightJustify);
    const TRect b = vi->GroupButton(1)->GetGlyphRect(vi->GlyphSize, taRightJustify);
    int differing = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            differing += image.pixel(a.Left + x, a.Top + y) != image.pixel(b.Left + x, b.Top + y);
    EXPECT_GT(differing, 3);
    EXPECT_EQ(vi->CheckedItemIndex, 1);
}

}  // namespace

namespace {

// An editor linked to a repository item shows the item's shared settings.
TEST_F(RadioGroupControl, RepositoryItemsCarryTheirEditorsProperties)
{
    TvlEditRepositoryRadioGroupItem radioItem(nullptr);
    radioItem.Properties()->Items()->Add()->SetCaption(String::fromLatin1("Shared"));
    TvlRadioGroup* group = make({"Own"});
    group->SetRepositoryItem(&radioItem);
    EXPECT_EQ(group->ActiveProperties()->Items()->Items(0)->Caption(), String::fromLatin1("Shared"));
    group->SetRepositoryItem(nullptr);

    TvlEditRepositoryCheckBoxItem checkItem(nullptr);
    EXPECT_TRUE(checkItem.ArePropertiesOfClass(&TvlCheckBoxProperties::StaticClassInfo()));
    EXPECT_TRUE(checkItem.Properties()->ValueChecked().AsBoolean());
}

}  // namespace
