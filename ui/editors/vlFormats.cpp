#include "ui/editors/vlFormats.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
#include <memory>

#include "platform/controls/AppEventHooks.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/LocaleFormats.h"
#include "platform/rtl/Startup.h"
#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlLibraryStrs.h"
#include "ui/foundation/vlClasses.h"

// ---- parsing format texts ------------------------------------------------------

namespace {

class TFormatParser {
public:
    TFormatParser(TvlDateTimeFormatInfo& AInfo, const TFormatSettings& ASettings) : FInfo(AInfo), FSettings(ASettings) {}

    bool Run(const String& AFormat)
    {
        FInfo = {};
        if (!ParseLevel(AFormat.isEmpty() ? String(QLatin1Char('C')) : AFormat, 0)) {
            FInfo = {};
            return false;
        }
        PostPass();
        return true;
    }

private:
    void AddItem(TvlDateTimeItemKind AKind, const String& AData)
    {
        if (AKind == dtiLiteral) {
            if (!FInfo.Items.empty() && FInfo.Items.back().Kind == dtiLiteral)
                FInfo.Items.back().Data += AData;
            else
                FInfo.Items.push_back({dtiLiteral, AData});
            FInfo.DefinedItems[dtiLiteral] = true;
            return;
        }
        if (AKind >= dtiYear && AKind <= dtiAmPm && FInfo.DefinedItems[AKind])
            return;  // the first token of a kind wins
        FInfo.Items.push_back({AKind, AData});
        FInfo.DefinedItems[AKind] = true;
    }

    bool ParseLevel(const String& F, int ADepth)
    {
        if (ADepth >= 2)
            return true;
        bool sawHour = false;
        bool sawAmPm = false;
        QChar lastLetter = QLatin1Char(' ');
        const int n = int(F.size());
        int i = 0;
        auto runAt = [&](int at) {
            int r = 1;
            while (at + r < n && F[at + r] == F[at])
                ++r;
            return r;
        };
        auto startsWithNoCase = [&](int at, const char* word) {
            const String w = String::fromLatin1(word);
            return at + w.size() <= n && F.mid(at, w.size()).compare(w, Qt::CaseInsensitive) == 0;
        };
        while (i < n) {
            const QChar original = F[i];
            QChar c = original;
            if (c.unicode() >= u'a' && c.unicode() <= u'z')
                c = QChar(char16_t(c.unicode() - 32));
            const bool letter = c.unicode() >= u'A' && c.unicode() <= u'Z';
            if (letter) {
                if (c == QLatin1Char('M') && lastLetter == QLatin1Char('H'))
                    c = QLatin1Char('N');
                lastLetter = c;
            }
            const int run = runAt(i);
            switch (c.unicode()) {
            case u'\'':
            case u'"': {
                int j = i + 1;
                while (j < n && F[j] != original)
                    ++j;
                if (j > i + 1)
                    AddItem(dtiLiteral, F.mid(i + 1, j - i - 1));
                i = std::min(j + 1, n);
                continue;
            }
            case u'/':
                AddItem(dtiDateSeparator, {});
                ++i;
                continue;
            case u':':
                AddItem(dtiTimeSeparator, {});
                ++i;
                continue;
            case u'A':
                if (startsWithNoCase(i, "AM/PM")) {
                    AddItem(dtiAmPm, F.mid(i, 5));
                    sawAmPm = true;
                    i += 5;
                } else if (startsWithNoCase(i, "A/P")) {
                    AddItem(dtiAmPm, F.mid(i, 3));
                    sawAmPm = true;
                    i += 3;
                } else if (startsWithNoCase(i, "AMPM")) {
                    AddItem(dtiAmPm, QStringLiteral("AMPM"));
                    sawAmPm = true;
                    i += 4;
                } else if (startsWithNoCase(i, "AAAA")) {
                    AddItem(dtiDay, QStringLiteral("DDDD"));
                    i += 4;
                } else if (startsWithNoCase(i, "AAA")) {
                    AddItem(dtiDay, QStringLiteral("DDD"));
                    i += 3;
                } else {
                    AddItem(dtiLiteral, String(original));
                    ++i;
                }
                continue;
            case u'C':
                i += run;
                if (!ParseLevel(FSettings.ShortDateFormat, ADepth + 1))
                    return false;
                AddItem(dtiLiteral, QStringLiteral(" "));
                if (!ParseLevel(FSettings.LongTimeFormat, ADepth + 1))
                    return false;
                continue;
            case u'D':
                i += run;
                if (run <= 4)
                    AddItem(dtiDay, String(run, QLatin1Char('D')));
                else if (!ParseLevel(run == 5 ? FSettings.ShortDateFormat : FSettings.LongDateFormat, ADepth + 1))
                    return false;
                continue;
            case u'E':
            case u'Y':
                i += run;
                AddItem(dtiYear, run <= 2 ? QStringLiteral("YY") : QStringLiteral("YYYY"));
                continue;
            case u'G':
                return false;
            case u'H':
                i += run;
                AddItem(dtiHour, String(std::min(run, 2), QLatin1Char('H')));
                sawHour = true;
                continue;
            case u'M':
                i += run;
                AddItem(dtiMonth, String(std::min(run, 4), QLatin1Char('M')));
                continue;
            case u'N':
                i += run;
                AddItem(dtiMinute, String(std::min(run, 2), QLatin1Char('N')));
                continue;
            case u'S':
                i += run;
                AddItem(dtiSecond, String(std::min(run, 2), QLatin1Char('S')));
                continue;
            case u'Z':
                i += run;
                AddItem(dtiMillisecond, String(std::min(run, 3), QLatin1Char('Z')));
                continue;
            case u'T':
                i += run;
                if (!ParseLevel(run == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, ADepth + 1))
                    return false;
                continue;
            default:
                AddItem(dtiLiteral, String(original));
                ++i;
            }
        }
        if (sawHour)
            FTwelveHour = sawAmPm;
        return true;
    }

