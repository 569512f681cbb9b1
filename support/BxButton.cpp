#include "support/BxButton.h"

#include <QPainter>
#include <array>
#include <mutex>

#include "platform/graphics/Graphics.h"
#include "platform/rtl/TypInfo.h"
#include "support/BxCommon.h"

namespace {

struct KindInfo {
    const TResStringRec* Caption;
    TModalResult Result;
};
const std::array<KindInfo, 11> kinds = {{{nullptr, mrNone},
                                         {&BxConsts::SOKButton, mrOk},
                                         {&BxConsts::SCancelButton, mrCancel},
                                         {&BxConsts::SHelpButton, mrNone},
                                         {&BxConsts::SYesButton, mrYes},
                                         {&BxConsts::SNoButton, mrNo},
                                         {&BxConsts::SCloseButton, mrNone},
                                         {&BxConsts::SAbortButton, mrAbort},
                                         {&BxConsts::SRetryButton, mrRetry},
                                         {&BxConsts::SIgnoreButton, mrIgnore},
                                         {&BxConsts::SAllButton, mrAll}}};

// The unit's glyph cache and kind captions, alive from start-up to shutdown.
struct KindCache {
    std::mutex lock;
    std::array<String, 11> captions;
    std::array<std::unique_ptr<TBitmap>, 11> glyphs;
};
KindCache& cache()
{
    static KindCache instance;
    return instance;
}

constexpr QRgb glyphBackground = qRgb(0x80, 0x80, 0x00);  // clOlive, the strip's transparent colour

// The glyph strip of a kind: a 16 x 16 picture and its disabled cell.
std::unique_ptr<TBitmap> makeKindGlyph(TBitBtnKind kind)
{
    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(glyphBackground);
    for (int cell = 0; cell < 2; ++cell) {
        QPainter p(&image);
        p.translate(cell * 16, 0);
        const bool disabled = cell == 1;
        const auto col = [&](QColor c) { return disabled ? QColor(128, 128, 128) : c; };
        QPen pen(col(Qt::black), 2);
        switch (kind) {
        case bkOK: case bkYes: case bkAll:
            pen.setColor(col(QColor(0, 128, 0)));
            p.setPen(pen);
            p.drawLine(3, 8, 6, 12);
            p.drawLine(6, 12, 13, 3);
            if (kind == bkAll)
                p.drawLine(1, 5, 5, 1);
            break;
        case bkCancel: case bkAbort: case bkNo:
            pen.setColor(col(QColor(192, 0, 0)));
            p.setPen(pen);
            p.drawLine(3, 3, 12, 12);
            p.drawLine(12, 3, 3, 12);
            break;
        case bkHelp: case bkIgnore: case bkRetry: case bkClose: {
            pen.setColor(col(QColor(0, 0, 160)));
            p.setPen(pen);
            if (kind == bkClose)
                p.drawRect(3, 2, 9, 12);
            else if (kind == bkRetry)
                p.drawArc(3, 3, 10, 10, 30 * 16, 300 * 16);
            else if (kind == bkIgnore)
                p.drawLine(2, 8, 13, 8);
            else {
                p.drawArc(4, 2, 8, 7, 0, 180 * 16);
                p.drawLine(12, 5, 8, 9);
                p.drawLine(8, 9, 8, 11);
                p.drawPoint(8, 14);
            }
            break;
        }
        case bkCustom: break;
        }
    }
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetImage(image);
    return bitmap;
}

bool isAccel(QChar ch, const String& caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i)
        if (caption[i] == QLatin1Char('&')) {
            if (caption[i + 1] == QLatin1Char('&')) {
                ++i;
                continue;
            }
            return caption[i + 1].toUpper() == ch.toUpper();
        }
    return false;
}

// Every button of the form recomputes whether it is the active default.
void notifyFocusChanged(TWinControl* root, TControl* focused)
{
    for (int i = 0; i < root->ControlCount(); ++i) {
        TControl* c = root->Controls(i);
        c->Perform(CM_FOCUSCHANGED, 0, LPARAM(focused));
        if (auto* w = dynamic_cast<TWinControl*>(c))
            notifyFocusChanged(w, focused);
    }
}

}  // namespace

String BitBtnKindCaption(TBitBtnKind Kind)
{
    const std::lock_guard guard(cache().lock);
    return cache().captions[Kind];
}

