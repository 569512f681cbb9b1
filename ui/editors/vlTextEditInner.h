// vlTextEditInner.h - the inner edit of the text editors: a borderless
// single-line edit inside its editor, whose every input path (keys,
// clipboard keys, undo, middle-click paste, drops, input-method commits,
// the context menu) passes its editor's checks first.
#pragma once
#include <functional>
#include <memory>

#include "platform/controls/Controls.h"
#include "ui/editors/vlEdit.h"

class QLineEdit;
class QKeyEvent;

enum TvlEditEchoMode { eemNormal, eemPassword };
enum TvlEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
// Whether input methods may compose text in the editor.
enum TvlImeMode { imDisable, imClose, imOpen, imDontCare };

// What a text editor asks of its inner edit.
class IvlInnerTextEdit : public IvlCustomInnerEdit {
public:
    virtual void ClearSelection() = 0;
    virtual void CopyToClipboard() = 0;
    virtual TAlignment GetAlignment() const = 0;
    virtual bool GetAutoSelect() const = 0;
    virtual TvlEditCharCase GetCharCase() const = 0;
    virtual TvlEditEchoMode GetEchoMode() const = 0;
    virtual int GetFirstVisibleCharIndex() const = 0;
    virtual bool GetHideSelection() const = 0;
    // There are no double-byte input-method characters here: always #0.
    virtual QChar GetImeLastChar() const = 0;
    virtual TvlImeMode GetImeMode() const = 0;
    virtual String GetImeName() const = 0;
    virtual bool GetInternalUpdating() const = 0;
    virtual int GetMaxLength() const = 0;
    virtual bool GetMultiLine() const = 0;
    virtual bool GetOEMConvert() const = 0;
    virtual TNotifyEvent GetOnSelChange() const = 0;
    virtual QChar GetPasswordChar() const = 0;
    virtual int GetSelLength() const = 0;
    virtual int GetSelStart() const = 0;
    virtual String GetSelText() const = 0;
    virtual bool GetUseLeftAlignmentOnEditing() const = 0;
    virtual void SelectAll() = 0;
    virtual void SetAlignment(TAlignment Value) = 0;
    virtual void SetAutoSelect(bool Value) = 0;
    virtual void SetCharCase(TvlEditCharCase Value) = 0;
    virtual void SetEchoMode(TvlEditEchoMode Value) = 0;
    virtual void SetHideSelection(bool Value) = 0;
    virtual void SetInternalUpdating(bool Value) = 0;
    virtual void SetImeMode(TvlImeMode Value) = 0;
    virtual void SetImeName(const String& Value) = 0;
    // 0: no limit.
    virtual void SetMaxLength(int Value) = 0;
    virtual void SetOEMConvert(bool Value) = 0;
    virtual void SetOnSelChange(const TNotifyEvent& Value) = 0;
    // #0: an asterisk.
    virtual void SetPasswordChar(QChar Value) = 0;
    virtual void SetSelLength(int Value) = 0;
    virtual void SetSelStart(int Value) = 0;
    virtual void SetSelText(const String& Value) = 0;
    virtual void SetUseLeftAlignmentOnEditing(bool Value) = 0;
    virtual String GetTextHint() const = 0;
    virtual void SetTextHint(const String& Value) = 0;
};

// What the inner edit asks of a text editor beyond the editor itself; an
// editor without it gets the plain edit behaviour.
class IvlInnerTextEditOwner {
public:
    virtual ~IvlInnerTextEditOwner() = default;
    // WM_CLEAR: removes the selected text (the editor's checks included).
    virtual void ClearSelection() = 0;
    // The inner edit undid its last change.
    virtual void UndoPerformed() = 0;
};

// The text, selection and whether it was saved, to tell whether a key
// changed anything.
struct TvlCustomInnerTextEditPrevState {
    bool IsPrevTextSaved = false;
    String PrevText;
    int PrevSelLength = 0;
    int PrevSelStart = 0;
};

class TvlCustomInnerTextEdit : public TWinControl, public IvlInnerTextEdit {
public:
    // AEdit is the editor it serves (its container and owner).
    explicit TvlCustomInnerTextEdit(TvlCustomEdit* AEdit);
    ~TvlCustomInnerTextEdit() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomInnerTextEdit"); }

    TvlCustomEdit* Container() const { return FContainer; }
    String TextValue() const;
    bool CanFocus() const override;

