#include "core/extract_between.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char kStart[] = "zuixingbbxz";
constexpr char kEnd[] = "kuailaix";

class ExtractBetweenTest : public ::testing::Test {
 protected:
  void SetUp() override { InitValueModel(); }
};

std::string Between(TextValue s, TextValue a, TextValue b) {
  Text got = ExtractBetween(s, a, b);
  return got.c_str();
}

TEST_F(ExtractBetweenTest, Table) {
  struct Row {
    const char* label;
    TextValue source, start, end;
    const char* expected;
  };
  const Row rows[] = {
      {"version between the markers", "<p>zuixingbbxz2.8kuailaix</p>", kStart, kEnd, "2.8"},
      {"text kept byte for byte", "zuixingbbxz 2.8\r\nkuailaix", kStart, kEnd, " 2.8\r\n"},
      {"markers in any case", "ZuiXingBBXZ2.9KUAILAIX", kStart, kEnd, "2.9"},
      {"version keeps its case", "zuixingbbxzV2.8bkuailaix", kStart, kEnd, "V2.8b"},
      {"first start marker counts", "zuixingbbxz1kuailaix zuixingbbxz2kuailaix", kStart, kEnd, "1"},
      {"a second start marker is text", "zuixingbbxzAzuixingbbxzBkuailaix", kStart, kEnd, "AzuixingbbxzB"},
      {"first end marker after the start", "zuixingbbxz3.0kuailaix4kuailaix", kStart, kEnd, "3.0"},
      {"decoy end marker before the start", "kuailaix zuixingbbxz3.1kuailaix", kStart, kEnd, "3.1"},
      {"end marker only before the start", "kuailaix zuixingbbxz3.1", kStart, kEnd, ""},
      {"no start marker", "2.8kuailaix", kStart, kEnd, ""},
      {"start marker ends the text", "abc zuixingbbxz", kStart, kEnd, ""},
      {"end marker right after the start", "zuixingbbxzkuailaix", kStart, kEnd, ""},
      {"markers overlap", "zuixingbbxzuailaix", kStart, "zuailaix", ""},
      {"start marker cut short", "zuixingbbx2.8kuailaix", kStart, kEnd, ""},
      // 0xB0 0x7A is one GBK character whose second byte is 'z'.
      {"start marker not inside a character", "\xB0zuixingbbxz2.8kuailaix", kStart, kEnd, ""},
      {"start marker after a character", "\xB0\xA1zuixingbbxz2.8kuailaix", kStart, kEnd, "2.8"},
      // 0xB0 0x6B ends with 'k': the first end marker is the one after it.
      {"end marker not inside a character", "zuixingbbxz2.8\xB0kuailaix kuailaix", kStart, kEnd,
       "2.8\xB0kuailaix "},
      // Found by extract_between_fuzz: a start marker that is half of 0xB0 0xA1 left the
      // search for the end marker out of step, so the 'Z' inside 0xB4 0x5A ended the text.
      {"start marker not half a character", "\xB0\xA1\xB4Z", "\xB0", "z", ""},
      {"GBK text between the markers", "zuixingbbxz\xD0\xC2\xB0\xE6kuailaix", kStart, kEnd,
       "\xD0\xC2\xB0\xE6"},
      {"empty source", "", kStart, kEnd, ""},
      {"null source", nullptr, kStart, kEnd, ""},
      {"empty start marker", "zuixingbbxz2.8kuailaix", "", kEnd, ""},
      {"null start marker", "zuixingbbxz2.8kuailaix", nullptr, kEnd, ""},
      {"empty end marker", "zuixingbbxz2.8kuailaix", kStart, "", ""},
      {"null end marker", "zuixingbbxz2.8kuailaix", kStart, nullptr, ""},
  };
  for (const Row& r : rows) EXPECT_EQ(Between(r.source, r.start, r.end), r.expected) << r.label;
}

// The counts of a long page pass through doubles: they must come back exact.
TEST(IsVersionText, OnlyAShortPrintableGbkTextIsAVersion) {
  const struct {
    const char* text;
    bool version;
  } rows[] = {
      {"2.9", true},
      {"\xD0\xC2\xB0\xE6 3.0", true},  // GBK characters and a space
      {"", false},
      {nullptr, false},
      {"12345678901234567890123456789012", true},
      {"123456789012345678901234567890123", false},  // 33 bytes
      {"2.9\r\n", false},
      {"2\t9", false},
      {"2.9\x7F", false},
      {"2.9\x80", false},
      {"2.9\xFF", false},
      {"2.9\xB0", false},      // a lead byte with no trail
      {"2.9\xB0\x20", false},  // a trail byte out of range
  };
  for (const auto& r : rows) EXPECT_EQ(IsVersionText(r.text), r.version) << (r.text ? r.text : "(null)");
}

TEST_F(ExtractBetweenTest, CountsStayExactOnALongPage) {
  for (size_t filler : {0u, 1u, 65535u, 1000003u}) {
    std::string version(filler / 3, '9');
    std::string page = std::string(filler, 'x') + kStart + version + "." + kEnd + std::string(filler, 'y');
    EXPECT_EQ(Between(page.c_str(), kStart, kEnd), version + ".") << "filler " << filler;
  }
}

TEST_F(ExtractBetweenTest, LeavesItsArgumentsAlone) {
  char source[] = "ZUIXINGBBXZ2.8KUAILAIX";
  char start[] = "zuixingbbxz";
  char end[] = "kuailaix";
  Text got = ExtractBetween(source, start, end);
  EXPECT_STREQ(got.get(), "2.8");
  EXPECT_STREQ(source, "ZUIXINGBBXZ2.8KUAILAIX");
  EXPECT_STREQ(start, "zuixingbbxz");
  EXPECT_STREQ(end, "kuailaix");
}

}  // namespace
