// The nine favourite swatches: drag and drop between the swatches and the preview, the
// favourites menu with its keys, the marker and clearing.

#include "fixture.h"

#include <QAction>
#include <QPushButton>

namespace {

// A press on the source and a release over the target, as the mouse delivers it: every
// event goes to the widget where the button went down.
void drag(QWidget *source, const QWidget *target)
{
    QWidget *top = source->window();
    const QPoint over = source->mapFrom(top, target->mapTo(top, target->rect().center()));
    QTest::mousePress(source, Qt::LeftButton, {}, source->rect().center());
    QTest::mouseMove(source, over);
    QTest::mouseRelease(source, Qt::LeftButton, {}, over);
}

constexpr int White = 16777215;
constexpr int Red = 255;
constexpr int Teal = 5649426;     // 18, 52, 86, stored as favourite 5
constexpr int Azure = 16744448;   // 0, 128, 255, the current colour

QList<int> storedFavorites()
{
    return {White, White, Red, White, Teal, White, White, White, White};
}

QList<int> with(QList<int> colors, int index, int color)
{
    colors[index] = color;
    return colors;
}

} // namespace

class FavoritesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dragAndDrop_data();
    void dragAndDrop();
    void storeAndRecall_data();
    void storeAndRecall();
    void recallingANeverSetFavouriteGivesWhite();
    void clearAsksFirst_data();
    void clearAsksFirst();
    void markerFramesTheColour_data();
    void markerFramesTheColour();
};

void FavoritesTest::dragAndDrop_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QList<int>>("favorites");
    QTest::addColumn<QList<int>>("marked");
    QTest::addColumn<int>("current");

    QTest::newRow("3 onto 7") << "FavoriteColor(2)" << "FavoriteColor(6)"
                              << with(storedFavorites(), 6, Red) << QList<int>({6}) << Azure;
    QTest::newRow("click on 5") << "FavoriteColor(4)" << "FavoriteColor(4)" << storedFavorites()
                                << QList<int>({4}) << Azure;
    QTest::newRow("5 onto preview") << "FavoriteColor(4)" << "Color" << storedFavorites()
                                    << QList<int>({4}) << Teal;
    QTest::newRow("preview onto 2") << "Color" << "FavoriteColor(1)"
                                    << with(storedFavorites(), 1, Azure) << QList<int>({1}) << Azure;
    QTest::newRow("preview onto itself") << "Color" << "Color" << storedFavorites()
                                         << QList<int>({0}) << Azure;
    QTest::newRow("3 onto RText") << "FavoriteColor(2)" << "RText" << storedFavorites()
                                  << QList<int>({0}) << Azure;
    QTest::newRow("3 onto label 3") << "FavoriteColor(2)" << "Label11" << storedFavorites()
                                    << QList<int>({0}) << Azure;
    QTest::newRow("5 onto Picture1") << "FavoriteColor(4)" << "Picture1" << storedFavorites()
                                     << QList<int>({0}) << Azure;
}

void FavoritesTest::dragAndDrop()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QList<int>, favorites);
    QFETCH(QList<int>, marked);
    QFETCH(int, current);

    Fixture f;
    f.store.seed({"favorite/3=255", "favorite/5=5649426"});
    Chromalynx &w = f.open();
    setSliders(w, 0, 128, 255);
    auto *source = w.findChild<QWidget *>(from);
    const auto *target = w.findChild<QWidget *>(to);
    QVERIFY(source && target);

    drag(source, target);
    QCOMPARE(favoriteColors(w), favorites);
    QCOMPARE(markedFavorites(w), marked);
    QCOMPARE(w.Color->backColor(), current);
    const colorcodes::ColorCodes parts = colorcodes::SplitColor(current);
    QCOMPARE(fields(w), QStringList({QString::number(parts.R), QString::number(parts.G),
                                     QString::number(parts.B)}));
    QCOMPARE(w.RGBCode->text(), QString::fromStdString(parts.HTMLCode));
    QVERIFY(!QGuiApplication::overrideCursor());
}

void FavoritesTest::storeAndRecall_data()
{
    QTest::addColumn<bool>("keys");
    QTest::newRow("menu entries") << false;
    QTest::newRow("Shift+F4 and F4 in a number field") << true;
}

