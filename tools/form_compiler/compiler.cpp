#include "tools/form_compiler/compiler.h"

#include <iconv.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "format/event_numbers.h"
#include "format/handler_key.h"
#include "format/property_fields.h"

namespace formc {
namespace {

// ---- bytes ----

class Out {
 public:
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void U16(uint16_t v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
  }
  void Raw(const void* data, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + n);
  }
  void Raw(const std::vector<uint8_t>& b) { Raw(b.data(), b.size()); }
  void Raw(const std::string& s) { Raw(s.data(), s.size()); }
  void Counted(const std::vector<uint8_t>& b) {
    U32(static_cast<uint32_t>(b.size()));
    Raw(b);
  }
  void Counted(const std::string& s) {
    U32(static_cast<uint32_t>(s.size()));
    Raw(s);
  }
  void ZeroTerminated(const std::string& s) {
    if (s.find('\0') != std::string::npos) throw CompileError("a zero-terminated text holds a zero byte");
    Raw(s.data(), s.size() + 1);
  }
  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) { throw CompileError(where + ": " + what); }

const Json& Member(const Json& j, const char* key) {
  static const Json kNone = Json::object();
  return j.contains(key) ? j[key] : kNone;
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CompileError("cannot read " + path.string());
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// ---- values ----

int64_t Number(const Json& v, const std::string& where) {
  if (v.is_boolean()) return v.get<bool>() ? 1 : 0;
  if (v.is_number_integer()) return v.get<int64_t>();
  if (v.is_string()) {
    const std::string s = v.get<std::string>();
    size_t used = 0;
    int64_t n = 0;
    try {
      n = std::stoll(s, &used, 0);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used == s.size() && !s.empty()) return n;
  }
  Fail(where, "expected a number, got " + v.dump());
}

uint32_t Dword(const Json& v, const std::string& where) {
  int64_t n = Number(v, where);
  if (n < INT32_MIN || n > UINT32_MAX) Fail(where, "does not fit 32 bits: " + v.dump());
  return static_cast<uint32_t>(n);
}

std::string Text(const Json& v, const std::string& where) {
  if (!v.is_string()) Fail(where, "expected a text, got " + v.dump());
  const std::string s = v.get<std::string>();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) Fail(where, "a line break must be CR LF");
  }
  try {
    return ToGbk(s);
  } catch (const CompileError& e) {
    Fail(where, e.what());
  }
}

// ---- property streams ----

struct Field {
  const char* name;
  FieldType type;
  uint32_t since;  // first version that stores it
  uint32_t words;  // reserved words: how many
};

struct Kind {
  const char* name;
  uint32_t id;
  uint32_t highest;
  std::vector<Field> fields;  // stream order
};

struct CollectFields {
  std::vector<Field>* out;

  static uint32_t Words(const ReservedWords* r) { return r->count; }
  template <typename T>
  static uint32_t Words(const T*) {
    return 0;
  }
  template <typename T>
  void operator()(const FieldInfo& info, const T* v) {
    out->push_back({info.name, info.type, info.since, Words(v)});
  }
};

template <typename P>
Kind KindOf(const char* name, uint32_t id, uint32_t highest) {
  Kind k{name, id, highest, {}};
  const P p{};
  CollectFields c{&k.fields};
  VisitFields(p, c);
  return k;
}

const std::vector<Kind>& Kinds() {
  static const std::vector<Kind> kinds = {
      KindOf<WindowProperties>("window", 0x00010001, kWindowStreamVersion),
      KindOf<ButtonProperties>("Button", 0x0001000B, kButtonStreamVersion),
      KindOf<LabelProperties>("Label", 0x0001000A, kLabelStreamVersion),
      KindOf<PicBoxProperties>("PicBox", 0x00010006, kPicBoxStreamVersion),
      KindOf<EditBoxProperties>("EditBox", 0x00010005, kEditBoxStreamVersion),
      KindOf<HtmlViewerProperties>("HtmlViewer", 0x00030001, kHtmlViewerStreamVersion),
      KindOf<PageControlProperties>("PageControl", 0x00020002, kPageControlStreamVersion),
  };
  return kinds;
}

