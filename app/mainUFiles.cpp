// How files enter the job list: the open dialog, files dropped on the list,
// the options dialog once per file or once for a selection; editing a job
// again, removing one and clearing the list.
#include <QCoreApplication>
#include <QFileInfo>

#include "app/OptionsU.h"
#include "app/mainU.h"
#include "platform/rtl/Format.h"

namespace {

const char* const VideoExtensions =
    "*.AVI;*.MPG;*.MPEG;*.WMV;*.ASF;*.MKV;*.MP4;*.FLV;*.MOV;*.RM;*.RMVB;*.3GP;*.3G2;*.MOD;*.TS;*.DVR-MS;*.M2TS;"
    "*.MTS;*.QT;*.DV;*.DIF;*.VFW;*.AVS;*.AMV;*.FLI;*.VOB;*.YUV;*.CPK;*.OGM;*.H264;*.264;*.TP;*.NSV;*.M4V;*.F4V;";
const char* const AudioExtensions =
    "*.APE;*.AMR;*.FLAC;*.MP3;*.MPC;*.OGG;*.MKA;*.WMA;*.WAV;*.WV;*.AAC;*.AC3;*.AIF;*.ASF;*.MMF;*.PCM;*.TTA;*.VOC;"
    "*.M4A;*.M4R;*.MPA;*.RA;*.GSM;*.DTS;*.OFR;*.MP2;*.CDA;*.MID;";
const char* const PictureExtensions = "*.BMP;*.GIF;*.JPEG;*.JPG;*.PNG;";

String libraryFolder()
{
    return QCoreApplication::applicationDirPath();
}

TInputOptions inputRecord(const TBuiltInputOptions& Built)
{
    TInputOptions r;
    r.FileName = Built.FileName;
    r.Options = Built.Options;
    r.Presets = Built.Presets;
    return r;
}

TOutputOptions outputRecord(const TBuiltOutputOptions& Built)
{
    TOutputOptions r;
    r.FileName = Built.FileName;
    r.Options = Built.Options;
    r.Presets = Built.Presets;
    r.Join = Built.Join;
    return r;
}

bool isAviFile(const String& FileName)
{
    return QFileInfo(FileName).suffix().toLower() == QStringLiteral("avi");
}

}  // namespace

String BuildOpenDialogFilter(const TSplStr& SplStr)
{
    const String video = QString::fromLatin1(VideoExtensions);
    const String audio = QString::fromLatin1(AudioExtensions);
    String filter = QStringLiteral("Video and Audio Files|") + video + audio + QString::fromLatin1(PictureExtensions) +
                    QStringLiteral("|Video Files|") + video + QStringLiteral("|Audio Files|") + audio + u'|';
    const auto entries = [&](const String& list, const String& separator) {
        TStringList pieces;
        SplStr.Split(QStringLiteral(";"), list, &pieces);
        for (int i = 0; i < pieces.Count(); ++i) {
            const String piece = pieces.Strings(i);
            const String name = SplStr.ReplaceAll(SplStr.ReplaceAll(piece, QStringLiteral("."), String(), false),
                                                  QStringLiteral("*"), String(), false);
            if (!name.isEmpty())
                filter += name + separator + piece + u'|';
        }
    };
    entries(video, QStringLiteral(" Files |"));
    entries(audio, QStringLiteral(" Files | "));
    return filter + QStringLiteral("All Files|*.*");
}

void TfrmMain::ResetFileSelection()
{
    FSelection->ResetFileSelection();
}

void TfrmMain::bAddClick(TObject*)
{
    if (lvFiles->CanFocus())
        lvFiles->SetFocus();
    if (!OpenDialog1->Execute())
        return;
    ResetFileSelection();
    FSelection->Files()->Assign(OpenDialog1->Files());
    AddFiles(FSelection.get(), 0);
}

