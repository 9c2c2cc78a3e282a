#pragma once

#include "colorcodes/colorcodes.h"

#include <QString>

#include <string>

// Between the controls' texts and the byte texts the colour codes work on.
namespace Texts {

// One byte per character: every character that is not Latin-1 becomes "?", which like any
// other non-digit counts as 0 in a code.
inline std::string Latin1(const QString &text)
{
    return text.toLatin1().toStdString();
}

inline QString Dec(std::int64_t value)
{
    return QString::fromStdString(colorcodes::DecText(value));
}

} // namespace Texts
