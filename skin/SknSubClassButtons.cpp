// Push button and speed button skinners: the face from the skin's Buttons
// strip (1 normal, 2 pressed, 3 disabled, 4 hot, 5 focused or default),
// the caption and glyph laid out as the button would.
#include <algorithm>

#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"

namespace {

bool readsTrue(const TComponent* C, const char* Name)
{
    return GetEnumPropByName(C, String::fromLatin1(Name)).toLower() == QLatin1String("true");
}

bool readsFalse(const TComponent* C, const char* Name)
{
    return GetEnumPropByName(C, String::fromLatin1(Name)).toLower() == QLatin1String("false");
}

// The first "||" of a caption asks for a line break there.
String splitCaption(const String& Text)
{
    String t = Text;
    const auto at = t.indexOf(QLatin1String("||"));
    if (at >= 0)
        t.replace(at, 2, QStringLiteral("\r\n"));
    return t;
}

TButtonLayout layoutOf(const TComponent* C)
{
    const String l = GetEnumPropByName(C, String::fromLatin1("Layout")).toLower();
    if (l == QLatin1String("blglyphright"))
        return blGlyphRight;
    if (l == QLatin1String("blglyphtop"))
        return blGlyphTop;
    if (l == QLatin1String("blglyphbottom"))
        return blGlyphBottom;
    return blGlyphLeft;
}

int numGlyphs(const TComponent* C)
{
    const int n = GetIntPropByName(C, String::fromLatin1("NumGlyphs"));
    return n < 1 ? 1 : n;
}

const TDataSkinButton* buttonsOf(const TSkinData* Data)
{
    if (Data == nullptr || Data->Buttons == nullptr || Data->Buttons->Bitmap->Empty())
        return nullptr;
    return Data->Buttons.get();
}

// The text flags and focus rectangle of a caption drawn in T.
void focusAround(HDC DC, TRect T)
{
    InflateRect(T, 2, 2);
    ::DrawFocusRect(DC, T);
}

// The caption's size in a W x H face: the face shrunk by 2, less the
// glyph's room (with ReserveGlyph) beside or above it; 0 x 0 for no text.
TSize captionSize(TCanvas* Work, const String& Text, TButtonLayout Layout, int W, int H, int gw, int gh,
                  bool ReserveGlyph)
{
    if (Text.isEmpty())
        return TSize{0, 0};
    TRect t{2, 2, W - 2, H - 2};
    if (ReserveGlyph) {
        if (Layout == blGlyphLeft || Layout == blGlyphRight)
            t.Right -= gw + 2;
        else
            t.Bottom -= gh + 2;
    }
    Work->TextRect(t, Text, DT_CALCRECT | DT_WORDBREAK);
    return TSize{t.Width(), t.Height()};
}

// The caption's DrawText flags for a layout.
uint32_t captionFlags(TButtonLayout Layout)
{
    if (Layout == blGlyphRight)
        return DT_WORDBREAK | DT_RIGHT;
    if (Layout == blGlyphTop || Layout == blGlyphBottom)
        return DT_WORDBREAK | DT_CENTER;
    return DT_WORDBREAK;
}

}  // namespace

// ---- TSkinButton ---------------------------------------------------------------

TSkinButton::TSkinButton(TComponent* AOwner) : TSkinControl(AOwner)
{
    WorkBitmap = std::make_unique<TBitmap>();
    WorkBitmap->SetPixelFormat(pf24bit);
}

void TSkinButton::HookControl(TSknForm* AFormSkinner, TSkinData* ASkinData, bool ASetColor, TCanvas* ACanvas)
{
    if (Hooked)
        return;
    TSkinControl::HookControl(AFormSkinner, ASkinData, ASetColor, ACanvas);
    if (Control == nullptr)
        return;
    // These libraries' buttons get no forwarded mouse-down.
    const String lower = Control->ClassName().toLower();
    Mode = lower.startsWith(QLatin1String("tbx")) || lower.startsWith(QLatin1String("tel")) ? 1 : 0;
    Transparent = Control->Tag() == 5555 || (SkinData != nullptr && SkinData->Options().Contains(xoTransparent));
}

