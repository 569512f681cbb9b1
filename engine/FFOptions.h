// FFOptions.h - what an option name means to a conversion task: the rows of
// the option table, the tool settings and the per-file options context they store into.
#pragma once
#include <climits>
#include <cstdint>
#include <variant>
#include <vector>

#include "platform/rtl/String.h"

class TCustomFFmpeg;
struct TFileOptions;

// ---- flags of a row ------------------------------------------------------------

enum : int {
    ofHasArg = 0x1,
    ofBool = 0x2,
    ofExpert = 0x4,
    ofString = 0x8,
    ofVideo = 0x10,
    ofAudio = 0x20,
    ofGrab = 0x40,
    ofInt = 0x80,
    ofFloat = 0x100,
    ofSubtitle = 0x200,
    ofInt64 = 0x400,
    ofExit = 0x800,
    ofData = 0x1000,
    ofContextHandler = 0x2000,
    ofOffset = 0x4000,
    ofPerStream = 0x8000,
    ofTime = 0x10000,
    ofDouble = 0x20000,
};

// ---- the tool settings -------------------------------------------------------------

// The command-line tool's settings that options write, with their defaults;
// the conversion reads them. Owned by the task (TCustomFFmpeg::Settings()).
struct TFFmpegSettings {
    int RawSampleBits = 0;            // bits_per_raw_sample
    int VideoDiscard = 0;             // vdt
    int SameQuant = 0;                // sameq, same_quant
    int Deinterlace = 0;              // deinterlace
    int IntraDCPrecision = 8;         // dc
    int LoopInput = 0;                // loop_input
    int LoopOutput = -1;              // loop_output
    int QPHist = 0;                   // qphist
    int IntraOnly = 0;                // intra
    AnsiString VideoCodecName;        // vcodec (forced codec names)
    AnsiString AudioCodecName;        // acodec
    AnsiString SubtitleCodecName;     // scodec
    int Overwrite = 0;                // y
    int NeverOverwrite = 0;           // n
    int HexDump = 0;                  // hex
    int PacketDump = 0;               // dump
    int PSNR = 0;                     // psnr
    int Pass = 0;                     // pass: 1, 2 or 3 (both)
    AnsiString PassLogPrefix;         // passlogfile
    int VideoSync = -1;               // vsync
    int AudioSync = 0;                // async
    float AudioDriftThreshold = 0.1f; // adrift_threshold
    int CopyTS = 0;                   // copyts
    int CopyTB = -1;                  // copytb
    int Shortest = 0;                 // shortest
    float DtsDeltaThreshold = 10.0f;  // dts_delta_threshold
    AnsiString VStatsFileName;        // vstats, vstats_file
    int Volume = 256;                 // vol
    int ExitOnError = 0;              // xerror
    int InputSync = 0;                // isync
    int PrintStats = 1;               // stats
    // Stored for the plug-in chain and the hook bitmaps, which act later.
    std::vector<AnsiString> VideoHooks;  // vhook values, in order
    bool UsingVideoHook = false;
    int VideoHookBitsPixel = 24;
};

// ---- the options context -------------------------------------------------------------

// One entry of a per-stream option: the specifier after the option's ":"
// (empty without one) and the value of the row's type.
struct TStreamValue {
    AnsiString Specifier;
    std::variant<int, int64_t, float, double, AnsiString> Value;
};
using TStreamValues = std::vector<TStreamValue>;

struct TStreamMapEntry {
    int Disabled = 0;
    int FileIndex = 0;
    int StreamIndex = 0;
    int SyncFileIndex = 0;
    int SyncStreamIndex = 0;
};

// -1 = none (a muted channel has every index -1).
struct TChannelMapEntry {
    int FileIndex = -1;
    int StreamIndex = -1;
    int ChannelIndex = -1;
    int OFileIndex = -1;
    int OStreamIndex = -1;
};

struct TMetadataMapEntry {
    int FileIndex = 0;
    char Type = 'g';  // g, s, c or p
    int Index = 0;
};