void TfrmMain::FilesWndProc(TMessage& Message)
{
    if (Message.Msg != WM_DROPFILES) {
        FOldFilesWndProc(Message);
        return;
    }
    auto* drop = reinterpret_cast<HDROP>(Message.WParam);
    if (!FFEncoder->LoadAVLibs(libraryFolder())) {
        AddLog(FFEncoder->LastError());
        DragFinish(drop);
        return;
    }
    // Adding is refused while a run holds the list, as the button is.
    if (!bAdd->Enabled()) {
        DragFinish(drop);
        return;
    }
    const int count = DragQueryFileCount(drop);
    if (count == 1) {
        const String file = DragQueryFile(drop, 0);
        DragFinish(drop);
        if (!QFileInfo(file).isFile())
            return;
        if (isAviFile(file)) {
            ResetFileSelection();
            FSelection->Files()->Add(file);
            AddFiles(FSelection.get(), 0);
        } else {
            Application->DialogService()->MessageBox(LoadResString(MainConsts::SNotSupportedFile), Application->Title(),
                                                     MB_OK | MB_ICONINFORMATION);
        }
        return;
    }
    ResetFileSelection();
    for (int i = 0; i < count; ++i) {
        const String file = DragQueryFile(drop, i);
        if (!QFileInfo(file).isFile())
            continue;
        if (isAviFile(file))
            FSelection->Files()->Add(file);
        else
            AddLog(LoadResString(MainConsts::SNotSupportedFileLog) + QFileInfo(file).fileName());
    }
    DragFinish(drop);
    AddFiles(FSelection.get(), 0);
}

bool TfrmMain::LoadLibraries()
{
    // The engine's own filters are built into its filter chains; nothing
    // needs registering after the load.
    if (FFEncoder->LoadAVLibs(libraryFolder()))
        return true;
    AddLog(FFEncoder->LastError());
    return false;
}

void TfrmMain::logLoadError(const String& Error)
{
    AddLog(String());
    AddLog(LoadResString(MainConsts::SFileLoadError) + Error);
    AddLog(String());
}

bool TfrmMain::runOptionsDialog(bool EditMode, bool JoinMode, const TOutFileData* Job, TOptionValues& Chosen,
                                const std::function<void(TfrmOption&)>& OnOk)
{
    auto dialog = std::make_unique<TfrmOption>(this, FFEncoder->Decoder());
    frmOption = dialog.get();
    struct Clear {
        TfrmOption*& Ref;
        ~Clear() { Ref = nullptr; }
    } clear{frmOption};
    dialog->SetOutputFolder(edtOutPath->Text());
    if (Job != nullptr)
        dialog->LoadJobValues(Job->Values);
    else
        dialog->chkKeepAspect->SetChecked(KeepAspect);
    dialog->SetEditMode(EditMode);
    dialog->SetJoinMode(JoinMode);
    if (dialog->ShowModal() != mrOk)
        return false;
    Chosen = dialog->Values();
    InputOptions = inputRecord(dialog->InputOptions());
    OutputOptions = outputRecord(dialog->OutputOptions());
    FBuiltOutputOptions = dialog->OutputOptions();
    // The dialog falls back to the input's folder when ours does not exist.
    if (!dialog->OutputFolder().isEmpty() && dialog->OutputFolder() != edtOutPath->Text())
        edtOutPath->SetText(dialog->OutputFolder());
    if (OnOk)
        OnOk(*dialog);
    return true;
}

