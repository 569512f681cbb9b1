#include "ui/editors/vlButtons.h"

#include <QPointer>
#include <QWidget>
#include <algorithm>

#include "platform/controls/Forms.h"

namespace {

std::unique_ptr<TvlGlyphCache> glyphCache;

TvlGlyphCache* ensureGlyphCache()
{
    if (!glyphCache)
        glyphCache = std::make_unique<TvlGlyphCache>();
    return glyphCache.get();
}

TvlButtonAssignedColor colorIndex(TvlButtonState AState)
{
    switch (AState) {
    case vlbsDefault: return vlbcDefault;
    case vlbsHot: return vlbcHot;
    case vlbsPressed: return vlbcPressed;
    case vlbsDisabled: return vlbcDisabled;
    default: return vlbcNormal;
    }
}

TvlButtonAssignedColor textIndex(TvlButtonState AState)
{
    return TvlButtonAssignedColor(colorIndex(AState) + 1);
}

bool designing(const TComponent* AComponent) { return AComponent->ComponentState().Contains(csDesigning); }

}  // namespace

// ------------------------------------------------------------ property tables

namespace {
constexpr const char* assignedColorNames[] = {"vlbcDefault", "vlbcDefaultText", "vlbcDisabled", "vlbcDisabledText",
                                              "vlbcHot",     "vlbcHotText",     "vlbcNormal",   "vlbcNormalText",
                                              "vlbcPressed", "vlbcPressedText"};
constexpr const char* kindNames[] = {"vlbkStandard", "vlbkDropDown", "vlbkDropDownButton"};
constexpr const char* paintStyleNames[] = {"bpsDefault", "bpsCaption", "bpsGlyph"};
constexpr const char* layoutNames[] = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
constexpr const char* popupAlignmentNames[] = {"paLeft", "paRight", "paCenter"};
const TEnumInfo layoutInfo{"TButtonLayout", layoutNames};
const TEnumInfo popupAlignmentInfo{"TPopupAlignment", popupAlignmentNames};
}  // namespace

const TEnumInfo TvlButtonAssignedColorInfo{"TvlButtonAssignedColor", assignedColorNames};
const TEnumInfo TvlButtonKindInfo{"TvlButtonKind", kindNames};
const TEnumInfo TvlButtonPaintStyleInfo{"TvlButtonPaintStyle", paintStyleNames};

const TClassInfo& TvlButtonColors::StaticClassInfo()
{
    using C = TvlButtonColors;
    static const TClassInfo info = [] {
        TClassInfoBuilder<C> b("TvlButtonColors");
        b.Set("AssignedColors", TvlButtonAssignedColorInfo, &C::AssignedColors, &C::SetAssignedColors).Stored(false);
        for (int i = vlbcDefault; i <= vlbcPressedText; ++i) {
            const auto index = TvlButtonAssignedColor(i);
            // "vlbcHotText" is stored as "HotText".
            b.Int(assignedColorNames[i] + 4, [index](const C& c) { return c.Colors(index); },
                  [index](C& c, TColor v) { c.SetColors(index, v); })
                .Stored([index](const C& c) { return c.AssignedColors().Contains(index); });
        }
        return b.Build();
    }();
    return info;
}

const TClassInfo& TvlSpeedButtonOptions::StaticClassInfo()
{
    using C = TvlSpeedButtonOptions;
    static const TClassInfo info = TClassInfoBuilder<C>("TvlSpeedButtonOptions")
                                       .Bool("AllowAllUp", &C::AllowAllUp, &C::SetAllowAllUp, false)
                                       .Bool("CanBeFocused", &C::CanBeFocused, &C::SetCanBeFocused, true)
                                       .Bool("Down", &C::Down, &C::SetDown, false)
                                       .Bool("Flat", &C::Flat, &C::SetFlat, false)
                                       .Int("GroupIndex", &C::GroupIndex, &C::SetGroupIndex, 0)
                                       .Bool("Transparent", &C::Transparent, &C::SetTransparent, false)
                                       .Build();
    return info;
}

