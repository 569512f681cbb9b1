// The skin data component's published side: properties, the form
// property "SkinStream", the skin file, and handing over to the manager.
#include <QFile>
#include <QTimer>
#include <QtEndian>

#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"
#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypInfo.h"
#include "skin/SknData.h"
#include "skin/SknManage.h"

namespace {

constexpr const char* formTypeNames[] = {"sfMainform", "sfOnlyThisForm", "sfDialog", "sfDLL"};
constexpr const char* controlTypeNames[] = {
    "xcMainMenu", "xcPopupMenu", "xcMenuItem", "xcToolbar", "xcControlbar", "xcCombo", "xcCheckBox",
    "xcRadioButton", "xcProgress", "xcScrollbar", "xcEdit", "xcButton", "xcBitBtn", "xcSpeedButton", "xcSpin",
    "xcPanel", "xcGroupBox", "xcStatusBar", "xcTab", "xcTrackBar", "xcSystemMenu", "xcFastReport"};
constexpr const char* optionNames[] = {
    "xoMDIScrollbar", "xoMenuMerge", "xoTransparent", "xoPreview", "xoParentBackGround", "xoNoFocusRect",
    "xoToolbarBK", "xoToolbarButton", "xoMDIChildBorder", "xoMenuBG", "xoCaptionButtonHint", "xoFormScrollbar"};

// Further control classes and the skinner kind each gets; the first line
// of a class wins.
constexpr const char* defaultSkin3rd[] = {
    "TCategoryButtons=scrollbar", "TPngSpeedbutton=pngspeedbutton", "TPngBitBtn=pngbitbtn",
    "TVirtualStringTree=scrollbar", "TVirtualDrawTree=scrollbar", "TTBXDockablePanel=Panel",
    "TAdvPanelGroup=scrollbar", "TComboboxex=combobox", "TRxSpeedButton=speedbutton", "THTMLViewer=scrollbar",
    "TDBCtrlGrid=scrollbar", "TfrSpeedButton=speedbutton", "TfrTBButton=speedbutton", "TControlBar=Panel",
    "TTBDock=Panel", "TTBToolbar=Panel", "TImageEnMView=scrollbar", "TImageEnView=scrollbar",
    "TAdvMemo=scrollbar", "TDBAdvMemo=scrollbar", "TvlDBLookupComboBox=combobox", "TvlDBComboBox=combobox",
    "TvlDBDateEdit=combobox", "TvlDBImageComboBox=combobox", "TvlDBCalcEdit=combobox", "TvlDBBlobEdit=combobox",
    "TvlDBPopupEdit=combobox", "TvlDBFontNameComboBox=combobox", "TvlDBShellComboBox=combobox",
    "TRxLookupEdit=combobox", "TRxDBLookupCombo=combobox", "TBxGroup=panel", "TBxButton=button",
    "TBxBitbtn=bitbtn", "TBxMenuButton=menubtn", "TBxCheckGroup=CheckGroup", "TBxRadioGroup=Radiogroup",
    "TBxButtonEdit=Edit", "TBxDBRadioGroup=Radiogroup", "TBxDBRadioButton=Radiobutton",
    "TBxDateTimeEdit=combobox", "TBxColorEdit=combobox", "TBxDateTimePicker=combobox",
    "TBxDBDateTimeEdit=combobox", "TBxDbColorEdit=combobox", "TBxDBDateTimePicker=combobox",
    "TLMDButton=bitbtn", "TLMDGroupBox=Groupbox", "TDBCheckboxEh=Checkbox", "TDBCheckboxEh=Checkbox",
    "TLMDCHECKBOX=Checkbox", "TLMDDBCHECKBOX=Checkbox", "TLMDRadiobutton=Radiobutton", "TLMDCalculator=panel",
    "TLMDGROUPBOX=Panel", "TLMDSIMPLEPANEL=Panel", "TLMDDBCalendar=Panel", "TLMDButtonPanel=Panel",
    "TLMDLMDCalculator=Panel", "TLMDHeaderPanel=Panel", "TLMDTechnicalLine=Panel", "TLMDLMDClock=Panel",
    "TLMDTrackbar=panel", "TLMDListCombobox=combobox", "TLMDCheckListCombobox=combobox",
    "TLMDHeaderListCombobox=combobox", "TLMDImageCombobox=combobox", "TLMDColorCombobox=combobox",
    "TLMDFontCombobox=combobox", "TLMDFontSizeCombobox=combobox", "TLMDFontSizeCombobox=combobox",
    "TLMDPrinterCombobox=combobox", "TLMDDriveCombobox=combobox", "TLMDCalculatorComboBox=combobox",
    "TLMDTrackBarComboBox=combobox", "TLMDCalendarComboBox=combobox", "TLMDTreeComboBox=combobox",
    "TLMDRADIOGROUP=radiogroup", "TLMDCheckGroup=CheckGroup", "TLMDDBRADIOGROUP=radiogroup",
    "TLMDDBCheckGroup=CheckGroup", "TLMDCalculatorEdit=edit", "TLMDEDIT=Edit", "TLMDMASKEDIT=Edit",
    "TLMDBROWSEEDIT=Edit", "TLMDEXTSPINEDIT=Edit", "TLMDCALENDAREDIT=Edit", "TLMDFILEOPENEDIT=Edit",
    "TLMDFILESAVEEDIT=Edit", "TLMDCOLOREDIT=Edit", "TLMDDBEDIT=Edit", "TLMDDBMASKEDIT=Edit",
    "TLMDDBEXTSPINEDIT=Edit", "TLMDDBSPINEDIT=Edit", "TLMDDBEDITDBLookup=Edit", "TLMDEDITDBLookup=Edit",
    "TDBLookupCombobox=Combobox", "TWWDBCombobox=Combobox", "TWWDBLookupCombo=Combobox",
    "TWWDBCombobox=Combobox", "TWWKeyCombo=Combobox", "TWWTempKeyCombo=combobox",
    "TWWDBDateTimePicker=Combobox", "TWWRADIOGROUP=radiogroup", "TWWDBEDIT=Edit", "TvlButton=bitbtn",
    "TvlDBRadioGroup=radiogroup", "TvlRadioGroup=radiogroup", "TvlGroupbox=groupbox", "TOVCPICTUREFIELD=Edit",
    "TOVCDBPICTUREFIELD=Edit", "TOVCSLIDEREDIT=Edit", "TOVCDBSLIDEREDIT=Edit", "TOVCSIMPLEFIELD=Edit",
    "TOVCDBSIMPLEFIELD=Edit", "TO32DBFLEXEDIT=Edit", "TOVCNUMERICFIELD=Edit", "TOVCDBNUMERICFIELD=Edit"};
static_assert(std::size(defaultSkin3rd) == 118);

}  // namespace

