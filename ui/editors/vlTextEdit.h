// vlTextEdit.h - the text editor: its settings (how a value becomes the text
// shown, lookup items, length and bounds), the lookup data that completes
// typed text from the items, the list box of editor popups, and the view
// data and view info that lay out and draw a value as text in a cell or an
// editor.
#pragma once
#include <bitset>

#include "platform/rtl/StringList.h"
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlFormats.h"
#include "ui/editors/vlTextEditInner.h"
#include "ui/foundation/vlDrawTextUtils.h"

class TStartupList;
class TvlCustomTextEditProperties;
class TvlCustomEditListBox;
class TvlCustomTextEditLookupData;
class IvlTextEditLookupDataOwner;
class TvlTextEdit;

// Makes the lookup data of an editor.
using TvlTextEditLookupDataClass =
    std::function<std::unique_ptr<TvlCustomTextEditLookupData>(IvlTextEditLookupDataOwner* AOwner)>;

// ---- settings types -------------------------------------------------------------

// The inner edit's case, echo and input-method settings.
using TEditCharCase = TvlEditCharCase;
using TImeMode = TvlImeMode;
using TImeName = String;
enum TvlTextEditViewStyle { vsNormal, vsHideCursor, vsButtonsOnly, vsButtonsAutoWidth };

// The editing styles: free text, free text completed from the lookup items,
// lookup items only, no typing at all.
using TvlEditEditingStyle = uint8_t;
enum : TvlEditEditingStyle { esEdit = 0, esEditList = 1, esFixedList = 2, esNoEdit = 3 };

// The one-byte character codes a filter editor accepts beyond its own rule.
using TvlCharSet = std::bitset<256>;

// Bits of the view data's and view info's paint options.
enum : uint32_t { vlepoAllowZeroHeight = 1, vlepoAutoHeight = 2, vlepoShowEndEllipsis = 8 };

using TvlNewLookupDisplayTextEvent = TDelegate<void(TObject* Sender, const String& AText)>;

// ---- number text ----------------------------------------------------------------

// Inserts the locale's thousand separator into the integer part of a number
// text (blanks around it and an exponent kept). A separator goes only between
// two digits, and where the locale's thousand separator is the decimal
// separator the number is left without separators: both would read alike.
void AddThousandSeparators(String& S);
void RemoveThousandSeparators(String& S);
// Moves the tail from the first "E" (either case) into AExponent.
void ExtractExponentPart(String& S, String& AExponent);

// ---- properties -----------------------------------------------------------------

class TvlTextEditPropertiesValues : public TvlCustomEditPropertiesValues {
public:
    explicit TvlTextEditPropertiesValues(TPersistent* AOwner) : TvlCustomEditPropertiesValues(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlTextEditPropertiesValues"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;
    void RestoreDefaults() override;

    bool DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(bool Value);
    bool EditFormat() const { return FEditFormat; }
    void SetEditFormat(bool Value);
    bool MaxLength() const { return FMaxLength; }
    void SetMaxLength(bool Value);
    // Written only for a format assigned as empty, where the properties'
    // class publishes the format: the empty value alone would not say so.
    bool IsDisplayFormatStored() const;
    bool IsEditFormatStored() const;

private:
    friend class TvlCustomTextEditProperties;
    TvlCustomTextEditProperties* textProperties() const;
    bool FDisplayFormat = false;
    bool FEditFormat = false;
    bool FMaxLength = false;
};

// The settings of every text-based editor.
class TvlCustomTextEditProperties : public TvlCustomEditProperties, public IvlFormatChangeListener {
public:
    explicit TvlCustomTextEditProperties(TPersistent* AOwner);
    ~TvlCustomTextEditProperties() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomTextEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    TvlTextEditPropertiesValues* AssignedValues() const
    {
        return static_cast<TvlTextEditPropertiesValues*>(TvlCustomEditProperties::AssignedValues());
    }
    void SetAssignedValues(const TvlTextEditPropertiesValues* Value) { AssignedValues()->Assign(Value); }

