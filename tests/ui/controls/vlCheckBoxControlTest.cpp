// Tests of the check box control on a shown form: clicks and the Space key
// cycle the state, the accelerator, loading, and the layout of the element.
#include <gtest/gtest.h>

#include "tests/ui/editors/EditControlFixture.h"
#include "ui/controls/vlCheckBox.h"

namespace {

// Loading is the streaming layer's to end.
struct TLoadedBox : TvlCheckBox {
    using TvlCheckBox::TvlCheckBox;
    using TvlCustomCheckBox::Loaded;
    using TvlCustomCheckBox::Loading;
};

struct CheckBoxControl : TEditControlFixture {
    CheckBoxControl()
    {
        AddvlCheckBoxUnit(More);
        More.Initialize();
    }
    ~CheckBoxControl() override { More.Finalize(); }

    TvlCheckBox* make(const char* ACaption = "&Option")
    {
        auto* box = TvlCustomEdit::Create<TvlCheckBox>(Form.get());
        box->SetAutoSize(false);
        box->SetParent(Form.get());
        box->SetBounds(10, 10, 121, 21);
        box->SetCaption(String::fromUtf8(ACaption));
        box->OnClick = TNotifyEvent::FromFunction([this](TObject*) { Events.push_back("click"); });
        box->Properties()->OnChange = TNotifyEvent::FromFunction([this](TObject*) { Events.push_back("change"); });
        box->HandleNeeded();
        QApplication::processEvents();
        return box;
    }
    void click(TvlCheckBox* ABox, QPoint P = QPoint(8, 10))
    {
        QWidget* w = ABox->Widget();
        Mouse(w, QEvent::MouseMove, P, Qt::NoButton, Qt::NoButton);
        Mouse(w, QEvent::MouseButtonPress, P, Qt::LeftButton, Qt::LeftButton);
        Mouse(w, QEvent::MouseButtonRelease, P, Qt::LeftButton, Qt::NoButton);
    }

