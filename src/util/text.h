// Text helpers shared by every subsystem: fields, infostring values, integer
// conversion, the list text order and UTF-8 checks. Texts are raw bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace gavrix {

// The conversion error that handlers show in the standard error box.
class ConvertError : public std::runtime_error {
 public:
  explicit ConvertError(std::string_view text);
};

// Field n (1 is the first) of text cut at delim; a trailing delimiter ends the
// last field rather than opening an empty one. Empty when there is no such field.
std::string GetField(char delim, std::string_view text, int n);

// The text between start and end of the last complete start..end pair. The
// markers are found ignoring ASCII case, the value keeps its case, and the
// search stops at the first NUL byte of text.
std::string GetBetween(std::string_view text, std::string_view start, std::string_view end);

// Integer conversion of the classic runtime: optional leading spaces, optional
// sign, decimal digits or hexadecimal after "$", "x" or "0x"; nothing may follow.
std::optional<int32_t> TryStrToInt(std::string_view text);
// As TryStrToInt, throwing ConvertError for a text that is no integer.
int32_t StrToInt(std::string_view text);

// Text order of the lists: bytes compared unsigned after folding a-z to A-Z,
// a text that begins the other comes first. Negative, zero or positive.
int CompareText(std::string_view a, std::string_view b);

bool IsValidUtf8(std::string_view text);

// How a network text is shown: as is when it is valid UTF-8, otherwise each
// byte taken as Latin-1. The result is always UTF-8.
std::string DisplayUtf8(std::string_view text);

// ASCII upper case; other bytes unchanged.
char UpperAscii(char c);

}  // namespace gavrix
