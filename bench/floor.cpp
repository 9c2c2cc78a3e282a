// The practical floor: a plain Qt Widgets window with the same controls and menus as the
// program and nothing behind them.

#include "firstframe.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto *client = new QWidget(&window);
    window.setCentralWidget(client);
    int y = 0;
    const auto place = [&y](QWidget *control) { control->setGeometry(0, y++ * 2, 40, 16); };
    for (int i = 0; i < 4; ++i)
        place(new QLineEdit(QStringLiteral("255"), client));
    for (const char *caption : {"Copy", "Palette", "Clear"})
        place(new QPushButton(QLatin1String(caption), client));
    for (int i = 0; i < 3; ++i)
        place(new QScrollBar(Qt::Horizontal, client));
    for (int i = 0; i < 12; ++i)
        place(new QFrame(client));
    for (int i = 0; i < 18; ++i)
        place(new QLabel(QString::number(i), client));
    for (int i = 0; i < 3; ++i)
        place(new QRadioButton(QStringLiteral("HTML"), client));
    for (int i = 0; i < 3; ++i)
        place(new QCheckBox(QStringLiteral("表示"), client));
    auto *frame = new QGroupBox(client);
    place(frame);
    new QRadioButton(QStringLiteral("RGB順"), frame);
    new QRadioButton(QStringLiteral("アルファベット順"), frame);
    for (int i = 0; i < 2; ++i)
        place(new QListWidget(client));
    for (const char *title : {"ファイル(&F)", "お気に入り(&V)", "表示(&D)", "ヘルプ(&H)"}) {
        QMenu *menu = window.menuBar()->addMenu(QString::fromUtf8(title));
        for (int i = 0; i < 6; ++i)
            menu->addAction(QString::number(i));
    }
    window.resize(320, 186);
    FirstFrame probe(window);
    window.show();
    return QApplication::exec();
}
