#include "support/KitTypes.h"

#include "platform/rtl/ResString.h"

namespace {

// The descriptions are texts of the catalogues.
namespace KitTypesConsts {
VORLANE_RESOURCESTRING(SColor0, "Black");
VORLANE_RESOURCESTRING(SColor1, "Maroon");
VORLANE_RESOURCESTRING(SColor2, "Green");
VORLANE_RESOURCESTRING(SColor3, "Olive green");
VORLANE_RESOURCESTRING(SColor4, "Navy blue");
VORLANE_RESOURCESTRING(SColor5, "Purple");
VORLANE_RESOURCESTRING(SColor6, "Teal");
VORLANE_RESOURCESTRING(SColor7, "Gray");
VORLANE_RESOURCESTRING(SColor8, "Silver");
VORLANE_RESOURCESTRING(SColor9, "Red");
VORLANE_RESOURCESTRING(SColor10, "Lime green");
VORLANE_RESOURCESTRING(SColor11, "Yellow");
VORLANE_RESOURCESTRING(SColor12, "Blue");
VORLANE_RESOURCESTRING(SColor13, "Fuchsia");
VORLANE_RESOURCESTRING(SColor14, "Aqua");
VORLANE_RESOURCESTRING(SColor15, "White");
VORLANE_RESOURCESTRING(SColor16, "Money green");
VORLANE_RESOURCESTRING(SColor17, "Sky blue");
VORLANE_RESOURCESTRING(SColor18, "Cream");
VORLANE_RESOURCESTRING(SColor19, "Medium gray");
VORLANE_RESOURCESTRING(SColor20, "Brown");
VORLANE_RESOURCESTRING(SColor21, "Olive Green");
VORLANE_RESOURCESTRING(SColor22, "Dark Green");
VORLANE_RESOURCESTRING(SColor23, "Dark Teal");
VORLANE_RESOURCESTRING(SColor24, "Dark Blue");
VORLANE_RESOURCESTRING(SColor25, "Indigo");
VORLANE_RESOURCESTRING(SColor26, "Gray-80%");
VORLANE_RESOURCESTRING(SColor27, "Dark Red");
VORLANE_RESOURCESTRING(SColor28, "Orange");
VORLANE_RESOURCESTRING(SColor29, "Dark Yellow");
VORLANE_RESOURCESTRING(SColor30, "Blue-Gray");
VORLANE_RESOURCESTRING(SColor31, "Gray-50%");
VORLANE_RESOURCESTRING(SColor32, "Light Orange");
VORLANE_RESOURCESTRING(SColor33, "Lime");
VORLANE_RESOURCESTRING(SColor34, "Sea Green");
VORLANE_RESOURCESTRING(SColor35, "Light Blue");
VORLANE_RESOURCESTRING(SColor36, "Violet");
VORLANE_RESOURCESTRING(SColor37, "Gray-40%");
VORLANE_RESOURCESTRING(SColor38, "Pink");
VORLANE_RESOURCESTRING(SColor39, "Gold");
VORLANE_RESOURCESTRING(SColor40, "Bright Green");
VORLANE_RESOURCESTRING(SColor41, "Turquoise");
VORLANE_RESOURCESTRING(SColor42, "Sky Blue");
VORLANE_RESOURCESTRING(SColor43, "Plum");
VORLANE_RESOURCESTRING(SColor44, "Gray-25%");
VORLANE_RESOURCESTRING(SColor45, "Rose");
VORLANE_RESOURCESTRING(SColor46, "Tan");
VORLANE_RESOURCESTRING(SColor47, "Light Yellow");
VORLANE_RESOURCESTRING(SColor48, "Light Green");
VORLANE_RESOURCESTRING(SColor49, "Light Turquoise");
VORLANE_RESOURCESTRING(SColor50, "Pale Blue");
VORLANE_RESOURCESTRING(SColor51, "Lavender");
VORLANE_RESOURCESTRING(SColor52, "Scroll bar");
VORLANE_RESOURCESTRING(SColor53, "Desktop background");
VORLANE_RESOURCESTRING(SColor54, "Active window title bar");
VORLANE_RESOURCESTRING(SColor55, "Inactive window title bar");
VORLANE_RESOURCESTRING(SColor56, "Menu background");
VORLANE_RESOURCESTRING(SColor57, "Window background");
VORLANE_RESOURCESTRING(SColor58, "Window frame");
VORLANE_RESOURCESTRING(SColor59, "Menu text");
VORLANE_RESOURCESTRING(SColor60, "Window text");
VORLANE_RESOURCESTRING(SColor61, "Active window title bar text");
VORLANE_RESOURCESTRING(SColor62, "Active window border");
VORLANE_RESOURCESTRING(SColor63, "Inactive window border");
VORLANE_RESOURCESTRING(SColor64, "Application workspace");
VORLANE_RESOURCESTRING(SColor65, "Selection background");
VORLANE_RESOURCESTRING(SColor66, "Selection text");
VORLANE_RESOURCESTRING(SColor67, "Button face");
VORLANE_RESOURCESTRING(SColor68, "Button shadow");
VORLANE_RESOURCESTRING(SColor69, "Dimmed text");
VORLANE_RESOURCESTRING(SColor70, "Button text");
VORLANE_RESOURCESTRING(SColor71, "Inactive window title bar text");
VORLANE_RESOURCESTRING(SColor72, "Button highlight");
VORLANE_RESOURCESTRING(SColor73, "Dark shadow 3D elements");
VORLANE_RESOURCESTRING(SColor74, "Highlight 3D elements");
VORLANE_RESOURCESTRING(SColor75, "Tooltip text");
VORLANE_RESOURCESTRING(SColor76, "Tooltip background");
VORLANE_RESOURCESTRING(SColor77, "Hot-tracked item");
VORLANE_RESOURCESTRING(SColor78, "Gradient of the active title bar");
VORLANE_RESOURCESTRING(SColor79, "Gradient of the inactive title bar");
VORLANE_RESOURCESTRING(SColor80, "Menu bar");
VORLANE_RESOURCESTRING(SColor81, "Highlighted menu item");
}  // namespace KitTypesConsts

struct TColorRow {
    uint32_t Value;
    const char* Constant;
    const TResStringRec& Description;
};

const TColorRow standardRows[] = {
    {0x00000000u, "clBlack", KitTypesConsts::SColor0},
    {0x00000080u, "clMaroon", KitTypesConsts::SColor1},
    {0x00008000u, "clGreen", KitTypesConsts::SColor2},
    {0x00008080u, "clOlive", KitTypesConsts::SColor3},
    {0x00800000u, "clNavy", KitTypesConsts::SColor4},
    {0x00800080u, "clPurple", KitTypesConsts::SColor5},
    {0x00808000u, "clTeal", KitTypesConsts::SColor6},
    {0x00808080u, "clGray", KitTypesConsts::SColor7},
    {0x00C0C0C0u, "clSilver", KitTypesConsts::SColor8},
    {0x000000FFu, "clRed", KitTypesConsts::SColor9},
    {0x0000FF00u, "clLime", KitTypesConsts::SColor10},
    {0x0000FFFFu, "clYellow", KitTypesConsts::SColor11},
    {0x00FF0000u, "clBlue", KitTypesConsts::SColor12},
    {0x00FF00FFu, "clFuchsia", KitTypesConsts::SColor13},
    {0x00FFFF00u, "clAqua", KitTypesConsts::SColor14},
    {0x00FFFFFFu, "clWhite", KitTypesConsts::SColor15},
    {0x00C0DCC0u, "clMoneyGreen", KitTypesConsts::SColor16},
    {0x00F0CAA6u, "clSkyBlue", KitTypesConsts::SColor17},
    {0x00F0FBFFu, "clCream", KitTypesConsts::SColor18},
    {0x00A4A0A0u, "clMedGray", KitTypesConsts::SColor19},
};

const TColorRow paletteRows[] = {
    {0x00000000u, "clBlack", KitTypesConsts::SColor0},
    {0x00003399u, "clBrown", KitTypesConsts::SColor20},
    {0x00003333u, "clOliveGreen", KitTypesConsts::SColor21},
    {0x00003300u, "clDarkGreen", KitTypesConsts::SColor22},
    {0x00663300u, "clDarkTeal", KitTypesConsts::SColor23},
    {0x00800000u, "clDarkBlue", KitTypesConsts::SColor24},
    {0x00993333u, "clIndigo", KitTypesConsts::SColor25},
    {0x00333333u, "clGray80", KitTypesConsts::SColor26},
    {0x00000080u, "clDarkRed", KitTypesConsts::SColor27},
    {0x000066FFu, "clOrange", KitTypesConsts::SColor28},
    {0x00008080u, "clDarkYellow", KitTypesConsts::SColor29},
    {0x00008000u, "clGreen", KitTypesConsts::SColor2},
    {0x00808000u, "clTeal", KitTypesConsts::SColor6},
    {0x00FF0000u, "clBlue", KitTypesConsts::SColor12},
    {0x00996666u, "clBlueGray", KitTypesConsts::SColor30},
    {0x00808080u, "clGray50", KitTypesConsts::SColor31},
    {0x000000FFu, "clRed", KitTypesConsts::SColor9},
    {0x000099FFu, "clLightOrange", KitTypesConsts::SColor32},
    {0x0000CC99u, "clLime", KitTypesConsts::SColor33},
    {0x00669933u, "clSeaGreen", KitTypesConsts::SColor34},
    {0x00CCCC33u, "clAqua", KitTypesConsts::SColor14},
    {0x00FF6633u, "clLightBlue", KitTypesConsts::SColor35},
    {0x00800080u, "clViolet", KitTypesConsts::SColor36},
    {0x00969696u, "clGray40", KitTypesConsts::SColor37},
    {0x00FF00FFu, "clPink", KitTypesConsts::SColor38},
    {0x0000CCFFu, "clGold", KitTypesConsts::SColor39},
    {0x0000FFFFu, "clYellow", KitTypesConsts::SColor11},
    {0x0000FF00u, "clBrightGreen", KitTypesConsts::SColor40},
    {0x00FFFF00u, "clTurquoise", KitTypesConsts::SColor41},
    {0x00FFCC00u, "clSkyBlue", KitTypesConsts::SColor42},
    {0x00663399u, "clPlum", KitTypesConsts::SColor43},
    {0x00C0C0C0u, "clGray25", KitTypesConsts::SColor44},
    {0x00CC99FFu, "clRose", KitTypesConsts::SColor45},
    {0x0099CCFFu, "clTan", KitTypesConsts::SColor46},
    {0x0099FFFFu, "clLightYellow", KitTypesConsts::SColor47},
    {0x00CCFFCCu, "clLightGreen", KitTypesConsts::SColor48},
    {0x00FFFFCCu, "clLightTurquoise", KitTypesConsts::SColor49},
    {0x00FFCC99u, "clPaleBlue", KitTypesConsts::SColor50},
    {0x00FF99CCu, "clLavender", KitTypesConsts::SColor51},
    {0x00FFFFFFu, "clWhite", KitTypesConsts::SColor15},
};

const TColorRow systemRows[] = {
    {0xFF000000u, "clScrollBar", KitTypesConsts::SColor52},
    {0xFF000001u, "clBackground", KitTypesConsts::SColor53},
    {0xFF000002u, "clActiveCaption", KitTypesConsts::SColor54},
    {0xFF000003u, "clInactiveCaption", KitTypesConsts::SColor55},
    {0xFF000004u, "clMenu", KitTypesConsts::SColor56},
    {0xFF000005u, "clWindow", KitTypesConsts::SColor57},
    {0xFF000006u, "clWindowFrame", KitTypesConsts::SColor58},
    {0xFF000007u, "clMenuText", KitTypesConsts::SColor59},
    {0xFF000008u, "clWindowText", KitTypesConsts::SColor60},
    {0xFF000009u, "clCaptionText", KitTypesConsts::SColor61},
    {0xFF00000Au, "clActiveBorder", KitTypesConsts::SColor62},
    {0xFF00000Bu, "clInactiveBorder", KitTypesConsts::SColor63},
    {0xFF00000Cu, "clAppWorkSpace", KitTypesConsts::SColor64},
    {0xFF00000Du, "clHighlight", KitTypesConsts::SColor65},
    {0xFF00000Eu, "clHighlightText", KitTypesConsts::SColor66},
    {0xFF00000Fu, "clBtnFace", KitTypesConsts::SColor67},
    {0xFF000010u, "clBtnShadow", KitTypesConsts::SColor68},
    {0xFF000011u, "clGrayText", KitTypesConsts::SColor69},
    {0xFF000012u, "clBtnText", KitTypesConsts::SColor70},
    {0xFF000013u, "clInactiveCaptionText", KitTypesConsts::SColor71},
    {0xFF000014u, "clBtnHighlight", KitTypesConsts::SColor72},
    {0xFF000015u, "cl3DDkShadow", KitTypesConsts::SColor73},
    {0xFF000016u, "cl3DLight", KitTypesConsts::SColor74},
    {0xFF000017u, "clInfoText", KitTypesConsts::SColor75},
    {0xFF000018u, "clInfoBk", KitTypesConsts::SColor76},
    {0xFF00001Au, "clHotLight", KitTypesConsts::SColor77},
    {0xFF00001Bu, "clGradientActiveCaption", KitTypesConsts::SColor78},
    {0xFF00001Cu, "clGradientInactiveCaption", KitTypesConsts::SColor79},
    {0xFF00001Eu, "clMenuBar", KitTypesConsts::SColor80},
    {0xFF00001Du, "clMenuHighlight", KitTypesConsts::SColor81},
};

// Filled at start-up, released at shutdown.
struct TColorTables {
    std::vector<TDefColorItem> Standard, Palette, System;
};
TColorTables& tables()
{
    static TColorTables t;
    return t;
}

template <size_t N>
std::vector<TDefColorItem> load(const TColorRow (&Rows)[N])
{
    std::vector<TDefColorItem> items;
    items.reserve(N);
    for (const TColorRow& r : Rows)
        items.push_back({r.Value, String::fromLatin1(r.Constant), LoadResString(r.Description)});
    return items;
}

}  // namespace

const std::vector<TDefColorItem>& KitStandardColors() { return tables().Standard; }
const std::vector<TDefColorItem>& KitPaletteColors() { return tables().Palette; }
const std::vector<TDefColorItem>& KitSystemColors() { return tables().System; }

void KitTypesInitialization()
{
    tables() = {load(standardRows), load(paletteRows), load(systemRows)};
}

void KitTypesFinalization()
{
    tables() = {};
}
