#include "app/aboutdialog.h"

#include "app/pictures.h"
#include "platform/controls/captionfit.h"
#include "platform/controls/linklabel.h"
#include "platform/controls/twips.h"
#include "platform/desktop/services.h"
#include "platform/desktop/windowsystem.h"

#include <QLabel>
#include <QPushButton>
#include <QUrl>

using platform::Twips;
using platform::TwipsRect;

namespace {

template<typename Label = QLabel>
Label *label(QWidget *parent, const char *name, const QString &text, QRect twipsRect)
{
    auto *control = new Label(text, parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(twipsRect);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return control;
}

} // namespace

AboutDialog::AboutDialog(QWidget *owner, platform::Desktop &desktop)
    : QDialog(owner,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
    , desktop_(desktop)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowIcon(Pictures::AppIcon());
    setFixedSize(Twips(4350), Twips(1725));
    platform::CentreOnOwner(*this);

    Label1 = label(this, "Label1", QStringLiteral("Chromalynx Ver 2.00"),
                   TwipsRect(1440, 120, 1695, 255));
    Label5 = label(this, "Label5", QStringLiteral("URL："), TwipsRect(360, 600, 375, 255));
    Url = label<platform::LinkLabel>(this, "Url", QStringLiteral("https://chromalynx.example.org/"),
                                     TwipsRect(960, 600, 3135, 180));
    Label6 = label(this, "Label6", QStringLiteral("MAIL："), TwipsRect(360, 855, 495, 255));
    Mail = label<platform::LinkLabel>(this, "Mail", QStringLiteral("author@example.org"),
                                      TwipsRect(960, 855, 1575, 165));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(TwipsRect(1680, 1200, 1215, 375));
    OKButton->setDefault(true);

    for (QLabel *link : {Url, Mail}) {
        link->setCursor(Qt::PointingHandCursor);
        link->setAccessibleName(link->text());
    }
    platform::FitCaptions(this);
    // The box opens with the focus on OK, so that Enter closes it; Tab goes on to the links.
    OKButton->setFocus();
    connect(Url, &platform::LinkLabel::Click, this, &AboutDialog::Url_Click);
    connect(Mail, &platform::LinkLabel::Click, this, &AboutDialog::Mail_Click);
    connect(OKButton, &QPushButton::clicked, this, &AboutDialog::OKButton_Click);
    Form_Load();
}

void AboutDialog::Form_Load()
{
    for (QLabel *link : {Url, Mail}) {
        QPalette blue = link->palette();
        blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
        link->setPalette(blue);
    }
}

void AboutDialog::Url_Click()
{
    desktop_.open(QUrl(Url->text()));
}

void AboutDialog::Mail_Click()
{
    desktop_.open(QUrl(QStringLiteral("mailto:") + Mail->text()));
}

void AboutDialog::OKButton_Click()
{
    accept();
}
