#include "support/KitExControls.h"

LPARAM ShiftToKeyData(TShiftState Shift)
{
    LPARAM r = 0;
    if (Shift.Contains(ssShift))
        r |= 0x08000000;
    if (Shift.Contains(ssCtrl))
        r |= 0x10000000;
    if (Shift.Contains(ssAlt))
        r |= 0x20000000;
    return r;
}

void ResolveHintColor(TControl* Control, TColor HintColor, THintInfo& HintInfo)
{
    if (HintColor == clNone)
        HintInfo.HintColor = clInfoBk;
    else if (HintColor == clDefault) {
        if (Control->Parent() != nullptr) {
            THintInfo copy = HintInfo;
            Control->Parent()->Perform(CM_HINTSHOW, 0, LPARAM(&copy));
            HintInfo.HintColor = copy.HintColor;
        }
    } else
        HintInfo.HintColor = HintColor;
}

LRESULT TKitExGraphicControl::InheritedMessage(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m{Msg, WParam, LParam, 0};
    TGraphicControl::WndProc(m);
    return m.Result;
}

void TKitExGraphicControl::WndProc(TMessage& Message)
{
    TMessage* outer = FCurrent;
    FCurrent = &Message;
    const struct Restore {
        TMessage*& slot;
        TMessage* value;
        ~Restore() { slot = value; }
    } restore{FCurrent, outer};
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
    case CM_HINTSHOW:
        Message.Result = ShowHintInfo(*reinterpret_cast<THintInfo*>(Message.LParam)) ? 1 : 0;
        break;
    case KitMsg::CM_DENYSUBCLASSING: Message.Result = DeniesSubclassing() ? 1 : 0; break;
    default: TGraphicControl::WndProc(Message); break;
    }
}

void TKitExGraphicControl::TextChanged() { InheritedMessage(CM_TEXTCHANGED); }
bool TKitExGraphicControl::WantsDialogChar(uint16_t Key, TShiftState Shift)
{
    return InheritedMessage(CM_DIALOGCHAR, Key, ShiftToKeyData(Shift)) != 0;
}
bool TKitExGraphicControl::HitTest(int X, int Y) { return InheritedMessage(CM_HITTEST, 0, MakeLParam(X, Y)) != 0; }
void TKitExGraphicControl::FocusChanged(TWinControl* Control) { InheritedMessage(CM_FOCUSCHANGED, 0, LPARAM(Control)); }
void TKitExGraphicControl::VisibleChanged() { InheritedMessage(CM_VISIBLECHANGED, FCurrent ? FCurrent->WParam : 0); }
void TKitExGraphicControl::EnabledChanged() { InheritedMessage(CM_ENABLEDCHANGED); }
void TKitExGraphicControl::CMColorChanged() { InheritedMessage(CM_COLORCHANGED); }
void TKitExGraphicControl::CMFontChanged() { InheritedMessage(CM_FONTCHANGED); }
void TKitExGraphicControl::ParentFontChanged() { InheritedMessage(CM_PARENTFONTCHANGED); }
void TKitExGraphicControl::ParentColorChanged()
{
    InheritedMessage(CM_PARENTCOLORCHANGED);
    if (OnParentColorChange)
        OnParentColorChange(this);
}
void TKitExGraphicControl::ParentShowHintChanged() { InheritedMessage(KitMsg::CM_PARENTSHOWHINTCHANGED); }
bool TKitExGraphicControl::ShowHintInfo(THintInfo& HintInfo)
{
    ResolveHintColor(this, FHintColor, HintInfo);
    if (FHintWindowClass != nullptr)
        HintInfo.HintWindowClass = FHintWindowClass;
    return InheritedMessage(CM_HINTSHOW, 0, LPARAM(&HintInfo)) != 0;
}
void TKitExGraphicControl::MouseEnter(TControl* Control)
{
    FMouseOver = true;
    if (OnMouseEnter)
        OnMouseEnter(this);
    InheritedMessage(CM_MOUSEENTER, 0, LPARAM(Control));
}
void TKitExGraphicControl::MouseLeave(TControl* Control)
{
    FMouseOver = false;
    InheritedMessage(CM_MOUSELEAVE, 0, LPARAM(Control));
    if (OnMouseLeave)
        OnMouseLeave(this);
}
