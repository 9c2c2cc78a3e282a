#pragma once

#include <QWidget>

#include <algorithm>

namespace platform {

// A read-only one-line value in a sunken frame, cheap to rewrite: setText stores the text
// and asks for a repaint, and the text is laid out only when it is painted.
//
// It is read as a read-only line edit is: a Tab stop that selects the whole text when Tab
// brings the focus, with a caret that the arrow keys, Home and End move (Shift selects) and
// a selection the mouse can make (a double click takes it all). The platform's Copy key
// (Ctrl+C) copies the selection, or the whole text when nothing is selected, whatever
// shortcut of the window shares that key.
//
// Assistive technology reads it as read-only text (see accessibility.h); it is told of a
// new text, caret or selection only while it listens.
class ValueField : public QWidget {
    Q_OBJECT

public:
    explicit ValueField(QWidget *parent);

    const QString &text() const { return text_; }
    void setText(const QString &text);

    // Positions are offsets into the text, 0..text().size(). The selection runs from the
    // anchor to the caret, either way round; it is empty when the two meet.
    int cursorPosition() const { return cursor_; }
    int selectionStart() const { return std::min(anchor_, cursor_); }
    int selectionEnd() const { return std::max(anchor_, cursor_); }
    void select(int anchor, int cursor);

    // Where a character is drawn and which position lies nearest a point, both in this
    // widget's coordinates.
    QRect characterRect(int position) const;
    int positionAt(QPoint point) const;

    // The preferred width is that of this text (by default the longest a colour code gets).
    void setWidthSample(const QString &sample);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QRect textArea() const;
    QString shownText() const; // elided to the width there is
    int xOf(int position) const;

    QString text_;
    QString widthSample_ = QStringLiteral("oklch(100% 0.37812 142.5)");
    int anchor_ = 0;
    int cursor_ = 0;
};

} // namespace platform
