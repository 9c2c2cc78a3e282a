#include "app/chromalynx.h"

#include "app/pictures.h"
#include "app/texts.h"
#include "platform/controls/captionfit.h"
#include "platform/controls/checkbox.h"
#include "platform/controls/listbox.h"
#include "platform/controls/optionbutton.h"
#include "platform/controls/picturebox.h"
#include "platform/controls/scrollbar.h"
#include "platform/controls/textbox.h"
#include "platform/controls/twips.h"
#include "platform/desktop/screencapture.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

using platform::TwipsRect;

namespace {

template<typename Control>
Control *place(Control *control, const char *name, QRect twipsRect)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(twipsRect);
    return control;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, QRect twipsRect)
{
    auto *control = place(new QLabel(caption, parent), name, twipsRect);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return control;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption,
                    const QString &toolTip, QRect twipsRect)
{
    auto *control = place(new QPushButton(caption, parent), name, twipsRect);
    control->setToolTip(toolTip);
    control->setAccessibleName(caption);
    return control;
}

platform::TextBox *textBox(QWidget *parent, const char *name, const QString &startText,
                           const QString &accessibleName, QRect twipsRect)
{
    auto *control = place(new platform::TextBox(parent), name, twipsRect);
    control->QLineEdit::setText(startText);
    control->setAccessibleName(accessibleName);
    return control;
}

platform::ScrollBar *slider(QWidget *parent, const char *name, const QString &accessibleName,
                            QRect twipsRect)
{
    auto *control = place(new platform::ScrollBar(parent), name, twipsRect);
    control->setRange(0, 255);
    control->setSingleStep(1);
    control->setPageStep(16);
    control->setAccessibleName(accessibleName);
    return control;
}

platform::PictureBox *pictureBox(QWidget *parent, const char *name, QRect twipsRect)
{
    return place(new platform::PictureBox(parent), name, twipsRect);
}

template<typename Control>
Control *captioned(QWidget *parent, const char *name, const QString &caption, QRect twipsRect)
{
    auto *control = place(new Control(caption, parent), name, twipsRect);
    control->setAccessibleName(caption);
    return control;
}

QAction *menuEntry(QMenu *menu, const char *name, const QString &caption,
                   const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    // Shortcuts act anywhere in the window, a focused text field included.
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

} // namespace

Chromalynx::Chromalynx(const Services &services)
    : services_(services)
{
    setObjectName(QStringLiteral("Chromalynx"));
    setWindowTitle(QStringLiteral("Chromalynx"));
    setWindowIcon(Pictures::AppIcon());
    createControls();
    createMenus();
    platform::FitCaptions(centralWidget());
    // The row of favourite numbers is the lowest content meant to be seen; no frame may
    // cut it off.
    const QLabel *number = FavoriteNumber[0];
    setMinimumContentHeight(number->y() + number->fontMetrics().height());
    connectHandlers();
    createReadings();
    Form_Load();
}

Chromalynx::~Chromalynx() = default;

