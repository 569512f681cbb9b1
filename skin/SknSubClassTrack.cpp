// Track bar, up-down and progress skinners: the common controls that show
// a value, painted from the skin's Track, UpDown and Progress images.
#include <algorithm>

#include "platform/controls/ComCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknImgUtil.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"

namespace {

TColor skinColour(const TSkinData* Data, int Slot, TColor Default)
{
    return Data != nullptr ? Data->Colors[size_t(Slot)].Color : Default;
}

// A work bitmap of W x H filled with Colour.
std::unique_ptr<TBitmap> workBitmap(int W, int H, TColor Colour)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(W, H);
    FillSolidRect(bitmap->Canvas()->Handle(), TRect{0, 0, W, H}, Colour);
    return bitmap;
}

// Frame Index of Object composed over R of Work, its key colour see-through.
void composeTransparent(TBitmap* Work, const TRect& R, const TDataSkinObject* Object, bool Tile, int FrameCount,
                        int FrameIndex)
{
    if (R.Width() < 1 || R.Height() < 1)
        return;
    const std::unique_ptr<TBitmap> image =
        BuildSkinImage(R, Object->Bitmap.get(), Object->Margins(), false, Tile, FrameCount, FrameIndex);
    if (image != nullptr && !image->Empty())
        DrawTransparentBitmap(Work->Canvas()->Handle(), R, image.get(), SkinKeyColor);
}

}  // namespace

// ---- TSkinTrackBar ---------------------------------------------------------------

TSkinTrackBar::TSkinTrackBar(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinTrackBar::BeforeMessage(TMessage& Message)
{
    if (!TSkinControl::BeforeMessage(Message))
        return false;
    if ((Message.Msg == WM_NOTIFY || Message.Msg == CN_NOTIFY) && Message.LParam != 0) {
        const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (header->code == NM_CUSTOMDRAW) {
            Message.Result = CustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(Message.LParam));
            return false;
        }
    }
    return true;
}

