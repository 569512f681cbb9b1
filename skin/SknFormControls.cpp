// Which control skinner each control of a skinned form gets: the
// application's say first (OnSkinControl), then the Skin3rd map of class
// names to kinds, then the table of the class library's control classes.
#include <algorithm>

#include "platform/controls/Buttons.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/RadioGroup.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/StringList.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"

namespace {

String upperClassName(const TControl* Control)
{
    return Control->ClassName().toUpper();
}

bool nameIs(const String& UpperName, std::initializer_list<const char*> Names)
{
    return std::any_of(Names.begin(), Names.end(), [&](const char* n) { return UpperName == QLatin1String(n); });
}

template <class T>
bool is(const TControl* Control)
{
    return dynamic_cast<const T*>(Control) != nullptr;
}

}  // namespace

bool TSknForm::AddSkinner(TSkinControl* Skinner)
{
    if (std::find(FControlSkinners.begin(), FControlSkinners.end(), Skinner) != FControlSkinners.end())
        return true;
    FControlSkinners.push_back(Skinner);
    return false;
}

void TSknForm::RemoveSkinnerFromList(TSkinControl* Skinner)
{
    std::erase(FControlSkinners, Skinner);
}

TSkinControl* TSknForm::FindControlSkinner(const TControl* Control) const
{
    for (TSkinControl* s : FControlSkinners)
        if (s->Control == Control || s->RepaintTarget == Control)
            return s;
    return nullptr;
}

void TSknForm::FreeSkinners(bool Unskin)
{
    // Our tool-bar handlers go first: the tool bars may outlive us.
    for (TToolBar* bar : FCustomDrawnToolBars) {
        if (bar->OnCustomDraw == TTBCustomDrawEvent(this, &TSknForm::DrawToolBarBackground))
            bar->OnCustomDraw = TTBCustomDrawEvent();
        if (bar->OnCustomDrawButton == TTBCustomDrawBtnEvent(this, &TSknForm::DrawToolButton))
            bar->OnCustomDrawButton = TTBCustomDrawBtnEvent();
        bar->RemoveFreeNotification(this);
        bar->Invalidate();
    }
    FCustomDrawnToolBars.clear();
    while (!FControlSkinners.empty()) {
        TSkinControl* skinner = FControlSkinners.back();
        FControlSkinners.pop_back();
        skinner->FormSkinner = nullptr;
        const bool restore = Unskin && FState != 4 && skinner->State != 6;
        TControl* target = skinner->RepaintTarget != nullptr ? skinner->RepaintTarget : skinner->Control;
        if (restore)
            skinner->Unskin();
        {
            const std::unique_ptr<TSkinControl> doomed(skinner);  // leaves its control's components
        }
        // The control draws its own look again.
        if (restore && target != nullptr)
            target->Invalidate();
    }
}

TSkinControl* TSknForm::AttachSkinner(const String& SkinnerClass, TControl* Control, bool SetColor, int Variant)
{
    if (Control == nullptr || FSkinData == nullptr)
        return nullptr;
    TSkinControl* skinner = CreateSkinControl(SkinnerClass, Control, Variant);
    if (skinner == nullptr)
        return nullptr;
    if (!FControlCanvas)
        FControlCanvas = std::make_unique<TCanvas>();
    skinner->HookControl(this, FSkinData, SetColor, FControlCanvas.get());
    return skinner;
}

bool TSknForm::IsControlSkinned(TControl* Control) const
{
    return Control->Perform(SKIN_QUERY_SKINNED) == 1 || FindControlSkinner(Control) != nullptr;
}

bool TSknForm::IsHandled(TControl* Control) const
{
    auto* win = dynamic_cast<TWinControl*>(Control);
    if (win != nullptr && !win->HandleAllocated())
        return true;
    if (FSkinData != nullptr && Control->Tag() == FSkinData->DisableTag())
        return true;
    return IsControlSkinned(Control);
}

