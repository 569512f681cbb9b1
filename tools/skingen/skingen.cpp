// skingen DESCRIPTION OUTDIR: writes the program's skin as the form
// property value "SkinStream" and its separate bitmaps as .bmp-less files
// named after their resources, all into OUTDIR.
#include "tools/skingen/SkinGen.h"
#include "tools/skinpack/SkinPack.h"

#include <QFile>
#include <cstdio>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: skingen DESCRIPTION OUTDIR\n");
        return 2;
    }
    QFile description(QString::fromLocal8Bit(argv[1]));
    if (!description.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "skingen: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[2]) + u'/';
    const QByteArray skin = skingen::BuildSkinFile(description.readAll());
    if (!writeFile(out + QStringLiteral("SkinStream"), skinpack::SkinStreamValue(skin)))
        return 1;
    for (const skingen::Art& art : skingen::ResourceBitmaps())
        if (!writeFile(out + art.Name, skinpack::WriteBmp(art.Image)))
            return 1;
    return 0;
}
