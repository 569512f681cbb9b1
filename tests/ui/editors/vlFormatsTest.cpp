// The format controller: format texts to items, the masks and display
// formats built from them, the currency format, item positions,
// listeners and the refresh on locale and translation changes.
#include "ui/editors/vlFormats.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QLocale>

#include "platform/controls/Forms.h"
#include "platform/rtl/LocaleFormats.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/SysUtils.h"
#include "tests/harness/Mutation.h"
#include "ui/editors/vlLibraryStrs.h"
#include "ui/editors/vlStandardMask.h"

namespace {

String S(const char* text) { return String::fromUtf8(text); }

using Items = std::vector<TvlDateTimeFormatItem>;

TvlDateTimeFormatItem I(TvlDateTimeItemKind kind, const char* data = "") { return {kind, S(data)}; }

std::string dump(const Items& items)
{
    static const char* kinds[] = {"lit", "Y", "M", "D", "H", "N", "S", "Z", "AP", "/", ":"};
    std::string out;
    for (const auto& item : items)
        out += std::string(kinds[item.Kind]) + "(" + item.Data.toStdString() + ") ";
    return out;
}

// True when every apostrophe outside an escape closes what it opened.
bool quotesBalanced(const String& mask)
{
    bool quoted = false;
    for (int i = 0; i < mask.size(); ++i) {
        if (!quoted && mask[i] == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (mask[i] == QLatin1Char('\''))
            quoted = !quoted;
    }
    return !quoted;
}

const char* smartTail =
    "'today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|'Thursday'|'Friday'|"
    "'Saturday'|'first'|'second'|'third'|'fourth'|'fifth'|'sixth'|'seventh'|'bom'|'eom'";
const char* offsetTail = ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
const char* shortMonths = "'Jan'|'Feb'|'Mar'|'Apr'|'May'|'Jun'|'Jul'|'Aug'|'Sep'|'Oct'|'Nov'|'Dec'";

class FormatsTest : public ::testing::Test {
protected:
    void SetUp() override { saved = FormatSettings; }
    void TearDown() override
    {
        FormatSettings = saved;
        SetResStringLoader({});
    }
    TFormatSettings saved;
};

TEST_F(FormatsTest, FormatTextsToItems)
{
    TFormatSettings fs = DefaultFormatSettings();
    fs.ShortDateFormat = S("dd/MM/yyyy");
    fs.LongTimeFormat = S("h:mm:ss AMPM");
    fs.ShortTimeFormat = S("hh:mm");
    fs.LongDateFormat = S("dddd, d MMMM yyyy");
    struct Case {
        const char* format;
        bool ok;
        Items items;
    } cases[] = {
        {"dd/MM/yyyy", true, {I(dtiDay, "DD"), I(dtiDateSeparator), I(dtiMonth, "MM"), I(dtiDateSeparator), I(dtiYear, "YYYY")}},
        {"HH:MM:SS", true, {I(dtiHour, "24HH"), I(dtiTimeSeparator), I(dtiMinute, "NN"), I(dtiTimeSeparator), I(dtiSecond, "SS")}},
        {"h:mm:ss AMPM", true,
         {I(dtiHour, "12H"), I(dtiTimeSeparator), I(dtiMinute, "NN"), I(dtiTimeSeparator), I(dtiSecond, "SS"),
          I(dtiLiteral, " "), I(dtiAmPm, "AMPM")}},
        {"hh:nn am/pm", true, {I(dtiHour, "12HH"), I(dtiTimeSeparator), I(dtiMinute, "NN"), I(dtiLiteral, " "), I(dtiAmPm, "am/pm")}},
        {"h A/P", true, {I(dtiHour, "12H"), I(dtiLiteral, " "), I(dtiAmPm, "A/P")}},
        // the second day token vanishes, the literals around it stay
        {"dddd, d MMMM yyyy", true,
         {I(dtiDay, "DDDD"), I(dtiLiteral, ",  "), I(dtiMonth, "MMMM"), I(dtiLiteral, " "), I(dtiYear, "YYYY")}},
        // AM/PM without an hour is dropped
        {"dd/MM/yyyy ampm", true,
         {I(dtiDay, "DD"), I(dtiDateSeparator), I(dtiMonth, "MM"), I(dtiDateSeparator), I(dtiYear, "YYYY"), I(dtiLiteral, " ")}},
        {"ddddd", true, {I(dtiDay, "DD"), I(dtiDateSeparator), I(dtiMonth, "MM"), I(dtiDateSeparator), I(dtiYear, "YYYY")}},
        {"t", true, {I(dtiHour, "24HH"), I(dtiTimeSeparator), I(dtiMinute, "NN")}},
        {"", true,
         {I(dtiDay, "DD"), I(dtiDateSeparator), I(dtiMonth, "MM"), I(dtiDateSeparator), I(dtiYear, "YYYY"), I(dtiLiteral, " "),
          I(dtiHour, "12H"), I(dtiTimeSeparator), I(dtiMinute, "NN"), I(dtiTimeSeparator), I(dtiSecond, "SS"), I(dtiLiteral, " "), I(dtiAmPm, "AMPM")}},
        {"yy'y is 'mmm\"x", true, {I(dtiYear, "YY"), I(dtiLiteral, "y is "), I(dtiMonth, "MMM"), I(dtiLiteral, "x")}},
        {"aaa zzzz e b", true,
         {I(dtiDay, "DDD"), I(dtiLiteral, " "), I(dtiMillisecond, "ZZZ"), I(dtiLiteral, " "), I(dtiYear, "YY"), I(dtiLiteral, " b")}},
        {"gg yyyy/MM/dd", false, {}},
        {"dddddd", true, {}},  // the long date inside a long date: depth 2 adds nothing
    };
    cases[std::size(cases) - 1].items = cases[5].items;
    for (const Case& c : cases) {
        TvlDateTimeFormatInfo info;
        EXPECT_EQ(ParseDateTimeFormat(S(c.format), info, fs), c.ok) << c.format;
        EXPECT_EQ(dump(info.Items), dump(c.items)) << c.format;
        for (const auto& item : c.items)
            EXPECT_TRUE(info.DefinedItems[item.Kind]) << c.format;
    }
    TvlDateTimeFormatInfo info;
    ParseDateTimeFormat(S("dd/MM/yyyy ampm"), info, fs);
    EXPECT_FALSE(info.DefinedItems[dtiAmPm]);
}

struct FormatFixture {
    const char* name;
    const char* shortDate;
    const char* longTime;
    char16_t dateSeparator;
    const char* dateStandardMask;
    const char* dateTimeStandardMask;
    const char* dateDisplay;
    const char* dateTimeDisplay;
    const char* dateRegExpr;      // the date part, before the smart words
    const char* timeRegExpr;      // the time part of the date-time mask
};

TEST_F(FormatsTest, MasksAndDisplayFormatsOfLocaleFixtures)
{
    const FormatFixture fixtures[] = {
        {"day first", "dd/MM/yyyy", "HH:MM:SS", u'/', "!99/99/9999;1; ", "!99/99/9999\\ 99:99:99;1; ", "dd/mm/yyyy",
         "dd/mm/yyyy' 'hh:nn:ss", "([012]?[1-9]|[123]0|31)\\/((0?[1-9]|1[012])|(%M))\\/\\d\\d\\d\\d",
         "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d"},
        {"month first with AM/PM", "M/d/yyyy", "h:mm:ss AMPM", u'/', "!99/99/9999;1; ", "!99/99/9999\\ 99:99:99\\ cc;1; ",
         "mm/dd/yyyy", "mm/dd/yyyy' 'hh:nn:ss' 'ampm", "((0?[1-9]|1[012])|(%M))\\/([012]?[1-9]|[123]0|31)\\/\\d\\d\\d\\d",
         "(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?"},
        {"long date", "dddd, d MMMM yyyy", "HH:MM:SS", u'/', "!lll\\,\\ \\ lll\\ 9999;1; ",
         "!lll\\,\\ \\ lll\\ 9999\\ 99:99:99;1; ", "ddd',  'mmm' 'yyyy", "ddd',  'mmm' 'yyyy' 'hh:nn:ss",
         "([012]?[1-9]|[123]0|31)',  '((0?[1-9]|1[012])|('January'|'February'|'March'|'April'|'May'|'June'|'July'|"
         "'August'|'September'|'October'|'November'|'December'))' '\\d\\d\\d\\d",
         "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d"},
        {"blank separator", "dd/MM/yy", "HH:MM:SS", u' ', "!99/99/99;1; ", "!99/99/99\\ 99:99:99;1; ", "dd/mm/yy",
         "dd/mm/yy' 'hh:nn:ss", "([012]?[1-9]|[123]0|31)' '((0?[1-9]|1[012])|(%M))' '\\d\\d",
         "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d"},
        {"null separator", "dd/MM/yyyy", "HH:MM:SS", u'\0', "!99/99/9999;1; ", "!99/99/9999\\ 99:99:99;1; ",
         "dd/mm/yyyy", "dd/mm/yyyy' 'hh:nn:ss", "([012]?[1-9]|[123]0|31)((0?[1-9]|1[012])|(%M))\\d\\d\\d\\d",
         "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d"},
        {"letter separator", "dd/MM/yyyy", "HH:MM:SS", u'x', "!99/99/9999;1; ", "!99/99/9999\\ 99:99:99;1; ",
         "dd/mm/yyyy", "dd/mm/yyyy' 'hh:nn:ss", "([012]?[1-9]|[123]0|31)'x'((0?[1-9]|1[012])|(%M))'x'\\d\\d\\d\\d",
         "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d"},
        {"era", "gg yyyy/MM/dd", "HH:MM:SS", u'/', "", "", "", "", "", "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d"},
        {"apostrophes", "dd\"'\"MMM/yyyy", "HH:MM:SS", u'/', "!99\\'lll/9999;1; ", "!99\\'lll/9999\\ 99:99:99;1; ",
         "dd\"'\"mmm/yyyy", "dd\"'\"mmm/yyyy' 'hh:nn:ss",
         "([012]?[1-9]|[123]0|31)\\'((0?[1-9]|1[012])|('Jan'|'Feb'|'Mar'|'Apr'|'May'|'Jun'|'Jul'|'Aug'|'Sep'|'Oct'|"
         "'Nov'|'D'\\''c'))\\/\\d\\d\\d\\d",
         "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d"},
    };
    for (const FormatFixture& f : fixtures) {
        SCOPED_TRACE(f.name);
        FormatSettings = DefaultFormatSettings();
        FormatSettings.ShortDateFormat = S(f.shortDate);
        FormatSettings.LongTimeFormat = S(f.longTime);
        FormatSettings.DateSeparator = QChar(f.dateSeparator);
        FormatSettings.ShortMonthNames[11] = S("D'c");
        TvlFormatController controller;
        EXPECT_EQ(controller.DateStandardMask(), S(f.dateStandardMask));
        EXPECT_EQ(controller.DateTimeStandardMask(), S(f.dateTimeStandardMask));
        EXPECT_EQ(controller.DateMaskDisplayFormat(), S(f.dateDisplay));
        EXPECT_EQ(controller.DateTimeMaskDisplayFormat(), S(f.dateTimeDisplay));
        String dateRegExpr = S(f.dateRegExpr);
        dateRegExpr.replace(QStringLiteral("%M"), S(shortMonths).replace(QStringLiteral("'Dec'"), QStringLiteral("'D'\\''c'")));
        EXPECT_EQ(controller.DateRegExprMask(), QLatin1Char('(') + dateRegExpr + S(")|(") + S(smartTail) + S(offsetTail));
        EXPECT_EQ(controller.DateTimeRegExprMask(), QLatin1Char('(') + dateRegExpr + S(" ' '(") + S(f.timeRegExpr) + S(")?)|(") +
                                                        S(smartTail) + S("|'now'") + S(offsetTail));
        EXPECT_TRUE(quotesBalanced(controller.DateRegExprMask()));
        EXPECT_TRUE(quotesBalanced(controller.DateTimeRegExprMask()));

        // the date mask holds exactly the positions the item lengths say
        TvlStandardMask mask;
        mask.SetMaskText(controller.DateStandardMask());
        EXPECT_EQ(mask.ItemCount(), controller.GetDateTimeStandardMaskStringLength(controller.ShortDateItems()));
    }
}

TEST_F(FormatsTest, PaddedShortDate)
{
    const char* cases[][2] = {{"M/d/yyyy", "MM/dd/yyyy"}, {"dd/MM/yyyy", "dd/MM/yyyy"}, {"d.M.yy", "dd.MM.yy"},
                              {"ddd d", "ddd dd"}, {"D/m", "D/m"}};
    for (const auto& c : cases) {
        FormatSettings.ShortDateFormat = S(c[0]);
        TvlFormatController controller;
        EXPECT_EQ(controller.PaddedShortDateFormat(), S(c[1])) << c[0];
    }
}

TEST_F(FormatsTest, CurrencyFormats)
{
    const char* negatives[16] = {"($,0.00)",  "-$,0.00",   "$-,0.00",   "$,0.00-",   "(,0.00$)",  "-,0.00$",
                                 ",0.00-$",   ",0.00$-",   "-,0.00 $",  "-$ ,0.00",  ",0.00 $-",  "$ ,0.00-",
                                 "$ -,0.00",  ",0.00- $",  "($ ,0.00)", "(,0.00 $)"};
    const char* positives[4] = {"$,0.00", ",0.00$", "$ ,0.00", ",0.00 $"};
    for (int n = 0; n < 16; ++n) {
        FormatSettings.CurrencyFormat = uint8_t(n % 4);
        FormatSettings.NegCurrFormat = uint8_t(n);
        TvlFormatController controller;
        EXPECT_EQ(controller.CurrencyDisplayFormat(), S(positives[n % 4]) + QLatin1Char(';') + S(negatives[n])) << n;
    }
    FormatSettings.CurrencyString = S("kr.,");
    FormatSettings.CurrencyDecimals = 0;
    FormatSettings.CurrencyFormat = 3;
    FormatSettings.NegCurrFormat = 8;
    TvlFormatController controller;
    EXPECT_EQ(controller.CurrencyDisplayFormat(), S(",0. kr'.'',';-,0. kr'.'','"));
}

TEST_F(FormatsTest, ItemPositionsInTheMaskedText)
{
    FormatSettings = DefaultFormatSettings();  // M/d/yyyy h:mm:ss AMPM
    FormatSettings.TimeAMString = S("a.m.");
    TvlFormatController controller;
    const TvlDateTimeFormatInfo& items = controller.DateTimeItems();
    // "MM/DD/YYYY HH:NN:SS AMPM" with AM/PM as wide as "a.m."
    EXPECT_EQ(controller.GetDateTimeStandardMaskStringLength(items), 24);
    struct Case {
        int pos;
        bool found;
        TvlDateTimeItemKind kind;
        int start;
        int length;
    } cases[] = {{0, false, dtiLiteral, 0, 0},       {1, true, dtiMonth, 1, 2},     {2, true, dtiMonth, 1, 2},
                 {3, true, dtiDateSeparator, 3, 1},   {10, true, dtiYear, 7, 4},     {11, true, dtiLiteral, 11, 1},
                 {12, true, dtiHour, 12, 2},          {21, true, dtiAmPm, 21, 4},    {24, true, dtiAmPm, 21, 4},
                 {25, false, dtiLiteral, 0, 0}};
    for (const Case& c : cases) {
        TvlFormatStandardMaskItemInfo info;
        ASSERT_EQ(controller.GetDateTimeFormatItemStandardMaskInfo(items, c.pos, info), c.found) << c.pos;
        if (!c.found)
            continue;
        EXPECT_EQ(info.Kind, c.kind) << c.pos;
        EXPECT_EQ(info.Start, c.start) << c.pos;
        EXPECT_EQ(info.Length, c.length) << c.pos;
    }
    TvlFormatStandardMaskItemInfo info;
    ASSERT_TRUE(controller.GetDateTimeFormatItemStandardMaskInfo(items, 22, info));
    EXPECT_EQ(info.AmPmForm, apfLocale);
    EXPECT_FALSE(controller.GetDateTimeFormatItemStandardMaskInfo(TvlDateTimeFormatInfo{}, 1, info));
    EXPECT_EQ(controller.DateTimeStandardMask(), S("!99/99/9999\\ 99:99:99\\ cccc;1; "));

    TvlDateTimeFormatInfo letters;
    ParseDateTimeFormat(S("h:nn:ss.zzz A/P"), letters);
    EXPECT_EQ(controller.GetDateTimeStandardMaskStringLength(letters), 11);  // the milliseconds take no room
    ASSERT_TRUE(controller.GetDateTimeFormatItemStandardMaskInfo(letters, 11, info));
    EXPECT_EQ(info.AmPmForm, apfLetter);
}

class RecordingListener : public IvlFormatChangeListener {
public:
    explicit RecordingListener(std::vector<int>& log, int id) : FLog(log), FId(id) {}
    void FormatChanged() override { FLog.push_back(FId); }

protected:
    std::vector<int>& FLog;
    int FId;
};

class ClockListener : public RecordingListener, public IvlTimeChangeListener {
public:
    using RecordingListener::RecordingListener;
    void TimeChanged() override { FLog.push_back(-FId); }
};

TEST_F(FormatsTest, ListenersHearChangesInOrder)
{
    std::vector<int> log;
    RecordingListener a(log, 1);
    ClockListener b(log, 2);
    TvlFormatController controller;
    controller.AddListener(&a);
    controller.AddListener(&b);
    controller.AddListener(&a);
    EXPECT_EQ(controller.ListenerCount(), 2);
    controller.TranslationChanged();
    controller.SystemTimeChanged();
    EXPECT_EQ(log, (std::vector<int>{1, 2, -2}));
    controller.RemoveListener(&a);
    controller.RemoveListener(&a);
    log.clear();
    controller.TranslationChanged();
    EXPECT_EQ(log, (std::vector<int>{2}));
    controller.RemoveListener(&b);
    EXPECT_EQ(controller.ListenerCount(), 0);
}

TEST_F(FormatsTest, TranslatedSmartWordsReachTheMasks)
{
    TvlFormatController controller;
    SetResStringLoader([](const TResStringRec& rec) {
        if (String::fromLatin1(rec.Name) == QLatin1String("vlSDateToday"))
            return S("aujourd'hui");
        return String();
    });
    controller.TranslationChanged();
    EXPECT_TRUE(controller.DateRegExprMask().contains(S("|('aujourd'\\''hui'|'yesterday'|")));
    EXPECT_TRUE(quotesBalanced(controller.DateRegExprMask()));
}

TEST_F(FormatsTest, TheProgramsFixedFormatsSurviveALocaleChange)
{
    const QLocale savedLocale;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    SetFixedTimeFormats(S("HH:MM:SS"), u':', u'.');
    TvlFormatController controller;
    controller.LocaleChanged();
    EXPECT_EQ(FormatSettings.LongTimeFormat, S("HH:MM:SS"));
    EXPECT_EQ(FormatSettings.TimeSeparator, QChar(u':'));
    EXPECT_EQ(FormatSettings.DecimalSeparator, QChar(u'.'));
    EXPECT_EQ(FormatSettings.DateSeparator, QChar(u'.'));  // the rest is the locale's
    EXPECT_EQ(dump(controller.LongTimeItems().Items), "H(24HH) :() N(NN) :() S(SS) ");
    EXPECT_EQ(controller.DateStandardMask(), S("!99/99/99;1; "));  // dd.MM.yy
    SetFixedTimeFormats(String(), QChar(), QChar());
    QLocale::setDefault(savedLocale);
}

// The application's locale change reaches the controller only while it has
// listeners, and only while the application updates its format settings.
TEST_F(FormatsTest, TheApplicationsLocaleChangeRebuildsTheFormats)
{
    const QLocale savedLocale;
    auto sendLocaleChange = [] {
        QEvent event(QEvent::LocaleChange);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &event);
    };
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    GetFormatSettings();
    std::vector<int> log;
    RecordingListener listener(log, 1);
    TvlFormatController controller;
    EXPECT_EQ(controller.DateMaskDisplayFormat(), S("mm/dd/yy"));  // M/d/yy
    EXPECT_FALSE(controller.WatchesLocaleChanges());

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    sendLocaleChange();  // nobody listens: nothing is rebuilt
    EXPECT_EQ(controller.DateMaskDisplayFormat(), S("mm/dd/yy"));

    controller.AddListener(&listener);
    EXPECT_TRUE(controller.WatchesLocaleChanges());
    {
        TApplication application(nullptr);
        application.SetUpdateFormatSettings(false);
        sendLocaleChange();
        EXPECT_TRUE(log.empty());
        application.SetUpdateFormatSettings(true);
        sendLocaleChange();
    }
    EXPECT_EQ(log, (std::vector<int>{1}));
    EXPECT_EQ(FormatSettings.DateSeparator, QChar(u'.'));
    EXPECT_EQ(controller.DateMaskDisplayFormat(), S("dd/mm/yy"));  // dd.MM.yy

    controller.RemoveListener(&listener);
    EXPECT_FALSE(controller.WatchesLocaleChanges());
    controller.AddListener(&listener);  // watching again
    QLocale::setDefault(savedLocale);
    sendLocaleChange();
    EXPECT_EQ(log, (std::vector<int>{1, 1}));
    controller.RemoveListener(&listener);
    GetFormatSettings();
}

TEST_F(FormatsTest, FixedSeedMutationsOfFormatTexts)
{
    const std::vector<QByteArray> seeds = {"dddd, d MMMM yyyy", "h:mm:ss AMPM", "yy'lit'\"q\"c t tt", "A/P am/pm aaaa ddddd"};
    const TFormatSettings fs = DefaultFormatSettings();
    TvlFormatController controller;
    vorlane::test::ForEachMutation(seeds, 34, 2000, [&](const QByteArray& mutant) {
        TvlDateTimeFormatInfo info;
        if (!ParseDateTimeFormat(String::fromUtf8(mutant), info, fs)) {
            EXPECT_TRUE(info.Items.empty());
            return;
        }
        TvlStandardMask mask;
        mask.SetMaskText(controller.BuildStandardMask(info));
        if (!info.Items.empty()) {
            EXPECT_EQ(mask.ItemCount(), controller.GetDateTimeStandardMaskStringLength(info));
        }
        EXPECT_TRUE(quotesBalanced(controller.BuildRegExprMask(info, false)));
        EXPECT_TRUE(quotesBalanced(controller.BuildRegExprMask(info, true)));
        controller.BuildMaskDisplayFormat(info);
    });
}

}  // namespace