// {output, input}.
struct TMetadataMapPair {
    TMetadataMapEntry Output;
    TMetadataMapEntry Input;
};

// The options of the one file being described; a fresh value is the reset
// state of an output (an input keeps the recording time, see ResetOptionsContext).
struct TFileOptions {
    int64_t StartTime = 0;                  // ss
    AnsiString FormatName;                  // f
    TStreamValues CodecNames;               // c, codec
    TStreamValues AudioChannels;            // ac
    TStreamValues AudioSampleRates;         // ar
    TStreamValues RematrixVolumes;          // rmvol
    TStreamValues FrameRates;               // r
    TStreamValues FrameSizes;               // s
    TStreamValues FramePixFmts;             // pix_fmt
    int64_t InputTSOffset = 0;              // itsoffset
    int RateEmu = 0;                        // re
    TStreamValues TSScale;                  // itsscale
    TStreamValues DumpAttachment;           // dump_attachment
    std::vector<TStreamMapEntry> StreamMaps;      // map
    std::vector<TChannelMapEntry> AudioChannelMaps;  // map_channel
    std::vector<TMetadataMapPair> MetaDataMaps;   // map_metadata
    int MetadataGlobalManual = 0;
    int MetadataStreamsManual = 0;
    int MetadataChaptersManual = 0;
    std::vector<AnsiString> Attachments;    // attach
    int ChaptersInputFile = INT_MAX;        // map_chapters
    int64_t RecordingTime = INT64_MAX;      // t (none)
    int64_t LimitFileSize = INT64_MAX;      // fs
    float MuxPreload = 0.0f;                // muxpreload
    float MuxMaxDelay = 0.7f;               // muxdelay
    int VideoDisable = 0;                   // vn
    int AudioDisable = 0;                   // an
    int SubtitleDisable = 0;                // sn
    int DataDisable = 0;                    // dn
    std::vector<int> StreamIdMap;           // streamid
    TStreamValues Metadata;                 // metadata
    TStreamValues MaxFrames;                // frames
    TStreamValues BitstreamFilters;         // bsf
    TStreamValues CodecTags;                // tag
    TStreamValues SampleFmts;               // sample_fmt
    TStreamValues QScale;                   // q, qscale
    TStreamValues ForcedKeyFrames;          // force_key_frames
    TStreamValues ForceFps;                 // force_fps
    TStreamValues FrameAspectRatios;        // aspect
    TStreamValues RcOverrides;              // rc_override
    TStreamValues IntraMatrices;            // intra_matrix
    TStreamValues InterMatrices;            // inter_matrix
    TStreamValues TopFieldFirst;            // top
    TStreamValues CopyInitialNonKeyframes;  // copyinkf
    TStreamValues Filters;                  // filter, vf
};

// ---- one row of the option table ----------------------------------------------------------

using TOptionHandler = int (TCustomFFmpeg::*)(const AnsiString& opt, const AnsiString& arg);
using TOptionContextHandler = int (TCustomFFmpeg::*)(TFileOptions& o, const AnsiString& opt, const AnsiString& arg);

// Where a row's value goes: a handler, a tool setting, or a context field;
// the row's flags say which type is stored.
using TOptionTarget =
    std::variant<std::monostate, TOptionHandler, TOptionContextHandler, int TFFmpegSettings::*,
                 float TFFmpegSettings::*, int TFileOptions::*, int64_t TFileOptions::*, float TFileOptions::*,
                 AnsiString TFileOptions::*, TStreamValues TFileOptions::*>;

struct TOptionDef {
    const char* Name = nullptr;  // without the leading "-"; nullptr ends the table
    int Flags = 0;
    TOptionTarget Target;
    const char* Help = nullptr;
    const char* ArgName = nullptr;  // nullptr: none
};

inline constexpr int OptionTableRowCount = 140;

// The 140 rows and the terminator; the handlers run on the task the parser
// works for.
const TOptionDef* OptionTableRows();
