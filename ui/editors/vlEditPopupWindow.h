// vlEditPopupWindow.h - the popup window of the drop-down editors: a frame
// by the editor's popup border style, an optional system panel with a size
// grip and a close button, placement that opens above or grows leftwards
// where the screen runs out, and resizing with the mouse.
#pragma once
#include "ui/editors/vlEdit.h"
#include "ui/foundation/vlContainer.h"
#include "ui/foundation/vlLookAndFeelPainters.h"

class TvlCustomEditPopupWindowViewInfo;
class IvlTextEditLookupData;

// The private message that forwards a typed character (WParam) to the
// control focused in the popup.
enum : UINT { VLM_EDITPOPUPKEYCHAR = 0x8096 };

// Close reasons of the drop-down editors.
enum : int { vlpcrOther = 0, vlpcrTab = 1, vlpcrCloseKey = 2, vlpcrCancel = 3, vlpcrAccept = 4 };

// What the popup asks of the editor it drops down from (the drop-down
// editor implements it).
class IvlEditPopupWindowOwner {
public:
    virtual ~IvlEditPopupWindowOwner() = default;
    // The rectangle the popup opens at, in screen coordinates (3 pixels
    // wider with a shadow).
    virtual TRect GetPopupOwnerScreenBounds() const = 0;
    virtual TSize GetPopupWindowClientPreferredSize() const = 0;
    virtual TvlPopupHorzAlignment GetPopupHorzAlignment() const = 0;
    // The properties' answer (the calculator and date editors say no).
    virtual bool PopupCanFitToWorkArea() const { return true; }
    // The client size a resize asks for, adjusted by the lookup list living
    // in the popup (the combo box snaps it to whole rows); false refuses.
    virtual bool CanResizePopupClient(TSize& AClientSize) const
    {
        (void)AClientSize;
        return true;
    }
    virtual TvlLookAndFeelPainterClass GetPopupPainter() const { return nullptr; }
    virtual TvlLookAndFeelPainterClass GetPopupSkinPainter() const { return nullptr; }
    virtual TvlLookAndFeelKind GetPopupLookAndFeelKind() const { return lfStandard; }
    virtual void PopupCloseUp(int AReason) = 0;
    // Runs before a popup opens for an editor whose window is not shown.
    virtual void DoFinalizePopup() {}
    // A user resize ended: the children are laid out again and the size kept.
    virtual void PopupSizeChangedByUser() {}
    virtual void PositionPopupWindowChildren(const TRect& AClientRect) { (void)AClientRect; }
    virtual void StorePopupSize() {}
};

using TvlEditPopupCustomDrawBorderEvent = TDelegate<void(TvlCustomEditPopupWindowViewInfo* AViewInfo,
                                                         TvlCanvas* ACanvas, const TRect& R, int& ABorderWidth,
                                                         bool& AHandled)>;

// Computes and paints the popup's frame, panel, grip and close button.
class TvlCustomEditPopupWindowViewInfo : public TvlContainerViewInfo {
public:
    TvlCustomEditPopupWindowViewInfo() = default;
    String ClassName() const override { return String::fromLatin1("TvlCustomEditPopupWindowViewInfo"); }

    // The frame, panel and their parts for Bounds.
    virtual void Calculate();
    virtual void DrawPopupBorder(TvlCanvas* ACanvas, TRect& R);
    // The width of the frame on each side (the client area is inside it).
    virtual void CalculateClientExtent(TRect& AExtent) const;
    void GetClientExtent(TRect& AExtent) const { CalculateClientExtent(AExtent); }
    virtual int GetSysPanelHeight() const;
    // A border strip or the grip: sets the sizing direction.
    virtual bool IsSizingPlace(int X, int Y);
    // The direction the last IsSizingPlace found (-1, 0, 1 on each axis).
    int SizingDirectionX = 0;
    int SizingDirectionY = 0;

    TvlEditPopupCustomDrawBorderEvent OnCustomDrawBorder;
    TvlEditPopupBorderStyle PopupBorderStyle = epbsDefault;
    bool ClientEdge = false;
    bool ShowCloseButton = false;
    TRect CloseButtonRect;
    TvlLookAndFeelKind LookAndFeelKind = lfStandard;
    int CloseButtonThemeState = 0;
    // 1 normal, 2 hot, 3 pressed.
    uint8_t CloseButtonState = 1;
    int MinSysPanelHeight = 0;
    TvlLookAndFeelPainterClass SkinPainter = nullptr;
    bool Sizeable = false;
    // 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
    uint8_t GripCorner = 3;
    TRect GripRect;
    TRect GripHitRect;
    TRect ContentRect;
    int SizingMargin = 0;
    int SysPanelHeight = 0;
    bool SysPanelVisible = false;

protected:
    void InternalPaint(TvlCanvas* ACanvas) override;

private:
    int borderWidth() const;
    int clientEdgeWidth() const;
    bool panelAtTop() const { return GripCorner < 2; }
    bool gripAtLeft() const { return GripCorner == 0 || GripCorner == 2; }
    TRect panelRect() const;
    void drawGrip(TvlCanvas* ACanvas);
};

