// Build without the Wintab headers (not in Debian's source package): Wintab is only the
// fallback for systems without the pointer API, which Qt 6's minimum Windows always has.
#ifndef QWINDOWSTABLETSUPPORT_H
#define QWINDOWSTABLETSUPPORT_H

#include <QtCore/qstring.h>

QT_BEGIN_NAMESPACE

class QWindowsTabletSupport {
public:
    static QWindowsTabletSupport *create() { return nullptr; }
    void notifyActivate() { }
    QString description() const { return {}; }
    static int absoluteRange() { return m_absoluteRange; }
    static void setAbsoluteRange(int a) { m_absoluteRange = a; }

private:
    static int m_absoluteRange;
};

QT_END_NAMESPACE

#endif
