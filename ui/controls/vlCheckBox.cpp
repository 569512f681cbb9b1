// vlCheckBox.cpp - the check states' value formats, the caption items and
// the check box properties with their registration.
#include "ui/controls/vlCheckBox.h"

#include <QString>
#include <algorithm>
#include <limits>

#include "platform/rtl/Startup.h"
#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlEditConsts.h"

namespace {

// ---- reading texts ---------------------------------------------------------------

// A cursor over a text that never reads past its end.
struct TTextReader {
    const String& Text;
    qsizetype Pos = 0;

    bool AtEnd() const { return Pos >= Text.size(); }
    QChar Peek() const { return AtEnd() ? QChar() : Text.at(Pos); }
    bool Skip(QChar C)
    {
        if (Peek() != C || AtEnd())
            return false;
        ++Pos;
        return true;
    }
    // At least one decimal digit; a value beyond 2147483647 fails.
    bool ReadNumber(int& AValue)
    {
        int64_t value = 0;
        const qsizetype start = Pos;
        while (!AtEnd() && Text.at(Pos) >= QLatin1Char('0') && Text.at(Pos) <= QLatin1Char('9')) {
            value = value * 10 + (Text.at(Pos).unicode() - u'0');
            if (value > std::numeric_limits<int32_t>::max())
                return false;
            ++Pos;
        }
        if (Pos == start)
            return false;
        AValue = int(value);
        return true;
    }
};

// Null reads as the empty text; anything but a text does not read.
bool valueText(const Variant& AValue, String& AText)
{
    if (VarIsNull(AValue)) {
        AText.clear();
        return true;
    }
    if (!VarIsStr(AValue))
        return false;
    AText = AValue.AsString();
    return true;
}

int itemCount(const IvlCaptionList* AItems) { return AItems != nullptr ? std::max(0, AItems->GetCount()) : 0; }

// ---- building --------------------------------------------------------------------------

String captionsToText(const TvlCheckStates& AStates, const IvlCaptionList* AItems)
{
    String grayed, checked;
    const int count = std::min(int(AStates.size()), itemCount(AItems));
    for (int i = 0; i < count; ++i) {
        if (AStates[size_t(i)] == cbsUnchecked)
            continue;
        const String caption = AItems->GetCaption(i);
        String& list = AStates[size_t(i)] == cbsGrayed ? grayed : checked;
        list += String::number(caption.size()) + QLatin1Char(':') + caption;
    }
    return checked.isEmpty() ? grayed : grayed + QLatin1Char(';') + checked;
}

String indicesToText(const TvlCheckStates& AStates)
{
    String grayed, checked;
    for (size_t i = 0; i < AStates.size(); ++i) {
        if (AStates[i] == cbsUnchecked)
            continue;
        String& list = AStates[i] == cbsGrayed ? grayed : checked;
        if (!list.isEmpty())
            list += QLatin1Char(',');
        list += String::number(i);
    }
    return checked.isEmpty() ? grayed : grayed + QLatin1Char(';') + checked;
}

Variant statesToInteger(const TvlCheckStates& AStates)
{
    // Bit 63 is an item like the others: the mask is built unsigned.
    uint64_t bits = 0;
    for (size_t i = 0; i < std::min<size_t>(AStates.size(), 64); ++i)
        if (AStates[i] == cbsChecked)
            bits |= uint64_t{1} << i;
    return Variant(static_cast<long long>(static_cast<int64_t>(bits)));
}

String statesToText(const TvlCheckStates& AStates)
{
    String result;
    for (const TvlCheckBoxState state : AStates)
        result += QChar(u'0' + int(state));
    return result;
}

// ---- reading -------------------------------------------------------------------------

bool readCaptions(const Variant& AValue, const IvlCaptionList* AItems, TvlCheckStates& AStates)
{
    String text;
    if (!valueText(AValue, text))
        return false;
    struct TEntry {
        String Caption;
        bool Checked;
    };
    std::vector<TEntry> entries;
    TTextReader reader{text};
    bool checkedList = false;
    while (!reader.AtEnd()) {
        if (!checkedList && reader.Skip(QLatin1Char(';')))
            checkedList = true;
        int length = 0;
        if (!reader.ReadNumber(length) || !reader.Skip(QLatin1Char(':')))
            return false;
        if (length > text.size() - reader.Pos)
            return false;
        entries.push_back(TEntry{text.mid(reader.Pos, length), checkedList});
        reader.Pos += length;
    }
    for (int i = 0; i < itemCount(AItems); ++i) {
        const String caption = AItems->GetCaption(i);
        const auto entry = std::find_if(entries.begin(), entries.end(), [&](const TEntry& e) {
            return QString::compare(e.Caption, caption, Qt::CaseInsensitive) == 0;
        });
        if (entry == entries.end())
            continue;
        AStates[size_t(i)] = entry->Checked ? cbsChecked : cbsGrayed;
        entries.erase(entry);
    }
    return entries.empty();
}

bool readIndices(const Variant& AValue, TvlCheckStates& AStates)
{
    String text;
    if (!valueText(AValue, text))
        return false;
    TTextReader reader{text};
    bool checkedList = false;
    while (!reader.AtEnd()) {
        if (!checkedList && reader.Skip(QLatin1Char(';')))
            checkedList = true;
        int index = 0;
        if (!reader.ReadNumber(index) || index >= int(AStates.size()))
            return false;
        AStates[size_t(index)] = checkedList ? cbsChecked : cbsGrayed;
        reader.Skip(QLatin1Char(','));
    }
    return true;
}

bool readInteger(const Variant& AValue, TvlCheckStates& AStates)
{
    int64_t value = 0;
    if (VarIsNull(AValue))
        value = 0;
    else if (VarIsStr(AValue)) {
        if (!TryStrToInt64(AValue.AsString(), value))
            return false;
    } else if (VarIsNumeric(AValue) || VarIsDate(AValue)) {
        try {
            value = AValue.AsInt64();
        } catch (const std::exception&) {
            return false;
        }
    } else
        return false;
    const uint64_t bits = static_cast<uint64_t>(value);
    for (size_t i = 0; i < std::min<size_t>(AStates.size(), 64); ++i)
        AStates[i] = (bits >> i) & 1u ? cbsChecked : cbsUnchecked;
    return true;
}

bool readStatesText(const Variant& AValue, TvlCheckStates& AStates)
{
    String text;
    if (!valueText(AValue, text))
        return false;
    const qsizetype count = std::min<qsizetype>(text.size(), qsizetype(AStates.size()));
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'2')
            return false;
        AStates[size_t(i)] = TvlCheckBoxState(c - u'0');
    }
    return true;
}

}  // namespace

