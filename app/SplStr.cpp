#include "app/SplStr.h"

void TSplStr::Split(const String& Delimiter, const String& Text, TStrings* List) const
{
    String rest = Text;
    int p = 0;
    do {
        // An empty delimiter is found nowhere, as a position search reports it.
        p = Delimiter.isEmpty() ? 0 : int(rest.indexOf(Delimiter)) + 1;
        const String piece = p > 0 ? rest.left(p - 1) : String();
        rest = rest.mid(p);  // only one character is skipped: the delimiter is one character
        List->Add(piece);
    } while (p != 0);
    List->Put(List->Count() - 1, rest);
}

String& TSplStr::ReplaceAll(const String& Text, const String& OldPattern, const String& NewPattern,
                            bool CaseSensitive, String& Result) const
{
    Result.clear();
    if (OldPattern.isEmpty()) {
        Result = Text;
        return Result;
    }
    const Qt::CaseSensitivity cs = CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype from = 0;
    for (;;) {
        const qsizetype p = Text.indexOf(OldPattern, from, cs);
        if (p < 0) {
            Result += Text.mid(from);
            return Result;
        }
        Result += Text.mid(from, p - from);
        Result += NewPattern;
        from = p + OldPattern.size();
    }
}

String TSplStr::ReplaceAll(const String& Text, const String& OldPattern, const String& NewPattern,
                           bool CaseSensitive) const
{
    String result;
    ReplaceAll(Text, OldPattern, NewPattern, CaseSensitive, result);
    return result;
}
