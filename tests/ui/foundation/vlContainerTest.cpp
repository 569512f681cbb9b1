// Tests of the container unit: how a style resolves its values, the style
// controller (chains, cycles, pixels per inch, streaming), the painted
// border and shadow, the container's focus, keys, colour and context menu
// rules on an offscreen form, and the container routines.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWidget>
#include <cstdio>
#include <gtest/gtest.h>

#include "ControlFixtures.h"
#include "SentinelSurface.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/Types.h"
#include "ui/foundation/vlContainer.h"
#include "ui/foundation/vxOffice11.h"

namespace {

QRgb rgbOf(TColor c) { return ColorToQColor(c).rgb() | 0xFF000000; }

// Opens the protected parts the tests drive directly.
class TTestContainer : public TvlContainer {
public:
    using TvlContainer::TvlContainer;
    using TvlContainer::KeyDown;
    using TvlContainer::GetWindowRegion;
    using TvlContainer::GetShadowBounds;
    bool DefaultParent = false;

protected:
    bool DefaultParentColor() const override { return DefaultParent; }
};

// A style controller that publishes its styles, as the editors' one does.
class TTestStyleController : public TvlStyleController {
public:
    using TvlStyleController::TvlStyleController;
    String ClassName() const override { return String::fromLatin1("TTestStyleController"); }
    const TClassInfo* ClassInfo() const override
    {
        using C = TTestStyleController;
        static const TClassInfo info =
            TClassInfoBuilder<C>("TTestStyleController", &TvlStyleController::StaticClassInfo())
                .Object("Style", [](const C& S) { return S.GetStyle(csNormal); })
                .Object("StyleFocused", [](const C& S) { return S.GetStyle(csActive); })
                .Object("StyleDisabled", [](const C& S) { return S.GetStyle(csDisabled); })
                .Object("StyleHot", [](const C& S) { return S.GetStyle(csHotTrack); })
                .Build();
        return &info;
    }
};

struct Container : TControlUnitFixture {
    Container()
    {
        Box = new TTestContainer(Form.get());
        Box->SetParent(Form.get());
        Box->SetBounds(10, 10, 120, 24);
    }
    void changed(TObject*) { ++Changes; }
    TTestContainer* Box;
    int Changes = 0;
};

// ------------------------------------------------------------ style values

TEST_F(Container, StyleValuesResolveThroughStateParentControllerAndDefaults)
{
    TvlContainerStyle* normal = Box->GetStyle();
    TvlContainerStyle* focused = Box->GetStyleFocused();
    TvlContainerStyle* disabled = Box->GetStyleDisabled();
    TvlContainerStyle* hot = Box->GetStyleHot();

    // The base style's border follows the look's kind.
    const std::pair<TvlLookAndFeelKind, TvlContainerBorderStyle> kinds[] = {
        {lfFlat, cbsFlat}, {lfStandard, cbs3D}, {lfUltraFlat, cbsUltraFlat}, {lfOffice11, cbsOffice11}};
    for (const auto& [kind, border] : kinds) {
        normal->LookAndFeel()->SetKind(kind);
        EXPECT_EQ(normal->BorderStyle(), border) << kind;
        EXPECT_EQ(disabled->BorderStyle(), border) << kind;
    }

    // A disabled style of its own paints with shadow text and border on a
    // face-coloured background.
    EXPECT_EQ(disabled->GetTextColor(), clBtnShadow);
    EXPECT_EQ(disabled->BorderColor(), clBtnShadow);
    EXPECT_EQ(disabled->GetColor(), clBtnFace);
    EXPECT_EQ(focused->GetColor(), clWindow);
    EXPECT_EQ(hot->BorderColor(), clWindowFrame);
    Box->DefaultParent = true;
    EXPECT_EQ(disabled->GetColor(), normal->GetColor());
    Box->DefaultParent = false;

    // With hot tracking a single border thickens when focused or hot;
    // without it the focused style keeps the normal border.
    normal->SetBorderStyle(cbsSingle);
    EXPECT_EQ(focused->BorderStyle(), cbsThick);
    EXPECT_EQ(hot->BorderStyle(), cbsThick);
    EXPECT_EQ(disabled->BorderStyle(), cbsSingle);
    normal->SetBorderStyle(cbsNone);
    EXPECT_EQ(focused->BorderStyle(), cbsFlat);
    focused->SetHotTrack(false);  // a value of the whole container
    EXPECT_FALSE(normal->HotTrack());
    normal->SetBorderStyle(cbsSingle);
    EXPECT_EQ(focused->BorderStyle(), cbsSingle);

    // Font belongs to the base style.
    TFont big;
    big.SetHeight(-20);
    focused->SetFont(&big);
    EXPECT_EQ(normal->Font()->Height(), -20);
    EXPECT_TRUE(normal->AssignedValues().Contains(csvFont));
    EXPECT_FALSE(focused->AssignedValues().Contains(csvFont));
    EXPECT_TRUE(focused->IsValueAssigned(csvFont));
}

TEST_F(Container, ControllersLendUnassignedValuesAndRefuseCycles)
{
    TvlStyleController first(nullptr), second(nullptr);
    TvlContainerStyle* normal = Box->GetStyle();
    first.Style()->SetColor(clYellow);
    first.GetStyle(csActive)->SetTextColor(clRed);
    second.Style()->SetStyleController(&first);
    second.Style()->SetShadow(true);
    normal->SetStyleController(&second);

    // Through two controllers, state by state.
    EXPECT_EQ(normal->GetColor(), clYellow);
    EXPECT_EQ(Box->GetStyleFocused()->GetTextColor(), clRed);
    EXPECT_TRUE(normal->Shadow());
    EXPECT_TRUE(Box->GetStyleHot()->Shadow());
    EXPECT_TRUE(normal->IsValueAssigned(csvColor));
    EXPECT_FALSE(normal->AssignedValues().Contains(csvColor));
    // The own value wins.
    normal->SetColor(clAqua);
    EXPECT_EQ(normal->GetColor(), clAqua);

    // TransparentBorder answers like every other value.
    EXPECT_FALSE(normal->IsValueAssigned(csvTransparentBorder));
    first.Style()->SetTransparentBorder(false);
    EXPECT_TRUE(normal->IsValueAssigned(csvTransparentBorder));
    EXPECT_FALSE(normal->TransparentBorder());
    EXPECT_FALSE(normal->IsValueAssigned(10));

    // A controller whose chain leads back is refused, silently.
    first.Style()->SetStyleController(&second);
    EXPECT_EQ(first.Style()->StyleController(), nullptr);
    EXPECT_EQ(second.ListenerCount(), 1);

    // A controller change reaches the container as one style change.
    Box->Styles()->SetChangeHandler(TNotifyEvent(this, &Container::changed));
    first.Style()->SetEdges({bLeft});
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Box->GetStyleFocused()->Edges(), TvlBorders{bLeft});
}