const TEnumInfo SkinFormTypeInfo{"TSkinFormType", formTypeNames};
const TEnumInfo SkinControlTypeInfo{"TSkinControlType", controlTypeNames};
const TEnumInfo SkinOptionInfo{"TSkinOption", optionNames};

const TClassInfo& TSkinData::StaticClassInfo()
{
    // Every property is stored: none has a stored default.
    static const TClassInfo info =
        TClassInfoBuilder<TSkinData>("TSkinData", &TComponent::StaticClassInfo())
            .Bool("Active", &TSkinData::Active, &TSkinData::SetActive)
            .Int("DisableTag", &TSkinData::DisableTag, &TSkinData::SetDisableTag)
            .Set("SkinControls", SkinControlTypeInfo, &TSkinData::SkinControls, &TSkinData::SetSkinControls)
            .Set("Options", SkinOptionInfo, &TSkinData::Options, &TSkinData::SetOptions)
            .Object("Skin3rd", &TSkinData::Skin3rd,
                    [](TSkinData& d, TStrings* v) { d.SetSkin3rd(v); })
            .Str("SkinFile", &TSkinData::SkinFile, &TSkinData::SetSkinFile)
            .Str("SkinStore", &TSkinData::SkinStore, &TSkinData::SetSkinStore)
            .Enum("SkinFormtype", SkinFormTypeInfo, &TSkinData::SkinFormtype, &TSkinData::SetSkinFormtype)
            .Str("Version", &TSkinData::Version, &TSkinData::SetVersion)
            .Bool("MenuUpdate", &TSkinData::MenuUpdate, &TSkinData::SetMenuUpdate)
            .Bool("MenuMerge", &TSkinData::MenuMerge, &TSkinData::SetMenuMerge)
            .Binary("SkinStream", &TSkinData::SkinStream, &TSkinData::SetSkinStream)
            .Stored(true)
            .Build();
    return info;
}

