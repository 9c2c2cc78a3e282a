#pragma once

#include <QRadioButton>

#include <initializer_list>

namespace platform {

// An option button that raises Click when it becomes selected, by the user or the
// program. Selecting one clears the others of its group only.
class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    explicit OptionButton(const QString &caption, QWidget *parent);

    bool value() const { return isChecked(); }
    void setValue(bool selected);

Q_SIGNALS:
    void Click();
};

// Makes the buttons one exclusive group. Each container needs its own group: Qt's
// automatic exclusivity also reaches into child frames.
void GroupOptions(std::initializer_list<OptionButton *> buttons);

} // namespace platform
