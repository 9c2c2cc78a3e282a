// What a screen reader finds on the swatches: the colour as the code in the chosen notation
// and its name where it is one of the named colours; on a favourite, whether it carries the
// marker, and the two things the favourites menu does with it.

#include "app/chromalynx.h"

#include "app/texts.h"
#include "colorcodes/namedcolors.h"
#include "platform/controls/optionbutton.h"
#include "platform/controls/picturebox.h"

using platform::PictureBox;

namespace {

// Two names of one code are told apart by a slash.
QString Names(colorcodes::ColorValue color)
{
    QStringList names;
    for (const std::string_view name : colorcodes::NamesOf(color))
        names << QString::fromLatin1(name.data(), qsizetype(name.size()));
    return names.join(QStringLiteral(" / "));
}

} // namespace

QString Chromalynx::ColorReading(colorcodes::ColorValue color) const
{
    // The notation as the code field shows it; before start-up has chosen one, HTML.
    const colorcodes::ColorCodes parts = colorcodes::SplitColor(color);
    QString code = QString::fromStdString(parts.HTMLCode);
    if (Option_VB->value())
        code = QString::fromStdString(parts.VBCode);
    else if (!Option_HTML->value() && Option_DEC->value())
        code = Texts::Dec(color);
    const QString names = Names(color);
    return names.isEmpty() ? code : code + u' ' + names;
}

void Chromalynx::createReadings()
{
    Color->setReader([this](const PictureBox &box) {
        const QString value = ColorReading(box.backColor());
        return PictureBox::Reading{value, value};
    });
    for (int i = 0; i < 9; ++i) {
        FavoriteColor[i]->setReader([this](const PictureBox &box) {
            PictureBox::Reading reading{ColorReading(box.backColor()), {}, true};
            reading.marked = box.picture() == Picture1->picture();
            reading.description
                = reading.value + (reading.marked ? QStringLiteral("、選択中") : QString());
            return reading;
        });
        // The favourites menu's two entries, under the menu's own words.
        const QString number = QString::number(i + 1);
        FavoriteColor[i]->addAccessibleAction({QStringLiteral("表示"),
                                               QStringLiteral("お気に入り%1を表示").arg(number),
                                               [this, i] { favorite_display_Click(i); }});
        FavoriteColor[i]->addAccessibleAction(
            {QStringLiteral("追加"), QStringLiteral("表示色をお気に入り%1に追加").arg(number),
             [this, i] { favorite_add_Click(i); }});
    }
    // The readings follow the notation too.
    for (platform::OptionButton *notation : {Option_HTML, Option_VB, Option_DEC})
        connect(notation, &platform::OptionButton::Click, this, [this] {
            Color->readingChanged();
            for (PictureBox *favorite : FavoriteColor)
                favorite->readingChanged();
        });
}
