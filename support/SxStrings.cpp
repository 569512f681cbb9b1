#include "support/SxStrings.h"

#include <cmath>
#include <limits>

TSysCharSet SysCharSetOf(const char* Chars)
{
    TSysCharSet set;
    for (const char* p = Chars; *p != '\0'; ++p)
        set.set(static_cast<uint8_t>(*p));
    return set;
}

String PadLeftTo(const String& Text, int Length, QChar Fill)
{
    if (Text.size() >= Length)
        return Text;
    return String(Length - Text.size(), Fill) + Text;
}

String TextBefore(const String& Sub, const String& Text)
{
    const qsizetype p = Sub.isEmpty() ? -1 : Text.indexOf(Sub, 0, Qt::CaseInsensitive);
    return p < 0 ? Text : Text.left(p);
}

String TextAfter(const String& Sub, const String& Text)
{
    const qsizetype p = Sub.isEmpty() ? -1 : Text.indexOf(Sub, 0, Qt::CaseInsensitive);
    return p < 0 ? String() : Text.mid(p + Sub.size());
}

int LastPosOf(const String& Sub, const String& Text)
{
    if (Sub.isEmpty())
        return 0;
    int last = 0;
    for (qsizetype p = Text.indexOf(Sub); p >= 0; p = Text.indexOf(Sub, p + 1))
        last = static_cast<int>(p) + 1;
    return last;
}

QChar CurrentDecimalSeparator()
{
    return FormatSettings.DecimalSeparator;
}

bool IsDigitOrDecimalSeparator(QChar C)
{
    return C.category() == QChar::Number_DecimalDigit || C == CurrentDecimalSeparator();
}

double StrToFloatLenient(const String& Text)
{
    const QChar d = FormatSettings.DecimalSeparator;
    const QChar t = FormatSettings.ThousandSeparator;
    bool negative = false;
    bool swap = false;
    bool decided = false;
    int j = 0;  // 1-based position where the sign scan ended
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const QChar c = Text[i];
        if (c == u'-')
            negative = !negative;
        else if (c == u' ' || c == u'(' || c == u'+')
            continue;
        else {
            j = static_cast<int>(i) + 1;
            if (c == t) {
                swap = true;
                decided = true;
            }
            break;
        }
    }
    if (!decided) {
        const int p = static_cast<int>(Text.indexOf(d)) + 1;
        const int firstT = static_cast<int>(Text.indexOf(t)) + 1;
        swap = p > j && (Text.count(d) > 1 || firstT > p);
    }
    String work = Text;
    if (swap)
        for (QChar& c : work) {
            if (c == d)
                c = t;
            else if (c == t)
                c = d;
        }
    work = FilterChars(work, &IsDigitOrDecimalSeparator);
    if (work.isEmpty())
        return 0.0;
    if (work.startsWith(d))
        work.prepend(u'0');
    if (work.endsWith(d))
        work.append(u'0');
    const double value = static_cast<double>(StrToFloat(work));
    return negative ? -value : value;
}

int64_t StrToIntLenient(const String& Text)
{
    const double v = std::trunc(StrToFloatLenient(Text));
    if (v >= 9223372036854775807.0)
        return std::numeric_limits<int64_t>::max();
    if (v <= -9223372036854775808.0)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}

int FindTextFrom(const String& Sub, const String& Text, int Start)
{
    if (Sub.isEmpty() || Text.isEmpty())
        return 0;
    const qsizetype p = Text.indexOf(Sub, std::max(Start, 1) - 1, Qt::CaseInsensitive);
    return p < 0 ? 0 : static_cast<int>(p) + 1;
}

int PosNoCase(const String& Sub, const String& Text)
{
    return Pos(UpperCopy(Sub), UpperCopy(Text));
}

String LeftChars(const String& Text, int N)
{
    return N <= 0 ? String() : Text.left(N);
}

String RestFrom(const String& Text, int N)
{
    return Text.mid(std::max(N, 1) - 1);
}

String AppendSuffixOnce(const String& Suffix, const String& Text)
{
    if (Suffix.isEmpty() || Text.endsWith(Suffix, Qt::CaseSensitive))
        return Text;
    return Text + Suffix;
}

String FilterChars(const String& Text, const std::function<bool(QChar)>& Predicate)
{
    String out;
    out.reserve(Text.size());
    for (const QChar c : Text)
        if (Predicate(c))
            out.append(c);
    return out;
}

void ReplaceInPlace(String& Text, const String& Search, const String& Replacement, TReplaceFlags Flags)
{
    if (Search.isEmpty()) {
        if (!Text.isEmpty())
            throw ESxStringError(LoadResString(SxResources::RsBlankSearchString));
        Text = Replacement;
        return;
    }
    const bool ignoreCase = Flags.Contains(rfIgnoreCase);
    const String search = ignoreCase ? UpperCopy(Search) : Search;
    auto at = [&](qsizetype i) { return ignoreCase ? UpperChar(Text[i]) : Text[i]; };
    String out;
    out.reserve(Text.size());
    qsizetype i = 0;
    while (i < Text.size()) {
        bool match = at(i) == search[0] && i + search.size() <= Text.size();
        for (qsizetype k = 1; match && k < search.size(); ++k)
            match = at(i + k) == search[k];
        if (!match) {
            out.append(Text[i++]);
            continue;
        }
        out.append(Replacement);
        i += search.size();
        if (!Flags.Contains(rfReplaceAll)) {
            out.append(Text.mid(i));
            break;
        }
    }
    Text = out;
}

