// Always on top, the readme and the About box.

#include "app/aboutdialog.h"
#include "app/standardfunctions.h"
#include "fixture.h"
#include "platform/checkbox.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

namespace {

bool isTopmost(const QWidget &w)
{
    return w.windowHandle() && w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

const QString On = QStringLiteral("常に手前に表示を解除");
const QString Off = QStringLiteral("常に手前に表示");

} // namespace

class OptionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void alwaysOnTopFollowsTheCheckBox_data();
    void alwaysOnTopFollowsTheCheckBox();
    void greyedCheckBoxChangesNothing_data();
    void greyedCheckBoxChangesNothing();
    void setFormTopmostIgnoresOtherModes_data();
    void setFormTopmostIgnoresOtherModes();
    void readmeOnlyCountsBesideTheProgram_data();
    void readmeOnlyCountsBesideTheProgram();
    void aboutBoxSwitchesAlwaysOnTopOff_data();
    void aboutBoxSwitchesAlwaysOnTopOff();
};

void OptionsTest::alwaysOnTopFollowsTheCheckBox_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("check box value") << "value";
    QTest::newRow("check box click") << "click";
    QTest::newRow("display_formtop") << "menu";
    QTest::newRow("Ctrl+T in BText") << "keys";
}

void OptionsTest::alwaysOnTopFollowsTheCheckBox()
{
    QFETCH(QString, how);

    Fixture f;
    Chromalynx &w = f.open();
    const auto flip = [&](int to) {
        if (how == "value")
            w.CheckFormtop->setValue(to);
        else if (how == "click")
            QTest::mouseClick(w.CheckFormtop, Qt::LeftButton);
        else if (how == "menu")
            w.display_formtop->trigger();
        else
            QTest::keyClick(w.BText, Qt::Key_T, Qt::ControlModifier);
    };
    focus(w.BText);
    const QRect where = w.frameGeometry();
    const WId native = w.winId();

    flip(1);
    QCOMPARE(w.CheckFormtop->value(), 1);
    QVERIFY(isTopmost(w));
    QCOMPARE(w.display_formtop->text(), On);
    flip(0);
    QCOMPARE(w.CheckFormtop->value(), 0);
    QVERIFY(!isTopmost(w));
    QCOMPARE(w.display_formtop->text(), Off);

    QVERIFY(w.isVisible());
    QCOMPARE(w.frameGeometry(), where);
    QCOMPARE(w.winId(), native);
    QCOMPARE(w.CheckFormtop->text(), Off);
}

void OptionsTest::greyedCheckBoxChangesNothing_data()
{
    QTest::addColumn<int>("before");
    QTest::newRow("from clear") << 0;
    QTest::newRow("from ticked") << 1;
}

void OptionsTest::greyedCheckBoxChangesNothing()
{
    QFETCH(int, before);

    Fixture f;
    Chromalynx &w = f.open();
    w.CheckFormtop->setValue(before);
    w.CheckFormtop->setValue(2); // runs the check box's handling with 2
    w.CheckFormtop_Click();
    w.display_formtop->trigger();
    QCOMPARE(w.CheckFormtop->value(), 2);
    QCOMPARE(isTopmost(w), before == 1);
    QCOMPARE(w.display_formtop->text(), before == 1 ? On : Off);
}

void OptionsTest::setFormTopmostIgnoresOtherModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("topmost");

    QTest::newRow("2") << 2 << true;
    QTest::newRow("-1") << -1 << true;
    QTest::newRow("-2") << -2 << true;
}

void OptionsTest::setFormTopmostIgnoresOtherModes()
{
    QFETCH(int, mode);
    QFETCH(bool, topmost);

    Fixture f;
    Chromalynx &w = f.open();
    QVERIFY(StandardFunctions::SetFormTopmost(w, 1) != 0);
    QCOMPARE(StandardFunctions::SetFormTopmost(w, static_cast<std::int16_t>(mode)), 0);
    QCOMPARE(isTopmost(w), topmost);
    QVERIFY(StandardFunctions::SetFormTopmost(w, 0) != 0);
    QCOMPARE(StandardFunctions::SetFormTopmost(w, static_cast<std::int16_t>(mode)), 0);
    QVERIFY(!isTopmost(w));
}

void OptionsTest::readmeOnlyCountsBesideTheProgram_data()
{
    QTest::addColumn<QString>("besideProgram"); // "file", "folder" or nothing
    QTest::addColumn<bool>("inWorkingFolder");
    QTest::addColumn<bool>("opens");

    QTest::newRow("file present") << "file" << false << true;
    QTest::newRow("absent") << "" << false << false;
    QTest::newRow("folder named readme.txt") << "folder" << false << false;
    QTest::newRow("only in the working folder") << "" << true << false;
}

