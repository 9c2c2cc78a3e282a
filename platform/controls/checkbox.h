#pragma once

#include <QCheckBox>

namespace platform {

// A check box holding 0 (clear), 1 (ticked) or 2 (greyed). Click follows every change of
// the value, by the user or the program. The user only toggles between clear and ticked;
// greyed is reached by the program alone.
class CheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit CheckBox(const QString &caption, QWidget *parent);

    int value() const;
    void setValue(int value); // values other than 0, 1 and 2 are refused

Q_SIGNALS:
    void Click();

protected:
    void nextCheckState() override;
};

} // namespace platform
