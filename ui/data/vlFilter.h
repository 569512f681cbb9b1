// vlFilter.h - the filter model's building blocks: operator kinds, the LIKE
// wildcard matcher, the value texts of filter conditions and the date
// ranges of the relative-date operators.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

class QCollator;

#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"

#include "platform/rtl/Stream.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Variant.h"
#include "platform/rtl/TypInfo.h"

// The value stored in criteria streams (one byte).
enum TvlFilterOperatorKind : uint8_t {
    foEqual, foNotEqual, foLess, foLessEqual, foGreater, foGreaterEqual, foLike, foNotLike, foBetween,
    foNotBetween, foInList, foNotInList, foYesterday, foToday, foTomorrow, foLast7Days, foLastWeek,
    foLast14Days, foLastTwoWeeks, foLast30Days, foLastMonth, foLastYear, foInPast, foThisWeek, foThisMonth,
    foThisYear, foNext7Days, foNextWeek, foNext14Days, foNextTwoWeeks, foNext30Days, foNextMonth, foNextYear,
    foInFuture
};
inline constexpr int vlFilterOperatorKindCount = foInFuture + 1;

enum TvlFilterBoolOperatorKind : uint8_t { fboAnd, fboOr, fboNotAnd, fboNotOr };

// ---- LIKE matching ------------------------------------------------------------------

// Matches AText against APattern code unit by code unit. The multiple
// wildcard matches any run of units, the empty run included (so a run of
// wildcards matches the empty text), the single wildcard exactly one unit;
// an escape character (0 = none) makes the next pattern unit literal.
// Iterative, with one backtrack point: the latest multiple wildcard.
bool LikeMatch(const char16_t* AText, int ATextLength, const char16_t* APattern, int APatternLength,
               char16_t AMultipleWildcard, char16_t ASingleWildcard, char16_t AEscapeChar);
bool MatchesLikePattern(const String& AText, const String& APattern, QChar AMultipleWildcard,
                        QChar ASingleWildcard);
// Collapses every run of AChar to one AChar.
void CollapseDoubledChar(String& AText, QChar AChar);
// 0 plain, 1 begins with, 2 ends with, 3 contains; the classifying wildcards
// are stripped from APattern (runs collapsed first).
int ClassifyLikeWildcards(String& APattern, QChar AWildcard);

// ---- value texts --------------------------------------------------------------------

String FilterValueText(const Variant& AValue);
String BetweenArrayText(const Variant& AArray);
String ListArrayText(const Variant& AArray);
// The text from APosition (1-based) to the next ';', trimmed of blanks and
// control characters; APosition moves past the ';'.
String NextListToken(const String& AText, int& APosition);
Variant TextToBetweenArray(const String& AText);
Variant TextToListArray(const String& AText);
bool SameMemoryStreams(TMemoryStream* AStream1, TMemoryStream* AStream2);

// ---- relative dates -----------------------------------------------------------------

// The [start, end) range of a relative-date operator kind for the day
// AToday (0 = open bound); false for a kind that is not a date kind.
bool FilterDateRange(TvlFilterOperatorKind AKind, TDateTime AToday, TDateTime& AStart, TDateTime& AEnd);

// ---- the filter UI's operator numbering -------------------------------------------

// 0 none, 1-8 the value operators equals ... not like, 9 "is blank",
// 10 "is not blank", 11-14 between ... not in, 15-36 the date operators.
using TvlFilterControlOperator = uint8_t;
inline constexpr TvlFilterControlOperator vlFilterControlOperatorMax = 36;

TvlFilterOperatorKind FilterControlOperatorToKind(TvlFilterControlOperator AOperator);
TvlFilterControlOperator KindToFilterControlOperator(TvlFilterOperatorKind AKind, bool AValueIsBlank);
String GetFilterControlOperatorText(TvlFilterControlOperator AOperator);

// ---- the string tables ------------------------------------------------------------

