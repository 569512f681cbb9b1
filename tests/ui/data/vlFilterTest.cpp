// Tests of the LIKE matcher, the wildcard classification, the value texts of
// filter conditions and the relative-date ranges.
#include "ui/data/vlFilter.h"

#include <gtest/gtest.h>

#include <QLocale>

#include "tests/harness/Mutation.h"
#include "ui/data/vlDataUtils.h"
#include "ui/data/vlFilterConsts.h"
#include "ui/data/vlFilterControlStrs.h"
#include "ui/foundation/vxCore.h"

namespace {

String S(const char* text) { return String::fromUtf8(text); }

bool like(const char* text, const char* pattern)
{
    return MatchesLikePattern(S(text), S(pattern), u'%', u'_');
}

TEST(vlFilterLike, Table)
{
    struct Case {
        const char* text;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"abc", "a%", true},   {"abc", "%c", true},  {"abc", "%b%", true}, {"abc", "a_c", true},
        {"abc", "%", true},    {"abc", "abc", true}, {"abc", "ab", false},  {"abc", "a_", false},
        {"", "%", true},       {"", "_", false},     {"abc", "%%", true},  {"abc", "a%%c", true},
        {"abc", "%d", false},  {"aXbXc", "a%b%c", true}, {"abc", "ABC", false}, {"", "", true},
        {"a", "", false},      {"abcabd", "%abd", true}, {"abab", "%ab%ab", true}, {"aab", "%ab", true},
        // A run of wildcards matches the empty text, as a single one does.
        {"", "%%", true},      {"a", "a%%", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(like(c.text, c.pattern), c.matches) << c.text << " LIKE " << c.pattern;
}

TEST(vlFilterLike, EscapeMakesWildcardsLiteral)
{
    auto m = [](const char* text, const char* pattern) {
        const String t = S(text), p = S(pattern);
        return LikeMatch(reinterpret_cast<const char16_t*>(t.utf16()), int(t.size()),
                         reinterpret_cast<const char16_t*>(p.utf16()), int(p.size()), u'%', u'_', u'\\');
    };
    EXPECT_TRUE(m("50%", "50\\%"));
    EXPECT_FALSE(m("500", "50\\%"));
    EXPECT_TRUE(m("a_b", "a\\_b"));
    EXPECT_FALSE(m("axb", "a\\_b"));
    EXPECT_TRUE(m("a\\b", "a\\\\b"));
    EXPECT_TRUE(m("x%y", "%\\%%"));
    EXPECT_FALSE(m("xy", "%\\%%"));
}

TEST(vlFilterLike, ManyWildcardsStayCheap)
{
    // Backtracking into every wildcard would take astronomically long here.
    const String text(10000, u'a');
    EXPECT_FALSE(MatchesLikePattern(text, S("%a%a%a%a%a%b"), u'%', u'_'));
    EXPECT_TRUE(MatchesLikePattern(text + u'b', S("%a%a%a%a%a%b"), u'%', u'_'));
}

TEST(vlFilterLike, ClassifyWildcards)
{
    struct Case {
        const char* pattern;
        const char* stripped;
        int kind;
    };
    const Case cases[] = {{"%%abc%", "abc", 3}, {"abc%", "abc", 1}, {"%abc", "abc", 2},
                          {"%", "%", 0},        {"a%b", "a%b", 0},  {"%%", "%", 0}, {"", "", 0}};
    for (const Case& c : cases) {
        String p = S(c.pattern);
        EXPECT_EQ(ClassifyLikeWildcards(p, u'%'), c.kind) << c.pattern;
        EXPECT_EQ(p, S(c.stripped)) << c.pattern;
    }
    String t = S("a%%%b%%");
    CollapseDoubledChar(t, u'%');
    EXPECT_EQ(t, S("a%b%"));
}

TEST(vlFilterTexts, ValueTextsAndTokens)
{
    EXPECT_EQ(FilterValueText(Null()), S("blank"));
    EXPECT_EQ(FilterValueText(Variant(5)), S("5"));
    EXPECT_EQ(ListArrayText(VarArrayOf({Variant(1), Variant(S("a"))})), S("(1, a)"));
    EXPECT_EQ(BetweenArrayText(VarBetweenArrayCreate(Variant(1), Null())), S("1 and blank"));

    int pos = 1;
    const String text = S("  a \t; b;;c ");
    EXPECT_EQ(NextListToken(text, pos), S("a"));
    EXPECT_EQ(NextListToken(text, pos), S("b"));
    EXPECT_EQ(NextListToken(text, pos), S(""));
    EXPECT_EQ(NextListToken(text, pos), S("c"));
    EXPECT_GT(pos, text.size());

    const Variant between = TextToBetweenArray(S("1; 5"));
    EXPECT_EQ(VarToStr(VarArrayGet(between, 0)), S("1"));
    EXPECT_EQ(VarToStr(VarArrayGet(between, 1)), S("5"));
    EXPECT_EQ(VarToStr(VarArrayGet(TextToBetweenArray(S("1")), 1)), S(""));

    const Variant list = TextToListArray(S("x;y;z"));
    ASSERT_TRUE(VarIsArray(list));
    EXPECT_EQ(VarArrayHighBound(list), 2);
    EXPECT_EQ(VarToStr(VarArrayGet(list, 2)), S("z"));
    EXPECT_FALSE(VarIsArray(TextToListArray(String())));

    TMemoryStream a, b;
    EXPECT_TRUE(SameMemoryStreams(&a, &b));
    a.WriteBuffer("xy", 2);
    b.WriteBuffer("xz", 2);
    EXPECT_FALSE(SameMemoryStreams(&a, &b));
}

class vlFilterDates : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));  // Monday first
    }
    void TearDown() override { QLocale::setDefault(saved_); }
    static void expectRange(TvlFilterOperatorKind kind, TDateTime today, TDateTime start, TDateTime end)
    {
        TDateTime s = -1, e = -1;
        ASSERT_TRUE(FilterDateRange(kind, today, s, e)) << int(kind);
        EXPECT_EQ(s, start) << int(kind);
        EXPECT_EQ(e, end) << int(kind);
    }
    QLocale saved_;
};

