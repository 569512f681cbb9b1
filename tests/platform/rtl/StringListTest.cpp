#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <functional>
#include <memory>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringList.h"

namespace {

using Items = std::vector<std::string>;

Items items(const TStrings& list)
{
    Items result;
    for (int i = 0; i < list.Count(); ++i)
        result.push_back(list.Strings(i).toStdString());
    return result;
}

void fill(TStrings& list, const Items& lines)
{
    list.Clear();
    for (const auto& line : lines)
        list.Add(String::fromStdString(line));
}

std::string str(const String& s)
{
    return s.toStdString();
}

// ---- delimited text -------------------------------------------------------

struct ParseCase {
    const char* text;
    bool strict;
    Items expected;
};

TEST(StringListDelimited, CommaTextParsing)
{
    const ParseCase cases[] = {
        {"", false, {}},
        {"   ", false, {}},
        {"a,b,c", false, {"a", "b", "c"}},
        {"a b\tc", false, {"a", "b", "c"}},  // blanks separate
        {" a , b ", false, {"a", "b"}},
        {"a,,b", false, {"a", "", "b"}},
        {"a,", false, {"a", ""}},            // a delimiter at the very end is one more item
        {"a, ", false, {"a"}},               // ...but not when blanks follow it
        {",", false, {"", ""}},
        {"\"a b\",c", false, {"a b", "c"}},
        {"\"a\"\"b\"", false, {"a\"b"}},
        {"\"\"", false, {""}},
        {"\"x,y\" , z", false, {"x,y", "z"}},
        {"\"a\"b,c", false, {"a", "b", "c"}},  // text after a closing quote is its own item
        {"\"unclosed, rest", false, {"unclosed, rest"}},
        {"a b,c", true, {"a b", "c"}},
        {" a ,b", true, {" a ", "b"}},
        {"a,", true, {"a", ""}},
        {"\"x,y\",z", true, {"x,y", "z"}},
        {"a,,", true, {"a", "", ""}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetStrictDelimiter(c.strict);
        list.Add("old");
        list.SetCommaText(String::fromUtf8(c.text));
        EXPECT_EQ(items(list), c.expected) << "text [" << c.text << "] strict=" << c.strict;
    }
}

struct FormatCase {
    Items lines;
    bool strict;
    const char* expected;
};

TEST(StringListDelimited, CommaTextFormatting)
{
    const FormatCase cases[] = {
        {{}, false, ""},
        {{""}, false, "\"\""},
        {{"a", "", "b"}, false, "a,,b"},
        {{"", ""}, false, ","},
        {{"a b", "c"}, false, "\"a b\",c"},
        {{"a\"b"}, false, "\"a\"\"b\""},
        {{"x,y"}, false, "\"x,y\""},
        {{"tab\there"}, false, "\"tab\there\""},
        {{"\xC3\xA9t\xC3\xA9"}, false, "\xC3\xA9t\xC3\xA9"},  // non-ASCII letters are not blanks
        {{"a b", "c"}, true, "a b,c"},
        {{"x,y"}, true, "\"x,y\""},
        {{"q\"uote"}, true, "\"q\"\"uote\""},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetStrictDelimiter(c.strict);
        fill(list, c.lines);
        EXPECT_EQ(str(list.CommaText()), c.expected) << "strict=" << c.strict;
    }
}

TEST(StringListDelimited, RoundTripsAwkwardItems)
{
    const Items awkward = {"", " lead", "trail ", "in side", "q\"uote", "c,omma", "plain", "multi\nline", "\"", ""};
    for (const bool strict : {false, true}) {
        TStringList source, copy;
        source.SetStrictDelimiter(strict);
        copy.SetStrictDelimiter(strict);
        fill(source, awkward);
        copy.SetCommaText(source.CommaText());
        EXPECT_EQ(items(copy), awkward) << "strict=" << strict << " text " << str(source.CommaText());
    }
}

TEST(StringListDelimited, OwnDelimiterAndQuoteForDelimitedTextOnly)
{
    TStringList list;
    list.SetDelimiter(u';');
    list.SetQuoteChar(u'\'');
    fill(list, {"a;b", "it's", "x,y"});
    EXPECT_EQ(str(list.DelimitedText()), "'a;b';'it''s';x,y");
    EXPECT_EQ(str(list.CommaText()), "a;b,it's,\"x,y\"");

    list.SetDelimitedText("'p;q';r s;t,u");
    EXPECT_EQ(items(list), (Items{"p;q", "r", "s", "t,u"}));
}

// ---- text -----------------------------------------------------------------

TEST(StringListText, SplitsAtEveryLineBreakKind)
{
    const struct {
        const char* text;
        Items expected;
    } cases[] = {
        {"", {}},
        {"x", {"x"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},  // a trailing break ends the last line, it adds none
        {"a\rb\r", {"a", "b"}},
        {"a\n\n", {"a", ""}},
        {"\n", {""}},
        {"a\r\rb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
        {"a\r\n\r\nb", {"a", "", "b"}},
        {" keep \t", {" keep \t"}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetText(String::fromUtf8(c.text));
        EXPECT_EQ(items(list), c.expected) << "text [" << c.text << "]";
    }
}

TEST(StringListText, JoinsWithLineBreakAfterEveryLine)
{
    TStringList list;
    EXPECT_EQ(str(list.Text()), "");
    fill(list, {"a", "", "b"});
    EXPECT_EQ(str(list.Text()), "a\n\nb\n");

    list.SetLineBreak("||");
    EXPECT_EQ(str(list.Text()), "a||||b||");
    list.SetText("x||y\nz||");
    EXPECT_EQ(items(list), (Items{"x", "y\nz"}));
}

// ---- names and values -----------------------------------------------------

class NameValueFixture : public ::testing::Test {
protected:
    void SetUp() override { fill(list, {"a=1", "B=2", "noval", "=x", "c=d=e"}); }
    TStringList list;
};

TEST_F(NameValueFixture, NamesValuesAndValueFromIndex)
{
    EXPECT_EQ(str(list.Names(0)), "a");
    EXPECT_EQ(str(list.Names(2)), "");
    EXPECT_EQ(str(list.Names(3)), "");
    EXPECT_EQ(str(list.Names(4)), "c");
    EXPECT_EQ(str(list.Values("b")), "2");  // without regard to case
    EXPECT_EQ(str(list.Values("c")), "d=e");
    EXPECT_EQ(str(list.Values("")), "x");
    EXPECT_EQ(str(list.Values("noval")), "");
    EXPECT_EQ(str(list.Values("missing")), "");
    EXPECT_EQ(list.IndexOfName("C"), 4);
    EXPECT_EQ(list.IndexOfName("noval"), -1);
    EXPECT_EQ(str(list.ValueFromIndex(2)), "");
    EXPECT_EQ(str(list.ValueFromIndex(4)), "d=e");
    EXPECT_EQ(str(list.ValueFromIndex(-1)), "");

    list.SetCaseSensitive(true);
    EXPECT_EQ(str(list.Values("b")), "");
    EXPECT_EQ(str(list.Values("B")), "2");
}

TEST_F(NameValueFixture, SetValueReplacesAppendsAndEmptyDeletes)
{
    list.SetValue("A", "9");
    list.SetValue("new", "x y");
    list.SetValue("b", "");
    list.SetValue("absent", "");
    EXPECT_EQ(items(list), (Items{"A=9", "noval", "=x", "c=d=e", "new=x y"}));
}

TEST_F(NameValueFixture, OtherSeparator)
{
    list.SetNameValueSeparator(u':');
    fill(list, {"k:v", "a=1"});
    EXPECT_EQ(str(list.Values("k")), "v");
    EXPECT_EQ(str(list.Names(1)), "");
    list.SetValue("z", "2");
    EXPECT_EQ(str(list.Strings(2)), "z:2");
}

TEST(StringListValues, SetValueOnASortedListMovesTheLineAndKeepsItsObject)
{
    TObject marker;
    TStringList list;
    list.SetSorted(true);
    list.Add("b=2");
    list.AddObject("m=1", &marker);
    list.SetValue("m", "0");
    list.SetValue("a", "5");
    EXPECT_EQ(items(list), (Items{"a=5", "b=2", "m=0"}));
    EXPECT_EQ(list.Objects(2), &marker);
}

// ---- sorting, duplicates, case --------------------------------------------

TEST(StringListSorted, DuplicatesRules)
{
    const struct {
        TDuplicates rule;
        Items expected;
    } cases[] = {
        {dupIgnore, {"a", "b", "c"}},
        {dupAccept, {"a", "B", "b", "c"}},  // a new equal string goes before the old ones
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetSorted(true);
        list.SetDuplicates(c.rule);
        for (const char* s : {"c", "b", "a"})
            list.Add(s);
        const int index = list.Add("B");
        EXPECT_EQ(index, 1) << "rule " << c.rule;
        EXPECT_EQ(items(list), c.expected) << "rule " << c.rule;
    }

    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupError);
    list.Add("x");
    try {
        list.Add("X");
        FAIL() << "dupError accepted a duplicate";
    } catch (const EStringListError& e) {
        EXPECT_EQ(str(e.Message()), "String list does not allow duplicates");
    }
    EXPECT_EQ(items(list), (Items{"x"}));
}

TEST(StringListSorted, UnsortedListIgnoresTheDuplicatesRule)
{
    TStringList list;
    list.SetDuplicates(dupError);
    list.Add("x");
    list.Add("x");
    EXPECT_EQ(list.Count(), 2);
}

TEST(StringListSorted, PositionalChangesAreRefused)
{
    TStringList list;
    fill(list, {"c", "a", "b"});
    list.SetSorted(true);
    EXPECT_EQ(items(list), (Items{"a", "b", "c"}));
    const std::function<void()> refused[] = {
        [&] { list.Insert(0, "z"); },
        [&] { list.InsertObject(0, "z", nullptr); },
        [&] { list.Put(0, "z"); },
        [&] { list.Move(0, 2); },
    };
    for (const auto& call : refused) {
        try {
            call();
            ADD_FAILURE() << "a sorted list accepted a positional change";
        } catch (const EStringListError& e) {
            EXPECT_EQ(str(e.Message()), "Operation not allowed on sorted list");
        }
    }
    EXPECT_EQ(items(list), (Items{"a", "b", "c"})) << "nothing lost";
}

TEST(StringListSorted, FindReportsWhereAStringIsOrWouldGo)
{
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"cherry", "apple", "banana"})
        list.Add(s);
    const struct {
        const char* s;
        bool found;
        int index;
    } cases[] = {
        {"banana", true, 1}, {"APPLE", true, 0}, {"blueberry", false, 2}, {"aardvark", false, 0}, {"zebra", false, 3},
    };
    for (const auto& c : cases) {
        int index = -7;
        EXPECT_EQ(list.Find(c.s, index), c.found) << c.s;
        EXPECT_EQ(index, c.index) << c.s;
    }
    EXPECT_EQ(list.IndexOf("Cherry"), 2);
    EXPECT_EQ(list.IndexOf("date"), -1);
}

TEST(StringListCase, IndexOfFollowsCaseSensitive)
{
    TStringList list;
    fill(list, {"Alpha", "beta"});
    EXPECT_EQ(list.IndexOf("ALPHA"), 0);
    EXPECT_EQ(list.IndexOf("Beta"), 1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("ALPHA"), -1);
    EXPECT_EQ(list.IndexOf("Alpha"), 0);
    // Non-ASCII letters fold as well.
    fill(list, {"\xC3\x84rger"});
    list.SetCaseSensitive(false);
    EXPECT_EQ(list.IndexOf(String::fromUtf8("\xC3\xA4RGER")), 0);
}

TEST(StringListCase, SortIgnoresCaseByDefaultAndKeepsBothCasesWhenSensitive)
{
    TStringList list;
    fill(list, {"c", "B", "a"});
    list.Sort();
    EXPECT_EQ(items(list), (Items{"a", "B", "c"}));

    TStringList sensitive;
    sensitive.SetCaseSensitive(true);
    sensitive.SetSorted(true);
    for (const char* s : {"a", "A", "a"})
        sensitive.Add(s);
    EXPECT_EQ(sensitive.Count(), 2);
}

TEST(StringListCase, ChangingTheRuleOfASortedListKeepsFindWorking)
{
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    for (const char* s : {"b", "B", "a", "A", "c", "C", "ab", "Ab", "aB"})
        list.Add(s);
    for (const bool sensitive : {true, false, true}) {
        list.SetCaseSensitive(sensitive);
        for (int i = 0; i < list.Count(); ++i) {
            int index = -1;
            ASSERT_TRUE(list.Find(list.Strings(i), index)) << str(list.Strings(i));
            EXPECT_EQ(str(list.Strings(index)).size(), str(list.Strings(i)).size());
            if (sensitive) {
                EXPECT_EQ(index, i) << "case-sensitive order has no ties";
            }
        }
    }
}

TEST(StringListSort, CustomSortIsStableAndSurvivesAnInconsistentCompare)
{
    TStringList list;
    fill(list, {"ccc", "a", "bb", "d", "ee"});
    list.CustomSort([](TStringList* l, int a, int b) {
        return int(l->Strings(a).size()) - int(l->Strings(b).size());
    });
    EXPECT_EQ(items(list), (Items{"a", "d", "bb", "ee", "ccc"}));

    Items many;
    for (int i = 0; i < 200; ++i)
        many.push_back(std::to_string(i));
    fill(list, many);
    unsigned state = 1;
    list.CustomSort([&](TStringList*, int, int) {
        state = state * 1103515245u + 12345u;
        return int(state >> 16) % 3 - 1;
    });
    Items after = items(list);
    std::sort(after.begin(), after.end());
    std::sort(many.begin(), many.end());
    EXPECT_EQ(after, many);
}

// ---- objects, editing ------------------------------------------------------

struct Counted : TObject {
    explicit Counted(int& frees) : FFrees(frees) {}
    ~Counted() override { ++FFrees; }
    int& FFrees;
};

TEST(StringListObjects, OwningListFreesWhatItDropsAndMoveKeepsObjects)
{
    int frees = 0;
    {
        TStringList list(true);
        for (const char* s : {"a", "b", "c", "d"})
            list.AddObject(s, std::make_unique<Counted>(frees).release());
        TObject* c = list.Objects(2);
        list.Move(2, 0);
        list.Exchange(0, 1);
        EXPECT_EQ(frees, 0);
        EXPECT_EQ(list.Objects(1), c);
        EXPECT_EQ(list.IndexOfObject(c), 1);
        list.Delete(0);
        EXPECT_EQ(frees, 1);
        list.PutObject(0, std::make_unique<Counted>(frees).release());
        EXPECT_EQ(frees, 2);
        list.PutObject(0, list.Objects(0));
        EXPECT_EQ(frees, 2) << "putting the same object back keeps it";
        list.Clear();
        EXPECT_EQ(frees, 5);
        list.AddObject("e", std::make_unique<Counted>(frees).release());
    }
    EXPECT_EQ(frees, 6);

    Counted kept(frees);
    {
        TStringList borrowing;
        borrowing.AddObject("x", &kept);
        borrowing.Delete(0);
        borrowing.AddObject("y", &kept);
    }
    EXPECT_EQ(frees, 6);
}

TEST(StringListEditing, BadIndexesRaiseStringListErrors)
{
    TStringList list;
    fill(list, {"a", "b"});
    const struct {
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {[&] { list.Strings(2); }, "List index out of bounds (2)"},
        {[&] { list.Objects(-1); }, "List index out of bounds (-1)"},
        {[&] { list.Delete(5); }, "List index out of bounds (5)"},
        {[&] { list.Insert(3, "x"); }, "List index out of bounds (3)"},
        {[&] { list.Put(2, "x"); }, "List index out of bounds (2)"},
        {[&] { list.Exchange(0, 2); }, "List index out of bounds (2)"},
        {[&] { list.Move(0, 2); }, "List index out of bounds (2)"},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.message << " not raised";
        } catch (const EStringListError& e) {
            EXPECT_EQ(str(e.Message()), c.message);
        }
    }
    EXPECT_EQ(items(list), (Items{"a", "b"}));
}

TEST(StringListEditing, InsertMoveExchangeAssignEquals)
{
    TStringList list;
    fill(list, {"a", "b", "c"});
    list.Insert(1, "x");
    list.Append("z");
    list.Move(0, 4);
    list.Exchange(0, 1);
    EXPECT_EQ(items(list), (Items{"b", "x", "c", "z", "a"}));

    TObject marker;
    list.PutObject(2, &marker);
    TStringList copy;
    copy.Add("old");
    copy.Assign(&list);
    EXPECT_EQ(items(copy), items(list));
    EXPECT_EQ(copy.Objects(2), &marker);
    EXPECT_TRUE(copy.Equals(&list));
    copy.Put(0, "B");
    EXPECT_FALSE(copy.Equals(&list)) << "Equals compares case";
    copy.AddStrings(&copy);
    EXPECT_EQ(copy.Count(), 10);

    TPersistent notAList;
    EXPECT_THROW(copy.Assign(&notAList), EConvertError);
}

// ---- update notifications --------------------------------------------------

class EventFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.OnChange = TNotifyEvent::FromFunction([this](TObject* sender) {
            EXPECT_EQ(sender, &list);
            log += "C";
        });
        list.OnChanging = TNotifyEvent::FromFunction([this](TObject*) { log += "g"; });
    }
    TStringList list;
    std::string log;
};

