#include "support/KvVersionInfo.h"

#include "support/SxFileUtils.h"

const char* const TKvVersionInfo::StandardNames[12] = {
    "Comments", "CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
    "LegalTrademarks", "OriginalFileName", "PrivateBuild", "ProductName", "ProductVersion", "SpecialBuild"};

TKvVersionInfo::TKvVersionInfo(TComponent* AOwner) : TComponent(AOwner) { SetFileName(String()); }

void TKvVersionInfo::SetFileName(const String& Value)
{
    FFileName = Value.isEmpty() ? ModuleFileName(0) : Value;
    ClearInfo();
    ReadVersionInfo();
}

void TKvVersionInfo::ReadVersionInfo()
{
    FHaveInfo = false;
    FFixed = VS_FIXEDFILEINFO{};
    FTranslations.clear();
    FCurrentTranslation = -1;
    FData.clear();
    if (GetFileVersionInfoSize(FFileName) == 0 || !GetFileVersionInfo(FFileName, FData))
        return;
    VS_FIXEDFILEINFO fixed;
    if (!QueryFixedFileInfo(FData, fixed))
        return;
    FHaveInfo = true;
    FFixed = fixed;
    try {
        const auto info = TSxFileVersionInfo::FromRawData(FData);
        FTranslations = info->TranslationPairs();
    } catch (const Exception&) {
        // A damaged tree keeps the fixed part and offers no strings.
    }
    FCurrentTranslation = FTranslations.empty() ? -1 : 0;
}

void TKvVersionInfo::SetCurrentTranslation(int Value)
{
    FCurrentTranslation = Value >= 0 && Value < TranslationCount() ? Value : -1;
}

String TKvVersionInfo::TranslationString() const
{
    if (!FHaveInfo || FCurrentTranslation < 0)
        return String();
    const uint32_t t = FTranslations[size_t(FCurrentTranslation)];
    return String::asprintf("%4.4x%4.4x", unsigned(t & 0xFFFF), unsigned(t >> 16));
}

String TKvVersionInfo::GetStringValue(const String& Name) const
{
    if (!FHaveInfo || FCurrentTranslation < 0)
        return String();
    try {
        const auto info = TSxFileVersionInfo::FromRawData(FData);
        const uint32_t t = FTranslations[size_t(FCurrentTranslation)];
        const uint32_t wanted = (t >> 16) << 16 | (t & 0xFFFF);
        const auto& pairs = info->LanguagePairs();
        const TStringList& entries = info->AllEntries();
        for (int i = 0; i < entries.Count(); ++i) {
            const auto table = size_t(reinterpret_cast<intptr_t>(entries.Objects(i)));
            if (table >= pairs.size() || pairs[table] != wanted)
                continue;
            const String line = entries.Strings(i);
            const auto eq = line.indexOf(QLatin1Char('='));
            if (eq >= 0 && line.left(eq).compare(Name, Qt::CaseInsensitive) == 0)
                return line.mid(eq + 1);
        }
    } catch (const Exception&) {
    }
    return String();
}

String TKvVersionInfo::GetStringByIndex(int Index) const
{
    if (Index < 0 || Index >= 12)
        return String();
    return GetStringValue(String::fromLatin1(StandardNames[Index]));
}