    void PostPass()
    {
        auto find = [this](TvlDateTimeItemKind kind) {
            return std::find_if(FInfo.Items.begin(), FInfo.Items.end(), [kind](const auto& item) { return item.Kind == kind; });
        };
        const auto hour = find(dtiHour);
        if (hour != FInfo.Items.end()) {
            hour->Data.prepend(FTwelveHour ? QStringLiteral("12") : QStringLiteral("24"));
            return;
        }
        const auto ampm = find(dtiAmPm);
        if (ampm != FInfo.Items.end()) {
            FInfo.Items.erase(ampm);
            FInfo.DefinedItems[dtiAmPm] = false;
        }
    }

    TvlDateTimeFormatInfo& FInfo;
    const TFormatSettings& FSettings;
    bool FTwelveHour = false;
};

bool isTwoLetterAmPm(const String& AData) { return AData.toUpper() == QLatin1String("AM/PM"); }
bool isLetterAmPm(const String& AData) { return AData.toUpper() == QLatin1String("A/P"); }

int localeAmPmLength()
{
    return int(std::max(FormatSettings.TimeAMString.size(), FormatSettings.TimePMString.size()));
}

String regExprSeparator(QChar ASeparator)
{
    if (ASeparator.isNull())
        return {};
    if (ASeparator == QLatin1Char(' '))
        return QStringLiteral("' '");
    // A backslash before a letter or digit would make a class, an escape or
    // a group reference of it: such a separator is quoted instead.
    if (ASeparator.isLetterOrNumber())
        return vlQuoteRegExprText(String(ASeparator));
    return QStringLiteral("\\") + ASeparator;
}

// A literal of a display format: between apostrophes, or between double
// quotes when it holds an apostrophe, so the runtime formatter reads it back.
String displayLiteral(const String& AText)
{
    if (AText.contains(QLatin1Char('\'')) && !AText.contains(QLatin1Char('"')))
        return QLatin1Char('"') + AText + QLatin1Char('"');
    String result;
    for (const QChar c : AText) {
        if (c == QLatin1Char('\''))
            result += QStringLiteral("'\"'\"'");  // close, a quoted apostrophe, reopen
        else
            result += c;
    }
    return QLatin1Char('\'') + result + QLatin1Char('\'');
}

String smartWordTail(bool AWithNow)
{
    String words;
    const int count = AWithNow ? 20 : 19;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            words += QLatin1Char('|');
        words += vlQuoteRegExprText(GetResourceString(*vlLibraryStrs::vlSmartDateWordsTable[i]));
    }
    return words;
}

