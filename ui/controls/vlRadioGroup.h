// vlRadioGroup.h - the radio group: one choice among items, each with a
// value (or its caption); standalone with a radio button per item, painted
// in a grid cell.
#pragma once
#include "ui/controls/vlButtonGroup.h"
#include "ui/controls/vlRadioButton.h"

class TvlRadioGroupItem : public TvlButtonGroupItem {
public:
    explicit TvlRadioGroupItem(TCollection* Collection) : TvlButtonGroupItem(Collection) {}
    String ClassName() const override { return String::fromLatin1("TvlRadioGroupItem"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    const Variant& Value() const { return FValue; }
    // A value of another type or content (exact comparison) is a change.
    void SetValue(const Variant& Value);

private:
    Variant FValue = Null();
};

class TvlRadioGroupItems : public TvlButtonGroupItems {
public:
    using TvlButtonGroupItems::TvlButtonGroupItems;
    String ClassName() const override { return String::fromLatin1("TvlRadioGroupItems"); }
    TvlRadioGroupItem* Items(int Index) const { return static_cast<TvlRadioGroupItem*>(TCollection::Items(Index)); }
    TvlRadioGroupItem* Add() { return static_cast<TvlRadioGroupItem*>(TCollection::Add()); }
};

class TvlCustomRadioGroupProperties : public TvlCustomButtonGroupProperties {
public:
    explicit TvlCustomRadioGroupProperties(TPersistent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlCustomRadioGroupProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    TvlRadioGroupItems* Items() const { return static_cast<TvlRadioGroupItems*>(TvlCustomButtonGroupProperties::Items()); }
    const String& DefaultCaption() const { return FDefaultCaption; }
    void SetDefaultCaption(const String& Value);
    bool IsDefaultCaptionStored() const;
    const Variant& DefaultValue() const { return FDefaultValue; }
    void SetDefaultValue(const Variant& Value);

    // The first item whose Value equals the edit value exactly, or, for an
    // item without a Value, whose Caption is the value's text; -1 for none.
    int GetItemIndexOfValue(const Variant& AEditValue) const;
    // The edit value of an item index: -1 DefaultValue, else the item's
    // Value or, without one, its Caption.
    Variant GetValueOfItemIndex(int AIndex) const;

    bool UsesInnerEditChangeEvent() const override { return true; }
    bool HasDisplayValue() const override { return true; }
    bool IsResetEditClass() const override { return true; }
    TvlCustomEditClass GetContainerClass() const override;
    bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) const override;
    String GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) const override;
    uint32_t GetSupportedOperations() const override;
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) const override;
    // Not balanced: min(Columns, items), at least 1.
    int GetColumnCount() const override;
    std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const override;
    std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                          bool APreviewMode = false) const override;

protected:
    std::unique_ptr<TvlButtonGroupItems> CreateItems() const override;
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;

private:
    String FDefaultCaption;
    Variant FDefaultValue = Null();
};

