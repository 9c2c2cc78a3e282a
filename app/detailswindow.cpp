#include "app/detailswindow.h"

#include "app/chromalynx.h"
#include "app/standardfunctions.h"
#include "app/texts.h"
#include "colorcodes/colorscience.h"
#include "platform/controls/checkbox.h"
#include "platform/controls/picturebox.h"
#include "platform/controls/scrollbar.h"
#include "platform/controls/textbox.h"
#include "platform/controls/valuefield.h"
#include "platform/desktop/toolwindow.h"
#include "platform/desktop/windowsystem.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace colorcodes;

// Sample text in a pair of colours: the current colour on the other one at the left, the
// other one on the current colour at the right.
class ContrastSample : public QWidget {
public:
    explicit ContrastSample(QWidget *parent)
        : QWidget(parent)
    {
        setMinimumSize(90, 26);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void setColors(ColorValue current, ColorValue other)
    {
        if (current == current_ && other == other_)
            return;
        current_ = current;
        other_ = other;
        update();
    }

    std::pair<ColorValue, ColorValue> colors() const { return {current_, other_}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect left(0, 0, width() / 2, height());
        const QRect right(left.right() + 1, 0, width() - left.width(), height());
        const QString text = QStringLiteral("Aa 字");
        painter.fillRect(left, platform::ToQColor(other_));
        painter.setPen(platform::ToQColor(current_));
        painter.drawText(left, Qt::AlignCenter, text);
        painter.fillRect(right, platform::ToQColor(current_));
        painter.setPen(platform::ToQColor(other_));
        painter.drawText(right, Qt::AlignCenter, text);
    }

private:
    ColorValue current_ = 0, other_ = White;
};

namespace {

// A contrast ratio's accessible name, after its row's caption: "白とのコントラスト比".
QString ratioName(const QLabel *caption)
{
    return caption->text() + QStringLiteral("とのコントラスト比");
}

QString captionOf(Format format)
{
    switch (format) {
    case Format::Html:
        return QStringLiteral("HTML");
    case Format::HtmlLower:
        return QStringLiteral("HTML (小文字)");
    case Format::CssRgb:
        return QStringLiteral("CSS rgb()");
    case Format::CssRgbLegacy:
        return QStringLiteral("CSS rgb() (旧形式)");
    case Format::CssHsl:
        return QStringLiteral("CSS hsl()");
    case Format::Hsv:
        return QStringLiteral("HSV");
    case Format::Cmyk:
        return QStringLiteral("CMYK");
    case Format::FloatRgb:
        return QStringLiteral("RGB (0〜1)");
    case Format::OkLch:
        return QStringLiteral("CSS oklch()");
    case Format::VB:
        return QStringLiteral("VB");
    case Format::Dec:
        return QStringLiteral("DEC");
    case Format::Windows:
        return QStringLiteral("Windows");
    }
    return {};
}

platform::ValueField *valueField(QWidget *parent, const QString &accessibleName)
{
    auto *field = new platform::ValueField(parent);
    field->setAccessibleName(accessibleName);
    return field;
}

platform::PictureBox *swatch(QWidget *parent, const QString &accessibleName)
{
    auto *box = new platform::PictureBox(parent);
    box->setFixedSize(40, 24);
    box->setAccessibleName(accessibleName);
    return box;
}

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

// Why a text could not be read, in a sentence.
QString reason(const ParseResult &result)
{
    const QString token = QString::fromStdString(result.token);
    switch (result.error) {
    case ParseError::Empty:
        return QStringLiteral("色を入力してください。");
    case ParseError::Unknown:
        return QStringLiteral("「%1」は色名としても色の書式としても読めません。").arg(token);
    case ParseError::Count:
        return QStringLiteral("%1() には値が%2つ必要です。").arg(token).arg(result.expected);
    case ParseError::Number:
        return QStringLiteral("「%1」は数値として読めません。").arg(token);
    case ParseError::Range:
        if (std::isinf(result.high))
            return QStringLiteral("「%1」は範囲外です（%2以上）。").arg(token, number(result.low));
        return QStringLiteral("「%1」は範囲外です（%2〜%3）。")
            .arg(token, number(result.low), number(result.high));
    case ParseError::Gamut:
        return QStringLiteral("この oklch() の色は sRGB の範囲外です。");
    case ParseError::Alpha:
        return QStringLiteral("透明度は指定できません。");
    }
    return {};
}

} // namespace

DetailsWindow::DetailsWindow(Chromalynx &owner)
    : platform::ToolWindow(&owner)
    , owner_(owner)
{
    setObjectName(QStringLiteral("DetailsWindow"));
    setWindowTitle(QStringLiteral("色の詳細"));
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(4);

    auto *entryRow = new QHBoxLayout;
    auto *entryLabel = new QLabel(QStringLiteral("入力(&E):"), this);
    entry = new QLineEdit(this);
    entry->setObjectName(QStringLiteral("entry"));
    entry->setPlaceholderText(QStringLiteral("#4682B4、hsl(207 44% 49%)、steelblue など"));
    entry->setAccessibleName(QStringLiteral("色の入力"));
    entryLabel->setBuddy(entry);
    entryRow->addWidget(entryLabel);
    entryRow->addWidget(entry, 1);
    layout->addLayout(entryRow);
    message = new QLabel(this);
    message->setObjectName(QStringLiteral("message"));
    message->setWordWrap(true);
    message->setVisible(false);
    layout->addWidget(message);

    auto *formats = new QGroupBox(QStringLiteral("形式"), this);
    auto *formatGrid = new QGridLayout(formats);
    formatGrid->setVerticalSpacing(3);
    for (std::size_t i = 0; i < AllFormats.size(); ++i) {
        const int index = static_cast<int>(i);
        const int row = index, column = 0;
        const QString caption = captionOf(AllFormats[i]);
        rows[i].format = AllFormats[i];
        rows[i].text = valueField(formats, caption);
        rows[i].copy = new QPushButton(QStringLiteral("コピー"), formats);
        rows[i].copy->setAccessibleName(caption + QStringLiteral(" をコピー"));
        rows[i].copy->setAutoDefault(false);
        formatGrid->addWidget(new QLabel(caption, formats), row, column);
        formatGrid->addWidget(rows[i].text, row, column + 1);
        formatGrid->addWidget(rows[i].copy, row, column + 2);
        connect(rows[i].copy, &QPushButton::clicked, this, [this, index] { copyRow(index); });
    }
    formatGrid->setColumnStretch(1, 1);
    layout->addWidget(formats);

    auto *names = new QGroupBox(QStringLiteral("近い色名"), this);
    auto *nameRow = new QHBoxLayout(names);
    nearestSwatch = swatch(names, QStringLiteral("近い色名の色"));
    nearestName = valueField(names, QStringLiteral("近い色名"));
    nearestName->setObjectName(QStringLiteral("nearestName"));
    auto *nameLabel = new QLabel(QStringLiteral("CIEDE2000(&N):"), names);
    nameLabel->setBuddy(nearestName);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(nearestSwatch);
    nameRow->addWidget(nearestName, 1);
    layout->addWidget(names);

    auto *contrastBox = new QGroupBox(QStringLiteral("コントラスト比 (WCAG 2)"), this);
    contrastBox->setToolTip(
        QStringLiteral("AA は 4.5 以上、AAA は 7 以上。大きい文字 (18pt 以上、太字なら "
                       "14pt 以上) では AA は 3 以上、AAA は 4.5 以上。"));
    auto *contrastGrid = new QGridLayout(contrastBox);
    contrastGrid->setVerticalSpacing(3);
    const std::array<QString, 4> verdictCaptions
        = {QStringLiteral("AA"), QStringLiteral("AAA"), QStringLiteral("AA 大"),
           QStringLiteral("AAA 大")};
    for (int k = 0; k < 4; ++k)
        contrastGrid->addWidget(
            new QLabel(verdictCaptions[static_cast<std::size_t>(k)], contrastBox), 0, 3 + k,
            Qt::AlignCenter);
    for (int i = 0; i < 3; ++i) {
        ContrastRow &row = contrast[static_cast<std::size_t>(i)];
        row.caption = new QLabel(contrastBox);
        row.sample = new ContrastSample(contrastBox);
        row.ratio = valueField(contrastBox, QString());
        row.ratio->setWidthSample(QStringLiteral("21.00:1"));
        row.ratio->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        contrastGrid->addWidget(row.caption, i + 1, 0);
        contrastGrid->addWidget(row.sample, i + 1, 1);
        contrastGrid->addWidget(row.ratio, i + 1, 2);
        for (int k = 0; k < 4; ++k) {
            QLabel *&verdict = row.verdicts[static_cast<std::size_t>(k)];
            verdict = new QLabel(contrastBox);
            verdict->setAlignment(Qt::AlignCenter);
            verdict->setMinimumWidth(30);
            verdict->setAccessibleDescription(verdictCaptions[static_cast<std::size_t>(k)]);
            contrastGrid->addWidget(verdict, i + 1, 3 + k);
        }
    }
    contrast[0].caption->setText(QStringLiteral("白"));
    contrast[1].caption->setText(QStringLiteral("黒"));
    for (std::size_t i = 0; i < 2; ++i)
        contrast[i].ratio->setAccessibleName(ratioName(contrast[i].caption));
    // Wide enough for the favourite's caption, whichever number it carries.
    contrast[2].caption->setMinimumWidth(
        contrast[2].caption->fontMetrics().horizontalAdvance(QStringLiteral("お気に入り9")) + 4);
    contrastGrid->setColumnStretch(1, 1);
    layout->addWidget(contrastBox);

    auto *visionBox = new QGroupBox(QStringLiteral("色覚の見え方"), this);
    auto *visionGrid = new QGridLayout(visionBox);
    const std::array<QString, 3> visionCaptions
        = {QStringLiteral("P型 (1型)"), QStringLiteral("D型 (2型)"), QStringLiteral("T型 (3型)")};
    for (int i = 0; i < 3; ++i) {
        VisionRow &row = vision[static_cast<std::size_t>(i)];
        const QString &caption = visionCaptions[static_cast<std::size_t>(i)];
        row.swatch = swatch(visionBox, caption);
        row.code = valueField(visionBox, caption);
        row.code->setWidthSample(QStringLiteral("#DDDDDD"));
        visionGrid->addWidget(new QLabel(caption, visionBox), 0, i);
        visionGrid->addWidget(row.swatch, 1, i);
        visionGrid->addWidget(row.code, 2, i);
    }
    layout->addWidget(visionBox);

    connect(entry, &QLineEdit::returnPressed, this, &DetailsWindow::entry_Return);
    // The sliders hold the current colour, whatever set it; the favourites repaint when
    // their colour or the marker changes.
    for (platform::ScrollBar *slider : {owner_.RSlider, owner_.GSlider, owner_.BSlider})
        connect(slider, &QAbstractSlider::valueChanged, this, &DetailsWindow::refreshSoon);
    for (platform::PictureBox *favorite : owner_.FavoriteColor)
        favorite->installEventFilter(this);
    connect(owner_.CheckFormtop, &platform::CheckBox::Click, this,
            &DetailsWindow::followAlwaysOnTop);
    owner_.installEventFilter(this);
    followAlwaysOnTop();
    // Every text is in place before the window first works out its size.
    refresh();
}

DetailsWindow::~DetailsWindow() = default;

void DetailsWindow::showEvent(QShowEvent *event)
{
    refresh();
    if (!placed_) {
        // Beside the main window rather than over it, where the screen has room.
        placed_ = true;
        const QRect screen = owner_.screen()->availableGeometry();
        const QRect frame = owner_.frameGeometry();
        const QSize size = sizeHint();
        QPoint at(frame.right() + 8, frame.top());
        if (at.x() + size.width() > screen.right())
            at.setX(frame.left() - 8 - size.width());
        at.setX(std::clamp(at.x(), screen.left(),
                           std::max(screen.left(), screen.right() - size.width())));
        at.setY(std::clamp(at.y(), screen.top(),
                           std::max(screen.top(), screen.bottom() - size.height())));
        move(at);
        entry->setFocus();
    }
    platform::ToolWindow::showEvent(event);
}

bool DetailsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &owner_ && event->type() == QEvent::Close)
        close();
    else if (watched != &owner_ && event->type() == QEvent::Paint)
        refreshSoon();
    return platform::ToolWindow::eventFilter(watched, event);
}

