#include "platform/controls/captionfit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>

namespace platform {

namespace {

// The rectangle, in the parent's coordinates, that the control's text may fill.
QRect TextRoom(const QWidget *control)
{
    const QStyle *style = control->style();
    QRect room = control->geometry();
    if (qobject_cast<const QCheckBox *>(control)) {
        room.setLeft(room.left() + style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, control)
                     + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, control));
    } else if (qobject_cast<const QRadioButton *>(control)) {
        room.setLeft(room.left()
                     + style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, control)
                     + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, control));
    } else if (const auto *button = qobject_cast<const QPushButton *>(control)) {
        // Inside the frame, as the desktop's own buttons draw their captions: the contents
        // rectangle of a style such as Windows' keeps a focus margin besides, which on the
        // layout's short buttons would leave a caption no height at all.
        const int edge = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button)
            + (button->autoDefault()
                   ? style->pixelMetric(QStyle::PM_ButtonDefaultIndicator, nullptr, button)
                   : 0);
        return room.adjusted(edge, edge, -edge, -edge);
    } else if (const auto *label = qobject_cast<const QLabel *>(control)) {
        room = label->contentsRect().translated(control->pos());
    }
    // Text drawn from the left ends where a visible neighbour begins.
    const QWidget *parent = control->parentWidget();
    for (const QObject *child : parent->children()) {
        const auto *other = qobject_cast<const QWidget *>(child);
        if (!other || other == control || other->isWindow() || !other->isVisibleTo(parent))
            continue;
        const QRect box = other->geometry();
        if (box.top() <= room.bottom() && box.bottom() >= room.top() && box.left() > room.left()
            && box.left() <= room.right())
            room.setRight(box.left() - 1);
    }
    return room;
}

QString Caption(const QWidget *control)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text().remove(u'&');
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->textFormat() == Qt::RichText ? QString() : label->text();
    return {};
}

// Half a device pixel of ink beyond the box is lost in the rounding of the glyphs' edges.
bool FitsHeight(const QFont &font, const QString &text, int height, qreal scale)
{
    return TextHeight(font, text, scale) * scale <= height * scale + 0.5;
}

bool Fits(const QFont &font, const QString &text, const QRect &room, qreal scale)
{
    return QFontMetrics(font).horizontalAdvance(text) <= room.width()
        && FitsHeight(font, text, room.height(), scale);
}

void FitCaption(QWidget *control)
{
    const QString text = Caption(control);
    if (text.isEmpty())
        return;
    const QRect room = TextRoom(control);
    const qreal scale = control->devicePixelRatioF();
    QFont font = control->font();
    if (Fits(font, text, room, scale))
        return;
    // Smaller until the height fits, then narrower until the width does; neither is taken
    // further than a reader could still bear.
    while (!FitsHeight(font, text, room.height(), scale) && QFontInfo(font).pixelSize() > 8)
        font.setPixelSize(QFontInfo(font).pixelSize() - 1);
    for (int stretch = 99; stretch >= 60 && !Fits(font, text, room, scale); --stretch)
        font.setStretch(stretch);
    control->setFont(font);
}

} // namespace

qreal TextHeight(const QFont &font, const QString &text, qreal scale)
{
    QFont onScreen = font;
    onScreen.setPixelSize(qRound(QFontInfo(font).pixelSize() * scale));
    const QFontMetricsF metrics(onScreen);
    const qreal below = std::max(metrics.descent(), metrics.tightBoundingRect(text).bottom());
    return (qRound(metrics.ascent()) + below) / scale;
}

void FitCaptions(QWidget *container)
{
    for (QWidget *control : container->findChildren<QWidget *>())
        if (qobject_cast<QAbstractButton *>(control) || qobject_cast<QLabel *>(control))
            FitCaption(control);
}

} // namespace platform
