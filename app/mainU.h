// mainU.h - the converter's main window: the job list, adding and editing
// files, running the conversion with progress per row and in total, and the log.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "app/OptionString.h"
#include "app/OutFileData.h"
#include "app/SplStr.h"
#include "engine/FFDecode.h"
#include "engine/FFEncode.h"
#include "engine/FFLog.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/ImgList.h"
#include "support/KitAppRegistryStorage.h"
#include "support/KitCaptionPanel.h"
#include "support/KitComputerInfoEx.h"
#include "support/KitFormStorage.h"
#include "support/uTaskBarListProgress.h"
#include "ui/grid/vlGridSlice.h"
#include "ui/grid/vlStyles.h"

class TfrmOption;
class TfrmSettings;
class TfrmAbout;
class TSkinData;

namespace MainConsts {
VORLANE_RESOURCESTRING(SAppTitle, "Vorlane");
VORLANE_RESOURCESTRING(SMainCaption, "Vorlane v3.5");
VORLANE_RESOURCESTRING(SOpenDialogTitle, "Select files to convert");
VORLANE_RESOURCESTRING(SSelectOutputFolder, "Select Output Folder");
VORLANE_RESOURCESTRING(SSelectTheVideo, "Select the video.");
VORLANE_RESOURCESTRING(SNotSupportedFile, "Not supported file!");
VORLANE_RESOURCESTRING(SNotSupportedFileLog, "Not supported file: ");
VORLANE_RESOURCESTRING(SFileLoadError, "***File load error: ");
VORLANE_RESOURCESTRING(SFileAdded, "***File \"%s\" has been added to convert list.");
VORLANE_RESOURCESTRING(STaskError, "ERROR: %s  (VIDEO REMOVED: %s)");
VORLANE_RESOURCESTRING(SCannotMakeOutputFolder, "ERROR: the output folder %s cannot be created.");
VORLANE_RESOURCESTRING(SOutputFolderReadOnly, "Output folder cannot be located in CD-ROM.");
VORLANE_RESOURCESTRING(SOutputFolderName, "VideoOutput");
VORLANE_RESOURCESTRING(SSettingsSetAside,
                       "The settings file %s could not be read; it was set aside as %s and the default settings are used.");
VORLANE_RESOURCESTRING(SSettingsUnreadable, "The settings file %s could not be read; the default settings are used.");
}  // namespace MainConsts

// Messages the main window posts to itself.
enum : UINT {
    WM_CONVERT_PROGRESS = WM_USER + 44,
    WM_TASK_FINISHED = WM_USER + 45,
    WM_STARTUP = WM_USER + 47,
    WM_PREPARE_TASKS = WM_USER + 48,  // the next slice of a run's tasks
};

// The values of the last progress report, widened to 64 bits.
struct TProgressCopy {
    int64_t TaskIndex = 0;
    int64_t FrameNumber = 0;
    int64_t FPS = 0;
    int64_t CurrentDuration = 0;
    int64_t CurrentSize = 0;
    double Quality = 0;
    double BitRate = 0;
    int64_t TotalDuration = 0;
};

// The open dialog's filter: every video, audio and picture pattern, then
// each list apart, then an entry per extension, then all files.
String BuildOpenDialogFilter(const TSplStr& SplStr);

// The status column's image combo box settings: the four status icons
// for the values "0" to "3", centred, no descriptions. Kept in a unit of
// its own: the editors' headers and the computer information's cannot
// meet in one translation unit (both name an enumerator imOpen).
void configureStatusColumn(TvlCustomEditProperties* AProperties, TImageList* AImages);

class TfrmMain : public TForm {
public:
    explicit TfrmMain(TComponent* AOwner);
    ~TfrmMain() override;
    String ClassName() const override { return String::fromLatin1("TfrmMain"); }

    // Header, tool bar and bottom.
    TPanel* Panel1;
    TImage* Image1;
    TImage* Image2;
    TImage* Image3;
    TToolBar* ToolBar1;
    TToolButton* bAdd;
    TToolButton* bRemove;
    TToolButton* bRemoveAll;
    TToolButton* bStart;
    TToolButton* bStop;
    TToolButton* bPause;
    TToolButton* bResume;
    TToolButton* bPreview;
    TToolButton* bHelp;
    TToolButton* bExit;
    TProgressBar* ProgressBar1;
    TPanel* panBottom;
    TLabel* lblOutPath;
    TEdit* edtOutPath;
    TButton* btnOutPath;
    TStatusBar* StatusBar1;

