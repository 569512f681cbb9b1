// Properties read and written by name whatever the control's class, and
// the centred caption of the skinned menu bar.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/StringList.h"
#include "skin/SknSubClass.h"

namespace {

class SknSubClassTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        form = std::make_unique<TForm>(nullptr);
        edit = new TEdit(form.get());
        combo = new TComboBox(form.get());
    }
    void TearDown() override
    {
        form.reset();
        app.reset();
    }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TForm> form;
    TEdit* edit = nullptr;
    TComboBox* combo = nullptr;
};

}  // namespace

TEST_F(SknSubClassTest, ReadsByNameAndAnswersEmptyForWhatIsNotThere)
{
    edit->SetMaxLength(12);
    edit->SetText(QStringLiteral("Grüße"));
    form->SetWindowState(wsMaximized);
    EXPECT_EQ(GetIntPropByName(edit, QStringLiteral("MaxLength")), 12);
    EXPECT_EQ(GetIntPropByName(edit, QStringLiteral("Missing")), -1);
    EXPECT_EQ(GetIntPropByName(edit, QStringLiteral("Text")), -1);  // not an integer
    EXPECT_EQ(GetIntPropByName(nullptr, QStringLiteral("MaxLength")), -1);
    EXPECT_EQ(GetEnumPropByName(form.get(), QStringLiteral("WindowState")), QStringLiteral("wsMaximized"));
    EXPECT_EQ(GetEnumPropByName(edit, QStringLiteral("ReadOnly")), QStringLiteral("False"));
    EXPECT_TRUE(GetEnumPropByName(edit, QStringLiteral("Missing")).isEmpty());
    EXPECT_EQ(GetWideStrPropByName(edit, QStringLiteral("Text")), QStringLiteral("Grüße"));
    EXPECT_EQ(GetWideStrPropByName(edit, QStringLiteral("MaxLength")), QStringLiteral("12"));
    EXPECT_TRUE(GetWideStrPropByName(nullptr, QStringLiteral("Text")).isEmpty());
    EXPECT_EQ(GetObjectPropByName<TStrings>(combo, QStringLiteral("Items")), combo->Items());
    EXPECT_EQ(GetObjectPropByName<TControl>(combo, QStringLiteral("Items")), nullptr);
    EXPECT_EQ(GetObjectPropByName(combo, QStringLiteral("ItemIndex")), nullptr);
}

TEST_F(SknSubClassTest, WritesIntegersEnumerationsAndTexts)
{
    SetPropByName(edit, QStringLiteral("MaxLength"), QStringLiteral("30"));
    EXPECT_EQ(edit->MaxLength(), 30);
    SetPropByName(edit, QStringLiteral("ReadOnly"), QStringLiteral("True"));
    EXPECT_TRUE(edit->ReadOnly());
    SetPropByName(form.get(), QStringLiteral("WindowState"), QStringLiteral("wsMinimized"));
    EXPECT_EQ(form->WindowState(), wsMinimized);
    SetPropByName(edit, QStringLiteral("Text"), QStringLiteral("set"));
    EXPECT_EQ(edit->Text(), QStringLiteral("set"));
    SetPropByName(edit, QStringLiteral("Missing"), QStringLiteral("1"));
    SetPropByName(nullptr, QStringLiteral("Text"), QStringLiteral("1"));
    // Object properties are left alone.
    TStrings* items = combo->Items();
    SetPropByName(combo, QStringLiteral("Items"), QStringLiteral("x"));
    EXPECT_EQ(combo->Items(), items);
}