bool TSkinButton::BeforeMessage(TMessage& Message)
{
    if (!TSkinControl::BeforeMessage(Message) || paintFilter(Message, true))
        return false;
    switch (Message.Msg) {
    case WM_TIMER:
        return false;  // the button's own press timer has nothing to do
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
        if (auto* win = dynamic_cast<TWinControl*>(Control); win != nullptr && !win->Focused() && win->CanFocus())
            win->SetFocus();
        MouseState.Include(msPressed);
        PaintWindow(nullptr);
        if (Mode == 0)
            ForwardMouseDown(Message);
        return false;
    default:
        return true;
    }
}

void TSkinButton::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETTEXT:
        PaintWindow(nullptr);
        return;
    case WM_KEYDOWN:
        if (Message.WParam == VK_SPACE) {
            MouseState.Include(msPressed);
            Repaint();
        }
        return;
    case WM_KEYUP:
        if (Message.WParam == VK_SPACE) {
            MouseState.Exclude(msPressed);
            Repaint();
        }
        return;
    case WM_MOUSEMOVE:
        if (Control != nullptr && Control->Enabled() && !MouseState.Contains(msHot)) {
            MouseState.Include(msHot);
            Repaint();
        }
        if (Handle != nullptr) {
            TRACKMOUSEEVENT track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = Handle;
            TrackMouseEvent(track);
        }
        return;
    case WM_LBUTTONUP:
        if (MouseState.Contains(msPressed)) {
            MouseState.Exclude(msPressed);
            Repaint();
            if (Control != nullptr)
                Control->PerformClick();
        }
        return;
    case WM_MOUSELEAVE:
        MouseState.Exclude(msHot);
        MouseState.Exclude(msPressed);
        Repaint();
        return;
    case CM_DIALOGKEY: case CM_FOCUSCHANGED:
        Repaint();
        return;
    default:
        TSkinControl::AfterMessage(Message);
    }
}

int TSkinButton::readState()
{
    const TControl* c = RepaintTarget != nullptr ? RepaintTarget : Control;
    auto* win = dynamic_cast<const TWinControl*>(c);
    Focused = win != nullptr && win->Focused();
    WindowEnabled = c != nullptr && c->Enabled();
    IsDefault = readsTrue(c, "Default");
    Text = GetWideStrPropByName(c, String::fromLatin1("Caption"));
    int frame = bfNormal;
    if (MouseState.Contains(msPressed))
        frame = bfPressed;
    else if (MouseState.Contains(msHot))
        frame = bfHot;
    else if (Focused || IsDefault)
        frame = bfDefault;
    if (!WindowEnabled)
        frame = bfDisabled;
    return frame;
}

int TSkinButton::CurrentFrame()
{
    return readState();
}

void TSkinButton::applyTextColour(TCanvas* ACanvas, int Frame, bool AllFrames) const
{
    const TDataSkinButton* b = buttonsOf(SkinData);
    if (b == nullptr)
        return;
    if (b->NormalColour2Given && (AllFrames || Frame == bfNormal))
        ACanvas->Font()->SetColor(b->NormalColour2);
    if (Frame == bfHot && b->MouseOverColour2Given)
        ACanvas->Font()->SetColor(b->MouseOverColour2);
    if (Frame == bfPressed && b->PressedColour2Given)
        ACanvas->Font()->SetColor(b->PressedColour2);
    if (!WindowEnabled)
        ACanvas->Font()->SetColor(clBtnShadow);
}

void TSkinButton::PaintControl(HDC DC, const TRect& R)
{
    const TDataSkinButton* b = buttonsOf(SkinData);
    if (b == nullptr || R.Width() < 1 || R.Height() < 1)
        return;
    const int frame = readState();
    WorkBitmap->SetSize(R.Width(), R.Height());
    TCanvas* work = WorkBitmap->Canvas();
    const TRect local{0, 0, R.Width(), R.Height()};
    if (Transparent && Control != nullptr)
        DrawParentBackground(Control, work->Handle());
    else
        FillSkinColor(work->Handle(), local);
    DrawSkinObject(this, work->Handle(), local, b->Frame, frame, b);
    if (auto* font = GetObjectPropByName<TFont>(Control, String::fromLatin1("Font")))
        work->Font()->Assign(font);
    applyTextColour(work, frame, true);
    DrawCaption(work, local, DT_CENTER, Text);
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), work->Handle(), 0, 0, SRCCOPY);
}

