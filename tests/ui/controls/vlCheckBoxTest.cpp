// Tests of the check states' value formats, the check box properties' value
// rules and registration, and the pixels of the check element.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/graphics/DeviceContext.h"
#include "platform/rtl/Startup.h"
#include "tests/harness/Mutation.h"
#include "ui/controls/vlCheckBox.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "tests/ui/foundation/ThemedLibrary.h"
#include "ui/foundation/vxThemeManager.h"
#include "ui/foundation/vxUxTheme.h"

namespace {

struct Captions : IvlCaptionList {
    std::vector<String> Items;
    Captions(std::initializer_list<const char*> AItems)
    {
        for (const char* c : AItems)
            Items.push_back(String::fromUtf8(c));
    }
    int GetCount() const override { return int(Items.size()); }
    String GetCaption(int AIndex) const override { return Items.at(size_t(AIndex)); }
};

const TvlCheckStates kCheckedGrayedUnchecked{cbsChecked, cbsGrayed, cbsUnchecked};

// ---- value formats ---------------------------------------------------------------------

TEST(CheckStatesFormats, BuildAndReadBackTheSameStates)
{
    const Captions items{"a", "bc", "d"};
    struct Case {
        TvlCheckStatesValueFormat Format;
        TvlCheckStates States;
        Variant Value;
    } cases[] = {
        {cvfCaptions, kCheckedGrayedUnchecked, Variant("2:bc;1:a")},
        {cvfCaptions, {cbsUnchecked, cbsUnchecked, cbsUnchecked}, Variant("")},
        {cvfCaptions, {cbsChecked, cbsUnchecked, cbsChecked}, Variant(";1:a1:d")},
        {cvfIndices, kCheckedGrayedUnchecked, Variant("1;0")},
        {cvfIndices, {cbsGrayed, cbsChecked, cbsChecked}, Variant("0;1,2")},
        {cvfIndices, {cbsUnchecked, cbsUnchecked, cbsUnchecked}, Variant("")},
        {cvfStatesString, {cbsChecked, cbsUnchecked, cbsGrayed}, Variant("102")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(VarToStr(c.Value).toStdString());
        const Variant built = CheckStatesToEditValue(c.States, &items, c.Format);
        EXPECT_TRUE(VarIsStr(built));
        EXPECT_EQ(VarToStr(built), VarToStr(c.Value));
        TvlCheckStates read{cbsGrayed};
        EXPECT_TRUE(CalculateCheckStates(c.Value, &items, c.Format, read));
        EXPECT_EQ(read, c.States);
    }
}

TEST(CheckStatesFormats, IntegerMaskIsSixtyFourBitsWide)
{
    const Captions three{"a", "b", "c"};
    const Variant five = CheckStatesToEditValue({cbsChecked, cbsGrayed, cbsChecked}, &three, cvfInteger);
    EXPECT_EQ(five.VType(), varInt64);
    EXPECT_EQ(five.AsInt64(), 5);
    TvlCheckStates read;
    ASSERT_TRUE(CalculateCheckStates(Variant("5"), &three, cvfInteger, read));
    EXPECT_EQ(read, (TvlCheckStates{cbsChecked, cbsUnchecked, cbsChecked}));
    ASSERT_TRUE(CalculateCheckStates(Null(), &three, cvfInteger, read));
    EXPECT_EQ(read, (TvlCheckStates{cbsUnchecked, cbsUnchecked, cbsUnchecked}));

    // 65 items: item 63 is the sign bit, item 64 is not represented.
    Captions many{};
    for (int i = 0; i < 65; ++i)
        many.Items.push_back(String::number(i));
    TvlCheckStates states(65, cbsUnchecked);
    states[0] = states[63] = states[64] = cbsChecked;
    const Variant mask = CheckStatesToEditValue(states, &many, cvfInteger);
    EXPECT_EQ(static_cast<uint64_t>(mask.AsInt64()), (uint64_t{1} << 63) | 1u);
    ASSERT_TRUE(CalculateCheckStates(mask, &many, cvfInteger, read));
    ASSERT_EQ(read.size(), 65u);
    EXPECT_EQ(read[0], cbsChecked);
    EXPECT_EQ(read[63], cbsChecked);
    EXPECT_EQ(read[64], cbsUnchecked);
}

TEST(CheckStatesFormats, ShortStatesTextLeavesTheRestUnchecked)
{
    const Captions items{"a", "b", "c"};
    TvlCheckStates read;
    ASSERT_TRUE(CalculateCheckStates(Variant("1"), &items, cvfStatesString, read));
    EXPECT_EQ(read, (TvlCheckStates{cbsChecked, cbsUnchecked, cbsUnchecked}));
    // Characters beyond the items are not looked at.
    ASSERT_TRUE(CalculateCheckStates(Variant("0129"), &items, cvfStatesString, read));
    EXPECT_EQ(read, (TvlCheckStates{cbsUnchecked, cbsChecked, cbsGrayed}));
}

TEST(CheckStatesFormats, MalformedValuesFailAndLeaveEveryItemUnchecked)
{
    const Captions items{"a", "bc", "d"};
    struct Case {
        TvlCheckStatesValueFormat Format;
        Variant Value;
    } cases[] = {
        {cvfCaptions, Variant("2:bc;1:a;")},          // trailing semicolon
        {cvfCaptions, Variant("1:x")},                // a caption no item has
        {cvfCaptions, Variant("1:a1:a")},             // one entry left over
        {cvfCaptions, Variant("9:a")},                // runs past the end
        {cvfCaptions, Variant("2147483647:a")},       // a huge length
        {cvfCaptions, Variant("99999999999999:a")},   // beyond 2^31
        {cvfCaptions, Variant("2bc")},                // no colon
        {cvfCaptions, Variant(":a")},                 // no length
        {cvfCaptions, Variant("1:a;;1:d")},           // a second semicolon
        {cvfCaptions, Variant(12)},                   // not a text
        {cvfIndices, Variant("5")},                   // index not below the count
        {cvfIndices, Variant("3")},
        {cvfIndices, Variant("1;")},
        {cvfIndices, Variant("1;0;2")},
        {cvfIndices, Variant("a")},
        {cvfIndices, Variant("-1")},
        {cvfIndices, Variant("4294967296")},
        {cvfIndices, Variant(1.5)},
        {cvfInteger, Variant("5x")},
        {cvfInteger, Variant("")},
        {cvfInteger, Unassigned()},
        {cvfStatesString, Variant("13")},
        {cvfStatesString, Variant("1 ")},
        {cvfStatesString, Variant(true)},
        {cvfCustom, Variant("1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(VarToStr(c.Value).toStdString() + " format " + std::to_string(int(c.Format)));
        TvlCheckStates read{cbsChecked};
        EXPECT_FALSE(CalculateCheckStates(c.Value, &items, c.Format, read));
        EXPECT_EQ(read, (TvlCheckStates{cbsUnchecked, cbsUnchecked, cbsUnchecked}));
    }
    EXPECT_TRUE(VarIsNull(CheckStatesToEditValue(kCheckedGrayedUnchecked, &items, cvfCustom)));
}

TEST(CheckStatesFormats, IndicesReadGrayedThenChecked)
{
    const Captions items{"a", "b", "c"};
    TvlCheckStates read;
    ASSERT_TRUE(CalculateCheckStates(Variant("0,2"), &items, cvfIndices, read));
    EXPECT_EQ(read, (TvlCheckStates{cbsGrayed, cbsUnchecked, cbsGrayed}));
    ASSERT_TRUE(CalculateCheckStates(Null(), &items, cvfIndices, read));
    EXPECT_EQ(read, (TvlCheckStates{cbsUnchecked, cbsUnchecked, cbsUnchecked}));
}

TEST(CheckStatesFormats, CaptionsMatchIgnoringCase)
{
    const Captions items{"Alpha", "beta"};
    TvlCheckStates read;
    ASSERT_TRUE(CalculateCheckStates(Variant("5:ALPHA;4:Beta"), &items, cvfCaptions, read));
    EXPECT_EQ(read, (TvlCheckStates{cbsGrayed, cbsChecked}));
}

// Every mutant of valid values reads or fails cleanly; a value that reads
// builds back into a value that reads the same states.
TEST(CheckStatesFormats, MutatedValuesNeverCrashAndRoundTrip)
{
    const Captions items{"a", "bc", "d", "e f", "g;h", "i:j"};
    const std::vector<QByteArray> seeds{"2:bc;1:a", "3:e f;3:g;h1:d", "1;0,2,5", "0,3;4", "102210", "5",
                                        "-9223372036854775808", ";3:i:j"};
    const TvlCheckStatesValueFormat formats[] = {cvfCaptions, cvfIndices, cvfInteger, cvfStatesString};
    int readCount = 0;
    vorlane::test::ForEachMutation(seeds, 52, 2000, [&](const QByteArray& mutant) {
        const Variant value(String::fromUtf8(mutant));
        for (const TvlCheckStatesValueFormat format : formats) {
            TvlCheckStates states;
            if (!CalculateCheckStates(value, &items, format, states)) {
                for (const TvlCheckBoxState s : states)
                    ASSERT_EQ(s, cbsUnchecked);
                continue;
            }
            ++readCount;
            TvlCheckStates again;
            ASSERT_TRUE(CalculateCheckStates(CheckStatesToEditValue(states, &items, format), &items, format, again));
            ASSERT_EQ(again, states);
        }
    });
    EXPECT_GT(readCount, 100);
}

// ---- properties ------------------------------------------------------------------------------

TEST(CheckBoxProperties, EditValuesMapToStatesByExactEquality)
{
    TvlCheckBoxProperties p(nullptr);
    p.SetValueChecked(1);
    p.SetValueUnchecked(0);
    EXPECT_EQ(EditValueToCheckState(&p, Variant(1)), cbsChecked);
    EXPECT_EQ(EditValueToCheckState(&p, Variant(0)), cbsUnchecked);
    EXPECT_EQ(EditValueToCheckState(&p, Null()), cbsGrayed);
    EXPECT_EQ(EditValueToCheckState(&p, Variant(5)), cbsGrayed);
    EXPECT_EQ(EditValueToCheckState(&p, Variant("abc")), cbsGrayed);
    EXPECT_EQ(p.GetDisplayText(Variant(1)), String::fromLatin1("True"));
    EXPECT_EQ(p.GetDisplayText(Variant(0)), String::fromLatin1("False"));
    EXPECT_EQ(p.GetDisplayText(Variant(7)), String());
    EXPECT_TRUE(p.CompareDisplayValues(Null(), Variant(5)));
    EXPECT_FALSE(p.CompareDisplayValues(Variant(1), Variant(0)));
    Variant v(5);
    EXPECT_FALSE(p.IsEditValueValid(v, false));
    v = Null();
    EXPECT_TRUE(p.IsEditValueValid(v, false));
}

TEST(CheckBoxProperties, StateValueSettersDropClashingValues)
{
    TvlCheckBoxProperties p(nullptr);
    EXPECT_EQ(p.ValueChecked().VType(), varBoolean);
    p.SetValueChecked(false);  // the unchecked value
    EXPECT_TRUE(p.ValueChecked().AsBoolean());
    p.SetValueChecked(Null());
    EXPECT_TRUE(p.ValueChecked().AsBoolean());
    p.SetValueUnchecked(Null());
    EXPECT_FALSE(p.ValueUnchecked().AsBoolean());
    p.SetValueGrayed(2);
    EXPECT_EQ(p.ValueGrayed().AsInteger(), 2);
    p.SetValueGrayed(Null());  // none of the three is Null now
    EXPECT_TRUE(VarIsNull(p.ValueGrayed()));

    p.SetStateValues(1, 1, 0);  // not pairwise different
    EXPECT_EQ(p.ValueChecked().VType(), varBoolean);
    p.SetStateValues(Variant("Y"), Null(), Variant("N"));
    EXPECT_EQ(VarToStr(p.ValueChecked()), String::fromLatin1("Y"));

    TvlCheckBoxProperties copy(nullptr);
    copy.Assign(&p);
    EXPECT_EQ(VarToStr(copy.ValueUnchecked()), String::fromLatin1("N"));
    EXPECT_EQ(copy.GetSupportedOperations(), 0x5ADu);
    EXPECT_TRUE(copy.GetSpecialFeatures() & 4u);
    EXPECT_TRUE(copy.IsActivationKey(QLatin1Char(' ')));
    EXPECT_FALSE(copy.IsActivationKey(QLatin1Char('x')));
}

TEST(CheckBoxProperties, LegacyCaptionIsReadButNeverWritten)
{
    TvlCheckBoxProperties p(nullptr);
    const TPropInfo* caption = TvlCheckBoxProperties::StaticClassInfo().FindProp(String::fromLatin1("Caption"));
    ASSERT_NE(caption, nullptr);
    caption->Setter(&p, TPropValue(String::fromLatin1("Old")));
    EXPECT_EQ(p.Caption(), String::fromLatin1("Old"));
    EXPECT_TRUE(p.IsCaptionAssigned());
    ASSERT_TRUE(caption->StoredFn);
    EXPECT_FALSE(caption->StoredFn(&p));
    const TPropInfo* display = TvlCheckBoxProperties::StaticClassInfo().FindProp(String::fromLatin1("DisplayChecked"));
    EXPECT_FALSE(display->StoredFn(&p));
    p.SetDisplayChecked(String::fromLatin1("true"));  // case counts
    EXPECT_TRUE(display->StoredFn(&p));
}

TEST(CheckBoxProperties, UnitRegistersPropertiesAndHelper)
{
    TStartupList units;
    AddvlEditUnit(units);
    AddvlCheckBoxUnit(units);
    units.Initialize();
    EXPECT_EQ(FindEditPropertiesClass(String::fromLatin1("TvlCheckBoxProperties")),
              &TvlCheckBoxProperties::StaticClassInfo());
    const int index = GetRegisteredEditProperties()->IndexOf(&TvlCheckBoxProperties::StaticClassInfo());
    ASSERT_GE(index, 0);
    EXPECT_EQ(GetRegisteredEditProperties()->RegistrationTexts(index),
              String::fromLatin1("CheckBox|Represents a check box control that allows selecting an option"));
    EXPECT_EQ(GetFilterEditsController()->FindHelper(&TvlCheckBoxProperties::StaticClassInfo()),
              TvlFilterCheckBoxHelper::Instance());
    ASSERT_NE(CheckMarkBitmap(), nullptr);
    EXPECT_EQ(CheckMarkBitmap()->Width(), 13);
    units.Finalize();
    EXPECT_EQ(CheckMarkBitmap(), nullptr);
    EXPECT_EQ(FindEditPropertiesClass(String::fromLatin1("TvlCheckBoxProperties")), nullptr);
}

TEST(CheckBoxProperties, FilterHelperOffersTheTwoValues)
{
    TvlCheckBoxProperties p(nullptr);
    Variant value;
    String text;
    TvlFilterCheckBoxHelper::GetFilterValue(&p, 0, value, text);
    EXPECT_TRUE(value.AsBoolean());
    EXPECT_EQ(text, String::fromLatin1("True"));
    TvlFilterCheckBoxHelper::GetFilterValue(&p, -1, value, text);
    EXPECT_TRUE(VarIsNull(value));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(TvlFilterCheckBoxHelper::ShowFilterValue(&p, Variant(false)), 1);
    EXPECT_EQ(TvlFilterCheckBoxHelper::ShowFilterValue(&p, Null()), -1);
}

// ---- check element -------------------------------------------------------------------

TEST(CheckElement, GlyphIndexAndThemeStates)
{
    EXPECT_EQ(GetCheckGlyphIndex(cbsChecked, cmsPressed, true, 6), 4);
    EXPECT_EQ(GetCheckGlyphIndex(cbsChecked, cmsPressed, false, 2), 1);
    EXPECT_EQ(GetCheckGlyphIndex(cbsChecked, cmsPressed, false, 4), 3);
    EXPECT_EQ(GetCheckGlyphIndex(cbsGrayed, cmsNormal, true, 6), 2);
    EXPECT_EQ(GetCheckGlyphIndex(cbsGrayed, cmsPressed, true, 6), 5);
    EXPECT_EQ(GetCheckThemeStateId(cbsUnchecked, cmsNormal), 1);
    EXPECT_EQ(GetCheckThemeStateId(cbsChecked, cmsHot), 6);
    EXPECT_EQ(GetCheckThemeStateId(cbsGrayed, cmsDisabled), 12);
    const int offsets[] = {2, 1, 0, 0, 0, 1, 1};
    for (int s = ebsNone; s <= ebsOffice11; ++s)
        EXPECT_EQ(GetCheckElementBorderOffset(TvlEditBorderStyle(s), false, false, nullptr), offsets[s]) << s;
    EXPECT_EQ(GetCheckElementBorderOffset(ebsNone, true, false, nullptr), 0);
    EXPECT_EQ(GetCheckElementBorderOffset(ebsNone, false, true, nullptr), 0);
    EXPECT_EQ(GetCheckElementBorderOffsetByKind(lfUltraFlat, false, false, nullptr), 1);
    EXPECT_EQ(GetCheckElementBorderOffsetByKind(lfStandard, false, false, nullptr), 0);
}

QRgb rgbOf(TColor c)
{
    const TColor v = ColorToRGB(c);
    return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
}

const QRgb kSentinel = qRgb(255, 0, 255);

struct ElementFixture : ::testing::Test {
    ElementFixture() { InitCheckMarkBitmap(); }
    ~ElementFixture() override { FreeCheckMarkBitmap(); }

    // The element drawn in (4, 4, 17, 17) on the sentinel colour.
    QImage draw(TvlCheckBoxState AState, TvlCheckMarkState AMark, TvlEditBorderStyle AStyle,
                TvlCheckBoxNullValueShowingStyle ANull = nssGrayedChecked, bool ANative = false,
                TBitmap* AGlyph = nullptr, int AGlyphCount = 0, TvlCheckSkinPainter ASkin = nullptr)
    {
        QImage image(24, 24, QImage::Format_RGB32);
        image.fill(kSentinel);
        TDeviceContext dc(&image);
        TCanvas canvas;
        canvas.SetHandle(&dc);
        TvlCanvas vc(&canvas);
        DrawCheckElement(&vc, Rect(4, 4, 17, 17), AState, AMark, AGlyph, AGlyphCount, AStyle, ANative, clBlue,
                         clYellow, true, false, false, true, ASkin, ANull);
        canvas.SetHandle(nullptr);
        return image;
    }
    // The mask's set pixels inside the content (9 x 9 from (6, 6)).
    static std::vector<TPoint> markPixels()
    {
        std::vector<TPoint> result;
        const QImage mask = CheckMarkBitmap()->Image();
        for (int y = 2; y < 11; ++y)
            for (int x = 2; x < 11; ++x)
                if (qGray(mask.pixel(x, y)) < 128)
                    result.push_back(TPoint{4 + x, 4 + y});
        return result;
    }
};

TEST_F(ElementFixture, UltraFlatFillAndFrameFollowTheMarkState)
{
    struct Case {
        TvlCheckMarkState Mark;
        TColor Fill;
        TColor Frame;
    } cases[] = {
        {cmsNormal, clWindow, clBtnShadow},
        {cmsHot, GetEditButtonHighlightColor(false, false), GetEditBorderHighlightColor(false)},
        {cmsPressed, GetEditButtonHighlightColor(true, false), GetEditBorderHighlightColor(false)},
        {cmsDisabled, clBtnFace, clBtnShadow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Mark));
        const QImage img = draw(cbsChecked, c.Mark, ebsUltraFlat);
        EXPECT_EQ(img.pixel(4, 4), rgbOf(clYellow));    // the one-pixel ring
        EXPECT_EQ(img.pixel(16, 10), rgbOf(clYellow));
        EXPECT_EQ(img.pixel(5, 5), rgbOf(c.Frame));    // the frame
        EXPECT_EQ(img.pixel(15, 10), rgbOf(c.Frame));
        EXPECT_EQ(img.pixel(6, 6), rgbOf(c.Fill));     // content without mark
        EXPECT_EQ(img.pixel(3, 3), kSentinel);
        const QRgb mark = rgbOf(c.Mark == cmsDisabled ? clBtnShadow : clBtnText);
        for (const TPoint& p : markPixels())
            ASSERT_EQ(img.pixel(p.X, p.Y), mark) << p.X << "," << p.Y;
    }
}

TEST_F(ElementFixture, GrayedFollowsTheNullStyle)
{
    const QImage unchecked = draw(cbsUnchecked, cmsNormal, ebsUltraFlat);
    EXPECT_EQ(draw(cbsGrayed, cmsNormal, ebsUltraFlat, nssUnchecked), unchecked);
    EXPECT_EQ(draw(cbsGrayed, cmsNormal, ebs3D, nssUnchecked), draw(cbsUnchecked, cmsNormal, ebs3D));
    for (const TPoint& p : markPixels())
        ASSERT_EQ(unchecked.pixel(p.X, p.Y), rgbOf(clWindow));

    const QImage inactive = draw(cbsGrayed, cmsNormal, ebsUltraFlat, nssInactive);
    for (const TPoint& p : markPixels())
        ASSERT_EQ(inactive.pixel(p.X, p.Y), rgbOf(clBtnFace));
    EXPECT_EQ(inactive.pixel(6, 6), rgbOf(clBtnFace));

    const QImage grayedChecked = draw(cbsGrayed, cmsNormal, ebsUltraFlat, nssGrayedChecked);
    for (const TPoint& p : markPixels())
        ASSERT_EQ(grayedChecked.pixel(p.X, p.Y), rgbOf(clBtnShadow));
    EXPECT_EQ(grayedChecked.pixel(6, 6), rgbOf(clWindow));
}

TEST_F(ElementFixture, ClassicContentShowsOnlyInsideTheOwnFrame)
{
    const QImage single = draw(cbsChecked, cmsNormal, ebsSingle);
    EXPECT_EQ(single.pixel(4, 4), rgbOf(clYellow));
    EXPECT_EQ(single.pixel(5, 5), rgbOf(clBlue));      // border colour frame
    EXPECT_EQ(single.pixel(6, 6), rgbOf(clWindow));    // the system box's inside
    const QImage thick = draw(cbsUnchecked, cmsNormal, ebsThick);
    EXPECT_EQ(thick.pixel(4, 4), rgbOf(clBlue));
    EXPECT_EQ(thick.pixel(5, 5), rgbOf(clBlue));
    EXPECT_EQ(thick.pixel(6, 6), rgbOf(clWindow));
    const QImage flat = draw(cbsUnchecked, cmsNormal, ebsFlat);
    EXPECT_EQ(flat.pixel(4, 4), rgbOf(clBtnShadow));
    EXPECT_EQ(flat.pixel(16, 16), rgbOf(clBtnHighlight));
    EXPECT_EQ(flat.pixel(5, 5), rgbOf(clBtnFace));
    const QImage threeD = draw(cbsUnchecked, cmsPressed, ebs3D);
    EXPECT_EQ(threeD.pixel(5, 5), rgbOf(cl3DDkShadow));
    EXPECT_EQ(threeD.pixel(15, 15), rgbOf(cl3DLight));
    EXPECT_EQ(threeD.pixel(6, 6), rgbOf(clBtnFace));   // pressed
    // A checked classic box has mark pixels in the text colour.
    const QImage checked3D = draw(cbsChecked, cmsNormal, ebs3D);
    int ink = 0;
    for (int y = 6; y < 15; ++y)
        for (int x = 6; x < 15; ++x)
            ink += checked3D.pixel(x, y) == rgbOf(clBtnText);
    EXPECT_GT(ink, 5);
    // Grayed with the mark: the mixed look, a grey tick on the button face.
    const QImage mixed = draw(cbsGrayed, cmsNormal, ebs3D, nssGrayedChecked);
    EXPECT_EQ(mixed.pixel(6, 6), rgbOf(clBtnFace));
    int grey = 0, black = 0;
    for (int y = 6; y < 15; ++y)
        for (int x = 6; x < 15; ++x) {
            grey += mixed.pixel(x, y) == rgbOf(clBtnShadow);
            black += mixed.pixel(x, y) == rgbOf(clBtnText);
        }
    EXPECT_GT(grey, 5);
    EXPECT_EQ(black, 0);
}

TEST_F(ElementFixture, NativeStyleDrawsOnlyTheThemePart)
{
    const Themed themed;
    TvxRecordingThemeLibrary* theme = themed.fake();
    const QImage img = draw(cbsGrayed, cmsHot, ebsNone, nssGrayedChecked, true);
    ASSERT_FALSE(theme->Log.empty());
    EXPECT_EQ(theme->Log.back().Part, 3);
    EXPECT_EQ(theme->Log.back().State, 10);  // mixed, hot
    EXPECT_EQ(theme->Log.back().R, Rect(4, 4, 17, 17));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(img.pixel(x, y), kSentinel);
}

TEST_F(ElementFixture, AGlyphWinsOverTheSkinPainter)
{
    // A two-cell strip: unchecked red, checked green.
    TBitmap glyph;
    glyph.SetSize(26, 13);
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(Rect(0, 0, 13, 13));
    glyph.Canvas()->Brush()->SetColor(clLime);
    glyph.Canvas()->FillRect(Rect(13, 0, 26, 13));
    glyph.Canvas()->SetPixels(13, 12, clWhite);  // the cell's transparent colour
    const QImage img = draw(cbsChecked, cmsPressed, ebsUltraFlat, nssGrayedChecked, false, &glyph, 2,
                            TvlUltraFlatLookAndFeelPainter::Instance());
    EXPECT_EQ(img.pixel(10, 10), rgbOf(clLime));
    EXPECT_EQ(img.pixel(3, 3), kSentinel);
}

}  // namespace
