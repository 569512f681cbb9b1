// SxRegistry.h - registry values read and written by root, key path and value
// name, with failures reported as ESxRegistryError naming the key in full.
#pragma once
#include <cstdint>

#include "platform/os/Registry.h"
#include "support/SxBase.h"

namespace SxResources {
VORLANE_RESOURCESTRING(RsUnableToOpenKeyRead, "Unable to open key \"%s\\%s\" for read");
VORLANE_RESOURCESTRING(RsUnableToOpenKeyWrite, "Unable to open key \"%s\\%s\" for write");
VORLANE_RESOURCESTRING(RsUnableToAccessValue, "Unable to open key \"%s\\%s\" and access value \"%s\"");
VORLANE_RESOURCESTRING(RsWrongValueKind, "\"%s\\%s\\%s\" is of wrong kind or size");
VORLANE_RESOURCESTRING(RsInconsistentPath, "\"%s\" does not match RootKey");
}  // namespace SxResources

VORLANE_DECLARE_EXCEPTION(ESxRegistryError, ESxError);

// A set of value kinds 0 to 15, one bit each.
using TSxRegKinds = uint16_t;
constexpr TSxRegKinds SxRegKind(uint32_t Kind) { return Kind < 16 ? TSxRegKinds(1u << Kind) : 0; }

String RootKeyName(HKEY Root);
bool RegKeyPresent(HKEY Root, const String& Key);
// The system's error code, 0 on success.
LONG CreateRegKey(HKEY Root, const String& Key);
bool RegValueKind(HKEY Root, const String& Key, const String& Name, uint32_t& Kind);

bool TryReadRegInteger(HKEY Root, const String& Key, const String& Name, bool RaiseErrors, int& Value);
int ReadRegIntegerOr(HKEY Root, const String& Key, const String& Name, int Default);
bool ReadRegBooleanOr(HKEY Root, const String& Key, const String& Name, bool Default);
bool TryReadRegText(HKEY Root, const String& Key, const String& Name, bool RaiseErrors, String& Value);
String ReadRegText(HKEY Root, const String& Key, const String& Name);
String ReadRegTextOr(HKEY Root, const String& Key, const String& Name, const String& Default);
// Strings are 16-bit here already; the wide forms are the same calls.
inline bool TryReadRegWideText(HKEY Root, const String& Key, const String& Name, bool RaiseErrors, String& Value)
{
    return TryReadRegText(Root, Key, Name, RaiseErrors, Value);
}
inline String ReadRegWideTextOr(HKEY Root, const String& Key, const String& Name, const String& Default)
{
    return ReadRegTextOr(Root, Key, Name, Default);
}
// A value of kind 1 to 11 of at most BufferSize bytes; returns the bytes read.
int ReadRegBinary(HKEY Root, const String& Key, const String& Name, int BufferSize, void* Buffer);

void WriteRegInteger(HKEY Root, const String& Key, const String& Name, int Value);
void WriteRegBoolean(HKEY Root, const String& Key, const String& Name, bool Value);
void WriteRegText(HKEY Root, const String& Key, const String& Name, const String& Value);
inline void WriteRegWideText(HKEY Root, const String& Key, const String& Name, const String& Value)
{
    WriteRegText(Root, Key, Name, Value);
}
void WriteRegBinary(HKEY Root, const String& Key, const String& Name, int Size, const void* Data);
void WriteRegIntegerTyped(HKEY Root, const String& Key, const String& Name, int Value, uint32_t Kind);
void WriteRegCardinalTyped(HKEY Root, const String& Key, const String& Name, uint32_t Value, uint32_t Kind);
void WriteRegTextTyped(HKEY Root, const String& Key, const String& Name, const String& Value, uint32_t Kind);
inline void WriteRegWideTextTyped(HKEY Root, const String& Key, const String& Name, const String& Value, uint32_t Kind)
{
    WriteRegTextTyped(Root, Key, Name, Value, Kind);
}

bool DeleteRegValue(HKEY Root, const String& Key, const String& Name);
bool DeleteRegKeyTree(HKEY Root, const String& Key);

// The calling thread's view mode (0 to 3); there is one view here, so it
// only round-trips.
uint8_t RegViewMode();
void SetRegViewMode(uint8_t Mode);
