// SxSysUtils.h - named shared memory counted per module, library loading,
// the brace text of a GUID and a zero fill: the low layer of the support units.
#pragma once
#include <cstddef>
#include <cstdint>

#include "support/SxBase.h"
#include "support/SxSynch.h"

namespace SxResources {
VORLANE_RESOURCESTRING(RsLibraryNotFound, "Library not found: %s");
VORLANE_RESOURCESTRING(RsFunctionNotFound, "Function not found: %s.%s");
VORLANE_RESOURCESTRING(RsInvalidMMFName, "Invalid MMF name \"%s\"");
VORLANE_RESOURCESTRING(RsInvalidMMFEmpty, "The MMF named \"%s\" cannot be created empty");
}  // namespace SxResources

VORLANE_DECLARE_EXCEPTION(ESharedMemError, ESxError);

struct TGUID {
    uint32_t D1 = 0;
    uint16_t D2 = 0;
    uint16_t D3 = 0;
    uint8_t D4[8] = {};
    friend bool operator==(const TGUID&, const TGUID&) = default;
};

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" in lower case.
String GuidToBraceText(const TGUID& Guid);

void ZeroBlock(void* Address, ptrdiff_t Size);

// Access rights of a view, with the original's values.
inline constexpr uint32_t SxMapCopy = 0x0001;
inline constexpr uint32_t SxMapWrite = 0x0002;
inline constexpr uint32_t SxMapRead = 0x0004;
inline constexpr uint32_t SxMapAllAccess = 0xF001F;

// The result of OpenSharedBlock when the block existed already.
inline constexpr int SxAlreadyExists = 183;

// Maps the named block (a POSIX shared-memory object, name given without
// or with the leading "/") and returns 0 when this call created it,
// SxAlreadyExists when it was there (in this module or elsewhere). Names
// that POSIX cannot take (empty, holding a "/" or longer than 255) raise
// ESharedMemError "Invalid MMF name"; creating with size 0 raises
// "cannot be created empty"; system failures raise EOSError. An existing
// object shorter than Size is grown with zero bytes, so a view never
// reaches past its object.
int OpenSharedBlock(void*& Address, const String& Name, size_t Size, uint32_t Access = SxMapAllAccess);
// True when Address is nullptr or a view this module's OpenSharedBlock
// returned (the address is then cleared); the last release unmaps.
bool ReleaseSharedBlock(void*& Address);
// Holding the result holds the lock of this module's block list; empty
// once the unit is finalizing.
TSxLockRef LockMappingList();
// Removes a block's name so that the next OpenSharedBlock creates a new one.
void UnlinkSharedBlock(const String& Name);

// Library handles are dlopen handles.
using TSxLibHandle = void*;
bool EnsureLibraryLoaded(TSxLibHandle& Handle, const String& FileName);
void UnloadLibraryHandle(TSxLibHandle& Handle);
void* LibrarySymbol(TSxLibHandle Handle, const char* SymbolName);
// Binds an entry point on first use; raises ESxError "Library not found"
// or "Function not found". The library stays loaded for the process.
void ResolveDelayedImport(void*& Address, const String& LibraryName, const char* EntryName);

void SxSysUtilsFinalization();