    // The job list.
    vlslice::TvlGrid* lvFiles;
    vlslice::TvlGridTableView* lvFilesTableView1;
    vlslice::TvlGridColumn* ColFile;
    vlslice::TvlGridColumn* ColTotalTime;
    vlslice::TvlGridColumn* ColFileSize;
    vlslice::TvlGridColumn* ColOutput;
    vlslice::TvlGridColumn* ColTime;
    vlslice::TvlGridColumn* ColSize;
    vlslice::TvlGridColumn* ColFPS;
    vlslice::TvlGridColumn* ColProgress;
    vlslice::TvlGridColumn* colFulPath;
    vlslice::TvlGridColumn* colStatus;
    TvlStyleRepository* vlStyleRepository1;
    TvlStyle* vlStyle1;
    TvlStyle* vlStyle2;
    TvlStyle* vlStyle3;
    TImageList* ImageList1;
    TImageList* ImageList2;
    TImageList* ImgListStatus;

    // The log.
    TKitCaptionPanel* KitCaptionPanel1;
    TBevel* Bevel1;
    TMemo* mmoLog;

    // The hidden option group.
    TPanel* panRight;
    TCheckBox* chkThreadMode;
    TCheckBox* chkVerNum;
    TEdit* edtThreadCount;
    TCheckBox* chkPreview;

    // Menus.
    TPopupMenu* PopupMenu1;
    TMenuItem* mnuAdd;
    TMenuItem* mnuEdit1;
    TMenuItem* mnuPlay;
    TMenuItem* mnuRemove;
    TMenuItem* mnuClear;
    TMenuItem* mnuOpenFolder;
    TPopupMenu* PopupMenu2;
    TMenuItem* Help1;
    TMenuItem* HomePage1;
    TMenuItem* Update1;
    TMenuItem* Settings1;
    TMenuItem* ShowLog1;
    TMenuItem* About1;

    // Non-visual components.
    TFFEncoder* FFEncoder;
    TFFLogger* FFLogger1;
    TFFDecoder* FFDecoder1;
    TKitAppRegistryStorage* KitAppRegistryStorage1;
    TKitFormStorage* KitFormStorage1;
    TSkinData* SkinData1;
    TKitComputerInfoEx* KitComputerInfoEx1;
    TTaskbarListProgress* TaskbarListProgress1;
    TSplStr* SplStr1;
    TOpenDialog* OpenDialog1;
    TTimer* Timer1;

    // The settings dialog, kept for the window's life (made and owned by it,
    // since its storage is the window's registry storage).
    TfrmSettings* frmSettings = nullptr;
    // The options dialog while it is shown; nullptr otherwise.
    TfrmOption* frmOption = nullptr;
    TfrmAbout* AboutBox = nullptr;

    // The jobs, row i is job i.
    int JobCount() const { return int(FJobs.size()); }
    TOutFileData* Jobs(int Index) const { return FJobs.at(size_t(Index)).get(); }
    TPassData* Selection() const { return FSelection.get(); }
    TInputOptions InputOptions;
    TOutputOptions OutputOptions;

    // The applied settings.
    int ThreadPriorityIndex = tpNormal;
    int LogLevelIndex = llInfo;
    bool OverwriteFiles = false;
    bool OpenOutputFolder = false;
    bool PlayVideoAfter = false;
    bool KeepAspect = false;
    bool JoinFiles = false;
    int ThreadCount = 1;

    // The run.
    const TProgressCopy& ProgressCopy() const { return FProgressCopy; }
    int TotalSeconds() const { return FTotalSeconds; }
    bool Converting() const { return FConverting; }
    bool Stopped() const { return FStopped; }
    // The job row of a task of the running run; -1 for none.
    int RowOfTask(int TaskIndex) const;

    // Start-up and closing.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void ApplySettings();
    void Panel1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void bExitClick(TObject* Sender);
    void chkVerNumClick(TObject* Sender);
    void Help1Click(TObject* Sender);
    void HomePage1Click(TObject* Sender);
    void Update1Click(TObject* Sender);
    void Settings1Click(TObject* Sender);
    void About1Click(TObject* Sender);
    void PopupMenu2Popup(TObject* Sender);

    // Adding, editing and removing.
    void ResetFileSelection();
    void bAddClick(TObject* Sender);
    void FilesWndProc(TMessage& Message);
    void AddFiles(TPassData* ASelection, int Mode);
    // Loads the media libraries; false (logged) when they cannot be loaded.
    bool LoadLibraries();
    // The new job takes the main window's InputOptions and OutputOptions and
    // the dialog's values (for a batch, the values recomputed for the file).
    void AppendJob(const TOptionValues& DialogValues);
    void UpdateJob(int Row, const TOptionValues& DialogValues);
    void EditJob(int Row);
    void mnuEdit1Click(TObject* Sender);
    void lvFilesTableView1CellDblClick(vlslice::TvlCustomGridTableView* Sender, vlslice::TvlGridTableDataCellViewInfo* ACellViewInfo,
                                       TMouseButton AButton, TShiftState AShift, bool& AHandled);
    void bRemoveClick(TObject* Sender);
    void mnuClearClick(TObject* Sender);
    void PopupMenu1Popup(TObject* Sender);
    void FreeJobs();