TEST_F(vlFilterDates, RangesAroundMidMarch)
{
    const TDateTime t = EncodeDate(2026, 3, 15) + 0.75;  // the time of day does not count
    const TDateTime d = EncodeDate(2026, 3, 15);
    const TDateTime monday = EncodeDate(2026, 3, 9);  // 15 March 2026 is a Sunday
    expectRange(foYesterday, t, d - 1, d);
    expectRange(foToday, t, d, d + 1);
    expectRange(foTomorrow, t, d + 1, d + 2);
    expectRange(foLast7Days, t, d - 6, d + 1);
    expectRange(foLast30Days, t, d - 29, d + 1);
    expectRange(foLastWeek, t, monday - 7, monday);
    expectRange(foLastTwoWeeks, t, monday - 14, monday);
    expectRange(foThisWeek, t, monday, monday + 7);
    expectRange(foNextWeek, t, monday + 7, monday + 14);
    expectRange(foNextTwoWeeks, t, monday + 7, monday + 21);
    expectRange(foLastMonth, t, EncodeDate(2026, 2, 1), EncodeDate(2026, 3, 1));
    expectRange(foThisMonth, t, EncodeDate(2026, 3, 1), EncodeDate(2026, 4, 1));
    expectRange(foNextMonth, t, EncodeDate(2026, 4, 1), EncodeDate(2026, 5, 1));
    expectRange(foLastYear, t, EncodeDate(2025, 1, 1), EncodeDate(2026, 1, 1));
    expectRange(foThisYear, t, EncodeDate(2026, 1, 1), EncodeDate(2027, 1, 1));
    expectRange(foNextYear, t, EncodeDate(2027, 1, 1), EncodeDate(2028, 1, 1));
    expectRange(foInPast, t, 0, d);
    expectRange(foInFuture, t, d + 1, 0);
    expectRange(foNext30Days, t, d, d + 30);
    TDateTime s = 0, e = 0;
    EXPECT_FALSE(FilterDateRange(foEqual, t, s, e));
}

TEST_F(vlFilterDates, YearBoundariesAndWednesday)
{
    const TDateTime jan10 = EncodeDate(2026, 1, 10);
    expectRange(foLastMonth, jan10, EncodeDate(2025, 12, 1), EncodeDate(2026, 1, 1));
    const TDateTime nov20 = EncodeDate(2026, 11, 20), dec20 = EncodeDate(2026, 12, 20);
    expectRange(foNextMonth, nov20, EncodeDate(2026, 12, 1), EncodeDate(2027, 1, 1));
    expectRange(foNextMonth, dec20, EncodeDate(2027, 1, 1), EncodeDate(2027, 2, 1));
    expectRange(foThisMonth, dec20, EncodeDate(2026, 12, 1), EncodeDate(2027, 1, 1));
    // 11 March 2026 is a Wednesday: with Monday first the week is [9, 16).
    const TDateTime wed = EncodeDate(2026, 3, 11);
    expectRange(foThisWeek, wed, EncodeDate(2026, 3, 9), EncodeDate(2026, 3, 16));
}

TEST(vlFilterStrings, TablesInRegistrationOrder)
{
    EXPECT_EQ(std::size(vlFilterConsts::vlFilterConstsTable), 50u);
    EXPECT_STREQ(vlFilterConsts::vlFilterConstsTable[0]->Text, "equals");
    EXPECT_STREQ(vlFilterConsts::vlFilterConstsTable[33]->Text, "is future");
    EXPECT_STREQ(vlFilterConsts::vlFilterConstsTable[49]->Name, "vlSFilterBoxNonBlanksCaption");
    EXPECT_EQ(std::size(vlFilterControlStrs::vlFilterControlStrsTable), 35u);
    EXPECT_STREQ(vlFilterControlStrs::vlSFilterControlDialogFileFilter.Text, "Filters (*.flt)|*.flt");
}

