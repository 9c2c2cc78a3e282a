// A plain text field with Qt's own input method handling, for the input-method test to
// check that the input method really composes before it types into the program. The
// window's title is "probe:" followed by the field's text, so that xdotool can read it.

#include <QApplication>
#include <QLineEdit>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLineEdit field;
    field.setWindowTitle(QStringLiteral("probe:"));
    QObject::connect(&field, &QLineEdit::textChanged, &field,
                     [&field](const QString &text) { field.setWindowTitle("probe:" + text); });
    field.resize(300, 40);
    field.show();
    return QApplication::exec();
}
