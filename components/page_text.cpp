// One pass over the bytes with an explicit stack of open elements: no
// recursion, so no input can deepen the call stack.
#include "components/page_text.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace {

using std::string_view;

constexpr size_t kNameLength = 15;  // longer tag names are told apart by these bytes
constexpr size_t kRowCells = 32;    // a row with more cells gives no tab stops
constexpr size_t kClassRules = 256;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  c = Lower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool SameAscii(string_view a, string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}
bool StartsWithAscii(string_view s, string_view prefix) {
  return s.size() >= prefix.size() && SameAscii(s.substr(0, prefix.size()), prefix);
}

string_view Trim(string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Where `</name` starts in s at or after from, case-insensitively; npos if nowhere.
size_t FindEndTag(string_view s, size_t from, string_view name) {
  for (size_t at = s.find("</", from); at != string_view::npos; at = s.find("</", at + 2)) {
    if (StartsWithAscii(s.substr(at + 2), name)) return at;
  }
  return string_view::npos;
}

// One entity at s[0] == '&': its bytes consumed (0 when it is none) and its text.
// Numbers above ASCII have no spelling without a code table: they stay as written.
size_t DecodeEntity(string_view s, std::string* out, bool* nbsp) {
  *nbsp = false;
  size_t i = 1;
  if (i < s.size() && s[i] == '#') {
    const bool hex = i + 1 < s.size() && Lower(s[i + 1]) == 'x';
    i += hex ? 2 : 1;
    const size_t digits = i;
    uint32_t value = 0;
    for (; i < s.size() && (hex ? HexValue(s[i]) >= 0 : IsDigit(s[i])); ++i) {
      value = std::min<uint32_t>(value * (hex ? 16 : 10) + (hex ? HexValue(s[i]) : s[i] - '0'), 0x110000);
    }
    if (i == digits) return 0;
    if (i < s.size() && s[i] == ';') ++i;
    if (value == 0xA0) {
      *nbsp = true;
      out->assign(1, ' ');
    } else if (value >= 0x20 && value < 0x7F) {
      *out = std::string(1, static_cast<char>(value));
    } else if (value == '\t' || value == '\n' || value == '\r') {
      out->assign(1, ' ');
    } else if (value < 0x80) {
      out->clear();  // NUL and control characters show nothing
    } else {
      *out = std::string(s.substr(0, i));
    }
    return i;
  }
  static const struct {
    const char* name;
    const char* text;
  } kNamed[] = {{"nbsp", " "}, {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
  size_t end = i;
  while (end < s.size() && end < i + 8 && (IsAlpha(s[end]) || IsDigit(s[end]))) ++end;
  for (const auto& e : kNamed) {
    if (s.substr(i, end - i) == string_view(e.name)) {
      *nbsp = e.name[0] == 'n';
      *out = e.text;
      return end < s.size() && s[end] == ';' ? end + 1 : end;
    }
  }
  return 0;
}

// An attribute value with its entities decoded.
std::string DecodeValue(string_view v) {
  std::string out, piece;
  bool nbsp;
  for (size_t i = 0; i < v.size();) {
    size_t used = v[i] == '&' ? DecodeEntity(v.substr(i), &piece, &nbsp) : 0;
    if (used) {
      out += piece;
      i += used;
    } else {
      out += v[i++];
    }
  }
  return out;
}

// #RGB, #RRGGBB (the # may be missing) or one of the sixteen colour names; -1 otherwise.
int32_t ParseColour(string_view v) {
  v = Trim(v);
  static const struct {
    const char* name;
    int32_t rgb;
  } kNames[] = {{"black", 0x000000},  {"silver", 0xC0C0C0}, {"gray", 0x808080},   {"white", 0xFFFFFF},
                {"maroon", 0x800000}, {"red", 0xFF0000},    {"purple", 0x800080}, {"fuchsia", 0xFF00FF},
                {"green", 0x008000},  {"lime", 0x00FF00},   {"olive", 0x808000},  {"yellow", 0xFFFF00},
                {"navy", 0x000080},   {"blue", 0x0000FF},   {"teal", 0x008080},   {"aqua", 0x00FFFF}};
  for (const auto& n : kNames) {
    if (SameAscii(v, n.name)) return n.rgb;
  }
  if (!v.empty() && v[0] == '#') v.remove_prefix(1);
  if (v.size() != 3 && v.size() != 6) return -1;
  int32_t rgb = 0;
  for (char c : v) {
    const int h = HexValue(c);
    if (h < 0) return -1;
    rgb = v.size() == 3 ? (rgb << 8) | (h << 4) | h : (rgb << 4) | h;
  }
  return rgb;
}

// What a declaration list ("color: #f00; font-weight: bold") says of colour
// and weight; each stays as it was where the list says nothing.
void ApplyDeclarations(string_view list, int32_t* colour, int* bold) {
  while (!list.empty()) {
    const size_t semi = std::min(list.find(';'), list.size());
    const string_view decl = list.substr(0, semi);
    list.remove_prefix(std::min(semi + 1, list.size()));
    const size_t colon = decl.find(':');
    if (colon == string_view::npos) continue;
    const string_view name = Trim(decl.substr(0, colon)), value = Trim(decl.substr(colon + 1));
    if (SameAscii(name, "color")) {
      if (int32_t c = ParseColour(value); c >= 0) *colour = c;
    } else if (SameAscii(name, "font-weight")) {
      if (SameAscii(value, "bold") || SameAscii(value, "bolder") || (!value.empty() && value[0] >= '6'))
        *bold = 1;
      else if (SameAscii(value, "normal") || (!value.empty() && IsDigit(value[0])))
        *bold = 0;
    }
  }
}

struct ClassRule {
  int32_t colour = -1;
  int bold = -1;  // -1 says nothing
};
using ClassRules = std::unordered_map<std::string, ClassRule>;  // by the class's name in lower case

std::string LowerCopy(string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

// The class rules (".NAME { ... }") of a page's style block; other selectors are passed over.
void ReadStyleSheet(string_view sheet, ClassRules* rules) {
  std::string plain;
  for (size_t at = 0; at < sheet.size();) {
    const size_t open = std::min(sheet.find("/*", at), sheet.size());
    plain.append(sheet.substr(at, open - at));
    const size_t close = open < sheet.size() ? sheet.find("*/", open + 2) : string_view::npos;
    at = close == string_view::npos ? sheet.size() : close + 2;
  }
  string_view s = plain;
  while (!s.empty()) {
    const size_t open = s.find('{');
    if (open == string_view::npos) return;
    const size_t close = std::min(s.find('}', open), s.size());
    string_view selectors = s.substr(0, open);
    const string_view body = s.substr(open + 1, close - open - 1);
    s.remove_prefix(std::min(close + 1, s.size()));
    while (!selectors.empty()) {
      const size_t comma = std::min(selectors.find(','), selectors.size());
      string_view one = Trim(selectors.substr(0, comma));
      selectors.remove_prefix(std::min(comma + 1, selectors.size()));
      // The markup's own comment marks around a style block are not part of a selector.
      for (string_view mark : {"<!--", "-->"}) {
        if (one.substr(0, mark.size()) == mark) one = Trim(one.substr(mark.size()));
      }
      if (one.size() < 2 || one[0] != '.') continue;
      const string_view name = one.substr(1);
      if (!std::all_of(name.begin(), name.end(),
                       [](char c) { return IsAlpha(c) || IsDigit(c) || c == '-' || c == '_'; }))
        continue;
      const std::string key = LowerCopy(name);
      if (rules->size() >= kClassRules && !rules->count(key)) continue;
      ClassRule& rule = (*rules)[key];
      ApplyDeclarations(body, &rule.colour, &rule.bold);
    }
  }
}

enum class Role : uint8_t { kInline, kVoid, kBreak, kBlock, kRow, kTable, kCell, kRaw };

struct Element {
  const char* name;
  Role role;
  bool bold;
};
const Element kElements[] = {
    {"b", Role::kInline, true},          {"strong", Role::kInline, true}, {"th", Role::kCell, true},
    {"td", Role::kCell, false},          {"tr", Role::kRow, false},       {"table", Role::kTable, false},
    {"br", Role::kBreak, false},         {"p", Role::kBlock, false},      {"div", Role::kBlock, false},
    {"li", Role::kBlock, false},         {"h1", Role::kBlock, true},      {"h2", Role::kBlock, true},
    {"h3", Role::kBlock, true},          {"h4", Role::kBlock, true},      {"h5", Role::kBlock, true},
    {"h6", Role::kBlock, true},          {"ul", Role::kBlock, false},     {"ol", Role::kBlock, false},
    {"blockquote", Role::kBlock, false}, {"center", Role::kBlock, false}, {"pre", Role::kBlock, false},
    {"dt", Role::kBlock, false},         {"dd", Role::kBlock, false},     {"caption", Role::kBlock, false},
    {"form", Role::kBlock, false},       {"hr", Role::kVoid, false},      {"img", Role::kVoid, false},
    {"meta", Role::kVoid, false},        {"link", Role::kVoid, false},    {"input", Role::kVoid, false},
    {"base", Role::kVoid, false},        {"col", Role::kVoid, false},     {"area", Role::kVoid, false},
    {"wbr", Role::kVoid, false},         {"script", Role::kRaw, false},   {"style", Role::kRaw, false},
    {"title", Role::kRaw, false},
};

const Element* FindElement(string_view name) {
  for (const Element& e : kElements) {
    if (name == e.name) return &e;
  }
  return nullptr;
}

// A tag as read: its name in lower case and the attributes this reader uses.
struct Tag {
  char name[kNameLength + 1] = {};
  bool end = false;
  string_view href, color, style, cls, width;
  bool has_href = false;
};

// An open element and the style it gives what it holds.
struct Opened {
  char name[kNameLength + 1] = {};
  bool bold = false;
  int32_t colour = -1;
  int32_t link = -1;
  // Rows: cells so far, where the next cell starts and whether every cell gave its width.
  size_t cells = 0;
  int32_t x = 0;
  bool widths = true;
  std::vector<int32_t> stops;
};

class Reader {
 public:
  explicit Reader(string_view s) : s_(s) { stack_.reserve(kPageTextDepth); }

  PageText Read() {
    size_t i = 0;
    while (i < s_.size()) {
      const char c = s_[i];
      if (c == '<') {
        i = Markup(i);
      } else if (c == '&') {
        i = Entity(i);
      } else if (IsSpace(c)) {
        Space();
        ++i;
      } else {
        i = Character(i);
      }
    }
    while (!stack_.empty()) Pop();
    return std::move(out_);
  }

 private:
  struct Style {
    bool bold = false;
    int32_t colour = -1;
    int32_t link = -1;
  };
  Style Current() const {
    if (stack_.empty()) return {};
    const Opened& top = stack_.back();
    return {top.bold, top.colour, top.link};
  }

  // One text byte, or one GBK pair; a byte that starts no character shows as '?'.
  size_t Character(size_t i) {
    const auto b = static_cast<unsigned char>(s_[i]);
    if (b < 0x20 || b == 0x7F) return i + 1;  // NUL and control bytes show nothing
    if (b < 0x80) {
      Emit(s_.substr(i, 1), Current());
      return i + 1;
    }
    if (b >= 0x81 && b <= 0xFE && i + 1 < s_.size()) {
      const auto t = static_cast<unsigned char>(s_[i + 1]);
      if (t >= 0x40 && t <= 0xFE && t != 0x7F) {
        Emit(s_.substr(i, 2), Current());
        return i + 2;
      }
    }
    Emit("?", Current());
    return i + 1;
  }

  size_t Entity(size_t i) {
    std::string text;
    bool nbsp;
    const size_t used = DecodeEntity(s_.substr(i), &text, &nbsp);
    if (!used) {
      Emit("&", Current());
      return i + 1;
    }
    if (text == " " && !nbsp) {
      Space();
    } else if (!text.empty()) {
      Emit(text, Current());
    }
    return i + used;
  }

  void Space() {
    if (pending_space_) return;
    pending_space_ = true;
    space_style_ = Current();
  }

  // Text in a style; the line and space breaks waiting before it go first.
  void Emit(string_view text, Style style) {
    Materialize();
    if (pending_space_ && !out_.runs.empty() && out_.runs.back().kind == PageRunKind::kText) {
      Append(" ", space_style_);
    }
    pending_space_ = false;
    Append(text, style);
  }

  void Append(string_view text, Style style) {
    if (!out_.runs.empty()) {
      PageRun& last = out_.runs.back();
      if (last.kind == PageRunKind::kText && last.bold == style.bold && last.colour == style.colour &&
          last.link == style.link) {
        last.text.append(text);
        return;
      }
    }
    PageRun run;
    run.text = std::string(text);
    run.bold = style.bold;
    run.colour = style.colour;
    run.link = style.link;
    out_.runs.push_back(std::move(run));
  }

  bool LastIs(PageRunKind kind) const { return !out_.runs.empty() && out_.runs.back().kind == kind; }
  void Push(PageRunKind kind) {
    PageRun run;
    run.kind = kind;
    out_.runs.push_back(std::move(run));
  }

  // A row's break always shows; a block's inside a cell not at the cell's edges.
  void Materialize() {
    const bool wanted = row_break_ || (block_break_ && !LastIs(PageRunKind::kCellBreak));
    if (wanted && !out_.runs.empty() && !LastIs(PageRunKind::kLineBreak)) Push(PageRunKind::kLineBreak);
    row_break_ = block_break_ = false;
  }

  // The nearest open element of one of the names, as an index; -1 when none.
  int Nearest(std::initializer_list<string_view> names) const {
    for (int k = static_cast<int>(stack_.size()) - 1; k >= 0; --k) {
      for (string_view n : names) {
        if (n == stack_[k].name) return k;
      }
    }
    return -1;
  }
  bool InCell() const {
    const int k = Nearest({"td", "th", "table"});
    return k >= 0 && std::strcmp(stack_[k].name, "table") != 0;
  }

  void Pop() {
    Opened& top = stack_.back();
    if (!std::strcmp(top.name, "tr") && out_.tab_stops.empty() && top.widths && top.cells >= 2) {
      out_.tab_stops = top.stops;
    }
    stack_.pop_back();
  }
  void PopTo(int k) {
    while (static_cast<int>(stack_.size()) > k) Pop();
  }

  size_t Markup(size_t i) {
    const string_view rest = s_.substr(i);
    if (rest.substr(0, 4) == "<!--") {
      const size_t end = s_.find("-->", i + 4);
      return end == string_view::npos ? s_.size() : end + 3;
    }
    const char next = rest.size() > 1 ? rest[1] : '\0';
    if (next == '!' || next == '?') {
      const size_t end = s_.find('>', i);
      return end == string_view::npos ? s_.size() : end + 1;
    }
    if (!IsAlpha(next) && !(next == '/' && rest.size() > 2 && IsAlpha(rest[2]))) {
      Emit("<", Current());
      return i + 1;
    }
    Tag tag;
    const size_t after = ReadTag(i + 1, &tag);
    if (after == string_view::npos) return s_.size();  // a tag the page never closes shows nothing
    return Apply(tag, after);
  }

  // Reads a tag from just after its '<'; the position after its '>', or npos.
  size_t ReadTag(size_t j, Tag* tag) {
    if (s_[j] == '/') {
      tag->end = true;
      ++j;
    }
    size_t n = 0;
    for (; j < s_.size() && (IsAlpha(s_[j]) || IsDigit(s_[j])); ++j) {
      if (n < kNameLength) tag->name[n++] = Lower(s_[j]);
    }
    while (j < s_.size()) {
      while (j < s_.size() && (IsSpace(s_[j]) || s_[j] == '/')) ++j;
      if (j >= s_.size()) break;
      if (s_[j] == '>') return j + 1;
      const size_t name_start = j;
      while (j < s_.size() && !IsSpace(s_[j]) && s_[j] != '=' && s_[j] != '>' && s_[j] != '/') ++j;
      const string_view name = s_.substr(name_start, j - name_start);
      while (j < s_.size() && IsSpace(s_[j])) ++j;
      string_view value;
      if (j < s_.size() && s_[j] == '=') {
        ++j;
        while (j < s_.size() && IsSpace(s_[j])) ++j;
        if (j < s_.size() && (s_[j] == '"' || s_[j] == '\'')) {
          const size_t close = s_.find(s_[j], j + 1);
          if (close == string_view::npos) return string_view::npos;
          value = s_.substr(j + 1, close - j - 1);
          j = close + 1;
        } else {
          const size_t start = j;
          while (j < s_.size() && !IsSpace(s_[j]) && s_[j] != '>') ++j;
          value = s_.substr(start, j - start);
        }
      } else if (name.empty()) {
        ++j;  // a stray '='
        continue;
      }
      Keep(tag, name, value);
    }
    return string_view::npos;
  }

  // The first of each attribute counts, as in a browser.
  static void Keep(Tag* tag, string_view name, string_view value) {
    if (SameAscii(name, "href") && !tag->has_href) {
      tag->href = value;
      tag->has_href = true;
    }
    const struct {
      const char* name;
      string_view* slot;
    } kept[] = {{"color", &tag->color}, {"style", &tag->style}, {"class", &tag->cls}, {"width", &tag->width}};
    for (const auto& k : kept) {
      if (SameAscii(name, k.name) && k.slot->empty()) *k.slot = value;
    }
  }

  size_t Apply(const Tag& tag, size_t after) {
    const Element* e = FindElement(tag.name);
    const Role role = e ? e->role : Role::kInline;
    if (tag.end) {
      if (role == Role::kBlock || role == Role::kRow || role == Role::kTable) Break(role);
      if (role == Role::kBreak) HardBreak();
      if (const int k = Nearest({tag.name}); k >= 0) PopTo(k);
      return after;
    }
    switch (role) {
      case Role::kRaw:
        return SkipRaw(tag, after);
      case Role::kBreak:
        HardBreak();
        return after;
      case Role::kVoid:
        if (!std::strcmp(tag.name, "hr")) Break(Role::kBlock);
        return after;
      case Role::kRow:
        if (const int k = Nearest({"tr", "table"}); k >= 0 && !std::strcmp(stack_[k].name, "tr")) PopTo(k);
        Break(role);
        break;
      case Role::kCell:
        if (const int k = Nearest({"td", "th", "tr", "table"});
            k >= 0 && (!std::strcmp(stack_[k].name, "td") || !std::strcmp(stack_[k].name, "th")))
          PopTo(k);
        Cell(tag);
        break;
      case Role::kBlock:
        // A paragraph or item closes the one still open before it.
        if (!std::strcmp(tag.name, "p") || !std::strcmp(tag.name, "li")) {
          if (const int k = Nearest({tag.name, "td", "th", "table"});
              k >= 0 && !std::strcmp(stack_[k].name, tag.name))
            PopTo(k);
        }
        Break(role);
        break;
      case Role::kTable:
        Break(role);
        break;
      default:
        break;
    }
    PushElement(tag, e);
    return after;
  }

  void Break(Role role) {
    if (role == Role::kBlock && InCell())
      block_break_ = true;
    else
      row_break_ = true;
  }

  void HardBreak() {
    Materialize();
    pending_space_ = false;
    if (!out_.runs.empty()) Push(PageRunKind::kLineBreak);
  }

  // A cell after the first in its row starts at the next tab stop.
  void Cell(const Tag& tag) {
    const int k = Nearest({"tr", "table"});
    if (k < 0 || std::strcmp(stack_[k].name, "tr") != 0) return;
    Opened& row = stack_[k];
    if (row.cells > 0) {
      block_break_ = false;
      Materialize();
      Push(PageRunKind::kCellBreak);
      pending_space_ = false;
    }
    if (row.widths && row.cells < kRowCells) {
      if (row.cells > 0) row.stops.push_back(row.x);
      // Pixels only: a percentage or a number past six digits gives no stop.
      const string_view w = Trim(tag.width);
      const bool digits = !w.empty() && w.size() <= 6 && std::all_of(w.begin(), w.end(), IsDigit);
      int32_t width = 0;
      for (size_t d = 0; digits && d < w.size(); ++d) width = width * 10 + (w[d] - '0');
      if (width > 0)
        row.x += width;
      else
        row.widths = false;
    } else {
      row.widths = false;
    }
    ++row.cells;
  }

  void PushElement(const Tag& tag, const Element* e) {
    if (stack_.size() >= static_cast<size_t>(kPageTextDepth)) return;
    const Style inherited = Current();
    Opened open;
    std::memcpy(open.name, tag.name, sizeof open.name);
    open.bold = inherited.bold || (e && e->bold);
    open.colour = inherited.colour;
    open.link = inherited.link;
    if (!tag.color.empty()) {
      if (int32_t c = ParseColour(DecodeValue(tag.color)); c >= 0) open.colour = c;
    }
    int bold = -1;
    if (!tag.cls.empty()) {
      const std::string classes = DecodeValue(tag.cls);
      string_view list = classes;
      while (!list.empty()) {
        while (!list.empty() && IsSpace(list.front())) list.remove_prefix(1);
        size_t end = 0;
        while (end < list.size() && !IsSpace(list[end])) ++end;
        const string_view name = list.substr(0, end);
        list.remove_prefix(end);
        const auto rule = rules_.find(LowerCopy(name));
        if (rule == rules_.end()) continue;
        if (rule->second.colour >= 0) open.colour = rule->second.colour;
        if (rule->second.bold >= 0) bold = rule->second.bold;
      }
    }
    if (!tag.style.empty()) ApplyDeclarations(DecodeValue(tag.style), &open.colour, &bold);
    if (bold >= 0) open.bold = bold == 1;
    if (!std::strcmp(tag.name, "a") && tag.has_href) open.link = Link(DecodeValue(tag.href));
    stack_.push_back(std::move(open));
  }

  // A link's index; -1 for addresses nothing can open (none, a fragment, script).
  int32_t Link(const std::string& href) {
    const string_view address = Trim(href);
    if (address.empty() || address[0] == '#' || StartsWithAscii(address, "javascript:")) return -1;
    if (!out_.links.empty() && out_.links.back() == address)
      return static_cast<int32_t>(out_.links.size() - 1);
    out_.links.emplace_back(address);
    return static_cast<int32_t>(out_.links.size() - 1);
  }

  // Script, style and title: their text is not shown; a style block's class rules are kept.
  size_t SkipRaw(const Tag& tag, size_t after) {
    const size_t end = FindEndTag(s_, after, tag.name);
    const string_view content = s_.substr(after, end == string_view::npos ? string_view::npos : end - after);
    if (!std::strcmp(tag.name, "style")) ReadStyleSheet(content, &rules_);
    if (end == string_view::npos) return s_.size();
    const size_t close = s_.find('>', end);
    return close == string_view::npos ? s_.size() : close + 1;
  }

  string_view s_;
  PageText out_;
  std::vector<Opened> stack_;   // open elements, innermost last; at most kPageTextDepth
  ClassRules rules_;            // the page's class colours and weights
  bool row_break_ = false;      // a line break waits for the next text
  bool block_break_ = false;    // one inside a cell, dropped at the cell's edges
  bool pending_space_ = false;  // white space waits for the next text on the line
  Style space_style_;           // the style where that white space began
};

}  // namespace

PageText ReadPageText(const uint8_t* data, size_t size) {
  if (!data) return {};
  Reader reader(string_view(reinterpret_cast<const char*>(data), std::min(size, kPageTextLimit)));
  return reader.Read();
}