std::unique_ptr<TvlFormatController>& controllerInstance()
{
    static std::unique_ptr<TvlFormatController> instance;
    return instance;
}

TvlFormatController* globalController = nullptr;

}  // namespace

bool ParseDateTimeFormat(const String& AFormat, TvlDateTimeFormatInfo& AInfo, const TFormatSettings& ASettings)
{
    return TFormatParser(AInfo, ASettings).Run(AFormat);
}

bool ParseDateTimeFormat(const String& AFormat, TvlDateTimeFormatInfo& AInfo)
{
    return ParseDateTimeFormat(AFormat, AInfo, FormatSettings);
}

String vlQuoteRegExprText(const String& AText)
{
    String result;
    String run;
    auto flush = [&] {
        if (!run.isEmpty())
            result += QLatin1Char('\'') + run + QLatin1Char('\'');
        run.clear();
    };
    for (const QChar c : AText) {
        if (c == QLatin1Char('\'')) {
            flush();
            result += QStringLiteral("\\'");
        } else {
            run += c;
        }
    }
    flush();
    return result;
}

// ---- the controller ------------------------------------------------------------

TvlFormatController* vlFormatController()
{
    // The repository first: the controller leaves it when it goes, so it must outlive it.
    GetResourceStringsRepository();
    auto& instance = controllerInstance();
    if (!instance)
        instance = std::make_unique<TvlFormatController>();
    return instance.get();
}

TvlFormatController* vlFormatControllerAssigned()
{
    return controllerInstance().get();
}

TvlFormatController::TvlFormatController()
{
    RefreshFormats();
    GetResourceStringsRepository()->AddListener(this);
}

TvlFormatController::~TvlFormatController()
{
    if (FLocaleHook != 0)
        RemoveAppEventHook(FLocaleHook);
    GetResourceStringsRepository()->RemoveListener(this);
    if (globalController == this)
        globalController = nullptr;
}

void TvlFormatController::AddListener(IvlFormatChangeListener* AListener)
{
    if (AListener == nullptr || std::find(FListeners.begin(), FListeners.end(), AListener) != FListeners.end())
        return;
    FListeners.push_back(AListener);
    if (FLocaleHook == 0)
        FLocaleHook = AddAppEventHook([this](QObject* receiver, QEvent* event) {
            if (event->type() == QEvent::LocaleChange && receiver == QCoreApplication::instance())
                LocaleChanged();
            return false;
        });
}

void TvlFormatController::RemoveListener(IvlFormatChangeListener* AListener)
{
    std::erase(FListeners, AListener);
    if (FListeners.empty()) {
        RemoveAppEventHook(FLocaleHook);
        FLocaleHook = 0;
    }
}

void TvlFormatController::NotifyFormatChanged()
{
    // A listener may leave the list while it hears the change.
    const std::vector<IvlFormatChangeListener*> listeners = FListeners;
    for (IvlFormatChangeListener* listener : listeners)
        if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end())
            listener->FormatChanged();
}

void TvlFormatController::LocaleChanged()
{
    if (Application != nullptr && !Application->UpdateFormatSettings())
        return;
    try {
        GetFormatSettings();
        RefreshFormats();
        NotifyFormatChanged();
    } catch (const Exception&) {
        if (Application != nullptr)
            Application->HandleException(nullptr);
    }
}

void TvlFormatController::SystemTimeChanged()
{
    try {
        const std::vector<IvlFormatChangeListener*> listeners = FListeners;
        for (IvlFormatChangeListener* listener : listeners)
            if (auto* timeListener = dynamic_cast<IvlTimeChangeListener*>(listener))
                timeListener->TimeChanged();
    } catch (const Exception&) {
        if (Application != nullptr)
            Application->HandleException(nullptr);
    }
}