void TfrmMain::AddFiles(TPassData* ASelection, int Mode)
{
    TStrings* files = ASelection->Files();
    if (files->Count() == 0)
        return;
    LoadLibraries();
    TFFDecoder* decoder = FFEncoder->Decoder();
    // The file is closed however the add ends (the dialog may raise).
    struct CloseFile {
        TFFDecoder* Decoder;
        ~CloseFile() { Decoder->CloseFile(); }
    } closeFile{decoder};
    if (files->Count() == 1 || Mode == 1) {
        if (!decoder->LoadFile(files->Strings(0))) {
            logLoadError(decoder->LastError());
            return;
        }
        TOptionValues chosen;
        if (runOptionsDialog(false, Mode == 1, nullptr, chosen, {}))
            AppendJob(chosen);
        return;
    }

    // One dialog for the whole selection, shown with the first file (or with
    // none when that one does not open); each file then gets the user's
    // choices with what depends on its own source recomputed.
    if (!decoder->LoadFile(files->Strings(0)))
        logLoadError(decoder->LastError());
    TOptionValues chosen;
    runOptionsDialog(false, false, nullptr, chosen, [&](TfrmOption& dialog) {
        decoder->CloseFile();
        for (int i = 0; i < files->Count(); ++i) {
            const String file = files->Strings(i);
            if (!decoder->LoadFile(file)) {
                logLoadError(decoder->LastError());
                continue;
            }
            const TFileJobOptions options =
                JobOptionsForSource(chosen, dialog.ProfileRoot(), SourceStreamInfoOf(*decoder), dialog.BuildEnvironment());
            InputOptions = inputRecord(options.InputOptions);
            InputOptions.FileName = file;
            OutputOptions = outputRecord(options.OutputOptions);
            FBuiltOutputOptions = options.OutputOptions;
            AppendJob(options.Values);
            decoder->CloseFile();
        }
    });
}

void TfrmMain::writeNewRow(int Row, const TOutFileData& Job)
{
    TFFDecoder* decoder = FFEncoder->Decoder();
    TFileStreamInfo info;
    decoder->GetFileStreamInfo(info);
    const String path = Job.InputOptions.FileName;
    lvFilesTableView1->BeginUpdate();
    SetGridValue(Row, 0, Variant(QStringLiteral(" ") + QFileInfo(path).fileName()));
    SetGridValue(Row, 1, Variant(FormatSeconds(info.Duration > 0 ? info.Duration / 1000000 : 0)));
    SetGridValue(Row, 2, Variant(FormatFileSize(decoder->FileSize())));
    SetGridValue(Row, 4, Variant(QStringLiteral("00:00:00")));
    SetGridValue(Row, 5, Variant(String()));
    SetGridValue(Row, 6, Variant(String()));
    SetGridValue(Row, 7, Variant(0));
    SetGridValue(Row, 8, Variant(path));
    SetGridValue(Row, 9, Variant(QStringLiteral("0")));
    lvFilesTableView1->EndUpdate();
}

void TfrmMain::AppendJob(const TOptionValues& DialogValues)
{
    auto job = std::make_unique<TOutFileData>(OutputOptions, InputOptions);
    job->State = 0;
    job->SetValues(DialogValues, false);
    job->Extension = FBuiltOutputOptions.Extension;
    job->SourceAspect = FBuiltOutputOptions.SourceAspect;
    job->TargetAspect = FBuiltOutputOptions.TargetAspect;
    if (OutputOptions.Join) {
        job->Join = true;
        if (job->InputFiles->Count() == 0)
            job->InputFiles->Assign(FSelection->Files());
    }
    TvlCustomDataController* dc = lvFilesTableView1->DataController();
    const int row = dc->AppendRecord();
    writeNewRow(row, *job);
    dc->SetFocusedRowIndex(row);
    const String name = QFileInfo(job->InputOptions.FileName).fileName();
    FJobs.push_back(std::move(job));
    AddLog(Format(LoadResString(MainConsts::SFileAdded), {name}));
    bRemove->SetEnabled(true);
    mnuClear->SetEnabled(true);
    bRemoveAll->SetEnabled(mnuClear->Enabled());
    bStart->SetEnabled(true);
}

void TfrmMain::UpdateJob(int Row, const TOptionValues& DialogValues)
{
    TOutFileData* job = Jobs(Row);
    job->OutputOptions = OutputOptions;
    job->InputOptions.Options = InputOptions.Options;
    job->SetValues(DialogValues, true);
    job->Extension = FBuiltOutputOptions.Extension;
    job->SourceAspect = FBuiltOutputOptions.SourceAspect;
    job->TargetAspect = FBuiltOutputOptions.TargetAspect;
    job->Join = OutputOptions.Join;
    bRemove->SetEnabled(true);
    mnuClear->SetEnabled(true);
    bRemoveAll->SetEnabled(true);
    bStart->SetEnabled(true);
}