const TClassInfo& TvlCustomButton::StaticClassInfo()
{
    using C = TvlCustomButton;
    static const TClassInfo info =
        TClassInfoBuilder<C>("TvlCustomButton", &TControl::StaticClassInfo())
            .Object("Colors", &C::Colors, &C::SetColors)
            .Stored([](const C& c) { return !c.Colors()->AssignedColors().Empty(); })
            .Enum("Kind", TvlButtonKindInfo, &C::Kind, &C::SetKind, vlbkStandard)
            .Enum("Layout", layoutInfo, &C::Layout, &C::SetLayout, blGlyphLeft)
            .Object("LookAndFeel", &C::LookAndFeel, &C::SetLookAndFeel)
            .Int("Margin", &C::Margin, &C::SetMargin, -1)
            .Int("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs, 1)
            .Enum("PaintStyle", TvlButtonPaintStyleInfo, &C::PaintStyle, &C::SetPaintStyle, bpsDefault)
            .Enum("PopupAlignment", popupAlignmentInfo, &C::PopupAlignment, &C::SetPopupAlignment, paLeft)
            .Object("SpeedButtonOptions", &C::SpeedButtonOptions, &C::SetSpeedButtonOptions)
            .Int("Spacing", &C::Spacing, &C::SetSpacing, 4)
            .Bool("UseSystemPaint", &C::UseSystemPaint, &C::SetUseSystemPaint, false)
            .Bool("AllowAllUp", &C::AllowAllUp, &C::SetAllowAllUp).Stored(false)
            .Bool("CanBeFocused", &C::CanBeFocused, &C::SetCanBeFocused).Stored(false)
            .Bool("Down", &C::Down, &C::SetDown).Stored(false)
            .Int("GroupIndex", &C::GroupIndex, &C::SetGroupIndex).Stored(false)
            .Build();
    return info;
}

// ------------------------------------------------------------ TvlButtonColors

TvlButtonColors::TvlButtonColors(TvlCustomButton* AButton) : FButton(AButton)
{
    std::fill(std::begin(FColors), std::end(FColors), clDefault);
}

void TvlButtonColors::Assign(const TPersistent* Source)
{
    if (auto* colors = dynamic_cast<const TvlButtonColors*>(Source)) {
        std::copy(std::begin(colors->FColors), std::end(colors->FColors), std::begin(FColors));
        FAssignedColors = colors->FAssignedColors;
        FButton->Invalidate();
        return;
    }
    TPersistent::Assign(Source);
}

void TvlButtonColors::SetColors(TvlButtonAssignedColor AIndex, TColor Value)
{
    if (Value == clNone || Value == clDefault) {
        FColors[AIndex] = clDefault;
        FAssignedColors.Exclude(AIndex);
    } else if (Value != FColors[AIndex]) {
        FColors[AIndex] = Value;
        FAssignedColors.Include(AIndex);
    }
    FButton->Invalidate();
}

void TvlButtonColors::SetAssignedColors(TvlButtonAssignedColors Value)
{
    if (!designing(FButton) || Value == FAssignedColors)
        return;
    for (int i = vlbcDefault; i <= vlbcPressedText; ++i) {
        const auto index = TvlButtonAssignedColor(i);
        if (!Value.Contains(index))
            FColors[index] = clDefault;
        else if (FColors[index] == clDefault)
            Value.Exclude(index);
    }
    FAssignedColors = Value;
    FButton->Invalidate();
}

TColor TvlButtonColors::GetColor(TvlButtonState AState) const
{
    const TvlButtonAssignedColor index = colorIndex(AState);
    if (FAssignedColors.Contains(index))
        return FColors[index];
    return AState == vlbsNormal ? FColors[vlbcDefault] : FColors[vlbcNormal];
}

TColor TvlButtonColors::GetTextColor(TvlButtonState AState) const
{
    const TvlButtonAssignedColor index = textIndex(AState);
    if (FAssignedColors.Contains(index))
        return FColors[index];
    return AState == vlbsNormal ? FColors[vlbcDefaultText] : FColors[vlbcNormalText];
}

// ------------------------------------------------------------- glyph cache

TvlGlyphList::TvlGlyphList(int AWidth, int AHeight) : TvlImageList(nullptr)
{
    SetWidth(AWidth);
    SetHeight(AHeight);
}

int TvlGlyphList::AddMasked(const TBitmap* AImage, const TBitmap* AMask)
{
    int index = 0;
    while (index < FUsed.size() && FUsed.testBit(index))
        ++index;
    if (index >= Count()) {
        index = Add(AImage, AMask);
        if (index < 0)
            return -1;
    } else
        Replace(index, AImage, AMask);
    if (FUsed.size() <= index)
        FUsed.resize(index + 1);
    FUsed.setBit(index);
    ++FCount;
    return index;
}

void TvlGlyphList::Delete(int AIndex)
{
    if (AIndex >= 0 && AIndex < FUsed.size() && FUsed.testBit(AIndex)) {
        FUsed.clearBit(AIndex);
        --FCount;
    }
}

TvlGlyphCache::~TvlGlyphCache() = default;

TvlGlyphList* TvlGlyphCache::GetList(int AWidth, int AHeight)
{
    for (auto it = FLists.rbegin(); it != FLists.rend(); ++it)
        if ((*it)->Width() == AWidth && (*it)->Height() == AHeight)
            return it->get();
    FLists.push_back(std::make_unique<TvlGlyphList>(AWidth, AHeight));
    return FLists.back().get();
}

void TvlGlyphCache::ReturnList(TvlGlyphList* AList)
{
    if (AList == nullptr || AList->UsedCount() != 0)
        return;
    std::erase_if(FLists, [AList](const std::unique_ptr<TvlGlyphList>& L) { return L.get() == AList; });
}

TvlGlyphCache* GetGlyphCache() { return glyphCache.get(); }

// ---------------------------------------------------------------- image info

namespace vlButtons {

TvlImageInfo::TvlImageInfo(const TNotifyEvent& AOnChange)
    : FGlyph(std::make_unique<TBitmap>()), FOnChange(AOnChange)
{
    FGlyph->OnChange = TNotifyEvent(this, &TvlImageInfo::changedEvent);
}

TvlImageInfo::~TvlImageInfo() { FGlyph->OnChange = nullptr; }

void TvlImageInfo::changedEvent(TObject*) { changed(); }

void TvlImageInfo::changed()
{
    if (FOnChange)
        FOnChange(this);
}

void TvlImageInfo::SetGlyph(const TBitmap* Value)
{
    if (Value != nullptr)
        FGlyph->Assign(Value);
    else {
        const TBitmap empty;
        FGlyph->Assign(&empty);
    }
    changed();
}

void TvlImageInfo::SetImages(TImageList* Value)
{
    if (FImages == Value)
        return;
    FImages = Value;
    if (FGlyph->Empty() && Value != nullptr)
        changed();
}

void TvlImageInfo::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    if (FGlyph->Empty() && Value != -1)
        changed();
}

bool TvlImageInfo::IsImageAssigned() const { return !FGlyph->Empty() || ::IsImageAssigned(FImages, FImageIndex); }

TSize TvlImageInfo::GetImageSize() const
{
    if (!IsImageAssigned())
        return TSize{0, 0};
    if (!FGlyph->Empty())
        return TSize{FGlyph->Width(), FGlyph->Height()};
    return TSize{FImages->Width(), FImages->Height()};
}

}  // namespace vlButtons

// ------------------------------------------------------------ TvlButtonGlyph

TvlButtonGlyph::TvlButtonGlyph(TvlCustomButton* AButton)
    : FButton(AButton),
      FImageInfo(std::make_unique<vlButtons::TvlImageInfo>(TNotifyEvent(this, &TvlButtonGlyph::imageChanged)))
{
    ensureGlyphCache();
}

TvlButtonGlyph::~TvlButtonGlyph()
{
    FImageInfo.reset();
    Invalidate();
    if (glyphCache && glyphCache->Count() == 0)
        glyphCache.reset();
}

void TvlButtonGlyph::imageChanged(TObject*)
{
    Invalidate();
    if (OnChange)
        OnChange(this);
}

void TvlButtonGlyph::SetGlyph(const TBitmap* Value)
{
    FImageInfo->SetGlyph(Value);
    const TBitmap* glyph = FImageInfo->Glyph();
    const int w = glyph->Width(), h = glyph->Height();
    SetNumGlyphs(h > 0 && w % h == 0 && w / h < 5 ? w / h : 1);
}