void TSkinButton::DrawCaption(TCanvas* ACanvas, const TRect& R, uint32_t Alignment, const String& AText)
{
    Text = splitCaption(AText);
    TRect t = R;
    InflateRect(t, -2, -2);
    SetBkMode(ACanvas->Handle(), TRANSPARENT);
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->TextRect(t, Text, Alignment | DT_WORDBREAK | DT_EXPANDTABS | DT_CALCRECT | DT_NOCLIP);
    const int w = t.Width(), h = t.Height();
    if ((Alignment & DT_CENTER) != 0)
        t = Bounds(R.Left + (R.Width() - w) / 2, R.Top + (R.Height() - h) / 2 - 1, w, h);
    else
        t = TRect{R.Left, R.Top + (R.Height() - h) / 2 - 1, R.Right, R.Top + (R.Height() - h) / 2 - 1 + h};
    ACanvas->TextRect(t, Text, AddRTLReadingFlag(Alignment | DT_WORDBREAK | DT_EXPANDTABS));
    SetBkMode(ACanvas->Handle(), OPAQUE);
    if (Focused && SkinData != nullptr && !SkinData->Options().Contains(xoNoFocusRect))
        focusAround(ACanvas->Handle(), t);
}

// ---- TSkinBitButton ------------------------------------------------------------

TGlyphLayout BitButtonLayout(int W, int H, int gw, int gh, int tw, int th, int Margin, int Spacing,
                             TButtonLayout Layout, bool Centred, bool Speed)
{
    TGlyphLayout l;
    const bool across = Layout == blGlyphLeft || Layout == blGlyphRight;
    if (across) {
        l.Glyph.Y = (H - gh + 1) / 2;
        l.Text.Y = (H - th + 1) / 2;
    } else {
        l.Glyph.X = (W - gw + 1) / 2;
        l.Text.X = (W - tw + 1) / 2;
    }
    if (tw == 0 || gw == 0)
        Spacing = 0;
    const int room = across ? W - gw - tw : H - gh - th;
    if (Margin == -1 || Centred) {
        if (Spacing == -1) {
            Margin = room / 3;
            Spacing = Margin;
        } else {
            Margin = (room - Spacing) / 2 + (Speed ? 1 : 0);
        }
    } else if (Spacing == -1) {
        Spacing = (room - Margin) / 2;
    }
    switch (Layout) {
    case blGlyphLeft:
        l.Glyph.X = Margin;
        l.Text.X = Margin + gw + Spacing;
        break;
    case blGlyphRight:
        l.Glyph.X = W - Margin - gw;
        l.Text.X = l.Glyph.X - Spacing - tw;
        break;
    case blGlyphTop:
        l.Glyph.Y = Margin;
        l.Text.Y = Margin + gh + Spacing;
        break;
    case blGlyphBottom:
        l.Glyph.Y = H - Margin - gh;
        l.Text.Y = l.Glyph.Y - Spacing - th;
        break;
    }
    l.Margin = Margin;
    l.Spacing = Spacing;
    return l;
}

TSkinBitButton::TSkinBitButton(TComponent* AOwner) : TSkinButton(AOwner) {}

void TSkinBitButton::DrawGlyph(HDC DC, const TBitmap* Glyph, int NumGlyphs, int StateIndex, TPoint At)
{
    if (Glyph == nullptr || Glyph->Empty())
        return;
    const int count = std::max(1, NumGlyphs);
    QImage frame;
    if (count == 1 && StateIndex == 2) {
        const std::unique_ptr<TBitmap> disabled = CreateDisabledGlyph(Glyph);
        frame = GlyphFrame(disabled.get(), 1, bsUp);
    } else {
        frame = GlyphFrame(Glyph, count, StateIndex > count ? bsUp : TButtonState(std::max(0, StateIndex - 1)));
    }
    if (!frame.isNull())
        DrawImage(DC, Bounds(At.X, At.Y, frame.width(), frame.height()), frame);
}

bool TSkinBitButton::prepareWork(const TRect& R, TControl* BackgroundOf)
{
    if (R.Width() < 1 || R.Height() < 1)
        return false;
    WorkBitmap->SetSize(R.Width(), R.Height());
    const TRect local{0, 0, R.Width(), R.Height()};
    if (Transparent && BackgroundOf != nullptr)
        DrawParentBackground(BackgroundOf, WorkBitmap->Canvas()->Handle());
    else
        FillSkinColor(WorkBitmap->Canvas()->Handle(), local);
    return true;
}