    // IvlCustomInnerEdit
    TWinControl* GetControl() override { return this; }
    TvlCustomEdit* GetControlContainer() override { return FContainer; }
    LRESULT CallDefWndProc(UINT AMsg, WPARAM WParam, LPARAM LParam) override;
    Variant GetEditValue() const override { return Variant(TextValue()); }
    TNotifyEvent GetOnChange() const override { return FOnChange; }
    bool GetReadOnly() const override { return FReadOnly; }
    void LockBounds(bool ALock) override;
    void SafelySetFocus() override;
    void SetEditValue(const Variant& Value) override;
    void SetParent(TWinControl* Value) override { TWinControl::SetParent(Value); }
    void SetOnChange(const TNotifyEvent& Value) override { FOnChange = Value; }
    void SetReadOnly(bool Value) override;

    // IvlInnerTextEdit
    void ClearSelection() override;
    void CopyToClipboard() override;
    TAlignment GetAlignment() const override { return FAlignment; }
    bool GetAutoSelect() const override { return FAutoSelect; }
    TvlEditCharCase GetCharCase() const override { return FCharCase; }
    TvlEditEchoMode GetEchoMode() const override { return FEchoMode; }
    int GetFirstVisibleCharIndex() const override;
    bool GetHideSelection() const override { return FHideSelection; }
    QChar GetImeLastChar() const override { return QChar(0); }
    TvlImeMode GetImeMode() const override { return FImeMode; }
    String GetImeName() const override { return FImeName; }
    bool GetInternalUpdating() const override { return FInternalUpdating; }
    int GetMaxLength() const override { return FMaxLength; }
    bool GetMultiLine() const override { return false; }
    bool GetOEMConvert() const override { return false; }
    TNotifyEvent GetOnSelChange() const override { return OnSelChange; }
    QChar GetPasswordChar() const override { return FPasswordChar; }
    int GetSelLength() const override;
    int GetSelStart() const override;
    String GetSelText() const override;
    bool GetUseLeftAlignmentOnEditing() const override { return FUseLeftAlignmentOnEditing; }
    void SelectAll() override;
    void SetAlignment(TAlignment Value) override;
    void SetAutoSelect(bool Value) override { FAutoSelect = Value; }
    void SetCharCase(TvlEditCharCase Value) override;
    void SetEchoMode(TvlEditEchoMode Value) override;
    void SetHideSelection(bool Value) override;
    void SetInternalUpdating(bool Value) override { FInternalUpdating = Value; }
    void SetImeMode(TvlImeMode Value) override;
    void SetImeName(const String& Value) override { FImeName = Value; }
    void SetMaxLength(int Value) override;
    void SetOEMConvert(bool Value) override { (void)Value; }
    void SetOnSelChange(const TNotifyEvent& Value) override { OnSelChange = Value; }
    void SetPasswordChar(QChar Value) override;
    void SetSelLength(int Value) override;
    void SetSelStart(int Value) override;
    void SetSelText(const String& Value) override;
    void SetUseLeftAlignmentOnEditing(bool Value) override;
    String GetTextHint() const override { return FTextHint; }
    void SetTextHint(const String& Value) override;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The caret's character index (the moving end of a selection).
    int GetCaretCharIndex() const;
    // The left and right margins (0 and 1 pixel) inside the edit.
    virtual void AdjustMargins();

    // Fired after the selection was set through the interface.
    TNotifyEvent OnSelChange;

protected:
    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void InitializeWidget() override;
    void UpdateWidget() override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    bool ToolkitPaints() const override { return true; }
    bool WantsKey(uint16_t Key) const override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void Click() override;
    void DblClick() override;
    void DoEnter() override;
    void DoExit() override;
    virtual void Change();

    void SaveInnerTextEditState(TvlCustomInnerTextEditPrevState& AState, bool ASaveText) const;
    bool IsInnerTextEditStateChanged(const TvlCustomInnerTextEditPrevState& AState) const;

private:
    class TWidget;
    friend class TWidget;
    QLineEdit* lineEdit() const;
    void applyAlignment();
    void applyEchoMode();
    void saveSelection();
    void restoreSelection(int AStart, int ALength);
    // Routes what the widget would do by itself through the editor first.
    bool routeShortcut(QKeyEvent* E);
    void commitInput(const QString& AText);
    void textEdited();

    TvlCustomEdit* FContainer;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSelect = true;
    TvlEditCharCase FCharCase = ecNormal;
    TvlEditEchoMode FEchoMode = eemNormal;
    bool FHideSelection = true;
    TvlImeMode FImeMode = imDontCare;
    String FImeName;
    bool FInternalUpdating = false;
    int FLockBoundsCount = 0;
    int FMaxLength = 0;
    QChar FPasswordChar = QChar(0);
    bool FReadOnly = false;
    String FTextHint;
    bool FUseLeftAlignmentOnEditing = true;
    TNotifyEvent FOnChange;
    // The selection kept while the edit has no focus.
    int FSavedSelStart = 0;
    int FSavedSelLength = 0;
    bool FSettingText = false;
};
