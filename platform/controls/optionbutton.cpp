#include "platform/controls/optionbutton.h"

#include "platform/controls/accessibility.h"

#include <QButtonGroup>

namespace platform {

OptionButton::OptionButton(const QString &caption, QWidget *parent)
    : QRadioButton(caption, parent)
{
    InstallAccessibleInterfaces();
    setAutoExclusive(false);
    connect(this, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Q_EMIT Click();
    });
}

void OptionButton::setValue(bool selected)
{
    setChecked(selected);
}

void GroupOptions(std::initializer_list<OptionButton *> buttons)
{
    if (buttons.size() == 0)
        return;
    auto *group = new QButtonGroup((*buttons.begin())->parentWidget());
    group->setExclusive(true);
    for (OptionButton *button : buttons)
        group->addButton(button);
}

} // namespace platform
