// ComCtrls.h - track bar, up-down, progress bar, status bar and tool bar.
#pragma once
#include <memory>
#include <vector>

#include "platform/controls/ExtCtrls.h"

class TPopupMenu;
class TImageList;

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickStyle { tsNone, tsAuto, tsManual };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };

class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TTrackBar"); }
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    // Goes through WindowProc as TBM_SETPOS.
    void SetPosition(int Value);
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation Value) { FOrientation = Value; UpdateWidget(); }
    // Ticks every Frequency positions; arrow keys move LineSize, page keys PageSize.
    int Frequency() const { return FFrequency; }
    void SetFrequency(int Value) { FFrequency = Value; UpdateWidget(); }
    int LineSize() const { return FLineSize; }
    void SetLineSize(int Value) { FLineSize = Value; UpdateWidget(); }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value) { FPageSize = Value; UpdateWidget(); }
    TTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TTickStyle Value) { FTickStyle = Value; UpdateWidget(); }
    TTickMark TickMarks() const { return FTickMarks; }
    void SetTickMarks(TTickMark Value) { FTickMarks = Value; UpdateWidget(); }
    // The toolkit's slider always draws its handle; kept for callers that ask.
    bool SliderVisible() const { return FSliderVisible; }
    void SetSliderVisible(bool Value) { FSliderVisible = Value; }
    TNotifyEvent OnChange;

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void Dispatch(TMessage& Message) override;
    bool ToolkitPaints() const override { return true; }

private:
    int FMin = 0, FMax = 10, FPosition = 0;
    int FFrequency = 1, FLineSize = 1, FPageSize = 2;
    TTickStyle FTickStyle = tsAuto;
    TTickMark FTickMarks = tmBottomRight;
    bool FSliderVisible = true;
    TTrackBarOrientation FOrientation = trHorizontal;
};

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TProgressBar"); }
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    void SetMin(int Value) { SetRange(Value, FMax); }
    void SetMax(int Value) { SetRange(FMin, Value); }
    // Through WindowProc as PBM_SETRANGE32.
    void SetRange(int AMin, int AMax);
    int Position() const { return FPosition; }
    // Through WindowProc as PBM_SETPOS; kept within Min..Max.
    void SetPosition(int Value);

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void Dispatch(TMessage& Message) override;
    bool ToolkitPaints() const override { return true; }

private:
    int FMin = 0, FMax = 100, FPosition = 0;
};

enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = TDelegate<void(TObject* Sender, TUDBtnType Button)>;

// Two arrow buttons; a press steps Position and writes it to the Associate.
class TUpDown : public TCustomControl {
public:
    explicit TUpDown(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TUpDown"); }
    int Min() const { return FMin; }
    void SetMin(int Value) { FMin = Value; }
    int Max() const { return FMax; }
    void SetMax(int Value) { FMax = Value; }
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* Value);
    TUDClickEvent OnClick;
    TNotifyEvent OnChanging;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    TWinControl* FAssociate = nullptr;
    int FPressed = -1;
};

class TStatusPanel {
public:
    String Text;
    int Width = 50;
    TAlignment Alignment = taLeftJustify;
};

class TStatusBar : public TCustomControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TStatusBar"); }
    int PanelCount() const { return int(FPanels.size()); }
    TStatusPanel& Panels(int Index) { return FPanels.at(size_t(Index)); }
    TStatusPanel& AddPanel();
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value) { FSimplePanel = Value; Invalidate(); }
    String SimpleText() const { return FSimpleText; }
    void SetSimpleText(const String& Value) { FSimpleText = Value; Invalidate(); }
    // The rectangle of a panel in client coordinates.
    TRect PanelRect(int Index) const;

protected:
    void Paint() override;

private:
    std::vector<TStatusPanel> FPanels;
    bool FSimplePanel = false;
    String FSimpleText;
};

class TToolBar;
enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TToolButton"); }
    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value) { FDown = Value; Invalidate(); }
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* Value) { FDropdownMenu = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; Invalidate(); }
    // The drop-down arrow part of a tbsDropDown button.
    static constexpr int DropDownWidth = 14;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Click() override;

private:
    TToolButtonStyle FStyle = tbsButton;
    bool FDown = false, FPressed = false;
    TPopupMenu* FDropdownMenu = nullptr;
    int FImageIndex = -1;
};

// Lays its buttons out left to right in the order they were added.
class TToolBar : public TCustomControl {
public:
    explicit TToolBar(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TToolBar"); }
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value) { FButtonWidth = Value; Realign(); }
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value) { FButtonHeight = Value; Realign(); }
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value) { FShowCaptions = Value; Invalidate(); }
    // The buttons' pictures, by each button's ImageIndex.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);

protected:
    void AlignControls(TControl* AControl) override;
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    int FButtonWidth = 23, FButtonHeight = 22;
    bool FShowCaptions = false;
    TImageList* FImages = nullptr;
};
