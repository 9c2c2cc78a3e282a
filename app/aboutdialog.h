#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace platform {
class Desktop;
class LinkLabel;
} // namespace platform

// The About box: name and version, the author's web page and e-mail address as two
// links, and OK. Enter and Escape close it as OK does; Tab also reaches the links, which
// open with Enter.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    AboutDialog(QWidget *owner, platform::Desktop &desktop);

    QLabel *Label1;
    QLabel *Label5;
    platform::LinkLabel *Url;
    QLabel *Label6;
    platform::LinkLabel *Mail;
    QPushButton *OKButton;

    void Form_Load();
    void Url_Click();
    void Mail_Click();
    void OKButton_Click();

private:
    platform::Desktop &desktop_;
};
