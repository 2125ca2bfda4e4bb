// The compiler and the reader agree on every kind's stream, version by version.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "format/property_fields.h"
#include "forms_test_support.h"

namespace {

using formc::Json;

std::string FontStr(const LogFontA& f) {
  return std::string(f.lfFaceName) + "/" + std::to_string(f.lfHeight) + "/" + std::to_string(f.lfWeight) +
         "/" + std::to_string(f.lfCharSet);
}

// Prints every stored field of a kind's properties in stream order.
struct PrintFields {
  std::vector<std::string>* out;

  void operator()(const FieldInfo&, const int32_t* v) { out->push_back(std::to_string(*v)); }
  void operator()(const FieldInfo&, const uint32_t* v) { out->push_back(std::to_string(*v)); }
  void operator()(const FieldInfo&, const uint16_t* v) { out->push_back(std::to_string(*v)); }
  void operator()(const FieldInfo&, const ByteView* v) { out->push_back(Str(*v)); }
  void operator()(const FieldInfo&, const StoredFont* f) {
    out->push_back(f->present ? FontStr(f->font) : "none");
  }
  void operator()(const FieldInfo&, const LogFontA* f) { out->push_back(FontStr(*f)); }
  void operator()(const FieldInfo&, const ReservedWords*) {}
};

struct CollectFields {
  std::vector<FieldInfo>* out;
  template <typename T>
  void operator()(const FieldInfo& info, const T*) {
    if (info.type != FieldType::kReserved) out->push_back(info);
  }
};

struct KindCheck {
  const char* kind;
  uint32_t highest;
  std::vector<FieldInfo> fields;  // the kind's one field list, reserved words left out
  // Reads a stream and prints every field; with no stream, prints the defaults.
  std::function<StreamResult(const ByteView*, std::vector<std::string>*)> read;
};

template <typename P>
KindCheck Kind(const char* kind, uint32_t highest, StreamResult (*read)(ByteView, P*)) {
  KindCheck k{kind, highest, {}, nullptr};
  const P defaults{};
  CollectFields c{&k.fields};
  VisitFields(defaults, c);
  k.read = [read](const ByteView* stream, std::vector<std::string>* printed) {
    P p;
    StreamResult r = stream ? read(*stream, &p) : StreamResult::kOk;
    printed->clear();
    PrintFields print{printed};
    VisitFields(std::as_const(p), print);
    return r;
  };
  return k;
}

const std::vector<KindCheck>& Kinds() {
  static const std::vector<KindCheck> kinds = {
      Kind("window", 6, ReadWindowProperties),
      Kind("Button", 1, ReadButtonProperties),
      Kind("Label", 2, ReadLabelProperties),
      Kind("PicBox", 2, ReadPicBoxProperties),
      Kind("EditBox", 2, ReadEditBoxProperties),
      Kind("HtmlViewer", 1, ReadHtmlViewerProperties),
      Kind("PageControl", 7, ReadPageControlProperties),
  };
  return kinds;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(VELMORA_ASSETS "/forms/" + path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A distinct value for field i, and how the reader prints it back.
std::pair<Json, std::string> ValueFor(const FieldInfo& f, int i) {
  switch (f.type) {
    case FieldType::kInt:
    case FieldType::kColour:
      return {1000 + i, std::to_string(1000 + i)};
    case FieldType::kText:
      return {"文字" + std::to_string(i), Gbk("文字" + std::to_string(i))};
    case FieldType::kMedia: {
      const std::string path = i % 2 ? "../cursors/pointer_b.cur" : "../pictures/tab_vip.jpg";
      return {Json{{"file", path}}, FileBytes(path)};
    }
    case FieldType::kFont:
    case FieldType::kRawFont:
      return {Json{{"face", "宋体"}, {"height", -i}, {"weight", 400 + i}, {"charset", 134}},
              Gbk("宋体") + "/" + std::to_string(-i) + "/" + std::to_string(400 + i) + "/134"};
    case FieldType::kPageList:
      return {Json{{"pages", Json::array()}}, std::string(8, '\0').replace(0, 1, "\3")};
    case FieldType::kImageList: {
      const std::string path = "../pictures/tab_pager_headers.il";
      return {Json{{"image_list", path}}, std::string("MITL\0\0\0\xFF", 8) + FileBytes(path)};
    }
    default:
      return {"#", "35"};
  }
}

// At the highest version the test also stores one version more: that fails the control
// (PageControl excepted).
TEST(RoundTripTest, EveryKindReadsBackWhatWasCompiledAtEveryVersion) {
  for (const KindCheck& kind : Kinds()) {
    for (uint32_t version = 1; version <= kind.highest; ++version) {
      SCOPED_TRACE(testing::Message() << kind.kind << " version " << version);
      Json props = Json::object();
      if (version < kind.highest) props["version"] = version;  // with none, the highest
      std::vector<std::string> expected;
      for (size_t i = 0; i < kind.fields.size(); ++i) {
        auto [value, printed] = ValueFor(kind.fields[i], static_cast<int>(i));
        props[kind.fields[i].name] = value;
        expected.push_back(printed);
      }
      std::vector<uint8_t> block = Compile({WindowOfOneRecord(kind.kind, props)});
      WindowDescriptionTable table;
      ASSERT_TRUE(table.Parse(View(block), {}));
      const ControlRecord& r = table.windows()[0].records.back();
      std::vector<std::string> got, defaults;
      ASSERT_EQ(kind.read(&r.properties, &got), StreamResult::kOk);
      kind.read(nullptr, &defaults);
      for (size_t i = 0; i < kind.fields.size(); ++i) {
        const FieldInfo& f = kind.fields[i];
        // A field the version lacks keeps its default.
        EXPECT_EQ(got[i], version >= f.since ? expected[i] : defaults[i]) << f.name;
      }
      EXPECT_EQ(LoadU32(r.properties.data), version);
      if (version == kind.highest) {
        block[r.properties.data - block.data()] = static_cast<uint8_t>(version + 1);
        // Later versions of a PageControl only add fields at the end.
        const bool any_version = kind.kind == std::string("PageControl");
        EXPECT_EQ(kind.read(&r.properties, &got),
                  any_version ? StreamResult::kOk : StreamResult::kVersionTooHigh);
      }
    }
  }
}

// The indexes the program writes and the kinds' property counts, pinned once against the lists.
static_assert(PropertyIndex<LabelProperties>("Caption") == 8 &&
              PropertyIndex<ButtonProperties>("Caption") == 10 &&
              PropertyIndex<PageControlProperties>("CurrentPage") == 12 &&
              PropertyIndex<HtmlViewerProperties>("url") == 11);
static_assert(StoredPropertyCount<WindowProperties>() == 32 &&
              StoredPropertyCount<EditBoxProperties>() == 29 &&
              StoredPropertyCount<PicBoxProperties>() == 15 && StoredPropertyCount<LabelProperties>() == 29 &&
              StoredPropertyCount<ButtonProperties>() == 14 &&
              StoredPropertyCount<PageControlProperties>() == 63);

TEST(RoundTripTest, NoTwoFieldsShareAnIndex) {
  for (const KindCheck& kind : Kinds()) {
    std::set<int32_t> seen;
    for (const FieldInfo& f : kind.fields) {
      if (f.index >= 8) EXPECT_TRUE(seen.insert(f.index).second) << kind.kind << " " << f.name;
    }
  }
}

// The fields that later versions added, pinned once against the lists.
TEST(RoundTripTest, EachFieldStartsAtItsVersion) {
  const std::map<std::string, std::vector<std::pair<std::string, uint32_t>>> later = {
      {"window",
       {{"ShowInTaskbar", 2},
        {"DragAnywhere", 3},
        {"Shape", 3},
        {"TopMost", 4},
        {"KeepCaptionActive", 5},
        {"ClassName", 6}}},
      {"Label", {{"Text27", 2}, {"Text28", 2}}},
      {"PicBox", {{"Text13", 2}, {"Text14", 2}}},
      {"EditBox", {{"Text27", 2}, {"Text28", 2}}},
      {"PageControl",
       {{"AltHeaderColours", 2},
        {"AltHeaderColour", 2},
        {"AltCurrentHeaderColour", 2},
        {"AltHotHeaderColour", 2},
        {"HeadersLocked", 3},
        {"SideHeaderOption", 5},
        {"DefaultFont", 6},
        {"NoHotEventOnCurrent", 7}}},
  };
  for (const KindCheck& kind : Kinds()) {
    std::vector<std::pair<std::string, uint32_t>> got;
    for (const FieldInfo& f : kind.fields) {
      if (f.since > 1) got.emplace_back(f.name, f.since);
    }
    EXPECT_EQ(got, later.count(kind.kind) ? later.at(kind.kind) : decltype(got){}) << kind.kind;
  }
}

TEST(RoundTripTest, PageControlPagesAndImageListsRoundTrip) {
  Json props = Json::parse(R"({
    "HeaderPosition": 2, "MultiRow": 0, "CurrentPage": 1, "HideHeaders": 0,
    "Font": {"face": "SimSun", "height": -12, "weight": 400, "charset": 134},
    "Pages": {"page_defaults": {"header_images": [-1, -1, -1], "attributes": [[0, 0, 0], [1, 2, 3], [4, 5, 6]],
                                "reserved": [-1, -1, -1, 0, 0, 0], "shown": 1, "enabled": 1, "tooltip": "",
                                "excluded": 0},
              "pages": [{"caption": "甲", "members": ["A"]},
                        {"caption": "", "members": [], "header_images": [0, 1, 2], "shown": 0, "enabled": 0,
                         "tooltip": "提示", "excluded": 1}]},
    "HeaderHeight": 24, "HeaderStyle19": 0, "HeaderStyle20": 1, "HeaderStyle21": 1,
    "HeaderImages": {"image_list": "../pictures/tab_pager_headers.il"}, "SecondHeaderImages": "", "ScrollButtonImages": "",
    "Picture": {"file": "../pictures/tab_vip.jpg"},
    "HeaderStripOption": 1, "StripColour": 29, "HeaderColour": 30, "CurrentHeaderColour": 31, "HeaderTextColour": 38, "CurrentHeaderTextColour": 39, "HotHeaderTextColour": 40, "HotHeaderColour": 34, "HeaderBorderColour": 35, "ScrollButtonColour": 44,
    "HiddenPagesSelectable": 1, "DisabledPagesSelectable": 1, "AltHeaderColours": 1, "AltHeaderColour": 54, "AltCurrentHeaderColour": 55, "AltHotHeaderColour": 56, "HeadersLocked": 1, "SideHeaderOption": 1,
    "DefaultFont": 1, "NoHotEventOnCurrent": 1})");
  Json w = WindowOfOneRecord("PageControl", props);
  w["records"].push_back({{"name", "A"},
                          {"id", 0x16000009},
                          {"kind", "HtmlViewer"},
                          {"stored_name", "a"},
                          {"parent", "R"},
                          {"geometry", {0, 0, 1, 1}},
                          {"properties", {{"FontSize", 1}, {"Offline", 0}, {"Silent", 0}, {"url", ""}}}});
  std::vector<uint8_t> block = Compile({w});
  WindowDescriptionTable table;
  ASSERT_TRUE(table.Parse(View(block), {}));
  const ControlRecord& r = table.windows()[0].records[1];
  ASSERT_EQ(r.child_count, 2u);  // one member, then the separator before the empty page
  EXPECT_EQ(r.ChildAt(0), 0x16000009u);
  EXPECT_EQ(r.ChildAt(1), 0u);

  PageControlProperties p;
  ASSERT_EQ(ReadPageControlProperties(r.properties, &p), StreamResult::kOk);
  EXPECT_EQ(std::vector<int32_t>({p.HeaderPosition, p.MultiRow, p.CurrentPage, p.HideHeaders, p.HeaderHeight,
                                  p.HeaderStyle19, p.HeaderStyle20, p.HeaderStyle21, p.HeaderStripOption,
                                  p.HiddenPagesSelectable, p.DisabledPagesSelectable, p.AltHeaderColours,
                                  p.HeadersLocked, p.SideHeaderOption, p.DefaultFont, p.NoHotEventOnCurrent}),
            std::vector<int32_t>({2, 0, 1, 0, 24, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(std::vector<uint32_t>({p.StripColour, p.HeaderColour, p.CurrentHeaderColour, p.HeaderTextColour,
                                   p.CurrentHeaderTextColour, p.HotHeaderTextColour, p.HotHeaderColour,
                                   p.HeaderBorderColour, p.ScrollButtonColour, p.AltHeaderColour,
                                   p.AltCurrentHeaderColour, p.AltHotHeaderColour}),
            std::vector<uint32_t>({29, 30, 31, 38, 39, 40, 34, 35, 44, 54, 55, 56}));
  EXPECT_EQ(Str(ImageListStream(p.HeaderImages)), FileBytes("../pictures/tab_pager_headers.il"));
  EXPECT_EQ(Str(ByteView{p.HeaderImages.data, 8}), std::string("MITL\0\0\0\xFF", 8));
  EXPECT_EQ(Str(p.Picture), FileBytes("../pictures/tab_vip.jpg"));
  EXPECT_TRUE(ImageListStream(p.SecondHeaderImages).empty());

  std::vector<StoredPage> pages;
  ASSERT_EQ(ReadPageList(p.Pages, [&](uint32_t, const StoredPage& page) { pages.push_back(page); }),
            StreamResult::kOk);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(std::make_tuple(Str(pages[0].caption), pages[0].attributes[2][1], Str(pages[1].tooltip)),
            std::make_tuple(Gbk("甲"), 5, Gbk("提示")));
  EXPECT_EQ(
      std::vector<int32_t>({pages[1].header_images[2], pages[1].shown, pages[1].enabled, pages[1].excluded}),
      std::vector<int32_t>({2, 0, 0, 1}));
}

TEST(RoundTripTest, TheCompilerRefusesFaultySources) {
  const struct {
    const char* what;
    const char* where;
    Json value;  // null: taken out
  } cases[] = {
      {"unknown property", "/records/1/properties/Captoin", ""},
      {"missing value", "/records/1/properties/Caption", nullptr},
      {"bare line feed", "/records/1/properties/Caption", "a\nb"},
      {"character GBK lacks", "/records/1/properties/Caption", "\xF0\x9F\x98\x80"},
      {"unknown kind", "/records/1/kind", "Slider"},
      {"unknown parent", "/records/1/parent", "Nowhere"},
      {"repeated identifier", "/records/1/id", 0x06000000},
      {"number too wide", "/records/1/properties/HAlign", "0x100000000"},
  };
  Json props = Json::object();
  for (const FieldInfo& f : Kinds()[1].fields) props[f.name] = ValueFor(f, 2).first;
  std::string error;
  EXPECT_FALSE(Compile({WindowOfOneRecord("Button", props)}, &error).empty());
  EXPECT_EQ(error, "");
  for (const auto& c : cases) {
    Json w = WindowOfOneRecord("Button", props);
    const Json::json_pointer at(c.where);
    if (c.value.is_null())
      w[at.parent_pointer()].erase(at.back());
    else
      w[at] = c.value;
    EXPECT_TRUE(Compile({w}, &error).empty()) << c.what;
    EXPECT_NE(error, "") << c.what;
  }
}

}  // namespace