void Chromalynx::createControls()
{
    // Controls lie at fixed twips positions in a client area of 7965 × 4545 twips; the
    // window only ever shows part of it.
    auto *client = new platform::ClientArea(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    RGBCode = textBox(client, "RGBCode", QStringLiteral("RGB"), QStringLiteral("RGB"),
                      TwipsRect(840, 0, 1455, 270));
    CodeCopy = button(client, "CodeCopy", QStringLiteral("Copy"), QStringLiteral("RGB値をコピー"),
                      TwipsRect(2280, 0, 720, 250));
    SelColor = button(client, "SelColor", QStringLiteral("Palette"), QStringLiteral("色を選択"),
                      TwipsRect(2280, 540, 720, 375));
    RText = textBox(client, "RText", QStringLiteral("R"), QStringLiteral("R"),
                    TwipsRect(4200, 1005, 495, 270));
    GText = textBox(client, "GText", QStringLiteral("G"), QStringLiteral("G"),
                    TwipsRect(4200, 1245, 495, 270));
    BText = textBox(client, "BText", QStringLiteral("B"), QStringLiteral("B"),
                    TwipsRect(4200, 1485, 495, 270));
    FavoriteClear = button(client, "FavoriteClear", QStringLiteral("Clear"),
                           QStringLiteral("お気に入りを削除"), TwipsRect(3540, 1845, 585, 375));
    Color = pictureBox(client, "Color", TwipsRect(840, 540, 1455, 375));
    Color->setAccessibleName(QStringLiteral("表示色"));
    Label1 = label(client, "Label1", QStringLiteral("R"), TwipsRect(210, 1035, 135, 255));
    Label2 = label(client, "Label2", QStringLiteral("G"), TwipsRect(210, 1275, 135, 255));
    Label3 = label(client, "Label3", QStringLiteral("B"), TwipsRect(210, 1515, 135, 255));
    for (int i = 0; i < 9; ++i) {
        const QByteArray name = "FavoriteColor(" + QByteArray::number(i) + ')';
        FavoriteColor[i]
            = pictureBox(client, name.constData(), TwipsRect(285 + 360 * i, 1845, 375, 375));
        FavoriteColor[i]->setAccessibleName(QStringLiteral("お気に入り%1").arg(i + 1));
    }
    Picture1 = pictureBox(client, "Picture1", TwipsRect(840, 2550, 375, 375));
    Picture2 = pictureBox(client, "Picture2", TwipsRect(1200, 2550, 375, 375));
    Label4 = label(client, "Label4", QStringLiteral("RGB："), TwipsRect(330, 45, 495, 255));
    Label5 = label(client, "Label5", QStringLiteral("表示色："), TwipsRect(150, 620, 735, 255));
    for (int i = 0; i < 9; ++i) {
        const QByteArray name = "Label" + QByteArray::number(9 + i);
        FavoriteNumber[i] = label(client, name.constData(), QString::number(i + 1),
                                  TwipsRect(405 + 360 * i, 2220, 135, 255));
    }
    Option_HTML = captioned<platform::OptionButton>(client, "Option_HTML", QStringLiteral("HTML"),
                                                    TwipsRect(840, 320, 855, 180));
    Option_VB = captioned<platform::OptionButton>(client, "Option_VB", QStringLiteral("VB"),
                                                  TwipsRect(1635, 320, 615, 180));
    CheckFormtop = captioned<platform::CheckBox>(
        client, "CheckFormtop", QStringLiteral("常に手前に表示"), TwipsRect(3120, 360, 1575, 180));
    CheckColorName = captioned<platform::CheckBox>(
        client, "CheckColorName", QStringLiteral("色名リスト表示"), TwipsRect(3120, 75, 1455, 180));
    Label6 = label(client, "Label6", QStringLiteral("形式："), TwipsRect(330, 300, 495, 255));
    ColorName1
        = place(new platform::ListBox(client), "ColorName1", TwipsRect(4860, 15, 3045, 1860));
    ColorName1->setToolTip(QStringLiteral("色名選択"));
    ColorName1->setAccessibleName(QStringLiteral("色名リスト (RGB順)"));
    ColorName2
        = place(new platform::ListBox(client), "ColorName2", TwipsRect(4800, 2520, 3045, 1860));
    ColorName2->setToolTip(QStringLiteral("色名選択"));
    ColorName2->setAccessibleName(QStringLiteral("色名リスト (アルファベット順)"));
    CheckChar = captioned<platform::CheckBox>(client, "CheckChar", QStringLiteral("文字を表示"),
                                              TwipsRect(1650, 2655, 1215, 180));
    RSlider = slider(client, "RSlider", QStringLiteral("R"), TwipsRect(465, 1035, 3615, 165));
    GSlider = slider(client, "GSlider", QStringLiteral("G"), TwipsRect(465, 1290, 3615, 165));
    BSlider = slider(client, "BSlider", QStringLiteral("B"), TwipsRect(465, 1545, 3615, 165));
    Frame1 = place(new QGroupBox(client), "Frame1", TwipsRect(4860, 1890, 3045, 450));
    RGB_Sort = captioned<platform::OptionButton>(Frame1, "RGB_Sort", QStringLiteral("RGB順"),
                                                 TwipsRect(165, 180, 945, 180));
    Arphabet_Sort = captioned<platform::OptionButton>(Frame1, "Arphabet_Sort",
                                                      QStringLiteral("アルファベット順"),
                                                      TwipsRect(1350, 180, 1575, 180));
    Option_DEC = captioned<platform::OptionButton>(client, "Option_DEC", QStringLiteral("DEC"),
                                                   TwipsRect(2355, 320, 735, 195));

    platform::GroupOptions({Option_HTML, Option_VB, Option_DEC});
    platform::GroupOptions({RGB_Sort, Arphabet_Sort});

    // The ten swatches are drag sources and drop targets; Picture1 and Picture2 only hold
    // the marker's two images.
    for (platform::PictureBox *swatch : FavoriteColor) {
        swatch->setDragSource(&Pictures::PipetteCursor);
        swatch->setDropTarget(true);
    }
    Color->setDragSource(&Pictures::PipetteCursor);
    Color->setDropTarget(true);
    Picture1->setPicture(Pictures::MarkerImage());

    // Picture1 and Picture2 only hold the marker's images and CheckChar only a value kept
    // between runs; they lie below the part of the window meant to be seen. Where a display
    // scale or a window manager makes the client area taller than designed they would come
    // into view, so they are hidden: never drawn, never under the mouse, never a Tab stop,
    // out of the reach of assistive technology; their pictures and value still work.
    for (QWidget *unseen : std::initializer_list<QWidget *>{Picture1, Picture2, CheckChar})
        unseen->hide();

    // A screen reader reads each label with the control it names.
    Label4->setBuddy(RGBCode);
    Label5->setBuddy(Color);
    Label1->setBuddy(RText);
    Label2->setBuddy(GText);
    Label3->setBuddy(BText);
    RSlider->setAccessibleLabel(Label1);
    GSlider->setAccessibleLabel(Label2);
    BSlider->setAccessibleLabel(Label3);

    const std::initializer_list<QWidget *> tabOrder = {
        RGBCode,     CodeCopy,  SelColor,     RText,          GText,      BText,      FavoriteClear,
        Option_HTML, Option_VB, CheckFormtop, CheckColorName, ColorName1, ColorName2, RSlider,
        GSlider,     BSlider,   RGB_Sort,     Arphabet_Sort,  Option_DEC,
    };
    QWidget *previous = nullptr;
    for (QWidget *control : tabOrder) {
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }
}

void Chromalynx::createMenus()
{
    QMenuBar *bar = menuBar();

    file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("file"));
    file_close
        = menuEntry(file, "file_close", QStringLiteral("終了"), QKeySequence(Qt::CTRL | Qt::Key_Q));

    favorite = bar->addMenu(QStringLiteral("お気に入り(&V)"));
    favorite->setObjectName(QStringLiteral("favorite"));
    favorite_add_ = favorite->addMenu(QStringLiteral("追加"));
    favorite_add_->setObjectName(QStringLiteral("favorite_add_"));
    for (int i = 0; i < 9; ++i) {
        const QByteArray name = "favorite_add(" + QByteArray::number(i) + ')';
        favorite_add[i] = menuEntry(favorite_add_, name.constData(), QString::number(i + 1),
                                    QKeySequence(Qt::SHIFT | Qt::Key(Qt::Key_F1 + i)));
    }
    favorite_display_ = favorite->addMenu(QStringLiteral("表示"));
    favorite_display_->setObjectName(QStringLiteral("favorite_display_"));
    for (int i = 0; i < 9; ++i) {
        const QByteArray name = "favorite_display(" + QByteArray::number(i) + ')';
        favorite_display[i] = menuEntry(favorite_display_, name.constData(), QString::number(i + 1),
                                        QKeySequence(Qt::Key(Qt::Key_F1 + i)));
    }
    favorite_clear = menuEntry(favorite, "favorite_clear", QStringLiteral("消去"),
                               QKeySequence(Qt::CTRL | Qt::Key_C));

    display = bar->addMenu(QStringLiteral("表示(&D)"));
    display->setObjectName(QStringLiteral("display"));
    display_colorname = menuEntry(display, "display_colorname", QStringLiteral("色名リスト表示"),
                                  QKeySequence(Qt::CTRL | Qt::Key_D));
    display_formtop = menuEntry(display, "display_formtop", QStringLiteral("常に手前に表示"),
                                QKeySequence(Qt::CTRL | Qt::Key_T));
    display_pick = menuEntry(display, "display_pick", QStringLiteral("画面から色を取得"),
                             QKeySequence(Qt::CTRL | Qt::Key_P));
    // Where the screen cannot be read the entry stays, greyed, and says nothing more.
    display_pick->setEnabled(services_.screenCapture && services_.screenCapture->available());
    // Where the window cannot be kept above others, the option is greyed too; its value
    // still comes from the settings and goes back to them unchanged, for the next session
    // on a window system that can.
    CheckFormtop->setEnabled(services_.staysOnTop);
    display_formtop->setEnabled(services_.staysOnTop);
    display_details = menuEntry(display, "display_details", QStringLiteral("色の詳細"),
                                QKeySequence(Qt::CTRL | Qt::Key_I));

    mhelp = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    mhelp->setObjectName(QStringLiteral("mhelp"));
    mhelp_display = menuEntry(mhelp, "mhelp_display", QStringLiteral("readmeの表示"),
                              QKeySequence(Qt::CTRL | Qt::Key_H));
    mhelp_version = menuEntry(mhelp, "mhelp_version", QStringLiteral("バージョン情報"));
}