void TvlButtonGlyph::SetImages(TImageList* Value)
{
    if (Value == Images())
        return;
    if (Images() != nullptr)
        Images()->RemoveFreeNotification(FButton);
    FImageInfo->SetImages(Value);
    if (Value != nullptr)
        Value->FreeNotification(FButton);
}

void TvlButtonGlyph::SetNumGlyphs(TNumGlyphs Value)
{
    Value = std::clamp(Value, 1, 4);
    if (Value == FNumGlyphs)
        return;
    FNumGlyphs = Value;
    Invalidate();
    if (OnChange)
        OnChange(this);
}

TSize TvlButtonGlyph::GlyphSize() const
{
    if (!FImageInfo || !FImageInfo->IsImageAssigned())
        return TSize{0, 0};
    TSize size = FImageInfo->GetImageSize();
    size.cx /= FNumGlyphs;
    return size;
}

bool TvlButtonGlyph::HasGlyph() const
{
    const TvlButtonPaintStyle style = FButton->PaintStyle();
    return (style == bpsDefault || style == bpsGlyph) && FImageInfo->IsImageAssigned();
}

bool TvlButtonGlyph::HasText() const
{
    const TvlButtonPaintStyle style = FButton->PaintStyle();
    return (style == bpsDefault || style == bpsCaption) && !FButton->Caption().isEmpty();
}

void TvlButtonGlyph::Invalidate()
{
    for (int& index : FIndexes) {
        if (index != -1 && FGlyphList != nullptr)
            FGlyphList->Delete(index);
        index = -1;
    }
    if (FGlyphList != nullptr && glyphCache)
        glyphCache->ReturnList(FGlyphList);
    FGlyphList = nullptr;
}

void TvlButtonGlyph::createStateImage(int AImage, TBitmap* AImageBitmap, TBitmap* AMask)
{
    auto* image = static_cast<TvlBitmap32*>(AImageBitmap);
    const TSize size = GlyphSize();
    const TRect r = Rect(0, 0, size.cx, size.cy);
    TBitmap* glyph = FImageInfo->Glyph();
    if (!glyph->Empty()) {
        if (AImage == 1 && FNumGlyphs == 1)
            DrawImage(image->Canvas()->Handle(), r, r, glyph, nullptr, -1, idmDisabled, false, nullptr,
                      glyph->TransparentColor(), true);
        else {
            const int number = AImage < FNumGlyphs ? AImage : 0;
            BitBlt(image->Canvas()->Handle(), 0, 0, size.cx, size.cy, glyph->Canvas()->Handle(), number * size.cx,
                   0, SRCCOPY);
            image->SetTransparentColor(glyph->TransparentColor());
        }
        MakeMaskBitmap(image, AMask);
    } else if (AImage == 1) {
        DrawImage(image->Canvas()->Handle(), r, r, nullptr, Images(), ImageIndex(), idmDisabled);
        MakeMaskBitmap(image, AMask);
    } else
        TvlImageList::GetImageInfo(Images(), ImageIndex(), image, AMask);
}

int TvlButtonGlyph::CreateButtonGlyph(TvlButtonState AState)
{
    int image = 0;
    if (AState == vlbsDisabled)
        image = 1;
    else if (AState == vlbsPressed && FNumGlyphs >= 3)
        image = 2;
    if (FIndexes[image] != -1)
        return FIndexes[image];
    if (!FImageInfo->IsImageAssigned())
        return -1;
    const TSize size = GlyphSize();
    if (size.cx <= 0 || size.cy <= 0)
        return -1;
    TvlBitmap32 bitmap(size.cx, size.cy, true);
    TBitmap mask;
    mask.SetPixelFormat(pf1bit);
    mask.SetSize(size.cx, size.cy);
    createStateImage(image, &bitmap, &mask);
    if (FGlyphList == nullptr)
        FGlyphList = ensureGlyphCache()->GetList(size.cx, size.cy);
    FIndexes[image] = FGlyphList->AddMasked(&bitmap, &mask);
    return FIndexes[image];
}

TRect TvlButtonGlyph::GetTextOffsets(TButtonLayout) const
{
    return HasGlyph() ? TRect{0, 0, 0, 0} : TRect{1, 0, 2, 0};
}

void TvlButtonGlyph::DrawGlyph(TCanvas* ACanvas, const TPoint& AGlyphPos, TvlButtonState AState)
{
    if (!HasGlyph())
        return;
    const int index = CreateButtonGlyph(AState);
    if (index >= 0 && FGlyphList != nullptr)
        FGlyphList->Draw(ACanvas, AGlyphPos.X, AGlyphPos.Y, index, true);
}

void TvlButtonGlyph::DrawCaption(TCanvas* ACanvas, const String& ACaption, const TRect& ATextBounds,
                                 TvlButtonState AState, uint32_t ABiDiFlags, bool, bool AWordWrap,
                                 bool ASkinPainter)
{
    if (!HasText())
        return;
    const TBrushStyle brushStyle = ACanvas->Brush()->Style();
    ACanvas->Brush()->SetStyle(bsClear);
    const uint32_t format = DT_CENTER | DT_VCENTER | ABiDiFlags | (AWordWrap ? uint32_t(DT_WORDBREAK) : 0u);
    if (AState == vlbsDisabled && !ASkinPainter) {
        TRect shadow = ATextBounds;
        OffsetRect(shadow, 1, 1);
        DrawTextOnCanvas(ACanvas, ACaption, shadow, format, clBtnHighlight);
    }
    TRect r = ATextBounds;
    DrawTextOnCanvas(ACanvas, ACaption, r, format, ACanvas->Font()->Color());
    ACanvas->Brush()->SetStyle(brushStyle);
}

void TvlButtonGlyph::Draw(TCanvas* ACanvas, const TRect& AClient, const TPoint& AOffset, const String& ACaption,
                          TButtonLayout ALayout, int AMargin, int ASpacing, TvlButtonState AState,
                          uint32_t ABiDiFlags, bool ANativeStyle, bool AWordWrap, bool ASkinPainter)
{
    TPoint glyphPos;
    TRect textBounds;
    CalcButtonLayout(ACanvas, AClient, AOffset, ACaption, ALayout, AMargin, ASpacing, glyphPos, textBounds,
                     ABiDiFlags, AWordWrap);
    DrawGlyph(ACanvas, glyphPos, AState);
    DrawCaption(ACanvas, ACaption, textBounds, AState, ABiDiFlags, ANativeStyle, AWordWrap, ASkinPainter);
}

