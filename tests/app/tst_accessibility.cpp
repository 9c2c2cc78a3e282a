// The main window as assistive technology finds it through Qt's accessibility interfaces:
// what each object is, is called, holds and offers; the actions a screen reader can run;
// and Enter in the colour-name lists. (The AT-SPI check has the Tab order.)

#include "fixture.h"

#include <QAccessible>

namespace {

// "role 'name' value 'v' described 'd' [states]", empty parts out.
QString describe(QAccessibleInterface *object)
{
    static const QHash<int, QString> roles = {{QAccessible::RadioButton, "radio"},
                                              {QAccessible::ColorChooser, "swatch"},
                                              {QAccessible::List, "list"}};
    QString text = roles.value(object->role(), QString::number(object->role(), 16));
    for (const auto &[which, before] : {std::pair{QAccessible::Name, " '"},
                                        {QAccessible::Value, " value '"},
                                        {QAccessible::Description, " described '"}})
        if (const QString part = object->text(which); !part.isEmpty())
            text += before + part + '\'';
    const QAccessible::State state = object->state();
    QStringList states;
    for (const auto &[on, name] : {std::pair{bool(state.focusable), "focusable"},
                                   {bool(state.checked), "checked"},
                                   {bool(state.selectable), "selectable"},
                                   {bool(state.selected), "selected"}})
        if (on)
            states << name;
    return states.isEmpty() ? text : text + " [" + states.join(u' ') + ']';
}

QString keyOf(QAccessibleInterface *object)
{
    if (object->object())
        return object->object()->objectName();
    QAccessibleInterface *parent = object->parent();
    return keyOf(parent) + '[' + QString::number(parent->indexOfChild(object)) + ']';
}

// Every object below `root` by object name (an entry by its list's name and its row), as
// describe() tells it, or "misplaced" where a child does not name its parent and index.
QMap<QString, QString> tree(QAccessibleInterface *root)
{
    QMap<QString, QString> found;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface *child = root->child(i);
        if (!child)
            continue;
        const bool placed = child->parent() == root && root->indexOfChild(child) == i;
        found.insert(keyOf(child), placed ? describe(child) : "misplaced");
        found.insert(tree(child));
    }
    return found;
}

} // namespace

class AccessibilityTest : public WindowTest {
    Q_OBJECT

    // Runs the named action of an object given as "Name" or "List[entry text]".
    void doAction(const QString &target, const QString &action)
    {
        QObject *named = f->window->findChild<QObject *>(target.section(u'[', 0, 0));
        QVERIFY2(named, qPrintable(target));
        QAccessibleInterface *object = QAccessible::queryAccessibleInterface(named);
        if (auto *list = qobject_cast<platform::ListBox *>(named); list && target.endsWith(u']')) {
            const QString text = target.section(u'[', 1).chopped(1).replace(u'_', u' ');
            QListWidgetItem *item = list->findItems(text, Qt::MatchExactly).value(0);
            QVERIFY2(item, qPrintable(text));
            object = object->child(list->row(item));
        }
        QVERIFY(object && object->actionInterface());
        QVERIFY2(object->actionInterface()->actionNames().contains(action),
                 qPrintable(object->actionInterface()->actionNames().join(u',')));
        object->actionInterface()->doAction(action);
    }

private Q_SLOTS:
    // Rows tagged with a script for act() and the object read after it ("missing" where it
    // is not in the tree). The tree as it opens is the AT-SPI check's; these rows are what
    // changes, and the list behind, which is not there at all.
    void reads_data()
    {
        QTest::addColumn<QString>("expected");

        QTest::newRow("Option_HTML") << "radio 'HTML' [focusable checked]";
        QTest::newRow("ColorName2") << "missing";
        // Option buttons are told as option buttons, a second click on one keeps it selected
        // and each container's group is its own.
        const QString twice
            = "@CheckColorName @Option_DEC @Option_DEC @Arphabet_Sort @Arphabet_Sort ";
        QTest::newRow(qPrintable(twice + "Option_DEC")) << "radio 'DEC' [focusable checked]";
        QTest::newRow(qPrintable(twice + "Option_HTML")) << "radio 'HTML' [focusable]";
        QTest::newRow(qPrintable(twice + "Arphabet_Sort"))
            << "radio 'アルファベット順' [focusable checked]";
        QTest::newRow(qPrintable(twice + "ColorName2"))
            << "list '色名リスト (アルファベット順)' described '色名選択' [focusable]";
        // A swatch reads its code in the chosen notation and the colour's names, if any.
        QTest::newRow("@Option_VB FavoriteColor(0)")
            << "swatch 'お気に入り1' value '&H00FFFFFF white' described '&H00FFFFFF white、選択中' "
               "[selectable selected]";
        QTest::newRow("RSlider=0 Color")
            << "swatch '表示色' value '#00FFFF aqua / cyan' described '#00FFFF aqua / cyan'";
        const QString shown = "favorite/2=1 favorite/3=255 @favorite_display(2) ";
        QTest::newRow(qPrintable(shown + "FavoriteColor(1)"))
            << "swatch 'お気に入り2' value '#010000' described '#010000' [selectable]";
        QTest::newRow(qPrintable(shown + "FavoriteColor(2)"))
            << "swatch 'お気に入り3' value '#FF0000 red' described '#FF0000 red、選択中' "
               "[selectable selected]";
        QTest::newRow("favorite/3=255 @Option_VB RSlider=0 BSlider=0 @favorite_add(1) "
                      "FavoriteColor(1)")
            << "swatch 'お気に入り2' value '&H0000FF00 lime' described '&H0000FF00 lime、選択中' "
               "[selectable selected]";
    }

