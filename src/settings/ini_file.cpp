// The initialization-file store: parsing, lookups and crash-safe replacement.
#include "settings/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "util/text.h"

namespace gavrix {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool SameName(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

// The value as the reader takes it from the text after '='.
std::string ReadValue(std::string_view text) {
  text = Trim(text);
  if (text.size() >= 2 && IsQuote(text.front()) && text.front() == text.back()) text = text.substr(1, text.size() - 2);
  return std::string(text);
}

// The text to put after '=' so that ReadValue gives the value back.
std::string StoredValue(std::string_view value) {
  std::string v(value);
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  bool quote = !v.empty() && (IsBlank(v.front()) || IsBlank(v.back()) ||
                              (v.size() >= 2 && IsQuote(v.front()) && v.front() == v.back()));
  return quote ? "\"" + v + "\"" : v;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

IniWriteError::IniWriteError(const std::string& path) : std::runtime_error("Unable to write to " + path) {}

std::optional<int32_t> ParseIniInteger(std::string_view v) {
  auto allHex = [](std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
      if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    return true;
  };
  if (v.size() >= 3 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
    if (!allHex(v.substr(2))) return std::nullopt;
    std::string hex(1, '$');
    hex.append(v.substr(2));
    return TryStrToInt(hex);
  }
  if (!v.empty() && v[0] == '$') {
    if (!allHex(v.substr(1))) return std::nullopt;
    return TryStrToInt(v);
  }
  std::string_view digits = v;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.remove_prefix(1);
  if (digits.empty()) return std::nullopt;
  for (char c : digits)
    if (c < '0' || c > '9') return std::nullopt;
  return TryStrToInt(v);
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    // A file that is there but cannot be read must not be replaced by what
    // little this run would write.
    unreadable_ = errno != ENOENT && errno != ENOTDIR;
    return;
  }
  std::string text;
  char buf[8192];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) unreadable_ = true;
    if (n <= 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  if (!unreadable_) parse(text);
}

void IniFile::parse(std::string_view text) {
  if (text.substr(0, kBom.size()) == kBom) {
    bom_ = true;
    text.remove_prefix(kBom.size());
  }
  size_t firstBreak = text.find('\n');
  if (firstBreak != std::string_view::npos && firstBreak > 0 && text[firstBreak - 1] == '\r') eol_ = "\r\n";
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

    Line line;
    line.raw = std::string(raw);
    std::string_view t = Trim(raw);
    if (t.empty() || t.front() == ';') {
      line.kind = Line::kOther;
    } else if (t.front() == '[') {
      line.kind = Line::kSection;
      std::string_view name = t.substr(1);
      name = name.substr(0, name.find(']'));
      line.name = std::string(Trim(name));
    } else {
      // A line without '=' is a key with an empty value (a Params entry such as "-win").
      size_t eq = t.find('=');
      std::string_view name = Trim(t.substr(0, eq));
      if (name.empty()) {
        line.kind = Line::kOther;
      } else {
        line.kind = Line::kKey;
        line.name = std::string(name);
        if (eq != std::string_view::npos) line.value = ReadValue(t.substr(eq + 1));
      }
    }
    lines_.push_back(std::move(line));
  }
}

std::string IniFile::serialize() const {
  std::string out;
  if (bom_) out += kBom;
  for (const Line& l : lines_) {
    out += l.raw;
    out += eol_;
  }
  return out;
}

int IniFile::findKey(std::string_view section, std::string_view key) const {
  bool inside = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const Line& l = lines_[i];
    if (l.kind == Line::kSection) inside = SameName(l.name, section);
    else if (inside && l.kind == Line::kKey && SameName(l.name, key)) return static_cast<int>(i);
  }
  return -1;
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view def) const {
  int i = findKey(section, key);
  return i < 0 ? std::string(def) : lines_[static_cast<size_t>(i)].value;
}