void TSknForm::SkinChildControls()
{
    if (FForm == nullptr || FSkinData == nullptr)
        return;
    // Skinners whose controls lost their windows are done with.
    std::vector<TSkinControl*> dead;
    for (TSkinControl* s : FControlSkinners)
        if (s->State == 6)
            dead.push_back(s);
    for (TSkinControl* s : dead) {
        RemoveSkinnerFromList(s);
        s->FormSkinner = nullptr;
        const std::unique_ptr<TSkinControl> doomed(s);
    }
    SkinOwnedComponents(FForm);
    std::vector<TWinControl*> list;
    FForm->GetTabOrderList(list);
    for (TWinControl* c : list)
        if (!IsHandled(c))
            SkinControl(c, FForm);
}

void TSknForm::SkinOwnedComponents(TComponent* Component)
{
    if (Component == nullptr)
        return;
    for (int i = 0; i < Component->ComponentCount(); ++i)
        if (auto* control = dynamic_cast<TControl*>(Component->Components(i)))
            SkinControl(control, Component);
}

void TSknForm::SkinChildren(TWinControl* Control)
{
    if (Control == nullptr)
        return;
    for (int i = 0; i < Control->ControlCount(); ++i)
        SkinControl(Control->Controls(i), Control);
}

void TSknForm::SkinControl(TControl* Control, TComponent* Form)
{
    if (Control == nullptr || FSkinData == nullptr)
        return;
    const String upper = upperClassName(Control);
    auto* win = dynamic_cast<TWinControl*>(Control);
    // 1. Kept plain, and so are the buttons of a plain radio or check group.
    if (Control->Tag() == FSkinData->DisableTag()) {
        const String lower = Control->ClassName().toLower();
        if (win != nullptr && (lower.contains(QLatin1String("radiogroup")) || lower.contains(QLatin1String("checkgroup"))))
            for (int i = 0; i < win->ControlCount(); ++i)
                win->Controls(i)->SetTag(FSkinData->DisableTag());
        return;
    }
    // 2.
    if (Control->Parent() == nullptr || IsControlSkinned(Control))
        return;
    if (win != nullptr && !win->HandleAllocated()) {
        try {
            win->HandleNeeded();
        } catch (...) {
            return;
        }
    }
    // 3. The application decides.
    if (FSkinData->OnSkinControl) {
        TComponent* result = nullptr;
        FSkinData->OnSkinControl(this, FSkinData, dynamic_cast<TControl*>(Form), Control, upper, result);
        if (result != nullptr) {
            if (auto* skinner = dynamic_cast<TSkinControl*>(result)) {
                if (!skinner->Hooked)
                    skinner->HookControl(this, FSkinData, skinner->SetColor, nullptr);
                else
                    AddSkinner(skinner);
                if (auto* panel = dynamic_cast<TPanel*>(Control))
                    SkinChildren(panel);
            }
            return;
        }
    }
    // 4.
    if (MapBySkin3rd(upper, Control))
        return;
    // 5. Never skinned.
    if (nameIs(upper, {"TDBCOMBOBOXEH", "TFRDESIGNERPAGE", "TFRPBOX"}))
        return;
    builtInTable(Control, Form);
}

