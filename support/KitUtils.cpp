#include "support/KitUtils.h"

#include <chrono>

#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "support/KitAppStorage.h"
#include "support/SxStrings.h"

// ---------------------------------------------------------------- TKitPoint

const TClassInfo* TKitPoint::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TKitPoint::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TKitPoint>("TKitPoint")
                                       .Int("X", &TKitPoint::X, &TKitPoint::SetX, 0)
                                       .Int("Y", &TKitPoint::Y, &TKitPoint::SetY, 0)
                                       .Build();
    return info;
}

void TKitPoint::changed()
{
    if (OnChange)
        OnChange(this);
}

void TKitPoint::SetX(int Value)
{
    if (Value == FX)
        return;
    FX = Value;
    changed();
}

void TKitPoint::SetY(int Value)
{
    if (Value == FY)
        return;
    FY = Value;
    changed();
}

void TKitPoint::Assign(const TPersistent* Source)
{
    if (auto* p = dynamic_cast<const TKitPoint*>(Source)) {
        FX = p->FX;
        FY = p->FY;
        changed();
        return;
    }
    TPersistent::Assign(Source);
}

// ----------------------------------------------------------------- TKitRect

TKitRect::TKitRect() : FTopLeft(std::make_unique<TKitPoint>()), FBottomRight(std::make_unique<TKitPoint>())
{
    FTopLeft->OnChange = TNotifyEvent(this, &TKitRect::pointChanged);
    FBottomRight->OnChange = TNotifyEvent(this, &TKitRect::pointChanged);
}

TKitRect::~TKitRect() = default;

const TClassInfo* TKitRect::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TKitRect::StaticClassInfo()
{
    using C = TKitRect;
    static const TClassInfo info = TClassInfoBuilder<C>("TKitRect")
                                       .Int("Left", &C::Left, &C::SetLeft, 0)
                                       .Int("Top", &C::Top, &C::SetTop, 0)
                                       .Int("Right", &C::Right, &C::SetRight, 0)
                                       .Int("Bottom", &C::Bottom, &C::SetBottom, 0)
                                       .Build();
    return info;
}

void TKitRect::pointChanged(TObject*)
{
    if (OnChange)
        OnChange(this);
}

void TKitRect::Assign(const TPersistent* Source)
{
    if (auto* r = dynamic_cast<const TKitRect*>(Source)) {
        FTopLeft->Assign(r->TopLeft());
        FBottomRight->Assign(r->BottomRight());
        pointChanged(this);
        return;
    }
    TPersistent::Assign(Source);
}

// ------------------------------------------------------- placement values

