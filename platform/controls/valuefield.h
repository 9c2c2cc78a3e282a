#pragma once

#include <QWidget>

namespace platform {

// A read-only one-line value in a sunken frame, cheap to rewrite: setText stores the text
// and asks for a repaint, and the text is laid out only when it is painted. With the
// keyboard focus, the platform's Copy key (Ctrl+C) puts the whole text on the clipboard,
// whatever shortcut of the window shares that key.
// While assistive technology listens, its accessible description is the text.
class ValueField : public QWidget {
    Q_OBJECT

public:
    explicit ValueField(QWidget *parent);

    const QString &text() const { return text_; }
    void setText(const QString &text);

    // The preferred width is that of this text (by default the longest a colour code gets).
    void setWidthSample(const QString &sample);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QString text_;
    QString widthSample_ = QStringLiteral("oklch(100% 0.37812 142.5)");
};

} // namespace platform
