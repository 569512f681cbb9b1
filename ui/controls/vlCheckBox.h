// vlCheckBox.h - the check box editor; the caption items and the check
// states with their value formats that the list controls share; and the
// drawing of the check element (the square with its mark) used wherever a
// check box is shown.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlFilterControlUtils.h"
#include "ui/editors/vlTextEdit.h"
#include "ui/foundation/vlClasses.h"

// ---- check states and their value formats ---------------------------------------

// The interactive look of a check element.
enum TvlCheckMarkState { cmsNormal, cmsHot, cmsPressed, cmsDisabled };
// How the grayed state looks: as unchecked, as an empty box on the button
// face, or with the mark in the shadow colour.
enum TvlCheckBoxNullValueShowingStyle { nssUnchecked, nssInactive, nssGrayedChecked };

// One state per item.
using TvlCheckStates = std::vector<TvlCheckBoxState>;

// How a list of check states becomes one edit value. cvfCustom has no
// conversion here: building gives Null, reading fails.
enum TvlCheckStatesValueFormatEx { cvfCaptions, cvfIndices, cvfInteger, cvfStatesString, cvfCustom };
// The formats that convert (cvfCaptions..cvfStatesString).
using TvlCheckStatesValueFormat = TvlCheckStatesValueFormatEx;

// The captions of a list, as the value formats read them.
class IvlCaptionList {
public:
    virtual ~IvlCaptionList() = default;
    virtual int GetCount() const = 0;
    virtual String GetCaption(int AIndex) const = 0;
};

// The edit value of the states in a format; items beyond 64 are left out of
// cvfInteger. Null for cvfCustom.
Variant CheckStatesToEditValue(const TvlCheckStates& ACheckStates, const IvlCaptionList* AItems,
                               TvlCheckStatesValueFormat AValueFormat);
// Reads an edit value in a format. The states are sized to the item count
// first; a value that does not read (any malformed text, an index or a
// caption the list does not have) gives False and leaves every state
// unchecked. Never raises.
bool CalculateCheckStates(const Variant& AValue, const IvlCaptionList* AItems, TvlCheckStatesValueFormat AValueFormat,
                          TvlCheckStates& ACheckStates);

// ---- caption items -------------------------------------------------------------