const TClassInfo* TSkinData::ClassInfo() const
{
    return &StaticClassInfo();
}

void TSkinData::initComponent()
{
    FSkinControls = TSkinControlTypes::fromBits((uint64_t{1} << (xcSystemMenu + 1)) - 1);
    FSkinControls.Exclude(xcMenuItem);
    FOptions = TSkinOptions{xoPreview, xoToolbarBK, xoCaptionButtonHint};
    FSkin3rd = std::make_unique<TStringList>();
    for (const char* line : defaultSkin3rd)
        FSkin3rd->Add(String::fromLatin1(line));
}

TStrings* TSkinData::Skin3rd() const
{
    return FSkin3rd.get();
}

void TSkinData::SetSkin3rd(const TStrings* Value)
{
    FSkin3rd->Assign(Value);
}

String TSkinData::SkinStore() const
{
    const bool designing = ComponentState().Contains(csDesigning);
    return String::fromLatin1(designing && !FSkinBytes.isEmpty() ? "(Good)" : "(none)");
}

QByteArray TSkinData::SkinStream() const
{
    QByteArray value(4, '\0');
    qToLittleEndian<int32_t>(int32_t(FSkinBytes.size()), value.data());
    return value + FSkinBytes;
}

void TSkinData::SetSkinStream(const QByteArray& Value)
{
    // A count that is negative, or larger than what follows, is a damaged
    // property: the skin is skipped and the form goes on loading.
    if (Value.size() < 4) {
        FSkinBytes.clear();
        return;
    }
    const int32_t count = qFromLittleEndian<int32_t>(Value.constData());
    if (count <= 0 || count > Value.size() - 4) {
        FSkinBytes.clear();
        if (count != 0)
            FLastError = String::fromLatin1("The stored skin is damaged");
        return;
    }
    FSkinBytes = Value.mid(4, count);
    if (!ComponentState().Contains(csDesigning))
        LoadSkin(FSkinBytes);
}

void TSkinData::SetSkinFile(const String& Value)
{
    FSkinLoaded = false;
    FSkinFile = Value;
    if (ComponentState().Contains(csDesigning)) {
        if (!Value.isEmpty())
            FSkinBytes.clear();
        return;
    }
    QFile file(Value);
    if (Value.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;  // a missing file is ignored
    FSkinBytes = file.readAll();
    LoadSkin(FSkinBytes);
    SkinChanged();
}

void TSkinData::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    const TComponentState state = ComponentState();
    if (state.Contains(csDesigning) || state.Contains(csLoading) || state.Contains(csReading))
        return;
    // A component that never passed Loaded (made at run time) still finds a manager.
    TSkinManage& manager = SkinManager() != nullptr ? *SkinManager() : CreateSkinManager();
    manager.RegisterSkinData(this);
    switch (FSkinFormtype) {
    case sfOnlyThisForm:
        manager.SetCurrentSkinData(this);
        if (Value && !FSkinLoaded)
            return;
        manager.QueueAction(Value ? 1 : 2, 250);
        return;
    case sfDialog:
    case sfDLL: return;
    case sfMainform:
        if (Value) {
            if (!FSkinLoaded)
                return;
            manager.SetCurrentSkinData(this);
            manager.QueueAction(1, 250);
            manager.AddStart();
        } else {
            manager.SetCurrentSkinData(this);
            manager.QueueAction(2, 250);
        }
        return;
    }
}