void FavoritesTest::storeAndRecall()
{
    QFETCH(bool, keys);

    Fixture f;
    Chromalynx &w = f.open();
    setSliders(w, 0, 128, 255);
    focus(w.GText);
    if (keys)
        QTest::keyClick(&w, Qt::Key_F4, Qt::ShiftModifier);
    else
        w.favorite_add[3]->trigger();
    QCOMPARE(w.FavoriteColor[3]->backColor(), Azure);
    QCOMPARE(markedFavorites(w), QList<int>({3}));
    QCOMPARE(fields(w), QStringList({"0", "128", "255"})); // the editor is left alone

    setSliders(w, 9, 9, 9);
    w.favorite_add[0]->trigger();
    if (keys)
        QTest::keyClick(w.GText, Qt::Key_F4);
    else
        w.favorite_display[3]->trigger();
    QCOMPARE(fields(w), QStringList({"0", "128", "255"}));
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#0080FF"));
    QCOMPARE(markedFavorites(w), QList<int>({3}));
    QCOMPARE(w.GText->text(), QStringLiteral("128")); // no F-key text reached the field
}

void FavoritesTest::recallingANeverSetFavouriteGivesWhite()
{
    Fixture f;
    Chromalynx &w = f.open();
    setSliders(w, 1, 2, 3);
    w.favorite_display[8]->trigger();
    QCOMPARE(fields(w), QStringList({"255", "255", "255"}));
    QCOMPARE(markedFavorites(w), QList<int>({8}));
}

void FavoritesTest::clearAsksFirst_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("ok");

    QTest::newRow("Clear button, Cancel") << "button" << false;
    QTest::newRow("Clear button, OK") << "button" << true;
    QTest::newRow("menu, Cancel") << "menu" << false;
    QTest::newRow("Ctrl+C in RText, OK") << "keys" << true;
    QTest::newRow("Ctrl+C in RText, Cancel") << "keys" << false;
}

void FavoritesTest::clearAsksFirst()
{
    QFETCH(QString, how);
    QFETCH(bool, ok);

    Fixture f;
    f.store.seed({"favorite/3=255", "favorite/5=5649426"});
    Chromalynx &w = f.open();
    setSliders(w, 0, 128, 255);
    w.favorite_display[4]->trigger();
    f.messages.answerOk = ok;

    if (how == "button") {
        QTest::mouseClick(w.FavoriteClear, Qt::LeftButton);
    } else if (how == "menu") {
        w.favorite_clear->trigger();
    } else {
        focus(w.RText);
        QTest::keyClick(w.RText, Qt::Key_C, Qt::ControlModifier);
    }

    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.messages.shown[0].text, QStringLiteral("お気に入りをすべて消去します"));
    QCOMPARE(f.messages.shown[0].title, QStringLiteral("確認"));
    QVERIFY(f.messages.shown[0].withCancel);
    QCOMPARE(favoriteColors(w), ok ? QList<int>(9, White) : storedFavorites());
    QCOMPARE(markedFavorites(w), QList<int>({ok ? 0 : 4}));
    QCOMPARE(fields(w), QStringList({"18", "52", "86"}));
    QVERIFY(f.store.writes.isEmpty());
}

void FavoritesTest::markerFramesTheColour_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<QColor>("at11");
    QTest::addColumn<QColor>("at22");

    const QColor red(255, 0, 0);
    QTest::newRow("marked red favourite") << 2 << true << QColor(252, 254, 252) << QColor(4, 2, 4);
    QTest::newRow("unmarked red favourite") << 2 << false << red << red;
    QTest::newRow("marked white favourite") << 0 << true << QColor(252, 254, 252) << QColor(4, 2, 4);
}

void FavoritesTest::markerFramesTheColour()
{
    QFETCH(int, index);
    QFETCH(bool, marked);
    QFETCH(QColor, at11);
    QFETCH(QColor, at22);

    Fixture f;
    f.store.seed({"favorite/3=255"});
    Chromalynx &w = f.open();
    drag(w.FavoriteColor[marked ? index : 8], w.FavoriteColor[marked ? index : 8]);

    const QImage swatch = w.FavoriteColor[index]->grab().toImage();
    QCOMPARE(swatch.size(), QSize(25, 25));
    const QColor inside = platform::ToQColor(w.FavoriteColor[index]->backColor());
    QCOMPARE(swatch.pixelColor(1, 1), at11);
    QCOMPARE(swatch.pixelColor(23, 23), at11);
    QCOMPARE(swatch.pixelColor(2, 2), at22);
    QCOMPARE(swatch.pixelColor(22, 12), at22);
    QCOMPARE(swatch.pixelColor(12, 12), inside);
    QCOMPARE(swatch.pixelColor(3, 3), inside);
}

QTEST_MAIN(FavoritesTest)
#include "tst_favorites.moc"