    TEditCharCase CharCase() const { return FCharCase; }
    String DisplayFormat() const;
    void SetDisplayFormat(const String& Value);
    TvlEditEchoMode EchoMode() const { return FEchoMode; }
    void SetEchoMode(TvlEditEchoMode Value) { setValue(FEchoMode, Value); }
    String EditFormat() const;
    void SetEditFormat(const String& Value);
    bool ExactLookupMatch() const { return FExactLookupMatch; }
    void SetExactLookupMatch(bool Value) { setValue(FExactLookupMatch, Value); }
    const TvlCharSet& ExtraValidChars() const { return FExtraValidChars; }
    void SetExtraValidChars(const TvlCharSet& Value) { FExtraValidChars = Value; }
    bool FixedListTypedSelection() const { return FFixedListTypedSelection; }
    void SetFixedListTypedSelection(bool Value);
    // True while a rebuild of the formats is being reported.
    bool FormatChanging() const { return FFormatChanging; }
    bool HideCursor() const { return FHideCursor; }
    void SetHideCursor(bool Value) { setValue(FHideCursor, Value); }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value) { setValue(FHideSelection, Value); }
    TImeMode ImeMode() const { return FImeMode; }
    void SetImeMode(TImeMode Value) { setValue(FImeMode, Value); }
    const TImeName& ImeName() const { return FImeName; }
    void SetImeName(const TImeName& Value) { setValue(FImeName, Value); }
    bool ImmediateUpdateText() const { return FImmediateUpdateText; }
    void SetImmediateUpdateText(bool Value) { FImmediateUpdateText = Value; }
    bool IncrementalSearch() const { return FIncrementalSearch; }
    void SetIncrementalSearch(bool Value) { setValue(FIncrementalSearch, Value); }
    TStringList* LookupItems() const { return FLookupItems.get(); }
    void SetLookupItems(const TStrings* Value) { FLookupItems->Assign(Value); }
    bool LookupItemsSorted() const { return FLookupItems->Sorted(); }
    void SetLookupItemsSorted(bool Value) { FLookupItems->SetSorted(Value); }
    int MaxLength() const;
    // A negative length stores 0 (no limit).
    void SetMaxLength(int Value);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value) { setValue(FOEMConvert, Value); }
    // #0: "*".
    QChar PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(QChar Value) { setValue(FPasswordChar, Value); }
    bool UseDisplayFormatWhenEditing() const { return FUseDisplayFormatWhenEditing; }
    void SetUseDisplayFormatWhenEditing(bool Value) { setValue(FUseDisplayFormatWhenEditing, Value); }
    // Derived from the buttons layout and HideCursor.
    TvlTextEditViewStyle ViewStyle() const;
    void SetViewStyle(TvlTextEditViewStyle Value);
    bool IsMaxLengthStored() const { return AssignedValues()->MaxLength(); }
    bool IsDisplayFormatStored() const { return AssignedValues()->DisplayFormat(); }
    bool IsEditFormatStored() const { return AssignedValues()->EditFormat(); }
    // The stream's pseudo-property: reading it marks the display format
    // assigned (nothing writes it).
    void ReadIsDisplayFormatAssigned(bool Value);

    // Introduced, in the order descendants override them.
    void FormatChanged() override;
    virtual void CheckDisplayValueBounds(const Variant& ADisplayValue, String& AErrorText, TvlCustomEdit* AEdit,
                                         bool& AError) const;
    virtual void GetEmptyDisplayValue(Variant& AValue) const { AValue = String(); }
    virtual bool FindLookupText(const String& AText) const;
    virtual String GetDefaultDisplayFormat() const { return String(); }
    virtual int GetDefaultMaxLength() const;
    virtual int GetDropDownPageRowCount() const { return 8; }
    virtual TvlEditEditingStyle GetEditingStyle() const { return FHideCursor ? esNoEdit : esEdit; }
    virtual bool HasLookupData() const { return true; }
    // The lookup data of the editors (nullptr: none).
    virtual TvlTextEditLookupDataClass GetLookupDataClass() const;
    virtual bool ThousandSeparatorsWhileEditing(bool ASynchronizing) const
    {
        (void)ASynchronizing;
        return false;
    }
    virtual void PrepareEditFormat(bool& AIsCurrency, bool& AGetTextAssigned, String& AFormat,
                                   const TvlCustomEdit* AEdit) const;
    virtual bool IsEditValueNumeric() const { return false; }
    virtual bool HasLookupListInPopup() const { return false; }
    virtual bool IsMultiLine() const { return false; }
    virtual bool IsPopupNavigationKey(uint16_t AKey, TShiftState AShift) const
    {
        (void)AKey;
        (void)AShift;
        return false;
    }
    virtual bool IsValueBoundDefined(bool AIsMax) const;
    virtual bool IsValueBoundsDefined() const { return IsValueBoundDefined(false) || IsValueBoundDefined(true); }
    virtual void ReportChange() { Changed(); }
    virtual void MaxLengthChanged() { Changed(); }
    virtual void SetCharCase(TEditCharCase Value);
    // Whether the editors of these properties keep lookup data.
    bool UseLookupData() const { return HasLookupData(); }
    virtual void DisplayValueToDisplayText(String& AText) const;
    virtual bool IsDisplayValueValid(Variant& ADisplayValue, bool AEditFocused) const;

    // Overrides.
    void SetAlignmentCore(const TvlEditAlignment* Value) override;
    void AlignmentChangedHandler(TObject* Sender) override;
    bool CanValidate() const override { return true; }
    TvlCustomEditPropertiesValuesClass GetAssignedValuesClass() const override;
    uint32_t GetDisplayFormatOptions() const override { return 1; }
    String GetValidateErrorText(int AErrorKind) const override;
    bool UsesInnerEditChangeEvent() const override { return true; }
    bool HasDisplayValue() const override { return true; }
    bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) const override;
    String GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) const override;
    uint32_t GetSupportedOperations() const override;
    bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) const override;
    bool IsResetEditClass() const override { return GetEditingStyle() != esNoEdit; }
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) const override;
    int GetEditValueSource(bool) const override { return 1; }
    TvlCustomEditClass GetContainerClass() const override;
    std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const override;
    std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                          bool APreviewMode = false) const override;

    // Numeric values for bounds checks and validation: bounds first, then the
    // handlers' rule (OnValidate).
    void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                              TvlCustomEdit* AEdit) const override;
    // The display value of an edit value (PrepareDisplayValue for valid
    // values, else the value's date or plain text).
    void PrepareTextDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) const;
    // The value as its locale-aware upper or lower case.
    String ApplyCharCase(const String& AText) const;

    TvlNewLookupDisplayTextEvent OnNewLookupDisplayText;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;

