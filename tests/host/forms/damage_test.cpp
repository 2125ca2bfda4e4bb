// A damaged block is refused whole: every truncation and every lying count or
// offset ends in failure, and nothing is read outside the block.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "forms/program_windows.h"
#include "forms/property_streams.h"
#include "forms_test_support.h"

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

// What loading every window would read: the block, then every property stream.
bool ReadsCleanly(ByteView block) {
  WindowDescriptionTable table;
  if (!table.Parse(block, ProbeHandlers())) return false;
  for (const WindowDescription& w : table.windows()) {
    for (const ControlRecord& r : w.records) {
      StreamResult result = StreamResult::kDamaged;
      switch (r.kind) {
        case kKindWindow: { WindowProperties p; result = ReadWindowProperties(r.properties, &p); break; }
        case kKindButton: { ButtonProperties p; result = ReadButtonProperties(r.properties, &p); break; }
        case kKindLabel: { LabelProperties p; result = ReadLabelProperties(r.properties, &p); break; }
        case kKindPicBox: { PicBoxProperties p; result = ReadPicBoxProperties(r.properties, &p); break; }
        case kKindEditBox: { EditBoxProperties p; result = ReadEditBoxProperties(r.properties, &p); break; }
        case kKindHtmlViewer: { HtmlViewerProperties p; result = ReadHtmlViewerProperties(r.properties, &p); break; }
        case kKindPageControl: { PageControlProperties p; result = ReadPageControlProperties(r.properties, &p); break; }
      }
      if (result != StreamResult::kOk) return false;
    }
  }
  return true;
}

TEST(DamageTest, TheIntactBlockReadsCleanly) {
  std::vector<uint8_t> block = ProgramBlock();
  EXPECT_TRUE(ReadsCleanly(View(block)));
}

TEST(DamageTest, EveryTruncationFailsWithoutReadingPastTheCut) {
  std::vector<uint8_t> block = ProgramBlock();
  // Cut from the end backwards; the bytes past the cut are poisoned, so a read
  // there stops the test under the address sanitizer.
  size_t failures = 0;
  for (size_t cut = block.size(); cut-- > 0;) {
    POISON(block.data() + cut, std::min<size_t>(16, block.size() - cut));
    WindowDescriptionTable table;
    ReadFailure where;
    if (!table.Parse(ByteView{block.data(), static_cast<uint32_t>(cut)}, ProbeHandlers(), &where)) {
      ++failures;
      EXPECT_LE(where.offset, cut);
    } else {
      ADD_FAILURE() << "a block cut at " << cut << " was accepted";
    }
  }
  UNPOISON(block.data(), block.size());
  EXPECT_EQ(failures, block.size());
}

// A dword in the block that counts or locates something, and the room it has.
struct Site {
  size_t at;
  uint32_t unit;  // bytes per counted item
  uint32_t room;  // bytes available to what it counts
  std::string what;
};

class Walker {
 public:
  explicit Walker(const std::vector<uint8_t>& b) : b_(b) {}
  std::vector<Site> sites;

  void Block() {
    size_t p = 0;
    uint32_t index = Counted(p, b_.size(), "window index");
    size_t n = index / 8;
    p += 4 + index;
    for (size_t i = 0; i < n; ++i) p = Window(p);
  }

 private:
  uint32_t U32(size_t at) const { return LoadU32(b_.data() + at); }
  uint32_t Counted(size_t at, size_t end, const std::string& what, uint32_t unit = 1) {
    sites.push_back({at, unit, static_cast<uint32_t>(end - at - 4), what});
    return U32(at);
  }

  size_t Window(size_t p) {
    p += 8;
    for (int t = 0; t < 2; ++t) p += 4 + Counted(p, b_.size(), "window text");
    uint32_t count = U32(p);
    size_t area = p + 4;
    uint32_t area_size = Counted(area, b_.size(), "records block");
    sites.push_back({p, 8, area_size, "record count"});
    size_t records = area + 4 + 8 * count;
    const size_t area_end = area + 4 + area_size;
    for (uint32_t i = 0; i < count; ++i) {
      size_t offset_at = area + 4 + 4 * (count + i);
      sites.push_back({offset_at, 1, static_cast<uint32_t>(area_end - records - 4), "record offset"});
      size_t start = records + U32(offset_at);
      uint32_t size = Counted(start, area_end, "record size");
      Record(start + 4, start + 4 + size);
    }
    return area_end;
  }

