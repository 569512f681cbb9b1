#include "support/KitGettext.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <atomic>
#include <mutex>

#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/Format.h"
#include "support/SxFileUtils.h"

namespace {

constexpr uint32_t MoMagic = 0x950412DE;
constexpr int64_t MoHeaderSize = 28;

// The appended-catalogue marker: a chain offset of 0 means nothing is appended.
[[maybe_unused]] const char EmbeddedMarker[44] = "A2A8D086-4FE8-51E6-9B92-06BDA83597AA\0\0\0\0\0\0\0";

String withDelimiter(const String& Folder)
{
    if (Folder.isEmpty() || Folder.endsWith(QLatin1Char('/')))
        return Folder;
    return Folder + QLatin1Char('/');
}

// The process-wide state of the unit, alive between start-up and shutdown.
struct GettextState {
    std::unique_ptr<TFileLocator> locator;
    std::unique_ptr<TGettextInstance> instance;
    std::shared_mutex domainsLock;
    std::vector<String> domains;
};

std::mutex stateLock;
std::unique_ptr<GettextState> state;
std::atomic<bool> alive{false};
std::thread::id creatorThread;
thread_local bool inLoader = false;

// A translation of a format string must take the arguments the original
// takes; one that does not (other kinds, a missing or extra argument, a
// giant width) would fail or misbehave wherever the text is formatted.
// Texts that are not format strings are not checked.
bool takesTheSameArguments(const String& Original, const String& Translation)
{
    if (!Original.contains(QLatin1Char('%')))
        return true;
    std::vector<char> original, translated;
    if (!FormatSignature(Original, original))
        return true;
    return FormatSignature(Translation, translated) && translated == original;
}

}  // namespace

// ---- catalogue ----------------------------------------------------------------

TMoFile::TMoFile(const String& FileName, int64_t Offset, int64_t Size)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EGGIOError(LoadResString(KitGettextConsts::SNotAMoFile) + FileName);
    if (Size == 0)
        Size = file.size() - Offset;
    if (Offset < 0 || Size < 0 || !file.seek(Offset))
        throw EGGIOError(LoadResString(KitGettextConsts::SNotAMoFile) + FileName);
    FContents = file.read(Size);
    if (FContents.size() != Size)
        throw EGGIOError(LoadResString(KitGettextConsts::SNotAMoFile) + FileName);
    parse(FileName);
}

std::unique_ptr<TMoFile> TMoFile::FromBytes(const QByteArray& Contents, const String& NameForErrors)
{
    std::unique_ptr<TMoFile> mo(new TMoFile());
    mo->FContents = Contents;
    mo->parse(NameForErrors);
    return mo;
}

uint32_t TMoFile::word(int64_t Offset) const
{
    const auto* p = reinterpret_cast<const uint8_t*>(FContents.constData()) + Offset;
    if (FSameByteOrder)
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    return uint32_t(p[3]) | uint32_t(p[2]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[0]) << 24;
}

void TMoFile::parse(const String& NameForErrors)
{
    // A short or damaged file is refused like a wrong magic, so that no
    // table or string is ever read outside the data.
    const auto refuse = [&] { throw EGGIOError(LoadResString(KitGettextConsts::SNotAMoFile) + NameForErrors); };
    const int64_t size = FContents.size();
    if (size < MoHeaderSize)
        refuse();
    FSameByteOrder = true;
    if (word(0) == MoMagic)
        FSameByteOrder = true;
    else {
        FSameByteOrder = false;
        if (word(0) != MoMagic)
            refuse();
    }
    FEntryCount = word(8);
    FKeyTableOffset = word(12);
    FValueTableOffset = word(16);
    const int64_t tableBytes = int64_t(FEntryCount) * 8;
    if (FKeyTableOffset + tableBytes > size || FValueTableOffset + tableBytes > size)
        refuse();
    for (int64_t table : {FKeyTableOffset, FValueTableOffset})
        for (uint32_t i = 0; i < FEntryCount; ++i) {
            const int64_t length = word(table + int64_t(i) * 8);
            const int64_t offset = word(table + int64_t(i) * 8 + 4);
            if (offset + length > size)
                refuse();
        }
    FFirstProbe = 0;
    if (FEntryCount > 0) {
        FFirstProbe = 1;
        while (FFirstProbe <= FEntryCount / 2)
            FFirstProbe *= 2;
    }
    FFirstStep = int32_t(FFirstProbe / 2);
}

