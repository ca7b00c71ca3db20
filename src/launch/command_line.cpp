// Game-code table, parameter text and argument splitting of the launcher.
#include "launch/command_line.h"

#include <array>

namespace gavrix {

namespace {

struct CodeLine {
  std::array<std::string_view, 3> codes;
  GameLaunch launch;
};

// Tested in this order. The messages name the engine's executable, not the game.
constexpr CodeLine kCodeTable[] = {
    {{"1.6"}, {2, "CS 1.6 .exe path is empty"}},
    {{"CSS", "PRO"}, {4, "CSS .exe path is empty"}},
    {{"CZ"}, {3, "CZero .exe path is empty"}},
    {{"1.5"}, {1, "CS1.5 .exe path is empty"}},
    {{"HL"}, {0, "HL .exe path is empty"}},
    {{"DM", "TDM", "CTF"}, {5, "HL2 .exe path is empty"}},
    {{"DOD"}, {6, "HL .exe path is empty"}},
    {{"DODS"}, {7, "HL2 .exe path is empty"}},
    {{"GMOD"}, {8, "HL2 .exe path is empty"}},
    {{"TFC"}, {9, "HL .exe path is empty"}},
    {{"TF2"}, {10, "HL2 .exe path is empty"}},
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

std::optional<GameLaunch> LaunchForGame(std::string_view code) {
  for (const CodeLine& line : kCodeTable)
    for (std::string_view c : line.codes)
      if (!c.empty() && c == code) return line.launch;
  return std::nullopt;
}

std::string PasswordArgument(const std::optional<GivenPassword>& given, std::string_view address,
                             std::string_view port) {
  if (!given || !given->isFor(address, port)) return {};
  return "+password " + QuoteArgument(given->text);
}

std::string ParameterText(std::string_view params, std::string_view address, std::string_view port,
                          std::string_view passwordArgument) {
  std::string text;
  text.reserve(params.size() + address.size() + port.size() + passwordArgument.size() + 12);
  text.append(params).append(" +connect ").append(address).append(":").append(port).append(" ");
  text.append(passwordArgument);
  return text;
}

bool IsPortText(std::string_view text) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value >= 1 && value <= 65535;
}

std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> args;
  std::string word;
  bool inWord = false;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    char c = text[i];
    if (IsBlank(c)) {
      if (inWord) args.push_back(std::move(word)), word.clear(), inWord = false;
      ++i;
      continue;
    }
    inWord = true;
    if (c == '\'') {
      size_t end = text.find('\'', i + 1);
      if (end == std::string_view::npos) end = n;  // an unclosed quote runs to the end
      word.append(text.substr(i + 1, end - i - 1));
      i = end + 1;
    } else if (c == '"') {
      ++i;
      while (i < n && text[i] != '"') {
        if (text[i] == '\\' && i + 1 < n &&
            (text[i + 1] == '"' || text[i + 1] == '\\' || text[i + 1] == '$' || text[i + 1] == '`')) {
          word += text[i + 1];
          i += 2;
        } else {
          word += text[i++];
        }
      }
      ++i;  // the closing quote
    } else if (c == '\\') {
      if (i + 1 < n) word += text[i + 1];
      i += 2;
    } else {
      word += c;
      ++i;
    }
  }
  if (inWord) args.push_back(std::move(word));
  return args;
}

std::string QuoteArgument(std::string_view text) {
  bool plain = !text.empty();
  for (char c : text)
    if (IsBlank(c) || c == '\'' || c == '"' || c == '\\') plain = false;
  if (plain) return std::string(text);
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') quoted += "'\\''";
    else quoted += c;
  }
  quoted += '\'';
  return quoted;
}

}  // namespace gavrix
