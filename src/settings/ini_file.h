// The initialization-file store behind gavrix.ini: profile-file semantics, crash-safe whole-file writes.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace gavrix {

// A write the file system refused. The message is "Unable to write to <path>".
class IniWriteError : public std::runtime_error {
 public:
  explicit IniWriteError(const std::string& path);
};

// Integer rule of the file: three or more characters beginning "0x" or "0X",
// or anything beginning "$", is hexadecimal (all 32 bits); otherwise decimal
// with an optional sign. Nothing else is an integer.
std::optional<int32_t> ParseIniInteger(std::string_view value);

// Sections and keys are matched ignoring ASCII letter case; keys keep their file
// order. Lines starting with ';' are comments. A value is read with the spaces
// around it removed and one pair of enclosing quotes (" or ') taken off; a value
// that would not read back as written is stored inside double quotes.
//
// The file is read once, by the constructor; a missing file reads as empty.
// Each write operation replaces the file at once: the new text goes to
// "<path>.tmp" beside it, is flushed to the disk and renamed over the file. Inside
// a batch, writes only change memory and commit() replaces the file once. A
// refused replacement throws IniWriteError and puts the contents back as they
// were before the operation (or the batch), which is what the file still holds.
class IniFile {
 public:
  explicit IniFile(std::string path);

  const std::string& path() const { return path_; }

  // The value of the key, or def when the key is absent (an empty value is "").
  std::string readString(std::string_view section, std::string_view key, std::string_view def) const;
  // def when the key is absent or its value is no integer.
  int32_t readInteger(std::string_view section, std::string_view key, int32_t def) const;
  // Read as an integer, non-zero is true; def when absent or no integer.
  bool readBool(std::string_view section, std::string_view key, bool def) const;
  bool hasKey(std::string_view section, std::string_view key) const;
  // Key names in file order, each once, spelt as in the file.
  std::vector<std::string> sectionKeys(std::string_view section) const;
  // True when the section holds at least one key.
  bool sectionExists(std::string_view section) const;

  // The key must be storable (IsStorableKey); otherwise std::invalid_argument.
  // Line breaks in a value are stored as spaces.
  void writeString(std::string_view section, std::string_view key, std::string_view value);
  void writeInteger(std::string_view section, std::string_view key, int32_t value);
  void writeBool(std::string_view section, std::string_view key, bool value);
  // Removes every block of the section with all its lines.
  void eraseSection(std::string_view section);

  // A batch collects writes in memory; commit() replaces the file once. Batches
  // do not nest (std::logic_error).
  void beginBatch();
  void commit();
  // Drops the batch's changes.
  void rollback();
  bool inBatch() const { return batch_.has_value(); }

  // Scoped batch: rolls back unless commit() was called.
  class Batch {
   public:
    explicit Batch(IniFile& ini) : ini_(ini) { ini_.beginBatch(); }
    ~Batch() {
      if (ini_.inBatch()) ini_.rollback();
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
    void commit() { ini_.commit(); }

   private:
    IniFile& ini_;
  };

  // A key name the file can hold: after the spaces and tabs at its ends (which
  // are not stored) it is not empty, holds no '=' or line break and does not
  // begin with ';' or '['.
  static bool IsStorableKey(std::string_view key);

 private:
  struct Line {
    enum Kind : uint8_t { kOther, kSection, kKey } kind = kOther;
    std::string raw;    // the line as it stands in the file, without its line break
    std::string name;   // section or key name, trimmed
    std::string value;  // key value as read
  };

  void parse(std::string_view text);
  std::string serialize() const;
  // Index of the key's first line in the section, or -1.
  int findKey(std::string_view section, std::string_view key) const;
  // Applies one change: at once to disk outside a batch, rolled back if refused.
  template <typename Change>
  void change(Change&& c);
  void replaceFile(const std::string& text) const;

  std::string path_;
  std::vector<Line> lines_;
  std::optional<std::vector<Line>> batch_;  // contents when the batch began
  std::string eol_ = "\n";
  bool bom_ = false;
  bool unreadable_ = false;  // the file exists but could not be read: never replace it
};

}  // namespace gavrix