void TvlButtonGlyph::CalcButtonLayout(TCanvas* ACanvas, const TRect& AClient, const TPoint& AOffset,
                                      const String& ACaption, TButtonLayout ALayout, int AMargin, int ASpacing,
                                      TPoint& AGlyphPos, TRect& ATextBounds, uint32_t ABiDiFlags, bool AWordWrap)
{
    if ((ABiDiFlags & DT_RIGHT) != 0) {
        if (ALayout == blGlyphLeft)
            ALayout = blGlyphRight;
        else if (ALayout == blGlyphRight)
            ALayout = blGlyphLeft;
    }
    const bool horizontal = ALayout == blGlyphLeft || ALayout == blGlyphRight;
    const TSize glyphSize = HasGlyph() ? GlyphSize() : TSize{0, 0};
    TSize textSize{0, 0};
    if (!HasText())
        ATextBounds = TRect{0, 0, 0, 0};
    else {
        ATextBounds = Rect(0, 0, AClient.Width(), 0);
        if (horizontal)
            ATextBounds.Right -= glyphSize.cx + ASpacing;
        const TRect offsets = GetTextOffsets(ALayout);
        DeflateRectByMargins(ATextBounds, offsets);
        DrawTextOnCanvas(ACanvas, ACaption, ATextBounds,
                         DT_CALCRECT | ABiDiFlags | (AWordWrap ? uint32_t(DT_WORDBREAK) : 0u));
        textSize = TSize{ATextBounds.Width() + offsets.Left + offsets.Right,
                         ATextBounds.Height() + offsets.Top + offsets.Bottom};
    }
    const int w = AClient.Width(), h = AClient.Height();
    TPoint textPos{0, 0};
    AGlyphPos = TPoint{0, 0};
    if (horizontal) {
        AGlyphPos.Y = (h - glyphSize.cy) / 2;
        textPos.Y = (h - textSize.cy - 1) / 2;
    } else {
        AGlyphPos.X = (w - glyphSize.cx) / 2;
        textPos.X = (w - textSize.cx) / 2;
    }
    if (textSize.cx == 0 || glyphSize.cx == 0)
        ASpacing = 0;
    if (AMargin == -1) {
        if (ASpacing == -1) {
            AMargin = horizontal ? (w - (glyphSize.cx + textSize.cx)) / 3 : (h - (glyphSize.cy + textSize.cy)) / 3;
            ASpacing = AMargin;
        } else
            AMargin = horizontal ? (w - (glyphSize.cx + ASpacing + textSize.cx)) / 2
                                 : (h - (glyphSize.cy + ASpacing + textSize.cy)) / 2;
    } else if (ASpacing == -1)
        ASpacing = horizontal ? (w - (AMargin + glyphSize.cx) - textSize.cx) / 2
                              : (h - (AMargin + glyphSize.cy) - textSize.cy) / 2;
    switch (ALayout) {
    case blGlyphLeft:
        AGlyphPos.X = AMargin;
        textPos.X = AGlyphPos.X + glyphSize.cx + ASpacing;
        break;
    case blGlyphRight:
        AGlyphPos.X = w - AMargin - glyphSize.cx;
        textPos.X = AGlyphPos.X - ASpacing - textSize.cx;
        break;
    case blGlyphTop:
        AGlyphPos.Y = AMargin;
        textPos.Y = AGlyphPos.Y + glyphSize.cy + ASpacing;
        break;
    case blGlyphBottom:
        AGlyphPos.Y = h - AMargin - glyphSize.cy;
        textPos.Y = AGlyphPos.Y - ASpacing - textSize.cy;
        break;
    }
    AGlyphPos.X += AClient.Left + AOffset.X;
    AGlyphPos.Y += AClient.Top + AOffset.Y;
    OffsetRect(ATextBounds, textPos.X + AClient.Left + AOffset.X, textPos.Y + AClient.Top + AOffset.Y);
}

// ----------------------------------------------------- TvlSpeedButtonOptions

TvlSpeedButtonOptions::TvlSpeedButtonOptions(TvlCustomButton* AOwner) : FOwner(AOwner) {}

void TvlSpeedButtonOptions::Assign(const TPersistent* Source)
{
    if (auto* options = dynamic_cast<const TvlSpeedButtonOptions*>(Source)) {
        SetGroupIndex(options->GroupIndex());
        SetAllowAllUp(options->AllowAllUp());
        SetCanBeFocused(options->CanBeFocused());
        SetDown(options->Down());
        SetFlat(options->Flat());
        SetTransparent(options->Transparent());
        return;
    }
    TPersistent::Assign(Source);
}

void TvlSpeedButtonOptions::SetAllowAllUp(bool Value)
{
    FAllowAllUp = Value;
    NotifyGroup();
}

void TvlSpeedButtonOptions::SetCanBeFocused(bool Value)
{
    FCanBeFocused = Value;
    if (FOwner->HandleAllocated())
        FOwner->Widget()->setFocusPolicy(Value ? Qt::StrongFocus : Qt::NoFocus);
    NotifyGroup();
    FOwner->Repaint();
}

bool TvlSpeedButtonOptions::Down() const { return (FOwner->FInternalState & TvlCustomButton::down) != 0; }

void TvlSpeedButtonOptions::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == Down())
        return;
    if (!Value && FGroupIndex != 0 && !FAllowAllUp && !locked())
        return;
    if (Value) {
        FOwner->FInternalState |= TvlCustomButton::down;
        NotifyGroup();
    } else
        FOwner->FInternalState &= uint8_t(~TvlCustomButton::down);
    FOwner->Invalidate();
}

void TvlSpeedButtonOptions::SetFlat(bool Value)
{
    FFlat = Value;
    NotifyGroup();
    if (FOwner->IsSpeedButton())
        FOwner->Invalidate();
}

void TvlSpeedButtonOptions::SetGroupIndex(int Value)
{
    FGroupIndex = Value;
    if (Value != 0)
        NotifyGroup();
    else
        SetDown(false);
}

void TvlSpeedButtonOptions::SetTransparent(bool Value)
{
    FTransparent = Value;
    NotifyGroup();
    if (FOwner->IsSpeedButton())
        FOwner->Invalidate();
}