  void Record(size_t p, size_t end) {
    uint32_t kind = U32(p);
    p += 24;
    for (int t = 0; t < 2; ++t) p += std::strlen(reinterpret_cast<const char*>(b_.data() + p)) + 1;
    p += 4 + 16 + 4 + 4;
    uint32_t children = Counted(p, end, "child list", 4);
    p += 4 + 4 * children;
    p += 4 + Counted(p, end, "MousePointer");
    p += std::strlen(reinterpret_cast<const char*>(b_.data() + p)) + 1 + 12;
    uint32_t bindings = Counted(p, end, "bindings", 8);
    p += 4 + 8 * bindings + 20;
    Stream(kind, p, end);
  }

  // Stream shapes: v version, d dword, w 16-bit, c counted, F raw font, P page list.
  void Stream(uint32_t kind, size_t p, size_t end) {
    std::string shape;
    switch (kind) {
      case kKindWindow: shape = "v" + std::string(18, 'd') + std::string(6, 'c'); break;
      case kKindButton: shape = "vdddccc"; break;
      case kKindLabel: shape = "v" + std::string(16, 'd') + std::string(5, 'c'); break;
      case kKindPicBox: shape = "vddddccc"; break;
      case kKindEditBox: shape = "v" + std::string(9, 'd') + "w" + std::string(6, 'd') + "cccc"; break;
      case kKindHtmlViewer: shape = "vdddc"; break;
      case kKindPageControl: shape = "vddddFPddddcccc" + std::string(26, 'd'); break;
    }
    for (char c : shape) {
      switch (c) {
        case 'w': p += 2; break;
        case 'F': p += 60; break;
        case 'c': p += 4 + Counted(p, end, "stream field"); break;
        case 'P': {
          uint32_t size = Counted(p, end, "page list");
          PageList(p + 4, p + 4 + size);
          p += 4 + size;
          break;
        }
        default: p += 4;
      }
    }
  }

  void PageList(size_t p, size_t end) {
    uint32_t pages = U32(p + 4);
    sites.push_back({p + 4, 84, static_cast<uint32_t>(end - p - 8), "page count"});
    p += 8;
    for (uint32_t i = 0; i < pages; ++i) {
      p += 4 + Counted(p, end, "page caption");
      p += 80;
      p += 4 + Counted(p, end, "page tooltip");
      p += 4;
      uint32_t groups = Counted(p, end, "page groups", 16);
      p += 4 + 16 * groups;
    }
  }

  const std::vector<uint8_t>& b_;
};

TEST(DamageTest, EveryLyingCountOrOffsetFails) {
  const std::vector<uint8_t> intact = ProgramBlock();
  Walker walker(intact);
  walker.Block();
  ASSERT_GT(walker.sites.size(), 400u);
  for (const Site& s : walker.sites) {
    for (uint32_t bad : {s.room / s.unit + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
      std::vector<uint8_t> block = intact;
      for (int i = 0; i < 4; ++i) block[s.at + i] = static_cast<uint8_t>(bad >> (8 * i));
      EXPECT_FALSE(ReadsCleanly(View(block))) << s.what << " at " << s.at << " set to " << bad;
    }
  }
}

TEST(DamageTest, ADamagedBlockEndsInTheFatalReport) {
  std::vector<uint8_t> block = ProgramBlock();
  block.resize(block.size() - 1);
  WindowDescriptionTable table;
  EXPECT_EXIT(table.Read(View(block), {}), testing::ExitedWithCode(255),
              testing::HasSubstr(Gbk("运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n")));
}

TEST(DamageTest, StreamsEndingEarlyAreDamagedNotShort) {
  // Cutting any property stream short is damage, however far the fields got.
  WindowDescriptionTable table;
  ASSERT_TRUE(table.Parse(ProgramWindowBlock(), {}));
  const ControlRecord& label = table.Find(0x520100a3)->records[2];
  ASSERT_EQ(label.kind, kKindLabel);
  LabelProperties p;
  for (uint32_t cut = 0; cut < label.properties.size; ++cut) {
    std::vector<uint8_t> part(label.properties.data, label.properties.data + cut);
    EXPECT_EQ(ReadLabelProperties(View(part), &p), StreamResult::kDamaged) << cut;
  }
}

}  // namespace
