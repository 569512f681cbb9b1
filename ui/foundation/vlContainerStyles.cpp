// The container styles, the style controller and the container view info.
#include <algorithm>

#include "platform/graphics/Graphics.h"
#include "platform/rtl/Types.h"
#include "ui/foundation/vlContainer.h"
#include "ui/foundation/vlDWMApi.h"

namespace {

// The controller every style falls back to; the editors' start-up sets it.
TvlStyleController* defaultStyleController = nullptr;

constexpr TvlContainerStyleValues allStyleValues =
    TvlContainerStyleValues::fromBits((uint64_t{1} << 10) - 1);
// What a style in direct-access mode assigns from the start: Color, Font,
// TextColor and TextStyle.
constexpr TvlContainerStyleValues directAccessValues{csvColor, csvFont, csvTextColor, csvTextStyle};

// The border style of a focused or hot style, from the normal style's.
constexpr TvlContainerBorderStyle highlightedBorderStyles[] = {cbsFlat, cbsThick, cbsThick, cbs3D,
                                                               cbs3D,   cbsUltraFlat, cbsOffice11};

TvlContainerBorderStyle borderStyleOfKind(TvlLookAndFeelKind AKind)
{
    switch (AKind) {
    case lfFlat: return cbsFlat;
    case lfStandard: return cbs3D;
    case lfUltraFlat: return cbsUltraFlat;
    case lfOffice11: return cbsOffice11;
    }
    return cbs3D;
}

}  // namespace

void SetContainerDefaultStyleController(TvlStyleController* AController) { defaultStyleController = AController; }

// ------------------------------------------------------------------ style

TvlContainerStyle::TvlContainerStyle(TPersistent* AOwner, TvlContainerStateItem AState,
                                     TvlContainerStyle* AParentStyle, bool ADirectAccessMode)
    : TvlInterfacedPersistent(AOwner), FDirectAccessMode(ADirectAccessMode), FOwner(AOwner)
{
    if (AState != csNormal) {
        FParentStyle = AParentStyle;
        FState = AState;
    }
    if (FDirectAccessMode)
        FAssignedValues = directAccessValues;
    if (IsBaseStyle() && !FDirectAccessMode) {
        FOwnFont = std::make_unique<TFont>();
        FOwnFont->OnChange = TNotifyEvent(this, &TvlContainerStyle::FontChanged);
        FFont = FOwnFont.get();
    }
    FVisibleFont = std::make_unique<TFont>();
    if (IsBaseStyle()) {
        FLookAndFeel = std::make_unique<TvlLookAndFeel>(this);
        FLookAndFeel->OnChanged = TvlLookAndFeelNotifyEvent(this, &TvlContainerStyle::lookAndFeelChanged);
        SetStyleController(nullptr);
    }
}

TvlContainerStyle::~TvlContainerStyle()
{
    FIsDestroying = true;
    if (IsBaseStyle() && FStyleController != nullptr)
        FStyleController->RemoveListener(this);
    FLookAndFeel.reset();
    FVisibleFont.reset();
    if (FOwnFont)
        FOwnFont->OnChange = TNotifyEvent();
    FOwnFont.reset();
}

const TClassInfo& TvlContainerStyle::StaticClassInfo()
{
    using S = TvlContainerStyle;
    static const TClassInfo info = [] {
        auto stored = [](TvlContainerStyleValue V) { return [V](const S& Style) { return Style.IsValueStored(V); }; };
        TClassInfo i =
            TClassInfoBuilder<S>("TvlContainerStyle")
                .Set("AssignedValues", TvlContainerStyleValueInfo, &S::AssignedValues, &S::SetAssignedValues)
                .Int("BorderColor", &S::BorderColor, &S::SetBorderColor)
                .Stored(stored(csvBorderColor))
                .Enum("BorderStyle", TvlContainerBorderStyleInfo, &S::BorderStyle, &S::SetBorderStyle)
                .Stored(stored(csvBorderStyle))
                .Int("Color", &S::GetColor, &S::SetColor)
                .Stored(stored(csvColor))
                .Set("Edges", TvlBorderInfo, &S::Edges, &S::SetEdges)
                .Stored(stored(csvEdges))
                .Object("Font", &S::Font, &S::SetFont)
                .Stored(stored(csvFont))
                .Bool("HotTrack", &S::HotTrack, &S::SetHotTrack)
                .Stored(stored(csvHotTrack))
                .Object("LookAndFeel", &S::LookAndFeel, &S::SetLookAndFeel)
                .Bool("Shadow", &S::Shadow, &S::SetShadow)
                .Stored(stored(csvShadow))
                .Object("StyleController", &S::StyleController, &S::SetStyleController)
                .Stored([](const S& Style) { return Style.IsBaseStyle(); })
                .Int("TextColor", &S::GetTextColor, &S::SetTextColor)
                .Stored(stored(csvTextColor))
                .Set("TextStyle", TFontStyleInfo, &S::GetTextStyle, &S::SetTextStyle)
                .Stored(stored(csvTextStyle))
                .Bool("TransparentBorder", &S::TransparentBorder, &S::SetTransparentBorder)
                .Stored(stored(csvTransparentBorder))
                // Written whenever Font is: reading it, whatever its value,
                // marks the font assigned.
                .Bool("IsFontAssigned", &S::IsFontAssignedStreamed, &S::SetIsFontAssignedStreamed)
                .Stored(stored(csvFont))
                .Build();
        // None of the values has a streaming default.
        for (TPropInfo& p : i.Props)
            p.Default.reset();
        return i;
    }();
    return info;
}

