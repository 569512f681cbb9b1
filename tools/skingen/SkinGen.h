// SkinGen.h - the program's own skin: every bitmap its description names,
// drawn here pixel by pixel (no fonts, no smoothing, so the bytes are the
// same on every build), packed into a skin file.
#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace skingen {

struct Art {
    QString Name;  // entry or resource name
    QImage Image;
};

// The bitmaps of the skin, under their entry names (lower case, ".bmp").
std::vector<Art> SkinBitmaps();
// The program's separate bitmap resources: TARNOVEMENU, TRACK, TRACKVERT
// and the 27 media glyphs "<button>_<state>".
std::vector<Art> ResourceBitmaps();

// The skin file: the description as "skin.ini" first, then every bitmap,
// in a fixed order, packed greedily.
QByteArray BuildSkinFile(const QByteArray& description);

}  // namespace skingen
