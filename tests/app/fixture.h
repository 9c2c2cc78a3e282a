#pragma once

// A main window wired to the fakes, shown and active so that focus and keys behave as for
// a user, and a few readings of its state.

#include "app/chromalynx.h"
#include "fakes.h"
#include "platform/picturebox.h"
#include "platform/scrollbar.h"
#include "platform/textbox.h"

#include <QApplication>
#include <QTest>

#include <memory>

struct Fixture {
    FakeColorDialog dialog;
    FakeMessageBox messages;
    FakeDesktop desktop;
    MemoryStore store;
    std::unique_ptr<Chromalynx> window;

    // Creates the window (its start-up reads the store as seeded so far) and shows it.
    Chromalynx &open(const QString &programFolder = QString())
    {
        // A closed window must not end the test run.
        QApplication::setQuitOnLastWindowClosed(false);
        window = std::make_unique<Chromalynx>(
            Services {dialog, messages, desktop, store, programFolder});
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the window did not become active");
        return *window;
    }
};

// The three slider values, red first.
inline QList<int> sliders(const Chromalynx &w)
{
    return {w.RSlider->value(), w.GSlider->value(), w.BSlider->value()};
}

// The three number fields' texts, red first.
inline QStringList fields(const Chromalynx &w)
{
    return {w.RText->text(), w.GText->text(), w.BText->text()};
}

// Sets the current colour as the user would with the sliders.
inline void setSliders(Chromalynx &w, int red, int green, int blue)
{
    w.RSlider->setValue(red);
    w.GSlider->setValue(green);
    w.BSlider->setValue(blue);
}

// The indices of the favourites that carry the marker image.
inline QList<int> markedFavorites(const Chromalynx &w)
{
    QList<int> marked;
    for (int i = 0; i < 9; ++i) {
        const QImage &picture = w.FavoriteColor[i]->picture();
        if (!picture.isNull() && picture == w.Picture1->picture())
            marked.append(i);
    }
    return marked;
}

inline QList<int> favoriteColors(const Chromalynx &w)
{
    QList<int> colors;
    for (const platform::PictureBox *swatch : w.FavoriteColor)
        colors.append(swatch->backColor());
    return colors;
}

// Focuses a field as a click would, so that its GotFocus handling runs.
inline void focus(QWidget *field)
{
    field->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
}