int32_t IniFile::readInteger(std::string_view section, std::string_view key, int32_t def) const {
  int i = findKey(section, key);
  if (i < 0) return def;
  return ParseIniInteger(lines_[static_cast<size_t>(i)].value).value_or(def);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool def) const {
  return readInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const { return findKey(section, key) >= 0; }

std::vector<std::string> IniFile::sectionKeys(std::string_view section) const {
  std::vector<std::string> keys;
  bool inside = false;
  for (const Line& l : lines_) {
    if (l.kind == Line::kSection) {
      inside = SameName(l.name, section);
    } else if (inside && l.kind == Line::kKey) {
      bool seen = false;
      for (const std::string& k : keys) seen = seen || SameName(k, l.name);
      if (!seen) keys.push_back(l.name);
    }
  }
  return keys;
}

bool IniFile::sectionExists(std::string_view section) const {
  bool inside = false;
  for (const Line& l : lines_) {
    if (l.kind == Line::kSection) inside = SameName(l.name, section);
    else if (inside && l.kind == Line::kKey) return true;
  }
  return false;
}

bool IniFile::IsStorableKey(std::string_view key) {
  key = Trim(key);
  if (key.empty()) return false;
  if (key.front() == ';' || key.front() == '[') return false;
  return key.find_first_of("=\r\n") == std::string_view::npos;
}

template <typename Change>
void IniFile::change(Change&& c) {
  if (batch_) {
    c();
    return;
  }
  std::vector<Line> before = lines_;
  c();
  try {
    replaceFile(serialize());
  } catch (...) {
    lines_ = std::move(before);
    throw;
  }
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  if (!IsStorableKey(key)) throw std::invalid_argument("key cannot be stored: " + std::string(key));
  key = Trim(key);
  change([&] {
    int found = findKey(section, key);
    if (found >= 0) {
      Line& l = lines_[static_cast<size_t>(found)];
      l.value = ReadValue(StoredValue(value));
      l.raw = l.name + "=" + StoredValue(value);
      return;
    }
    Line line;
    line.kind = Line::kKey;
    line.name = std::string(key);
    line.value = ReadValue(StoredValue(value));
    line.raw = line.name + "=" + StoredValue(value);
    // A new key goes after the last key (or the header) of the section's last block.
    int at = -1;
    bool inside = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
      const Line& l = lines_[i];
      if (l.kind == Line::kSection) {
        inside = SameName(l.name, section);
        if (inside) at = static_cast<int>(i);
      } else if (inside && l.kind == Line::kKey) {
        at = static_cast<int>(i);
      }
    }
    if (at < 0) {
      Line header;
      header.kind = Line::kSection;
      header.name = std::string(section);
      header.raw = "[" + header.name + "]";
      lines_.push_back(std::move(header));
      lines_.push_back(std::move(line));
    } else {
      lines_.insert(lines_.begin() + at + 1, std::move(line));
    }
  });
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int32_t value) {
  writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
  writeString(section, key, value ? "1" : "0");
}

void IniFile::eraseSection(std::string_view section) {
  change([&] {
    std::vector<Line> kept;
    bool inside = false;
    for (Line& l : lines_) {
      if (l.kind == Line::kSection) inside = SameName(l.name, section);
      if (!inside) kept.push_back(std::move(l));
    }
    lines_ = std::move(kept);
  });
}

void IniFile::beginBatch() {
  if (batch_) throw std::logic_error("IniFile batches do not nest");
  batch_ = lines_;
}

void IniFile::commit() {
  if (!batch_) throw std::logic_error("IniFile::commit without a batch");
  try {
    replaceFile(serialize());
  } catch (...) {
    rollback();
    throw;
  }
  batch_.reset();
}

void IniFile::rollback() {
  if (!batch_) return;
  lines_ = std::move(*batch_);
  batch_.reset();
}

void IniFile::replaceFile(const std::string& text) const {
  if (unreadable_) throw IniWriteError(path_);
  // Write through a symbolic link to the file it names, keeping the link.
  std::string target = path_;
  struct stat st {};
  bool exists = ::lstat(path_.c_str(), &st) == 0;
  if (exists && S_ISLNK(st.st_mode)) {
    std::error_code ec;
    auto real = std::filesystem::canonical(path_, ec);
    if (!ec) target = real.string();
    exists = ::stat(target.c_str(), &st) == 0;
  }
  // A file marked read-only stays as it is, although its folder would allow a rename.
  if (exists && ::access(target.c_str(), W_OK) != 0) throw IniWriteError(path_);

  std::string temp = target + ".tmp";
  ::unlink(temp.c_str());  // a leftover of an interrupted write
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) throw IniWriteError(path_);
  if (exists) ::fchmod(fd, st.st_mode & 07777);
  bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    throw IniWriteError(path_);
  }
  // Make the rename itself durable. The new file is in place already, so a
  // folder that cannot be synced is no failure of the write.
  std::string folder = std::filesystem::path(target).parent_path().string();
  int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

}  // namespace gavrix
