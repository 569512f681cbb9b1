// The progress bar's settings with their rules, the standalone control, the
// value checks and the unit's registration. Layout and painting are in
// vlProgressBarViewInfo.cpp.
#include "ui/controls/vlProgressBar.h"

#include <cfenv>
#include <cmath>

#include "platform/rtl/Startup.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "ui/controls/vlExtEditConsts.h"

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

bool isAnimationStyle(TvlProgressBarBarStyle AStyle) { return AStyle == vlbsAnimation || AStyle == vlbsAnimationLEDs; }

// Holds the change reports of a properties object until it ends.
class TUpdating {
public:
    explicit TUpdating(TvlCustomEditProperties& AProperties) : FProperties(AProperties) { AProperties.BeginUpdate(); }
    ~TUpdating() { FProperties.EndUpdate(); }
    TUpdating(const TUpdating&) = delete;
    TUpdating& operator=(const TUpdating&) = delete;

private:
    TvlCustomEditProperties& FProperties;
};

const char* const animationPathNames[] = {"vlapCycle", "vlapPingPong"};
const TEnumInfo animationPathInfo{"TvlProgressBarAnimationPath", animationPathNames};
const char* const bevelOuterNames[] = {"vlbvNone", "vlbvLowered", "vlbvRaised"};
const TEnumInfo bevelOuterInfo{"TvlProgressBarBevelOuter", bevelOuterNames};
const char* const barStyleNames[] = {"vlbsSolid",      "vlbsLEDs",       "vlbsGradient",  "vlbsGradientLEDs",
                                     "vlbsBitmap",     "vlbsBitmapLEDs", "vlbsAnimation", "vlbsAnimationLEDs"};
const TEnumInfo barStyleInfo{"TvlProgressBarBarStyle", barStyleNames};
const char* const orientationNames[] = {"vlorHorizontal", "vlorVertical"};
const TEnumInfo orientationInfo{"TvlProgressBarOrientation", orientationNames};
const char* const textStyleNames[] = {"vltsPercent", "vltsPosition", "vltsText"};
const TEnumInfo textStyleInfo{"TvlProgressBarTextStyle", textStyleNames};

}  // namespace

// ------------------------------------------------------------ assigned values

bool TvlProgressBarPropertiesValues::IsMaxStored() const
{
    return MaxValue() && Properties() != nullptr && Properties()->GetMaxValue() == 0;
}

bool TvlProgressBarPropertiesValues::IsMinStored() const
{
    return MinValue() && Properties() != nullptr && Properties()->GetMinValue() == 0;
}

const TClassInfo& TvlProgressBarPropertiesValues::StaticClassInfo()
{
    using V = TvlProgressBarPropertiesValues;
    static const TClassInfo info =
        TClassInfoBuilder<V>("TvlProgressBarPropertiesValues", &TvlCustomEditPropertiesValues::StaticClassInfo())
            .Bool("Max", &V::Max, &V::SetMax, false)
            .Stored([](const V& v) { return v.IsMaxStored(); })
            .Bool("Min", &V::Min, &V::SetMin, false)
            .Stored([](const V& v) { return v.IsMinStored(); })
            .Build();
    return info;
}

// ------------------------------------------------------------ properties

TvlCustomProgressBarProperties::TvlCustomProgressBarProperties(TPersistent* AOwner) : TvlCustomEditProperties(AOwner)
{
    RecreateAssignedValues();
}

TvlCustomProgressBarProperties::~TvlCustomProgressBarProperties() = default;

