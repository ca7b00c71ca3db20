// The game client's command line: which launch entry a game code starts, the
// parameter text of a join, and how that text becomes the program's arguments.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gavrix {

// The launch entry of a game code and the message shown when its path is empty.
struct GameLaunch {
  int index;
  std::string_view emptyMessage;
};

// Codes compare exactly, letter case included; nullopt for a code that starts nothing.
std::optional<GameLaunch> LaunchForGame(std::string_view code);

// A password given for one server (the address and port it was given for).
struct GivenPassword {
  std::string text, address, port;
  bool isFor(std::string_view a, std::string_view p) const { return address == a && port == p; }
};

// "+password " and the password when it was given for address:port, else empty.
// A password that a shell would split is quoted, so it stays one argument.
std::string PasswordArgument(const std::optional<GivenPassword>& given, std::string_view address,
                             std::string_view port);

// Entry parameters, " +connect ", address, ":", port, " ", password argument.
std::string ParameterText(std::string_view params, std::string_view address, std::string_view port,
                          std::string_view passwordArgument);

// A decimal port 1 to 65535 with nothing else around it: the only port text
// that may go onto a command line.
bool IsPortText(std::string_view text);

// Splits a parameter text into arguments as a POSIX shell splits words:
// blanks separate, '...' is literal, "..." keeps blanks and takes \" \\ \$ \`,
// a backslash outside quotes escapes the next character. Nothing is expanded.
std::vector<std::string> SplitArguments(std::string_view text);

// The text unchanged when SplitArguments keeps it one word, else single-quoted.
std::string QuoteArgument(std::string_view text);

}  // namespace gavrix