TEST_F(Container, NilControllerIsTheDefaultOneAndAGoneControllerFallsBack)
{
    TvlStyleController fallback(nullptr);
    SetContainerDefaultStyleController(&fallback);
    {
        TvlContainerStyles styles(nullptr, &vlCreateContainerStyle<TvlContainerStyle>);
        TvlContainerStyle* normal = styles.GetStyleNormal();
        EXPECT_EQ(normal->GetActiveStyleController(), &fallback);
        EXPECT_EQ(normal->StyleController(), nullptr);
        fallback.Style()->SetBorderColor(clLime);
        EXPECT_EQ(normal->BorderColor(), clLime);
        {
            TvlStyleController own(nullptr);
            normal->SetStyleController(&own);
            EXPECT_EQ(normal->StyleController(), &own);
            normal->SetStyleController(nullptr);
            EXPECT_EQ(normal->StyleController(), nullptr);
            normal->SetStyleController(&own);
        }
        // The destroyed controller handed the style back.
        EXPECT_EQ(normal->GetActiveStyleController(), &fallback);
        EXPECT_EQ(normal->BorderColor(), clLime);
    }
    EXPECT_EQ(fallback.ListenerCount(), 0);
    SetContainerDefaultStyleController(nullptr);
}

TEST_F(Container, BatchedAndDirectAccessStyles)
{
    TvlContainerStyle* normal = Box->GetStyle();
    Box->Styles()->SetChangeHandler(TNotifyEvent(this, &Container::changed));
    normal->BeginUpdate();
    normal->BeginUpdate();
    normal->SetBorderColor(clRed);
    normal->SetBorderColor(clBlue);
    normal->EndUpdate();
    EXPECT_EQ(Changes, 0);
    normal->EndUpdate();
    EXPECT_EQ(Changes, 1);
    normal->SetBorderColor(clBlue);  // the same assigned value: nothing
    EXPECT_EQ(Changes, 1);

    // Assign copies the values with their assigned marks, in one change.
    TvlStyleController copy(nullptr);
    copy.Style()->SetTextColor(clRed);
    copy.Style()->Assign(normal);
    EXPECT_EQ(copy.Style()->AssignedValues(), TvlContainerStyleValues{csvBorderColor});
    EXPECT_EQ(copy.Style()->BorderColor(), clBlue);
    normal->SetShadow(true);
    normal->RestoreDefaults();
    EXPECT_TRUE(normal->AssignedValues().Empty());
    EXPECT_FALSE(normal->Shadow());
    EXPECT_TRUE(Box->ParentFont());
    EXPECT_EQ(Changes, 3);

    TvlContainerStyle direct(nullptr, csNormal, nullptr, true);
    int directChanges = 0;
    struct Counter {
        int* N;
        void changed(TObject*) { ++*N; }
    } counter{&directChanges};
    direct.OnChanged = TNotifyEvent(&counter, &Counter::changed);
    TFont font;
    font.SetStyle({fsBold});
    direct.SetFont(&font);
    direct.SetColor(clRed);
    direct.SetBorderStyle(cbsThick);
    EXPECT_EQ(directChanges, 0);
    EXPECT_EQ(direct.AssignedValues().Bits(), 0x3FFu);
    EXPECT_EQ(direct.Font(), &font);
    EXPECT_EQ(direct.GetTextStyle(), TFontStyles{fsBold});
    EXPECT_EQ(direct.BorderStyle(), cbsThick);
    EXPECT_EQ(direct.BorderColor(), clDefault);
    EXPECT_TRUE(direct.TransparentBorder());
    EXPECT_FALSE(direct.Shadow());
}