bool TvlContainerStyle::IsFontAssignedStreamed() const { return true; }

void TvlContainerStyle::SetIsFontAssignedStreamed(bool)
{
    TvlContainerStyle* base = GetBaseStyle();
    if (!base->FAssignedValues.Contains(csvFont)) {
        base->FAssignedValues.Include(csvFont);
        base->Changed();
    }
}

bool TvlContainerStyle::IsValueStored(TvlContainerStyleValue AValue) const
{
    if (!AssignedValues().Contains(AValue))
        return false;
    TvlContainer* container = GetContainer();
    if (container == nullptr)
        return true;
    String name;
    return GetStyleValueName(AValue, name) && container->IsStylePublished(name, FState != csNormal);
}

void TvlContainerStyle::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlContainerStyle*>(Source);
    if (source == nullptr) {
        TvlInterfacedPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        if (IsBaseStyle()) {
            SetStyleController(source->StyleController());
            SetLookAndFeel(source->LookAndFeel());
        }
        SetBorderColor(source->BorderColor());
        SetBorderStyle(source->BorderStyle());
        SetEdges(source->Edges());
        SetHotTrack(source->HotTrack());
        SetShadow(source->Shadow());
        SetTransparentBorder(source->TransparentBorder());
        SetColor(source->GetColor());
        if (FDirectAccessMode) {
            FFont = source->Font();
            SetTextColor(source->GetTextColor());
        } else {
            TFont* font = GetBaseStyle()->FFont;
            if (font != nullptr && source->Font() != nullptr) {
                font->Assign(source->Font());
                if (source->FDirectAccessMode)
                    font->SetColor(source->GetTextColor());
            }
            SetTextColor(source->GetTextColor());
            SetTextStyle(source->GetTextStyle());
        }
        FAssignedValues = source->FAssignedValues;
        Changed();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlContainerStyle::BeginUpdate() { ++FUpdateCount; }

void TvlContainerStyle::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    checkChanges();
}

void TvlContainerStyle::Changed()
{
    FModified = true;
    checkChanges();
}

void TvlContainerStyle::checkChanges()
{
    if (!FModified || FUpdateCount != 0)
        return;
    FModified = false;
    if (FIsDestroying || FDirectAccessMode)
        return;
    if (OnChanged)
        OnChanged(this);
}

void TvlContainerStyle::FontChanged(TObject*)
{
    if (FFontAssignedLockCount == 0)
        FAssignedValues.Include(csvFont);
    Changed();
}

void TvlContainerStyle::lookAndFeelChanged(TvlLookAndFeel*, TvlLookAndFeelValues) { Changed(); }

TvlContainerStyle* TvlContainerStyle::GetBaseStyle() const
{
    const TvlContainerStyle* style = this;
    while (style->FParentStyle != nullptr)
        style = style->FParentStyle;
    return const_cast<TvlContainerStyle*>(style);
}

TvlStyleController* TvlContainerStyle::GetActiveStyleController() const { return GetBaseStyle()->FStyleController; }

TvlContainer* TvlContainerStyle::GetContainer() const { return dynamic_cast<TvlContainer*>(FOwner); }

TvlStyleController* TvlContainerStyle::GetDefaultStyleController() const { return defaultStyleController; }

