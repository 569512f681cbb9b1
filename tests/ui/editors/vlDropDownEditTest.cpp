// Tests of the drop-down family's settings: the drop-down, combo box and
// popup editor properties, and the row snapping of a sizeable combo list.
#include <gtest/gtest.h>

#include "platform/graphics/SysMetrics.h"
#include "ui/editors/vlDropDownEdit.h"

namespace {

TEST(vlDropDownEditProperties, DefaultsButtonAndGlyph)
{
    TvlComboBoxProperties p(nullptr);
    ASSERT_EQ(p.Buttons()->Count(), 1);
    EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkDown);
    EXPECT_EQ(p.GlyphButtonIndex(), 0);
    EXPECT_TRUE(p.ImmediateDropDown());
    EXPECT_TRUE(p.DropDownAutoWidth());
    EXPECT_FALSE(p.DropDownSizeable());
    EXPECT_EQ(p.DropDownRows(), 8);
    EXPECT_EQ(p.DropDownListStyle(), lsEditList);
    EXPECT_EQ(p.PopupVertAlignment(), pvaBottom);

    // A glyph turns the button into a glyph button; without one it is a
    // drop-down button again.
    TBitmap glyph;
    glyph.SetSize(8, 8);
    p.SetButtonGlyph(&glyph);
    EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkGlyph);
    TBitmap empty;
    p.SetButtonGlyph(&empty);
    EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkDown);

    // The glyph moves with GlyphButtonIndex.
    p.Buttons()->Add();
    p.SetButtonGlyph(&glyph);
    p.SetGlyphButtonIndex(1);
    EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkDown);
    EXPECT_EQ(p.Buttons()->Items(1)->Kind(), bkGlyph);
    EXPECT_FALSE(p.Buttons()->Items(1)->Glyph()->Empty());

    // DropDownRows takes positive counts only.
    p.SetDropDownRows(0);
    EXPECT_EQ(p.DropDownRows(), 8);
    p.SetDropDownRows(1);
    EXPECT_EQ(p.DropDownRows(), 1);
    EXPECT_EQ(p.GetDropDownPageRowCount(), 1);

    const struct {
        TvlEditDropDownListStyle Style;
        TvlEditEditingStyle Editing;
        bool OnClick;
    } styles[] = {{lsEditFixedList, esEditList, false}, {lsEditList, esEdit, false}, {lsFixedList, esFixedList, true}};
    for (const auto& s : styles) {
        p.SetDropDownListStyle(s.Style);
        EXPECT_EQ(p.GetEditingStyle(), s.Editing);
        EXPECT_EQ(p.DropDownOnClick(), s.OnClick);
    }
}

TEST(vlDropDownEditProperties, PopupSizesKeepTheirMinima)
{
    TvlPopupEditProperties p(nullptr);
    EXPECT_EQ(p.PopupWidth(), 250);
    EXPECT_EQ(p.PopupHeight(), 200);
    EXPECT_EQ(p.PopupMinWidth(), 100);
    EXPECT_EQ(p.PopupMinHeight(), 100);
    EXPECT_TRUE(p.PopupSizeable());
    EXPECT_TRUE(p.ImmediatePopup());
    EXPECT_TRUE(p.PopupCapturesFocus());
    EXPECT_FALSE(p.HasLookupListInPopup());

    p.SetPopupWidth(30);
    EXPECT_EQ(p.PopupWidth(), 100);
    p.SetPopupWidth(0);
    EXPECT_EQ(p.PopupWidth(), 0);  // the popup's own width
    p.SetPopupWidth(-5);
    EXPECT_EQ(p.PopupWidth(), 0);
    p.SetPopupHeight(10);
    EXPECT_EQ(p.PopupHeight(), 100);
    p.SetPopupMinHeight(-3);
    EXPECT_EQ(p.PopupMinHeight(), 0);
    p.SetPopupWidth(150);
    p.SetPopupMinWidth(180);  // the width is raised to the new minimum
    EXPECT_EQ(p.PopupWidth(), 180);

    const struct {
        TAlignment Alignment;
        TvlPopupHorzAlignment Horz;
    } alignments[] = {{taLeftJustify, phaLeft}, {taRightJustify, phaRight}, {taCenter, phaCenter}};
    for (const auto& a : alignments) {
        p.SetPopupAlignment(a.Alignment);
        EXPECT_EQ(p.PopupHorzAlignment(), a.Horz);
        EXPECT_EQ(p.PopupAlignment(), a.Alignment);
    }

    TvlPopupEditProperties copy(nullptr);
    copy.Assign(&p);
    EXPECT_EQ(copy.PopupWidth(), 180);
    EXPECT_EQ(copy.PopupMinWidth(), 180);
    EXPECT_EQ(copy.PopupAlignment(), taCenter);
}

// A control that goes away leaves the popup editor without it.
TEST(vlDropDownEditProperties, FreedPopupControlIsCleared)
{
    TvlPopupEditProperties p(nullptr);
    {
        TControl control(nullptr);
        p.SetPopupControl(&control);
        EXPECT_EQ(p.PopupControl(), &control);
    }
    EXPECT_EQ(p.PopupControl(), nullptr);
}

// Dragging the grip of a sizeable combo list leaves whole rows: a row that
// does not fit whole is dropped while growing and kept while shrinking.
TEST(vlComboBoxList, SnapsToWholeRows)
{
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    const int hbar = GetSystemMetrics(SM_CYHSCROLL);
    const std::vector<int> rows = {16, 16, 20, 16, 16, 30, 16};
    const TvlComboListSize current{100, 52};  // three rows
    const struct {
        int Width, Height, MaxHeight, ScrollWidth;
        int WantWidth, WantHeight;
        const char* Name;
    } cases[] = {
        {100, 68, 0, 50, 100, 68, "exactly four rows"},
        {100, 75, 0, 50, 100, 68, "growing: the fifth row is dropped"},
        {100, 40, 0, 50, 100, 52, "shrinking: the row that passed stays"},
        {100, 32, 0, 50, 100, 32, "exactly two rows"},
        {100, 500, 0, 50, 100, 130, "all rows"},
        {100, 500, 90, 50, 100, 84, "the maximum drops the row past it"},
        {100, 75, 0, 95, 100, 52 + hbar, "a horizontal bar when the items are wider"},
        {5, 75, 0, 0, 2 * bar, 68 - 16 + hbar, "the width keeps room for both bars"},
        {100, 3, 0, 50, 100, 16, "a row at least"},
    };
    for (const auto& c : cases) {
        TvlComboListSize size{c.Width, c.Height};
        EXPECT_TRUE(SnapComboListToRows(rows, current, size, 0, c.MaxHeight, c.ScrollWidth)) << c.Name;
        EXPECT_EQ(size.Height, c.WantHeight) << c.Name;
        EXPECT_EQ(size.Width, c.WantWidth) << c.Name;
    }
    TvlComboListSize same = current;
    EXPECT_FALSE(SnapComboListToRows(rows, current, same, 0, 0, 50));
}

}  // namespace
