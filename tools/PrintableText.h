#pragma once
// Text that came from a file (a section name) or from the file system (a path) goes to
// a terminal through this: bytes that a terminal would take as a command never reach it.

#include <string>
#include <string_view>

// The text as UTF-8 that a terminal shows as it is: every printable character stays,
// and each byte of a control character is written as \xHH (two upper-case hex digits),
// which is:
//   - a byte below 0x20, and 0x7F;
//   - a C1 control U+0080-U+009F, each of its two bytes;
//   - any byte that is not part of a well-formed UTF-8 character (a stray continuation
//     byte, a cut or overlong sequence, a surrogate, a value past U+10FFFF), since a
//     terminal that is not in UTF-8 mode takes 0x80-0x9F alone as C1 controls.
// A backslash becomes \\ so that the escapes cannot be forged by the text itself.
std::string PrintableText(std::string_view bytes);
