#include "ui/editors/vlEdit.h"
#include "platform/rtl/TypInfo.h"

#include <map>
#include <mutex>

#include "ui/editors/vlImageComboBox.h"
#include "ui/editors/vlTextEdit.h"

void TvlCustomEditViewInfo::Paint(TvlCanvas* ACanvas) const
{
    if (!Transparent)
        ACanvas->FillRectByColor(Bounds, BackgroundColor);
}

void TvlCustomEditProperties::SetAlignment(TvlEditAlignment Value)
{
    if (Value.Horz == FAlignment.Horz && Value.Vert == FAlignment.Vert)
        return;
    FAlignment = Value;
    Changed();
}

void TvlCustomEditProperties::SetReadOnly(bool Value)
{
    if (Value == FReadOnly)
        return;
    FReadOnly = Value;
    Changed();
}

void TvlCustomEditProperties::Changed()
{
    if (OnPropertiesChanged)
        OnPropertiesChanged(this);
}

String TvlCustomEditProperties::GetDisplayText(const Variant& AEditValue) const
{
    try {
        return VarToStr(AEditValue);
    } catch (const EVariantError&) {
        return String();
    }
}

std::unique_ptr<TvlCustomEditViewInfo> TvlCustomEditProperties::CreateViewInfo() const
{
    auto info = std::make_unique<TvlCustomEditViewInfo>();
    info->Properties = this;
    return info;
}

namespace {

// The registry is process-wide, so it is guarded; lookups copy the factory
// out before calling it, so a factory may register further classes.
struct TRegistry {
    std::mutex Lock;
    std::map<String, TvlEditPropertiesFactory> Classes;
};

TRegistry& registry()
{
    static TRegistry r;
    static std::once_flag builtIn;
    std::call_once(builtIn, [] {
        r.Classes[String::fromLatin1("TvlTextEditProperties")] = [] {
            return std::unique_ptr<TvlCustomEditProperties>(std::make_unique<TvlTextEditProperties>());
        };
        r.Classes[String::fromLatin1("TvlImageComboBoxProperties")] = [] {
            return std::unique_ptr<TvlCustomEditProperties>(std::make_unique<TvlImageComboBoxProperties>());
        };
    });
    return r;
}

}  // namespace

void RegisterEditPropertiesClass(const String& AClassName, TvlEditPropertiesFactory AFactory)
{
    TRegistry& r = registry();
    const std::lock_guard<std::mutex> guard(r.Lock);
    r.Classes[AClassName] = std::move(AFactory);
}

std::unique_ptr<TvlCustomEditProperties> CreateEditPropertiesByClassName(const String& AClassName)
{
    TvlEditPropertiesFactory factory;
    {
        TRegistry& r = registry();
        const std::lock_guard<std::mutex> guard(r.Lock);
        const auto it = r.Classes.find(AClassName);
        if (it == r.Classes.end())
            return nullptr;
        factory = it->second;
    }
    return factory();
}

bool IsEditPropertiesClassRegistered(const String& AClassName)
{
    TRegistry& r = registry();
    const std::lock_guard<std::mutex> guard(r.Lock);
    return r.Classes.count(AClassName) != 0;
}

const TClassInfo* TvlCustomEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomEditProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomEditProperties>("TvlCustomEditProperties", nullptr).Build();
    return info;
}
