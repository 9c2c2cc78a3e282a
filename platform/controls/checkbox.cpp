#include "platform/controls/checkbox.h"

namespace platform {

namespace {

// Qt numbers the states 0 unchecked, 1 partially checked, 2 checked.
int valueOf(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

Qt::CheckState stateOf(int value)
{
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

} // namespace

CheckBox::CheckBox(const QString &caption, QWidget *parent)
    : QCheckBox(caption, parent)
{
    connect(this, &QCheckBox::stateChanged, this, [this] { Q_EMIT Click(); });
}

int CheckBox::value() const
{
    return valueOf(checkState());
}

void CheckBox::setValue(int value)
{
    if (value < 0 || value > 2)
        return;
    setCheckState(stateOf(value));
}

void CheckBox::nextCheckState()
{
    setValue(value() == 1 ? 0 : 1);
}

} // namespace platform
