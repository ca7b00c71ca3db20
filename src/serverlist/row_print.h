// Rows of the server list and the panes as text lines, the way the
// command-line tools print them: texts as the window shows them, with the
// line's separators escaped.
#pragma once

#include <string>
#include <string_view>

#include "query/server_list.h"
#include "serverlist/pane.h"

namespace gavrix {

// Appends text as the window shows it; backslash, TAB, CR and LF become
// \\, \t, \r and \n.
void AppendTsvText(std::string& line, std::string_view text);

// Appends text as a JSON string (quotes included), shown as the window shows it.
void AppendJsonText(std::string& out, std::string_view text);

// The nine column texts, TAB-separated.
std::string ServerColumnsTsv(const ServerRow& row);

// "server", the columns, the row, OS and access icons; TAB-separated.
std::string ServerLine(const ServerRow& row);

// kind, the caption and the value; TAB-separated.
std::string PaneLine(std::string_view kind, const PaneRow& row);

// Column captions for the tools' header lines ("Players" for the icon-only header).
inline constexpr std::string_view kColumnNames[kColumnCount] = {"Game", "Name", "Address", "Port", "PT",
                                                               "Map",  "Players", "OS", "A"};

}  // namespace gavrix
