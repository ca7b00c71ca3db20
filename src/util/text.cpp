// Text helpers: see text.h.
#include "util/text.h"

#include <limits>

#include "util/code_page.h"

namespace gavrix {

namespace {
std::string ConvertMessage(std::string_view text) {
  std::string m;
  m.reserve(text.size() + 32);
  m.push_back('\'');
  m.append(text);
  m.append("' is not a valid integer value");
  return m;
}
}  // namespace

ConvertError::ConvertError(std::string_view text) : std::runtime_error(ConvertMessage(text)) {}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string GetField(char delim, std::string_view text, int n) {
  if (text.empty() || n < 1) return {};
  // A missing trailing delimiter is implied, so "a.b" and "a.b." have two fields.
  std::string_view rest = text;
  std::string_view field;
  bool implied = rest.back() != delim;
  for (int i = 0; i < n; ++i) {
    if (rest.empty()) return {};
    size_t p = rest.find(delim);
    if (p == std::string_view::npos) {
      if (!implied) return {};
      field = rest;
      rest = {};
      implied = false;
      continue;
    }
    field = rest.substr(0, p);
    rest = rest.substr(p + 1);
  }
  return std::string(field);
}

namespace {

// Position of needle in hay at or after from, ignoring ASCII case; npos if none.
size_t FindFolded(std::string_view hay, std::string_view needle, size_t from) {
  if (needle.empty() || needle.size() > hay.size()) return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && UpperAscii(hay[i + k]) == UpperAscii(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

}  // namespace

std::string GetBetween(std::string_view text, std::string_view start, std::string_view end) {
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::string_view result;
  size_t pos = 0;
  for (;;) {
    size_t s = FindFolded(text, start, pos);
    if (s == std::string_view::npos) break;
    size_t valueStart = s + start.size();
    size_t e = FindFolded(text, end, valueStart);
    if (e == std::string_view::npos) break;
    result = text.substr(valueStart, e - valueStart);
    pos = e + end.size();
  }
  return std::string(result);
}

std::optional<int32_t> TryStrToInt(std::string_view t) {
  size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  int base = 10;
  if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= t.size()) return std::nullopt;
  int64_t value = 0;
  const int64_t limit = base == 10 ? int64_t{std::numeric_limits<int32_t>::max()} + (negative ? 1 : 0)
                                   : int64_t{std::numeric_limits<uint32_t>::max()};
  for (; i < t.size(); ++i) {
    char c = t[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return std::nullopt;
    value = value * base + d;
    if (value > limit) return std::nullopt;
  }
  if (base == 16) {
    // Hexadecimal takes the full 32 bits, as the classic runtime does.
    auto bits = static_cast<uint32_t>(value);
    int32_t v = static_cast<int32_t>(bits);
    return negative ? static_cast<int32_t>(0u - bits) : v;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

int32_t StrToInt(std::string_view text) {
  if (auto v = TryStrToInt(text)) return *v;
  throw ConvertError(text);
}

int CompareText(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(UpperAscii(a[i]));
    auto y = static_cast<unsigned char>(UpperAscii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    int extra;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) { extra = 1; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { extra = 2; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { extra = 3; cp = c & 0x07; }
    else return false;
    if (i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

std::string DisplayUtf8(std::string_view text) { return ToUtf8(text, CodePage::Latin1); }

}  // namespace gavrix
