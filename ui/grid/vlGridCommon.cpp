#include "ui/grid/vlGridCommon.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "platform/rtl/Startup.h"

TCursor crGridColumnSizing = crDefault;
TCursor crGridRowSizing = crDefault;
TCursor crGridItemRemove = crDefault;
TCursor crGridNoDrop = crDefault;
TCursor crGridRecordDrag = crDefault;
TCursor crGridRecordsDrag = crDefault;

TvlButtonState GridCellStateToButtonState(TvlGridCellMouseState ACellState)
{
    switch (ACellState) {
    case gcmsHot: return vlbsHot;
    case gcmsPressed: return vlbsPressed;
    case gcmsNormal: break;
    }
    return vlbsNormal;
}

void AddTextMargins(int& Value) { Value += 4; }

namespace {

// A thick arrow pointing right, as the row indicator points at the row it
// selects.
QCursor makeSelectRowCursor()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::white);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygon({{2, 12}, {12, 12}, {12, 7}, {21, 15}, {12, 23}, {12, 18}, {2, 18}}));
    p.end();
    return QCursor(QPixmap::fromImage(image), 21, 15);
}

}  // namespace

void AddvlGridCommonUnit(TStartupList& AList)
{
    AList.Add(
        String::fromLatin1("vlGridCommon"),
        [] {
            crGridColumnSizing = crvlHorzSize;
            crGridRowSizing = crvlVertSize;
            crGridItemRemove = crvlRemove;
            crGridNoDrop = crvlNoDrop;
            crGridRecordDrag = crvlDrag;
            crGridRecordsDrag = crvlMultiDrag;
            if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
                RegisterScreenCursor(crGridSelectRow, makeSelectRowCursor());
        },
        [] {
            if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
                UnregisterScreenCursor(crGridSelectRow);
        });
}