const Kind& FindKind(const std::string& name, const std::string& where) {
  for (const Kind& k : Kinds()) {
    if (name == k.name) return k;
  }
  Fail(where, "unknown kind " + name);
}

// The 60 bytes of a LOGFONTA, or nothing for null.
std::vector<uint8_t> Font(const Json& v, const std::string& where) {
  if (v.is_null()) return {};
  if (!v.is_object()) Fail(where, "a font is null or {face, height, weight, charset}");
  Out o;
  o.I32(static_cast<int32_t>(Dword(v.at("height"), where)));
  o.U32(0);  // width
  o.U32(0);  // escapement
  o.U32(0);  // orientation
  o.I32(static_cast<int32_t>(Dword(v.at("weight"), where)));
  const uint8_t flags[8] = {0, 0, 0, static_cast<uint8_t>(Dword(v.at("charset"), where)), 0, 0, 0, 0};
  o.Raw(flags, sizeof flags);
  std::string face = v.contains("face") ? Text(v.at("face"), where) : "";
  if (face.size() > 31) Fail(where, "face name longer than 31 bytes");
  face.resize(32, '\0');
  o.Raw(face);
  return std::move(o.bytes());
}

// ---- one window ----

class WindowCompiler {
 public:
  WindowCompiler(const WindowSource& src, std::map<uint32_t, std::string>* keys) : src_(src), keys_(keys) {}

  std::vector<uint8_t> Compile();
  uint32_t id() const { return Dword(src_.json.at("id"), src_.origin); }

 private:
  std::vector<uint8_t> Record(const Json& r, const std::string& where);
  const Json& Value(const Json& r, const std::string& kind, const std::string& key, const std::string& where);
  const Json& RecordValue(const Json& r, const std::string& key, const std::string& where);
  void Stream(Out& o, const Json& r, const Kind& kind, const std::string& where);
  std::vector<uint8_t> PageList(const Json& list, const std::string& where);
  std::vector<uint8_t> Media(const Json& v, const std::string& where);
  std::vector<uint8_t> ImageList(const Json& v, const std::string& where);
  void Bindings(Out& o, const Json& r, const std::string& kind, const std::string& where);
  uint32_t Key(const Json& handler, const std::string& where);
  uint32_t IdOf(const std::string& name, const std::string& where);
  std::vector<uint32_t> ChildList(const Json& r, const std::string& where);

  const WindowSource& src_;
  std::map<uint32_t, std::string>* keys_;
  std::map<std::string, const Json*> by_name_;
};

uint32_t WindowCompiler::IdOf(const std::string& name, const std::string& where) {
  auto it = by_name_.find(name);
  if (it == by_name_.end()) Fail(where, "no record named " + name);
  return Dword(it->second->at("id"), where);
}

// A record's own value, else the one its window shares for the kind.
const Json& WindowCompiler::Value(const Json& r, const std::string& kind, const std::string& key,
                                  const std::string& where) {
  if (r.contains("properties") && r["properties"].contains(key)) return r["properties"][key];
  const Json& shared = Member(Member(src_.json, "shared"), kind.c_str());
  if (shared.contains(key)) return shared[key];
  Fail(where, "no value for " + key);
}

const Json& WindowCompiler::RecordValue(const Json& r, const std::string& key, const std::string& where) {
  if (r.contains(key)) return r[key];
  const Json& shared = Member(Member(src_.json, "shared"), "record");
  if (shared.contains(key)) return shared[key];
  Fail(where, "no value for " + key);
}

std::vector<uint8_t> WindowCompiler::Media(const Json& v, const std::string& where) {
  if (v.is_null() || (v.is_string() && v.get<std::string>().empty())) return {};
  if (v.is_object() && v.contains("file")) return ReadFile(src_.dir / v["file"].get<std::string>());
  Fail(where, "media is \"\" or {\"file\": path}");
}

