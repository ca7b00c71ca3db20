// Single-byte code pages for names that are not UTF-8: many older servers send
// their texts in the code page of the machine they run on.
#pragma once

#include <string>
#include <string_view>

namespace gavrix {

// Values are the code page numbers stored in the settings file.
enum class CodePage { Latin1 = 28591, Windows1250 = 1250, Windows1251 = 1251, Windows1252 = 1252 };

// The code pages offered to the user, in list order, and their captions.
inline constexpr CodePage kOfferedCodePages[] = {CodePage::Windows1250, CodePage::Windows1251,
                                                 CodePage::Windows1252};
inline constexpr std::string_view kCodePageCaptions[] = {
    "Windows-1250 (Central European)", "Windows-1251 (Cyrillic)", "Windows-1252 (Western)"};
inline constexpr CodePage kDefaultCodePage = CodePage::Windows1252;

// The offered code page of a stored number; the default for any other number.
CodePage OfferedCodePage(int number);

// The text as UTF-8: unchanged when it is valid UTF-8, otherwise each byte
// taken in the code page (bytes the code page leaves undefined become U+FFFD).
std::string ToUtf8(std::string_view text, CodePage page);

// The code page the lists and the tools show texts in that are not UTF-8
// (Latin-1 until one is set), and a text as they show it.
CodePage ShownCodePage();
void SetShownCodePage(CodePage page);
inline std::string ShownText(std::string_view text) { return ToUtf8(text, ShownCodePage()); }

}  // namespace gavrix
