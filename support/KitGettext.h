// KitGettext.h - translation of the program's resource strings through GNU
// gettext message catalogues (.mo files) under the program folder's "locale" tree.
#pragma once
#include <QByteArray>
#include <cstdint>
#include <map>
#include <memory>
#include <shared_mutex>
#include <thread>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"

namespace KitGettextConsts {
VORLANE_RESOURCESTRING(SNotAMoFile, "This file is not a valid GNU gettext mo file: ");
VORLANE_RESOURCESTRING(SLocalizationProblem, "Localization problem");
VORLANE_RESOURCESTRING(SNoUtf8Charset,
                       "The translation for the language code %s (in %s) does not have charset=utf-8 in its "
                       "Content-Type. Translations are turned off.");
VORLANE_RESOURCESTRING(SUtf8LargeChar,
                       "Utf-8 string contained unicode character larger than $10FFFF. This is not supported.");
VORLANE_RESOURCESTRING(SUtf8InvalidByte, "Invalid byte sequence encountered in utf-8 string");
VORLANE_RESOURCESTRING(SUtf8Terminated, "Utf-8 string terminated unexpectedly in the middle of a multibyte sequence");
}  // namespace KitGettextConsts

VORLANE_DECLARE_EXCEPTION(EGettext, Exception);
VORLANE_DECLARE_EXCEPTION(EGGIOError, EGettext);
VORLANE_DECLARE_EXCEPTION(EGGProgrammingError, EGettext);

// One catalogue read whole into memory. Every table entry is checked against
// the data when it is read, so a lookup never leaves the buffer.
class TMoFile {
public:
    // Size 0: from Offset to the end of the file. EGGIOError for a file
    // that cannot be read, is not a catalogue, or is truncated or damaged.
    TMoFile(const String& FileName, int64_t Offset = 0, int64_t Size = 0);
    static std::unique_ptr<TMoFile> FromBytes(const QByteArray& Contents, const String& NameForErrors);

    // The value of Key, or Key itself when absent.
    QByteArray LookUp(const QByteArray& Key, bool& Found) const;

    int UserCount = 0;
    bool SameByteOrder() const { return FSameByteOrder; }
    uint32_t EntryCount() const { return FEntryCount; }

private:
    TMoFile() = default;
    void parse(const String& NameForErrors);
    uint32_t word(int64_t Offset) const;
    QByteArray stringAt(int64_t TableOffset, uint32_t Index) const;

    QByteArray FContents;
    bool FSameByteOrder = true;
    uint32_t FEntryCount = 0;
    int64_t FKeyTableOffset = 0;
    int64_t FValueTableOffset = 0;
    uint32_t FFirstProbe = 0;
    int32_t FFirstStep = 0;
};

// Shares catalogues by file and offset between the domains that open them.
class TFileLocator {
public:
    TFileLocator();
    ~TFileLocator();
    // The program carries no appended catalogues: its marker's chain offset is 0.
    void ScanEmbedded();
    bool EmbeddedFileExists(const String& FileName) const;
    // EGGIOError as TMoFile raises it.
    TMoFile* AcquireCatalogue(const String& FileName);
    void ReleaseCatalogue(TMoFile*& Catalogue);
    int CatalogueCount() const;

private:
    mutable std::shared_mutex FCataloguesLock;
    std::map<String, std::unique_ptr<TMoFile>> FCatalogues;  // key: file name, NUL, offset
    String FBaseFolder;
};

class TDomain {
public:
    explicit TDomain(TFileLocator& Locator) : FLocator(Locator) {}
    ~TDomain() { CloseCatalogue(); }

    bool Active = true;
    String CatalogueFolder;  // ends in a path delimiter
    String DomainName;
    String LanguageCode;
    TMoFile* Catalogue = nullptr;
    bool OpenFailed = false;

    void SetFolder(const String& Folder);
    void SetLanguage(const String& Code);
    // UTF-8 in and out.
    QByteArray Translate(const QByteArray& Key);
    String HeaderField(const String& Name);
    void OpenCatalogue();
    void CloseCatalogue();

private:
    TFileLocator& FLocator;
};

// The one translation instance of the process, made at start-up.
class TGettextInstance {
public:
    TGettextInstance(TFileLocator& Locator, const String& ProgramFolder);
    virtual ~TGettextInstance();

    // Empty: from the environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, the
    // first that is set), cut at "." and "@".
    void SelectLanguage(const String& Code);
    void SetDomainFolder(const String& Name, const String& Folder);
    void SetCurrentDomain(const String& Name);
    TDomain* GetDomain(const String& Name, const String& Folder, const String& Language);
    String TranslateIn(const String& DomainName, const String& Text);

    const String& LanguageCode() const { return FLanguageCode; }
    const String& CurrentDomain() const { return FCurrentDomain; }
    const String& DefaultCatalogueFolder() const { return FDefaultCatalogueFolder; }
    std::thread::id CreatorThreadId() const { return FCreatorThreadId; }

protected:
    virtual void LanguageChanged(const String& Code) { (void)Code; }
    virtual void DomainChanged(const String& Name) { (void)Name; }
    virtual void DomainFolderChanged(const String& Name, const String& Folder) { (void)Name; (void)Folder; }

private:
    TFileLocator& FLocator;
    std::thread::id FCreatorThreadId;
    String FLanguageCode;
    String FCurrentDomain;
    String FDefaultCatalogueFolder;
    std::vector<std::unique_ptr<TDomain>> FDomains;
};

// Resource-string domains, translated in the order added ("default" first).
void AddResourceStringDomain(const String& Name);
// The first domain's translation that differs from Text, else Text. A
// translation of a format string that takes other arguments than the
// original (or a width or precision past Format's bound) is passed over.
String TranslateResourceString(const String& Text);

// Between start-up and shutdown of the unit; nullptr otherwise. Main thread.
TGettextInstance* GettextInstance();
TFileLocator* GettextFileLocator();

// The unit's start-up: the instance bound to <program folder>/locale and
// the resource-string loader redirected. Shutdown removes the redirect.
void KitGettextInitialization();
void KitGettextFinalization();

String Utf8ToUtf16(const QByteArray& Bytes);
QByteArray Utf16ToUtf8(const String& Text);
QByteArray RemoveCarriageReturns(const QByteArray& Bytes);
QByteArray AddCarriageReturns(const QByteArray& Bytes);
// The language of the environment, "C" when none is set.
String SystemLanguageCode();
