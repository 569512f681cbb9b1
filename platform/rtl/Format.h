// Format.h - the format-string routine of the codebase: "%d", "%s", "%x",
// "%f", "%g", "%p", "%u" and friends with index, width and precision, as
// the original runtime formats them; arguments are an open array of values.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <variant>
#include <vector>

#include "platform/rtl/String.h"

// One argument of Format.
class TVarRec {
public:
    enum TKind { vtInteger, vtInt64, vtExtended, vtString, vtPointer, vtChar, vtBoolean };

    TVarRec(int v) : FKind(vtInteger), FValue(int64_t{v}) {}
    TVarRec(unsigned v) : FKind(vtInt64), FValue(int64_t{v}) {}
    TVarRec(long v) : FKind(vtInt64), FValue(int64_t{v}) {}
    TVarRec(long long v) : FKind(vtInt64), FValue(int64_t{v}) {}
    TVarRec(unsigned long v) : FKind(vtInt64), FValue(static_cast<int64_t>(v)) {}
    TVarRec(unsigned long long v) : FKind(vtInt64), FValue(static_cast<int64_t>(v)) {}
    TVarRec(double v) : FKind(vtExtended), FValue(static_cast<long double>(v)) {}
    TVarRec(long double v) : FKind(vtExtended), FValue(v) {}
    TVarRec(const String& v) : FKind(vtString), FValue(v) {}
    TVarRec(const char* v) : FKind(vtString), FValue(LibraryText(v)) {}
    TVarRec(const AnsiString& v) : FKind(vtString), FValue(LibraryText(v)) {}
    TVarRec(const void* v) : FKind(vtPointer), FValue(v) {}
    TVarRec(char16_t v) : FKind(vtChar), FValue(String(QChar(v))) {}
    TVarRec(bool v) : FKind(vtBoolean), FValue(int64_t{v ? 1 : 0}) {}

    TKind Kind() const { return FKind; }
    bool IsInteger() const { return FKind == vtInteger || FKind == vtInt64; }
    int64_t AsInt64() const { return std::get<int64_t>(FValue); }
    long double AsExtended() const { return std::get<long double>(FValue); }
    const String& AsString() const { return std::get<String>(FValue); }
    const void* AsPointer() const { return std::get<const void*>(FValue); }

private:
    TKind FKind;
    std::variant<int64_t, long double, String, const void*> FValue;
};

using TVarRecs = std::initializer_list<TVarRec>;

// The widest field and the largest precision a specifier may ask for: no
// text of ours needs more, and a damaged or hostile translation must not
// make Format build a giant string.
inline constexpr int MaxFormatField = 1024;

// Raises EConvertError: "Format '%s' invalid or incompatible with argument"
// for a bad specifier, a width or precision past MaxFormatField or a
// mismatched argument kind, "No argument for format '%s'" when the
// arguments run out.
String Format(const String& format, TVarRecs args);

// The arguments a format string takes, by index: 'i' integer, 'f' floating
// point, 's' text, 'p' pointer, '*' integer width or precision, 0 an index
// no specifier uses. False (and no kinds) when the format is malformed.
bool FormatSignature(const String& format, std::vector<char>& kinds);
