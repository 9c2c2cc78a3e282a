#pragma once

#include "platform/desktop/services.h"

namespace platform {

class QtColorDialog final : public ColorDialog {
public:
    bool ShowColor(QWidget *owner) override;
};

class QtMessageBox final : public MessageBox {
public:
    bool confirm(QWidget *owner, const QString &text, const QString &title) override;
    void inform(QWidget *owner, const QString &text, const QString &title) override;
};

class QtDesktop final : public Desktop {
public:
    void open(const QUrl &url) override;
};

} // namespace platform
