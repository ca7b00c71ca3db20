// The IPv4 address edit: four octet fields with dots between them, and the
// dotted text of the address.
#pragma once

#include <QFrame>
#include <QString>
#include <array>

class QKeyEvent;
class QLineEdit;

namespace gavrix {

// Four octets, each 0 to 255, the first one first, and a text: empty until the
// first octet change after the edit is built, from then on always the four
// octets in decimal without leading zeros joined by dots ('10.0.0.1'). An empty
// field counts as 0.
//
// Typing: digits only; a field moves on to the next after its third digit or
// on a dot, and a dot typed right after such a move by itself is that move, not
// another one. Backspace at the start of a field goes back into the previous
// one (and right after a move by itself, back to undo the last digit); Delete
// at the end of a field goes on into the next one; Left and Right cross from
// field to field; a value above 255 becomes 255 with the beep. Select all
// (Ctrl+A) selects the whole address: a digit typed then starts a new address
// in the first field, Backspace or Delete empty every field, copy takes the
// dotted text and cut empties the fields after it. Pasting a dotted address
// fills all four fields; one with an octet above 255 changes nothing.
class IpEdit : public QFrame {
  Q_OBJECT

 public:
  explicit IpEdit(QWidget* parent = nullptr);

  int octet(int i) const { return octets_[static_cast<size_t>(i)]; }
  std::array<int, 4> octets() const { return octets_; }
  // Sets octet i (0 to 3), clamped to 0..255.
  void setOctet(int i, int value);
  QString text() const;
  QLineEdit* field(int i) const { return fields_[static_cast<size_t>(i)]; }

 signals:
  // An octet was set or edited.
  void changed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString dotted() const;
  void fieldEdited(int i, const QString& text);
  bool keyPressed(int i, QKeyEvent* key);
  bool wholeKeyPressed(QKeyEvent* key);
  bool pasteAddress();
  void focusField(int i, bool selectAll, bool atEnd);
  // Goes on to the next field by itself, as after a third digit.
  void moveOn(int i);
  void selectWhole();
  void endWholeSelection();
  void clearAll();

  std::array<QLineEdit*, 4> fields_{};
  std::array<int, 4> octets_{};
  bool touched_ = false;
  bool movedOn_ = false;  // the last key moved on to the next field by itself
  bool whole_ = false;    // the whole address is selected
};

}  // namespace gavrix
