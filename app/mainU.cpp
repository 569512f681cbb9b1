// The main window's components, the deferred start-up that restores the
// stored settings and chooses the output folder, the help menu and closing.
#include "app/mainU.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "app/Artwork.h"
#include "app/OptionsU.h"
#include "app/ProgramAddresses.h"
#include "app/aboutU.h"
#include "app/settingsU.h"
#include "platform/os/Registry.h"
#include "platform/os/Shell.h"
#include "platform/rtl/Format.h"
#include "skin/SknData.h"
#include "support/SxStrings.h"
#include "ui/controls/vlProgressBar.h"

namespace {

template <class T>
T* make(TComponent* Owner, TWinControl* Parent, const char* Name)
{
    auto* c = new T(Owner);  // owned by the form
    c->SetName(QString::fromLatin1(Name));
    if constexpr (std::is_base_of_v<TControl, T>)
        if (Parent != nullptr)
            c->SetParent(Parent);
    return c;
}

TMenuItem* menuItem(TComponent* Owner, TMenu* Menu, const char* Name, const char* Caption)
{
    auto* item = make<TMenuItem>(Owner, nullptr, Name);
    item->SetCaption(QString::fromLatin1(Caption));
    Menu->Items()->Add(item);
    return item;
}

void separator(TComponent* Owner, TMenu* Menu)
{
    auto* item = new TMenuItem(Owner);
    item->SetCaption(QStringLiteral("-"));
    Menu->Items()->Add(item);
}

}  // namespace

TfrmMain::TfrmMain(TComponent* AOwner) : TForm(AOwner)
{
    Loading();
    SetName(QStringLiteral("frmMain"));
    SetCaption(LoadResString(MainConsts::SMainCaption));
    SetClientWidth(812);
    SetClientHeight(575);
    SetConstraints(TSizeConstraints{820, 400, 0, 0});
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    OnCreate = TNotifyEvent(this, &TfrmMain::FormCreate);
    OnShow = TNotifyEvent(this, &TfrmMain::FormShow);
    OnCloseQuery = TCloseQueryEvent(this, &TfrmMain::FormCloseQuery);
    createComponents();
    Loaded();
}

TfrmMain::~TfrmMain()
{
    // A window freed without closing still must not leave a task running
    // into handlers that are gone.
    FFEncoder->OnProgress = {};
    FFEncoder->OnTerminate = {};
    FFEncoder->Stop(true);
    FFLogger1->OnLog = {};
    if (Application != nullptr && Application->OnException == TExceptionEvent(this, &TfrmMain::AppException))
        Application->OnException = {};
    // The grid outlives this part of the window: give it back its own procedure.
    if (FFilesWndProcInstalled)
        lvFiles->WindowProc = FOldFilesWndProc;
    FreeJobs();
}