private:
    void lookupItemsChanged(TObject*) { Changed(); }
    template <class T>
    void setValue(T& AField, const T& Value)
    {
        if (Value == AField)
            return;
        AField = Value;
        Changed();
    }
    String numberText(const Variant& AEditValue, bool AEditFocused) const;

    TEditCharCase FCharCase = ecNormal;
    String FDisplayFormat;
    TvlEditEchoMode FEchoMode = eemNormal;
    String FEditFormat;
    bool FFixedListTypedSelection = true;
    bool FFormatChanging = false;
    bool FHideCursor = false;
    bool FHideSelection = true;
    TImeMode FImeMode = imDontCare;
    TImeName FImeName;
    bool FImmediateUpdateText = false;
    bool FIncrementalSearch = true;
    std::unique_ptr<TStringList> FLookupItems;
    int FMaxLength = 0;
    bool FExactLookupMatch = false;
    bool FOEMConvert = false;
    QChar FPasswordChar = QChar(0);
    bool FUseDisplayFormatWhenEditing = false;
    TvlCharSet FExtraValidChars;
};

// The single-line text editor's published settings; the job list's text
// cells use them.
class TvlTextEditProperties : public TvlCustomTextEditProperties {
public:
    explicit TvlTextEditProperties(TPersistent* AOwner) : TvlCustomTextEditProperties(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlTextEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

// ---- lookup data -------------------------------------------------------------------

// What the lookup data needs of the editor it serves (the text editor is
// one; tests stand in their own).
class IvlTextEditLookupDataOwner {
public:
    virtual ~IvlTextEditLookupDataOwner() = default;
    virtual const TvlCustomTextEditProperties* LookupProperties() const = 0;
    // The editor's current text.
    virtual String LookupEditText() const = 0;
    // True while the editor asks whether editing may start.
    virtual bool IsInsideDoEditing() const = 0;
    virtual bool LookupDoEditing() = 0;
    // Raised while the lookup data changes the editor's value.
    virtual void SetLookupChanging(bool Value) = 0;
    virtual bool LookupChanging() const = 0;
    virtual TColor LookupBackgroundColor() const { return clWindow; }
    virtual const TFont* LookupFont() const { return nullptr; }
};

// Directions of Go.
enum TvlEditLookupDirection { egdFirst, egdLast, egdNext, egdPrior, egdPageUp, egdPageDown };

class IvlTextEditLookupData {
public:
    virtual ~IvlTextEditLookupData() = default;
    virtual bool CanResizeList() const = 0;
    virtual void CloseList() = 0;
    virtual void ReleaseList() = 0;
    virtual void ListDroppingDown() = 0;
    virtual void ListDroppedDown() = 0;
    virtual bool FindText(const String& AText) const = 0;
    virtual TWinControl* GetListControl() const = 0;
    virtual Variant GetCurrentKey() const = 0;
    virtual String GetKeyDisplayText(const Variant& AKey) const = 0;
    virtual TNotifyEvent GetOnCurrentKeyChanged() const = 0;
    virtual TNotifyEvent GetOnSelectItem() const = 0;
    virtual TSize GetListPreferredSize() const = 0;
    virtual void Go(TvlEditLookupDirection ADirection, bool ACycle) = 0;
    virtual void InitializeList(TWinControl* AParent) = 0;
    virtual bool IsEmpty() const = 0;
    virtual bool IsMouseOverList(const TPoint& AScreenPoint) const = 0;
    virtual bool Locate(String& AText, String& ATail, bool ANext) = 0;
    virtual void PositionList(const TRect& R) = 0;
    virtual void PropertiesChanged() = 0;
    virtual void SelectHighlightedItem() = 0;
    virtual void SetCurrentKey(const Variant& AKey) = 0;
    virtual void SetOnCurrentKeyChanged(const TNotifyEvent& Value) = 0;
    virtual void SetOnSelectItem(const TNotifyEvent& Value) = 0;
    virtual void TextChanged() = 0;
};

// Between an editor and its lookup items: the current key (the item that is
// the editor's value) apart from the item highlighted in the popup list.
class TvlCustomTextEditLookupData : public TvlInterfacedPersistent, public IvlTextEditLookupData {
public:
    explicit TvlCustomTextEditLookupData(IvlTextEditLookupDataOwner* AOwner);
    ~TvlCustomTextEditLookupData() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomTextEditLookupData"); }

    int CurrentKey() const { return FCurrentKey; }
    int ItemIndex() const { return FItemIndex; }
    TvlCustomEditListBox* List() const { return FList; }
    IvlTextEditLookupDataOwner* Edit() const { return FOwner; }

    // IvlTextEditLookupData
    bool CanResizeList() const override { return true; }
    void CloseList() override;
    void ReleaseList() override {}
    void ListDroppingDown() override {}
    void ListDroppedDown() override {}
    bool FindText(const String& AText) const override { return FindItemIndex(AText) >= 0; }
    TWinControl* GetListControl() const override;
    Variant GetCurrentKey() const override { return Variant(FCurrentKey); }
    String GetKeyDisplayText(const Variant& AKey) const override;
    TNotifyEvent GetOnCurrentKeyChanged() const override { return OnCurrentKeyChanged; }
    TNotifyEvent GetOnSelectItem() const override { return OnSelectItem; }
    TSize GetListPreferredSize() const override { return TSize{0, 0}; }
    void Go(TvlEditLookupDirection ADirection, bool ACycle) override;
    void InitializeList(TWinControl* AParent) override;
    bool IsEmpty() const override { return GetItemCount() == 0; }
    bool IsMouseOverList(const TPoint& AScreenPoint) const override;
    bool Locate(String& AText, String& ATail, bool ANext) override;
    void PositionList(const TRect& R) override;
    void PropertiesChanged() override { UpdateListItemCount(); }
    void SelectHighlightedItem() override;
    void SetCurrentKey(const Variant& AKey) override;
    void SetOnCurrentKeyChanged(const TNotifyEvent& Value) override { OnCurrentKeyChanged = Value; }
    void SetOnSelectItem(const TNotifyEvent& Value) override { OnSelectItem = Value; }
    void TextChanged() override;

    // Kept for descendants; this class does not fire it.
    TNotifyEvent OnCurrentKeyChanged;
    TNotifyEvent OnSelectItem;

protected:
    virtual String GetItem(int AIndex) const;
    virtual int GetItemCount() const;
    // Makes the popup list; nullptr: a plain text editor has none.
    virtual std::function<TvlCustomEditListBox*(TComponent* AOwner)> GetListBoxClass() const { return nullptr; }
    virtual void ListItemIndexChanged(TObject* Sender);
    virtual bool InternalLocate(String& AText, String& ATail, bool AWholeText, bool ANext);
    virtual void UpdateListItemCount();

    void InternalSetCurrentKey(int AIndex);
    void SetListItemIndex(int AIndex);
    void DoSelectItem() { OnSelectItem(this); }
    int FindItemIndex(const String& AText) const;
    const TvlCustomTextEditProperties* Properties() const { return FOwner->LookupProperties(); }

private:
    int FCurrentKey = -1;
    int FItemIndex = -1;
    TvlCustomEditListBox* FList = nullptr;  // owned by the popup it sits in
    TvlObjectLink* FListLink = nullptr;
    IvlTextEditLookupDataOwner* FOwner;
};

// ---- the list box of editor popups -------------------------------------------

class TvlCustomEditListBox : public TvlCustomInnerListBox {
public:
    explicit TvlCustomEditListBox(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlCustomEditListBox"); }

    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value) { FHotTrack = Value; }
    // The editor whose popup holds the list (nullptr outside one).
    IvlTextEditLookupDataOwner* GetEdit() const { return FEdit; }
    void SetEdit(IvlTextEditLookupDataOwner* Value) { FEdit = Value; }
    bool IsVisible() const;
    void SetScrollWidth(int AWidth);
    int ScrollWidth() const { return FScrollWidth; }
    // Adds empty rows or deletes rows from the end.
    void SetItemCount(int ACount);
    // The item index with the scroll bars and the select-item event after it.
    void SetItemIndexAndNotify(int Value);

    virtual bool DoDrawItem(int AIndex, const TRect& R, TOwnerDrawState AState)
    {
        (void)AIndex;
        (void)R;
        (void)AState;
        return false;
    }
    virtual String GetItemText(int AIndex) const { return Items()->Strings(AIndex); }
    virtual void RecreateWindow() {}
    virtual int GetHeight(int ARowCount) const { return ARowCount * GetItemHeight(); }
    // The height of "Wg" in the list's font.
    virtual int GetItemHeight() const;
    virtual int GetItemWidth(int AIndex) const;
    bool NeedDrawFocusRect() const override;

    TNotifyEvent OnSelectItem;

protected:
    void DrawItem(int AIndex, const TRect& R, TOwnerDrawState AState) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void Click() override;
    // One wheel notch scrolls the list by the system's line count; true when
    // the last scroll step was taken.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos);
    void Dispatch(TMessage& Message) override;

private:
    bool FHotTrack = true;
    bool FSettingItemIndex = false;
    int FScrollWidth = 0;
    IvlTextEditLookupDataOwner* FEdit = nullptr;
};

// ---- view data and view info ---------------------------------------------------

// Prepared rows of a text in its rectangle.
struct TvlTextOutData {
    bool ForceEndEllipsis = false;
    bool Initialized = false;
    int RowCount = 0;
    int SelStart = 0;
    int SelLength = 0;
    TColor SelTextColor = clHighlightText;
    TColor SelBackgroundColor = clHighlight;
    TvlTextParams TextParams;
    TRect TextRect;
    TvlTextRows TextRows;
};

using TvlTextEditOwnerDrawEvent = std::function<void(TvlCanvas* ACanvas, TRect& R)>;

class TvlCustomTextEditViewInfo : public TvlCustomEditViewInfo {
public:
    String ClassName() const override { return String::fromLatin1("TvlCustomTextEditViewInfo"); }
    void Offset(int DX, int DY) override;
    // The text through the canvas layout (rows prepared on first use).
    virtual void DrawText(TvlCanvas* ACanvas);
    // The y of the text's base line.
    virtual int GetTextBaseLine() const;
    // The base class's forms stay callable beside this class's own.
    using TvlCustomEditViewInfo::NeedShowHintInBounds;
    using TvlCustomEditViewInfo::PrepareCanvasFont;
    // A hint for a text that does not fit the area (or the visible bounds).
    virtual bool NeedShowHintInBounds(const TPoint& P, TRect& ATextRect, bool& AIsMultiLine, String& AText,
                                      const TRect* AVisibleBounds) const;
    virtual void PrepareCanvasFont(TvlCanvas* ACanvas) const { (void)ACanvas; }
    const TvlTextOutData& TextOutData() const { return FTextOutData; }
    void ResetTextOutData() { FTextOutData.Initialized = false; }

    bool ComboBoxStyle = false;
    TvlTextEditOwnerDrawEvent OnOwnerDraw;
    bool DrawSelectionBar = false;
    uint32_t DrawTextFlags = 0;
    TvlEditEditingStyle EditingStyle = esEdit;
    bool HasPopupWindow = false;
    bool InnerEditShowsText = false;
    bool IsOwnerDrawing = false;
    int MaxLineCount = 0;
    int SelStart = 0;
    int SelLength = 0;
    TColor SelTextColor = clHighlightText;
    TColor SelBackgroundColor = clHighlight;
    String Text;
    TRect TextRect;

protected:
    void InternalPaint(TvlCanvas* ACanvas) override;

private:
    void prepareTextOutData(HDC ADC);
    TvlTextOutData FTextOutData;
};

class TvlCustomTextEditViewData : public TvlCustomEditViewData {
public:
    using TvlCustomEditViewData::TvlCustomEditViewData;
    String ClassName() const override { return String::fromLatin1("TvlCustomTextEditViewData"); }
    const TvlCustomTextEditProperties* Properties() const
    {
        return static_cast<const TvlCustomTextEditProperties*>(TvlCustomEditViewData::Properties());
    }

    void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                   TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void EditValueToDrawValue(const Variant& AEditValue, TvlCustomEditViewInfo* AViewInfo) const override;
    TSize MeasureContentCore(TvlCanvas* ACanvas, const Variant& AEditValue,
                             const TvlEditMeasureParams& AParams) const override;

    // The display text of an edit value, through the OnGetDisplayText rule.
    String EditValueToDisplayText(const Variant& AEditValue) const;
    virtual void InternalEditValueToDisplayText(const Variant& AEditValue, String& AText) const;
    virtual bool HasEditableInnerEdit() const;
    virtual int GetMaxLineCount() const { return MaxLineCount; }
    virtual bool IsComboBoxStyle() const { return false; }
    virtual void PrepareDrawTextFlags(TvlCanvas* ACanvas, TvlCustomTextEditViewInfo* AViewInfo) const;
    virtual void DisplayValueToDrawValue(const Variant& ADisplayValue, TvlCustomTextEditViewInfo* AViewInfo) const;
    virtual uint32_t GetDrawTextFlags() const;
    virtual void GetContentOffsets(TRect& AOffsets) const;
    // The content size of a text (see CalculateTextEditContentSize).
    TSize GetTextContentSize(TvlCanvas* ACanvas, const String& AText, const TvlEditMeasureParams& AParams,
                             uint32_t AFlags, int ALineCount = 0) const;

    // The editing style the editor shows (the properties' unless set).
    TvlEditEditingStyle EditingStyle() const;
    // Set when the data field itself supplies the display text.
    bool DataFieldText = false;
    // An OnGetDisplayText rule of the editor.
    std::function<void(String& AText)> OnGetDisplayText;
};

// Lays out and draws a text in a rectangle through the canvas layout: the
// routine behind the view info's text and the grid cells.
void DrawTextEditText(TvlCanvas* ACanvas, const String& AText, TvlTextOutData& AData, uint32_t AFlags,
                      int AMaxLineCount);

// ---- the editor control ------------------------------------------------------------

// The base control of every text-based editor: edits its value as text in
// an inner edit, completes typed text from the lookup items, moves through
// them with keys and the wheel, and keeps MaxLength, lookup validity and
// live thousand separators on every way text gets in.
class TvlCustomTextEdit : public TvlCustomEdit, public IvlTextEditLookupDataOwner, public IvlInnerTextEditOwner {
public:
    // Ready at once; descendants construct through the deferring
    // constructor and are made with Create / CreateInplace.
    explicit TvlCustomTextEdit(TComponent* AOwner, bool AIsInplace = false);
    ~TvlCustomTextEdit() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomTextEdit"); }
    void Initialize() override;

    TvlCustomTextEditProperties* Properties() const
    {
        return static_cast<TvlCustomTextEditProperties*>(TvlCustomEdit::Properties());
    }
    TvlCustomTextEditProperties* ActiveProperties() const
    {
        return static_cast<TvlCustomTextEditProperties*>(TvlCustomEdit::ActiveProperties());
    }
    // nullptr while the inner edit is not made.
    IvlInnerTextEdit* InnerTextEdit() const;
    IvlTextEditLookupData* ILookupData() const;
    TvlCustomTextEditLookupData* LookupData() const { return FLookupData.get(); }
    TvlCustomTextEditViewInfo* ViewInfo() const;

    // The editing text (the saved text once the editor is being destroyed).
    String Text() const;
    // TControl::SetText goes through WM_SETTEXT: the editor's rules decide.
    String TextHint() const;
    void SetTextHint(const String& Value);

    // Selection in the inner edit: 0 in the no-edit style, and in the
    // fixed-list style while no completed lookup text is selected.
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    String SelText() const;
    void SetSelection(int AStart, int ALength);
    int GetCaretCharIndex() const;

    // The current lookup item (-1: none) and its object.
    int ItemIndex() const { return GetItemIndex(); }
    virtual int GetItemIndex() const;
    virtual void SetItemIndex(int Value);
    TObject* ItemObject() const { return GetItemObject(); }

    // The completed tail of a lookup item is selected after the typed part.
    bool LookupSelection() const { return FLookupSelection; }
    void ResetLookupSelection(bool AState);
    // Set by a drop-down editor whose popup a key closed: the next Enter or
    // Escape character is dropped.
    bool SwallowNextEnterEscape() const { return FSwallowNextEnterEscape; }
    void SetSwallowNextEnterEscape(bool Value) { FSwallowNextEnterEscape = Value; }
    bool IsSynchronizing() const { return FSynchronizing; }

    // Completes the typed text from the lookup items: on success the text
    // takes the item's spelling and the completed tail is selected.
    bool LocateTypedText(String& ATypedText);

    // Replaces the selection (typing rules included) when allowed.
    virtual void SetSelText(const String& AText);
    // IvlInnerTextEditOwner
    void ClearSelection() override;
    void UndoPerformed() override {}

    void CopyToClipboard() override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;
    void SelectAll() override;
    bool IsTextEditable() const override;
    bool WantNavigationKeys() const override { return true; }
    int GetTextBaseLine() const override;
    bool HasTextBaseLine() const override { return true; }
    virtual bool CanSpellCheck() const;

    // IvlTextEditLookupDataOwner
    const TvlCustomTextEditProperties* LookupProperties() const override { return ActiveProperties(); }
    String LookupEditText() const override;
    bool IsInsideDoEditing() const override { return FInsideDoEditing; }
    bool LookupDoEditing() override { return DoEditing(); }
    void SetLookupChanging(bool Value) override { FLookupChanging = Value; }
    bool LookupChanging() const override { return FLookupChanging; }
    TColor LookupBackgroundColor() const override;
    const TFont* LookupFont() const override;

    void SetDisplayValue(const Variant& V) override;
    bool DoEditing() override;
    void Activate(TvlCustomEditData*& AEditData) override;
    void UnlockInnerEditRepainting() override;
    void KeyPress(QChar& Key) override;

protected:
    TvlCustomTextEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize);

    // Introduced, in the order descendants override them.
    virtual void FormatChanged();
    virtual void UpdateInnerEditAppearance();
    // Whether replacing the selection by AText may be applied; ANewText and
    // ANewCaret give the text and caret after it.
    virtual bool CanChangeSelText(const String& AText, String& ANewText, int& ANewCaret);
    virtual void CheckEditorValueBounds();
    virtual void InternalCheckEditorValueBounds() {}
    virtual void DoOnNewLookupDisplayText(const String& AText);
    virtual int GetInnerEditTextHeight() const;
    virtual TObject* GetItemObject() const;
    virtual bool CanNavigateLookupItems(bool AForWheel) const
    {
        (void)AForWheel;
        return false;
    }
    virtual void HandleSelectItem(TObject* Sender);
    virtual String GetEditingText() const;
    virtual bool SetEditingTextValue(const String& AText) { return InternalSetEditingText(AText); }
    virtual Variant ItemIndexToLookupKey(int AItemIndex) const { return Variant(AItemIndex); }
    virtual Variant LookupKeyToEditValue(const Variant& AKey) const;
    virtual int LookupKeyToItemIndex(const Variant& AKey) const;
    // A standalone editor whose data binding keeps no data of its own.
    virtual bool CanCheckLookupText() const;
    virtual void ResetTextCursorState();
    virtual void HandleInnerEditSelChange(TObject* Sender) { (void)Sender; }
    virtual void SetEditingText(const String& AText);
    virtual void CheckLookupText();
    virtual void RefreshFromDataBinding() { Reset(); }
    // Text typed into a numeric editor gets its thousand separators at once.
    virtual void CheckNumericEditText();

    // Overrides.
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
    TvlInnerEditClass GetInnerEditClass() const override;
    void GetDisplayValue(Variant& V) const override;
    void SetInternalDisplayValue(const Variant& V) override;
    void SynchronizeDisplayValue() override;
    void SynchronizeEditValue() override;
    void PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
    void GetInnerEditText(String& AText) const override;
    void SetInnerEditDisplayValue(const Variant& V) override;
    bool InternalSetEditingText(const String& AText) override;
    // With APost a standalone, unfocused editor posts the text at once.
    void InternalSetText(const String& AText) override { InternalSetTextAndPost(AText, false); }
    virtual void InternalSetTextAndPost(const String& AText, bool APost);
    void UpdateDrawValue() override;
    void DoEditValueChanged() override;
    void ChangeHandler(TObject* Sender) override;
    void DoValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError) override;
    bool CanStartEditing() const override;
    bool CanKeyDownModifyEdit(uint16_t Key, TShiftState Shift) const override;
    bool CanKeyPressModifyEdit(QChar Key) const override;
    bool IsValidChar(QChar Key) const override;
    void DoEditKeyDown(uint16_t& Key, TShiftState Shift) override;
    void DoEditKeyPress(QChar& Key) override;
    void DoExit() override;
    void DoFocusChanged() override;
    bool DoInnerControlDefaultHandler(TMessage& Message) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void PropertiesChanged(TObject* Sender) override;
    void AdjustInnerEditPosition() override;
    void GetInnerControlBounds(const TRect& R, TControl* AControl, TvlInnerControlBounds& ABounds) const override;
    void GetEditSizeProperties(TvlEditSizeProperties& AMeasureParams) const override;
    bool RefreshContainer(const TPoint& P, TvlMouseButton Button, TShiftState Shift, bool IsMouseEvent) override;
    void ContainerStyleChanged(TObject* Sender) override;
    void Loaded() override;
    void Dispatch(TMessage& Message) override;

