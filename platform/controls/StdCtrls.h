// StdCtrls.h - the standard controls: label, edit, memo, buttons, check and
// radio boxes, group box, combo and list boxes. Those built on Qt widgets
// report every change through WindowProc and paint through WM_PAINT.
#pragma once
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/rtl/StringList.h"

class QListWidget;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
// A combo box's list opens and closes (CN_COMMAND notifications).
enum : uint16_t { CBN_DROPDOWN = 7, CBN_CLOSEUP = 8 };
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// Text drawn on the parent; AutoSize fits the bounds to the text.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TLabel"); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; Invalidate(); }
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value) { FLayout = Value; Invalidate(); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; Invalidate(); }
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value) { FShowAccelChar = Value; Invalidate(); }

protected:
    void Dispatch(TMessage& Message) override;
    void Paint() override;
    void adjustBounds();
    uint32_t drawFlags() const;

private:
    bool FAutoSize = true, FWordWrap = false, FTransparent = false, FShowAccelChar = true;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TEdit"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; UpdateWidget(); }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = Value; UpdateWidget(); }
    // A frame round the text (published as BorderStyle bsSingle / bsNone).
    bool HasBorder() const { return FHasBorder; }
    void SetHasBorder(bool Value) { FHasBorder = Value; UpdateWidget(); }
    TNotifyEvent OnChange;

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void Dispatch(TMessage& Message) override;
    bool ToolkitPaints() const override { return true; }
    bool WantsKey(uint16_t) const override { return false; }
    virtual void Change();

private:
    bool FReadOnly = false;
    int FMaxLength = 0;
    bool FHasBorder = true;
};

class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;
    String ClassName() const override { return String::fromLatin1("TMemo"); }
    TStrings* Lines() const;
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; UpdateWidget(); }
    TNotifyEvent OnChange;

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void Dispatch(TMessage& Message) override;
    bool ToolkitPaints() const override { return true; }
    bool WantsKey(uint16_t Key) const override { return Key == VK_RETURN; }

private:
    class TMemoLines;
    void linesChanged(TObject* Sender);
    // Brings the widget's text up to the lines: new lines at the end are
    // appended, anything else rewrites the whole text.
    void syncWidgetLines();
    std::unique_ptr<TMemoLines> FLines;
    // The lines the widget holds and those the text holds, as of the lines'
    // count of rewrites then.
    int FShownCount = 0, FTextCount = 0;
    uint64_t FShownRewrites = 0, FTextRewrites = 0;
    bool FReadOnly = false;
    bool FSyncing = false;
};

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);

protected:
    bool ToolkitPaints() const override { return true; }
};

// Where a push button's glyph sits beside its caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A push button. Return clicks the focused button, or the form's Default
// button while no button has the focus; Escape clicks a Cancel button; a
// click sets the form's ModalResult. The toolkit draws it, unless a class
// paints it itself (OwnerDraw): then the button behaves as the system's
// owner-drawn button does (pressed while the left button is held over it,
// Space presses it, a release over it clicks) and asks for each paint with
// CN_DRAWITEM.
class TCustomButton : public TButtonControl {
public:
    explicit TCustomButton(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TCustomButton"); }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Clicks the button as a user would (OnClick, then the form's ModalResult).
    void Click() override;

protected:
    virtual bool OwnerDraw() const { return false; }
    // The button became (or stopped being) the one that Return clicks.
    virtual void SetButtonStyle(bool ADefault);
    // Return clicks this button.
    bool Active() const { return FActive; }
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    bool ToolkitPaints() const override { return !OwnerDraw(); }
    void PaintWindow(HDC DC) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

private:
    void setPushed(bool Value);
    void ownerDrawDefault(TMessage& Message);
    TModalResult FModalResult = mrNone;
    bool FDefault = false, FCancel = false, FWordWrap = false;
    bool FActive = false;
    bool FPushed = false;    // drawn pressed (ODS_SELECTED)
    bool FTracking = false;  // the left button went down on it and is held
};

class TButton : public TCustomButton {
public:
    explicit TButton(TComponent* AOwner) : TCustomButton(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TButton"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
};

class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TCheckBox"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    // Goes through WindowProc as BM_SETCHECK; OnClick follows, as it did.
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; UpdateWidget(); }
    // taLeftJustify puts the caption left of the box.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; UpdateWidget(); }

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void Dispatch(TMessage& Message) override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

// Checking one radio button unchecks its siblings with the same parent.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TRadioButton"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    // taLeftJustify puts the caption left of the circle.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; UpdateWidget(); }

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void Dispatch(TMessage& Message) override;

private:
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};

class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TGroupBox"); }

protected:
    void AdjustClientRect(TRect& R) const override;
    void Paint() override;
};

class TItemsControl : public TWinControl {
public:
    explicit TItemsControl(TComponent* AOwner);
    ~TItemsControl() override;
    TStrings* Items() const { return FItems.get(); }
    int ItemIndex() const { return FItemIndex; }
    // Goes through WindowProc (CB_SETCURSEL / LB_SETCURSEL); -1 clears.
    void SetItemIndex(int Value);

protected:
    bool ToolkitPaints() const override { return true; }
    virtual void ItemsChanged() = 0;
    virtual UINT SetCurSelMessage() const = 0;
    void Dispatch(TMessage& Message) override;
    int FItemIndex = -1;

private:
    void itemsChanged(TObject*) { ItemsChanged(); }
    std::unique_ptr<TStringList> FItems;
};

class TComboBox : public TItemsControl {
public:
    explicit TComboBox(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TComboBox"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value) { FStyle = Value; UpdateWidget(); }
    // The drop-down button in client coordinates (empty for a simple box).
    TRect ButtonRect();
    // The list is open; opening and closing it send CN_COMMAND with
    // CBN_DROPDOWN and CBN_CLOSEUP.
    bool DroppedDown() const { return FDroppedDown; }
    void SetDroppedDown(bool Value);
    TNotifyEvent OnChange;

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void Dispatch(TMessage& Message) override;
    void ItemsChanged() override;
    UINT SetCurSelMessage() const override { return CB_SETCURSEL; }
    bool WantsKey(uint16_t) const override { return false; }

private:
    friend class TComboWidget;
    TComboBoxStyle FStyle = csDropDown;
    bool FDroppedDown = false;
};

class TListBox : public TItemsControl {
public:
    explicit TListBox(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TListBox"); }

    // Several items may be selected (with Ctrl and Shift); ItemIndex is
    // then the item with the caret.
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    // The selection lives in the window: nothing is selected without one.
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;
    void ClearSelection();
    // The first item shown at the top.
    int TopIndex() const;
    void SetTopIndex(int Value);
    // The item at P (client coordinates); -1 on no item with Existing, else
    // the index the point would have (clamped to the count).
    int ItemAtPos(TPoint P, bool Existing) const;
    TRect ItemRect(int Index) const;
    // Typing the start of an item selects it; a pause of AutoCompleteDelay
    // ms starts the search anew. How the search runs is the descendants'.
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    unsigned AutoCompleteDelay() const { return FAutoCompleteDelay; }
    void SetAutoCompleteDelay(unsigned Value) { FAutoCompleteDelay = Value; }

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void Dispatch(TMessage& Message) override;
    void ItemsChanged() override;
    UINT SetCurSelMessage() const override { return LB_SETCURSEL; }

    // The list widget when the window exists.
    QListWidget* listWidget() const;

private:
    bool FMultiSelect = false;
    bool FAutoComplete = true;
    unsigned FAutoCompleteDelay = 500;
};
