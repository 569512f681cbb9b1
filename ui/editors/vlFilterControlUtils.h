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

    // A filter editor's properties answer to no handler of the column's.
    virtual void ClearPropertiesEvents(TvlCustomEditProperties* AProperties) const;
    // The editor's active properties set up from ASource.
    virtual void InitializeEdit(TvlCustomEdit* AEdit, const TvlCustomEditProperties* ASource) const;
    virtual bool KeepsDefaultValuesProvider(const TvlCustomEditProperties* ASource) const
    {
        (void)ASource;
        return true;
    }
    virtual bool KeepsEditButtons() const { return false; }
    // The editor filter values are typed in, named by its properties class
    // (the editor is the one those properties make); nullptr: none.
    virtual TvlClass FilterEditClass() const { return nullptr; }
    // The editor's value, and its text as the properties show it in a cell.
    virtual void ReadFilterValue(TvlCustomEdit* AEdit, const TvlCustomEditProperties* AProperties,
                                 String& ADisplayText, Variant& AValue) const;
    // Values 1 to 10, or 1 to 14 when extended; "like" and "not like" only
    // for a string value type.
    virtual TvlFilterControlOperators SupportedOperators(const TvlCustomEditProperties* AProperties,
                                                         TvlValueTypeClass AValueTypeClass, bool AExtended) const;
    // AProperties take ASource's settings, then become a plain value entry:
    // left and top aligned, editable, silent, validated on Enter, without
    // buttons (unless kept), handlers or (unless kept) defaults provider.
    virtual void InitializeProperties(TvlCustomEditProperties* AProperties, const TvlCustomEditProperties* ASource,
                                      bool AKeepButtons) const;
    // Converts AValue in place to the value type.
    virtual bool CheckFilterValue(TvlValueTypeClass AValueTypeClass, Variant& AValue) const;
    virtual void WriteFilterValue(TvlCustomEdit* AEdit, const TvlCustomEditProperties* AProperties,
                                  const Variant& AValue) const
    {
        (void)AEdit, (void)AProperties, (void)AValue;
    }
    virtual bool UsesDisplayValue() const { return false; }

    // A new editor of FilterEditClass (of ASource's class when the helper
    // names none), owned by the caller, set up from ASource.
    std::unique_ptr<TvlCustomEdit> GetFilterEdit(const TvlCustomEditProperties* ASource) const;
    // The same, but the free editor AList keeps for that properties class.
    TvlCustomEdit* GetFilterEdit(const TvlCustomEditProperties* ASource, TvlInplaceEditList& AList) const;

private:
    TvlClass filterEditPropertiesClass(const TvlCustomEditProperties* ASource) const;
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

// The helpers of the editors of this library. The other editor kinds
// (mask, drop-down, combo box, progress bar and the rest) define theirs in
// their own units and register them in their units' start-up, as
// vlProgressBar does.
class TvlFilterTextEditHelper : public TvlCustomFilterEditHelper {
public:
    const TClassInfo& HelperClass() const override;
    static const TClassInfo& StaticClassInfo();
    static const TvlFilterTextEditHelper* Instance();
    TvlClass FilterEditClass() const override;
    // The common set-up, then the text selected on entry and hidden when
    // unfocused, and the text shown (not only the buttons).
    void InitializeProperties(TvlCustomEditProperties* AProperties, const TvlCustomEditProperties* ASource,
                              bool AKeepButtons) const override;
    void WriteFilterValue(TvlCustomEdit* AEdit, const TvlCustomEditProperties* AProperties,
                          const Variant& AValue) const override;
};

// One of the drop-down family: it keeps its buttons and offers only the
// comparisons a list of items allows.
class TvlFilterImageComboBoxHelper : public TvlFilterTextEditHelper {
public:
    const TClassInfo& HelperClass() const override;
    static const TvlFilterImageComboBoxHelper* Instance();
    bool KeepsEditButtons() const override { return true; }
    TvlClass FilterEditClass() const override;
    // "equals", "does not equal", "is blank", "is not blank"; extended also
    // "in" and "not in".
    TvlFilterControlOperators SupportedOperators(const TvlCustomEditProperties* AProperties,
                                                 TvlValueTypeClass AValueTypeClass, bool AExtended) const override;
    // The text helper's set-up, then the list opens at once, left aligned,
    // with the items' descriptions.
    void InitializeProperties(TvlCustomEditProperties* AProperties, const TvlCustomEditProperties* ASource,
                              bool AKeepButtons) const override;
};

// The editor framework's start-up: filter texts go through the resource
// strings repository, and the text and image combo box editors register
// their filter edit helpers.
void AddvlFilterControlUtilsUnit(TStartupList& AList);