TEST_F(SknSubClassTest, CentredCaptionSitsInTheMiddleInRegularStyle)
{
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(100, 30);
    TCanvas* c = target.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, 100, 30});
    c->Font()->SetStyle(TFontStyles{fsBold});
    c->Font()->SetColor(clBlack);
    DrawCentredCaption(c, TRect{0, 0, 100, 30}, QStringLiteral("&Mm"), caCentre, true);
    EXPECT_TRUE(c->Font()->Style().Empty());
    // The ink's box is centred to within the text's own bearings.
    int left = 100, right = -1, top = 30, bottom = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            if (c->Pixels(x, y) == clBlack) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0);
    EXPECT_NEAR((left + right) / 2.0, 50, 3);
    EXPECT_NEAR((top + bottom) / 2.0, 15, 4);
    // Disabled: the shadow colour.
    c->FillRect(TRect{0, 0, 100, 30});
    DrawCentredCaption(c, TRect{0, 0, 100, 30}, QStringLiteral("Mm"), caCentre, false);
    int shadow = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            shadow += c->Pixels(x, y) == ColorToRGB(clBtnShadow);
    EXPECT_GT(shadow, 0);
}

// ---- the control skinners --------------------------------------------------------

#include <QImage>
#include <QPainter>

#include "platform/controls/Buttons.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/MPlayer.h"
#include "platform/rtl/TypInfo.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"
#include "tools/skinpack/SkinPack.h"
#include "tests/skin/SkinnerFixture.h"

namespace {

using namespace skintest;

// Frame k (from 1) of every strip has its own colour.
TColor buttonFrame(int k) { return RGB(uint8_t(40 * k), 200, 10); }
TColor checkFrame(int k) { return RGB(10, uint8_t(20 * k), 200); }
TColor radioFrame(int k) { return RGB(200, 10, uint8_t(20 * k)); }
const TColor face = RGB(90, 90, 90);
const TColor parentColour = RGB(250, 120, 0);

// Buttons: five 10 x 10 frames, see-through first column kept by a
// one-pixel left margin. CheckFrames/RadioFrames: 13 x 13 glyph strips.
QByteArray controlSkin(int CheckFrames, int RadioFrames)
{
    QByteArray ini =
        "[Buttons]\nBitmap=buttons.bmp\nCheckButton=check.bmp\nRadioButton=radio.bmp\nLeftWidth=1\nTrans=1\n"
        "CheckButtonFrame=" + QByteArray::number(CheckFrames) + "\nRadioButtonFrame=" +
        QByteArray::number(RadioFrames) + "\nNormalColour2=1 2 3\n"
        "[Colours]\nButtonFace=90 90 90\n";
    const std::vector<skinpack::SkinEntry> entries{
        {"skin.ini", ini},
        {"buttons.bmp", strip(10, 10, 5, buttonFrame, true)},
        {"check.bmp", strip(13, 13, CheckFrames, checkFrame)},
        {"radio.bmp", strip(13, 13, RadioFrames, radioFrame)},
    };
    return packSkin(entries);
}

class Skinners : public SkinnerTest {
protected:
    void SetUp() override
    {
        SkinnerTest::SetUp();
        load(4, 4);
    }
    void load(int checkFrames, int radioFrames) { loadSkin(controlSkin(checkFrames, radioFrames)); }
};

}  // namespace

TEST_F(Skinners, PrivateMessagesAndTheHookLifecycle)
{
    auto* button = control<TButton>(10, 10, 80, 25);
    show();
    int reached = 0;
    const TWndMethod original = button->WindowProc;
    button->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
        if (m.Msg == SKIN_QUERY_SKINNED)
            ++reached;
        original(m);
    });
    const TColor own = button->Color();
    auto* s = skin<TSkinButton>(button, true);
    s->HookControl(formSkinner.get(), data.get(), true, nullptr);  // attaches once
    EXPECT_EQ(button->Perform(SKIN_QUERY_SKINNED), 1);
    EXPECT_EQ(reached, 0);
    EXPECT_EQ(formSkinner->ControlSkinners().size(), 1u);
    EXPECT_EQ(button->Color(), face);
    // Unskinned: the control's own colour, the hook kept, messages passed on.
    s->Unskin();
    EXPECT_EQ(button->Color(), own);
    EXPECT_EQ(button->Perform(SKIN_QUERY_SKINNED), 0);
    EXPECT_EQ(reached, 1);
    // Freed: the control's procedure is back, and the list forgets it.
    delete s;
    EXPECT_TRUE(formSkinner->ControlSkinners().empty());
    button->Perform(SKIN_QUERY_SKINNED);
    EXPECT_EQ(reached, 2);
    button->WindowProc = original;

    // A window that goes away keeps the skin's colour.
    auto* other = control<TButton>(10, 50, 80, 25);
    show();
    auto* s2 = skin<TSkinButton>(other, true);
    other->Perform(WM_NCDESTROY);
    EXPECT_EQ(s2->State, 6);
    EXPECT_FALSE(s2->Enabled);
    EXPECT_EQ(other->Color(), face);
}