    bool FLookupChanging = false;
    bool FNavigating = false;

private:
    void init();
    void formatListenerChanged() { FormatChanged(); }
    bool isEditStyle(TvlEditEditingStyle AStyle) const;
    TvlEditEditingStyle editingStyle() const;
    void navigate(uint16_t Key, TShiftState Shift);
    void goLookup(TvlEditLookupDirection ADirection);
    String clipboardText() const;
    String GetInnerEditTextValue() const;
    const IvlInnerTextEdit* visibleSelection() const;
    void handleGetText(TMessage& Message);

    class TFormatListener;
    bool FLookupSelection = false;
    bool FSettingText = false;
    bool FSynchronizing = false;
    String FSavedText;
    bool FPositioning = false;
    bool FSwallowNextEnterEscape = false;
    std::unique_ptr<TvlCustomTextEditLookupData> FLookupData;
    bool FAutoCorrect = false;
    bool FInsideDoEditing = false;
    std::unique_ptr<TFormatListener> FFormatListener;
};

// The single-line text editor.
class TvlTextEdit : public TvlCustomTextEdit {
public:
    explicit TvlTextEdit(TComponent* AOwner, bool AIsInplace = false);
    String ClassName() const override { return String::fromLatin1("TvlTextEdit"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TvlTextEditProperties* Properties() const
    {
        return static_cast<TvlTextEditProperties*>(TvlCustomTextEdit::Properties());
    }
    TvlTextEditProperties* ActiveProperties() const
    {
        return static_cast<TvlTextEditProperties*>(TvlCustomTextEdit::ActiveProperties());
    }

protected:
    TvlTextEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize);
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
};
