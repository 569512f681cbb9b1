#include "ui/editors/vlTextEdit.h"
#include "platform/rtl/TypInfo.h"

void TvlCustomTextEditViewInfo::InternalPaint(TvlCanvas* ACanvas)
{
    TvlCustomEditViewInfo::InternalPaint(ACanvas);
    TRect r = Bounds;
    InflateRect(r, -TextOffset, 0);
    if (r.IsEmpty())
        return;
    const TvlEditAlignment* alignment = Properties->Alignment();
    uint32_t flags = vlAlignmentToDrawTextFlags(alignment->Horz(), alignment->Vert());
    if (ShowEndEllipsis)
        flags |= DT_END_ELLIPSIS;
    if (Font != nullptr)
        ACanvas->SetFont(Font);
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(Bounds);
    DrawTextOnCanvas(ACanvas->Canvas(), Properties->GetDisplayText(Value), r, flags, TextColor);
    ACanvas->RestoreClipRegion();
}

std::unique_ptr<TvlCustomEditViewInfo> TvlTextEditProperties::CreateViewInfo() const
{
    auto info = std::make_unique<TvlCustomTextEditViewInfo>();
    info->Properties = this;
    return info;
}

std::unique_ptr<TvlCustomEditProperties> TvlTextEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlTextEditProperties>(AOwner);
}

TvlCustomTextEditProperties::TvlCustomTextEditProperties(TPersistent* AOwner) : TvlCustomEditProperties(AOwner)
{
    vlFormatController()->AddListener(this);
}

TvlCustomTextEditProperties::~TvlCustomTextEditProperties()
{
    // Properties kept in statics may outlive the controller.
    if (TvlFormatController* controller = vlFormatControllerAssigned())
        controller->RemoveListener(this);
}

String TvlCustomTextEditProperties::GetDisplayText(const Variant& AEditValue, bool, bool) const
{
    try {
        return VarToStr(AEditValue);
    } catch (const EVariantError&) {
        return String();
    }
}

void TvlCustomTextEditProperties::FormatChanged()
{
    struct TChanging {
        bool& Flag;
        explicit TChanging(bool& AFlag) : Flag(AFlag) { Flag = true; }
        ~TChanging() { Flag = false; }
    } changing(FFormatChanging);
    Changed();
}

const TClassInfo* TvlCustomTextEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomTextEditProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomTextEditProperties>("TvlCustomTextEditProperties", &TvlCustomEditProperties::StaticClassInfo()).Build();
    return info;
}

const TClassInfo* TvlTextEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlTextEditProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlTextEditProperties>("TvlTextEditProperties", &TvlCustomTextEditProperties::StaticClassInfo()).Build();
    return info;
}
