// KitCaptionPanel.h - a panel with a caption band on one side carrying an
// icon, a rotated caption and caption buttons; it can be dragged by the band.
#pragma once
#include <array>
#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "support/KitExControls.h"
#include "support/KitExtComponent.h"

enum TKitCapBtnStyle { capClose, capMax, capMin, capRestore, capHelp };
using TKitCapBtnStyles = TSet<TKitCapBtnStyle>;
enum TKitDrawPosition { dpLeft, dpTop, dpRight, dpBottom };
enum TKitPanelBorderStyle { bsNoBorder, bsSingleBorder };

using TKitCapBtnEvent = TDelegate<void(TObject* Sender, TKitCapBtnStyle Button)>;
using TKitAutoDragStartEvent = TDelegate<void(TObject* Sender, bool& AllowDrag)>;

class TKitCaptionPanel;

class TKitCapBtn : public TKitExGraphicControl {
public:
    explicit TKitCapBtn(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TKitCapBtn"); }

    TKitCapBtnStyle Style() const { return FStyle; }
    void SetStyle(TKitCapBtnStyle Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool ButtonHeld() const { return FButtonHeld; }
    bool Pushed() const { return FPushed; }
    bool MouseInside() const { return FMouseInside; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Click() override;
    void MouseEnter(TControl* Control) override;
    void MouseLeave(TControl* Control) override;

private:
    TComponent* FOwnerPanel;
    TKitCapBtnStyle FStyle = capClose;
    bool FFlat = false;
    bool FButtonHeld = false;
    bool FPushed = false;
    bool FMouseInside = false;
};

class TKitCaptionPanel : public TKitCustomPanel {
public:
    explicit TKitCaptionPanel(TComponent* AOwner);
    ~TKitCaptionPanel() override;
    String ClassName() const override { return String::fromLatin1("TKitCaptionPanel"); }
    bool DeniesSubclassing() const override { return true; }

    TKitCapBtnStyles Buttons() const { return FButtons; }
    void SetButtons(TKitCapBtnStyles Value);
    bool AutoDrag() const { return FAutoDrag; }
    void SetAutoDrag(bool Value) { FAutoDrag = Value; }
    // Kept apart from the window text, which stays empty.
    String Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    TColor CaptionColor() const { return FCaptionColor; }
    void SetCaptionColor(TColor Value);
    TKitDrawPosition CaptionPosition() const { return FCaptionPosition; }
    void SetCaptionPosition(TKitDrawPosition Value);
    TFont* CaptionFont() const { return FCaptionFont.get(); }
    void SetCaptionFont(const TFont* Value) { FCaptionFont->Assign(Value); }
    int CaptionHeight() const { return FCaptionHeight; }
    void SetCaptionHeight(int Value);
    bool FlatButtons() const { return FFlatButtons; }
    void SetFlatButtons(bool Value);
    TBitmap* Icon() const { return FIcon.get(); }
    void SetIcon(const TBitmap* Value);
    bool OutlookLook() const { return FOutlookLook; }
    void SetOutlookLook(bool Value);
    bool Resizable() const { return FResizable; }
    void SetResizable(bool Value);
    TKitPanelBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TKitPanelBorderStyle Value);

    TKitCapBtn* CaptionButton(TKitCapBtnStyle Style) const { return FCaptionButtons[Style]; }
    const TRect& CaptionRect() const { return FCaptionRect; }
    int BorderInset() const { return FBorderInset; }
    bool Dragging() const { return FDragging; }
    // How often the window had to be made again (position or frame changed).
    int RecreateCount() const { return FRecreateCount; }
    int CaptionSize() const;

    TKitCapBtnEvent OnButtonClick;
    TKitAutoDragStartEvent OnStartAutoDrag;
    TNotifyEvent OnEndAutoDrag;

    void WndProc(TMessage& Message) override;
    virtual void ButtonClick(TKitCapBtnStyle Button);

protected:
    virtual bool CanStartAutoDrag();
    virtual void EndAutoDrag();
    void AdjustClientRect(TRect& R) const override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Resize() override;

private:
    void recreateWnd();
    void drawCaptionText(TCanvas* Canvas, int Angle);
    void layoutButtons();
    void captionFontChanged(TObject*) { Invalidate(); }

    std::array<TKitCapBtn*, 5> FCaptionButtons{};  // owned as components
    TKitCapBtnStyles FButtons;
    bool FAutoDrag = true;
    String FCaption;
    TColor FCaptionColor = clActiveCaption;
    TKitDrawPosition FCaptionPosition = dpLeft;
    std::unique_ptr<TFont> FCaptionFont;
    int FCaptionHeight = 0;
    bool FFlatButtons = false;
    std::unique_ptr<TBitmap> FIcon;
    bool FOutlookLook = false;
    bool FResizable = true;
    TKitPanelBorderStyle FBorderStyle = bsSingleBorder;
    TRect FCaptionRect;
    int FBorderInset = 2;
    int FButtonTopOffset = 3;
    int FTextInset = 8;
    bool FDragging = false;
    TPoint FDragAnchor;
    int FRecreateCount = 0;
};
