// Menus.h - main and popup menus: a tree of items with check and radio
// marks, groups and shortcuts, shown through the toolkit's menu widgets.
#pragma once
#include <QPointer>
#include <QMenuBar>
#include <memory>
#include <vector>

#include "platform/controls/Messages.h"
#include "platform/graphics/Color.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/Types.h"

class QMenu;
class QMenuBar;
class QAction;
class TCustomForm;
class TImageList;
class TMenu;
class TCanvas;
class TBitmap;
class TMenuWindow;

using TShortCut = uint16_t;  // virtual key in the low byte, scShift/scCtrl/scAlt above
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(uint16_t Key, bool Shift, bool Ctrl, bool Alt);
// "Ctrl+S", "Shift+Del", "F5": modifiers first, then the key's name; an
// unnamed key gives an empty text.
String ShortCutToText(TShortCut ShortCut);
// The character a caption marks with '&' ("&&" is a plain ampersand), or
// a null character.
QChar GetHotkey(const String& Caption);
// Whether Caption marks Key (either case) as its accelerator.
bool IsAccel(QChar Key, const String& Caption);
// The caption as drawn: marks removed, "&&" as one ampersand.
String StripHotkey(const String& Caption);

// An 8 x 8 bitmap of alternating pixels, BkColor at (0, 0): filled as a
// pattern brush it gives the dithered look of a pressed or checked cell.
std::unique_ptr<TBitmap> AllocPatternBitmap(TColor BkColor, TColor FgColor);
// The check mark of menus and check cells: MenuCheckMarkSize() pixels,
// drawn in Color with its top-left at (X, Y).
TSize MenuCheckMarkSize();
void DrawMenuCheckMark(TCanvas* Canvas, int X, int Y, TColor Color);

// States an owner-drawn item is drawn in.
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
                           odInactive, odNoAccel, odNoFocusRect, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
// Owner drawing of an item: ARect is in the client coordinates of the menu
// window (the window less its frame, TMenuWindow::PanelWidth wide).
using TMenuDrawItemEvent = TDelegate<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TDelegate<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TDelegate<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

// Sent to a form when the items of its main menu changed.
enum : UINT { CM_MENUCHANGED = CM_BASE + 45 };

class TCanvas;
struct TMessage;
// An item that starts a new column of its menu (with a bar between for
// mbBarBreak).
enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    String ClassName() const override { return String::fromLatin1("TMenuItem"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool Checked() const { return FChecked; }
    // A radio item that becomes checked unchecks the others of its group.
    void SetChecked(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value) { FRadioItem = Value; changed(); }
    uint8_t GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(uint8_t Value) { FGroupIndex = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; changed(); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; changed(); }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value) { FShortCut = Value; changed(); }
    // The item's picture in its menu's Images (-1: none).
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; changed(); }
    // The item a double click on its menu would choose (drawn bold).
    bool Default() const { return FDefault; }
    void SetDefault(bool Value) { FDefault = Value; changed(); }
    // The command number that names the item within the program (unique,
    // given at creation).
    uint16_t Command() const { return FCommand; }
    // The item (this or below it) with that command, or nullptr.
    TMenuItem* Find(uint16_t ACommand);
    // The item (this or below it) whose children open in Window's menu.
    TMenuItem* FindBySubmenu(const QMenu* Menu);
    // The menu this item belongs to (through its parents), or nullptr.
    TMenu* GetParentMenu() const;
    bool IsRightToLeft() const;
    bool IsLine() const { return FCaption == QStringLiteral("-"); }

    // Owner drawing (used while the item's menu has OwnerDraw set).
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;
    // The size the item asks for: its own (caption and shortcut, a
    // picture's height, 8 for a line), then OnMeasureItem's say.
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    // OnAdvancedDrawItem, else OnDrawItem; true when one drew.
    virtual bool AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State);

    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value) { FBreak = Value; changed(); }
    // The item has a picture in its menu's Images.
    bool HasImage() const;

    // Child items; Add takes an item whose owner keeps it alive (or nullptr
    // owner: then this item frees it).
    void Add(TMenuItem* Item);
    void Remove(TMenuItem* Item);
    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int Index) const { return FItems.at(size_t(Index)); }
    TMenuItem* Parent() const { return FParent; }

    virtual void Click();
    TNotifyEvent OnClick;

    // The toolkit's action for this item (made on demand, owned by the item).
    QAction* Action();
    // A toolkit menu of the children (rebuilt on demand).
    QMenu* BuildMenu();
    // The children's menu window while it exists (made by BuildMenu).
    TMenuWindow* MenuWindow() const { return FMenuWindow.get(); }
    // Opens the children's menu at a screen point (at its top-right
    // corner with RightAlign) and returns at once.
    void PopupAt(TPoint P, bool RightAlign);

