#include "core/pages.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

TEST(ContentPagesTest, EmbeddedPagesAreTheBuiltFilesInTheFixedOrder) {
  const char* const names[] = {"velmora365.html", "dashayh263.html", "huashugli598.html", "yishipq668.html",
                               "za32xship5.html"};
  for (int i = 0; i < kContentPageCount; ++i) {
    const ContentPage& page = kContentPages[i];
    EXPECT_STREQ(page.file_name, names[i]);
    std::ifstream in(std::string(VELMORA_PAGE_DIR "/") + names[i], std::ios::binary);
    ASSERT_TRUE(in) << names[i];
    std::string built((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(page.bytes->marker, 1);
    ASSERT_EQ(page.bytes->length, static_cast<int32_t>(built.size())) << names[i];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(ByteArrayData(page.bytes)), built.size()), built);
    EXPECT_TRUE(IsConstant(page.bytes));
  }
}

}  // namespace