const TBitmap* BitBtnKindGlyph(TBitBtnKind Kind)
{
    if (Kind == bkCustom)
        return nullptr;
    const std::lock_guard guard(cache().lock);
    auto& slot = cache().glyphs[Kind];
    if (!slot)
        slot = makeKindGlyph(Kind);
    return slot.get();
}

void BxButtonInitialization()
{
    const std::lock_guard guard(cache().lock);
    for (size_t i = 1; i < kinds.size(); ++i)
        cache().captions[i] = LoadResString(*kinds[i].Caption);
}

void BxButtonFinalization()
{
    const std::lock_guard guard(cache().lock);
    for (auto& g : cache().glyphs)
        g.reset();
    for (auto& c : cache().captions)
        c.clear();
}

// ---- custom button ----------------------------------------------------------------

TBxCustomButton::TBxCustomButton(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = TControlStyle{csCaptureMouse, csSetCaption, csOpaque, csDoubleClicks, csReplicatable, csReflector};
    SetBounds(0, 0, 115, 17);
    SetTabStop(true);
}

void TBxCustomButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MOUSEENTER: case CM_MOUSELEAVE:
        FMouseOverButton = Message.Msg == CM_MOUSEENTER;
        TCustomControl::Dispatch(Message);
        if (FHotTrack || UsingThemes())
            Invalidate();
        break;
    case WM_ERASEBKGND:
        if (FTransparent && Message.WParam != 0) {
            DrawBackground(reinterpret_cast<HDC>(Message.WParam));
            Message.Result = 1;
        } else
            TCustomControl::Dispatch(Message);
        break;
    default: TCustomControl::Dispatch(Message); break;
    }
}

void TBxCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    if (CanFocus())
        SetFocus();
    if (Focused()) {
        FShowPressed = true;
        UpdateDisplay();
        FMouseCaptured = true;
    }
}

void TBxCustomButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FMouseCaptured)
        return;
    const bool inside = ClientRect().Contains(TPoint{X, Y});
    if (inside != FShowPressed) {
        FShowPressed = inside;
        UpdateDisplay();
    }
}

void TBxCustomButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (!FMouseCaptured)
        return;
    FMouseCaptured = false;
    FShowPressed = false;
    if (ClientRect().Contains(TPoint{X, Y}))
        DoClick();
    UpdateDisplay();
}

void TBxCustomButton::DrawCaption(TCanvas* Canvas, TRect R, uint32_t Flags)
{
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->Assign(Font());
    String text = Caption();
    if (!ShowAccelerators()) {
        text = StripAccelerators(text);
        Flags |= DT_NOPREFIX;
    }
    TRect m = R;
    Canvas->TextRect(m, text, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER | (Flags & DT_NOPREFIX));
    const int h = m.Height();
    switch (FAlignmentVertical) {
    case avTop: R.Bottom = R.Top + h; break;
    case avCenter: R.Top = (R.Top + R.Bottom - h) / 2; R.Bottom = R.Top + h; break;
    case avBottom: R.Top = R.Bottom - h - 1; break;
    }
    const auto drawAt = [&](int dx, int dy, TColor color) {
        TRect o = R;
        OffsetRect(o, dx, dy);
        Canvas->Font()->SetColor(color);
        Canvas->TextRect(o, text, Flags);
    };
    if (Enabled()) {
        if (FTextStyle == tsRaised || FTextStyle == tsRecessed) {
            const TColor first = FTextStyle == tsRaised ? FTextHighlightColor : FTextShadowColor;
            const TColor second = FTextStyle == tsRaised ? FTextShadowColor : FTextHighlightColor;
            if (!(FTextStyle == tsRaised && FLightTextStyle))
                drawAt(1, 1, second);
            if (!(FTextStyle == tsRecessed && FLightTextStyle))
                drawAt(-1, -1, first);
        } else if (FTextStyle == tsShadow) {
            if (Flags & DT_RIGHT) {
                drawAt(0, FTextShadowDepth, FTextShadowColor);
                OffsetRect(R, -FTextShadowDepth, 0);
            } else
                drawAt(FTextShadowDepth, FTextShadowDepth, FTextShadowColor);
        }
        Canvas->Font()->SetColor(Font()->Color());
    } else
        Canvas->Font()->SetColor(ColorsAlike(Color(), clGrayText) ? cl3DDkShadow : clGrayText);
    Canvas->TextRect(R, text, Flags);
    Canvas->Brush()->SetStyle(bsSolid);
}