Variant CheckStatesToEditValue(const TvlCheckStates& ACheckStates, const IvlCaptionList* AItems,
                               TvlCheckStatesValueFormat AValueFormat)
{
    switch (AValueFormat) {
    case cvfCaptions:
        return captionsToText(ACheckStates, AItems);
    case cvfIndices:
        return indicesToText(ACheckStates);
    case cvfInteger:
        return statesToInteger(ACheckStates);
    case cvfStatesString:
        return statesToText(ACheckStates);
    case cvfCustom:
        break;
    }
    return Null();
}

bool CalculateCheckStates(const Variant& AValue, const IvlCaptionList* AItems, TvlCheckStatesValueFormat AValueFormat,
                          TvlCheckStates& ACheckStates)
{
    ACheckStates.assign(size_t(itemCount(AItems)), cbsUnchecked);
    bool result = false;
    switch (AValueFormat) {
    case cvfCaptions:
        result = readCaptions(AValue, AItems, ACheckStates);
        break;
    case cvfIndices:
        result = readIndices(AValue, ACheckStates);
        break;
    case cvfInteger:
        result = readInteger(AValue, ACheckStates);
        break;
    case cvfStatesString:
        result = readStatesText(AValue, ACheckStates);
        break;
    case cvfCustom:
        break;
    }
    if (!result)
        std::fill(ACheckStates.begin(), ACheckStates.end(), cbsUnchecked);
    return result;
}

// ---- caption items -----------------------------------------------------------------

const TClassInfo* TvlCaptionItem::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCaptionItem::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlCaptionItem>("TvlCaptionItem", &TCollectionItem::StaticClassInfo())
            .Str("Caption", &TvlCaptionItem::Caption, &TvlCaptionItem::SetCaption)
            .Int("Tag", &TvlCaptionItem::Tag, &TvlCaptionItem::SetTag, 0)
            .Build();
    return info;
}

void TvlCaptionItem::Assign(const TPersistent* Source)
{
    if (const auto* item = dynamic_cast<const TvlCaptionItem*>(Source)) {
        SetCaption(item->Caption());
        SetTag(item->Tag());
    } else
        TCollectionItem::Assign(Source);
}

void TvlCaptionItem::SetCaption(const String& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    auto* items = dynamic_cast<TvlOwnedInterfacedCollection*>(Collection());
    if (items != nullptr && items->Sorted())
        items->Sort();
    else
        Changed(false);
}

