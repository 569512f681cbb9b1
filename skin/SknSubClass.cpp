#include "skin/SknSubClass.h"

#include <QWidget>
#include <algorithm>

#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"

namespace {

const TPropInfo* propOf(const TObject* Object, const String& Name)
{
    return Object != nullptr ? GetPropInfo(Object, Name) : nullptr;
}

bool textKind(TTypeKind Kind)
{
    return Kind == tkString || Kind == tkLString || Kind == tkWString || Kind == tkUString;
}

}  // namespace

int GetIntPropByName(const TComponent* Component, const String& Name)
{
    const TPropInfo* info = propOf(Component, Name);
    if (info == nullptr || info->Kind != tkInteger)
        return -1;
    return int(GetOrdProp(Component, info));
}

String GetEnumPropByName(const TComponent* Component, const String& Name)
{
    const TPropInfo* info = propOf(Component, Name);
    if (info == nullptr || info->Kind == tkClass || info->Kind == tkMethod)
        return String();
    return GetPropValue(Component, info);
}

String GetWideStrPropByName(const TObject* Object, const String& Name)
{
    const TPropInfo* info = propOf(Object, Name);
    if (info == nullptr || info->Kind == tkClass || info->Kind == tkMethod)
        return String();
    if (textKind(info->Kind))
        return GetStrProp(Object, info);
    return String::fromLatin1(GetPropValue(Object, info).toLatin1());
}

TObject* GetObjectPropByName(const TComponent* Component, const String& Name)
{
    const TPropInfo* info = propOf(Component, Name);
    if (info == nullptr || info->Kind != tkClass)
        return nullptr;
    return GetObjectProp(Component, info);
}

void SetPropByName(TComponent* Component, const String& Name, const String& Value)
{
    const TPropInfo* info = propOf(Component, Name);
    if (info == nullptr || info->ReadOnly())
        return;
    switch (info->Kind) {
    case tkInteger: SetOrdProp(Component, info, StrToInt(Value)); break;
    case tkEnumeration: SetEnumProp(Component, info, Value); break;
    // Every text kind: our captions and texts are all Unicode strings.
    case tkString: case tkLString: case tkWString: case tkUString: SetStrProp(Component, info, Value); break;
    default: break;
    }
}