TEST_F(Skinners, SkinOffLooksUnskinnedAndOnRepaintsAtOnce)
{
    auto* button = control<TButton>(10, 10, 80, 25);
    button->SetCaption(QStringLiteral("Go"));
    show();
    const QImage plain = grab(button);
    auto* s = skin<TSkinButton>(button);
    QApplication::processEvents();
    const QImage skinned = grab(button);
    EXPECT_NE(skinned, plain);
    EXPECT_EQ(colourAt(skinned, 70, 3), buttonFrame(bfDefault));  // it has the focus
    button->Perform(SKIN_ON_OFF, 0);
    EXPECT_FALSE(s->Enabled);
    EXPECT_EQ(grab(button), plain);
    button->Perform(SKIN_ON_OFF, 1);
    EXPECT_EQ(grab(button), skinned);
}

TEST_F(Skinners, ButtonFramesFollowMouseFocusAndDefault)
{
    auto* button = control<TButton>(10, 10, 80, 25);
    auto* other = control<TButton>(10, 50, 80, 25);
    show();
    auto* s = skin<TSkinButton>(button);
    int clicks = 0;
    button->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    auto frameNow = [&] { return colourAt(grab(button), 70, 3); };
    other->SetFocus();
    QApplication::processEvents();
    EXPECT_EQ(frameNow(), buttonFrame(bfNormal));
    button->Perform(WM_MOUSEMOVE, 0, MakeLParam(5, 5));
    EXPECT_EQ(frameNow(), buttonFrame(bfHot));
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5));
    EXPECT_TRUE(s->MouseState.Contains(msPressed));
    EXPECT_EQ(frameNow(), buttonFrame(bfPressed));
    button->Perform(WM_LBUTTONUP, 0, MakeLParam(5, 5));
    EXPECT_EQ(clicks, 1);
    button->Perform(WM_MOUSELEAVE);
    // The press gave it the focus.
    EXPECT_EQ(frameNow(), buttonFrame(bfDefault));
    other->SetFocus();
    button->SetDefault(true);
    QApplication::processEvents();
    EXPECT_EQ(frameNow(), buttonFrame(bfDefault));
    // Disabled shows frame 3 even under the pointer.
    button->SetEnabled(false);
    s->MouseState.Include(msHot);
    EXPECT_EQ(frameNow(), buttonFrame(bfDisabled));
    // The see-through column shows the face colour, or with Tag 5555 the parent.
    EXPECT_EQ(colourAt(grab(button), 0, 12), face);
    auto* transparent = control<TButton>(100, 10, 80, 25);
    transparent->SetTag(5555);
    show();
    skin<TSkinButton>(transparent);
    QApplication::processEvents();
    EXPECT_EQ(colourAt(grab(transparent), 0, 12), parentColour);
    EXPECT_EQ(colourAt(grab(transparent), 70, 3), buttonFrame(bfNormal));
}

