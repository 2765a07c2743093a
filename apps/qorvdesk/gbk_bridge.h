#pragma once
// The one place where the host converts text: the library speaks GBK, the screen UTF-8
// (QString). Everything the host shows from the library and hands to it passes here.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace host {

// GBK from the library, for the screen.
QString FromGbk(std::string_view gbk);
// What the user typed, for the library; nothing when it holds a character GBK cannot hold
// (the caller refuses the input, it is never turned into '?').
std::optional<std::string> ToGbk(const QString& text);
// The same for host-made texts known to be GBK-clean (captions, ASCII); an unrepresentable
// character is left out.
std::string ToGbkLossy(const QString& text);
// The first character of `text` that GBK cannot hold, for the refusal message; empty when
// there is none.
QString FirstNonGbkCharacter(const QString& text);

}  // namespace host
