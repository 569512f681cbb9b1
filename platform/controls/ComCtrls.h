// ComCtrls.h - track bar, up-down, progress bar, status bar and tool bar.
#pragma once
#include <memory>
#include <vector>

#include "platform/controls/ExtCtrls.h"

class TPopupMenu;

// Messages of the common controls that code outside them asks with.
enum : UINT {
    WM_NOTIFY = 0x004E, WM_CTLCOLORSTATIC = 0x0138, CN_NOTIFY = CN_BASE + WM_NOTIFY,
    PBM_GETRANGE = WM_USER + 7, PBM_GETPOS = WM_USER + 8,
    TBM_GETTHUMBRECT = WM_USER + 25, TBM_GETCHANNELRECT = WM_USER + 26,
};

// The custom-draw protocol: a control about to paint sends CN_NOTIFY with
// an NMCUSTOMDRAW (LParam) for the whole paint (CDDS_PREPAINT) and, when
// the answer asks for it, for each part (CDDS_ITEMPREPAINT, dwItemSpec the
// part); CDRF_SKIPDEFAULT keeps the control from drawing that part itself.
struct NMHDR {
    HWND hwndFrom = nullptr;
    uintptr_t idFrom = 0;
    int code = 0;
};
struct NMCUSTOMDRAW {
    NMHDR hdr;
    uint32_t dwDrawStage = 0;
    HDC hdc = nullptr;
    TRect rc;
    uintptr_t dwItemSpec = 0;
    uint32_t uItemState = 0;
    LPARAM lItemlParam = 0;
};
enum : int { NM_CUSTOMDRAW = -12 };
enum : uint32_t { CDDS_PREPAINT = 0x1, CDDS_ITEM = 0x10000, CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT };
enum : LRESULT { CDRF_DODEFAULT = 0x0, CDRF_SKIPDEFAULT = 0x4, CDRF_NOTIFYITEMDRAW = 0x20 };
// The parts of a track bar.
enum : uintptr_t { TBCD_TICS = 1, TBCD_THUMB = 2, TBCD_CHANNEL = 3 };

// What a tab control answers about its tabs (WParam the tab's index):
// TCM_GETITEMRECT fills the TRect at LParam (client coordinates, false for
// no such tab), TCM_GETITEM the TCITEM at LParam, TCM_ADJUSTRECT turns the
// TRect at LParam (the window's, WParam 0) into the page area.
enum : UINT {
    TCM_GETITEMCOUNT = 0x1304, TCM_GETITEMRECT = 0x130A, TCM_GETCURSEL = 0x130B, TCM_ADJUSTRECT = 0x1328,
    TCM_GETCURFOCUS = 0x132F, TCM_GETITEM = 0x133C,
};
struct TCITEM {
    String Text;
    int iImage = -1;
};

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
    // TBM_GETCHANNELRECT and TBM_GETTHUMBRECT fill the TRect the LParam
    // points to (client coordinates; the channel of a vertical bar is
    // reported lying down, x and y swapped, as the system's control does).
    void Dispatch(TMessage& Message) override;
    bool ToolkitPaints() const override { return true; }
    // Asks for custom drawing first; parts nobody draws are the toolkit's.
    void PaintWindow(HDC DC) override;

private:
    TRect partRect(int Part);
    int FMin = 0, FMax = 10, FPosition = 0;
    int FFrequency = 1, FLineSize = 1, FPageSize = 2;
    TTickStyle FTickStyle = tsAuto;
    TTickMark FTickMarks = tmBottomRight;
    bool FSliderVisible = true;
    TTrackBarOrientation FOrientation = trHorizontal;
};

enum TProgressBarOrientation { pbHorizontal, pbVertical };

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
    // A vertical bar fills from the bottom up.
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation Value) { FOrientation = Value; UpdateWidget(); }

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void Dispatch(TMessage& Message) override;
    bool ToolkitPaints() const override { return true; }

private:
    int FMin = 0, FMax = 100, FPosition = 0;
    TProgressBarOrientation FOrientation = pbHorizontal;
};

enum TUDBtnType { btNext, btPrev };
enum TUDOrientation { udHorizontal, udVertical };
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
    // A horizontal pair: left steps down, right up.
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value) { FOrientation = Value; Invalidate(); }
    TUDClickEvent OnClick;
    TNotifyEvent OnChanging;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    TWinControl* FAssociate = nullptr;
    int FPressed = -1;
    TUDOrientation FOrientation = udVertical;
};

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel {
public:
    String Text;
    int Width = 50;
    TAlignment Alignment = taLeftJustify;
    // An owner-drawn panel is painted by the bar's OnDrawPanel.
    TStatusPanelStyle Style = psText;
    TStatusPanelBevel Bevel = pbLowered;
};

class TStatusBar;
using TDrawPanelEvent = TDelegate<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

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
    // The bar offers a grip for sizing its window at the bottom-right.
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value) { FSizeGrip = Value; Invalidate(); }
    // Paints the owner-drawn panels (the rectangle inside the bevel).
    TDrawPanelEvent OnDrawPanel;

protected:
    void Paint() override;

private:
    std::vector<TStatusPanel> FPanels;
    bool FSimplePanel = false;
    bool FSizeGrip = true;
    String FSimpleText;
};

class TToolBar;
class TToolButton;
class TImageList;
class TMenuItem;
// The state a tool-bar button is drawn in, as its custom-draw event sees
// it: selected while pressed or down, checked while down, hot under the
// pointer, disabled and greyed when disabled; an idle button has none.
enum TCustomDrawStateItem { cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot,
                            cdsMarked, cdsIndeterminate };
