// SxFileUtils.h - the version resource of a file read as a whole: the fixed
// record, every string table as key=value lines, and the translations.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/Set.h"
#include "platform/rtl/StringList.h"
#include "support/SxBase.h"
#include "support/SxUnitVersioning.h"
#include "support/SxVersionResource.h"

namespace SxResources {
VORLANE_RESOURCESTRING(RsFileUtilsFileDoesNotExist, "The file %s does not exist");
VORLANE_RESOURCESTRING(RsFileUtilsNoVersionInfo, "File contains no version information");
}  // namespace SxResources

VORLANE_DECLARE_EXCEPTION(ESxFileVersionInfoError, ESxError);

enum TSxFileFlag { ffDebug, ffInfoInferred, ffPatched, ffPreRelease, ffPrivateBuild, ffSpecialBuild };
using TSxFileFlags = TSet<TSxFileFlag>;

// Indexed from 1 to 12.
String VersionKeyNames(int Index);

class TSxFileVersionInfo : public TObject {
public:
    // Raises ESxFileVersionInfoError "The file %s does not exist" or "File
    // contains no version information"; EOSError when the file cannot be read.
    explicit TSxFileVersionInfo(const String& FileName);
    // Parses a resource already in memory.
    static std::unique_ptr<TSxFileVersionInfo> FromRawData(const AnsiString& RawData);

    String ClassName() const override { return String::fromLatin1("TSxFileVersionInfo"); }

    // The value of VersionKeyNames(Index) in the chosen table; empty when absent.
    String VersionKeyValue(int Index) const;

    const AnsiString& RawData() const { return FRawData; }
    const VS_FIXEDFILEINFO& FixedRecord() const { return FFixedRecord; }
    TSxFileFlags FlagSet() const { return FFlagSet; }
    const TStringList& AllEntries() const { return FAllEntries; }
    // Each line's object is its table's language pair (cast to an integer).
    const TStringList& ChosenEntries() const { return FChosenEntries; }
    const std::vector<uint32_t>& LanguagePairs() const { return FLanguagePairs; }
    int ChosenLanguage() const { return FChosenLanguage; }
    const std::vector<uint32_t>& TranslationPairs() const { return FTranslationPairs; }

private:
    TSxFileVersionInfo() = default;
    void parse();

    AnsiString FRawData;
    VS_FIXEDFILEINFO FFixedRecord{};
    TSxFileFlags FFlagSet;
    TStringList FAllEntries;
    TStringList FChosenEntries;
    std::vector<uint32_t> FLanguagePairs;
    int FChosenLanguage = 0;
    std::vector<uint32_t> FTranslationPairs;
};

bool HasVersionResource(const String& FileName);
bool ReadFixedVersionRecord(const String& FileName, VS_FIXEDFILEINFO& Fixed);
bool FileExistsNotFolder(const String& Name);
// The file of a module (0: the program itself).
String ModuleFileName(TModuleHandle Module);