// An image-list block: the mark, a word the loader skips, the list's stream.
std::vector<uint8_t> WindowCompiler::ImageList(const Json& v, const std::string& where) {
  if (v.is_null() || (v.is_string() && v.get<std::string>().empty())) return {};
  if (!v.is_object() || !v.contains("image_list")) Fail(where, "an image list is \"\" or {\"image_list\": path}");
  Out o;
  o.Raw("MITL", 4);
  o.U32(0xFF000000);
  o.Raw(ReadFile(src_.dir / v["image_list"].get<std::string>()));
  return std::move(o.bytes());
}

uint32_t WindowCompiler::Key(const Json& handler, const std::string& where) {
  if (handler.is_null()) return kNoHandlerKey;
  const std::string name = handler.get<std::string>();
  const uint32_t key = HandlerKey(name);
  if (key == kNoHandlerKey) Fail(where, "handler name " + name + " hashes to the no-handler key");
  auto [it, added] = keys_->emplace(key, name);
  if (!added && it->second != name) Fail(where, "handler names " + name + " and " + it->second + " share a key");
  return key;
}

// Sources name events as the program does, without the constant's k.
#define VELMORA_EVENT(name) \
  { #name, k##name }

int32_t EventNumber(const std::string& kind, const std::string& name, const std::string& where) {
  static const std::map<std::string, int32_t> common = {
      VELMORA_EVENT(LeftButtonDown),  VELMORA_EVENT(LeftButtonUp),  VELMORA_EVENT(DoubleClick),
      VELMORA_EVENT(RightButtonDown), VELMORA_EVENT(RightButtonUp), VELMORA_EVENT(MouseMoved),
      VELMORA_EVENT(GotFocus),        VELMORA_EVENT(LostFocus),     VELMORA_EVENT(KeyDown),
      VELMORA_EVENT(KeyUp),           VELMORA_EVENT(Character),     VELMORA_EVENT(Wheel)};
  static const std::map<std::string, int32_t> window = {VELMORA_EVENT(Created), VELMORA_EVENT(QueryClose),
                                                        VELMORA_EVENT(Destroying), VELMORA_EVENT(Moved),
                                                        VELMORA_EVENT(Resized)};
  if (auto it = common.find(name); it != common.end()) return it->second;
  if (kind == "window") {
    if (auto it = window.find(name); it != window.end()) return it->second;
  }
  if (kind == "Button" && name == "Clicked") return kClicked;
  return static_cast<int32_t>(Number(Json(name), where + ": event " + name));
}

#undef VELMORA_EVENT

void WindowCompiler::Bindings(Out& o, const Json& r, const std::string& kind, const std::string& where) {
  const Json& events = Member(r, "events");
  o.U32(static_cast<uint32_t>(events.size()));
  for (const auto& [event, handler] : events.items()) {
    o.I32(EventNumber(kind, event, where));
    o.U32(Key(handler, where + ": " + event));
  }
}

// A PageControl's members, page after page, a 0 between pages.
std::vector<uint32_t> WindowCompiler::ChildList(const Json& r, const std::string& where) {
  std::vector<uint32_t> list;
  if (r.at("kind") != "PageControl") return list;
  const Json& pages = Value(r, "PageControl", "Pages", where).at("pages");
  for (size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) list.push_back(0);
    for (const Json& member : pages[i].at("members")) {
      const std::string name = member.get<std::string>();
      IdOf(name, where);
      if (by_name_[name]->value("parent", "window") != r.at("name").get<std::string>()) {
        Fail(where, name + " is on a page but its parent is not this control");
      }
      list.push_back(IdOf(name, where));
    }
  }
  return list;
}

