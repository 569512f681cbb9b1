// vlDropDownEdit.h - the editors that drop a popup window down from their
// button: the drop-down protocol (opening, closing with a reason, posting
// the chosen value), the combo box whose popup lists its items, and the
// popup editor that shows any control of the form in its popup.
#pragma once
#include "ui/editors/vlTextEdit.h"

class TvlCustomDropDownEdit;
class TvlCustomComboBox;

// The private message a drop-down editor posts itself to synchronise its
// lookup list with pasted text.
enum : UINT { VLM_DROPDOWNSYNCHRONIZELOOKUP = 0x8097 };

// ---- drop-down editor properties --------------------------------------------------

class TvlCustomDropDownEditProperties : public TvlCustomTextEditProperties {
public:
    explicit TvlCustomDropDownEditProperties(TPersistent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlCustomDropDownEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    // Every field and event below, inside one update.
    void Assign(const TPersistent* Source) override;

    // The glyph of the button at GlyphButtonIndex (nullptr without that button).
    TBitmap* ButtonGlyph() const;
    void SetButtonGlyph(const TBitmap* Value);
    int GlyphButtonIndex() const { return FGlyphButtonIndex; }
    // Moves the glyph to another button and clears the old one.
    void SetGlyphButtonIndex(int Value);
    bool ImmediateDropDown() const { return FImmediateDropDown; }
    void SetImmediateDropDown(bool Value) { FImmediateDropDown = Value; }
    bool ImmediatePopup() const { return FImmediatePopup; }
    void SetImmediatePopup(bool Value) { FImmediatePopup = Value; }
    bool KeepArrowButtonPressed() const { return FKeepArrowButtonPressed; }
    void SetKeepArrowButtonPressed(bool Value) { setChanged(FKeepArrowButtonPressed, Value); }
    TAlignment PopupAlignment() const;
    void SetPopupAlignment(TAlignment Value);
    bool PopupAutoSize() const { return FPopupAutoSize; }
    void SetPopupAutoSize(bool Value) { FPopupAutoSize = Value; }
    bool PopupClientEdge() const { return FPopupClientEdge; }
    void SetPopupClientEdge(bool Value) { setChanged(FPopupClientEdge, Value); }
    int PopupHeight() const { return FPopupHeight; }
    // Raised to PopupMinHeight.
    void SetPopupHeight(int Value);
    TvlPopupHorzAlignment PopupHorzAlignment() const { return FPopupHorzAlignment; }
    void SetPopupHorzAlignment(TvlPopupHorzAlignment Value) { setChanged(FPopupHorzAlignment, Value); }
    int PopupMinHeight() const { return FPopupMinHeight; }
    // A negative minimum is 0; the height is applied again.
    void SetPopupMinHeight(int Value);
    int PopupMinWidth() const { return FPopupMinWidth; }
    void SetPopupMinWidth(int Value);
    bool PopupSizeable() const { return FPopupSizeable; }
    void SetPopupSizeable(bool Value) { setChanged(FPopupSizeable, Value); }
    bool PopupSysPanelStyle() const { return FPopupSysPanelStyle; }
    void SetPopupSysPanelStyle(bool Value) { setChanged(FPopupSysPanelStyle, Value); }
    bool PopupVertical() const { return FPopupVertical; }
    void SetPopupVertical(bool Value) { FPopupVertical = Value; }
    TvlPopupVertAlignment PopupVertAlignment() const { return FPopupVertAlignment; }
    void SetPopupVertAlignment(TvlPopupVertAlignment Value) { FPopupVertAlignment = Value; }
    int PopupWidth() const { return FPopupWidth; }
    // A negative width is 0 (the popup's own width); a positive one is
    // raised to PopupMinWidth.
    void SetPopupWidth(int Value);
    bool PostPopupValueOnTab() const { return FPostPopupValueOnTab; }
    void SetPostPopupValueOnTab(bool Value) { FPostPopupValueOnTab = Value; }

    // Introduced.
    virtual int GetDropDownButtonIndex() const { return 0; }
    virtual bool DropDownOnClick() const { return false; }
    virtual bool PostValueAfterClose() const { return false; }
    virtual bool PopupCanFitToWorkArea() const { return true; }
    virtual bool PopupCapturesFocus() const { return false; }

    // Overrides.
    void DoChanged() override;
    bool HasLookupListInPopup() const override { return true; }
    std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                          bool APreviewMode = false) const override;

    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnFinalizePopup;
    TNotifyEvent OnInitPopup;
    TNotifyEvent OnPopup;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
    // The glyph button's kind follows whether it has a glyph.
    void SyncGlyphButtonKind();

private:
    template <class T>
    void setChanged(T& AField, T Value)
    {
        if (Value == AField)
            return;
        AField = Value;
        Changed();
    }