// ---- button ---------------------------------------------------------------------

TBxButton::TBxButton(TComponent* AOwner) : TBxCustomButton(AOwner)
{
    SetBounds(Left(), Top(), 75, 25);
    SetColor(clBtnFace);
}

void TBxButton::InitializeWidget()
{
    TBxCustomButton::InitializeWidget();
    FIsActiveDefault = FDefault;
}

void TBxButton::SetHotTrack(bool Value)
{
    TBxCustomButton::SetHotTrack(Value);
    SetTransparent(Value);
}

void TBxButton::SetDefault(bool Value)
{
    FDefault = Value;
    FIsActiveDefault = Value;
    if (TCustomForm* form = GetParentForm(this))
        notifyFocusChanged(form, form->ActiveControl());
    Invalidate();
}

void TBxButton::SetAllowAllUp(bool Value)
{
    if (Value != FAllowAllUp) {
        FAllowAllUp = Value;
        broadcastGroup();
    }
}

void TBxButton::SetGroupIndex(int Value)
{
    if (Value != FGroupIndex) {
        FGroupIndex = Value;
        broadcastGroup();
    }
}

void TBxButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = Value;
    FButtonState = Value ? bsExclusive : bsUp;
    Invalidate();
    if (Value)
        broadcastGroup();
}

void TBxButton::broadcastGroup()
{
    if (FGroupIndex == 0 || Parent() == nullptr)
        return;
    for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (Parent()->Controls(i) != this)
            Parent()->Controls(i)->Perform(CM_BXBUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(this));
}

void TBxButton::Click()
{
    if (TCustomForm* form = GetParentForm(this))
        form->SetModalResult(FModalResult);
    TBxCustomButton::Click();
}

void TBxButton::DoClick()
{
    if (FGroupIndex != 0)
        SetDown(!FDown);
    else
        UpdateDisplay();
    FClicking = true;
    const struct Done { bool& f; ~Done() { f = false; } } done{FClicking};
    Click();
}

void TBxButton::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TBxCustomButton::KeyDown(Key, Shift);
    if (Key == VK_SPACE && !Shift.Contains(ssAlt)) {
        FSpacePressed = true;
        FShowPressed = true;
        UpdateDisplay();
    }
}

void TBxButton::KeyUp(uint16_t& Key, TShiftState Shift)
{
    TBxCustomButton::KeyUp(Key, Shift);
    if (Key == VK_SPACE) {
        FShowPressed = false;
        if (FSpacePressed) {
            FSpacePressed = false;
            DoClick();
        }
        UpdateDisplay();
    }
}

void TBxButton::Dispatch(TMessage& Message)
{
    const bool destroying = ComponentState().Contains(csDestroying);
    switch (Message.Msg) {
    case CM_DIALOGKEY: {
        const TShiftState shift = KeyDataToShiftState(Message.LParam);
        const bool noShift = !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
        if (noShift && CanFocus()
            && ((Message.WParam == VK_RETURN && FIsActiveDefault) || (Message.WParam == VK_ESCAPE && FCancel))) {
            Click();
            Message.Result = 1;
        } else
            TBxCustomButton::Dispatch(Message);
        break;
    }
    case CM_DIALOGCHAR:
        if (isAccel(QChar(char16_t(Message.WParam)), Caption()) && CanFocus()) {
            Click();
            Message.Result = 1;
        } else
            TBxCustomButton::Dispatch(Message);
        break;
    case WM_SETFOCUS:
        TBxCustomButton::Dispatch(Message);
        if (TCustomForm* form = GetParentForm(this))
            notifyFocusChanged(form, this);
        FocusRepaint();
        break;
    case WM_KILLFOCUS:
        if (destroying)
            break;
        TBxCustomButton::Dispatch(Message);
        if (TCustomForm* form = GetParentForm(this))
            notifyFocusChanged(form, nullptr);
        FocusRepaint();
        FSpacePressed = false;
        FShowPressed = false;
        UpdateDisplay();
        break;
    case CM_FOCUSCHANGED: {
        if (destroying)
            break;
        auto* focused = reinterpret_cast<TControl*>(Message.LParam);
        const bool isButton = dynamic_cast<TBxButton*>(focused) != nullptr || dynamic_cast<TButton*>(focused) != nullptr;
        const bool active = isButton ? focused == this : FDefault;
        if (active != FIsActiveDefault) {
            FIsActiveDefault = active;
            Repaint();
        }
        TBxCustomButton::Dispatch(Message);
        break;
    }
    case CM_ENABLEDCHANGED:
        if (!Enabled() && Focused())
            if (TCustomForm* form = GetParentForm(this))
                form->SetActiveControl(nullptr);
        TBxCustomButton::Dispatch(Message);
        Invalidate();
        break;
    case CM_TEXTCHANGED:
        TBxCustomButton::Dispatch(Message);
        Repaint();
        break;
    case CM_BXBUTTONPRESSED: {
        auto* sender = reinterpret_cast<TBxButton*>(Message.LParam);
        if (int(Message.WParam) == FGroupIndex && sender != this && sender != nullptr) {
            if (sender->Down() && FDown) {
                FDown = false;
                FButtonState = bsUp;
                Invalidate();
            }
            FAllowAllUp = sender->AllowAllUp();
        }
        break;
    }
    default: TBxCustomButton::Dispatch(Message); break;
    }
}

