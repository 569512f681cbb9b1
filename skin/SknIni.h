// SknIni.h - TQuickIni: the skin description's key lookup. The text is
// kept as its significant lines with an index of section headers, so a
// lookup jumps to its section and scans only that section.
#pragma once
#include <vector>

#include "platform/rtl/String.h"

class TMemoryStream;
class TStrings;

class TQuickIni {
public:
    TQuickIni();
    ~TQuickIni();

    // The bytes from the stream's position to its end, as 8-bit text
    // (Latin-1), replace what was loaded; nullptr does nothing.
    void LoadFromStream(TMemoryStream* Stream);
    // Fills Strings with the section names in text order (brackets and
    // blanks removed). EAssertionFailed for nullptr.
    void ReadSections(TStrings* Strings) const;
    // The line position of the first header [Name] (letter case ignored), or -1.
    int FindSection(const String& Name) const;
    // The value of the first line of the first [Section] whose key is Key
    // (letter case ignored); Default when the section or the key is
    // missing, or when that first value is empty.
    String ReadString(const String& Section, const String& Key, const String& Default) const;
    // Decimal with an optional sign, or hexadecimal after "$" or "0x";
    // anything else gives Default.
    int ReadInteger(const String& Section, const String& Key, int Default) const;

private:
    struct TSectionIndex {
        String Header;  // with its brackets
        int Line;
    };
    std::vector<String> FLines;
    std::vector<TSectionIndex> FSections;
};