TEST(vlFilterStrings, FilterControlOperatorNumbering)
{
    struct Case {
        TvlFilterControlOperator op;
        TvlFilterOperatorKind kind;
        const char* caption;
    };
    const Case cases[] = {{1, foEqual, "equals"},         {2, foNotEqual, "does not equal"},
                          {7, foLike, "like"},            {8, foNotLike, "not like"},
                          {9, foEqual, "is blank"},       {10, foNotEqual, "is not blank"},
                          {11, foBetween, "between"},     {14, foNotInList, "not in"},
                          {15, foYesterday, "is yesterday"}, {24, foLastYear, "is last year"}, {25, foInPast, "is past"},
                          {36, foInFuture, "is future"},  {0, foEqual, ""},
                          {37, foEqual, ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(FilterControlOperatorToKind(c.op), c.kind) << int(c.op);
        EXPECT_EQ(GetFilterControlOperatorText(c.op), S(c.caption)) << int(c.op);
    }
    // Every kind maps back to a number that maps to the kind again.
    for (int k = 0; k < vlFilterOperatorKindCount; ++k)
        for (bool blank : {false, true})
            EXPECT_EQ(FilterControlOperatorToKind(KindToFilterControlOperator(TvlFilterOperatorKind(k), blank)),
                      TvlFilterOperatorKind(k)) << k;
    EXPECT_EQ(KindToFilterControlOperator(foNotEqual, true), 10);
    EXPECT_EQ(KindToFilterControlOperator(foNotEqual, false), 2);
    EXPECT_EQ(KindToFilterControlOperator(foEqual, true), 9);
    EXPECT_EQ(KindToFilterControlOperator(foLess, true), 3);
    EXPECT_EQ(KindToFilterControlOperator(foInFuture, false), 36);
}

TEST(vlFilterStrings, ResourceHookAndRegistration)
{
    EXPECT_EQ(FilterValueText(Null()), S("blank"));
    SetFilterResourceStringHook([](const TResStringRec& r) { return S(r.Text).toUpper(); });
    EXPECT_EQ(FilterValueText(Null()), S("BLANK"));
    SetFilterResourceStringHook(nullptr);

    TvxResourceStringsRepository repository;
    repository.RegisterProduct(S("Test filter"), RegisterFilterResourceStrings);
    repository.RegisterProduct(S("Test data"), RegisterDataResourceStrings);
    repository.RegisterProduct(S("Test filter control"), RegisterFilterControlResourceStrings);
    EXPECT_EQ(repository.ProductCount(), 3);
    repository.UnregisterProduct(S("Test data"));
    EXPECT_EQ(repository.ProductCount(), 2);
}

}  // namespace

// ---- operators and criteria ---------------------------------------------------------

namespace {

// A field of the test records: its name and one value per record.
class TestField : public TObject {
public:
    TestField(const char* AName, std::vector<Variant> AValues) : Name(S(AName)), Values(std::move(AValues)) {}
    String Name;
    std::vector<Variant> Values;
};

class TestCondition : public TvlFilterCriteriaItem {
public:
    using TvlFilterCriteriaItem::TvlFilterCriteriaItem;
    Variant GetDataValue(int ARecordIndex) override { return field()->Values.at(size_t(ARecordIndex)); }
    String GetFieldCaption() override { return field()->Name + S(" caption"); }
    String GetFieldName() override { return field()->Name; }

private:
    TestField* field() const { return static_cast<TestField*>(GetItemLink()); }
};

class TestCriteria : public TvlFilterCriteria {
public:
    // The fields the stream finds by id (the index) and by name.
    std::vector<TestField*> Fields;
    int GetIDByItemLink(TObject* AItemLink) override
    {
        auto it = std::find(Fields.begin(), Fields.end(), AItemLink);
        return it == Fields.end() ? -1 : int(it - Fields.begin());
    }
    String GetNameByItemLink(TObject* AItemLink) override { return static_cast<TestField*>(AItemLink)->Name; }
    TObject* GetItemLinkByID(int AID) override
    {
        return AID >= 0 && AID < int(Fields.size()) ? Fields[size_t(AID)] : nullptr;
    }
    TObject* GetItemLinkByName(const String& AName) override
    {
        for (TestField* f : Fields)
            if (f->Name == AName)
                return f;
        return nullptr;
    }
    std::unique_ptr<TvlFilterCriteriaItem> CreateItem(TvlFilterCriteriaItemList* AParent, const String& ADisplayValue,
                                                      const Variant& AValue, TvlFilterOperatorKind AKind,
                                                      TObject* AItemLink) override
    {
        return std::make_unique<TestCondition>(AParent, ADisplayValue, AValue, AKind, AItemLink);
    }
};

}  // namespace