void TBxButton::DrawBackground(HDC DC)
{
    if (!FTransparent)
        return;
    const int inset = Enabled() ? 1 : 2;
    TRect r = ClientRect();
    InflateRect(r, -inset, -inset);
    const int saved = SaveDC(DC);
    ExcludeClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
    ExcludeClipRect(DC, r.Left - 1, r.Top + 1, r.Right + 1, r.Bottom - 1);
    ExcludeClipRect(DC, r.Left + 1, r.Top - 1, r.Right - 1, r.Bottom + 1);
    PaintParentImage(this, DC, true);
    RestoreDC(DC, saved);
}

void TBxButton::MakeDownPattern(TBitmap* Bitmap) const
{
    Bitmap->SetSize(8, 8);
    const TColor face = ColorToRGB(Color());
    const TColor dot = face == clSilver ? clGray : clSilver;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            Bitmap->SetPixels(x, y, (x % 2) == (y % 2) ? dot : face);
}

void TBxButton::GetCaptionRect(TRect& R) const
{
    R = ClientRect();
    InflateRect(R, -5, -5);
    if (!HotTrack() && !UsingThemes() && ((FGroupIndex != 0 && isDown()) || FShowPressed))
        OffsetRect(R, 1, 1);
}

void TBxButton::DrawContent()
{
    uint32_t flags = FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
    flags |= DT_WORDBREAK | DT_EXPANDTABS;
    TRect r;
    GetCaptionRect(r);
    DrawCaption(Canvas(), r, flags);
}

