// A tab control without a window for the tab tests: it draws into an image
// of its own size with a pinned font.
#pragma once
#include <QImage>
#include <functional>

#include "platform/rtl/Exception.h"

#include "ui/controls/vlPC.h"

class TestControl : public TvlPCTabControlCore {
public:
    explicit TestControl(int AWidth = 220, int AHeight = 200) : W(AWidth), H(AHeight), image(AWidth, AHeight, QImage::Format_RGB32)
    {
        image.fill(Qt::magenta);
        canvas.SetHandle(&dc);
        font.SetName(String::fromLatin1("DejaVu Sans"));
        font.SetHeight(-11);
        vlCanvas.SetFont(&font);
    }
    ~TestControl() override
    {
        SetPainter(nullptr);
        canvas.SetHandle(nullptr);
    }
    TvlCanvas* Canvas() const override { return const_cast<TvlCanvas*>(&vlCanvas); }
    TFont* Font() const override { return const_cast<TFont*>(&font); }
    TColor Color() const override { return ControlColor; }
    int Width() const override { return W; }
    int Height() const override { return H; }
    bool Focused() const override { return HasFocus; }

    // Adds tabs without laying out between them.
    void addTabs(std::initializer_list<const char*> ACaptions)
    {
        Tabs()->BeginUpdate();
        for (const char* c : ACaptions)
            Tabs()->Add(String::fromLatin1(c));
        Tabs()->EndUpdate();
    }
    void paint()
    {
        image.fill(Qt::magenta);
        vlCanvas.SaveClipRegion();
        Painter()->Paint();
        vlCanvas.RestoreClipRegion();
    }
    QRgb pixel(int X, int Y) const { return image.pixel(X, Y) & 0xFFFFFF; }
    static QRgb rgb(TColor AColor)
    {
        const TColor c = ColorToRGB(AColor);
        return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)) & 0xFFFFFF;
    }

    int W, H;
    TColor ControlColor = clBtnFace;
    bool HasFocus = false;
    QImage image;
    TDeviceContext dc{&image};
    TCanvas canvas;
    TvlCanvas vlCanvas{&canvas};
    TFont font;
};

// The message of what the call raises; empty when it raises nothing.
inline String raisedMessage(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return String();
}
