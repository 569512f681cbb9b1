#include "ui/controls/vlProgressBar.h"
#include "platform/rtl/Startup.h"
#include "platform/rtl/TypInfo.h"

#include <cfenv>
#include <cmath>

namespace {

// The whole text as a number: optional blanks, sign, digits with at most
// one '.', an optional exponent; nothing after it.
bool valText(const String& S, double& Value)
{
    const QByteArray a = S.toLatin1();
    int i = 0;
    const int n = a.size();
    while (i < n && a[i] == ' ')
        ++i;
    const int start = i;
    if (i < n && (a[i] == '+' || a[i] == '-'))
        ++i;
    int digits = 0;
    while (i < n && a[i] >= '0' && a[i] <= '9') { ++i; ++digits; }
    if (i < n && a[i] == '.') {
        ++i;
        while (i < n && a[i] >= '0' && a[i] <= '9') { ++i; ++digits; }
    }
    if (digits == 0)
        return false;
    if (i < n && (a[i] == 'e' || a[i] == 'E')) {
        ++i;
        if (i < n && (a[i] == '+' || a[i] == '-'))
            ++i;
        int expDigits = 0;
        while (i < n && a[i] >= '0' && a[i] <= '9') { ++i; ++expDigits; }
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    bool ok = false;
    Value = QByteArray(a.constData() + start, n - start).toDouble(&ok);  // C locale
    return ok && std::isfinite(Value);
}

// Halves go to the even neighbour, as the runtime's Round does.
double roundHalfEven(double X)
{
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(X);
    std::fesetround(old);
    return r;
}

}  // namespace

// ------------------------------------------------------------ properties

void TvlProgressBarProperties::SetBarBevelOuter(TvlProgressBarBevelOuter Value)
{
    if (Value != FBarBevelOuter) { FBarBevelOuter = Value; Changed(); }
}
void TvlProgressBarProperties::SetBarStyle(TvlProgressBarBarStyle Value)
{
    if (Value != FBarStyle) { FBarStyle = Value; Changed(); }
}
void TvlProgressBarProperties::SetBeginColor(TColor Value)
{
    if (Value != FBeginColor) { FBeginColor = Value; Changed(); }
}
void TvlProgressBarProperties::SetEndColor(TColor Value)
{
    if (Value != FEndColor) { FEndColor = Value; Changed(); }
}
void TvlProgressBarProperties::SetPeakColor(TColor Value)
{
    if (Value != FPeakColor) { FPeakColor = Value; Changed(); }
}
void TvlProgressBarProperties::SetSolidTextColor(bool Value)
{
    if (Value != FSolidTextColor) { FSolidTextColor = Value; Changed(); }
}
void TvlProgressBarProperties::SetShowText(bool Value)
{
    if (Value != FShowText) { FShowText = Value; Changed(); }
}

void TvlProgressBarProperties::SetRange(double AMin, double AMax)
{
    if (AMax < AMin || (AMin == FMin && AMax == FMax))
        return;
    FMin = AMin;
    FMax = AMax;
    Changed();
}

double TvlProgressBarProperties::PrepareDisplayValue(const Variant& AEditValue)
{
    const TVarType t = VarType(AEditValue) & varTypeMask;
    if (VarIsStr(AEditValue)) {
        double v = 0;
        return valText(VarToStr(AEditValue), v) ? v : 0.0;
    }
    if (t == varDate || VarIsNumeric(AEditValue)) {
        try {
            return AEditValue.AsDouble();
        } catch (const EVariantError&) {
            return 0.0;
        }
    }
    return 0.0;
}

double TvlProgressBarProperties::ClampPosition(double AValue) const
{
    if (FMax <= FMin)
        return FMin;
    return AValue < FMin ? FMin : AValue > FMax ? FMax : AValue;
}

String TvlProgressBarProperties::GetDisplayText(const Variant& AEditValue, bool, bool) const
{
    const double x = ClampPosition(PrepareDisplayValue(AEditValue));
    const double range = FMax - FMin;
    double percent = range > 0 ? roundHalfEven((x - FMin) * 100.0 / range) : 0.0;
    if (percent > 100)
        percent = 100;
    return String::number(int64_t(percent)) + String::fromLatin1(" %");
}

std::unique_ptr<TvlCustomEditViewInfo> TvlProgressBarProperties::CreateViewInfo() const
{
    auto info = std::make_unique<TvlCustomProgressBarViewInfo>();
    info->Properties = this;
    return info;
}

std::unique_ptr<TvlCustomEditProperties> TvlProgressBarProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlProgressBarProperties>(AOwner);
}

