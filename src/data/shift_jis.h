// Conversion between the Shift-JIS (code page 932) bytes of definition files
// and UTF-8, used only where text is shown or a file name is opened.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cabsim {

/// True when `byte` is the lead byte of a double-byte Shift-JIS character.
constexpr bool is_sjis_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

/// The Shift-JIS text `sjis` in UTF-8. Bytes that are not valid Shift-JIS
/// (including a lone lead byte at the end) become U+FFFD; NUL stays NUL.
std::string sjis_to_utf8(std::string_view sjis);

/// The UTF-8 text `utf8` in Shift-JIS. Characters that Shift-JIS cannot hold
/// (and invalid UTF-8) become '?'.
std::string utf8_to_sjis(std::string_view utf8);

}  // namespace cabsim
