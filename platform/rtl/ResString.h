// ResString.h - the program's texts. Each text is a resource string, a named
// record in one table, and every read goes through LoadResString so that a
// translation layer can stand in front of it.
#pragma once
#include <functional>

#include "platform/rtl/Format.h"
#include "platform/rtl/String.h"

struct TResStringRec {
    const char* Name;  // the identifier, e.g. "SListIndexError"
    const char* Text;  // the original (English) text, UTF-8
};

// Declares a resource string: VORLANE_RESOURCESTRING(SListIndexError, "List index out of bounds (%d)");
#define VORLANE_RESOURCESTRING(Name, Text) inline constexpr TResStringRec Name{#Name, Text}

String LoadResString(const TResStringRec& ResString);
String LoadResStringFmt(const TResStringRec& ResString, TVarRecs Args);

// The translation hook: it gets the record and returns the text to show, or
// an empty string to keep the original. Pass an empty function to remove it.
using TResStringLoader = std::function<String(const TResStringRec& ResString)>;
void SetResStringLoader(TResStringLoader loader);

// The texts of the runtime layer itself.
namespace RtlConsts {
VORLANE_RESOURCESTRING(SInvalidFormat, "Format '%s' invalid or incompatible with argument");
VORLANE_RESOURCESTRING(SArgumentMissing, "No argument for format '%s'");
VORLANE_RESOURCESTRING(SInvalidInteger, "'%s' is not a valid integer value");
VORLANE_RESOURCESTRING(SInvalidFloat, "'%s' is not a valid floating point value");
VORLANE_RESOURCESTRING(SListIndexError, "List index out of bounds (%d)");
VORLANE_RESOURCESTRING(SListCountError, "List count out of bounds (%d)");
VORLANE_RESOURCESTRING(SDuplicateString, "String list does not allow duplicates");
VORLANE_RESOURCESTRING(SSortedListError, "Operation not allowed on sorted list");
VORLANE_RESOURCESTRING(SDuplicateName, "A component named %s already exists");
VORLANE_RESOURCESTRING(SInvalidName, "''%s'' is not a valid component name");
VORLANE_RESOURCESTRING(SReadError, "Stream read error");
VORLANE_RESOURCESTRING(SWriteError, "Stream write error");
VORLANE_RESOURCESTRING(SFCreateError, "Cannot create file \"%s\". %s");
VORLANE_RESOURCESTRING(SFOpenError, "Cannot open file \"%s\". %s");
VORLANE_RESOURCESTRING(SUnknownProperty, "Property %s does not exist");
VORLANE_RESOURCESTRING(SInvalidPropertyValue, "Invalid property value");
VORLANE_RESOURCESTRING(SInvalidCast, "Invalid class typecast");
VORLANE_RESOURCESTRING(SReadOnlyProperty, "Property is read-only");
VORLANE_RESOURCESTRING(SInvalidVarCast, "Invalid variant type conversion");
VORLANE_RESOURCESTRING(SVarOverflow, "Variant overflow");
VORLANE_RESOURCESTRING(SInvalidVarOp, "Invalid variant operation");
VORLANE_RESOURCESTRING(SThreadCreateError, "Thread creation error: %s");
VORLANE_RESOURCESTRING(SCheckSynchronizeError, "CheckSynchronize called from thread $%x, which is NOT the main thread");
}  // namespace RtlConsts
