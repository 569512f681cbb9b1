#include "app/aboutU.h"

#include "app/Artwork.h"
#include "app/ProgramAddresses.h"
#include "platform/os/Shell.h"
#include "support/SxFileUtils.h"

namespace {
template <class T>
T* make(TComponent* owner, TWinControl* parent, const char* name, int l, int t, int w, int h)
{
    auto c = std::make_unique<T>(owner);
    c->SetName(String::fromLatin1(name));
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c.release();  // owned by the form as its component
}
}  // namespace

TfrmAbout::TfrmAbout(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("frmAbout"));
    SetCaption(QStringLiteral("About"));
    SetBorderStyle(bsDialog);
    SetClientWidth(439);
    SetClientHeight(205);
    SetPosition(poMainFormCenter);
    SetKeyPreview(true);

    Shape1 = make<TShape>(this, this, "Shape1", 0, 0, 439, 205);
    Shape1->SetAlign(alClient);
    Shape1->Brush()->SetColor(0xE1E1E1);
    Shape1->Pen()->SetColor(0xE1E1E1);
    Image1 = make<TImage>(this, this, "Image1", 8, 8, 48, 48);
    Image2 = make<TImage>(this, this, "Image2", 64, 8, 200, 48);
    LoadArtwork(Image1, "logo", Shape1->Brush()->Color());
    LoadArtwork(Image2, "about_wordmark", Shape1->Brush()->Color());
    Label2 = make<TLabel>(this, this, "Label2", 16, 64, 300, 16);
    Label3 = make<TLabel>(this, this, "Label3", 16, 84, 300, 16);
    Label3->Font()->SetStyle({fsUnderline});
    Label4 = make<TLabel>(this, this, "Label4", 16, 108, 100, 16);
    Label4->SetCaption(QStringLiteral("Product website:"));
    Label5 = make<TLabel>(this, this, "Label5", 120, 108, 200, 16);
    // The build's home page, or the guide beside the program.
    const String home = HomePageAddress();
    Label5->SetCaption(home == UserGuideFile() ? LoadResString(AboutConsts::SUserGuideLink) : home);
    Label7 = make<TLabel>(this, this, "Label7", 16, 126, 100, 16);
    Label7->SetCaption(QStringLiteral("Contact:"));
    Label8 = make<TLabel>(this, this, "Label8", 120, 126, 200, 16);
    // Without a contact address from the build there is no contact line.
    Label8->SetCaption(ContactAddress());
    Label7->SetVisible(!ContactAddress().isEmpty());
    Label8->SetVisible(!ContactAddress().isEmpty());
    for (TLabel* link : {Label5, Label8}) {
        link->Font()->SetColor(clBlue);
        link->SetCursor(crHandPoint);
    }
    for (TLabel* l : {Label2, Label3, Label4, Label5, Label7, Label8})
        l->SetTransparent(true);
    Memo1 = make<TMemo>(this, this, "Memo1", 16, 148, 320, 48);
    Memo1->SetReadOnly(true);
    // Two lines that fit the box as they stand.
    Memo1->Lines()->Add(QStringLiteral("Protected by copyright law and international treaties."));
    Memo1->Lines()->Add(QStringLiteral("Copying it without permission is not allowed."));
    btnOk = make<TBxBitBtn>(this, this, "btnOk", 352, 168, 75, 25);
    btnOk->SetCaption(QStringLiteral("OK"));
    btnOk->SetNumGlyphs(2);
    KvVersionInfo1 = std::make_unique<TKvVersionInfo>(this).release();

    OnCreate = TNotifyEvent(this, &TfrmAbout::FormCreate);
    OnClose = TCloseEvent(this, &TfrmAbout::FormClose);
    OnKeyDown = TKeyEvent(this, &TfrmAbout::FormKeyDown);
    btnOk->OnClick = TNotifyEvent(this, &TfrmAbout::btnOkClick);
    Label5->OnClick = TNotifyEvent(this, &TfrmAbout::Label5Click);
    Label8->OnClick = TNotifyEvent(this, &TfrmAbout::Label8Click);
}

void TfrmAbout::FormCreate(TObject*)
{
    KvVersionInfo1->SetFileName(ModuleFileName(0));
    Label2->SetCaption(QStringLiteral("Version ") + KvVersionInfo1->GetStringValue(QStringLiteral("ProductVersion"))
                       + QStringLiteral(" (Build ") + KvVersionInfo1->GetStringValue(QStringLiteral("FileVersion"))
                       + QStringLiteral(")"));
    // The line's beginning is ours; the maker's name follows " by ".
    Label3->SetCaption(LoadResString(AboutConsts::SCopyrightStart) + QStringLiteral(" by ")
                       + KvVersionInfo1->GetStringValue(QStringLiteral("CompanyName")));
}

void TfrmAbout::FormClose(TObject*, TCloseAction& Action)
{
    Action = caFree;
    if (FReference != nullptr)
        *FReference = nullptr;
}

void TfrmAbout::FormKeyDown(TObject*, uint16_t& Key, TShiftState)
{
    if (Key == VK_ESCAPE)
        Close();
}

void TfrmAbout::btnOkClick(TObject*) { Close(); }
void TfrmAbout::Label5Click(TObject*) { ShellOpen(HomePageAddress()); }

void TfrmAbout::Label8Click(TObject*)
{
    if (!ContactAddress().isEmpty())
        ShellOpen(QStringLiteral("mailto:") + ContactAddress());
}