TEST_F(Container, StyleControllerStreamsAssignedValuesAndRescalesFonts)
{
    TTestStyleController source(nullptr);
    source.Style()->SetBorderStyle(cbsFlat);
    source.GetStyle(csActive)->SetColor(clYellow);
    source.Style()->SetTransparentBorder(false);
    TFont font;
    font.SetHeight(-16);
    source.Style()->SetFont(&font);
    TMemoryStream stream;
    WriteComponent(&stream, &source);

    TTestStyleController target(nullptr);
    stream.SetPosition(0);
    ReadComponent(&stream, &target);
    EXPECT_EQ(target.Style()->AssignedValues(), source.Style()->AssignedValues());
    EXPECT_EQ(target.GetStyle(csActive)->AssignedValues(), TvlContainerStyleValues{csvColor});
    EXPECT_EQ(target.GetStyle(csActive)->GetColor(), clYellow);
    EXPECT_EQ(target.Style()->BorderStyle(), cbsFlat);
    EXPECT_FALSE(target.Style()->TransparentBorder());
    EXPECT_EQ(target.Style()->Font()->Height(), -16);
    EXPECT_EQ(target.PixelsPerInch(), 96);  // written at this screen's 96: no change

    // Unassigned values stay unassigned, the font included.
    TTestStyleController plain(nullptr), plainCopy(nullptr);
    TMemoryStream plainStream;
    WriteComponent(&plainStream, &plain);
    plainStream.SetPosition(0);
    ReadComponent(&plainStream, &plainCopy);
    for (int state = csNormal; state <= csHotTrack; ++state)
        EXPECT_TRUE(plainCopy.GetStyle(TvlContainerStateItem(state))->AssignedValues().Empty()) << state;

    // A form written at another resolution: assigned fonts are scaled once
    // to the screen's 96 pixels per inch.
    target.SetPixelsPerInch(120);
    EXPECT_EQ(target.Style()->Font()->Height(), MulDiv(-16, 96, 120));
    target.SetPixelsPerInch(120);  // the same value again: nothing
    EXPECT_EQ(target.Style()->Font()->Height(), MulDiv(-16, 96, 120));
}

// --------------------------------------------------------------- painting

// The border of a view info of 10 x 8 with a 2-pixel transparent band,
// on yellow ground.
std::string borderMap(TvlContainerBorderStyle ABorderStyle, TvlBorders AEdges = vlBordersAll, bool AShadow = false)
{
    Surface s(12, 11);
    TvlContainerViewInfo vi;
    vi.Bounds = TRect{0, 0, 10, 8};
    vi.BorderRect = TRect{2, 2, 8, 6};
    vi.BorderStyle = ABorderStyle;
    vi.BorderWidth = GetContainerBorderWidth(ABorderStyle);
    vi.BorderColor = clBlack;
    vi.Edges = AEdges;
    vi.Shadow = AShadow;
    vi.SetBackgroundColor(clYellow);
    vi.Paint(&s.Vl);
    // The face and the 3-D light share one colour in the system table.
    return s.map({{rgbOf(clBlack), 'k'}, {rgbOf(clYellow), 'y'}, {rgbOf(clBtnShadow), 's'},
                  {rgbOf(clBtnHighlight), 'h'}, {rgbOf(cl3DDkShadow), 'd'}, {rgbOf(clBtnFace), 'f'}});
}