class TvxProductResourceStrings;
// The operators and criteria fetch their texts through this: the hook when
// one is set, else the resource's own text.
String GetFilterResourceString(const TResStringRec& AResString);
using TvlFilterResourceStringHook = String (*)(const TResStringRec& AResString);
void SetFilterResourceStringHook(TvlFilterResourceStringHook AHook);
void RegisterFilterResourceStrings(TvxProductResourceStrings* AProduct);
void RegisterDataResourceStrings(TvxProductResourceStrings* AProduct);
void RegisterFilterControlResourceStrings(TvxProductResourceStrings* AProduct);
// The three tables' units: each registers its table with the resource
// strings repository at start-up and takes it back at shut-down.
class TStartupList;
void AddvlFilterConstsUnit(TStartupList& AList);
void AddvlDataConstsUnit(TStartupList& AList);
void AddvlFilterControlStrsUnit(TStartupList& AList);

// ---- operators ----------------------------------------------------------------------

class TvlFilterCriteria;
class TvlFilterCriteriaItem;
class TvlFilterCriteriaItemList;

// How a condition tests a record's value, and how the condition reads in the
// caption and the filter text.
class TvlFilterOperator : public TObject {
public:
    explicit TvlFilterOperator(TvlFilterCriteriaItem* ACriteriaItem) : FCriteriaItem(ACriteriaItem) {}

    virtual String ExpressionText(const Variant& AValue) { return ValueToFilterText(AValue); }
    virtual String ValueToFilterText(const Variant& AValue);
    virtual void AdjustDisplayValue(String& /*ADisplayValue*/) {}
    virtual void Recompute() {}
    virtual bool CustomValueText(const Variant& /*AValue*/, String& /*AText*/) { return false; }
    // AValue is the prepared record value, ACondition the condition's prepared value.
    virtual bool Matches(const Variant& AValue, const Variant& ACondition) = 0;
    virtual String Caption() { return OperatorText(); }
    virtual String OperatorText() = 0;
    virtual bool HasCompoundValue() { return false; }
    virtual bool NeedsExpression() { return false; }
    virtual bool IsBlankTest() { return false; }

    TvlFilterCriteriaItem* CriteriaItem() const { return FCriteriaItem; }
    TvlFilterCriteria* Criteria() const;

private:
    TvlFilterCriteriaItem* FCriteriaItem;
};

class TvlFilterEqualOperator : public TvlFilterOperator {
public:
    using TvlFilterOperator::TvlFilterOperator;
    String ExpressionText(const Variant& AValue) override;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
    bool NeedsExpression() override;
};

class TvlFilterNotEqualOperator : public TvlFilterEqualOperator {
public:
    using TvlFilterEqualOperator::TvlFilterEqualOperator;
    String ExpressionText(const Variant& AValue) override;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
};

class TvlFilterLessOperator : public TvlFilterOperator {
public:
    using TvlFilterOperator::TvlFilterOperator;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
};

class TvlFilterLessEqualOperator : public TvlFilterOperator {
public:
    using TvlFilterOperator::TvlFilterOperator;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
};

class TvlFilterGreaterOperator : public TvlFilterOperator {
public:
    using TvlFilterOperator::TvlFilterOperator;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
};

class TvlFilterGreaterEqualOperator : public TvlFilterOperator {
public:
    using TvlFilterOperator::TvlFilterOperator;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
};

class TvlFilterLikeOperator : public TvlFilterOperator {
public:
    using TvlFilterOperator::TvlFilterOperator;
    void AdjustDisplayValue(String& ADisplayValue) override;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;

protected:
    // 0 like, 1 begins with, 2 ends with, 3 contains, from the condition's value.
    int PatternClass();
};

class TvlFilterNotLikeOperator : public TvlFilterLikeOperator {
public:
    using TvlFilterLikeOperator::TvlFilterLikeOperator;
    String ExpressionText(const Variant& AValue) override;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
    bool NeedsExpression() override;
};

class TvlFilterBetweenOperator : public TvlFilterOperator {
public:
    using TvlFilterOperator::TvlFilterOperator;
    String ExpressionText(const Variant& AValue) override;
    void AdjustDisplayValue(String& ADisplayValue) override;
    bool CustomValueText(const Variant& AValue, String& AText) override;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
    bool HasCompoundValue() override { return true; }
    bool NeedsExpression() override;
};

