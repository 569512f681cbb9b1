// vlEdit.h - the editor framework: the settings object of every editor kind
// (properties), their registry and shared repository, editor buttons and
// the objects that measure and paint an editor or a grid cell.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/controls/Menus.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Variant.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vlContainer.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vxCore.h"

class TvlCustomEditProperties;
class TvlCustomEditViewInfo;
class TvlCustomEditViewData;
class TvlCustomEditStyle;
class TvlCustomEdit;
class TvlEditRepositoryItem;
class TStartupList;
struct TvlEditMeasureParams;

// Misuse of an editor or of its helpers.
VORLANE_DECLARE_EXCEPTION(EvlEditError, EvxException);

// #0, tab, line feed, form feed, carriage return and the space.
inline bool IsBlankChar(QChar C)
{
    const char16_t u = C.unicode();
    return u == 0 || u == 9 || u == 10 || u == 12 || u == 13 || u == 32;
}

// ---- enumerations -------------------------------------------------------------

enum TvlEditBorderStyle { ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11 };
enum TvlEditButtonStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11 };
enum TvlEditButtonTransparency { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected };
enum TvlEditPopupBorderStyle { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };
enum TvlEditButtonKind { bkEllipsis, bkDown, bkGlyph, bkText };
// dirLeft..dirDown of TvlDirection.
using TvlEditGradientDirection = TvlDirection;
enum TvlEditButtonDrawState { bdsDisabled, bdsNormal, bdsPressed, bdsHot };
enum TvlEditButtonsLayout { eblNormal, eblButtonsOnly, eblButtonsAutoWidth };

// ---- buttons ------------------------------------------------------------------

class TvlEditButtons;

