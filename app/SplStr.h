// SplStr.h - the string splitter component: splits a text at a one-character
// delimiter and replaces every occurrence of a pattern, with or without case.
#pragma once
#include "platform/rtl/Component.h"
#include "platform/rtl/StringList.h"

class TSplStr : public TComponent {
public:
    explicit TSplStr(TComponent* AOwner) : TComponent(AOwner) {}

    String ClassName() const override { return String::fromLatin1("TSplStr"); }

    // Appends the pieces between delimiters to List (which is not cleared);
    // the last piece is what follows the last delimiter, so a text ending in
    // the delimiter gives a last empty piece and an empty text one empty piece.
    void Split(const String& Delimiter, const String& Text, TStrings* List) const;

    // Result := Text with every match of OldPattern replaced; the text
    // outside the matches keeps its own case. An empty pattern never matches.
    String& ReplaceAll(const String& Text, const String& OldPattern, const String& NewPattern, bool CaseSensitive,
                       String& Result) const;
    String ReplaceAll(const String& Text, const String& OldPattern, const String& NewPattern,
                      bool CaseSensitive) const;
};