TEST_F(Skinners, DoubleBarCaptionDrawsTwoLines)
{
    auto* button = control<TButton>(10, 10, 120, 60);
    button->SetCaption(QStringLiteral("One||Two"));
    button->Font()->SetColor(clBlack);
    show();
    auto* s = skin<TSkinButton>(button);
    QApplication::processEvents();
    const QImage shot = grab(button);
    EXPECT_EQ(s->Text, QStringLiteral("One\r\nTwo"));
    // Rows with caption ink (NormalColour2) form two bands.
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < shot.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < shot.width() && !ink; ++x)
            ink = colourAt(shot, x, y) == RGB(1, 2, 3);
        if (ink && !inBand)
            ++bands;
        inBand = ink;
    }
    EXPECT_EQ(bands, 2);
}

TEST(SkinBitButtonLayout, MarginsAndSpacings)
{
    const struct {
        int margin, spacing;
        TButtonLayout layout;
        bool centred, speed;
        TPoint glyph, text;
    } cases[] = {
        // 90 x 30, a 16 x 16 glyph and a 40 x 13 caption.
        {-1, -1, blGlyphLeft, false, false, {11, 7}, {38, 9}},
        {-1, 4, blGlyphLeft, false, false, {15, 7}, {35, 9}},
        {-1, 4, blGlyphLeft, false, true, {16, 7}, {36, 9}},
        {5, -1, blGlyphLeft, false, false, {5, 7}, {35, 9}},
        {5, 4, blGlyphLeft, true, false, {15, 7}, {35, 9}},
        {5, 4, blGlyphRight, false, false, {69, 7}, {25, 9}},
        {2, 3, blGlyphTop, false, false, {37, 2}, {25, 21}},
        {2, 3, blGlyphBottom, false, false, {37, 12}, {25, -4}},
    };
    for (const auto& c : cases) {
        const TGlyphLayout l = BitButtonLayout(90, 30, 16, 16, 40, 13, c.margin, c.spacing, c.layout, c.centred, c.speed);
        EXPECT_EQ(l.Glyph, c.glyph) << c.margin << " " << c.spacing << " " << int(c.layout);
        EXPECT_EQ(l.Text, c.text) << c.margin << " " << c.spacing << " " << int(c.layout);
    }
    // No text or no glyph: no spacing.
    EXPECT_EQ(BitButtonLayout(90, 30, 16, 16, 0, 0, -1, 6, blGlyphLeft, false).Glyph.X, 37);
}

TEST_F(Skinners, BitButtonDrawsItsGlyphWhereTheLayoutSays)
{
    auto* button = control<TBitBtn>(10, 10, 90, 30);
    TBitmap glyph;
    glyph.SetPixelFormat(pf24bit);
    glyph.SetSize(32, 16);  // up and disabled
    glyph.Canvas()->Brush()->SetColor(clOlive);
    glyph.Canvas()->FillRect(TRect{0, 0, 32, 16});
    glyph.Canvas()->Brush()->SetColor(RGB(0, 0, 250));
    glyph.Canvas()->FillRect(TRect{2, 2, 14, 14});
    glyph.Canvas()->Brush()->SetColor(RGB(0, 250, 0));
    glyph.Canvas()->FillRect(TRect{18, 2, 30, 14});
    button->SetGlyph(&glyph);
    button->SetNumGlyphs(2);
    show();
    auto* s = skin<TSkinBitButton>(button);
    QApplication::processEvents();
    QImage shot = grab(button);
    // Without a caption there is no spacing: the glyph is centred, (90 - 16) / 2.
    const int frame = s->CurrentFrame();
    EXPECT_EQ(colourAt(shot, 37 + 2, 7 + 2), RGB(0, 0, 250));
    EXPECT_EQ(colourAt(shot, 37 + 0, 7 + 0), buttonFrame(frame));  // its see-through corner
    EXPECT_EQ(colourAt(shot, 36, 9), buttonFrame(frame));
    button->SetEnabled(false);
    shot = grab(button);
    EXPECT_EQ(colourAt(shot, 37 + 2, 7 + 2), RGB(0, 250, 0));
}

