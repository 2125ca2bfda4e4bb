#include "net/fetch_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/receive_buffer.h"

namespace {

struct ChunkRow {
  const char* label;
  const char* stated;  // Content-Length text, null when absent
  int32_t chunk;
};

TEST(ChunkSizeFor, FollowsTheStatedLength) {
  const ChunkRow rows[] = {
      {"absent", nullptr, 10240},
      {"empty", "", 10240},
      {"zero", "0", 10240},
      {"negative", "-5", 10240},
      {"not a number", "abc", 10240},
      {"one", "1", 2},
      {"500", "500", 501},
      {"just under the cap", "102398", 102399},
      {"one below the cap", "102399", 102400},
      {"the cap", "102400", 102400},
      {"above the cap", "5000000", 102400},
      {"past 64 bits", "99999999999999999999999999", 102400},
      {"leading blanks", "  42", 43},
      {"plus sign", "+42", 43},
      {"trailing text", "12abc", 13},
      {"leading zeros", "000500", 501},
      {"minus zero", "-0", 10240},
  };
  for (const ChunkRow& row : rows) {
    EXPECT_EQ(ChunkSizeFor(row.stated), row.chunk) << row.label;
  }
}

TEST(CutFragment, EndsTheObjectAtTheFirstHash) {
  const struct {
    const char* object;
    const char* sent;
  } rows[] = {
      {"/page?x=1#part", "/page?x=1"},
      {"/page#a#b", "/page"},
      {"/page", "/page"},
      {"#only", ""},
      {"/a?q=#", "/a?q="},
      {"", ""},
  };
  for (const auto& row : rows) {
    std::string object = row.object;
    CutFragment(object.data());
    EXPECT_STREQ(object.c_str(), row.sent) << row.object;
  }
}

TEST(ReceiveBuffer, KeepsEveryPieceInOrderAndGivesNullWhenEmpty) {
  ReceiveBuffer empty(100);
  EXPECT_EQ(empty.ToByteArray().get(), nullptr);
  EXPECT_TRUE(empty.Append("x", 0));
  EXPECT_EQ(empty.ToByteArray().get(), nullptr);

  // Many small pieces force several growths past the first block.
  ReceiveBuffer buffer(1 << 20);
  std::vector<uint8_t> expected;
  for (int i = 0; i < 5000; ++i) {
    uint8_t piece[37];
    for (int j = 0; j < 37; ++j) piece[j] = static_cast<uint8_t>(i * 7 + j);
    ASSERT_TRUE(buffer.Append(piece, 37));
    expected.insert(expected.end(), piece, piece + 37);
  }
  Bytes result = buffer.ToByteArray();
  ASSERT_EQ(result.size(), static_cast<int32_t>(expected.size()));
  EXPECT_EQ(result.get()->marker, 1);
  EXPECT_EQ(std::vector<uint8_t>(result.data(), result.data() + result.size()), expected);
}

TEST(ReceiveBuffer, StopsAtTheCap) {
  const struct {
    const char* label;
    std::vector<int32_t> pieces;
    int32_t kept;
    bool last_fits;
  } rows[] = {
      {"under", {10, 20}, 30, true},
      {"exactly", {50, 50}, 100, true},
      {"across", {60, 60}, 100, false},
      {"after full", {100, 1}, 100, false},
  };
  for (const auto& row : rows) {
    ReceiveBuffer buffer(100);
    std::string all;
    bool fits = true;
    for (int32_t n : row.pieces) {
      std::string piece(static_cast<size_t>(n), static_cast<char>('a' + all.size() % 26));
      fits = buffer.Append(piece.data(), n);
      all += piece;
    }
    EXPECT_EQ(fits, row.last_fits) << row.label;
    EXPECT_EQ(buffer.Room(), 100 - row.kept) << row.label;
    Bytes result = buffer.ToByteArray();
    ASSERT_EQ(result.size(), row.kept) << row.label;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(result.data()), static_cast<size_t>(row.kept)),
              all.substr(0, static_cast<size_t>(row.kept)))
        << row.label;
  }
}

}  // namespace