int TvlCaptionItems::CompareItems(TCollectionItem* AItem1, TCollectionItem* AItem2)
{
    // The user's locale with the case folded away.
    const String a = static_cast<TvlCaptionItem*>(AItem1)->Caption().toCaseFolded();
    const String b = static_cast<TvlCaptionItem*>(AItem2)->Caption().toCaseFolded();
    const int result = QString::localeAwareCompare(a, b);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

// ---- properties ----------------------------------------------------------------------

TvlCustomCheckBoxProperties::TvlCustomCheckBoxProperties(TPersistent* AOwner)
    : TvlCustomEditProperties(AOwner), FDisplayChecked(GetResourceString(vlEditConsts::vlSEditCheckBoxChecked)),
      FDisplayGrayed(GetResourceString(vlEditConsts::vlSEditCheckBoxGrayed)),
      FDisplayUnchecked(GetResourceString(vlEditConsts::vlSEditCheckBoxUnchecked)), FValueChecked(true), FValueGrayed(Null()),
      FValueUnchecked(false)
{
}

TvlCustomCheckBoxProperties::~TvlCustomCheckBoxProperties() = default;

bool TvlCustomCheckBoxProperties::IsOwnerLoading() const
{
    const TComponent* owner = GetOwnerComponent(this);
    return owner != nullptr && owner->ComponentState().Contains(csLoading);
}

void TvlCustomCheckBoxProperties::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomCheckBoxProperties*>(Source);
    if (source == nullptr) {
        TvlCustomEditProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TvlCustomEditProperties::Assign(Source);
        SetAllowGrayed(source->AllowGrayed());
        SetDisplayChecked(source->DisplayChecked());
        SetDisplayGrayed(source->DisplayGrayed());
        SetDisplayUnchecked(source->DisplayUnchecked());
        SetFullFocusRect(source->FullFocusRect());
        SetGlyph(source->GlyphIfAny());
        SetGlyphCount(source->GlyphCount());
        SetMultiLine(source->MultiLine());
        SetNullStyle(source->NullStyle());
        SetUseAlignmentWhenInplace(source->UseAlignmentWhenInplace());
        SetStateValues(source->ValueChecked(), source->ValueGrayed(), source->ValueUnchecked());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlCustomCheckBoxProperties::SetAllowGrayed(bool Value) { setValue(FAllowGrayed, Value); }

void TvlCustomCheckBoxProperties::SetCaption(const String& Value)
{
    FCaptionAssigned = true;
    setValue(FCaption, Value);
}

void TvlCustomCheckBoxProperties::SetDisplayChecked(const String& Value) { setValue(FDisplayChecked, Value); }
void TvlCustomCheckBoxProperties::SetDisplayGrayed(const String& Value) { setValue(FDisplayGrayed, Value); }
void TvlCustomCheckBoxProperties::SetDisplayUnchecked(const String& Value) { setValue(FDisplayUnchecked, Value); }

bool TvlCustomCheckBoxProperties::IsDisplayCheckedStored() const
{
    return FDisplayChecked != GetResourceString(vlEditConsts::vlSEditCheckBoxChecked);
}

bool TvlCustomCheckBoxProperties::IsDisplayGrayedStored() const
{
    return FDisplayGrayed != GetResourceString(vlEditConsts::vlSEditCheckBoxGrayed);
}

bool TvlCustomCheckBoxProperties::IsDisplayUncheckedStored() const
{
    return FDisplayUnchecked != GetResourceString(vlEditConsts::vlSEditCheckBoxUnchecked);
}

void TvlCustomCheckBoxProperties::SetFullFocusRect(bool Value) { setValue(FFullFocusRect, Value); }

TBitmap* TvlCustomCheckBoxProperties::InternalGetGlyph()
{
    if (FGlyph == nullptr) {
        FGlyph = std::make_unique<TBitmap>();
        FGlyph->OnChange = TNotifyEvent(this, &TvlCustomCheckBoxProperties::glyphChanged);
    }
    return FGlyph.get();
}

void TvlCustomCheckBoxProperties::SetGlyph(const TBitmap* Value)
{
    if (Value == nullptr) {
        if (FGlyph != nullptr) {
            FGlyph.reset();
            Changed();
        }
        return;
    }
    InternalGetGlyph()->Assign(Value);
}

void TvlCustomCheckBoxProperties::SetGlyphCount(int Value)
{
    if (Value == FGlyphCount)
        return;
    FGlyphCount = Value;
    // The count only matters to a glyph.
    if (FGlyph != nullptr)
        Changed();
}

void TvlCustomCheckBoxProperties::SetMultiLine(bool Value) { setValue(FMultiLine, Value); }
void TvlCustomCheckBoxProperties::SetNullStyle(TvlCheckBoxNullValueShowingStyle Value) { setValue(FNullStyle, Value); }
void TvlCustomCheckBoxProperties::SetUseAlignmentWhenInplace(bool Value) { setValue(FUseAlignmentWhenInplace, Value); }

bool TvlCustomCheckBoxProperties::IsUnusedStateValue(const Variant& AValue) const
{
    return !InternalVarEqualsExact(AValue, FValueChecked) && !InternalVarEqualsExact(AValue, FValueGrayed) &&
           !InternalVarEqualsExact(AValue, FValueUnchecked);
}

void TvlCustomCheckBoxProperties::SetValueChecked(const Variant& Value)
{
    if (IsOwnerLoading() || (IsUnusedStateValue(Value) && !VarIsNull(Value))) {
        FValueChecked = Value;
        Changed();
    }
}

void TvlCustomCheckBoxProperties::SetValueGrayed(const Variant& Value)
{
    if (IsOwnerLoading() || IsUnusedStateValue(Value)) {
        FValueGrayed = Value;
        Changed();
    }
}

void TvlCustomCheckBoxProperties::SetValueUnchecked(const Variant& Value)
{
    if (IsOwnerLoading() || (IsUnusedStateValue(Value) && !VarIsNull(Value))) {
        FValueUnchecked = Value;
        Changed();
    }
}

void TvlCustomCheckBoxProperties::SetStateValues(const Variant& AValueChecked, const Variant& AValueGrayed,
                                                 const Variant& AValueUnchecked)
{
    if (InternalVarEqualsExact(AValueChecked, AValueGrayed) || InternalVarEqualsExact(AValueChecked, AValueUnchecked) ||
        InternalVarEqualsExact(AValueGrayed, AValueUnchecked) || VarIsNull(AValueChecked) ||
        VarIsNull(AValueUnchecked))
        return;
    FValueChecked = AValueChecked;
    FValueGrayed = AValueGrayed;
    FValueUnchecked = AValueUnchecked;
    Changed();
}

TvlCheckBoxState TvlCustomCheckBoxProperties::EditValueToState(const Variant& AEditValue) const
{
    Variant display;
    PrepareDisplayValue(AEditValue, display, false);
    return TvlCheckBoxState(display.AsInteger());
}

void TvlCustomCheckBoxProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool) const
{
    // A comparison that cannot convert (a text against a number) is simply
    // not equal: the value then shows grayed.
    const auto equals = [&](const Variant& AStateValue) {
        try {
            return VarEqualsExact(AEditValue, AStateValue);
        } catch (const std::exception&) {
            return false;
        }
    };
    if (equals(FValueChecked))
        DisplayValue = int(cbsChecked);
    else if (equals(FValueUnchecked))
        DisplayValue = int(cbsUnchecked);
    else
        DisplayValue = int(cbsGrayed);
}

bool TvlCustomCheckBoxProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) const
{
    return EditValueToState(AEditValue1) == EditValueToState(AEditValue2);
}

