// vlMaskEdit.h - the masked text editor: its settings (the edit mask and
// how masked values are shown), the mask modes that decide what every
// key, character and paste does to the text, and the editor control that
// routes its input through its mode.
#pragma once
#include <functional>
#include <memory>

#include "ui/editors/vlFilterControlUtils.h"
#include "ui/editors/vlStandardMask.h"
#include "ui/editors/vlTextEdit.h"

class TStartupList;
class TvlCustomMaskEdit;
class TvlCustomMaskEditProperties;
class TvlMaskEditCustomMode;
class QKeyEvent;

enum TvlEditMaskKind { emkStandard, emkRegExpr, emkRegExprEx };
using TvlEditMask = String;

VORLANE_DECLARE_EXCEPTION(EvlMaskEditError, EvlEditError);

// Makes a mask mode serving AEdit, or, without an editor, AProperties alone.
using TvlMaskEditModeClass = std::function<std::unique_ptr<TvlMaskEditCustomMode>(
    TvlCustomMaskEdit* AEdit, TvlCustomMaskEditProperties* AProperties)>;

// Empty, or only #0, tab, line feed, form feed, carriage return and spaces.
bool IsBlankMask(const String& AMask);

// Every refused-input beep of the masked editors goes through here; tests
// put their own counter in place of the system's beep (nullptr restores it).
using TvlMaskBeepProc = std::function<void()>;
void SetMaskBeepProc(TvlMaskBeepProc AProc);

// ---- mask modes -------------------------------------------------------------------

// Decides, for one editor (or for its properties alone), what keys,
// characters, pastes and text assignments do to the text and the caret,
// and converts texts between display form and edit-value form.
class TvlMaskEditCustomMode : public TObject {
public:
    TvlMaskEditCustomMode(TvlCustomMaskEdit* AEdit, TvlCustomMaskEditProperties* AProperties);
    ~TvlMaskEditCustomMode() override;
    String ClassName() const override { return String::fromLatin1("TvlMaskEditCustomMode"); }

    virtual TvlEditMaskKind ModeKind() const { return emkStandard; }
    virtual void FinishPaste() = 0;
    virtual void CompileMask(const String& AMask) = 0;
    virtual String GetBlankText() const = 0;
    virtual String FormatText(const String& AText, bool ATextHasLiterals) const = 0;
    virtual void AllSelected() = 0;
    virtual bool IsCaretAtStart() const = 0;
    virtual bool IsCaretAtEnd() const = 0;
    virtual bool IsTextComplete(const String& AText) const = 0;
    virtual void CaretMoved() = 0;
    virtual void BeginPaste() = 0;
    // True: the inner edit handles the key itself; False: it is consumed.
    virtual bool KeyBackspace() = 0;
    virtual bool KeyDelete() = 0;
    virtual bool KeyEnd() = 0;
    virtual bool KeyHome() = 0;
    virtual bool KeyLeft() = 0;
    virtual bool KeyRight() = 0;
    virtual bool KeyChar(QChar& AChar) = 0;
    virtual void TextAssigned(const String& AText) = 0;
    virtual void SyncEditValue();
    virtual void ApplyPendingEditValue() = 0;
    virtual String StripText(const String& AText, bool ATextHasLiterals) const = 0;

    TvlCustomMaskEdit* OwnerEdit() const { return FOwnerEdit; }
    const String& CompiledMask() const { return FCompiledMask; }
    int PasteLength() const { return FPasteLength; }
    void SetPasteLength(int Value) { FPasteLength = Value; }
    bool EditValuePending() const { return FEditValuePending; }
    TEditCharCase LastCharCase() const { return FLastCharCase; }
    void SetLastCharCase(TEditCharCase Value) { FLastCharCase = Value; }
    TvlEditEchoMode LastEchoMode() const { return FLastEchoMode; }
    void SetLastEchoMode(TvlEditEchoMode Value) { FLastEchoMode = Value; }

protected:
    // The editor's active properties with an editor, else the own ones.
    TvlCustomMaskEditProperties* Properties() const;
    // An editor whose inner edit exists.
    bool HasEditor() const;
    bool HasWindow() const;
    void MaskBeep() const;

    // The editor, as the modes act on it.
    String EditText() const;
    int SelStart() const;
    int SelLength() const;
    int CaretPos() const;
    // These report the change back to the mode (CaretMoved runs) ...
    void SetSelStart(int Value);
    void SetSelLength(int Value);
    // ... and these do not.
    void InternalSetSelStart(int Value);
    void InternalSetSelLength(int Value);
    // Straight to the inner edit's own processing, past the mask.
    void SendKeyDown(uint16_t Key, TShiftState Shift);
    void SendChar(QChar AChar);
    void SetInnerEditDisplayValue(const String& AText);
    void SetEditValue(const Variant& AValue);
    bool ShiftSelecting() const;
    void SetShiftSelecting(bool Value);
    bool IsMaskCharAllowed(QChar& AChar, int APosition) const;