QByteArray TMoFile::stringAt(int64_t TableOffset, uint32_t Index) const
{
    const uint32_t length = word(TableOffset + int64_t(Index) * 8);
    const uint32_t offset = word(TableOffset + int64_t(Index) * 8 + 4);
    return FContents.mid(offset, length);
}

QByteArray TMoFile::LookUp(const QByteArray& Key, bool& Found) const
{
    Found = false;
    if (FEntryCount == 0)
        return Key;
    int64_t probe = FFirstProbe;
    int64_t step = FFirstStep;
    for (;;) {
        const uint32_t length = word(FKeyTableOffset + (probe - 1) * 8);
        const uint32_t offset = word(FKeyTableOffset + (probe - 1) * 8 + 4);
        const auto* entry = reinterpret_cast<const uint8_t*>(FContents.constData()) + offset;
        const auto* key = reinterpret_cast<const uint8_t*>(Key.constData());
        const int64_t common = std::min<int64_t>(Key.size(), length);
        int64_t result = 0;
        for (int64_t i = 0; i < common && result == 0; ++i)
            result = int64_t(key[i]) - int64_t(entry[i]);
        if (result == 0)
            result = int64_t(Key.size()) - int64_t(length);
        if (result == 0) {
            Found = true;
            return stringAt(FValueTableOffset, uint32_t(probe - 1));
        }
        if (step == 0)
            return Key;
        if (result < 0)
            probe = probe < step + 1 ? 1 : probe - step;
        else
            probe = std::min<int64_t>(probe + step, FEntryCount);
        step /= 2;
    }
}

// ---- locator ------------------------------------------------------------------

TFileLocator::TFileLocator() = default;
TFileLocator::~TFileLocator() = default;

void TFileLocator::ScanEmbedded()
{
    uint64_t chain = 0;
    for (int i = 0; i < 8; ++i)
        chain |= uint64_t(uint8_t(EmbeddedMarker[36 + i])) << (8 * i);
    if (chain == 0)
        return;
    FBaseFolder = withDelimiter(QFileInfo(ModuleFileName(0)).absolutePath());
}

bool TFileLocator::EmbeddedFileExists(const String&) const { return false; }

TMoFile* TFileLocator::AcquireCatalogue(const String& FileName)
{
    const String key = FileName + QChar(0) + QString::number(0);
    const std::unique_lock guard(FCataloguesLock);
    auto it = FCatalogues.find(key);
    if (it == FCatalogues.end())
        it = FCatalogues.emplace(key, std::make_unique<TMoFile>(FileName)).first;
    ++it->second->UserCount;
    return it->second.get();
}

void TFileLocator::ReleaseCatalogue(TMoFile*& Catalogue)
{
    if (Catalogue == nullptr)
        return;
    const std::unique_lock guard(FCataloguesLock);
    if (--Catalogue->UserCount <= 0) {
        for (auto it = FCatalogues.begin(); it != FCatalogues.end(); ++it)
            if (it->second.get() == Catalogue) {
                FCatalogues.erase(it);
                break;
            }
    }
    Catalogue = nullptr;
}

int TFileLocator::CatalogueCount() const
{
    const std::shared_lock guard(FCataloguesLock);
    return int(FCatalogues.size());
}

// ---- domain -------------------------------------------------------------------

void TDomain::SetFolder(const String& Folder)
{
    CloseCatalogue();
    CatalogueFolder = withDelimiter(Folder);
}

void TDomain::SetLanguage(const String& Code)
{
    CloseCatalogue();
    LanguageCode = Code;
}

void TDomain::OpenCatalogue()
{
    const auto nameFor = [&](const String& code) {
        return CatalogueFolder + code + QLatin1String("/LC_MESSAGES/") + DomainName + QLatin1String(".mo");
    };
    String name = nameFor(LanguageCode);
    if (!FLocator.EmbeddedFileExists(name) && !QFileInfo(name).isFile())
        name = nameFor(LanguageCode.left(2));
    if (!FLocator.EmbeddedFileExists(name) && !QFileInfo(name).isFile()) {
        OpenFailed = true;
        return;
    }
    try {
        Catalogue = FLocator.AcquireCatalogue(name);
    } catch (const EGGIOError& e) {
        // Refused once, with one line; the domain then works without it
        // until its language or folder changes.
        qWarning().noquote() << e.Message();
        OpenFailed = true;
        return;
    }
    if (!HeaderField(QStringLiteral("Content-Type")).toUpper().contains(QLatin1String("CHARSET=UTF-8"))) {
        CloseCatalogue();
        Active = false;
        const String text = LoadResStringFmt(KitGettextConsts::SNoUtf8Charset, {LanguageCode, name});
        if (Application != nullptr)
            Application->DialogService()->MessageBox(text, LoadResString(KitGettextConsts::SLocalizationProblem), MB_OK);
        else
            qWarning().noquote() << text;
    }
}

