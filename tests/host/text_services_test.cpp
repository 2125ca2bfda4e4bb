#include <gtest/gtest.h>

#include <cstring>

#include "services/services.h"

namespace {

class TextServicesTest : public ::testing::Test {
 protected:
  void SetUp() override { InitValueModel(); }
};

// "中文" in GBK: two double-byte characters.
constexpr char kChinese[] = "\xD6\xD0\xCE\xC4";

TEST_F(TextServicesTest, JoinTextsNeverReturnsNullAndSkipsNulls) {
  Text empty = JoinTexts({nullptr, ""});
  ASSERT_NE(empty.get(), nullptr);
  EXPECT_STREQ(empty.get(), "");
  Text path = JoinTexts({"C:\\dir", "\\", nullptr, "velmora365.html"});
  EXPECT_STREQ(path.get(), "C:\\dir\\velmora365.html");
}

TEST_F(TextServicesTest, CompareTextTable) {
  struct Row {
    const char* label;
    TextValue a, b;
    int expected;
  };
  const Row rows[] = {
      {"null vs null", nullptr, nullptr, 0},
      {"null vs empty", nullptr, "", 0},
      {"empty vs null", "", nullptr, 0},
      {"null vs text", nullptr, "a", -1},
      {"text vs null", "a", nullptr, 1},
      {"lower above upper", "a", "A", 1},
      {"upper below lower", "A", "a", -1},
      {"prefix is smaller", "ab", "abc", -1},
      {"equal", "abc", "abc", 0},
      {"bytes compare unsigned", "\x80", "\x7F", 1},
      {"double-byte above ASCII", kChinese, "z", 1},
  };
  for (const Row& r : rows) EXPECT_EQ(CompareText(r.a, r.b), r.expected) << r.label;
}

TEST_F(TextServicesTest, LeftAndRightClampTheirCounts) {
  struct Row {
    const char* label;
    TextValue s;
    int32_t n;
    const char* left;
    const char* right;
  };
  const Row rows[] = {
      {"zero", "abcdef", 0, "", ""},
      {"negative", "abcdef", -3, "", ""},
      {"inside", "abcdef", 2, "ab", "ef"},
      {"exact", "abcdef", 6, "abcdef", "abcdef"},
      {"larger than the text", "abcdef", 99, "abcdef", "abcdef"},
      {"null text", nullptr, 3, "", ""},
      {"splits a double-byte character", kChinese, 1, "\xD6", "\xC4"},
  };
  for (const Row& r : rows) {
    EXPECT_STREQ(TextLeft(r.s, r.n).c_str(), r.left) << r.label;
    EXPECT_STREQ(TextRight(r.s, r.n).c_str(), r.right) << r.label;
  }
  EXPECT_EQ(TextLength(nullptr), 0);
  EXPECT_EQ(TextLength(kChinese), 4);
}

TEST_F(TextServicesTest, FindTextTable) {
  struct Row {
    const char* label;
    TextValue s, t;
    bool ignore_case;
    int32_t expected;
  };
  const Row rows[] = {
      {"at the start", "abc", "ab", true, 1},
      {"later", "xxabc", "abc", false, 3},
      {"capital end marker", "1.0<END>", "<end>", true, 4},
      {"case matters without the flag", "1.0<END>", "<end>", false, -1},
      {"sought text longer", "ab", "abc", true, -1},
      {"null text", nullptr, "a", true, -1},
      // 0xB0 0xA1 is one character; "\xA1\xB0" must not match across it.
      {"never on a second byte", "\xB0\xA1\xB0\xA1", "\xA1\xB0", false, -1},
      {"double-byte after ASCII", "a\xD6\xD0\xCE\xC4", "\xCE\xC4", false, 4},
      // Second bytes in the ASCII range compare exactly: 0x81 'a' is not 0x81 'A'.
      {"no folding inside a character",
       "\x81"
       "a",
       "\x81"
       "A",
       true, -1},
      {"folding of single bytes",
       "x\x81"
       "aBc",
       "abc", true, -1},
      {"found after a character",
       "\x81"
       "aBc",
       "BC", true, 3},
      {"sought text ending halfway through a character", "\xB0\xA1", "\xB0", false, -1},
      {"sought first byte against a first byte cut off by the end", "a\xD6", "\xD6", false, 2},
      {"lead byte before the end", "ab\xD6", "zz", true, -1},
      {"lead byte before the end, shorter sought", "a\xD6", "b", true, -1},
      {"empty sought text", "abc", "", true, 1},
  };
  for (const Row& r : rows) EXPECT_EQ(FindText(r.s, r.t, r.ignore_case), r.expected) << r.label;
}

TEST_F(TextServicesTest, BytesToTextStopsAtTheFirstZero) {
  const uint8_t raw[] = {0x41, 0x42, 0x00, 0x43};
  Bytes b(NewByteArray(raw, 4));
  Text t = BytesToText(b.get());
  EXPECT_EQ(TextLength(t.get()), 2);
  EXPECT_STREQ(t.get(), "AB");

  const uint8_t zeros[] = {0, 0};
  Bytes z(NewByteArray(zeros, 2));
  EXPECT_STREQ(BytesToText(z.get()).c_str(), "");
  EXPECT_STREQ(BytesToText(nullptr).c_str(), "");
  Bytes whole(NewByteArray("xyz", 3));
  EXPECT_STREQ(BytesToText(whole.get()).c_str(), "xyz");
  EXPECT_EQ(ByteArrayLength(nullptr), 0);
  EXPECT_EQ(ByteArrayLength(whole.get()), 3);
  EXPECT_EQ(ByteArrayLength(EmptyBytes()), 0);
}

TEST_F(TextServicesTest, RunDirectoryIsTheModulePathUpToItsLastSeparator) {
  struct Row {
    const char* label;
    const char* path;
    const char* expected;
  };
  const Row rows[] = {
      {"plain", "C:\\Program Files\\Velmora\\velmora.exe", "C:\\Program Files\\Velmora"},
      {"no separator", "velmora.exe", ""},
      {"empty", "", ""},
      // 0x81 0x5C is one GBK character whose second byte looks like "\".
      {"separator byte inside a character",
       "C:\\\x81\x5C"
       "dir\\a.exe",
       "C:\\\x81\x5C"
       "dir"},
      {"separator byte inside the file name", "C:\\d\\\x81\x5C.exe", "C:\\d"},
  };
  for (const Row& r : rows) {
    RecordRunDirectory(r.path, IsGbkLeadByte);
    Text a = GetRunDirectory();
    Text b = GetRunDirectory();
    EXPECT_STREQ(a.c_str(), r.expected) << r.label;
    if (*r.expected) {
      EXPECT_NE(a.get(), b.get()) << "a fresh copy on every call";
    } else {
      EXPECT_EQ(a.get(), nullptr) << r.label;
    }
  }
}

}  // namespace