void TfrmMain::createComponents()
{
    Panel1 = make<TPanel>(this, this, "Panel1");
    Panel1->SetAlign(alTop);
    Panel1->SetHeight(57);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetColor(TColor(0x5A3A1E));
    Panel1->OnMouseDown = TMouseEvent(this, &TfrmMain::Panel1MouseDown);
    Image1 = make<TImage>(this, Panel1, "Image1");
    Image1->SetBounds(0, 0, 57, 57);
    Image2 = make<TImage>(this, Panel1, "Image2");
    Image2->SetBounds(57, 0, 698, 57);
    Image2->SetStretch(true);
    Image3 = make<TImage>(this, Panel1, "Image3");
    Image3->SetBounds(755, 0, 57, 57);
    LoadArtwork(Image1, "header_left", Panel1->Color());
    LoadArtwork(Image2, "header_band", Panel1->Color());
    LoadArtwork(Image3, "header_right", Panel1->Color());

    createToolBar();
    createMenus();
    createBottom();
    createJobList();

    FFEncoder = make<TFFEncoder>(this, nullptr, "FFEncoder");
    FFEncoder->OnProgress = TCustomEncoder::TProgressEvent(this, &TfrmMain::FFEncoderProgress);
    FFEncoder->OnTerminate = TCustomEncoder::TTerminateEvent(this, &TfrmMain::FFEncoderTerminate);
    FFLogger1 = make<TFFLogger>(this, nullptr, "FFLogger1");
    FFLogger1->OnLog = TLogEvent(this, &TfrmMain::FFLogger1Log);
    FFDecoder1 = make<TFFDecoder>(this, nullptr, "FFDecoder1");
    KitComputerInfoEx1 = make<TKitComputerInfoEx>(this, nullptr, "KitComputerInfoEx1");
    TaskbarListProgress1 = make<TTaskbarListProgress>(this, nullptr, "TaskbarListProgress1");
    TaskbarListProgress1->SetProgressBar(ProgressBar1);
    TaskbarListProgress1->SetMax(100);
    SplStr1 = make<TSplStr>(this, nullptr, "SplStr1");
    OpenDialog1 = make<TOpenDialog>(this, nullptr, "OpenDialog1");
    OpenDialog1->SetTitle(LoadResString(MainConsts::SOpenDialogTitle));
    Timer1 = make<TTimer>(this, nullptr, "Timer1");
    Timer1->SetEnabled(false);
    createStorage();
    createSkin();
}

void TfrmMain::createSkin()
{
    // The program's own skin: every window gets its frame, caption and
    // caption buttons from it.
    SkinData1 = new TSkinData(this);
    SkinData1->Loading();
    SkinData1->SetName(QStringLiteral("SkinData1"));
    SkinData1->SetActive(true);
    SkinData1->SetDisableTag(99);
    SkinData1->SetSkinFormtype(sfMainform);
    QFile stream(QStringLiteral(":/SkinStream"));
    if (stream.open(QIODevice::ReadOnly))
        SkinData1->SetSkinStream(stream.readAll());
    SkinData1->Loaded();
}

void TfrmMain::createToolBar()
{
    ToolBar1 = make<TToolBar>(this, this, "ToolBar1");
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetHeight(72);
    ToolBar1->SetButtonWidth(80);
    // A 48-pixel picture over a caption, with the buttons' margins.
    ToolBar1->SetButtonHeight(68);
    ToolBar1->SetShowCaptions(true);
    ImageList1 = make<TImageList>(this, nullptr, "ImageList1");
    ImageList1->SetWidth(48);
    ImageList1->SetHeight(48);
    // One picture per button, in the buttons' order.
    AddArtwork(ImageList1, {"add", "remove", "clear", "convert", "stop", "pause", "resume", "preview", "help", "exit"},
               ToolBar1->Color());
    ToolBar1->SetImages(ImageList1);
    int imageIndex = 0;
    const auto button = [&](const char* name, const char* caption, TNotifyEvent click, bool enabled) {
        auto* b = make<TToolButton>(this, ToolBar1, name);
        b->SetCaption(QString::fromLatin1(caption));
        b->SetEnabled(enabled);
        b->SetImageIndex(imageIndex++);
        b->OnClick = std::move(click);
        return b;
    };
    bAdd = button("bAdd", "Add Video", TNotifyEvent(this, &TfrmMain::bAddClick), true);
    bRemove = button("bRemove", "Remove Video", TNotifyEvent(this, &TfrmMain::bRemoveClick), false);
    bRemoveAll = button("bRemoveAll", "Clear All", TNotifyEvent(this, &TfrmMain::mnuClearClick), false);
    bStart = button("bStart", "Convert", TNotifyEvent(this, &TfrmMain::bStartClick), false);
    bStop = button("bStop", "Stop", TNotifyEvent(this, &TfrmMain::bStopClick), false);
    bPause = button("bPause", "Pause", TNotifyEvent(this, &TfrmMain::bPauseClick), false);
    bResume = button("bResume", "Resume", TNotifyEvent(this, &TfrmMain::bResumeClick), true);
    bResume->SetVisible(false);
    bPreview = button("bPreview", "Preview", TNotifyEvent(this, &TfrmMain::bPreviewClick), true);
    bHelp = button("bHelp", "Help && Settings", {}, true);
    bHelp->SetStyle(tbsDropDown);
    bExit = button("bExit", "Exit", TNotifyEvent(this, &TfrmMain::bExitClick), true);
}

