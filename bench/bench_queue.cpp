// bench_queue - queues 2,000 generated three-second clips (hard links of one
// clip) as tasks of one encoder, converts them on four threads, and prints
// the time to queue them, the wall time of the run, the peak memory of the
// process and the memory each queued task holds.
//
// Usage: vorlane_bench_queue [task count] [thread count]
#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/EngineUnits.h"
#include "engine/FFEncode.h"
#include "engine/FFLoad.h"
#include "engine/FFLog.h"
#include "platform/rtl/Startup.h"
#include "platform/rtl/Thread.h"

namespace {

const char* const OutputOptions = "-target pal-vcd -threads 1";

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Resident memory now, in KiB.
long residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Heap bytes in use now.
size_t heapInUse()
{
    return mallinfo2().uordblks;
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const TStartupScope platform;
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int threads = argc > 2 ? std::atoi(argv[2]) : 4;
    if (count <= 0 || threads <= 0) {
        std::fprintf(stderr, "usage: %s [task count] [thread count]\n", argv[0]);
        return 2;
    }

    QTemporaryDir dir;
    const QString clip = QDir(dir.path()).filePath(QStringLiteral("clip.mp4"));
    std::printf("generating a 3 s 320x240 H.264 + AAC clip...\n");
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=320x240:rate=25:duration=3 "
                                "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=3 -c:v libx264 "
                                "-preset veryfast -pix_fmt yuv420p -c:a aac -shortest '" +
                                clip.toStdString() + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "could not generate the clip\n");
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        const QString link = QDir(dir.path()).filePath(QStringLiteral("in%1.mp4").arg(i));
        if (::link(clip.toUtf8().constData(), link.toUtf8().constData()) != 0) {
            std::fprintf(stderr, "could not link %s\n", link.toUtf8().constData());
            return 1;
        }
    }

    TStartupList engine;
    AddEngineUnits(engine);
    engine.Initialize();
    int result = 1;
    {
        GetLogger()->SetLogLevel(llError);
        TFFEncoder encoder(nullptr);
        if (!encoder.LoadAVLibs(String())) {
            std::fprintf(stderr, "%s\n", encoder.LastError().toUtf8().constData());
            engine.Finalize();
            return 1;
        }
        // One task first, so that what the libraries set up once is not
        // counted against the queue.
        const auto queueStart = std::chrono::steady_clock::now();
        bool built = true;
        long residentBefore = 0;
        size_t heapBefore = 0;
        int descriptorsBefore = 0;
        for (int i = 0; i < count && built; ++i) {
            const QString input = QDir(dir.path()).filePath(QStringLiteral("in%1.mp4").arg(i));
            const QString output = QDir(dir.path()).filePath(QStringLiteral("out%1.mpg").arg(i));
            TOutputOptions out;
            out.Options = OutputOptions;
            const int task = encoder.AddTask(input);
            built = task >= 0 && encoder.SetOutput(task, output, &out) >= 0;
            if (i == 0) {
                malloc_trim(0);
                residentBefore = residentKiB();
                heapBefore = heapInUse();
                descriptorsBefore = openDescriptors();
            }
        }
        if (!built) {
            std::fprintf(stderr, "%s\n", encoder.LastError().toUtf8().constData());
        } else {
            const double queueTime = seconds(queueStart);
            malloc_trim(0);
            const long residentQueued = residentKiB();
            const size_t heapQueued = heapInUse();
            const int descriptorsQueued = openDescriptors();
            int failed = 0;
            bool done = false;
            encoder.OnTerminate = TFFEncoder::TTerminateEvent::FromFunction([&](TObject*, const TTerminateInfo& info) {
                if (info.TaskIndex == -1)
                    done = true;
                else if (info.Failed && ++failed == 1)
                    std::fprintf(stderr, "task %d: %s\n", info.TaskIndex, info.ErrorMessage.toUtf8().constData());
            });
            const auto runStart = std::chrono::steady_clock::now();
            encoder.StartTask(threads);
            while (!done)
                CheckSynchronize(50);
            const double runTime = seconds(runStart);
            malloc_trim(0);
            const long residentEnded = residentKiB();
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            const int queued = count - 1;
            std::printf("%d tasks of a 3 s clip, output \"%s\", %d threads\n", count, OutputOptions, threads);
            std::printf("  queueing (AddTask + SetOutput) %10.2f s  (%.2f ms a task)\n", queueTime,
                        queueTime * 1000 / count);
            std::printf("  converting (wall)              %10.2f s  (%.1f ms a task)\n", runTime, runTime * 1000 / count);
            std::printf("  failed tasks                   %10d\n", failed);
            std::printf("  peak memory (resident)         %10.1f MiB\n", double(usage.ru_maxrss) / 1024);
            std::printf("  resident after queueing        %10.1f MiB\n", double(residentQueued) / 1024);
            std::printf("  per queued task: resident      %10.1f KiB\n",
                        double(residentQueued - residentBefore) / queued);
            std::printf("  per queued task: heap in use   %10.1f KiB\n",
                        (double(heapQueued) - double(heapBefore)) / 1024 / queued);
            std::printf("  resident after the run         %10.1f MiB\n", double(residentEnded) / 1024);
            encoder.ClearTasks();
            malloc_trim(0);
            std::printf("  resident after freeing them    %10.1f MiB\n", double(residentKiB()) / 1024);
            std::printf("  descriptors, queue of 1 / all  %6d / %d\n", descriptorsBefore, descriptorsQueued);
            result = failed == 0 ? 0 : 1;
        }
        encoder.ClearTasks();
        encoder.UnloadAVLibs();
    }
    engine.Finalize();
    return result;
}