void TvlCustomProgressBarProperties::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomProgressBarProperties*>(Source);
    if (source == nullptr) {
        TvlCustomEditProperties::Assign(Source);
        return;
    }
    const TUpdating updating(*this);
    TvlCustomEditProperties::Assign(Source);
    SetAnimationPath(source->AnimationPath());
    SetAnimationRestartDelay(source->AnimationRestartDelay());
    SetBeginColor(source->BeginColor());
    SetBarBevelOuter(source->BarBevelOuter());
    SetEndColor(source->EndColor());
    SetForegroundImage(source->ForegroundImageIfAny());
    SetMarquee(source->Marquee());
    SetMin(source->Min());
    SetMax(source->Max());
    SetOrientation(source->Orientation());
    SetShowText(source->ShowText());
    SetShowTextStyle(source->ShowTextStyle());
    SetTextOrientation(source->TextOrientation());
    SetSolidTextColor(source->SolidTextColor());
    // The style before the colour it may bring would overwrite a copied
    // begin colour: the source's colour wins.
    SetBarStyle(source->BarStyle());
    SetBeginColor(source->BeginColor());
    SetTransparentImage(source->TransparentImage());
    SetBorderWidth(source->BorderWidth());
    SetOverloadValue(source->OverloadValue());
    SetShowOverload(source->ShowOverload());
    SetOverloadBeginColor(source->OverloadBeginColor());
    SetOverloadEndColor(source->OverloadEndColor());
    SetPeakValue(source->PeakValue());
    SetShowPeak(source->ShowPeak());
    SetPeakColor(source->PeakColor());
    SetPeakSize(source->PeakSize());
    // A copy that drops these loses a custom text and speed silently.
    SetAnimationSpeed(source->AnimationSpeed());
    SetText(source->Text());
    SetShowTextStyle(source->ShowTextStyle());
}

void TvlCustomProgressBarProperties::SetAnimationPath(TvlProgressBarAnimationPath Value) { setValue(FAnimationPath, Value); }
void TvlCustomProgressBarProperties::SetAnimationRestartDelay(uint32_t Value) { setValue(FAnimationRestartDelay, Value); }

void TvlCustomProgressBarProperties::SetAnimationSpeed(int Value)
{
    setValue(FAnimationSpeed, TvlProgressBarAnimationSpeed(std::clamp(Value, 0, 20)));
}

void TvlCustomProgressBarProperties::SetBarBevelOuter(TvlProgressBarBevelOuter Value) { setValue(FBarBevelOuter, Value); }

void TvlCustomProgressBarProperties::SetBarStyle(TvlProgressBarBarStyle Value)
{
    if (Value == FBarStyle)
        return;
    FBarStyle = Value;
    if (isAnimationStyle(Value))
        FBeginColor = TColor(54056);
    Changed();
}

void TvlCustomProgressBarProperties::SetBeginColor(TColor Value) { setValue(FBeginColor, Value); }
void TvlCustomProgressBarProperties::SetBorderWidth(TvlBorderWidth Value) { setValue(FBorderWidth, Value); }
void TvlCustomProgressBarProperties::SetEndColor(TColor Value) { setValue(FEndColor, Value); }

TBitmap* TvlCustomProgressBarProperties::ForegroundImage()
{
    if (!FForegroundImage) {
        FForegroundImage = std::make_unique<TBitmap>();
        FForegroundImage->OnChange = TNotifyEvent(this, &TvlCustomProgressBarProperties::foregroundImageChanged);
    }
    return FForegroundImage.get();
}

void TvlCustomProgressBarProperties::SetForegroundImage(const TBitmap* Value)
{
    if (Value == nullptr) {
        if (!FForegroundImage)
            return;
        FForegroundImage.reset();
        FChangedForegroundImage = true;
        Changed();
        return;
    }
    if (Value == FForegroundImage.get())
        return;
    ForegroundImage()->Assign(Value);
    FChangedForegroundImage = true;
    Changed();
}

void TvlCustomProgressBarProperties::foregroundImageChanged(TObject*)
{
    FChangedForegroundImage = true;
    Changed();
}

void TvlCustomProgressBarProperties::SetMarquee(bool Value)
{
    if (Value == FMarquee)
        return;
    FMarquee = Value;
    if (Value)
        FShowTextStyle = vltsText;
    Changed();
}

void TvlCustomProgressBarProperties::SetMax(double Value)
{
    if (AssignedValues()->MaxValue() && Value == Max())
        return;
    const TUpdating updating(*this);
    SetMaxValue(Value);
    if (Max() < Min())
        SetMin(Max());
    if (Max() < FOverloadValue)
        FOverloadValue = Max();
    if (Max() < FPeakValue)
        FPeakValue = Max();
}