void TBxButton::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    TRect f = r;
    const int inset = (HotTrack() || UsingThemes()) ? 3 : 4;
    InflateRect(f, -inset, -inset);
    if (FGroupIndex != 0 && (isDown() || FShowPressed))
        OffsetRect(f, 1, 1);
    const bool focused = Focused();
    const TColor color = Color();
    if (HotTrack()) {
        const TColor p = Parent() != nullptr ? Parent()->Color() : clBtnFace;
        const auto hotFace = [&] {
            c->Pen()->SetColor(DarkenColor(color, 20));
            c->MoveTo(r.Left, r.Bottom - 2);
            c->LineTo(r.Right, r.Bottom - 2);
            c->Pen()->SetColor(DarkenColor(color, 30));
            c->MoveTo(r.Left, r.Bottom - 1);
            c->LineTo(r.Right, r.Bottom - 1);
            const TRect face = Rect(r.Left, r.Top, r.Right, r.Bottom - 2);
            if (FullColorDisplay)
                GradientFillCanvas(c, LightenColor(color, 30), DarkenColor(color, 10), face);
            else {
                c->Brush()->SetColor(color);
                c->FillRect(face);
            }
        };
        const TColor outerTL = Enabled() ? DarkenColor(p, 20) : p, outerBR = Enabled() ? LightenColor(p, 20) : p;
        c->Pen()->SetColor(outerTL);
        c->MoveTo(r.Left, r.Top + 2); c->LineTo(r.Left, r.Bottom - 2);
        c->MoveTo(r.Left + 2, r.Top); c->LineTo(r.Right - 2, r.Top);
        c->SetPixels(r.Left + 1, r.Top + 1, outerTL);
        c->SetPixels(r.Right - 2, r.Top + 1, outerTL);
        c->SetPixels(r.Left + 1, r.Bottom - 2, outerTL);
        c->Pen()->SetColor(outerBR);
        c->MoveTo(r.Right - 1, r.Top + 2); c->LineTo(r.Right - 1, r.Bottom - 2);
        c->MoveTo(r.Left + 2, r.Bottom - 1); c->LineTo(r.Right - 2, r.Bottom - 1);
        c->SetPixels(r.Right - 2, r.Bottom - 2, outerBR);
        InflateRect(r, -1, -1);
        const TColor inner = Enabled() ? FrameColor()
                                       : (color == clBtnFace ? LightenColor(clBtnShadow, 30) : DarkenColor(color, 80));
        c->Pen()->SetColor(inner);
        c->MoveTo(r.Left + 1, r.Top); c->LineTo(r.Right - 1, r.Top);
        c->MoveTo(r.Left + 1, r.Bottom - 1); c->LineTo(r.Right - 1, r.Bottom - 1);
        c->MoveTo(r.Left, r.Top + 1); c->LineTo(r.Left, r.Bottom - 1);
        c->MoveTo(r.Right - 1, r.Top + 1); c->LineTo(r.Right - 1, r.Bottom - 1);
        InflateRect(r, -1, -1);
        if (!Enabled()) {
            c->Brush()->SetColor(color);
            c->FillRect(r);
        } else if (pressedLook()) {
            c->Brush()->SetColor(DarkenColor(color, 10));
            c->FillRect(r);
        } else if (FMouseOverButton) {
            hotFace();
            TColor t, b;
            if (HotTrackColorType() == htctComplement) {
                t = ComplementColor(HotTrackColor(), 180);
                b = DarkenColor(t, 30);
            } else {
                t = MixColors(clWhite, HotTrackColor(), 190);
                b = HotTrackColor();
            }
            DrawGradientRing(c, r, t, b);
        } else if (FGroupIndex == 0 && (FIsActiveDefault || focused)) {
            hotFace();
            const TColor h = ColorsAlike(HighlightColor(), clBtnFace) ? DarkenColor(HighlightColor(), 30) : HighlightColor();
            const TColor l = LightenColor(color, 30);
            DrawGradientRing(c, r, MixColors(h, l, 60), MixColors(h, l, 160));
        } else
            hotFace();
    } else {
        if (FGroupIndex == 0 && (((FIsActiveDefault || focused) && !FShowPressed) || FClicking)) {
            c->Brush()->SetColor(clWindowFrame);
            c->FrameRect(r);
            InflateRect(r, -1, -1);
        }
        if (ColorToRGB(color) == ColorToRGB(clBtnFace) && color == clBtnFace) {
            if (FGroupIndex == 0)
                r = DrawPushBorder(c, r, FShowPressed);
            else
                r = pressedLook() ? DrawLoweredBevel(c, r) : DrawPushBorder(c, r, false);
        } else {
            if (FGroupIndex == 0)
                r = DrawColorBorder(c, r, color, FShowPressed);
            else
                r = pressedLook() ? DrawColorLoweredBevel(c, r, color) : DrawColorBorder(c, r, color, false);
        }
        c->Brush()->SetColor(color);
        c->FillRect(r);
    }
    if (FGroupIndex != 0 && FButtonState == bsExclusive && FShowDownPattern) {
        TBitmap pattern;
        MakeDownPattern(&pattern);
        for (int y = r.Top; y < r.Bottom; y += 8)
            for (int x = r.Left; x < r.Right; x += 8) {
                const TRect cell = Rect(x, y, std::min(x + 8, r.Right), std::min(y + 8, r.Bottom));
                c->CopyRect(cell, pattern.Canvas(), Rect(0, 0, cell.Width(), cell.Height()));
            }
    }
    c->Font()->Assign(Font());
    c->Brush()->SetColor(color);
    DrawContent();
    if (ShowFocusBorder() && focused && FShowFocusRect)
        DrawDottedFocusBorder(c, f, clNone);
}

// ---- bit button -----------------------------------------------------------------

TBxBitBtn::TBxBitBtn(TComponent* AOwner) : TBxButton(AOwner), FGlyph(std::make_unique<TBitmap>()) {}

TBxBitBtn::~TBxBitBtn() { SetImages(nullptr); }