TEST(vlFilterOperators, MatchesCaptionsAndTexts)
{
    TestField f("F", {});
    struct Case {
        TvlFilterOperatorKind kind;
        Variant value;
        Variant record;
        bool matches;
        const char* caption;
        const char* operatorText;
        const char* valueText;
    };
    const Variant between15 = VarArrayOf({1, 5});
    const Case cases[] = {
        {foEqual, 3, 3, true, "equals", "=", "3"},
        {foNotEqual, 3, 3, false, "does not equal", "<>", "3"},
        {foLess, 5, 4, true, "is less than", "<", "5"},
        {foLessEqual, 5, 5, true, "is less than or equal to", "<=", "5"},
        {foGreater, 5, 5, false, "is greater than", ">", "5"},
        {foGreaterEqual, 5, 5, true, "is greater than or equal to", ">=", "5"},
        {foLike, S("a%"), S("abc"), true, "begins with", "LIKE", "'a%'"},
        {foLike, S("%c"), S("abc"), true, "ends with", "LIKE", "'%c'"},
        {foNotLike, S("%%b%"), S("abc"), false, "does not contain", "NOT LIKE", "'%%b%'"},
        {foNotLike, S("a_c"), S("abd"), true, "not like", "NOT LIKE", "'a_c'"},
        {foEqual, S("it's"), S("it's"), true, "equals", "=", "'it''s'"},
        {foBetween, between15, 1, true, "between", "BETWEEN", "1 AND 5"},
        {foBetween, between15, 5, true, "between", "BETWEEN", "1 AND 5"},
        {foBetween, VarArrayOf({5, 1}), 3, false, "between", "BETWEEN", "5 AND 1"},
        {foNotBetween, between15, 6, true, "not between", "NOT BETWEEN", "1 AND 5"},
        {foInList, VarArrayOf({1, S("a")}), 1, true, "in", "IN", "(1, 'a')"},
        {foNotInList, VarArrayOf({1, S("a")}), 1, false, "not in", "NOT IN", "(1, 'a')"},
        {foEqual, Null(), Null(), true, "is blank", "=", "NULL"},
        {foLike, Null(), 1, false, "is blank", "=", "NULL"},
        {foNotEqual, Null(), 1, true, "is not blank", "<>", "NULL"},
        {foEqual, true, true, true, "equals", "=", "True"},
        {foInList, VarArrayOf({S("a"), S("b")}), S("b"), true, "in", "IN", "('a', 'b')"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.caption << " #" << (&c - cases));
        TestCriteria criteria;
        TvlFilterCriteriaItem* item = criteria.AddItem(nullptr, &f, c.kind, c.value, {});
        TvlFilterOperator* op = item->Operator();
        EXPECT_EQ(op->Matches(criteria.PrepareValue(c.record), item->PreparedValue()), c.matches);
        EXPECT_EQ(op->Caption(), S(c.caption));
        EXPECT_EQ(op->OperatorText(), S(c.operatorText));
        EXPECT_EQ(op->ValueToFilterText(c.value), S(c.valueText));
        EXPECT_EQ(item->OperatorKind(), c.kind);  // the blank tests keep the kind
    }
}

TEST(vlFilterOperators, ExpressionTexts)
{
    TestField f("F", {});
    TestField keys("K1;K2", {});
    TestCriteria criteria;
    auto expr = [&](TObject* link, TvlFilterOperatorKind kind, const Variant& value) {
        TvlFilterCriteriaItem* item = criteria.AddItem(nullptr, link, kind, value, {});
        return item->Operator()->ExpressionText(value);
    };
    EXPECT_EQ(expr(&keys, foEqual, VarArrayOf({1, S("x")})), S("(K1 = 1) AND (K2 = 'x')"));
    EXPECT_EQ(expr(&keys, foNotEqual, VarArrayOf({1, 2})), S("NOT ((K1 = 1) AND (K2 = 2))"));
    EXPECT_EQ(expr(&f, foNotLike, S("a%")), S(" NOT (F LIKE 'a%')"));
    EXPECT_EQ(expr(&f, foBetween, VarArrayOf({1, 5})), S("(F >= 1) AND (F <= 5)"));
    EXPECT_EQ(expr(&f, foInList, VarArrayOf({1, 2, 3})), S("(F = 1) OR (F = 2) OR (F = 3)"));
    EXPECT_EQ(expr(&f, foNotInList, VarArrayOf({1})), S("NOT ((F = 1))"));
    criteria.SetDateFormat(S("yyyy-mm-dd"));
    SetClockSource([] { return EncodeDate(2026, 3, 15) + 0.5; });
    TvlFilterCriteriaItem* past = criteria.AddItem(nullptr, &f, foInPast, Null(), {});
    TvlFilterCriteriaItem* month = criteria.AddItem(nullptr, &f, foLastMonth, Null(), {});
    SetClockSource({});
    EXPECT_EQ(past->Operator()->ExpressionText(Null()), S("(F < '2026-03-15')"));
    EXPECT_EQ(month->Operator()->ExpressionText(Null()), S("(F >= '2026-02-01') AND (F < '2026-03-01')"));
    EXPECT_TRUE(month->Operator()->NeedsExpression());
    EXPECT_TRUE(month->Operator()->Matches(VarFromDateTime(EncodeDate(2026, 2, 28)), Null()));
    EXPECT_FALSE(month->Operator()->Matches(VarFromDateTime(EncodeDate(2026, 3, 1)), Null()));
    EXPECT_FALSE(month->Operator()->Matches(Null(), Null()));
    EXPECT_EQ(month->Operator()->Caption(), S("is last month"));
    EXPECT_EQ(dynamic_cast<TvlFilterLastNDaysOperator*>(
                  criteria.AddItem(nullptr, &f, foLast14Days, Null(), {})->Operator())->DaysInRange(),
              14);
}

