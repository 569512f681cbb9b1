// Tests of the filter editing layer: the operators an editor kind offers,
// the check of typed filter values, the helper registry's nearest-
// ancestor lookup, and the value editors the helpers set up.
#include <gtest/gtest.h>

#include "EditControlFixture.h"
#include "ui/editors/vlFilterControlUtils.h"
#include "ui/editors/vlImageComboBox.h"
#include "ui/editors/vlTextEdit.h"

namespace {

TvlFilterControlOperators ops(std::initializer_list<int> AValues)
{
    TvlFilterControlOperators r = 0;
    for (int v : AValues)
        r |= FilterControlOperatorBit(TvlFilterControlOperator(v));
    return r;
}

// A text properties class of some other editor, below the text editor's parent.
class OtherTextProperties : public TvlCustomTextEditProperties {
public:
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info{String::fromLatin1("OtherTextProperties"),
                                     &TvlCustomTextEditProperties::StaticClassInfo(), {}};
        return info;
    }
};

class OtherHelper : public TvlCustomFilterEditHelper {
public:
    const TClassInfo& HelperClass() const override
    {
        static const TClassInfo info{String::fromLatin1("OtherHelper"), &TvlCustomFilterEditHelper::StaticClassInfo(),
                                     {}};
        return info;
    }
};

class DropsProviderHelper : public TvlFilterTextEditHelper {
public:
    bool KeepsDefaultValuesProvider(const TvlCustomEditProperties*) const override { return false; }
};

// A grid column's data: read-only, right aligned.
struct ReadOnlyColumn : TvlCustomEditDefaultValuesProvider {
    ReadOnlyColumn() : TvlCustomEditDefaultValuesProvider(nullptr) {}
    bool ProvidedReadOnly() const override { return true; }
    TAlignment ProvidedAlignment() const override { return taRightJustify; }
};

struct Handlers {
    void Notify(TObject*) {}
    void Click(TObject*, int) {}
};

// Column properties as a grid would hold them: handlers, a button, a
// read-only data provider, and settings a value entry must not keep.
struct ColumnProperties {
    explicit ColumnProperties(TvlCustomEditProperties& AProperties) : P(AProperties)
    {
        P.OnChange = TNotifyEvent(&handlers, &Handlers::Notify);
        P.OnEditValueChanged = TNotifyEvent(&handlers, &Handlers::Notify);
        P.OnButtonClick = TvlEditButtonClickEvent(&handlers, &Handlers::Click);
        P.Buttons()->Add()->SetKind(bkEllipsis);
        P.SetDefaultValuesProvider(&provider);
        P.Alignment()->SetVert(taBottomJustify);
        P.SetBeepOnError(true);
        P.SetAutoSelect(false);
        P.SetMaxValue(9);
    }
    TvlCustomEditProperties& P;
    Handlers handlers;
    ReadOnlyColumn provider;
};

}  // namespace

// The value entry takes the column's settings but is always an editable,
// silent, plain entry without the column's handlers.
TEST(vlFilterControlUtils, InitializePropertiesMakesAPlainValueEntry)
{
    TvlTextEditProperties sourceProperties(nullptr);
    sourceProperties.SetHideSelection(false);
    sourceProperties.SetViewStyle(vsHideCursor);
    ColumnProperties source(sourceProperties);
    ASSERT_TRUE(source.P.ReadOnly());

    struct Case {
        const TvlCustomFilterEditHelper* helper;
        bool keepButtons;
        bool keepsProvider;
    };
    const DropsProviderHelper dropsProvider;
    for (const Case& c : {Case{TvlFilterTextEditHelper::Instance(), false, true},
                          Case{TvlFilterTextEditHelper::Instance(), true, true}, Case{&dropsProvider, false, false}}) {
        TvlTextEditProperties target(nullptr);
        target.SetValidateOnEnter(false);
        c.helper->InitializeProperties(&target, &source.P, c.keepButtons);
        EXPECT_EQ(target.MaxValue(), 9);
        EXPECT_EQ(target.Alignment()->Horz(), taLeftJustify);  // not the provider's right
        EXPECT_EQ(target.Alignment()->Vert(), taTopJustify);
        EXPECT_FALSE(target.BeepOnError());
        EXPECT_EQ(target.Buttons()->Count(), c.keepButtons ? 1 : 0);
        EXPECT_FALSE(target.ReadOnly());  // even with the read-only provider kept
        EXPECT_TRUE(target.ValidateOnEnter());
        EXPECT_EQ(target.DefaultValuesProvider(), c.keepsProvider ? &source.provider : nullptr);
        EXPECT_FALSE(target.OnChange.Assigned());
        EXPECT_FALSE(target.OnEditValueChanged.Assigned());
        EXPECT_FALSE(target.OnButtonClick.Assigned());
        EXPECT_TRUE(target.AutoSelect());
        EXPECT_TRUE(target.HideSelection());
        EXPECT_EQ(target.ViewStyle(), vsNormal);
    }
    // The column's own properties are untouched.
    EXPECT_TRUE(source.P.OnChange.Assigned());
    EXPECT_EQ(source.P.Buttons()->Count(), 1);
}