void TvlSpeedButtonOptions::NotifyGroup()
{
    TWinControl* parent = FOwner->Parent();
    if (locked() || !FOwner->IsSpeedButton() || FGroupIndex == 0 || parent == nullptr)
        return;
    for (int i = 0; i < parent->ControlCount(); ++i)
        parent->Controls(i)->Perform(CM_BUTTONPRESSED, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(FOwner));
}

void TvlSpeedButtonOptions::UpdateGroup(const TvlSpeedButtonOptions* AOptions)
{
    ++FLockCount;
    SetCanBeFocused(AOptions->CanBeFocused());
    SetAllowAllUp(AOptions->AllowAllUp());
    SetFlat(AOptions->Flat());
    SetTransparent(AOptions->Transparent());
    if (AOptions->Down() && Down()) {
        SetDown(false);
        if (auto* action = dynamic_cast<TCustomAction*>(FOwner->Action()))
            action->SetChecked(false);
    }
    --FLockCount;
}

// ------------------------------------------------------------ painter choice

TvlLookAndFeelPainterClass GetButtonPainter(TvlLookAndFeel* ALookAndFeel)
{
    if (ALookAndFeel == nullptr)
        return TvlStandardLookAndFeelPainter::Instance();
    if (TvlLookAndFeelPainterClass skin = ALookAndFeel->SkinPainter())
        return skin;
    TvlLookAndFeelPainterClass painter = ALookAndFeel->Painter();
    if (painter == nullptr)
        return TvlStandardLookAndFeelPainter::Instance();
    if (painter->LookAndFeelStyle() == lfsOffice11) {
        if (AreVisualStylesAvailable(TvxThemedObjectTypes{totButton}))
            return GetNativeLookAndFeelPainterClass();
        return TvlStandardLookAndFeelPainter::Instance();
    }
    return painter;
}

// ------------------------------------------------------------ TvlCustomButton

TvlCustomButton::TvlCustomButton(TComponent* AOwner)
    : TCustomButton(AOwner),
      FColors(std::make_unique<TvlButtonColors>(this)),
      FLookAndFeel(std::make_unique<TvlLookAndFeel>(this)),
      FSpeedButtonOptions(std::make_unique<TvlSpeedButtonOptions>(this)),
      FGlyph(std::make_unique<TvlButtonGlyph>(this)),
      FControlCanvas(std::make_unique<TCanvas>()),
      FCanvas(std::make_unique<TvlCanvas>(FControlCanvas.get())),
      FLifeToken(std::make_unique<QObject>())
{
    FGlyph->OnChange = TNotifyEvent(this, &TvlCustomButton::glyphChanged);
    FLookAndFeel->OnChanged = TvlLookAndFeelNotifyEvent(this, &TvlCustomButton::lookAndFeelChanged);
    FControlStyle.Include(csOpaque);
    FControlStyle.Include(csReflector);
}

TvlCustomButton::~TvlCustomButton()
{
    EndMouseTracking(this);
    // A menu still open closes with the button, so its loop ends.
    if (IsMenuOpen() && FShowingMenu != nullptr)
        if (TMenuWindow* window = FShowingMenu->Items()->MenuWindow())
            if (QMenu* menu = window->Menu())
                menu->hide();
    FGlyph->OnChange = nullptr;
    FLookAndFeel->OnChanged = nullptr;
}

void TvlCustomButton::glyphChanged(TObject*) { Invalidate(); }

void TvlCustomButton::lookAndFeelChanged(TvlLookAndFeel*, TvlLookAndFeelValues)
{
    // The window is painted by the program in either case: a repaint is
    // what recreating it would come to.
    Invalidate();
}

void TvlCustomButton::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    AdjustSize();
}

void TvlCustomButton::SetDropDownMenu(TPopupMenu* Value)
{
    if (FDropDownMenu == Value)
        return;
    FDropDownMenu = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TvlCustomButton::SetKind(TvlButtonKind Value)
{
    if (FKind == Value)
        return;
    FKind = Value;
    Invalidate();
}

void TvlCustomButton::SetLayout(TButtonLayout Value)
{
    if (FLayout == Value)
        return;
    FLayout = Value;
    Invalidate();
}

void TvlCustomButton::SetMargin(int Value)
{
    if (Value < -1 || FMargin == Value)
        return;
    FMargin = Value;
    Invalidate();
}

void TvlCustomButton::SetPaintStyle(TvlButtonPaintStyle Value)
{
    if (FPaintStyle == Value)
        return;
    FPaintStyle = Value;
    Invalidate();
}

void TvlCustomButton::SetPopupMenu(TComponent* Value)
{
    if (dynamic_cast<TPopupMenu*>(Value) == nullptr && dynamic_cast<IvlPopupMenuSupport*>(Value) == nullptr)
        Value = nullptr;
    if (FPopupMenuComponent == Value)
        return;
    FPopupMenuComponent = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TvlCustomButton::SetSpacing(int Value)
{
    if (FSpacing == Value)
        return;
    FSpacing = Value;
    Invalidate();
}

void TvlCustomButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomButton::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FDropDownMenu)
        FDropDownMenu = nullptr;
    if (AComponent == FPopupMenuComponent)
        FPopupMenuComponent = nullptr;
    if (AComponent == FShowingMenu)
        FShowingMenu = nullptr;
    if (FGlyph && AComponent == FGlyph->Images())
        FGlyph->SetImages(nullptr);
}

bool TvlCustomButton::CanFocus() const
{
    return TCustomButton::CanFocus() && (CanBeFocused() || designing(this));
}

void TvlCustomButton::SetButtonStyle(bool ADefault)
{
    if (IsNativePushButton()) {
        TCustomButton::SetButtonStyle(ADefault);
        return;
    }
    if (FIsDefault == ADefault)
        return;
    FIsDefault = ADefault;
    Invalidate();
}

void TvlCustomButton::InitializeWidget()
{
    TCustomButton::InitializeWidget();
    Widget()->setFocusPolicy(CanBeFocused() ? Qt::StrongFocus : Qt::NoFocus);
    FGlyph->CreateButtonGlyph(Enabled() ? vlbsNormal : vlbsDisabled);
}