void TBxBitBtn::glyphChanged()
{
    const int w = FGlyph->Width(), h = FGlyph->Height();
    if (h != 0 && w % h == 0) {
        const int n = w / h;
        FNumGlyphs = n >= 1 && n <= 4 ? n : 1;
    }
    Invalidate();
}

void TBxBitBtn::SetGlyph(const TBitmap* Value)
{
    if (Value != nullptr)
        FGlyph->Assign(Value);
    else
        FGlyph = std::make_unique<TBitmap>();
    FGlyphModified = true;
    glyphChanged();
}

void TBxBitBtn::SetKind(TBitBtnKind Value)
{
    if (Value == FKind)
        return;
    if (Value != bkCustom) {
        SetDefault(Value == bkOK || Value == bkYes);
        SetCancel(Value == bkCancel || Value == bkNo);
        const String caption = BitBtnKindCaption(Value);
        if (!caption.isEmpty())
            SetCaption(caption);
        SetModalResult(kinds[Value].Result);
        FGlyph->Assign(BitBtnKindGlyph(Value));
        glyphChanged();
        FNumGlyphs = 2;
        FGlyphModified = false;
    }
    FKind = Value;
    Invalidate();
}

TBitBtnKind TBxBitBtn::Kind()
{
    if (FKind != bkCustom) {
        const bool def = FKind == bkOK || FKind == bkYes, cancel = FKind == bkCancel || FKind == bkNo;
        if (Default() != def || Cancel() != cancel || ModalResult() != kinds[FKind].Result || FGlyphModified)
            FKind = bkCustom;
    }
    return FKind;
}

void TBxBitBtn::SetMargin(int Value)
{
    if (Value >= -1)
        setAndRepaint(FMargin, Value);
}

void TBxBitBtn::SetNumGlyphs(int Value)
{
    setAndRepaint(FNumGlyphs, std::clamp(Value, 1, 4));
}

void TBxBitBtn::SetImages(TImageList* Value)
{
    if (FImages != nullptr)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages != nullptr)
        FImages->FreeNotification(this);
    Invalidate();
}