LRESULT TSkinTrackBar::CustomDraw(const NMCUSTOMDRAW& Draw)
{
    if (Draw.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (Draw.dwDrawStage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    switch (Draw.dwItemSpec) {
    case TBCD_THUMB:
        DrawThumb(Draw.hdc);
        return CDRF_SKIPDEFAULT;
    case TBCD_CHANNEL:
        DrawChannel(Draw.hdc);
        return CDRF_SKIPDEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void TSkinTrackBar::DrawChannel(HDC DC)
{
    auto* bar = dynamic_cast<TTrackBar*>(Control);
    if (bar == nullptr || SkinData == nullptr)
        return;
    TRect ch;
    bar->Perform(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&ch));
    const bool vertical = bar->Orientation() == trVertical;
    // The control reports a vertical channel lying down.
    if (vertical)
        ch = TRect{ch.Top, ch.Left, ch.Bottom, ch.Right};
    if (vertical && HasSkinImage(SkinData->TrackVert.get())) {
        const TDataSkinObject* o = SkinData->TrackVert.get();
        TBitmap* image = o->Bitmap.get();
        const int w = image->Width(), h = image->Height();
        const int top = std::min(o->TopHeight, h), bottom = std::min(o->BottomHeight, h - top);
        const int x = w < ch.Width() ? ch.Left + (ch.Width() - w) / 2 : ch.Left;
        HDC src = image->Canvas()->Handle();
        StretchBlt(DC, x, ch.Top, w, top, src, 0, 0, w, top, SRCCOPY);
        StretchBlt(DC, x, ch.Top + top, w, ch.Height() - top - bottom, src, 0, top, w, h - top - bottom, SRCCOPY);
        StretchBlt(DC, x, ch.Bottom - bottom, w, bottom, src, 0, h - bottom, w, bottom, SRCCOPY);
        return;
    }
    if (!HasSkinImage(SkinData->Track.get()))
        return;
    const TDataSkinObject* o = SkinData->Track.get();
    TBitmap* image = o->Bitmap.get();
    const int w = image->Width(), h = image->Height();
    const int left = std::min(o->LeftWidth, w), right = std::min(o->RightWidth, w - left);
    const int y = h < ch.Height() ? ch.Top + (ch.Height() - h) / 2 : ch.Top;
    HDC src = image->Canvas()->Handle();
    StretchBlt(DC, ch.Left, y, left, h, src, 0, 0, left, h, SRCCOPY);
    StretchBlt(DC, ch.Left + left, y, ch.Width() - left - right, h, src, left, 0, w - left - right, h, SRCCOPY);
    StretchBlt(DC, ch.Right - right, y, right, h, src, w - right, 0, right, h, SRCCOPY);
}

void TSkinTrackBar::DrawThumb(HDC DC)
{
    auto* bar = dynamic_cast<TTrackBar*>(Control);
    if (bar == nullptr || State == 6 || SkinData == nullptr)
        return;
    TRect thumb;
    bar->Perform(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const TDataSkinObject* image = SkinData->ThumbHorz.get();
    if (bar->Orientation() == trVertical && SkinData->ThumbVert != nullptr)
        image = SkinData->ThumbVert.get();
    if (HasSkinImage(image)) {
        DrawSkinFrameTransparentDC(this, DC, thumb, 5, 2, image->Bitmap.get());
        return;
    }
    FillSolidRect(DC, thumb, ButtonFace());
    const TDCBrush shadow{ColorToRGB(skinColour(SkinData, scButtonShadow, clBtnShadow)), dbsSolid};
    FrameRect(DC, thumb, shadow);
}

void TSkinTrackBar::SkinChanged()
{
    // The control asks for its parts again on its next paint.
    Repaint();
}

// ---- TSkinUpDown -----------------------------------------------------------------

TSkinUpDown::TSkinUpDown(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinUpDown::horizontal() const
{
    auto* updown = dynamic_cast<const TUpDown*>(Control);
    return Horizontal || (updown != nullptr && updown->Orientation() == udHorizontal);
}

bool TSkinUpDown::BeforeMessage(TMessage& Message)
{
    if (!TSkinControl::BeforeMessage(Message) || paintFilter(Message, false))
        return false;
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (auto dc = reinterpret_cast<HDC>(Message.WParam); dc != nullptr && Control == nullptr && Handle != nullptr) {
            TRect r;
            if (GetWindowRect(Handle, r))
                FillSolidRect(dc, TRect{0, 0, r.Width(), r.Height()}, clWhite);
        }
        Message.Result = 1;
        return false;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
        CallDefault(Message);
        MouseState.Include(msPressed);
        PaintWindow(nullptr);
        return false;
    case WM_LBUTTONUP:
        MouseState.Exclude(msPressed);
        CallDefault(Message);
        PaintWindow(nullptr);
        return false;
    case CM_MOUSEENTER: case WM_MOUSEMOVE:
        // The hot half follows the pointer.
        CallDefault(Message);
        MouseState.Include(msHot);
        Repaint();
        return false;
    case CM_MOUSELEAVE:
        CallDefault(Message);
        MouseState.Exclude(msHot);
        MouseState.Exclude(msPressed);
        Repaint();
        return false;
    default:
        return true;
    }
}

std::pair<int, int> TSkinUpDown::ButtonFrames(TPoint P, const TRect& R) const
{
    const int mouse = MouseState.Contains(msPressed) ? 2 : MouseState.Contains(msHot) ? 4 : 1;
    TRect first = R, second = R;
    if (horizontal())
        first.Right = second.Left = R.Left + R.Width() / 2;
    else
        first.Bottom = second.Top = R.Top + R.Height() / 2;
    auto frameOf = [&](const TRect& half) {
        if (!WindowEnabled)
            return 3;
        return PtInRect(half, P) ? mouse : 1;
    };
    return {frameOf(first), frameOf(second)};
}

void TSkinUpDown::PaintControl(HDC DC, const TRect& R)
{
    TRect r = R;
    TControl* self = Control != nullptr ? Control : dynamic_cast<TControl*>(FindReceiver(Handle));
    if (self == nullptr)
        return;
    if (Embedded) {
        FillSolidRect(DC, R, clWhite);
        // Kept 3 pixels inside the edit's border.
        if (TWinControl* parent = self->Parent()) {
            const TRect b = self->BoundsRect();
            if (b.Top < 3)
                r.Top += 3 - b.Top;
            if (parent->ClientHeight() - b.Bottom < 3)
                r.Bottom -= 3 - (parent->ClientHeight() - b.Bottom);
            if (parent->ClientWidth() - b.Right < 3)
                r.Right -= 3 - (parent->ClientWidth() - b.Right);
        }
    }
    if (r.Width() < 1 || r.Height() < 1)
        return;
    const std::unique_ptr<TBitmap> work = workBitmap(r.Width(), r.Height(), ButtonFace());
    WindowEnabled = self->Enabled();
    const TPoint cursor = self->ScreenToClient(Mouse->CursorPos());
    const auto [firstFrame, secondFrame] = ButtonFrames(cursor, r);
    const TRect local{0, 0, r.Width(), r.Height()};
    TRect first = local, second = local;
    int firstDirection = 0, secondDirection = 1;
    if (horizontal()) {
        first.Right = second.Left = local.Width() / 2;
        firstDirection = 2;
        secondDirection = 3;
    } else {
        first.Bottom = second.Top = local.Height() / 2;
    }
    const TDataSkinBorder* strip = horizontal() ? SkinData->UpDownHorz.get() : SkinData->UpDownVert.get();
    if (HasSkinImage(strip)) {
        DrawButton(work->Canvas()->Handle(), first, firstDirection, firstFrame);
        DrawButton(work->Canvas()->Handle(), second, secondDirection, secondFrame);
    } else {
        DrawPlainButton(work->Canvas(), first, firstDirection, firstFrame);
        DrawPlainButton(work->Canvas(), second, secondDirection, secondFrame);
    }
    BitBlt(DC, r.Left, r.Top, r.Width(), r.Height(), work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TSkinUpDown::DrawButton(HDC DC, const TRect& R, int Direction, int Frame)
{
    const TDataSkinBorder* strip = Direction >= 2 ? SkinData->UpDownHorz.get() : SkinData->UpDownVert.get();
    if (!HasSkinImage(strip))
        return;
    const int index = Direction < 2 ? Frame + 4 * Direction : Frame + 4 * Direction - 8;
    DrawSkinFrame(DC, R, strip->Bitmap.get(), 8, index, true);
    if (strip->Bitmap2 != nullptr && !strip->Bitmap2->Empty())
        DrawSkinFrameCentred(DC, R, strip->Bitmap2.get(), 8, index, true);
}

void TSkinUpDown::DrawPlainButton(TCanvas* ACanvas, const TRect& R, int Direction, int Frame)
{
    ACanvas->Pen()->SetColor(skinColour(SkinData, scButtonDkShadow, cl3DDkShadow));
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(Frame == 2 || Frame == 4 ? skinColour(SkinData, scButtonShadow, clBtnShadow)
                                                        : ButtonFace());
    ACanvas->Rectangle(R);
    const int x = R.Left + R.Width() / 2, y = R.Top + R.Height() / 2;
    DrawArrowGlyph(ACanvas, x, Direction >= 2 ? y : y - 2, Direction);
}

void DrawArrowGlyph(TCanvas* Canvas, int X, int Y, int Direction)
{
    if (Canvas == nullptr)
        return;
    auto line = [&](int x1, int y1, int x2, int y2) {
        Canvas->MoveTo(x1, y1);
        Canvas->LineTo(x2, y2);
    };
    const int x = X, y = Y;
    switch (Direction) {
    case 0:
        line(x, y, x, y - 1);
        line(x + 1, y + 1, x + 4, y + 4);
        line(x, y + 1, x + 3, y + 4);
        line(x, y + 2, x + 2, y + 4);
        line(x - 1, y + 1, x - 4, y + 4);
        line(x, y + 2, x - 3, y + 4);
        line(x, y + 1, x - 2, y + 4);
        break;
    case 1:
        line(x, y + 3, x, y + 4);
        line(x + 1, y + 2, x + 4, y - 1);
        line(x, y + 2, x + 3, y - 1);
        line(x, y + 1, x + 2, y);
        line(x - 1, y + 2, x - 4, y - 1);
        line(x, y + 2, x - 3, y - 1);
        line(x, y + 1, x - 2, y);
        break;
    case 2: {
        const TPoint p[] = {{x, y}, {x + 1, y + 2}, {x + 1, y - 2}, {x - 1, y}, {x + 1, y + 2}};
        Canvas->Polyline(p);
        break;
    }
    case 3: {
        const TPoint p[] = {{x, y}, {x - 1, y + 2}, {x - 1, y - 2}, {x + 1, y}, {x - 1, y + 2}};
        Canvas->Polyline(p);
        break;
    }
    default: break;
    }
}

// ---- TSkinProgress ---------------------------------------------------------------

TSkinProgress::TSkinProgress(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinProgress::BeforeMessage(TMessage& Message)
{
    if (!TSkinControl::BeforeMessage(Message))
        return false;
    switch (Message.Msg) {
    case WM_PAINT:
        if (SkinData == nullptr || !HasSkinImage(SkinData->Progress.get()))
            return true;  // the control's own look
        HandlePaint(Message);
        Message.Result = 0;
        return false;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return false;
    default:
        return true;
    }
}

int TSkinProgress::FilledLength(int Length, int Position, int Low, int High)
{
    // An empty or inverted range fills nothing (and divides by nothing).
    if (High <= Low || Length <= 0)
        return 0;
    const int p = std::clamp(Position, Low, High);
    return int(int64_t(Length) * (int64_t(p) - Low) / (int64_t(High) - Low));
}

void TSkinProgress::PaintControl(HDC DC, const TRect& R)
{
    auto* bar = dynamic_cast<TProgressBar*>(Control);
    if (bar == nullptr || SkinData == nullptr || !HasSkinImage(SkinData->Progress.get()))
        return;
    if (SkinData->Progress->Style == 1) {
        PaintChunks(DC, R);
        return;
    }
    // A vertical bar is composed lying down and turned at the end.
    const bool vertical = bar->Orientation() == pbVertical;
    const int w = vertical ? R.Height() : R.Width(), h = vertical ? R.Width() : R.Height();
    if (w < 1 || h < 1)
        return;
    const TDataSkinObject* progress = SkinData->Progress.get();
    const std::unique_ptr<TBitmap> work = workBitmap(w, h, ButtonFace());
    composeTransparent(work.get(), TRect{0, 0, w, h}, progress, progress->Tile != 0, 2, 1);
    const int filled = FilledLength(w, int(bar->Perform(PBM_GETPOS)), int(bar->Perform(PBM_GETRANGE, 1)),
                                    int(bar->Perform(PBM_GETRANGE, 0)));
    if (filled > 0)
        composeTransparent(work.get(), TRect{0, 0, filled, h}, progress, progress->Tile != 0, 2, 2);
    if (vertical)
        RotateBitmapLeft(work.get());
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TSkinProgress::PaintChunks(HDC DC, const TRect& R)
{
    auto* bar = dynamic_cast<TProgressBar*>(Control);
    const TDataSkinObject* chunk = SkinData->ProgressChunk.get();
    if (bar == nullptr || !HasSkinImage(chunk))
        return;
    const bool vertical = bar->Orientation() == pbVertical;
    const int w = vertical ? R.Height() : R.Width(), h = vertical ? R.Width() : R.Height();
    if (w < 1 || h < 1)
        return;
    const std::unique_ptr<TBitmap> work = workBitmap(w, h, ButtonFace());
    composeTransparent(work.get(), TRect{0, 0, w, h}, SkinData->Progress.get(), false, 1, 1);
    // The chunks use the range as the continuous bar does.
    const int filled = FilledLength(w, int(bar->Perform(PBM_GETPOS)), int(bar->Perform(PBM_GETRANGE, 1)),
                                    int(bar->Perform(PBM_GETRANGE, 0)));
    if (filled > 0) {
        HDC target = work->Canvas()->Handle();
        const int saved = SaveDC(target);
        // The chunks end where the filled part ends.
        IntersectClipRect(target, 0, 0, filled, h);
        TBitmap* image = chunk->Bitmap.get();
        const int cw = image->Width(), ch = image->Height();
        if (chunk->Tile == 1) {
            const int top = (h - ch) / 2;
            for (int i = 0, x = chunk->LeftWidth + 2; i <= filled / std::max(1, cw); ++i, x += cw)
                DrawTransparentBitmap(target, TRect{x, top, x + cw, top + ch}, image, SkinKeyColor);
        } else if (h > 4) {
            const std::unique_ptr<TBitmap> stretched = workBitmap(filled, h - 4, ButtonFace());
            DrawSkinImageH(stretched->Canvas()->Handle(), TRect{0, 0, filled, h - 4}, image, chunk->Margins(), false, 1,
                           1);
            DrawTransparentBitmap(target, TRect{2, 2, 2 + filled, h - 2}, stretched.get(), SkinKeyColor);
        }
        RestoreDC(target, saved);
    }
    if (vertical)
        RotateBitmapLeft(work.get());
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), work->Canvas()->Handle(), 0, 0, SRCCOPY);
}