// The image combo box's entry is a list of the column's items that keeps
// its buttons and offers the comparisons a list allows.
TEST(vlFilterControlUtils, ImageComboBoxHelper)
{
    const TvlFilterImageComboBoxHelper* helper = TvlFilterImageComboBoxHelper::Instance();
    EXPECT_TRUE(helper->KeepsEditButtons());
    EXPECT_EQ(helper->SupportedOperators(nullptr, TvlStringValueType::Instance(), false), ops({1, 2, 9, 10}));
    EXPECT_EQ(helper->SupportedOperators(nullptr, TvlIntegerValueType::Instance(), true),
              ops({1, 2, 9, 10, 13, 14}));

    TvlImageComboBoxProperties sourceProperties(nullptr);
    sourceProperties.SetShowDescriptions(false);
    sourceProperties.SetImmediateDropDown(false);
    sourceProperties.SetPopupAlignment(taRightJustify);
    ColumnProperties source(sourceProperties);
    TvlImageComboBoxProperties target(nullptr);
    helper->InitializeProperties(&target, &source.P, helper->KeepsEditButtons());
    EXPECT_TRUE(target.ShowDescriptions());
    EXPECT_TRUE(target.ImmediateDropDown());
    EXPECT_EQ(target.PopupAlignment(), taLeftJustify);
    EXPECT_EQ(target.Buttons()->Count(), 2);  // the column's drop-down and ellipsis buttons stay
    EXPECT_FALSE(target.ReadOnly());
    EXPECT_TRUE(target.AutoSelect());
}

using vlFilterControlUtilsEdit = TEditControlFixture;

// A standalone value editor belongs to its caller; an in-place one is the
// list's free editor for the helper's editor class, reused. Either way it
// comes set up from the column, and values go in and out through the helper.
TEST_F(vlFilterControlUtilsEdit, GetFilterEditWriteAndRead)
{
    const TvlCustomFilterEditHelper* text = TvlFilterTextEditHelper::Instance();
    TvlTextEditProperties columnProperties(nullptr);
    ColumnProperties column(columnProperties);

    std::unique_ptr<TvlCustomEdit> edit = text->GetFilterEdit(&column.P);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->Owner(), nullptr);
    EXPECT_FALSE(edit->IsInplace());
    EXPECT_FALSE(edit->ActiveProperties()->ReadOnly());
    EXPECT_EQ(edit->ActiveProperties()->Buttons()->Count(), 0);
    EXPECT_FALSE(edit->ActiveProperties()->OnChange.Assigned());

    text->WriteFilterValue(edit.get(), &column.P, Variant(12));
    EXPECT_TRUE(VarCompareEqual(edit->EditValue(), Variant(12)));
    String displayText;
    Variant value;
    text->ReadFilterValue(edit.get(), &column.P, displayText, value);
    EXPECT_TRUE(VarCompareEqual(value, Variant(12)));
    EXPECT_EQ(displayText.toStdString(), "12");

    // The text read back is the column's text for the value.
    TvlImageComboBoxProperties statusProperties(nullptr);
    TvlImageComboBoxItem* done = statusProperties.Items()->Add();
    done->SetValue(Variant(2));
    done->SetDescription(String::fromLatin1("Done"));
    text->WriteFilterValue(edit.get(), &statusProperties, Variant(2));
    text->ReadFilterValue(edit.get(), &statusProperties, displayText, value);
    EXPECT_EQ(displayText.toStdString(), "Done");

    TvlInplaceEditList list(Form.get());
    TvlCustomEdit* inplace = text->GetFilterEdit(&column.P, list);
    ASSERT_NE(inplace, nullptr);
    EXPECT_TRUE(inplace->IsInplace());
    EXPECT_FALSE(inplace->ActiveProperties()->ReadOnly());
    EXPECT_EQ(text->GetFilterEdit(&column.P, list), inplace);
    EXPECT_EQ(list.Count(), 1);
}