void TSkinBitButton::PaintControl(HDC DC, const TRect& R)
{
    const TDataSkinButton* b = buttonsOf(SkinData);
    TControl* c = RepaintTarget != nullptr ? RepaintTarget : Control;
    if (b == nullptr || c == nullptr || readsFalse(c, "Visible"))
        return;
    const int frame = readState();
    if (!GlyphProperty.isEmpty()) {
        paintPng(DC, R, frame);
        return;
    }
    const int stateIndex = frame == bfPressed ? 3 : frame == bfDisabled ? 2 : 1;
    if (!prepareWork(R, c))
        return;
    TCanvas* work = WorkBitmap->Canvas();
    const int W = R.Width(), H = R.Height();
    const TRect local{0, 0, W, H};
    if (auto* windowFont = reinterpret_cast<TFont*>(c->Perform(WM_GETFONT)))
        work->Font()->Assign(windowFont);
    DrawSkinObject(this, work->Handle(), local, b->Frame, frame, b);
    if (auto* font = GetObjectPropByName<TFont>(c, String::fromLatin1("Font")))
        work->Font()->Assign(font);

    const auto* glyph = GetObjectPropByName<TBitmap>(c, String::fromLatin1("Glyph"));
    auto* images = GetObjectPropByName<TImageList>(c, String::fromLatin1("Images"));
    const int imageIndex = GetIntPropByName(c, String::fromLatin1("ImageIndex"));
    const int glyphs = numGlyphs(c);
    int gw = 0, gh = 0;
    if (glyph != nullptr && !glyph->Empty()) {
        gw = glyph->Width() / glyphs;
        gh = glyph->Height();
    } else if (images != nullptr && imageIndex != -1) {
        gw = images->Width();
        gh = images->Height();
    }
    Text = splitCaption(Text);
    const TButtonLayout layout = layoutOf(c);
    const TSize text = captionSize(work, Text, layout, W, H, gw, gh, true);
    const int tw = text.cx, th = text.cy;
    const bool centred = GetEnumPropByName(c, String::fromLatin1("Alignment")).toLower() == QLatin1String("tacenter");
    const TGlyphLayout l = BitButtonLayout(W, H, gw, gh, tw, th, GetIntPropByName(c, String::fromLatin1("Margin")),
                                           GetIntPropByName(c, String::fromLatin1("Spacing")), layout, centred);
    const uint32_t flags = captionFlags(layout);
    if (glyph != nullptr && !glyph->Empty()) {
        DrawGlyph(work->Handle(), glyph, glyphs, stateIndex, l.Glyph);
    } else if (images != nullptr) {
        const int disabledIndex = GetIntPropByName(c, String::fromLatin1("DisabledIndex"));
        if (WindowEnabled && imageIndex != -1)
            images->Draw(work, l.Glyph.X, l.Glyph.Y, imageIndex, true);
        else if (!WindowEnabled && (disabledIndex != -1 || imageIndex != -1))
            images->Draw(work, l.Glyph.X, l.Glyph.Y, disabledIndex != -1 ? disabledIndex : imageIndex, false);
    }
    finishFace(DC, R, frame, true, Bounds(l.Text.X, l.Text.Y, tw, th), AddRTLReadingFlag(flags));
}

void TSkinBitButton::paintPng(HDC DC, const TRect& R, int Frame)
{
    const TDataSkinButton* b = buttonsOf(SkinData);
    TControl* c = RepaintTarget != nullptr ? RepaintTarget : Control;
    // Focus alone gives frame 5 here: the default button is not asked.
    if (Frame == bfDefault && !Focused)
        Frame = bfNormal;
    if (!prepareWork(R, c))
        return;
    TCanvas* work = WorkBitmap->Canvas();
    const int W = R.Width(), H = R.Height();
    const TRect local{0, 0, W, H};
    DrawSkinObject(this, work->Handle(), local, b->Frame, Frame, b);
    if (auto* font = GetObjectPropByName<TFont>(c, String::fromLatin1("Font")))
        work->Font()->Assign(font);
    auto* graphic = GetObjectPropByName<TGraphic>(c, GlyphProperty);
    const int gw = graphic != nullptr && !graphic->Empty() ? graphic->Width() : 0;
    const int gh = graphic != nullptr && !graphic->Empty() ? graphic->Height() : 0;
    Text = splitCaption(Text);
    const TButtonLayout layout = layoutOf(c);
    const TSize text = captionSize(work, Text, layout, W, H, gw, gh, false);
    const int tw = text.cx, th = text.cy;
    const TGlyphLayout l = BitButtonLayout(W, H, gw, gh, tw, th, GetIntPropByName(c, String::fromLatin1("Margin")),
                                           GetIntPropByName(c, String::fromLatin1("Spacing")), layout, false);
    if (gw > 0)
        work->Draw(l.Glyph.X, l.Glyph.Y, graphic);
    finishFace(DC, R, Frame, false, Bounds(l.Text.X, l.Text.Y, tw, th), captionFlags(layout));
}