class TvlFilterNotBetweenOperator : public TvlFilterBetweenOperator {
public:
    using TvlFilterBetweenOperator::TvlFilterBetweenOperator;
    String ExpressionText(const Variant& AValue) override;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
};

class TvlFilterInListOperator : public TvlFilterOperator {
public:
    using TvlFilterOperator::TvlFilterOperator;
    String ExpressionText(const Variant& AValue) override;
    void AdjustDisplayValue(String& ADisplayValue) override;
    bool CustomValueText(const Variant& AValue, String& AText) override;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
    bool HasCompoundValue() override { return true; }
    bool NeedsExpression() override;
};

class TvlFilterNotInListOperator : public TvlFilterInListOperator {
public:
    using TvlFilterInListOperator::TvlFilterInListOperator;
    String ExpressionText(const Variant& AValue) override;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
};

class TvlFilterNullOperator : public TvlFilterEqualOperator {
public:
    using TvlFilterEqualOperator::TvlFilterEqualOperator;
    void AdjustDisplayValue(String& ADisplayValue) override;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
    bool IsBlankTest() override { return true; }
};

class TvlFilterNotNullOperator : public TvlFilterNullOperator {
public:
    using TvlFilterNullOperator::TvlFilterNullOperator;
    void AdjustDisplayValue(String& /*ADisplayValue*/) override {}
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override;
};

// The relative-date operators: a [start, end) range of the current day,
// recomputed on every change of the criteria (0 = open bound).
class TvlFilterDateOperator : public TvlFilterOperator {
public:
    using TvlFilterOperator::TvlFilterOperator;
    String ExpressionText(const Variant& AValue) override;
    void AdjustDisplayValue(String& ADisplayValue) override { ADisplayValue.clear(); }
    void Recompute() override;
    bool Matches(const Variant& AValue, const Variant& ACondition) override;
    String Caption() override;
    String OperatorText() override { return Caption(); }
    bool NeedsExpression() override { return true; }

    virtual TvlFilterOperatorKind Kind() const = 0;
    TDateTime RangeStart() const { return FStart; }
    TDateTime RangeEnd() const { return FEnd; }

private:
    TDateTime FStart = 0;
    TDateTime FEnd = 0;
};

class TvlFilterLastNDaysOperator : public TvlFilterDateOperator {
public:
    using TvlFilterDateOperator::TvlFilterDateOperator;
    virtual int DaysInRange() const = 0;
};

class TvlFilterNextNDaysOperator : public TvlFilterDateOperator {
public:
    using TvlFilterDateOperator::TvlFilterDateOperator;
    virtual int DaysInRange() const = 0;
};

template <TvlFilterOperatorKind AKind, class ABase = TvlFilterDateOperator>
class TvlFilterDateKindOperator : public ABase {
public:
    using ABase::ABase;
    TvlFilterOperatorKind Kind() const override { return AKind; }
};

template <TvlFilterOperatorKind AKind, class ABase, int ADays>
class TvlFilterNDaysKindOperator : public TvlFilterDateKindOperator<AKind, ABase> {
public:
    using TvlFilterDateKindOperator<AKind, ABase>::TvlFilterDateKindOperator;
    int DaysInRange() const override { return ADays; }
};