    TStartupList More;
    std::vector<std::string> Events;
};

TEST_F(CheckBoxControl, ClicksCycleThroughTheStatesAllowed)
{
    TvlCheckBox* box = make();
    EXPECT_EQ(box->State(), cbsUnchecked);
    EXPECT_EQ(box->EditValue().VType(), varBoolean);
    click(box);
    EXPECT_EQ(box->State(), cbsChecked);
    EXPECT_EQ(Events, (std::vector<std::string>{"click", "change"}));
    click(box);
    EXPECT_EQ(box->State(), cbsUnchecked);

    box->Properties()->SetAllowGrayed(true);
    click(box);
    EXPECT_EQ(box->State(), cbsGrayed);
    EXPECT_TRUE(VarIsNull(box->EditValue()));
    click(box);
    EXPECT_EQ(box->State(), cbsChecked);

    // A grayed state set in code checks on the next click without AllowGrayed.
    box->Properties()->SetAllowGrayed(false);
    box->SetState(cbsGrayed);
    click(box);
    EXPECT_EQ(box->State(), cbsChecked);
}

TEST_F(CheckBoxControl, PressDraggedOutAndReleasedDoesNotCycle)
{
    TvlCheckBox* box = make();
    QWidget* w = box->Widget();
    Mouse(w, QEvent::MouseMove, QPoint(8, 10), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(box->ViewInfo()->MarkState, cmsHot);
    Mouse(w, QEvent::MouseButtonPress, QPoint(8, 10), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(box->ViewInfo()->MarkState, cmsPressed);
    Mouse(w, QEvent::MouseMove, QPoint(300, 10), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(box->ViewInfo()->MarkState, cmsNormal);
    Mouse(w, QEvent::MouseButtonRelease, QPoint(300, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(box->State(), cbsUnchecked);
    EXPECT_TRUE(Events.empty());
}

TEST_F(CheckBoxControl, SpaceReleasedCyclesButFocusLossDropsTheHold)
{
    TvlCheckBox* box = make();
    box->SetFocus();
    QWidget* w = box->Widget();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(w, &down);
    EXPECT_EQ(box->ViewInfo()->MarkState, cmsPressed);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(w, &up);
    EXPECT_EQ(box->State(), cbsChecked);
    EXPECT_EQ(box->ViewInfo()->MarkState, cmsNormal);

    QKeyEvent again(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(w, &again);
    EXPECT_EQ(box->ViewInfo()->MarkState, cmsPressed);
    Unfocus();
    QApplication::processEvents();
    EXPECT_FALSE(box->IsSpaceHeld());
    EXPECT_EQ(box->ViewInfo()->MarkState, cmsNormal);
    QKeyEvent late(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(w, &late);
    EXPECT_EQ(box->State(), cbsChecked);
}

TEST_F(CheckBoxControl, AcceleratorFocusesAndCycles)
{
    TvlCheckBox* box = make("&Option");
    Unfocus();
    EXPECT_EQ(box->Perform(CM_DIALOGCHAR, WPARAM(u'o'), 0), 1);
    EXPECT_TRUE(box->Focused());
    EXPECT_EQ(box->State(), cbsChecked);
    EXPECT_EQ(box->Perform(CM_DIALOGCHAR, WPARAM(u'x'), 0), 0);
    EXPECT_EQ(box->State(), cbsChecked);
}

TEST_F(CheckBoxControl, StateSetWhileLoadingIsAppliedWithoutEvents)
{
    auto* box = TvlCustomEdit::Create<TLoadedBox>(Form.get());
    box->OnClick = TNotifyEvent::FromFunction([this](TObject*) { Events.push_back("click"); });
    box->SetParent(Form.get());
    box->Loading();
    box->SetState(cbsGrayed);
    EXPECT_EQ(box->State(), cbsUnchecked);
    box->Loaded();
    EXPECT_EQ(box->State(), cbsGrayed);
    EXPECT_TRUE(Events.empty());
}

TEST_F(CheckBoxControl, LegacyPropertiesCaptionBecomesTheControlsCaption)
{
    TvlCheckBox* box = make("");
    box->Properties()->SetCaption(String::fromLatin1("From an old form"));
    EXPECT_EQ(box->Caption(), String::fromLatin1("From an old form"));
    EXPECT_FALSE(box->Properties()->IsCaptionAssigned());
}

TEST_F(CheckBoxControl, ElementSitsAtTheAlignedEdge)
{
    TvlCheckBox* box = make("Text");
    const TRect check = box->ViewInfo()->CheckRect;
    const TRect client = box->ViewInfo()->ClientRect;
    EXPECT_EQ(check.Width(), 13);
    EXPECT_EQ(check.Left, client.Left + 2);
    EXPECT_EQ(check.Top, client.Top + 2 + (client.Height() - 4 - 13) / 2);
    EXPECT_EQ(box->ViewInfo()->TextRect.Left, check.Right + 3);

    box->Properties()->Alignment()->SetHorz(taRightJustify);
    box->Properties()->Changed();
    QApplication::processEvents();
    EXPECT_EQ(box->ViewInfo()->CheckRect.Right, client.Right - 2);
    EXPECT_EQ(box->ViewInfo()->TextRect.Right, box->ViewInfo()->CheckRect.Left - 3);
}

TEST_F(CheckBoxControl, InPlaceWithoutTextIsCentredUnlessAlignmentIsUsed)
{
    TvlCheckBoxProperties props(nullptr);
    TvlEditStyle style(nullptr, csNormal, nullptr, true);
    struct Case {
        bool UseAlignment;
        TAlignment Horz;
        int Left;
    } cases[] = {{false, taLeftJustify, (60 - 13) / 2}, {true, taLeftJustify, 2}, {true, taRightJustify, 60 - 2 - 13}};
    for (const Case& c : cases) {
        props.SetUseAlignmentWhenInplace(c.UseAlignment);
        props.Alignment()->SetHorz(c.Horz);
        auto data = props.CreateViewData(&style, true);
        auto info = props.CreateViewInfo();
        data->Calculate(GetScreenCanvas(), Rect(0, 0, 60, 20), TPoint{-1, -1}, cxmbNone, {}, info.get(), false);
        data->EditValueToDrawValue(Variant(true), info.get());
        const auto* vi = static_cast<TvlCustomCheckBoxViewInfo*>(info.get());
        EXPECT_EQ(vi->CheckRect.Left, c.Left) << c.UseAlignment << c.Horz;
        EXPECT_EQ(vi->State, cbsChecked);
    }
}

}  // namespace

namespace {

QRgb rgbOf(TColor AColor)
{
    const TColor v = ColorToRGB(AColor);
    return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
}

TEST_F(CheckBoxControl, PaintsTheElementAndCaptionInItsRectangles)
{
    TvlCheckBox* box = make("Wide");
    box->Style()->SetBorderStyle(ebsUltraFlat);
    box->SetChecked(true);
    QApplication::processEvents();
    QImage image(box->Width(), box->Height(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    box->PaintTo(image);
    const TvlCustomCheckBoxViewInfo* vi = box->ViewInfo();
    const TRect check = vi->CheckRect;
    EXPECT_EQ(image.pixel(check.Left + 1, check.Top + 1), rgbOf(clBtnShadow));  // the flat frame
    int mark = 0, ink = 0;
    for (int y = check.Top + 2; y < check.Bottom - 2; ++y)
        for (int x = check.Left + 2; x < check.Right - 2; ++x)
            mark += image.pixel(x, y) == rgbOf(clBtnText);
    for (int y = vi->TextRect.Top; y < vi->TextRect.Bottom; ++y)
        for (int x = vi->TextRect.Left; x < vi->TextRect.Right; ++x)
            ink += image.pixel(x, y) == rgbOf(vi->TextColor);
    EXPECT_GT(mark, 10);
    EXPECT_GT(ink, 10);
    box->SetChecked(false);
    image.fill(Qt::magenta);
    box->PaintTo(image);
    for (int y = check.Top + 2; y < check.Bottom - 2; ++y)
        for (int x = check.Left + 2; x < check.Right - 2; ++x)
            ASSERT_EQ(image.pixel(x, y), rgbOf(clWindow));
}

}  // namespace

namespace {

TEST_F(CheckBoxControl, ReadOnlyOrVetoedEditingKeepsTheState)
{
    TvlCheckBox* box = make();
    box->Properties()->SetReadOnly(true);
    click(box);
    EXPECT_EQ(box->State(), cbsUnchecked);
    box->Properties()->SetReadOnly(false);
    box->OnEditing = TvlEditEditingEvent::FromFunction([](TObject*, bool& ACanEdit) { ACanEdit = false; });
    click(box);
    EXPECT_EQ(box->State(), cbsUnchecked);
    EXPECT_TRUE(Events.empty());
    // Code may still set any state.
    box->SetState(cbsGrayed);
    EXPECT_EQ(box->State(), cbsGrayed);
}

}  // namespace