void DrawCentredCaption(TCanvas* Canvas, const TRect& R, const String& Text, TCaptionAlignment Alignment,
                        bool Enabled)
{
    if (Canvas == nullptr)
        return;
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->SetStyle(TFontStyles());
    TRect measured = R;
    Canvas->TextRect(measured, Text, uint32_t(Alignment) | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    const int w = measured.Width(), h = measured.Height();
    TRect t{R.Left + (R.Width() - w) / 2, R.Top + (R.Height() - h) / 2, 0, 0};
    t.Right = t.Left + w;
    t.Bottom = t.Top + h;
    if (!Enabled)
        Canvas->Font()->SetColor(clBtnShadow);
    Canvas->TextRect(t, Text, uint32_t(Alignment) | DT_EXPANDTABS | DT_SINGLELINE);
}

// ---- the control skinner base -----------------------------------------------

TSkinControl::TSkinControl(TComponent* AOwner) : TComponent(AOwner) {}

TSkinControl::~TSkinControl()
{
    unhookWindowProc();
    if (FormSkinner != nullptr)
        FormSkinner->RemoveSkinnerFromList(this);
}

bool TSkinControl::ownerGoing() const
{
    // The owner's own parts are gone once its destructor reached ours.
    return Owner() != nullptr && Owner()->ComponentState().Contains(csDestroying);
}

void TSkinControl::hookWindowProc(TControl* Target)
{
    OldWindowProc = Target->WindowProc;
    Target->WindowProc = TWndMethod(this, &TSkinControl::WndProc);
    if (FormSkinner != nullptr)
        FormSkinner->AddSkinner(this);
}

void TSkinControl::unhookWindowProc()
{
    TControl* target = RepaintTarget != nullptr ? RepaintTarget : Control;
    if (!OldWindowProc || target == nullptr || ownerGoing())
        return;
    if (target->WindowProc == TWndMethod(this, &TSkinControl::WndProc))
        target->WindowProc = OldWindowProc;
    OldWindowProc = TWndMethod();
}

void TSkinControl::HookControl(TSknForm* AFormSkinner, TSkinData* ASkinData, bool ASetColor, TCanvas* ACanvas)
{
    attach(AFormSkinner, ASkinData, ASetColor, ACanvas, true);
}

void TSkinControl::attach(TSknForm* AFormSkinner, TSkinData* ASkinData, bool ASetColor, TCanvas* ACanvas,
                          bool HookProcedure)
{
    if (Hooked)
        return;
    auto* control = dynamic_cast<TControl*>(Owner());
    if (control == nullptr)
        return;
    SetColor = ASetColor;
    SkinData = ASkinData;
    FormSkinner = AFormSkinner;
    Canvas = ACanvas;
    Control = control;
    if (auto* win = dynamic_cast<TWinControl*>(control))
        Handle = win->Handle();
    if (HookProcedure)
        hookWindowProc(control);
    else if (FormSkinner != nullptr)
        FormSkinner->AddSkinner(this);
    if (SetColor) {
        SavedColor = control->Color();
        control->SetColor(ButtonFace());
    }
    if (Flag2)
        Mode = 1;
    control->Invalidate();
    Hooked = true;
    State = 1;
}

void TSkinControl::WndProc(TMessage& Message)
{
    if (Message.Msg == SKIN_ON_OFF) {
        Enabled = Message.WParam > 0;
        if (Enabled)
            Repaint();
        else if (Control != nullptr || RepaintTarget != nullptr)
            (RepaintTarget != nullptr ? RepaintTarget : Control)->Invalidate();
        return;
    }
    if (!Enabled) {
        CallDefault(Message);
        return;
    }
    if (BeforeMessage(Message)) {
        CallDefault(Message);
        AfterMessage(Message);
    }
}

void TSkinControl::CallDefault(TMessage& Message)
{
    if (OldWindowProc)
        OldWindowProc(Message);
}

bool TSkinControl::paintFilter(TMessage& Message, bool AnswerErase)
{
    if (Message.Msg == WM_PAINT) {
        HandlePaint(Message);
        return true;
    }
    if (Message.Msg == WM_ERASEBKGND && AnswerErase) {
        Message.Result = 1;
        return true;
    }
    return false;
}

bool TSkinControl::BeforeMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCDESTROY:
        State = 6;
        CallDefault(Message);
        if (Enabled)
            Unskin();
        return false;
    case SKIN_QUERY_SKINNED:
        Message.Result = 1;
        return false;
    default:
        return true;
    }
}

void TSkinControl::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ENABLE: case WM_SETTEXT: case CM_ENABLEDCHANGED:
        Repaint();
        break;
    case WM_PAINT:
        PaintWindow(reinterpret_cast<HDC>(Message.WParam));
        break;
    default: break;
    }
}

void TSkinControl::PaintWindow(HDC DC)
{
    if (DC == nullptr) {
        Repaint();
        return;
    }
    TRect r;
    if (Handle == nullptr || !GetWindowRect(Handle, r))
        return;
    WindowRect = r;
    try {
        PaintControl(DC, TRect{0, 0, r.Width(), r.Height()});
    } catch (...) {
        // A failed skin paint leaves what the control drew.
    }
}

void TSkinControl::PaintControl(HDC, const TRect&) {}

void TSkinControl::Unskin()
{
    if (!Enabled)
        return;
    Enabled = false;
    if (State != 6 && SetColor && Control != nullptr && !ownerGoing())
        Control->SetColor(SavedColor);
}

void TSkinControl::SkinChanged()
{
    if (SetColor && Control != nullptr)
        Control->SetColor(ButtonFace());
    Repaint();
}

void TSkinControl::Repaint()
{
    if (ownerGoing())
        return;
    if (RepaintTarget != nullptr)
        RepaintTarget->Invalidate();
    else if (Control != nullptr)
        Control->Repaint();
}

void TSkinControl::SendMouseLeave()
{
    if (Handle != nullptr)
        SendMessage(Handle, CM_MOUSELEAVE, 0, 0);
}

TColor TSkinControl::ButtonFace() const
{
    return SkinData != nullptr ? SkinData->Colors[scButtonFace].Color : clBtnFace;
}