using TvlFilterYesterdayOperator = TvlFilterDateKindOperator<foYesterday>;
using TvlFilterTodayOperator = TvlFilterDateKindOperator<foToday>;
using TvlFilterTomorrowOperator = TvlFilterDateKindOperator<foTomorrow>;
using TvlFilterLast7DaysOperator = TvlFilterNDaysKindOperator<foLast7Days, TvlFilterLastNDaysOperator, 7>;
using TvlFilterLastWeekOperator = TvlFilterDateKindOperator<foLastWeek>;
using TvlFilterLast14DaysOperator = TvlFilterNDaysKindOperator<foLast14Days, TvlFilterLastNDaysOperator, 14>;
using TvlFilterLastTwoWeeksOperator = TvlFilterDateKindOperator<foLastTwoWeeks>;
using TvlFilterLast30DaysOperator = TvlFilterNDaysKindOperator<foLast30Days, TvlFilterLastNDaysOperator, 30>;
using TvlFilterLastMonthOperator = TvlFilterDateKindOperator<foLastMonth>;
using TvlFilterLastYearOperator = TvlFilterDateKindOperator<foLastYear>;
using TvlFilterInPastOperator = TvlFilterDateKindOperator<foInPast>;
using TvlFilterThisWeekOperator = TvlFilterDateKindOperator<foThisWeek>;
using TvlFilterThisMonthOperator = TvlFilterDateKindOperator<foThisMonth>;
using TvlFilterThisYearOperator = TvlFilterDateKindOperator<foThisYear>;
using TvlFilterNext7DaysOperator = TvlFilterNDaysKindOperator<foNext7Days, TvlFilterNextNDaysOperator, 7>;
using TvlFilterNextWeekOperator = TvlFilterDateKindOperator<foNextWeek>;
using TvlFilterNext14DaysOperator = TvlFilterNDaysKindOperator<foNext14Days, TvlFilterNextNDaysOperator, 14>;
using TvlFilterNextTwoWeeksOperator = TvlFilterDateKindOperator<foNextTwoWeeks>;
using TvlFilterNext30DaysOperator = TvlFilterNDaysKindOperator<foNext30Days, TvlFilterNextNDaysOperator, 30>;
using TvlFilterNextMonthOperator = TvlFilterDateKindOperator<foNextMonth>;
using TvlFilterNextYearOperator = TvlFilterDateKindOperator<foNextYear>;
using TvlFilterInFutureOperator = TvlFilterDateKindOperator<foInFuture>;

// The operator of a condition: the kind's class, or the blank tests for a
// blank value with an equals, not-equals, like or not-like kind.
std::unique_ptr<TvlFilterOperator> CreateFilterOperator(TvlFilterOperatorKind AKind, bool AValueIsBlank,
                                                        TvlFilterCriteriaItem* ACriteriaItem);

// ---- criteria -----------------------------------------------------------------------

class TvlFilterValueList;

enum TvlFilterCriteriaOption : uint8_t {
    fcoCaseInsensitive = 1, fcoShowOperatorDescription = 2, fcoSoftNull = 4, fcoSoftCompare = 8, fcoIgnoreNull = 16
};
using TvlFilterCriteriaOptions = uint8_t;

class TvlCustomFilterCriteriaItem : public TObject {
public:
    explicit TvlCustomFilterCriteriaItem(TvlFilterCriteriaItemList* AParent) : FParent(AParent) {}
    virtual void NotifyChanged();
    virtual TvlFilterCriteria* Criteria() const;
    virtual bool IsGroup() const = 0;
    virtual bool IsVoid() const = 0;
    TvlFilterCriteriaItemList* Parent() const { return FParent; }

private:
    friend class TvlFilterCriteriaItemList;
    TvlFilterCriteriaItemList* FParent;
};

// A condition on one item (an item link the owner of the criteria defines).
class TvlFilterCriteriaItem : public TvlCustomFilterCriteriaItem {
public:
    TvlFilterCriteriaItem(TvlFilterCriteriaItemList* AParent, const String& ADisplayValue, const Variant& AValue,
                          TvlFilterOperatorKind AOperatorKind, TObject* AItemLink);
    ~TvlFilterCriteriaItem() override;

    bool IsGroup() const override { return false; }
    bool IsVoid() const override { return FItemLink == nullptr; }

    virtual Variant GetDataValue(int ARecordIndex);
    virtual String DisplayValueText();
    virtual String ValueText(bool AAsCaption);
    virtual String GetFieldCaption();
    virtual String GetFieldName();
    virtual TObject* GetItemLink() const { return FItemLink; }
    virtual void SetItemLink(TObject* AValue) { FItemLink = AValue; }
    virtual void RebuildOperator();
    virtual bool ValueIsBlank(const Variant& AValue) const;

    void SetOperatorKind(TvlFilterOperatorKind AValue);
    void ChangeValue(const Variant& AValue);
    void SetDisplayValue(const String& AValue);
    void FillBlankDisplayValue();

