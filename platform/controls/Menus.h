// Menus.h - main and popup menus: a tree of items with check and radio
// marks, groups and shortcuts, shown through the toolkit's menu widgets.
#pragma once
#include <QPointer>
#include <QMenuBar>
#include <memory>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"

class QMenu;
class QMenuBar;
class QAction;
class TCustomForm;
class TImageList;
class TMenu;

using TShortCut = uint16_t;  // virtual key in the low byte, scShift/scCtrl/scAlt above
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(uint16_t Key, bool Shift, bool Ctrl, bool Alt);

class TCanvas;
struct TMessage;
// An item that starts a new column of its menu (with a bar between for
// mbBarBreak).
enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
using TMenuMeasureItemEvent = TDelegate<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

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

    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value) { FBreak = Value; changed(); }
    // The size an owner-drawn item (or one with a picture) needs: the
    // handler may change the measured Width and Height.
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    TMenuMeasureItemEvent OnMeasureItem;
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

private:
    friend class TMenu;
    void changed();
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
    TMenuBreak FBreak = mbNone;
    std::unique_ptr<QAction> FAction;
    std::unique_ptr<QMenu> FMenu;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    TMenuItem* Items() const { return FItems.get(); }
    // The items' pictures, by each item's ImageIndex.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    // The program measures (and draws) the items itself.
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
    // A key message (WM_KEYDOWN, CN_KEYDOWN...) that is the shortcut of an
    // enabled, visible item clicks it and answers true.
    bool IsShortCut(const TMessage& Message);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TMenuItem> FItems;
    TImageList* FImages = nullptr;
    bool FOwnerDraw = false;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;
    String ClassName() const override { return String::fromLatin1("TMainMenu"); }
    // Puts the menu bar at the top of the form's window.
    void AttachTo(TCustomForm* Form);
    int BarHeight() const;
    QMenuBar* MenuBar() const { return FBar.data(); }
    void Rebuild();

private:
    TCustomForm* FForm = nullptr;
    QPointer<QMenuBar> FBar;  // a child of the form's widget
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    String ClassName() const override { return String::fromLatin1("TPopupMenu"); }
    // Shows the menu at a screen point (returns at once).
    virtual void Popup(int X, int Y);
    // Shown by a right click on its control (default true).
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
    TNotifyEvent OnPopup;

private:
    TComponent* FPopupComponent = nullptr;
    bool FAutoPopup = true;
};