void TvlFormatController::TranslationChanged()
{
    RefreshFormats();
    NotifyFormatChanged();
}

void TvlFormatController::RefreshFormats()
{
    if (globalController == nullptr)
        globalController = this;
    if (!FCurrencyDisplayFormatAssigned)
        FCurrencyDisplayFormat = BuildCurrencyFormat();
    const String& shortDate = FormatSettings.ShortDateFormat;
    FPaddedShortDateFormat.clear();
    for (int i = 0; i < shortDate.size(); ++i) {
        const QChar c = shortDate[i];
        FPaddedShortDateFormat += c;
        if (c == QLatin1Char('d') || c == QLatin1Char('M')) {
            const bool before = i > 0 && shortDate[i - 1] == c;
            const bool after = i + 1 < shortDate.size() && shortDate[i + 1] == c;
            if (!before && !after)
                FPaddedShortDateFormat += c;
        }
    }
    BuildDateTimeMasks();
}

int TvlFormatController::GetStartOfWeek() const
{
    return GetFirstDayOfWeek();
}

String TvlFormatController::BuildCurrencyFormat() const
{
    const TFormatSettings& fs = FormatSettings;
    const String number = QStringLiteral(",0.") + String(fs.CurrencyDecimals, QLatin1Char('0'));
    String currency;
    for (const QChar c : fs.CurrencyString) {
        if (c == QLatin1Char(',') || c == QLatin1Char('.'))
            currency += QLatin1Char('\'') + c + QLatin1Char('\'');
        else
            currency += c;
    }
    const String& C = currency;
    const String& N = number;
    const String blank = QStringLiteral(" ");
    const String minus = QStringLiteral("-");
    String positive;
    switch (fs.CurrencyFormat) {
    case 0: positive = C + N; break;
    case 1: positive = N + C; break;
    case 2: positive = C + blank + N; break;
    default: positive = N + blank + C; break;
    }
    String negative;
    switch (fs.NegCurrFormat) {
    case 0: negative = QLatin1Char('(') + C + N + QLatin1Char(')'); break;
    case 1: negative = minus + C + N; break;
    case 2: negative = C + minus + N; break;
    case 3: negative = C + N + minus; break;
    case 4: negative = QLatin1Char('(') + N + C + QLatin1Char(')'); break;
    case 5: negative = minus + N + C; break;
    case 6: negative = N + minus + C; break;
    case 7: negative = N + C + minus; break;
    case 8: negative = minus + N + blank + C; break;
    case 9: negative = minus + C + blank + N; break;
    case 10: negative = N + blank + C + minus; break;
    case 11: negative = C + blank + N + minus; break;
    case 12: negative = C + blank + minus + N; break;
    case 13: negative = N + minus + blank + C; break;
    case 14: negative = QLatin1Char('(') + C + blank + N + QLatin1Char(')'); break;
    default: negative = QLatin1Char('(') + N + blank + C + QLatin1Char(')'); break;
    }
    return positive + QLatin1Char(';') + negative;
}

void TvlFormatController::BuildDateTimeMasks()
{
    const TFormatSettings& fs = FormatSettings;
    ParseDateTimeFormat(fs.ShortDateFormat, FShortDateItems, fs);
    ParseDateTimeFormat(fs.LongTimeFormat, FLongTimeItems, fs);
    ParseDateTimeFormat(fs.ShortDateFormat + QLatin1Char(' ') + fs.LongTimeFormat, FDateTimeItems, fs);

    FDateStandardMaskAsBuilt = BuildStandardMask(FShortDateItems);
    if (!FDateStandardMaskAssigned)
        FDateStandardMask = FDateStandardMaskAsBuilt;
    if (!FDateRegExprMaskAssigned)
        FDateRegExprMask = QLatin1Char('(') + BuildRegExprMask(FShortDateItems, false) + QStringLiteral(")|(") +
                           smartWordTail(false) + QStringLiteral(")((\\+|-)\\d(\\d(\\d\\d?)?)?)?");
    if (!FDateTimeRegExprMaskAssigned)
        FDateTimeRegExprMask = QLatin1Char('(') + BuildRegExprMask(FShortDateItems, false) + QStringLiteral(" ' '(") +
                               BuildRegExprMask(FLongTimeItems, true) + QStringLiteral(")?") + QStringLiteral(")|(") +
                               smartWordTail(true) + QStringLiteral(")((\\+|-)\\d(\\d(\\d\\d?)?)?)?");
    if (!FDateTimeStandardMaskAssigned)
        FDateTimeStandardMask = BuildStandardMask(FDateTimeItems);
    FDateMaskDisplayFormat = BuildMaskDisplayFormat(FShortDateItems);
    FDateTimeMaskDisplayFormat = BuildMaskDisplayFormat(FDateTimeItems);
}

