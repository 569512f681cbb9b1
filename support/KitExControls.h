// KitExControls.h - a graphic control base that turns the class library's
// notification messages into overridable operations, plus a mouse-over flag.
#pragma once
#include "platform/controls/Controls.h"

// Notifications the layer does not name itself.
namespace KitMsg {
enum : UINT {
    CM_SHOWINGCHANGED = CM_BASE + 25, CM_SHOWHINTCHANGED = CM_BASE + 34, CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
    CM_DENYSUBCLASSING = CM_BASE + 2000,
};
}  // namespace KitMsg

// Key data of a dialog character from a shift state (bits 27..29).
LPARAM ShiftToKeyData(TShiftState Shift);

// The mixin both bases share: the fields and the message table of the
// operations common to both.
class TKitExCommon {
public:
    virtual ~TKitExCommon() = default;
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    bool MouseOver() const { return FMouseOver; }
    const void* HintWindowClass() const { return FHintWindowClass; }
    void SetHintWindowClass(const void* Value) { FHintWindowClass = Value; }
    // A class answering CM_DENYSUBCLASSING with 1 carries the marker.
    virtual bool DeniesSubclassing() const { return false; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnParentColorChange;

protected:
    TColor FHintColor = clDefault;
    bool FMouseOver = false;
    const void* FHintWindowClass = nullptr;
};

class TKitExGraphicControl : public TGraphicControl, public TKitExCommon {
public:
    explicit TKitExGraphicControl(TComponent* AOwner) : TGraphicControl(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TKitExGraphicControl"); }
    void WndProc(TMessage& Message) override;

protected:
    // Each default passes its message on to the inherited window procedure.
    // CMColorChanged and CMFontChanged stand for the notification
    // operations of those names: the layer's ColorChanged and FontChanged
    // announce a change by sending that same message.
    virtual void TextChanged();
    virtual bool WantsDialogChar(uint16_t Key, TShiftState Shift);
    virtual bool HitTest(int X, int Y);
    virtual void FocusChanged(TWinControl* Control);
    virtual void VisibleChanged();
    virtual void EnabledChanged();
    virtual void CMColorChanged();
    virtual void CMFontChanged();
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    virtual void ParentShowHintChanged();
    virtual bool ShowHintInfo(THintInfo& HintInfo);
    virtual void MouseEnter(TControl* Control);
    virtual void MouseLeave(TControl* Control);

    LRESULT InheritedMessage(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

private:
    TMessage* FCurrent = nullptr;
};

// The hint colour CM_HINTSHOW ends with: clNone the application's, clDefault
// the parent's (asked with a copy), any other as it is.
void ResolveHintColor(TControl* Control, TColor HintColor, THintInfo& HintInfo);
