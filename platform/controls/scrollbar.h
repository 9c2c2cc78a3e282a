#pragma once

#include <QPointer>
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

    // The label that assistive technology reads with the bar (a label names a whole row).
    void setAccessibleLabel(QWidget *label) { accessibleLabel_ = label; }
    QWidget *accessibleLabel() const { return accessibleLabel_; }

Q_SIGNALS:
    void Change();
    void Scroll();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int valueAtPress_ = 0;
    QPointer<QWidget> accessibleLabel_;
};

} // namespace platform