TSize TvlCustomButton::GetOptimalSize()
{
    TvlScreenCanvas canvas;
    canvas.SetFont(Font());
    String text = RemoveAccelChars(Caption());
    if (text.isEmpty())
        text = QStringLiteral(" ");
    return TSize{canvas.Canvas()->TextWidth(text) + 3 * canvas.Canvas()->TextWidth(QStringLiteral("R")),
                 MulDiv(canvas.Canvas()->TextHeight(QStringLiteral("Wg")), 14, 8)};
}

void TvlCustomButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FAutoSize) {
        const TSize size = GetOptimalSize();
        AWidth = size.cx;
        AHeight = size.cy;
    }
    const bool changed = ALeft != Left() || ATop != Top() || AWidth != Width() || AHeight != Height();
    TCustomButton::SetBounds(ALeft, ATop, AWidth, AHeight);
    // What shows through a transparent speed button has changed.
    if (changed && Transparent() && !CanBeFocused())
        Invalidate();
}

void TvlCustomButton::AdjustSize()
{
    if (FAutoSize)
        SetBounds(Left(), Top(), 0, 0);
}

bool TvlCustomButton::Transparent() const { return FSpeedButtonOptions && FSpeedButtonOptions->Transparent(); }

// ---- mouse and keys

TRect TvlCustomButton::dropDownPartRect() const
{
    TRect r = ClientRect();
    if (FKind == vlbkDropDownButton)
        r.Left = r.Right - DropDownButtonWidth;
    return r;
}

uint8_t TvlCustomButton::pressedPartAt(TPoint P) const
{
    if (FKind == vlbkStandard)
        return mainPressed;
    return dropDownPartRect().Contains(P) ? dropDownPressed : mainPressed;
}

void TvlCustomButton::WndProc(TMessage& Message)
{
    // A button that never takes the focus skips the default handling of a
    // press, which would focus it.
    if (!CanBeFocused() && !designing(this)) {
        if (Message.Msg == WM_LBUTTONDOWN) {
            const TPoint p = PointFromLParam(Message.LParam);
            MouseDown(mbLeft, KeysToShiftState(Message.WParam), p.X, p.Y);
            return;
        }
        if (Message.Msg == WM_LBUTTONDBLCLK) {
            DblClick();
            return;
        }
    }
    TCustomButton::WndProc(Message);
}

void TvlCustomButton::Click()
{
    if (CanBeFocused() && (FInternalState & (dropDownPressed | accelClick)) == 0)
        SetDown(!Down());
    if (FKind == vlbkDropDown)
        DropDown();
    else
        TCustomButton::Click();
}

void TvlCustomButton::DblClick()
{
    if (!CanBeFocused())
        SetMouseCapture(this, true);
    if (GroupIndex() != 0)
        TCustomButton::DblClick();
    FInternalState &= uint8_t(~(mainPressed | dropDownPressed));
    FInternalState |= pressedPartAt(ScreenToClient(Mouse->CursorPos()));
    Invalidate();
}

void TvlCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!CanBeFocused())
        SetMouseCapture(this, true);
    TCustomButton::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft) {
        FInternalState &= uint8_t(~(mainPressed | dropDownPressed));
        FInternalState |= pressedPartAt(TPoint{X, Y});
        if (FKind == vlbkDropDownButton && (FInternalState & dropDownPressed) != 0)
            DropDown();
    }
    Invalidate();
}

void TvlCustomButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomButton::MouseMove(Shift, X, Y);
    const bool inside = ClientRect().Contains(TPoint{X, Y});
    if (inside && !IsHot())
        StartHotTrack();
    else if (!inside && IsHot())
        EndHotTrack();
}

void TvlCustomButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const bool toggle = !CanBeFocused() && Button == mbLeft && IsHot()
                        && ((FInternalState & mainPressed) != 0
                            || ((FInternalState & dropDownPressed) != 0 && FKind == vlbkDropDown));
    if (toggle)
        SetDown(!Down());
    TCustomButton::MouseUp(Button, Shift, X, Y);
    FInternalState &= uint8_t(~(mainPressed | dropDownPressed));
    if (!CanBeFocused())
        SetMouseCapture(this, false);
    if (toggle)
        Click();
    Invalidate();
    if (!IsMenuOpen())
        FMenuClosing = false;
}

void TvlCustomButton::KeyDown(uint16_t& Key, TShiftState Shift)
{
    if (FKind == vlbkDropDownButton && (Key == VK_UP || Key == VK_DOWN)
        && (Shift.Contains(ssAlt) || Shift.Contains(ssShift))) {
        if (!IsMenuOpen())
            DropDown();
        Key = 0;
        return;
    }
    TCustomButton::KeyDown(Key, Shift);
}

void TvlCustomButton::StartHotTrack()
{
    BeginMouseTracking(this, Rect(0, 0, Width(), Height()), this);
    FInternalState |= hot;
    if (Enabled())
        Repaint();
}

void TvlCustomButton::EndHotTrack()
{
    EndMouseTracking(this);
    FInternalState &= uint8_t(~hot);
    if (Enabled())
        Invalidate();
}

// ---- the drop-down menu

bool TvlCustomButton::DoDropDownMenuPopup(TPopupMenu*& AMenu)
{
    bool handled = false;
    if (OnDropDownMenuPopup)
        OnDropDownMenuPopup(this, AMenu, handled);
    return handled;
}

bool TvlCustomButton::DoShowPopupMenu(TComponent* AMenu, int X, int Y) { return ShowPopupMenu(this, AMenu, X, Y); }

void TvlCustomButton::DropDown()
{
    if (!IsMenuOpen() && !FMenuClosing)
        PostMessage(Handle(), VLM_DROPDOWNPOPUPMENU, 0, 0);
}