// One button of an editor.
class TvlEditButton : public TCollectionItem {
public:
    explicit TvlEditButton(TCollection* Collection);
    ~TvlEditButton() override;
    String ClassName() const override { return String::fromLatin1("TvlEditButton"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    TAlignment ContentAlignment() const { return FContentAlignment; }
    void SetContentAlignment(TAlignment Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // An empty bitmap is made on the first read; editing it in place
    // reports a change of the button.
    TBitmap* Glyph();
    // The glyph when there is one, without making it.
    TBitmap* GlyphIfAny() const { return FGlyph.get(); }
    // nullptr frees the bitmap; anything else is copied in.
    void SetGlyph(const TBitmap* Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    TvlEditButtonKind Kind() const { return FKind; }
    void SetKind(TvlEditButtonKind Value);
    bool LeftAlignment() const { return FLeftAlignment; }
    void SetLeftAlignment(bool Value);
    bool Stretchable() const { return FStretchable; }
    void SetStretchable(bool Value);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // The caption without accelerator marks.
    const String& VisibleCaption() const { return FVisibleCaption; }
    int Width() const { return FWidth; }
    // A negative width is refused; 0 asks for the content's width.
    void SetWidth(int Value);

private:
    void glyphChanged(TObject*) { Changed(false); }
    // Stores and reports a value that differs.
    template <class T>
    void setValue(T& AField, T Value)
    {
        if (Value == AField)
            return;
        AField = Value;
        Changed(false);
    }

    String FCaption;
    TAlignment FContentAlignment = taCenter;
    bool FDefault = false;
    bool FEnabled = true;
    std::unique_ptr<TBitmap> FGlyph;
    String FHint;
    TvlEditButtonKind FKind = bkDown;
    bool FLeftAlignment = false;
    bool FStretchable = true;
    int FTag = 0;
    TColor FTextColor = clBtnText;
    bool FVisible = true;
    String FVisibleCaption;
    int FWidth = 0;
};

using TvlEditButtonsClass = std::function<std::unique_ptr<TvlEditButtons>(TPersistent* AOwner)>;

class TvlEditButtons : public TCollection {
public:
    TvlEditButtons(TPersistent* AOwner, TCollectionItemClass AButtonClass);
    String ClassName() const override { return String::fromLatin1("TvlEditButtons"); }
    static TCollectionItemClass ButtonItemClass() { return ItemClassOf<TvlEditButton>(); }

    TvlEditButton* Add() { return static_cast<TvlEditButton*>(TCollection::Add()); }
    TvlEditButton* Items(int Index) const { return static_cast<TvlEditButton*>(TCollection::Items(Index)); }
    int VisibleButtonCount() const;

    TNotifyEvent OnChange;

protected:
    TPersistent* GetOwner() const override { return FOwner; }
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FOwner;
};

// What a button needs for painting.
struct TvlEditButtonViewInfoData {
    TColor BackgroundColor = clBtnFace;
    String Caption;
    TAlignment ContentAlignment = taCenter;
    bool Default = false;
    bool Gradient = false;
    String Hint;
    bool IsInplace = false;
    TvlEditButtonKind Kind = bkDown;
    bool LeftAlignment = false;
    bool Leftmost = false;
    bool NativeStyle = false;
    bool Rightmost = false;
    TvlEditButtonDrawState State = bdsNormal;
    TvlEditButtonStyle Style = btsDefault;
    TColor TextColor = clBtnText;
    bool Transparent = false;
    String VisibleCaption;
    bool BackgroundPartiallyTransparent = false;
    bool ComboBoxStyle = false;
    int NativePart = 0;  // 0: not themed
    int NativeState = 0;
};

// A button as calculated for one editor or cell.
class TvlEditButtonViewInfo : public TPersistent {
public:
    String ClassName() const override { return String::fromLatin1("TvlEditButtonViewInfo"); }
    // The theme state, background colour, bounds, style and state.
    void Assign(const TPersistent* Source) override;
    // Empty unless style, state, background colour or theme state differ.
    virtual TRegion GetUpdateRegion(const TvlEditButtonViewInfo* AOldButtonViewInfo) const;
    // Invalidates the bounds (moved by AEditPosition) in the control's
    // window when any of those differ; true when it did.
    virtual bool Repaint(TWinControl* AControl, const TvlEditButtonViewInfo* AOldButtonViewInfo,
                         const TPoint& AEditPosition) const;

    TRect Bounds;
    TvlEditButtonViewInfoData Data;
    TBitmap* Glyph = nullptr;  // the button's own
    bool HasBackground = false;
    int Index = 0;
    bool Stretchable = true;
    TRect VisibleBounds;
    int Width = 0;

private:
    bool differsFrom(const TvlEditButtonViewInfo* AOld) const;
};

// ---- alignment, assigned values, default values -----------------------------

class TvlEditAlignment : public TPersistent {
public:
    explicit TvlEditAlignment(TPersistent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlEditAlignment"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;
    // Horz unassigned, then the change handler.
    void Reset();

    TAlignment Horz() const { return FHorz; }
    void SetHorz(TAlignment Value);
    bool IsHorzAssigned() const { return FIsHorzAssigned; }
    TvlEditVertAlignment Vert() const { return FVert; }
    void SetVert(TvlEditVertAlignment Value);
    bool IsHorzStored() const { return FIsHorzAssigned; }
    bool IsVertStored() const;

    TNotifyEvent OnChanged;

protected:
    TPersistent* GetOwner() const override { return FOwner; }

private:
    friend class TvlCustomEditProperties;
    void doChanged();

    TAlignment FHorz;
    bool FIsHorzAssigned = false;
    TPersistent* FOwner;
    TvlEditVertAlignment FVert;
};

// Which of MaxValue, MinValue and ReadOnly were set on the properties.
class TvlCustomEditPropertiesValues : public TPersistent {
public:
    explicit TvlCustomEditPropertiesValues(TPersistent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlCustomEditPropertiesValues"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;
    virtual void RestoreDefaults();

    bool MaxValue() const { return FMaxValue; }
    void SetMaxValue(bool Value);
    bool MinValue() const { return FMinValue; }
    void SetMinValue(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // A set flag is written only where the value itself (0) is not.
    bool IsMaxValueStored() const;
    bool IsMinValueStored() const;

protected:
    TPersistent* GetOwner() const override { return FOwner; }
    TvlCustomEditProperties* Properties() const;

private:
    void setFlag(bool& AFlag, bool Value);

    TPersistent* FOwner;
    bool FMaxValue = false;
    bool FMinValue = false;
    bool FReadOnly = false;
};

using TvlCustomEditPropertiesValuesClass =
    std::function<std::unique_ptr<TvlCustomEditPropertiesValues>(TPersistent* AOwner)>;

// Defaults that data (a grid column's field) supplies where the user set
// nothing. The queries without a name are kept for their slots: nothing in
// this program overrides them.
class IvlEditDefaultValuesProvider {
public:
    virtual ~IvlEditDefaultValuesProvider() = default;
    virtual bool IsDataReady() const = 0;
    virtual void DetachFromProperties() = 0;
    virtual TAlignment ProvidedAlignment() const = 0;
    virtual int ProvidedBlobKind() const = 0;
    virtual bool CanModifyData() const = 0;
    virtual String ProvidedDisplayFormat() const = 0;
    virtual String ProvidedText() const = 0;
    virtual String ProvidedEditMask() const = 0;
    virtual int ProvidedSpinValueType() const = 0;
    virtual int ProvidedMaxLength() const = 0;
    virtual double ProvidedMaxValue() const = 0;
    virtual double ProvidedMinValue() const = 0;
    virtual int ProvidedPrecision() const = 0;
    virtual bool ProvidedReadOnly() const = 0;
    virtual bool ProvidedIsFloat() const = 0;
    virtual TObject* GetProviderObject() = 0;
    virtual bool IsLookupField() const = 0;
    virtual bool IsBlob() const = 0;
    virtual bool IsDateTime() const = 0;
    virtual bool HasDataAvailable() const = 0;
    virtual bool DefinesDisplayFormat(bool AFlag) const = 0;
    virtual bool IsCurrency() const = 0;
    virtual bool IsOnSetTextAssigned() const = 0;
    virtual bool AcceptsChar(QChar AChar) const = 0;
};

class TvlCustomEditDefaultValuesProvider : public TvlInterfacedPersistent, public IvlEditDefaultValuesProvider {
public:
    explicit TvlCustomEditDefaultValuesProvider(TPersistent* AOwner) : TvlInterfacedPersistent(AOwner) {}
    // Detaches itself from every properties object that uses it.
    ~TvlCustomEditDefaultValuesProvider() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomEditDefaultValuesProvider"); }

    bool IsDataReady() const override { return true; }
    void DetachFromProperties() override;
    TAlignment ProvidedAlignment() const override { return taLeftJustify; }
    int ProvidedBlobKind() const override { return 3; }
    bool CanModifyData() const override { return true; }
    String ProvidedDisplayFormat() const override { return String(); }
    String ProvidedText() const override { return String(); }
    String ProvidedEditMask() const override { return String(); }
    int ProvidedSpinValueType() const override { return 0; }
    int ProvidedMaxLength() const override { return 0; }
    double ProvidedMaxValue() const override { return 0.0; }
    double ProvidedMinValue() const override { return 0.0; }
    int ProvidedPrecision() const override { return 15; }
    bool ProvidedReadOnly() const override { return false; }
    bool ProvidedIsFloat() const override { return false; }
    TObject* GetProviderObject() override { return this; }
    bool IsLookupField() const override { return false; }
    bool IsBlob() const override { return false; }
    bool IsDateTime() const override { return false; }
    bool HasDataAvailable() const override { return true; }
    bool DefinesDisplayFormat(bool) const override { return false; }
    bool IsCurrency() const override { return false; }
    bool IsOnSetTextAssigned() const override { return false; }
    bool AcceptsChar(QChar) const override { return true; }
};

// ---- properties -----------------------------------------------------------------

using TvlEditButtonClickEvent = TDelegate<void(TObject* Sender, int AButtonIndex)>;
using TvlEditValidateEvent =
    TDelegate<void(TObject* Sender, Variant& DisplayValue, String& ErrorText, bool& Error)>;
using TvlEditPopupCloseEvent = TDelegate<void(TObject* Sender, int AReason)>;

// Makes an editor of one class (owned by AOwner).
using TvlCustomEditClass = std::function<TvlCustomEdit*(TComponent* AOwner, bool AIsInplace)>;

// Bits of GetSupportedOperations: what a grid may do with a column that
// shows its values through these properties.
enum : uint32_t {
    vlesoAlwaysHotTrack = 1u << 0, vlesoAutoHeight = 1u << 1, vlesoIncSearch = 1u << 2, vlesoFiltering = 1u << 3,
    vlesoGrouping = 1u << 4, vlesoShowingButtons = 1u << 5, vlesoSortingByDisplayText = 1u << 6, vlesoSorting = 1u << 8
};

class TvlCustomEditProperties : public TvlInterfacedPersistent {
public:
    explicit TvlCustomEditProperties(TPersistent* AOwner);
    ~TvlCustomEditProperties() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    TPersistent* Owner() const { return GetOwner(); }

    // Another properties object's settings; the popup-close and
    // properties-changed handlers stay this object's own.
    void Assign(const TPersistent* Source) override;

    // A change reported while the update counter is above 0 (or the change
    // lock is set) waits for the last EndUpdate.
    void BeginUpdate();
    void EndUpdate(bool AInvokeChanged = true);
    void Changed();
    bool IsChangedLocked() const { return FChangedLocked || FUpdateCount > 0; }
    bool ChangedPending() const { return FChangedOccurred; }
    // Holds changes back; unlocking reports nothing held back.
    void LockUpdate(bool ALock) { FChangedLocked = ALock; }
    bool IsChanging() const { return FIsChangingCount > 0; }

    // Published and run-time properties.
    TvlEditAlignment* Alignment() const;
    void SetAlignment(const TvlEditAlignment* Value) { SetAlignmentCore(Value); }
    TvlCustomEditPropertiesValues* AssignedValues() const { return FAssignedValues.get(); }
    void SetAssignedValues(const TvlCustomEditPropertiesValues* Value) { FAssignedValues->Assign(Value); }
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value);
    bool BeepOnError() const { return FBeepOnError; }
    void SetBeepOnError(bool Value) { FBeepOnError = Value; }
    TvlEditButtons* Buttons() const { return FButtons.get(); }
    void SetButtons(const TvlEditButtons* Value) { FButtons->Assign(Value); }
    TvlEditButtonsLayout ButtonsLayout() const { return FButtonsLayout; }
    void SetButtonsLayout(TvlEditButtonsLayout Value);
    TShortCut ClearKey() const { return FClearKey; }
    void SetClearKey(TShortCut Value) { FClearKey = Value; }
    TShortCut ClickKey() const { return FClickKey; }
    void SetClickKey(TShortCut Value) { FClickKey = Value; }
    bool ImmediatePost() const { return FImmediatePost; }
    void SetImmediatePost(bool Value) { FImmediatePost = Value; }
    double MaxValue() const { return GetMaxValue(); }
    void SetMaxValue(double Value);
    double MinValue() const { return GetMinValue(); }
    void SetMinValue(double Value);
    bool ReadOnly() const { return GetReadOnly(); }
    void SetReadOnly(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool UseLeftAlignmentOnEditing() const { return FUseLeftAlignmentOnEditing; }
    void SetUseLeftAlignmentOnEditing(bool Value);
    bool AllowMouseWheel() const { return FAllowMouseWheel; }
    void SetAllowMouseWheel(bool Value) { FAllowMouseWheel = Value; }
    bool ValidateOnEnter() const { return FValidateOnEnter; }
    void SetValidateOnEnter(bool Value) { FValidateOnEnter = Value; }
    bool IsMaxValueStored() const { return FAssignedValues->MaxValue(); }
    bool IsMinValueStored() const { return FAssignedValues->MinValue(); }
    bool IsReadOnlyStored() const { return FAssignedValues->ReadOnly(); }
    bool IsUseLeftAlignmentOnEditingStored() const;
    bool IsAlignmentStored() const;

    IvlEditDefaultValuesProvider* DefaultValuesProvider() const { return FDefaultValuesProvider; }
    void SetDefaultValuesProvider(IvlEditDefaultValuesProvider* AProvider);
    bool CanModify() const;
    bool IsProviderDisplayFormatUsed(bool AEditFocused) const;
    // Tells FreeNotification of the components the properties refer to.
    TvlFreeNotificator* FreeNotificator() const { return FFreeNotificator.get(); }
    std::unique_ptr<TvlCustomEditProperties> CreatePreviewProperties() const;

    // Virtual operations in the order descendants override them.
    virtual void AlignmentChangedHandler(TObject* Sender);
    virtual void SetAlignmentCore(const TvlEditAlignment* Value);
    virtual void ButtonsChanged(TObject* Sender);
    virtual bool CanValidate() const { return false; }
    virtual bool DefaultUseLeftAlignmentOnEditing() const { return true; }
    virtual void DefaultValuesProviderDestroyed();
    virtual void DoChanged();
    virtual void FreeNotification(TComponent*) {}
    virtual TvlCustomEditPropertiesValuesClass GetAssignedValuesClass() const;
    virtual TAlignment GetDefaultHorzAlignment() const;
    // Bit 0: a display format is supported; bit 1: the second option.
    virtual uint32_t GetDisplayFormatOptions() const { return 0; }
    virtual double GetMaxValue() const;
    virtual double GetMinValue() const;
    virtual bool GetReadOnly() const;
    virtual String GetValidateErrorText(int AErrorKind) const;
    virtual bool IsDisplayFormatDefined(bool AFlag) const;
    virtual bool UsesInnerEditChangeEvent() const { return false; }
    virtual bool HandlesTabKey() const { return false; }
    virtual bool IsEditValueConversionDependOnFocused() const { return true; }
    virtual bool HasDisplayValue() const { return false; }
    virtual TvlEditButtonsClass GetButtonsClass() const;
    // The editor these properties belong to.
    virtual TvlCustomEditClass GetContainerClass() const;
    virtual void Update(TvlCustomEditProperties*) {}
    virtual bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) const;
    // The text a value shows (hints and copying use it too).
    virtual String GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) const;
    virtual uint32_t GetSpecialFeatures() const { return 0; }
    virtual uint32_t GetSupportedOperations() const;
    virtual bool IsActivationKey(QChar) const { return false; }
    virtual bool IsEditValueValid(Variant&, bool) const { return true; }
    virtual bool IsResetEditClass() const { return false; }
    virtual void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) const;
    virtual void RestoreDefaults();
    // Nothing unless the properties validate; fills in the default error
    // text, then runs the handlers (DoValidate). Raising is the editor's
    // business.
    virtual void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                      TvlCustomEdit* AEdit) const;
    // 0: the edit value; the text editors answer 1 (the text) unfocused.
    virtual int GetEditValueSource(bool AEditFocused) const;
    // A view info of this kind with its own settings applied.
    virtual std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const;
    // The calculator that measures this properties object in a style and
    // fills view infos of the kind CreateViewInfo makes.
    virtual std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                                  bool APreviewMode = false) const;
    // The size a value needs in a style, measured by a view data made for it.
    TSize GetEditSize(TvlCanvas* ACanvas, TvlCustomEditStyle* AStyle, bool AIsInplace, const Variant& AEditValue,
                      const TvlEditMeasureParams& AEditSizeProperties) const;

    TvlEditButtonClickEvent OnButtonClick;
    TNotifyEvent OnChange;
    TvlEditPopupCloseEvent OnPopupClose;
    TNotifyEvent OnEditValueChanged;
    TvlEditValidateEvent OnValidate;
    // Set by the owner (editor or repository item); not copied by Assign.
    TNotifyEvent OnPropertiesChanged;

protected:
    // The class-reference constructor: a new object of this object's class.
    virtual std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const;
    // The editor's OnValidate handlers: its own properties' first, then its
    // repository item's (these properties' own without an editor). A
    // handler that reports an error but leaves the value keeps the typed
    // text; one that replaces the value sets AIsUserErrorDisplayValue.
    void DoValidate(Variant& ADisplayValue, String& AErrorText, bool& AIsUserErrorDisplayValue,
                    TvlCustomEdit* AEdit, bool& AError) const;
    // Descendants with their own assigned-values class call this from their
    // constructors.
    void RecreateAssignedValues();

private:
    friend class TvlEditAlignment;
    void freeNotification(TComponent* AComponent) { FreeNotification(AComponent); }
    // Stores and reports a value that differs.
    template <class T>
    void setValue(T& AField, T Value)
    {
        if (Value == AField)
            return;
        AField = Value;
        Changed();
    }

    bool FAutoSelect = true;
    bool FBeepOnError = false;
    std::unique_ptr<TvlEditButtons> FButtons;
    TvlEditButtonsLayout FButtonsLayout = eblNormal;
    bool FChangedOccurred = false;
    TShortCut FClearKey = 0;
    TShortCut FClickKey = scCtrl | 13;
    std::unique_ptr<TvlFreeNotificator> FFreeNotificator;
    bool FImmediatePost = false;
    std::unique_ptr<TvlEditAlignment> FInnerAlignment;
    int FIsChangingCount = 0;
    double FMaxValue = 0;
    double FMinValue = 0;
    bool FReadOnly = false;
    bool FTransparent = false;
    int FUpdateCount = 0;
    bool FUseLeftAlignmentOnEditing = true;
    bool FAllowMouseWheel = true;
    bool FValidateOnEnter = false;
    // Refreshed from the inner alignment by its getter.
    std::unique_ptr<TvlEditAlignment> FAlignment;
    std::unique_ptr<TvlCustomEditPropertiesValues> FAssignedValues;
    bool FChangedLocked = false;
    IvlEditDefaultValuesProvider* FDefaultValuesProvider = nullptr;
};

// ---- registries ---------------------------------------------------------------------

// Makes a properties object of one class for an owner.
using TvlEditPropertiesFactory = std::function<std::unique_ptr<TvlCustomEditProperties>(TPersistent* AOwner)>;

// The registered properties classes, sorted by description; each entry's
// text is "name|description".
TvlRegisteredClasses* GetRegisteredEditProperties();
// Enters a class (once) with its registration text and factory.
void RegisterEditProperties(TvlClass AClass, const String& ARegistrationText, TvlEditPropertiesFactory AFactory);
void UnregisterEditProperties(TvlClass AClass);
// A properties object of a registered class; nullptr for an unregistered one.
std::unique_ptr<TvlCustomEditProperties> CreateEditProperties(TvlClass AClass, TPersistent* AOwner);
// The registered class of that class name (case matters); nullptr when none.
TvlClass FindEditPropertiesClass(const String& AClassName);

// ---- repository ---------------------------------------------------------------------

class IvlEditRepositoryItemObserver {
public:
    virtual ~IvlEditRepositoryItemObserver() = default;
    virtual void RepositoryItemFreed(TvlEditRepositoryItem* AItem) = 0;
    virtual void ItemPropertiesChanged(TvlEditRepositoryItem* AItem) = 0;
};

class TvlEditRepository;

// One properties object shared by the editors and grid columns linked to it.
class TvlEditRepositoryItem : public TComponent {
public:
    explicit TvlEditRepositoryItem(TComponent* AOwner);
    ~TvlEditRepositoryItem() override;
    String ClassName() const override { return String::fromLatin1("TvlEditRepositoryItem"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TvlCustomEditProperties* Properties() const { return FProperties.get(); }
    void SetProperties(const TvlCustomEditProperties* Value) { FProperties->Assign(Value); }
    TvlEditRepository* Repository() const { return FRepository; }
    void SetRepository(TvlEditRepository* Value) { MoveToRepository(Value); }
    TNotifyEvent PropertiesEvents;

    virtual void PropertiesChanged(TObject* Sender);
    virtual void AttachObserver(IvlEditRepositoryItemObserver* AObserver);
    virtual void DetachObserver(IvlEditRepositoryItemObserver* AObserver);
    int ObserverCount() const { return int(FListenerList.size()); }
    virtual String ProposeItemName() const;
    bool ArePropertiesOfClass(TvlClass AClass) const;

    bool HasParent() const;
    TComponent* GetParentComponent() const;
    // EInvalidCast for anything but a repository; ignored while loading.
    void SetParentComponent(TComponent* AParent);
    void MoveToRepository(TvlEditRepository* ARepository);

protected:
    // The properties of the item's class; made by the constructor.
    virtual std::unique_ptr<TvlCustomEditProperties> CreatePropertiesOfItem();
    // Descendants call this from their constructors to get their own class.
    void RecreateProperties();

private:
    std::vector<IvlEditRepositoryItemObserver*> FListenerList;
    std::unique_ptr<TvlCustomEditProperties> FProperties;
    TvlEditRepository* FRepository = nullptr;
};

using TvlEditRepositoryItemClass = std::function<TvlEditRepositoryItem*(TComponent* AOwner)>;

class TvlEditRepository : public TComponent {
public:
    explicit TvlEditRepository(TComponent* AOwner);
    ~TvlEditRepository() override;
    String ClassName() const override { return String::fromLatin1("TvlEditRepository"); }

    virtual TvlEditRepositoryItem* NewItem(const TvlEditRepositoryItemClass& AItemClass);
    virtual TvlEditRepositoryItem* NewItemEx(const TvlEditRepositoryItemClass& AItemClass, TComponent* AOwner);
    int Count() const { return int(FItems.size()); }
    TvlEditRepositoryItem* Items(int Index) const { return FItems.at(size_t(Index)); }
    void EnlistItem(TvlEditRepositoryItem* AItem);
    void DelistItem(TvlEditRepositoryItem* AItem);

private:
    std::vector<TvlEditRepositoryItem*> FItems;  // not owned by the list
    bool FDestroying = false;
};

TvlEditRepository* GetDefaultEditRepository();

// ---- styles ---------------------------------------------------------------------

class TvlEditStyleController;

// The values an edit style adds to the container's ten.
enum : TvlContainerStyleValue {
    svButtonStyle = 10, svButtonTransparency = 11, svPopupBorderStyle = 12, svGradientButtons = 13,
    svGradient = 14, svGradientDirection = 15
};

// A container style with six more values: the button style (kept by each
// state style) and five that the normal style keeps for all four.
class TvlCustomEditStyle : public TvlContainerStyle {
public:
    TvlCustomEditStyle(TPersistent* AOwner, TvlContainerStateItem AState, TvlContainerStyle* AParentStyle,
                       bool ADirectAccessMode);
    String ClassName() const override { return String::fromLatin1("TvlCustomEditStyle"); }
    void Assign(const TPersistent* Source) override;

    TvlEditButtonStyle ButtonStyle() const;
    void SetButtonStyle(TvlEditButtonStyle Value);
    TvlEditButtonTransparency ButtonTransparency() const;
    void SetButtonTransparency(TvlEditButtonTransparency Value);
    bool Gradient() const;
    void SetGradient(bool Value);
    // Never set: read as False everywhere.
    bool GradientButtons() const;
    TvlEditGradientDirection GradientDirection() const;
    void SetGradientDirection(TvlEditGradientDirection Value);
    TvlEditPopupBorderStyle PopupBorderStyle() const;
    void SetPopupBorderStyle(TvlEditPopupBorderStyle Value);
    bool PopupCloseButton() const;
    void SetPopupCloseButton(bool Value);
    TvlEditBorderStyle GetBorderStyle() const { return TvlEditBorderStyle(TvlContainerStyle::BorderStyle()); }
    void SetBorderStyle(TvlEditBorderStyle Value) { TvlContainerStyle::SetBorderStyle(TvlContainerBorderStyle(Value)); }
    TvlEditStyleController* StyleController() const;
    void SetStyleController(TvlEditStyleController* Value);
    // The editor owning the style, if an editor does.
    TvlCustomEdit* Edit() const;

    TvlStyleController* GetDefaultStyleController() const override;
    bool IsValueAssigned(TvlContainerStyleValue AValue) const override;
    int GetStyleValueCount() const override { return 16; }
    bool GetStyleValueName(TvlContainerStyleValue AStyleValue, String& AName) const override;
    // Whether the value is written: assigned, and published by the editor.
    bool IsEditValueStored(TvlContainerStyleValue AValue) const;

protected:
    TvlContainerStyleValues InternalGetNotPublishedExtendedStyleValues() const override;
    virtual TvlEditButtonStyle FallbackButtonStyle() const;
    virtual TvlEditButtonTransparency FallbackButtonTransparency() const;
    virtual bool FallbackGradient() const;
    virtual bool FallbackGradientButtons() const;
    virtual TvlEditGradientDirection FallbackGradientDirection() const;
    virtual TvlEditPopupBorderStyle FallbackPopupBorderStyle() const;

private:
    // The own field when its bit is set, else the same lookup on the active
    // controller's style of this state; nullptr when nothing holds it.
    const TvlCustomEditStyle* holderOf(TvlContainerStyleValue AValue) const;
    TvlCustomEditStyle* baseEditStyle() const;
    TvlCustomEditStyle* parentEditStyle() const;
    template <class T>
    T valueOf(T TvlCustomEditStyle::*AField, TvlContainerStyleValue AValue,
              T (TvlCustomEditStyle::*AFallback)() const) const;
    template <class T>
    void setBaseValue(T TvlCustomEditStyle::*AField, TvlContainerStyleValue AValue, T Value);

    TvlEditButtonStyle FButtonStyle = btsDefault;
    TvlEditButtonTransparency FButtonTransparency = ebtNone;
    bool FGradient = false;
    bool FGradientButtons = false;
    TvlEditGradientDirection FGradientDirection = dirNone;
    TvlEditPopupBorderStyle FPopupBorderStyle = epbsDefault;
    bool FPopupCloseButton = true;
};

class TvlEditStyle : public TvlCustomEditStyle {
public:
    using TvlCustomEditStyle::TvlCustomEditStyle;
    String ClassName() const override { return String::fromLatin1("TvlEditStyle"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
};

// A style controller whose four styles are edit styles.
class TvlEditStyleController : public TvlStyleController {
public:
    explicit TvlEditStyleController(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlEditStyleController"); }
    TvlEditStyle* Style() const { return static_cast<TvlEditStyle*>(GetStyle(csNormal)); }
    void SetStyle(const TvlEditStyle* Value) { Styles()->SetStyle(csNormal, Value); }
    TvlEditStyle* StyleDisabled() const { return static_cast<TvlEditStyle*>(GetStyle(csDisabled)); }
    void SetStyleDisabled(const TvlEditStyle* Value) { Styles()->SetStyle(csDisabled, Value); }
    TvlEditStyle* StyleFocused() const { return static_cast<TvlEditStyle*>(GetStyle(csActive)); }
    void SetStyleFocused(const TvlEditStyle* Value) { Styles()->SetStyle(csActive, Value); }
    TvlEditStyle* StyleHot() const { return static_cast<TvlEditStyle*>(GetStyle(csHotTrack)); }
    void SetStyleHot(const TvlEditStyle* Value) { Styles()->SetStyle(csHotTrack, Value); }

protected:
    TvlContainerStyleClass GetStyleClass() const override { return &vlCreateContainerStyle<TvlEditStyle>; }
};

// The controller every standalone editor's style follows unless it names one.
TvlEditStyleController* GetEditorsDefaultStyleController();

// ---- the editor control ------------------------------------------------------

// The value an editor was asked to take did not pass its validation.
VORLANE_DECLARE_EXCEPTION(EvlEditValidationError, EvlEditError);

class TvlEditDataBinding;
class TvlCustomEditData;

// The inner edit window of an editor as the editor sees it. The editor
// itself uses the control, the read-only state, focusing, attaching, the
// change handler and the read-only setter; the text editors use the rest.
class IvlCustomInnerEdit {
public:
    virtual ~IvlCustomInnerEdit() = default;
    virtual TWinControl* GetControl() = 0;
    virtual TvlCustomEdit* GetControlContainer() = 0;
    // The control's own handling of a message the editor has checked.
    virtual LRESULT CallDefWndProc(UINT AMsg, WPARAM WParam, LPARAM LParam) = 0;
    virtual Variant GetEditValue() const = 0;
    virtual TNotifyEvent GetOnChange() const = 0;
    virtual bool GetReadOnly() const = 0;
    // Counts up; counts down while above 0. Bounds changes are dropped
    // while the count is above 0.
    virtual void LockBounds(bool ALock) = 0;
    // Focuses the control without selecting its text.
    virtual void SafelySetFocus() = 0;
    virtual void SetEditValue(const Variant& Value) = 0;
    // Places the control in the editor (its parent) and ties it to it.
    virtual void SetParent(TWinControl* Value) = 0;
    virtual void SetOnChange(const TNotifyEvent& Value) = 0;
    virtual void SetReadOnly(bool Value) = 0;
};

// Makes the inner edit of an editor (the editor is its container).
using TvlInnerEditClass = std::function<std::unique_ptr<TWinControl>(TvlCustomEdit* AEdit)>;
using TvlEditDataBindingClass = std::function<std::unique_ptr<TvlEditDataBinding>(TvlCustomEdit* AEdit)>;
using TvlEditDataClass = std::function<std::unique_ptr<TvlCustomEditData>(TvlCustomEdit* AEdit)>;
using TvlEditEditingEvent = TDelegate<void(TObject* Sender, bool& CanEdit)>;

// Change events held back while an editor's change events are locked.
class TvlEditChangeEventsCatcher : public TObject {
public:
    explicit TvlEditChangeEventsCatcher(TvlCustomEdit* AEdit) : FEdit(AEdit) {}
    String ClassName() const override { return String::fromLatin1("TvlEditChangeEventsCatcher"); }
    TvlCustomEdit* Edit() const { return FEdit; }
    int LockCount = 0;
    bool OnChangeEvent = false;
    bool OnEditValueChangedEvent = false;

private:
    TvlCustomEdit* FEdit;
};

// Where a standalone editor's value comes from and goes to. This one holds
// no data: the editor's own value is all there is; data-aware bindings
// override the reading and writing.
class TvlEditDataBinding : public TPersistent {
public:
    explicit TvlEditDataBinding(TvlCustomEdit* AEdit);
    ~TvlEditDataBinding() override;
    String ClassName() const override { return String::fromLatin1("TvlEditDataBinding"); }

    TvlCustomEdit* Edit() const { return FEdit; }
    TObject* DefaultValuesProvider() const { return FDefaultValuesProvider.get(); }
    IvlEditDefaultValuesProvider* GetProviderIntf() const;

    virtual void ProviderDefaultsChanged();
    virtual void ReadDisplayValue(Variant& V) const;
    virtual bool IsValueModified() const;
    virtual bool IsInEditMode() const;
    virtual void ReadStoredValue(Variant& V) const;
    virtual bool IsDataReadOnly() const;
    virtual bool IsDataRefreshBlocked() const { return false; }
    virtual void ResetValue();
    virtual void WriteDisplayValue(const Variant& V);
    virtual bool EnterEditMode();
    virtual void WriteStoredValue(const Variant& V) { (void)V; }
    virtual bool CanRefreshFromData() const;
    virtual bool GetIsDataAvailable() const;
    virtual bool CanPostValue() const { return IsInEditMode(); }
    virtual bool ExecuteAction(TBasicAction* AAction) { (void)AAction; return false; }
    virtual bool UpdateAction(TBasicAction* AAction) { (void)AAction; return false; }
    virtual void MarkModified();
    virtual void RefreshDisplay();
    virtual void RefreshUnboundDisplay() {}
    // Data-aware bindings answer True (the editor's value is in data).
    virtual bool IsDataAware() const { return false; }

protected:
    TPersistent* GetOwner() const override;
    // The provider class; made once by the constructor.
    virtual std::unique_ptr<TvlCustomEditDefaultValuesProvider> CreateProvider();
    // Descendants call this from their constructors to get their provider.
    void RecreateProvider();

private:
    TvlCustomEdit* FEdit;
    std::unique_ptr<TvlCustomEditDefaultValuesProvider> FDefaultValuesProvider;
};

// What an in-place editor keeps of one grid column between activations.
class TvlCustomEditData : public TObject {
public:
    explicit TvlCustomEditData(TvlCustomEdit* AEdit);
    ~TvlCustomEditData() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomEditData"); }
    // Marks the data cleared; an editor that uses it applies it at once.
    void Clear();
    bool Cleared() const { return FCleared; }
    void SetCleared(bool Value) { FCleared = Value; }
    // nullptr once the editor is gone.
    TvlCustomEdit* Edit() const { return FEdit; }

private:
    friend class TvlCustomEdit;
    bool FCleared = false;
    TvlCustomEdit* FEdit;
};

// Size request limits of GetEditSizeProperties.
struct TvlEditSizeProperties {
    int Height = -1;
    int MaxLineCount = 0;
    int Width = -1;
};

// The base of every editor: a container that keeps an edit value, shows it
// through its properties, view data and view info, validates what the user
// typed and posts the value to its data binding; standalone on a form or
// as the in-place editor of a grid cell.
//
// Construction: an editor made with the public constructor is ready at
// once. Descendants that change the classes the editor is made of (the
// properties, inner edit, data binding) construct through the deferring
// constructor and are made with Create / CreateInplace, which initialize
// the complete object.
class TvlCustomEdit : public TvlContainer, public IvlEditRepositoryItemObserver {
public:
    explicit TvlCustomEdit(TComponent* AOwner, bool AIsInplace = false);
    ~TvlCustomEdit() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomEdit"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    template <class T>
    static T* CreateInplace(TComponent* AOwner, bool AIsInplace)
    {
        T* edit = new T(AOwner, AIsInplace);  // owned by AOwner, or by the caller without one
        edit->Initialize();
        return edit;
    }
    template <class T>
    static T* Create(TComponent* AOwner)
    {
        return CreateInplace<T>(AOwner, false);
    }
    // Makes the properties, inner edit, data binding and timer; runs once.
    virtual void Initialize();
    bool Initialized() const { return FInitialized; }

    // ---- properties and repository
    TvlCustomEditProperties* Properties() const { return FProperties.get(); }
    // The given properties are copied into the editor's own.
    void SetProperties(const TvlCustomEditProperties* Value);
    // The repository item's properties when one is linked, else the own.
    TvlCustomEditProperties* ActiveProperties() const { return InternalGetActiveProperties(); }
    TvlEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
    void SetRepositoryItem(TvlEditRepositoryItem* Value);
    TvlEditDataBinding* DataBinding() const { return FDataBinding.get(); }
    TvlCustomEditStyle* Style() const { return static_cast<TvlCustomEditStyle*>(GetStyle()); }
    TvlCustomEditViewInfo* EditViewInfo() const;
    // The properties' provider changed.
    virtual void PropertiesProviderChanged() {}

    // ---- value
    Variant EditValue() const { Variant v; GetEditValue(v); return v; }
    virtual void SetEditValue(const Variant& V);
    Variant EditingValue() const { Variant v; GetEditingValue(v); return v; }
    Variant DisplayValue() const { Variant v; GetDisplayValue(v); return v; }
    virtual void SetDisplayValue(const Variant& V);
    virtual void SetInternalEditValue(const Variant& V);
    virtual void SetEditValueNoValidate(const Variant& V);
    virtual void Clear();
    void Reset();
    bool EditModified() const { return FEditModified; }
    void SetEditModified(bool Value);
    bool ModifiedAfterEnter() const { return FModifiedAfterEnter; }
    void SetModifiedAfterEnter(bool Value);
    bool IsValidated() const { return FValidated; }
    bool IsPosting() const { return FPosting; }
    bool IsUserAction() const { return FUserAction; }
    // A change coming from the user while the scope lives (clear key, cut,
    // paste): edit-value changes then ask DoEditing and mark the editor.
    class TUserActionScope {
    public:
        explicit TUserActionScope(TvlCustomEdit* AEdit, bool AValue = true)
            : FEdit(AEdit), FSaved(AEdit->FUserAction)
        {
            AEdit->FUserAction = AValue;
        }
        ~TUserActionScope() { FEdit->FUserAction = FSaved; }
        TUserActionScope(const TUserActionScope&) = delete;
        TUserActionScope& operator=(const TUserActionScope&) = delete;

    private:
        TvlCustomEdit* FEdit;
        bool FSaved;
    };

    // ---- change events
    // Held-back change events are dropped when unlocked without invoking.
    void LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock = true);
    bool AreChangeEventsLocked() const { return FChangeEventsCatcher->LockCount > 0; }
    bool ChangeEventsLocked() const { return AreChangeEventsLocked(); }
    void LockClick(bool ALock);
    bool IsClickLocked() const;
    void LockEditValueChanging(bool ALock);
    void NotifyUserModification();

    // ---- validation, posting, editing permission
    // True when the value is valid (or need not be checked); with
    // ARaiseExceptionOnError an invalid value raises.
    bool ValidateEdit(bool ARaiseExceptionOnError);
    // Validates (optionally) and hands the value to the data or, in place,
    // to OnValuePosted.
    void PostEditValue() { InternalPostEditValue(true); }
    virtual bool CanPostEditValue() const;
    virtual bool DoEditing();
    virtual bool CanModify() const;
    virtual bool IsEditReadOnly() const;
    // Stops validation while above 0.
    void LockValidation(bool ALock) { FValidationSuppressionCount += ALock ? 1 : (FValidationSuppressionCount > 0 ? -1 : 0); }

    // ---- in place
    bool IsInplace() const override { return FIsInplace; }
    virtual void Activate(TvlCustomEditData*& AEditData);
    virtual void ActivateByKey(QChar AKey, TvlCustomEditData*& AEditData);
    // AX, AY in the parent's client coordinates.
    virtual void ActivateByMouse(TShiftState AShift, int AX, int AY, TvlCustomEditData*& AEditData);
    virtual bool Deactivate();
    bool Activated() const { return FActivated; }
    TvlCustomEditData* EditData() const { return FEditData; }
    TvlTimer* DoubleClickTimer() const { return FDblClickTimer.get(); }

    // ---- inner edit
    IvlCustomInnerEdit* InnerEdit() const { return FInnerEdit; }
    virtual void LockInnerEditRepainting();
    virtual void UnlockInnerEditRepainting();

    // ---- keys and focus (the inner edit forwards its input here)
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void FocusChanged() override;
    virtual bool IsActiveControl() const;
    virtual bool WantTabKey() const { return FIsInplace; }
    virtual bool WantNavigationKeys() const { return false; }
    virtual bool CanProcessMouseWheel(TShiftState AShift) const;
    // The Escape key reset the value: the Escape character that follows is
    // swallowed.
    bool EscapeHandled() const { return FEscapeHandled; }
    void SetEscapeHandled(bool Value) { FEscapeHandled = Value; }
    bool EscapeDown() const { return FEscapeDown; }
    bool IsFocusingAfterError() const { return FFocusingAfterError; }
    bool IsInnerControlMouseDown() const { return FInnerControlMouseDown; }
    void SetInnerControlMouseDown(bool Value) { FInnerControlMouseDown = Value; }
    bool IsSettingInnerControlBounds() const { return FInternalSetting; }
    void SetSettingInnerControlBounds(bool Value) { FInternalSetting = Value; }
    // Fires the after-key-down event.
    void DoAfterKeyDown(uint16_t& Key, TShiftState Shift);
    // The inner edit got or lost the focus: the editor is entered or left
    // when the focus came from, or goes to, outside it.
    void InnerEditFocusEntered();
    void InnerEditFocusLeft();
    virtual bool IsClickKey(uint16_t Key, TShiftState Shift) const;
    virtual bool ClickDefaultButton();

    // ---- mouse and buttons
    int ButtonVisibleIndexAt(const TPoint& P) const;
    int CapturedButton() const { return FCaptureButtonVisibleIndex; }
    void CalculateViewInfoAtCursor();
    // The left button went down on a button (the view info reads it).
    bool LeftButtonDownOnButton() const { return (FMouseButtonPressed & 1) != 0; }
    void Click() override;
    void DblClick() override;

    // ---- clipboard (nothing here; the text editors do it)
    virtual void CopyToClipboard() {}
    virtual void CutToClipboard() {}
    virtual void PasteFromClipboard() {}
    virtual void SelectAll() {}
    virtual bool IsTextEditable() const { return false; }

    // ---- layout, state and look
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool BeepOnEnter() const { return FBeepOnEnter; }
    void SetBeepOnEnter(bool Value) { FBeepOnEnter = Value; }
    int AnchorX() const { return FAnchorX; }
    void SetAnchorX(int Value);
    int AnchorY() const { return FAnchorY; }
    void SetAnchorY(int Value);
    virtual bool IsAutoSizeActive() const;
    virtual bool CanAutoWidth() const;
    virtual bool IsHeightDependOnWidth() const { return false; }
    virtual void GetEditSizeProperties(TvlEditSizeProperties& AMeasureParams) const;
    virtual bool UseAnchors() const { return UseAnchorX() || UseAnchorY(); }
    virtual bool UseAnchorX() const { return false; }
    virtual bool UseAnchorY() const { return false; }
    void GetBorderExtent(TRect& R) override;
    // The view data for the active style, filled with the editor's state.
    virtual std::unique_ptr<TvlCustomEditViewData> CreateViewData();
    TvlEditStateColorKind GetEditStateColorKind() const override;
    bool IsTransparentBackground() const override { return IsNativeBackground() || IsTransparent(); }
    virtual bool IsNativeBackground() const { return false; }
    virtual bool IsTransparent() const { return !FIsInplace && FTransparent; }
    bool IsReadOnly() const override { return IsEditReadOnly(); }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The editor shows data of its binding (a data-aware editor).
    virtual bool IsDBEdit() const;
    // A data-aware editor painted as a copy shows the stored value.
    virtual bool IsDBEditPaintCopyDrawing() const;
    // The editor paints its buttons itself on that device context.
    virtual bool IsButtonDC(HDC ADC) const { (void)ADC; return false; }
    virtual int GetTextBaseLine() const { return 0; }
    virtual bool HasTextBaseLine() const { return false; }
    // A visible in-place editor stands in the tab order for its parent.
    void GetTabOrderList(std::vector<TWinControl*>& List) const override;
    // The first parenting shows the unbound value and the properties.
    void SetParent(TWinControl* AParent) override;
    void SetName(const String& NewName) override;
    // Actions the editor does not act on itself go to its data binding.
    bool ExecuteAction(TBasicAction* Action) override;
    bool UpdateAction(TBasicAction* Action) override;

    // IvlEditRepositoryItemObserver
    void RepositoryItemFreed(TvlEditRepositoryItem* AItem) override;
    void ItemPropertiesChanged(TvlEditRepositoryItem* AItem) override;

    TvlEditEditingEvent OnEditing;
    TNotifyEvent OnValuePosted;
    TKeyEvent OnAfterKeyDown;
    // Holds nothing: a place for the properties' events in form designers.
    TNotifyEvent PropertiesEvents;

protected:
    // Does not initialize: the descendant's Create does, once the object
    // is complete.
    struct TDeferInitialize {};
    TvlCustomEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize);

    TvlContainerStyleClass GetStyleClass() const override { return &vlCreateContainerStyle<TvlEditStyle>; }
    TvlContainerStyleValues GetNotPublishedStyleValues() const override;
    virtual TvlCustomEditProperties* InternalGetActiveProperties() const;
    // The properties class of this editor; descendants name their own.
    virtual std::unique_ptr<TvlCustomEditProperties> CreateProperties();
    virtual TvlInnerEditClass GetInnerEditClass() const { return nullptr; }
    virtual TvlEditDataBindingClass GetDataBindingClass() const;
    virtual TvlEditDataClass GetEditDataClass() const { return nullptr; }

    // value model
    virtual void GetEditValue(Variant& V) const { V = FEditValue; }
    virtual void GetEditingValue(Variant& V) const;
    virtual void GetDisplayValue(Variant& V) const { GetEditValue(V); }
    virtual void SetInternalDisplayValue(const Variant& V) { (void)V; }
    virtual void InternalSetEditValue(const Variant& AValue, bool AValidateEditValue);
    virtual void SynchronizeDisplayValue() {}
    virtual void SynchronizeEditValue() {}
    virtual void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) const;
    virtual void PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused)
    {
        (void)ADisplayValue; (void)AEditValue; (void)AEditFocused;
    }
    virtual void GetClearValue(Variant& V) const { V = Null(); }
    virtual void DoReset();
    virtual bool IsEditValueStored() const { return !VarIsNull(FEditValue); }
    virtual void GetInnerEditText(String& AText) const;
    virtual void SetInnerEditDisplayValue(const Variant& V) { (void)V; }
    virtual bool InternalSetEditingText(const String& AText) { (void)AText; return false; }
    virtual void InternalSetText(const String& AText) { (void)AText; }
    virtual void UpdateDrawValue() {}
    // Stores the edit value alone: the text editors keep text and value in
    // step themselves.
    void StoreEditValue(const Variant& V) { FEditValue = V; }
    void SaveModified();
    void RestoreModified();

    // change events
    virtual void DoChange();
    virtual void DoEditValueChanged();
    virtual void DoOnChange();
    virtual void DoOnEditValueChanged();
    virtual void DoButtonClick(int AButtonVisibleIndex);
    virtual void DoButtonDown(int AButtonVisibleIndex) { (void)AButtonVisibleIndex; }
    virtual void DoButtonUp(int AButtonVisibleIndex) { (void)AButtonVisibleIndex; }
    virtual void DoClosePopup(int AReason);
    virtual void ChangeHandler(TObject* Sender);
    virtual bool IsClickEnabledDuringLoading() const { return false; }

    // validation and posting
    virtual void DoValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError);
    // Takes the focus back and raises the error (see ValidateEdit).
    virtual void HandleValidationError(const String& AErrorText, bool ACanAbortExecution);
    bool IsOnValidateEventAssigned() const;
    virtual void InternalPostEditValue(bool AValidateEdit);
    virtual void BeforePosting() { FPosting = true; }
    virtual void AfterPosting() { FPosting = false; }

    // editing permission
    virtual bool CanStartEditing() const { return true; }
    virtual bool CanKeyDownModifyEdit(uint16_t Key, TShiftState Shift) const { (void)Key; (void)Shift; return false; }
    virtual bool CanKeyPressModifyEdit(QChar Key) const { (void)Key; return false; }
    virtual bool ValidateKeyDown(uint16_t& Key, TShiftState Shift);
    virtual bool ValidateKeyPress(QChar& Key);
    virtual bool IsValidChar(QChar Key) const;

    // keyboard and focus
    virtual void DoEditKeyDown(uint16_t& Key, TShiftState Shift);
    virtual void DoEditKeyPress(QChar& Key) { ValidateKeyPress(Key); }
    virtual void DoEditKeyUp(uint16_t& Key, TShiftState Shift) { (void)Key; (void)Shift; }
    virtual void TabKeyPressed(TShiftState Shift) { (void)Shift; }
    virtual bool NeedsInvokeAfterKeyDown(uint16_t Key, TShiftState Shift) const { (void)Key; (void)Shift; return false; }
    virtual bool CanSendActivationKey(QChar Key) const { (void)Key; return true; }
    virtual bool NeedsDataBindingUpdateOnFocus() const { return true; }
    void DoEnter() override;
    void DoExit() override;
    virtual void InternalDoEnter();
    virtual void DoFocusChanged();

    // repository
    virtual bool IsRepositoryItemAcceptable(TvlEditRepositoryItem* AItem) const;
    virtual void RepositoryItemAssigning() {}
    virtual void RepositoryItemAssigned() {}
    virtual void PropertiesChanged(TObject* Sender);

    // inner edit
    virtual void InitializeInnerEdit();
    virtual void UpdateInnerEditReadOnly();
    virtual void AdjustInnerEditPosition();
    bool IsInnerEditPending() const;
    void FocusInnerControl() override;
    bool DoInnerControlDefaultHandler(TMessage& Message) override;

    // in-place data
    virtual void InitializeEditData() {}

    // mouse, view info and painting
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool RefreshContainer(const TPoint& P, TvlMouseButton Button, TShiftState Shift, bool IsMouseEvent) override;
    void CalculateViewInfo(const TPoint& P, bool AIsMouseEvent) override;
    virtual void CalculateEditViewInfo(const TPoint& P, TvlMouseButton AButton, TShiftState AShift,
                                       bool AIsMouseEvent);
    void ProcessViewInfoChanges() override;
    virtual void InitializeViewData(TvlCustomEditViewData* AViewData);
    virtual void AutoSizeChanged() {}
    // The measured size; the bounds under auto size.
    TSize CalculateEditSize();
    void AdjustInnerControlBounds() override;
    virtual void CalculateAnchors();
    // Reading a stored editor starts here: the properties' changes wait
    // for Loaded.
    void Loading() override;
    void Loaded() override;
    void RequestAlign() override;
    void Paint() override;
    // Paints the binding's stored value with a view info of its own.
    virtual void PaintCopyDraw();
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TvlEditDataBinding;
    friend class TvlCustomEditData;
    friend class TvlCustomEditProperties;
    void init();
    void applyEditData();
    void tickDblClickTimer(TObject*) { FDblClickTimer->SetEnabled(false); }
    void attachPropertiesHandler(bool AAttach);
    void refocusAfterError();
    void handleHint(TMessage& Message);
    bool handleDialogChar(TMessage& Message);
    void handleClipboard(TMessage& Message);

    int FAnchorX;
    int FAnchorY;
    bool FAutoSize = true;
    int FCaptureButtonVisibleIndex = -1;
    std::unique_ptr<TvlEditChangeEventsCatcher> FChangeEventsCatcher;
    int FClickLockCount = 0;
    std::unique_ptr<TvlTimer> FDblClickTimer;
    TvlCustomEditData* FEditData = nullptr;
    bool FInEditingCheck = false;
    int FEditValueChangingLockCount = 0;
    bool FEffectiveFocus = false;
    std::unique_ptr<TWinControl> FInnerEditControl;
    IvlCustomInnerEdit* FInnerEdit = nullptr;
    bool FValidated = false;
    bool FValidating = false;
    bool FEscapeHandled = false;
    bool FEscapeDown = false;
    bool FIsInplace;
    bool FIsFirstSetParent = true;
    bool FPosting = false;
    bool FUserAction = false;
    int FValidationSuppressionCount = 0;
    bool FEditModified = false;
    bool FModifiedAfterEnter = false;
    Variant FPrevEditValue;
    std::vector<std::pair<bool, bool>> FModifiedStack;
    TvlEditRepositoryItem* FRepositoryItem = nullptr;
    bool FTransparent = false;
    bool FFocusingAfterError = false;
    std::unique_ptr<TvlEditDataBinding> FDataBinding;
    Variant FEditValue;
    std::unique_ptr<TvlCustomEditProperties> FProperties;
    int FMouseButtonPressed = 0;
    bool FActivated = false;
    bool FBeepOnEnter = true;
    bool FInitialized = false;
    bool FInnerRepaintLocked = false;
    bool FRefocusPending = false;
    bool FEnterDone = false;
};

// One hidden editor per properties object, reused for every cell.
class TvlInplaceEditList : public TObject {
public:
    explicit TvlInplaceEditList(TComponent* AEditorOwner);
    ~TvlInplaceEditList() override;
    String ClassName() const override { return String::fromLatin1("TvlInplaceEditList"); }

    TvlCustomEdit* GetEdit(TvlCustomEditProperties* AProperties);
    TvlCustomEdit* GetEditByClass(TvlClass APropertiesClass);
    TvlCustomEdit* FindEdit(TvlCustomEditProperties* AProperties);
    TvlCustomEdit* FindEditByClass(TvlClass APropertiesClass);
    void ReleaseProperties(const TvlCustomEditProperties* AProperties);
    void RemoveItem(const TvlCustomEditProperties* AProperties);
    int Count() const { return int(FItems.size()); }
    TvlCustomEdit* EditAt(int Index) const { return FItems.at(size_t(Index)).Edit; }

private:
    struct TItem {
        TvlCustomEdit* Edit;                  // owned by the editor owner
        TvlCustomEditProperties* Properties;  // nullptr: a free editor
        TvlClass EditClass;                   // the properties class it was made for
    };
    TvlCustomEdit* createEdit(const TvlCustomEditProperties* AProperties, TvlClass APropertiesClass);
    TComponent* FEditorOwner;
    std::vector<TItem> FItems;
};

// Every in-place list forgets these properties (their editors stay).
void RemovePropertiesFromInplaceEditLists(const TvlCustomEditProperties* AProperties);

// ---- unit functions ---------------------------------------------------------------

// Read by the check box and radio editors; nothing changes it.
bool EmulateStandardControlDrawing();
void DrawEditComplexFrame(TvlCanvas* ACanvas, TRect& R, TColor ALeftTopColor, TColor ARightBottomColor);
void DrawEditFrameRect(TvlCanvas* ACanvas, TRect& R, TColor AColor);
TComponent* GetOwnerComponent(const TPersistent* APersistent);
bool SubstituteRepositoryItemProperties(TvlCustomEditProperties* AOwnProperties,
                                        TvlEditRepositoryItem* ARepositoryItem,
                                        TvlCustomEditProperties*& AProperties);
void SendMouseMessage(TWinControl* AControl, uint32_t AMsg, TShiftState AShift, const TPoint& APoint);
void SendKeyMessage(TWinControl* AEdit, uint32_t AMsg, uint16_t AKey);
void SendKeyDownMessage(TWinControl* AEdit, uint16_t AKey, TShiftState AShift);
void SendCharMessage(TWinControl* AEdit, QChar AChar);
void UniteRegions(TvlRegion* ADest, const TvlRegion* ASource);
bool IsRegionEmpty(const TvlRegion* ARegion);
void ExtendSize(TSize& ASize, const TSize& ASize2);
TShiftState MouseButtonToShift(TMouseButton AButton);
TShiftState MouseButtonCodeToShift(int ACode);
// The look that goes with a button style (btsDefault and bts3D standard).
TvlLookAndFeelKind LookAndFeelKindOfButtonStyle(TvlEditButtonStyle AStyle);
// What an editor's drop-downs look like: in place its style's look, else
// the look of its first button's style (standard without buttons).
TvlLookAndFeelKind GetPopupControlsLookAndFeelKind(const TvlCustomEdit* AEdit);

// The cursor an editor shows while it scrolls by the mouse wheel.
inline constexpr TCursor crvlEditMouseWheel = 4101;

// The list of all properties objects, the registry, the default repository
// and the mouse-wheel cursor for the program's life.
void AddvlEditUnit(TStartupList& AList);

// ---- view info and view data --------------------------------------------------

// Bits of a view info's paint options.
enum : uint32_t { vlepoExternalBorder = 1u << 2, vlepoShowFocusRectWhenInplace = 1u << 4 };

// The calculated drawing state of one editor or grid cell.
class TvlCustomEditViewInfo : public TvlContainerViewInfo {
public:
    TvlCustomEditViewInfo();
    ~TvlCustomEditViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomEditViewInfo"); }

    TvlContainerBorderStyle GetContainerBorderStyle() const override
    {
        return TvlContainerBorderStyle(EditBorderStyle);
    }
    // From an edit view info: colours, border, states and the buttons (the
    // same count, each assigned), then the container's part.
    void Assign(const TObject* Source) override;
    void Offset(int DX, int DY) override;
    std::unique_ptr<TvlRegion> GetUpdateRegion(const TvlContainerViewInfo* AOldViewInfo) const override;
    // Fires OnPaint, then paints frame, background, buttons and content.
    void Paint(TvlCanvas* ACanvas) override;
    // The colours a painter imposes (clDefault: none); a standalone editor
    // has no painter colours here.
    virtual void GetColorSettingsByPainter(TColor& ABackground, TColor& AText) const;
    // The visible index of the button under the point; else -1 inside the
    // border rectangle, -2 outside.
    virtual int GetPart(const TPoint& APoint) const;
    // A button's bounds; for -1 the border rectangle between the inner-most
    // left and right buttons; empty otherwise.
    virtual TRect GetPartRect(int APart) const;
    virtual bool IsRepaintOnStateChangingNeeded() const { return true; }
    virtual bool IsHotTrack() const;
    virtual bool IsHotTrackAt(const TPoint& APoint) const;
    // A hint for the button under the point: the short part of its Hint,
    // one line, placed below the cursor. False when there is no text.
    virtual bool NeedShowHint(TvlCanvas* ACanvas, const TPoint& APoint, TRect& ARect, bool& AIsMultiLine,
                              String& AText);
    virtual bool NeedShowHintInBounds(TvlCanvas* ACanvas, const TPoint& APoint, TRect& ARect, bool& AIsMultiLine,
                                      String& AText, const TRect& AVisibleBounds);
    // The hyperlink editor changes the font here.
    virtual void PrepareCanvasFont(TvlCanvas*) {}
    // Invalidates in the control's window what differs from the old view
    // info (everything without one), leaving out AInnerEditRect: the frame
    // when colours, states or the button count changed, else the border
    // band when only the border did, then each changed button. True when
    // anything was invalidated against an old view info.
    virtual bool Repaint(TWinControl* AControl, const TvlCustomEditViewInfo* AOldViewInfo);
    virtual bool RepaintExceptInnerEdit(TWinControl* AControl, const TRect& AInnerEditRect,
                                        const TvlCustomEditViewInfo* AOldViewInfo);
    void SaveButtonsState();
    // Frees the view infos beyond the count, makes the missing ones.
    void SetButtonsInfoCount(int ACount);

    // The frame, the background and the buttons.
    virtual void DrawCustomEdit(TvlCanvas* ACanvas, bool AWholeBackground);
    void DrawButtons(TvlCanvas* ACanvas);
    virtual void DrawButton(TvlCanvas* ACanvas, int AButtonVisibleIndex);
    // Border, background and content of one button; drawn off-screen for a
    // button with a glyph or a skin painter.
    virtual void InternalDrawButton(TvlCanvas* ACanvas, int AButtonVisibleIndex);
    // Draws the border for the button's style; gives back what is left for
    // the background and the content, and their colours.
    virtual void DrawButtonBorder(TvlCanvas* ACanvas, int AButtonVisibleIndex, TColor& ABackgroundColor,
                                  TColor& ATextColor, TRect& ABackgroundRect, TRect& AContentRect);
    virtual void DrawNativeButtonBorder(TvlCanvas* ACanvas, int AButtonVisibleIndex, TRect& ABackgroundRect,
                                        TRect& AContentRect);
    virtual void DrawButtonBackground(TvlCanvas* ACanvas, int AButtonVisibleIndex, const TRect& ARect,
                                      TColor AColor);
    virtual void DrawNativeButtonBackground(TvlCanvas* ACanvas, int AButtonVisibleIndex, const TRect& ARect);
    virtual void DrawButtonContent(TvlCanvas* ACanvas, int AButtonVisibleIndex, bool APressedLook,
                                   TColor ABackgroundColor, TColor ATextColor, const TRect& AContentRect);
    // The themed edit frame, then the content unless transparent.
    virtual void DrawNativeStyleEditBackground(TvlCanvas* ACanvas, bool ADrawBackground, TColor ABackgroundColor);
    // Draws the background kind into ARect, leaving out ABackgroundRect when
    // that is not empty.
    void DrawEditBackground(TvlCanvas* ACanvas, const TRect& ARect, const TRect& ABackgroundRect,
                            bool AIsBackgroundPreDrawn);
    // True when OnDrawBackground drew the background.
    bool DrawCustomBackground(TvlCanvas* ACanvas);
    // Every background kind but the usual frame and the solid fill.
    bool IsBackgroundTransparent() const;
    bool IsCustomBackground() const { return IsInplace && bool(OnDrawBackground); }
    bool IsCustomDrawButton() const { return bool(OnCustomDrawButton); }

    std::function<void(TObject* Sender, TvlCanvas* ACanvas, bool& AHandled)> OnDrawBackground;
    std::function<void(TObject* Sender, TvlCanvas* ACanvas, int AButtonVisibleIndex, bool& AHandled)>
        OnCustomDrawButton;
    std::function<void(TObject* Sender, TvlCanvas* ACanvas, const TRect& ARect, int AButtonVisibleIndex,
                       bool& AHandled)>
        OnCustomDrawButtonBackground;
    std::function<void(TObject* Sender, TvlCanvas* ACanvas, int AButtonVisibleIndex, TRect& ABackgroundRect,
                       TRect& AContentRect, bool& AHandled)>
        OnCustomDrawButtonBorder;
    std::function<void(TObject* Sender, int AButtonVisibleIndex, TvlEditButtonDrawState& AState)>
        OnButtonStateRequest;
    std::function<void(TObject* Sender, TvlCanvas* ACanvas)> OnPaint;

    TvlCustomEdit* Edit = nullptr;
    TRect BorderExtent;
    TvlEditBorderStyle EditBorderStyle = ebsNone;
    std::vector<std::unique_ptr<TvlEditButtonViewInfo>> ButtonsInfo;
    // The properties that made this view info (they outlive it).
    const TvlCustomEditProperties* Properties = nullptr;
    bool Enabled = true;
    bool Focused = false;
    const TFont* Font = nullptr;
    bool HasBackground = false;
    bool HasContentOffsets = false;
    bool HasInnerEdit = false;
    TRect InnerEditRect;
    bool IsButtonReallyPressed = false;
    bool IsContainerInnerControl = false;
    bool IsDesigning = false;
    bool IsInplace = false;
    bool IsPaintCopyDrawing = false;
    bool IsSelected = false;
    int LastPressedButton = -1;
    int LastSelectedButton = -1;
    int Left = 0;
    int Top = 0;
    uint32_t PaintOptions = 0;
    TvlEditPopupBorderStyle PopupBorderStyle = epbsDefault;
    int PressedButton = -1;
    int SelectedButton = -1;
    TRect ShadowRect;
    TColor TextColor = clWindowText;
    bool Transparent = false;
    HWND WindowHandle = nullptr;
    // What a grid cell shows.
    Variant Value;
    bool ShowEndEllipsis = false;

protected:
    void InternalPaint(TvlCanvas* ACanvas) override { DrawCustomEdit(ACanvas, true); }

private:
    bool FDrawingButtons = false;  // re-entry guard of DrawButtons
};

// The size request of GetEditSize.
struct TvlEditMeasureParams {
    int MaxHeight = -1;
    int MaxLineCount = 0;
    int MaxWidth = -1;
};

// How an editor's content sits in its client area.
struct TvlEditContentParams {
    TRect ExternalBorderBounds;
    TRect Offsets;
    int WidthCorrection = 0;
    int HeightCorrection = 0;
    uint32_t Options = 0;  // bit 0: show the focus rectangle in place; bit 1: default
};

// Where an in-place editor sits: the grid fills it.
struct TvlInplaceEditParams {
    bool MultiRowParent = false;
    TObject* Item = nullptr;
    int RecordIndex = -1;
};

// Measures one properties object in one style and fills view infos.
// Descendants that override ResetViewDefaults or PrepareCachedState call
// them again from their own constructors (the base constructor runs the
// base versions).
class TvlCustomEditViewData : public TPersistent {
public:
    TvlCustomEditViewData(const TvlCustomEditProperties* AProperties, TvlCustomEditStyle* AStyle, bool AIsInplace);
    String ClassName() const override { return String::fromLatin1("TvlCustomEditViewData"); }

    // Theme part and state of a button.
    virtual void ComputeButtonThemeInfo(TvlEditButtonViewInfo* AButtonViewInfo);
    virtual TvlContainerState ComputeContainerState(const TRect& ABounds, const TPoint& AMousePos,
                                                    TvlMouseButton AButton, TShiftState AShift,
                                                    bool AIsMouseEvent) const;
    virtual TRect DefaultContentOffsets() const;
    // Disabled 4; else hot-tracked 2, focused 5, read-only 6, otherwise 1.
    virtual int EditThemeState(const TvlCustomEditViewInfo* AViewInfo) const;
    virtual void PrepareCachedState();
    virtual void FillContentParams(TvlEditContentParams& AParams) const;
    virtual void ResetViewDefaults();
    virtual void ValueToTextCore(const Variant&, String& AText) const { AText.clear(); }
    virtual bool IsButtonPressable(const TvlCustomEditViewInfo*, int) const { return true; }
    virtual bool IsButtonHeldPressed(const TvlCustomEditViewInfo*, int) const { return false; }
    virtual void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                           TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
    virtual void LayOutButtons(TvlCanvas* ACanvas, const TRect& ABounds, bool AKeepPressed,
                               TvlCustomEditViewInfo* AViewInfo, TShiftState AShift, TvlMouseButton AButton,
                               const TPoint& AMousePos);
    virtual void CalculateButtonViewInfo(TvlCanvas* ACanvas, TvlCustomEditViewInfo* AViewInfo, TRect& ARect,
                                         int AButtonVisibleIndex);
    virtual void PlaceButton(TvlCanvas* ACanvas, TvlCustomEditViewInfo* AViewInfo, TRect& ARect,
                             int AButtonVisibleIndex);
    virtual void StretchButtons(TvlCustomEditViewInfo* AViewInfo, int AButtonsWidth, int AFreeWidth);
    virtual bool IsButtonExcludedFromStretch(int) const { return false; }
    virtual TColor ComputeBorderColor() const;
    virtual void GetBorderExtent(TRect& AExtent) const;
    virtual void EdgeBorderExtent(int ABorderWidth, TRect& AExtent) const;
    virtual void SkinBorderExtent(TRect& AExtent) const;
    virtual TvlEditBorderStyle EffectiveBorderStyle() const;
    virtual void ButtonsMargins(TvlCanvas* ACanvas, TRect& AExtent) const;
    virtual void ClientMargins(TvlCanvas* ACanvas, const TvlCustomEditViewInfo* AViewInfo, TRect& AExtent) const;
    virtual bool HasShadow() const;
    virtual bool IsNativeStyle(const TvlLookAndFeel* ALookAndFeel) const;
    virtual void EditValueToDrawValue(const Variant&, TvlCustomEditViewInfo*) const {}
    // The constant part (frame and buttons) and the least content size the
    // buttons' glyphs and captions ask for.
    virtual void MeasureConstantPart(TvlCanvas* ACanvas, const TvlEditMeasureParams& AMeasureParams, TSize& ASize,
                                     TvlCustomEditViewInfo* AViewInfo, TSize& AMinContentSize);
    virtual void InternalGetEditConstantPartSize(TvlCanvas* ACanvas, bool AIsInplace,
                                                 const TvlEditMeasureParams& AMeasureParams, TSize& ASize,
                                                 TSize& AMinContentSize, TvlCustomEditViewInfo* AViewInfo);
    virtual TSize MeasureContent(TvlCanvas* ACanvas, const Variant& AEditValue,
                                 const TvlEditMeasureParams& AMeasureParams);
    virtual TSize MeasureContentCore(TvlCanvas*, const Variant&, const TvlEditMeasureParams&) const
    {
        return TSize{0, 0};
    }
    virtual TSize ContentSizeCorrection() const;

    // Constant part plus content, within the request's limits.
    void GetEditSize(TvlCanvas* ACanvas, const Variant& AEditValue, const TvlEditMeasureParams& AMeasureParams,
                     TSize& ASize, TvlCustomEditViewInfo* AViewInfo);
    // ValueToTextCore, then OnDisplayTextRequest.
    void EditValueToDisplayText(const Variant& AEditValue, String& AText) const;
    void InitViewInfoColorsAndBorders(TvlCustomEditViewInfo* AViewInfo);
    TvlEditButtonStyle GetEffectiveButtonStyle() const;
    uint32_t GetEffectivePaintOptions() const;
    // The editor's button pressed under its mouse capture; -1 without one.
    int GetCaptureButtonVisibleIndex() const;
    // A standalone editor's size constraints (0: no limit).
    void ApplySizeConstraints(TSize& ASize) const;
    TvlCustomEditStyle* Style() const { return FStyle; }
    void SetStyle(TvlCustomEditStyle* Value) { FStyle = Value; }
    const TvlCustomEditProperties* Properties() const { return FProperties; }

    std::function<void(TObject* Sender, int AIndex, int& AWidth)> OnButtonWidthRequest;
    std::function<void(TObject* Sender, String& AText)> OnDisplayTextRequest;

    bool IsInplace;
    TvlCustomEdit* Edit = nullptr;
    TRect Bounds;
    bool ButtonsOnly = false;
    int ButtonVisibleCount = 0;
    TvlContainerState ContainerState{csNormal};
    TRect ContentOffset;  // the margins of a grid cell
    TvlEditContentParams EditContentParams;
    bool Enabled = true;
    bool Focused = false;
    TAlignment HorzAlignment = taLeftJustify;
    TvlEditVertAlignment VertAlignment = taTopJustify;
    // Scroll bars of an editor that scrolls (nullptr otherwise).
    TControl* HScrollBar = nullptr;
    TControl* VScrollBar = nullptr;
    TvlInplaceEditParams InplaceEditParams;
    bool IsDesigning = false;
    bool IsSelected = false;
    bool IsValueSource = true;
    // The editor's inner edit (nullptr for grid cells and editors without).
    IvlCustomInnerEdit* InnerEdit = nullptr;
    int MaxLineCount = 0;
    bool NativeStyle = false;
    uint32_t PaintOptions = 0;
    bool PreviewMode = false;
    bool Selected = false;
    int SelStart = 0;
    int SelLength = 0;
    TColor SelTextColor = clDefault;
    TColor SelBackgroundColor = clDefault;
    HWND WindowHandle = nullptr;
    // -1: none.
    int LeftSideLeftmostButtonIndex = -1;
    int LeftSideRightmostButtonIndex = -1;
    int RightSideLeftmostButtonIndex = -1;
    int RightSideRightmostButtonIndex = -1;

private:
    void calculateContainerState(const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                                 TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
    TvlEditPopupBorderStyle effectivePopupBorderStyle(const TvlCustomEditViewInfo* AViewInfo) const;

    const TvlCustomEditProperties* FProperties;
    TvlCustomEditStyle* FStyle;
};
