#include "app/pictures.h"

#include <QPainter>
#include <QPixmap>

namespace Pictures {

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
    QImage sheet(32, 32, QImage::Format_ARGB32);
    sheet.fill(Qt::transparent);
    QPainter painter(&sheet);
    const QColor stripes[] = {{255, 192, 192}, {255, 224, 176}, {255, 255, 192},
                              {192, 255, 192}, {192, 224, 255}, {224, 192, 255}};
    for (int i = 0; i < 6; ++i)
        painter.fillRect(3, 3 + 4 * i, 26, 4, stripes[i]);
    painter.setPen(Qt::black);
    painter.drawRect(3, 3, 25, 23);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawLine(8, 28, 26, 8);
    return QIcon(QPixmap::fromImage(sheet));
}

const QCursor &PipetteCursor()
{
    static const QCursor cursor = [] {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::black, 4));
        painter.drawLine(9, 22, 26, 5);
        painter.setPen(QPen(Qt::white, 2));
        painter.drawLine(9, 22, 26, 5);
        return QCursor(QPixmap::fromImage(image), 8, 23);
    }();
    return cursor;
}

} // namespace Pictures
