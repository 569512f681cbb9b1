// Edit, combo box and date-time skinners: text-entry controls keep their
// own client area; the skin replaces their borders and drop-down buttons.
#include <algorithm>

#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/SysMetrics.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"

namespace {

TColor shadowOf(const TSkinData* Data)
{
    return Data != nullptr ? Data->Colors[scButtonShadow].Color : clBtnShadow;
}

// A control published with BorderStyle bsNone has no border (its client
// area is its whole window); one without the property has one.
bool hasBorder(const TControl* Control)
{
    return GetEnumPropByName(Control, String::fromLatin1("BorderStyle")).toLower() != QLatin1String("bsnone");
}

// A mirrored strip holds its frames in reverse order: frame k of the
// original is frame Count - k + 1 of the mirror.
int mirroredFrame(int Count, int Frame)
{
    const int count = std::max(1, Count);
    return count - std::clamp(Frame, 1, count) + 1;
}

void frame(HDC DC, const TRect& R, TColor Colour)
{
    const TDCBrush brush{ColorToRGB(Colour), dbsSolid};
    FrameRect(DC, R, brush);
}

}  // namespace

void DrawFlatBorder(TSkinControl* Skinner, HDC DC, const TRect& R, int Rings)
{
    if (Skinner == nullptr || DC == nullptr || !hasBorder(Skinner->Control))
        return;
    TRect r = R;
    frame(DC, r, shadowOf(Skinner->SkinData));
    for (int i = 0; i < Rings; ++i) {
        InflateRect(r, -1, -1);
        frame(DC, r, clWhite);
    }
}

// ---- TSkinEdit -------------------------------------------------------------------

TSkinEdit::TSkinEdit(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinEdit::FindSpinButton()
{
    auto* win = dynamic_cast<TWinControl*>(Control);
    if (win == nullptr || UpDown != nullptr)
        return;
    for (int i = 0; i < win->ControlCount(); ++i) {
        TControl* child = win->Controls(i);
        const String name = child->ClassName().toLower();
        if (!name.contains(QLatin1String("spin")) && !name.contains(QLatin1String("updown")))
            continue;
        auto skinner = std::make_unique<TSkinUpDown>(child);
        skinner->Embedded = true;
        skinner->HookControl(FormSkinner, SkinData, false, Canvas);
        UpDown = skinner.release();  // the child owns it
        return;
    }
}

void TSkinEdit::PaintControl(HDC DC, const TRect& R)
{
    if (SkinData != nullptr && SkinData->SkinControls().Contains(xcSpin) && UpDown == nullptr)
        FindSpinButton();
    DrawFlatBorder(this, DC, R, 2);
}

void TSkinEdit::PaintBorder(HDC DC, const TRect& R)
{
    if (!hasBorder(Control))
        return;
    try {
        TRect inner = R;
        InflateRect(inner, -1, -1);
        frame(DC, inner, clWhite);
        frame(DC, R, shadowOf(SkinData));
    } catch (...) {
        // A border that cannot be drawn leaves the control's own.
    }
}

// ---- TSkinComBox -----------------------------------------------------------------

TSkinComBox::TSkinComBox(TComponent* AOwner) : TSkinControl(AOwner) {}

bool TSkinComBox::leftButton() const
{
    // The button sits left in a right-to-left box.
    return AddRTLReadingFlag(0) != 0;
}

void TSkinComBox::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETFOCUS: case WM_KILLFOCUS:
        return;
    case WM_MOUSEMOVE: {
        const TPoint p = PointFromLParam(Message.LParam);
        const bool enabled = Control != nullptr && Control->Enabled();
        if (MouseState.Contains(msHot) && (!PtInRect(ButtonRect, p) || !enabled)) {
            MouseState.Exclude(msHot);
            Repaint();
        } else if (!MouseState.Contains(msHot) && PtInRect(ButtonRect, p) && enabled) {
            MouseState.Include(msHot);
            Repaint();
        }
        return;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
        MouseState.Include(msPressed);
        Repaint();
        return;
    case WM_LBUTTONUP:
        MouseState.Exclude(msPressed);
        Repaint();
        return;
    case CM_MOUSELEAVE:
        if (MouseState.Contains(msHot)) {
            MouseState.Exclude(msHot);
            Repaint();
        }
        return;
    case CN_COMMAND:
        if (HiWord(Message.WParam) == CBN_DROPDOWN)
            DroppedDown = true;
        else if (HiWord(Message.WParam) == CBN_CLOSEUP) {
            DroppedDown = false;
            // The press that opened the list ends in the list.
            MouseState.Exclude(msPressed);
            Repaint();
        }
        return;
    default:
        TSkinControl::AfterMessage(Message);
    }
}