void TfrmMain::createMenus()
{
    ImageList2 = make<TImageList>(this, nullptr, "ImageList2");
    ImageList2->SetWidth(16);
    ImageList2->SetHeight(16);
    AddArtwork(ImageList2, {"add", "edit", "play", "remove", "clear", "folder", "help", "home", "update", "settings", "log", "about"},
               clMenu);
    PopupMenu1 = make<TPopupMenu>(this, nullptr, "PopupMenu1");
    PopupMenu1->OnPopup = TNotifyEvent(this, &TfrmMain::PopupMenu1Popup);
    mnuAdd = menuItem(this, PopupMenu1, "mnuAdd", "Add Video");
    mnuAdd->OnClick = TNotifyEvent(this, &TfrmMain::bAddClick);
    mnuEdit1 = menuItem(this, PopupMenu1, "mnuEdit1", "Conversion Settings");
    mnuEdit1->OnClick = TNotifyEvent(this, &TfrmMain::mnuEdit1Click);
    separator(this, PopupMenu1);
    mnuPlay = menuItem(this, PopupMenu1, "mnuPlay", "Play Output Video");
    mnuPlay->OnClick = TNotifyEvent(this, &TfrmMain::mnuPlayClick);
    separator(this, PopupMenu1);
    mnuRemove = menuItem(this, PopupMenu1, "mnuRemove", "Remove Selected File");
    mnuRemove->OnClick = TNotifyEvent(this, &TfrmMain::bRemoveClick);
    mnuClear = menuItem(this, PopupMenu1, "mnuClear", "Clear All");
    mnuClear->OnClick = TNotifyEvent(this, &TfrmMain::mnuClearClick);
    mnuClear->SetEnabled(false);
    separator(this, PopupMenu1);
    mnuOpenFolder = menuItem(this, PopupMenu1, "mnuOpenFolder", "Open Output Folder");
    mnuOpenFolder->OnClick = TNotifyEvent(this, &TfrmMain::mnuOpenFolderClick);
    PopupMenu1->SetImages(ImageList2);
    int picture = 0;
    for (TMenuItem* item : {mnuAdd, mnuEdit1, mnuPlay, mnuRemove, mnuClear, mnuOpenFolder})
        item->SetImageIndex(picture++);

    PopupMenu2 = make<TPopupMenu>(this, nullptr, "PopupMenu2");
    PopupMenu2->OnPopup = TNotifyEvent(this, &TfrmMain::PopupMenu2Popup);
    Help1 = menuItem(this, PopupMenu2, "Help1", "&Online Help");
    Help1->OnClick = TNotifyEvent(this, &TfrmMain::Help1Click);
    HomePage1 = menuItem(this, PopupMenu2, "HomePage1", "&Home Page of Vorlane");
    HomePage1->OnClick = TNotifyEvent(this, &TfrmMain::HomePage1Click);
    Update1 = menuItem(this, PopupMenu2, "Update1", "&Update");
    Update1->OnClick = TNotifyEvent(this, &TfrmMain::Update1Click);
    separator(this, PopupMenu2);
    Settings1 = menuItem(this, PopupMenu2, "Settings1", "Settings");
    Settings1->OnClick = TNotifyEvent(this, &TfrmMain::Settings1Click);
    ShowLog1 = menuItem(this, PopupMenu2, "ShowLog1", "Show Log");
    ShowLog1->OnClick = TNotifyEvent(this, &TfrmMain::ShowLog1Click);
    separator(this, PopupMenu2);
    About1 = menuItem(this, PopupMenu2, "About1", "&About");
    About1->OnClick = TNotifyEvent(this, &TfrmMain::About1Click);
    PopupMenu2->SetImages(ImageList2);
    for (TMenuItem* item : {Help1, HomePage1, Update1, Settings1, ShowLog1, About1})
        item->SetImageIndex(picture++);
    bHelp->SetDropdownMenu(PopupMenu2);
}

