// A sentinel-filled image with a platform canvas and the library canvas over
// it, shared by the painting tests: probes read pixels, and a failed probe can
// print the picture as letters.
#pragma once
#include <QImage>
#include <QRegion>
#include <string>
#include <utility>
#include <vector>

#include "platform/graphics/Graphics.h"
#include "ui/foundation/vlGraphics.h"

inline constexpr QRgb sentinel = 0xFF123456;

struct Surface {
    explicit Surface(int w = 40, int h = 40) : Image(w, h, QImage::Format_RGB32), DC(&Image), Vl(&Canvas)
    {
        Image.fill(sentinel);
        Canvas.SetHandle(&DC);
        Canvas.Font()->SetName(QStringLiteral("DejaVu Sans"));
    }
    ~Surface() { Canvas.SetHandle(nullptr); }
    QRgb at(int x, int y) const { return Image.pixel(x, y) | 0xFF000000; }
    // The pixels of one colour.
    QRegion of(QRgb c) const
    {
        QRegion r;
        for (int y = 0; y < Image.height(); ++y)
            for (int x = 0; x < Image.width(); ++x)
                if (at(x, y) == c)
                    r += QRect(x, y, 1, 1);
        return r;
    }
    // The picture as text, one letter per pixel from the legend, '.' for
    // the sentinel and '?' for anything else.
    std::string map(const std::vector<std::pair<QRgb, char>>& legend) const
    {
        std::string text;
        for (int y = 0; y < Image.height(); ++y) {
            for (int x = 0; x < Image.width(); ++x) {
                char c = at(x, y) == sentinel ? '.' : '?';
                for (const auto& [rgb, letter] : legend)
                    if (at(x, y) == rgb)
                        c = letter;
                text += c;
            }
            text += '\n';
        }
        return text;
    }
    QImage Image;
    TDeviceContext DC;
    TCanvas Canvas;
    TvlCanvas Vl;
};
