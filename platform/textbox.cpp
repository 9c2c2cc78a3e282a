#include "platform/textbox.h"

#include <QAction>
#include <QFocusEvent>
#include <QKeyEvent>

namespace platform {

namespace {

// The character code a key press types, or 0 for keys that type nothing (arrows, Delete,
// Home, function keys), which go straight to the field.
int characterCode(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    const Qt::KeyboardModifiers chords
        = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (chords == Qt::ControlModifier && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        return event->key() - Qt::Key_A + 1;
    const QString text = event->text();
    if (text.isEmpty())
        return 0;
    const char16_t c = text.front().unicode();
    return (c >= 0x20 && c != 0x7f) ? c : 0;
}

} // namespace

TextBox::TextBox(QWidget *parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] { Q_EMIT Change(); });
}

void TextBox::setText(const QString &text)
{
    if (text == QLineEdit::text())
        return;
    QLineEdit::setText(text);
    // Change has run inside the write; whatever it wrote, the caret ends at the start.
    setCursorPosition(0);
}

int TextBox::selStart() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TextBox::setSelStart(int start)
{
    setCursorPosition(start);
}

int TextBox::selLength() const
{
    return hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
}

void TextBox::setSelLength(int length)
{
    const int start = selStart();
    const int available = static_cast<int>(text().size()) - start;
    setSelection(start, std::clamp(length, 0, std::max(available, 0)));
}

bool TextBox::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride
        && isWindowShortcut(static_cast<QKeyEvent *>(event))) {
        // Not accepting the override lets the shortcut reach the menu.
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

bool TextBox::isWindowShortcut(const QKeyEvent *event) const
{
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const QKeySequence typed(event->keyCombination());
    const auto actions = window()->findChildren<QAction *>();
    return std::any_of(actions.begin(), actions.end(), [&typed](const QAction *action) {
        return action->isEnabled() && action->shortcut() == typed;
    });
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    const int typed = characterCode(event);
    if (typed == 0) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    int keyAscii = typed;
    Q_EMIT KeyPress(keyAscii);
    if (keyAscii == 0) {
        event->accept();
        return;
    }
    if (keyAscii != typed && keyAscii >= 0x20) {
        insert(QString(QChar(keyAscii)));
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TextBox::focusInEvent(QFocusEvent *event)
{
    const int caret = cursorPosition();
    const bool hadSelection = hasSelectedText();
    QLineEdit::focusInEvent(event);
    // Qt selects everything when focus arrives by Tab; the field keeps its caret instead.
    if (hasSelectedText() && !hadSelection)
        setCursorPosition(caret);

    // Focus coming back from another window, a menu or a context menu is no new arrival:
    // the user is still where they were (and a paste from the context menu must survive).
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        return;
    default:
        Q_EMIT GotFocus();
    }
}

} // namespace platform
