// From "Convert" to the end of a run: output names, the jobs handed to the
// encoder as tasks, progress per row and in total, every terminate record,
// pause, resume and stop, preview, and opening an output or its folder.
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

#include "app/mainU.h"
#include "platform/os/Shell.h"
#include "platform/rtl/Format.h"

namespace {

// A folder on a read-only medium (an optical disc, a read-only mount)
// cannot take the outputs.
bool onReadOnlyMedium(const String& Folder)
{
    const QStorageInfo storage(Folder);
    const QByteArray type = storage.fileSystemType().toLower();
    return storage.isValid() && (storage.isReadOnly() || type == "iso9660" || type == "udf");
}

String withSeparator(const String& Folder)
{
    return Folder.isEmpty() || Folder.endsWith(u'/') ? Folder : Folder + u'/';
}

}  // namespace

void TfrmMain::btnOutPathClick(TObject*)
{
    String folder = QFileInfo(edtOutPath->Text()).isDir() ? edtOutPath->Text() : String();
    if (!Application->DialogService()->BrowseForFolder(LoadResString(MainConsts::SSelectOutputFolder), folder))
        return;
    if (onReadOnlyMedium(folder)) {
        Application->DialogService()->MessageBox(LoadResString(MainConsts::SOutputFolderReadOnly),
                                                 Application->Title(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    edtOutPath->SetText(withSeparator(folder));
}

void TfrmMain::bStartClick(TObject*)
{
    if (lvFiles->CanFocus())
        lvFiles->SetFocus();
    FFEncoder->SetPreview(false);
    // Without the libraries, or without the output folder, no job could
    // start: say so once and keep the list as it is.
    if (!LoadLibraries())
        return;
    const String folder = edtOutPath->Text().trimmed();
    if (!folder.isEmpty() && !QDir().mkpath(folder)) {
        AddLog(Format(LoadResString(MainConsts::SCannotMakeOutputFolder), {folder}));
        return;
    }
    ProgressBar1->SetRange(0, 0);
    ProgressBar1->SetPosition(0);
    if (JobCount() > 0)
        StartConversion();
}

void TfrmMain::StartConversion()
{
    bAdd->SetEnabled(false);
    bRemove->SetEnabled(false);
    mnuClear->SetEnabled(false);
    bRemoveAll->SetEnabled(false);
    bStart->SetEnabled(false);
    bStop->SetEnabled(chkThreadMode->Checked());
    bPause->SetEnabled(chkThreadMode->Checked());

    // Every input of the run, so that no output can overwrite one.
    QStringList inputs;
    for (const auto& job : FJobs) {
        inputs << job->InputOptions.FileName;
        for (int i = 0; i < job->InputFiles->Count(); ++i)
            inputs << job->InputFiles->Strings(i);
    }
    FPreparation = std::make_unique<TRunPreparation>(TRunPreparation{TOutputNamer(inputs, OverwriteFiles), 0, {}, {}});
    FConverting = true;
    FStopped = false;
    FAllRemoved = false;
    prepareTasks();
}

void TfrmMain::WMPrepareTasks(TMessage&)
{
    if (FPreparation)
        prepareTasks();
}

void TfrmMain::prepareTasks()
{
    // Each job's task opens its input: a long list is handed over in slices,
    // so the window keeps answering while it is.
    QElapsedTimer slice;
    slice.start();
    TRunPreparation& p = *FPreparation;
    // Tasks are numbered as they are added; a job that cannot become a task
    // leaves the list with its reason, so later jobs keep their own tasks.
    while (p.NextRow < JobCount() && !FStopped) {
        if (slice.elapsed() >= 30) {
            PostMessage(Handle(), WM_PREPARE_TASKS, 0, 0);
            return;
        }
        const int row = p.NextRow++;
        TOutFileData* job = Jobs(row);
        const String& input = job->InputOptions.FileName;
        const String chosen = edtOutPath->Text().trimmed();
        const String folder = withSeparator(chosen.isEmpty() ? QFileInfo(input).absolutePath() : chosen);
        const String output =
            p.Namer.MakeOutputFileName(folder, input, job->CommandOutput(), job->TvTypeIndex(), job->Extension);
        job->OutputOptions.FileName = output;
        job->OutputFileName = output;
        const int task = FFEncoder->AddTask(input, &job->InputOptions);
        if (task < 0) {
            AddLog(Format(LoadResString(MainConsts::STaskError), {FFEncoder->LastError(), VarToStr(GridValue(row, 0))}));
            p.Namer.Release(output);
            p.Refused.push_back(job);
            continue;
        }
        if (job->Join) {
            job->OutputOptions.Join = true;
            for (int i = 1; i < job->InputFiles->Count(); ++i)
                if (FFEncoder->AddInput(task, job->InputFiles->Strings(i), &job->InputOptions) < 0)
                    AddLog(FFEncoder->LastError());
        }
        if (FFEncoder->SetOutput(task, output, &job->OutputOptions) < 0) {
            AddLog(Format(LoadResString(MainConsts::STaskError), {FFEncoder->LastError(), VarToStr(GridValue(row, 0))}));
            FFEncoder->RemoveTask(task);
            p.Namer.Release(output);
            p.Refused.push_back(job);
            continue;
        }
        p.TaskJobs.push_back(job);
    }
    const std::unique_ptr<TRunPreparation> done = std::move(FPreparation);
    if (FStopped) {
        // Stopped before it began: no task ran, and every row keeps its state.
        FFEncoderTerminate(FFEncoder, TTerminateInfo{});
        return;
    }
    for (TOutFileData* job : done->Refused) {
        const auto at = std::find_if(FJobs.begin(), FJobs.end(), [&](const auto& j) { return j.get() == job; });
        RemoveJob(int(at - FJobs.begin()));
    }
    FTaskRows.clear();
    FTaskRows.reserve(done->TaskJobs.size());
    // The jobs keep their order: one pass finds every task's row.
    size_t next = 0;
    for (int row = 0; row < JobCount() && next < done->TaskJobs.size(); ++row)
        if (Jobs(row) == done->TaskJobs[next]) {
            FTaskRows.push_back(row);
            ++next;
        }
    FFailedRows.clear();

    ComputeTotalDuration();
    if (FFEncoder->TaskCount() == 0) {
        // Nothing could start: end the run as its final record would.
        FFEncoderTerminate(FFEncoder, TTerminateInfo{});
        return;
    }
    FFEncoder->StartTask(chkThreadMode->Checked() ? ThreadCount : 0);
    // Paused while the tasks were being made: the run starts held.
    if (bResume->Visible() && FConverting)
        FFEncoder->Pause();
}

void TfrmMain::ComputeTotalDuration()
{
    const int tasks = FFEncoder->TaskCount();
    FTaskDurations.assign(size_t(tasks), 0);
    FTaskProgress.assign(size_t(tasks), 0);
    FTaskReports.assign(size_t(tasks), TProgressCopy{});
    FTaskPending.assign(size_t(tasks), false);
    FTaskDone.assign(size_t(tasks), false);
    FTotalSeconds = 0;
    for (int t = 0; t < tasks; ++t) {
        // A joined task converts all its inputs into one output.
        int64_t duration = 0;
        for (int i = 0; i < FFEncoder->Tasks(t)->InputDecoderCount(); ++i) {
            TFileStreamInfo info;
            FFEncoder->InputDecoders(t, i)->GetFileStreamInfo(info);
            duration += std::max<int64_t>(info.Duration, 0);
        }
        FTaskDurations[size_t(t)] = duration;
        FTotalSeconds += int(duration / 1000000);
    }
    ProgressBar1->SetRange(0, FTotalSeconds);
    ProgressBar1->SetPosition(0);
}

void TfrmMain::clearRun()
{
    FTaskRows.clear();
    FTaskDurations.clear();
    FTaskProgress.clear();
    FTaskReports.clear();
    FTaskPending.clear();
    FTaskDone.clear();
    FFailedRows.clear();
}

void TfrmMain::updateTotalBar()
{
    int64_t seconds = 0;
    for (size_t t = 0; t < FTaskDurations.size(); ++t)
        seconds += std::clamp<int64_t>(FTaskProgress[t], 0, FTaskDurations[t]) / 1000000;
    ProgressBar1->SetPosition(int(std::min<int64_t>(seconds, FTotalSeconds)));
}

void TfrmMain::FFEncoderProgress(TObject*, PProgressInfo AProgressInfo)
{
    const TProgressInfo& p = *AProgressInfo;
    FProgressCopy = TProgressCopy{p.TaskIndex,        p.FrameNumber, p.FPS,          p.CurrentDuration,
                                  p.CurrentSize,      p.Quality,     p.BitRate,      p.TotalDuration};
    // Each task keeps its own newest report, so two tasks reporting before
    // the grid is painted do not hide each other.
    if (p.TaskIndex >= 0 && p.TaskIndex < int(FTaskReports.size())) {
        FTaskReports[size_t(p.TaskIndex)] = FProgressCopy;
        FTaskPending[size_t(p.TaskIndex)] = true;
    }
    if (!FProgressPosted) {
        FProgressPosted = true;
        PostMessage(Handle(), WM_CONVERT_PROGRESS, 0, 0);
    }
}

void TfrmMain::showReport(int Task)
{
    const size_t t = size_t(Task);
    FTaskPending[t] = false;
    const TProgressCopy& r = FTaskReports[t];
    const int row = RowOfTask(Task);
    if (row < 0 || r.TotalDuration == 0)
        return;
    FTaskProgress[t] = r.CurrentDuration;
    // An unknown total shows no percentage rather than a negative one.
    const int64_t percent =
        r.TotalDuration > 0 ? std::clamp<int64_t>(r.CurrentDuration * 100 / r.TotalDuration, 0, 100) : 0;
    SetGridValue(row, 7, Variant(int(percent)));
    if (r.FPS > 0)
        SetGridValue(row, 6, Variant(String::number(r.FPS)));
    SetGridValue(row, 4, Variant(FormatSeconds(r.CurrentDuration / 1000000)));
    SetGridValue(row, 5, Variant(FormatFileSize(r.CurrentSize)));
    SetGridValue(row, 9, Variant(QStringLiteral("1")));
}

void TfrmMain::WMConvertProgress(TMessage&)
{
    FProgressPosted = false;
    // A report posted before the final record must not undo what it showed.
    if (!FConverting)
        return;
    lvFilesTableView1->BeginUpdate();
    for (size_t t = 0; t < FTaskReports.size(); ++t)
        if (FTaskPending[t] && !FTaskDone[t])
            showReport(int(t));
    lvFilesTableView1->EndUpdate();
    updateTotalBar();
}

void TfrmMain::FFEncoderTerminate(TObject*, const TTerminateInfo& ATerminateInfo)
{
    FTerminateIndex = ATerminateInfo.TaskIndex;
    FTerminateFinished = ATerminateInfo.Finished && !ATerminateInfo.Failed;
    const int task = ATerminateInfo.TaskIndex;
    if (task >= 0) {
        const int row = RowOfTask(task);
        if (ATerminateInfo.Failed) {
            AddLog(Format(LoadResString(MainConsts::STaskError),
                          {ATerminateInfo.ErrorMessage, row >= 0 ? VarToStr(GridValue(row, 0)) : String()}));
            if (row >= 0)
                FFailedRows.push_back(row);
            if (task < int(FTaskDone.size()))
                FTaskDone[size_t(task)] = true;
        } else {
            TMessage m{WM_TASK_FINISHED, 0, 0, 0};
            WMTaskFinished(m);
            if (row >= 0) {
                const String output = Jobs(row)->OutputFileName;
                if (PlayVideoAfter)
                    OpenOutputFile(output);
                if (OpenOutputFolder)
                    SelectInExplorer(QFileInfo(output).absolutePath(), output);
            }
        }
        return;
    }

    // The final record: the failed jobs leave the list now that no record
    // refers to a row any more.
    FFEncoder->ClearTasks();
    std::sort(FFailedRows.begin(), FFailedRows.end(), std::greater<>());
    FFailedRows.erase(std::unique(FFailedRows.begin(), FFailedRows.end()), FFailedRows.end());
    for (int row : FFailedRows)
        RemoveJob(row);
    clearRun();
    FAllRemoved = JobCount() == 0;
    bAdd->SetEnabled(false);
    bRemove->SetEnabled(false);
    mnuClear->SetEnabled(true);
    bRemoveAll->SetEnabled(true);
    bStart->SetEnabled(false);
    bStop->SetEnabled(false);
    bPause->SetEnabled(false);
    bPause->SetVisible(true);
    bResume->SetVisible(false);
    ProgressBar1->SetPosition(ProgressBar1->Max());
    FConverting = false;
    if (FAllRemoved && FFEncoder->TaskCount() == 0)
        mnuClearClick(this);
}

void TfrmMain::WMTaskFinished(TMessage&)
{
    const int task = int(FTerminateIndex);
    const int row = RowOfTask(task);
    if (row < 0)
        return;
    const size_t t = size_t(task);
    lvFilesTableView1->BeginUpdate();
    // The task's last report may still wait for its message: show it first.
    if (t < FTaskPending.size() && FTaskPending[t])
        showReport(task);
    SetGridValue(row, 7, Variant(100));
    if (t < FTaskDone.size()) {
        FTaskDone[t] = true;
        // A task that ran to its end counts its whole duration, once.
        if (FTerminateFinished)
            FTaskProgress[t] = FTaskDurations[t];
    }
    // A task that ended before a stop reached it is converted all the same;
    // one that did not keeps its state, and no longer shows a speed.
    if (FTerminateFinished) {
        SetGridValue(row, 9, Variant(2));
        Jobs(row)->State = 2;
    } else {
        SetGridValue(row, 6, Variant(String()));
    }
    lvFilesTableView1->EndUpdate();
    updateTotalBar();
}

void TfrmMain::bPauseClick(TObject*)
{
    if (!bStop->Enabled())
        return;
    bPause->SetVisible(false);
    bResume->SetVisible(true);
    FFEncoder->Pause();
}

void TfrmMain::bResumeClick(TObject*)
{
    bPause->SetVisible(true);
    bResume->SetVisible(false);
    FFEncoder->Resume();
}

void TfrmMain::bStopClick(TObject*)
{
    FStopped = true;
    bStop->SetEnabled(false);
    bResume->SetVisible(false);
    bPause->SetVisible(true);
    bPause->SetEnabled(false);
    FFEncoder->Stop(true);
}

void TfrmMain::chkPreviewClick(TObject*)
{
    FFEncoder->SetPreview(chkPreview->Checked());
}

void TfrmMain::bPreviewClick(TObject*)
{
    chkPreview->SetChecked(!chkPreview->Checked());
    chkPreviewClick(chkPreview);
    FFEncoder->SetPreview(true);
}

void TfrmMain::OpenOutputFile(const String& FileName)
{
    if (QFileInfo(FileName).isFile())
        ShellOpen(FileName);
}

void TfrmMain::SelectInExplorer(const String& Folder, const String& FileName)
{
    if (QFileInfo(FileName).isFile() && QFileInfo(Folder).isDir())
        ShellShowInFolder(FileName);
}

void TfrmMain::mnuPlayClick(TObject*)
{
    const int row = FirstSelectedRow();
    if (jobOutputExists(row))
        OpenOutputFile(Jobs(row)->OutputFileName);
}

void TfrmMain::mnuOpenFolderClick(TObject*)
{
    const int row = FirstSelectedRow();
    if (row < 0 || row >= JobCount()) {
        Application->DialogService()->MessageBox(LoadResString(MainConsts::SSelectTheVideo), Application->Title(), MB_OK);
        return;
    }
    const String folder = QFileInfo(Jobs(row)->OutputFileName).absolutePath();
    if (!Jobs(row)->OutputFileName.isEmpty() && QFileInfo(folder).isDir())
        ShellOpen(folder);
}
