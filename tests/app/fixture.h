#pragma once

// A main window wired to stand-ins for the desktop services, which answer in place of a
// person and record what the window asked of them, and the means to work it as a user
// would and to read its state in a few words.

#include "app/chromalynx.h"
#include "platform/controls/checkbox.h"
#include "platform/controls/listbox.h"
#include "platform/controls/picturebox.h"
#include "platform/controls/scrollbar.h"
#include "platform/controls/textbox.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include <map>
#include <memory>

// What needs typing or a focused control is skipped where the window system gives the
// window no keyboard focus, as a compositor without a seat does.
#define SKIP_UNLESS_FOCUSED(window)                                                                \
    do {                                                                                           \
        if (!(window).isActiveWindow())                                                            \
            QSKIP("the window system gives the window no keyboard focus");                         \
    } while (false)

// OK with `chosen`, or Cancel; `startedFrom` is Color as the last call found it.
struct FakeColorDialog final : platform::ColorDialog {
    bool answerOk = true;
    colorcodes::ColorValue chosen = 0, startedFrom = -1;
    bool ShowColor(QWidget *) override
    {
        startedFrom = color_;
        color_ = answerOk ? chosen : color_;
        return answerOk;
    }
};

// Logs each message as "title: text [buttons]"; a confirmation gets `answerOk`.
struct FakeMessageBox final : platform::MessageBox {
    bool answerOk = true;
    QStringList shown;
    bool confirm(QWidget *, const QString &text, const QString &title) override
    {
        shown.append(title + ": " + text + " [OK/Cancel]");
        return answerOk;
    }
    void inform(QWidget *, const QString &text, const QString &title) override
    {
        shown.append(title + ": " + text + " [OK]");
    }
};

struct FakeDesktop final : platform::Desktop {
    QList<QUrl> opened;
    void open(const QUrl &url) override { opened.append(url); }
};

// Settings in memory, named "section/key"; `writes` logs each write as "section/key=text".
struct MemoryStore final : settings::Store {
    std::map<std::string, std::string> values;
    QStringList writes;
    int flushes = 0;
    std::optional<std::string> read(std::string_view section, std::string_view key) override
    {
        const auto found = values.find(std::string(section) + '/' + std::string(key));
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void write(std::string_view section, std::string_view key, std::string_view text) override
    {
        const std::string name = std::string(section) + '/' + std::string(key);
        values[name] = text;
        writes.append(QString::fromStdString(name + '=' + std::string(text)));
    }
    void flush() override { ++flushes; }
};

struct Fixture {
    FakeColorDialog dialog;
    FakeMessageBox messages;
    FakeDesktop desktop;
    MemoryStore store;
    std::unique_ptr<Chromalynx> window;
};

// Types into the control (the focused one if none): each character, or the keys named
// like "{Shift+F4}".
inline void type(const QString &text, QWidget *control = nullptr)
{
    static const QRegularExpression keys(QStringLiteral("\\{([^}]+)\\}|."));
    for (const QRegularExpressionMatch &key : keys.globalMatch(text)) {
        QWidget *to = control ? control : QApplication::focusWidget();
        const QKeyCombination combo = QKeySequence(key.captured(1))[0];
        const char ascii = key.captured().at(0).toLatin1();
        if (key.capturedLength(1))
            QTest::keyClick(to, combo.key(), combo.keyboardModifiers());
        else
            QTest::sendKeyEvent(QTest::Click, to,
                                ascii ? QTest::asciiToKey(ascii) : Qt::Key_unknown, key.captured(),
                                {});
    }
}

// A press on the source and a release over the target, as the mouse delivers it: every
// event goes to the widget where the button went down.
inline void drag(QWidget *source, const QWidget *target)
{
    QWidget *top = source->window();
    const QPoint over = source->mapFrom(top, target->mapTo(top, target->rect().center()));
    QTest::mousePress(source, Qt::LeftButton, {}, source->rect().center());
    QTest::mouseMove(source, over);
    QTest::mouseRelease(source, Qt::LeftButton, {}, over);
}

class WindowTest : public QObject {
protected:
    std::unique_ptr<Fixture> f;