void TvlCustomProgressBarProperties::SetMin(double Value)
{
    if (AssignedValues()->MinValue() && Value == Min())
        return;
    const TUpdating updating(*this);
    SetMinValue(Value);
    if (Max() < Min())
        SetMax(Min());
    if (Min() > FOverloadValue)
        FOverloadValue = Min();
    if (Min() > FPeakValue)
        FPeakValue = Min();
}

void TvlCustomProgressBarProperties::SetOrientation(TvlProgressBarOrientation Value) { setValue(FOrientation, Value); }
void TvlCustomProgressBarProperties::SetOverloadBeginColor(TColor Value) { setValue(FOverloadBeginColor, Value); }
void TvlCustomProgressBarProperties::SetOverloadEndColor(TColor Value) { setValue(FOverloadEndColor, Value); }

void TvlCustomProgressBarProperties::SetOverloadValue(double Value)
{
    if (Value < Min())
        Value = Min();
    if (Value > Max())
        Value = Max();
    setValue(FOverloadValue, Value);
}

void TvlCustomProgressBarProperties::SetPeakColor(TColor Value) { setValue(FPeakColor, Value); }
void TvlCustomProgressBarProperties::SetPeakSize(TvlNaturalNumber Value) { setValue(FPeakSize, std::max(Value, 1)); }
void TvlCustomProgressBarProperties::SetPeakValue(double Value) { setValue(FPeakValue, Value); }
void TvlCustomProgressBarProperties::SetShowOverload(bool Value) { setValue(FShowOverload, Value); }
void TvlCustomProgressBarProperties::SetShowPeak(bool Value) { setValue(FShowPeak, Value); }
void TvlCustomProgressBarProperties::SetShowText(bool Value) { setValue(FShowText, Value); }

void TvlCustomProgressBarProperties::SetShowTextStyle(TvlProgressBarTextStyle Value)
{
    if (FMarquee && Value != vltsText)
        return;
    setValue(FShowTextStyle, Value);
}

void TvlCustomProgressBarProperties::SetSolidTextColor(bool Value) { setValue(FSolidTextColor, Value); }

void TvlCustomProgressBarProperties::SetText(const String& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    if (!Value.isEmpty())
        FShowTextStyle = vltsText;
    Changed();
}

void TvlCustomProgressBarProperties::SetTextOrientation(TvlProgressBarOrientation Value) { setValue(FTextOrientation, Value); }
void TvlCustomProgressBarProperties::SetTransparentImage(bool Value) { setValue(FTransparentImage, Value); }

TvlCustomEditPropertiesValuesClass TvlCustomProgressBarProperties::GetAssignedValuesClass() const
{
    return [](TPersistent* AOwner) { return std::make_unique<TvlProgressBarPropertiesValues>(AOwner); };
}

double TvlCustomProgressBarProperties::GetMaxValue() const
{
    return AssignedValues()->MaxValue() ? TvlCustomEditProperties::GetMaxValue() : 100.0;
}

double TvlCustomProgressBarProperties::GetMinValue() const
{
    return AssignedValues()->MinValue() ? TvlCustomEditProperties::GetMinValue() : 0.0;
}

TvlCustomEditClass TvlCustomProgressBarProperties::GetContainerClass() const
{
    return [](TComponent* AOwner, bool AIsInplace) -> TvlCustomEdit* {
        return TvlCustomEdit::CreateInplace<TvlProgressBar>(AOwner, AIsInplace);
    };
}

double TvlCustomProgressBarProperties::DisplayNumber(const Variant& AEditValue)
{
    if (VarIsStr(AEditValue)) {
        double v = 0;
        return valText(VarToStr(AEditValue), v) ? v : 0.0;
    }
    if (VarIsDate(AEditValue) || VarIsNumeric(AEditValue)) {
        try {
            const double v = AEditValue.AsDouble();
            return std::isfinite(v) ? v : 0.0;
        } catch (const EVariantError&) {
            return 0.0;
        }
    }
    return 0.0;
}

void TvlCustomProgressBarProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool) const
{
    if (VarIsStr(AEditValue) || VarIsDate(AEditValue) || VarIsNumeric(AEditValue)) {
        double v = 0;
        if (!VarIsStr(AEditValue)) {
            DisplayValue = AEditValue;
            return;
        }
        if (valText(VarToStr(AEditValue), v)) {
            DisplayValue = Variant(v);
            return;
        }
    }
    DisplayValue = Variant(0);
}

double TvlCustomProgressBarProperties::ClampPosition(double AValue) const
{
    const double min = Min(), max = Max();
    if (max <= min)
        return AValue;
    return AValue < min ? min : AValue > max ? max : AValue;
}

double TvlCustomProgressBarProperties::TrackPeakValue(double APosition, double& ATrackedPeak) const
{
    double p = std::max(FPeakValue, ATrackedPeak);
    if (p < Min())
        p = Min();
    if (p >= Max())
        p = Max();
    const double shown = std::max(p, APosition);
    ATrackedPeak = std::max(ATrackedPeak, shown);
    return shown;
}

String TvlCustomProgressBarProperties::GetDisplayText(const Variant& AEditValue, bool, bool) const
{
    TvlCustomProgressBarViewInfo info;
    info.Properties = this;
    info.IsInplace = true;  // a text alone never animates
    info.Position = ClampPosition(DisplayNumber(AEditValue));
    info.Min = Min();
    info.Max = Max();
    info.SetMarquee(Marquee());
    info.ShowTextStyle = ShowTextStyle();
    info.Text = Text();
    return info.GetText();
}

std::unique_ptr<TvlCustomEditViewInfo> TvlCustomProgressBarProperties::CreateViewInfo() const
{
    auto info = std::make_unique<TvlCustomProgressBarViewInfo>();
    info->Properties = this;
    return info;
}

std::unique_ptr<TvlCustomEditViewData> TvlCustomProgressBarProperties::CreateViewData(TvlCustomEditStyle* AStyle,
                                                                                      bool AIsInplace,
                                                                                      bool APreviewMode) const
{
    auto data = std::make_unique<TvlCustomProgressBarViewData>(this, AStyle, AIsInplace);
    data->PreviewMode = APreviewMode;
    return data;
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomProgressBarProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomProgressBarProperties>(AOwner);
}

const TClassInfo& TvlCustomProgressBarProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomProgressBarProperties>(
                                       "TvlCustomProgressBarProperties", &TvlCustomEditProperties::StaticClassInfo())
                                       .Build();
    return info;
}

std::unique_ptr<TvlCustomEditProperties> TvlProgressBarProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlProgressBarProperties>(AOwner);
}

