#include "base/value.h"

#include <gtest/gtest.h>

#include <cstring>

#include "test_constants.h"

namespace {

class ValueTest : public ::testing::Test {
 protected:
  void SetUp() override { InitValueModel(); }
};

TEST_F(ValueTest, EmbeddedConstantHasTheByteArrayLayoutAndTheFileBytes) {
  ByteArray b = &velmora_test_sample;
  ASSERT_EQ(b->marker, 1);
  ASSERT_EQ(b->length, 17);
  EXPECT_EQ(std::memcmp(ByteArrayData(b), "Velmora\0test \xd6\xd0\xce\xc4", 17), 0);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(b) % 4, 0u);
}

TEST_F(ValueTest, SharedEmptiesAndConstantsLieInConstantRanges) {
  EXPECT_STREQ(EmptyText(), "");
  EXPECT_EQ(EmptyBytes()->marker, 1);
  EXPECT_EQ(EmptyBytes()->length, 0);
  EXPECT_TRUE(IsConstant(EmptyText()));
  EXPECT_TRUE(IsConstant(EmptyBytes()));
  EXPECT_TRUE(IsConstant(&velmora_test_sample));
  EXPECT_TRUE(IsConstant(ByteArrayData(&velmora_test_sample) + 16));
  Text heap(NewText("x", 1));
  EXPECT_FALSE(IsConstant(heap.get()));
  EXPECT_FALSE(IsConstant(nullptr));
}

TEST_F(ValueTest, ReleasingConstantsAndNullTwiceIsHarmless) {
  for (int i = 0; i < 2; ++i) {
    release(EmptyText());
    release(EmptyBytes());
    release(&velmora_test_sample);
    release(nullptr);
  }
  EXPECT_EQ(velmora_test_sample.length, 17);  // still intact; ASan would catch a free
}

TEST_F(ValueTest, ResizingAConstantGivesAnIndependentCopy) {
  auto* copy = static_cast<ByteArrayHeader*>(resize(&velmora_test_sample, 8 + 17));
  ASSERT_NE(copy, &velmora_test_sample);
  EXPECT_FALSE(IsConstant(copy));
  EXPECT_EQ(std::memcmp(copy, &velmora_test_sample, 25), 0);
  reinterpret_cast<uint8_t*>(copy + 1)[0] = 'X';
  EXPECT_EQ(ByteArrayData(&velmora_test_sample)[0], 'V');
  release(copy);

  // Growing the shared empty text copies only what the constant range holds.
  char* grown = static_cast<char*>(resize(EmptyText(), 32));
  EXPECT_EQ(grown[0], '\0');
  release(grown);
}

TEST_F(ValueTest, ResizeOfNullAllocatesAndHeapBlocksKeepTheirBytes) {
  char* p = static_cast<char*>(resize(nullptr, 4));
  std::memcpy(p, "abc", 4);
  p = static_cast<char*>(resize(p, 4000));
  EXPECT_STREQ(p, "abc");
  release(p);
}

TEST_F(ValueTest, NewByteArrayOfLengthZeroIsEightBytesMarkerAndLength) {
  Bytes b(NewByteArray(nullptr, 0));
  EXPECT_EQ(b.get()->marker, 1);
  EXPECT_EQ(b.size(), 0);
  Bytes z(NewByteArray(nullptr, 3));
  EXPECT_EQ(z.data()[0] | z.data()[1] | z.data()[2], 0);
}

TEST_F(ValueTest, OwningTypesMoveAndReleaseOnce) {
  Text a(NewText("abc", 3));
  Text b(std::move(a));
  EXPECT_EQ(a.get(), nullptr);
  EXPECT_STREQ(a.c_str(), "");
  EXPECT_STREQ(b.get(), "abc");
  b = Text(NewText("de", 2));
  EXPECT_STREQ(b.get(), "de");
}

TEST_F(ValueTest, ConstantRangeRegistryRejectsEmptyAndReversedSpans) {
  static const char span[4] = {};
  EXPECT_FALSE(AddConstantRange(span + 2, span + 2));
  EXPECT_FALSE(AddConstantRange(span + 3, span));
  EXPECT_FALSE(AddConstantRange(nullptr, span));
}

using ValueDeathTest = ValueTest;

TEST_F(ValueDeathTest, RefusedAllocationEndsWithTheReport) {
  // "分配 -5 字节内存失败!" and no code line.
  EXPECT_EXIT(allocate(-5), ::testing::ExitedWithCode(255),
              "\xB7\xD6\xC5\xE4 -5 \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!");
  EXPECT_EXIT(resize(EmptyText(), -1), ::testing::ExitedWithCode(255), "\xB7\xD6\xC5\xE4 -1 ");
}

}  // namespace
