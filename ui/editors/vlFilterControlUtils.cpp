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

void TvlCustomFilterEditHelper::ClearPropertiesEvents(TvlCustomEditProperties* AProperties) const
{
    AProperties->OnButtonClick = nullptr;
    AProperties->OnChange = nullptr;
    AProperties->OnEditValueChanged = nullptr;
    AProperties->OnValidate = nullptr;
}

void TvlCustomFilterEditHelper::InitializeEdit(TvlCustomEdit* AEdit, const TvlCustomEditProperties* ASource) const
{
    InitializeProperties(AEdit->ActiveProperties(), ASource, KeepsEditButtons());
}

void TvlCustomFilterEditHelper::ReadFilterValue(TvlCustomEdit* AEdit, const TvlCustomEditProperties* AProperties,
                                                String& ADisplayText, Variant& AValue) const
{
    AValue = AEdit->EditValue();
    ADisplayText = AProperties->GetDisplayText(AValue, false, true);
}

void TvlCustomFilterEditHelper::InitializeProperties(TvlCustomEditProperties* AProperties,
                                                     const TvlCustomEditProperties* ASource, bool AKeepButtons) const
{
    AProperties->Assign(ASource);
    AProperties->Alignment()->SetHorz(taLeftJustify);
    AProperties->Alignment()->SetVert(taTopJustify);
    AProperties->SetBeepOnError(false);
    if (!AKeepButtons)
        AProperties->Buttons()->Clear();
    AProperties->SetReadOnly(false);
    AProperties->SetValidateOnEnter(true);
    if (!KeepsDefaultValuesProvider(ASource))
        AProperties->SetDefaultValuesProvider(nullptr);
    ClearPropertiesEvents(AProperties);
}

TvlClass TvlCustomFilterEditHelper::filterEditPropertiesClass(const TvlCustomEditProperties* ASource) const
{
    const TvlClass editClass = FilterEditClass();
    return editClass != nullptr ? editClass : ASource->ClassInfo();
}

std::unique_ptr<TvlCustomEdit> TvlCustomFilterEditHelper::GetFilterEdit(const TvlCustomEditProperties* ASource) const
{
    const TvlClass propertiesClass = filterEditPropertiesClass(ASource);
    TvlCustomEditClass editClass;
    if (propertiesClass == ASource->ClassInfo())
        editClass = ASource->GetContainerClass();
    else if (const auto sample = CreateEditProperties(propertiesClass, nullptr))
        editClass = sample->GetContainerClass();
    if (!editClass)
        return nullptr;  // an editor class nobody registered
    std::unique_ptr<TvlCustomEdit> edit(editClass(nullptr, false));
    InitializeEdit(edit.get(), ASource);
    return edit;
}

TvlCustomEdit* TvlCustomFilterEditHelper::GetFilterEdit(const TvlCustomEditProperties* ASource,
                                                        TvlInplaceEditList& AList) const
{
    TvlCustomEdit* edit = AList.GetEditByClass(filterEditPropertiesClass(ASource));
    if (edit != nullptr)
        InitializeEdit(edit, ASource);
    return edit;
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

const TClassInfo& TvlFilterTextEditHelper::StaticClassInfo()
{
    static const TClassInfo info{String::fromLatin1("TvlFilterTextEditHelper"),
                                 &TvlCustomFilterEditHelper::StaticClassInfo(), {}};
    return info;
}

const TClassInfo& TvlFilterTextEditHelper::HelperClass() const { return StaticClassInfo(); }

const TvlFilterTextEditHelper* TvlFilterTextEditHelper::Instance()
{
    static const TvlFilterTextEditHelper instance;
    return &instance;
}

TvlClass TvlFilterTextEditHelper::FilterEditClass() const { return &TvlTextEditProperties::StaticClassInfo(); }

void TvlFilterTextEditHelper::InitializeProperties(TvlCustomEditProperties* AProperties,
                                                   const TvlCustomEditProperties* ASource, bool AKeepButtons) const
{
    TvlCustomFilterEditHelper::InitializeProperties(AProperties, ASource, AKeepButtons);
    AProperties->SetAutoSelect(true);
    if (auto* text = dynamic_cast<TvlCustomTextEditProperties*>(AProperties)) {
        text->SetHideSelection(true);
        text->SetViewStyle(vsNormal);
    }
}

void TvlFilterTextEditHelper::WriteFilterValue(TvlCustomEdit* AEdit, const TvlCustomEditProperties*,
                                               const Variant& AValue) const
{
    AEdit->SetEditValue(AValue);
}

const TClassInfo& TvlFilterImageComboBoxHelper::HelperClass() const
{
    static const TClassInfo info{String::fromLatin1("TvlFilterImageComboBoxHelper"),
                                 &TvlFilterTextEditHelper::StaticClassInfo(), {}};
    return info;
}

const TvlFilterImageComboBoxHelper* TvlFilterImageComboBoxHelper::Instance()
{
    static const TvlFilterImageComboBoxHelper instance;
    return &instance;
}

TvlClass TvlFilterImageComboBoxHelper::FilterEditClass() const
{
    return &TvlImageComboBoxProperties::StaticClassInfo();
}

TvlFilterControlOperators TvlFilterImageComboBoxHelper::SupportedOperators(const TvlCustomEditProperties*,
                                                                           TvlValueTypeClass, bool AExtended) const
{
    TvlFilterControlOperators result = 0;
    for (const TvlFilterControlOperator op : {1, 2, 9, 10})
        result |= FilterControlOperatorBit(op);
    if (AExtended)
        result |= FilterControlOperatorBit(13) | FilterControlOperatorBit(14);
    return result;
}

void TvlFilterImageComboBoxHelper::InitializeProperties(TvlCustomEditProperties* AProperties,
                                                        const TvlCustomEditProperties* ASource,
                                                        bool AKeepButtons) const
{
    TvlFilterTextEditHelper::InitializeProperties(AProperties, ASource, AKeepButtons);
    if (auto* combo = dynamic_cast<TvlImageComboBoxProperties*>(AProperties)) {
        combo->SetPopupAlignment(taLeftJustify);
        combo->SetImmediateDropDown(true);
        combo->SetShowDescriptions(true);
    }
}

void AddvlFilterControlUtilsUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlFilterControlUtils"),
        [] {
            SetFilterResourceStringHook([](const TResStringRec& AResString) { return GetResourceString(AResString); });
            // The editors of this library. Every other editor unit registers
            // its own helper at its start-up (see vlProgressBar).
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