TEST_F(Skinners, CheckAndRadioFramesOnShortAndLongStrips)
{
    struct Case {
        int checkFrames;
        TCheckBoxState state;
        bool enabled;
        int frame;
    };
    const Case cases[] = {
        {4, cbUnchecked, true, 1}, {4, cbChecked, true, 2}, {4, cbUnchecked, false, 3}, {4, cbChecked, false, 4},
        {4, cbGrayed, true, 4},   {4, cbGrayed, false, 4},  // clamped to the strip
        {12, cbUnchecked, true, 1}, {12, cbChecked, true, 5}, {12, cbUnchecked, false, 4},
        {12, cbChecked, false, 8}, {12, cbGrayed, true, 8}, {12, cbGrayed, false, 8},
    };
    for (const Case& c : cases) {
        form.reset();
        formSkinner = std::make_unique<TSknForm>(nullptr);
        load(c.checkFrames, c.checkFrames == 4 ? 4 : 8);
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(40, 40, 200, 100);
        auto* box = control<TCheckBox>(10, 10, 120, 21);
        box->SetAllowGrayed(true);
        box->SetState(c.state);
        box->SetEnabled(c.enabled);
        auto* radio = control<TRadioButton>(10, 40, 120, 21);
        radio->SetChecked(c.state == cbChecked);
        radio->SetEnabled(c.enabled);
        show();
        auto* s = skin<TSkinCheckBox>(box);
        auto* r = skin<TSkinRadioButton>(radio);
        QApplication::processEvents();
        EXPECT_EQ(s->CurrentFrame(), c.frame) << c.checkFrames << " " << int(c.state) << c.enabled;
        // The glyph at the left, vertically centred: (21 - 13) / 2.
        EXPECT_EQ(colourAt(grab(box), 6, 4 + 6), checkFrame(c.frame)) << c.checkFrames << " " << int(c.state);
        if (c.state != cbGrayed) {
            const int radioFrame = c.checkFrames == 4 ? c.frame : (c.frame == 5 ? 5 : c.frame);
            EXPECT_EQ(r->CurrentFrame(), radioFrame);
            EXPECT_EQ(colourAt(grab(radio), 6, 10), ::radioFrame(radioFrame));
        }
    }
}

TEST_F(Skinners, LeftTextPutsTheGlyphAtTheRight)
{
    auto* box = control<TCheckBox>(10, 10, 120, 21);
    box->SetAlignment(taLeftJustify);
    box->SetCaption(QStringLiteral("Left"));
    auto* radio = control<TRadioButton>(10, 40, 120, 21);
    radio->SetAlignment(taLeftJustify);
    show();
    skin<TSkinCheckBox>(box);
    skin<TSkinRadioButton>(radio);
    QApplication::processEvents();
    const QImage b = grab(box), r = grab(radio);
    EXPECT_EQ(colourAt(b, 119, 10), checkFrame(1));
    EXPECT_EQ(colourAt(b, 107, 10), checkFrame(1));
    EXPECT_EQ(colourAt(b, 106, 10), face);
    // Radio glyphs end a pixel before the edge.
    EXPECT_EQ(colourAt(r, 119, 10), face);
    EXPECT_EQ(colourAt(r, 118, 10), radioFrame(1));
    // The caption ends two pixels before the glyph: no ink at 105 or 106.
    for (int y = 0; y < 21; ++y)
        EXPECT_EQ(colourAt(b, 106, y), face) << y;
}

