#include "support/KitExExtCtrls.h"

#include "platform/graphics/Graphics.h"
#include "support/KitGettext.h"

namespace {
constexpr std::pair<TDlgCode, LRESULT> codeFlags[] = {
    {dcWantAllKeys, DLGC_WANTALLKEYS}, {dcWantArrows, DLGC_WANTARROWS}, {dcWantChars, DLGC_WANTCHARS},
    {dcButton, DLGC_BUTTON}, {dcHasSetSel, DLGC_HASSETSEL}, {dcWantTab, DLGC_WANTTAB}};
constexpr TColor focusColor = 0x733800;
}  // namespace

TDlgCodes DlgCodesFromResult(LRESULT Result)
{
    TDlgCodes codes;
    for (auto [code, flag] : codeFlags)
        if (Result & flag)
            codes.Include(code);
    return codes;
}

LRESULT DlgCodesToResult(TDlgCodes Codes)
{
    LRESULT r = 0;
    for (auto [code, flag] : codeFlags)
        if (Codes.Contains(code))
            r |= flag;
    return r;
}

void KitExExtCtrlsInitialization() { AddResourceStringDomain(QStringLiteral("kit")); }

LRESULT TKitExCustomPanel::InheritedMessage(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m{Msg, WParam, LParam, 0};
    TPanel::WndProc(m);
    return m.Result;
}

void TKitExCustomPanel::SetDotNetHighlighting(bool Value)
{
    if (Value != FDotNetHighlighting) {
        FDotNetHighlighting = Value;
        Invalidate();
    }
}

void TKitExCustomPanel::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        Message.Result = WantsDialogChar(uint16_t(Message.WParam), KeyDataToShiftState(Message.LParam)) ? 1 : 0;
        break;
    case CM_FOCUSCHANGED: FocusChanged(reinterpret_cast<TWinControl*>(Message.LParam)); break;
    case CM_PARENTFONTCHANGED: ParentFontChanged(); break;
    case CM_PARENTCOLORCHANGED: ParentColorChanged(); break;
    case CM_HITTEST: {
        const TPoint p = PointFromLParam(Message.LParam);
        Message.Result = HitTest(p.X, p.Y) ? 1 : 0;
        break;
    }
    case CM_VISIBLECHANGED: VisibleChanged(); break;
    case CM_ENABLEDCHANGED: EnabledChanged(); break;
    case CM_COLORCHANGED: CMColorChanged(); break;
    case CM_FONTCHANGED: CMFontChanged(); break;
    case CM_TEXTCHANGED: TextChanged(); break;
    case CM_MOUSEENTER: MouseEnter(reinterpret_cast<TControl*>(Message.LParam)); break;
    case CM_MOUSELEAVE: MouseLeave(reinterpret_cast<TControl*>(Message.LParam)); break;
    case KitMsg::CM_PARENTSHOWHINTCHANGED: ParentShowHintChanged(); break;
    case CM_HINTSHOW: Message.Result = ShowHintInfo(*reinterpret_cast<THintInfo*>(Message.LParam)) ? 1 : 0; break;
    case KitMsg::CM_DENYSUBCLASSING: Message.Result = DeniesSubclassing() ? 1 : 0; break;
    case WM_MOVE: case WM_SIZE:
        TPanel::WndProc(Message);
        BoundsChanged();
        break;
    case WM_SETFOCUS: FocusGained(reinterpret_cast<HWND>(Message.WParam)); break;
    case WM_KILLFOCUS: FocusLost(reinterpret_cast<HWND>(Message.WParam)); break;
    case WM_ERASEBKGND: {
        auto* dc = reinterpret_cast<HDC>(Message.WParam);
        if (dc == nullptr) {
            TPanel::WndProc(Message);
            break;
        }
        const int saved = SaveDC(dc);
        TCanvas canvas;
        canvas.SetHandle(dc);
        FEraseOverridden = true;
        const bool erased = EraseBackground(&canvas, Message.LParam);
        canvas.SetHandle(nullptr);
        RestoreDC(dc, saved);
        if (!FEraseOverridden)
            TPanel::WndProc(Message);
        else
            Message.Result = erased ? 1 : 0;
        break;
    }
    case WM_GETDLGCODE: {
        TPanel::WndProc(Message);
        TDlgCodes codes = DlgCodesFromResult(Message.Result);
        codes.Include(dcNative);
        AdjustDialogCodes(codes);
        if (!codes.Contains(dcNative))
            Message.Result = DlgCodesToResult(codes);
        break;
    }
    case CM_CURSORCHANGED: CursorChanged(); break;
    case KitMsg::CM_SHOWINGCHANGED: ShowingChanged(); break;
    case KitMsg::CM_SHOWHINTCHANGED: ShowHintChanged(); break;
    case CM_CONTROLLISTCHANGE:
        if (Message.LParam != 0)
            ControlListChanging(reinterpret_cast<TControl*>(Message.WParam), true);
        else
            ControlListChanged(reinterpret_cast<TControl*>(Message.WParam), false);
        break;
    case CM_CONTROLCHANGE:
        if (Message.LParam != 0)
            ControlListChanged(reinterpret_cast<TControl*>(Message.WParam), true);
        else
            ControlListChanging(reinterpret_cast<TControl*>(Message.WParam), false);
        break;
    default: TPanel::WndProc(Message); break;
    }
    // The highlight frame is drawn by the next paint, after the state changed.
    if (FDotNetHighlighting && (Message.Msg == WM_SETFOCUS || Message.Msg == WM_KILLFOCUS
                                || Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE))
        Invalidate();
}

