// EditControlFixture.h - a small concrete editor for the editor control's
// tests: properties that validate and reset, a text inner edit whose text
// is the display value, and a log of the button notifications; on a shown
// form with the units up to the editors running.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <string>
#include <vector>

#include "../foundation/ContainerUnitFixture.h"
#include "platform/controls/StdCtrls.h"
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlTextEditInner.h"

// Raises a flag for its lifetime.
struct TRaised {
    explicit TRaised(bool& AFlag) : Flag(AFlag), Saved(AFlag) { AFlag = true; }
    ~TRaised() { Flag = Saved; }
    bool& Flag;
    bool Saved;
};

class TTestEditProperties : public TvlCustomEditProperties {
public:
    using TvlCustomEditProperties::TvlCustomEditProperties;
    bool CanValidate() const override { return true; }
    bool HasDisplayValue() const override { return true; }
    bool IsResetEditClass() const override { return true; }
    bool UsesInnerEditChangeEvent() const override { return true; }
    using TvlCustomEditProperties::DoValidate;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override
    {
        return std::make_unique<TTestEditProperties>(AOwner);
    }
};

class TTestEdit : public TvlCustomEdit {
public:
    TTestEdit(TComponent* AOwner, bool AIsInplace) : TvlCustomEdit(AOwner, AIsInplace, TDeferInitialize{}) {}
    TvlCustomInnerTextEdit* Inner() const { return static_cast<TvlCustomInnerTextEdit*>(InnerEdit()->GetControl()); }
    QWidget* InnerWidget() const { return Inner()->Widget(); }
    String Text() const { return Inner()->TextValue(); }
    using TvlCustomEdit::InternalPostEditValue;

    std::vector<std::string> Log;
    bool Refuse = false;
    // The data refuses what is written to it.
    bool FailWrite = false;

protected:
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override
    {
        return std::make_unique<TTestEditProperties>(this);
    }
    TvlEditDataBindingClass GetDataBindingClass() const override
    {
        return [](TvlCustomEdit* AEdit) { return std::make_unique<TBinding>(AEdit); };
    }
    TvlInnerEditClass GetInnerEditClass() const override
    {
        return [](TvlCustomEdit* AEdit) { return std::make_unique<TvlCustomInnerTextEdit>(AEdit); };
    }
    void SynchronizeDisplayValue() override
    {
        if (InnerEdit() == nullptr)
            return;
        const TRaised syncing(FSyncing);
        InnerEdit()->SetEditValue(EditValue());
    }
    void SetInternalDisplayValue(const Variant& V) override { InternalSetEditValue(V, false); }
    void SetInnerEditDisplayValue(const Variant& V) override
    {
        const TRaised syncing(FSyncing);
        InnerEdit()->SetEditValue(V);
    }
    // Text the editor puts in is a change, but not the user's.
    void ChangeHandler(TObject* Sender) override
    {
        if (FSyncing)
            DoChange();
        else
            TvlCustomEdit::ChangeHandler(Sender);
    }
    bool WantNavigationKeys() const override { return true; }
    bool CanKeyDownModifyEdit(uint16_t Key, TShiftState) const override { return Key == VK_DELETE || Key == VK_BACK; }
    bool CanKeyPressModifyEdit(QChar) const override { return true; }
    bool DoEditing() override { return !Refuse && TvlCustomEdit::DoEditing(); }
    bool IsTextEditable() const override { return true; }

public:
    void SelectAll() override { Inner()->SelectAll(); }

protected:
    void DoButtonDown(int I) override { Log.push_back("down " + std::to_string(I)); }
    void DoButtonUp(int I) override { Log.push_back("up " + std::to_string(I)); }
    void DoButtonClick(int I) override
    {
        Log.push_back("click " + std::to_string(I));
        TvlCustomEdit::DoButtonClick(I);
    }

private:
    class TBinding : public TvlEditDataBinding {
    public:
        using TvlEditDataBinding::TvlEditDataBinding;
        void WriteStoredValue(const Variant&) override
        {
            if (static_cast<TTestEdit*>(Edit())->FailWrite)
                throw EvlEditError(String::fromLatin1("disk full"));
        }
    };
    bool FSyncing = false;
};

struct TEditControlFixture : TContainerUnitFixture {
    TEditControlFixture()
    {
        AddvlEditUnit(EditUnits);
        EditUnits.Initialize();
        Form->Widget()->activateWindow();
    }
    ~TEditControlFixture() override { EditUnits.Finalize(); }

    // Focus elsewhere: the next SetFocus enters the editor afresh.
    void Unfocus()
    {
        if (FElsewhere == nullptr) {
            FElsewhere = new TEdit(Form.get());
            FElsewhere->SetParent(Form.get());
            FElsewhere->SetBounds(10, 200, 50, 21);
        }
        FElsewhere->SetFocus();
    }

    // A 120 x 21 editor at (10, 10) with one ellipsis button.
    TTestEdit* MakeEdit(bool AInplace = false)
    {
        TTestEdit* edit = TvlCustomEdit::CreateInplace<TTestEdit>(Form.get(), AInplace);
        edit->Properties()->Buttons()->Add()->SetKind(bkEllipsis);
        edit->SetParent(Form.get());
        edit->SetBounds(10, 10, 120, 21);
        edit->HandleNeeded();
        QApplication::processEvents();
        return edit;
    }

    static void Key(QWidget* W, int AKey, Qt::KeyboardModifiers AModifiers = Qt::NoModifier, const QString& AText = {})
    {
        QKeyEvent down(QEvent::KeyPress, AKey, AModifiers, AText);
        QApplication::sendEvent(W, &down);
        QKeyEvent up(QEvent::KeyRelease, AKey, AModifiers, AText);
        QApplication::sendEvent(W, &up);
    }
    static void Type(QWidget* W, const QString& AText)
    {
        for (QChar c : AText)
            Key(W, c.toUpper().unicode(), Qt::NoModifier, QString(c));
    }
    static void Mouse(QWidget* W, QEvent::Type AType, QPoint P, Qt::MouseButton AButton, Qt::MouseButtons AButtons)
    {
        QMouseEvent e(AType, QPointF(P), W->mapToGlobal(QPointF(P)), AButton, AButtons, Qt::NoModifier);
        QApplication::sendEvent(W, &e);
    }

    TStartupList EditUnits;

private:
    TEdit* FElsewhere = nullptr;
};
