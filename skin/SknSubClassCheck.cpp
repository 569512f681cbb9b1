// Check box and radio button skinners: the box or circle from the skin's
// CheckButton or RadioButton strip, and the caption beside it; and the
// glyph strips handed to controls that draw themselves from one.
#include <algorithm>

#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"

namespace {

// Short strips: 1 unchecked, 2 checked, 3 and 4 the same disabled. Long
// strips put those at 1, 5, 4 and 8.
int onStrip(int S, int Count)
{
    // Grey (or a third state) on a disabled box is still the disabled checked look.
    S = std::min(S, 4);
    if (Count >= 8) {
        switch (S) {
        case 2: S = 5; break;
        case 3: S = 4; break;
        case 4: S = 8; break;
        default: break;
        }
    }
    // Whatever a state adds up to, the frame is one the strip has.
    return std::clamp(S, 1, std::max(1, Count));
}

const TDataSkinButton* buttonsOf(const TSkinData* Data)
{
    return Data != nullptr ? Data->Buttons.get() : nullptr;
}

}  // namespace

// ---- TSkinCheckBox -------------------------------------------------------------

TSkinCheckBox::TSkinCheckBox(TComponent* AOwner) : TSkinControl(AOwner) {}

TBitmap* TSkinCheckBox::strip() const
{
    const TDataSkinButton* b = buttonsOf(SkinData);
    return b != nullptr && !b->CheckBitmap->Empty() ? b->CheckBitmap.get() : nullptr;
}

int TSkinCheckBox::frameCount() const
{
    const TDataSkinButton* b = buttonsOf(SkinData);
    return b != nullptr ? std::max(1, b->CheckButtonFrame) : 1;
}

void TSkinCheckBox::HookControl(TSknForm* AFormSkinner, TSkinData* ASkinData, bool ASetColor, TCanvas* ACanvas)
{
    if (Hooked)
        return;
    TSkinControl::HookControl(AFormSkinner, ASkinData, ASetColor, ACanvas);
    if (Control == nullptr)
        return;
    Mode = strip() != nullptr ? 1 : 0;
    Transparent = Control->Tag() == 5555 || (SkinData != nullptr && SkinData->Options().Contains(xoTransparent));
}

bool TSkinCheckBox::BeforeMessage(TMessage& Message)
{
    if (!TSkinControl::BeforeMessage(Message))
        return false;
    switch (Message.Msg) {
    case WM_PAINT:
        if (Mode != 1)
            return true;
        HandlePaint(Message);
        return false;
    case WM_ERASEBKGND:
        if (!Transparent)
            return true;
        EraseBackground(Message);
        Message.Result = 1;
        return false;
    default:
        return true;
    }
}

void TSkinCheckBox::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case BM_SETCHECK:
        if (dynamic_cast<TSkinRadioButton*>(this) == nullptr)
            CheckState = int(Message.WParam) + 1;
        Repaint();
        return;
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case CM_EXIT: case 0xB0D0:
        Repaint();
        return;
    default:
        TSkinControl::AfterMessage(Message);
    }
}

bool TSkinCheckBox::leftText() const
{
    return Control != nullptr
           && GetEnumPropByName(Control, String::fromLatin1("Alignment")).toLower() == QLatin1String("taleftjustify");
}

int TSkinCheckBox::CurrentFrame()
{
    const LRESULT state = Handle != nullptr ? SendMessage(Handle, BM_GETSTATE, 0, 0) : 0;
    int s = (state & BST_CHECKED) != 0 ? 2 : 1;
    if (Control != nullptr) {
        const String checkState = GetEnumPropByName(Control, String::fromLatin1("State")).toLower();
        if (!checkState.isEmpty()) {
            if (checkState.contains(QLatin1String("uncheck")))
                s = 1;
            else if (checkState.contains(QLatin1String("check")))
                s = 2;
            else if (checkState.contains(QLatin1String("gray")))
                s = 4;
        } else {
            const String checked = GetEnumPropByName(Control, String::fromLatin1("Checked")).toLower();
            s = checked == QLatin1String("true") ? 2 : 1;
        }
        if (GetPropInfo(Control, String::fromLatin1("DataField")) != nullptr && CheckState != 0)
            s = CheckState == 3 ? 4 : CheckState;
        if (GetPropInfo(Control, String::fromLatin1("DataBinding")) != nullptr)
            s = 1;
    }
    const bool disabled = Control != nullptr ? !Control->Enabled() : false;
    if (disabled)
        s += 2;
    const bool pushed = (state & BST_PUSHED) != 0;
    if (pushed)
        s = 4;
    const int count = frameCount();
    if (count >= 12 && pushed)
        return disabled ? 12 : 9;
    return onStrip(s, count);
}