const TClassInfo& TvlProgressBarProperties::StaticClassInfo()
{
    using P = TvlProgressBarProperties;
    static const TClassInfo info =
        TClassInfoBuilder<P>("TvlProgressBarProperties", &TvlCustomProgressBarProperties::StaticClassInfo())
            .Enum("AnimationPath", animationPathInfo, &P::AnimationPath, &P::SetAnimationPath, vlapCycle)
            .Int("AnimationRestartDelay", &P::AnimationRestartDelay, &P::SetAnimationRestartDelay, uint32_t(0))
            .Int("AnimationSpeed", [](const P& p) { return int(p.AnimationSpeed()); },
                 [](P& p, int v) { p.SetAnimationSpeed(v); }, 10)
            .Object("AssignedValues", &P::AssignedValues, &P::SetAssignedValues)
            .Enum("BarBevelOuter", bevelOuterInfo, &P::BarBevelOuter, &P::SetBarBevelOuter, vlbvNone)
            .Enum("BarStyle", barStyleInfo, &P::BarStyle, &P::SetBarStyle, vlbsSolid)
            .Int("BeginColor", &P::BeginColor, &P::SetBeginColor, TColor(clNavy))
            .Int("BorderWidth", &P::BorderWidth, &P::SetBorderWidth, TvlBorderWidth(0))
            .Int("EndColor", &P::EndColor, &P::SetEndColor, TColor(clWhite))
            .Bool("Marquee", &P::Marquee, &P::SetMarquee, false)
            .Float("Max", &P::Max, &P::SetMax, 0.0)
            .Stored([](const P& p) { return p.AssignedValues()->MaxValue(); })
            .Float("Min", &P::Min, &P::SetMin, 0.0)
            .Stored([](const P& p) { return p.AssignedValues()->MinValue(); })
            .Enum("Orientation", orientationInfo, &P::Orientation, &P::SetOrientation, vlorHorizontal)
            .Int("OverloadBeginColor", &P::OverloadBeginColor, &P::SetOverloadBeginColor, TColor(0x8080FF))
            .Int("OverloadEndColor", &P::OverloadEndColor, &P::SetOverloadEndColor, TColor(clFuchsia))
            .Float("OverloadValue", &P::OverloadValue, &P::SetOverloadValue, 80.0)
            .Stored([](const P& p) { return p.IsOverloadValueStored(); })
            .Int("PeakColor", &P::PeakColor, &P::SetPeakColor, TColor(clRed))
            .Int("PeakSize", &P::PeakSize, &P::SetPeakSize, 2)
            .Float("PeakValue", &P::PeakValue, &P::SetPeakValue, 0.0)
            .Stored([](const P& p) { return p.IsPeakValueStored(); })
            .Bool("ShowOverload", &P::ShowOverload, &P::SetShowOverload, false)
            .Bool("ShowPeak", &P::ShowPeak, &P::SetShowPeak, false)
            .Bool("ShowText", &P::ShowText, &P::SetShowText, true)
            .Enum("ShowTextStyle", textStyleInfo, &P::ShowTextStyle, &P::SetShowTextStyle, vltsPercent)
            .Stored([](const P& p) { return p.IsShowTextStyleStored(); })
            .Bool("SolidTextColor", &P::SolidTextColor, &P::SetSolidTextColor, false)
            .Str("Text", &P::Text, &P::SetText)
            .Enum("TextOrientation", orientationInfo, &P::TextOrientation, &P::SetTextOrientation, vlorHorizontal)
            .Bool("Transparent", &P::Transparent, &P::SetTransparent, false)
            .Stored(false)
            .Bool("TransparentImage", &P::TransparentImage, &P::SetTransparentImage, true)
            .Build();
    return info;
}

// ------------------------------------------------------------ control

TvlCustomProgressBar::TvlCustomProgressBar(TComponent* AOwner, bool AIsInplace)
    : TvlCustomEdit(AOwner, AIsInplace, TDeferInitialize{})
{
    Initialize();
}

TvlCustomProgressBar::TvlCustomProgressBar(TComponent* AOwner, bool AIsInplace, TDeferInitialize)
    : TvlCustomEdit(AOwner, AIsInplace, TDeferInitialize{})
{
}

void TvlCustomProgressBar::Initialize()
{
    if (Initialized())
        return;
    TvlCustomEdit::Initialize();
    TControlStyle style = ControlStyle();
    style.Exclude(csCaptureMouse);
    style.Exclude(csClickEvents);
    style.Exclude(csDoubleClicks);
    SetControlStyle(style);
    SetBounds(Left(), Top(), 121, 21);
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomProgressBar::CreateProperties()
{
    return std::make_unique<TvlCustomProgressBarProperties>(this);
}

TvlEditStateColorKind TvlCustomProgressBar::GetEditStateColorKind() const
{
    return Enabled() ? esckNormal : esckDisabled;
}

TvlContainerStyleValues TvlCustomProgressBar::GetNotPublishedStyleValues() const
{
    TvlContainerStyleValues values = TvlCustomEdit::GetNotPublishedStyleValues();
    values.Include(TvlContainerStyleValue(5));  // hot tracking
    return values;
}

void TvlCustomProgressBar::GetEditSizeProperties(TvlEditSizeProperties& AMeasureParams) const
{
    TvlCustomEdit::GetEditSizeProperties(AMeasureParams);
    AMeasureParams.Height = -1;
    AMeasureParams.MaxLineCount = 1;
    AMeasureParams.Width = ViewInfo()->ClientRect.Width();  // the text's rectangle
}

void TvlCustomProgressBar::PropertiesChanged(TObject* Sender)
{
    if (!Initialized())
        return;
    CheckEditValueBounds();
    ViewInfo()->Position = ActiveProperties()->ClampPosition(ViewInfo()->Position);
    TvlCustomEdit::PropertiesChanged(Sender);
    if (ActiveProperties()->Transparent())
        Invalidate();
}

void TvlCustomProgressBar::SynchronizeDisplayValue()
{
    const TvlCustomProgressBarProperties* properties = ActiveProperties();
    ViewInfo()->Position = properties->ClampPosition(TvlCustomProgressBarProperties::DisplayNumber(EditValue()));
    if (properties->Transparent())
        Invalidate();
    ShortRefreshContainer(false);
}

void TvlCustomProgressBar::InternalCheckEditValueBounds()
{
    const TvlCustomProgressBarProperties* properties = ActiveProperties();
    const double min = properties->Min(), max = properties->Max();
    if (max <= min)
        return;
    const double value = TvlCustomProgressBarProperties::DisplayNumber(EditValue());
    if (value < min)
        InternalSetEditValue(Variant(min), false);
    else if (value > max)
        InternalSetEditValue(Variant(max), false);
}

void TvlCustomProgressBar::CheckEditValueBounds()
{
    if (IsInplace() || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying))
        return;
    InternalCheckEditValueBounds();
}