    int FGlyphButtonIndex = 0;
    bool FImmediateDropDown = true;
    bool FImmediatePopup = false;
    bool FKeepArrowButtonPressed = false;
    bool FPopupAutoSize = true;
    bool FPopupClientEdge = false;
    bool FPopupVertical = true;
    int FPopupHeight = 0;
    TvlPopupHorzAlignment FPopupHorzAlignment = phaLeft;
    int FPopupMinHeight = 0;
    int FPopupMinWidth = 0;
    bool FPopupSizeable = false;
    bool FPopupSysPanelStyle = false;
    TvlPopupVertAlignment FPopupVertAlignment = pvaBottom;
    int FPopupWidth = 0;
    bool FPostPopupValueOnTab = false;
};

// What a grid column's in-place drop-down editor keeps between cells: a
// popup resized in one cell keeps that size for the column.
class TvlCustomDropDownEditData : public TvlCustomEditData {
public:
    using TvlCustomEditData::TvlCustomEditData;
    String ClassName() const override { return String::fromLatin1("TvlCustomDropDownEditData"); }
    bool PopupSizeChanged = false;
    int PopupWidth = 0;
    int PopupHeight = 0;
};

class TvlCustomDropDownEditViewData : public TvlCustomTextEditViewData {
public:
    using TvlCustomTextEditViewData::TvlCustomTextEditViewData;
    String ClassName() const override { return String::fromLatin1("TvlCustomDropDownEditViewData"); }
    const TvlCustomDropDownEditProperties* Properties() const
    {
        return static_cast<const TvlCustomDropDownEditProperties*>(TvlCustomEditViewData::Properties());
    }
    void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                   TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    bool IsButtonPressable(const TvlCustomEditViewInfo* AViewInfo, int AButtonVisibleIndex) const override;
    bool IsButtonHeldPressed(const TvlCustomEditViewInfo* AViewInfo, int AButtonVisibleIndex) const override;
    int EditThemeState(const TvlCustomEditViewInfo* AViewInfo) const override;

    bool PopupOpen = false;
    bool HotAndPopup = false;
    bool KeepArrowPressed = false;
};

// ---- combo box properties ---------------------------------------------------------

enum TvlEditDropDownListStyle { lsEditFixedList, lsEditList, lsFixedList };

using TvlEditDrawItemEvent = TDelegate<void(TvlCustomComboBox* AControl, TvlCanvas* ACanvas, int AIndex,
                                            const TRect& ARect, TOwnerDrawState AState)>;
using TMeasureItemEvent =
    TDelegate<void(TvlCustomComboBox* AControl, int AIndex, TvlCanvas* ACanvas, int& AHeight)>;