String TvlFormatController::BuildStandardMask(const TvlDateTimeFormatInfo& AFormatInfo) const
{
    if (AFormatInfo.Items.empty())
        return {};
    String mask = QStringLiteral("!");
    for (const TvlDateTimeFormatItem& item : AFormatInfo.Items) {
        switch (item.Kind) {
        case dtiLiteral:
            for (const QChar c : item.Data)
                mask += QLatin1Char('\\') + c;
            break;
        case dtiYear:
            mask += item.Data == QLatin1String("YY") ? QStringLiteral("99") : QStringLiteral("9999");
            break;
        case dtiMonth:
        case dtiDay:
            mask += item.Data.size() >= 3 ? QStringLiteral("lll") : QStringLiteral("99");
            break;
        case dtiHour:
        case dtiMinute:
        case dtiSecond:
            mask += QStringLiteral("99");
            break;
        case dtiMillisecond:
            break;
        case dtiAmPm:
            if (isLetterAmPm(item.Data))
                mask += QLatin1Char('c');
            else if (isTwoLetterAmPm(item.Data))
                mask += QStringLiteral("cc");
            else
                mask += String(localeAmPmLength(), QLatin1Char('c'));
            break;
        case dtiDateSeparator:
            mask += QLatin1Char('/');
            break;
        case dtiTimeSeparator:
            mask += QLatin1Char(':');
            break;
        }
    }
    return mask + QStringLiteral(";1; ");
}

String TvlFormatController::BuildRegExprMask(const TvlDateTimeFormatInfo& AFormatInfo, bool ATimePieces) const
{
    String mask;
    for (const TvlDateTimeFormatItem& item : AFormatInfo.Items) {
        if (item.Kind == dtiLiteral) {
            mask += vlQuoteRegExprText(item.Data);
            continue;
        }
        if (!ATimePieces) {
            switch (item.Kind) {
            case dtiYear:
                mask += item.Data == QLatin1String("YY") ? QStringLiteral("\\d\\d") : QStringLiteral("\\d\\d\\d\\d");
                break;
            case dtiMonth: {
                mask += QStringLiteral("((0?[1-9]|1[012])|(");
                const auto& names = item.Data == QLatin1String("MMMM") ? FormatSettings.LongMonthNames
                                                                       : FormatSettings.ShortMonthNames;
                for (size_t m = 0; m < names.size(); ++m) {
                    if (m > 0)
                        mask += QLatin1Char('|');
                    mask += vlQuoteRegExprText(names[m]);
                }
                mask += QStringLiteral("))");
                break;
            }
            case dtiDay:
                mask += QStringLiteral("([012]?[1-9]|[123]0|31)");
                break;
            case dtiDateSeparator:
                mask += regExprSeparator(FormatSettings.DateSeparator);
                break;
            default:
                break;
            }
            continue;
        }
        switch (item.Kind) {
        case dtiHour:
            mask += item.Data.startsWith(QLatin1String("12")) ? QStringLiteral("(0?[1-9]|1[012])")
                                                              : QStringLiteral("([01]?\\d|2[0-3])");
            break;
        case dtiMinute:
        case dtiSecond:
            mask += QStringLiteral("[0-5]?\\d");
            break;
        case dtiAmPm:
            if (isLetterAmPm(item.Data)) {
                mask += QStringLiteral("(A|P)?");
            } else if (isTwoLetterAmPm(item.Data)) {
                mask += QStringLiteral("(AM|PM)?");
            } else {
                const String& am = FormatSettings.TimeAMString;
                const String& pm = FormatSettings.TimePMString;
                if (!am.isEmpty() && !pm.isEmpty())
                    mask += QLatin1Char('(') + vlQuoteRegExprText(am) + QLatin1Char('|') + vlQuoteRegExprText(pm) +
                            QStringLiteral(")?");
                else if (!am.isEmpty() || !pm.isEmpty())
                    mask += QLatin1Char('(') + vlQuoteRegExprText(am + pm) + QStringLiteral(")?");
            }
            break;
        case dtiTimeSeparator:
            mask += regExprSeparator(FormatSettings.TimeSeparator);
            break;
        default:
            break;
        }
    }
    return mask;
}