namespace {
VORLANE_RESOURCESTRING(svlSEditRepositoryProgressBarItem, "ProgressBar|Represents a ProgressBar");
}  // namespace

void RegisterProgressBarProperties()
{
    RegisterEditProperties(&TvlProgressBarProperties::StaticClassInfo(),
                           GetResourceString(svlSEditRepositoryProgressBarItem),
                           [](TPersistent* AOwner) { return std::make_unique<TvlProgressBarProperties>(AOwner); });
}

// ------------------------------------------------------------ view info

double TvlCustomProgressBarViewInfo::Position() const
{
    const auto* p = static_cast<const TvlProgressBarProperties*>(Properties);
    return p->ClampPosition(TvlProgressBarProperties::PrepareDisplayValue(Value));
}

int TvlCustomProgressBarViewInfo::BarWidth(int AWidth) const
{
    const auto* p = static_cast<const TvlProgressBarProperties*>(Properties);
    const double range = p->Max() - p->Min();
    if (range <= 0)
        return 0;
    return int(std::trunc((Position() - p->Min()) * AWidth / range));
}

void TvlCustomProgressBarViewInfo::InternalPaint(TvlCanvas* ACanvas)
{
    const auto* p = static_cast<const TvlProgressBarProperties*>(Properties);
    const TRect q = Bounds;
    if (q.IsEmpty())
        return;
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(q);
    if (!Transparent)
        ACanvas->FillRectByColor(q, BackgroundColor());
    const int w = BarWidth(q.Width());
    if (w > 0) {
        const TRect bar = Rect(q.Left, q.Top, q.Left + w, q.Bottom);
        ACanvas->SaveClipRegion();
        ACanvas->IntersectClipRect(bar);
        ACanvas->FillRectByColor(bar, p->BeginColor());
        switch (p->BarBevelOuter()) {
        case vlbvRaised:
            ACanvas->DrawEdge(bar, false, false);
            break;
        case vlbvLowered:
            ACanvas->DrawEdge(bar, true, true);
            break;
        case vlbvNone:
            break;
        }
        ACanvas->RestoreClipRegion();
    }
    if (p->ShowText()) {
        if (Font != nullptr)
            ACanvas->SetFont(Font);
        const String s = p->GetDisplayText(Value);
        const TSize extent = ACanvas->TextExtent(s);
        const int x = q.Left + (q.Width() - extent.cx) / 2;
        const int y = q.Top + (q.Height() - extent.cy) / 2;
        TRect where = ::Bounds(x, y, extent.cx, extent.cy);
        DrawTextOnCanvas(ACanvas->Canvas(), s, where, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP,
                         TextColor == clDefault ? clWindowText : TextColor);
    }
    ACanvas->RestoreClipRegion();
}

const TClassInfo* TvlProgressBarProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlProgressBarProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlProgressBarProperties>("TvlProgressBarProperties", &TvlCustomEditProperties::StaticClassInfo()).Build();
    return info;
}

const TClassInfo& TvlFilterProgressBarHelper::HelperClass() const
{
    static const TClassInfo info{String::fromLatin1("TvlFilterProgressBarHelper"),
                                 &TvlCustomFilterEditHelper::StaticClassInfo(), {}};
    return info;
}

const TvlFilterProgressBarHelper* TvlFilterProgressBarHelper::Instance()
{
    static const TvlFilterProgressBarHelper instance;
    return &instance;
}

void AddvlProgressBarUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlProgressBar"),
        [] {
            RegisterProgressBarProperties();
            GetFilterEditsController()->Register(&TvlProgressBarProperties::StaticClassInfo(),
                                                 TvlFilterProgressBarHelper::Instance());
        },
        [] {
            GetFilterEditsController()->Unregister(&TvlProgressBarProperties::StaticClassInfo(),
                                                   TvlFilterProgressBarHelper::Instance());
            UnregisterEditProperties(&TvlProgressBarProperties::StaticClassInfo());
        });
}