class TvlCustomComboBoxProperties : public TvlCustomDropDownEditProperties {
public:
    explicit TvlCustomComboBoxProperties(TPersistent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlCustomComboBoxProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    TvlEditDropDownListStyle DropDownListStyle() const { return FDropDownListStyle; }
    void SetDropDownListStyle(TvlEditDropDownListStyle Value);
    int DropDownRows() const { return FDropDownRows; }
    // Only positive counts are taken.
    void SetDropDownRows(int Value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    bool Revertable() const { return FRevertable; }
    void SetRevertable(bool Value) { FRevertable = Value; }
    TStringList* Items() const { return LookupItems(); }
    void SetItems(const TStrings* Value) { SetLookupItems(Value); }
    bool Sorted() const { return LookupItemsSorted(); }
    void SetSorted(bool Value) { SetLookupItemsSorted(Value); }
    bool DropDownAutoWidth() const { return PopupAutoSize(); }
    void SetDropDownAutoWidth(bool Value) { SetPopupAutoSize(Value); }
    bool DropDownSizeable() const { return PopupSizeable(); }
    void SetDropDownSizeable(bool Value) { SetPopupSizeable(Value); }
    int DropDownWidth() const { return PopupWidth(); }
    void SetDropDownWidth(int Value) { SetPopupWidth(Value); }

    // Overrides.
    int GetDropDownPageRowCount() const override { return FDropDownRows; }
    TvlEditEditingStyle GetEditingStyle() const override;
    bool HasLookupData() const override { return true; }
    bool DropDownOnClick() const override { return FDropDownListStyle == lsFixedList; }
    std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const override;
    std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                          bool APreviewMode = false) const override;

    TvlEditDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;

private:
    TvlEditDropDownListStyle FDropDownListStyle = lsEditList;
    int FDropDownRows = 8;
    int FItemHeight = 0;
    bool FRevertable = false;
};

class TvlComboBoxProperties : public TvlCustomComboBoxProperties {
public:
    explicit TvlComboBoxProperties(TPersistent* AOwner) : TvlCustomComboBoxProperties(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlComboBoxProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

// The edit area of a fixed list drawn by the owner (OnDrawItem).
class TvlCustomComboBoxViewInfo : public TvlCustomTextEditViewInfo {
public:
    TvlCustomComboBoxViewInfo();
    String ClassName() const override { return String::fromLatin1("TvlCustomComboBoxViewInfo"); }
    // Sets the canvas for the item's state and calls OnDrawItem.
    virtual void DrawItem(TvlCanvas* ACanvas, TRect& R);
    // The item drawn in the edit area; -1: none.
    int ItemIndex = -1;
};

class TvlCustomComboBoxViewData : public TvlCustomDropDownEditViewData {
public:
    using TvlCustomDropDownEditViewData::TvlCustomDropDownEditViewData;
    String ClassName() const override { return String::fromLatin1("TvlCustomComboBoxViewData"); }
    const TvlCustomComboBoxProperties* Properties() const
    {
        return static_cast<const TvlCustomComboBoxProperties*>(TvlCustomEditViewData::Properties());
    }
    void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                   TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void EditValueToDrawValue(const Variant& AEditValue, TvlCustomEditViewInfo* AViewInfo) const override;
    bool IsComboBoxStyle() const override { return true; }
};

// Whether the owner draws the list items (OnDrawItem of the own or the
// repository item's properties).
bool IsComboBoxCustomDrawing(const TvlCustomComboBoxProperties* AProperties, const TvlCustomEdit* AEdit);
bool IsComboBoxCustomMeasuring(const TvlCustomComboBoxProperties* AProperties, const TvlCustomEdit* AEdit);

// ---- popup editor properties ------------------------------------------------------

class TvlCustomPopupEditProperties : public TvlCustomDropDownEditProperties {
public:
    explicit TvlCustomPopupEditProperties(TPersistent* AOwner);
    ~TvlCustomPopupEditProperties() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomPopupEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    // Not owned: the control stays the form's.
    TControl* PopupControl() const { return FPopupControl; }
    void SetPopupControl(TControl* Value);

    void FreeNotification(TComponent* AComponent) override;
    bool HasLookupListInPopup() const override { return false; }
    bool PopupCapturesFocus() const override { return true; }

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;

private:
    TControl* FPopupControl = nullptr;
};

class TvlPopupEditProperties : public TvlCustomPopupEditProperties {
public:
    explicit TvlPopupEditProperties(TPersistent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlPopupEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

// ---- snapping a combo box list to whole rows ----------------------------------------

// What the list of a sizeable combo popup is when the user drags the grip.
struct TvlComboListSize {
    int Width = 0;
    int Height = 0;
};

// The list size for a requested one: the height becomes the sum of whole
// rows (scroll bars reserved as they show), the width at least the scroll
// bars. ARowHeights are the heights of all items in order; zero maxima are
// unlimited. False: nothing changes (the requested size is the current).
bool SnapComboListToRows(const std::vector<int>& ARowHeights, const TvlComboListSize& ACurrent,
                         TvlComboListSize& ANew, int AMaxWidth, int AMaxHeight, int AScrollWidth);
