#include "platform/controls/Buttons.h"

#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>

#include "platform/graphics/Graphics.h"
#include "platform/rtl/TypInfo.h"

QImage GlyphFrame(const TBitmap* Glyph, int NumGlyphs, TButtonState State)
{
    if (Glyph == nullptr || Glyph->Empty())
        return {};
    const int count = std::max(1, NumGlyphs);
    const int w = Glyph->Width() / count;
    if (w < 1)
        return {};
    int index = int(State);
    if (index >= count)
        index = 0;
    QImage frame = Glyph->ToImage().copy(index * w, 0, w, Glyph->Height()).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = Glyph->ToImage().pixel(0, Glyph->Height() - 1) | 0xFF000000u;
    for (int y = 0; y < frame.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(frame.scanLine(y));
        for (int x = 0; x < frame.width(); ++x)
            if ((row[x] | 0xFF000000u) == key)
                row[x] = 0;
    }
    return frame;
}

// ----------------------------------------------------------------- TBitBtn

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(std::make_unique<TBitmap>()) {}

TBitBtn::~TBitBtn() = default;

void TBitBtn::SetGlyph(const TBitmap* Value)
{
    if (Value == nullptr)
        FGlyph = std::make_unique<TBitmap>();
    else
        FGlyph->Assign(Value);
    UpdateWidget();
}

void TBitBtn::UpdateWidget()
{
    TButton::UpdateWidget();
    if (!HandleAllocated())
        return;
    auto* w = static_cast<QPushButton*>(Widget());
    const QImage up = GlyphFrame(FGlyph.get(), FNumGlyphs, bsUp);
    if (up.isNull()) {
        w->setIcon(QIcon());
        return;
    }
    QIcon icon(QPixmap::fromImage(up));
    const QImage disabled = GlyphFrame(FGlyph.get(), FNumGlyphs, bsDisabled);
    if (FNumGlyphs > 1)
        icon.addPixmap(QPixmap::fromImage(disabled), QIcon::Disabled);
    w->setIcon(icon);
    w->setIconSize(up.size());
}

// ------------------------------------------------------------ TSpeedButton

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>())
{
    SetBounds(0, 0, 23, 22);
    FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks};
    SetParentFont(true);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(const TBitmap* Value)
{
    if (Value == nullptr)
        FGlyph = std::make_unique<TBitmap>();
    else
        FGlyph->Assign(Value);
    Invalidate();
}

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    if (FDown && !FAllowAllUp)
        return;
    FDown = Value;
    FState = Value ? bsExclusive : bsUp;
    if (Value)
        raiseGroup();
    Invalidate();
}

void TSpeedButton::raiseGroup()
{
    if (Parent() == nullptr || FGroupIndex == 0)
        return;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
        if (other != nullptr && other != this && other->FGroupIndex == FGroupIndex && other->FDown) {
            other->FDown = false;
            other->FState = bsUp;
            other->Invalidate();
        }
    }
}

void TSpeedButton::Click()
{
    TGraphicControl::Click();
}

void TSpeedButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        FMouseInControl = true;
        if (FFlat && Enabled())
            Invalidate();
        break;
    case CM_MOUSELEAVE:
        FMouseInControl = false;
        if (FFlat && Enabled())
            Invalidate();
        break;
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    default: break;
    }
    TGraphicControl::Dispatch(Message);
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging)
        return;
    FDragging = false;
    const bool inside = X >= 0 && X < Width() && Y >= 0 && Y < Height();
    if (FGroupIndex == 0) {
        FState = bsUp;
        Invalidate();
    } else if (inside) {
        SetDown(!FDown);
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    }
    if (inside)
        Click();
}

