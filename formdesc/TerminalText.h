#pragma once

#include <string>
#include <string_view>

// Text from files (a form's title, a bitmap name) reaches terminals in
// messages; a control character in it would be obeyed by the terminal
// (colours, cursor moves, a changed window title) instead of shown.
namespace formdesc {

// UTF-8 text with its control characters written out: C0 controls but the
// tab and DEL as "\x1B", C1 controls as "\u009B". Everything else is kept
// byte for byte.
std::string escapeControls(std::string_view utf8);

} // namespace formdesc