private:
    friend class TMenu;
    friend class TMenuWindow;
    void changed();
    void dropMenu();
    const TImageList* images() const;
    TMenuItem* FParent = nullptr;
    const TMenu* FOwnerMenu = nullptr;  // set on a menu's root item
    std::vector<TMenuItem*> FItems;
    std::vector<std::unique_ptr<TMenuItem>> FOwnedItems;
    String FCaption;
    bool FChecked = false, FRadioItem = false, FEnabled = true, FVisible = true;
    uint8_t FGroupIndex = 0;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    bool FDefault = false;
    uint16_t FCommand = 0;
    TMenuBreak FBreak = mbNone;
    std::unique_ptr<QAction> FAction;
    std::unique_ptr<QMenu> FMenu;
    std::unique_ptr<TMenuWindow> FMenuWindow;
};

// The window of an open menu: the toolkit's menu with a window procedure
// around its painting. Before the items are drawn the procedure gets
// WM_NCPAINT (WParam 1, the whole window; LParam a DC over the whole
// window) and then WM_ERASEBKGND (WParam a DC); WM_PRINT (WParam a DC)
// comes from PrintTo and WM_DESTROY when the menu closes. Left to the
// default handler, each gives the toolkit's own look. The frame is 3
// pixels wide: the items start at (3, 3).
class TMenuWindow : public TMessageReceiver {
public:
    TMenuWindow(QMenu* Menu, TMenuItem* Item);
    ~TMenuWindow() override;
    HWND Handle() const { return ReceiverHandle(); }
    QMenu* Menu() const;
    // The item whose children the window shows.
    TMenuItem* Item() const { return FItem; }
    static constexpr int PanelWidth = 3;

    TWndMethod WindowProc;
    void ReceiveMessage(TMessage& Message) override { WindowProc(Message); }
    void DefaultHandler(TMessage& Message);
    // The item of one of the window's actions.
    TMenuItem* ItemOfAction(const QAction* Action) const;
    // The selected item, or nullptr.
    TMenuItem* SelectedItem() const;
    // Paints the window into Image (made at the window's size) through
    // WM_PRINT, as a print of the window does.
    void PrintTo(QImage& Image);

private:
    friend class TMenuStyle;
    void paintPanel(const class QStyleOption* Option, class QPainter* Painter);
    QPointer<QMenu> FMenu;
    TMenuItem* FItem;
    std::unique_ptr<class TMenuStyle> FStyle;
    bool FDefaulted = false;     // the last message went to the default handler
    bool FFrameSkinned = false;  // this paint's frame was not the toolkit's
};
// The menu window of a toolkit widget, or nullptr.
TMenuWindow* MenuWindowOf(const QWidget* Widget);
enum : UINT { WM_PRINT = 0x0317 };

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    TMenuItem* Items() const { return FItems.get(); }
    // The items' pictures, by each item's ImageIndex.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    // While set, items with draw and measure events are drawn by them.
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
    // Right-to-left menus open mirrored.
    bool RightToLeft() const { return FRightToLeft; }
    void SetRightToLeft(bool Value) { FRightToLeft = Value; }
    bool IsRightToLeft() const { return FRightToLeft; }
    // The item with that command, or nullptr.
    TMenuItem* FindItem(uint16_t Command) const { return FItems->Find(Command); }
    // A key message (WM_KEYDOWN, CN_KEYDOWN...) that is the shortcut of an
    // enabled, visible item clicks it and answers true.
    bool IsShortCut(const TMessage& Message);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TMenuItem> FItems;
    TImageList* FImages = nullptr;
    bool FOwnerDraw = false;
    bool FRightToLeft = false;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;
    String ClassName() const override { return String::fromLatin1("TMainMenu"); }
    // Puts the menu bar at the top of the form's window.
    void AttachTo(TCustomForm* Form);
    // 0 while the bar is detached.
    int BarHeight() const;
    QMenuBar* MenuBar() const { return FBar.data(); }
    // Rebuilds the bar and tells the form (CM_MENUCHANGED).
    void Rebuild();
    TCustomForm* Form() const { return FForm; }
    // Takes the bar off the window (hidden, its height no longer kept
    // free) while the form keeps the menu; Reattach puts it back.
    void DetachBar();
    void ReattachBar();
    bool BarAttached() const { return FBar != nullptr && !FDetached; }

private:
    TCustomForm* FForm = nullptr;
    bool FDetached = false;
    QPointer<QMenuBar> FBar;  // a child of the form's widget
};

// Which edge of a popup menu lies at the point it is shown at.
enum TPopupAlignment { paLeft, paRight, paCenter };
class TWinControl;

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    String ClassName() const override { return String::fromLatin1("TPopupMenu"); }
    // Shows the menu at a screen point (returns at once).
    virtual void Popup(int X, int Y);
    // Shows the menu at a screen point and returns once it has closed (the
    // events go on meanwhile). A press on Owner that closes the menu ends
    // there: the toolkit does not hand it on to Owner again.
    virtual void PopupAndWait(int X, int Y, TWinControl* Owner = nullptr);
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    // Shown by a right click on its control (default true).
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
    TNotifyEvent OnPopup;

private:
    QPoint alignedPoint(QMenu* Menu, int X, int Y) const;
    TComponent* FPopupComponent = nullptr;
    bool FAutoPopup = true;
    TPopupAlignment FAlignment = paLeft;
};
