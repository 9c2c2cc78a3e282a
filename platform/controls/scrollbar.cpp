#include "platform/controls/scrollbar.h"

#include "platform/controls/accessibility.h"

#include <QKeyEvent>

namespace platform {

ScrollBar::ScrollBar(QWidget *parent)
    : QScrollBar(Qt::Horizontal, parent)
{
    InstallAccessibleInterfaces();
    // Qt's default inverted controls give a horizontal bar the platform's Up, Down, Page Up,
    // Page Down and wheel, but also make the Right arrow lower the value; keyPressEvent
    // takes Left and Right itself. Qt also keeps the bar out of the tab order by default.
    setInvertedControls(true);
    setFocusPolicy(Qt::StrongFocus);

    connect(this, &QScrollBar::sliderPressed, this, [this] { valueAtPress_ = value(); });
    connect(this, &QScrollBar::valueChanged, this, [this] {
        if (isSliderDown())
            Q_EMIT Scroll();
        else
            Q_EMIT Change();
    });
    connect(this, &QScrollBar::sliderReleased, this, [this] {
        if (value() != valueAtPress_)
            Q_EMIT Change();
    });
}

void ScrollBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        triggerAction(event->key() == Qt::Key_Left ? SliderSingleStepSub : SliderSingleStepAdd);
        event->accept();
        return;
    }
    QScrollBar::keyPressEvent(event);
}

} // namespace platform
