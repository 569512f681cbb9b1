#include "ui/editors/vlStandardMask.h"

#include "platform/rtl/SysUtils.h"

namespace {

bool isAsciiLetter(QChar C)
{
    const char16_t u = C.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

bool isAsciiDigit(QChar C)
{
    return C.unicode() >= u'0' && C.unicode() <= u'9';
}

bool isInputItem(const TvlStandardMaskCustomItem* AItem)
{
    return dynamic_cast<const TvlStandardMaskManyItem*>(AItem) != nullptr;
}

bool isOptionalInput(const TvlStandardMaskCustomItem* AItem)
{
    const auto* many = dynamic_cast<const TvlStandardMaskManyItem*>(AItem);
    return many != nullptr && many->IsOptional;
}

}  // namespace

bool TvlStandardMaskManyItem::AcceptChar(QChar& C) const
{
    const bool accepted = Test(C);
    ApplyLetterCase(C);
    return accepted;
}

void TvlStandardMaskManyItem::ApplyLetterCase(QChar& C) const
{
    if (LetterCase == 0)
        C = C.toUpper();
    else if (LetterCase == 1)
        C = C.toLower();
}

bool TvlStandardMaskAlphaItem::Test(QChar C) const { return isAsciiLetter(C); }
bool TvlStandardMaskAlphaNumericItem::Test(QChar C) const { return isAsciiLetter(C) || isAsciiDigit(C); }
bool TvlStandardMaskNumericItem::Test(QChar C) const { return isAsciiDigit(C); }
bool TvlStandardMaskNumericSymbolItem::Test(QChar C) const
{
    return isAsciiDigit(C) || C == QLatin1Char('+') || C == QLatin1Char('-');
}

void TvlStandardMask::Clear()
{
    FItemList.clear();
    FMaskText.clear();
    FLeadingBlanks = false;
    FSaveLiterals = true;
    FBlankChar = QLatin1Char('_');
}

void TvlStandardMask::SetMaskText(const String& AText)
{
    Clear();
    FMaskText = AText;
    String work = AText;
    ReadLeadingBlanks(work);
    ParseMask(work);
}

void TvlStandardMask::ReadLeadingBlanks(String& AText)
{
    if (!AText.isEmpty() && AText[0] == QLatin1Char('!')) {
        FLeadingBlanks = true;
        AText.remove(0, 1);
    }
}

void TvlStandardMask::ParseMask(const String& AText)
{
    int letterCase = 2;
    const int n = int(AText.size());
    auto addLiteral = [this](QChar c) { FItemList.push_back(std::make_unique<TvlStandardMaskLiteralItem>(c)); };
    for (int i = 0; i < n; ++i) {
        const QChar c = AText[i];
        switch (c.unicode()) {
        case u'0':
        case u'9':
            FItemList.push_back(std::make_unique<TvlStandardMaskNumericItem>(letterCase, c == QLatin1Char('9')));
            break;
        case u'#':
            FItemList.push_back(std::make_unique<TvlStandardMaskNumericSymbolItem>(letterCase));
            break;
        case u'L':
        case u'l':
            FItemList.push_back(std::make_unique<TvlStandardMaskAlphaItem>(letterCase, c == QLatin1Char('l')));
            break;
        case u'A':
        case u'a':
            FItemList.push_back(std::make_unique<TvlStandardMaskAlphaNumericItem>(letterCase, c == QLatin1Char('a')));
            break;
        case u'C':
        case u'c':
            FItemList.push_back(std::make_unique<TvlStandardMaskASCIIItem>(letterCase, c == QLatin1Char('c')));
            break;
        case u'>':
            letterCase = 0;
            break;
        case u'<':
            if (i + 1 < n && AText[i + 1] == QLatin1Char('>')) {
                letterCase = 2;
                ++i;
            } else {
                letterCase = 1;
            }
            break;
        case u'/':
            addLiteral(FormatSettings.DateSeparator);
            break;
        case u':':
            addLiteral(FormatSettings.TimeSeparator);
            break;
        case u'\\':
            if (i + 1 < n)
                addLiteral(AText[++i]);
            break;
        case u';': {
            const int rest = n - i - 1;
            const auto isSaveFlag = [](QChar f) { return f == QLatin1Char('0') || f == QLatin1Char('1'); };
            if (rest == 3 && isSaveFlag(AText[i + 1]) && AText[i + 2] == QLatin1Char(';')) {
                FSaveLiterals = AText[i + 1] == QLatin1Char('1');
                FBlankChar = AText[i + 3];
                return;
            }
            if (rest == 1 && isSaveFlag(AText[i + 1])) {
                FSaveLiterals = AText[i + 1] == QLatin1Char('1');
                return;
            }
            addLiteral(c);
            break;
        }
        default:
            addLiteral(c);
        }
    }
}

String TvlStandardMask::BlankText() const
{
    String result;
    result.reserve(FItemList.size());
    for (const auto& item : FItemList) {
        const auto* literal = dynamic_cast<const TvlStandardMaskLiteralItem*>(item.get());
        result += literal != nullptr ? literal->LiteralChar : FBlankChar;
    }
    return result;
}

String TvlStandardMask::SpaceText() const
{
    String result;
    for (const auto& item : FItemList) {
        const auto* literal = dynamic_cast<const TvlStandardMaskLiteralItem*>(item.get());
        if (literal == nullptr)
            result += QLatin1Char(' ');
        else if (FSaveLiterals)
            result += literal->LiteralChar;
    }
    return result;
}

void TvlStandardMask::FitText(String& AText, bool AKeepConvertedCase, bool ATextHasLiterals) const
{
    String result = BlankText();
    const int count = ItemCount();
    const int step = FLeadingBlanks ? -1 : 1;
    int current = FLeadingBlanks ? count - 1 : 0;
    const int textLength = int(AText.size());
    for (int t = 0; t < textLength; ++t) {
        const QChar typed = AText[FLeadingBlanks ? textLength - 1 - t : t];
        for (int i = current; i >= 0 && i < count; i += step) {
            const TvlStandardMaskCustomItem* item = FItemList[size_t(i)].get();
            const bool input = isInputItem(item);
            if (!FSaveLiterals && !ATextHasLiterals && !input)
                continue;
            QChar converted = typed;
            if (item->AcceptChar(converted)) {
                result[i] = AKeepConvertedCase ? converted : typed;
                current = i + step;
                break;
            }
            if (input && (typed == FBlankChar || typed == QLatin1Char(' '))) {
                current = i + step;
                break;
            }
        }
    }
    AText = result;
}

void TvlStandardMask::ValueText(String& AText) const
{
    String result;
    const int n = std::min(int(AText.size()), ItemCount());
    for (int i = 0; i < n; ++i) {
        const bool input = isInputItem(FItemList[size_t(i)].get());
        if (!input && !FSaveLiterals)
            continue;
        const QChar c = AText[i];
        result += input && c == FBlankChar ? QChar(QLatin1Char(' ')) : c;
    }
    AText = result;
}

bool TvlStandardMask::IsTextComplete(String& AText) const
{
    if (int(AText.size()) != ItemCount())
        return false;
    for (int i = 0; i < ItemCount(); ++i) {
        const TvlStandardMaskCustomItem* item = FItemList[size_t(i)].get();
        QChar c = AText[i];
        if (item->AcceptChar(c)) {
            AText[i] = c;
            continue;
        }
        if (isOptionalInput(item) && (AText[i] == FBlankChar || AText[i] == QLatin1Char(' ')))
            continue;
        return false;
    }
    return true;
}