void TSkinControl::FillSkinColor(HDC DC, const TRect& R) const
{
    FillSolidRect(DC, R, ButtonFace());
}

TColor TSkinControl::GetParentColor(TColor Default) const
{
    if (Control == nullptr || Control->Parent() == nullptr)
        return Default;
    const TPropInfo* info = GetPropInfo(Control->Parent(), String::fromLatin1("Color"));
    if (info == nullptr || info->Kind != tkInteger)
        return Default;
    return TColor(GetOrdProp(Control->Parent(), info));
}

void TSkinControl::FillParentColor(HDC DC, const TRect& R) const
{
    FillSolidRect(DC, R, GetParentColor(ButtonFace()));
}

void TSkinControl::DrawFocusAroundText(HDC DC, uint32_t Flags, const TRect& R) const
{
    TRect t = R;
    DrawText(DC, Text, t, Flags | DT_CALCRECT | DT_NOCLIP);
    const int w = t.Width(), h = t.Height();
    t = TRect{R.Left, R.Top, R.Left + w, R.Top + h};
    if ((Flags & DT_CENTER) != 0)
        OffsetRect(t, (R.Width() - w) / 2, (R.Height() - h) / 2 - 1);
    else if ((Flags & DT_RIGHT) != 0)
        OffsetRect(t, R.Width() - w, 0);
    InflateRect(t, 2, 1);
    t.Left = std::max(t.Left, R.Left);
    t.Top = std::max(t.Top, R.Top);
    t.Right = std::min(t.Right, R.Right);
    t.Bottom = std::min(t.Bottom, R.Bottom);
    ::DrawFocusRect(DC, t);
}

void TSkinControl::ForwardMouseDown(const TMessage& Message)
{
    if (Control == nullptr || !Control->OnMouseDown)
        return;
    TPoint p = PointFromLParam(Message.LParam);
    // 16-bit message coordinates do not reach that far.
    if (Control->Width() > 32768 || Control->Height() > 32768)
        p = Control->ScreenToClient(Mouse->CursorPos());
    Control->OnMouseDown(Control, mbLeft, KeysToShiftState(Message.WParam), p.X, p.Y);
}

void TSkinControl::HandlePaint(TMessage& Message)
{
    auto dc = reinterpret_cast<HDC>(Message.WParam);
    TRect r;
    if (dc == nullptr || Handle == nullptr || !GetWindowRect(Handle, r))
        return;
    WindowRect = r;
    try {
        PaintControl(dc, TRect{0, 0, r.Width(), r.Height()});
    } catch (...) {
        // As PaintWindow: a failed skin paint is not the control's failure.
    }
}

void TSkinControl::EraseBackground(TMessage& Message)
{
    auto dc = reinterpret_cast<HDC>(Message.WParam);
    if (Control != nullptr)
        DrawParentBackground(Control, dc);
    else if (auto* win = dynamic_cast<TWinControl*>(FindReceiver(Handle)))
        FillParentColor(dc, win->ClientRect());
    Message.Result = 1;
}

uint32_t TSkinControl::AddRTLReadingFlag(uint32_t Flags) const
{
    // Right-to-left reading follows the window's layout direction (of the
    // parent's window for a control without one).
    TControl* c = RepaintTarget != nullptr ? RepaintTarget : Control;
    TWinControl* win = dynamic_cast<TWinControl*>(c);
    if (win == nullptr && c != nullptr)
        win = c->Parent();
    if (win != nullptr && win->HandleAllocated() && win->Widget()->layoutDirection() == Qt::RightToLeft)
        Flags |= DT_RTLREADING;
    return Flags;
}

// ---- making skinners by name -------------------------------------------------