    // Conversion.
    void btnOutPathClick(TObject* Sender);
    void bStartClick(TObject* Sender);
    void StartConversion();
    void ComputeTotalDuration();
    void FFEncoderProgress(TObject* Sender, PProgressInfo AProgressInfo);
    void FFEncoderTerminate(TObject* Sender, const TTerminateInfo& ATerminateInfo);
    void WMConvertProgress(TMessage& Message);
    void WMTaskFinished(TMessage& Message);
    void WMPrepareTasks(TMessage& Message);
    void bPauseClick(TObject* Sender);
    void bResumeClick(TObject* Sender);
    void bStopClick(TObject* Sender);
    void chkPreviewClick(TObject* Sender);
    void bPreviewClick(TObject* Sender);
    void OpenOutputFile(const String& FileName);
    void SelectInExplorer(const String& Folder, const String& FileName);
    void mnuPlayClick(TObject* Sender);
    void mnuOpenFolderClick(TObject* Sender);

    // Log and errors.
    void AddLog(const String& Line);
    void FFLogger1Log(TObject* Sender, uint32_t AThreadID, TLogLevel ALogLevel, const String& ALogMsg);
    void ShowLog1Click(TObject* Sender);
    void KitCaptionPanel1ButtonClick(TObject* Sender, TKitCapBtnStyle Button);
    void AppException(TObject* Sender, const Exception& E);
    // Whether the settings keep errors out of dialogs.
    bool ErrorMessagesHidden() const;

    // The column index table: every cell access goes through it.
    int Col(int Column) const { return FColumnIndex[size_t(Column)]; }

protected:
    void Dispatch(TMessage& Message) override;

private:
    void createComponents();
    void createToolBar();
    void createJobList();
    void createMenus();
    void createBottom();
    void createStorage();
    void createSkin();
    void WMStartup(TMessage& Message);
    // Tells, in the log panel, of every settings file set aside as damaged.
    void reportSetAsideSettings();
    // The output folder: the stored one when it exists, else the documents
    // folder + "VideoOutput", created; empty when that cannot be made.
    void ChooseOutputFolder();
    void ShowLogPanel();
    void SetGridValue(int Row, int Column, const Variant& Value);
    Variant GridValue(int Row, int Column) const;
    int FirstSelectedRow() const;
    int LastSelectedRow() const;
    void RemoveJob(int Row);
    void writeNewRow(int Row, const TOutFileData& Job);
    // Runs the options dialog modally with the decoder's file; true on OK,
    // with InputOptions and OutputOptions taken from it.
    // OnOk runs while the dialog still exists.
    bool runOptionsDialog(bool EditMode, bool JoinMode, const TOutFileData* Job, TOptionValues& Chosen,
                          const std::function<void(TfrmOption&)>& OnOk);
    void logLoadError(const String& Error);
    void updateTotalBar();
    // Writes the task's newest report into its row.
    void showReport(int Task);
    // Forgets the bookkeeping of the last run.
    void clearRun();
    // Makes the next tasks of the run being started; starts it after the last.
    void prepareTasks();
    bool jobOutputExists(int Row) const;

    // A run whose tasks are still being made.
    struct TRunPreparation {
        TOutputNamer Namer;
        int NextRow = 0;
        std::vector<TOutFileData*> TaskJobs;
        std::vector<TOutFileData*> Refused;
    };
    std::unique_ptr<TRunPreparation> FPreparation;

    std::vector<std::unique_ptr<TOutFileData>> FJobs;
    std::unique_ptr<TPassData> FSelection;
    TBuiltOutputOptions FBuiltOutputOptions;  // what the dialog built last
    std::array<int, 10> FColumnIndex{};
    TWndMethod FOldFilesWndProc;
    bool FFilesWndProcInstalled = false;
    bool FStarted = false;  // the deferred start-up has run

    // Run bookkeeping: task i converts job FTaskRows[i]; each task's own
    // duration and its progress, so the total never mixes tasks up.
    TProgressCopy FProgressCopy;
    int64_t FTerminateIndex = -1;
    bool FTerminateFinished = false;  // the record's task ran to its end
    std::vector<int> FTaskRows;
    std::vector<int64_t> FTaskDurations;  // µs, 0 when unknown
    std::vector<int64_t> FTaskProgress;   // µs reached
    std::vector<int> FFailedRows;         // leave the list at the final record
    std::vector<TProgressCopy> FTaskReports;  // each task's newest report
    std::vector<bool> FTaskPending;           // a report not yet shown
    std::vector<bool> FTaskDone;              // its terminate record arrived
    int FTotalSeconds = 0;
    bool FConverting = false;
    bool FStopped = false;
    bool FAllRemoved = false;
    bool FProgressPosted = false;
};
