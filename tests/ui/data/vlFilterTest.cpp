// Tests of the LIKE matcher, the wildcard classification, the value texts of
// filter conditions and the relative-date ranges.
#include "ui/data/vlFilter.h"

#include <gtest/gtest.h>

#include <QLocale>

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
