// ffdriver - a command-line driver for trying the engine by hand: it loads the
// media libraries and prints the loader's result and every log line.
//
//   ffdriver [--path FOLDER] [--level quiet|panic|fatal|error|warning|info|verbose|debug]
//            [--parse OPTIONS [--presets PRESETS] [--lenient]]
//   ffdriver [--path FOLDER] [--level LEVEL] --run [--iopts OPTIONS] -i INPUT ...
//            [--oopts OPTIONS] -o OUTPUT
//
// With --parse the options (and presets) are parsed as an output's option
// string would be, and the resulting settings, context and library options
// are printed; a failing parse prints its error text and exits with 1.
// With --run a task is built from the inputs (each with the --iopts given
// before it) and the output, run in this thread, and its log and result
// ("finished", "stopped" or "failed: " and the error) are printed; the exit
// code is 0 unless the task failed.
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

#include "engine/AVUtilStubs.h"
#include "engine/EngineUnits.h"
#include "engine/FFLoad.h"
#include "engine/FFLog.h"
#include "engine/FFmpeg.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Thread.h"

namespace {

// Log lines as the application's log panel shows them: "#", the thread id,
// ".", the level number, ": " and the message.
void printLine(TObject*, uint32_t threadID, TLogLevel level, const String& message)
{
    std::printf("#%u.%d: %s\n", threadID, static_cast<int>(level), message.toUtf8().constData());
}

bool parseLevel(const String& text, TLogLevel& level)
{
    for (int i = 0; i < LogLevelInfo.Count(); ++i) {
        if (String::fromLatin1(LogLevelInfo.Names[i]).mid(2).compare(text, Qt::CaseInsensitive) == 0) {
            level = static_cast<TLogLevel>(i);
            return true;
        }
    }
    return false;
}

struct TParseRequest {
    bool Wanted = false;
    AnsiString Options;
    AnsiString Presets;
    bool Lenient = false;
};

int parseOnly(const TParseRequest& request)
{
    try {
        TCustomFFmpeg task;
        task.SetStrictOptions(!request.Lenient);
        task.ParseOptions(request.Options);
        task.ParsePresets(request.Presets);
        CheckSynchronize();
        std::printf("%s", DescribeOptions(task).toUtf8().constData());
        return 0;
    } catch (const Exception& e) {
        CheckSynchronize();
        std::printf("error: %s\n", e.Message().toUtf8().constData());
        return 1;
    }
}

struct TRunRequest {
    bool Wanted = false;
    std::vector<std::pair<AnsiString, String>> Inputs;  // options, name
    AnsiString OutputOptions;
    String Output;
};

int runTask(const TRunRequest& request)
{
    TCustomFFmpeg task;
    try {
        for (const auto& [options, name] : request.Inputs) {
            task.ParseOptions(options);
            if (task.OpenInput(nullptr, name) < 0)
                throw Exception(task.LastErrorText());
        }
        task.ParseOptions(request.OutputOptions);
        if (task.OpenOutput(request.Output) < 0)
            throw Exception(task.LastErrorText());
    } catch (const Exception& e) {
        CheckSynchronize();
        std::printf("result: failed: %s\n", e.Message().toUtf8().constData());
        return 1;
    }
    task.Start();
    CheckSynchronize();
    if (task.Failed()) {
        std::printf("result: failed: %s\n", task.ErrorMessage().toUtf8().constData());
        return 1;
    }
    std::printf("result: %s, %d duplicated, %d dropped\n", task.Finished() ? "finished" : "stopped",
                task.DupFrames(), task.DropFrames());
    return 0;
}

int run(const QStringList& args)
{
    TParseRequest parse;
    TRunRequest runRequest;
    AnsiString inputOptions;
    TFFLogger logger(nullptr);
    logger.OnLog = TLogEvent::FromFunction(&printLine);
    TFFLoader& loader = *FFLoader();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--path") && i + 1 < args.size()) {
            loader.SetLibraryPath(args[++i]);
        } else if (args[i] == QLatin1String("--level") && i + 1 < args.size()) {
            TLogLevel level;
            if (!parseLevel(args[++i], level)) {
                std::fprintf(stderr, "unknown level: %s\n", args[i].toUtf8().constData());
                return 2;
            }
            logger.SetLogLevel(level);
        } else if (args[i] == QLatin1String("--parse") && i + 1 < args.size()) {
            parse.Wanted = true;
            parse.Options = args[++i].toLocal8Bit();
        } else if (args[i] == QLatin1String("--presets") && i + 1 < args.size()) {
            parse.Presets = args[++i].toLocal8Bit();
        } else if (args[i] == QLatin1String("--lenient")) {
            parse.Lenient = true;
        } else if (args[i] == QLatin1String("--run")) {
            runRequest.Wanted = true;
        } else if (args[i] == QLatin1String("--iopts") && i + 1 < args.size()) {
            inputOptions = args[++i].toUtf8();
        } else if (args[i] == QLatin1String("-i") && i + 1 < args.size()) {
            runRequest.Inputs.emplace_back(inputOptions, args[++i]);
            inputOptions.clear();
        } else if (args[i] == QLatin1String("--oopts") && i + 1 < args.size()) {
            runRequest.OutputOptions = args[++i].toUtf8();
        } else if (args[i] == QLatin1String("-o") && i + 1 < args.size()) {
            runRequest.Output = args[++i];
        } else {
            std::fprintf(stderr, "usage: ffdriver [--path FOLDER] [--level LEVEL] [--parse OPTIONS [--presets TEXT] [--lenient]]\n"
                                 "       ffdriver [--path FOLDER] [--level LEVEL] --run [--iopts OPTIONS] -i INPUT ... "
                                 "[--oopts OPTIONS] -o OUTPUT\n");
            return 2;
        }
    }

    const bool loaded = loader.LoadLibs(EncoderLibraries);
    if (loaded) {
        const String from = loader.LoadedFrom().isEmpty() ? String::fromLatin1("the system") : loader.LoadedFrom();
        logger.LogFmt(nullptr, llInfo, String::fromLatin1("libraries loaded from %s, version %s"),
                      {from, ff::av_version_info()});
        for (int lib = libAVCodec; lib <= libCRuntime; ++lib)
            logger.LogFmt(nullptr, llVerbose, String::fromLatin1("  %s"),
                          {loader.GetLibraryFileName(static_cast<TFFLibrary>(lib))});
    } else {
        logger.Log(nullptr, llError, loader.LastError());
    }
    CheckSynchronize();
    int result = loaded ? 0 : 1;
    if (loaded && parse.Wanted)
        result = parseOnly(parse);
    else if (loaded && runRequest.Wanted)
        result = runTask(runRequest);
    loader.UnloadLibs(EncoderLibraries);
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const TStartupScope platform;
    TStartupList engine;
    AddEngineUnits(engine);
    int result = 1;
    try {
        engine.Initialize();
        result = run(QCoreApplication::arguments());
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    engine.Finalize();
    return result;
}
