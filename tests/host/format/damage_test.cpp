// A damaged block is refused whole: every truncation and every lying count or
// offset ends in failure and the fatal report, and nothing is read outside it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "format/program_windows.h"
#include "format/window_ids.h"
#include "forms_test_support.h"
#include "read_everything.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#endif
#endif
#ifndef POISON
#define POISON(p, n) ((void)(p), (void)(n))
#define UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {

std::vector<uint8_t> ProgramBlock() {
  ByteView b = ProgramWindowBlock();
  return std::vector<uint8_t>(b.data, b.data + b.size);
}

bool ReadsCleanly(ByteView block) {
  WindowDescriptionTable table;
  return table.Parse(block, {}) && ReadEveryStream(table);
}

TEST(DamageTest, EveryTruncationFailsWithoutReadingPastTheCut) {
  std::vector<uint8_t> block = ProgramBlock();
  // Cut from the end backwards; the bytes past the cut are poisoned, so a read
  // there stops the test under the address sanitizer.
  for (size_t cut = block.size(); cut-- > 0;) {
    POISON(block.data() + cut, std::min<size_t>(16, block.size() - cut));
    WindowDescriptionTable table;
    ReadFailure where;
    ASSERT_FALSE(table.Parse(ByteView{block.data(), static_cast<uint32_t>(cut)}, {}, &where)) << cut;
    EXPECT_LE(where.offset, cut);
  }
  UNPOISON(block.data(), block.size());
}

TEST(DamageTest, ADamagedBlockEndsInTheFatalReport) {
  std::vector<uint8_t> block = ProgramBlock();
  block.resize(block.size() - 1);
  WindowDescriptionTable table;
  EXPECT_EXIT(table.Read(View(block), {}), testing::ExitedWithCode(255),
              testing::HasSubstr(Gbk("运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n")));
}

TEST(DamageTest, AStreamCutAnywhereIsDamaged) {
  WindowDescriptionTable table;
  ASSERT_TRUE(table.Parse(ProgramWindowBlock(), {}));
  const ControlRecord& label = table.Find(ids::HelpWindow)->records[2];
  ASSERT_EQ(label.kind, kKindLabel);
  LabelProperties p;
  for (uint32_t cut = 0; cut < label.properties.size; ++cut) {
    std::vector<uint8_t> part(label.properties.data, label.properties.data + cut);
    EXPECT_EQ(ReadLabelProperties(View(part), &p), StreamResult::kDamaged) << cut;
  }
}

// A dword of the block that counts or locates something, and the room it has.
struct Site {
  size_t at;
  uint32_t unit;  // bytes per counted item
  uint32_t room;  // bytes available to what it counts
  const char* what;
};

// Walks the block as the format lays it out and notes every such dword.
class Walker {
 public:
  explicit Walker(const std::vector<uint8_t>& b) : b_(b) {
    size_t p = 0;
    const uint32_t index = Counted(p, b_.size(), "window index");
    p += 4 + index;
    for (size_t i = 0; i < index / 8; ++i) p = Window(p);
  }
  std::vector<Site> sites;

 private:
  uint32_t U32(size_t at) const { return LoadU32(b_.data() + at); }
  size_t Text(size_t p) const { return p + std::strlen(reinterpret_cast<const char*>(b_.data() + p)) + 1; }
  uint32_t Counted(size_t at, size_t end, const char* what, uint32_t unit = 1) {
    sites.push_back({at, unit, static_cast<uint32_t>(end - at - 4), what});
    return U32(at);
  }

  size_t Window(size_t p) {
    p += 8;
    for (int t = 0; t < 2; ++t) p += 4 + Counted(p, b_.size(), "window text");
    const uint32_t count = U32(p);
    const size_t area = p + 4, records = area + 4 + 8 * count;
    const uint32_t area_size = Counted(area, b_.size(), "records block");
    const size_t area_end = area + 4 + area_size;
    sites.push_back({p, 8, area_size, "record count"});
    for (uint32_t i = 0; i < count; ++i) {
      const size_t offset_at = area + 4 + 4 * (count + i);
      sites.push_back({offset_at, 1, static_cast<uint32_t>(area_end - records - 4), "record offset"});
      const size_t start = records + U32(offset_at);
      Record(start + 4, start + 4 + Counted(start, area_end, "record size"));
    }
    return area_end;
  }

  void Record(size_t p, size_t end) {
    const uint32_t kind = U32(p);
    p = Text(Text(p + 24)) + 28;
    p += 4 + 4 * Counted(p, end, "child list", 4);
    p = Text(p + 4 + Counted(p, end, "MousePointer")) + 12;
    p += 4 + 8 * Counted(p, end, "bindings", 8) + 20;
    // The stream: v version, d dword, w 16-bit, c counted, F raw font, P page list.
    const char* shape = "";
    switch (kind) {
      case kKindWindow: shape = "vddddddddddddddddddcccccc"; break;
      case kKindButton: shape = "vdddccc"; break;
      case kKindLabel: shape = "vddddddddddddddddccccc"; break;
      case kKindPicBox: shape = "vddddccc"; break;
      case kKindEditBox: shape = "vdddddddddwddddddcccc"; break;
      case kKindHtmlViewer: shape = "vdddc"; break;
      case kKindPageControl: shape = "vddddFPddddccccdddddddddddddddddddddddddd"; break;
    }
    for (const char* c = shape; *c; ++c) {
      if (*c == 'w') p += 2;
      else if (*c == 'F') p += 60;
      else if (*c == 'c') p += 4 + Counted(p, end, "stream field");
      else if (*c == 'P') p = PageList(p, end);
      else p += 4;
    }
  }

  size_t PageList(size_t p, size_t end) {
    const size_t list_end = p + 4 + Counted(p, end, "page list");
    const uint32_t pages = Counted(p + 8, list_end, "page count", 84);
    p += 12;
    for (uint32_t i = 0; i < pages; ++i) {
      p += 4 + Counted(p, list_end, "page caption") + 80;
      p += 4 + Counted(p, list_end, "page tooltip") + 4;
      p += 4 + 16 * Counted(p, list_end, "page groups", 16);
    }
    return list_end;
  }

  const std::vector<uint8_t>& b_;
};

TEST(DamageTest, EveryLyingCountOrOffsetFails) {
  const std::vector<uint8_t> intact = ProgramBlock();
  ASSERT_TRUE(ReadsCleanly(View(intact)));
  const std::vector<Site> sites = Walker(intact).sites;
  ASSERT_GT(sites.size(), 400u);
  for (const Site& s : sites) {
    for (uint32_t bad : {s.room / s.unit + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
      std::vector<uint8_t> block = intact;
      for (int i = 0; i < 4; ++i) block[s.at + i] = static_cast<uint8_t>(bad >> (8 * i));
      EXPECT_FALSE(ReadsCleanly(View(block))) << s.what << " at " << s.at << " set to " << bad;
    }
  }
}

}  // namespace