TEST_F(EventFixture, EachChangeIsReportedAroundIt)
{
    list.Add("a");
    list.Put(0, "b");
    list.Delete(0);
    list.Clear();  // nothing to clear, nothing reported
    EXPECT_EQ(log, "gCgCgC");
}

TEST_F(EventFixture, NestedUpdatesReportOnceAtTheOutermostEnd)
{
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("a");
    list.Add("b");
    list.EndUpdate();
    EXPECT_EQ(log, "g");
    list.EndUpdate();
    EXPECT_EQ(log, "gC");

    log.clear();
    list.SetCommaText("x,y,z");
    list.SetText("1\n2\n");
    EXPECT_EQ(log, "gCgC");
}

TEST_F(EventFixture, AFailureInsideAnUpdateStillEndsIt)
{
    TStringList source;
    fill(source, {"a", "a"});
    list.SetSorted(true);
    list.SetDuplicates(dupError);
    log.clear();
    EXPECT_THROW(list.AddStrings(&source), EStringListError);
    EXPECT_EQ(log, "gC");
    list.Add("b");
    EXPECT_EQ(log, "gCgC");
}

// ---- files and streams -----------------------------------------------------

QByteArray utf16(const String& text, bool bigEndian)
{
    QByteArray bytes;
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST(StringListFiles, SavesUtf8AndReadsEveryEncoding)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const String path = dir.filePath("lines.txt");

    TStringList list;
    list.Add(String::fromUtf8("gr\xC3\xBC\xC3\x9F"));
    list.Add("two");
    list.SaveToFile(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), "gr\xC3\xBC\xC3\x9F\ntwo\n");

    const Items expected = {"gr\xC3\xBC\xC3\x9F", "two"};
    const String text = String::fromUtf8("gr\xC3\xBC\xC3\x9F\r\ntwo");
    const struct {
        const char* name;
        QByteArray bytes;
    } encodings[] = {
        {"utf-8", text.toUtf8()},
        {"utf-8 bom", QByteArray("\xEF\xBB\xBF") + text.toUtf8()},
        {"utf-16le bom", QByteArray("\xFF\xFE") + utf16(text, false)},
        {"utf-16be bom", QByteArray("\xFE\xFF") + utf16(text, true)},
    };
    for (const auto& e : encodings) {
        TMemoryStream stream;
        stream.WriteBuffer(e.bytes.constData(), e.bytes.size());
        stream.SetPosition(0);
        TStringList loaded;
        loaded.LoadFromStream(&stream);
        EXPECT_EQ(items(loaded), expected) << e.name;
    }

    TStringList fromFile;
    fromFile.LoadFromFile(path);
    EXPECT_EQ(items(fromFile), expected);
    EXPECT_THROW(fromFile.LoadFromFile(dir.filePath("missing.txt")), EFOpenError);
    EXPECT_EQ(items(fromFile), expected) << "a failed load keeps the lines";
}

TEST(StringListFiles, LoadFromStreamReadsFromThePosition)
{
    TMemoryStream stream;
    const QByteArray bytes("skip|a\nb");
    stream.WriteBuffer(bytes.constData(), bytes.size());
    stream.SetPosition(5);
    TStringList list;
    list.LoadFromStream(&stream);
    EXPECT_EQ(items(list), (Items{"a", "b"}));
}

}  // namespace
