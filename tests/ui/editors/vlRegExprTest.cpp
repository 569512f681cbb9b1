// Regular-expression masks: the errors of bad masks with their positions,
// what masks accept character by character, automatic insertion and
// removal of fixed characters, the date masks of the format controller,
// and a comparison with the standard library's matcher on random masks.
// The standard library's regex, built with the sanitizers, draws a false
// "may be used uninitialized" from inside its own headers.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include "ui/editors/vlRegExpr.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <functional>
#include <random>
#include <regex>
#include <string>

#include "platform/rtl/SysUtils.h"
#include "tests/harness/Mutation.h"
#include "ui/editors/vlDateUtils.h"
#include "ui/editors/vlFormats.h"
#include "tests/harness/DefaultFormats.h"

namespace {

String S(const char* text) { return String::fromUtf8(text); }

void build(TvlRegExpr& expr, const String& mask)
{
    TMemoryStream stream;
    const QByteArray bytes = mask.toUtf8();
    stream.WriteBuffer(bytes.constData(), bytes.size());
    expr.BuildFromStream(&stream);
}

// The errors of a build, one full text a line; empty when it built.
std::string errorsOf(const String& mask)
{
    TvlRegExpr expr;
    try {
        build(expr, mask);
    } catch (const EvlRegExprError& e) {
        EXPECT_EQ(e.ErrorList, &expr.ErrorList());
        EXPECT_FALSE(expr.IsBuilt());
        std::string out;
        for (int i = 0; i < e.ErrorList->Count(); ++i)
            out += e.ErrorList->Items(i)->FullText().toStdString() + "\n";
        return out;
    }
    EXPECT_TRUE(expr.IsBuilt());
    return {};
}

using RegExprTest = vorlane::test::DefaultFormatSettingsTest;

TEST_F(RegExprTest, BuildErrors)
{
    const struct {
        const char* mask;
        const char* errors;
    } cases[] = {
        {"a**", "Line1, Char3: The '*' quantifier cannot be applied here\n"},
        {"a*+", "Line1, Char3: The '+' quantifier cannot be applied here\n"},
        {"(a?)+", "Line1, Char5: The '+' quantifier cannot be applied here\n"},
        {"a{2,1}", "Line1, Char5: Incorrect parameter quantifier\n"},
        {"a?{2}", "Line1, Char3: The parameter quantifier cannot be applied here\n"},
        {"{2}a", "Line1, Char1: Incorrect parameter quantifier\nLine1, Char2: Illegal integer value\nLine1, Char3: Illegal '}'\n"},
        {"\\1(a)", "Line1, Char1: Too big reference number\n"},
        {"[ab", "Line1, Char4: Missing ']'\n"},
        {"a\\ b", "Line1, Char3: The space character is not allowed after '\\'\n"},
        {")(", "Line1, Char1: Illegal ')'\nThe alternative should not be empty\n"},
        {"(a|)", "Line1, Char4: The block should not be empty\n"},
        {"()", "Line1, Char2: The block should not be empty\n"},
        {"''", "The alternative should not be empty\n"},
        {"[]", "Line1, Char2: Can't create empty enumeration\n"},
        {"[^]", "Line1, Char3: Can't create empty enumeration\n"},
        {"[a-a]", "Line1, Char4: The starting character of the subrange must be less than the finishing one\n"},
        {"[b-a]", "Line1, Char4: The starting character of the subrange must be less than the finishing one\n"},
        {"[a-b-c]", "Line1, Char5: Illegal '-'\n"},
        {"\\xZ1", "Line1, Char3: Hexadecimal number expected but 'Z' found\n"},
        {"\\x4", "Line1, Char4: Hexadecimal number expected\n"},
        {"'ab", "Line1, Char4: Missing ' ' '\n"},
        {"a{2", "Line1, Char4: Missing '}'\n"},
        {"a{'}", "Line1, Char3: Illegal ' ' '\n"},
        {"a{x}", "Line1, Char3: Illegal 'x'\n"},
        {"(", "Missing ')'\n"},
        {"a)", "Unnecessary ')'\n"},
        {"a|", "The alternative should not be empty\n"},
        {"|a", "Line1, Char1: The alternative should not be empty\n"},
        {"*a", "Line1, Char1: Illegal quantifier '*'\n"},
        {"ab\r\n  [c", "Line2, Char5: Missing ']'\n"},
        {"", "The source stream is empty\n"},
        {" \t\r\n", "The source stream is empty\n"},
        // a count whose copy would repeat the empty text
        {"(a?){2,}", "Line1, Char5: The '*' quantifier cannot be applied here\n"},
        {"(a?){0,}", "Line1, Char5: The '*' quantifier cannot be applied here\n"},
        {"(X{0}){1,}", "Line1, Char7: The '*' quantifier cannot be applied here\n"},
        // counts beyond the bound, and beyond an integer
        {"a{1001}", "Line1, Char3: Incorrect parameter quantifier\n"},
        {"a{2000000000}", "Line1, Char3: Incorrect parameter quantifier\n"},
        {"a{1,99999999999}", "Line1, Char5: Incorrect parameter quantifier\n"},
        // accepted ones
        {"a??", ""}, {"a+*", ""}, {"a*?", ""}, {"a{1000}", ""}, {"(ab){2}\\1", ""}, {"a\\", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorsOf(S(c.mask)), c.errors) << c.mask;

    // nested counts multiply: refused with the count error, quickly
    EXPECT_NE(errorsOf(S("((a{1000}){1000}){1000}")).find("Incorrect parameter quantifier"), std::string::npos);
    EXPECT_NE(errorsOf(S("[bc]{714}{714}")).find("Incorrect parameter quantifier"), std::string::npos);
    // groups nested deeper than any mask needs
    EXPECT_NE(errorsOf(String(200, QLatin1Char('(')) + S("a") + String(200, QLatin1Char(')'))).find("Illegal '('"),
              std::string::npos);
    // no source at all
    TvlRegExpr expr;
    try {
        expr.BuildFromStream(nullptr);
        ADD_FAILURE();
    } catch (const EvlRegExprError& e) {
        ASSERT_EQ(e.ErrorList->Count(), 1);
        EXPECT_EQ(e.ErrorList->Items(0)->FullText(), S("The source stream is not assigned"));
    }
}

struct Typed {
    String Accepted;
    bool Final;
};

Typed typeText(const char* mask, const String& text, bool ignoreCase = false)
{
    TvlRegExpr expr;
    expr.IgnoreCase = ignoreCase;
    build(expr, S(mask));
    Typed result;
    expr.StepText(text, result.Accepted);
    result.Final = expr.AtFinal();
    return result;
}

TEST_F(RegExprTest, WhatMasksAccept)
{
    const struct {
        const char* mask;
        const char* input;
        const char* accepted;
        bool final;
        bool ignoreCase = false;
    } cases[] = {
        {"a b", "a b", "ab", true},
        {"' '", " ", " ", true},
        {"\\s", "\t", "\t", true},
        {"\\x20", " ", " ", true},
        {"''''", "'", "'", true},
        {"a-b", "a-b", "a-b", true},
        {"[-a]", "-", "-", true},
        {"[a-]", "-", "-", true},
        {"[^a]b", "ab", "b", false},
        {"[a^.(]", "^", "^", true},
        {"[\\d-z]", "5e", "e", true},
        {"[\\d]", "5", "5", true},
        {"['a-z']", "m-", "-", true},
        {"[a\\-z]", "mz", "z", true},
        {"\\d+", "1a2", "12", true},
        {"\\D\\W\\S", "1a_ x", "a x", true},
        {"(ab)+\\1", "ab", "ab", false},
        {"(ab)+\\1", "ababab", "ababab", true},
        {"((a)b)\\2", "aba", "aba", true},
        {"(ab){2}\\1", "ababab", "ababab", true},
        {"X{2,4}", "X", "X", false},
        {"X{2,4}", "XX", "XX", true},
        {"X{2,4}", "XXXX", "XXXX", true},
        {"X{2,4}", "XXXXX", "XXXX", true},
        {"a+{2,3}", "aaaaa", "aaaaa", true},
        {"X{0}Y", "Y", "Y", true},
        {"\\0\\q", "0q", "0q", true},
        {"ABC", "abc", "abc", true, true},
        {"[a-z]", "A", "", false, true},
        {"a|ab|abc", "abc", "abc", true},
        // a part that may be empty does not keep a text from being complete
        {"x(a?)", "x", "x", true},
        {"x(a?)y", "xy", "xy", true},
        {"((a?))", "", "", true},
    };
    for (const auto& c : cases) {
        const Typed typed = typeText(c.mask, S(c.input), c.ignoreCase);
        EXPECT_EQ(typed.Accepted, S(c.accepted)) << c.mask << " / " << c.input;
        EXPECT_EQ(typed.Final, c.final) << c.mask << " / " << c.input;
    }

    for (const char* mask : {"a?", "a*|b", "(a?)", "x?(a?)"}) {
        TvlRegExpr expr;
        build(expr, S(mask));
        EXPECT_TRUE(expr.AtStart()) << mask;
        EXPECT_TRUE(expr.AtFinal()) << mask;
    }
    TvlRegExpr expr;
    build(expr, S("ABC"));
    expr.IgnoreCase = true;
    QChar ch = QLatin1Char('a');
    EXPECT_TRUE(expr.StepForward(ch));
    EXPECT_EQ(ch, QChar(u'A'));
    // a refused character changes nothing
    ch = QLatin1Char('x');
    EXPECT_FALSE(expr.StepForward(ch));
    EXPECT_FALSE(expr.AtStart());
    EXPECT_TRUE(expr.StepBack());
    EXPECT_TRUE(expr.AtStart());
    EXPECT_FALSE(expr.StepBack());
}

TEST_F(RegExprTest, SeparatorsAreReadWhenACharacterIsTested)
{
    FormatSettings.DateSeparator = u'.';
    FormatSettings.TimeSeparator = u'-';
    FormatSettings.DecimalSeparator = u',';
    TvlRegExpr expr;
    build(expr, S("\\d/\\d:\\d\\p"));
    String accepted;
    expr.StepText(S("1.2-3,"), accepted);
    EXPECT_EQ(accepted, S("1.2-3,"));
    EXPECT_TRUE(expr.AtFinal());
    expr.Restart();
    FormatSettings.DateSeparator = u'/';
    FormatSettings.TimeSeparator = u':';
    FormatSettings.DecimalSeparator = u'.';
    expr.StepText(S("1.2/3:4,."), accepted);  // \p was read when the mask was built
    EXPECT_EQ(accepted, S("1/3:4,"));
    EXPECT_TRUE(expr.AtFinal());
}

TEST_F(RegExprTest, AmbiguousRepeatsKeepTheReachedListSmall)
{
    TvlRegExpr expr;
    build(expr, S("(a|a)*"));
    String accepted;
    expr.StepText(String(64, QLatin1Char('a')), accepted);
    EXPECT_EQ(accepted.size(), 64);
    EXPECT_TRUE(expr.AtFinal());
    EXPECT_LE(expr.ReachedCount(), 2);
}

struct EventLog {
    std::string Log;
    void Inserted(QChar c) { Log += std::string("+") + char(c.unicode()); }
    void Removed() { Log += "-"; }
};

TEST_F(RegExprTest, FixedCharactersComeAndGoByThemselves)
{
    EventLog log;
    TvlRegExpr expr;
    expr.OnAutoInsert = TDelegate<void(QChar)>(&log, &EventLog::Inserted);
    expr.OnAutoRemove = TDelegate<void()>(&log, &EventLog::Removed);
    expr.SetAutoComplete(true);
    build(expr, S("ab"));
    EXPECT_EQ(log.Log, "+a+b");
    EXPECT_TRUE(expr.AtFinal());
    EXPECT_FALSE(expr.StepBack());
    EXPECT_EQ(log.Log, "+a+b--");
    EXPECT_TRUE(expr.AtStart());

    // a second build keeps the events and the setting
    log.Log.clear();
    FormatSettings.DateSeparator = u'-';
    build(expr, S("\\d\\d/\\d\\d"));
    EXPECT_EQ(log.Log, "");
    QChar c = QLatin1Char('1');
    EXPECT_TRUE(expr.StepForward(c));
    c = QLatin1Char('2');
    EXPECT_TRUE(expr.StepForward(c));
    EXPECT_EQ(log.Log, "+-");
    EXPECT_TRUE(expr.StepBack());  // the separator, then the 2
    EXPECT_EQ(log.Log, "+--");
    c = QLatin1Char('3');
    EXPECT_TRUE(expr.StepForward(c));
    EXPECT_EQ(log.Log, "+--+-");

    // turning it on inserts at once
    TvlRegExpr late;
    late.OnAutoInsert = TDelegate<void(QChar)>(&log, &EventLog::Inserted);
    build(late, S("ID-\\d"));
    log.Log.clear();
    late.SetAutoComplete(true);
    EXPECT_EQ(log.Log, "+I+D+-");
    EXPECT_FALSE(late.AtFinal());

    // a mask that forces thousands of characters inserts a bounded run at a time
    TvlRegExpr forcing;
    forcing.OnAutoInsert = TDelegate<void(QChar)>(&log, &EventLog::Inserted);
    forcing.SetAutoComplete(true);
    log.Log.clear();
    build(forcing, S("(x+){300}y"));
    EXPECT_EQ(log.Log.size(), 2u * 256);
    EXPECT_FALSE(forcing.AtFinal());
}

TEST_F(RegExprTest, NotBuiltRefusesToStep)
{
    TvlRegExpr expr;
    QChar c = QLatin1Char('a');
    EXPECT_THROW(expr.StepForward(c), EvlEditError);
    EXPECT_THROW(expr.AtFinal(), EvlEditError);
    EXPECT_EQ(expr.SourceStream(), nullptr);
    expr.SetAutoComplete(true);  // never raises
    EXPECT_THROW(build(expr, S("a{")), EvlRegExprError);
    EXPECT_THROW(expr.Restart(), EvlEditError);
    build(expr, S("a"));
    ASSERT_NE(expr.SourceStream(), nullptr);
    EXPECT_EQ(expr.SourceStream()->Size(), 1);
}

// The masks the format controller builds compile and take a typed date.
TEST_F(RegExprTest, TheFormatControllersDateMasks)
{
    const struct {
        const char* shortDate;
        const char* longTime;
        char16_t separator;
        const char* date;
        const char* dateTime;
    } fixtures[] = {
        {"dd/MM/yyyy", "HH:MM:SS", u'/', "14/02/2024", "14/02/2024 10:30:00"},
        {"M/d/yyyy", "h:mm:ss AMPM", u'/', "2/14/2024", "2/14/2024 9:05:00 PM"},
        {"dddd, d MMMM yyyy", "HH:MM:SS", u'/', "14,  February 2024", "14,  February 2024 23:59:59"},
        {"dd/MM/yy", "HH:MM:SS", u' ', "14 Feb 24", "14 Feb 24 10:30:00"},
        {"dd/MM/yyyy", "HH:MM:SS", u'\0', "14022024", "14022024 10:30:00"},
        {"dd\"'\"MMM/yyyy", "h:mm:ss A/P", u'x', "14'Febx2024", "14'Febx2024 1:02:03 P"},
    };
    for (const auto& f : fixtures) {
        SCOPED_TRACE(f.shortDate);
        FormatSettings = DefaultFormatSettings();
        FormatSettings.ShortDateFormat = S(f.shortDate);
        FormatSettings.LongTimeFormat = S(f.longTime);
        FormatSettings.DateSeparator = QChar(f.separator);
        TvlFormatController controller;
        for (const auto& [mask, text] : {std::pair{controller.DateRegExprMask(), S(f.date)},
                                         std::pair{controller.DateTimeRegExprMask(), S(f.dateTime)},
                                         std::pair{controller.DateRegExprMask(), S("Today+15")},
                                         std::pair{controller.DateTimeRegExprMask(), S("now-1")}}) {
            TvlRegExpr expr;
            expr.IgnoreCase = true;
            ASSERT_NO_THROW(build(expr, mask)) << mask.toStdString();
            String accepted;
            expr.StepText(text, accepted);
            EXPECT_EQ(accepted, text);
            EXPECT_TRUE(expr.AtFinal()) << text.toStdString();
        }
        // typing with fixed characters inserted gives the same text
        TvlRegExpr expr;
        String typed;
        struct Inserter {
            String* Text;
            void Insert(QChar c) { *Text += c; }
        } inserter{&typed};
        expr.OnAutoInsert = TDelegate<void(QChar)>(&inserter, &Inserter::Insert);
        expr.SetAutoComplete(true);
        build(expr, controller.DateRegExprMask());
        // typed characters land before the ones inserted after them; a typed
        // character that was inserted already is refused
        for (const QChar c : S(f.date)) {
            QChar ch = c;
            const qsizetype before = typed.size();
            if (expr.StepForward(ch))
                typed.insert(before, ch);
        }
        EXPECT_EQ(typed, S(f.date));
        EXPECT_TRUE(expr.AtFinal());
    }
}

// ---- against the standard library's matcher ------------------------------------------

struct RandomMask {
    std::string Ours;
    std::string Ecma;
};

RandomMask randomAlternatives(std::mt19937& rng, int depth);

RandomMask randomAtom(std::mt19937& rng, int depth)
{
    RandomMask base;
    const int kind = int(rng() % (depth > 0 ? 4 : 3));
    if (kind == 0)
        base = {"a", "a"};
    else if (kind == 1)
        base = {"b", "b"};
    else if (kind == 2)
        base = {"[ab]", "[ab]"};
    else {
        const RandomMask inner = randomAlternatives(rng, depth - 1);
        base = {"(" + inner.Ours + ")", "(" + inner.Ecma + ")"};
    }
    static const char* quantifiers[] = {"", "", "?", "*", "+", "{2}", "{0,1}", "{1,2}", "{0}", "{1,}"};
    const std::string q = quantifiers[rng() % std::size(quantifiers)];
    return {base.Ours + q, base.Ecma + q};
}

RandomMask randomAlternatives(std::mt19937& rng, int depth)
{
    RandomMask result;
    const int alternatives = 1 + int(rng() % 2);
    for (int a = 0; a < alternatives; ++a) {
        if (a > 0) {
            result.Ours += "|";
            result.Ecma += "|";
        }
        const int atoms = 1 + int(rng() % 3);
        for (int i = 0; i < atoms; ++i) {
            const RandomMask atom = randomAtom(rng, depth);
            result.Ours += atom.Ours;
            result.Ecma += atom.Ecma;
        }
    }
    return result;
}

TEST_F(RegExprTest, RandomMasksMatchAsTheStandardMatcherDoes)
{
    std::mt19937 rng(51);
    std::vector<std::string> inputs{""};
    for (size_t i = 0; i < inputs.size(); ++i)
        if (inputs[i].size() < 6)
            for (const char c : {'a', 'b'})
                inputs.push_back(inputs[i] + c);
    std::vector<std::string> completions{""};
    for (size_t i = 0; i < completions.size(); ++i)
        if (completions[i].size() < 8)
            for (const char c : {'a', 'b'})
                completions.push_back(completions[i] + c);

    int built = 0;
    for (int round = 0; round < 300; ++round) {
        const RandomMask mask = randomAlternatives(rng, 2);
        TvlRegExpr expr;
        try {
            build(expr, S(mask.Ours.c_str()));
        } catch (const EvlRegExprError&) {
            continue;  // a quantifier on what may be empty, and the like
        }
        ++built;
        const std::regex reference(mask.Ecma, std::regex::ECMAScript);
        auto viable = [&](const std::string& prefix) {
            return std::any_of(completions.begin(), completions.end(),
                               [&](const std::string& w) { return std::regex_match(prefix + w, reference); });
        };
        for (const std::string& input : inputs) {
            expr.Restart();
            bool allAccepted = true;
            std::string prefix;
            for (const char c : input) {
                QChar ch = QLatin1Char(c);
                if (!expr.StepForward(ch)) {
                    // a refused character leaves no way to a match
                    EXPECT_FALSE(viable(prefix + c)) << mask.Ours << " / " << prefix + c;
                    allAccepted = false;
                    break;
                }
                prefix += c;
            }
            if (allAccepted) {
                EXPECT_EQ(expr.AtFinal(), std::regex_match(input, reference)) << mask.Ours << " / " << input;
            }
            if (HasFailure())
                return;
        }
        // random accepted sequences stepped back return to the start
        expr.Restart();
        int steps = 0;
        for (int i = 0; i < 8; ++i) {
            QChar ch = QLatin1Char(rng() % 2 ? 'a' : 'b');
            steps += expr.StepForward(ch) ? 1 : 0;
        }
        for (int i = 0; i < steps; ++i)
            EXPECT_TRUE(expr.StepBack());
        EXPECT_TRUE(expr.AtStart());
        EXPECT_FALSE(expr.StepBack());
    }
    EXPECT_GT(built, 150);
}

// Mask text, then after a line break a script: characters typed, "<" a step
// back, "^" a restart, "~" auto-completion switched.
void runScript(const QByteArray& input)
{
    const String text = String::fromUtf8(input);
    const qsizetype split = text.indexOf(QChar(u'\n'));
    TvlRegExpr expr;
    try {
        build(expr, split < 0 ? text : text.left(split));
    } catch (const EvlRegExprError& e) {
        EXPECT_GT(e.ErrorList->Count(), 0);
        return;
    }
    for (const QChar c : split < 0 ? String() : text.mid(split + 1)) {
        if (c == QLatin1Char('<'))
            expr.StepBack();
        else if (c == QLatin1Char('^'))
            expr.Restart();
        else if (c == QLatin1Char('~'))
            expr.SetAutoComplete(!expr.AutoComplete());
        else {
            QChar ch = c;
            expr.StepForward(ch);
        }
        expr.AtFinal();
    }
}

TEST_F(RegExprTest, FixedSeedMutationsOfMasksAndScripts)
{
    FormatSettings = DefaultFormatSettings();
    TvlFormatController controller;
    const std::vector<QByteArray> seeds = {
        "\\d\\d/\\d\\d\n~12<<34^5",
        "(a|b)*[^x-z]{1,3}'q''r'\\x41\n~ab<c",
        "((ab)+\\2|c?){2}\\p\\s\\W\n~abab<<^c",
        controller.DateTimeRegExprMask().toUtf8() + "\n~12/03/2024 1:2:3 PM<<<now+5",
    };
    vorlane::test::ForEachMutation(seeds, 51, 1500, runScript);
}

}  // namespace