TvlContainerStyle* TvlContainerStyle::ControllerStyle() const
{
    TvlStyleController* controller = GetActiveStyleController();
    return controller != nullptr ? controller->GetStyle(FState) : nullptr;
}

// ---- lookups

// The own value when assigned; else the same lookup on the controller's
// style of this state. Values of the whole container live on the base style.
template <class T>
bool TvlContainerStyle::lookup(TvlContainerStyleValue AValue, T TvlContainerStyle::*AField,
                               bool (TvlContainerStyle::*AInternal)(T&) const, T& AResult, bool ABaseValue) const
{
    const TvlContainerStyle* style = ABaseValue ? GetBaseStyle() : this;
    if (style->FAssignedValues.Contains(AValue)) {
        AResult = style->*AField;
        return true;
    }
    const TvlContainerStyle* controllerStyle = style->ControllerStyle();
    return controllerStyle != nullptr && (controllerStyle->*AInternal)(AResult);
}

bool TvlContainerStyle::InternalGetBorderColor(TColor& Color) const
{
    return lookup(csvBorderColor, &TvlContainerStyle::FBorderColor, &TvlContainerStyle::InternalGetBorderColor, Color,
                  false);
}

bool TvlContainerStyle::InternalGetBorderStyle(TvlContainerBorderStyle& BorderStyle) const
{
    return lookup(csvBorderStyle, &TvlContainerStyle::FBorderStyle, &TvlContainerStyle::InternalGetBorderStyle,
                  BorderStyle, false);
}

bool TvlContainerStyle::InternalGetColor(TColor& Color) const
{
    return lookup(csvColor, &TvlContainerStyle::FColor, &TvlContainerStyle::InternalGetColor, Color, false);
}

bool TvlContainerStyle::InternalGetEdges(TvlBorders& Edges) const
{
    return lookup(csvEdges, &TvlContainerStyle::FEdges, &TvlContainerStyle::InternalGetEdges, Edges, true);
}

bool TvlContainerStyle::InternalGetFont(TFont*& Font) const
{
    return lookup(csvFont, &TvlContainerStyle::FFont, &TvlContainerStyle::InternalGetFont, Font, true)
           && Font != nullptr;
}

bool TvlContainerStyle::InternalGetHotTrack(bool& HotTrack) const
{
    return lookup(csvHotTrack, &TvlContainerStyle::FHotTrack, &TvlContainerStyle::InternalGetHotTrack, HotTrack, true);
}

bool TvlContainerStyle::InternalGetShadow(bool& Shadow) const
{
    return lookup(csvShadow, &TvlContainerStyle::FShadow, &TvlContainerStyle::InternalGetShadow, Shadow, true);
}

bool TvlContainerStyle::InternalGetTextColor(TColor& TextColor) const
{
    return lookup(csvTextColor, &TvlContainerStyle::FTextColor, &TvlContainerStyle::InternalGetTextColor, TextColor,
                  false);
}

bool TvlContainerStyle::InternalGetTextStyle(TFontStyles& TextStyle) const
{
    return lookup(csvTextStyle, &TvlContainerStyle::FTextStyle, &TvlContainerStyle::InternalGetTextStyle, TextStyle,
                  false);
}

bool TvlContainerStyle::InternalGetTransparentBorder(bool& TransparentBorder) const
{
    return lookup(csvTransparentBorder, &TvlContainerStyle::FTransparentBorder,
                  &TvlContainerStyle::InternalGetTransparentBorder, TransparentBorder, true);
}

bool TvlContainerStyle::IsValueAssigned(TvlContainerStyleValue AValue) const
{
    // Every one of the ten values answers from the lookup, TransparentBorder
    // included.
    switch (AValue) {
    case csvBorderColor: { TColor v; return InternalGetBorderColor(v); }
    case csvBorderStyle: { TvlContainerBorderStyle v; return InternalGetBorderStyle(v); }
    case csvColor: { TColor v; return InternalGetColor(v); }
    case csvEdges: { TvlBorders v; return InternalGetEdges(v); }
    case csvFont: { TFont* v = nullptr; return InternalGetFont(v); }
    case csvHotTrack: { bool v; return InternalGetHotTrack(v); }
    case csvShadow: { bool v; return InternalGetShadow(v); }
    case csvTextColor: { TColor v; return InternalGetTextColor(v); }
    case csvTextStyle: { TFontStyles v; return InternalGetTextStyle(v); }
    case csvTransparentBorder: { bool v; return InternalGetTransparentBorder(v); }
    default: return false;
    }
}

