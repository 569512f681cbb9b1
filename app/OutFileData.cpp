#include "app/OutFileData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

#include "platform/rtl/SysUtils.h"
#include "support/SxStrings.h"

TOutFileData::TOutFileData(const TOutputOptions& AOutputOptions, const TInputOptions& AInputOptions)
    : OutputOptions(AOutputOptions), InputOptions(AInputOptions), InputFiles(std::make_unique<TStringList>())
{
}

TOutFileData::~TOutFileData() = default;

void TOutFileData::SetValues(const TOptionValues& AValues, bool KeepSourceSize)
{
    const int sourceWidth = Values.SourceWidth;
    const int sourceHeight = Values.SourceHeight;
    Values = AValues;
    if (KeepSourceSize) {
        Values.SourceWidth = sourceWidth;
        Values.SourceHeight = sourceHeight;
    }
    // The size fields follow the frame-size box only while it is enabled:
    // "Original" is the source's own size, else the box's "WxH".
    if (!Values.cmbFrameSize.Enabled)
        return;
    if (Values.cmbFrameSize.Text.toLower() == QStringLiteral("original")) {
        TargetWidth = Values.SourceWidth;
        TargetHeight = Values.SourceHeight;
    } else {
        bool okWidth = false, okHeight = false;
        const int w = TextBefore(QStringLiteral("x"), Values.cmbFrameSize.Text.toLower()).trimmed().toInt(&okWidth);
        const int h = TextAfter(QStringLiteral("x"), Values.cmbFrameSize.Text.toLower()).trimmed().toInt(&okHeight);
        if (okWidth && okHeight) {
            TargetWidth = w;
            TargetHeight = h;
        }
    }
}

std::array<bool, 6> TOutFileData::FilterSwitches() const
{
    return {Values.BrightnessOn, Values.ContrastOn, Values.SaturationOn, Values.PadOn, Values.CropOn,
            Values.chkKeepAspect};
}

std::array<int, 8> TOutFileData::PadCrop() const
{
    return {Values.PadLeft,  Values.PadTop,  Values.PadRight,  Values.PadBottom,
            Values.CropLeft, Values.CropTop, Values.CropRight, Values.CropBottom};
}

TPassData::TPassData() : FFiles(std::make_unique<TStringList>()) {}

TPassData::~TPassData() = default;

void TPassData::ResetFileSelection()
{
    FFiles->Clear();
}

String FormatSeconds(int64_t Seconds)
{
    const int64_t hours = Seconds / 3600;
    const int64_t minutes = Seconds / 60 - hours * 60;
    const int64_t seconds = Seconds % 60;
    const auto part = [](int64_t v) { return PadLeftTo(String::number(v), 2, u'0'); };
    return part(hours) + u':' + part(minutes) + u':' + part(seconds);
}

String FormatFileSize(int64_t Bytes)
{
    constexpr int64_t KB = 1024, MB = KB * 1024, GB = MB * 1024;
    if (Bytes >= GB)
        return FormatFloat(QStringLiteral("#.## GB"), static_cast<long double>(Bytes) / GB);
    if (Bytes >= MB)
        return FormatFloat(QStringLiteral("#.## MB"), static_cast<long double>(Bytes) / MB);
    if (Bytes < KB)
        return FormatFloat(QStringLiteral("#.## b"), static_cast<long double>(Bytes));
    return FormatFloat(QStringLiteral("#.## KB"), static_cast<long double>(Bytes) / KB);
}

TOutputNamer::TOutputNamer(const QStringList& Inputs, bool OverwriteFiles) : FOverwriteFiles(OverwriteFiles)
{
    for (const String& input : Inputs) {
        FInputs.insert(canonical(input));
        if (const std::optional<TFileId> id = fileId(input))
            FInputIds.insert(*id);
    }
}

std::optional<TOutputNamer::TFileId> TOutputNamer::fileId(const String& FileName)
{
    struct stat st {};
    if (::stat(QFile::encodeName(FileName).constData(), &st) != 0)
        return std::nullopt;
    return TFileId{uint64_t(st.st_dev), uint64_t(st.st_ino)};
}

String TOutputNamer::canonical(const String& FileName)
{
    // The folder may exist while the file does not yet: resolve the folder
    // (links, "..") and keep the name; an existing file resolves whole.
    const QFileInfo info(FileName);
    const String existing = info.canonicalFilePath();
    if (!existing.isEmpty())
        return existing;
    const String folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : folder + u'/' + info.fileName();
}

bool TOutputNamer::taken(const String& FileName) const
{
    const String key = canonical(FileName);
    if (FReserved.contains(key) || FInputs.contains(key))
        return true;
    // Links, and names that differ only in case on a file system that
    // ignores case, reach an input by another name: the file's identity tells.
    if (const std::optional<TFileId> id = fileId(FileName); id && FInputIds.contains(*id))
        return true;
    return !FOverwriteFiles && QFileInfo::exists(FileName);
}

void TOutputNamer::Release(const String& FileName)
{
    FReserved.remove(canonical(FileName));
}

String TOutputNamer::MakeOutputFileName(const String& Folder, const String& InputFile, const String& CommandOutput,
                                        const String& TvTypeIndex, const String& Extension)
{
    String name = Folder + QFileInfo(InputFile).completeBaseName();
    if (CommandOutput == QStringLiteral("vcd") || CommandOutput == QStringLiteral("svcd") ||
        CommandOutput == QStringLiteral("dvd")) {
        if (TvTypeIndex == QStringLiteral("0"))
            name += QStringLiteral("_pal");
        else if (TvTypeIndex == QStringLiteral("1"))
            name += QStringLiteral("_ntsc");
    }
    String full = name + Extension;
    for (int n = 1; taken(full); ++n)
        full = name + QStringLiteral("_(") + String::number(n) + u')' + Extension;
    FReserved.insert(canonical(full));
    return full;
}