String TvlCustomCheckBoxProperties::GetDisplayText(const Variant& AEditValue, bool, bool) const
{
    switch (EditValueToState(AEditValue)) {
    case cbsUnchecked:
        return FDisplayUnchecked;
    case cbsChecked:
        return FDisplayChecked;
    case cbsGrayed:
        break;
    }
    return FDisplayGrayed;
}

uint32_t TvlCustomCheckBoxProperties::GetSpecialFeatures() const
{
    return TvlCustomEditProperties::GetSpecialFeatures() | vlefCheckBox;
}

bool TvlCustomCheckBoxProperties::IsEditValueValid(Variant& EditValue, bool AEditFocused) const
{
    return TvlCustomEditProperties::IsEditValueValid(EditValue, AEditFocused) && !IsUnusedStateValue(EditValue);
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomCheckBoxProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomCheckBoxProperties>(AOwner);
}

const TClassInfo* TvlCustomCheckBoxProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomCheckBoxProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomCheckBoxProperties>(
                                       "TvlCustomCheckBoxProperties", &TvlCustomEditProperties::StaticClassInfo())
                                       .Build();
    return info;
}

const TClassInfo* TvlCheckBoxProperties::ClassInfo() const { return &StaticClassInfo(); }

namespace {
constexpr const char* nullStyleNames[] = {"nssUnchecked", "nssInactive", "nssGrayedChecked"};
constexpr TEnumInfo nullStyleInfo{"TvlCheckBoxNullValueShowingStyle", nullStyleNames};
}  // namespace

