// bench_dvd - converts a generated 30 s 720p clip to PAL DVD with the encoder
// component and with the ffmpeg tool on the same options, and prints wall
// time, CPU time and peak memory of both, and their ratios.
//
// Every measured conversion runs in a child process of its own (the engine in
// a copy of this program), so that both sides are measured the same way:
// wall clock around the child, its CPU time and peak resident size from wait4.
#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/EngineUnits.h"
#include "engine/FFEncode.h"
#include "engine/FFLoad.h"
#include "engine/FFLog.h"
#include "platform/rtl/Startup.h"
#include "platform/rtl/Thread.h"

extern char** environ;

namespace {

// The options of both sides; one codec thread each, so that the comparison
// shows the pipeline's own cost, not the scheduling of codec threads.
const char* const InputOptions = "-threads 1";
const char* const OutputOptions = "-target pal-dvd -an -threads 1";

struct TMeasure {
    double Wall = 0;   // s
    double Cpu = 0;    // s, user + system
    long PeakKiB = 0;  // the largest child's peak when several run at once: summed
    bool Ok = true;
};

pid_t spawn(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

// Runs the commands at the same time and waits for all of them.
TMeasure runAll(const std::vector<std::vector<std::string>>& commands)
{
    TMeasure m;
    const auto start = std::chrono::steady_clock::now();
    std::vector<pid_t> pids;
    for (const auto& c : commands)
        pids.push_back(spawn(c));
    for (pid_t pid : pids) {
        if (pid < 0) {
            m.Ok = false;
            continue;
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        m.Ok = m.Ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        m.Cpu += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        m.PeakKiB += usage.ru_maxrss;
    }
    m.Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return m;
}

std::vector<std::string> toolCommand(const std::string& input, const std::string& output)
{
    std::vector<std::string> c = {"ffmpeg", "-nostdin", "-v", "error", "-y"};
    for (const QString& w : QString::fromLatin1(InputOptions).split(QLatin1Char(' ')))
        c.push_back(w.toStdString());
    c.insert(c.end(), {"-i", input});
    for (const QString& w : QString::fromLatin1(OutputOptions).split(QLatin1Char(' ')))
        c.push_back(w.toStdString());
    c.push_back(output);
    return c;
}

// The child: converts input to each output, one task per output, all at once.
int engineChild(const QString& input, const QStringList& outputs)
{
    TStartupList engine;
    AddEngineUnits(engine);
    engine.Initialize();
    int result = 1;
    {
        GetLogger()->SetLogLevel(llError);
        TFFEncoder encoder(nullptr);
        if (!encoder.LoadAVLibs(String())) {
            std::fprintf(stderr, "%s\n", encoder.LastError().toUtf8().constData());
        } else {
            bool built = true;
            for (const QString& output : outputs) {
                TInputOptions in;
                in.Options = InputOptions;
                TOutputOptions out;
                out.Options = OutputOptions;
                const int task = encoder.AddTask(input, &in);
                built = built && task >= 0 && encoder.SetOutput(task, output, &out) >= 0;
            }
            bool failed = !built;
            bool done = false;
            encoder.OnTerminate = TFFEncoder::TTerminateEvent::FromFunction([&](TObject*, const TTerminateInfo& info) {
                if (info.TaskIndex == -1)
                    done = true;
                else if (info.Failed) {
                    failed = true;
                    std::fprintf(stderr, "task %d: %s\n", info.TaskIndex, info.ErrorMessage.toUtf8().constData());
                }
            });
            if (built) {
                encoder.StartTask(int(outputs.size()));
                while (!done)
                    CheckSynchronize(100);
            } else {
                std::fprintf(stderr, "%s\n", encoder.LastError().toUtf8().constData());
            }
            result = failed ? 1 : 0;
            encoder.UnloadAVLibs();
        }
    }
    engine.Finalize();
    return result;
}

void print(const char* title, const TMeasure& engine, const TMeasure& tool)
{
    std::printf("%s\n", title);
    std::printf("  %-22s %10s %10s %8s\n", "", "engine", "ffmpeg", "ratio");
    std::printf("  %-22s %10.2f %10.2f %8.3f\n", "wall time (s)", engine.Wall, tool.Wall, engine.Wall / tool.Wall);
    std::printf("  %-22s %10.2f %10.2f %8.3f\n", "CPU time (s)", engine.Cpu, tool.Cpu, engine.Cpu / tool.Cpu);
    std::printf("  %-22s %10.1f %10.1f %8.3f\n", "peak memory (MiB)", double(engine.PeakKiB) / 1024,
                double(tool.PeakKiB) / 1024, double(engine.PeakKiB) / double(tool.PeakKiB));
    if (!engine.Ok || !tool.Ok)
        std::printf("  (a conversion failed: engine %s, ffmpeg %s)\n", engine.Ok ? "ok" : "FAILED",
                    tool.Ok ? "ok" : "FAILED");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const TStartupScope platform;
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 4 && args[1] == QLatin1String("--engine"))
        return engineChild(args[2], args.mid(3));

    QTemporaryDir dir;
    const std::string clip = QDir(dir.path()).filePath(QStringLiteral("clip720.mp4")).toStdString();
    std::printf("generating a 30 s 1280x720 H.264 clip...\n");
    const TMeasure made = runAll({{"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                                   "testsrc2=size=1280x720:rate=25:duration=30", "-f", "lavfi", "-i",
                                   "sine=frequency=440:sample_rate=48000:duration=30", "-c:v", "libx264", "-preset",
                                   "veryfast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", clip}});
    if (!made.Ok) {
        std::fprintf(stderr, "could not generate the clip\n");
        return 1;
    }
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    auto out = [&](const char* side, int i) {
        return QDir(dir.path()).filePath(QStringLiteral("%1%2.mpg").arg(QLatin1String(side)).arg(i)).toStdString();
    };
    std::printf("options: input \"%s\", output \"%s\"\n\n", InputOptions, OutputOptions);

    const TMeasure engine1 = runAll({{self, "--engine", clip, out("e", 0)}});
    const TMeasure tool1 = runAll({toolCommand(clip, out("t", 0))});
    print("one conversion", engine1, tool1);

    std::vector<std::string> engine4 = {self, "--engine", clip};
    std::vector<std::vector<std::string>> tools4;
    for (int i = 0; i < 4; ++i) {
        engine4.push_back(out("e", i + 1));
        tools4.push_back(toolCommand(clip, out("t", i + 1)));
    }
    const TMeasure engineFour = runAll({engine4});
    const TMeasure toolFour = runAll(tools4);
    print("\nfour conversions: four tasks on four threads, four tool processes at once", engineFour, toolFour);
    return engine1.Ok && tool1.Ok && engineFour.Ok && toolFour.Ok ? 0 : 1;
}
