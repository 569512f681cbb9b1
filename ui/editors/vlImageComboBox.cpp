#include "ui/editors/vlImageComboBox.h"
#include "platform/rtl/TypInfo.h"

#include "platform/graphics/ImgList.h"

TvlImageComboBoxItem* TvlImageComboBoxItems::Add()
{
    FItems.emplace_back();
    return &FItems.back();
}

const TvlImageComboBoxItem* TvlImageComboBoxItems::FindItemByValue(const Variant& AValue) const
{
    for (const TvlImageComboBoxItem& item : FItems)
        if (VarEqualsExact(item.Value, AValue))
            return &item;
    return nullptr;
}

void TvlImageComboBoxViewInfo::InternalPaint(TvlCanvas* ACanvas)
{
    TvlCustomEditViewInfo::InternalPaint(ACanvas);
    const auto* properties = static_cast<const TvlImageComboBoxProperties*>(Properties);
    const TImageList* images = properties->Images();
    const TvlImageComboBoxItem* item = properties->Items()->FindItemByValue(Value);
    const int imageIndex = item != nullptr ? item->ImageIndex : -1;
    const String text = item != nullptr && properties->ShowDescriptions() ? item->Description : String();
    const TAlignment horz = properties->Alignment()->Horz();
    if (Font != nullptr)
        ACanvas->SetFont(Font);
    const bool hasImage = images != nullptr && imageIndex >= 0 && imageIndex < images->Count();
    const int imageWidth = hasImage ? images->Width() : 0;
    const int textWidth = text.isEmpty() ? 0 : ACanvas->TextWidth(text) + 2;
    const int contentWidth = imageWidth + textWidth;
    int x = Bounds.Left + 2;
    if (horz == taCenter)
        x = Bounds.Left + (Bounds.Width() - contentWidth) / 2;
    else if (horz == taRightJustify)
        x = Bounds.Right - 2 - contentWidth;
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(Bounds);
    if (hasImage)
        images->Draw(ACanvas->Canvas(), x, Bounds.Top + (Bounds.Height() - images->Height()) / 2, imageIndex);
    if (!text.isEmpty()) {
        TRect r = Rect(x + imageWidth + 2, Bounds.Top, Bounds.Right, Bounds.Bottom);
        DrawTextOnCanvas(ACanvas->Canvas(), text, r, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS,
                         TextColor);
    }
    ACanvas->RestoreClipRegion();
}

void TvlImageComboBoxProperties::SetImages(TImageList* Value)
{
    if (Value == FImages)
        return;
    FImages = Value;
    Changed();
}

void TvlImageComboBoxProperties::SetShowDescriptions(bool Value)
{
    if (Value == FShowDescriptions)
        return;
    FShowDescriptions = Value;
    Changed();
}

String TvlImageComboBoxProperties::GetDisplayText(const Variant& AEditValue, bool, bool) const
{
    if (const TvlImageComboBoxItem* item = FItems.FindItemByValue(AEditValue))
        return item->Description;
    try {
        return VarToStr(AEditValue);
    } catch (const EVariantError&) {
        return String();
    }
}

std::unique_ptr<TvlCustomEditProperties> TvlImageComboBoxProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlImageComboBoxProperties>(AOwner);
}

std::unique_ptr<TvlCustomEditViewInfo> TvlImageComboBoxProperties::CreateViewInfo() const
{
    auto info = std::make_unique<TvlImageComboBoxViewInfo>();
    info->Properties = this;
    return info;
}

const TClassInfo* TvlImageComboBoxProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlImageComboBoxProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlImageComboBoxProperties>("TvlImageComboBoxProperties", &TvlCustomEditProperties::StaticClassInfo()).Build();
    return info;
}