TEST(vlFilterControlUtils, SupportedOperators)
{
    const TvlCustomFilterEditHelper* helper = TvlFilterTextEditHelper::Instance();
    EXPECT_EQ(helper->SupportedOperators(nullptr, TvlFloatValueType::Instance(), false),
              ops({1, 2, 3, 4, 5, 6, 9, 10}));
    EXPECT_EQ(helper->SupportedOperators(nullptr, TvlStringValueType::Instance(), true),
              ops({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_EQ(helper->SupportedOperators(nullptr, nullptr, true), ops({1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14}));
    EXPECT_FALSE(helper->KeepsEditButtons());
    EXPECT_FALSE(helper->UsesDisplayValue());
}

TEST(vlFilterControlUtils, ValidateFilterValue)
{
    const TvlCustomFilterEditHelper* helper = TvlFilterTextEditHelper::Instance();
    struct Case {
        Variant in;
        TvlFilterControlOperator op;
        TvlValueTypeClass type;
        bool fails;
        Variant out;
    };
    const Case cases[] = {
        {Variant(""), 1, TvlIntegerValueType::Instance(), false, Null()},
        {Variant(""), 1, TvlStringValueType::Instance(), false, Variant("")},
        {Variant("12"), 1, TvlIntegerValueType::Instance(), false, Variant(12)},
        {Variant("abc"), 1, TvlIntegerValueType::Instance(), true, Variant("abc")},
        {Variant("a%"), 7, TvlIntegerValueType::Instance(), false, Variant("a%")},
        {Variant("abc"), 1, nullptr, false, Variant("abc")},
    };
    for (const Case& c : cases) {
        Variant v = c.in;
        if (c.fails) {
            try {
                ValidateFilterValue(nullptr, v, c.op, helper, c.type);
                ADD_FAILURE() << "accepted " << c.in.AsString().toStdString();
            } catch (const EvlFilterControlError& e) {
                EXPECT_EQ(e.Message().toStdString(), "Invalid value");
            }
        } else {
            ValidateFilterValue(nullptr, v, c.op, helper, c.type);
            EXPECT_TRUE(VarCompareEqual(v, c.out)) << c.in.AsString().toStdString();
            EXPECT_EQ(VarType(v), VarType(c.out));
        }
    }
}

// A helper registered for a properties class answers for every class below
// that class's parent, unless a closer registration exists.
TEST(vlFilterControlUtils, RegistryFindsTheNearestRegisteredAncestorOfTheParent)
{
    TvlFilterEditsController controller;
    const TvlCustomFilterEditHelper* text = TvlFilterTextEditHelper::Instance();
    controller.Register(&TvlTextEditProperties::StaticClassInfo(), text);
    EXPECT_EQ(controller.FindHelper(&TvlTextEditProperties::StaticClassInfo()), text);
    EXPECT_EQ(controller.FindHelper(&OtherTextProperties::StaticClassInfo()), text);
    // The image combo box descends from the text editor's settings too.
    EXPECT_EQ(controller.FindHelper(&TvlImageComboBoxProperties::StaticClassInfo()), text);
    EXPECT_EQ(controller.FindHelper(&TvlCustomTextEditProperties::StaticClassInfo()), nullptr);

    OtherHelper other;
    controller.Register(&OtherTextProperties::StaticClassInfo(), &other);  // under TvlCustomTextEditProperties too
    controller.Register(&TvlImageComboBoxProperties::StaticClassInfo(), TvlFilterImageComboBoxHelper::Instance());
    EXPECT_EQ(controller.FindHelper(&TvlImageComboBoxProperties::StaticClassInfo()),
              TvlFilterImageComboBoxHelper::Instance());
    EXPECT_EQ(controller.FindHelper(&OtherTextProperties::StaticClassInfo()), &other);  // the later one wins
    controller.Unregister(&OtherTextProperties::StaticClassInfo(), &other);
    EXPECT_EQ(controller.FindHelper(&OtherTextProperties::StaticClassInfo()), text);
    EXPECT_EQ(controller.FindHelper(&TvlTextEditProperties::StaticClassInfo()), text);

    // The program's own registry holds the helpers of this library's editors.
    EXPECT_NE(GetFilterEditsController(), nullptr);
}
