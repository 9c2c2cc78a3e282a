#include "app/pictures.h"

#include <QPainter>
#include <QPixmap>

#include <initializer_list>

namespace Pictures {

namespace {

// The icon and the cursor are pixel maps rather than strokes: painted lines at 45° come
// out antialiased or ragged, and these pictures have to read at 16 and 32 pixels.
struct Ink {
    char key;
    QRgb rgb;
};

// Letters without an ink, such as '.', stay transparent.
QImage FromPixelMap(const char *const (&rows)[32], std::initializer_list<Ink> inks)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32 && rows[y][x] != '\0'; ++x)
            for (const Ink &ink : inks)
                if (ink.key == rows[y][x])
                    image.setPixel(x, y, ink.rgb);
    return image;
}

} // namespace

QImage MarkerImage()
{
    QImage marker(23, 23, QImage::Format_ARGB32);
    marker.fill(Qt::transparent);
    QPainter painter(&marker);
    painter.setPen(QColor(252, 254, 252));
    painter.drawRect(0, 0, 22, 22);
    painter.setPen(QColor(4, 2, 4));
    painter.drawRect(1, 1, 20, 20);
    return marker;
}

QIcon AppIcon()
{
    // K outline, W/S glass and its shaded side, D collar and the sheet's shadow,
    // p/r/m the rubber bulb from highlight to shade, R O Y G B V the pale stripes.
    static const char *const rows[32]
        = {"...........................KK...", ".........................KKprKK.",
           "........................KpprrrK.", ".KKKKKKKKKKKKKKKKKKKKKKKpprrrrmK",
           ".KRRRRRRRRRRRRRRRRRRRRKpprrrrmmK", ".KRRRRRRRRRRRRRRRRRRRKpprrrrmmK.",
           ".KRRRRRRRRRRRRRRRRRKKpprrrrmmmK.", ".KRRRRRRRRRRRRRRRRKDDprrrrmmmK..",
           ".KOOOOOOOOOOOOOOOOOKDDrrrmmmKD..", ".KOOOOOOOOOOOOOOOOKWDDDrmmmKKD..",
           ".KOOOOOOOOOOOOOOOKWWWDDDmmKOKD..", ".KOOOOOOOOOOOOOOKWWWWSDDDKOOKD..",
           ".KYYYYYYYYYYYYYKWWWWSSSKKKYYKD..", ".KYYYYYYYYYYYYKWWWWSSSKYYYYYKD..",
           ".KYYYYYYYYYYYKWWWWSSSKYYYYYYKD..", ".KYYYYYYYYYYKWWWWSSSKYYYYYYYKD..",
           ".KGGGGGGGGGKWWWWSSSKGGGGGGGGKD..", ".KGGGGGGGGKWWWWSSSKGGGGGGGGGKD..",
           ".KGGGGGGGGKWWWSSSKGGGGGGGGGGKD..", ".KGGGGGGGGKWWSSSKGGGGGGGGGGGKD..",
           ".KBBBBBBBKWWSSSKBBBBBBBBBBBBKD..", ".KBBBBBBKWWSKKKBBBBBBBBBBBBBKD..",
           ".KBBBBBKWWSKBBBBBBBBBBBBBBBBKD..", ".KBBBBKWWSKBBBBBBBBBBBBBBBBBKD..",
           ".KVVVKWWSKVVVVVVVVVVVVVVVVVVKD..", ".KVVVKWSKVVVVVVVVVVVVVVVVVVVKD..",
           ".KVVKWKKVVVVVVVVVVVVVVVVVVVVKD..", ".KVVKKVVVVVVVVVVVVVVVVVVVVVVKD..",
           ".KKKKKKKKKKKKKKKKKKKKKKKKKKKKD..", "..DDDDDDDDDDDDDDDDDDDDDDDDDDDD..",
           "................................", "................................"};
    const QImage image = FromPixelMap(rows,
                                      {{'K', qRgb(0, 0, 0)},
                                       {'W', qRgb(255, 255, 255)},
                                       {'S', qRgb(192, 192, 192)},
                                       {'D', qRgb(128, 128, 128)},
                                       {'p', qRgb(255, 128, 128)},
                                       {'r', qRgb(255, 0, 0)},
                                       {'m', qRgb(128, 0, 0)},
                                       {'R', qRgb(255, 200, 200)},
                                       {'O', qRgb(255, 224, 184)},
                                       {'Y', qRgb(255, 255, 192)},
                                       {'G', qRgb(200, 255, 200)},
                                       {'B', qRgb(192, 224, 255)},
                                       {'V', qRgb(232, 200, 255)}});
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image));
    // A ready-made small size for title bars and menus.
    icon.addPixmap(
        QPixmap::fromImage(image.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    return icon;
}

const QCursor &PipetteCursor()
{
    static const QCursor cursor = [] {
        // The hot spot (8, 23) is the tip's last pixel, so a drop lands where it points.
        static const char *const rows[32]
            = {"...........................KKK..", ".........................KKWWWKK",
               "........................KWWWWWWK", "........................KWWWWWWK",
               ".......................KWWWWWWWK", ".....................KKWWWWWWWWK",
               ".....................KKKWWWWWWK.", "....................KWKKKWWWKK..",
               "...................KWWWKKKWK....", "..................KWWWWWKKK.....",
               ".................KWWWWWWWKK.....", "................KWWWWWWWK.......",
               "...............KWWWWWWWK........", "..............KWWWWWWWK.........",
               "..............KWWWWWWK..........", "..............KWWWWWK...........",
               ".............KWWWWWK............", "............KWWWKKK.............",
               "...........KWWWK................", "..........KWWWK.................",
               ".........KWWWK..................", ".........KWWK...................",
               "........KWKK....................", "........KK......................",
               "................................", "................................",
               "................................", "................................",
               "................................", "................................",
               "................................", "................................"};
        const QImage image = FromPixelMap(rows, {{'K', qRgb(0, 0, 0)}, {'W', qRgb(255, 255, 255)}});
        return QCursor(QPixmap::fromImage(image), 8, 23);
    }();
    return cursor;
}

} // namespace Pictures