namespace {

template <class T>
TSkinControl* make(TControl* Owner, int)
{
    return std::make_unique<T>(Owner).release();  // the control owns it
}

TSkinControl* makeObjImage(TControl* Owner, int Variant)
{
    auto skinner = std::make_unique<TSkinObjImage>(Owner);
    skinner->Kind = Variant;
    return skinner.release();
}

TSkinControl* makeComBox(TControl* Owner, int Variant)
{
    auto skinner = std::make_unique<TSkinComBox>(Owner);
    skinner->EditFramed = Variant == 1;
    return skinner.release();
}

struct TSkinnerClass {
    const char* Name;
    TSkinControl* (*Create)(TControl* Owner, int Variant);
};

// Every skinner kind the form skinner can attach. A kind added here is
// found by the assignment by its class name.
constexpr TSkinnerClass skinnerClasses[] = {
    {"TSkinButton", &make<TSkinButton>},
    {"TSkinBitButton", &make<TSkinBitButton>},
    {"TSkinMenuButton", &make<TSkinMenuButton>},
    {"TSkinSpeedButton", &make<TSkinSpeedButton>},
    {"TSkinCheckBox", &make<TSkinCheckBox>},
    {"TSkinRadioButton", &make<TSkinRadioButton>},
    {"TSkinObjImage", &makeObjImage},
    {"TSkinMP", &make<TSkinMP>},
    {"TSkinStatusBar", &make<TSkinStatusBar>},
    {"TSkinGroupBox", &make<TSkinGroupBox>},
    {"TSkinBox", &make<TSkinBox>},
    {"TSkinBoxH", &make<TSkinBoxH>},
    {"TSkinSizer", &make<TSkinSizer>},
    {"TSkinTrackBar", &make<TSkinTrackBar>},
    {"TSkinUpDown", &make<TSkinUpDown>},
    {"TSkinProgress", &make<TSkinProgress>},
    {"TSkinEdit", &make<TSkinEdit>},
    {"TSkinComBox", &makeComBox},
    {"TSkinDateTime", &make<TSkinDateTime>},
    {"TSkinTab", &make<TSkinTab>},
    {"TSkinTabBtn", &make<TSkinTabBtn>},
    {"TSkinTabSheet", &make<TSkinTabSheet>},
};

}  // namespace

TSkinControl* CreateSkinControl(const String& SkinnerClass, TControl* Owner, int Variant)
{
    if (Owner == nullptr)
        return nullptr;
    for (const TSkinnerClass& c : skinnerClasses)
        if (SkinnerClass == QLatin1String(c.Name))
            return c.Create(Owner, Variant);
    return nullptr;
}

// ---- shared routines -----------------------------------------------------------

bool HasSkinImage(const TDataSkinObject* Object)
{
    return Object != nullptr && Object->Bitmap != nullptr && !Object->Bitmap->Empty();
}

void FillSolidRect(HDC DC, const TRect& R, TColor Color)
{
    const TDCBrush brush{ColorToRGB(Color), dbsSolid};
    ::FillRect(DC, R, &brush);
}

void CopyBitmap(const TBitmap* Source, TBitmap* Destination)
{
    if (Source == nullptr || Destination == nullptr)
        return;
    Destination->SetPixelFormat(Source->PixelFormat());
    Destination->SetSize(Source->Width(), Source->Height());
    if (!Source->Empty())
        Destination->Canvas()->Draw(0, 0, Source);
}

bool IsTopLevelWindow(const TControl* Window)
{
    return Window != nullptr && Window->Parent() == nullptr;
}

void DrawSkinObject(TSkinControl*, HDC DC, const TRect& R, int FrameCount, int FrameIndex,
                    const TDataSkinObject* Object)
{
    if (Object == nullptr || Object->Bitmap == nullptr || Object->Bitmap->Empty())
        return;
    DrawSkinImage(DC, R, Object->Bitmap.get(), Object->Margins(), false, Object->Tile != 0, Object->Trans == 1,
                  FrameCount, FrameIndex);
}

void DrawSkinFrameMasked(TSkinControl*, HDC DC, const TRect& R, int FrameCount, int FrameIndex, TBitmap* Bitmap)
{
    DrawSkinFrame(DC, R, Bitmap, FrameCount, FrameIndex, true);
}

void DrawSkinFrameTransparentDC(TSkinControl*, HDC DC, const TRect& R, int FrameCount, int FrameIndex,
                                TBitmap* Bitmap)
{
    DrawSkinFrame(DC, R, Bitmap, FrameCount, FrameIndex, true);
}

void DrawSkinFrameTransparentCanvas(TSkinControl*, TCanvas* Canvas, const TRect& R, int FrameCount,
                                    int FrameIndex, TBitmap* Bitmap)
{
    if (Canvas != nullptr)
        DrawSkinFrame(Canvas->Handle(), R, Bitmap, FrameCount, FrameIndex, true);
}

