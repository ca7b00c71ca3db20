// The IPv4 address edit: its octets and dotted text, and typing into it as a user does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <map>
#include <string>

#include "widgets/ip_edit_qt.h"
#include "support/scripted_boxes_qt.h"

using namespace gavrix;
using namespace gavrix::test;

namespace {

QString L(const char* text) { return QString::fromUtf8(text); }

// An edit in a shown, active window, so that keys go where the focus goes.
class IpEditTyping : public ::testing::Test {
 protected:
  void SetUp() override {
    new QVBoxLayout(&window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    fresh();
  }
  // A new edit, never touched, with the focus in its first field.
  void fresh() {
    delete edit;
    edit = new IpEdit(&window);
    window.layout()->addWidget(edit);
    edit->show();
    edit->field(0)->setFocus();
  }
  // Each key goes to the widget that has the focus at that moment.
  void type(const QString& keys) {
    for (QChar c : keys) QTest::keyClicks(QApplication::focusWidget(), QString(c));
  }
  void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(QApplication::focusWidget(), k, m); }
  // Types a script: plain characters, and {ALL} (Ctrl+A), {PASTE} (Ctrl+V), {COPY} (Ctrl+C),
  // {BS}, {DEL}, {LEFT}, {RIGHT}, {HOME}, {END}, {TAB} for those keys.
  void script(const QString& keys) {
    static const std::map<QString, std::pair<Qt::Key, Qt::KeyboardModifiers>> named = {
        {L("ALL"), {Qt::Key_A, Qt::ControlModifier}}, {L("PASTE"), {Qt::Key_V, Qt::ControlModifier}},
        {L("COPY"), {Qt::Key_C, Qt::ControlModifier}}, {L("BS"), {Qt::Key_Backspace, {}}},
        {L("DEL"), {Qt::Key_Delete, {}}},              {L("LEFT"), {Qt::Key_Left, {}}},
        {L("RIGHT"), {Qt::Key_Right, {}}},             {L("HOME"), {Qt::Key_Home, {}}},
        {L("END"), {Qt::Key_End, {}}},                 {L("TAB"), {Qt::Key_Tab, {}}},
    };
    for (qsizetype at = 0; at < keys.size();) {
      if (keys[at] == u'{') {
        const qsizetype end = keys.indexOf(u'}', at);
        const auto k = named.at(keys.mid(at + 1, end - at - 1));
        key(k.first, k.second);
        at = end + 1;
      } else {
        type(keys.mid(at++, 1));
      }
    }
  }
  // An edit holding an address, entered with Tab as a user reaches it: the first field selected.
  void filled(const char* dotted) {
    fresh();
    const QStringList parts = L(dotted).split(u'.');
    for (int i = 0; i < 4; ++i) edit->setOctet(i, parts[i].toInt());
    edit->field(0)->setFocus();
    edit->field(0)->selectAll();
  }
  QStringList fields() const {
    QStringList out;
    for (int i = 0; i < 4; ++i) out << edit->field(i)->text();
    return out;
  }

