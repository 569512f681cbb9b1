// bench_mainwindow - 1,000 tiny jobs through the main window on the offscreen
// platform, as a user would run them: the files are chosen in the open
// dialog, the options dialog is answered with OK, Convert is pressed and the
// event loop runs until the run has ended.
//
// Prints the time from the final record to an idle event loop, the longest
// stall of the event loop during the run (a 1 ms timer's largest gap), the
// time of Clear All, and the resident memory before, during and after.
//
//   vorlane_bench_mainwindow [jobs] [threads]     (defaults 1000 and 4)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmapCache>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <malloc.h>
#include <mcheck.h>
#if __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
#endif
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/OptionsU.h"
#include "app/ProgramUnits.h"
#include "app/mainU.h"
#include "engine/preview/PreviewForm.h"
#include "platform/os/Registry.h"
#include "platform/rtl/Startup.h"

namespace {

// Answers the open dialog with the prepared files; nothing else is asked.
class BenchDialogs : public IDialogService {
public:
    QStringList Files;
    bool ExecuteOpen(TOpenDialog& Dialog) override
    {
        Dialog.Files()->Clear();
        for (const QString& f : std::as_const(Files))
            Dialog.Files()->Add(f);
        Dialog.SetFileName(Files.value(0));
        return !Files.isEmpty();
    }
    bool BrowseForFolder(const String&, String&) override { return false; }
    int MessageBox(const String&, const String&, UINT) override { return IDOK; }
    TModalResult MessageDlg(const String&, TMsgDlgType, TMsgDlgButtons) override { return mrOk; }
};

// Stands between the encoder and the window to time the final record.
class TerminateTap : public TObject {
public:
    TCustomEncoder::TTerminateEvent Inner;
    QElapsedTimer* Clock = nullptr;
    qint64 FinalAt = -1;
    int Records = 0;
    void Terminate(TObject* Sender, const TTerminateInfo& Info)
    {
        ++Records;
        if (Info.TaskIndex < 0)
            FinalAt = Clock->nsecsElapsed();
        Inner(Sender, Info);
    }
};

void leakCheck()
{
#if __has_include(<valgrind/memcheck.h>)
    VALGRIND_DO_ADDED_LEAK_CHECK;
#endif
}

// Bytes the program holds on the heap, whatever the allocator keeps besides.
long heapKiB()
{
    return long(mallinfo2().uordblks / 1024);
}

long residentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

qint64 threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

bool makeClip(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
             QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("testsrc=size=64x48:rate=25:duration=0.2"),
             QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
             QStringLiteral("sine=frequency=440:sample_rate=22050:duration=0.2"), QStringLiteral("-c:v"),
             QStringLiteral("mpeg4"), QStringLiteral("-c:a"), QStringLiteral("mp2"), path});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int jobs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int threads = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 4) : 4;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit().constData(), 1);
    QDir().mkpath(home.path() + QStringLiteral("/.config"));
    QDir().mkpath(home.path() + QStringLiteral("/in"));

    TApplication application(nullptr);
    application.Initialize(argc, argv);
    TStartupList units;
    AddProgramUnits(units);
    const TStartupScope startup(std::move(units));
    InstallPreviewForm();
    SetRegistryDirectory(home.path() + QStringLiteral("/registry"));

    BenchDialogs dialogs;
    const QString clip = home.path() + QStringLiteral("/in/clip.avi");
    if (!makeClip(clip)) {
        std::fprintf(stderr, "the ffmpeg tool could not make the clip\n");
        return 1;
    }
    for (int i = 0; i < jobs; ++i) {
        const QString copy = home.path() + QStringLiteral("/in/c%1.avi").arg(i, 4, 10, QLatin1Char('0'));
        QFile::copy(clip, copy);
        dialogs.Files << copy;
    }
    application.SetTitle(LoadResString(MainConsts::SAppTitle));
    application.SetDialogService(&dialogs);
    TfrmMain* frmMain = nullptr;
    application.CreateForm(frmMain);
    frmMain->Show();
    for (int i = 0; i < 20; ++i) {
        application.ProcessMessages();
        QThread::msleep(2);
    }
    // VORLANE_BENCH_WARM_JOBS sets the first run's size (default 5).
    const int warmJobs = std::clamp(qEnvironmentVariableIntValue("VORLANE_BENCH_WARM_JOBS"), 0, jobs) > 0
                             ? std::clamp(qEnvironmentVariableIntValue("VORLANE_BENCH_WARM_JOBS"), 1, jobs)
                             : 5;
    // A first small run and Clear All, with the log emptied after it: what
    // the libraries and the window keep for good is made then, so the heap
    // after the measured run can be held against this one.
    {
        QTimer warmOk;
        QObject::connect(&warmOk, &QTimer::timeout, [&] {
            if (frmMain->frmOption != nullptr && frmMain->frmOption->Modal() &&
                frmMain->frmOption->ModalResult() == mrNone)
                frmMain->frmOption->btnOk->Click();
        });
        warmOk.start(5);
        const QStringList all = dialogs.Files;
        dialogs.Files = all.mid(0, warmJobs);
        frmMain->bAddClick(frmMain->bAdd);
        warmOk.stop();
        dialogs.Files = all;
        frmMain->ThreadCount = threads;
        frmMain->bStartClick(frmMain->bStart);
        while (frmMain->Converting())
            application.HandleMessage();
        for (int i = 0; i < 20; ++i)
            application.ProcessMessages();
        frmMain->mnuClearClick(frmMain->bRemoveAll);
        frmMain->mmoLog->Lines()->Clear();
        for (int i = 0; i < 20; ++i)
            application.ProcessMessages();
    }
    // Qt's own cache of drawn pictures (bounded by Qt) is not the program's.
    QPixmapCache::clear();
    const long warmHeapKiB = heapKiB();
    // With glibc's malloc debugging preloaded and MALLOC_TRACE set, the
    // measured run's allocations are traced for the mtrace tool.
    const bool trace = std::getenv("MALLOC_TRACE") != nullptr;
    if (trace)
        mtrace();
    // Under valgrind's memcheck: what the measured run adds is listed at its end.
    leakCheck();
    const long startKiB = residentKiB();
    const long startHeapKiB = heapKiB();
    const long startLogKiB = long(frmMain->mmoLog->Text().size() * 2 / 1024);

    // Whenever the options dialog is up, OK it.
    QTimer ok;
    QObject::connect(&ok, &QTimer::timeout, [&] {
        if (frmMain->frmOption != nullptr && frmMain->frmOption->Modal() && frmMain->frmOption->ModalResult() == mrNone)
            frmMain->frmOption->btnOk->Click();
    });
    ok.start(5);
    QElapsedTimer addClock;
    addClock.start();
    frmMain->bAddClick(frmMain->bAdd);
    ok.stop();
    const double addSeconds = addClock.nsecsElapsed() / 1e9;
    if (frmMain->JobCount() != jobs) {
        std::fprintf(stderr, "%d of %d jobs were added\n", frmMain->JobCount(), jobs);
        return 1;
    }
    const long listedKiB = residentKiB();
    const long listedHeapKiB = heapKiB();

    QElapsedTimer clock;
    TerminateTap tap;
    tap.Clock = &clock;
    tap.Inner = frmMain->FFEncoder->OnTerminate;
    frmMain->FFEncoder->OnTerminate = TCustomEncoder::TTerminateEvent(&tap, &TerminateTap::Terminate);

    // The loop's pulse: a 1 ms timer whose largest gap is the longest stall.
    qint64 lastTick = 0, longestStall = 0, longestAt = 0, idleFrom = -1;
    struct Stall {
        qint64 Length, At, Cpu;  // ns; Cpu: the main thread's own time in it
    };
    std::vector<Stall> stalls;  // over 50 ms
    qint64 lastCpu = 0;
    int quietTicks = 0;
    QTimer pulse;
    pulse.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 gap = now - lastTick;
        lastTick = now;
        const qint64 cpu = threadCpuNs();
        const qint64 cpuGap = cpu - lastCpu;
        lastCpu = cpu;
        if (gap > longestStall) {
            longestStall = gap;
            longestAt = now - gap;
        }
        if (gap > 50'000'000)
            stalls.push_back({gap, now - gap, cpuGap});
        if (tap.FinalAt >= 0) {
            // Idle: the loop answers its timer on time, 20 times in a row.
            if (gap < 5'000'000) {
                if (quietTicks++ == 0)
                    idleFrom = now - gap;
            } else {
                quietTicks = 0;
                idleFrom = -1;
            }
        }
    });
    frmMain->ThreadCount = threads;
    clock.start();
    lastCpu = threadCpuNs();
    pulse.start(1);
    frmMain->bStartClick(frmMain->bStart);
    long peakKiB = residentKiB();
    while (tap.FinalAt < 0 || quietTicks < 20) {
        application.HandleMessage();
        if (clock.elapsed() % 500 == 0)
            peakKiB = std::max(peakKiB, residentKiB());
        if (clock.elapsed() > 30 * 60 * 1000) {
            std::fprintf(stderr, "the run did not end\n");
            return 1;
        }
    }
    pulse.stop();
    const double runSeconds = tap.FinalAt / 1e9;
    const double toIdleMs = (idleFrom - tap.FinalAt) / 1e6;
    const long afterRunKiB = residentKiB();
    const long afterRunHeapKiB = heapKiB();
    int done = 0;
    for (int r = 0; r < frmMain->JobCount(); ++r)
        done += frmMain->Jobs(r)->State == 2;

    QElapsedTimer clearClock;
    clearClock.start();
    frmMain->mnuClearClick(frmMain->bRemoveAll);
    for (int i = 0; i < 20; ++i)
        application.ProcessMessages();
    const double clearMs = clearClock.nsecsElapsed() / 1e6;
    const long clearedKiB = residentKiB();
    const long clearedHeapKiB = heapKiB();
    const long clearedLogKiB = long(frmMain->mmoLog->Text().size() * 2 / 1024);
    const int logLines = frmMain->mmoLog->Lines()->Count();
    malloc_trim(0);
    const long trimmedKiB = residentKiB();
    frmMain->mmoLog->Lines()->Clear();
    for (int i = 0; i < 20; ++i)
        application.ProcessMessages();
    const long noLogHeapKiB = heapKiB();
    QPixmapCache::clear();
    const long noCacheHeapKiB = heapKiB();
    if (trace)
        muntrace();
    leakCheck();

    std::printf("jobs %d (converted %d), threads %d, terminate records %d\n", jobs, done, threads, tap.Records);
    std::printf("adding through the options dialog: %.2f s\n", addSeconds);
    std::printf("run to the final record: %.2f s\n", runSeconds);
    std::printf("final record to an idle event loop: %.1f ms\n", toIdleMs);
    std::printf("longest event-loop stall during the run: %.1f ms, from %.2f s after Convert\n", longestStall / 1e6,
                longestAt / 1e9);
    std::printf("event-loop stalls over 50 ms: %zu\n", stalls.size());
    if (std::getenv("VORLANE_BENCH_STALLS") != nullptr)
        for (const Stall& st : stalls)
            std::printf("  %.1f ms from %.2f s, %.1f ms of it on the main thread's CPU time\n", st.Length / 1e6,
                        st.At / 1e9, st.Cpu / 1e6);
    std::printf("Clear All: %.1f ms, %d rows left\n", clearMs, frmMain->JobCount());
    std::printf("resident KiB: start %ld, listed %ld, peak %ld, after the run %ld, after Clear All %ld, "
                "after returning free memory to the system %ld\n",
                startKiB, listedKiB, peakKiB, afterRunKiB, clearedKiB, trimmedKiB);
    std::printf("heap in use KiB: start %ld, listed %ld, after the run %ld, after Clear All %ld; the log's text grew "
                "from %ld to %ld KiB (%d lines)\n",
                startHeapKiB, listedHeapKiB, afterRunHeapKiB, clearedHeapKiB, startLogKiB, clearedLogKiB, logLines);
    std::printf("heap in use with the log and Qt's picture cache emptied: %ld KiB after a %d-job run and Clear All, "
                "%ld KiB after the measured run and Clear All (%ld KiB before emptying the cache)\n",
                warmHeapKiB, warmJobs, noCacheHeapKiB, noLogHeapKiB);
    std::printf("after Clear All: %d jobs, %d tasks, %d rows\n", frmMain->JobCount(), frmMain->FFEncoder->TaskCount(),
                frmMain->lvFilesTableView1->DataController()->GetRecordCount());
    frmMain->Close();
    delete frmMain;
    SetRegistryDirectory(String());
    return 0;
}
