// The image combo box's items, settings, view data and view info.
#include "ui/editors/vlImageComboBox.h"

#include "platform/rtl/TypInfo.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vxThemeManager.h"

// ------------------------------------------------------------ items

TvlImageComboBoxItem::TvlImageComboBoxItem(TCollection* Collection) : TCollectionItem(Collection)
{
    FValue = Null();
    const auto* items = dynamic_cast<const TvlImageComboBoxItems*>(Collection);
    const TvlCustomImageComboBoxProperties* properties = items != nullptr ? items->Properties() : nullptr;
    // The collection does not count this item yet: it becomes the last.
    const int index = Collection != nullptr ? Collection->Count() : 0;
    if (properties != nullptr && properties->Images() != nullptr && properties->Images()->Count() >= index + 1)
        FImageIndex = index;
}

void TvlImageComboBoxItem::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlImageComboBoxItem*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    FDescription = source->FDescription;
    FImageIndex = source->FImageIndex;
    FTag = source->FTag;
    FValue = source->FValue;
    Changed(false);
}

void TvlImageComboBoxItem::SetDescription(const String& Value)
{
    if (Value == FDescription)
        return;
    FDescription = Value;
    Changed(false);
}

void TvlImageComboBoxItem::SetImageIndex(int Value)
{
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    Changed(false);
}

void TvlImageComboBoxItem::SetValue(const Variant& Value)
{
    if (InternalVarEqualsExact(Value, FValue))
        return;
    FValue = Value;
    Changed(false);
}

const TClassInfo* TvlImageComboBoxItem::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlImageComboBoxItem::StaticClassInfo()
{
    using I = TvlImageComboBoxItem;
    static const TClassInfo info = TClassInfoBuilder<I>("TvlImageComboBoxItem", &TCollectionItem::StaticClassInfo())
                                       .Str("Description", &I::Description, &I::SetDescription)
                                       .Int("ImageIndex", &I::ImageIndex, &I::SetImageIndex, -1)
                                       .Int("Tag", &I::Tag, &I::SetTag, 0)
                                       .Build();
    return info;
}

TvlImageComboBoxItems::TvlImageComboBoxItems(TvlCustomImageComboBoxProperties* AOwner)
    : TOwnedCollection(AOwner, ItemClassOf<TvlImageComboBoxItem>()), FProperties(AOwner)
{
}

void TvlImageComboBoxItems::Update(TCollectionItem* Item)
{
    TOwnedCollection::Update(Item);
    FProperties->Changed();
}

// ------------------------------------------------------------ properties

TvlCustomImageComboBoxProperties::TvlCustomImageComboBoxProperties(TPersistent* AOwner)
    : TvlCustomComboBoxProperties(AOwner)
{
    FItems = std::make_unique<TvlImageComboBoxItems>(this);
    FImagesChangeLink = std::make_unique<TChangeLink>();
    FImagesChangeLink->OnChange = TNotifyEvent(this, &TvlCustomImageComboBoxProperties::imagesChanged);
    FLargeImagesChangeLink = std::make_unique<TChangeLink>();
    FLargeImagesChangeLink->OnChange = TNotifyEvent(this, &TvlCustomImageComboBoxProperties::imagesChanged);
    SetDropDownListStyle(lsFixedList);
}

TvlCustomImageComboBoxProperties::~TvlCustomImageComboBoxProperties()
{
    FImagesChangeLink->OnChange = {};
    FLargeImagesChangeLink->OnChange = {};
    SetImages(nullptr);
    SetLargeImages(nullptr);
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomImageComboBoxProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomImageComboBoxProperties>(AOwner);
}

void TvlCustomImageComboBoxProperties::Assign(const TPersistent* Source)
{
    BeginUpdate();
    TvlCustomComboBoxProperties::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlCustomImageComboBoxProperties*>(Source)) {
        SetDefaultDescription(source->FDefaultDescription);
        SetDefaultImageIndex(source->FDefaultImageIndex);
        SetImageAlign(source->FImageAlign);
        SetImages(source->FImages);
        SetItems(source->FItems.get());
        SetLargeImages(source->FLargeImages);
        SetMultiLineText(source->FMultiLineText);
        SetShowDescriptions(source->FShowDescriptions);
    }
    EndUpdate();
}

namespace {

template <class T>
void setReported(TvlCustomEditProperties* AProperties, T& AField, const T& Value)
{
    if (Value == AField)
        return;
    AField = Value;
    AProperties->Changed();
}

}  // namespace