// ---- getters

TvlContainerStyleValues TvlContainerStyle::AssignedValues() const
{
    // Direct access holds every container value; a descendant's own values
    // (an edit style's button transparency) count once they were set.
    return FDirectAccessMode ? allStyleValues + FAssignedValues : FAssignedValues;
}

TColor TvlContainerStyle::BorderColor() const
{
    if (FDirectAccessMode)
        return clDefault;
    TColor result;
    return InternalGetBorderColor(result) ? result : DefaultBorderColor();
}

TvlContainerBorderStyle TvlContainerStyle::BorderStyle() const
{
    if (FDirectAccessMode)
        return FAssignedValues.Contains(csvBorderStyle) ? FBorderStyle : DefaultBorderStyle();
    TvlContainerBorderStyle result;
    return InternalGetBorderStyle(result) ? result : DefaultBorderStyle();
}

TColor TvlContainerStyle::GetColor() const
{
    if (FDirectAccessMode)
        return FColor;
    if (IsBaseStyle()) {
        TvlContainer* container = GetContainer();
        if (container != nullptr && container->ParentColor() && container->Parent() != nullptr)
            return container->Parent()->Color();
    }
    TColor result;
    return InternalGetColor(result) ? result : DefaultColor();
}

TColor TvlContainerStyle::GetVisibleColor() const
{
    if (FDirectAccessMode)
        return FColor;
    TColor result;
    if (InternalGetColor(result))
        return result;
    if (IsBaseStyle()) {
        TvlContainer* container = GetContainer();
        if (container != nullptr && !container->IsInplace() && container->ParentColor()
            && container->Parent() != nullptr)
            return container->Parent()->Color();
    }
    return DefaultColor();
}

TvlBorders TvlContainerStyle::Edges() const
{
    if (FDirectAccessMode)
        return {};
    TvlBorders result;
    return InternalGetEdges(result) ? result : GetBaseStyle()->DefaultEdges();
}

TFont* TvlContainerStyle::Font() const { return FDirectAccessMode ? FFont : GetBaseStyle()->FFont; }

bool TvlContainerStyle::HotTrack() const
{
    if (FDirectAccessMode)
        return FAssignedValues.Contains(csvHotTrack) ? FHotTrack : DefaultHotTrack();
    bool result;
    return InternalGetHotTrack(result) ? result : GetBaseStyle()->DefaultHotTrack();
}

TvlLookAndFeel* TvlContainerStyle::LookAndFeel() const { return GetBaseStyle()->FLookAndFeel.get(); }

bool TvlContainerStyle::Shadow() const
{
    if (FDirectAccessMode)
        return false;
    bool result;
    return InternalGetShadow(result) ? result : GetBaseStyle()->DefaultShadow();
}

TvlStyleController* TvlContainerStyle::StyleController() const
{
    TvlStyleController* controller = GetActiveStyleController();
    return controller == GetDefaultStyleController() ? nullptr : controller;
}

TColor TvlContainerStyle::GetTextColor() const
{
    if (FDirectAccessMode)
        return FTextColor;
    TColor result;
    return InternalGetTextColor(result) ? result : DefaultTextColor();
}

TFontStyles TvlContainerStyle::GetTextStyle() const
{
    if (FDirectAccessMode)
        return FFont != nullptr ? FFont->Style() : TFontStyles{};
    TFontStyles result;
    return InternalGetTextStyle(result) ? result : DefaultTextStyle();
}

bool TvlContainerStyle::TransparentBorder() const
{
    if (FDirectAccessMode)
        return true;
    bool result;
    return InternalGetTransparentBorder(result) ? result : GetBaseStyle()->DefaultTransparentBorder();
}

TFont* TvlContainerStyle::GetVisibleFont()
{
    if (const TFont* font = Font())
        FVisibleFont->Assign(font);
    FVisibleFont->SetColor(GetTextColor());
    FVisibleFont->SetStyle(GetTextStyle());
    return FVisibleFont.get();
}

// ---- defaults

TColor TvlContainerStyle::DefaultBorderColor() const
{
    if (IsBaseStyle())
        return clWindowFrame;
    if (FState == csDisabled)
        return clBtnShadow;
    return FParentStyle->BorderColor();
}

TvlContainerBorderStyle TvlContainerStyle::DefaultBorderStyle() const
{
    if (IsBaseStyle())
        return borderStyleOfKind(LookAndFeel()->Kind());
    const TvlContainerBorderStyle parent = FParentStyle->BorderStyle();
    const bool highlighted = (FState == csActive || FState == csHotTrack) && HotTrack();
    return highlighted ? highlightedBorderStyles[parent] : parent;
}

