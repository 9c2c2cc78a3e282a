// The main window and the About box as assistive technology finds them through Qt's
// accessibility interfaces: what each object is, is called, holds and offers; the actions a
// screen reader can run; the events it hears; and the keyboard alone (Tab order, Enter in
// the code-ordered list, the About box's links).

#include "app/aboutdialog.h"
#include "fixture.h"
#include "platform/controls/linklabel.h"
#include "platform/controls/optionbutton.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

namespace {

QString roleName(QAccessible::Role role)
{
    static const QHash<int, QString> names = {
        {QAccessible::Window, "window"},       {QAccessible::Client, "client"},
        {QAccessible::MenuBar, "menubar"},     {QAccessible::MenuItem, "menuitem"},
        {QAccessible::EditableText, "text"},   {QAccessible::Button, "button"},
        {QAccessible::CheckBox, "checkbox"},   {QAccessible::RadioButton, "radio"},
        {QAccessible::ColorChooser, "swatch"}, {QAccessible::StaticText, "label"},
        {QAccessible::ScrollBar, "scrollbar"}, {QAccessible::List, "list"},
        {QAccessible::ListItem, "item"},       {QAccessible::Grouping, "group"},
        {QAccessible::Link, "link"},           {QAccessible::Dialog, "dialog"},
        {QAccessible::PopupMenu, "menu"},      {QAccessible::Slider, "slider"},
    };
    return names.value(role, QString::number(role, 16));
}

// "role 'name' value 'value' described 'description' [states]"; empty parts left out.
QString describe(QAccessibleInterface *object)
{
    const QAccessible::State state = object->state();
    QStringList states;
    if (state.focusable)
        states << "focusable";
    if (state.checked)
        states << "checked";
    if (state.selectable)
        states << "selectable";
    if (state.selected)
        states << "selected";
    if (state.invisible)
        states << "invisible";
    QString text = roleName(object->role());
    if (const QString name = object->text(QAccessible::Name); !name.isEmpty())
        text += " '" + name + "'";
    if (const QString value = object->text(QAccessible::Value); !value.isEmpty())
        text += " value '" + value + "'";
    if (const QString description = object->text(QAccessible::Description); !description.isEmpty())
        text += " described '" + description + "'";
    if (!states.isEmpty())
        text += " [" + states.join(u' ') + ']';
    return text;
}

QString keyOf(QAccessibleInterface *object)
{
    if (object->object())
        return object->object()->objectName();
    QAccessibleInterface *parent = object->parent();
    return keyOf(parent) + '[' + QString::number(parent->indexOfChild(object)) + ']';
}

// Every object below `root`, by object name (an entry by its list's name and its row), as
// describe() tells it; also checks that each child names its parent and its own index.
QMap<QString, QString> tree(QAccessibleInterface *root)
{
    QMap<QString, QString> found;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface *child = root->child(i);
        if (!child)
            continue;
        if (child->parent() != root || root->indexOfChild(child) != i)
            found.insert(keyOf(child), "misplaced");
        found.insert(keyOf(child), describe(child));
        found.insert(tree(child));
    }
    return found;
}

QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

// The Tab stops from the focused control round to it again, by object name.
QStringList tabCycle()
{
    QStringList stops;
    QWidget *start = QApplication::focusWidget();
    for (int i = 0; i < 40 && start; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *now = QApplication::focusWidget();
        stops << (now ? now->objectName() : QStringLiteral("nothing"));
        if (now == start)
            break;
    }
    return stops;
}

} // namespace

class AccessibilityTest : public WindowTest {
    Q_OBJECT

