// vlNavigator.h - the record navigator: sixteen glyph buttons that move
// through and edit a data view's records. It has no window of its own: a
// host gives it bounds, a canvas and the mouse (IvlNavigatorOwner), and the
// data side answers and acts (IvlNavigator).
#pragma once
#include <array>
#include <memory>
#include <vector>

#include "platform/controls/Forms.h"
#include "platform/graphics/ImgList.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeels.h"

class TvlCustomNavigatorButtons;
class TvlNavigatorControlNotifier;

// The buttons' indexes: their places in the strip and their glyphs.
enum : int {
    NBDI_FIRST, NBDI_PRIORPAGE, NBDI_PRIOR, NBDI_NEXT, NBDI_NEXTPAGE, NBDI_LAST, NBDI_INSERT, NBDI_APPEND,
    NBDI_DELETE, NBDI_EDIT, NBDI_POST, NBDI_CANCEL, NBDI_REFRESH, NBDI_SAVEBOOKMARK, NBDI_GOTOBOOKMARK,
    NBDI_FILTER
};
constexpr int NavigatorButtonCount = 16;

// What a host of the navigator gives it. Both notifications are named by
// what they mean, and hosts route them by these names only:
// NavigatorChanged carries a kind (0: a hint, a click handler or
// ConfirmDelete; 1: a button's visibility; 2: a button's Enabled or
// ImageIndex, or Images) and goes to the host's own "changed";
// NavigatorStateChanged has no argument and means the set of visible
// buttons, their images or their size changed: the host recalculates the
// navigator's bounds.
class IvlNavigatorOwner {
public:
    virtual ~IvlNavigatorOwner() = default;
    virtual void NavigatorChanged(int AChangeType) = 0;
    virtual TRect GetNavigatorBounds() const = 0;
    virtual TvlCustomNavigatorButtons* GetNavigatorButtons() const = 0;
    virtual TCanvas* GetNavigatorCanvas() const = 0;
    virtual TWinControl* GetNavigatorControl() const = 0;
    virtual bool GetNavigatorFocused() const = 0;
    virtual TvlLookAndFeel* GetNavigatorLookAndFeel() const = 0;
    virtual TComponent* GetNavigatorOwner() const = 0;
    virtual bool GetNavigatorShowHint() const = 0;
    virtual bool GetNavigatorTabStop() const = 0;
    virtual void RefreshNavigator() = 0;
    virtual void NavigatorStateChanged() = 0;
};

// The data the buttons act on.
class IvlNavigator {
public:
    virtual ~IvlNavigator() = default;
    virtual bool CanAppend() const = 0;
    virtual bool CanDelete() const = 0;
    virtual bool CanEdit() const = 0;
    virtual bool CanInsert() const = 0;
    virtual bool IsActive() const = 0;
    virtual bool IsBof() const = 0;
    virtual bool IsBookmarkAvailable() const = 0;
    virtual bool IsEditing() const = 0;
    virtual bool IsEof() const = 0;
    virtual void ClearBookmark() = 0;
    virtual void DoAction(int AButtonIndex) = 0;
    virtual TvlNavigatorControlNotifier* GetNotifier() const = 0;
    virtual bool IsEnabled() const = 0;
};

// Tells every navigator of a data side that its enabling may have changed.
class TvlNavigatorControlNotifier {
public:
    void AddNavigator(IvlNavigatorOwner* ANavigator);
    void RemoveNavigator(IvlNavigatorOwner* ANavigator);
    void RefreshNavigatorButtons();

private:
    std::vector<IvlNavigatorOwner*> FList;
};

class TvlNavigatorButton : public TPersistent {
public:
    TvlNavigatorButton(TvlCustomNavigatorButtons* AButtons, int AIndex, bool ADefaultVisible);
    String ClassName() const override { return String::fromLatin1("TvlNavigatorButton"); }
    void Assign(const TPersistent* Source) override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // Visible is streamed once it was set from outside.
    bool VisibleNeedsStoring() const { return FVisibleAssigned; }
    const TNotifyEvent& OnClick() const { return FOnClick; }
    void SetOnClick(const TNotifyEvent& Value);