using TCustomDrawState = TSet<TCustomDrawStateItem>;
using TTBCustomDrawEvent = TDelegate<void(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TTBCustomDrawBtnEvent =
    TDelegate<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw)>;
enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// A button of a tool bar. It shows its state: greyed when disabled, raised
// under the pointer, sunken while pressed, sunken over a dither when down.
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
    // The pointer is over the button (it is drawn raised).
    bool Hot() const { return FHot; }
    // The button is held down by the mouse with the pointer over it.
    bool Pressed() const { return FPressed && FHot; }
    // The width the caption and picture need, without the drop-down part.
    int NeededWidth() const;
    // The drop-down arrow part of a tbsDropDown button.
    static constexpr int DropDownWidth = 14;
    // A menu item the button stands for: it takes the item's caption, and
    // a click opens the item's submenu below the button or, for an item
    // without one, clicks the item. Not owned.
    TMenuItem* MenuItem() const { return FMenuItem; }
    void SetMenuItem(TMenuItem* Value);
    // The state the button is drawn in now.
    TCustomDrawState DrawState() const;

protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Click() override;

private:
    TToolBar* ToolBar() const;
    TToolButtonStyle FStyle = tbsButton;
    bool FDown = false, FPressed = false, FHot = false;
    TPopupMenu* FDropdownMenu = nullptr;
    int FImageIndex = -1;
    TMenuItem* FMenuItem = nullptr;
};

// Lays its buttons out left to right in the order they were added; a button
// is ButtonWidth wide, or wider when its caption and picture need it.
class TToolBar : public TCustomControl {
public:
    explicit TToolBar(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TToolBar"); }
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value) { FButtonWidth = Value; Realign(); }
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value) { FButtonHeight = Value; Realign(); }
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value) { FShowCaptions = Value; Realign(); Invalidate(); }
    // The pictures of the buttons (by their ImageIndex); not owned.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    // Flat buttons show their frame only under the pointer or pressed;
    // others always stand raised.
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value) { FFlat = Value; Invalidate(); }
    // The tool bar's background (DefaultDraw false: not filled after) and
    // each button's (DefaultDraw false: the button draws nothing of its
    // own). Both draw on Canvas() in the tool bar's coordinates.
    TTBCustomDrawEvent OnCustomDraw;
    TTBCustomDrawBtnEvent OnCustomDrawButton;

protected:
    void AlignControls(TControl* AControl) override;
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    int FButtonWidth = 23, FButtonHeight = 22;
    bool FShowCaptions = false;
    bool FFlat = true;
    TImageList* FImages = nullptr;
};

class TPageControl;

// A page of a page control: a windowed control shown while its tab is the
// selected one.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    String ClassName() const override { return String::fromLatin1("TTabSheet"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TPageControl* PageControl() const { return FPageControl; }
    // Moves the sheet to the end of AValue's pages (nullptr: out of any).
    void SetPageControl(TPageControl* AValue);
    // The place among the page control's pages (-1 without one).
    int PageIndex() const;
    void SetPageIndex(int Value);
    // A sheet without a visible tab cannot be selected by the user.
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    // The place among the visible tabs (-1 when the tab is hidden).
    int TabIndex() const;

protected:
    void Dispatch(TMessage& Message) override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
};

using TTabChangingEvent = TDelegate<void(TObject* Sender, bool& AllowChange)>;

// Standard tabs along the top over a raised page frame; one sheet shows at
// a time. The user selects a tab with the mouse, with the arrow keys when
// the tabs have the focus, and with Ctrl+Tab / Ctrl+Shift+Tab anywhere in
// the window.
class TPageControl : public TCustomControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    String ClassName() const override { return String::fromLatin1("TPageControl"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    int PageCount() const { return int(FPages.size()); }
    TTabSheet* Pages(int Index) const { return FPages.at(size_t(Index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    // Shows Page (one of ours, or nullptr for none); no OnChanging/OnChange.
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const { return FActivePage != nullptr ? FActivePage->PageIndex() : -1; }
    void SetActivePageIndex(int Value);
    // The selected tab among the visible ones (-1: none).
    int TabIndex() const { return FActivePage != nullptr ? FActivePage->TabIndex() : -1; }
    // The page after (or before) CurPage, wrapping round; nullptr when none.
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    // Selects the next page as the user does (OnChanging may refuse; OnChange follows).
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
    // Height and width of the tabs (0: from the font and the caption).
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    // The rectangle of a visible tab (by TabIndex) in client coordinates.
    TRect TabRect(int Index);
    // The visible tab at (X, Y), or -1.
    int IndexOfTabAt(int X, int Y);
    // Where the sheets are placed.
    TRect DisplayRect();

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void AdjustClientRect(TRect& R) const override;
    void AlignControls(TControl* AControl) override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    bool WantsKey(uint16_t Key) const override { return Key == VK_LEFT || Key == VK_RIGHT; }
    // The user's choice of a page: asks OnChanging, then shows it and tells OnChange.
    bool ChangeActivePage(TTabSheet* Page);

private:
    friend class TTabSheet;
    void insertPage(TTabSheet* Page);
    void removePage(TTabSheet* Page);
    int tabRowHeight() const;
    std::vector<TTabSheet*> visibleTabs() const;
    bool focusIsInside() const;
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    int FTabHeight = 0, FTabWidth = 0;
};