    // Runs the named action of an object given as "Name" or "List[entry text]".
    void doAction(const QString &target, const QString &action)
    {
        Chromalynx &w = *f->window;
        QObject *named = w.findChild<QObject *>(target.section(u'[', 0, 0));
        QVERIFY2(named, qPrintable(target));
        QAccessibleInterface *object = accessible(named);
        if (target.endsWith(u']')) {
            auto *list = qobject_cast<platform::ListBox *>(named);
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
    // Every object of the main window as it opens with nothing stored; the menu bar aside.
    void mainWindow_data()
    {
        QTest::addColumn<QString>("expected");

        QTest::newRow("client") << "client";
        QTest::newRow("RGBCode") << "text 'RGB' value '#FFFFFF' [focusable]";
        QTest::newRow("CodeCopy") << "button 'Copy' described 'RGB値をコピー' [focusable]";
        QTest::newRow("SelColor") << "button 'Palette' described '色を選択' [focusable]";
        QTest::newRow("RText") << "text 'R' value '255' [focusable]";
        QTest::newRow("GText") << "text 'G' value '255' [focusable]";
        QTest::newRow("BText") << "text 'B' value '255' [focusable]";
        QTest::newRow("FavoriteClear") << "button 'Clear' described 'お気に入りを削除' [focusable]";
        QTest::newRow("Color") << "swatch '表示色' value '#FFFFFF white' described '#FFFFFF white'";
        QTest::newRow("FavoriteColor(0)")
            << "swatch 'お気に入り1' value '#FFFFFF white' described '#FFFFFF white、選択中' "
               "[selectable selected]";
        for (int i = 1; i < 9; ++i)
            QTest::addRow("FavoriteColor(%d)", i)
                << QStringLiteral("swatch 'お気に入り%1' value '#FFFFFF white' "
                                  "described '#FFFFFF white' [selectable]")
                       .arg(i + 1);
        for (const char *label : {"Label1", "Label2", "Label3"})
            QTest::newRow(label) << QStringLiteral("label '%1'").arg(QChar(u"RGB"[label[5] - '1']));
        QTest::newRow("Label4") << "label 'RGB：'";
        QTest::newRow("Label5") << "label '表示色：'";
        QTest::newRow("Label6") << "label '形式：'";
        for (int n = 1; n <= 9; ++n)
            QTest::addRow("Label%d", 8 + n) << QStringLiteral("label '%1'").arg(n);
        QTest::newRow("Option_HTML") << "radio 'HTML' [focusable checked]";
        QTest::newRow("Option_VB") << "radio 'VB' [focusable]";
        QTest::newRow("Option_DEC") << "radio 'DEC' [focusable]";
        QTest::newRow("CheckFormtop") << "checkbox '常に手前に表示' [focusable]";
        QTest::newRow("CheckColorName") << "checkbox '色名リスト表示' [focusable]";
        // Only the list in front is there; the other is hidden beneath it.
        // The list column lies beyond the window's edge: Tab does not reach it.
        QTest::newRow("ColorName1") << "list '色名リスト (RGB順)' described '色名選択'";
        QTest::newRow("ColorName1[0]") << "item '#000000 black' [focusable selectable]";
        QTest::newRow("ColorName1[139]") << "item '#FFFFFF white' [focusable selectable invisible]";
        QTest::newRow("RSlider") << "scrollbar 'R' value '255' [focusable]";
        QTest::newRow("GSlider") << "scrollbar 'G' value '255' [focusable]";
        QTest::newRow("BSlider") << "scrollbar 'B' value '255' [focusable]";
        QTest::newRow("Frame1") << "group";
        QTest::newRow("RGB_Sort") << "radio 'RGB順' [checked]";
        QTest::newRow("Arphabet_Sort") << "radio 'アルファベット順'";
    }

    void mainWindow()
    {
        QFETCH(QString, expected);

        Chromalynx &w = open();
        SKIP_UNLESS_FOCUSED(w);
        QMap<QString, QString> found = tree(accessible(w.centralWidget()));
        found.insert("client", describe(accessible(w.centralWidget())));
        const QString key = QString::fromLatin1(QTest::currentDataTag());
        QCOMPARE(found.value(key, "missing"), expected);
    }

    // Nothing more than the rows above, and nothing that no one sees.
    void mainWindowHoldsNothingElse()
    {
        Chromalynx &w = open();
        QStringList names = tree(accessible(w.centralWidget())).keys();
        names.removeIf([](const QString &name) { return name.startsWith("ColorName1["); });
        QCOMPARE(names.size(), 44); // the controls of mainWindow's rows, entries aside
        for (const char *unseen : {"Picture1", "Picture2", "CheckChar", "ColorName2"})
            QVERIFY2(!names.contains(unseen), unseen);
        act("@CheckColorName @Arphabet_Sort");
        names = tree(accessible(w.centralWidget())).keys();
        QVERIFY(names.contains("ColorName2") && !names.contains("ColorName1"));
    }

    // Rows tagged with a script for act(); the readings of the preview and favourites 1 to 3.
    void swatchReadings_data()
    {
        QTest::addColumn<QString>("readings");

        const QString white = "#FFFFFF white";
        QTest::newRow("") << "#FFFFFF white | #FFFFFF white、選択中 | " + white + " | " + white;
        QTest::newRow("@Option_VB")
            << "&H00FFFFFF white | &H00FFFFFF white、選択中 | &H00FFFFFF white | &H00FFFFFF white";
        QTest::newRow("@Option_DEC")
            << "16777215 white | 16777215 white、選択中 | 16777215 white | 16777215 white";
        QTest::newRow("RSlider=70 GSlider=130 BSlider=180")
            << "#4682B4 steelblue | #FFFFFF white、選択中 | " + white + " | " + white;
        QTest::newRow("RSlider=1") << "#01FFFF | #FFFFFF white、選択中 | " + white + " | " + white;
        QTest::newRow("RSlider=0")
            << "#00FFFF aqua / cyan | #FFFFFF white、選択中 | " + white + " | " + white;
        QTest::newRow("favorite/2=1 favorite/3=255 @favorite_display(2)")
            << "#FF0000 red | " + white + " | #010000 | #FF0000 red、選択中";
        QTest::newRow("favorite/3=255 @Option_VB RSlider=0 BSlider=0 @favorite_add(1)")
            << "&H0000FF00 lime | &H00FFFFFF white | &H0000FF00 lime、選択中 | &H000000FF red";
    }

    void swatchReadings()
    {
        QFETCH(QString, readings);

        const QString script = QString::fromUtf8(QTest::currentDataTag());
        Chromalynx &w = open(script);
        act(script);
        QStringList found = {accessible(w.Color)->text(QAccessible::Value)};
        for (int i = 0; i < 3; ++i) {
            QAccessibleInterface *favorite = accessible(w.FavoriteColor[i]);
            const QString value = favorite->text(QAccessible::Value);
            const QString description = favorite->text(QAccessible::Description);
            QVERIFY2(description.startsWith(value), qPrintable(description));
            QCOMPARE(favorite->state().selected, description.endsWith("選択中"));
            found << description;
        }
        QCOMPARE(found.join(" | "), readings);
    }

    // Rows tagged with stored entries, then "target:action" steps and act() steps.
    void actions_data()
    {
        QTest::addColumn<QString>("changes");

        QTest::newRow("favorite/3=255 FavoriteColor(2):表示")
            << "rgb=255,0,0 code=#FF0000 marker=3 fav3=255";
        QTest::newRow("RSlider=0 FavoriteColor(8):追加")
            << "rgb=0,255,255 code=#00FFFF marker=9 fav9=16776960";
        QTest::newRow("favorite/1=0 RSlider=0 FavoriteColor(0):追加 FavoriteColor(1):表示")
            << "fav1=16776960 marker=2";
        QTest::newRow("@CheckColorName ColorName1[#4682B4_steelblue]:Press")
            << "rgb=70,130,180 code=#4682B4 colornamelist=1 width=8055 menu=pin,hide "
               "ColorName1=#4682B4 steelblue";
        QTest::newRow("@CheckColorName @Arphabet_Sort ColorName2[tan_#D2B48C]:Press")
            << "rgb=210,180,140 code=#D2B48C colornamelist=1 width=8055 menu=pin,hide front=2 "
               "ColorName2=tan #D2B48C";
        // The action on the selected entry keeps it selected and takes it again.
        QTest::newRow("@CheckColorName @ColorName1[#FF0000_red] RSlider=1 "
                      "ColorName1[#FF0000_red]:Press")
            << "rgb=255,0,0 code=#FF0000 colornamelist=1 width=8055 menu=pin,hide "
               "ColorName1=#FF0000 red";
        QTest::newRow("@CheckColorName @Arphabet_Sort @ColorName2[tan_#D2B48C] RSlider=1 "
                      "ColorName2[tan_#D2B48C]:Press")
            << "rgb=1,180,140 code=#01B48C colornamelist=1 width=8055 menu=pin,hide front=2 "
               "ColorName2=tan #D2B48C";
    }

    void actions()
    {
        QFETCH(QString, changes);

        const QString script = QString::fromUtf8(QTest::currentDataTag());
        Chromalynx &w = open(script);
        for (const QString &step : script.split(u' ')) {
            if (step.contains(u':'))
                doAction(step.section(u':', 0, 0), step.section(u':', 1));
            else
                act(step);
        }
        QCOMPARE(::changes(w), changes);
    }

    // Rows tagged with a script for act(): the Tab stops from the code field round to it.
    void tabOrder_data()
    {
        QTest::addColumn<QString>("stops");

        // Tab enters a group of option buttons at its selected one; the arrow keys move
        // within the group.
        const QString left = "CodeCopy SelColor RText GText BText FavoriteClear Option_HTML "
                             "CheckFormtop CheckColorName";
        const QString sliders = "RSlider GSlider BSlider";
        QTest::newRow("@RGBCode") << left + " " + sliders + " RGBCode";
        QTest::newRow("@CheckColorName @RGBCode")
            << left + " ColorName1 " + sliders + " RGB_Sort RGBCode";
        QTest::newRow("@CheckColorName @Arphabet_Sort @Option_DEC @RGBCode")
            << QString(left).remove("Option_HTML ") + " ColorName2 " + sliders
                + " Arphabet_Sort Option_DEC RGBCode";
        QTest::newRow("@CheckColorName @CheckColorName @RGBCode")
            << left + " " + sliders + " RGBCode";
        QTest::newRow("@display_colorname @display_colorname @display_colorname @RGBCode")
            << left + " ColorName1 " + sliders + " RGB_Sort RGBCode";
        QTest::newRow("condition/colornamelist=1 @RGBCode")
            << left + " ColorName1 " + sliders + " RGB_Sort RGBCode";
    }

    void tabOrder()
    {
        QFETCH(QString, stops);

        const QString script = QString::fromUtf8(QTest::currentDataTag());
        Chromalynx &w = open(script);
        SKIP_UNLESS_FOCUSED(w);
        act(script);
        QCOMPARE(tabCycle().join(u' '), stops);
    }

    // Rows tagged with a script for act(): Enter in the code-ordered list takes the
    // selected entry as a double click does.
    void enterInTheLists_data()
    {
        QTest::addColumn<QString>("changes");

        const QString listed = "colornamelist=1 width=8055 menu=pin,hide";
        QTest::newRow("@CheckColorName @ColorName1[#FF0000_red] {Down}{Return}")
            << "rgb=255,0,255 code=#FF00FF " + listed + " ColorName1=#FF00FF fuchsia";
        QTest::newRow("@CheckColorName @ColorName1[#FF0000_red] {Enter}")
            << "rgb=255,0,0 code=#FF0000 " + listed + " ColorName1=#FF0000 red";
        QTest::newRow("@CheckColorName @ColorName1 {Return}") << listed;
        QTest::newRow("@CheckColorName @ColorName1 {Down}") << listed + " ColorName1=#000000 black";
        QTest::newRow("@CheckColorName @ColorName1[#FF0000_red] {Ctrl+Return}")
            << listed + " ColorName1=#FF0000 red";
        QTest::newRow("@CheckColorName @Arphabet_Sort @ColorName2[tan_#D2B48C] @RText 1 "
                      "@ColorName2 {Return}")
            << "rgb=1,180,140 code=#01B48C " + listed + " front=2 ColorName2=tan #D2B48C";
    }

    void enterInTheLists()
    {
        QFETCH(QString, changes);

        Chromalynx &w = open();
        SKIP_UNLESS_FOCUSED(w);
        act(QString::fromUtf8(QTest::currentDataTag()));
        QCOMPARE(::changes(w), changes);
    }

    // Each label is read with the control it names.
    void labels_data()
    {
        QTest::addColumn<QString>("label");

        QTest::newRow("RGBCode") << "RGB：";
        QTest::newRow("Color") << "表示色：";
        QTest::newRow("RText") << "R";
        QTest::newRow("GText") << "G";
        QTest::newRow("BText") << "B";
        QTest::newRow("RSlider") << "R";
        QTest::newRow("GSlider") << "G";
        QTest::newRow("BSlider") << "B";
    }

    void labels()
    {
        QFETCH(QString, label);

        Chromalynx &w = open();
        QAccessibleInterface *control = accessible(w.findChild<QWidget *>(QTest::currentDataTag()));
        const auto labelledBy = control->relations(QAccessible::Label);
        QCOMPARE(labelledBy.size(), 1);
        QCOMPARE(labelledBy.front().first->text(QAccessible::Name), label);
        // The label's buddy is the number field of its row.
        if (!qobject_cast<QScrollBar *>(control->object())) {
            const auto labels = labelledBy.front().first->relations(QAccessible::Labelled);
            QVERIFY(labels.size() == 1 && labels.front().first->object() == control->object());
        }
    }

    // Rows tagged with the keys pressed in the About box as it opens; the addresses opened
    // and whether it is still open.
    void aboutBox_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<bool>("stillOpen");

        QTest::newRow("Return") << "" << false;
        QTest::newRow("Tab Return") << "url" << true;
        QTest::newRow("Tab Tab Space") << "mail" << true;
        QTest::newRow("Tab Tab Tab Return") << "" << false;
        QTest::newRow("Tab Tab Escape") << "" << false;
        QTest::newRow("Url:Press") << "url" << true;
        QTest::newRow("Mail:Press Url:Press") << "mail url" << true;
    }

    void aboutBox()
    {
        QFETCH(QString, opened);
        QFETCH(bool, stillOpen);

        Chromalynx &w = open();
        SKIP_UNLESS_FOCUSED(w);
        bool checked = false;
        QTimer::singleShot(0, &w, [&] {
            auto *about = qobject_cast<AboutDialog *>(QApplication::activeModalWidget());
            QVERIFY2(about, "the About box did not open modally");
            const auto closer = qScopeGuard([about] { about->reject(); });
            QMap<QString, QString> found = tree(accessible(about));
            QCOMPARE(found.value("Url"), "link '" + about->Url->text() + "' [focusable]");
            QCOMPARE(found.value("Mail"), "link '" + about->Mail->text() + "' [focusable]");
            QCOMPARE(found.value("OKButton"), QStringLiteral("button 'OK' [focusable]"));
            QCOMPARE(found.value("Label5"), QStringLiteral("label 'URL：'"));
            QCOMPARE(about->focusWidget(), about->OKButton);
            for (const QString &step : QString::fromLatin1(QTest::currentDataTag()).split(u' ')) {
                if (step.contains(u':')) {
                    accessible(about->findChild<QObject *>(step.section(u':', 0, 0)))
                        ->actionInterface()
                        ->doAction(QAccessibleActionInterface::pressAction());
                    continue;
                }
                // Offscreen the box may not be active yet; its focus is where keys go.
                QTest::keyClick(about->focusWidget(), QKeySequence(step)[0].key());
            }
            QStringList urls;
            for (const QUrl &url : std::as_const(f->desktop.opened))
                urls << (url.scheme() == u"mailto" ? "mail" : "url");
            QCOMPARE(urls.join(u' '), opened);
            QCOMPARE(about->isVisible(), stillOpen);
            checked = true;
        });
        w.mhelp_version->trigger();
        QVERIFY(checked);
    }

    // The option buttons are told as option buttons, yet a click on the selected one keeps
    // it selected, and each container's group is its own.
    void optionButtons()
    {
        Chromalynx &w = open();
        act("@CheckColorName @Option_DEC @Option_DEC @Arphabet_Sort @Arphabet_Sort");
        for (platform::OptionButton *button : {w.Option_DEC, w.Arphabet_Sort}) {
            QCOMPARE(accessible(button)->role(), QAccessible::RadioButton);
            QVERIFY(button->isChecked() && accessible(button)->state().checked);
        }
        QVERIFY(!w.Option_HTML->isChecked() && !w.Option_VB->isChecked()
                && !w.RGB_Sort->isChecked());
        QCOMPARE(w.RGBCode->text(), QStringLiteral("16777215"));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