void TSkinBitButton::finishFace(HDC DC, const TRect& R, int Frame, bool AllFrames, TRect Place, uint32_t Flags)
{
    TCanvas* work = WorkBitmap->Canvas();
    SetBkMode(work->Handle(), TRANSPARENT);
    work->Brush()->SetStyle(bsClear);
    applyTextColour(work, Frame, AllFrames);
    if (!Text.isEmpty()) {
        work->TextRect(Place, Text, Flags);
        if (Focused && !SkinData->Options().Contains(xoNoFocusRect))
            focusAround(work->Handle(), Place);
    }
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), work->Handle(), 0, 0, SRCCOPY);
}

// ---- TSkinMenuButton -----------------------------------------------------------

TSkinMenuButton::TSkinMenuButton(TComponent* AOwner) : TSkinButton(AOwner) {}

void TSkinMenuButton::PaintControl(HDC DC, const TRect& R)
{
    const TDataSkinButton* b = buttonsOf(SkinData);
    if (b == nullptr || Control == nullptr || R.Width() < 1 || R.Height() < 1)
        return;
    readState();
    int frame = MouseState.Contains(msPressed)                     ? bfPressed
                : Focused || MouseState.Contains(msHot) ? bfHot
                                                                   : bfNormal;
    if (!WindowEnabled)
        frame = bfDisabled;
    const int W = R.Width(), H = R.Height();
    const TRect local{0, 0, W, H};
    WorkBitmap->SetSize(W, H);
    TCanvas* work = WorkBitmap->Canvas();
    if (auto* windowFont = reinterpret_cast<TFont*>(Control->Perform(WM_GETFONT)))
        work->Font()->Assign(windowFont);
    if (Transparent)
        DrawParentBackground(Control, work->Handle());
    else
        FillSkinColor(work->Handle(), local);
    DrawSkinObject(this, work->Handle(), local, b->Frame, frame, b);
    if (auto* font = GetObjectPropByName<TFont>(Control, String::fromLatin1("Font")))
        work->Font()->Assign(font);
    const auto* glyph = GetObjectPropByName<TBitmap>(Control, String::fromLatin1("Glyph"));
    const int gw = glyph != nullptr && !glyph->Empty() ? glyph->Width() : 0;
    const int gh = glyph != nullptr && !glyph->Empty() ? glyph->Height() : 0;
    constexpr int arrowWidth = 8;
    Text = splitCaption(Text);
    TRect t{0, 0, W - gw - arrowWidth, H};
    InflateRect(t, -2, -2);
    int tw = 0, th = 0;
    if (!Text.isEmpty()) {
        work->TextRect(t, Text, DT_CALCRECT | DT_WORDBREAK);
        tw = t.Width();
        th = t.Height();
    }
    int margin = GetIntPropByName(Control, String::fromLatin1("Margin"));
    int spacing = GetIntPropByName(Control, String::fromLatin1("Spacing"));
    if (margin == -1 && spacing == -1) {
        margin = (W - (gw + tw + arrowWidth)) / 4;
        spacing = margin;
    } else if (margin == -1) {
        margin = (W - (gw + tw + 2 * spacing + arrowWidth)) / 2;
    } else if (spacing == -1) {
        spacing = ((W + arrowWidth - 2 * margin - gw) - tw) / 2;
    }
    const int textX = margin + gw + spacing, textY = (H - th + 1) / 2;
    const int arrowX = textX + 2 * spacing + tw, arrowY = (H - 3) / 2;
    if (gw > 0)
        TSkinBitButton::DrawGlyph(work->Handle(), glyph, 1, 1, TPoint{margin, (H - gh) / 2});
    applyTextColour(work, frame, false);
    const TColor ink = WindowEnabled ? clWindowText : clBtnShadow;
    work->Brush()->SetStyle(bsSolid);
    work->Brush()->SetColor(ink);
    work->Pen()->SetColor(ink);
    const TPoint arrow[] = {{arrowX, arrowY + 2}, {arrowX - 3, arrowY - 1}, {arrowX + 3, arrowY - 1}};
    work->Polygon(arrow);
    SetBkMode(work->Handle(), TRANSPARENT);
    work->Brush()->SetStyle(bsClear);
    if (!Text.isEmpty()) {
        TRect text = Bounds(textX, textY, tw, th);
        work->TextRect(text, Text, AddRTLReadingFlag(DT_WORDBREAK));
        if (Focused && !SkinData->Options().Contains(xoNoFocusRect))
            focusAround(work->Handle(), text);
    }
    BitBlt(DC, R.Left, R.Top, W, H, work->Handle(), 0, 0, SRCCOPY);
}

