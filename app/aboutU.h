// aboutU.h - the about dialog: the program's version and copyright lines
// from its own version resource, the maker's links and a legal notice.
#pragma once
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "support/BxButton.h"
#include "support/KvVersionInfo.h"

namespace AboutConsts {
VORLANE_RESOURCESTRING(SCopyrightStart, "Copyright \u00A9");
VORLANE_RESOURCESTRING(SUserGuideLink, "the user guide beside the program");
}  // namespace AboutConsts

class TfrmAbout : public TForm {
public:
    explicit TfrmAbout(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TfrmAbout"); }

    // Cleared when the form closes (it frees itself then).
    void SetReference(TfrmAbout** Reference) { FReference = Reference; }

    TShape* Shape1;
    TImage* Image1;
    TImage* Image2;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label5;
    TLabel* Label7;
    TLabel* Label8;
    TMemo* Memo1;
    TBxBitBtn* btnOk;
    TKvVersionInfo* KvVersionInfo1;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void btnOkClick(TObject* Sender);
    void Label5Click(TObject* Sender);
    void Label8Click(TObject* Sender);

private:
    TfrmAbout** FReference = nullptr;
};