    const String& DisplayValue() const { return FDisplayValue; }
    // The link as stored, before a subclass maps it for its users.
    TObject* StoredItemLink() const { return FItemLink; }
    TvlFilterOperator* Operator() const { return FOperator.get(); }
    TvlFilterOperatorKind OperatorKind() const { return FOperatorKind; }
    const Variant& PreparedValue() const { return FPreparedValue; }
    const Variant& Value() const { return FValue; }

private:
    friend class TvlFilterCriteria;
    void AssignValue(const Variant& AValue);

    String FDisplayValue;
    TObject* FItemLink;
    std::unique_ptr<TvlFilterOperator> FOperator;
    TvlFilterOperatorKind FOperatorKind;
    Variant FPreparedValue;
    Variant FValue;
};

// A group of conditions and groups joined by one boolean operator.
class TvlFilterCriteriaItemList : public TvlCustomFilterCriteriaItem {
public:
    TvlFilterCriteriaItemList(TvlFilterCriteriaItemList* AParent, TvlFilterBoolOperatorKind ABoolOperator);
    ~TvlFilterCriteriaItemList() override;

    bool IsGroup() const override { return true; }
    bool IsVoid() const override { return FItems.empty(); }
    TvlFilterCriteria* Criteria() const override;

    TvlFilterCriteriaItem* AddCondition(TObject* AItemLink, TvlFilterOperatorKind AOperatorKind,
                                        const String& ADisplayValue, const Variant& AValue);
    TvlFilterCriteriaItemList* AddItemList(TvlFilterBoolOperatorKind ABoolOperator);
    int GetCount() const { return int(FItems.size()); }
    TvlCustomFilterCriteriaItem* GetItem(int AIndex) const;
    TvlFilterBoolOperatorKind BoolOperator() const { return FBoolOperator; }
    void SetBoolOperator(TvlFilterBoolOperatorKind AValue);
    void RemoveAll();
    // Frees AItem (a child of this group).
    void RemoveChild(TvlCustomFilterCriteriaItem* AItem);

private:
    friend class TvlFilterCriteria;
    // Takes AItem out of the group without freeing it.
    std::unique_ptr<TvlCustomFilterCriteriaItem> Extract(TvlCustomFilterCriteriaItem* AItem);
    void Append(std::unique_ptr<TvlCustomFilterCriteriaItem> AItem, int AIndex = -1);
    bool Evaluate(int ARecordIndex);

    TvlFilterBoolOperatorKind FBoolOperator;
    TvlFilterCriteria* FCriteria = nullptr;
    std::vector<std::unique_ptr<TvlCustomFilterCriteriaItem>> FItems;
};