void TSpeedButton::Paint()
{
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    const bool down = FState == bsDown || FState == bsExclusive || FDown;
    TRect face = client;
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(face);
    if (!FFlat || down || (FMouseInControl && Enabled()))
        DrawEdge(canvas->Handle(), face, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const TButtonState glyphState = !Enabled() ? bsDisabled : FDown ? bsExclusive : down ? bsDown : bsUp;
    const QImage glyph = GlyphFrame(FGlyph.get(), FNumGlyphs, glyphState);
    const int shift = down ? 1 : 0;
    const int gw = glyph.isNull() ? 0 : glyph.width();
    const int gh = glyph.isNull() ? 0 : glyph.height();
    TRect text{0, 0, client.Width(), client.Height()};
    canvas->Font()->Assign(Font());
    if (!Enabled())
        canvas->Font()->SetColor(clBtnShadow);
    const String caption = Caption();
    TRect measured = text;
    if (!caption.isEmpty())
        canvas->TextRect(measured, caption, DT_CALCRECT | DT_SINGLELINE);
    const int tw = caption.isEmpty() ? 0 : measured.Width();
    const int th = caption.isEmpty() ? 0 : measured.Height();
    const int spacing = gw > 0 && tw > 0 ? FSpacing : 0;
    const int total = gw + spacing + tw;
    const int x0 = FMargin >= 0 ? FMargin : (client.Width() - total) / 2;
    if (gw > 0)
        DrawImage(canvas->Handle(), Bounds(x0 + shift, (client.Height() - gh) / 2 + shift, gw, gh), glyph);
    if (tw > 0) {
        TRect t = Bounds(x0 + gw + spacing + shift, (client.Height() - th) / 2 + shift, tw, th);
        canvas->Brush()->SetStyle(bsClear);
        canvas->TextRect(t, caption, DT_SINGLELINE);
    }
}

// ------------------------------------------------------------------- tables

namespace {
constexpr const char* layoutNames[] = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
constexpr TEnumInfo layoutInfo{"TButtonLayout", layoutNames};
constexpr const char* kindNames[] = {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo",
                                     "bkClose", "bkAbort", "bkRetry", "bkIgnore", "bkAll"};
constexpr TEnumInfo kindInfo{"TBitBtnKind", kindNames};
}  // namespace

const TClassInfo* TBitBtn::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TBitBtn::StaticClassInfo()
{
    using C = TBitBtn;
    static const TClassInfo info = TClassInfoBuilder<C>("TBitBtn", &TButton::StaticClassInfo())
        .Object("Glyph", &C::Glyph, [](C& c, TBitmap* v) { c.SetGlyph(v); })
        .Enum("Kind", kindInfo, &C::Kind, &C::SetKind, bkCustom)
        .Enum("Layout", layoutInfo, &C::Layout, &C::SetLayout, blGlyphLeft)
        .Int("Margin", &C::Margin, &C::SetMargin, -1)
        .Int("Spacing", &C::Spacing, &C::SetSpacing, 4)
        .Int("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, 1)
        .Build();
    return info;
}

const TClassInfo* TSpeedButton::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TSpeedButton::StaticClassInfo()
{
    using C = TSpeedButton;
    static const TClassInfo info = TClassInfoBuilder<C>("TSpeedButton", &TControl::StaticClassInfo())
        .Str("Caption", &C::Caption, &C::SetCaption)
        .Bool("Down", &C::Down, &C::SetDown, false)
        .Bool("Flat", &C::Flat, &C::SetFlat, false)
        .Int("GroupIndex", &C::GroupIndex, &C::SetGroupIndex, 0)
        .Bool("AllowAllUp", &C::AllowAllUp, &C::SetAllowAllUp, false)
        .Object("Glyph", &C::Glyph, [](C& c, TBitmap* v) { c.SetGlyph(v); })
        .Int("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, 1)
        .Enum("Layout", layoutInfo, &C::Layout, &C::SetLayout, blGlyphLeft)
        .Int("Margin", &C::Margin, &C::SetMargin, -1)
        .Int("Spacing", &C::Spacing, &C::SetSpacing, 4)
        .Build();
    return info;
}
