// Tests of the filter editing layer: the operators an editor kind offers,
// the check of typed filter values, and the helper registry's nearest-
// ancestor lookup.
#include <gtest/gtest.h>

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

}  // namespace

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
    EXPECT_EQ(controller.FindHelper(&TvlImageComboBoxProperties::StaticClassInfo()), nullptr);
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