void DetailsWindow::refreshSoon()
{
    if (refreshQueued_ || !isVisible())
        return;
    refreshQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshQueued_ = false;
            refresh();
        },
        Qt::QueuedConnection);
}

void DetailsWindow::refresh()
{
    const ColorValue color = StandardFunctions::SliderColor(owner_);
    std::size_t marked = 0;
    for (std::size_t i = 0; i < owner_.FavoriteColor.size(); ++i)
        if (owner_.FavoriteColor[i]->picture() == owner_.Picture1->picture())
            marked = i;
    const ColorValue favorite = owner_.FavoriteColor[marked]->backColor();
    const Shown now{color, favorite, marked};
    if (shown_ == now)
        return;
    const bool markerMoved = !shown_ || shown_->marked != marked;
    shown_ = now;

    for (FormatRow &row : rows)
        row.text->setText(QString::fromStdString(FormatColor(color, row.format)));

    const NearestNamed nearest = NearestNamedColor(color);
    const QString name = QString::fromLatin1(nearest.color->name.data(),
                                             static_cast<qsizetype>(nearest.color->name.size()));
    nearestName->setText(nearest.exact
                             ? name + QStringLiteral("（完全一致）")
                             : name + QStringLiteral("（ΔE00 %1）").arg(nearest.deltaE, 0, 'f', 1));
    const std::string_view code = nearest.color->code;
    nearestSwatch->setBackColor(MakeColor(
        HexToLong(code.substr(1, 2)), HexToLong(code.substr(3, 2)), HexToLong(code.substr(5, 2))));

    if (markerMoved) {
        contrast[2].caption->setText(QStringLiteral("お気に入り%1").arg(marked + 1));
        contrast[2].ratio->setAccessibleName(ratioName(contrast[2].caption));
    }
    const std::array<ColorValue, 3> others = {White, 0, favorite};
    for (std::size_t i = 0; i < contrast.size(); ++i) {
        const double ratio = ContrastRatio(color, others[i]);
        contrast[i].sample->setColors(color, others[i]);
        contrast[i].ratio->setText(QStringLiteral("%1:1").arg(ratio, 0, 'f', 2));
        const ContrastVerdicts v = JudgeContrast(ratio);
        const std::array passed = {v.aaNormal, v.aaaNormal, v.aaLarge, v.aaaLarge};
        for (std::size_t k = 0; k < passed.size(); ++k)
            contrast[i].verdicts[k]->setText(passed[k] ? QStringLiteral("○") : QStringLiteral("×"));
    }

    const std::array kinds
        = {Deficiency::Protanopia, Deficiency::Deuteranopia, Deficiency::Tritanopia};
    for (std::size_t i = 0; i < vision.size(); ++i) {
        const ColorValue seen = SimulateDeficiency(color, kinds[i]);
        vision[i].swatch->setBackColor(seen);
        vision[i].code->setText(QString::fromStdString(SplitColor(seen).HTMLCode));
    }
}

void DetailsWindow::followAlwaysOnTop()
{
    // Kept above the main window whatever the window manager makes of a tool window's
    // layer: in the always-on-top band while the main window is.
    platform::SetKeptAbove(*this, platform::IsKeptAbove(owner_));
}

void DetailsWindow::entry_Return()
{
    QString typed = entry->text().normalized(QString::NormalizationForm_KC);
    typed.replace(u'、', u',');
    const ParseResult result = ParseColor(typed.toStdString());
    if (!result.color) {
        message->setText(reason(result));
        message->setVisible(true);
        return;
    }
    message->clear();
    message->setVisible(false);
    const ColorCodes parts = SplitColor(*result.color);
    owner_.RText->setText(Texts::Dec(parts.R));
    owner_.GText->setText(Texts::Dec(parts.G));
    owner_.BText->setText(Texts::Dec(parts.B));
}

void DetailsWindow::copyRow(int index)
{
    platform::CopyToClipboard(rows.at(static_cast<std::size_t>(index)).text->text());
}