void Chromalynx::connectHandlers()
{
    using platform::CheckBox;
    using platform::ListBox;
    using platform::OptionButton;
    using platform::PictureBox;
    using platform::ScrollBar;
    using platform::TextBox;

    connect(file_close, &QAction::triggered, this, &Chromalynx::file_close_Click);

    connect(RGBCode, &TextBox::GotFocus, this, &Chromalynx::RGBCode_GotFocus);
    connect(RGBCode, &TextBox::KeyPress, this, &Chromalynx::RGBCode_KeyPress);
    connect(Option_HTML, &OptionButton::Click, this, &Chromalynx::Option_HTML_Click);
    connect(Option_VB, &OptionButton::Click, this, &Chromalynx::Option_VB_Click);
    connect(Option_DEC, &OptionButton::Click, this, &Chromalynx::Option_DEC_Click);

    connect(RSlider, &ScrollBar::Change, this, &Chromalynx::RSlider_Change);
    connect(RSlider, &ScrollBar::Scroll, this, &Chromalynx::RSlider_Scroll);
    connect(GSlider, &ScrollBar::Change, this, &Chromalynx::GSlider_Change);
    connect(GSlider, &ScrollBar::Scroll, this, &Chromalynx::GSlider_Scroll);
    connect(BSlider, &ScrollBar::Change, this, &Chromalynx::BSlider_Change);
    connect(BSlider, &ScrollBar::Scroll, this, &Chromalynx::BSlider_Scroll);
    connect(RText, &TextBox::Change, this, &Chromalynx::RText_Change);
    connect(GText, &TextBox::Change, this, &Chromalynx::GText_Change);
    connect(BText, &TextBox::Change, this, &Chromalynx::BText_Change);
    connect(RText, &TextBox::KeyPress, this, &Chromalynx::RText_KeyPress);
    connect(GText, &TextBox::KeyPress, this, &Chromalynx::GText_KeyPress);
    connect(BText, &TextBox::KeyPress, this, &Chromalynx::BText_KeyPress);
    connect(RText, &TextBox::GotFocus, this, &Chromalynx::RText_GotFocus);
    connect(GText, &TextBox::GotFocus, this, &Chromalynx::GText_GotFocus);
    connect(BText, &TextBox::GotFocus, this, &Chromalynx::BText_GotFocus);

    connect(SelColor, &QPushButton::clicked, this, &Chromalynx::SelColor_Click);
    connect(CodeCopy, &QPushButton::clicked, this, &Chromalynx::CodeCopy_Click);

    connect(ColorName1, &ListBox::DblClick, this, &Chromalynx::ColorName1_DblClick);
    connect(ColorName2, &ListBox::Click, this, &Chromalynx::ColorName2_Click);
    connect(RGB_Sort, &OptionButton::Click, this, &Chromalynx::RGB_Sort_Click);
    connect(Arphabet_Sort, &OptionButton::Click, this, &Chromalynx::Arphabet_Sort_Click);
    connect(CheckColorName, &CheckBox::Click, this, &Chromalynx::CheckColorName_Click);
    connect(display_colorname, &QAction::triggered, this, &Chromalynx::display_colorname_Click);

    for (int i = 0; i < 9; ++i) {
        connect(favorite_add[i], &QAction::triggered, this, [this, i] { favorite_add_Click(i); });
        connect(favorite_display[i], &QAction::triggered, this,
                [this, i] { favorite_display_Click(i); });
        connect(FavoriteColor[i], &PictureBox::DblClick, this,
                [this, i] { FavoriteColor_DblClick(i); });
        connect(FavoriteColor[i], &PictureBox::DragDrop, this,
                [this, i](PictureBox *source) { FavoriteColor_DragDrop(i, source); });
    }
    connect(Color, &PictureBox::DragDrop, this, &Chromalynx::Color_DragDrop);
    connect(favorite_clear, &QAction::triggered, this, &Chromalynx::favorite_clear_Click);
    connect(FavoriteClear, &QPushButton::clicked, this, &Chromalynx::FavoriteClear_Click);

    connect(CheckFormtop, &CheckBox::Click, this, &Chromalynx::CheckFormtop_Click);
    connect(display_formtop, &QAction::triggered, this, &Chromalynx::display_formtop_Click);
    connect(display_pick, &QAction::triggered, this, &Chromalynx::display_pick_Click);
    connect(display_details, &QAction::triggered, this, &Chromalynx::display_details_Click);
    connect(mhelp_display, &QAction::triggered, this, &Chromalynx::mhelp_display_Click);
    connect(mhelp_version, &QAction::triggered, this, &Chromalynx::mhelp_version_Click);
}

void Chromalynx::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    // The one note beyond the design's two messages, and only when the run's changes would
    // otherwise be lost without a word.
    if (!services_.store.keptAll())
        services_.messageBox.inform(this, QString::fromUtf8(Texts::NotKept),
                                    QStringLiteral("Chromalynx"));
    event->accept();
}
