#pragma once

#include <QClipboard>
#include <QLineEdit>

namespace platform {

// A single-line text field with the event rules the handlers rely on:
// - Change follows every edit of the user and every program write that changes the text,
//   nested inside the write;
// - a program write of a different text leaves the caret at the start with nothing
//   selected; a write of the text already shown does nothing at all;
// - KeyPress hands each typed character code over (8 backspace, 13 Enter, 27 Escape,
//   1..26 for Ctrl+A..Ctrl+Z) and a handler that sets it to 0 discards the key;
// - GotFocus follows focus arriving from within the window, with caret and selection
//   kept as they were;
// - the window's menu shortcuts win over the field's own editing shortcuts;
// - the input method is kept off: whatever text an input method still commits arrives one
//   character at a time through KeyPress, like typed keys, and never as a pre-edit;
// - full-width forms of ASCII characters and the ideographic space, committed by an input
//   method or pasted (keyboard, context menu, middle button, drop), arrive as ASCII.
class TextBox : public QLineEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent);

    // The program write. Hides QLineEdit::setText on purpose: every write goes through
    // the rules above.
    void setText(const QString &text);

    using QLineEdit::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    int selStart() const;
    void setSelStart(int start); // moves the caret there, nothing selected
    int selLength() const;
    void setSelLength(int length); // from selStart, clipped at the end of the text

Q_SIGNALS:
    void Change();
    void KeyPress(int &keyAscii);
    void GotFocus();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool isWindowShortcut(const QKeyEvent *event) const;
    // Runs KeyPress for one character and applies what the handler leaves of it.
    void typeCharacter(int code);
    void pasteFolded(QClipboard::Mode mode);
};

} // namespace platform
