// KvVersionInfo.h - the version resource of a file (by default the program's
// own): fixed information, translations and the standard string values.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/rtl/Component.h"
#include "support/SxVersionResource.h"

class TKvVersionInfo : public TComponent {
public:
    explicit TKvVersionInfo(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TKvVersionInfo"); }

    const String& FileName() const { return FFileName; }
    // Reads the file's information anew; empty means the program's own file.
    void SetFileName(const String& Value);

    String GetStringValue(const String& Name) const;
    // Index 0..11 of the standard names.
    String GetStringByIndex(int Index) const;
    int CurrentTranslation() const { return FHaveInfo ? FCurrentTranslation : -1; }
    void SetCurrentTranslation(int Value);
    int TranslationCount() const { return int(FTranslations.size()); }
    String TranslationString() const;
    bool HaveInfo() const { return FHaveInfo; }
    const VS_FIXEDFILEINFO& FixedFileInfo() const { return FFixed; }

    static const char* const StandardNames[12];

protected:
    virtual void ClearInfo() { FHaveInfo = false; }
    virtual void ReadVersionInfo();

private:
    String FFileName;
    bool FHaveInfo = false;
    AnsiString FData;
    VS_FIXEDFILEINFO FFixed{};
    std::vector<uint32_t> FTranslations;  // language word low, code page high
    int FCurrentTranslation = -1;
};
