#include "serverlist/row_print.h"

#include <cstdio>

#include "util/text.h"

namespace gavrix {

void AppendTsvText(std::string& line, std::string_view text) {
  for (char c : DisplayUtf8(text)) {
    switch (c) {
      case '\\': line += "\\\\"; break;
      case '\t': line += "\\t"; break;
      case '\r': line += "\\r"; break;
      case '\n': line += "\\n"; break;
      default: line += c;
    }
  }
}

void AppendJsonText(std::string& out, std::string_view text) {
  out += '"';
  for (char c : DisplayUtf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char esc[8];
          std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
          out += esc;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

std::string ServerColumnsTsv(const ServerRow& row) {
  std::string line;
  for (int c = 0; c < kColumnCount; ++c) {
    if (c) line += '\t';
    AppendTsvText(line, row.text(c));
  }
  return line;
}

std::string ServerLine(const ServerRow& row) {
  return "server\t" + ServerColumnsTsv(row) + '\t' + std::to_string(row.icon) + '\t' + std::to_string(row.osIcon) +
         '\t' + std::to_string(row.accessIcon);
}

std::string PaneLine(std::string_view kind, const PaneRow& row) {
  std::string line(kind);
  line += '\t';
  AppendTsvText(line, row.caption);
  line += '\t';
  AppendTsvText(line, row.value);
  return line;
}

}  // namespace gavrix