TEST(ContainerViewInfo, BorderPixelMaps)
{
    ASSERT_EQ(rgbOf(clBtnFace), rgbOf(cl3DLight));
    struct Case {
        TvlContainerBorderStyle Style;
        const char* Map;
    };
    // Flat: a sunken edge, then a line of face colour; 3-D: the sunken edge,
    // then dark shadow and light. The view info draws ultra-flat and Office 11
    // only as the single border the container turns them into.
    const char* const noBorder = "............\n"
                                 "............\n"
                                 "..yyyyyy....\n"
                                 "..yyyyyy....\n"
                                 "..yyyyyy....\n"
                                 "..yyyyyy....\n"
                                 "............\n"
                                 "............\n"
                                 "............\n"
                                 "............\n"
                                 "............\n";
    const Case cases[] = {
        {cbsNone, noBorder},
        {cbsSingle,
            "............\n"
            ".kkkkkkkk...\n"
            ".kyyyyyyk...\n"
            ".kyyyyyyk...\n"
            ".kyyyyyyk...\n"
            ".kyyyyyyk...\n"
            ".kkkkkkkk...\n"
            "............\n"
            "............\n"
            "............\n"
            "............\n"},
        {cbsThick,
            "kkkkkkkkkk..\n"
            "kkkkkkkkkk..\n"
            "kkyyyyyykk..\n"
            "kkyyyyyykk..\n"
            "kkyyyyyykk..\n"
            "kkyyyyyykk..\n"
            "kkkkkkkkkk..\n"
            "kkkkkkkkkk..\n"
            "............\n"
            "............\n"
            "............\n"},
        {cbsFlat,
            "sssssssssh..\n"
            "sffffffffh..\n"
            "sfyyyyyyfh..\n"
            "sfyyyyyyfh..\n"
            "sfyyyyyyfh..\n"
            "sfyyyyyyfh..\n"
            "sffffffffh..\n"
            "hhhhhhhhhh..\n"
            "............\n"
            "............\n"
            "............\n"},
        {cbs3D,
            "sssssssssh..\n"
            "sdddddddfh..\n"
            "sdyyyyyyfh..\n"
            "sdyyyyyyfh..\n"
            "sdyyyyyyfh..\n"
            "sdyyyyyyfh..\n"
            "sffffffffh..\n"
            "hhhhhhhhhh..\n"
            "............\n"
            "............\n"
            "............\n"},
        {cbsUltraFlat, noBorder},
    };
    for (const Case& c : cases)
        EXPECT_EQ(borderMap(c.Style), c.Map) << c.Style;
}

TEST(ContainerViewInfo, ShadowStartsThreePixelsInAndMissingEdgesLeaveNoLine)
{
    EXPECT_EQ(borderMap(cbsSingle, vlBordersAll, true),
            "............\n"
            ".kkkkkkkk...\n"
            ".kyyyyyyk...\n"
            ".kyyyyyyk...\n"
            ".kyyyyyyksss\n"
            ".kyyyyyyksss\n"
            ".kkkkkkkksss\n"
            "....ssssssss\n"
            "....ssssssss\n"
            "....ssssssss\n"
            "............\n");
    // Without a right edge the sunken edge has no right line and the face
    // line stops short of the control's side.
    EXPECT_EQ(borderMap(cbsFlat, {bLeft, bTop, bBottom}),
            "ssssssssss..\n"
            "sffffffff...\n"
            "sfyyyyyy....\n"
            "sfyyyyyy....\n"
            "sfyyyyyy....\n"
            "sfyyyyyy....\n"
            "sffffffff...\n"
            "hhhhhhhhhh..\n"
            "............\n"
            "............\n"
            "............\n");
}

// ------------------------------------------------------------- container

// A form shown offscreen with: an edit, a container with an inner edit
// that hands its keys to the container (as the editors' inner edits do),
// and another edit.
struct ContainerOnForm : Container {
    ContainerOnForm()
    {
        First = new TEdit(Form.get());
        First->SetParent(Form.get());
        First->SetBounds(10, 50, 80, 20);
        First->SetTabStop(true);
        Box->SetTabOrder(1);
        Inner = new TEdit(Box);
        Inner->SetParent(Box);
        Inner->OnKeyDown = TKeyEvent(this, &ContainerOnForm::innerKeyDown);
        Box->SetInnerControl(Inner);
        Last = new TEdit(Form.get());
        Last->SetParent(Form.get());
        Last->SetBounds(10, 80, 80, 20);
        Last->SetTabStop(true);
        First->SetTabOrder(0);
        Box->SetTabOrder(1);
        Last->SetTabOrder(2);
        Form->Show();
        QApplication::setActiveWindow(Form->Widget());
        QApplication::processEvents();
        Box->ShortRefreshContainer(false);
    }
    void innerKeyDown(TObject*, uint16_t& Key, TShiftState Shift) { Box->KeyDown(Key, Shift); }
    void key(Qt::Key AKey, Qt::KeyboardModifiers AModifiers)
    {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QKeyEvent press(QEvent::KeyPress, AKey, AModifiers);
        QApplication::sendEvent(target, &press);
        QApplication::processEvents();
    }
    TEdit* First;
    TEdit* Inner;
    TEdit* Last;
};

TEST_F(ContainerOnForm, InnerControlSitsInsideTheBorderAndKeepsTheFocus)
{
    EXPECT_EQ(Inner->BoundsRect(), Box->ViewInfo()->ClientRect);
    EXPECT_EQ(Box->ViewInfo()->ClientRect, (TRect{2, 2, 118, 22}));
    Box->SetFocus();
    EXPECT_TRUE(Inner->Focused());
    EXPECT_TRUE(Box->Focused());
    EXPECT_TRUE(Box->ViewInfo()->ContainerState.Contains(csActive));

    // A click on the border of the focused container leaves the focus where it is.
    QWidget* w = Box->Widget();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
    QApplication::processEvents();
    EXPECT_TRUE(Inner->Focused());
}