void TvlCustomProgressBar::SetPosition(double Value)
{
    if (Value == ViewInfo()->Position)
        return;
    ActiveProperties()->SetChangedPosition(true);
    const double min = ActiveProperties()->Min(), max = ActiveProperties()->Max();
    if (!ComponentState().Contains(csLoading) && max > min)
        Value = std::clamp(Value, min, max);
    SetEditValue(Variant(Value));
}

TvlProgressBar::TvlProgressBar(TComponent* AOwner, bool AIsInplace)
    : TvlCustomProgressBar(AOwner, AIsInplace, TDeferInitialize{})
{
    Initialize();
}

TvlProgressBar::TvlProgressBar(TComponent* AOwner, bool AIsInplace, TDeferInitialize)
    : TvlCustomProgressBar(AOwner, AIsInplace, TDeferInitialize{})
{
}

std::unique_ptr<TvlCustomEditProperties> TvlProgressBar::CreateProperties()
{
    return std::make_unique<TvlProgressBarProperties>(this);
}

const TClassInfo& TvlProgressBar::StaticClassInfo()
{
    using C = TvlProgressBar;
    static const TClassInfo info =
        TClassInfoBuilder<C>("TvlProgressBar", &TvlCustomEdit::StaticClassInfo())
            .Float("Position", &C::Position, &C::SetPosition, 0.0)
            .Bool("AutoSize", &C::AutoSize, &C::SetAutoSize, true)
            .Bool("Transparent", &C::Transparent, &C::SetTransparent, false)
            .Build();
    return info;
}

// ------------------------------------------------------------ registration

void RegisterProgressBarProperties()
{
    RegisterEditProperties(&TvlProgressBarProperties::StaticClassInfo(),
                           GetResourceString(svlSEditRepositoryProgressBarItem),
                           [](TPersistent* AOwner) { return std::make_unique<TvlProgressBarProperties>(AOwner); });
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

bool IsNullOrEmptyValue(const Variant& Value) { return VarIsNull(Value) || VarIsEmpty(Value); }

bool IsIntegerText(const String& Text)
{
    const String s = Text.trimmed();
    if (s.isEmpty())
        return false;
    bool ok = false;
    s.toInt(&ok);
    return ok;
}

bool IsFloatText(const String& Text)
{
    const String s = Text.trimmed();
    if (s.isEmpty())
        return false;
    const QChar separator = FormatSettings.DecimalSeparator;
    bool seenSeparator = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            continue;
        if (c == separator && !seenSeparator) {
            seenSeparator = true;
            continue;
        }
        if (c == QLatin1Char('-') && i == 0)
            continue;
        return false;
    }
    double value = 0;
    if (!TryStrToFloat(s, value))
        return false;
    return std::isfinite(value) && std::fabs(value) <= 1.7e308;
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