class TvlCaptionItem : public TCollectionItem {
public:
    explicit TvlCaptionItem(TCollection* Collection) : TCollectionItem(Collection) {}
    String ClassName() const override { return String::fromLatin1("TvlCaptionItem"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    const String& Caption() const { return FCaption; }
    // A different text (case counts) re-sorts a sorted collection, else
    // reports the item changed.
    void SetCaption(const String& Value);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    String DisplayName() const override { return FCaption.isEmpty() ? TCollectionItem::DisplayName() : FCaption; }

private:
    String FCaption;
    int FTag = 0;
};

class TvlCaptionItems : public TvlOwnedInterfacedCollection, public IvlCaptionList {
public:
    TvlCaptionItems(TPersistent* AOwner, TCollectionItemClass AItemClass)
        : TvlOwnedInterfacedCollection(AOwner, std::move(AItemClass))
    {
    }
    String ClassName() const override { return String::fromLatin1("TvlCaptionItems"); }
    TvlCaptionItem* GetItem(int Index) const { return static_cast<TvlCaptionItem*>(Items(Index)); }

    // IvlCaptionList
    int GetCount() const override { return Count(); }
    String GetCaption(int AIndex) const override { return GetItem(AIndex)->Caption(); }

protected:
    // Captions in the user's locale, case ignored.
    int CompareItems(TCollectionItem* AItem1, TCollectionItem* AItem2) override;
};

// ---- check element drawing ---------------------------------------------------------

// The painter of a skin, when one paints the element; nullptr otherwise.
using TvlCheckSkinPainter = const TvlCustomLookAndFeelPainter*;

// Draws the check element into R: a glyph strip's cell when a valid glyph
// with a positive count is given, else the skin painter's check button,
// else the themed check box (native style), else our own frame in the
// border style and the content in the flat or the classic look.
void DrawCheckElement(TvlCanvas* ACanvas, const TRect& R, TvlCheckBoxState ACheckState, TvlCheckMarkState AMarkState,
                      TBitmap* AGlyph, int AGlyphCount, TvlEditBorderStyle ABorderStyle, bool ANativeStyle,
                      TColor ABorderColor, TColor ABackgroundColor, bool ADrawBackground, bool AIsDesigning,
                      bool AFocused, bool AGrayedSupported, TvlCheckSkinPainter ASkinPainter,
                      TvlCheckBoxNullValueShowingStyle ANullValueShowingStyle);
// The element's size: a glyph cell, the skin's or the theme's check box, or
// the standard cell.
void GetCheckElementSize(TvlCanvas* ACanvas, bool ANativeStyle, const TBitmap* AGlyph, TSize& ASize,
                         TvlCheckSkinPainter ASkinPainter, int AGlyphCount);
// The margin between the element's rectangle and its own frame.
int GetCheckElementBorderOffset(TvlEditBorderStyle ABorderStyle, bool ANativeStyle, bool AHasGlyph,
                                TvlCheckSkinPainter ASkinPainter);
int GetCheckElementBorderOffsetByKind(TvlLookAndFeelKind AKind, bool ANativeStyle, bool AHasGlyph,
                                      TvlCheckSkinPainter ASkinPainter);
// The cell of a glyph strip that shows a state.
int GetCheckGlyphIndex(TvlCheckBoxState ACheckState, TvlCheckMarkState AMarkState, bool AGrayedSupported,
                       int AGlyphCount);
// The theme state id of the themed check box part.
int GetCheckThemeStateId(TvlCheckBoxState ACheckState, TvlCheckMarkState AMarkState);
// The process's check-mark mask: black where the mark is, white elsewhere,
// the size of the standard cell. Made by InitCheckMarkBitmap (the check box
// unit's start) and freed at its end; nullptr outside that time.
TBitmap* CheckMarkBitmap();
void InitCheckMarkBitmap();
void FreeCheckMarkBitmap();

// ---- the check box editor's properties ----------------------------------------------

class TvlCustomCheckBox;

// Bit 2 of GetSpecialFeatures: the editor is a check box.
inline constexpr uint32_t vlefCheckBox = 1u << 2;

class TvlCustomCheckBoxProperties : public TvlCustomEditProperties {
public:
    explicit TvlCustomCheckBoxProperties(TPersistent* AOwner);
    ~TvlCustomCheckBoxProperties() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomCheckBoxProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);
    // The legacy caption: read from old descriptions, handed to the editor.
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool IsCaptionAssigned() const { return FCaptionAssigned; }
    void ClearCaptionAssigned() { FCaptionAssigned = false; }
    const String& DisplayChecked() const { return FDisplayChecked; }
    void SetDisplayChecked(const String& Value);
    const String& DisplayGrayed() const { return FDisplayGrayed; }
    void SetDisplayGrayed(const String& Value);
    const String& DisplayUnchecked() const { return FDisplayUnchecked; }
    void SetDisplayUnchecked(const String& Value);
    bool IsDisplayCheckedStored() const;
    bool IsDisplayGrayedStored() const;
    bool IsDisplayUncheckedStored() const;
    bool FullFocusRect() const { return FFullFocusRect; }
    void SetFullFocusRect(bool Value);
    // Made (empty) on first read; nullptr frees it, anything else is copied.
    TBitmap* Glyph() { return InternalGetGlyph(); }
    TBitmap* GlyphIfAny() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    int GlyphCount() const { return FGlyphCount; }
    void SetGlyphCount(int Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TvlCheckBoxNullValueShowingStyle NullStyle() const { return FNullStyle; }
    void SetNullStyle(TvlCheckBoxNullValueShowingStyle Value);
    bool UseAlignmentWhenInplace() const { return FUseAlignmentWhenInplace; }
    void SetUseAlignmentWhenInplace(bool Value);
    const Variant& ValueChecked() const { return FValueChecked; }
    // Taken while the owner loads, or when it is none of the three values
    // and not Null; anything else is dropped.
    void SetValueChecked(const Variant& Value);
    const Variant& ValueGrayed() const { return FValueGrayed; }
    // Taken while the owner loads, or when it is none of the three values.
    void SetValueGrayed(const Variant& Value);
    const Variant& ValueUnchecked() const { return FValueUnchecked; }
    void SetValueUnchecked(const Variant& Value);
    // Takes all three only when they differ pairwise and neither checked
    // nor unchecked is Null.
    void SetStateValues(const Variant& AValueChecked, const Variant& AValueGrayed, const Variant& AValueUnchecked);
    // None of the three state values equals it exactly.
    bool IsUnusedStateValue(const Variant& AValue) const;
    bool IsOwnerLoading() const;

    // The state an edit value shows: checked or unchecked when it equals
    // that value exactly, grayed for anything else.
    TvlCheckBoxState EditValueToState(const Variant& AEditValue) const;

    bool CanValidate() const override { return true; }
    bool UsesInnerEditChangeEvent() const override { return true; }
    bool HasDisplayValue() const override { return true; }
    bool IsResetEditClass() const override { return true; }
    bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) const override;
    String GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) const override;
    uint32_t GetSpecialFeatures() const override;
    uint32_t GetSupportedOperations() const override { return 0x5AD; }
    bool IsActivationKey(QChar AKey) const override { return AKey == QLatin1Char(' '); }
    bool IsEditValueValid(Variant& EditValue, bool AEditFocused) const override;
    // The check box control.
    TvlCustomEditClass GetContainerClass() const override;
    std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const override;
    std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                          bool APreviewMode = false) const override;
    // The Integer state (0 unchecked, 1 checked, 2 grayed).
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) const override;

    virtual TBitmap* InternalGetGlyph();
    // Whether an in-place check box lays out as a standalone one.
    virtual bool IsInplaceLayout() const { return false; }

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;

