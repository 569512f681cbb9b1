// filters_u.h - the filters dialog: brightness, contrast and saturation with
// their strengths, a flip and a rotation for the output video.
#pragma once
#include "platform/controls/ComCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

class TfrmFilters : public TForm {
public:
    explicit TfrmFilters(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TfrmFilters"); }

    TGroupBox* GroupBox1;
    TCheckBox* chkBrightness;
    TTrackBar* trbBrightness;
    TButton* btnBrightness;
    TCheckBox* chkContrast;
    TTrackBar* trbContrast;
    TButton* btnContrast;
    TCheckBox* chkSaturation;
    TTrackBar* trbSaturation;
    TButton* btnSaturation;
    TGroupBox* GroupBox2;
    TComboBox* cboFlip;
    TGroupBox* GroupBox3;
    TComboBox* cboRotate;
    TButton* btnOk;
    TButton* btnCancel;

    // The track-bar positions as last reported by the bars.
    int Brightness() const { return FBrightness; }
    int Contrast() const { return FContrast; }
    int Saturation() const { return FSaturation; }

    // A flip or rotate text that none of the items names selects the empty item.
    static void SetChoice(TComboBox* Box, const String& Text);

    void chkFilterClick(TObject* Sender);
    void btnResetClick(TObject* Sender);
    void trbFilterChange(TObject* Sender);
    void cboKeyPress(TObject* Sender, QChar& Key);

private:
    struct TRow {
        TCheckBox* Check;
        TTrackBar* Bar;
        TButton* Reset;
        int* Field;
    };
    const TRow* rowOf(TObject* Sender) const;

    TRow FRows[3]{};
    int FBrightness = 0;
    int FContrast = 0;
    int FSaturation = 0;
};