TColor TvlContainerStyle::DefaultColor() const
{
    TvlContainer* container = GetContainer();
    if (IsBaseStyle())
        return container == nullptr || container->DefaultParentColor() ? clBtnFace : clWindow;
    if (FState == csDisabled && container != nullptr && !container->DefaultParentColor())
        return clBtnFace;
    return FParentStyle->GetColor();
}

TvlBorders TvlContainerStyle::DefaultEdges() const { return vlBordersAll; }
bool TvlContainerStyle::DefaultHotTrack() const { return true; }
bool TvlContainerStyle::DefaultShadow() const { return false; }
bool TvlContainerStyle::DefaultTransparentBorder() const { return true; }

TColor TvlContainerStyle::DefaultTextColor() const
{
    if (IsBaseStyle()) {
        const TFont* font = Font();
        return font != nullptr ? font->Color() : clWindowText;
    }
    if (FState == csDisabled)
        return clBtnShadow;
    return FParentStyle->GetTextColor();
}

TFontStyles TvlContainerStyle::DefaultTextStyle() const
{
    if (IsBaseStyle()) {
        const TFont* font = Font();
        return font != nullptr ? font->Style() : TFontStyles{};
    }
    return FParentStyle->GetTextStyle();
}

// ---- setters

void TvlContainerStyle::SetAssignedValues(TvlContainerStyleValues Value)
{
    if (FAssignedValues == Value)
        return;
    FAssignedValues = Value;
    if (IsBaseStyle())
        RefreshFont();
    Changed();
}

// Nothing when the value is assigned already with the same value; values
// of the whole container are set on the base style.
template <class T>
void TvlContainerStyle::setValue(TvlContainerStyleValue AValue, T TvlContainerStyle::*AField, const T& Value,
                                 bool ABaseValue)
{
    TvlContainerStyle* style = ABaseValue ? GetBaseStyle() : this;
    if (style->FAssignedValues.Contains(AValue) && style->*AField == Value)
        return;
    style->*AField = Value;
    style->FAssignedValues.Include(AValue);
    style->Changed();
}

void TvlContainerStyle::SetBorderColor(TColor Value)
{
    setValue(csvBorderColor, &TvlContainerStyle::FBorderColor, Value, false);
}

void TvlContainerStyle::SetBorderStyle(TvlContainerBorderStyle Value)
{
    setValue(csvBorderStyle, &TvlContainerStyle::FBorderStyle, Value, false);
}

void TvlContainerStyle::SetColor(TColor Value) { setValue(csvColor, &TvlContainerStyle::FColor, Value, false); }

void TvlContainerStyle::SetEdges(TvlBorders Value) { setValue(csvEdges, &TvlContainerStyle::FEdges, Value, true); }

void TvlContainerStyle::SetFont(TFont* Value)
{
    if (FDirectAccessMode) {
        FFont = Value;
        return;
    }
    TvlContainerStyle* base = GetBaseStyle();
    if (Value != nullptr && base->FFont != nullptr)
        base->FFont->Assign(Value);
    if (!base->FAssignedValues.Contains(csvFont)) {
        base->FAssignedValues.Include(csvFont);
        base->Changed();
    }
}

void TvlContainerStyle::SetHotTrack(bool Value) { setValue(csvHotTrack, &TvlContainerStyle::FHotTrack, Value, true); }

void TvlContainerStyle::SetLookAndFeel(const TvlLookAndFeel* Value)
{
    if (Value != nullptr)
        LookAndFeel()->Assign(Value);
}

void TvlContainerStyle::SetShadow(bool Value) { setValue(csvShadow, &TvlContainerStyle::FShadow, Value, true); }

void TvlContainerStyle::SetTextColor(TColor Value)
{
    setValue(csvTextColor, &TvlContainerStyle::FTextColor, Value, false);
}

void TvlContainerStyle::SetTextStyle(TFontStyles Value)
{
    setValue(csvTextStyle, &TvlContainerStyle::FTextStyle, Value, false);
}

void TvlContainerStyle::SetTransparentBorder(bool Value)
{
    setValue(csvTransparentBorder, &TvlContainerStyle::FTransparentBorder, Value, true);
}

// ---- controller link