void TvlCustomImageComboBoxProperties::SetDefaultDescription(const String& Value)
{
    setReported(this, FDefaultDescription, Value);
}

void TvlCustomImageComboBoxProperties::SetDefaultImageIndex(int Value) { setReported(this, FDefaultImageIndex, Value); }
void TvlCustomImageComboBoxProperties::SetImageAlign(TvlImageAlign Value) { setReported(this, FImageAlign, Value); }
void TvlCustomImageComboBoxProperties::SetMultiLineText(bool Value) { setReported(this, FMultiLineText, Value); }
void TvlCustomImageComboBoxProperties::SetShowDescriptions(bool Value) { setReported(this, FShowDescriptions, Value); }

void TvlCustomImageComboBoxProperties::SetImages(TImageList* Value)
{
    AssignImageList(Value, FImages, FImagesChangeLink.get(), FreeNotificator());
}

void TvlCustomImageComboBoxProperties::SetLargeImages(TImageList* Value)
{
    AssignImageList(Value, FLargeImages, FLargeImagesChangeLink.get(), FreeNotificator());
}

void TvlCustomImageComboBoxProperties::SetItems(const TvlImageComboBoxItems* Value)
{
    FItems->Assign(Value);
    Changed();
}

void TvlCustomImageComboBoxProperties::FreeNotification(TComponent* AComponent)
{
    TvlCustomComboBoxProperties::FreeNotification(AComponent);
    if (AComponent == FImages)
        SetImages(nullptr);
    if (AComponent == FLargeImages)
        SetLargeImages(nullptr);
}

TvlImageComboBoxItem* TvlCustomImageComboBoxProperties::FindItemByValue(const Variant& AValue) const
{
    for (int i = 0; i < FItems->Count(); ++i) {
        TvlImageComboBoxItem* item = FItems->Items(i);
        bool equal = false;
        try {
            equal = VarEqualsExact(item->Value(), AValue);
        } catch (const Exception&) {
            equal = false;  // a value that does not convert matches no item
        }
        if (equal)
            return item;
    }
    return nullptr;
}

void TvlCustomImageComboBoxProperties::GetItemDescriptionAndImage(const TvlImageComboBoxItem* AItem, String& AText,
                                                                  bool AForceDescription, int& AImageIndex) const
{
    if (FShowDescriptions || AForceDescription)
        AText = AItem != nullptr ? AItem->Description() : FDefaultDescription;
    else
        AText.clear();
    AImageIndex = AItem != nullptr ? AItem->ImageIndex() : FDefaultImageIndex;
}

void TvlCustomImageComboBoxProperties::GetDescriptionAndImage(const Variant& AValue, String& AText,
                                                              int& AImageIndex) const
{
    GetItemDescriptionAndImage(FindItemByValue(AValue), AText, false, AImageIndex);
}

bool TvlCustomImageComboBoxProperties::CompareDisplayValues(const Variant& AEditValue1,
                                                            const Variant& AEditValue2) const
{
    String text1, text2;
    int image1 = -1, image2 = -1;
    GetItemDescriptionAndImage(FindItemByValue(AEditValue1), text1, true, image1);
    GetItemDescriptionAndImage(FindItemByValue(AEditValue2), text2, true, image2);
    return text1 == text2 && (FImages == nullptr || image1 == image2);
}

void TvlCustomImageComboBoxProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                           bool) const
{
    String text;
    int image = -1;
    GetItemDescriptionAndImage(FindItemByValue(AEditValue), text, true, image);
    DisplayValue = Variant(text);
}

String TvlCustomImageComboBoxProperties::GetDisplayText(const Variant& AEditValue, bool, bool) const
{
    Variant display;
    PrepareDisplayValue(AEditValue, display, false);
    return VarToStr(display);
}

uint32_t TvlCustomImageComboBoxProperties::GetSupportedOperations() const
{
    uint32_t result = vlesoIncSearch | vlesoFiltering | vlesoGrouping | vlesoSorting | (1u << 9);
    if (Buttons()->Count() > 0)
        result |= vlesoShowingButtons;
    if (FShowDescriptions)
        result |= vlesoSortingByDisplayText;
    return result;
}

