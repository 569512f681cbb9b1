// ControlTables.cpp - the published properties of the controls, for the
// storage code that reads and writes them by name (form and property storage).
#include "platform/controls/ComCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/RadioGroup.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/TypInfo.h"

namespace {
constexpr const char* windowStateNames[] = {"wsNormal", "wsMinimized", "wsMaximized"};
constexpr TEnumInfo windowStateInfo{"TWindowState", windowStateNames};
constexpr const char* positionNames[] = {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                         "poScreenCenter", "poDesktopCenter", "poMainFormCenter",
                                         "poOwnerFormCenter"};
constexpr TEnumInfo positionInfo{"TPosition", positionNames};
constexpr const char* checkStateNames[] = {"cbUnchecked", "cbChecked", "cbGrayed"};
constexpr TEnumInfo checkStateInfo{"TCheckBoxState", checkStateNames};
constexpr const char* alignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr TEnumInfo alignmentInfo{"TAlignment", alignmentNames};
constexpr const char* borderStyleNames[] = {"bsNone", "bsSingle"};
constexpr TEnumInfo borderStyleInfo{"TBorderStyle", borderStyleNames};

void assignStrings(TStrings* Dest, TStrings* Source)
{
    if (Source == nullptr)
        Dest->Clear();
    else
        Dest->Assign(Source);
}
}  // namespace

const TClassInfo* TControl::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TControl::StaticClassInfo()
{
    using C = TControl;
    static const TClassInfo info = TClassInfoBuilder<C>("TControl", &TComponent::StaticClassInfo())
        .Int("Left", &C::Left, &C::SetLeft)
        .Int("Top", &C::Top, &C::SetTop)
        .Int("Width", &C::Width, &C::SetWidth)
        .Int("Height", &C::Height, &C::SetHeight)
        .Bool("Visible", &C::Visible, &C::SetVisible, true)
        .Bool("Enabled", &C::Enabled, &C::SetEnabled, true)
        .Str("Hint", &C::Hint, &C::SetHint)
        .Bool("ShowHint", &C::ShowHint, &C::SetShowHint, false)
        // Read by name by code that handles controls of any class (the
        // skinners); forms store them through their own tables.
        .Int("Color", [](const C& c) { return int(c.Color()); }, [](C& c, int v) { c.SetColor(TColor(v)); })
        .Stored(false)
        .Object("Font", &C::Font, [](C& c, TFont* v) { c.SetFont(v); })
        .Stored(false)
        .Build();
    return info;
}

const TClassInfo* TEdit::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TEdit::StaticClassInfo()
{
    using C = TEdit;
    static const TClassInfo info = TClassInfoBuilder<C>("TEdit", &TControl::StaticClassInfo())
        .Str("Text", &C::Text, &C::SetText)
        .Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly, false)
        .Int("MaxLength", &C::MaxLength, &C::SetMaxLength, 0)
        .Enum("BorderStyle", borderStyleInfo, [](const C& c) { return c.HasBorder() ? bsSingle : bsNone; },
              [](C& c, TFormBorderStyle v) { c.SetHasBorder(v != bsNone); }, bsSingle)
        .Build();
    return info;
}

const TClassInfo* TCheckBox::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TCheckBox::StaticClassInfo()
{
    using C = TCheckBox;
    static const TClassInfo info = TClassInfoBuilder<C>("TCheckBox", &TControl::StaticClassInfo())
        .Str("Caption", &C::Caption, &C::SetCaption)
        .Bool("Checked", &C::Checked, &C::SetChecked, false)
        .Enum("State", checkStateInfo, &C::State, &C::SetState, cbUnchecked)
        .Stored(false)  // Checked says it
        .Enum("Alignment", alignmentInfo, &C::Alignment, &C::SetAlignment, taRightJustify)
        .Build();
    return info;
}

const TClassInfo* TRadioButton::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TRadioButton::StaticClassInfo()
{
    using C = TRadioButton;
    static const TClassInfo info = TClassInfoBuilder<C>("TRadioButton", &TControl::StaticClassInfo())
        .Str("Caption", &C::Caption, &C::SetCaption)
        .Bool("Checked", &C::Checked, &C::SetChecked, false)
        .Enum("Alignment", alignmentInfo, &C::Alignment, &C::SetAlignment, taRightJustify)
        .Build();
    return info;
}

