// SysMetrics.h - system metrics from a fixed table of the classic defaults at
// 96 DPI, so that painters produce the same sizes on every desktop.
#pragma once

enum : int {
    SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
    SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8,
    SM_CXFIXEDFRAME = 7, SM_CYFIXEDFRAME = 8, SM_CYVTHUMB = 9, SM_CXHTHUMB = 10,
    SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14, SM_CYMENU = 15,
    SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_CYKANJIWINDOW = 18, SM_MOUSEPRESENT = 19,
    SM_CYVSCROLL = 20, SM_CXHSCROLL = 21, SM_DEBUG = 22, SM_SWAPBUTTON = 23,
    SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31,
    SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXSIZEFRAME = 32, SM_CYSIZEFRAME = 33,
    SM_CXMINTRACK = 34, SM_CYMINTRACK = 35, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37,
    SM_CXICONSPACING = 38, SM_CYICONSPACING = 39, SM_MENUDROPALIGNMENT = 40,
    SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CYSMCAPTION = 51,
    SM_CXSMSIZE = 52, SM_CYSMSIZE = 53, SM_CXMENUSIZE = 54, SM_CYMENUSIZE = 55,
    SM_CXMINIMIZED = 57, SM_CYMINIMIZED = 58, SM_CXMAXTRACK = 59, SM_CYMAXTRACK = 60,
    SM_CXMAXIMIZED = 61, SM_CYMAXIMIZED = 62, SM_CXDRAG = 68, SM_CYDRAG = 69,
    SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72, SM_XVIRTUALSCREEN = 76, SM_YVIRTUALSCREEN = 77,
    SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79, SM_CMONITORS = 80,
    SM_CXFOCUSBORDER = 83, SM_CYFOCUSBORDER = 84, SM_SERVERR2 = 89
};

// The fixed value for Index (the classic theme: scroll bars 17, caption 19
// including its one-pixel line, menu bar 19, edges 2, frames 4, icons 32 and
// 16); 0 for an unknown index. Screen sizes come from the primary screen,
// and are 1024 x 768 on the offscreen platform or without a screen.
int GetSystemMetrics(int Index);

// A font of the non-client area: face, height in pixels (negative: the
// character height, as TFont::Height) and weight.
struct TNonClientFont {
    const char* Name = "DejaVu Sans";
    int Height = -11;
    bool Bold = false;
};

// The sizes and fonts of window frames, captions and menus, from the same
// fixed table: captions are drawn in the bold variant of the program's
// font, everything else in the regular one.
struct NONCLIENTMETRICS {
    int iBorderWidth = 1;
    int iScrollWidth = 17;
    int iScrollHeight = 17;
    int iCaptionWidth = 18;
    int iCaptionHeight = 18;
    TNonClientFont lfCaptionFont{"DejaVu Sans", -11, true};
    int iSmCaptionWidth = 12;
    int iSmCaptionHeight = 15;
    TNonClientFont lfSmCaptionFont{"DejaVu Sans", -11, true};
    int iMenuWidth = 18;
    int iMenuHeight = 18;
    TNonClientFont lfMenuFont;
    TNonClientFont lfStatusFont;
    TNonClientFont lfMessageFont;
};
NONCLIENTMETRICS GetNonClientMetrics();