bool TvlCustomImageComboBoxProperties::FindLookupText(const String& AText) const
{
    if (!FShowDescriptions)
        return false;
    for (int i = 0; i < FItems->Count(); ++i)
        if (FItems->Items(i)->Description().compare(AText, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

std::unique_ptr<TvlCustomEditViewInfo> TvlCustomImageComboBoxProperties::CreateViewInfo() const
{
    auto info = std::make_unique<TvlImageComboBoxViewInfo>();
    info->Properties = this;
    return info;
}

std::unique_ptr<TvlCustomEditViewData> TvlCustomImageComboBoxProperties::CreateViewData(TvlCustomEditStyle* AStyle,
                                                                                        bool AIsInplace,
                                                                                        bool APreviewMode) const
{
    auto data = std::make_unique<TvlImageComboBoxViewData>(this, AStyle, AIsInplace);
    data->PreviewMode = APreviewMode;
    return data;
}

const TClassInfo* TvlCustomImageComboBoxProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomImageComboBoxProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomImageComboBoxProperties>(
                                       "TvlCustomImageComboBoxProperties", &TvlCustomComboBoxProperties::StaticClassInfo())
                                       .Build();
    return info;
}

namespace {

const char* const imageAlignNames[] = {"iaLeft", "iaRight"};
const TEnumInfo imageAlignInfo{"TvlImageAlign", imageAlignNames};
const char* const alignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
const TEnumInfo alignmentInfo{"TAlignment", alignmentNames};

}  // namespace

std::unique_ptr<TvlCustomEditProperties> TvlImageComboBoxProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlImageComboBoxProperties>(AOwner);
}

const TClassInfo* TvlImageComboBoxProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlImageComboBoxProperties::StaticClassInfo()
{
    using P = TvlImageComboBoxProperties;
    static const TClassInfo info =
        TClassInfoBuilder<P>("TvlImageComboBoxProperties", &TvlCustomImageComboBoxProperties::StaticClassInfo())
            .Object("Alignment", &P::Alignment, &P::SetAlignment)
            .Stored([](const P& p) { return p.IsAlignmentStored(); })
            .Object("AssignedValues", &P::AssignedValues, &P::SetAssignedValues)
            .Int("ClearKey", &P::ClearKey, &P::SetClearKey, TShortCut(0))
            .Str("DefaultDescription", &P::DefaultDescription, &P::SetDefaultDescription)
            .Int("DefaultImageIndex", &P::DefaultImageIndex, &P::SetDefaultImageIndex, -1)
            .Int("DropDownRows", &P::DropDownRows, &P::SetDropDownRows, 8)
            .Enum("ImageAlign", imageAlignInfo, &P::ImageAlign, &P::SetImageAlign, iaLeft)
            .Bool("ImmediateDropDown", &P::ImmediateDropDown, &P::SetImmediateDropDown, true)
            .Bool("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost, false)
            .Bool("ImmediateUpdateText", &P::ImmediateUpdateText, &P::SetImmediateUpdateText, false)
            .Collection("Items", &P::Items, &P::SetItems)
            .Bool("MultiLineText", &P::MultiLineText, &P::SetMultiLineText, false)
            .Enum("PopupAlignment", alignmentInfo, &P::PopupAlignment, &P::SetPopupAlignment, taLeftJustify)
            .Bool("PostPopupValueOnTab", &P::PostPopupValueOnTab, &P::SetPostPopupValueOnTab, false)
            .Bool("ReadOnly", &P::ReadOnly, &P::SetReadOnly)
            .Stored([](const P& p) { return p.IsReadOnlyStored(); })
            .Bool("Revertable", &P::Revertable, &P::SetRevertable, false)
            .Bool("ShowDescriptions", &P::ShowDescriptions, &P::SetShowDescriptions, true)
            .Bool("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter, true)
            .Build();
    return info;
}

// ------------------------------------------------------------ view info

void TvlImageComboBoxViewInfo::Offset(int DX, int DY)
{
    TvlCustomTextEditViewInfo::Offset(DX, DY);
    OffsetRect(ImageRect, DX, DY);
}

void TvlImageComboBoxViewInfo::InternalPaint(TvlCanvas* ACanvas)
{
    if (!ACanvas->RectVisible(Bounds))
        return;
    TvlCustomTextEditViewInfo::InternalPaint(ACanvas);
    if (Images == nullptr || ImageIndex < 0 || ImageIndex >= Images->Count())
        return;
    ACanvas->SaveClipRegion();
    TRect clip;
    IntersectRect(clip, ImageRect, BorderRect);
    ACanvas->IntersectClipRect(clip);
    if (Transparent || (NativeStyle && AreVisualStylesAvailable()))
        Images->Draw(ACanvas->Canvas(), ImageRect.Left, ImageRect.Top, ImageIndex, Enabled);
    else
        DrawGlyphFromImageList(ACanvas, Images, ImageIndex, ImageRect, BackgroundColor(), Enabled);
    ACanvas->RestoreClipRegion();
}

// ------------------------------------------------------------ view data

void TvlImageComboBoxViewData::Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos,
                                         TvlMouseButton AButton, TShiftState AShift,
                                         TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    TvlCustomDropDownEditViewData::Calculate(ACanvas, ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* info = static_cast<TvlImageComboBoxViewInfo*>(AViewInfo);
    const TvlCustomImageComboBoxProperties* properties = Properties();
    info->ImageAlign = properties->ImageAlign();
    info->Images = properties->Images();
    info->ShowDescriptions = properties->ShowDescriptions();
    TRect r = IsInplace ? info->TextRect : info->ClientRect;
    if (const TImageList* images = info->Images) {
        info->ImageRect = info->ClientRect;
        info->ImageRect.Left += 2;
        info->ImageRect.Right -= 2;
        const int gap = IsInplace ? 4 : 2;
        const int width = images->Width();
        const int height = images->Height();
        if (info->ImageRect.Width() > width) {
            if (!info->ShowDescriptions) {
                info->ImageRect.Left += (info->ImageRect.Width() - width) / 2;
                info->ImageRect.Right = info->ImageRect.Left + width;
            } else if (info->ImageAlign == iaLeft) {
                info->ImageRect.Right = info->ImageRect.Left + width;
                r.Left = info->ImageRect.Right + gap;
            } else {
                info->ImageRect.Left = info->ImageRect.Right - width;
                r.Right = info->ImageRect.Left - gap;
            }
        } else {
            r.Left = r.Right;  // no room for text
        }
        if (info->ImageRect.Height() > height) {
            info->ImageRect.Top += (info->ImageRect.Height() - height) / 2;
            info->ImageRect.Bottom = info->ImageRect.Top + height;
        }
    }
    if (!IsInplace) {
        info->ClientRect = r;
        r.Left += 2;
        r.Right -= 2;
        r.Top += 1;
        r.Bottom -= 1;
        info->DrawSelectionBar = false;
    }
    info->TextRect = r;
    if (!info->ShowDescriptions)
        info->Text.clear();
}

void TvlImageComboBoxViewData::EditValueToDrawValue(const Variant& AEditValue, TvlCustomEditViewInfo* AViewInfo) const
{
    auto* info = static_cast<TvlImageComboBoxViewInfo*>(AViewInfo);
    String text;
    Properties()->GetDescriptionAndImage(AEditValue, text, info->ImageIndex);
    if (OnGetDisplayText)
        OnGetDisplayText(text);
    info->Text = text;
    info->ResetTextOutData();
}

void TvlImageComboBoxViewData::DisplayValueToDrawValue(const Variant&, TvlCustomTextEditViewInfo* AViewInfo) const
{
    auto* info = static_cast<TvlImageComboBoxViewInfo*>(AViewInfo);
    const TvlCustomImageComboBoxProperties* properties = Properties();
    const TvlImageComboBoxItem* item = nullptr;
    if (const auto* edit = dynamic_cast<const TvlCustomTextEdit*>(Edit)) {
        const int index = edit->ItemIndex();
        item = index >= 0 && index < properties->Items()->Count() ? properties->Items()->Items(index)
                                                                  : properties->FindItemByValue(edit->EditValue());
    }
    String text;
    properties->GetItemDescriptionAndImage(item, text, false, info->ImageIndex);
    info->Text = text;
    info->ResetTextOutData();
}

void TvlImageComboBoxViewData::InternalEditValueToDisplayText(const Variant& AEditValue, String& AText) const
{
    int image = -1;
    Properties()->GetDescriptionAndImage(AEditValue, AText, image);
}

void TvlImageComboBoxViewData::InternalGetEditConstantPartSize(TvlCanvas* ACanvas, bool AIsInplace,
                                                               const TvlEditMeasureParams& AMeasureParams,
                                                               TSize& ASize, TSize& AMinContentSize,
                                                               TvlCustomEditViewInfo* AViewInfo)
{
    TvlCustomDropDownEditViewData::InternalGetEditConstantPartSize(ACanvas, AIsInplace, AMeasureParams, ASize,
                                                                   AMinContentSize, AViewInfo);
    if (const TImageList* images = Properties()->Images()) {
        ASize.cx += images->Width() + 5;
        AMinContentSize.cy = std::max(AMinContentSize.cy, images->Height());
    } else {
        ASize.cx += 1;
    }
}

bool TvlImageComboBoxViewData::IsComboBoxStyle() const { return AreVisualStylesAvailable(); }
