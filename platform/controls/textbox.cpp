#include "platform/controls/textbox.h"

#include <QAction>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

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

// A Japanese input method, or a Japanese document, gives digits and letters in their
// full-width forms (U+FF01..U+FF5E) and spaces as the ideographic space; to a field that
// holds numbers and codes they mean their ASCII forms.
QString foldFullWidth(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(static_cast<char16_t>(u - 0xFEE0));
        else if (u == 0x3000)
            c = QChar(u' ');
    }
    return text;
}

QString characterText(int code)
{
    const auto c = static_cast<char32_t>(code);
    return QString::fromUcs4(&c, 1);
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
    int keyAscii = typed;
    if (typed != 0) {
        Q_EMIT KeyPress(keyAscii);
        if (keyAscii == 0) {
            event->accept();
            return;
        }
        if (keyAscii != typed && keyAscii >= 0x20) {
            insert(characterText(keyAscii));
            return;
        }
    }
    // Ctrl+V reaches here only when KeyPress let it through; Shift+Insert types nothing.
    if (event->matches(QKeySequence::Paste)) {
        pasteFolded(QClipboard::Clipboard);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TextBox::typeCharacter(int code)
{
    int keyAscii = code;
    Q_EMIT KeyPress(keyAscii);
    if (keyAscii == 8)
        backspace();
    else if (keyAscii >= 0x20 && keyAscii != 0x7f)
        insert(characterText(keyAscii));
    // Enter and the other control characters insert nothing in a single-line field.
}

QVariant TextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // Qt's own answer ignores Qt::WA_InputMethodEnabled, and an input method that composes
    // in the field (Mozc starts in hiragana mode) would take the typed digits and letters
    // away from KeyPress. Answering "disabled" makes it pass the keys through.
    if (query == Qt::ImEnabled)
        return false;
    return QLineEdit::inputMethodQuery(query);
}

void TextBox::inputMethodEvent(QInputMethodEvent *event)
{
    // Whatever an input method still sends is typed, a character at a time. A pre-edit is
    // neither shown nor let near the text: Qt's own handling would delete the selection at
    // its start, and that edit would already change the colour.
    const QString committed = foldFullWidth(event->commitString());
    for (const char32_t c : committed.toUcs4())
        typeCharacter(c == U'\n' || c == U'\r' ? 13 : static_cast<int>(c));
    event->accept();
}

void TextBox::pasteFolded(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    const QString pasted = foldFullWidth(QGuiApplication::clipboard()->text(mode));
    if (!pasted.isEmpty() || hasSelectedText())
        insert(pasted);
}

void TextBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The entry is known by its caption, translated as Qt translates it, followed by a tab
    // and its shortcut.
    const QString pasteCaption = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction *entry : menu->actions()) {
        if (entry->text().section(u'\t', 0, 0) != pasteCaption)
            continue;
        disconnect(entry, &QAction::triggered, nullptr, nullptr);
        connect(entry, &QAction::triggered, this, [this] { pasteFolded(QClipboard::Clipboard); });
    }
    menu->popup(event->globalPos());
}

void TextBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton && !isReadOnly()
        && QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        const QString pasted
            = foldFullWidth(QGuiApplication::clipboard()->text(QClipboard::Selection));
        insert(pasted);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TextBox::dropEvent(QDropEvent *event)
{
    const QMimeData *dropped = event->mimeData();
    if (!dropped || !dropped->hasText()) {
        QLineEdit::dropEvent(event);
        return;
    }
    QMimeData folded;
    folded.setText(foldFullWidth(dropped->text()));
    QDropEvent copy(event->position(), event->possibleActions(), &folded, event->buttons(),
                    event->modifiers(), event->type());
    QLineEdit::dropEvent(&copy);
    event->setDropAction(copy.dropAction());
    event->setAccepted(copy.isAccepted());
}

void TextBox::focusInEvent(QFocusEvent *event)
{
    const int caret = cursorPosition();
    const bool hadSelection = hasSelectedText();
    QLineEdit::focusInEvent(event);
    QGuiApplication::inputMethod()->update(Qt::ImEnabled);
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