namespace {
constexpr const char* placementOptionNames[] = {"fpState", "fpSize", "fpLocation", "fpActiveControl"};

// The storage update is closed however the body ends.
class TUpdateScope {
public:
    explicit TUpdateScope(TKitCustomAppStorage* S) : FStorage(S) { FStorage->BeginUpdate(); }
    ~TUpdateScope() { FStorage->EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TKitCustomAppStorage* FStorage;
};

String valuePath(TKitCustomAppStorage* Storage, const String& Path, const char* Name)
{
    (void)Storage;
    return TKitCustomAppStorage::JoinPaths({Path, QString::fromLatin1(Name)});
}

int wordOf(const String& Text, int N, int Default)
{
    static const TSysCharSet delimiters = SysCharSetOf(" ,");
    return StrToIntDef(NthWord(N, Text, delimiters), Default);
}

bool isMainForm(const TCustomForm* Form)
{
    return Application == nullptr || Application->MainForm() == nullptr || Application->MainForm() == Form;
}
}  // namespace

const TEnumInfo TPlacementOptionInfo{"TPlacementOption", placementOptionNames};

String ResolutionSuffix()
{
    const int w = Screen != nullptr ? Screen->DesktopWidth() : 0;
    const int h = Screen != nullptr ? Screen->DesktopHeight() : 0;
    return Format(QStringLiteral("(%dx%d)"), {w, h});
}

String ReadPlacementText(TKitCustomAppStorage* Storage, const String& Path)
{
    const String suffixed = Path + ResolutionSuffix();
    if (Storage->ValueStored(suffixed))
        return Storage->ReadString(suffixed, String());
    return Storage->ReadString(Path, String());
}

void WritePlacementText(TKitCustomAppStorage* Storage, const String& Path, const String& Text)
{
    Storage->WriteString(Path + ResolutionSuffix(), Text);
    Storage->WriteString(Path, Text);
}

void SetPositionQuietly(TCustomForm* Form, TPosition Position) { Form->SetPosition(Position); }

bool RectOnMonitors(const TRect& R)
{
    return Screen != nullptr && Screen->MonitorIndexFromPoint(R.TopLeft()) >= 0 &&
           Screen->MonitorIndexFromPoint(TPoint{R.Right - 1, R.Bottom - 1}) >= 0;
}

void StoreWindowPlacement(TCustomForm* Form, TKitCustomAppStorage* Storage, const String& Path,
                          TPlacementOptions Options)
{
    if (Options == TPlacementOptions{fpActiveControl} || Form == nullptr || Storage == nullptr)
        return;
    TUpdateScope update(Storage);
    WINDOWPLACEMENT p;
    GetWindowPlacement(Form->Handle(), &p);
    if (isMainForm(Form) && ApplicationMinimized())
        p.showCmd = SW_SHOWMINIMIZED;
    if (Form->FormStyle() == fsMDIChild && Form->WindowState() == wsMinimized)
        p.flags |= WPF_SETMINPOSITION;
    if (Options.Contains(fpState))
        Storage->WriteInteger(valuePath(Storage, Path, "ShowCmd"), int(p.showCmd));
    if (Options.Contains(fpSize) || Options.Contains(fpLocation)) {
        Storage->WriteInteger(valuePath(Storage, Path, "Flags"), int(p.flags));
        Storage->WriteInteger(valuePath(Storage, Path, "PixelsPerInch"), Screen != nullptr ? Screen->PixelsPerInch() : 96);
        WritePlacementText(Storage, valuePath(Storage, Path, "MinMaxPos"),
                           Format(QStringLiteral("%d,%d,%d,%d"), {p.ptMinPosition.X, p.ptMinPosition.Y,
                                                                  p.ptMaxPosition.X, p.ptMaxPosition.Y}));
        const TRect& r = p.rcNormalPosition;
        WritePlacementText(Storage, valuePath(Storage, Path, "NormPos"),
                           Format(QStringLiteral("%d,%d,%d,%d"), {r.Left, r.Top, r.Right, r.Bottom}));
    }
}

void LoadWindowPlacement(TCustomForm* Form, TKitCustomAppStorage* Storage, const String& Path,
                         TPlacementOptions Options)
{
    if (Options == TPlacementOptions{fpActiveControl} || Form == nullptr || Storage == nullptr)
        return;
    TUpdateScope update(Storage);
    WINDOWPLACEMENT p;
    GetWindowPlacement(Form->Handle(), &p);
    if (!Form->Visible())
        p.showCmd = SW_HIDE;
    const bool withSize = Options.Contains(fpSize), withLocation = Options.Contains(fpLocation);
    if (withSize || withLocation) {
        bool found = false;
        p.flags = UINT(Storage->ReadInteger(valuePath(Storage, Path, "Flags"), int(p.flags)));
        String text = ReadPlacementText(Storage, valuePath(Storage, Path, "MinMaxPos"));
        if (!text.isEmpty()) {
            found = true;
            if (withLocation)
                p.ptMinPosition = TPoint{wordOf(text, 1, 0), wordOf(text, 2, 0)};
            if (withSize)
                p.ptMaxPosition = TPoint{wordOf(text, 3, 0), wordOf(text, 4, 0)};
        }
        text = ReadPlacementText(Storage, valuePath(Storage, Path, "NormPos"));
        if (!text.isEmpty()) {
            found = true;
            // A minimised or maximised form answers with its normal bounds.
            const TRect cur = Form->NormalBounds();
            TRect& r = p.rcNormalPosition;
            r.Left = withLocation ? wordOf(text, 1, cur.Left) : cur.Left;
            r.Top = withLocation ? wordOf(text, 2, cur.Top) : cur.Top;
            if (withSize) {
                r.Right = wordOf(text, 3, cur.Width()) + r.Left - wordOf(text, 1, cur.Left);
                r.Bottom = wordOf(text, 4, cur.Height()) + r.Top - wordOf(text, 2, cur.Top);
            } else {
                r.Right = cur.Width() + r.Left;
                r.Bottom = cur.Height() + r.Top;
            }
        }
        const int ppi = Screen != nullptr ? Screen->PixelsPerInch() : 96;
        if (found)
            found = Storage->ReadInteger(valuePath(Storage, Path, "PixelsPerInch"), ppi) == ppi;
        const TRect& r = p.rcNormalPosition;
        if (found && r.Left < r.Right && RectOnMonitors(r)) {
            if (!Form->ComponentState().Contains(csDesigning)) {
                const TPosition pos = Form->Position();
                if (withSize && withLocation)
                    SetPositionQuietly(Form, poDesigned);
                else if (withSize) {
                    if (pos == poDefault)
                        SetPositionQuietly(Form, poDefaultPosOnly);
                } else if (pos == poDefault)
                    SetPositionQuietly(Form, poDefaultSizeOnly);
                else if (pos != poDesigned)
                    SetPositionQuietly(Form, poDesigned);
            }
            SetWindowPlacement(Form->Handle(), &p);
        }
    }
    if (Options.Contains(fpState)) {
        TWindowState state = wsNormal;
        if (isMainForm(Form) &&
            (Form->FormStyle() == fsMDIForm || (Form->FormStyle() == fsNormal && Form->Position() == poDefault)))
            state = wsMaximized;
        switch (Storage->ReadInteger(valuePath(Storage, Path, "ShowCmd"), 0)) {
        case SW_SHOWNORMAL: case SW_SHOW: case SW_RESTORE: state = wsNormal; break;
        case SW_SHOWMINIMIZED: case SW_MINIMIZE: case SW_SHOWMINNOACTIVE: state = wsMinimized; break;
        case SW_SHOWMAXIMIZED: state = wsMaximized; break;
        default: break;
        }
        if (state == wsMinimized && isMainForm(Form)) {
            // The application as a whole is minimised, after the restore has ended.
            PostMessage(Form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return;
        }
        Form->SetWindowState(state);
    }
    Form->Update();
}

// ------------------------------------------------------------- utilities

std::unique_ptr<TMessageWindow> AllocateUtilityWindow(TWndMethod Method, const String&)
{
    return AllocateHWnd(std::move(Method));
}

void DeallocateUtilityWindow(std::unique_ptr<TMessageWindow>& Window) { Window.reset(); }

int64_t TimeRunning()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool ApplicationMinimized()
{
    return Application != nullptr && Application->MainForm() != nullptr &&
           Application->MainForm()->HandleAllocated() && IsIconic(Application->MainForm()->Handle());
}

bool ReplaceComponentReference(TComponent* This, TComponent* NewReference, TComponent*& Reference)
{
    if (This == nullptr || NewReference == Reference)
        return false;
    if (Reference != nullptr)
        Reference->RemoveFreeNotification(This);
    Reference = NewReference;
    if (NewReference != nullptr)
        NewReference->FreeNotification(This);
    return true;
}