    void reads()
    {
        QFETCH(QString, expected);

        const QString tag = QString::fromUtf8(QTest::currentDataTag());
        const QString script = tag.section(u' ', 0, -2), key = tag.section(u' ', -1);
        Chromalynx &w = open(script);
        act(script);
        const QMap<QString, QString> found
            = tree(QAccessible::queryAccessibleInterface(w.centralWidget()));
        QCOMPARE(found.value(key, "missing"), expected);
        QVERIFY2(!found.values().contains("misplaced"), qPrintable(found.key("misplaced")));
    }

    // Rows tagged with stored entries, then "target:action" steps and act() steps.
    void actionsAndKeys_data()
    {
        QTest::addColumn<QString>("changes");

        QTest::newRow("favorite/1=0 RSlider=0 FavoriteColor(0):追加 FavoriteColor(1):表示")
            << "fav1=16776960 marker=2";
        const QString listed = "colornamelist=1 width=8055 menu=pin,hide ";
        QTest::newRow("@CheckColorName ColorName1[#4682B4_steelblue]:Press")
            << "rgb=70,130,180 code=#4682B4 " + listed + "ColorName1=#4682B4 steelblue";
        QTest::newRow("@CheckColorName @Arphabet_Sort ColorName2[tan_#D2B48C]:Press")
            << "rgb=210,180,140 code=#D2B48C " + listed + "front=2 ColorName2=tan #D2B48C";
        // The action on the selected entry keeps it selected; only the code-ordered list,
        // where it stands for a double click, takes it again.
        QTest::newRow("@CheckColorName @ColorName1[#FF0000_red] RSlider=1 "
                      "ColorName1[#FF0000_red]:Press")
            << "rgb=255,0,0 code=#FF0000 " + listed + "ColorName1=#FF0000 red";
        QTest::newRow("@CheckColorName @Arphabet_Sort @ColorName2[tan_#D2B48C] RSlider=1 "
                      "ColorName2[tan_#D2B48C]:Press")
            << "rgb=1,180,140 code=#01B48C " + listed + "front=2 ColorName2=tan #D2B48C";
        // Enter in a list takes the selected entry as a double click does; Ctrl+Enter does not.
        QTest::newRow("@CheckColorName @ColorName1[#FF0000_red] {Down}{Return}")
            << "rgb=255,0,255 code=#FF00FF " + listed + "ColorName1=#FF00FF fuchsia";
        QTest::newRow("@CheckColorName @ColorName1[#FF0000_red] {Enter}")
            << "rgb=255,0,0 code=#FF0000 " + listed + "ColorName1=#FF0000 red";
        QTest::newRow("@CheckColorName @ColorName1 {Return}") << listed.trimmed();
        QTest::newRow("@CheckColorName @ColorName1[#FF0000_red] {Ctrl+Return}")
            << listed + "ColorName1=#FF0000 red";
        QTest::newRow("@CheckColorName @Arphabet_Sort @ColorName2[tan_#D2B48C] @RText 1 "
                      "@ColorName2 {Return}")
            << "rgb=1,180,140 code=#01B48C " + listed + "front=2 ColorName2=tan #D2B48C";
    }

    void actionsAndKeys()
    {
        QFETCH(QString, changes);

        const QStringList steps = QString::fromUtf8(QTest::currentDataTag()).split(u' ');
        const QStringList keyed = QStringList(steps).filter(QRegularExpression("^[^:]*$"));
        Chromalynx &w = open(keyed.join(u' '));
        if (needsKeyboard(keyed.join(u' ')))
            SKIP_UNLESS_FOCUSED(w);
        for (const QString &step : steps) {
            if (keyed.contains(step))
                act(step);
            else
                doAction(step.section(u':', 0, 0), step.section(u':', 1));
        }
        QCOMPARE(::changes(w), changes);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