void WindowCompiler::Stream(Out& o, const Json& r, const Kind& kind, const std::string& where) {
  // Only the kind's own names are accepted, to catch misspelt properties.
  std::set<std::string> known = {"version"};
  for (const Field& f : kind.fields) {
    if (f.type != FieldType::kReserved) known.insert(f.name);
  }
  for (const auto& [key, value] : Member(r, "properties").items()) {
    if (!known.count(key)) Fail(where, "unknown property " + key);
  }
  const uint32_t version = r.contains("properties") && r["properties"].contains("version")
                               ? Dword(r["properties"]["version"], where)
                               : kind.highest;
  o.U32(version);
  for (const Field& f : kind.fields) {
    if (version < f.since) continue;
    if (f.type == FieldType::kReserved) {
      for (uint32_t i = 0; i < f.words; ++i) o.U32(0);
      continue;
    }
    const std::string at = where + "." + f.name;
    const Json& v = Value(r, kind.name, f.name, at);
    switch (f.type) {
      case FieldType::kInt:
      case FieldType::kColour:
        o.U32(Dword(v, at));
        break;
      case FieldType::kText:
        o.Counted(Text(v, at));
        break;
      case FieldType::kMedia:
        o.Counted(Media(v, at));
        break;
      case FieldType::kFont:
        o.Counted(Font(v, at));
        break;
      case FieldType::kRawFont: {
        std::vector<uint8_t> font = Font(v, at);
        font.resize(60, 0);  // stored without a count, so always 60 bytes
        o.Raw(font);
        break;
      }
      case FieldType::kPageList:
        o.Counted(PageList(v, at));
        break;
      case FieldType::kImageList:
        o.Counted(ImageList(v, at));
        break;
      case FieldType::kChar16: {
        const std::string c = Text(v, at);
        if (c.size() != 1) Fail(at, "one single-byte character expected");
        o.U16(static_cast<uint8_t>(c[0]));
        break;
      }
      case FieldType::kReserved:
        break;
    }
  }
}

std::vector<uint8_t> WindowCompiler::PageList(const Json& list, const std::string& where) {
  const Json defaults = list.value("page_defaults", Json::object());
  Out pages;
  pages.U32(3);
  pages.U32(static_cast<uint32_t>(list.at("pages").size()));
  for (const Json& page : list.at("pages")) {
    auto get = [&](const char* key) -> const Json& {
      if (page.contains(key)) return page[key];
      if (defaults.contains(key)) return defaults[key];
      Fail(where, std::string("page has no ") + key);
    };
    const Json& reserved = get("reserved");  // the words after each group, as stored
    pages.Counted(Text(get("caption"), where));
    for (const Json& v : get("header_images")) pages.U32(Dword(v, where));
    pages.U32(Dword(reserved.at(0), where));
    for (size_t t = 0; t < 3; ++t) {
      for (const Json& v : get("attributes").at(t)) pages.U32(Dword(v, where));
      pages.U32(Dword(reserved.at(t + 1), where));
    }
    pages.U32(Dword(get("shown"), where));
    pages.U32(Dword(get("enabled"), where));
    pages.U32(Dword(reserved.at(4), where));
    pages.U32(Dword(reserved.at(5), where));
    pages.Counted(Text(get("tooltip"), where));
    pages.U32(Dword(get("excluded"), where));
    pages.U32(0);  // no skipped groups
  }
  return std::move(pages.bytes());
}

std::vector<uint8_t> WindowCompiler::Record(const Json& r, const std::string& where) {
  const std::string kind_name = r.at("kind").get<std::string>();
  const Kind& kind = FindKind(kind_name, where);
  Out o;
  o.U32(kind.id);
  o.U32(r.contains("shares_bindings_of") ? IdOf(r["shares_bindings_of"].get<std::string>(), where) : 0);
  for (int i = 0; i < 4; ++i) o.U32(0);
  o.ZeroTerminated(Text(r.at("stored_name"), where));
  o.ZeroTerminated("");
  o.U32(0);  // object slot
  const Json& box = r.at("geometry");
  for (int i = 0; i < 4; ++i) o.U32(Dword(box.at(i), where + ".geometry"));
  o.U32(0);  // cursor slot
  const std::string parent = r.value("parent", "window");
  o.U32(parent == "window" ? 0 : IdOf(parent, where));
  const std::vector<uint32_t> children = ChildList(r, where);
  o.U32(static_cast<uint32_t>(children.size()));
  for (uint32_t id : children) o.U32(id);

  Out pointer;
  const Json& mp = RecordValue(r, "MousePointer", where);
  if (mp.is_string() && mp.get<std::string>() == "default") {
    pointer.U32(0);
  } else if (mp.is_object() && mp.contains("cursor")) {
    pointer.U32(0xFFFFFFFF);
    pointer.Raw(ReadFile(src_.dir / mp["cursor"].get<std::string>()));
  } else {
    pointer.U32(Dword(mp, where + ".MousePointer"));
  }
  o.Counted(pointer.bytes());

  o.ZeroTerminated(Text(RecordValue(r, "tag", where), where + ".tag"));
  o.U32(0);
  uint32_t flags = 0;
  if (Number(RecordValue(r, "visible", where), where)) flags |= 1;
  if (Number(RecordValue(r, "disable", where), where)) flags |= 2;
  if (Number(RecordValue(r, "tab_stop", where), where)) flags |= 4;
  o.U32(flags);
  o.U32(Dword(RecordValue(r, "tab_order", where), where));
  Bindings(o, r, kind_name, where);
  for (int i = 0; i < 5; ++i) o.U32(0);
  Stream(o, r, kind, where);
  return std::move(o.bytes());
}