    // Whether the script types, presses keys, needs a focused text field or the clipboard
    // (which Wayland lends only to a focused window): a step that is none of a click
    // "@Name", a drag "a>b", a value "a=b" or an answer.
    static bool needsKeyboard(const QString &script)
    {
        static const QRegularExpression keyed(
            QStringLiteral("\\{|^@([RGB]Text|RGBCode|CodeCopy$)|^(?!@|Cancel$)[^>=]*$"));
        const QStringList steps = script.split(u' ', Qt::SkipEmptyParts);
        return std::any_of(steps.begin(), steps.end(),
                           [](const QString &step) { return keyed.match(step).hasMatch(); });
    }

    // A new window on new stand-ins, shown and active so that focus and keys behave as for
    // a user; the steps "section/key=text" of the script (see act()) are stored first.
    Chromalynx &open(const QString &script = {}, const QString &programFolder = {})
    {
        f = std::make_unique<Fixture>();
        for (const QString &entry : script.split(u' ').filter(QStringLiteral("/")))
            f->store.values[entry.section(u'=', 0, 0).toStdString()]
                = entry.section(u'=', 1).toStdString();
        QApplication::setQuitOnLastWindowClosed(false); // a closed window must not end the run
        f->window = std::make_unique<Chromalynx>(
            Services{f->dialog, f->messages, f->desktop, f->store, programFolder});
        f->window->show();
        f->window->activateWindow();
        // Wayland lets no client activate itself; being shown is all a window gets there.
        const bool shown = QGuiApplication::platformName() == u"wayland"
            ? QTest::qWaitForWindowExposed(f->window.get())
            : QTest::qWaitForWindowActive(f->window.get());
        if (!shown)
            qWarning("the window was not shown or did not become active");
        return *f->window;
    }

    // Works the window as a user would, the steps apart by spaces. "@Name" triggers the menu
    // entry, clicks the button or focuses the control of that name; "@Name[entry]" clicks a
    // list's entry and "@@Name[entry]" double-clicks it, "_" standing for a space; "Name>Other"
    // drags from one control to another; "Name=2" sets a check box's or a slider's value;
    // anything else is typed into the focused control, "{Shift+F4}" and the like as the keys
    // named. "Cancel" makes the colour dialog and the message boxes answer so from then on,
    // "chosen=255" the colour the dialog gives. An input method sends to the focused
    // control "<text>" as a commit, "<~text>" as a pre-edit and "<>" as the end of a
    // composition without a commit; "clip:text" puts text on the clipboard. Stored entries
    // "section/key=text" are skipped.
    void act(const QString &script)
    {
        Chromalynx &w = *f->window;
        for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
            const QString name = step.mid(step.startsWith(u"@@") ? 2 : 1).section(u'[', 0, 0);
            QObject *named = step.startsWith(u'@') ? w.findChild<QObject *>(name) : nullptr;
            if (auto *list = qobject_cast<platform::ListBox *>(named);
                list && step.endsWith(u']')) {
                const QString text = step.section(u'[', 1).chopped(1).replace(u'_', u' ');
                QListWidgetItem *item = list->findItems(text, Qt::MatchExactly).value(0);
                QVERIFY2(item, qPrintable(text));
                list->scrollToItem(item);
                const QPoint at = list->visualItemRect(item).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                if (step.startsWith(u"@@"))
                    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            } else if (auto *entry = qobject_cast<QAction *>(named)) {
                entry->trigger();
            } else if (auto *button = qobject_cast<QAbstractButton *>(named)) {
                QTest::mouseClick(button, Qt::LeftButton);
            } else if (named) { // as a click would, so that its GotFocus handling runs
                qobject_cast<QWidget *>(named)->setFocus(Qt::MouseFocusReason);
                QCoreApplication::processEvents();
            } else if (step.startsWith(u'@')) {
                QFAIL(qPrintable("no control named " + name));
            } else if (step == u"Cancel") {
                f->dialog.answerOk = f->messages.answerOk = false;
            } else if (step.startsWith(u"chosen=")) {
                f->dialog.chosen = step.section(u'=', 1).toInt();
            } else if (step.startsWith(u'<') && step.endsWith(u'>')) {
                const QString text = step.mid(1).chopped(1);
                const bool preedit = text.startsWith(u'~');
                QInputMethodEvent event(preedit ? text.mid(1) : QString(), {});
                if (!preedit)
                    event.setCommitString(text);
                QCoreApplication::sendEvent(QApplication::focusWidget(), &event);
            } else if (step.startsWith(QStringLiteral("clip:"))) {
                QGuiApplication::clipboard()->setText(step.mid(5));
            } else if (step.contains(u'>')) {
                drag(w.findChild<QWidget *>(step.section(u'>', 0, 0)),
                     w.findChild<QWidget *>(step.section(u'>', 1)));
            } else if (auto *box = w.findChild<platform::CheckBox *>(step.section(u'=', 0, 0))) {
                box->setValue(step.section(u'=', 1).toInt());
            } else if (auto *slider = w.findChild<QAbstractSlider *>(step.section(u'=', 0, 0))) {
                slider->setValue(step.section(u'=', 1).toInt());
            } else if (!step.contains(u'/')) {
                type(step);
            }
        }
    }
};