const TClassInfo& TvlCheckBoxProperties::StaticClassInfo()
{
    using C = TvlCheckBoxProperties;
    static const TClassInfo info =
        TClassInfoBuilder<C>("TvlCheckBoxProperties", &TvlCustomCheckBoxProperties::StaticClassInfo())
            .Bool("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed)
            // Old descriptions still carry the caption here: it is read and
            // handed on, never written.
            .Str("Caption", &C::Caption, &C::SetCaption)
            .Stored(false)
            .Str("DisplayChecked", &C::DisplayChecked, &C::SetDisplayChecked)
            .Stored(&C::IsDisplayCheckedStored)
            .Str("DisplayGrayed", &C::DisplayGrayed, &C::SetDisplayGrayed)
            .Stored(&C::IsDisplayGrayedStored)
            .Str("DisplayUnchecked", &C::DisplayUnchecked, &C::SetDisplayUnchecked)
            .Stored(&C::IsDisplayUncheckedStored)
            .Bool("FullFocusRect", &C::FullFocusRect, &C::SetFullFocusRect)
            .Int("GlyphCount", &C::GlyphCount, &C::SetGlyphCount)
            .Bool("MultiLine", &C::MultiLine, &C::SetMultiLine)
            .Enum("NullStyle", nullStyleInfo, &C::NullStyle, &C::SetNullStyle)
            .Bool("UseAlignmentWhenInplace", &C::UseAlignmentWhenInplace, &C::SetUseAlignmentWhenInplace)
            .Build();
    return info;
}

std::unique_ptr<TvlCustomEditProperties> TvlCheckBoxProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCheckBoxProperties>(AOwner);
}

TvlCheckBoxState EditValueToCheckState(const TvlCustomCheckBoxProperties* AProperties, const Variant& AEditValue)
{
    return AProperties->EditValueToState(AEditValue);
}

// ---- filter helper ---------------------------------------------------------------------

const TClassInfo& TvlFilterCheckBoxHelper::HelperClass() const
{
    static const TClassInfo info{String::fromLatin1("TvlFilterCheckBoxHelper"),
                                 &TvlCustomFilterEditHelper::StaticClassInfo(), {}};
    return info;
}

const TvlFilterCheckBoxHelper* TvlFilterCheckBoxHelper::Instance()
{
    static const TvlFilterCheckBoxHelper instance;
    return &instance;
}

void TvlFilterCheckBoxHelper::GetFilterValue(const TvlCustomCheckBoxProperties* AProperties, int AItemIndex,
                                             Variant& AValue, String& ADisplayText)
{
    if (AItemIndex == 0 || AItemIndex == 1) {
        AValue = AItemIndex == 0 ? AProperties->ValueChecked() : AProperties->ValueUnchecked();
        ADisplayText = AProperties->GetDisplayText(AValue);
    } else {
        AValue = Null();
        ADisplayText.clear();
    }
}

int TvlFilterCheckBoxHelper::ShowFilterValue(const TvlCustomCheckBoxProperties* AProperties, const Variant& AValue)
{
    switch (AProperties->EditValueToState(AValue)) {
    case cbsChecked:
        return 0;
    case cbsUnchecked:
        return 1;
    case cbsGrayed:
        break;
    }
    return -1;
}

TvlFilterControlOperators TvlFilterCheckBoxHelper::SupportedOperators(const TvlCustomEditProperties* AProperties,
                                                                      TvlValueTypeClass AValueTypeClass, bool) const
{
    // The comparisons of a fixed list, without "in" and "not in".
    return TvlFilterImageComboBoxHelper::Instance()->SupportedOperators(AProperties, AValueTypeClass, false);
}

// ---- unit ------------------------------------------------------------------------------

void AddvlCheckBoxUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlCheckBox"),
        [] {
            RegisterEditProperties(&TvlCheckBoxProperties::StaticClassInfo(),
                                   GetResourceString(vlEditConsts::svlSEditRepositoryCheckBoxItem),
                                   [](TPersistent* AOwner) { return std::make_unique<TvlCheckBoxProperties>(AOwner); });
            GetFilterEditsController()->Register(&TvlCheckBoxProperties::StaticClassInfo(),
                                                 TvlFilterCheckBoxHelper::Instance());
            InitCheckMarkBitmap();
        },
        [] {
            GetFilterEditsController()->Unregister(&TvlCheckBoxProperties::StaticClassInfo(),
                                                   TvlFilterCheckBoxHelper::Instance());
            UnregisterEditProperties(&TvlCheckBoxProperties::StaticClassInfo());
            FreeCheckMarkBitmap();
        });
}
