#pragma once

#include <QScrollBar>

namespace platform {

// A horizontal scroll bar that raises Change only when its value really changes, whoever
// changes it, and Scroll while the user drags the thumb; the drag's end raises one Change
// when the drag moved the value.
class ScrollBar : public QScrollBar {
    Q_OBJECT

public:
    explicit ScrollBar(QWidget *parent);

Q_SIGNALS:
    void Change();
    void Scroll();

private:
    int valueAtPress_ = 0;
};

} // namespace platform