int TSkinComBox::CurrentFrame()
{
    auto* win = dynamic_cast<TWinControl*>(Control);
    Focused = win != nullptr && win->Focused();
    WindowEnabled = Control != nullptr && Control->Enabled();
    if (!WindowEnabled)
        return 3;
    if (MouseState.Contains(msPressed))
        return 2;
    return Focused || MouseState.Contains(msHot) ? 4 : 1;
}

void TSkinComBox::PaintControl(HDC DC, const TRect& R)
{
    const TDataSkinBorder* button = SkinData != nullptr ? SkinData->ComboButton.get() : nullptr;
    auto* combo = dynamic_cast<TComboBox*>(Control);
    if (!HasSkinImage(button) || combo == nullptr)
        return;
    if (combo->Style() == csSimple)
        return;  // no button to show
    ButtonRect = combo->ButtonRect();
    if (button->Style == 1) {
        PaintFlat(DC, R);
        return;
    }
    const int frameIndex = CurrentFrame();
    const int b = GetSystemMetrics(SM_CXHSCROLL);
    const bool left = leftButton();
    if (EditFramed) {
        DrawFlatBorder(this, DC, R, 1);
        if (HasSkinImage(SkinData->ComboxArrow.get())) {
            FillSkinColor(DC, ButtonRect);
            DrawSkinFrame(DC, ButtonRect, SkinData->ComboxArrow->Bitmap.get(), SkinData->ComboxArrow->Frame, frameIndex,
                          true);
        }
        return;
    }
    if (button->Style == 2) {
        // The edge image is the box mirrored for a button on the left.
        const bool mirrored = left && HasSkinImage(SkinData->SunkEdge.get());
        const TDataSkinObject* o = mirrored ? SkinData->SunkEdge.get() : button;
        DrawSkinImage(DC, R, o->Bitmap.get(), o->Margins(), false, false, true, o->Frame,
                      mirrored ? mirroredFrame(o->Frame, frameIndex) : frameIndex);
        return;
    }
    // Style 0: the sunken edge round the text, the button beside it.
    const int saved = SaveDC(DC);
    if (left)
        ExcludeClipRect(DC, b + 4, 2, R.Right - 2, R.Bottom - 2);
    else
        ExcludeClipRect(DC, 2, 2, R.Right - b - 4, R.Bottom - 2);
    if (SkinData->SunkEdge != nullptr)
        DrawSkinObject(this, DC, R, SkinData->SunkEdge->Frame, frameIndex, SkinData->SunkEdge.get());
    RestoreDC(DC, saved);
    const TRect place = left ? TRect{0, 0, b + 2, R.Bottom} : TRect{R.Right - b - 2, 0, R.Right, R.Bottom};
    if (left)
        DrawSkinFrameMasked(this, DC, place, button->Frame, mirroredFrame(button->Frame, frameIndex),
                            button->Bitmap2.get());
    else
        DrawSkinFrameMasked(this, DC, place, button->Frame, frameIndex, button->Bitmap.get());
    ButtonRect = place;
    if (HasSkinImage(SkinData->ExtraImages.get())) {
        const TRect arrow = left ? TRect{2, place.Top, place.Right, place.Bottom}
                                 : TRect{place.Left, place.Top, R.Right - 2, place.Bottom};
        DrawSkinFrameCentred(DC, arrow, SkinData->ExtraImages->Bitmap.get(), SkinData->ExtraImages->Frame, frameIndex,
                             true);
    }
}

void TSkinComBox::PaintFlat(HDC DC, const TRect& R)
{
    const TDataSkinBorder* button = SkinData->ComboButton.get();
    WindowEnabled = Control != nullptr && Control->Enabled();
    auto* win = dynamic_cast<TWinControl*>(Control);
    Focused = win != nullptr && win->Focused();
    const int frameIndex = MouseState.Contains(msPressed)                     ? 2
                           : Focused || MouseState.Contains(msHot) ? 4
                           : WindowEnabled                                    ? 1
                                                                              : 3;
    const TColor field = Control != nullptr ? Control->Color() : clWindow;
    TRect inner = R;
    InflateRect(inner, -1, -1);
    frame(DC, inner, field);
    const int strip = GetSystemMetrics(SM_CYVTHUMB);
    const bool left = leftButton();
    InflateRect(inner, -1, -1);
    const TRect stripRect = left ? TRect{inner.Left, inner.Top, inner.Left + strip, inner.Bottom}
                                 : TRect{inner.Right - strip, inner.Top, inner.Right, inner.Bottom};
    FillSolidRect(DC, stripRect, field);
    const int fw = button->Bitmap->Width() / std::max(1, button->Frame);
    int h = inner.Height();
    if (button->Bitmap->Height() < strip)
        h = std::min(h, button->Bitmap->Height());
    const TRect place = left ? TRect{inner.Left, inner.Top, inner.Left + fw, inner.Top + h}
                             : TRect{inner.Right - fw, inner.Top, inner.Right, inner.Top + h};
    frame(DC, R, shadowOf(SkinData));
    ButtonRect = place;
    DrawSkinFrameTransparentDC(this, DC, place, button->Frame, frameIndex, button->Bitmap.get());
}

