// The compiler and the reader agree on every kind's stream, version by version.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <tuple>

#include "format/property_streams.h"
#include "forms_test_support.h"

namespace {

using formc::Json;

// One property as a test sees it: its name in sources, what the compiler takes,
// the first stream version that stores it, and how to print the value read.
struct FieldCheck {
  const char* name;
  char type;  // i integer, t text, m media, f font, c one character
  uint32_t since;
  std::function<std::string(const void*)> get;
};

std::string FontStr(const StoredFont& f) {
  if (!f.present) return "none";
  return std::string(f.font.lfFaceName) + "/" + std::to_string(f.font.lfHeight) + "/" +
         std::to_string(f.font.lfWeight) + "/" + std::to_string(f.font.lfCharSet);
}

#define NUM(P, f, v) {#f, 'i', v, [](const void* p) { return std::to_string(static_cast<const P*>(p)->f); }}
#define TXT(P, f, v) {#f, 't', v, [](const void* p) { return Str(static_cast<const P*>(p)->f); }}
#define MED(P, f, v) {#f, 'm', v, [](const void* p) { return Str(static_cast<const P*>(p)->f); }}
#define FNT(P, f, v) {#f, 'f', v, [](const void* p) { return FontStr(static_cast<const P*>(p)->f); }}
#define CHR(P, f, v) {#f, 'c', v, [](const void* p) { return std::to_string(static_cast<const P*>(p)->f); }}

struct KindCheck {
  const char* kind;
  uint32_t highest;
  std::vector<FieldCheck> fields;
  // Reads a stream and prints every field; with no stream, prints the defaults.
  std::function<StreamResult(const ByteView*, std::vector<std::string>*)> read;
};

template <typename P>
KindCheck Kind(const char* kind, uint32_t highest, StreamResult (*read)(ByteView, P*),
               std::vector<FieldCheck> fields) {
  KindCheck k{kind, highest, std::move(fields), nullptr};
  k.read = [read, fields = k.fields](const ByteView* stream, std::vector<std::string>* printed) {
    P p;
    StreamResult r = stream ? read(*stream, &p) : StreamResult::kOk;
    printed->clear();
    for (const FieldCheck& f : fields) printed->push_back(f.get(&p));
    return r;
  };
  return k;
}

const std::vector<KindCheck>& Kinds() {
  using W = WindowProperties;
  using B = ButtonProperties;
  using L = LabelProperties;
  using PB = PicBoxProperties;
  using E = EditBoxProperties;
  using H = HtmlViewerProperties;
  static const std::vector<KindCheck> kinds = {
      Kind<W>("window", 6, ReadWindowProperties,
              {NUM(W, Border, 1), NUM(W, PictureMode, 1), NUM(W, BackColor, 1), NUM(W, MaxButton, 1),
               NUM(W, MinButton, 1), NUM(W, ControlBox, 1), NUM(W, Position, 1), NUM(W, Movable, 1),
               NUM(W, p14, 1), NUM(W, EnterMovesFocus, 1), NUM(W, EscCloses, 1), NUM(W, F1OpensHelp, 1),
               NUM(W, HelpContext, 1), NUM(W, ShowInTaskbar, 2), NUM(W, DragAnywhere, 3), NUM(W, Shape, 3),
               NUM(W, TopMost, 4), NUM(W, KeepCaptionActive, 5), TXT(W, ClassName, 6), MED(W, BackPicture, 1),
               MED(W, Icon, 1), MED(W, BackSound, 1), TXT(W, Caption, 1), TXT(W, HelpFile, 1)}),
      Kind<B>("Button", 1, ReadButtonProperties,
              {NUM(B, ButtonType, 1), NUM(B, HAlign, 1), NUM(B, VAlign, 1), MED(B, Picture, 1), FNT(B, Font, 1),
               TXT(B, Caption, 1)}),
      Kind<L>("Label", 2, ReadLabelProperties,
              {NUM(L, p9, 1), NUM(L, p11, 1), NUM(L, Border, 1), NUM(L, p12, 1), NUM(L, p13, 1), NUM(L, p14, 1),
               NUM(L, TextColor, 1), NUM(L, BackColor, 1), NUM(L, PictureMode, 1), NUM(L, p20, 1), NUM(L, p21, 1),
               NUM(L, p22, 1), NUM(L, p23, 1), NUM(L, Align, 1), NUM(L, VAlign, 1), NUM(L, WordWrap, 1),
               FNT(L, Font, 1), MED(L, BackPicture, 1), TXT(L, Caption, 1), TXT(L, p27, 2), TXT(L, p28, 2)}),
      Kind<PB>("PicBox", 2, ReadPicBoxProperties,
               {NUM(PB, Border, 1), NUM(PB, BackColor, 1), NUM(PB, DisplayMode, 1), NUM(PB, p12, 1),
                MED(PB, Picture, 1), TXT(PB, p13, 2), TXT(PB, p14, 2)}),
      Kind<E>("EditBox", 2, ReadEditBoxProperties,
              {NUM(E, Border, 1), NUM(E, TextColor, 1), NUM(E, BackColor, 1), NUM(E, p13, 1), NUM(E, MaxLength, 1),
               NUM(E, MultiLine, 1), NUM(E, ScrollBars, 1), NUM(E, Align, 1), NUM(E, p18, 1),
               CHR(E, PasswordChar, 1), NUM(E, p20, 1), NUM(E, p21, 1), NUM(E, p22, 1), NUM(E, p23, 1),
               NUM(E, p24, 1), NUM(E, p25, 1), FNT(E, Font, 1), TXT(E, Content, 1), TXT(E, p27, 2),
               TXT(E, p28, 2)}),
      Kind<H>("HtmlViewer", 1, ReadHtmlViewerProperties,
              {NUM(H, FontSize, 1), NUM(H, Offline, 1), NUM(H, Silent, 1), TXT(H, url, 1)}),
  };
  return kinds;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(VELMORA_ASSETS "/forms/" + path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A distinct value for field i, and how the reader prints it back.
std::pair<Json, std::string> ValueFor(const FieldCheck& f, int i) {
  switch (f.type) {
    case 'i': return {1000 + i, std::to_string(1000 + i)};
    case 't': return {"文字" + std::to_string(i), Gbk("文字" + std::to_string(i))};
    case 'm': {
      const std::string path = i % 2 ? "../cursors/pointer_b.cur" : "../pictures/tab_vip.jpg";
      return {Json{{"file", path}}, FileBytes(path)};
    }
    case 'f':
      return {Json{{"face", "宋体"}, {"height", -i}, {"weight", 400 + i}, {"charset", 134}},
              Gbk("宋体") + "/" + std::to_string(-i) + "/" + std::to_string(400 + i) + "/134"};
    default: return {"#", "35"};
  }
}

// At the highest version the test also stores one version more: that fails the control.
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
        const FieldCheck& f = kind.fields[i];
        // A field the version lacks keeps its default.
        EXPECT_EQ(got[i], version >= f.since ? expected[i] : defaults[i]) << f.name;
      }
      EXPECT_EQ(LoadU32(r.properties.data), version);
      if (version == kind.highest) {
        block[r.properties.data - block.data()] = static_cast<uint8_t>(version + 1);
        EXPECT_EQ(kind.read(&r.properties, &got), StreamResult::kVersionTooHigh);
      }
    }
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
    "HeaderHeight": 24, "p19": 0, "p20": 1, "p21": 1,
    "HeaderImages": {"image_list": "../pictures/tab_pager_headers.il"}, "p23": "", "ScrollButtonImages": "",
    "p25": {"file": "../pictures/tab_vip.jpg"},
    "p28": 1, "p29": 29, "p30": 30, "p31": 31, "p38": 38, "p39": 39, "p40": 40, "p34": 34, "p35": 35, "p44": 44,
    "p48": 1, "p49": 1, "p53": 1, "p54": 54, "p55": 55, "p56": 56, "HeadersLocked": 1, "p47": 1,
    "DefaultFont": 1, "p62": 1})");
  Json w = WindowOfOneRecord("PageControl", props);
  w["records"].push_back({{"name", "A"}, {"id", 0x16000009}, {"kind", "HtmlViewer"}, {"stored_name", "a"},
                          {"parent", "R"}, {"geometry", {0, 0, 1, 1}},
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
                                  p.p19, p.p20, p.p21, p.p28, p.p48, p.p49, p.p53, p.HeadersLocked, p.p47,
                                  p.DefaultFont, p.p62}),
            std::vector<int32_t>({2, 0, 1, 0, 24, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(std::vector<uint32_t>({p.p29, p.p30, p.p31, p.p38, p.p39, p.p40, p.p34, p.p35, p.p44, p.p54, p.p55,
                                   p.p56}),
            std::vector<uint32_t>({29, 30, 31, 38, 39, 40, 34, 35, 44, 54, 55, 56}));
  EXPECT_EQ(Str(ImageListStream(p.HeaderImages)), FileBytes("../pictures/tab_pager_headers.il"));
  EXPECT_EQ(Str(ByteView{p.HeaderImages.data, 8}), std::string("MITL\0\0\0\xFF", 8));
  EXPECT_EQ(Str(p.p25), FileBytes("../pictures/tab_vip.jpg"));
  EXPECT_TRUE(ImageListStream(p.p23).empty());

  std::vector<StoredPage> pages;
  ASSERT_EQ(ReadPageList(p.Pages, [&](uint32_t, const StoredPage& page) { pages.push_back(page); }),
            StreamResult::kOk);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(std::make_tuple(Str(pages[0].caption), pages[0].attributes[2][1], Str(pages[1].tooltip)),
            std::make_tuple(Gbk("甲"), 5, Gbk("提示")));
  EXPECT_EQ(std::vector<int32_t>({pages[1].header_images[2], pages[1].shown, pages[1].enabled, pages[1].excluded}),
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
  for (const FieldCheck& f : Kinds()[1].fields) props[f.name] = ValueFor(f, 2).first;
  std::string error;
  EXPECT_FALSE(Compile({WindowOfOneRecord("Button", props)}, &error).empty());
  EXPECT_EQ(error, "");
  for (const auto& c : cases) {
    Json w = WindowOfOneRecord("Button", props);
    const Json::json_pointer at(c.where);
    if (c.value.is_null()) w[at.parent_pointer()].erase(at.back());
    else w[at] = c.value;
    EXPECT_TRUE(Compile({w}, &error).empty()) << c.what;
    EXPECT_NE(error, "") << c.what;
  }
}

}  // namespace