bool TSknForm::builtInTable(TControl* Control, TComponent*)
{
    const TSkinControlTypes kinds = FSkinData->SkinControls();
    const String upper = upperClassName(Control);
    const bool tabs = FSkinData->Tabs != nullptr && !FSkinData->Tabs->Bitmap->Empty();
    auto has = [&](TSkinControlType k) { return kinds.Contains(k); };
    auto attach = [&](const char* cls, bool setColour, int variant = 0) {
        AttachSkinner(String::fromLatin1(cls), Control, setColour, variant);
        return true;
    };
    auto* win = dynamic_cast<TWinControl*>(Control);

    if (is<TPageControl>(Control) && has(xcTab) && tabs) {
        const String style = GetEnumPropByName(Control, String::fromLatin1("Style"));
        return attach(!style.isEmpty() && style != QLatin1String("tsTabs") ? "TSkinTabBtn" : "TSkinTab", false);
    }
    if (auto* button = dynamic_cast<TToolButton*>(Control); button != nullptr && has(xcMainMenu)) {
        if (button->MenuItem() != nullptr)
            SkinToolButtonMenu(button->MenuItem());
        return true;
    }
    if (upper == QLatin1String("TTABSET") && has(xcTab) && tabs)
        return attach("TSkinTab31", false);
    if (is<TTabSheet>(Control) && has(xcTab) && tabs)
        return attach("TSkinTabSheet", false);
    if (upper == QLatin1String("TTABBEDNOTEBOOK") && has(xcTab) && tabs)
        return attach("TSkinTab", false);
    if (upper == QLatin1String("TMVCPANEL")) {
        SkinChildren(win);
        return true;
    }
    if (is<TCheckBox>(Control) && has(xcCheckBox))
        return attach("TSkinCheckBox", false);
    if (is<TTrackBar>(Control) && has(xcTrackBar))
        return attach("TSkinTrackBar", false);
    if (nameIs(upper, {"TUPDOWN", "TSPINBUTTON"}) && has(xcSpin))
        return attach("TSkinUpDown", false);
    if (upper == QLatin1String("TMEDIAPLAYER") && has(xcButton))
        return attach("TSkinMP", false);
    if (auto* group = dynamic_cast<TRadioGroup*>(Control); group != nullptr && has(xcRadioButton)) {
        for (int i = 0; i < group->ControlCount(); ++i)
            if (!IsControlSkinned(group->Controls(i)))
                AttachSkinner(String::fromLatin1("TSkinRadioButton"), group->Controls(i), false);
        return attach("TSkinGroupBox", true);
    }
    if (upper == QLatin1String("TDBNAVIGATOR") && has(xcPanel)) {
        attach("TSkinBox", true);
        SkinChildren(win);
        return true;
    }
    if (nameIs(upper, {"TBXDBCHECKBOX", "TBXCHECKBOX"}) && has(xcCheckBox))
        return attach("TSkinObjImage", true, 1);
    if (nameIs(upper, {"TBXRADIOBUTTON", "TBXDBRADIOBUTTON"}) && has(xcRadioButton))
        return attach("TSkinObjImage", true, 2);
    if (nameIs(upper, {"TVLDBCHECKBOX", "TVLCHECKBOX"}) && has(xcCheckBox))
        return attach("TSkinObjImage", true, 3);
    if (is<TGroupBox>(Control) && has(xcPanel)) {
        SkinChildren(win);
        return attach("TSkinGroupBox", false);
    }
    if (is<TRadioButton>(Control) && has(xcRadioButton))
        return attach("TSkinRadioButton", false);
    if (auto* bar = dynamic_cast<TToolBar*>(Control); bar != nullptr && has(xcToolbar)) {
        bar->SetFlat(true);
        bool ours = false;
        if (!bar->OnCustomDraw) {
            bar->OnCustomDraw = TTBCustomDrawEvent(this, &TSknForm::DrawToolBarBackground);
            ours = true;
        }
        if (!bar->OnCustomDrawButton) {
            bar->OnCustomDrawButton = TTBCustomDrawBtnEvent(this, &TSknForm::DrawToolButton);
            ours = true;
        }
        if (ours && std::find(FCustomDrawnToolBars.begin(), FCustomDrawnToolBars.end(), bar) == FCustomDrawnToolBars.end()) {
            FCustomDrawnToolBars.push_back(bar);
            bar->FreeNotification(this);
        }
        bar->Invalidate();
        return attach("TSkinBox", false);
    }
    if (is<TStatusBar>(Control) && has(xcStatusBar))
        return attach("TSkinStatusBar", false);
    if (is<TProgressBar>(Control) && has(xcProgress))
        return attach("TSkinProgress", false);
    if ((upper == QLatin1String("TTNTCOMBOBOX") || is<TComboBox>(Control)) && has(xcCombo))
        return attach("TSkinComBox", false);
    if (nameIs(upper, {"TRICHEDIT", "TWWDBRICHEDIT", "TVXDBMEMO"}) && has(xcScrollbar))
        return attach("TSkinScrollbar", false);
    if (is<TBitBtn>(Control)) {
        // Without its own kind a bit button stays plain, even with xcButton.
        if (has(xcBitBtn))
            attach("TSkinBitButton", false);
        return true;
    }
    if (is<TSpeedButton>(Control) && has(xcSpeedButton))
        return attach("TSkinSpeedButton", false);
    if (is<TPanel>(Control) && has(xcPanel)) {
        SkinChildren(win);
        return attach("TSkinBox", true);
    }
    if (nameIs(upper, {"TVXTREELIST", "TVXDBTREELIST", "TVXDBGRID"}) && has(xcScrollbar))
        return attach("TSkinScrollbar", false);
    if (upper == QLatin1String("TCHECKLISTBOX") && has(xcScrollbar))
        return attach("TSkinCheckList", false);
    if ((is<TMemo>(Control) || is<TListBox>(Control)) && has(xcScrollbar))
        return attach("TSkinScrollbar", false);
    if (is<TButton>(Control) && has(xcButton))
        return attach("TSkinButton", false);
    if (is<TEdit>(Control) && has(xcEdit))
        return attach("TSkinEdit", false);
    if (auto* form = dynamic_cast<TCustomForm*>(Control);
        form != nullptr && !nameIs(upper, {"TDCEDIT", "TDCDBEDIT"})) {
        attach("TSkinBox", true);
        SkinOwnedComponents(form);
        return true;
    }
    return false;
}