TEST_F(Skinners, SpeedButtonFlatDownAndNestedPaints)
{
    auto* flat = new TSpeedButton(form.get());
    flat->SetParent(form.get());
    flat->SetBounds(10, 10, 40, 30);
    flat->SetFlat(true);
    auto* down = new TSpeedButton(form.get());
    down->SetParent(form.get());
    down->SetBounds(60, 10, 40, 30);
    down->SetGroupIndex(1);
    down->SetDown(true);
    TBitmap glyphs;  // four glyphs: up, disabled, down, exclusive
    glyphs.SetPixelFormat(pf24bit);
    glyphs.SetSize(40, 10);
    for (int k = 0; k < 4; ++k) {
        glyphs.Canvas()->Brush()->SetColor(RGB(uint8_t(50 * k + 20), 0, 100));
        glyphs.Canvas()->FillRect(TRect{10 * k, 0, 10 * k + 10, 10});
    }
    down->SetGlyph(&glyphs);
    down->SetNumGlyphs(4);
    auto* seeThrough = new TSpeedButton(form.get());
    seeThrough->SetParent(form.get());
    seeThrough->SetBounds(110, 10, 40, 30);
    seeThrough->SetTag(5555);
    show();
    auto* f = skin<TSkinSpeedButton>(flat);
    auto* d = skin<TSkinSpeedButton>(down);
    skin<TSkinSpeedButton>(seeThrough);
    QApplication::processEvents();
    QImage shot = grabForm();
    const TPoint o = form->ClientToScreen({0, 0});
    (void)o;
    // A flat button: the face colour only, until the pointer comes.
    EXPECT_EQ(colourAt(shot, 10 + 30, 10 + 3), face);
    flat->Perform(CM_MOUSEENTER);
    EXPECT_EQ(f->CurrentFrame(), bfHot);
    shot = grabForm();
    EXPECT_EQ(colourAt(shot, 10 + 30, 10 + 3), buttonFrame(bfHot));
    // Down: frame 2 and the fourth glyph (centred: (40 - 10) / 2 + 1, (30 - 10 + 1) / 2).
    int glyph = 0;
    EXPECT_EQ(d->CurrentFrame(&glyph), bfPressed);
    EXPECT_EQ(glyph, 4);
    EXPECT_EQ(colourAt(shot, 60 + 30, 10 + 3), buttonFrame(bfPressed));
    EXPECT_EQ(colourAt(shot, 60 + 16 + 2, 10 + 10 + 2), RGB(170, 0, 100));
    // The see-through one paints its parent under it, which paints the
    // button again inside: that paint is dropped, not recursed.
    EXPECT_EQ(colourAt(shot, 110, 10 + 15), parentColour);
    EXPECT_EQ(colourAt(shot, 110 + 30, 10 + 3), buttonFrame(bfNormal));
    // The parent gone: the button's own procedure is back.
    flat->Perform(WM_NCDESTROY);
    EXPECT_EQ(flat->Perform(SKIN_QUERY_SKINNED), 0);
}

TEST_F(Skinners, MediaPlayerPanelSharesTheWidthAndForwardsWholeClicks)
{
    auto* player = control<TMediaPlayer>(10, 10, 100, 30);
    player->SetVisibleButtons(TButtonSet{TMPBtnType::btPlay, TMPBtnType::btPause, TMPBtnType::btStop, TMPBtnType::btEject});
    std::vector<TMPBtnType> clicked;
    player->OnButtonClick = TMPClickEvent::FromFunction([&](TObject*, TMPBtnType b, bool&) { clicked.push_back(b); });
    show();
    auto* s = skin<TSkinMP>(player);
    ASSERT_NE(s->Panel, nullptr);
    TWMediaPlayer* panel = s->Panel;
    EXPECT_EQ(panel->BoundsRect(), player->BoundsRect());
    panel->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(30, 5));
    EXPECT_EQ(panel->ButtonWidth, 25);
    EXPECT_EQ(panel->ButtonAt(25), 0);
    EXPECT_EQ(panel->ButtonAt(26), 1);
    EXPECT_EQ(panel->ButtonAt(99), 8);
    EXPECT_EQ(panel->ButtonAt(101), 9);
    // Pressed on pause, released on stop: the player never hears a release.
    panel->Perform(WM_LBUTTONUP, 0, MakeLParam(60, 5));
    EXPECT_TRUE(clicked.empty());
    panel->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(80, 5));
    panel->Perform(WM_LBUTTONUP, 0, MakeLParam(80, 5));
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], TMPBtnType::btEject);
    // The panel follows the player.
    player->SetBounds(20, 30, 100, 30);
    EXPECT_EQ(panel->BoundsRect(), player->BoundsRect());
    player->Hide();
    EXPECT_FALSE(panel->Visible());
    // No visible button: a plain face.
    player->Show();
    player->SetVisibleButtons(TButtonSet());
    QApplication::processEvents();
    EXPECT_EQ(colourAt(grab(panel), 50, 15), face);
    s->Unskin();
    EXPECT_EQ(s->Panel, nullptr);
}

