// CanvasDrawTextSafe draws as DrawText does with the same flags, but never
// with the flag that lets the call rewrite the text.
#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "support/KitSxUtils.h"

namespace {

QImage drawn(const std::function<void(TCanvas*, TRect&)>& draw, TRect& r)
{
    TBitmap b;
    b.SetSize(120, 40);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(Rect(0, 0, 120, 40));
    b.Canvas()->Font()->SetName(QStringLiteral("DejaVu Sans"));
    b.Canvas()->Font()->SetHeight(-12);
    draw(b.Canvas(), r);
    return b.Image();
}

TEST(KitSxUtils, CanvasDrawTextSafePassesEveryOtherFlagAndKeepsTheText)
{
    const String text = QStringLiteral("A rather long caption");
    const struct {
        uint32_t flags;
        int length;
    } cases[] = {
        {DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE, -1},
        {DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, -1},
        {DT_RIGHT | DT_SINGLELINE, 8},
        {DT_CALCRECT | DT_SINGLELINE | DT_MODIFYSTRING, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        TRect safeRect = Rect(2, 2, 80, 30), plainRect = safeRect;
        int safeResult = 0, plainResult = 0;
        const String before = text;
        const QImage safe = drawn([&](TCanvas* canvas, TRect& r) {
            safeResult = CanvasDrawTextSafe(canvas, text, c.length, r, c.flags);
        }, safeRect);
        const String shown = c.length < 0 ? text : text.left(c.length);
        const QImage plain = drawn([&](TCanvas* canvas, TRect& r) {
            plainResult = canvas->TextRect(r, shown, c.flags & ~uint32_t(DT_MODIFYSTRING));
        }, plainRect);
        EXPECT_EQ(safeResult, plainResult);
        EXPECT_EQ(safeRect, plainRect);
        EXPECT_EQ(safe, plain);
        EXPECT_EQ(text, before);
    }
}

}  // namespace