void TvlCustomButton::dropDownMenu()
{
    if (FKind == vlbkStandard)
        return;
    TPopupMenu* menu = FDropDownMenu;
    if (DoDropDownMenuPopup(menu) || menu == nullptr)
        return;
    FInternalState &= uint8_t(~dropDownPressed);
    FInternalState |= menuOpen;
    FMenuClosing = false;
    // The menu takes the mouse from here on.
    if (HasMouseCapture(this))
        SetMouseCapture(this, false);
    Repaint();

    TPoint p{0, Height()};
    if (FPopupAlignment == paRight)
        p.X = Width();
    else if (FPopupAlignment == paCenter)
        p.X = Width() / 2;
    p = ClientToScreen(p);
    TRect workArea;
    GetDesktopWorkArea(p, workArea);
    const int menuHeight = GetPopupMenuHeight(menu);
    if (workArea.Bottom < p.Y + menuHeight)
        p.Y -= menuHeight + Height() + 2;
    // A point on an edge of the work area opens the menu towards its inside.
    TPopupAlignment alignment = FPopupAlignment;
    if (p.X <= workArea.Left)
        alignment = paLeft;
    else if (p.X >= workArea.Right)
        alignment = paRight;
    const TPopupAlignment saved = menu->Alignment();
    menu->SetAlignment(alignment);
    menu->SetPopupComponent(this);
    menu->FreeNotification(this);
    FShowingMenu = menu;

    const QPointer<QObject> alive(FLifeToken.get());
    menu->PopupAndWait(p.X, p.Y, this);
    // A menu handler may have freed the button, or the menu.
    if (!alive)
        return;
    if (FShowingMenu != nullptr)
        FShowingMenu->SetAlignment(saved);
    FShowingMenu = nullptr;
    PostMessage(Handle(), VLM_CLOSEUPPOPUPMENU, 0, 0);
}

void TvlCustomButton::closeUpMenu()
{
    const TRect part = dropDownPartRect();
    auto pressWaiting = [&](UINT Msg) {
        TMessage found{};
        return PeekPostedMessage(Handle(), Msg, Msg, &found, false) && part.Contains(PointFromLParam(found.LParam));
    };
    FMenuClosing =
        (FInternalState & dropDownPressed) != 0 || pressWaiting(WM_LBUTTONDOWN) || pressWaiting(WM_LBUTTONDBLCLK);
    FInternalState &= uint8_t(~menuOpen);
    Repaint();
}

void TvlCustomButton::groupNotification(TMessage& Message)
{
    if (Message.WParam == 0 || int(Message.WParam) != GroupIndex() || !IsSpeedButton())
        return;
    auto* sender = dynamic_cast<TvlCustomButton*>(reinterpret_cast<TControl*>(Message.LParam));
    if (sender == nullptr || sender == this)
        return;
    FSpeedButtonOptions->UpdateGroup(sender->SpeedButtonOptions());
    Invalidate();
}

void TvlCustomButton::contextMenu(TMessage& Message)
{
    if (Message.Result != 0)
        return;
    TPoint p = PointFromLParam(Message.LParam);
    const bool fromKeyboard = p.X == -1 && p.Y == -1;
    if (!fromKeyboard && !designing(this) && !ClientRect().Contains(ScreenToClient(p))) {
        TCustomButton::Dispatch(Message);
        return;
    }
    if (fromKeyboard)
        p = ClientToScreen(TPoint{0, 0});
    const bool handled = DoShowPopupMenu(FPopupMenuComponent, p.X, p.Y);
    Message.Result = handled ? 1 : 0;
    if (!handled)
        TCustomButton::Dispatch(Message);
}

void TvlCustomButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDBLCLK:
        // A double click is another press.
        Message.Msg = WM_LBUTTONDOWN;
        TCustomButton::Dispatch(Message);
        return;
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
        if (IsPopupMenuShortCut(FPopupMenuComponent, Message)) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_CONTEXTMENU:
        contextMenu(Message);
        return;
    case WM_CAPTURECHANGED:
        TCustomButton::Dispatch(Message);
        if (!designing(this) && !ClientRect().Contains(ScreenToClient(Mouse->CursorPos()))) {
            FInternalState &= uint8_t(~(hot | mainPressed | dropDownPressed));
            Invalidate();
        }
        return;
    case CN_DRAWITEM:
        if (!ComponentState().Contains(csDestroying))
            drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
        return;
    case CN_COMMAND:
        if (HiWord(Message.WParam) == BN_CLICKED && FKind == vlbkDropDownButton
            && (FInternalState & dropDownPressed) != 0)
            return;
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(QChar(char16_t(Message.WParam)), Caption()) && CanFocus()) {
            FInternalState |= accelClick;
            Click();
            FInternalState &= uint8_t(~accelClick);
            Message.Result = 1;
            return;
        }
        break;
    case CM_MOUSEENTER: case CM_MOUSELEAVE:
        TCustomButton::Dispatch(Message);
        if (!designing(this) && (Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this))) {
            if (Message.Msg == CM_MOUSEENTER)
                StartHotTrack();
            else
                EndHotTrack();
        }
        return;
    case CM_ENABLEDCHANGED:
        TCustomButton::Dispatch(Message);
        if (!Enabled())
            FInternalState &= uint8_t(~hot);
        Invalidate();
        return;
    case CM_FONTCHANGED:
        TCustomButton::Dispatch(Message);
        AdjustSize();
        Invalidate();
        return;
    case CM_TEXTCHANGED:
        TCustomButton::Dispatch(Message);
        AdjustSize();
        return;
    case CM_BUTTONPRESSED:
        groupNotification(Message);
        return;
    case VLM_DROPDOWNPOPUPMENU:
        dropDownMenu();
        return;
    case VLM_CLOSEUPPOPUPMENU:
        closeUpMenu();
        return;
    default:
        break;
    }
    TCustomButton::Dispatch(Message);
}

// ---- painting

TRect TvlCustomButton::contentRect(TvlButtonState AState)
{
    TRect r = ClientRect();
    const int border = GetPainter()->ButtonBorderWidth(AState);
    InflateRect(r, -border, -border);
    if (FKind == vlbkDropDownButton)
        r.Right -= DropDownButtonWidth - 2;
    return r;
}

bool TvlCustomButton::hotTrackOn() { return !IsNativePushButton() && GetPainter()->IsButtonHotTrack() && Enabled(); }

TvlButtonState TvlCustomButton::GetButtonState()
{
    if (!Enabled())
        return vlbsDisabled;
    if (FPaintPressed)
        return vlbsPressed;
    if (IsHot() && hotTrackOn())
        return vlbsHot;
    if (FPaintAsDefault)
        return vlbsDefault;
    return vlbsNormal;
}