TEST(vlFilterOperators, KindOutsideTableGivesNoOperator)
{
    EXPECT_EQ(CreateFilterOperator(TvlFilterOperatorKind(34), false, nullptr), nullptr);
    EXPECT_EQ(CreateFilterOperator(TvlFilterOperatorKind(200), false, nullptr), nullptr);
}

TEST(vlFilterCriteria, FilterTextAndCaption)
{
    TestField name("Name", {});
    TestField age("Age", {});
    TestCriteria criteria;
    criteria.AddItem(nullptr, &name, foLike, S("a%"), S("a%"));
    TvlFilterCriteriaItemList* group = criteria.Root()->AddItemList(fboOr);
    criteria.AddItem(group, &age, foGreater, 5, S("5"));
    criteria.AddItem(group, &age, foLess, 2, S("2"));
    EXPECT_EQ(criteria.GetFilterText(), S("(Name LIKE 'a%') AND ((Age > 5) OR (Age < 2))"));
    EXPECT_EQ(criteria.GetFilterCaption(),
              S("(Name caption LIKE a%) and ((Age caption > 5) or (Age caption < 2))"));
    criteria.SetOptions(fcoShowOperatorDescription);
    EXPECT_EQ(criteria.GetFilterCaption(), S("(Name caption begins with a) and ((Age caption is greater than 5) or "
                                             "(Age caption is less than 2))"));

    TestCriteria empty;
    EXPECT_EQ(empty.GetFilterText(), String());
    empty.Root()->SetBoolOperator(fboNotOr);
    EXPECT_EQ(empty.GetFilterText(), S("NOT ()"));
    EXPECT_EQ(empty.GetFilterCaption(), S("not ()"));

    TestCriteria blank;
    TvlFilterCriteriaItem* item = blank.AddItem(nullptr, &name, foEqual, Null(), {});
    EXPECT_EQ(item->DisplayValue(), S("blank"));
    EXPECT_EQ(blank.GetFilterText(), S("(Name = NULL)"));
    blank.SetOptions(fcoShowOperatorDescription);
    EXPECT_EQ(blank.GetFilterCaption(), S("(Name caption is blank)"));
}

TEST(vlFilterCriteria, EvaluatesGroupsAndOptions)
{
    TestField a("A", {1, 2, 3, Null()});
    TestField s("S", {S("abc"), S("ABD"), S("x"), S("")});
    TestCriteria criteria;
    auto rows = [&] {
        std::vector<int> result;
        for (int i = 0; i < 4; ++i)
            if (criteria.EvaluateRecord(i))
                result.push_back(i);
        return result;
    };
    EXPECT_EQ(rows(), (std::vector<int>{0, 1, 2, 3}));  // an empty root passes everything
    criteria.AddItem(nullptr, &a, foLess, 5, {});
    EXPECT_EQ(rows(), (std::vector<int>{0, 1, 2, 3}));  // Null sorts first
    criteria.SetOptions(fcoIgnoreNull);
    EXPECT_EQ(rows(), (std::vector<int>{0, 1, 2}));
    criteria.Clear();
    criteria.AddItem(nullptr, &s, foLike, S("A%"), {});
    EXPECT_EQ(rows(), (std::vector<int>{1}));
    criteria.SetOptions(fcoCaseInsensitive);
    EXPECT_EQ(rows(), (std::vector<int>{0, 1}));
    criteria.Clear();
    criteria.AddItem(nullptr, &s, foEqual, S("abc"), {});
    EXPECT_EQ(rows(), (std::vector<int>{0}));
    criteria.SetOptions(0);
    criteria.Clear();
    criteria.Root()->SetBoolOperator(fboNotOr);
    criteria.AddItem(nullptr, &a, foEqual, 1, {});
    criteria.AddItem(nullptr, &a, foEqual, 2, {});
    EXPECT_EQ(rows(), (std::vector<int>{2, 3}));
    criteria.Root()->SetBoolOperator(fboNotAnd);
    EXPECT_EQ(rows(), (std::vector<int>{0, 1, 2, 3}));
    criteria.Clear();
    TestField arrays("R", {VarArrayOf({1, 2})});  // a value that has no text
    criteria.AddItem(nullptr, &arrays, foLike, S("%"), {});
    EXPECT_THROW(criteria.EvaluateRecord(0), EVariantError);
    criteria.SetOptions(fcoSoftCompare);
    EXPECT_FALSE(criteria.EvaluateRecord(0));
}

