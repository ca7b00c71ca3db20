// Text helpers: fields, infostring values, integer conversion, text order.
#include "util/text.h"

#include <gtest/gtest.h>

using namespace gavrix;

TEST(GetField, CutsDelimitedTexts) {
  struct Case { char d; const char* text; int n; const char* want; } cases[] = {
      {'.', "192.168.1.20", 1, "192"}, {'.', "192.168.1.20", 2, "168"}, {'.', "192.168.1.20", 4, "20"},
      {':', "10.0.0.1:27015", 2, "27015"}, {':', "10.0.0.1:27015", 3, ""}, {'/', "12/20", 1, "12"},
      {'/', "12/20", 2, "20"}, {' ', "abc", 1, "abc"}, {' ', "abc", 2, ""}, {'.', "a..b", 2, ""},
      {'.', "a..b", 3, "b"}, {'.', "a.b.", 2, "b"}, {'.', "a.b.", 3, ""}, {'.', "", 1, ""},
      {'.', "a.b", 0, ""}, {'.', "a.b", -1, ""}, {'.', ".", 1, ""}, {' ', "my server 0", 1, "my"},
      {':', "10.0.0.1", 2, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(GetField(c.d, c.text, c.n), c.want) << c.text << " n=" << c.n;
}

TEST(GetBetween, FindsLastCompleteValueIgnoringKeyCase) {
  struct Case { std::string text, start, want; } cases[] = {
      {"\\hostname\\My Server\\map\\de_dust\\", "\\hostname\\", "My Server"},
      {"\\hostname\\My Server\\map\\de_dust\\", "\\MAP\\", "de_dust"},
      {"\\Map\\De_Dust\\", "\\map\\", "De_Dust"},
      {"\\map\\de_dust", "\\map\\", ""},
      {"\\a\\1\\a\\2\\", "\\a\\", "1"},
      {"\\a\\1\\\\a\\2\\", "\\a\\", "2"},
      {std::string("\\map\\x\\\0\\map\\y\\", 15), "\\map\\", "x"},
      {"\\map\\x\\", "", ""},
      {"", "\\map\\", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(GetBetween(c.text, c.start, "\\"), c.want) << c.text;
}

TEST(StrToInt, AcceptsWhatTheClassicRuntimeAccepts) {
  struct Case { const char* text; std::optional<int32_t> want; } cases[] = {
      {"27015", 27015}, {"-5", -5}, {"+7", 7}, {"  12", 12}, {"$1F", 31}, {"0x1f", 31}, {"0X10", 16},
      {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"2147483648", std::nullopt},
      {"", std::nullopt}, {" ", std::nullopt}, {"12 ", std::nullopt}, {"abc", std::nullopt},
      {"1.5", std::nullopt}, {"-", std::nullopt}, {"$", std::nullopt}, {"0x", std::nullopt},
      {"$FFFFFFFF", -1}, {"99999999999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(TryStrToInt(c.text), c.want) << c.text;
  EXPECT_THROW(StrToInt("abc"), ConvertError);
  try {
    StrToInt("abc");
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

TEST(CompareText, FoldsOnlyAsciiLettersAndPutsPrefixFirst) {
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("27015", "5000"), 0);
  EXPECT_LT(CompareText("12/20", "9/20"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_GT(CompareText("b", "A"), 0);
  EXPECT_LT(CompareText("Z", "_"), 0);   // 'Z' 0x5A before '_' 0x5F, 'z' folds to 'Z'
  EXPECT_LT(CompareText("z", "_"), 0);
  EXPECT_GT(CompareText("\xE9", "\xC9"), 0);  // bytes above 127 are not folded
  EXPECT_EQ(CompareText("", ""), 0);
}

TEST(IsValidUtf8, RejectsMalformedSequences) {
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("\xC3\xA9t\xC3\xA9"));
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));
  EXPECT_FALSE(IsValidUtf8("\xC3"));
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));
}

TEST(DisplayUtf8, ShowsInvalidUtf8AsLatin1) {
  EXPECT_EQ(DisplayUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
  EXPECT_EQ(DisplayUtf8("caf\xE9"), "caf\xC3\xA9");
}