void TfrmMain::EditJob(int Row)
{
    if (Row < 0 || Row >= JobCount() || !LoadLibraries())
        return;
    TFFDecoder* decoder = FFEncoder->Decoder();
    // A job whose input has gone cannot be shown or rebuilt: say so and
    // keep the job as it is.
    if (!decoder->LoadFile(VarToStr(GridValue(Row, 8)))) {
        logLoadError(decoder->LastError());
        return;
    }
    struct CloseFile {
        TFFDecoder* Decoder;
        ~CloseFile() { Decoder->CloseFile(); }
    } closeFile{decoder};
    TOutFileData* job = Jobs(Row);
    TOptionValues chosen;
    if (runOptionsDialog(true, job->Join, job, chosen, {}))
        UpdateJob(Row, chosen);
}

int TfrmMain::FirstSelectedRow() const
{
    const TvlCustomDataController* dc = lvFilesTableView1->DataController();
    return dc->GetSelectedCount() > 0 ? dc->GetSelectedRowIndex(0) : -1;
}

int TfrmMain::LastSelectedRow() const
{
    const TvlCustomDataController* dc = lvFilesTableView1->DataController();
    const int count = dc->GetSelectedCount();
    return count > 0 ? dc->GetSelectedRowIndex(count - 1) : -1;
}

bool TfrmMain::jobOutputExists(int Row) const
{
    return Row >= 0 && Row < JobCount() && !Jobs(Row)->OutputFileName.isEmpty() &&
           QFileInfo(Jobs(Row)->OutputFileName).isFile();
}

void TfrmMain::mnuEdit1Click(TObject*)
{
    const int row = FirstSelectedRow();
    if (row < 0 || row >= JobCount())
        return;
    if (jobOutputExists(row) && Jobs(row)->State == 2) {
        OpenOutputFile(Jobs(row)->OutputFileName);
        return;
    }
    if (FConverting)
        return;
    EditJob(row);
}

void TfrmMain::lvFilesTableView1CellDblClick(vlslice::TvlCustomGridTableView*, vlslice::TvlGridTableDataCellViewInfo*, TMouseButton,
                                             TShiftState, bool&)
{
    mnuEdit1Click(this);
}

void TfrmMain::RemoveJob(int Row)
{
    FJobs.erase(FJobs.begin() + Row);
    lvFilesTableView1->DataController()->DeleteRecord(Row);
}

void TfrmMain::bRemoveClick(TObject*)
{
    const int row = LastSelectedRow();
    if (row < 0) {
        Application->DialogService()->MessageBox(LoadResString(MainConsts::SSelectTheVideo), Application->Title(), MB_OK);
        return;
    }
    if (row >= JobCount())
        return;
    // Tasks exist only from a run's start to its final record, while
    // removing is disabled: the job has no task to remove.
    RemoveJob(row);
    const bool any = JobCount() > 0;
    bRemove->SetEnabled(any);
    mnuClear->SetEnabled(any);
    bRemoveAll->SetEnabled(any);
    bStart->SetEnabled(any && bAdd->Enabled());
}

void TfrmMain::mnuClearClick(TObject*)
{
    FFEncoder->ClearTasks();
    FreeJobs();
    TvlCustomDataController* dc = lvFilesTableView1->DataController();
    lvFilesTableView1->BeginUpdate();
    for (int row = dc->GetRecordCount() - 1; row >= 0; --row)
        dc->DeleteRecord(row);
    lvFilesTableView1->EndUpdate();
    clearRun();
    bAdd->SetEnabled(true);
    bRemove->SetEnabled(false);
    mnuClear->SetEnabled(false);
    bRemoveAll->SetEnabled(false);
    bStart->SetEnabled(false);
    ProgressBar1->SetPosition(0);
}

void TfrmMain::PopupMenu1Popup(TObject*)
{
    mnuAdd->SetEnabled(bAdd->Enabled());
    mnuRemove->SetEnabled(bRemove->Enabled());
    mnuEdit1->SetEnabled(mnuRemove->Enabled());
    mnuOpenFolder->SetEnabled(JobCount() > 0);
    mnuPlay->SetEnabled(jobOutputExists(FirstSelectedRow()));
}