void TBxBitBtn::Notification(TComponent* AComponent, TOperation Operation)
{
    TBxButton::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

TSize TBxBitBtn::GetGlyphSize() const
{
    if (FImages != nullptr && FImageIndex != -1)
        return {FImages->Width(), FImages->Height()};
    return {FNumGlyphs > 0 ? FGlyph->Width() / FNumGlyphs : 0, FGlyph->Height()};
}

int TBxBitBtn::textHeight() const
{
    TRect r;
    TBxButton::GetCaptionRect(r);
    TCanvas* c = Canvas();
    if (c == nullptr || !c->HandleAllocated()) {
        TBitmap measure;
        measure.SetSize(1, 1);
        measure.Canvas()->Font()->Assign(Font());
        measure.Canvas()->TextRect(r, Caption(), DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
        return r.Height();
    }
    c->Font()->Assign(Font());
    c->TextRect(r, Caption(), DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
    return r.Height();
}

void TBxBitBtn::GetCaptionRect(TRect& R) const
{
    TBxButton::GetCaptionRect(R);
    const bool image = FImages != nullptr && FImageIndex != -1;
    if (!image && FGlyph->Empty())
        return;
    const TSize g = GetGlyphSize();
    const int w = g.cx, h = g.cy;
    const TButtonLayout layout = effectiveLayout();
    if (FMargin >= 0 || layout == blGlyphLeft || layout == blGlyphRight) {
        const int m = FMargin;
        switch (layout) {
        case blGlyphLeft: R.Left += m + w + FSpacing; break;
        case blGlyphRight: R.Right -= m + w + FSpacing; break;
        case blGlyphTop: R.Top += m + h + FSpacing; break;
        case blGlyphBottom: R.Bottom -= m + h + FSpacing; break;
        }
        return;
    }
    const int t = textHeight();
    const int free = (Height() - h - t - FSpacing) / 2;
    R.Top += layout == blGlyphTop ? free + h : free;
    R.Bottom = R.Top + t;
}

void TBxBitBtn::GetGlyphRect(TRect& R) const
{
    TBxButton::GetCaptionRect(R);
    if (FShowPressed)
        OffsetRect(R, -1, -1);
    const TSize g = GetGlyphSize();
    const int w = g.cx, h = g.cy;
    const TButtonLayout layout = effectiveLayout();
    if (FMargin >= 0) {
        switch (layout) {
        case blGlyphLeft: R.Left += FMargin; break;
        case blGlyphRight: R.Left = R.Right - FMargin - w; break;
        case blGlyphTop: R.Top += FMargin; break;
        case blGlyphBottom: R.Top = R.Bottom - FMargin - h; break;
        }
    } else {
        const int t = textHeight();
        switch (layout) {
        case blGlyphLeft: break;
        case blGlyphRight: R.Left = R.Right - w; break;
        case blGlyphTop: R.Top = (Height() - t - h - FSpacing) / 2; break;
        case blGlyphBottom: R.Top += t + (Height() - t - h - FSpacing) / 2; break;
        }
    }
    if (layout == blGlyphTop || layout == blGlyphBottom)
        R.Left += (R.Width() - w + 1) / 2;
    else
        R.Top += (R.Height() - h + 1) / 2;
    R = Bounds(R.Left, R.Top, w, h);
    if (FShowPressed)
        OffsetRect(R, 2, 1);
}

void TBxBitBtn::DrawContent()
{
    TBxButton::DrawContent();
    TRect r;
    GetGlyphRect(r);
    if (FKind == bkCustom && FImages != nullptr && FImageIndex != -1)
        DrawImageGlyph(r);
    else if (!FGlyph->Empty())
        DrawGlyph(r);
}

void TBxBitBtn::DrawGlyph(const TRect& R)
{
    const int w = GetGlyphSize().cx;
    int cell = 0;
    if (FNumGlyphs == 4 && FButtonState == bsExclusive)
        cell = 3;
    else if (FNumGlyphs >= 3 && (FButtonState == bsDown || FShowPressed))
        cell = 2;
    else if (FNumGlyphs >= 2 && !Enabled())
        cell = 1;
    DrawTransparentCell(Canvas(), FGlyph.get(), R, FGlyph->TransparentColor(),
                        Rect(cell * w, 0, (cell + 1) * w, FGlyph->Height()));
}

void TBxBitBtn::DrawImageGlyph(const TRect& R)
{
    if (FDisabledIndex == -1) {
        if (FImageIndex != -1)
            FImages->Draw(Canvas(), R.Left, R.Top, FImageIndex, Enabled());
        return;
    }
    const int index = Enabled() ? FImageIndex : FDisabledIndex;
    if (index != -1)
        FImages->Draw(Canvas(), R.Left, R.Top, index, true);
}

// ---- published properties (code that handles buttons of any class reads them by name)

namespace {
constexpr const char* bxAlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr TEnumInfo bxAlignmentInfo{"TAlignment", bxAlignmentNames};
constexpr const char* bxLayoutNames[] = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
constexpr TEnumInfo bxLayoutInfo{"TButtonLayout", bxLayoutNames};
}  // namespace

const TClassInfo* TBxButton::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TBxButton::StaticClassInfo()
{
    using C = TBxButton;
    static const TClassInfo info = TClassInfoBuilder<C>("TBxButton", &TControl::StaticClassInfo())
        .Str("Caption", &C::Caption, &C::SetCaption)
        .Enum("Alignment", bxAlignmentInfo, &C::Alignment, &C::SetAlignment, taCenter)
        .Bool("Default", &C::Default, &C::SetDefault, false)
        .Bool("Cancel", &C::Cancel, &C::SetCancel, false)
        .Bool("Down", &C::Down, &C::SetDown, false)
        .Int("ModalResult", &C::ModalResult, &C::SetModalResult, mrNone)
        .Build();
    return info;
}

const TClassInfo* TBxBitBtn::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TBxBitBtn::StaticClassInfo()
{
    using C = TBxBitBtn;
    static const TClassInfo info = TClassInfoBuilder<C>("TBxBitBtn", &TBxButton::StaticClassInfo())
        .Object("Glyph", &C::Glyph, [](C& c, TBitmap* v) { c.SetGlyph(v); })
        .Enum("Layout", bxLayoutInfo, &C::Layout, &C::SetLayout, blGlyphLeft)
        .Int("Margin", &C::Margin, &C::SetMargin, 2)
        .Int("Spacing", &C::Spacing, &C::SetSpacing, 4)
        .Int("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, 1)
        .Int("ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1)
        .Int("DisabledIndex", &C::DisabledIndex, &C::SetDisabledIndex, -1)
        .Object("Images", &C::Images, [](C& c, TImageList* v) { c.SetImages(v); })
        .Build();
    return info;
}