// What the window shows that differs from the start with nothing stored, as words
// "key=value"; sliders and a preview are told only where they disagree with the fields.
inline QString changes(const Chromalynx &w)
{
    const int r = w.RSlider->value(), g = w.GSlider->value(), b = w.BSlider->value();
    const QStringList texts = {w.RText->text(), w.GText->text(), w.BText->text()};
    QStringList words = {"rgb=" + texts.join(u','), "code=" + w.RGBCode->text()};
    if (texts[0].toInt() != r || texts[1].toInt() != g || texts[2].toInt() != b)
        words << QStringLiteral("sliders=%1,%2,%3").arg(r).arg(g).arg(b);
    if (w.Color->backColor() != r + 256 * g + 65536 * b)
        words << QStringLiteral("preview=%1").arg(w.Color->backColor());
    for (int i = 0; i < 9; ++i) {
        const QImage &picture = w.FavoriteColor[i]->picture();
        if (!picture.isNull())
            words << (picture == w.Picture1->picture() ? "marker=" : "picture=")
                    + QString::number(i + 1);
        if (w.FavoriteColor[i]->backColor() != 16777215)
            words << QStringLiteral("fav%1=%2").arg(i + 1).arg(w.FavoriteColor[i]->backColor());
    }
    static const QHash<QString, QString> captions = {{"常に手前に表示を解除", "unpin"},
                                                     {"常に手前に表示", "pin"},
                                                     {"色名リスト非表示", "hide"},
                                                     {"色名リスト表示", "show"}};
    words << QString::asprintf("formtop=%d colornamelist=%d char=%d width=%d",
                               w.CheckFormtop->value(), w.CheckColorName->value(),
                               w.CheckChar->value(), w.outerWidth())
                 .split(u' ');
    words << "menu=" + captions.value(w.display_formtop->text(), "?") + ','
            + captions.value(w.display_colorname->text(), "?");
    words << QString("front=") + (w.ColorName1->isVisibleTo(&w) ? "1" : "")
            + (w.ColorName2->isVisibleTo(&w) ? "2" : "");
    for (const platform::ListBox *list : {w.ColorName1, w.ColorName2})
        if (!list->text().isEmpty())
            words << list->objectName() + "=" + list->text();
    if (w.windowHandle() && w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint))
        words << "topmost";
    static const QStringList start
        = {"rgb=255,255,255", "code=#FFFFFF", "marker=1",      "formtop=0", "colornamelist=0",
           "char=0",          "width=4830",   "menu=pin,show", "front=1"};
    words.removeIf([](const QString &word) { return start.contains(word); });
    return words.join(u' ');
}