String TvlFormatController::BuildMaskDisplayFormat(const TvlDateTimeFormatInfo& AFormatInfo) const
{
    String format;
    for (const TvlDateTimeFormatItem& item : AFormatInfo.Items) {
        switch (item.Kind) {
        case dtiLiteral: format += displayLiteral(item.Data); break;
        case dtiYear: format += item.Data.toLower(); break;
        case dtiMonth: format += item.Data.size() >= 3 ? QStringLiteral("mmm") : QStringLiteral("mm"); break;
        case dtiDay: format += item.Data.size() >= 3 ? QStringLiteral("ddd") : QStringLiteral("dd"); break;
        case dtiHour: format += QStringLiteral("hh"); break;
        case dtiMinute: format += QStringLiteral("nn"); break;
        case dtiSecond: format += QStringLiteral("ss"); break;
        case dtiMillisecond: break;
        case dtiAmPm: format += item.Data.toLower(); break;
        case dtiDateSeparator: format += QLatin1Char('/'); break;
        case dtiTimeSeparator: format += QLatin1Char(':'); break;
        }
    }
    return format;
}

int TvlFormatController::GetFormatItemMaskLength(const TvlDateTimeFormatItem& AItem) const
{
    switch (AItem.Kind) {
    case dtiLiteral: return int(AItem.Data.size());
    case dtiYear: return AItem.Data == QLatin1String("YY") ? 2 : 4;
    case dtiMonth:
    case dtiDay: return AItem.Data.size() >= 3 ? 3 : 2;
    case dtiHour:
    case dtiMinute:
    case dtiSecond: return 2;
    case dtiMillisecond: return 0;
    case dtiAmPm:
        if (isLetterAmPm(AItem.Data))
            return 1;
        if (isTwoLetterAmPm(AItem.Data))
            return 2;
        return localeAmPmLength();
    case dtiDateSeparator:
    case dtiTimeSeparator: return 1;
    }
    return 0;
}

int TvlFormatController::GetDateTimeStandardMaskStringLength(const TvlDateTimeFormatInfo& AFormatInfo) const
{
    int length = 0;
    for (const TvlDateTimeFormatItem& item : AFormatInfo.Items)
        length += GetFormatItemMaskLength(item);
    return length;
}

bool TvlFormatController::GetDateTimeFormatItemStandardMaskInfo(const TvlDateTimeFormatInfo& AFormatInfo, int APos,
                                                                 TvlFormatStandardMaskItemInfo& AInfo) const
{
    if (APos < 1)
        return false;
    int start = 1;
    for (const TvlDateTimeFormatItem& item : AFormatInfo.Items) {
        const int length = GetFormatItemMaskLength(item);
        if (length > 0 && APos >= start && APos < start + length) {
            AInfo.Kind = item.Kind;
            AInfo.Start = start;
            AInfo.Length = length;
            if (item.Kind == dtiAmPm)
                AInfo.AmPmForm = isLetterAmPm(item.Data) ? apfLetter : isTwoLetterAmPm(item.Data) ? apfTwoLetters : apfLocale;
            return true;
        }
        start += length;
    }
    return false;
}

void AddvlFormatsUnit(TStartupList& AList)
{
    AList.Add(QStringLiteral("vlFormats"), {}, [] { controllerInstance().reset(); });
}