TEST_F(ContainerOnForm, TabAndShiftTabMoveOnButCtrlTabDoesNot)
{
    Box->SetFocus();
    key(Qt::Key_Tab, Qt::NoModifier);
    EXPECT_TRUE(Last->Focused());

    Box->SetFocus();
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(First->Focused());

    Box->SetFocus();
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(Inner->Focused());
    key(Qt::Key_Tab, Qt::AltModifier);
    EXPECT_TRUE(Inner->Focused());
}

TEST_F(ContainerOnForm, ColorGoesIntoTheStyleAndParentColorTakesItBack)
{
    TvlContainerStyle* normal = Box->GetStyle();
    EXPECT_FALSE(normal->AssignedValues().Contains(csvColor));
    Box->SetColor(clYellow);
    EXPECT_TRUE(normal->AssignedValues().Contains(csvColor));
    EXPECT_EQ(normal->GetColor(), clYellow);
    EXPECT_EQ(Inner->Color(), clYellow);

    Form->SetColor(clAqua);
    Box->SetParentColor(true);
    EXPECT_TRUE(Box->ParentColor());
    EXPECT_FALSE(normal->AssignedValues().Contains(csvColor));
    EXPECT_EQ(Box->Color(), clAqua);
    EXPECT_EQ(Box->ViewInfo()->BackgroundColor(), clAqua);

    // A style colour given from outside reaches the control.
    normal->SetColor(clLime);
    EXPECT_EQ(Box->Color(), clLime);
    EXPECT_FALSE(Box->ParentColor());
}

TEST_F(ContainerOnForm, FontFollowsTheParentUntilTheStyleAssignsOne)
{
    TvlContainerStyle* normal = Box->GetStyle();
    TFont parentFont;
    parentFont.SetHeight(-15);
    Form->SetFont(&parentFont);
    EXPECT_EQ(Box->Font()->Height(), -15);
    EXPECT_EQ(normal->Font()->Height(), -15);
    EXPECT_FALSE(normal->AssignedValues().Contains(csvFont));
    EXPECT_TRUE(Box->ParentFont());

    TFont own;
    own.SetHeight(-18);
    normal->SetFont(&own);
    EXPECT_EQ(Box->Font()->Height(), -18);
    EXPECT_FALSE(Box->ParentFont());
    EXPECT_EQ(Inner->Font()->Height(), -18);
}

TEST_F(ContainerOnForm, LockedPopupMenusAnswerTheRightClickThemselves)
{
    TPopupMenu menu(nullptr);
    Box->SetPopupMenu(&menu);
    const LPARAM outside = MakeLParam(200, 200);
    Box->SetPopupMenuLockCount(1);
    EXPECT_EQ(Box->Perform(WM_CONTEXTMENU, 0, outside), 1);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    Box->SetPopupMenuLockCount(0);
    EXPECT_EQ(Box->Perform(WM_CONTEXTMENU, 0, outside), 1);  // the menu is shown
    if (QWidget* shown = QApplication::activePopupWidget())
        shown->close();
    Box->SetPopupMenu(nullptr);
}

TEST_F(ContainerOnForm, VeryLongCaptionIsStillTheWindowText)
{
    const String caption(65536, QChar(u'x'));
    Box->SetCaption(caption);
    EXPECT_EQ(Box->Caption().size(), 65536);
    EXPECT_EQ(Box->Text(), caption);
}

TEST_F(ContainerOnForm, UltraFlatBorderTurnsToHighlightWhenFocused)
{
    Box->GetStyle()->LookAndFeel()->SetKind(lfUltraFlat);
    Box->ShortRefreshContainer(false);
    EXPECT_EQ(Box->ViewInfo()->BorderStyle, cbsSingle);
    EXPECT_EQ(Box->ViewInfo()->BorderColor, clBtnShadow);
    QImage before(Box->Width(), Box->Height(), QImage::Format_RGB32);
    Box->PaintTo(before);
    EXPECT_EQ(before.pixel(1, 5) | 0xFF000000, rgbOf(clBtnShadow));

    Box->SetFocus();
    EXPECT_EQ(Box->ViewInfo()->BorderColor, clHighlight);
    QImage after(Box->Width(), Box->Height(), QImage::Format_RGB32);
    Box->PaintTo(after);
    EXPECT_EQ(after.pixel(1, 5) | 0xFF000000, rgbOf(clHighlight));

    Box->GetStyle()->LookAndFeel()->SetKind(lfOffice11);
    EXPECT_EQ(Box->ViewInfo()->BorderColor, Office11HotBorderColor);
}