// The popup editor's frame: Frame3D as two edges and two lines.
class TvlPopupEditPopupWindowViewInfo : public TvlCustomEditPopupWindowViewInfo {
public:
    void DrawPopupBorder(TvlCanvas* ACanvas, TRect& R) override;
};

class TvlCustomEditPopupWindow : public TvlCustomPopupWindow {
public:
    TvlCustomEditPopupWindow(TWinControl* AOwnerControl, IvlEditPopupWindowOwner* AEdit);
    ~TvlCustomEditPopupWindow() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomEditPopupWindow"); }

    IvlEditPopupWindowOwner* Edit() const { return FEdit; }
    TvlCustomEditPopupWindowViewInfo* ViewInfo() const { return FViewInfo.get(); }

    bool PopupAutoSize() const { return FPopupAutoSize; }
    void SetPopupAutoSize(bool Value) { FPopupAutoSize = Value; }
    TvlEditPopupBorderStyle BorderStyle() const { return FViewInfo->PopupBorderStyle; }
    void SetBorderStyle(TvlEditPopupBorderStyle Value) { FViewInfo->PopupBorderStyle = Value; }
    bool ClientEdge() const { return FViewInfo->ClientEdge; }
    void SetClientEdge(bool Value) { FViewInfo->ClientEdge = Value; }
    bool ShowCloseButton() const { return FViewInfo->ShowCloseButton; }
    void SetShowCloseButton(bool Value) { FViewInfo->ShowCloseButton = Value; }
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value) { FMinHeight = Value; }
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value) { FMinWidth = Value; }
    int MinSysPanelHeight() const { return FViewInfo->MinSysPanelHeight; }
    void SetMinSysPanelHeight(int Value) { FViewInfo->MinSysPanelHeight = Value; }
    bool NativeStyle() const { return FViewInfo->NativeStyle; }
    void SetNativeStyle(bool Value) { FViewInfo->NativeStyle = Value; }
    // 0: not set.
    int PopupHeight() const { return FPopupHeight; }
    void SetPopupHeight(int Value) { FPopupHeight = Value; }
    int PopupWidth() const { return FPopupWidth; }
    void SetPopupWidth(int Value) { FPopupWidth = Value; }
    bool Shadow() const { return FViewInfo->Shadow; }
    void SetShadow(bool Value) { FViewInfo->Shadow = Value; }
    bool Sizeable() const { return FViewInfo->Sizeable; }
    void SetSizeable(bool Value) { FViewInfo->Sizeable = Value; }
    bool SysPanelVisible() const { return FViewInfo->SysPanelVisible; }
    void SetSysPanelVisible(bool Value) { FViewInfo->SysPanelVisible = Value; }
    // Set while the owning editor positions the popup.
    bool ViewInfoCalculating() const { return FViewInfoCalculating; }
    void SetViewInfoCalculating(bool Value) { FViewInfoCalculating = Value; }
    bool Sizing() const { return FSizing; }

    // The size a resize may give: AWidth and AHeight are adjusted; false
    // keeps the current size.
    virtual bool CanResize(int& AWidth, int& AHeight);
    void CalculatePosition(TPoint& P) override;
    void CalculateSize() override;
    bool CanFitToWorkArea() const override;
    void ModalCloseUp() override { ModalResultCloseUp(); }
    virtual void ModalResultCloseUp();
    void PopupWithFocus(TWinControl* AFocusedControl) override;
    void GetOwnerScreenBounds(TRect& R) const override;
    virtual void CalculateViewInfo();
    // Delivers a typed character to the control focused inside the popup.
    virtual void SendCharToFocusedControl(QChar AChar);
    virtual void GetMinSize(TSize& ASize);

protected:
    void DoClosed() override;
    void DoClosing() override;
    void AdjustClientRect(TRect& R) const override;
    void PaintWindow(HDC DC) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave(TControl* AControl) override;
    void Resize() override;
    void Dispatch(TMessage& Message) override;
    // The view info kind of this window (made once, in the constructor of
    // the class that names it).
    virtual std::unique_ptr<TvlCustomEditPopupWindowViewInfo> CreateEditViewInfo() const
    {
        return std::make_unique<TvlCustomEditPopupWindowViewInfo>();
    }
    void RecreateEditViewInfo();

private:
    void setCloseButtonState(uint8_t AState);
    void resizeTo(const TPoint& AScreenPoint);
    void updateSizingCursor(int X, int Y);

    IvlEditPopupWindowOwner* FEdit;
    std::unique_ptr<TvlCustomEditPopupWindowViewInfo> FViewInfo;
    bool FPopupAutoSize = true;
    int FMinHeight = 0;
    int FMinWidth = 0;
    int FPopupHeight = 0;
    int FPopupWidth = 0;
    bool FViewInfoCalculating = false;
    // One resize at a time, by this window.
    bool FSizing = false;
    int FSizingX = 0;
    int FSizingY = 0;
    TPoint FGrabOffset;
    TRect FSizingStartBounds;
};