class TvlFilterCriteria : public TPersistent {
public:
    TvlFilterCriteria();
    ~TvlFilterCriteria() override;
    String ClassName() const override { return String::fromLatin1("TvlFilterCriteria"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    // From another criteria: the settings, the tree (through the stream, by
    // id only when asked) and the events, in one update lock.
    void Assign(const TPersistent* Source) override { Assign(Source, false); }
    virtual void Assign(const TPersistent* Source, bool AByIdOnly);
    virtual void AssignEvents(const TPersistent* Source);
    // A new value list of this criteria's value-list class.
    virtual std::unique_ptr<TvlFilterValueList> CreateValueList();

    // Item links: the owner of the criteria says how items are identified.
    virtual int GetIDByItemLink(TObject* /*AItemLink*/) { return -1; }
    virtual String GetNameByItemLink(TObject* /*AItemLink*/) { return {}; }
    virtual TObject* GetItemLinkByID(int /*AID*/) { return nullptr; }
    virtual TObject* GetItemLinkByName(const String& /*AName*/) { return nullptr; }
    // The condition the tree creates for new conditions.
    virtual std::unique_ptr<TvlFilterCriteriaItem> CreateItem(TvlFilterCriteriaItemList* AParent,
                                                              const String& ADisplayValue, const Variant& AValue,
                                                              TvlFilterOperatorKind AOperatorKind, TObject* AItemLink);

    virtual String FormatBoolean(bool AValue);
    virtual String FormatDate(TDateTime AValue);
    virtual void FormatFilterTextValue(TvlFilterCriteriaItem* /*AItem*/, const Variant& /*AValue*/, String& /*AText*/) {}
    virtual String GetFilterCaption() { return BuildFilterText(true); }
    virtual String GetFilterText() { return BuildFilterText(false); }
    virtual String BuildFilterText(bool AAsCaption);
    virtual String GetItemExpression(TvlFilterCriteriaItem* AItem, bool AAsCaption);
    virtual String GetItemExpressionFieldName(TvlFilterCriteriaItem* AItem, bool AAsCaption);
    virtual String GetItemExpressionOperator(TvlFilterCriteriaItem* AItem, bool AAsCaption);
    virtual String GetItemExpressionValue(TvlFilterCriteriaItem* AItem, bool AAsCaption);
    virtual void Prepare();
    virtual Variant PrepareValue(const Variant& AValue) const;
    virtual void DoChanged();
    virtual bool ValueIsNull(const Variant& AValue) const;

    TvlFilterCriteriaItem* AddItem(TvlFilterCriteriaItemList* AParent, TObject* AItemLink,
                                   TvlFilterOperatorKind AOperatorKind, const Variant& AValue,
                                   const String& ADisplayValue);
    void BeginUpdate() { ++FLockCount; }
    void EndUpdate();
    void EndUpdateSilently() { --FLockCount; }
    void Changed();
    void Clear();
    bool EvaluateRecord(int ARecordIndex);
    virtual TvlFilterCriteriaItem* FindItemByItemLink(TObject* AItemLink) const;
    bool IsEmpty() const { return FRoot->GetCount() == 0; }
    void RemoveItemByItemLink(TObject* AItemLink);
    void RestoreDefaults();

    // The criteria stream. Writing in a version below 2 is refused
    // (EWriteError): such a stream would read back as something else. A
    // damaged stream raises EReadError "Stream read error" and leaves the
    // tree as it was.
    void WriteData(TStream* AStream) { WriteDataInVersion(AStream, 0); }
    virtual void WriteDataInVersion(TStream* AStream, uint8_t AVersion);
    virtual void ReadData(TStream* AStream);
    // Same trees when both write the same bytes, at the lower of their
    // versions (version 2, so ids only, when AByIdOnly).
    bool IsSameAs(TvlFilterCriteria* AOther, bool AByIdOnly);
    // Copies the tree of ASource through the stream, at the lower version.
    void AssignItems(TvlFilterCriteria* ASource, bool AByIdOnly);
    // True while saving to a stream, else unless the root is an empty AND group.
    bool HasCriteriaData() const
    {
        return FSavingToStream || FRoot->GetCount() > 0 || FRoot->BoolOperator() != fboAnd;
    }
    // Component streaming of a TFilterWrapper carrying this criteria: its
    // published properties and the binary ones a subclass defines (the
    // controller's filter has its tree there). Loading runs in one update lock.
    void SaveToStream(TStream* AStream);
    void LoadFromStream(TStream* AStream);
    bool SavingToStream() const { return FSavingToStream; }
    uint8_t StreamVersion() const { return FStreamVersion; }
    void SetStreamVersion(uint8_t AValue) { FStreamVersion = AValue; }
    uint8_t LoadedVersion() const { return FLoadedVersion; }
    uint8_t SavedVersion() const { return FSavedVersion; }

    TvlFilterCriteriaItemList* Root() const { return FRoot.get(); }
    int MaxValueListCount = 0;
    TvlFilterCriteriaOptions Options() const { return FOptions; }
    void SetOptions(TvlFilterCriteriaOptions AValue);
    QChar PercentWildcard() const { return FPercentWildcard; }
    void SetPercentWildcard(QChar AValue);
    QChar UnderscoreWildcard() const { return FUnderscoreWildcard; }
    void SetUnderscoreWildcard(QChar AValue);
    const String& DateFormat() const { return FDateFormat; }
    void SetDateFormat(const String& AValue);
    bool ExpandBetween = false;
    bool ExpandLike = false;
    bool ExpandIn = false;
    bool SupportsLike = true;
    TNotifyEvent OnChanged;

private:
    void CheckChanges();
    void PrepareGroup(TvlFilterCriteriaItemList* AGroup);
    void WriteGroup(TStream* AStream, TvlFilterCriteriaItemList* AGroup, uint8_t AVersion);
    void WriteCondition(TStream* AStream, TvlFilterCriteriaItem* AItem, uint8_t AVersion);
    void ReadChildren(TStream* AStream, TvlFilterCriteriaItemList* AGroup, int32_t ACount, int ADepth);
    void ReadGroup(TStream* AStream, TvlFilterCriteriaItemList* AGroup, int ADepth);
    void ReadCondition(TStream* AStream, TvlFilterCriteriaItemList* AGroup);

    bool FChanged = false;
    String FDateFormat;
    int FLockCount = 0;
    TvlFilterCriteriaOptions FOptions = 0;
    QChar FPercentWildcard = u'%';
    QChar FUnderscoreWildcard = u'_';
    std::unique_ptr<TvlFilterCriteriaItemList> FRoot;
    uint8_t FLoadedVersion = 0;
    uint8_t FSavedVersion = 0;
    uint8_t FStreamVersion = 2;
    uint8_t FReadingVersion = 0;
    bool FSavingToStream = false;
};

// Carries a criteria through component streaming.
class TFilterWrapper : public TComponent {
public:
    explicit TFilterWrapper(TComponent* AOwner) : TComponent(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TFilterWrapper"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    TvlFilterCriteria* Filter() const { return FFilter; }
    void SetFilter(TvlFilterCriteria* AValue) { FFilter = AValue; }

private:
    TvlFilterCriteria* FFilter = nullptr;
};

// ---- value lists --------------------------------------------------------------------

enum TvlFilterValueItemKind : uint8_t {
    fviAll, fviCustom, fviBlanks, fviNonBlanks, fviSpecial, fviValue, fviMRUItem, fviMRUSeparator
};

struct TvlFilterValueItem {
    TvlFilterValueItemKind Kind = fviValue;
    Variant Value;
    String DisplayText;
};

// The entries of a column's filter drop-down: special entries first, then
// the distinct values in order (by display text through the locale's
// collation when asked, else by prepared value).
class TvlFilterValueList : public TObject {
public:
    explicit TvlFilterValueList(TvlFilterCriteria* ACriteria);
    ~TvlFilterValueList() override;
    String ClassName() const override { return String::fromLatin1("TvlFilterValueList"); }

    virtual int CompareEntry(int AIndex, const Variant& AValue, const String& AText);
    virtual void AddEntry(TvlFilterValueItemKind AKind, const Variant& AValue, bool AAppend,
                          const String& ADisplayText);
    virtual void ClearEntries();
    // AIndex: the entry found, else where the value belongs.
    virtual bool FindEntry(const Variant& AValue, const String& AText, int& AIndex);
    virtual int GetIndexByCriteriaItem(TvlFilterCriteriaItem* AItem);

    TvlFilterCriteria* Criteria() const { return FCriteria; }
    int GetCount() const { return int(FItems.size()); }
    const TvlFilterValueItem& GetItem(int AIndex) const { return FItems.at(size_t(AIndex)); }
    void Delete(int AIndex);
    int GetStartValueIndex() const;
    int SeparatorIndex() const { return IndexOfKind(fviMRUSeparator); }
    int IndexOfKind(TvlFilterValueItemKind AKind) const;
    int FindItemByKindAndValue(TvlFilterValueItemKind AKind, const Variant& AValue) const;
    int FindItemByValue(const Variant& AValue);
    bool SortByDisplayText = false;
    bool Unsorted() const { return FUnsorted; }

protected:
    // The order of the value entries (what CompareEntry answers).
    int CompareItems(const Variant& AValue1, const String& AText1, const Variant& AValue2, const String& AText2);
    std::vector<TvlFilterValueItem> FItems;

private:
    int compareTexts(const String& A, const String& B);
    TvlFilterCriteria* FCriteria;
    bool FUnsorted = false;
    std::unique_ptr<QCollator> FCollator;
};