void TfrmMain::createBottom()
{
    // Bottom-aligned controls stack upwards in the order they are made.
    StatusBar1 = make<TStatusBar>(this, this, "StatusBar1");
    StatusBar1->SetAlign(alBottom);
    StatusBar1->SetHeight(19);

    panBottom = make<TPanel>(this, this, "panBottom");
    panBottom->SetAlign(alBottom);
    panBottom->SetHeight(36);
    panBottom->SetBevelOuter(bvNone);
    panBottom->SetCaption(String());
    lblOutPath = make<TLabel>(this, panBottom, "lblOutPath");
    lblOutPath->SetCaption(QStringLiteral("Output Folder"));
    lblOutPath->SetBounds(8, 11, 80, 13);
    edtOutPath = make<TEdit>(this, panBottom, "edtOutPath");
    edtOutPath->SetBounds(96, 7, 660, 21);
    edtOutPath->SetReadOnly(true);
    edtOutPath->SetAnchors({akLeft, akTop, akRight});
    btnOutPath = make<TButton>(this, panBottom, "btnOutPath");
    btnOutPath->SetCaption(QStringLiteral("  ..."));
    btnOutPath->SetBounds(762, 6, 40, 23);
    btnOutPath->SetAnchors({akTop, akRight});
    btnOutPath->OnClick = TNotifyEvent(this, &TfrmMain::btnOutPathClick);

    ProgressBar1 = make<TProgressBar>(this, this, "ProgressBar1");
    ProgressBar1->SetAlign(alBottom);
    ProgressBar1->SetHeight(17);

    KitCaptionPanel1 = make<TKitCaptionPanel>(this, this, "KitCaptionPanel1");
    KitCaptionPanel1->SetAlign(alBottom);
    KitCaptionPanel1->SetHeight(150);
    KitCaptionPanel1->SetCaption(QStringLiteral("Log"));
    KitCaptionPanel1->SetCaptionPosition(dpTop);
    KitCaptionPanel1->SetCaptionColor(clSilver);
    KitCaptionPanel1->CaptionFont()->SetName(QStringLiteral("Tahoma"));
    KitCaptionPanel1->CaptionFont()->SetSize(10);
    KitCaptionPanel1->CaptionFont()->SetColor(clGray);
    KitCaptionPanel1->CaptionFont()->SetStyle({fsBold});
    KitCaptionPanel1->SetButtons({capClose});
    KitCaptionPanel1->SetFlatButtons(true);
    KitCaptionPanel1->SetBorderStyle(bsNoBorder);
    KitCaptionPanel1->SetVisible(false);
    KitCaptionPanel1->OnButtonClick = TKitCapBtnEvent(this, &TfrmMain::KitCaptionPanel1ButtonClick);
    Bevel1 = make<TBevel>(this, KitCaptionPanel1, "Bevel1");
    Bevel1->SetAlign(alTop);
    Bevel1->SetHeight(2);
    Bevel1->SetShape(bsTopLine);
    mmoLog = make<TMemo>(this, KitCaptionPanel1, "mmoLog");
    mmoLog->SetAlign(alClient);
    mmoLog->SetReadOnly(true);

    panRight = make<TPanel>(this, this, "panRight");
    panRight->SetAlign(alRight);
    panRight->SetWidth(120);
    panRight->SetVisible(false);
    chkThreadMode = make<TCheckBox>(this, panRight, "chkThreadMode");
    chkThreadMode->SetCaption(QStringLiteral("Thread Mode"));
    chkThreadMode->SetBounds(8, 24, 100, 17);
    chkThreadMode->SetChecked(true);
    chkVerNum = make<TCheckBox>(this, panRight, "chkVerNum");
    chkVerNum->SetCaption(QStringLiteral("Load VerNum DLL"));
    chkVerNum->SetBounds(8, 44, 100, 17);
    chkVerNum->SetChecked(true);
    chkVerNum->OnClick = TNotifyEvent(this, &TfrmMain::chkVerNumClick);
    edtThreadCount = make<TEdit>(this, panRight, "edtThreadCount");
    edtThreadCount->SetText(QStringLiteral("1"));
    edtThreadCount->SetBounds(8, 64, 40, 21);
    chkPreview = make<TCheckBox>(this, panRight, "chkPreview");
    chkPreview->SetCaption(QStringLiteral("Realtime Preview"));
    chkPreview->SetBounds(8, 90, 100, 17);
    chkPreview->OnClick = TNotifyEvent(this, &TfrmMain::chkPreviewClick);
}

