#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace platform {
class Desktop;
}

// The About box: name and version, the author's web page and e-mail address as two
// links, and OK. Enter and Escape close it as OK does.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    AboutDialog(QWidget *owner, platform::Desktop &desktop);

    QLabel *Label1;
    QLabel *Label5;
    QLabel *Url;
    QLabel *Label6;
    QLabel *Mail;
    QPushButton *OKButton;

    void Form_Load();
    void Url_Click();
    void Mail_Click();
    void OKButton_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    platform::Desktop &desktop_;
};