// ---- TSkinSpeedButton ----------------------------------------------------------

TSkinSpeedButton::TSkinSpeedButton(TComponent* AOwner) : TSkinBitButton(AOwner) {}

TSkinSpeedButton::~TSkinSpeedButton() = default;

void TSkinSpeedButton::HookControl(TSknForm* AFormSkinner, TSkinData* ASkinData, bool, TCanvas* ACanvas)
{
    if (Hooked)
        return;
    auto* button = dynamic_cast<TControl*>(Owner());
    if (button == nullptr)
        return;
    SkinData = ASkinData;
    Canvas = ACanvas;
    FormSkinner = AFormSkinner;
    RepaintTarget = button;
    hookWindowProc(button);
    State = 1;
    Hooked = true;
    Transparent = button->Tag() == 5555 || (SkinData != nullptr && SkinData->Options().Contains(xoTransparent));
    button->Invalidate();
}

bool TSkinSpeedButton::BeforeMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT:
        if (auto dc = reinterpret_cast<HDC>(Message.WParam); dc != nullptr && RepaintTarget != nullptr)
            paintButton(dc, TRect{0, 0, RepaintTarget->Width(), RepaintTarget->Height()});
        Message.Result = 1;
        return false;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
        // The button handles its own click.
        CallDefault(Message);
        MouseState.Include(msPressed);
        Repaint();
        return false;
    case WM_LBUTTONUP:
        return true;
    default:
        return TSkinButton::BeforeMessage(Message);
    }
}

void TSkinSpeedButton::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ENABLE: case CM_FOCUSCHANGED: case CM_ENABLEDCHANGED:
        return;
    case WM_NCDESTROY: case CM_RELEASE:
        unhookWindowProc();
        return;
    case WM_KEYDOWN:
        if (Message.WParam == VK_SPACE) {
            MouseState.Include(msPressed);
            Repaint();
        }
        return;
    case WM_KEYUP: case WM_LBUTTONUP:
        if (Message.Msg == WM_LBUTTONUP || Message.WParam == VK_SPACE) {
            MouseState.Exclude(msPressed);
            Repaint();
        }
        return;
    case CM_MOUSEENTER:
        MouseState.Include(msHot);
        Repaint();
        return;
    case CM_MOUSELEAVE:
        MouseState.Exclude(msHot);
        MouseState.Exclude(msPressed);
        if (RepaintTarget != nullptr && RepaintTarget->Visible())
            Repaint();
        return;
    default:
        TSkinButton::AfterMessage(Message);
    }
}

void TSkinSpeedButton::PaintWindow(HDC DC)
{
    // A graphic control has a surface only while its parent paints it.
    if (DC != nullptr && RepaintTarget != nullptr)
        paintButton(DC, TRect{0, 0, RepaintTarget->Width(), RepaintTarget->Height()});
    else
        Repaint();
}

void TSkinSpeedButton::PaintControl(HDC DC, const TRect& R)
{
    paintButton(DC, R);
}