void TvlContainerStyle::SetStyleController(TvlStyleController* Value)
{
    if (!IsBaseStyle()) {
        GetBaseStyle()->SetStyleController(Value);
        return;
    }
    TvlStyleController* defaultController = GetDefaultStyleController();
    if (defaultController != nullptr && FOwner == defaultController)
        return;
    if (Value == nullptr)
        Value = defaultController;
    // A controller whose chain leads back to this style would make every
    // lookup run in a circle.
    std::vector<const TvlStyleController*> visited;
    for (TvlStyleController* c = Value; c != nullptr; c = c->Style()->FStyleController) {
        if (c->Style() == this)
            return;
        if (std::find(visited.begin(), visited.end(), c) != visited.end())
            break;
        visited.push_back(c);
    }
    if (Value == FStyleController)
        return;
    if (FStyleController != nullptr)
        FStyleController->RemoveListener(this);
    FStyleController = Value;
    if (FStyleController != nullptr)
        FStyleController->AddListener(this);
    ControllerChangedNotification(FStyleController);
}

void TvlContainerStyle::ControllerChangedNotification(TvlStyleController*)
{
    // The refreshed font and the controller's change make one change.
    BeginUpdate();
    try {
        RefreshFont();
        Changed();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlContainerStyle::ControllerFreeNotification(TvlStyleController* AStyleController)
{
    if (AStyleController == nullptr || AStyleController != FStyleController)
        return;
    // The controller is going: it is left without being told.
    FStyleController = nullptr;
    TvlStyleController* defaultController = GetDefaultStyleController();
    if (defaultController != nullptr && defaultController != AStyleController && FOwner != defaultController) {
        FStyleController = defaultController;
        defaultController->AddListener(this);
    }
    ControllerChangedNotification(FStyleController);
}

void TvlContainerStyle::RefreshFont()
{
    if (!IsBaseStyle() || FDirectAccessMode || FFont == nullptr || FAssignedValues.Contains(csvFont))
        return;
    ++FFontAssignedLockCount;
    try {
        const TvlContainerStyle* style = ControllerStyle();
        TFont* controllerFont = nullptr;
        if (style != nullptr && style->InternalGetFont(controllerFont) && controllerFont != nullptr)
            FFont->Assign(controllerFont);
        else {
            TvlContainer* container = GetContainer();
            if (container == nullptr || !container->ParentFont()) {
                const TFont fresh;
                FFont->Assign(&fresh);
            }
        }
    } catch (...) {
        --FFontAssignedLockCount;
        throw;
    }
    --FFontAssignedLockCount;
}

void TvlContainerStyle::RestoreDefaults()
{
    BeginUpdate();
    try {
        SetAssignedValues({});
        if (IsBaseStyle())
            FLookAndFeel->Reset();
        TvlContainer* container = GetContainer();
        if (container != nullptr) {
            container->SetParentColor(false);
            container->SetParentFont(true);
        } else if (!FDirectAccessMode && FFont != nullptr) {
            ++FFontAssignedLockCount;
            const TFont fresh;
            FFont->Assign(&fresh);
            --FFontAssignedLockCount;
        }
        if (container != nullptr && container->DefaultParentColor()) {
            TvlStyleController* controller = GetActiveStyleController();
            const bool controllerColor =
                controller != nullptr && controller->Style()->AssignedValues().Contains(csvColor);
            if (!controllerColor)
                container->SetParentColor(true);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---- names

bool TvlContainerStyle::GetStyleValueName(TvlContainerStyleValue AStyleValue, String& AName) const
{
    if (AStyleValue < 0 || AStyleValue >= TvlContainerStyleValueInfo.Count()) {
        AName.clear();
        return false;
    }
    AName = String::fromLatin1(TvlContainerStyleValueInfo.Names[size_t(AStyleValue)]);
    return true;
}

bool TvlContainerStyle::FindStyleValue(const String& APropertyName, TvlContainerStyleValue& AStyleValue) const
{
    for (int i = 0; i < GetStyleValueCount(); ++i) {
        String name;
        if (GetStyleValueName(i, name) && name.compare(APropertyName, Qt::CaseInsensitive) == 0) {
            AStyleValue = i;
            return true;
        }
    }
    return false;
}

TvlContainerStyleValues TvlContainerStyle::InternalGetNotPublishedExtendedStyleValues() const
{
    return {csvEdges, csvFont, csvHotTrack, csvShadow, csvTransparentBorder};
}

bool TvlContainerStyle::IsExtendedValuePublished(const String& APropertyName) const
{
    if (APropertyName.compare(QLatin1String("LookAndFeel"), Qt::CaseInsensitive) == 0
        || APropertyName.compare(QLatin1String("StyleController"), Qt::CaseInsensitive) == 0)
        return false;
    TvlContainerStyleValue value = 0;
    if (!FindStyleValue(APropertyName, value))
        return true;
    return !InternalGetNotPublishedExtendedStyleValues().Contains(value);
}

// ----------------------------------------------------------------- styles

TvlContainerStyles::TvlContainerStyles(TPersistent* AOwner, TvlContainerStyleClass AStyleClass)
{
    for (int state = csNormal; state <= csHotTrack; ++state)
        FStyles[state] = AStyleClass(AOwner, TvlContainerStateItem(state),
                                     state == csNormal ? nullptr : FStyles[csNormal].get(), false);
}

TvlContainerStyles::~TvlContainerStyles()
{
    for (int state = csHotTrack; state >= csNormal; --state)
        FStyles[state].reset();
}

void TvlContainerStyles::SetStyle(TvlContainerStateItem AState, const TvlContainerStyle* Value)
{
    FStyles[AState]->Assign(Value);
}

void TvlContainerStyles::SetChangeHandler(const TNotifyEvent& Value)
{
    for (auto& style : FStyles)
        style->OnChanged = Value;
}

// ------------------------------------------------------------- controller

TvlStyleController::TvlStyleController(TComponent* AOwner)
    : TvlStyleController(AOwner, &vlCreateContainerStyles<TvlContainerStyles>,
                         &vlCreateContainerStyle<TvlContainerStyle>)
{
}

TvlStyleController::TvlStyleController(TComponent* AOwner, TvlContainerStylesClass AStylesClass,
                                       TvlContainerStyleClass AStyleClass)
    : TComponent(AOwner)
{
    FStyles = AStylesClass(this, AStyleClass);
    FStyles->SetChangeHandler(TNotifyEvent(this, &TvlStyleController::styleChanged));
}

TvlStyleController::~TvlStyleController()
{
    FIsDestroying = true;
    const std::vector<TvlContainerStyle*> listeners = FListeners;
    for (auto it = listeners.rbegin(); it != listeners.rend(); ++it)
        (*it)->ControllerFreeNotification(this);
    FListeners.clear();
    FStyles.reset();
}

const TClassInfo& TvlStyleController::StaticClassInfo()
{
    using C = TvlStyleController;
    static const TClassInfo info =
        TClassInfoBuilder<C>("TvlStyleController", &TComponent::StaticClassInfo())
            .Object("FakeStyleController", &C::FakeStyleController, &C::SetFakeStyleController)
            // The screen's pixels per inch at writing time; reading it
            // rescales the assigned fonts to this screen.
            .Int("PixelsPerInch", [](const C&) { return int(GetScreenPixelsPerInch().cy); }, &C::SetPixelsPerInch)
            .Build();
    return info;
}

void TvlStyleController::Loaded()
{
    TComponent::Loaded();
    Changed();
}

TvlStyleController* TvlStyleController::FakeStyleController() const { return Style()->StyleController(); }

void TvlStyleController::styleChanged(TObject*) { Changed(); }

void TvlStyleController::AddListener(TvlContainerStyle* AStyle)
{
    if (AStyle == nullptr || std::find(FListeners.begin(), FListeners.end(), AStyle) != FListeners.end())
        return;
    FListeners.push_back(AStyle);
    AStyle->LookAndFeel()->SetMasterLookAndFeel(Style()->LookAndFeel());
}

void TvlStyleController::RemoveListener(TvlContainerStyle* AStyle)
{
    const auto it = std::find(FListeners.begin(), FListeners.end(), AStyle);
    if (it == FListeners.end())
        return;
    FListeners.erase(it);
    if (TvlLookAndFeel* lookAndFeel = AStyle->LookAndFeel())
        lookAndFeel->SetMasterLookAndFeel(nullptr);
}

void TvlStyleController::Changed()
{
    if (OnStyleChanged)
        OnStyleChanged(this);
    if (FIsDestroying)
        return;
    const std::vector<TvlContainerStyle*> listeners = FListeners;
    for (TvlContainerStyle* style : listeners)
        if (std::find(FListeners.begin(), FListeners.end(), style) != FListeners.end())
            style->ControllerChangedNotification(this);
}

void TvlStyleController::SetPixelsPerInch(int Value)
{
    if (Value == FPixelsPerInch)
        return;
    FPixelsPerInch = Value;
    const int screen = GetScreenPixelsPerInch().cy;
    if (Value != 0 && Value != screen) {
        // Font belongs to the base style: each font is scaled once.
        std::vector<TFont*> scaled;
        for (int state = csNormal; state <= csHotTrack; ++state) {
            TvlContainerStyle* style = GetStyle(TvlContainerStateItem(state));
            TFont* font = style->Font();
            if (!style->AssignedValues().Contains(csvFont) || font == nullptr
                || std::find(scaled.begin(), scaled.end(), font) != scaled.end())
                continue;
            scaled.push_back(font);
            font->SetHeight(MulDiv(font->Height(), screen, Value));
        }
    }
    Changed();
}

// -------------------------------------------------------------- view info

TvlContainerViewInfo::TvlContainerViewInfo() = default;
TvlContainerViewInfo::~TvlContainerViewInfo() = default;

void TvlContainerViewInfo::Assign(const TObject* Source)
{
    if (const auto* source = dynamic_cast<const TvlContainerViewInfo*>(Source))
        ClientRect = source->ClientRect;
}

std::unique_ptr<TvlRegion> TvlContainerViewInfo::GetUpdateRegion(const TvlContainerViewInfo*) const
{
    return std::make_unique<TvlRegion>();
}

void TvlContainerViewInfo::Offset(int DX, int DY)
{
    OffsetRect(BorderRect, DX, DY);
    OffsetRect(Bounds, DX, DY);
    OffsetRect(ClientRect, DX, DY);
}

void TvlContainerViewInfo::Paint(TvlCanvas* ACanvas) { InternalPaint(ACanvas); }

void TvlContainerViewInfo::DrawBorder(TvlCanvas* ACanvas, const TRect& R)
{
    if (Painter != nullptr || BorderStyle == cbsSingle || BorderStyle == cbsThick) {
        ACanvas->FrameRect(R, BorderColor, BorderWidth);
        return;
    }
    if (BorderStyle != cbsFlat && BorderStyle != cbs3D)
        return;
    ACanvas->DrawEdge(R, true, true, Edges);
    TRect inner = R;
    InflateRect(inner, -1, -1);
    if (BorderStyle == cbsFlat)
        ACanvas->FrameRect(inner, clBtnFace, 1, Edges);
    else
        ACanvas->DrawComplexFrame(inner, cl3DDkShadow, cl3DLight, Edges);
}

void TvlContainerViewInfo::InternalPaint(TvlCanvas* ACanvas)
{
    if (NativeStyle) {
        if (BorderStyle == cbsNone) {
            ACanvas->FillRectByColor(Bounds, BackgroundColor());
            return;
        }
        IvxThemeLibrary* library = ThemeLibrary();
        TRect content = BorderRect;
        if (const HTHEME theme = OpenTheme(ThemedObjectType))
            library->GetThemeBackgroundContentRect(theme, ACanvas->Handle(), 1, NativeState, Bounds, content);
        ACanvas->FillRectByColor(content, BackgroundColor());
        // The border colour of a list box while the desktop composes, else
        // of a combo box.
        TColor border = clWindowFrame;
        const bool composing = IsCompositionEnabled();
        if (const HTHEME theme = OpenTheme(composing ? totListBox : totComboBox)) {
            TColor themed = clNone;
            if (library->GetThemeColor(theme, composing ? 3 : 1, 1, 3801, themed) == S_OK)
                border = themed;
        }
        TvlRegion band(Bounds);
        const TvlRegion inner(content);
        band.Combine(inner, roSubtract);
        ACanvas->FillRegion(band.Handle(), border);
        return;
    }
    DrawFrame(ACanvas);
    ACanvas->FillRectByColor(BorderRect, BackgroundColor());
}

void TvlContainerViewInfo::DrawFrame(TvlCanvas* ACanvas)
{
    TRect r = BorderRect;
    r.Left -= BorderWidth;
    r.Top -= BorderWidth;
    if (Edges.Contains(bRight))
        r.Right += BorderWidth;
    if (Edges.Contains(bBottom))
        r.Bottom += BorderWidth;
    if (Shadow)
        DrawContainerShadow(ACanvas, r);
    if (!Edges.Contains(bRight))
        r.Right += BorderWidth;
    if (!Edges.Contains(bBottom))
        r.Bottom += BorderWidth;
    DrawBorder(ACanvas, r);
}