class TvlRadioGroupProperties : public TvlCustomRadioGroupProperties {
public:
    using TvlCustomRadioGroupProperties::TvlCustomRadioGroupProperties;
    String ClassName() const override { return String::fromLatin1("TvlRadioGroupProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

class TvlCustomRadioGroupViewInfo : public TvlButtonGroupViewInfo {
public:
    String ClassName() const override { return String::fromLatin1("TvlCustomRadioGroupViewInfo"); }
    void DrawButtonGlyph(TvlCanvas* ACanvas, int AIndex, const TRect& AGlyphRect) override;
    void DrawButtonCaption(TvlCanvas* ACanvas, int AIndex, const TRect& AGlyphRect) override;
    bool IsButtonGlyphTransparent(int AIndex) const override;
    // The item checked when painting without child buttons.
    int CheckedItemIndex = -1;
};

class TvlCustomRadioGroupViewData : public TvlButtonGroupViewData {
public:
    using TvlButtonGroupViewData::TvlButtonGroupViewData;
    String ClassName() const override { return String::fromLatin1("TvlCustomRadioGroupViewData"); }
    const TvlCustomRadioGroupProperties* Properties() const
    {
        return static_cast<const TvlCustomRadioGroupProperties*>(TvlCustomEditViewData::Properties());
    }
    void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                   TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void EditValueToDrawValue(const Variant& AEditValue, TvlCustomEditViewInfo* AViewInfo) const override;
    void GetButtonMetrics(bool AWithCanvas, TvlButtonGroupMetrics& AMetrics) const override;
};

class TvlCustomRadioGroup;

// A radio button that belongs to a radio group.
class TvlCustomRadioGroupButton : public TvlRadioButton {
public:
    explicit TvlCustomRadioGroupButton(TvlCustomRadioGroup* AGroup);
    ~TvlCustomRadioGroupButton() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomRadioGroupButton"); }
    TvlCustomRadioGroup* Group() const { return FGroup; }
    // A user's check reports to the group; the group's own does not.
    void SetChecked(bool Value) override;
    void SetCheckedInternally(bool Value);
    bool IsInplace() const override;
    bool IsNativeStyle() const override;
    bool IsTransparent() const override;

protected:
    void DoEnter() override;
    void DoExit() override;
    void ButtonClicked() override;
    void Click() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TvlCustomRadioGroup* FGroup;
    bool FFocusingByMouse = false;
    bool FInternalSetting = false;
};

class TvlCustomRadioGroup : public TvlCustomButtonGroup {
public:
    using TvlCustomButtonGroup::TvlCustomButtonGroup;
    String ClassName() const override { return String::fromLatin1("TvlCustomRadioGroup"); }
    void Initialize() override;
    TvlCustomRadioGroupProperties* ActiveProperties() const
    {
        return static_cast<TvlCustomRadioGroupProperties*>(TvlCustomEdit::ActiveProperties());
    }
    TvlCustomRadioGroupProperties* Properties() const
    {
        return static_cast<TvlCustomRadioGroupProperties*>(TvlCustomEdit::Properties());
    }
    TvlCustomRadioGroupButton* RadioButton(int Index) const
    {
        return static_cast<TvlCustomRadioGroupButton*>(Buttons(Index));
    }

    // The checked button at run time; the stored index while loading.
    int ItemIndex() const;
    // Clamped to -1 .. buttons - 1; the edit value follows.
    void SetItemIndex(int Value);
    int GetCheckedIndex() const;
    // Whether the group takes part in the tab order (its buttons do, when
    // one of them is checked).
    bool GroupTabStop() const { return FGroupTabStop; }
    void SetGroupTabStop(bool Value);
    void Clear() override { SetItemIndex(-1); }
    bool IsGroupFocused() const;

    void UpdateButtons() override;
    void SetFocus() override;
    // A button the user checked.
    void ButtonChecked(TvlCustomRadioGroupButton* AButton);
    void SetEditValueAndCheck(const Variant& AValue, bool AValidate, bool AForced);
    bool IsLoadingState() const;

protected:
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
    TWinControl* CreateButton() override;
    void Loaded() override;
    void InternalSetEditValue(const Variant& AValue, bool AValidateEditValue) override;
    void PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
    void SynchronizeButtonsStyle() override;
    void Dispatch(TMessage& Message) override;
    void CheckButton(int AIndex, bool AForced);
    void ApplyStoredState();
    void updateTabStops();

private:
    friend class TvlCustomRadioGroupButton;
    int FStoredItemIndex = -1;
    bool FGroupTabStop = true;
};

class TvlRadioGroup : public TvlCustomRadioGroup {
public:
    using TvlCustomRadioGroup::TvlCustomRadioGroup;
    String ClassName() const override { return String::fromLatin1("TvlRadioGroup"); }
    TvlRadioGroupProperties* Properties() const
    {
        return static_cast<TvlRadioGroupProperties*>(TvlCustomEdit::Properties());
    }

protected:
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
};

// A repository item whose shared properties are a radio group's.
class TvlEditRepositoryRadioGroupItem : public TvlEditRepositoryItem {
public:
    explicit TvlEditRepositoryRadioGroupItem(TComponent* AOwner) : TvlEditRepositoryItem(AOwner)
    {
        RecreateProperties();
    }
    String ClassName() const override { return String::fromLatin1("TvlEditRepositoryRadioGroupItem"); }
    TvlRadioGroupProperties* Properties() const
    {
        return static_cast<TvlRadioGroupProperties*>(TvlEditRepositoryItem::Properties());
    }

protected:
    std::unique_ptr<TvlCustomEditProperties> CreatePropertiesOfItem() override
    {
        return std::make_unique<TvlRadioGroupProperties>(this);
    }
};

// Filter rows on a radio group column: the items' captions in a fixed list.
class TvlFilterRadioGroupHelper : public TvlCustomFilterEditHelper {
public:
    const TClassInfo& HelperClass() const override;
    static const TvlFilterRadioGroupHelper* Instance();
    // "equals", "does not equal", "is blank", "is not blank"; extended also
    // "in" and "not in".
    TvlFilterControlOperators SupportedOperators(const TvlCustomEditProperties* AProperties,
                                                 TvlValueTypeClass AValueTypeClass, bool AExtended) const override;
};

// Enters the radio group's properties and filter helper in their registries.
void AddvlRadioGroupUnit(TStartupList& AList);