private:
    template <class T>
    void setValue(T& AField, const T& Value)
    {
        if (Value == AField)
            return;
        AField = Value;
        Changed();
    }
    void glyphChanged(TObject*) { Changed(); }

    bool FAllowGrayed = false;
    String FCaption;
    String FDisplayChecked;
    String FDisplayGrayed;
    String FDisplayUnchecked;
    bool FFullFocusRect = false;
    std::unique_ptr<TBitmap> FGlyph;
    int FGlyphCount = 6;
    bool FCaptionAssigned = false;
    bool FMultiLine = false;
    TvlCheckBoxNullValueShowingStyle FNullStyle = nssGrayedChecked;
    bool FUseAlignmentWhenInplace = false;
    Variant FValueChecked;
    Variant FValueGrayed;
    Variant FValueUnchecked;
};

class TvlCheckBoxProperties : public TvlCustomCheckBoxProperties {
public:
    using TvlCustomCheckBoxProperties::TvlCustomCheckBoxProperties;
    String ClassName() const override { return String::fromLatin1("TvlCheckBoxProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

// ---- view info and view data ---------------------------------------------------

// A check box as calculated for an editor or a cell.
class TvlCustomCheckBoxViewInfo : public TvlCustomTextEditViewInfo {
public:
    String ClassName() const override { return String::fromLatin1("TvlCustomCheckBoxViewInfo"); }
    // The check and mark states first, then the rest.
    void Assign(const TObject* Source) override;
    void Offset(int DX, int DY) override;
    // The check rectangle joins when the mark or check state changed.
    std::unique_ptr<TvlRegion> GetUpdateRegion(const TvlContainerViewInfo* AOldViewInfo) const override;
    bool IsHotTrack() const override { return true; }
    bool IsHotTrackAt(const TPoint&) const override { return IsHotTrack(); }
    bool NeedShowHint(TvlCanvas*, const TPoint&, TRect&, bool&, String&) override { return false; }
    // The caption in the text rectangle.
    void DrawText(TvlCanvas* ACanvas) override;

    // taCenter: no caption.
    TAlignment CheckPosition = taLeftJustify;
    int CheckBorderOffset = 0;
    TvlEditBorderStyle CheckBorderStyle = ebsNone;
    TBitmap* Glyph = nullptr;  // the properties' own
    int GlyphCount = 0;
    TvlCheckMarkState PrevMarkState = cmsNormal;
    TRect CheckRect;
    TvlCheckMarkState MarkState = cmsNormal;
    TRect FocusRect;
    bool HasGlyph = false;
    bool IsTextColorForced = false;
    TvlCheckBoxNullValueShowingStyle NullStyle = nssGrayedChecked;
    TvlCheckBoxState State = cbsUnchecked;
    // The Space key holds the element pressed (set by the editor).
    bool SpaceHeld = false;

protected:
    void InternalPaint(TvlCanvas* ACanvas) override;
};

class TvlCustomCheckBoxViewData : public TvlCustomEditViewData {
public:
    using TvlCustomEditViewData::TvlCustomEditViewData;
    String ClassName() const override { return String::fromLatin1("TvlCustomCheckBoxViewData"); }
    const TvlCustomCheckBoxProperties* Properties() const
    {
        return static_cast<const TvlCustomCheckBoxProperties*>(TvlCustomEditViewData::Properties());
    }
    void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                   TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void EditValueToDrawValue(const Variant& AEditValue, TvlCustomEditViewInfo* AViewInfo) const override;
    // No editor frame: the border style frames the element instead.
    TvlEditBorderStyle EffectiveBorderStyle() const override { return ebsNone; }
    void InternalGetEditConstantPartSize(TvlCanvas* ACanvas, bool AIsInplace, const TvlEditMeasureParams& AMeasureParams,
                                         TSize& ASize, TSize& AMinContentSize,
                                         TvlCustomEditViewInfo* AViewInfo) override;
    // The library's text flags of the caption.
    virtual int GetCaptionTextFlags() const;
    // The element's frame style: the style's, deeper while pressed.
    TvlEditBorderStyle GetCheckElementBorderStyle(bool APressed) const;
    // The focus rectangle of a laid-out view info.
    void CalculateFocusRect(TvlCustomCheckBoxViewInfo* AViewInfo) const;
};

// ---- the control ---------------------------------------------------------------

class TvlCustomCheckBox : public TvlCustomEdit {
public:
    TvlCustomCheckBox(TComponent* AOwner, bool AIsInplace = false)
        : TvlCustomEdit(AOwner, AIsInplace, TDeferInitialize{})
    {
    }
    String ClassName() const override { return String::fromLatin1("TvlCustomCheckBox"); }
    void Initialize() override;
    TvlCustomCheckBoxProperties* Properties() const
    {
        return static_cast<TvlCustomCheckBoxProperties*>(TvlCustomEdit::Properties());
    }
    TvlCustomCheckBoxProperties* ActiveProperties() const
    {
        return static_cast<TvlCustomCheckBoxProperties*>(TvlCustomEdit::ActiveProperties());
    }
    TvlCustomCheckBoxViewInfo* ViewInfo() const { return static_cast<TvlCustomCheckBoxViewInfo*>(EditViewInfo()); }

    TvlCheckBoxState State() const;
    // Any state, grayed too; remembered while loading.
    void SetState(TvlCheckBoxState Value);
    bool Checked() const { return State() == cbsChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbsChecked : cbsUnchecked); }
    // Unchecked -> grayed (AllowGrayed) or checked; grayed -> checked;
    // checked -> unchecked; as the user's action.
    virtual void CycleState();
    void Clear() override { SetChecked(false); }

    // The action link's assignment: Checked with clicks and change events
    // held back and dropped.
    void SetCheckedFromAction(bool Value);
    bool IsSpaceHeld() const { return FSpaceHeld; }

protected:
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
    void Loaded() override;
    void InternalSetEditValue(const Variant& AValue, bool AValidateEditValue) override;
    void PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
    void PropertiesChanged(TObject* Sender) override;
    void ProcessViewInfoChanges() override;
    bool RefreshContainer(const TPoint& P, TvlMouseButton Button, TShiftState Shift, bool IsMouseEvent) override;
    void DoEditKeyDown(uint16_t& Key, TShiftState Shift) override;
    void DoEditKeyPress(QChar& Key) override;
    void DoEditKeyUp(uint16_t& Key, TShiftState Shift) override;
    void DoExit() override;
    void GetEditSizeProperties(TvlEditSizeProperties& AMeasureParams) const override;
    TvlEditStateColorKind GetEditStateColorKind() const override;
    bool IsClickEnabledDuringLoading() const override { return DataBinding()->IsDataAware(); }
    bool IsNativeBackground() const override;
    void InitializeViewData(TvlCustomEditViewData* AViewData) override;
    void TextChanged() override;
    void Dispatch(TMessage& Message) override;

private:
    void invalidateCheckRect();
    bool FSpaceHeld = false;
    bool FInLoaded = false;
    bool FStateAssignedWhileLoading = false;
    TvlCheckBoxState FLoadingState = cbsUnchecked;
};

class TvlCheckBox : public TvlCustomCheckBox {
public:
    using TvlCustomCheckBox::TvlCustomCheckBox;
    String ClassName() const override { return String::fromLatin1("TvlCheckBox"); }
    TvlCheckBoxProperties* Properties() const { return static_cast<TvlCheckBoxProperties*>(TvlCustomEdit::Properties()); }

protected:
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
};

// A repository item whose shared properties are a check box's.
class TvlEditRepositoryCheckBoxItem : public TvlEditRepositoryItem {
public:
    explicit TvlEditRepositoryCheckBoxItem(TComponent* AOwner) : TvlEditRepositoryItem(AOwner) { RecreateProperties(); }
    String ClassName() const override { return String::fromLatin1("TvlEditRepositoryCheckBoxItem"); }
    TvlCheckBoxProperties* Properties() const
    {
        return static_cast<TvlCheckBoxProperties*>(TvlEditRepositoryItem::Properties());
    }

protected:
    std::unique_ptr<TvlCustomEditProperties> CreatePropertiesOfItem() override
    {
        return std::make_unique<TvlCheckBoxProperties>(this);
    }
};

// The state of an edit value in these properties.
TvlCheckBoxState EditValueToCheckState(const TvlCustomCheckBoxProperties* AProperties, const Variant& AEditValue);

// Filter rows on a check box column: a fixed list of the checked and the
// unchecked text.
class TvlFilterCheckBoxHelper : public TvlCustomFilterEditHelper {
public:
    const TClassInfo& HelperClass() const override;
    static const TvlFilterCheckBoxHelper* Instance();
    // Item 0 the checked value, item 1 the unchecked value; -1 Null.
    static void GetFilterValue(const TvlCustomCheckBoxProperties* AProperties, int AItemIndex, Variant& AValue,
                               String& ADisplayText);
    // The item a value selects: 0 checked, 1 unchecked, -1 grayed.
    static int ShowFilterValue(const TvlCustomCheckBoxProperties* AProperties, const Variant& AValue);
    // "equals", "does not equal", "is blank", "is not blank".
    TvlFilterControlOperators SupportedOperators(const TvlCustomEditProperties* AProperties,
                                                 TvlValueTypeClass AValueTypeClass, bool AExtended) const override;
};

// Enters the check box properties and filter helper in their registries
// and makes the check-mark mask for the program's life.
void AddvlCheckBoxUnit(TStartupList& AList);