    String FCompiledMask;
    int FPasteLength = 0;
    bool FEditValuePending = false;

private:
    TvlCustomMaskEdit* FOwnerEdit;
    TvlCustomMaskEditProperties* FOwnProperties;
    TEditCharCase FLastCharCase = ecNormal;
    TvlEditEchoMode FLastEchoMode = eemNormal;
};

// The classic position mask: every display position is one item of the
// compiled mask, a literal or a placeholder, and typing overwrites.
class TvlMaskEditStandardMode : public TvlMaskEditCustomMode {
public:
    TvlMaskEditStandardMode(TvlCustomMaskEdit* AEdit, TvlCustomMaskEditProperties* AProperties);
    String ClassName() const override { return String::fromLatin1("TvlMaskEditStandardMode"); }

    void FinishPaste() override;
    void CompileMask(const String& AMask) override;
    String GetBlankText() const override;
    String FormatText(const String& AText, bool ATextHasLiterals) const override;
    void AllSelected() override {}
    bool IsCaretAtStart() const override;
    bool IsCaretAtEnd() const override;
    bool IsTextComplete(const String& AText) const override;
    void CaretMoved() override;
    void BeginPaste() override;
    bool KeyBackspace() override;
    bool KeyDelete() override;
    bool KeyEnd() override;
    bool KeyHome() override;
    bool KeyLeft() override;
    bool KeyRight() override;
    bool KeyChar(QChar& AChar) override;
    void TextAssigned(const String& AText) override;
    void SyncEditValue() override;
    void ApplyPendingEditValue() override;
    String StripText(const String& AText, bool ATextHasLiterals) const override;

    virtual QChar BlankCharAt(int APosition) const;
    const TvlStandardMask& StandardMask() const { return FStandardMask; }

private:
    bool isLiteral(int APosition) const;
    int firstPlaceholder() const;

    TvlStandardMask FStandardMask;
    int FPasteStart = 0;
};

// ---- properties -------------------------------------------------------------------

class TvlCustomMaskEditProperties : public TvlCustomTextEditProperties {
public:
    explicit TvlCustomMaskEditProperties(TPersistent* AOwner);
    ~TvlCustomMaskEditProperties() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomMaskEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    // The blank text of the editor's mask, kept by the editor.
    const String& EmptyText() const { return FEmptyText; }
    void SetEmptyText(const String& Value) { FEmptyText = Value; }
    String GetEmptyString() const { return FEmptyText; }
    bool AlwaysShowBlanksAndLiterals() const { return FAlwaysShowBlanksAndLiterals; }
    void SetAlwaysShowBlanksAndLiterals(bool Value);
    bool CaseInsensitive() const { return FCaseInsensitive; }
    void SetCaseInsensitive(bool Value);
    bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
    void SetIgnoreMaskBlank(bool Value) { FIgnoreMaskBlank = Value; }
    TvlEditMaskKind MaskKind() const { return FMaskKind; }
    void SetMaskKind(TvlEditMaskKind Value);
    // The effective mask: for a standard kind without a mask of its own,
    // the data field's; a blank mask reads "".
    TvlEditMask EditMask() const { return GetEditMask(); }
    TvlEditMask GetEditMask() const;
    // A new mask is compiled first: a mask that does not compile raises
    // EvlMaskEditError and the old one stays.
    void SetEditMask(const TvlEditMask& Value);
    bool IsMasked() const { return !IsBlankMask(GetEditMask()); }
    // The stored mask as written (for streaming and the kind switch).
    const TvlEditMask& StoredEditMask() const { return FEditMask; }
    // Stores a mask as it is, uncompiled and unreported (the editor's kind
    // switch clears the stored mask and writes a new one back).
    void SetStoredEditMask(const TvlEditMask& Value) { FEditMask = Value; }

    // The mode class of a kind: the regular-expression kinds have none
    // until their modes exist, and then get the standard one.
    virtual TvlMaskEditModeClass GetModeClass(TvlEditMaskKind AKind) const;
    std::unique_ptr<TvlMaskEditCustomMode> CreateMode(TvlCustomMaskEdit* AEdit, TvlEditMaskKind AKind);

    // Overrides.
    void DoChanged() override;
    uint32_t GetDisplayFormatOptions() const override;
    TvlCustomEditClass GetContainerClass() const override;
    bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) const override;
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) const override;
    void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                              TvlCustomEdit* AEdit) const override;
    // The mask's part of the validation: an incomplete text is "The edit
    // value is invalid".
    void ValidateMaskedText(const Variant& ADisplayValue, String& AErrorText, bool& AError,
                            const TvlCustomEdit* AEdit) const;
    void MaxLengthChanged() override;
    void SetCharCase(TEditCharCase Value) override;
    // No lookup list or incremental search with a mask.
    bool HasLookupData() const override;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;

private:
    TvlMaskEditCustomMode* displayMode() const;

    String FEmptyText;
    TvlEditMask FEditMask;
    mutable std::unique_ptr<TvlMaskEditCustomMode> FDisplayMode;
    mutable TvlEditMaskKind FDisplayModeKind = emkStandard;
    bool FAlwaysShowBlanksAndLiterals = false;
    bool FCaseInsensitive = true;
    bool FIgnoreMaskBlank = false;
    TvlEditMaskKind FMaskKind = emkStandard;
    bool FMaxLengthGuard = false;
};

