// TextEditFixture.h - text editors for the text editor's control tests: the
// four editing styles, a numeric editor with thousand separators while
// editing, and one that moves through its items by keys and the wheel, as
// the drop-down editors do.
#pragma once
#include <QLineEdit>

#include "EditControlFixture.h"
#include "ui/editors/vlTextEdit.h"

class TStyledTextProperties : public TvlTextEditProperties {
public:
    using TvlTextEditProperties::TvlTextEditProperties;
    TvlEditEditingStyle GetEditingStyle() const override { return Style; }
    bool IsEditValueNumeric() const override { return Numeric; }
    bool ThousandSeparatorsWhileEditing(bool) const override { return Numeric; }

    TvlEditEditingStyle Style = esEdit;
    bool Numeric = false;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override
    {
        return std::make_unique<TStyledTextProperties>(AOwner);
    }
};

class TStyledTextEdit : public TvlCustomTextEdit {
public:
    TStyledTextEdit(TComponent* AOwner, bool AIsInplace) : TvlCustomTextEdit(AOwner, AIsInplace, TDeferInitialize{}) {}
    TStyledTextProperties* Props() const { return static_cast<TStyledTextProperties*>(Properties()); }
    QLineEdit* Line() const { return static_cast<QLineEdit*>(InnerEdit()->GetControl()->Widget()); }
    QWidget* InnerWidget() const { return InnerEdit()->GetControl()->Widget(); }
    bool WheelAt(int ADelta) { return DoMouseWheel(TShiftState{}, ADelta, TPoint{5, 5}); }

    bool Navigates = false;

protected:
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override
    {
        return std::make_unique<TStyledTextProperties>(this);
    }
    bool CanNavigateLookupItems(bool) const override { return Navigates; }
};

struct TTextEditFixture : TEditControlFixture {
    // A 120 x 21 editor at (10, 40) in the style, with the items.
    TStyledTextEdit* MakeTextEdit(TvlEditEditingStyle AStyle = esEdit, const QStringList& AItems = {})
    {
        auto* edit = TvlCustomEdit::Create<TStyledTextEdit>(Form.get());
        edit->Props()->Style = AStyle;
        for (const QString& item : AItems)
            edit->Props()->LookupItems()->Add(item);
        edit->Props()->ReportChange();
        edit->SetParent(Form.get());
        edit->SetBounds(10, 40, 120, 21);
        edit->HandleNeeded();
        QApplication::processEvents();
        return edit;
    }

    static QStringList Fruit() { return {QStringLiteral("Apple"), QStringLiteral("apricot"), QStringLiteral("Banana")}; }
    static String S(const char* AText) { return String::fromUtf8(AText); }
};
