// vlImageComboBox.h - the image combo box's properties: a list of items
// that map a value to an image and a description, and the view info that
// shows the image of the item matching a cell's value.
#pragma once
#include <vector>

#include "ui/editors/vlEdit.h"

struct TvlImageComboBoxItem {
    String Description;
    int ImageIndex = -1;
    Variant Value;
};

class TvlImageComboBoxItems {
public:
    TvlImageComboBoxItem* Add();
    int Count() const { return int(FItems.size()); }
    TvlImageComboBoxItem& Items(int Index) { return FItems.at(size_t(Index)); }
    const TvlImageComboBoxItem& Items(int Index) const { return FItems.at(size_t(Index)); }
    void Clear() { FItems.clear(); }
    // The first item whose value equals AValue by the variant rules (the
    // text "2" and the integer 2 are equal), nullptr when none does.
    const TvlImageComboBoxItem* FindItemByValue(const Variant& AValue) const;

private:
    std::vector<TvlImageComboBoxItem> FItems;
};

enum TvlPopupAlignment { vlpaLeft, vlpaRight, vlpaCenter };

class TvlImageComboBoxViewInfo : public TvlCustomEditViewInfo {
protected:
    void InternalPaint(TvlCanvas* ACanvas) override;
};

class TvlImageComboBoxProperties : public TvlCustomEditProperties {
public:
    explicit TvlImageComboBoxProperties(TPersistent* AOwner) : TvlCustomEditProperties(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlImageComboBoxProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    // Not owned: the list belongs to the form.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TvlImageComboBoxItems* Items() { return &FItems; }
    const TvlImageComboBoxItems* Items() const { return &FItems; }
    bool ShowDescriptions() const { return FShowDescriptions; }
    void SetShowDescriptions(bool Value);
    bool ImmediateDropDown() const { return FImmediateDropDown; }
    void SetImmediateDropDown(bool Value) { FImmediateDropDown = Value; }
    TvlPopupAlignment PopupAlignment() const { return FPopupAlignment; }
    void SetPopupAlignment(TvlPopupAlignment Value) { FPopupAlignment = Value; }

    // The matching item's description (or the value's text without one).
    String GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) const override;
    std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const override;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;

private:
    TImageList* FImages = nullptr;
    TvlImageComboBoxItems FItems;
    bool FShowDescriptions = true;
    bool FImmediateDropDown = true;
    TvlPopupAlignment FPopupAlignment = vlpaLeft;
};
