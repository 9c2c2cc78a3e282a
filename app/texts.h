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

// Said at the close when the settings could not be written and the run changed them.
inline constexpr char NotKept[]
    = "お気に入りと表示の設定を保存できませんでした。\n"
      "今回の変更は次の起動には引き継がれません。\n"
      "保存先に書き込めるか、ディスクに空きがあるかを確かめてください。";

inline QString Dec(std::int64_t value)
{
    return QString::fromStdString(colorcodes::DecText(value));
}

} // namespace Texts