void TSkinCheckBox::PaintControl(HDC DC, const TRect& R)
{
    TBitmap* image = strip();
    if (image == nullptr) {
        Mode = 0;
        return;
    }
    const int count = frameCount();
    const int gw = image->Width() / count, gh = image->Height();
    const int s = CurrentFrame();
    const bool rtl = (AddRTLReadingFlag(0) & DT_RTLREADING) != 0;
    TRect glyph, text = R;
    uint32_t flags = 0;
    const int gy = R.Top + (R.Height() - gh) / 2;
    if (leftText()) {
        const int right = R.Right - rightInset();
        glyph = TRect{right - gw, gy, right, gy + gh};
        text.Right = R.Right - gw - leftTextGap();
        if (rtl)
            flags |= DT_RTLREADING | DT_RIGHT;
    } else {
        glyph = TRect{R.Left, gy, R.Left + gw, gy + gh};
        text.Left = R.Left + gw + 2;
        if (rtl)
            flags |= DT_RTLREADING;
    }
    if (Mode == 1 && !Transparent)
        FillSkinColor(DC, R);
    DrawSkinFrameMasked(this, DC, glyph, count, s, image);
    if (Mode != 1)
        return;
    Text = Control != nullptr ? GetWideStrPropByName(Control, String::fromLatin1("Caption")) : Text;
    TCanvas canvas;
    canvas.SetHandle(DC);
    struct Release {
        TCanvas& c;
        ~Release() { c.SetHandle(nullptr); }
    } release{canvas};
    const int saved = SaveDC(DC);
    if (Control != nullptr)
        canvas.Font()->Assign(Control->Font());
    else if (auto* font = reinterpret_cast<TFont*>(SendMessage(Handle, WM_GETFONT, 0, 0)))
        canvas.Font()->Assign(font);
    const bool enabled = Control == nullptr || Control->Enabled();
    if (!enabled)
        canvas.Font()->SetColor(clBtnShadow);
    canvas.Brush()->SetStyle(bsClear);
    SetBkColor(DC, ButtonFace());
    SetBkMode(DC, TRANSPARENT);
    TRect measured = text;
    canvas.TextRect(measured, Text, flags | DT_WORDBREAK | DT_EXPANDTABS | DT_CALCRECT | DT_NOCLIP);
    OffsetRect(text, 0, (R.Height() - measured.Bottom) / 2);
    const auto* win = dynamic_cast<const TWinControl*>(Control);
    if (win != nullptr && win->Focused() && !Text.isEmpty()
        && (SkinData == nullptr || !SkinData->Options().Contains(xoNoFocusRect)))
        DrawFocusAroundText(DC, flags | DT_WORDBREAK | DT_EXPANDTABS, text);
    canvas.TextRect(text, Text, flags | DT_WORDBREAK | DT_EXPANDTABS);
    RestoreDC(DC, saved);
}

// ---- TSkinRadioButton ----------------------------------------------------------

TSkinRadioButton::TSkinRadioButton(TComponent* AOwner) : TSkinCheckBox(AOwner) {}

TBitmap* TSkinRadioButton::strip() const
{
    const TDataSkinButton* b = buttonsOf(SkinData);
    return b != nullptr && !b->RadioBitmap->Empty() ? b->RadioBitmap.get() : nullptr;
}

int TSkinRadioButton::frameCount() const
{
    const TDataSkinButton* b = buttonsOf(SkinData);
    return b != nullptr ? std::max(1, b->RadioButtonFrame) : 1;
}

void TSkinRadioButton::HookControl(TSknForm* AFormSkinner, TSkinData* ASkinData, bool ASetColor, TCanvas* ACanvas)
{
    TSkinCheckBox::HookControl(AFormSkinner, ASkinData, ASetColor, ACanvas);
}

int TSkinRadioButton::CurrentFrame()
{
    int s = Handle != nullptr && SendMessage(Handle, BM_GETCHECK, 0, 0) == BST_CHECKED ? 2 : 1;
    if (Control != nullptr) {
        const String checked = GetEnumPropByName(Control, String::fromLatin1("Checked")).toLower();
        if (!checked.isEmpty())
            s = checked == QLatin1String("true") ? 2 : 1;
        if (!Control->Enabled())
            s += 2;
    }
    return onStrip(s, frameCount());
}