namespace {

// A check box of another library that draws itself from a strip it publishes.
class TGlyphCheck : public TCustomControl {
public:
    explicit TGlyphCheck(TComponent* AOwner) : TCustomControl(AOwner), FGlyphs(std::make_unique<TBitmap>()) {}
    String ClassName() const override { return String::fromLatin1("TBxCheckBox"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        using C = TGlyphCheck;
        static const TClassInfo info = TClassInfoBuilder<C>("TBxCheckBox", &TControl::StaticClassInfo())
            .Object("CustomGlyphs", &C::CustomGlyphs, [](C& c, TBitmap* v) { c.CustomGlyphs()->Assign(v); })
            .Int("transparentcolor", &C::TransparentColor, &C::SetTransparentColor)
            .Bool("UseCustomGlyphs", &C::UseCustomGlyphs, &C::SetUseCustomGlyphs)
            .Build();
        return info;
    }
    TBitmap* CustomGlyphs() const { return FGlyphs.get(); }
    int TransparentColor() const { return FTransparent; }
    void SetTransparentColor(int Value) { FTransparent = Value; }
    bool UseCustomGlyphs() const { return FUse; }
    void SetUseCustomGlyphs(bool Value)
    {
        FUse = Value;
        reloads += Value ? 1 : 0;
    }
    int reloads = 0;

private:
    std::unique_ptr<TBitmap> FGlyphs;
    int FTransparent = 0;
    bool FUse = false;
};

}  // namespace

TEST_F(Skinners, ObjectImageHandsOverAComposedStripAndRebuildsIt)
{
    auto* box = control<TGlyphCheck>(10, 10, 100, 20);
    show();
    auto* s = static_cast<TSkinObjImage*>(CreateSkinControl(QStringLiteral("TSkinObjImage"), box, 1));
    s->HookControl(formSkinner.get(), data.get(), true, nullptr);
    EXPECT_EQ(s->Kind, 1);
    ASSERT_EQ(box->CustomGlyphs()->Width(), 9 * 13);
    // Frames 1, 2, 3, 4 at slots 1 and 4, 2 and 5, 7, 8; the rest key colour.
    const struct {
        int slot;
        TColor colour;
    } slotsExpected[] = {{1, checkFrame(1)}, {4, checkFrame(1)}, {2, checkFrame(2)}, {5, checkFrame(2)},
                         {7, checkFrame(3)}, {8, checkFrame(4)}, {3, SkinKeyColor}, {9, SkinKeyColor}};
    for (const auto& e : slotsExpected)
        EXPECT_EQ(box->CustomGlyphs()->Pixels((e.slot - 1) * 13 + 6, 6), e.colour) << e.slot;
    EXPECT_EQ(box->TransparentColor(), int(SkinKeyColor));
    EXPECT_TRUE(box->UseCustomGlyphs());
    EXPECT_EQ(box->reloads, 1);
    // A skin change builds the strip again; unskinning switches it off.
    s->SkinChanged();
    EXPECT_EQ(box->reloads, 2);
    s->Unskin();
    EXPECT_FALSE(box->UseCustomGlyphs());
}