void TSkinData::Loaded()
{
    TComponent::Loaded();
    if (ComponentState().Contains(csDesigning))
        return;
    TSkinManage& manager = CreateSkinManager();
    manager.RegisterSkinData(this);
    const TNonClientFont caption = GetNonClientMetrics().lfCaptionFont;
    FCaptionFont = std::make_unique<TFont>();
    FCaptionFont->SetName(String::fromLatin1(caption.Name));
    FCaptionFont->SetHeight(caption.Height);
    FCaptionFont->SetStyle(caption.Bold ? TFontStyles{fsBold} : TFontStyles{});
    if (FSkinFormtype != sfMainform) {
        manager.SetOn(true);
        manager.AddStart();
        return;
    }
    manager.InstallHook();
    if (FActive) {
        if (!FSkinLoaded) {
            FActive = false;
            reportUnreadableSkin();
        } else {
            manager.SetCurrentSkinData(this);
            manager.QueueAction(1, 250);
        }
    }
    if (FSkinControls.Contains(xcMainMenu))
        FSkinControls.Exclude(xcMenuItem);
    else
        FSkinControls.Exclude(xcSystemMenu);
    buildAppIconBitmap();
}

void TSkinData::buildAppIconBitmap()
{
    const TIcon* icon = Application != nullptr ? Application->Icon() : nullptr;
    if (icon == nullptr || icon->Empty()) {
        FAppIconBitmap->Assign(nullptr);
        return;
    }
    const int w = GetSystemMetrics(SM_CXSMICON), h = GetSystemMetrics(SM_CYSMICON);
    FAppIconBitmap->SetPixelFormat(pf24bit);
    FAppIconBitmap->SetSize(w, h);
    TCanvas* canvas = FAppIconBitmap->Canvas();
    canvas->Brush()->SetColor(TColor(0xFF00FF));
    canvas->FillRect(Rect(0, 0, w, h));
    // The small picture, or the large one brought to the small size.
    icon->Draw(canvas, Rect(0, 0, w, h));
    FAppIconBitmap->SetTransparentColor(TColor(0xFF00FF));
    FAppIconBitmap->SetTransparent(true);
}

TImageList* TSkinData::MenuImages()
{
    if (!FMenuImages) {
        FMenuImages = std::make_unique<TImageList>(nullptr);
        FMenuImages->SetWidth(16);
        FMenuImages->SetHeight(16);
        TBitmap glyphs;
        if (LoadResourceBitmap(String::fromLatin1("TARNOVEMENU"), &glyphs))
            FMenuImages->AddMasked(&glyphs, clWhite);
    }
    return FMenuImages.get();
}

void TSkinData::ShowCaptionHint(const TRect& R, const String& Text)
{
    if (!FOptions.Contains(xoCaptionButtonHint) || FHintShown)
        return;
    TRect bounds = FHintWindow->CalcHintRect(500, Text, nullptr);
    OffsetRect(bounds, R.Left, R.Top);
    FHintWindow->ActivateHint(bounds, Text);
    FHintShown = true;
}

void TSkinData::HideCaptionHint()
{
    if (!FHintShown)
        return;
    FHintWindow->ReleaseHandle();
    FHintShown = false;
}

void TSkinData::reportUnreadableSkin()
{
    // Reported once, through the application's exception path, after the
    // form exists: never a modal box from inside the reader.
    if (FLastError.isEmpty() || Application == nullptr)
        return;
    const String message = FLastError;
    FLastError.clear();
    QTimer::singleShot(0, [message] {
        try {
            throw Exception(message);
        } catch (const Exception&) {
            if (Application != nullptr)
                Application->HandleException(nullptr);
        }
    });
}

void TSkinData::SkinChanged()
{
    const TComponentState state = ComponentState();
    if (state.Contains(csDesigning) || state.Contains(csReading) || state.Contains(csLoading))
        return;
    if (SkinManager() == nullptr)
        Loaded();
    TSkinManage& manager = *SkinManager();
    if (manager.On()) {
        manager.SetCurrentSkinData(this);
        manager.QueueAction(3, 250);
    }
}

void TSkinData::DoFormSkin(intptr_t Handle, const String& ClassName, bool& DoSkin)
{
    (void)Handle;
    if (OnFormSkin) {
        OnFormSkin(this, ClassName, DoSkin);
        return;
    }
    if (ClassName == QLatin1String("SysMonthCal32"))
        DoSkin = false;
    else if (FSkinControls.Contains(xcFastReport) && ClassName.startsWith(QLatin1String("Tfr")))
        DoSkin = false;
}

void TSkinData::DoSkinChanged()
{
    if (OnSkinChanged)
        OnSkinChanged(this);
}

TWinControl* FindControlByHandle(HWND Handle)
{
    return dynamic_cast<TWinControl*>(FindReceiver(Handle));
}