const TClassInfo* TButton::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TButton::StaticClassInfo()
{
    using C = TButton;
    static const TClassInfo info = TClassInfoBuilder<C>("TButton", &TControl::StaticClassInfo())
        .Str("Caption", &C::Caption, &C::SetCaption)
        .Bool("Default", &C::Default, &C::SetDefault, false)
        .Bool("Cancel", &C::Cancel, &C::SetCancel, false)
        .Int("ModalResult", &C::ModalResult, &C::SetModalResult, mrNone)
        .Build();
    return info;
}

const TClassInfo* TComboBox::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TComboBox::StaticClassInfo()
{
    using C = TComboBox;
    static const TClassInfo info = TClassInfoBuilder<C>("TComboBox", &TControl::StaticClassInfo())
        .Object("Items", &C::Items, [](C& c, TStrings* v) { assignStrings(c.Items(), v); })
        .Int("ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1)
        .Str("Text", &C::Text, &C::SetText)
        .Build();
    return info;
}

const TClassInfo* TRadioGroup::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TRadioGroup::StaticClassInfo()
{
    using C = TRadioGroup;
    static const TClassInfo info = TClassInfoBuilder<C>("TRadioGroup", &TControl::StaticClassInfo())
        .Str("Caption", &C::Caption, &C::SetCaption)
        .Object("Items", &C::Items, [](C& c, TStrings* v) { assignStrings(c.Items(), v); })
        .Int("ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1)
        .Int("Columns", &C::Columns, &C::SetColumns, 1)
        .Build();
    return info;
}

const TClassInfo* TCustomForm::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TCustomForm::StaticClassInfo()
{
    using C = TCustomForm;
    static const TClassInfo info = TClassInfoBuilder<C>("TCustomForm", &TControl::StaticClassInfo())
        .Str("Caption", &C::Caption, &C::SetCaption)
        .Enum("Position", positionInfo, &C::Position, &C::SetPosition, poDesigned)
        .Enum("WindowState", windowStateInfo, &C::WindowState, &C::SetWindowState, wsNormal)
        .Build();
    return info;
}

const TClassInfo* TMenuItem::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TMenuItem::StaticClassInfo()
{
    using C = TMenuItem;
    static const TClassInfo info = TClassInfoBuilder<C>("TMenuItem", &TComponent::StaticClassInfo())
        .Str("Caption", &C::Caption, &C::SetCaption)
        .Bool("Checked", &C::Checked, &C::SetChecked, false)
        .Bool("Enabled", &C::Enabled, &C::SetEnabled, true)
        .Bool("Visible", &C::Visible, &C::SetVisible, true)
        .Build();
    return info;
}

const TClassInfo* TTabSheet::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TTabSheet::StaticClassInfo()
{
    using C = TTabSheet;
    static const TClassInfo info = TClassInfoBuilder<C>("TTabSheet", &TControl::StaticClassInfo())
        .Str("Caption", &C::Caption, &C::SetCaption)
        .Int("PageIndex", &C::PageIndex, &C::SetPageIndex)
        .Stored(false)  // the order of the pages says it
        .Bool("TabVisible", &C::TabVisible, &C::SetTabVisible, true)
        .Build();
    return info;
}

const TClassInfo* TPageControl::ClassInfo() const { return &StaticClassInfo(); }
const TClassInfo& TPageControl::StaticClassInfo()
{
    using C = TPageControl;
    static const TClassInfo info = TClassInfoBuilder<C>("TPageControl", &TControl::StaticClassInfo())
        .Int("ActivePageIndex", &C::ActivePageIndex, &C::SetActivePageIndex, -1)
        .Int("TabHeight", &C::TabHeight, &C::SetTabHeight, 0)
        .Int("TabWidth", &C::TabWidth, &C::SetTabWidth, 0)
        .Build();
    return info;
}
