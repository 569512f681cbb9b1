// KitExExtCtrls.h - a panel base that turns notification and focus messages
// into overridable operations, with a mouse-over flag and a highlight frame.
#pragma once
#include "platform/controls/ExtCtrls.h"
#include "platform/rtl/Set.h"
#include "support/KitExControls.h"

enum TDlgCode { dcWantAllKeys, dcWantArrows, dcWantChars, dcButton, dcHasSetSel, dcWantTab, dcNative };
using TDlgCodes = TSet<TDlgCode>;
TDlgCodes DlgCodesFromResult(LRESULT Result);
LRESULT DlgCodesToResult(TDlgCodes Codes);

class TKitExCustomPanel : public TPanel, public TKitExCommon {
public:
    explicit TKitExCustomPanel(TComponent* AOwner) : TPanel(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TKitExCustomPanel"); }
    void WndProc(TMessage& Message) override;

    bool DotNetHighlighting() const { return FDotNetHighlighting; }
    void SetDotNetHighlighting(bool Value);

protected:
    using TPanel::BoundsChanged;
    using TPanel::EraseBackground;
    // Each default passes its message on to the inherited window procedure
    // (CMColorChanged / CMFontChanged: see TKitExGraphicControl).
    virtual void TextChanged();
    virtual bool WantsDialogChar(uint16_t Key, TShiftState Shift);
    virtual bool HitTest(int X, int Y);
    virtual void BoundsChanged() {}
    virtual void AdjustDialogCodes(TDlgCodes& Codes) { (void)Codes; }
    virtual void FocusGained(HWND Previous);
    virtual void FocusLost(HWND Next);
    // Not overridden: the message goes to the inherited procedure untouched.
    virtual bool EraseBackground(TCanvas* Canvas, LPARAM Param);
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
    virtual void CursorChanged();
    virtual void ShowingChanged();
    virtual void ShowHintChanged();
    virtual void ControlListChanging(TControl* Control, bool Inserting);
    virtual void ControlListChanged(TControl* Control, bool Inserting);

    LRESULT InheritedMessage(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    void PaintWindow(HDC DC) override;

private:
    bool FDotNetHighlighting = false;
    bool FEraseOverridden = true;
};

// Registers the "kit" resource-string domain (the unit's start-up).
void KitExExtCtrlsInitialization();