class TvlMaskEditProperties : public TvlCustomMaskEditProperties {
public:
    explicit TvlMaskEditProperties(TPersistent* AOwner) : TvlCustomMaskEditProperties(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlMaskEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

// ---- the editor ---------------------------------------------------------------------

class TvlCustomMaskEdit : public TvlCustomTextEdit {
public:
    explicit TvlCustomMaskEdit(TComponent* AOwner, bool AIsInplace = false);
    ~TvlCustomMaskEdit() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomMaskEdit"); }
    void Initialize() override;

    TvlCustomMaskEditProperties* Properties() const
    {
        return static_cast<TvlCustomMaskEditProperties*>(TvlCustomTextEdit::Properties());
    }
    TvlCustomMaskEditProperties* ActiveProperties() const
    {
        return static_cast<TvlCustomMaskEditProperties*>(TvlCustomTextEdit::ActiveProperties());
    }
    TvlMaskEditCustomMode* MaskMode() const { return FMaskMode.get(); }
    bool IsMasked() const { return ActiveProperties()->IsMasked(); }
    bool ShiftSelecting() const { return FShiftSelecting; }
    void SetShiftSelecting(bool Value) { FShiftSelecting = Value; }
    bool SendingKeys() const { return FSendingKeys; }
    const String& StrippedText() const { return FStrippedText; }

    // The selection setters that the mode is not told about.
    void InternalSetSelStart(int Value);
    void InternalSetSelLength(int Value);
    // A key-down or a character straight to the inner edit's own handling.
    void SendKeyDownToInnerEdit(uint16_t Key, TShiftState Shift);
    void SendCharToInnerEdit(QChar AChar);

    void SetSelText(const String& AText) override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;
    void UndoPerformed() override;
    bool CanSpellCheck() const override;
    void LockInnerEditRepainting() override;
    void UnlockInnerEditRepainting() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void DblClick() override;

    // Introduced.
    virtual bool CanSynchronizeModeText() const { return true; }
    virtual bool IsMaskCharAllowed(QChar& AChar, int APosition) const
    {
        (void)AChar;
        (void)APosition;
        return true;
    }
    virtual void ReformatDisplayText();

protected:
    TvlCustomMaskEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize);
    friend class TvlMaskEditCustomMode;

    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
    void PropertiesChanged(TObject* Sender) override;
    void DoEditKeyDown(uint16_t& Key, TShiftState Shift) override;
    void DoEditKeyPress(QChar& Key) override;
    void ChangeHandler(TObject* Sender) override;
    String GetEditingText() const override;
    bool SetEditingTextValue(const String& AText) override;
    void SetInternalDisplayValue(const Variant& V) override;
    void PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
    void SynchronizeDisplayValue() override;
    void HandleInnerEditSelChange(TObject* Sender) override;
    void DoValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError) override;
    bool DoInnerControlDefaultHandler(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    void Loaded() override;

private:
    void init();
    void renewEmptyText();
    void sendToInnerEdit(QKeyEvent& AEvent);
    bool isStandardMode() const { return FMaskMode != nullptr && FMaskMode->ModeKind() == emkStandard; }

    bool FSettingSelection = false;
    std::unique_ptr<TvlMaskEditCustomMode> FMaskMode;
    bool FShiftSelecting = false;
    bool FSendingKeys = false;
    String FStrippedText;
    // Nested pastes (a paste that replaces the selection) keep one
    // Begin/FinishPaste pair.
    bool FPasting = false;
};

class TvlMaskEdit : public TvlCustomMaskEdit {
public:
    explicit TvlMaskEdit(TComponent* AOwner, bool AIsInplace = false);
    String ClassName() const override { return String::fromLatin1("TvlMaskEdit"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TvlMaskEditProperties* Properties() const
    {
        return static_cast<TvlMaskEditProperties*>(TvlCustomMaskEdit::Properties());
    }
    TvlMaskEditProperties* ActiveProperties() const
    {
        return static_cast<TvlMaskEditProperties*>(TvlCustomMaskEdit::ActiveProperties());
    }

protected:
    TvlMaskEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize);
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
};

// ---- filter helper ---------------------------------------------------------------

class TvlFilterMaskEditHelper : public TvlFilterTextEditHelper {
public:
    const TClassInfo& HelperClass() const override;
    static const TClassInfo& StaticClassInfo();
    static const TvlFilterMaskEditHelper* Instance();
    TvlClass FilterEditClass() const override;
    // The comparisons, blank tests, "like" without a mask, and the ranges
    // and lists when extended.
    TvlFilterControlOperators SupportedOperators(const TvlCustomEditProperties* AProperties,
                                                 TvlValueTypeClass AValueTypeClass, bool AExtended) const override;
    // A regular-expression mask becomes the inserting kind; the text is
    // selected on entry only without a mask.
    void InitializeProperties(TvlCustomEditProperties* AProperties, const TvlCustomEditProperties* ASource,
                              bool AKeepButtons) const override;
};

// Registers "MaskEdit" and the filter helper at start-up.
void AddvlMaskEditUnit(TStartupList& AList);