void TfrmMain::createJobList()
{
    ImgListStatus = make<TImageList>(this, nullptr, "ImgListStatus");
    ImgListStatus->SetWidth(16);
    ImgListStatus->SetHeight(16);
    // Waiting, converting, converted, failed.
    AddArtwork(ImgListStatus, {"status_waiting", "status_converting", "status_done", "status_failed"}, clWindow);

    vlStyleRepository1 = make<TvlStyleRepository>(this, nullptr, "vlStyleRepository1");
    vlStyleRepository1->ReadPixelsPerInch(96);
    vlStyle1 = static_cast<TvlStyle*>(vlStyleRepository1->CreateStyle());
    vlStyle1->SetColor(TColor(0xDDDDDD));
    vlStyle2 = static_cast<TvlStyle*>(vlStyleRepository1->CreateStyle());
    vlStyle2->SetColor(TColor(0xEBEBEB));
    vlStyle2->SetTextColor(clBlack);
    {
        TFont f;
        f.SetName(QStringLiteral("Sans Serif"));
        f.SetSize(8);
        f.SetColor(clBlack);
        vlStyle2->SetFont(&f);
    }
    vlStyle3 = static_cast<TvlStyle*>(vlStyleRepository1->CreateStyle());
    vlStyle3->SetColor(TColor(0xF3F3F3));
    {
        // The header's tiled picture: a soft vertical shade.
        TBitmap tile;
        tile.SetSize(8, 24);
        for (int y = 0; y < 24; ++y) {
            const int v = 0xF8 - y * 2;
            tile.Canvas()->Pen()->SetColor(RGB(v, v, v));
            tile.Canvas()->MoveTo(0, y);
            tile.Canvas()->LineTo(8, y);
        }
        vlStyle3->SetBitmap(&tile);
    }

    lvFiles = make<vlslice::TvlGrid>(this, this, "lvFiles");
    lvFiles->SetAlign(alClient);
    lvFiles->LookAndFeel()->SetKind(lfStandard);
    lvFiles->LookAndFeel()->SetSkinName(String());
    lvFilesTableView1 = lvFiles->CreateTableView();
    lvFilesTableView1->SetName(QStringLiteral("lvFilesTableView1"));
    lvFiles->AddLevel()->SetGridView(lvFilesTableView1);

    struct ColumnDesign {
        vlslice::TvlGridColumn** Field;
        const char* Name;
        const char* Caption;
        const char* Properties;
        int Width;
        bool Visible;
        TAlignment Header;
    };
    const ColumnDesign columns[10] = {
        {&ColFile, "ColFile", " File", "TvlTextEditProperties", 252, true, taLeftJustify},
        {&ColTotalTime, "ColTotalTime", "Total Time", "TvlTextEditProperties", 77, true, taCenter},
        {&ColFileSize, "ColFileSize", "File Size", "TvlTextEditProperties", 78, true, taCenter},
        {&ColOutput, "ColOutput", "Output File", "TvlTextEditProperties", 64, false, taLeftJustify},
        {&ColTime, "ColTime", "Current Time", "TvlTextEditProperties", 77, true, taCenter},
        {&ColSize, "ColSize", "File Size", "TvlTextEditProperties", 79, true, taCenter},
        {&ColFPS, "ColFPS", "FPS", "TvlTextEditProperties", 45, true, taCenter},
        {&ColProgress, "ColProgress", " Progress", "TvlProgressBarProperties", 187, true, taLeftJustify},
        {&colFulPath, "colFulPath", "", "", 64, false, taLeftJustify},
        {&colStatus, "colStatus", " Status", "TvlImageComboBoxProperties", 50, true, taCenter},
    };
    for (const ColumnDesign& d : columns) {
        vlslice::TvlGridColumn* column = lvFilesTableView1->CreateColumn();
        column->SetName(QString::fromLatin1(d.Name));
        column->SetCaption(QString::fromLatin1(d.Caption));
        column->SetPropertiesClassName(QString::fromLatin1(d.Properties));
        column->SetWidth(d.Width);
        column->SetVisible(d.Visible);
        column->SetHeaderAlignmentHorz(d.Header);
        column->Options().Editing = false;
        *d.Field = column;
    }
    ColFile->Properties()->Alignment()->SetVert(taVCenter);
    for (vlslice::TvlGridColumn* c : {ColTotalTime, ColFileSize, ColTime, ColSize, ColFPS}) {
        c->Properties()->Alignment()->SetHorz(taCenter);
        c->Properties()->Alignment()->SetVert(taVCenter);
    }
    // Without the progress bar unit's registration the column has no bar.
    if (auto* bar = dynamic_cast<TvlProgressBarProperties*>(ColProgress->Properties())) {
        bar->SetBarBevelOuter(vlbvRaised);
        bar->SetBeginColor(TColor(0xF9A577));
        bar->SetEndColor(TColor(0xF9A577));
        bar->SetPeakColor(TColor(0x804000));
        bar->SetSolidTextColor(true);
    }
    colStatus->SetMinWidth(50);
    colStatus->Options().HorzSizing = false;
    colStatus->Options().Moving = false;
    configureStatusColumn(colStatus->Properties(), ImgListStatus);

    lvFilesTableView1->OptionsData() = {false, false, false, false, false};
    lvFilesTableView1->OptionsCustomize().ColumnMoving = false;
    lvFilesTableView1->OptionsCustomize().ColumnSorting = false;
    lvFilesTableView1->OptionsCustomize().ColumnGrouping = false;
    lvFilesTableView1->OptionsCustomize().ColumnFiltering = false;
    lvFilesTableView1->OptionsSelection().CellSelect = false;
    lvFilesTableView1->OptionsSelection().HideSelection = true;
    lvFilesTableView1->OptionsSelection().InvertSelect = false;
    lvFilesTableView1->OptionsView().CellEndEllipsis = true;
    lvFilesTableView1->OptionsView().ColumnAutoWidth = true;
    lvFilesTableView1->OptionsView().DataRowHeight = 24;
    lvFilesTableView1->OptionsView().HeaderHeight = 24;
    lvFilesTableView1->OptionsView().GridLineColor = clSilver;
    lvFilesTableView1->OptionsView().GroupByBox = false;
    lvFilesTableView1->OptionsView().NoDataToDisplayInfoText = QStringLiteral(" ");
    lvFilesTableView1->Styles().Background = vlStyle1;
    lvFilesTableView1->Styles().Selection = vlStyle2;
    lvFilesTableView1->Styles().Header = vlStyle3;
    lvFilesTableView1->SetPopupMenu(PopupMenu1);
    lvFilesTableView1->OnCellDblClick =
        vlslice::TvlGridCellClickEvent(this, &TfrmMain::lvFilesTableView1CellDblClick);
    lvFilesTableView1->OptionsChanged();
}