void DrawSkinCaption(TSkinControl* Skinner, TCanvas* Canvas, const TRect& R, uint32_t Alignment, bool Enabled,
                     const String& Text)
{
    if (Canvas == nullptr)
        return;
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->SetStyle(TFontStyles());
    TRect t{R.Left, R.Top, R.Right, R.Bottom};
    Canvas->TextRect(t, Text, Alignment | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS);
    const int w = t.Width(), h = t.Height();
    if ((Alignment & DT_CENTER) != 0)
        t = Bounds(R.Left + (R.Width() - w) / 2, R.Top + (R.Height() - h) / 2 - 1, w, h);
    else
        t = TRect{R.Left, R.Top + (R.Height() - h) / 2 - 1, R.Right, R.Top + (R.Height() - h) / 2 - 1 + h};
    if (!Enabled)
        Canvas->Font()->SetColor(clBtnShadow);
    const uint32_t flags = Alignment | DT_EXPANDTABS;
    Canvas->TextRect(t, Text, Skinner != nullptr ? Skinner->AddRTLReadingFlag(flags) : flags);
}

void DrawImageAndCaption(TSkinControl* Skinner, TCanvas* Canvas, const TRect& R, int Alignment, const String& Text,
                         int ImageIndex, TImageList* Images)
{
    if (Canvas == nullptr)
        return;
    int cx = 0, cy = 0;
    if (ImageIndex != -1 && Images != nullptr && Images->Width() < R.Width()) {
        cx = Images->Width();
        cy = Images->Height();
    }
    TRect t = R;
    if (Images != nullptr && ImageIndex != -1)
        t.Right += cx + 2;
    if (Text.isEmpty())
        t.Right = t.Left;
    else
        Canvas->TextRect(t, Text, DT_END_ELLIPSIS | DT_EXPANDTABS | DT_WORDBREAK | DT_CALCRECT | DT_NOCLIP);
    const int tw = t.Width(), th = t.Height();
    int x = Alignment == 0 ? 3 : Alignment == 1 ? (R.Width() - cx - tw) / 2 : R.Width() - cx - tw - 2;
    if (x < 2)
        x = 1;
    if (cx > 0)
        Images->Draw(Canvas, R.Left + x, R.Top + (R.Height() - cy) / 2, ImageIndex);
    if (Text.isEmpty())
        return;
    t = Bounds(t.Left + x + cx, t.Top + (R.Height() - th) / 2, tw, th);
    t.Left = std::max(t.Left, R.Left);
    t.Right = std::min(t.Right, R.Right);
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->SetStyle(TFontStyles());
    if (Skinner != nullptr && !Skinner->WindowEnabled)
        Canvas->Font()->SetColor(clBtnShadow);
    const uint32_t flags = DT_END_ELLIPSIS | DT_EXPANDTABS | DT_WORDBREAK;
    Canvas->TextRect(t, Text, Skinner != nullptr ? Skinner->AddRTLReadingFlag(flags) : flags);
}

std::unique_ptr<TBitmap> CreateDisabledGlyph(const TBitmap* Glyph)
{
    auto result = std::make_unique<TBitmap>();
    result->SetPixelFormat(pf24bit);
    if (Glyph == nullptr || Glyph->Empty())
        return result;
    const int w = Glyph->Width(), h = Glyph->Height();
    result->SetSize(w, h);
    result->Canvas()->Brush()->SetColor(clBtnFace);
    result->Canvas()->FillRect(TRect{0, 0, w, h});
    // The monochrome copy: white (and the see-through colour at the
    // bottom-left) is background; everything else is ink, embossed with
    // the highlight one pixel down and right, then the shadow on top.
    const TColor key = Glyph->Pixels(0, h - 1);
    auto ink = [&](int x, int y) {
        const TColor c = Glyph->Pixels(x, y);
        return c != clWhite && c != key;
    };
    const TColor highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ink(x, y) && x + 1 < w && y + 1 < h)
                result->SetPixels(x + 1, y + 1, highlight);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ink(x, y))
                result->SetPixels(x, y, shadow);
    return result;
}