int TSkinSpeedButton::CurrentFrame(int* GlyphIndex) const
{
    int frame = bfNormal;
    if (readsTrue(RepaintTarget, "Down"))
        frame = bfPressed;
    else if (!readsTrue(RepaintTarget, "Enabled"))
        frame = bfDisabled;
    else if (MouseState.Contains(msPressed))
        frame = bfPressed;
    else if (MouseState.Contains(msHot))
        frame = bfHot;
    if (GlyphIndex != nullptr) {
        *GlyphIndex = frame == bfPressed ? 3 : frame == bfDisabled ? 2 : 1;
        if (readsTrue(RepaintTarget, "Down"))
            *GlyphIndex = 4;
    }
    return frame;
}

void TSkinSpeedButton::paintButton(HDC DC, const TRect& R)
{
    const TDataSkinButton* b = buttonsOf(SkinData);
    TControl* c = RepaintTarget;
    // A paint while painting (the parent under a see-through face paints
    // this button again) is dropped.
    if (b == nullptr || c == nullptr || readsFalse(c, "Visible") || Painting)
        return;
    Painting = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{Painting};
    int glyphIndex = 1;
    const int frame = CurrentFrame(&glyphIndex);
    WindowEnabled = readsTrue(c, "Enabled");
    Text = GetWideStrPropByName(c, String::fromLatin1("Caption"));
    if (!prepareWork(R, c))
        return;
    TCanvas* work = WorkBitmap->Canvas();
    const int W = R.Width(), H = R.Height();
    const TRect local{0, 0, W, H};
    if (auto* font = GetObjectPropByName<TFont>(c, String::fromLatin1("Font")))
        work->Font()->Assign(font);
    // A flat button shows the skin only when hot, pressed or down.
    if (frame == bfPressed || frame == bfHot || !readsTrue(c, "Flat"))
        DrawSkinObject(this, work->Handle(), local, b->Frame, frame, b);

    const TGraphic* png = GlyphProperty.isEmpty() ? nullptr : GetObjectPropByName<TGraphic>(c, GlyphProperty);
    const auto* glyph = GlyphProperty.isEmpty() ? GetObjectPropByName<TBitmap>(c, String::fromLatin1("Glyph")) : nullptr;
    const int glyphs = numGlyphs(c);
    int gw = 0, gh = 0;
    if (png != nullptr && !png->Empty()) {
        gw = png->Width();
        gh = png->Height();
    } else if (glyph != nullptr && !glyph->Empty()) {
        gw = glyph->Width() / glyphs;
        gh = glyph->Height();
    }
    SetBkMode(work->Handle(), TRANSPARENT);
    work->Brush()->SetStyle(bsClear);
    const TDataSkinButton* colours = b;
    if (frame == bfNormal && colours->NormalColour2Given)
        work->Font()->SetColor(colours->NormalColour2);
    if (frame == bfHot && colours->MouseOverColour2Given)
        work->Font()->SetColor(colours->MouseOverColour2);
    if (frame == bfPressed && colours->PressedColour2Given)
        work->Font()->SetColor(colours->PressedColour2);
    if (!WindowEnabled)
        work->Font()->SetColor(clBtnShadow);
    if (gw * gh != 0) {
        Text = splitCaption(Text);
        const TButtonLayout layout = layoutOf(c);
        const TSize text = captionSize(work, Text, layout, W, H, gw, gh, true);
        const int tw = text.cx, th = text.cy;
        const TGlyphLayout l =
            BitButtonLayout(W, H, gw, gh, tw, th, GetIntPropByName(c, String::fromLatin1("Margin")),
                            GetIntPropByName(c, String::fromLatin1("Spacing")), layout, false, true);
        const uint32_t flags = captionFlags(layout);
        if (png != nullptr)
            work->Draw(l.Glyph.X, l.Glyph.Y, png);
        else
            DrawGlyph(work->Handle(), glyph, glyphs, glyphIndex, l.Glyph);
        if (!Text.isEmpty()) {
            TRect place = Bounds(l.Text.X, l.Text.Y, tw, th);
            work->TextRect(place, Text, AddRTLReadingFlag(flags));
        }
    } else {
        Focused = false;  // a speed button never holds the focus
        DrawCaption(work, local, DT_CENTER, Text);
    }
    BitBlt(DC, R.Left, R.Top, W, H, work->Handle(), 0, 0, SRCCOPY);
}
