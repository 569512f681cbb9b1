#include "platform/rtl/Format.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/rtl/SysUtils.h"

namespace {

// The message is built by hand: formatting it with Format itself could
// recurse forever if a translated text were malformed.
[[noreturn]] void formatError(const TResStringRec& res, const String& format)
{
    String text = LoadResString(res);
    const qsizetype at = text.indexOf(QLatin1String("%s"));
    if (at >= 0)
        text.replace(at, 2, format);
    throw EConvertError(text);
}

String unsignedToText(uint64_t value, int base, int minDigits)
{
    String digits = String::number(value, base).toUpper();
    if (digits.size() < minDigits)
        digits.prepend(String(minDigits - digits.size(), QLatin1Char('0')));
    return digits;
}

// Walks a format string. With arguments it formats them; without (a
// signature run) it only checks the specifiers and notes which kind of
// argument each index takes.
class TFormatter {
public:
    TFormatter(const String& format, TVarRecs args) : FFormat(format), FArgs(args) {}
    TFormatter(const String& format, std::vector<char>& signature) : FFormat(format), FSignature(&signature) {}

    String Run()
    {
        String result;
        result.reserve(FFormat.size() + 16);
        const qsizetype n = FFormat.size();
        while (FPos < n) {
            const QChar c = FFormat[FPos++];
            if (c != QLatin1Char('%')) {
                result += c;
                continue;
            }
            if (FPos < n && FFormat[FPos] == QLatin1Char('%')) {
                result += c;
                ++FPos;
                continue;
            }
            result += Specifier();
        }
        return result;
    }

private:
    const String& FFormat;
    TVarRecs FArgs;
    std::vector<char>* FSignature = nullptr;
    qsizetype FPos = 0;
    qsizetype FArgIndex = 0;

    [[noreturn]] void Invalid() const { formatError(RtlConsts::SInvalidFormat, FFormat); }

    const TVarRec& NextArg()
    {
        if (FArgIndex < 0 || FArgIndex >= static_cast<qsizetype>(FArgs.size()))
            formatError(RtlConsts::SArgumentMissing, FFormat);
        return FArgs.begin()[FArgIndex++];
    }

    // Signature run: the argument at the current index takes this kind.
    void NoteArg(char kind)
    {
        if (FArgIndex < 0 || FArgIndex >= MaxFormatField)
            Invalid();
        const auto index = static_cast<size_t>(FArgIndex++);
        if (FSignature->size() <= index)
            FSignature->resize(index + 1, 0);
        char& slot = (*FSignature)[index];
        if (slot != 0 && slot != kind)
            Invalid();  // one argument cannot be two kinds
        slot = kind;
    }

    // Widths and precisions past the bound are refused before any text is built.
    int Bounded(int value) const
    {
        if (value > MaxFormatField)
            Invalid();
        return value;
    }

    QChar Peek() const
    {
        if (FPos >= FFormat.size())
            Invalid();
        return FFormat[FPos];
    }

    // A decimal number or "*" (an integer argument); false when neither.
    bool ReadNumber(int& value)
    {
        if (Peek() == QLatin1Char('*')) {
            ++FPos;
            if (FSignature != nullptr) {
                NoteArg('*');
                value = 0;
                return true;
            }
            const TVarRec& arg = NextArg();
            if (arg.Kind() != TVarRec::vtInteger)
                Invalid();
            value = static_cast<int>(arg.AsInt64());
            return true;
        }
        if (!Peek().isDigit() || Peek().unicode() > '9')
            return false;
        int64_t number = 0;
        while (Peek().isDigit() && Peek().unicode() <= '9') {
            number = std::min<int64_t>(number * 10 + (Peek().unicode() - '0'), INT_MAX);
            ++FPos;
        }
        value = static_cast<int>(number);
        return true;
    }