// ---- TSkinObjImage -------------------------------------------------------------

TSkinObjImage::TSkinObjImage(TComponent* AOwner) : TSkinControl(AOwner) {}

void TSkinObjImage::HookControl(TSknForm* AFormSkinner, TSkinData* ASkinData, bool, TCanvas* ACanvas)
{
    if (Hooked)
        return;
    auto* control = dynamic_cast<TControl*>(Owner());
    if (control == nullptr)
        return;
    SkinData = ASkinData;
    FormSkinner = AFormSkinner;
    Canvas = ACanvas;
    Control = control;
    if (auto* win = dynamic_cast<TWinControl*>(control))
        Handle = win->Handle();
    // No procedure is hooked: the control draws itself from the strip.
    if (FormSkinner != nullptr)
        FormSkinner->AddSkinner(this);
    BuildGlyphs();
    Hooked = true;
    State = 1;
}

void TSkinObjImage::Unskin()
{
    if (Control == nullptr)
        return;
    if (Kind == 3) {
        auto* properties = GetObjectPropByName<TComponent>(Control, String::fromLatin1("Properties"));
        if (auto* glyph = GetObjectPropByName<TBitmap>(properties, String::fromLatin1("Glyph")))
            glyph->SetSize(0, 0);
    } else {
        SetPropByName(Control, String::fromLatin1("UseCustomGlyphs"), String::fromLatin1("false"));
    }
}

void TSkinObjImage::SkinChanged()
{
    BuildGlyphs();
}

void TSkinObjImage::BuildGlyphs()
{
    const TDataSkinButton* b = buttonsOf(SkinData);
    if (b == nullptr || Control == nullptr)
        return;
    const bool radio = Kind == 2;
    const TBitmap* source = radio ? b->RadioBitmap.get() : b->CheckBitmap.get();
    const int frames = std::max(1, radio ? b->RadioButtonFrame : b->CheckButtonFrame);
    if (source == nullptr || source->Empty())
        return;
    const int gw = source->Width() / frames, gh = source->Height();
    if (gw < 1)
        return;
    // Slots of the new strip, each filled from a source frame (from 1).
    std::vector<std::pair<int, int>> map;  // (source frame, slot)
    int slotCount = 0;
    if (Kind == 1) {
        slotCount = 9;
        map = {{1, 1}, {1, 4}, {2, 2}, {2, 5}, {3, 7}, {4, 8}};
        if (frames == 5)
            map.insert(map.end(), {{5, 3}, {5, 6}, {5, 9}});
    } else if (Kind == 2) {
        slotCount = 6;
        map = {{1, 1}, {1, 3}, {2, 2}, {2, 4}, {3, 5}, {4, 6}};
    } else {
        slotCount = 6;
        map = {{1, 1}, {1, 4}, {2, 2}, {2, 5}};
        if (frames == 5)
            map.insert(map.end(), {{5, 3}, {5, 6}});
    }
    auto strip = std::make_unique<TBitmap>();
    strip->SetPixelFormat(pf24bit);
    strip->SetSize(gw * slotCount, gh);
    strip->Canvas()->Brush()->SetColor(SkinKeyColor);
    strip->Canvas()->FillRect(TRect{0, 0, gw * slotCount, gh});
    auto* src = const_cast<TBitmap*>(source);
    for (const auto& [frame, slot] : map)
        if (frame <= frames)
            strip->Canvas()->CopyRect(Bounds((slot - 1) * gw, 0, gw, gh), src->Canvas(),
                                      Bounds((frame - 1) * gw, 0, gw, gh));
    if (Kind == 3) {
        auto* properties = GetObjectPropByName<TComponent>(Control, String::fromLatin1("Properties"));
        if (auto* glyph = GetObjectPropByName<TBitmap>(properties, String::fromLatin1("Glyph"))) {
            glyph->Assign(strip.get());
            glyph->SetTransparentColor(SkinKeyColor);
            glyph->SetTransparent(false);
        }
        return;
    }
    if (auto* custom = GetObjectPropByName<TBitmap>(Control, String::fromLatin1("CustomGlyphs")))
        custom->Assign(strip.get());
    SetPropByName(Control, String::fromLatin1("transparentcolor"), String::number(int(SkinKeyColor)));
    // Off and on again: the control loads the new strip.
    SetPropByName(Control, String::fromLatin1("UseCustomGlyphs"), String::fromLatin1("false"));
    SetPropByName(Control, String::fromLatin1("UseCustomGlyphs"), String::fromLatin1("true"));
}