    int Index() const { return FIndex; }
    TvlCustomNavigatorButtons* Buttons() const { return FButtons; }
    bool DefaultVisible() const { return FDefaultVisible; }
    // Enabled and the buttons object's rule for the index.
    bool IsEnabled() const;
    // Hint, or the default hint of the index.
    String GetHint() const;
    bool IsUserImageUsed() const;
    TSize GetImageSize() const;
    // The button's OnClick, else OnButtonClick and (unless it said done)
    // the default action.
    void Click();

protected:
    TPersistent* GetOwner() const override;

private:
    TvlCustomNavigatorButtons* FButtons;
    int FIndex;
    bool FDefaultVisible;
    bool FEnabled = true;
    String FHint;
    int FImageIndex = -1;
    bool FVisibleAssigned = false;
    bool FVisible;
    TNotifyEvent FOnClick;
};

using TvlNavigatorButtonClickEvent = TDelegate<void(TObject* Sender, int AButtonIndex, bool& ADone)>;

class TvlCustomNavigatorButtons : public TPersistent {
public:
    explicit TvlCustomNavigatorButtons(IvlNavigatorOwner* ANavigator);
    ~TvlCustomNavigatorButtons() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomNavigatorButtons"); }
    void Assign(const TPersistent* Source) override;

    IvlNavigatorOwner* Navigator() const { return FNavigator; }
    TvlNavigatorButton* Buttons(int AIndex) const { return FButtons.at(size_t(AIndex)).get(); }
    int ButtonCount() const { return int(FButtons.size()); }
    bool ConfirmDelete() const { return FConfirmDelete; }
    void SetConfirmDelete(bool Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    const TvlNavigatorButtonClickEvent& OnButtonClick() const { return FOnButtonClick; }
    void SetOnButtonClick(const TvlNavigatorButtonClickEvent& Value);

    virtual void DoButtonClick(int) {}
    virtual bool GetButtonEnabled(int AButtonIndex) const;
    virtual String GetButtonHint(int AButtonIndex) const;
    static constexpr int GetButtonSpacing() { return 2; }
    virtual void ReleaseBookmark() {}

    // The buttons tell the host of their changes.
    void buttonChanged(int AKind, bool AStateChanged);

protected:
    TPersistent* GetOwner() const override;
    virtual void CreateButtons();
    virtual void DestroyButtons() { FButtons.clear(); }

private:
    void imagesChanged(TObject*);

    IvlNavigatorOwner* FNavigator;
    std::vector<std::unique_ptr<TvlNavigatorButton>> FButtons;
    TImageList* FImages = nullptr;
    std::unique_ptr<TChangeLink> FImageChangeLink;
    bool FConfirmDelete = true;
    TvlNavigatorButtonClickEvent FOnButtonClick;
};

using TvlNavigatorGetControlEvent = TDelegate<IvlNavigator*()>;

// The buttons as the grid publishes them: they act on the data side that
// OnGetControl returns.
class TvlNavigatorControlButtons : public TvlCustomNavigatorButtons {
public:
    using TvlCustomNavigatorButtons::TvlCustomNavigatorButtons;
    String ClassName() const override { return String::fromLatin1("TvlNavigatorControlButtons"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TvlNavigatorButton* First() const { return Buttons(NBDI_FIRST); }
    TvlNavigatorButton* PriorPage() const { return Buttons(NBDI_PRIORPAGE); }
    TvlNavigatorButton* Prior() const { return Buttons(NBDI_PRIOR); }
    TvlNavigatorButton* Next() const { return Buttons(NBDI_NEXT); }
    TvlNavigatorButton* NextPage() const { return Buttons(NBDI_NEXTPAGE); }
    TvlNavigatorButton* Last() const { return Buttons(NBDI_LAST); }
    TvlNavigatorButton* Insert() const { return Buttons(NBDI_INSERT); }
    TvlNavigatorButton* Append() const { return Buttons(NBDI_APPEND); }
    TvlNavigatorButton* Delete() const { return Buttons(NBDI_DELETE); }
    TvlNavigatorButton* Edit() const { return Buttons(NBDI_EDIT); }
    TvlNavigatorButton* Post() const { return Buttons(NBDI_POST); }
    TvlNavigatorButton* Cancel() const { return Buttons(NBDI_CANCEL); }
    TvlNavigatorButton* Refresh() const { return Buttons(NBDI_REFRESH); }
    TvlNavigatorButton* SaveBookmark() const { return Buttons(NBDI_SAVEBOOKMARK); }
    TvlNavigatorButton* GotoBookmark() const { return Buttons(NBDI_GOTOBOOKMARK); }
    TvlNavigatorButton* Filter() const { return Buttons(NBDI_FILTER); }

    void DoButtonClick(int AButtonIndex) override;
    bool GetButtonEnabled(int AButtonIndex) const override;
    void ReleaseBookmark() override;

    TvlNavigatorGetControlEvent OnGetControl;

protected:
    IvlNavigator* control() const { return OnGetControl.Assigned() ? OnGetControl() : nullptr; }
};

// The glyphs every navigator shares (12 x 11 each), made on first use.
TImageList* GetNavigatorDefaultGlyphs();

class TvlNavigatorButtonViewInfo {
public:
    explicit TvlNavigatorButtonViewInfo(TvlNavigatorButton* AButton) : Button(AButton) {}
    TvlNavigatorButton* Button;
    TRect Bounds;
    bool Enabled = false;
    String Hint;
};

// The layout and the interaction of one navigator. Made and freed by every
// table view, laid out only when shown.
class TvlNavigatorViewInfo : public TObject {
public:
    TvlNavigatorViewInfo(IvlNavigatorOwner* ANavigator, bool AIsInplace);
    ~TvlNavigatorViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlNavigatorViewInfo"); }

    void CalculateBounds(int& AWidth, int& AHeight, bool AFlag);
    void Calculate();
    void MakeDirty() { FIsDirty = true; }
    bool IsDirty() const { return FIsDirty; }
    void Paint();
    void MouseDown(int X, int Y);
    void MouseMove(int X, int Y);
    void MouseUp(int X, int Y);
    void UpdateButtonsEnabled();

    int Count() const { return int(FButtons.size()); }
    TvlNavigatorButtonViewInfo* Items(int AIndex) const { return FButtons.at(size_t(AIndex)).get(); }
    TvlNavigatorButtonViewInfo* HotButton() const { return FHotButton; }
    TvlNavigatorButtonViewInfo* PressedButton() const { return FPressedButton; }
    TvlNavigatorButtonViewInfo* GetButtonAt(int X, int Y) const;
    TvlNavigatorButtonViewInfo* GetFocusedButtonViewInfo();
    TvlButtonState GetButtonState(const TvlNavigatorButtonViewInfo* AButton) const;
    TSize GetButtonSize(int APosition, bool AFlag) const;
    bool Selected() const { return FSelected; }
    bool HintShowing() const { return FHintShowing; }
    TvlTimer* PressTimer() const { return FPressTimer.get(); }
    TvlTimer* HintTimer() const { return FHintTimer.get(); }
    THintWindow* HintWindow() const { return FHintWindow.get(); }
    // Shows (or only hides) the hot button's hint.
    void UpdateHint(bool AShow);

protected:
    // Which mouse buttons are down now (tests replace it).
    virtual TShiftState GetShiftState() const;
    void ButtonPressTimerHandler(TObject* Sender);
    void HintTimerHandler(TObject* Sender);

private:
    void paintButton(int APosition);
    void invalidateButton(const TvlNavigatorButtonViewInfo* AButton);
    void updateSelection();
    void setFocusedButton(TvlNavigatorButton* AButton);
    TvlLookAndFeelPainterClass painter() const;
    TvlNavigatorButtonViewInfo* viewInfoOf(const TvlNavigatorButton* AButton) const;

    IvlNavigatorOwner* FNavigator;
    bool FIsInplace;
    std::vector<std::unique_ptr<TvlNavigatorButtonViewInfo>> FButtons;
    bool FIsDirty = true;
    TvlNavigatorButtonViewInfo* FHotButton = nullptr;
    TvlNavigatorButtonViewInfo* FPressedButton = nullptr;
    TvlNavigatorButton* FFocusedButton = nullptr;
    bool FSelected = false;
    bool FHintShowing = false;
    std::unique_ptr<THintWindow> FHintWindow;
    std::unique_ptr<TvlTimer> FPressTimer;
    std::unique_ptr<TvlTimer> FHintTimer;
    std::unique_ptr<TvlCanvas> FCanvas;
    TRect FBounds;
};

// The unit's end frees the shared glyphs.
void AddvlNavigatorUnit(TStartupList& AList);
