#include "platform/scrollbar.h"

namespace platform {

ScrollBar::ScrollBar(QWidget *parent)
    : QScrollBar(Qt::Horizontal, parent)
{
    // Qt's defaults for a horizontal bar would make the Right arrow decrease the value and
    // keep the bar out of the tab order.
    setInvertedControls(false);
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

} // namespace platform