bool TSknForm::MapBySkin3rd(const String& ClassName, TControl* Control)
{
    if (FSkinData == nullptr || FSkinData->Skin3rd() == nullptr)
        return false;
    const String prefix = ClassName.toLower() + u'=';
    const TStrings* lines = FSkinData->Skin3rd();
    for (int i = 0; i < lines->Count(); ++i) {
        const String line = lines->Strings(i).toLower();
        if (!line.startsWith(prefix))
            continue;
        const String kind = line.mid(line.indexOf(u'=') + 1).left(50);
        skinByKind(kind, Control);
        return true;
    }
    return false;
}

void TSknForm::skinByKind(const String& Kind, TControl* Control)
{
    const TSkinControlTypes kinds = FSkinData->SkinControls();
    auto has = [&](TSkinControlType k) { return kinds.Contains(k); };
    auto attach = [&](const char* cls, bool setColour, int variant = 0) {
        return AttachSkinner(String::fromLatin1(cls), Control, setColour, variant);
    };
    auto kindIs = [&](const char* k) { return Kind == QLatin1String(k); };
    auto* win = dynamic_cast<TWinControl*>(Control);
    const String upper = upperClassName(Control);
    const bool tabs = FSkinData->Tabs != nullptr && !FSkinData->Tabs->Bitmap->Empty();
    auto glyphFrom = [](TSkinControl* s, const char* property) {
        if (auto* b = dynamic_cast<TSkinBitButton*>(s))
            b->GlyphProperty = String::fromLatin1(property);
    };
    // The glyph property must be known before the first paint.
    auto attachWithGlyph = [&](const char* cls, const char* property) {
        TSkinControl* s = CreateSkinControl(String::fromLatin1(cls), Control);
        if (s == nullptr)
            return;
        glyphFrom(s, property);
        if (!FControlCanvas)
            FControlCanvas = std::make_unique<TCanvas>();
        s->HookControl(this, FSkinData, false, FControlCanvas.get());
    };
    auto eachChild = [&](auto fn) {
        if (win != nullptr)
            for (int i = 0; i < win->ControlCount(); ++i)
                fn(win->Controls(i));
    };

    if (kindIs("nil")) {
        return;
    } else if (kindIs("combobox") && has(xcCombo)) {
        attach("TSkinComBox", false);
    } else if (kindIs("comboboxex") && has(xcCombo)) {
        attach("TSkinComBox", false, 1);
    } else if (kindIs("edit") && has(xcEdit)) {
        // Only an edit with a border: its window is larger than its client area.
        if (Control->Width() != Control->ClientWidth() || Control->Height() != Control->ClientHeight())
            attach("TSkinEdit", false);
    } else if (kindIs("radiobutton") && has(xcRadioButton)) {
        attach("TSkinRadioButton", false);
    } else if (kindIs("panel") && has(xcPanel)) {
        SetPropByName(Control, String::fromLatin1("Transparent"), String::fromLatin1("True"));
        attach("TSkinBox", true);
    } else if (kindIs("trackbar") && has(xcButton)) {
        SetPropByName(Control, String::fromLatin1("Transparent"), String::fromLatin1("True"));
        attach("TSkinTrackBar", false);
    } else if (kindIs("button") && has(xcButton)) {
        attach("TSkinButton", false);
    } else if (kindIs("datetimepicker") && has(xcCombo)) {
        attach("TSkinDateTime", false);
    } else if (kindIs("mediaplayer") && has(xcButton)) {
        attach("TSkinMP", false);
    } else if (kindIs("bitbtn") && has(xcButton)) {
        const bool dropDown = upper == QLatin1String("TVLBUTTON")
                              && GetEnumPropByName(Control, String::fromLatin1("Kind")) == QLatin1String("vlbkDropDownButton");
        attach(dropDown ? "TSkinMenuButton" : "TSkinBitButton", false);
    } else if (kindIs("pngbitbtn") && has(xcButton)) {
        attachWithGlyph("TSkinBitButton", "PngImage");
    } else if (kindIs("pngspeedbutton") && has(xcButton)) {
        attachWithGlyph("TSkinSpeedButton", "PngImage");
    } else if (kindIs("menubtn") && has(xcButton)) {
        attach("TSkinMenuButton", false);
    } else if (kindIs("speedbutton") && has(xcSpeedButton)) {
        attach("TSkinSpeedButton", false);
    } else if (kindIs("tab") && has(xcTab) && tabs) {
        attach("TSkinTab", false);
    } else if (kindIs("progress") && has(xcProgress)) {
        attach("TSkinProgress", false);
    } else if (kindIs("scrollbar") && has(xcScrollbar)) {
        attach("TSkinScrollbar", false);
        SkinChildren(win);
    } else if (kindIs("singlescrollbar") && has(xcScrollbar)) {
        attach("TSkinScrollbar", false, 1);
    } else if (kindIs("embedscrollbar") && has(xcScrollbar)) {
        eachChild([&](TControl* c) {
            if (is<TListBox>(c) || is<TMemo>(c))
                AttachSkinner(String::fromLatin1("TSkinScrollbar"), c, false);
        });
    } else if (kindIs("container")) {
        SkinChildren(win);
    } else if (kindIs("groupbox") && has(xcGroupBox)) {
        attach("TSkinGroupBox", true);
    } else if (kindIs("advpagecontrol") && has(xcTab)) {
        attach("TSkinAdvPage", true, 4);
    } else if (kindIs("radiogroup") && has(xcGroupBox)) {
        if (has(xcRadioButton))
            eachChild([&](TControl* c) {
                if (upperClassName(c).contains(QLatin1String("TBX")))
                    AttachSkinner(String::fromLatin1("TSkinObjImage"), c, true, 2);
                else
                    AttachSkinner(String::fromLatin1("TSkinRadioButton"), c, false);
            });
        attach("TSkinGroupBox", true);
    } else if (kindIs("checkgroup") && has(xcPanel)) {
        if (has(xcRadioButton))
            eachChild([&](TControl* c) {
                if (upperClassName(c).contains(QLatin1String("TBX")))
                    AttachSkinner(String::fromLatin1("TSkinObjImage"), c, true, 1);
                else
                    AttachSkinner(String::fromLatin1("TSkinCheckBox"), c, false);
            });
        if (has(xcGroupBox))
            attach("TSkinGroupBox", true);
    } else if (kindIs("checkbox") && has(xcCheckBox)) {
        attach("TSkinCheckBox", false);
    }
}

void TSknForm::ReplaceScrollbarSkinner(HWND Window)
{
    for (TSkinControl* s : FControlSkinners) {
        if (s->Handle != Window)
            continue;
        TControl* control = s->Control;
        RemoveSkinnerFromList(s);
        s->FormSkinner = nullptr;
        {
            const std::unique_ptr<TSkinControl> doomed(s);
        }
        if (control != nullptr)
            AttachSkinner(String::fromLatin1("TSkinScrollbar"), control, false);
        return;
    }
}

void TSknForm::DrawToolBarBackground(TToolBar* Sender, const TRect& ARect, bool&)
{
    if (Sender == nullptr || FSkinData == nullptr || FSkinData->Options().Contains(xoToolbarBK))
        return;
    const TDataSkinObject* toolbar = FSkinData->Toolbar.get();
    if (toolbar == nullptr || toolbar->Bitmap->Empty())
        return;
    // Nearest-neighbour stretching (colour on colour) is the only kind here.
    TBitmap* image = toolbar->Bitmap.get();
    StretchBlt(Sender->Canvas()->Handle(), ARect.Left, ARect.Top, ARect.Width(), ARect.Height(),
               image->Canvas()->Handle(), 0, 0, image->Width(), image->Height(), SRCCOPY);
}
