#include "app/filters_u.h"

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

TfrmFilters::TfrmFilters(TComponent* AOwner) : TForm(AOwner)
{
    SetName(QStringLiteral("frmFilters"));
    SetCaption(QStringLiteral("Filters"));
    SetBorderStyle(bsDialog);
    SetClientWidth(347);
    SetClientHeight(349);
    SetColor(TColor(0xF3F4F5));
    SetPosition(poMainFormCenter);

    GroupBox1 = make<TGroupBox>(this, this, "GroupBox1", 8, 8, 331, 185);
    GroupBox1->SetCaption(QStringLiteral("Video Filter "));
    const char* names[3][3] = {{"chkBrightness", "trbBrightness", "btnBrightness"},
                               {"chkContrast", "trbContrast", "btnContrast"},
                               {"chkSaturation", "trbSaturation", "btnSaturation"}};
    const char* captions[3] = {"Brightness", "Contrast", "Saturation"};
    int* fields[3] = {&FBrightness, &FContrast, &FSaturation};
    for (int i = 0; i < 3; ++i) {
        const int top = 22 + i * 54;
        TRow& row = FRows[i];
        row.Check = make<TCheckBox>(this, GroupBox1, names[i][0], 10, top, 90, 17);
        row.Check->SetCaption(String::fromLatin1(captions[i]));
        row.Bar = make<TTrackBar>(this, GroupBox1, names[i][1], 100, top - 6, 160, 34);
        row.Bar->SetMin(-100);
        row.Bar->SetMax(100);
        row.Bar->SetFrequency(10);
        row.Bar->SetTickStyle(tsNone);
        row.Bar->SetPosition(0);
        row.Bar->SetEnabled(false);
        row.Reset = make<TButton>(this, GroupBox1, names[i][2], 266, top - 4, 55, 23);
        row.Reset->SetCaption(QStringLiteral("Reset"));
        row.Reset->SetEnabled(false);
        row.Field = fields[i];
        row.Check->OnClick = TNotifyEvent(this, &TfrmFilters::chkFilterClick);
        row.Bar->OnChange = TNotifyEvent(this, &TfrmFilters::trbFilterChange);
        row.Reset->OnClick = TNotifyEvent(this, &TfrmFilters::btnResetClick);
    }
    chkBrightness = FRows[0].Check, trbBrightness = FRows[0].Bar, btnBrightness = FRows[0].Reset;
    chkContrast = FRows[1].Check, trbContrast = FRows[1].Bar, btnContrast = FRows[1].Reset;
    chkSaturation = FRows[2].Check, trbSaturation = FRows[2].Bar, btnSaturation = FRows[2].Reset;

    // The group's caption is spelt as the program has always shown it.
    GroupBox2 = make<TGroupBox>(this, this, "GroupBox2", 8, 200, 331, 55);
    GroupBox2->SetCaption(QStringLiteral(" Filp "));
    cboFlip = make<TComboBox>(this, GroupBox2, "cboFlip", 10, 22, 311, 21);
    GroupBox3 = make<TGroupBox>(this, this, "GroupBox3", 8, 260, 331, 55);
    GroupBox3->SetCaption(QStringLiteral(" Rotate "));
    cboRotate = make<TComboBox>(this, GroupBox3, "cboRotate", 10, 22, 311, 21);
    for (TComboBox* box : {cboFlip, cboRotate}) {
        box->SetStyle(csDropDownList);
        box->OnKeyPress = TKeyPressEvent(this, &TfrmFilters::cboKeyPress);
    }
    for (const char* item : {"", "Horizontal Flip", "Vertical Flip", "XY Flip"})
        cboFlip->Items()->Add(String::fromLatin1(item));
    for (const char* item : {"", "Right", "Left"})
        cboRotate->Items()->Add(String::fromLatin1(item));
    cboFlip->SetItemIndex(0);
    cboRotate->SetItemIndex(0);

    btnOk = make<TButton>(this, this, "btnOk", 183, 320, 75, 25);
    btnOk->SetCaption(QStringLiteral("OK"));
    btnOk->SetModalResult(mrOk);
    btnOk->SetDefault(true);
    btnCancel = make<TButton>(this, this, "btnCancel", 264, 320, 75, 25);
    btnCancel->SetCaption(QStringLiteral("Cancel"));
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetCancel(true);  // Escape closes the dialog
}

void TfrmFilters::SetChoice(TComboBox* Box, const String& Text)
{
    Box->SetItemIndex(std::max(0, Box->Items()->IndexOf(Text)));
}

const TfrmFilters::TRow* TfrmFilters::rowOf(TObject* Sender) const
{
    for (const TRow& row : FRows)
        if (Sender == row.Check || Sender == row.Bar || Sender == row.Reset)
            return &row;
    return nullptr;
}

void TfrmFilters::chkFilterClick(TObject* Sender)
{
    if (const TRow* row = rowOf(Sender)) {
        row->Bar->SetEnabled(row->Check->Checked());
        row->Reset->SetEnabled(row->Check->Checked());
    }
}

void TfrmFilters::btnResetClick(TObject* Sender)
{
    if (const TRow* row = rowOf(Sender))
        row->Bar->SetPosition(0);
}

void TfrmFilters::trbFilterChange(TObject* Sender)
{
    if (const TRow* row = rowOf(Sender))
        *row->Field = row->Bar->Position();
}

void TfrmFilters::cboKeyPress(TObject*, QChar& Key)
{
    Key = QChar(0);
}
