// RadioGroup.h - a group box of radio buttons made from a list of texts, in
// columns; one index names the checked button.
#pragma once
#include <memory>
#include <vector>

#include "platform/controls/StdCtrls.h"

class TRadioGroup : public TGroupBox {
public:
    explicit TRadioGroup(TComponent* AOwner);
    ~TRadioGroup() override;
    String ClassName() const override { return String::fromLatin1("TRadioGroup"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    // Changing the texts rebuilds the buttons; the index stays when it still names one.
    TStrings* Items() const { return FItems.get(); }
    int ItemIndex() const { return FItemIndex; }
    // -1, or an index beyond the items, checks none.
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int ButtonCount() const { return int(FButtons.size()); }
    TRadioButton* Buttons(int Index) const { return FButtons.at(size_t(Index)).get(); }

protected:
    void Resize() override;

private:
    void itemsChanged(TObject* Sender);
    void buttonClick(TObject* Sender);
    void arrangeButtons();

    std::unique_ptr<TStringList> FItems;
    std::vector<std::unique_ptr<TRadioButton>> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};
