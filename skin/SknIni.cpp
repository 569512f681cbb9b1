#include "skin/SknIni.h"

#include <algorithm>

#include "platform/rtl/Stream.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

namespace {

bool isHeader(const String& line)
{
    return line.startsWith(u'[') && line.endsWith(u']');
}

// Optional sign, then "$" and up to eight hexadecimal digits (wrapping to
// 32 bits as the class library's conversion did) or decimal digits within
// the 32-bit range.
bool parseInteger(const String& text, int& value)
{
    qsizetype at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        negative = text[at++] == u'-';
    int64_t result = 0;
    if (at < text.size() && text[at] == u'$') {
        ++at;
        if (at == text.size() || text.size() - at > 8)
            return false;
        for (; at < text.size(); ++at) {
            const int digit = QChar(text[at]).isDigit() && text[at].unicode() < 128
                ? text[at].unicode() - '0'
                : (text[at] >= u'a' && text[at] <= u'f') ? text[at].unicode() - 'a' + 10
                : (text[at] >= u'A' && text[at] <= u'F') ? text[at].unicode() - 'A' + 10
                : -1;
            if (digit < 0)
                return false;
            result = result * 16 + digit;
        }
        const auto bits = uint32_t(result);
        value = negative ? int(0u - bits) : int(bits);
        return true;
    }
    if (at == text.size())
        return false;
    for (; at < text.size(); ++at) {
        if (text[at] < u'0' || text[at] > u'9')
            return false;
        result = result * 10 + (text[at].unicode() - '0');
        if (result > int64_t(INT32_MAX) + 1)
            return false;
    }
    if (negative)
        result = -result;
    if (result > INT32_MAX || result < INT32_MIN)
        return false;
    value = int(result);
    return true;
}

}  // namespace

TQuickIni::TQuickIni() = default;
TQuickIni::~TQuickIni() = default;

void TQuickIni::LoadFromStream(TMemoryStream* Stream)
{
    if (Stream == nullptr)
        return;
    const int64_t position = std::clamp<int64_t>(Stream->Position(), 0, Stream->Size());
    const auto* bytes = static_cast<const char*>(Stream->Memory()) + position;
    const String text = String::fromLatin1(bytes, qsizetype(Stream->Size() - position));
    FLines.clear();
    FSections.clear();
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = at;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n' && text[end] != u'\0')
            ++end;
        const String line = Trim(text.mid(at, end - at));
        if (!line.isEmpty() && !line.startsWith(u';')) {
            if (isHeader(line))
                FSections.push_back({line, int(FLines.size())});
            FLines.push_back(line);
        }
        if (end < text.size() && text[end] == u'\0')
            break;  // a NUL ends the text
        if (end < text.size() && text[end] == u'\r')
            ++end;
        if (end < text.size() && text[end] == u'\n')
            ++end;
        at = end;
    }
}

void TQuickIni::ReadSections(TStrings* Strings) const
{
    if (Strings == nullptr)
        throw EAssertionFailed(String::fromLatin1("The parameter Strings is unassigned! (SknIni, line 318)"));
    Strings->BeginUpdate();
    Strings->Clear();
    for (const TSectionIndex& section : FSections)
        Strings->Add(Trim(section.Header.mid(1, section.Header.size() - 2)));
    Strings->EndUpdate();
}

int TQuickIni::FindSection(const String& Name) const
{
    const String header = u'[' + Name + u']';
    for (const TSectionIndex& section : FSections)
        if (section.Header.compare(header, Qt::CaseInsensitive) == 0)
            return section.Line;
    return -1;
}

String TQuickIni::ReadString(const String& Section, const String& Key, const String& Default) const
{
    if (FLines.empty())
        return Default;
    const int header = FindSection(Section);
    if (header < 0)
        return Default;
    const String wanted = Key.toLower();
    for (size_t i = size_t(header) + 1; i < FLines.size() && !isHeader(FLines[i]); ++i) {
        const String& line = FLines[i];
        const qsizetype equals = line.indexOf(u'=');
        const String key = equals < 0 ? String() : Trim(line.left(equals)).toLower();
        if (key != wanted)
            continue;
        const String value = equals < 0 ? String() : Trim(line.mid(equals + 1));
        return value.isEmpty() ? Default : value;
    }
    return Default;
}

int TQuickIni::ReadInteger(const String& Section, const String& Key, int Default) const
{
    String text = ReadString(Section, Key, String());
    if (text.size() >= 3 && (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"))))
        text = u'$' + text.mid(2);
    int value = 0;
    return parseInteger(text, value) ? value : Default;
}
