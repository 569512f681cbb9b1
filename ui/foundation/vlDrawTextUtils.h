// vlDrawTextUtils.h - multi-line text laid out and drawn without DrawText:
// rows broken at words or characters (with the far-east rule for
// characters that may not begin a line), placed by alignment (justified and
// distributed included), the last row ended with "...", a selection
// highlighted, and unreadably small text drawn as a grey pattern.
#pragma once
#include <array>
#include <functional>
#include <vector>

#include "platform/graphics/DeviceContext.h"

class TFont;

enum : uint32_t {
    vltoAlignHorzMask = 0x0007, vltoAlignVertMask = 0x0030, vltoWordBreak = 0x0100, vltoSingleLine = 0x0200,
    vltoExpandTabs = 0x0400, vltoEndEllipsis = 0x0800, vltoPatternedText = 0x1000, vltoExternalLeading = 0x2000,
    vltoEditControl = 0x4000, vltoNoClip = 0x8000, vltoAutoIndents = 0x10000, vltoCharBreak = 0x20000,
    vltoPreventLeftExceed = 0x40000, vltoPreventTopExceed = 0x80000, vltoCalcRect = 0x100000,
    vltoCalcRowCount = 0x200000, vltoHidePrefix = 0x1000000, vltoSkipLeadingBlanks = 0x2000000,
    // Horizontal: 0 left, 1 centre, 2 right, 3 justify, 4 distribute; vertical
    // (bits 4-5): 0 top, 1 centre, 2 bottom, 3 distribute.
    vltoLeft = 0, vltoCenterHorz = 1, vltoRight = 2, vltoJustify = 3, vltoDistribute = 4,
    vltoTop = 0x00, vltoCenterVert = 0x10, vltoBottom = 0x20, vltoDistributeVert = 0x30
};

struct TvlTextParams {
    int RowHeight = 0;
    int ExternalLeading = 0;
    int FullRowHeight = 0;
    int EllipsisWidth = 0;
    bool IsBold = false;
    QChar BreakChar = u' ';
    int HorzAlignment = 0;
    int VertAlignment = 0;
    bool WordBreak = false, SingleLine = false, ExpandTabs = false, EndEllipsis = false, PatternedText = false,
         EditControl = false, NoClip = false, AutoIndents = false, CharBreak = false, PreventLeftExceed = false,
         PreventTopExceed = false, CalcRect = false, CalcRowCount = false, HidePrefix = false,
         SkipLeadingBlanks = false;
    int OnePixel = 1;
    int MaxCharWidth = 0;
    int CharSet = 0;
};

struct TvlTextRow {
    int Text = 0;        // offset of the row's first character in the rows' text
    int TextLength = 0;  // characters, line ends excluded
    TSize TextExtents;
    int BreakCount = 0;  // blanks and tabs inside the row, for justification
    int TextOriginX = 0;
    int TextOriginY = 0;
    int StartOffset = 0;
};

// Up to 32 rows without allocation; the tail grows four rows ahead.
class TvlTextRows {
public:
    int Count() const { return FCount; }
    // Grows the storage to hold row n (and four more), then clears row n.
    void SetCount(int n);
    TvlTextRow& operator[](int i) { return i < 32 ? FRows[size_t(i)] : FTail.at(size_t(i - 32)); }
    const TvlTextRow& operator[](int i) const { return i < 32 ? FRows[size_t(i)] : FTail.at(size_t(i - 32)); }
    int Capacity() const { return 32 + int(FTail.size()); }
    String Text;

private:
    int FCount = 0;
    std::array<TvlTextRow, 32> FRows{};
    std::vector<TvlTextRow> FTail;
};

// Measures Length characters of Text from Offset (tabs expanded when asked).
using TvlCalcTextExtentsProc =
    std::function<void(HDC ADC, const String& AText, int AOffset, int ALength, TSize& ASize, bool AExpandTabs)>;

void CalcTextExtents(HDC ADC, const String& AText, int AOffset, int ALength, TSize& ASize, bool AExpandTabs);
void CalculateTextParams(HDC ADC, uint32_t AFlags, TvlTextParams& AParams, double ALineSpacing = 1.0);
TRect PrepareTextRect(const TRect& R, const TvlTextParams& AParams, int ALeftIndent = 0, int ARightIndent = 0);
TRect UnprepareTextRect(const TRect& R, const TvlTextParams& AParams, int ALeftIndent = 0, int ARightIndent = 0);
// True when the whole text fits.
bool MakeTextRows(HDC ADC, const String& AText, const TRect& R, const TvlTextParams& AParams, TvlTextRows& ARows,
                  int& ARowCount, int AMaxLineCount = 0, const TvlCalcTextExtentsProc& ACalcExtentsProc = CalcTextExtents);
void PlaceTextRows(HDC ADC, const TRect& R, TvlTextParams& AParams, int ARowCount, TvlTextRows& ARows);
void TextRowsOutHighlight(HDC ADC, const TRect& R, const TvlTextParams& AParams, bool AForceEndEllipsis,
                          TColor ASelTextColor, TColor ASelBkColor, int ASelLength, int ASelStart, int ARowCount,
                          TvlTextRows& ARows);
int GetLongestTextRowWidth(const TvlTextRows& ARows, int ARowCount);
int DrawFormattedText(HDC ADC, const String& AText, TRect& R, uint32_t AFlags, int ASelStart = 0,
                      int ASelLength = 0, const TFont* AFont = nullptr, TColor ASelBkColor = clHighlight,
                      TColor ASelTextColor = clHighlightText, int AMaxLineCount = 0, int ALeftIndent = 0,
                      int ARightIndent = 0, TColor ATextColor = clDefault, double ALineSpacing = 1.0);