TEST_F(ContainerOnForm, PointerOverTheContainerMakesItHot)
{
    Mouse->SetCursorPos(TPoint{1000, 1000});
    Box->GetStyle()->LookAndFeel()->SetKind(lfUltraFlat);
    Box->Perform(WM_MOUSEMOVE, 0, MakeLParam(50, 10));
    EXPECT_TRUE(Box->ViewInfo()->ContainerState.Contains(csHotTrack));
    EXPECT_EQ(Box->GetActiveStyle(), Box->GetStyleHot());
    EXPECT_EQ(Box->ViewInfo()->HotState, 2);
    EXPECT_EQ(Box->ViewInfo()->BorderColor, clHighlight);
    EXPECT_TRUE(Box->IsTrackingMouse());

    Box->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(Box->ViewInfo()->ContainerState.Contains(csHotTrack));
    EXPECT_EQ(Box->ViewInfo()->HotState, 1);
    EXPECT_EQ(Box->ViewInfo()->BorderColor, clBtnShadow);
    EXPECT_FALSE(Box->IsTrackingMouse());

    // Without hot tracking the pointer changes nothing.
    Box->GetStyle()->SetHotTrack(false);
    Box->Perform(WM_MOUSEMOVE, 0, MakeLParam(50, 10));
    EXPECT_EQ(Box->ViewInfo()->HotState, 0);
    EXPECT_EQ(Box->GetActiveStyle(), Box->GetStyle());
    EXPECT_EQ(Box->ViewInfo()->BorderColor, clBtnShadow);
}

TEST_F(ContainerOnForm, ShadowWidensTheWindowRegionByThreePixels)
{
    Box->GetStyle()->SetBorderStyle(cbsSingle);
    Box->GetStyle()->SetTransparentBorder(false);
    Box->ShortRefreshContainer(false);
    EXPECT_EQ(QRegion(Box->Widget()->mask()), QRegion(0, 0, 120, 24));  // the border rectangle, no shadow

    Box->GetStyle()->SetShadow(true);
    TRect visible;
    Box->GetVisibleBounds(visible);
    EXPECT_EQ(visible, (TRect{0, 0, 117, 21}));
    const QRegion mask = Box->Widget()->mask();
    EXPECT_EQ(mask, QRegion(0, 0, 117, 21) + QRegion(3, 3, 117, 21));
    EXPECT_TRUE(mask.contains(QPoint(119, 23)));
    EXPECT_FALSE(mask.contains(QPoint(118, 1)));  // the shadow starts three pixels down
    EXPECT_FALSE(mask.contains(QPoint(1, 22)));

    Box->GetStyle()->SetShadow(false);
    EXPECT_EQ(QRegion(Box->Widget()->mask()), QRegion(0, 0, 120, 24));
}

class TScrollingContainer : public TTestContainer {
public:
    using TTestContainer::TTestContainer;
    using TTestContainer::UpdateScrollBars;

protected:
    bool HasScrollBars() const override { return true; }
};

TEST_F(ContainerOnForm, MirroredBarsTakeTheInnerControlsRangePageAndPosition)
{
    auto* box = new TScrollingContainer(Form.get());
    box->SetParent(Form.get());
    box->SetBounds(150, 10, 160, 90);
    auto* memo = new TMemo(box);
    memo->SetParent(box);
    box->SetInnerControl(memo);
    for (int i = 0; i < 60; ++i)
        memo->Lines()->Add(QStringLiteral("line %1").arg(i));
    QApplication::processEvents();
    box->ShortRefreshContainer(false);
    box->UpdateScrollBars();

    auto* area = qobject_cast<QAbstractScrollArea*>(memo->Widget());
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    const QScrollBar* own = area->verticalScrollBar();
    ASSERT_GT(own->maximum(), 0);
    own = area->verticalScrollBar();
    area->verticalScrollBar()->setValue(5);
    box->PostSetScrollBarsParameters();
    QApplication::processEvents();

    TvlScrollBar* bar = box->VScrollBar();
    EXPECT_TRUE(bar->Visible());
    EXPECT_EQ(bar->Min(), own->minimum());
    EXPECT_EQ(bar->PageSize(), own->pageStep());
    EXPECT_EQ(bar->Max(), own->maximum() + own->pageStep() - 1);
    EXPECT_EQ(bar->Position(), 5);
    // Along the inner control's right side, inside the container.
    EXPECT_EQ(bar->Left() + bar->Width(), memo->Left() + memo->Width());
    EXPECT_FALSE(box->HScrollBar()->Visible());
    EXPECT_FALSE(box->SizeGripData().Visible);

    // No more to scroll: the bar goes.
    memo->Lines()->Clear();
    QApplication::processEvents();
    box->UpdateScrollBars();
    EXPECT_FALSE(bar->Visible());
}

// --------------------------------------------------------------- services