    String Specifier()
    {
        int number = 0;
        bool haveNumber = ReadNumber(number);
        if (haveNumber && Peek() == QLatin1Char(':')) {
            ++FPos;
            FArgIndex = number;
            haveNumber = false;
        }
        bool leftJustify = false;
        int width = 0;
        if (haveNumber) {
            width = number;
        } else {
            if (Peek() == QLatin1Char('-')) {
                leftJustify = true;
                ++FPos;
            }
            ReadNumber(width);
        }
        width = Bounded(width);
        int precision = -1;
        if (Peek() == QLatin1Char('.')) {
            ++FPos;
            precision = 0;
            ReadNumber(precision);
            precision = Bounded(precision);
        }
        const QChar type = Peek().toUpper();
        ++FPos;
        if (FSignature != nullptr) {
            NoteArg(KindOf(type.toLatin1()));
            return String();
        }
        String text = Convert(type.toLatin1(), NextArg(), precision);
        if (width > text.size()) {
            const String blanks(width - text.size(), QLatin1Char(' '));
            text = leftJustify ? text + blanks : blanks + text;
        }
        return text;
    }

    // The kind of argument a conversion takes: 'i' integer, 'f' floating
    // point, 's' text or character, 'p' pointer.
    char KindOf(char type) const
    {
        switch (type) {
        case 'D': case 'U': case 'X': return 'i';
        case 'E': case 'F': case 'G': case 'N': case 'M': return 'f';
        case 'S': return 's';
        case 'P': return 'p';
        default: Invalid();
        }
    }

    String Convert(char type, const TVarRec& arg, int precision)
    {
        switch (type) {
        case 'D':
        case 'U':
        case 'X': {
            if (!arg.IsInteger())
                Invalid();
            const int64_t value = arg.AsInt64();
            const bool narrow = arg.Kind() == TVarRec::vtInteger;
            const int minDigits = std::max(precision, 0);
            if (type == 'D') {
                const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
                const String digits = unsignedToText(magnitude, 10, minDigits);
                return value < 0 ? QLatin1Char('-') + digits : digits;
            }
            const uint64_t bits = narrow ? static_cast<uint32_t>(value) : static_cast<uint64_t>(value);
            return unsignedToText(bits, type == 'U' ? 10 : 16, minDigits);
        }
        case 'E':
        case 'F':
        case 'G':
        case 'N':
        case 'M': {
            if (arg.Kind() != TVarRec::vtExtended)
                Invalid();
            const long double value = arg.AsExtended();
            if (type == 'E' || type == 'G') {
                const int significant = precision < 0 ? 15 : std::clamp(precision, 1, 18);
                return FloatToStrF(value, type == 'E' ? ffExponent : ffGeneral, significant, 3);
            }
            const int defaultDecimals = type == 'M' ? FormatSettings.CurrencyDecimals : 2;
            const int decimals = precision < 0 ? defaultDecimals : std::min(precision, 18);
            const TFloatFormat format = type == 'F' ? ffFixed : type == 'N' ? ffNumber : ffCurrency;
            return FloatToStrF(value, format, 18, decimals);
        }
        case 'P': {
            if (arg.Kind() != TVarRec::vtPointer)
                Invalid();
            return unsignedToText(reinterpret_cast<uintptr_t>(arg.AsPointer()), 16, 2 * sizeof(void*));
        }
        case 'S': {
            if (arg.Kind() != TVarRec::vtString && arg.Kind() != TVarRec::vtChar)
                Invalid();
            const String& text = arg.AsString();
            return precision >= 0 && precision < text.size() ? text.left(precision) : text;
        }
        default:
            Invalid();
        }
    }
};

}  // namespace

String Format(const String& format, TVarRecs args)
{
    return TFormatter(format, args).Run();
}

bool FormatSignature(const String& format, std::vector<char>& kinds)
{
    kinds.clear();
    try {
        TFormatter(format, kinds).Run();
    } catch (const EConvertError&) {
        kinds.clear();
        return false;
    }
    return true;
}
