#include "ui/editors/vlFilterControlUtils.h"

#include <memory>

#include "platform/rtl/Startup.h"
#include "platform/rtl/TypInfo.h"
#include "ui/data/vlFilterControlStrs.h"
#include "ui/editors/vlImageComboBox.h"
#include "ui/editors/vlTextEdit.h"

void RaiseFilterControlError(const String& AText) { throw EvlFilterControlError(AText); }

const TClassInfo& TvlCustomFilterEditHelper::StaticClassInfo()
{
    static const TClassInfo info{String::fromLatin1("TvlCustomFilterEditHelper"), nullptr, {}};
    return info;
}

const TClassInfo& TvlCustomFilterEditHelper::HelperClass() const { return StaticClassInfo(); }

TvlFilterControlOperators TvlCustomFilterEditHelper::SupportedOperators(const TvlCustomEditProperties*,
                                                                        TvlValueTypeClass AValueTypeClass,
                                                                        bool AExtended) const
{
    TvlFilterControlOperators result = 0;
    for (TvlFilterControlOperator op = 1; op <= (AExtended ? 14 : 10); ++op)
        result |= FilterControlOperatorBit(op);
    if (AValueTypeClass == nullptr || !AValueTypeClass->IsStringType())
        result &= ~(FilterControlOperatorBit(7) | FilterControlOperatorBit(8));
    return result;
}

bool TvlCustomFilterEditHelper::CheckFilterValue(TvlValueTypeClass AValueTypeClass, Variant& AValue) const
{
    return AValueTypeClass->CheckValue(AValue);
}

void ValidateFilterValue(TObject*, Variant& AValue, TvlFilterControlOperator AOperator,
                         const TvlCustomFilterEditHelper* AHelper, TvlValueTypeClass AValueTypeClass)
{
    if (AValueTypeClass == nullptr)
        return;
    if (VarIsStr(AValue) && AValue.AsString().isEmpty() && !AValueTypeClass->IsStringType())
        AValue = Null();
    if (VarIsNull(AValue) || AOperator == 7 || AOperator == 8)
        return;
    bool valid = false;
    try {
        valid = AHelper->CheckFilterValue(AValueTypeClass, AValue);
    } catch (const Exception&) {
        valid = false;
    }
    if (!valid)
        RaiseFilterControlError(GetResourceString(vlFilterControlStrs::vlSFilterDialogInvalidValue));
}

// ---- the registry

namespace {
std::unique_ptr<TvlFilterEditsController>& filterEditsController()
{
    static std::unique_ptr<TvlFilterEditsController> instance;
    return instance;
}
}  // namespace

TvlFilterEditsController* GetFilterEditsController()
{
    auto& instance = filterEditsController();
    if (!instance)
        instance = std::make_unique<TvlFilterEditsController>();
    return instance.get();
}

void TvlFilterEditsController::Register(TvlClass APropertiesClass, const TvlCustomFilterEditHelper* AHelper)
{
    FHelpers[&AHelper->HelperClass()] = AHelper;
    TvlRegisteredClassList::Register(RegistrationClass(APropertiesClass), &AHelper->HelperClass());
}

void TvlFilterEditsController::Unregister(TvlClass APropertiesClass, const TvlCustomFilterEditHelper* AHelper)
{
    TvlRegisteredClassList::Unregister(RegistrationClass(APropertiesClass), &AHelper->HelperClass());
    if (Count() == 0 && filterEditsController().get() == this)
        filterEditsController().reset();  // this object is gone now
}

const TvlCustomFilterEditHelper* TvlFilterEditsController::FindHelper(TvlClass APropertiesClass) const
{
    const TvlClass helperClass = FindClass(RegistrationClass(APropertiesClass));
    const auto it = FHelpers.find(helperClass);
    return it != FHelpers.end() ? it->second : nullptr;
}

// ---- the helpers of this library's editors

const TClassInfo& TvlFilterTextEditHelper::HelperClass() const
{
    static const TClassInfo info{String::fromLatin1("TvlFilterTextEditHelper"),
                                 &TvlCustomFilterEditHelper::StaticClassInfo(), {}};
    return info;
}

const TvlFilterTextEditHelper* TvlFilterTextEditHelper::Instance()
{
    static const TvlFilterTextEditHelper instance;
    return &instance;
}

const TClassInfo& TvlFilterImageComboBoxHelper::HelperClass() const
{
    static const TClassInfo info{String::fromLatin1("TvlFilterImageComboBoxHelper"),
                                 &TvlCustomFilterEditHelper::StaticClassInfo(), {}};
    return info;
}

const TvlFilterImageComboBoxHelper* TvlFilterImageComboBoxHelper::Instance()
{
    static const TvlFilterImageComboBoxHelper instance;
    return &instance;
}

void AddvlFilterControlUtilsUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlFilterControlUtils"),
        [] {
            SetFilterResourceStringHook([](const TResStringRec& AResString) { return GetResourceString(AResString); });
            GetFilterEditsController()->Register(&TvlTextEditProperties::StaticClassInfo(),
                                                 TvlFilterTextEditHelper::Instance());
            GetFilterEditsController()->Register(&TvlImageComboBoxProperties::StaticClassInfo(),
                                                 TvlFilterImageComboBoxHelper::Instance());
        },
        [] {
            GetFilterEditsController()->Unregister(&TvlImageComboBoxProperties::StaticClassInfo(),
                                                   TvlFilterImageComboBoxHelper::Instance());
            GetFilterEditsController()->Unregister(&TvlTextEditProperties::StaticClassInfo(),
                                                   TvlFilterTextEditHelper::Instance());
            SetFilterResourceStringHook(nullptr);
        });
}