std::vector<uint8_t> WindowCompiler::Compile() {
  const Json& j = src_.json;
  const Json& records = j.at("records");
  if (records.empty() || records[0].at("kind") != "window") Fail(src_.origin, "record 0 must be the window's own");
  std::set<uint32_t> ids;
  for (const Json& r : records) {
    const std::string name = r.at("name").get<std::string>();
    if (!by_name_.emplace(name, &r).second) Fail(src_.origin, "two records named " + name);
    if (!ids.insert(Dword(r.at("id"), name)).second) Fail(src_.origin, "two records share the id of " + name);
  }

  std::vector<std::vector<uint8_t>> bodies;
  for (const Json& r : records) bodies.push_back(Record(r, src_.origin + ": " + r.at("name").get<std::string>()));

  Out area;
  for (const Json& r : records) area.U32(Dword(r.at("id"), src_.origin));
  uint32_t offset = 0;
  for (const auto& b : bodies) {
    area.U32(offset);
    offset += 4 + static_cast<uint32_t>(b.size());
  }
  for (const auto& b : bodies) area.Counted(b);

  Out o;
  o.U32(Dword(j.at("design_value"), src_.origin));
  o.U32(Dword(j.at("handler_module"), src_.origin));
  for (int i = 0; i < 2; ++i) o.Counted(Text(j.at("texts").at(i), src_.origin));
  o.U32(static_cast<uint32_t>(records.size()));
  o.Counted(area.bytes());
  return std::move(o.bytes());
}

}  // namespace

std::string ToGbk(const std::string& utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw CompileError("no UTF-8 to GBK conversion on this system");
  std::string out(utf8.size() * 2 + 1, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t in_left = utf8.size();
  char* dst = out.data();
  size_t out_left = out.size();
  size_t r = iconv(cd, &in, &in_left, &dst, &out_left);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || in_left != 0) {
    throw CompileError("text has a character GBK lacks near: " + utf8.substr(utf8.size() - in_left, 12));
  }
  out.resize(out.size() - out_left);
  return out;
}

WindowSource LoadWindowSource(const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) throw CompileError("cannot read " + file.string());
  WindowSource src;
  try {
    src.json = Json::parse(in);
  } catch (const Json::parse_error& e) {
    throw CompileError(file.string() + ": " + e.what());
  }
  src.dir = file.parent_path();
  src.origin = file.filename().string();
  return src;
}

std::vector<uint8_t> CompileWindows(const std::vector<WindowSource>& windows) {
  std::map<uint32_t, std::string> keys;
  Out index_part;
  std::vector<uint8_t> body;
  for (const WindowSource& w : windows) index_part.U32(WindowCompiler(w, &keys).id());
  for (size_t i = 0; i < windows.size(); ++i) index_part.U32(0);  // the reader's slots for live windows
  for (const WindowSource& w : windows) {
    std::vector<uint8_t> b = WindowCompiler(w, &keys).Compile();
    body.insert(body.end(), b.begin(), b.end());
  }
  Out o;
  o.Counted(index_part.bytes());
  o.Raw(body);
  return std::move(o.bytes());
}

std::vector<uint8_t> CompileWindowsOrError(const std::vector<WindowSource>& windows, std::string* error) {
  try {
    return CompileWindows(windows);
  } catch (const std::exception& e) {
    *error = e.what();
    return {};
  }
}

}  // namespace formc