TEST(vlFilterCriteria, ChangesInsideALockReportOnce)
{
    TestField a("A", {});
    TestCriteria criteria;
    int changes = 0;
    criteria.OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    criteria.BeginUpdate();
    for (int i = 0; i < 10; ++i)
        criteria.AddItem(nullptr, &a, foEqual, i, {});
    EXPECT_EQ(changes, 0);
    criteria.EndUpdate();
    EXPECT_EQ(changes, 1);
    criteria.FindItemByItemLink(&a)->ChangeValue(0);  // same value: no change
    EXPECT_EQ(changes, 1);
    criteria.FindItemByItemLink(&a)->SetOperatorKind(foLess);
    EXPECT_EQ(changes, 2);
    criteria.BeginUpdate();
    criteria.RemoveItemByItemLink(&criteria);  // nothing on that link
    criteria.EndUpdateSilently();
    EXPECT_EQ(changes, 2);
}

TEST(vlFilterCriteria, RemoveItemByItemLinkTidiesGroups)
{
    TestField a("a", {});
    TestField b("b", {});
    TestField c("c", {});
    {
        // NOT (a AND b) minus a is NOT b, not b.
        TestCriteria criteria;
        criteria.AddItem(nullptr, &c, foEqual, 1, {});
        TvlFilterCriteriaItemList* group = criteria.Root()->AddItemList(fboNotAnd);
        criteria.AddItem(group, &a, foEqual, 1, {});
        criteria.AddItem(group, &b, foEqual, 1, {});
        criteria.AddItem(nullptr, &c, foEqual, 2, {});
        criteria.RemoveItemByItemLink(&a);
        EXPECT_EQ(criteria.GetFilterText(), S("(c = 1) AND (NOT ((b = 1))) AND (c = 2)"));
    }
    {
        // A plain group left with one child gives way to it at its own place.
        TestCriteria criteria;
        TvlFilterCriteriaItemList* group = criteria.Root()->AddItemList(fboOr);
        criteria.AddItem(group, &a, foEqual, 1, {});
        criteria.AddItem(group, &b, foEqual, 1, {});
        criteria.AddItem(nullptr, &c, foEqual, 1, {});
        criteria.RemoveItemByItemLink(&a);
        EXPECT_EQ(criteria.GetFilterText(), S("(b = 1) AND (c = 1)"));
    }
    {
        // Groups emptied by the removal go, up to the root.
        TestCriteria criteria;
        TvlFilterCriteriaItemList* outer = criteria.Root()->AddItemList(fboAnd);
        TvlFilterCriteriaItemList* inner = outer->AddItemList(fboOr);
        criteria.AddItem(inner, &a, foEqual, 1, {});
        criteria.AddItem(inner, &a, foEqual, 2, {});
        criteria.RemoveItemByItemLink(&a);
        EXPECT_TRUE(criteria.IsEmpty());
    }
}

namespace {

QByteArray bytesOf(TvlFilterCriteria& ACriteria, uint8_t AVersion = 0)
{
    TMemoryStream stream;
    ACriteria.WriteDataInVersion(&stream, AVersion);
    return QByteArray(static_cast<const char*>(stream.Memory()), int(stream.Size()));
}

void readBytes(TvlFilterCriteria& ACriteria, const QByteArray& ABytes)
{
    TMemoryStream stream;
    stream.Write(ABytes.constData(), ABytes.size());
    stream.Seek(0, soBeginning);
    ACriteria.ReadData(&stream);
}

QByteArray int32Bytes(int32_t AValue) { return QByteArray(reinterpret_cast<const char*>(&AValue), 4); }

QByteArray wideBytes(const char* AText)
{
    const String text = S(AText);
    return int32Bytes(int32_t(text.size())) + QByteArray(reinterpret_cast<const char*>(text.utf16()), int(text.size() * 2));
}

QByteArray variantBytes(const Variant& AValue)
{
    TMemoryStream stream;
    StreamWriteVariant(&stream, AValue);
    return QByteArray(static_cast<const char*>(stream.Memory()), int(stream.Size()));
}

QByteArray conditionBytes(uint8_t AKind, const char* ADisplay, int32_t AID, const char* AName, const Variant& AValue)
{
    QByteArray b = QByteArray("VXUFMT") + char(AKind) + wideBytes(ADisplay) + int32Bytes(AID);
    if (AName != nullptr)
        b += wideBytes(AName);
    return b + variantBytes(AValue);
}

class vlFilterStream : public ::testing::Test {
protected:
    TestField name{"Name", {}};
    TestField age{"Age", {}};
    TestCriteria criteria;
    void SetUp() override { criteria.Fields = {&name, &age}; }