void TKitExCustomPanel::PaintWindow(HDC DC)
{
    TPanel::PaintWindow(DC);
    if (!FDotNetHighlighting)
        return;
    const bool hot = Focused() || FMouseOver;
    TDCBrush brush;
    brush.Color = ColorToRGB(hot ? focusColor : clGray);
    const TRect r = Rect(0, 0, Width(), Height());
    FrameRect(DC, r, brush);
    brush.Color = ColorToRGB(hot ? focusColor : Color());
    FrameRect(DC, Rect(1, 1, Width() - 1, Height() - 1), brush);
}

void TKitExCustomPanel::TextChanged() { InheritedMessage(CM_TEXTCHANGED); }
bool TKitExCustomPanel::WantsDialogChar(uint16_t Key, TShiftState Shift)
{
    return InheritedMessage(CM_DIALOGCHAR, Key, ShiftToKeyData(Shift)) != 0;
}
bool TKitExCustomPanel::HitTest(int X, int Y) { return InheritedMessage(CM_HITTEST, 0, MakeLParam(X, Y)) != 0; }
void TKitExCustomPanel::FocusGained(HWND Previous) { InheritedMessage(WM_SETFOCUS, WPARAM(Previous)); }
void TKitExCustomPanel::FocusLost(HWND Next) { InheritedMessage(WM_KILLFOCUS, WPARAM(Next)); }
bool TKitExCustomPanel::EraseBackground(TCanvas*, LPARAM)
{
    FEraseOverridden = false;
    return false;
}
void TKitExCustomPanel::FocusChanged(TWinControl* Control) { InheritedMessage(CM_FOCUSCHANGED, 0, LPARAM(Control)); }
void TKitExCustomPanel::VisibleChanged() { InheritedMessage(CM_VISIBLECHANGED, WPARAM(Visible())); }
void TKitExCustomPanel::EnabledChanged() { InheritedMessage(CM_ENABLEDCHANGED); }
void TKitExCustomPanel::CMColorChanged() { InheritedMessage(CM_COLORCHANGED); }
void TKitExCustomPanel::CMFontChanged() { InheritedMessage(CM_FONTCHANGED); }
void TKitExCustomPanel::ParentFontChanged() { InheritedMessage(CM_PARENTFONTCHANGED); }
void TKitExCustomPanel::ParentColorChanged()
{
    InheritedMessage(CM_PARENTCOLORCHANGED);
    if (OnParentColorChange)
        OnParentColorChange(this);
}
void TKitExCustomPanel::ParentShowHintChanged() { InheritedMessage(KitMsg::CM_PARENTSHOWHINTCHANGED); }
bool TKitExCustomPanel::ShowHintInfo(THintInfo& HintInfo)
{
    ResolveHintColor(this, FHintColor, HintInfo);
    if (FHintWindowClass != nullptr)
        HintInfo.HintWindowClass = FHintWindowClass;
    return InheritedMessage(CM_HINTSHOW, 0, LPARAM(&HintInfo)) != 0;
}
void TKitExCustomPanel::MouseEnter(TControl* Control)
{
    FMouseOver = true;
    if (OnMouseEnter)
        OnMouseEnter(this);
    InheritedMessage(CM_MOUSEENTER, 0, LPARAM(Control));
}
void TKitExCustomPanel::MouseLeave(TControl* Control)
{
    FMouseOver = false;
    InheritedMessage(CM_MOUSELEAVE, 0, LPARAM(Control));
    if (OnMouseLeave)
        OnMouseLeave(this);
}
void TKitExCustomPanel::CursorChanged() { InheritedMessage(CM_CURSORCHANGED); }
void TKitExCustomPanel::ShowingChanged() { InheritedMessage(KitMsg::CM_SHOWINGCHANGED); }
void TKitExCustomPanel::ShowHintChanged() { InheritedMessage(KitMsg::CM_SHOWHINTCHANGED); }
void TKitExCustomPanel::ControlListChanging(TControl* Control, bool Inserting)
{
    InheritedMessage(Inserting ? CM_CONTROLLISTCHANGE : CM_CONTROLCHANGE, WPARAM(Control), Inserting);
}
void TKitExCustomPanel::ControlListChanged(TControl* Control, bool Inserting)
{
    InheritedMessage(Inserting ? CM_CONTROLCHANGE : CM_CONTROLLISTCHANGE, WPARAM(Control), Inserting);
}
