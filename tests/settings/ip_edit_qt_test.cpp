// The IPv4 address edit: its octets and dotted text, and typing into it as a user does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "settings/ip_edit_qt.h"
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