    // A tree of every shape: a condition, a nested NOT OR group, a BETWEEN.
    void buildSample(TvlFilterCriteria& ACriteria)
    {
        ACriteria.AddItem(nullptr, &name, foLike, S("a%"), S("a%"));
        TvlFilterCriteriaItemList* group = ACriteria.Root()->AddItemList(fboNotOr);
        ACriteria.AddItem(group, &age, foGreater, 5, S("5"));
        ACriteria.AddItem(group, &age, foBetween, VarArrayOf({1, 2}), S("1;2"));
    }
    // A refused read raises the read error and leaves the tree as it was.
    bool refused(const QByteArray& ABytes)
    {
        const String before = criteria.GetFilterText();
        try {
            readBytes(criteria, ABytes);
            return false;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), S("Stream read error"));
            EXPECT_EQ(criteria.GetFilterText(), before);
            return true;
        }
    }
};

TEST_F(vlFilterStream, NewCriteriaAndOneConditionGoldens)
{
    EXPECT_EQ(bytesOf(criteria), QByteArray("\xFF\xFF\xFF\xFF\x00\x00\x00\x00\x00", 9));
    criteria.SetStreamVersion(3);
    criteria.AddItem(nullptr, &age, foGreater, 5, S("5"));
    const QByteArray expected = QByteArray("\xFE\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00", 10) +
                                conditionBytes(foGreater, "5", 1, "Age", 5);
    EXPECT_EQ(bytesOf(criteria), expected);
    EXPECT_EQ(criteria.SavedVersion(), 3);
    // Lowered to version 2, no name travels.
    EXPECT_EQ(bytesOf(criteria, 2), QByteArray("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00", 10) +
                                        conditionBytes(foGreater, "5", 1, nullptr, 5));
    EXPECT_THROW(bytesOf(criteria, 1), EWriteError);
}

TEST_F(vlFilterStream, RoundTripsInBothVersions)
{
    buildSample(criteria);
    for (uint8_t version : {uint8_t(2), uint8_t(3)}) {
        criteria.SetStreamVersion(version);
        TestCriteria copy;
        copy.Fields = criteria.Fields;
        int changes = 0;
        copy.OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
        readBytes(copy, bytesOf(criteria));
        EXPECT_EQ(copy.GetFilterText(), criteria.GetFilterText());
        EXPECT_EQ(copy.GetFilterText(), S("(Name LIKE 'a%') AND (NOT ((Age > 5) OR ((Age >= 1) AND (Age <= 2))))")
                                            .replace(S("((Age >= 1) AND (Age <= 2))"), S("(Age BETWEEN 1 AND 2)")));
        EXPECT_EQ(copy.LoadedVersion(), version);
        EXPECT_EQ(changes, 1);
    }
}

TEST_F(vlFilterStream, ReadsVersionOneAndDropsUnknownItems)
{
    readBytes(criteria, int32Bytes(2) + QByteArray(1, 0) + conditionBytes(foEqual, "x", 0, nullptr, S("x")) +
                            QByteArray(1, 0) + conditionBytes(foLess, "3", 1, nullptr, 3));
    EXPECT_EQ(criteria.LoadedVersion(), 1);
    EXPECT_EQ(criteria.Root()->BoolOperator(), fboAnd);
    EXPECT_EQ(criteria.GetFilterText(), S("(Name = 'x') AND (Age < 3)"));

    // Id 7 is unknown: its condition goes, and so does the group it leaves empty.
    readBytes(criteria, QByteArray("\xFF\xFF\xFF\xFF\x01\x02\x00\x00\x00", 9) + QByteArray(1, 1) +
                            QByteArray("\x00\x01\x00\x00\x00", 5) + QByteArray(1, 0) +
                            conditionBytes(foEqual, "1", 7, nullptr, 1) + QByteArray(1, 0) +
                            conditionBytes(foEqual, "1", 1, nullptr, 1));
    EXPECT_EQ(criteria.GetFilterText(), S("(Age = 1)"));
    EXPECT_EQ(criteria.Root()->BoolOperator(), fboOr);

    // Version 3 finds by name first; an id is trusted only for an unnamed item.
    readBytes(criteria, QByteArray("\xFE\xFF\xFF\xFF\x00\x02\x00\x00\x00", 9) + QByteArray(1, 0) +
                            conditionBytes(foEqual, "1", 0, "Age", 1) + QByteArray(1, 0) +
                            conditionBytes(foEqual, "1", 0, "Gone", 1));
    EXPECT_EQ(criteria.GetFilterText(), S("(Age = 1)"));
}