void OptionsTest::readmeOnlyCountsBesideTheProgram()
{
    QFETCH(QString, besideProgram);
    QFETCH(bool, inWorkingFolder);
    QFETCH(bool, opens);

    QTemporaryDir program;
    QTemporaryDir working;
    QVERIFY(program.isValid() && working.isValid());
    const QString readme = program.filePath(QStringLiteral("readme.txt"));
    if (besideProgram == "file") {
        QFile file(readme);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (besideProgram == "folder") {
        QVERIFY(QDir(program.path()).mkdir(QStringLiteral("readme.txt")));
    }
    if (inWorkingFolder) {
        QFile file(working.filePath(QStringLiteral("readme.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString before = QDir::currentPath();
    QDir::setCurrent(working.path());

    Fixture f;
    Chromalynx &w = f.open(program.path());
    focus(w.RText);
    QTest::keyClick(w.RText, Qt::Key_H, Qt::ControlModifier);
    w.mhelp_display->trigger();
    QDir::setCurrent(before);

    if (opens) {
        QCOMPARE(f.desktop.opened, QList<QUrl>(2, QUrl::fromLocalFile(readme)));
        QVERIFY(f.messages.shown.isEmpty());
    } else {
        QVERIFY(f.desktop.opened.isEmpty());
        QCOMPARE(f.messages.shown.size(), 2);
        QCOMPARE(f.messages.shown[0].text, QStringLiteral("readme.txtがありません。"));
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("readme"));
        QVERIFY(!f.messages.shown[0].withCancel);
    }
}

void OptionsTest::aboutBoxSwitchesAlwaysOnTopOff_data()
{
    QTest::addColumn<int>("formtop");
    QTest::addColumn<int>("closeKey");
    QTest::addColumn<int>("formtopAfter");

    QTest::newRow("on, Escape") << 1 << int(Qt::Key_Escape) << 0;
    QTest::newRow("on, Enter") << 1 << int(Qt::Key_Return) << 0;
    QTest::newRow("off, Escape") << 0 << int(Qt::Key_Escape) << 0;
    QTest::newRow("greyed, Enter") << 2 << int(Qt::Key_Return) << 2;
}

void OptionsTest::aboutBoxSwitchesAlwaysOnTopOff()
{
    QFETCH(int, formtop);
    QFETCH(int, closeKey);
    QFETCH(int, formtopAfter);

    Fixture f;
    Chromalynx &w = f.open();
    w.CheckFormtop->setValue(formtop);

    bool opened = false;
    QTimer::singleShot(0, &w, [&] {
        auto *about = qobject_cast<AboutDialog *>(QApplication::activeModalWidget());
        QVERIFY2(about, "the About box did not open modally");
        opened = true;
        // Whatever fails here, the box must close, or the test would wait for ever.
        const auto closer = qScopeGuard([about] { about->reject(); });
        QCOMPARE(w.CheckFormtop->value(), formtopAfter); // switched off before it opened
        QVERIFY(!isTopmost(w));

        QCOMPARE(about->windowTitle(), QStringLiteral("バージョン情報"));
        QCOMPARE(about->size(), QSize(290, 115));
        const QPoint off = about->frameGeometry().center() - w.frameGeometry().center();
        QVERIFY2(off.manhattanLength() <= 2, "the About box opens centred on the window");
        QCOMPARE(about->Label1->text(), QStringLiteral("Chromalynx Ver 2.00"));
        QCOMPARE(about->Label5->text(), QStringLiteral("URL："));
        QCOMPARE(about->Label6->text(), QStringLiteral("MAIL："));
        for (const QLabel *link : {about->Url, about->Mail}) {
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        }
        const QString mail = about->Mail->text();
        const QUrl url(about->Url->text());
        QVERIFY(!mail.isEmpty() && !mail.startsWith(QStringLiteral("mailto:")));
        QVERIFY(url.isValid() && !url.scheme().isEmpty());

        QTest::mouseClick(about->Mail, Qt::LeftButton);
        QTest::mouseClick(about->Url, Qt::LeftButton);
        QCOMPARE(f.desktop.opened.size(), 2);
        QCOMPARE(f.desktop.opened[0].toString(), QStringLiteral("mailto:") + mail);
        QCOMPARE(f.desktop.opened[1], url);
        QVERIFY(about->isVisible());

        QTest::keyClick(about->focusWidget() ? about->focusWidget() : about, Qt::Key(closeKey));
        QVERIFY2(!about->isVisible(), "the key did not close the About box");
    });
    w.mhelp_version->trigger();
    QVERIFY(opened);

    QCOMPARE(w.CheckFormtop->value(), formtopAfter);
    QVERIFY(!isTopmost(w));
    QCOMPARE(w.display_formtop->text(), Off);
    QVERIFY(w.isVisible());
}

QTEST_MAIN(OptionsTest)
#include "tst_options.moc"