  ScriptedBoxes boxes;
  QWidget window;
  IpEdit* edit = nullptr;
};

TEST(IpEdit, TextIsEmptyUntilTheFirstOctetChange) {
  IpEdit edit;
  EXPECT_EQ(edit.text(), QString());
  EXPECT_EQ(edit.octets(), (std::array<int, 4>{0, 0, 0, 0}));
  edit.setOctet(2, 7);
  EXPECT_EQ(edit.text(), L("0.0.7.0"));
  edit.setOctet(0, 300);  // clamped
  edit.setOctet(3, -4);
  EXPECT_EQ(edit.text(), L("255.0.7.0"));
}

TEST_F(IpEditTyping, DotsAndThirdDigitsMoveOn) {
  struct Case {
    const char* keys;
    const char* text;
  } cases[] = {
      {"10.1.2.3", "10.1.2.3"},
      {"192168001001", "192.168.1.1"},  // leading zeros are not kept
      {"172.16.0010", "172.16.1.0"},    // a dot right after a full field is not needed
      {"10..5", "10.5.0.0"},            // a dot in an empty field stays there
      {"0.0.0.0", "0.0.0.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    fresh();
    type(L(c.keys));
    EXPECT_EQ(edit->text(), L(c.text));
  }
  EXPECT_EQ(boxes.beeps, 0);
}

// Every sequence gives exactly the address typed, whatever the edit held before.
TEST_F(IpEditTyping, KeySequencesOverFilledAndEmptyFields) {
  struct Case {
    const char* before;  // nullptr: a new, empty edit
    const char* keys;
    const char* text;
  } cases[] = {
      // Select all, then type: the old address goes whole.
      {"127.0.5.1", "{ALL}127.0.5.10", "127.0.5.10"},
      {"127.0.5.255", "{ALL}127.0.5.9", "127.0.5.9"},
      {"192.168.100.200", "{ALL}10.1.2.3", "10.1.2.3"},
      {"10.1.2.3", "{ALL}192168001001", "192.168.1.1"},
      {"10.1.2.3", "{RIGHT}{ALL}7", "7.0.0.0"},  // from any field
      // Only the first field selected (as Tab leaves it): each dot after a full octet is that octet's move.
      {"127.0.5.1", "127.0.5.10", "127.0.5.10"},
      {"10.20.30.40", "192.168.100.200", "192.168.100.200"},
      {nullptr, "127.0.5.10", "127.0.5.10"},
      {nullptr, "255.255.255.255", "255.255.255.255"},
      {nullptr, "1.2..3", "1.2.3.0"},  // a dot after a dot the user typed stays where it is
      // Backspace and Delete.
      {"127.0.5.1", "{ALL}{BS}", "0.0.0.0"},
      {"127.0.5.1", "{ALL}{DEL}10.9.8.7", "10.9.8.7"},
      {nullptr, "127{BS}", "12.0.0.0"},             // right after the move by itself: back over the dot
      {nullptr, "127{BS}8.1", "128.1.0.0"},
      {"10.20.30.40", "{END}{DEL}", "10.0.30.40"},  // Delete at a field's end takes the next field's first digit
      {"10.20.30.40", "{END}{DEL}{DEL}{DEL}", "10.0.0.40"},
      {"10.20.30.40", "{END}{RIGHT}{RIGHT}{RIGHT}{RIGHT}{RIGHT}{RIGHT}{RIGHT}{END}{BS}{BS}{BS}", "10.20.3.0"},
      // Paste.
      {"127.0.5.1", "{PASTE}", "10.0.12.250"},
      {"127.0.5.1", "{ALL}{PASTE}", "10.0.12.250"},
      {nullptr, "{PASTE}", "10.0.12.250"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.before ? c.before : "empty") + " / " + c.keys);
    QApplication::clipboard()->setText(L("10.0.12.250"));
    if (c.before) filled(c.before);
    else fresh();
    script(L(c.keys));
    EXPECT_EQ(edit->text().toStdString(), c.text);
  }
  EXPECT_EQ(boxes.beeps, 0);
}

TEST_F(IpEditTyping, SelectAllCoversTheWholeAddress) {
  filled("127.0.5.1");
  key(Qt::Key_Right);
  script(L("{ALL}"));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(edit->field(i)->selectedText(), edit->field(i)->text()) << i;
  script(L("{COPY}"));
  EXPECT_EQ(QApplication::clipboard()->text(), L("127.0.5.1"));
  script(L("x."));  // refused: the address stays selected and whole
  EXPECT_EQ(boxes.beeps, 1);
  EXPECT_EQ(edit->text(), L("127.0.5.1"));
  key(Qt::Key_Right);  // any move ends the selection of the address
  EXPECT_FALSE(edit->field(3)->hasSelectedText());
  script(L("9"));
  EXPECT_EQ(edit->text(), L("127.9.5.1"));
  // Leaving the edit ends it as well.
  script(L("{ALL}{TAB}"));
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(edit->field(i)->hasSelectedText() && !edit->field(i)->hasFocus()) << i;
  script(L("{ALL}"));
  key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), L("127.9.5.1"));
  EXPECT_EQ(edit->text(), L("0.0.0.0"));
  EXPECT_EQ(fields(), (QStringList{QString(), QString(), QString(), QString()}));
}

TEST_F(IpEditTyping, PasteOfNoAddressChangesNothing) {
  filled("127.0.5.1");
  for (const char* text : {"10.0.0.256", "10.0.0", "ten.0.0.1"}) {
    SCOPED_TRACE(text);
    QApplication::clipboard()->setText(L(text));
    script(L("{ALL}{PASTE}"));
    EXPECT_EQ(edit->text(), L("127.0.5.1"));
  }
}

TEST_F(IpEditTyping, RefusesWhatIsNoOctet) {
  type(L("1a2"));
  EXPECT_EQ(boxes.beeps, 1);
  EXPECT_EQ(fields(), (QStringList{L("12"), QString(), QString(), QString()}));
  type(L("9"));  // 129
  type(L("300"));
  EXPECT_EQ(edit->field(1)->text(), L("255"));
  EXPECT_EQ(edit->octet(1), 255);
  EXPECT_EQ(boxes.beeps, 2);
  EXPECT_EQ(edit->text(), L("129.255.0.0"));
}

TEST_F(IpEditTyping, BackspaceAndArrowsCrossTheDots) {
  type(L("10.20.3"));
  EXPECT_EQ(QApplication::focusWidget(), edit->field(2));
  key(Qt::Key_Backspace);  // deletes the 3
  key(Qt::Key_Backspace);  // goes back and deletes the 0 of 20
  EXPECT_EQ(QApplication::focusWidget(), edit->field(1));
  EXPECT_EQ(edit->text(), L("10.2.0.0"));
  key(Qt::Key_Left);
  key(Qt::Key_Left);  // crosses into the first field, at its end
  EXPECT_EQ(QApplication::focusWidget(), edit->field(0));
  type(L("0"));
  EXPECT_EQ(edit->text(), L("100.2.0.0"));
  EXPECT_EQ(QApplication::focusWidget(), edit->field(1));  // three digits moved on
  key(Qt::Key_Right);  // ends the selection
  key(Qt::Key_Right);
  EXPECT_EQ(QApplication::focusWidget(), edit->field(2));
  // A digit typed at the end of a full field goes into the next field.
  edit->field(0)->setFocus();
  key(Qt::Key_End);
  type(L("5"));
  EXPECT_EQ(edit->text(), L("100.5.0.0"));
}

TEST_F(IpEditTyping, PastingADottedAddressFillsEveryField) {
  QApplication::clipboard()->setText(L(" 10.0.12.250 "));
  key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), L("10.0.12.250"));
  EXPECT_EQ(fields(), (QStringList{L("10"), L("0"), L("12"), L("250")}));
  QApplication::clipboard()->setText(L("not an address"));
  edit->field(0)->setFocus();
  edit->field(0)->selectAll();
  key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), L("10.0.12.250"));
}

}  // namespace
