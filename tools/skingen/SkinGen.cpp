#include "tools/skingen/SkinGen.h"

#include "tools/skinpack/SkinPack.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>

namespace skingen {
namespace {

// The program's colours.
const QRgb Key = qRgb(255, 0, 255);
const QRgb Header = qRgb(30, 58, 90);
const QRgb HeaderHot = qRgb(52, 86, 124);
const QRgb HeaderDown = qRgb(18, 38, 62);
const QRgb HeaderIdle = qRgb(96, 110, 128);
const QRgb Face = qRgb(243, 243, 243);
const QRgb White = qRgb(255, 255, 255);
const QRgb Accent = qRgb(0, 120, 215);
const QRgb AccentHot = qRgb(0, 90, 158);
const QRgb AccentDown = qRgb(0, 60, 110);
const QRgb AccentPale = qRgb(229, 241, 251);
const QRgb AccentSoft = qRgb(204, 228, 247);
const QRgb Line = qRgb(173, 173, 173);
const QRgb LineLight = qRgb(204, 204, 204);
const QRgb Ink = qRgb(32, 32, 32);
const QRgb InkGrey = qRgb(160, 160, 160);
const QRgb CloseHot = qRgb(196, 43, 28);
const QRgb CloseDown = qRgb(150, 30, 20);
const QRgb IdleGlyph = qRgb(200, 205, 212);

// A small pixel painter: integer geometry only.
struct Pixels {
    QImage image;
    Pixels(int w, int h, QRgb fill = Key) : image(w, h, QImage::Format_RGB32) { image.fill(fill); }
    void dot(int x, int y, QRgb c)
    {
        if (x >= 0 && y >= 0 && x < image.width() && y < image.height())
            image.setPixel(x, y, c);
    }
    void fill(int x, int y, int w, int h, QRgb c)
    {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                dot(i, j, c);
    }
    void frame(int x, int y, int w, int h, QRgb c)
    {
        fill(x, y, w, 1, c);
        fill(x, y + h - 1, w, 1, c);
        fill(x, y, 1, h, c);
        fill(x + w - 1, y, 1, h, c);
    }
    // A box with a border and its four corner pixels cut to the key colour.
    void box(int x, int y, int w, int h, QRgb border, QRgb inside, bool round = true)
    {
        fill(x, y, w, h, inside);
        frame(x, y, w, h, border);
        if (round)
            for (auto [i, j] : {std::pair{x, y}, {x + w - 1, y}, {x, y + h - 1}, {x + w - 1, y + h - 1}})
                dot(i, j, Key);
    }
    void line(int x0, int y0, int x1, int y1, QRgb c)
    {
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            dot(x0, y0, c);
            if (x0 == x1 && y0 == y1)
                return;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    // A disc of radius r (in half pixels) centred in the w x h cell at x, y.
    void disc(int x, int y, int size, int r2, QRgb c)
    {
        for (int j = 0; j < size; ++j)
            for (int i = 0; i < size; ++i) {
                const int dx = 2 * i + 1 - size, dy = 2 * j + 1 - size;
                if (dx * dx + dy * dy <= r2)
                    dot(x + i, y + j, c);
            }
    }
    void copy(const QImage& from, int x, int y)
    {
        for (int j = 0; j < from.height(); ++j)
            for (int i = 0; i < from.width(); ++i)
                dot(x + i, y + j, from.pixel(i, j));
    }
};

enum class Arrow { Left, Right, Up, Down };

// A filled chevron-like triangle pointing one way, centred in the cell.
void arrow(Pixels& p, int x, int y, int w, int h, Arrow a, QRgb c, int size = 4)
{
    const int cx = x + w / 2, cy = y + h / 2;
    for (int k = 0; k < size; ++k) {
        const int span = size - 1 - k;
        switch (a) {
        case Arrow::Down: p.fill(cx - span, cy - size / 2 + k, 2 * span + 1, 1, c); break;
        case Arrow::Up: p.fill(cx - span, cy + size / 2 - k, 2 * span + 1, 1, c); break;
        case Arrow::Right: p.fill(cx - size / 2 + k, cy - span, 1, 2 * span + 1, c); break;
        case Arrow::Left: p.fill(cx + size / 2 - k, cy - span, 1, 2 * span + 1, c); break;
        }
    }
}

// A strip of `frames` frames of w x h, side by side (or stacked), each
// drawn by `draw(p, x, y, frame)` with the frame counted from 1.
QImage strip(int w, int h, int frames, const std::function<void(Pixels&, int, int, int)>& draw, bool stacked = false,
             QRgb background = Key)
{
    Pixels p(stacked ? w : w * frames, stacked ? h * frames : h, background);
    for (int f = 1; f <= frames; ++f)
        draw(p, stacked ? 0 : (f - 1) * w, stacked ? (f - 1) * h : 0, f);
    return p.image;
}

QRgb pick(int f, std::initializer_list<QRgb> colours)
{
    return *(colours.begin() + std::clamp(f - 1, 0, int(colours.size()) - 1));
}

// The caption strip: dark header, rounded top corners in the key colour,
// active frame above the inactive one.
QImage top()
{
    return strip(
        60, 30, 2,
        [](Pixels& p, int x, int y, int f) {
            const QRgb c = f == 1 ? Header : HeaderIdle;
            p.fill(x, y, 60, 30, c);
            p.fill(x, y + 29, 60, 1, f == 1 ? HeaderDown : qRgb(80, 92, 108));
            for (int j = 0; j < 5; ++j)
                for (int i = 0; i < 5; ++i) {
                    const int dx = 5 - i, dy = 5 - j;
                    if (dx * dx + dy * dy > 26) {
                        p.dot(x + i, y + j, Key);
                        p.dot(x + 59 - i, y + j, Key);
                    }
                }
        },
        true);
}

QImage bottom()
{
    return strip(
        60, 4, 2,
        [](Pixels& p, int x, int y, int f) {
            p.fill(x, y, 60, 4, f == 1 ? Header : HeaderIdle);
            p.fill(x, y + 3, 60, 1, f == 1 ? HeaderDown : qRgb(80, 92, 108));
        },
        true);
}

QImage side(bool left)
{
    return strip(4, 30, 2, [left](Pixels& p, int x, int y, int f) {
        p.fill(x, y, 4, 30, f == 1 ? Header : HeaderIdle);
        p.fill(left ? x : x + 3, y, 1, 30, f == 1 ? HeaderDown : qRgb(80, 92, 108));
    });
}

QImage textBack()
{
    return strip(20, 30, 2, [](Pixels& p, int x, int y, int f) { p.fill(x, y, 20, 30, f == 1 ? Header : HeaderIdle); });
}

enum class Glyph { Close, Maximise, Restore, Minimise };

void captionGlyph(Pixels& p, int cx, int cy, Glyph g, QRgb c)
{
    switch (g) {
    case Glyph::Close:
        p.line(cx - 5, cy - 5, cx + 4, cy + 4, c);
        p.line(cx - 5, cy + 4, cx + 4, cy - 5, c);
        break;
    case Glyph::Maximise: p.frame(cx - 5, cy - 5, 10, 10, c); break;
    case Glyph::Restore:
        p.frame(cx - 5, cy - 3, 8, 8, c);
        p.fill(cx - 3, cy - 5, 8, 1, c);
        p.fill(cx + 4, cy - 5, 1, 8, c);
        break;
    case Glyph::Minimise: p.fill(cx - 5, cy, 10, 1, c); break;
    }
}

// Caption buttons: normal, hot, pressed, inactive window.
QImage captionButton(Glyph g)
{
    return strip(46, 30, 4, [g](Pixels& p, int x, int y, int f) {
        const bool close = g == Glyph::Close;
        const QRgb back = pick(f, {Header, close ? CloseHot : HeaderHot, close ? CloseDown : HeaderDown, HeaderIdle});
        p.fill(x, y, 46, 30, back);
        captionGlyph(p, x + 23, y + 15, g, f == 4 ? IdleGlyph : White);
    });
}

// Push buttons: normal, pressed, disabled, hot, focused.
QImage buttons()
{
    return strip(24, 22, 5, [](Pixels& p, int x, int y, int f) {
        const QRgb border = pick(f, {Line, Accent, LineLight, Accent, Accent});
        const QRgb inside = pick(f, {qRgb(253, 253, 253), AccentSoft, qRgb(240, 240, 240), AccentPale, White});
        p.box(x, y, 24, 22, border, inside);
        if (f == 5)
            p.frame(x + 1, y + 1, 22, 20, Accent);
    });
}

// Check boxes: unchecked, checked, unchecked disabled, checked disabled.
QImage checks()
{
    return strip(13, 13, 4, [](Pixels& p, int x, int y, int f) {
        const bool on = f == 2 || f == 4, off = f >= 3;
        if (on) {
            p.box(x, y, 13, 13, off ? LineLight : Accent, off ? LineLight : Accent, false);
            const QRgb mark = off ? qRgb(240, 240, 240) : White;
            p.line(x + 3, y + 6, x + 5, y + 8, mark);
            p.line(x + 5, y + 8, x + 9, y + 4, mark);
            p.line(x + 3, y + 7, x + 5, y + 9, mark);
            p.line(x + 5, y + 9, x + 9, y + 5, mark);
        } else {
            p.box(x, y, 13, 13, off ? LineLight : qRgb(96, 96, 96), off ? qRgb(240, 240, 240) : White, false);
        }
    });
}

QImage radios()
{
    return strip(13, 13, 4, [](Pixels& p, int x, int y, int f) {
        const bool on = f == 2 || f == 4, off = f >= 3;
        p.disc(x, y, 13, 169, off ? LineLight : (on ? Accent : qRgb(96, 96, 96)));
        p.disc(x, y, 13, 121, off ? qRgb(240, 240, 240) : White);
        if (on)
            p.disc(x, y, 13, 36, off ? LineLight : Accent);
    });
}

// Tabs: normal, selected, hot, disabled, focused.
QImage tabs()
{
    return strip(30, 24, 5, [](Pixels& p, int x, int y, int f) {
        const QRgb inside = pick(f, {qRgb(235, 235, 235), White, AccentPale, qRgb(245, 245, 245), White});
        p.fill(x, y, 30, 24, inside);
        const QRgb border = f == 4 ? qRgb(225, 225, 225) : LineLight;
        p.fill(x, y, 30, 1, border);
        p.fill(x, y, 1, 24, border);
        p.fill(x + 29, y, 1, 24, border);
        if (f == 2 || f == 5)
            p.fill(x, y, 30, f == 5 ? 3 : 2, Accent);
        p.dot(x, y, Key);
        p.dot(x + 29, y, Key);
    });
}

QImage flatPane(int w, int h, QRgb border, QRgb inside)
{
    Pixels p(w, h);
    p.box(0, 0, w, h, border, inside, false);
    return p.image;
}

// Status bar panels: lowered, raised, no bevel.
QImage statusEdges()
{
    return strip(12, 20, 3, [](Pixels& p, int x, int y, int f) {
        p.fill(x, y, 12, 20, Face);
        if (f == 1) {
            p.fill(x, y, 12, 1, Line);
            p.fill(x, y, 1, 20, Line);
        } else if (f == 2) {
            p.fill(x, y + 19, 12, 1, Line);
            p.fill(x + 11, y, 1, 20, Line);
            p.fill(x, y, 12, 1, White);
        }
    });
}

// Tool buttons: normal, hot, pressed, disabled, checked.
QImage toolbars()
{
    return strip(22, 22, 5, [](Pixels& p, int x, int y, int f) {
        switch (f) {
        case 1: p.fill(x, y, 22, 22, Face); break;
        case 2: p.box(x, y, 22, 22, AccentSoft, AccentPale); break;
        case 3: p.box(x, y, 22, 22, Accent, AccentSoft); break;
        case 4: p.fill(x, y, 22, 22, qRgb(238, 238, 238)); break;
        default: p.box(x, y, 22, 22, Accent, AccentPale); break;
        }
    });
}

// Combo button: normal, pressed, disabled, hot.
QImage comboButton()
{
    return strip(17, 21, 4, [](Pixels& p, int x, int y, int f) {
        p.fill(x, y, 17, 21, pick(f, {Face, AccentSoft, qRgb(240, 240, 240), AccentPale}));
        p.fill(x, y, 1, 21, pick(f, {LineLight, Accent, qRgb(225, 225, 225), AccentSoft}));
    });
}

// Edit fields: normal, focused, disabled, hot.
QImage sunkEdge()
{
    return strip(20, 21, 4, [](Pixels& p, int x, int y, int f) {
        const QRgb border = pick(f, {qRgb(122, 122, 122), Accent, LineLight, qRgb(51, 51, 51)});
        p.box(x, y, 20, 21, border, f == 3 ? qRgb(240, 240, 240) : White, false);
        if (f == 2)
            p.fill(x + 1, y + 19, 18, 1, Accent);
    });
}

// Small glyphs: the drop-down arrow in four states, then the size grip.
QImage extraImages()
{
    return strip(9, 9, 5, [](Pixels& p, int x, int y, int f) {
        if (f < 5) {
            arrow(p, x, y, 9, 9, Arrow::Down, pick(f, {qRgb(51, 51, 51), Accent, InkGrey, Ink}));
            return;
        }
        for (int k = 0; k < 3; ++k)
            for (int j = 0; j <= k; ++j)
                p.fill(x + 7 - 3 * j, y + 1 + 3 * k, 2, 2, InkGrey);
    });
}

// Column headers: normal, hot, pressed, disabled, sorted.
QImage headerbar()
{
    return strip(20, 22, 5, [](Pixels& p, int x, int y, int f) {
        p.fill(x, y, 20, 22, pick(f, {White, AccentPale, AccentSoft, qRgb(250, 250, 250), Face}));
        p.fill(x + 19, y + 3, 1, 16, qRgb(229, 229, 229));
        p.fill(x, y + 21, 20, 1, f == 5 ? Accent : qRgb(229, 229, 229));
    });
}

// Menu items: normal, separator, disabled, selected, checked.
QImage menuItem()
{
    return strip(20, 22, 5, [](Pixels& p, int x, int y, int f) {
        switch (f) {
        case 1: p.fill(x, y, 20, 22, White); break;
        case 2:
            p.fill(x, y, 20, 22, White);
            p.fill(x, y + 11, 20, 1, qRgb(215, 215, 215));
            break;
        case 3: p.fill(x, y, 20, 22, qRgb(250, 250, 250)); break;
        case 4: p.box(x, y, 20, 22, Accent, AccentSoft, false); break;
        default: p.box(x, y, 20, 22, AccentSoft, AccentPale, false); break;
        }
    });
}

// Scroll bar parts: four arrows (left, right, up, down) in four states
// (normal, pressed, disabled, hot), then seven grip and corner cells.
QImage scrollbar()
{
    return strip(17, 17, 23, [](Pixels& p, int x, int y, int f) {
        if (f <= 16) {
            const Arrow a = std::array{Arrow::Left, Arrow::Right, Arrow::Up, Arrow::Down}[size_t((f - 1) / 4)];
            const int state = (f - 1) % 4;
            p.fill(x, y, 17, 17, std::array{qRgb(240, 240, 240), qRgb(96, 96, 96), qRgb(240, 240, 240),
                                            qRgb(218, 218, 218)}[size_t(state)]);
            arrow(p, x, y, 17, 17, a,
                  std::array{qRgb(96, 96, 96), White, qRgb(191, 191, 191), Ink}[size_t(state)]);
            return;
        }
        const int shade = 250 - 12 * (f - 17);
        p.fill(x, y, 17, 17, qRgb(shade, shade, shade));
        for (int k = 0; k < 3; ++k)
            p.fill(x + 5, y + 6 + 2 * k, 7, 1, qRgb(shade - 60, shade - 60, shade - 60));
    });
}

// Scroll tracks: normal, pressed, disabled, hot.
QImage scrollTrack(bool horizontal)
{
    const int w = horizontal ? 20 : 17, h = horizontal ? 17 : 20;
    return strip(w, h, 4, [w, h](Pixels& p, int x, int y, int f) {
        p.fill(x, y, w, h, pick(f, {qRgb(240, 240, 240), qRgb(218, 218, 218), qRgb(248, 248, 248), qRgb(232, 232, 232)}));
    });
}

// Scroll thumbs: normal, hot, pressed.
QImage scrollThumb(bool horizontal)
{
    const int w = horizontal ? 20 : 17, h = horizontal ? 17 : 20;
    return strip(w, h, 3, [w, h, horizontal](Pixels& p, int x, int y, int f) {
        const QRgb c = pick(f, {qRgb(194, 194, 194), qRgb(166, 166, 166), qRgb(96, 96, 96)});
        if (horizontal)
            p.box(x + 1, y + 4, w - 2, h - 8, c, c);
        else
            p.box(x + 4, y + 1, w - 8, h - 2, c, c);
    });
}

// Slider thumbs: normal, hot, pressed, disabled, focused. `point` is the
// side the tip points to (none for the plain thumbs).
QImage sliderThumb(int w, int h, int point)
{
    return strip(w, h, 5, [w, h, point](Pixels& p, int x, int y, int f) {
        const QRgb c = pick(f, {Accent, AccentHot, AccentDown, LineLight, Accent});
        const int tip = point == 0 ? 0 : 4;
        const int bx = x + (point == 1 ? tip : 0), by = y + (point == 3 ? tip : 0);
        const int bw = w - (point == 1 || point == 2 ? tip : 0), bh = h - (point == 3 || point == 4 ? tip : 0);
        p.box(bx, by, bw, bh, c, c);
        for (int k = 0; k < tip; ++k) {
            const int span = k;  // the tip widens towards the body
            switch (point) {
            case 1: p.fill(x + k, y + h / 2 - span, 1, 2 * span + 1, c); break;
            case 2: p.fill(x + w - 1 - k, y + h / 2 - span, 1, 2 * span + 1, c); break;
            case 3: p.fill(x + w / 2 - span, y + k, 2 * span + 1, 1, c); break;
            case 4: p.fill(x + w / 2 - span, y + h - 1 - k, 2 * span + 1, 1, c); break;
            default: break;
            }
        }
        if (f == 5)
            p.fill(x + w / 2 - 1, y + h / 2 - 1, 3, 3, White);
    });
}

// Up-down halves: first half then second, each normal, pressed, hot, disabled.
QImage upDown(int w, int h, bool glyphs, bool horizontal)
{
    return strip(w, h, 8, [w, h, glyphs, horizontal](Pixels& p, int x, int y, int f) {
        const int state = (f - 1) % 4;
        const bool second = f > 4;
        if (!glyphs) {
            const QRgb back = std::array{Face, AccentSoft, AccentPale, qRgb(240, 240, 240)}[size_t(state)];
            p.box(x, y, w, h, state == 3 ? LineLight : (state == 0 ? Line : Accent), back, false);
            if (second)
                p.dot(x + w / 2, y + h / 2, back == Face ? qRgb(238, 238, 238) : White);
            return;
        }
        const Arrow a = horizontal ? (second ? Arrow::Right : Arrow::Left) : (second ? Arrow::Down : Arrow::Up);
        arrow(p, x, y, w, h, a, std::array{qRgb(51, 51, 51), Accent, Ink, InkGrey}[size_t(state)], 3);
    });
}

QImage track(bool vertical)
{
    const int w = vertical ? 6 : 12, h = vertical ? 12 : 6;
    Pixels p(w, h);
    p.box(0, 0, w, h, Line, qRgb(220, 220, 220));
    return p.image;
}

// The child-window buttons: minimise, restore, close, each normal, hot,
// pressed, disabled.
QImage mdiControls()
{
    return strip(16, 14, 12, [](Pixels& p, int x, int y, int f) {
        const int state = (f - 1) % 4;
        const Glyph g = std::array{Glyph::Minimise, Glyph::Restore, Glyph::Close}[size_t((f - 1) / 4)];
        const bool close = g == Glyph::Close;
        p.fill(x, y, 16, 14,
               std::array{Face, close ? CloseHot : AccentPale, close ? CloseDown : AccentSoft, Face}[size_t(state)]);
        Pixels glyph(12, 12, Key);
        captionGlyph(glyph, 6, 6, g, state == 3 ? InkGrey : ((state == 1 || state == 2) && close ? White : Ink));
        for (int j = 0; j < 12; ++j)
            for (int i = 0; i < 12; ++i)
                if (glyph.image.pixel(i, j) != Key)
                    p.dot(x + 2 + i, y + 1 + j, glyph.image.pixel(i, j));
    });
}

// Menu bar: normal and selected.
QImage menuBar()
{
    return strip(10, 20, 2, [](Pixels& p, int x, int y, int f) {
        p.fill(x, y, 10, 20, f == 1 ? Face : AccentSoft);
        p.fill(x, y + 19, 10, 1, f == 1 ? qRgb(229, 229, 229) : Accent);
    });
}

QImage progressBar()
{
    return strip(12, 14, 2, [](Pixels& p, int x, int y, int f) {
        if (f == 1)
            p.box(x, y, 12, 14, LineLight, qRgb(230, 230, 230), false);
        else
            p.fill(x, y, 12, 14, Accent);
    });
}

QImage groupBoxEdge()
{
    return strip(12, 12, 2, [](Pixels& p, int x, int y, int f) {
        p.frame(x, y, 12, 12, f == 1 ? qRgb(220, 220, 220) : qRgb(235, 235, 235));
    });
}

QImage flat(int w, int h, QRgb c)
{
    Pixels p(w, h, c);
    return p.image;
}

// Sixteen-pixel menu glyphs (restore, maximise, minimise, close) on white.
QImage menuGlyphs()
{
    Pixels p(64, 16, White);
    const Glyph order[] = {Glyph::Restore, Glyph::Maximise, Glyph::Minimise, Glyph::Close};
    for (int i = 0; i < 4; ++i)
        captionGlyph(p, 16 * i + 8, 8, order[i], Ink);
    return p.image;
}

// Media player glyphs: play, pause, stop, next, previous, step, back,
// record, eject; each enabled, disabled and coloured.
std::vector<Art> mediaGlyphs()
{
    const char* buttons[] = {"MPPLAY", "MPPAUSE", "MPSTOP", "MPNEXT", "MPPREV", "MPSTEP", "MPBACK", "MPRECORD", "MPEJECT"};
    const char* states[] = {"EN", "DI", "CL"};
    const QRgb inks[] = {Ink, InkGrey, Accent};
    std::vector<Art> out;
    for (int b = 0; b < 9; ++b)
        for (int s = 0; s < 3; ++s) {
            Pixels p(16, 16, qRgb(192, 192, 192));
            const QRgb c = b == 7 && s == 2 ? CloseHot : inks[s];
            switch (b) {
            case 0: arrow(p, 0, 0, 16, 16, Arrow::Right, c, 6); break;
            case 1:
                p.fill(4, 3, 3, 10, c);
                p.fill(9, 3, 3, 10, c);
                break;
            case 2: p.fill(4, 4, 8, 8, c); break;
            case 3:
                arrow(p, -2, 0, 16, 16, Arrow::Right, c, 5);
                p.fill(11, 3, 2, 10, c);
                break;
            case 4:
                arrow(p, 2, 0, 16, 16, Arrow::Left, c, 5);
                p.fill(3, 3, 2, 10, c);
                break;
            case 5:
                arrow(p, -3, 0, 16, 16, Arrow::Right, c, 4);
                arrow(p, 2, 0, 16, 16, Arrow::Right, c, 4);
                break;
            case 6:
                arrow(p, -2, 0, 16, 16, Arrow::Left, c, 4);
                arrow(p, 3, 0, 16, 16, Arrow::Left, c, 4);
                break;
            case 7: p.disc(0, 0, 16, 100, c); break;
            default:
                arrow(p, 0, -2, 16, 16, Arrow::Up, c, 6);
                p.fill(3, 11, 10, 2, c);
                break;
            }
            out.push_back({QString::fromLatin1(buttons[b]) + u'_' + QString::fromLatin1(states[s]), p.image});
        }
    return out;
}

}  // namespace

std::vector<Art> SkinBitmaps()
{
    auto art = [](const char* name, QImage image) { return Art{QString::fromLatin1(name), std::move(image)}; };
    return {
        art("top.bmp", top()),
        art("bottom.bmp", bottom()),
        art("left.bmp", side(true)),
        art("right.bmp", side(false)),
        art("textback.bmp", textBack()),
        art("close.bmp", captionButton(Glyph::Close)),
        art("maximise.bmp", captionButton(Glyph::Maximise)),
        art("restore.bmp", captionButton(Glyph::Restore)),
        art("minimise.bmp", captionButton(Glyph::Minimise)),
        art("buttons.bmp", buttons()),
        art("check.bmp", checks()),
        art("radio.bmp", radios()),
        art("progress.bmp", progressBar()),
        art("chunk.bmp", flat(8, 14, Accent)),
        art("menubar.bmp", menuBar()),
        art("groupboxedge.bmp", groupBoxEdge()),
        art("groupbox.bmp", flat(20, 18, Face)),
        art("tabs.bmp", tabs()),
        art("tabborder.bmp", flatPane(12, 12, LineLight, White)),
        art("statusbar.bmp", statusEdges()),
        art("tabpane.bmp", flatPane(12, 12, LineLight, White)),
        art("toolbars.bmp", toolbars()),
        art("combobutton.bmp", comboButton()),
        art("sunkedge.bmp", sunkEdge()),
        art("extra.bmp", extraImages()),
        art("headerbar.bmp", headerbar()),
        art("menuitem.bmp", menuItem()),
        art("menubg.bmp", flatPane(20, 20, LineLight, White)),
        art("scrollbar.bmp", scrollbar()),
        art("hscroll.bmp", scrollTrack(true)),
        art("vscroll.bmp", scrollTrack(false)),
        art("hthumb.bmp", scrollThumb(true)),
        art("vthumb.bmp", scrollThumb(false)),
        art("thumbhorz.bmp", sliderThumb(11, 20, 0)),
        art("thumbvert.bmp", sliderThumb(20, 11, 0)),
        art("thumbleft.bmp", sliderThumb(20, 11, 1)),
        art("thumbright.bmp", sliderThumb(20, 11, 2)),
        art("thumbup.bmp", sliderThumb(11, 20, 3)),
        art("thumbdown.bmp", sliderThumb(11, 20, 4)),
        art("updownh.bmp", upDown(16, 16, false, true)),
        art("updownhglyph.bmp", upDown(16, 16, true, true)),
        art("updownv.bmp", upDown(16, 10, false, false)),
        art("updownvglyph.bmp", upDown(16, 10, true, false)),
        art("track.bmp", track(false)),
        art("trackvert.bmp", track(true)),
        art("mdicontrols.bmp", mdiControls()),
    };
}

std::vector<Art> ResourceBitmaps()
{
    std::vector<Art> out{{QStringLiteral("TARNOVEMENU"), menuGlyphs()},
                         {QStringLiteral("TRACK"), track(false)},
                         {QStringLiteral("TRACKVERT"), track(true)}};
    for (Art& glyph : mediaGlyphs())
        out.push_back(std::move(glyph));
    return out;
}

QByteArray BuildSkinFile(const QByteArray& description)
{
    std::vector<skinpack::SkinEntry> entries{{"skin.ini", description}};
    for (const Art& art : SkinBitmaps())
        entries.push_back({art.Name.toLatin1(), skinpack::WriteBmp(art.Image)});
    return skinpack::PackSkinFile(skinpack::WriteContainer(entries), skinpack::LzhufMode::Greedy);
}

}  // namespace skingen