void TfrmMain::createStorage()
{
    KitAppRegistryStorage1 = make<TKitAppRegistryStorage>(this, nullptr, "KitAppRegistryStorage1");
    KitAppRegistryStorage1->SetRoot(QStringLiteral("Software"));
    // The form storage chains itself before the form's own show and close
    // handlers, so those must be set before it is loaded.
    KitFormStorage1 = new TKitFormStorage(this);
    KitFormStorage1->Loading();
    KitFormStorage1->SetName(QStringLiteral("KitFormStorage1"));
    KitFormStorage1->SetAppStorage(KitAppRegistryStorage1);
    KitFormStorage1->SetAppStoragePath(QStringLiteral("Vorlane\\"));
    KitFormStorage1->SetOptions({fpState, fpLocation});
    KitFormStorage1->SetStoredPropsPath(QStringLiteral("Options"));
    TStringList props;
    props.Add(QStringLiteral("edtOutPath.Text"));
    props.Add(QStringLiteral("ShowLog1.Checked"));
    KitFormStorage1->StoredProps()->Assign(&props);
    KitFormStorage1->Loaded();

    frmSettings = new TfrmSettings(this, KitAppRegistryStorage1);
}

void TfrmMain::FormCreate(TObject*)
{
    OpenDialog1->SetOptions({ofHideReadOnly, ofAllowMultiSelect, ofFileMustExist, ofEnableSizing});
    OpenDialog1->SetFilter(BuildOpenDialogFilter(*SplStr1));
    if (Application != nullptr)
        Application->OnException = TExceptionEvent(this, &TfrmMain::AppException);
    for (int i = 0; i < 10; ++i)
        FColumnIndex[size_t(i)] = i;
    FSelection = std::make_unique<TPassData>();
}

