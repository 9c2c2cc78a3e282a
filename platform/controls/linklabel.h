#pragma once

#include <QLabel>

namespace platform {

// A label that stands for a link: a click on it, or Enter or Space while it has the focus,
// raises Click. Tab reaches it (a click does not move the focus to it), and it shows a
// focus frame only while it has the focus.
class LinkLabel : public QLabel {
    Q_OBJECT

public:
    LinkLabel(const QString &text, QWidget *parent);

    // Raises Click, as a click on the label does.
    void click();

Q_SIGNALS:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

} // namespace platform
