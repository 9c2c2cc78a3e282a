#pragma once

#include <QScrollBar>

namespace platform {

// A horizontal scroll bar that raises Change only when its value really changes, whoever
// changes it, and Scroll while the user drags the thumb; the drag's end raises one Change
// when the drag moved the value. Keys and wheel move it as the platform's horizontal scroll
// bars do: Left, Up and Page Up lower the value, Right, Down and Page Down raise it, and the
// wheel turned down raises it.
class ScrollBar : public QScrollBar {
    Q_OBJECT

public:
    explicit ScrollBar(QWidget *parent);

Q_SIGNALS:
    void Change();
    void Scroll();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int valueAtPress_ = 0;
};

} // namespace platform