QChar UpperChar(QChar C)
{
    return C.toUpper();
}

String UpperCopy(const String& Text)
{
    String out = Text;
    UpperInPlace(out);
    return out;
}

void UpperInPlace(String& Text)
{
    for (QChar& c : Text)
        c = UpperChar(c);
}

void TruncateAtNul(String& Text)
{
    const qsizetype p = Text.indexOf(QChar(0));
    if (p >= 0)
        Text.truncate(p);
}

int CountChar(const String& Text, QChar C)
{
    return static_cast<int>(Text.count(C));
}

int FindCharFrom(const String& Text, QChar C, int Start)
{
    if (Start < 1 || Start > Text.size())
        return 0;
    const qsizetype p = Text.indexOf(C, Start - 1);
    return p < 0 ? 0 : static_cast<int>(p) + 1;
}

void SplitToList(const String& Text, const String& Separator, TStrings* List, bool AllowEmpty)
{
    List->BeginUpdate();
    struct TEnd {
        TStrings* L;
        ~TEnd() { L->EndUpdate(); }
    } end{List};
    {
        List->Clear();
        String rest = Text;
        qsizetype p;
        while (!Separator.isEmpty() && (p = rest.indexOf(Separator)) >= 0) {
            const String piece = rest.left(p);
            if (AllowEmpty || !piece.isEmpty())
                List->Add(piece);
            rest = rest.mid(p + Separator.size());
        }
        if (!rest.isEmpty())
            List->Add(rest);
    }
}

bool IsHexDigitChar(QChar C)
{
    const char16_t u = C.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f');
}

const char16_t* WideCStrFind(const char16_t* Text, const char16_t* Sub)
{
    if (Text == nullptr || Sub == nullptr || *Text == 0 || *Sub == 0)
        return nullptr;
    for (const char16_t* p = Text; *p != 0; ++p) {
        const char16_t* a = p;
        const char16_t* b = Sub;
        while (*a != 0 && *a == *b) {
            ++a;
            ++b;
        }
        if (*b == 0)
            return p;
    }
    return nullptr;
}

void CopyCharsAt(const String& Source, int FromIndex, String& Dest, int ToIndex, int Count)
{
    if (FromIndex < 0 || ToIndex < 0 || Count <= 0)
        return;
    const int n = std::min<qsizetype>({Count, Source.size() - FromIndex, Dest.size() - ToIndex});
    if (n <= 0)
        return;
    QChar* out = Dest.data();  // detaches: the copy never shows through another holder
    for (int k = 0; k < n; ++k)
        out[ToIndex + k] = Source[FromIndex + k];
}

bool VariantIsInteger(const Variant& V)
{
    switch (V.VType()) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
        return true;
    default:
        return false;
    }
}

namespace {
bool isDelimiter(QChar c, const TSysCharSet& delimiters)
{
    return c.unicode() < 256 && delimiters.test(c.unicode());
}
}  // namespace

int NthWordPosition(int N, const String& Text, const TSysCharSet& Delimiters)
{
    int count = 0;
    qsizetype i = 0;
    const qsizetype len = Text.size();
    while (i < len && count != N) {
        while (i < len && isDelimiter(Text[i], Delimiters))
            ++i;
        if (i < len) {
            ++count;
            if (count == N)
                return static_cast<int>(i) + 1;
            while (i < len && !isDelimiter(Text[i], Delimiters))
                ++i;
        }
    }
    return 0;
}

String NthWord(int N, const String& Text, const TSysCharSet& Delimiters)
{
    const int p = NthWordPosition(N, Text, Delimiters);
    if (p == 0)
        return String();
    qsizetype e = p - 1;
    while (e < Text.size() && !isDelimiter(Text[e], Delimiters))
        ++e;
    return Text.mid(p - 1, e - (p - 1));
}

String KeyXorHexEncode(const String& Key, const String& Text)
{
    String out;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        unsigned b = Text[i].unicode() & 0xFFu;
        if (!Key.isEmpty())
            b ^= Key[i % Key.size()].unicode() & 0xFFu;
        out += String::number(b, 16).rightJustified(2, u'0');
    }
    return out;
}

String KeyXorHexDecode(const String& Key, const String& Hex)
{
    String out;
    for (qsizetype i = 0; 2 * i + 1 < Hex.size(); ++i) {
        const String pair = Hex.mid(2 * i, 2);
        unsigned v = 32;
        if (IsHexDigitChar(pair[0]) && IsHexDigitChar(pair[1]))
            v = pair.toUInt(nullptr, 16);
        if (!Key.isEmpty())
            v = (Key[i % Key.size()].unicode() & 0xFFu) ^ (v & 0xFFu);
        out.append(QChar(static_cast<char16_t>(v)));
    }
    return out;
}

bool IsLowerAnsiChar(uint8_t C)
{
    return QChar::fromLatin1(static_cast<char>(C)).isLower();
}

bool IsUpperAnsiChar(uint8_t C)
{
    return QChar::fromLatin1(static_cast<char>(C)).isUpper();
}
