// A readable account of what an option string set on a task.
#include <set>

#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"

namespace {


String text(const std::variant<int, int64_t, float, double, AnsiString>& v)
{
    return std::visit(
        [](const auto& x) -> String {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, AnsiString>)
                return LibraryText(x);
            else
                return String::number(x);
        },
        v);
}

void line(String& out, const String& name, const String& value)
{
    out += name + QLatin1String(" = ") + value + QLatin1Char('\n');
}

void dictionary(String& out, const char* title, const AVDictionary* dict)
{
    const AVDictionaryEntry* e = nullptr;
    while ((e = ff::av_dict_get(dict, "", e, AV_DICT_IGNORE_SUFFIX)) != nullptr)
        line(out, QLatin1String(title) + QLatin1Char(' ') + LibraryText(e->key), LibraryText(e->value));
}

}  // namespace

String DescribeOptions(const TCustomFFmpeg& task)
{
    const TFFmpegSettings defaults;
    const TFileOptions fresh;
    const TFFmpegSettings& s = task.Settings();
    const TFileOptions& o = task.OptionsContext();
    String out;
    std::set<const void*> shown;  // a field that several rows store into is shown once

    for (const TOptionDef* po = OptionTableRows(); po->Name; ++po) {
        const String name = QLatin1String(po->Name);
        std::visit(
            [&](auto member) {
                using M = decltype(member);
                if constexpr (std::is_same_v<M, std::monostate> || std::is_same_v<M, TOptionHandler> ||
                              std::is_same_v<M, TOptionContextHandler>) {
                    return;
                } else if constexpr (std::is_same_v<M, int TFFmpegSettings::*> ||
                                     std::is_same_v<M, float TFFmpegSettings::*>) {
                    if (shown.insert(&(s.*member)).second && s.*member != defaults.*member)
                        line(out, name, String::number(s.*member));
                } else if constexpr (std::is_same_v<M, TStreamValues TFileOptions::*>) {
                    if (shown.insert(&(o.*member)).second)
                        for (const TStreamValue& e : o.*member)
                            line(out, e.Specifier.isEmpty() ? name : name + QLatin1Char(':') + LibraryText(e.Specifier),
                                 text(e.Value));
                } else if constexpr (std::is_same_v<M, AnsiString TFileOptions::*>) {
                    if (shown.insert(&(o.*member)).second && o.*member != fresh.*member)
                        line(out, name, LibraryText(o.*member));
                } else {
                    if (shown.insert(&(o.*member)).second && o.*member != fresh.*member)
                        line(out, name, String::number(o.*member));
                }
            },
            po->Target);
    }

    const std::pair<const char*, const AnsiString*> names[] = {
        {"forced video codec", &s.VideoCodecName}, {"forced audio codec", &s.AudioCodecName},
        {"forced subtitle codec", &s.SubtitleCodecName}, {"passlogfile", &s.PassLogPrefix},
        {"vstats_file", &s.VStatsFileName}};
    for (const auto& [title, value] : names)
        if (!value->isEmpty())
            line(out, QLatin1String(title), LibraryText(*value));
    if (s.Pass != 0)
        line(out, QStringLiteral("pass"), String::number(s.Pass));
    for (const AnsiString& hook : s.VideoHooks)
        line(out, QStringLiteral("vhook"), LibraryText(hook));
    if (s.VideoHookBitsPixel != defaults.VideoHookBitsPixel)
        line(out, QStringLiteral("VideoHookBitsPixel"), String::number(s.VideoHookBitsPixel));
    for (const TStreamMapEntry& m : o.StreamMaps)
        line(out, QStringLiteral("map"),
             QStringLiteral("%1:%2 sync %3:%4%5")
                 .arg(m.FileIndex).arg(m.StreamIndex).arg(m.SyncFileIndex).arg(m.SyncStreamIndex)
                 .arg(m.Disabled ? QStringLiteral(" disabled") : QString()));
    for (const TChannelMapEntry& m : o.AudioChannelMaps)
        line(out, QStringLiteral("map_channel"),
             QStringLiteral("%1.%2.%3:%4.%5")
                 .arg(m.FileIndex).arg(m.StreamIndex).arg(m.ChannelIndex).arg(m.OFileIndex).arg(m.OStreamIndex));
    for (const TMetadataMapPair& m : o.MetaDataMaps)
        line(out, QStringLiteral("map_metadata"),
             QStringLiteral("%1%2:%3 from %4%5:%6")
                 .arg(m.Output.FileIndex).arg(QLatin1Char(m.Output.Type)).arg(m.Output.Index)
                 .arg(m.Input.FileIndex).arg(QLatin1Char(m.Input.Type)).arg(m.Input.Index));
    for (const AnsiString& a : o.Attachments)
        line(out, QStringLiteral("attach"), LibraryText(a));
    for (size_t i = 0; i < o.StreamIdMap.size(); ++i)
        if (o.StreamIdMap[i] != 0)
            line(out, QStringLiteral("streamid %1").arg(i), String::number(o.StreamIdMap[i]));
    dictionary(out, "codec", task.LibavOptions().CodecOpts);
    dictionary(out, "format", task.LibavOptions().FormatOpts);
    return out;
}