void TfrmMain::FormShow(TObject*)
{
    if (!FFilesWndProcInstalled) {  // not again when shown after a hide
        FOldFilesWndProc = lvFiles->WindowProc;
        lvFiles->WindowProc = TWndMethod(this, &TfrmMain::FilesWndProc);
        FFilesWndProcInstalled = true;
    }
    lvFiles->SetAcceptFiles(true);
    ShowLogPanel();
    // The output folder is chosen once, after the stored settings are back.
    PostMessage(Handle(), WM_STARTUP, 0, 0);
}

void TfrmMain::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CONVERT_PROGRESS:
        WMConvertProgress(Message);
        return;
    case WM_TASK_FINISHED:
        WMTaskFinished(Message);
        return;
    case WM_STARTUP:
        WMStartup(Message);
        return;
    case WM_PREPARE_TASKS:
        WMPrepareTasks(Message);
        return;
    default:
        TForm::Dispatch(Message);
    }
}

void TfrmMain::WMStartup(TMessage&)
{
    if (FStarted)
        return;
    FStarted = true;
    // The window's own stored values came back when it was shown (its form
    // storage restores then); the settings dialog's come back now.
    frmSettings->RestoreSettings();
    ApplySettings();
    ChooseOutputFolder();
    reportSetAsideSettings();
    ShowLogPanel();
}

void TfrmMain::reportSetAsideSettings()
{
    const std::vector<TRegistrySetAside> files = TakeRegistrySetAside();
    if (files.empty())
        return;
    for (const TRegistrySetAside& f : files)
        AddLog(f.Aside.isEmpty() ? Format(LoadResString(MainConsts::SSettingsUnreadable), {f.File})
                                 : Format(LoadResString(MainConsts::SSettingsSetAside), {f.File, f.Aside}));
    // The defaults hid the log: show it so the user reads why.
    ShowLog1->SetChecked(true);
}

