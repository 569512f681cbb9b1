// vlImageComboBox.h - the image combo box: a fixed list of items that map
// a value to an image and a description. Its view data and view info draw
// the item of a value (the job list's status cells); the editor lets the
// user pick an item from a list of images and descriptions.
#pragma once
#include "platform/graphics/ImgList.h"
#include "ui/editors/vlDropDownEdit.h"

class TvlCustomImageComboBoxProperties;

enum TvlImageAlign { iaLeft, iaRight };

// One item: the value it stands for, with its image and description.
class TvlImageComboBoxItem : public TCollectionItem {
public:
    // A new item takes the image of its own index when the properties'
    // image list already holds that many images.
    explicit TvlImageComboBoxItem(TCollection* Collection);
    String ClassName() const override { return String::fromLatin1("TvlImageComboBoxItem"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    // Description, ImageIndex, Tag and Value.
    void Assign(const TPersistent* Source) override;

    const String& Description() const { return FDescription; }
    void SetDescription(const String& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    const Variant& Value() const { return FValue; }
    // A value of another type or content is a change (the text "2" is not
    // the integer 2 here).
    void SetValue(const Variant& Value);

private:
    String FDescription;
    int FImageIndex = -1;
    int FTag = 0;
    Variant FValue;
};

class TvlImageComboBoxItems : public TOwnedCollection {
public:
    explicit TvlImageComboBoxItems(TvlCustomImageComboBoxProperties* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlImageComboBoxItems"); }
    TvlImageComboBoxItem* Add() { return static_cast<TvlImageComboBoxItem*>(TCollection::Add()); }
    TvlImageComboBoxItem* Items(int Index) const
    {
        return static_cast<TvlImageComboBoxItem*>(TCollection::Items(Index));
    }
    TvlCustomImageComboBoxProperties* Properties() const { return FProperties; }

protected:
    // Any change of the list is a change of the properties.
    void Update(TCollectionItem* Item) override;

private:
    TvlCustomImageComboBoxProperties* FProperties;
};

class TvlCustomImageComboBoxProperties : public TvlCustomComboBoxProperties {
public:
    explicit TvlCustomImageComboBoxProperties(TPersistent* AOwner);
    ~TvlCustomImageComboBoxProperties() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomImageComboBoxProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    // The fields below (Items copied, not shared) after the combo box's.
    void Assign(const TPersistent* Source) override;

    const String& DefaultDescription() const { return FDefaultDescription; }
    void SetDefaultDescription(const String& Value);
    int DefaultImageIndex() const { return FDefaultImageIndex; }
    void SetDefaultImageIndex(int Value);
    TvlImageAlign ImageAlign() const { return FImageAlign; }
    void SetImageAlign(TvlImageAlign Value);
    // Not owned: the lists belong to the form; a list going away clears it.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TvlImageComboBoxItems* Items() const { return FItems.get(); }
    void SetItems(const TvlImageComboBoxItems* Value);
    TImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TImageList* Value);
    bool MultiLineText() const { return FMultiLineText; }
    void SetMultiLineText(bool Value);
    bool ShowDescriptions() const { return FShowDescriptions; }
    void SetShowDescriptions(bool Value);

    // The first item whose Value equals AValue by the variant rules (the
    // text "2" finds the item of the integer 2), nullptr when none does.
    TvlImageComboBoxItem* FindItemByValue(const Variant& AValue) const;
    // The item's description and image (the defaults without an item); the
    // text is empty unless descriptions show or AForceDescription.
    virtual void GetItemDescriptionAndImage(const TvlImageComboBoxItem* AItem, String& AText,
                                            bool AForceDescription, int& AImageIndex) const;
    void GetDescriptionAndImage(const Variant& AValue, String& AText, int& AImageIndex) const;

    // Overrides.
    void FreeNotification(TComponent* AComponent) override;
    uint32_t GetDisplayFormatOptions() const override { return 0; }
    bool UsesInnerEditChangeEvent() const override { return false; }
    bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) const override;
    String GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) const override;
    uint32_t GetSupportedOperations() const override;
    bool IsEditValueValid(Variant&, bool) const override { return true; }
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) const override;
    int GetEditValueSource(bool) const override { return 0; }
    bool FindLookupText(const String& AText) const override;
    std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const override;
    std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                          bool APreviewMode = false) const override;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;

private:
    void imagesChanged(TObject*) { Changed(); }

    String FDefaultDescription;
    int FDefaultImageIndex = -1;
    TvlImageAlign FImageAlign = iaLeft;
    TImageList* FImages = nullptr;
    std::unique_ptr<TChangeLink> FImagesChangeLink;
    std::unique_ptr<TvlImageComboBoxItems> FItems;
    TImageList* FLargeImages = nullptr;
    std::unique_ptr<TChangeLink> FLargeImagesChangeLink;
    bool FMultiLineText = false;
    bool FShowDescriptions = true;
};

// The published settings; the job list's status column uses them.
class TvlImageComboBoxProperties : public TvlCustomImageComboBoxProperties {
public:
    explicit TvlImageComboBoxProperties(TPersistent* AOwner) : TvlCustomImageComboBoxProperties(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlImageComboBoxProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

class TvlImageComboBoxViewInfo : public TvlCustomTextEditViewInfo {
public:
    String ClassName() const override { return String::fromLatin1("TvlImageComboBoxViewInfo"); }
    void Offset(int DX, int DY) override;

    TRect ImageRect;
    bool ShowDescriptions = true;
    TvlImageAlign ImageAlign = iaLeft;
    int ImageIndex = -1;
    // The properties' Images: the editor never draws the large ones.
    const TImageList* Images = nullptr;

protected:
    // The text editor's painting, then the image clipped to its rectangle
    // and the border.
    void InternalPaint(TvlCanvas* ACanvas) override;
};

class TvlImageComboBoxViewData : public TvlCustomDropDownEditViewData {
public:
    using TvlCustomDropDownEditViewData::TvlCustomDropDownEditViewData;
    String ClassName() const override { return String::fromLatin1("TvlImageComboBoxViewData"); }
    const TvlCustomImageComboBoxProperties* Properties() const
    {
        return static_cast<const TvlCustomImageComboBoxProperties*>(TvlCustomEditViewData::Properties());
    }
    // The image centred without descriptions, else at the ImageAlign side
    // with the text beside it.
    void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                   TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    void EditValueToDrawValue(const Variant& AEditValue, TvlCustomEditViewInfo* AViewInfo) const override;
    void DisplayValueToDrawValue(const Variant& ADisplayValue, TvlCustomTextEditViewInfo* AViewInfo) const override;
    void InternalEditValueToDisplayText(const Variant& AEditValue, String& AText) const override;
    void InternalGetEditConstantPartSize(TvlCanvas* ACanvas, bool AIsInplace,
                                         const TvlEditMeasureParams& AMeasureParams, TSize& ASize,
                                         TSize& AMinContentSize, TvlCustomEditViewInfo* AViewInfo) override;
    bool IsComboBoxStyle() const override;
};
