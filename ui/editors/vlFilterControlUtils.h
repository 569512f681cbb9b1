// vlFilterControlUtils.h - the layer between the filter UI and the editors:
// which operators an editor kind offers for a column, the check of a typed
// filter value, and the registry through which every editor kind names its
// filter edit helper.
#pragma once
#include <cstdint>
#include <map>

#include "ui/data/vlDataStorage.h"
#include "ui/data/vlFilter.h"
#include "ui/editors/vlEdit.h"
#include "ui/foundation/vlClasses.h"

class TStartupList;

VORLANE_DECLARE_EXCEPTION(EvlFilterControlError, EvxException);

[[noreturn]] void RaiseFilterControlError(const String& AText);

// A set of filter-control operators 0 .. 36, bit N for operator N.
using TvlFilterControlOperators = uint64_t;
constexpr TvlFilterControlOperators FilterControlOperatorBit(TvlFilterControlOperator AOperator)
{
    return TvlFilterControlOperators{1} << AOperator;
}

// How one editor kind edits filter values. Helpers are used as classes:
// one instance per kind, never made by their users.
class TvlCustomFilterEditHelper {
public:
    virtual ~TvlCustomFilterEditHelper() = default;
    // The helper's own class, under which the registry keeps it.
    virtual const TClassInfo& HelperClass() const;
    static const TClassInfo& StaticClassInfo();

    virtual bool KeepsDefaultValuesProvider(const TvlCustomEditProperties* ASource) const
    {
        (void)ASource;
        return true;
    }
    virtual bool KeepsEditButtons() const { return false; }
    // Values 1 to 10, or 1 to 14 when extended; "like" and "not like" only
    // for a string value type.
    virtual TvlFilterControlOperators SupportedOperators(const TvlCustomEditProperties* AProperties,
                                                         TvlValueTypeClass AValueTypeClass, bool AExtended) const;
    // Converts AValue in place to the value type.
    virtual bool CheckFilterValue(TvlValueTypeClass AValueTypeClass, Variant& AValue) const;
    virtual bool UsesDisplayValue() const { return false; }
};

// Checks a typed filter value for AValueTypeClass (nothing without one): an
// empty text becomes Null unless the type is a string type; other values
// but Null are converted by the helper, except for "like" and "not like".
// A value that does not convert raises EvlFilterControlError "Invalid value".
void ValidateFilterValue(TObject* AEditControl, Variant& AValue, TvlFilterControlOperator AOperator,
                         const TvlCustomFilterEditHelper* AHelper, TvlValueTypeClass AValueTypeClass);

// The helpers of the editor kinds, each registered under the parent class
// of its properties class: a properties class finds the helper of the
// nearest registered ancestor of its own parent.
class TvlFilterEditsController : public TvlRegisteredClassList {
public:
    String ClassName() const override { return String::fromLatin1("TvlFilterEditsController"); }
    static TvlClass RegistrationClass(TvlClass APropertiesClass) { return APropertiesClass->Parent; }
    void Register(TvlClass APropertiesClass, const TvlCustomFilterEditHelper* AHelper);
    // Unregistering the last helper frees the controller.
    void Unregister(TvlClass APropertiesClass, const TvlCustomFilterEditHelper* AHelper);
    const TvlCustomFilterEditHelper* FindHelper(TvlClass APropertiesClass) const;

private:
    using TvlRegisteredClassList::Register;
    using TvlRegisteredClassList::Unregister;
    std::map<TvlClass, const TvlCustomFilterEditHelper*> FHelpers;
};

// The one controller, made on first use.
TvlFilterEditsController* GetFilterEditsController();

// The helpers of the editors of this library.
class TvlFilterTextEditHelper : public TvlCustomFilterEditHelper {
public:
    const TClassInfo& HelperClass() const override;
    static const TvlFilterTextEditHelper* Instance();
};

class TvlFilterImageComboBoxHelper : public TvlCustomFilterEditHelper {
public:
    const TClassInfo& HelperClass() const override;
    static const TvlFilterImageComboBoxHelper* Instance();
};

// The editor framework's start-up: filter texts go through the resource
// strings repository, and the text and image combo box editors register
// their filter edit helpers.
void AddvlFilterControlUtilsUnit(TStartupList& AList);