void TDomain::CloseCatalogue()
{
    if (Catalogue != nullptr)
        FLocator.ReleaseCatalogue(Catalogue);
    OpenFailed = false;
}

QByteArray TDomain::Translate(const QByteArray& Key)
{
    if (!Active)
        return Key;
    if (Catalogue == nullptr && !OpenFailed)
        OpenCatalogue();
    if (Catalogue == nullptr)
        return Key;
    bool found = false;
    return Catalogue->LookUp(Key, found);
}

String TDomain::HeaderField(const String& Name)
{
    const QByteArray header = Translate(QByteArray());
    const QByteArray prefix = (Name + QLatin1String(": ")).toUtf8().toLower();
    for (const QByteArray& line : header.split('\n')) {
        if (!line.toLower().startsWith(prefix))
            continue;
        QByteArray value = line.mid(prefix.size());
        int a = 0, b = int(value.size());
        while (a < b && uint8_t(value[a]) < 33)
            ++a;
        while (b > a && uint8_t(value[b - 1]) < 33)
            --b;
        return String::fromUtf8(value.mid(a, b - a));
    }
    return String();
}

// ---- instance -----------------------------------------------------------------

TGettextInstance::TGettextInstance(TFileLocator& Locator, const String& ProgramFolder)
    : FLocator(Locator), FCreatorThreadId(std::this_thread::get_id()), FCurrentDomain(QStringLiteral("default")),
      FDefaultCatalogueFolder(withDelimiter(ProgramFolder) + QLatin1String("locale"))
{
    SelectLanguage(String());
    SetDomainFolder(QStringLiteral("default"), FDefaultCatalogueFolder);
    SetCurrentDomain(QStringLiteral("default"));
}

TGettextInstance::~TGettextInstance() = default;

void TGettextInstance::SelectLanguage(const String& Code)
{
    FLanguageCode = Code.isEmpty() ? SystemLanguageCode() : Code;
    for (auto& d : FDomains)
        d->SetLanguage(FLanguageCode);
    LanguageChanged(FLanguageCode);
}

void TGettextInstance::SetDomainFolder(const String& Name, const String& Folder)
{
    GetDomain(Name, Folder, FLanguageCode)->SetFolder(Folder);
    DomainFolderChanged(Name, Folder);
}

void TGettextInstance::SetCurrentDomain(const String& Name)
{
    FCurrentDomain = Name;
    DomainChanged(Name);
}

TDomain* TGettextInstance::GetDomain(const String& Name, const String& Folder, const String& Language)
{
    for (auto& d : FDomains)
        if (d->DomainName.compare(Name, Qt::CaseInsensitive) == 0)
            return d.get();
    auto d = std::make_unique<TDomain>(FLocator);
    d->DomainName = Name;
    d->SetFolder(Folder);
    d->SetLanguage(Language);
    FDomains.push_back(std::move(d));
    return FDomains.back().get();
}

String TGettextInstance::TranslateIn(const String& DomainName, const String& Text)
{
    TDomain* domain = GetDomain(DomainName, FDefaultCatalogueFolder, FLanguageCode);
    // Keys never hold carriage returns; on this platform a line break is a
    // bare line feed, so none are added back to the result.
    return Utf8ToUtf16(domain->Translate(RemoveCarriageReturns(Utf16ToUtf8(Text))));
}

// ---- resource-string domains and the loader -----------------------------------

void AddResourceStringDomain(const String& Name)
{
    const std::lock_guard guard(stateLock);
    if (!state)
        return;
    const std::unique_lock write(state->domainsLock);
    for (const String& d : state->domains)
        if (d.compare(Name, Qt::CaseInsensitive) == 0)
            return;
    state->domains.push_back(Name);
}

String TranslateResourceString(const String& Text)
{
    if (Text.isEmpty() || !alive.load())
        return Text;
    GettextState* s = state.get();
    std::vector<String> domains;
    {
        const std::shared_lock read(s->domainsLock);
        domains = s->domains;
    }
    for (const String& name : domains) {
        const String result = s->instance->TranslateIn(name, Text);
        if (result == Text)
            continue;
        if (takesTheSameArguments(Text, result))
            return result;
    }
    return Text;
}

TGettextInstance* GettextInstance() { return alive.load() ? state->instance.get() : nullptr; }
TFileLocator* GettextFileLocator() { return alive.load() ? state->locator.get() : nullptr; }

