#include "qwindowstabletsupport.h"

QT_BEGIN_NAMESPACE

int QWindowsTabletSupport::m_absoluteRange = 20;

QT_END_NAMESPACE