// ---- TArrowButton / TSkinDateTime -------------------------------------------------

TArrowButton::TArrowButton(TComponent* AOwner) : TCustomControl(AOwner)
{
    ButtonWidth = GetSystemMetrics(SM_CXHSCROLL);
}

TArrowButton::~TArrowButton() = default;

void TArrowButton::Attach(TSkinDateTime* ASkinner, TWinControl* APicker)
{
    Skinner = ASkinner;
    Picker = APicker;
    SetParent(APicker);
    const bool left = ASkinner != nullptr && ASkinner->AddRTLReadingFlag(0) != 0;
    SetBounds(left ? 2 : APicker->Width() - ButtonWidth - 4, 0, ButtonWidth, APicker->Height() - 4);
}

void TArrowButton::Reposition(const TRect& R)
{
    const bool left = Skinner != nullptr && Skinner->AddRTLReadingFlag(0) != 0;
    SetLeft(left ? 2 : R.Right - ButtonWidth - 4);
}

void TArrowButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MOUSEENTER: case CM_MOUSELEAVE:
        if (Picker != nullptr && Picker->Enabled()) {
            Hot = Message.Msg == CM_MOUSEENTER;
            Invalidate();
        }
        break;
    case WM_LBUTTONDOWN:
        TCustomControl::Dispatch(Message);
        // The picker opens its calendar as for a press on its own button.
        if (Picker != nullptr) {
            const TPoint p = PointFromLParam(Message.LParam);
            const LPARAM at = MakeLParam(uint16_t(p.X + Left()), uint16_t(p.Y + Top()));
            PostMessage(Picker->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessage(Picker->Handle(), WM_LBUTTONUP, 0, at);
        }
        Invalidate();
        return;
    case WM_LBUTTONUP:
        TCustomControl::Dispatch(Message);
        if (Picker != nullptr && Picker->CanFocus())
            Picker->SetFocus();
        return;
    default: break;
    }
    TCustomControl::Dispatch(Message);
}

void TArrowButton::Paint()
{
    const int h = Picker != nullptr ? Picker->Height() - 4 : Height();
    const TRect r{0, 0, Width(), h};
    TSkinData* data = Skinner != nullptr ? Skinner->SkinData : nullptr;
    FillSolidRect(Canvas()->Handle(), r, Skinner != nullptr ? Skinner->ButtonFace() : clBtnFace);
    if (data == nullptr || !HasSkinImage(data->ComboxArrow.get()))
        return;
    const TDataSkinObject* arrow = data->ComboxArrow.get();
    DrawSkinFrame(Canvas()->Handle(), r, arrow->Bitmap.get(), arrow->Frame, Hot ? 4 : 1, false);
}

TSkinDateTime::TSkinDateTime(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinDateTime::~TSkinDateTime() = default;  // the arrow is one of our components

void TSkinDateTime::HookControl(TSknForm* AFormSkinner, TSkinData* ASkinData, bool ASetColor, TCanvas* ACanvas)
{
    if (Hooked)
        return;
    TSkinControl::HookControl(AFormSkinner, ASkinData, ASetColor, ACanvas);
    auto* picker = dynamic_cast<TWinControl*>(Control);
    if (picker == nullptr)
        return;
    Arrow = std::make_unique<TArrowButton>(this).release();  // we own it
    Arrow->Attach(this, picker);
}

void TSkinDateTime::Unskin()
{
    TSkinControl::Unskin();
    if (State != 6 && Arrow != nullptr) {
        const std::unique_ptr<TArrowButton> doomed(Arrow);
        Arrow = nullptr;
    }
}

void TSkinDateTime::AfterMessage(TMessage& Message)
{
    if (Message.Msg == WM_SIZE && Arrow != nullptr) {
        if (Control != nullptr)
            Arrow->Reposition(TRect{0, 0, Control->Width(), Control->Height()});
        Arrow->Invalidate();
        return;
    }
    TSkinControl::AfterMessage(Message);
}

void TSkinDateTime::PaintControl(HDC DC, const TRect& R)
{
    if (Arrow != nullptr)
        Arrow->Reposition(R);
    DrawFlatBorder(this, DC, R, 1);
}