void KitGettextInitialization()
{
    {
        const std::lock_guard guard(stateLock);
        state = std::make_unique<GettextState>();
        state->locator = std::make_unique<TFileLocator>();
        state->locator->ScanEmbedded();
        state->domains.push_back(QStringLiteral("default"));
        state->instance = std::make_unique<TGettextInstance>(*state->locator,
                                                             QFileInfo(ModuleFileName(0)).absolutePath());
        creatorThread = std::this_thread::get_id();
        alive.store(true);
    }
    SetResStringLoader([](const TResStringRec& Rec) -> String {
        // The catalogues and domains are not locked: as the loader always
        // did, only the thread that made them translates.
        if (!alive.load() || std::this_thread::get_id() != creatorThread || inLoader)
            return String();
        // Opening a catalogue loads resource texts itself (its error texts);
        // those come untranslated instead of opening it again.
        inLoader = true;
        const struct Leave { ~Leave() { inLoader = false; } } leave;
        const String text = String::fromUtf8(Rec.Text);
        try {
            return TranslateResourceString(text);
        } catch (const Exception& e) {
            // A damaged translation must not break the caller's text.
            qWarning().noquote() << e.Message();
            return String();
        }
    });
}

void KitGettextFinalization()
{
    SetResStringLoader({});
    const std::lock_guard guard(stateLock);
    alive.store(false);
    state.reset();
}

// ---- text conversions ---------------------------------------------------------

QByteArray Utf16ToUtf8(const String& Text)
{
    // Surrogate pairs become one four-byte sequence, as catalogue keys have them.
    return Text.toUtf8();
}

String Utf8ToUtf16(const QByteArray& Bytes)
{
    String result;
    result.reserve(Bytes.size());
    int i = 0;
    const int n = int(Bytes.size());
    while (i < n) {
        const uint8_t b = uint8_t(Bytes[i++]);
        if (b < 0x80) {
            result.append(QChar(char16_t(b)));
            continue;
        }
        int more = 0;
        uint32_t value = 0;
        if (b >= 0xC0 && b <= 0xDF) { more = 1; value = b & 0x1F; }
        else if (b >= 0xE0 && b <= 0xEF) { more = 2; value = b & 0x0F; }
        else if (b >= 0xF0 && b <= 0xF7) { more = 3; value = b & 0x07; }
        else if (b >= 0xF8 && b <= 0xFB) { more = 4; value = b & 0x03; }
        else if (b >= 0xFC && b <= 0xFE) { more = 5; value = b & 0x01; }
        else
            throw Exception(LoadResString(KitGettextConsts::SUtf8InvalidByte));
        for (int k = 0; k < more; ++k) {
            if (i >= n)
                throw Exception(LoadResString(KitGettextConsts::SUtf8Terminated));
            const uint8_t c = uint8_t(Bytes[i++]);
            if (c < 0x80 || c > 0xBF)
                throw Exception(LoadResString(KitGettextConsts::SUtf8InvalidByte));
            value = (value << 6) | (c & 0x3F);
        }
        if (value > 0x10FFFF)
            throw Exception(LoadResString(KitGettextConsts::SUtf8LargeChar));
        if (value > 0xFFFF) {
            result.append(QChar::highSurrogate(value));
            result.append(QChar::lowSurrogate(value));
        } else
            result.append(QChar(char16_t(value)));
    }
    return result;
}

QByteArray RemoveCarriageReturns(const QByteArray& Bytes)
{
    QByteArray r = Bytes;
    r.replace('\r', QByteArray());
    return r;
}

QByteArray AddCarriageReturns(const QByteArray& Bytes)
{
    QByteArray r;
    r.reserve(Bytes.size() + 8);
    for (int i = 0; i < Bytes.size(); ++i) {
        if (Bytes[i] == '\n' && i > 0 && Bytes[i - 1] != '\r')
            r.append('\r');
        r.append(Bytes[i]);
    }
    return r;
}

String SystemLanguageCode()
{
    String code;
    const QByteArray language = qgetenv("LANGUAGE");
    if (!language.isEmpty())
        code = String::fromLocal8Bit(language.split(':').first());
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (!code.isEmpty())
            break;
        code = String::fromLocal8Bit(qgetenv(name));
    }
    for (QChar cut : {QLatin1Char('.'), QLatin1Char('@')}) {
        const auto at = code.indexOf(cut);
        if (at >= 0)
            code.truncate(at);
    }
    return code.isEmpty() ? QStringLiteral("C") : code;
}