TEST(ContainerServices, BorderWidthTables)
{
    const int widths[] = {0, 1, 2, 2, 2, 1, 1};
    for (int s = cbsNone; s <= cbsOffice11; ++s)
        EXPECT_EQ(GetContainerBorderWidth(TvlContainerBorderStyle(s)), widths[s]) << s;
    EXPECT_EQ(GetLookAndFeelBorderWidth(lfFlat), 2);
    EXPECT_EQ(GetLookAndFeelBorderWidth(lfStandard), 2);
    EXPECT_EQ(GetLookAndFeelBorderWidth(lfUltraFlat), 1);
    EXPECT_EQ(GetLookAndFeelBorderWidth(lfOffice11), 1);
    // Any skin painter draws one-pixel borders but a thick two and none none.
    const TvlLookAndFeelPainterClass skin = TvlCustomLookAndFeelPainter::Instance();
    const int skinned[] = {0, 1, 2, 1, 1, 1, 1};
    for (int s = cbsNone; s <= cbsOffice11; ++s) {
        EXPECT_EQ(GetSkinContainerBorderWidth(TvlContainerBorderStyle(s), skin), skinned[s]) << s;
        EXPECT_EQ(GetSkinContainerBorderWidth(TvlContainerBorderStyle(s), nullptr), widths[s]) << s;
    }
    EXPECT_EQ(ButtonToCxMouseButton(mbLeft), cxmbLeft);
    EXPECT_EQ(ButtonToCxMouseButton(mbRight), cxmbRight);
    EXPECT_EQ(ButtonToCxMouseButton(mbMiddle), cxmbMiddle);
}

TEST(ContainerServices, RectanglesByEdges)
{
    struct Case {
        TvlBorders Edges;
        TRect Extended, Deflated;
    };
    const Case cases[] = {
        {{bLeft, bBottom}, {8, 10, 20, 22}, {10, 12, 18, 20}},
        {vlBordersAll, {8, 8, 22, 22}, {10, 10, 20, 20}},
        {{}, {10, 10, 20, 20}, {12, 12, 18, 18}},
    };
    for (const Case& c : cases) {
        TRect r{10, 10, 20, 20};
        ExtendRectByBorders(r, 2, c.Edges);
        EXPECT_EQ(r, c.Extended);
        r = TRect{10, 10, 20, 20};
        DeflateRectByMissingEdges(r, 2, c.Edges);
        EXPECT_EQ(r, c.Deflated);
    }
}

TEST(ContainerServices, ShadowRegions)
{
    EXPECT_EQ(BuildShadowRegion(nullptr, TRect{0, 0, 100, 20}, TRect{}, TRect{}, false, false), nullptr);
    EXPECT_EQ(BuildShadowRegion(nullptr, TRect{0, 0, 100, 20}, TRect{}, TRect{}, true, true), nullptr);
    auto region = BuildShadowRegion(nullptr, TRect{0, 0, 100, 20}, TRect{}, TRect{}, true, false);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(region->Region(), QRegion(0, 0, 100, 20) + QRegion(3, 3, 100, 20));
    // The extent shrinks the shadow rectangle; the excluded rectangle is cut out.
    region = BuildShadowRegion(nullptr, TRect{0, 0, 100, 20}, TRect{1, 2, 3, 4}, TRect{10, 0, 20, 5}, true, false);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(region->Region(),
              (QRegion(0, 0, 100, 20) + QRegion(4, 5, 100 - 1 - 3, 20 - 2 - 4)) - QRegion(10, 0, 10, 5));
}

TEST(ContainerServices, Bands)
{
    Surface s(10, 8);
    FillRectBands(&s.Vl, TRect{0, 0, 10, 8}, TRect{2, 3, 7, 5}, clRed);
    EXPECT_TRUE((s.of(rgbOf(clRed)) ^ (QRegion(0, 0, 10, 8) - QRegion(2, 3, 5, 2))).isEmpty());
    Surface t(10, 8);
    FillRectBands(&t.Vl, TRect{0, 0, 10, 8}, TRect{0, 0, 10, 8}, clRed);  // nothing between them
    FillRectBands(&t.Vl, TRect{0, 0, 4, 4}, TRect{}, clBlue);                // all of it
    EXPECT_EQ(t.of(rgbOf(clRed)), QRegion());
    EXPECT_EQ(t.of(rgbOf(clBlue)), QRegion(0, 0, 4, 4));
}

TEST(ContainerServices, CompareStrings)
{
    EXPECT_TRUE(InternalCompareString(QStringLiteral("Größe"), QStringLiteral("GRÖSSE"), false));
    EXPECT_TRUE(InternalCompareString(QStringLiteral("abc"), QStringLiteral("ABC"), false));
    EXPECT_FALSE(InternalCompareString(QStringLiteral("abc"), QStringLiteral("ABC"), true));
    EXPECT_TRUE(InternalCompareString(QStringLiteral("abc"), QStringLiteral("abc"), true));
    EXPECT_FALSE(InternalCompareString(QStringLiteral("abc"), QStringLiteral("abd"), false));
}