TEST_F(vlFilterStream, RefusesDamagedStreamsAndKeepsTheTree)
{
    buildSample(criteria);
    const QByteArray golden = bytesOf(criteria);
    const QByteArray head("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00", 9);
    EXPECT_TRUE(refused(head + QByteArray(1, 0) + conditionBytes(200, "", 0, nullptr, 1)));
    EXPECT_TRUE(refused(head + QByteArray(1, 0) + conditionBytes(34, "", 0, nullptr, 1)));
    EXPECT_TRUE(refused(QByteArray("\xFF\xFF\xFF\xFF\x04\x00\x00\x00\x00", 9)));  // boolean operator 4
    EXPECT_TRUE(refused(head + QByteArray(1, 2) + QByteArray(20, 0)));                  // is-group 2
    EXPECT_TRUE(refused(QByteArray("\xFF\xFF\xFF\xFF\x00\xFF\xFF\xFF\x7F", 9) + QByteArray(16, 0)));
    EXPECT_TRUE(refused(int32Bytes(-5)));  // a negative version-1 count
    EXPECT_TRUE(refused(head + QByteArray(1, 0) + conditionBytes(foBetween, "", 0, nullptr, VarArrayOf({1}))));
    QByteArray deep = QByteArray("\xFF\xFF\xFF\xFF", 4);
    for (int i = 0; i < 300; ++i)
        deep += QByteArray("\x00\x01\x00\x00\x00\x01", 6);
    EXPECT_TRUE(refused(deep + QByteArray(4, 0)));
    vorlane::test::ForEachTruncation(golden, [&](const QByteArray& cut) { EXPECT_TRUE(refused(cut)) << cut.size(); });
    int accepted = 0;
    vorlane::test::ForEachMutation({golden}, 29, 3000, [&](const QByteArray& mutant) {
        TestCriteria fresh;
        fresh.Fields = criteria.Fields;
        try {
            readBytes(fresh, mutant);
            ++accepted;
        } catch (const EReadError&) {
            return;
        }
        try {
            (void)fresh.GetFilterText();
        } catch (const EVariantError&) {
            // A value the operator cannot spell (a non-array IN value): an error, never a crash.
        }
    });
    EXPECT_GT(accepted, 0);
}

// Stored settings keep a filter as "Hex:" text: it reads back, and damaged
// text is refused as a whole or read as whatever bytes it spells.
TEST_F(vlFilterStream, HexTextReadsBackAndMutationsNeverCrash)
{
    buildSample(criteria);
    criteria.SetStreamVersion(3);
    TMemoryStream bytes;
    criteria.WriteData(&bytes);
    const String hex = PropertyStreamToString(&bytes);
    ASSERT_TRUE(hex.startsWith(S("Hex:FEFFFFFF")));
    auto readHex = [&](TvlFilterCriteria& ACriteria, const String& AText) {
        TMemoryStream stream;
        PropertyStringToStream(AText, &stream);
        stream.SetPosition(0);
        ACriteria.ReadData(&stream);
    };
    TestCriteria copy;
    copy.Fields = criteria.Fields;
    readHex(copy, hex);
    EXPECT_TRUE(copy.IsSameAs(&criteria, false));
    int accepted = 0;
    vorlane::test::ForEachMutation({hex.toLatin1()}, 31, 2000, [&](const QByteArray& mutant) {
        TestCriteria fresh;
        fresh.Fields = criteria.Fields;
        try {
            readHex(fresh, String::fromLatin1(mutant));
            ++accepted;
            (void)fresh.GetFilterText();
        } catch (const EReadError&) {
        } catch (const EVariantError&) {
        }
    });
    EXPECT_GT(accepted, 0);
}

TEST_F(vlFilterStream, AssignItemsCopiesByNameOrById)
{
    buildSample(criteria);
    criteria.SetStreamVersion(3);
    TestField other("Other", {});
    TestCriteria target;
    target.SetStreamVersion(3);
    target.Fields = {&other, &age};  // Name is missing, Age kept its id 1
    EXPECT_FALSE(target.IsSameAs(&criteria, false));
    target.AssignItems(&criteria, false);
    EXPECT_EQ(target.GetFilterText(), S("(NOT ((Age > 5) OR (Age BETWEEN 1 AND 2)))"));
    // By id only, id 0 now means Other.
    target.AssignItems(&criteria, true);
    EXPECT_EQ(target.GetFilterText(), S("(Other LIKE 'a%') AND (NOT ((Age > 5) OR (Age BETWEEN 1 AND 2)))"));
    EXPECT_TRUE(target.IsSameAs(&criteria, true));
    EXPECT_TRUE(target.HasCriteriaData());
    target.Clear();
    EXPECT_FALSE(target.HasCriteriaData());
}

}  // namespace