void TfrmMain::ChooseOutputFolder()
{
    const String stored = edtOutPath->Text().trimmed();
    if (!stored.isEmpty() && QFileInfo(stored).isDir()) {
        edtOutPath->SetText(stored);
        return;
    }
    String documents = KitComputerInfoEx1->Folders()->Personal();
    if (documents.isEmpty())
        documents = QDir::homePath();
    const String folder = QDir(documents).filePath(LoadResString(MainConsts::SOutputFolderName)) + u'/';
    edtOutPath->SetText(QDir().mkpath(folder) ? folder : String());
}

void TfrmMain::ApplySettings()
{
    const TSettingsValues& s = frmSettings->Applied();
    ThreadPriorityIndex = s.ThreadPriority;
    LogLevelIndex = s.LogLevel;
    FFEncoder->SetThreadPriority(TThreadPriority(ThreadPriorityIndex));
    FFLogger1->SetLogLevel(TLogLevel(LogLevelIndex));
    OpenOutputFolder = s.OpenOutputFolder;
    OverwriteFiles = s.OverwriteFiles;
    PlayVideoAfter = s.PlayVideoAfter;
    KeepAspect = s.KeepAspect;
    JoinFiles = s.JoinFiles;
    // Within 1 to 4: a text without digits must not make a run unthreaded.
    ThreadCount = s.ThreadCount();
}

bool TfrmMain::ErrorMessagesHidden() const
{
    return frmSettings->Applied().ErrorMessages;
}

void TfrmMain::Panel1MouseDown(TObject*, TMouseButton Button, TShiftState, int, int)
{
    if (Button != mbLeft)
        return;
    Perform(WM_SYSCOMMAND, WPARAM(SC_MOVE) + WPARAM(HTCAPTION), 0);
}

void TfrmMain::bExitClick(TObject*)
{
    Close();
}

void TfrmMain::chkVerNumClick(TObject*)
{
    FFEncoder->UnloadAVLibs();
}

void TfrmMain::Help1Click(TObject*)
{
    ShellOpen(UserGuideFile());
}

void TfrmMain::HomePage1Click(TObject*)
{
    ShellOpen(HomePageAddress());
}

void TfrmMain::Update1Click(TObject*)
{
    ShellOpen(UpdateAddress());
}

void TfrmMain::Settings1Click(TObject*)
{
    if (frmSettings->Execute() == mrOk)
        ApplySettings();
}

void TfrmMain::About1Click(TObject*)
{
    if (AboutBox == nullptr) {
        AboutBox = new TfrmAbout(this);
        // As a form made by the application: its OnCreate reads the version.
        AboutBox->AfterConstruction();
        AboutBox->SetReference(&AboutBox);
    }
    AboutBox->ShowModal();
}

void TfrmMain::PopupMenu2Popup(TObject*)
{
    Settings1->SetEnabled(!FConverting);
    About1->SetEnabled(!FConverting);
}

void TfrmMain::FormCloseQuery(TObject*, bool& CanClose)
{
    // A run still being prepared never starts.
    FPreparation.reset();
    FFEncoder->OnProgress = {};
    FFEncoder->OnTerminate = {};
    FFEncoder->Stop(true);
    CanClose = true;
}

void TfrmMain::FreeJobs()
{
    FJobs.clear();
}

int TfrmMain::RowOfTask(int TaskIndex) const
{
    return TaskIndex >= 0 && TaskIndex < int(FTaskRows.size()) ? FTaskRows[size_t(TaskIndex)] : -1;
}

void TfrmMain::SetGridValue(int Row, int Column, const Variant& Value)
{
    lvFilesTableView1->DataController()->SetValue(Row, Col(Column), Value);
}

Variant TfrmMain::GridValue(int Row, int Column) const
{
    return lvFilesTableView1->DataController()->GetValue(Row, Col(Column));
}