TEST_F(Container, KillMessagesTakesPostedMessagesOfOneWindowOutOfTheQueue)
{
    std::vector<UINT> received;
    struct Receiver {
        std::vector<UINT>* Log;
        void wndProc(TMessage& M) { Log->push_back(M.Msg); }
    } receiver{&received};
    auto window = AllocateHWnd(TWndMethod(&receiver, &Receiver::wndProc));
    auto other = AllocateHWnd(TWndMethod(&receiver, &Receiver::wndProc));
    const HWND wnd = window->ReceiverHandle();

    EXPECT_FALSE(KillMessages(wnd, WM_APP, WM_APP + 10, true));  // nothing waits
    PostMessage(wnd, WM_APP + 1, 0, 0);
    PostMessage(wnd, WM_APP + 1, 0, 0);
    PostMessage(wnd, WM_APP + 20, 0, 0);
    PostMessage(other->ReceiverHandle(), WM_APP + 1, 0, 0);
    EXPECT_TRUE(IsMessageInQueue(wnd, WM_APP + 1));
    EXPECT_FALSE(IsMessageInQueue(wnd, WM_APP + 2));

    EXPECT_TRUE(KillMessages(wnd, WM_APP + 1, WM_APP + 1, false));  // one of the two
    EXPECT_TRUE(IsMessageInQueue(wnd, WM_APP + 1));
    EXPECT_TRUE(KillMessages(wnd, WM_APP, WM_APP + 10, true));
    EXPECT_FALSE(IsMessageInQueue(wnd, WM_APP + 1));
    EXPECT_TRUE(IsMessageInQueue(wnd, WM_APP + 20));  // outside the range
    EXPECT_TRUE(IsMessageInQueue(other->ReceiverHandle(), WM_APP + 1));

    QApplication::processEvents();
    EXPECT_EQ(received, (std::vector<UINT>{WM_APP + 20, WM_APP + 1}));
    EXPECT_FALSE(IsMessageInQueue(wnd, WM_APP + 20));

    // A quit request ends the removal and stays.
    PostMessage(wnd, WM_QUIT, 0, 0);
    PostMessage(wnd, WM_APP + 1, 0, 0);
    EXPECT_FALSE(KillMessages(wnd, 0, 0, true));
    EXPECT_TRUE(IsMessageInQueue(wnd, WM_QUIT));
    EXPECT_TRUE(KillMessages(wnd, WM_APP + 1));
    EXPECT_FALSE(KillMessages(wnd, WM_QUIT));
    EXPECT_TRUE(IsMessageInQueue(wnd, WM_QUIT));
}

TEST_F(ContainerOnForm, WindowRegionsAndChildWindows)
{
    // A region equal to the current one is not applied again; none on a
    // window without one changes nothing.
    EXPECT_FALSE(WindowRegionDiffers(First, nullptr));
    ApplyWindowRegion(First, nullptr);
    EXPECT_TRUE(First->Widget()->mask().isEmpty());
    auto region = std::make_unique<TRegion>(CreateRectRgn(0, 0, 5, 5));
    EXPECT_TRUE(WindowRegionDiffers(First, region.get()));
    ApplyWindowRegion(First, std::move(region));
    EXPECT_EQ(First->Widget()->mask(), QRegion(0, 0, 5, 5));
    const TRegion same = CreateRectRgn(0, 0, 5, 5);
    EXPECT_FALSE(WindowRegionDiffers(First, &same));
    EXPECT_TRUE(WindowRegionDiffers(First, nullptr));

    EXPECT_TRUE(IsChildWindow(Box, Inner->Handle()));
    EXPECT_FALSE(IsChildWindow(Box, Box->Handle()));
    EXPECT_FALSE(IsChildWindow(Box, First->Handle()));
    EXPECT_TRUE(HasNativeHandle(Box, Inner->Handle(), true));
    EXPECT_FALSE(HasWindowHandle(Box, Inner->Handle()));
    EXPECT_EQ(FindTopLevelWindow(Inner), Form.get());
    EXPECT_EQ(GetvlContainer(Box), Box);
    EXPECT_EQ(GetvlContainer(Inner), nullptr);
}

// An inner control that names its container.
class TTestInnerEdit : public TEdit, public IvlContainerInnerControl {
public:
    explicit TTestInnerEdit(TvlContainer* AContainer) : TEdit(AContainer), FContainer(AContainer) {}
    TWinControl* GetControl() override { return this; }
    TvlContainer* GetControlContainer() override { return FContainer; }

private:
    TvlContainer* FContainer;
};

TEST_F(ContainerOnForm, SizeGripCornerNeedsBothBars)
{
    auto* inner = new TTestInnerEdit(Box);
    inner->SetParent(Box);
    inner->SetBounds(2, 2, 116, 60);
    Box->SetHeight(64);
    EXPECT_EQ(GetvlContainer(inner), Box);
    ASSERT_NE(Box->HScrollBar(), nullptr);
    Box->HScrollBar()->SetBounds(2, 45, 99, 17);
    Box->VScrollBar()->SetBounds(101, 2, 17, 43);
    Box->HScrollBar()->SetVisible(true);
    Box->VScrollBar()->SetVisible(false);
    EXPECT_TRUE(GetContainerSizeGripRect(inner).IsEmpty());
    Box->VScrollBar()->SetVisible(true);
    EXPECT_EQ(GetContainerSizeGripRect(inner), (TRect{99, 43, 116, 60}));
}

}  // namespace