void TvlCustomButton::drawItem(const DRAWITEMSTRUCT& AItem)
{
    FControlCanvas->SetHandle(AItem.hDC);
    const bool selected = (AItem.itemState & ODS_SELECTED) != 0;
    FPaintPressed = (selected && (FInternalState & dropDownPressed) == 0) || (IsMenuOpen() && FKind == vlbkDropDown)
                    || (IsSpeedButton() && (Down() || (IsHot() && (FInternalState & mainPressed) != 0)));
    FPaintAsDefault =
        ((AItem.itemState & ODS_FOCUS) != 0 || (Default() && designing(this)) || FIsDefault) && CanBeFocused();
    DrawButtonContent();
    FControlCanvas->SetHandle(nullptr);
}

void TvlCustomButton::DrawButtonContent()
{
    if (IsNativePushButton())
        return;
    const TvlLookAndFeelPainterClass painter = GetPainter();
    const bool skin = FLookAndFeel->SkinPainter() != nullptr;
    TRect r = ClientRect();
    if (skin)
        DrawTransparentControlBackground(this, FCanvas.get(), r, true);
    TRect arrow;
    if (FKind == vlbkDropDownButton) {
        arrow = Rect(r.Right - DropDownButtonWidth, r.Top, r.Right, r.Bottom);
        r.Right -= DropDownButtonWidth - 2;
    }
    const TvlButtonState state = GetButtonState();
    FCanvas->SetFont(Font());
    TColor color = FColors->GetColor(state);
    TColor textColor = FColors->GetTextColor(state);
    if (textColor == clDefault)
        textColor = painter->ButtonGlyphColor(state, Font()->Color());
    FCanvas->Font()->SetColor(textColor);
    if (OnGetDrawParams)
        OnGetDrawParams(this, state, color, FCanvas->Font());
    DrawButtonBackground(r, state, color);

    TPoint offset{0, 0};
    if (const int shift = painter->ButtonPressedTextShift(); state == vlbsPressed && shift != 0)
        offset = TPoint{shift, shift};
    FCanvas->SaveClipRegion();
    FCanvas->IntersectClipRect(contentRect(state));
    takeActionImage();
    // The layout of the default state, so the content does not move as
    // the frame changes with the state.
    FGlyph->Draw(FControlCanvas.get(), contentRect(vlbsDefault), offset, Caption(), FLayout, FMargin, FSpacing,
                 state, 0, painter->LookAndFeelStyle() == lfsNative, WordWrap(), skin);
    FCanvas->RestoreClipRegion();

    if (FKind == vlbkDropDownButton) {
        TvlButtonState arrowState = state;
        if (IsMenuOpen())
            arrowState = vlbsPressed;
        else if (state == vlbsPressed && (FInternalState & mainPressed) != 0)
            arrowState = FIsDefault ? vlbsHot : vlbsNormal;
        DrawButtonBackground(arrow, arrowState, color);
        painter->DrawStateArrow(FCanvas.get(), arrow, arrowState, adDown);
    }
    if (CanFocus() && Focused() && !IsMenuOpen()) {
        TRect focus;
        painter->GetButtonFocusBounds(FCanvas.get(), r, focus);
        FCanvas->DrawFocusRect(focus);
    }
}

void TvlCustomButton::DrawButtonBackground(const TRect& R, TvlButtonState AState, TColor AColor)
{
    const TvlLookAndFeelPainterClass painter = GetPainter();
    const TvlSpeedButtonOptions* options = FSpeedButtonOptions.get();
    const TColor fontColor = FCanvas->Font()->Color();
    if ((!options->Flat() && !options->Transparent()) || CanBeFocused()) {
        painter->DrawButton(FCanvas.get(), R, String(), AState, true, AColor, fontColor, WordWrap());
        return;
    }
    TRect r = R;
    const TvlLookAndFeelStyle style = painter->LookAndFeelStyle();
    const bool noBorder = FLookAndFeel->SkinPainter() != nullptr || style == lfsNative || style == lfsOffice11
                          || (options->Flat() && !designing(this)
                              && (AState == vlbsDisabled || AState == vlbsNormal));
    if (!noBorder) {
        painter->DrawButtonBorder(FCanvas.get(), r, AState);
        const int border = painter->ButtonBorderWidth(AState);
        InflateRect(r, -border, -border);
    }
    FCanvas->SaveClipRegion();
    FCanvas->IntersectClipRect(r);
    const bool showParent = options->Transparent()
                            && (AState == vlbsDisabled || AState == vlbsNormal || AState == vlbsHot)
                            && !(AState == vlbsHot && painter->IsButtonHotTrack());
    if (showParent)
        DrawTransparentControlBackground(this, FCanvas.get(), ClientRect());
    else
        painter->DrawButton(FCanvas.get(), r, String(), AState, false, AColor, fontColor, WordWrap());
    FCanvas->RestoreClipRegion();
}

// ------------------------------------------------------------ actions

void TvlCustomButton::takeActionImage()
{
    TBasicAction* action = Action();
    if (action == nullptr)
        return;
    auto* custom = dynamic_cast<TCustomAction*>(action);
    FGlyph->SetImages(custom != nullptr && custom->ActionList() != nullptr ? custom->ActionList()->Images() : nullptr);
    FGlyph->SetImageIndex(custom != nullptr ? custom->ImageIndex() : -1);
}

void TvlCustomButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
    TCustomButton::ActionChange(Sender, CheckDefaults);
    takeActionImage();
}

bool TvlCustomButton::UpdateAction(TBasicAction* Action)
{
    const bool result = TCustomButton::UpdateAction(Action);
    takeActionImage();
    return result;
}

TControlActionLinkClass TvlCustomButton::GetActionLinkClass() const
{
    return [](TControl* AClient) {
        return std::make_unique<TvlButtonActionLink>(static_cast<TvlCustomButton*>(AClient));
    };
}

TvlButtonActionLink::TvlButtonActionLink(TvlCustomButton* AClient) : TButtonActionLink(AClient), FButton(AClient) {}

TvlButtonActionLink::~TvlButtonActionLink()
{
    if (FButton->ComponentState().Contains(csDestroying))
        return;
    FButton->ButtonGlyph()->SetImages(nullptr);
    FButton->ButtonGlyph()->SetImageIndex(-1);
}

void TvlButtonActionLink::SetImageIndex(int Value)
{
    TButtonActionLink::SetImageIndex(Value);
    FButton->ButtonGlyph()->SetImageIndex(Value);
}
