#include "components/page_text.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "core/pages.h"

namespace {

// Texts are GBK in the runs; the rows below are written in UTF-8.
std::string Utf8(const std::string& gbk) {
  iconv_t cd = iconv_open("UTF-8", "GBK");
  if (cd == reinterpret_cast<iconv_t>(-1)) return "(no GBK converter) " + gbk;
  std::string out(gbk.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(gbk.data());
  char* to = out.data();
  size_t left = gbk.size(), room = out.size();
  iconv(cd, &in, &left, &to, &room);
  iconv_close(cd);
  out.resize(out.size() - room);
  return out;
}

// The view's lines: text with a tab per cell break, and the line's links in order.
struct Line {
  std::string text;
  std::vector<std::string> links;
  bool operator==(const Line&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Line& l) {
  o << '"' << l.text << "\" links";
  for (const auto& a : l.links) o << ' ' << a;
  return o;
}

std::vector<Line> Lines(const PageText& page) {
  std::vector<Line> lines(1);
  int32_t last_link = -1;
  for (const PageRun& run : page.runs) {
    if (run.kind == PageRunKind::kLineBreak) lines.emplace_back();
    if (run.kind == PageRunKind::kCellBreak) lines.back().text += '\t';
    if (run.kind != PageRunKind::kText) continue;
    lines.back().text += Utf8(run.text);
    if (run.link >= 0 && run.link != last_link) lines.back().links.push_back(page.links[run.link]);
    last_link = run.link;
  }
  return lines;
}

std::vector<Line> LinesOf(const std::string& html) {
  return Lines(ReadPageText(reinterpret_cast<const uint8_t*>(html.data()), html.size()));
}

TEST(PageTextTest, TheFivePagesGiveTheirRowsInOrder) {
  const char kShop[] = "http://www.velmora.example/";
  const struct {
    size_t lines;
    Line first, last;  // the first and last table rows under the banner
    std::vector<int32_t> tab_stops;
  } rows[] = {
      {134,
       {"1、《从朋友到恋人》图文版\t下载 nPnI\t下载 jmGN",
        {"https://pan.yunpan.example/s/x9e2Gmml", "https://share.wangpan.example/f/hXBKjvK83t"}},
       {"132、\t下载\t ", {kShop}},
       {355, 438}},
      {30,
       {"1、街头搭讪开场白精选\t下载 5rb5\t下载 Bo65",
        {"https://pan.yunpan.example/s/O4Nv3Rte", "https://share.wangpan.example/f/xotjNpYVr5"}},
       {"28、\t下载\t ", {kShop}},
       {355, 438}},
      {36,
       {"1、开场惯例：观察式开场\t下载 nots\t下载 GuYV",
        {"https://pan.yunpan.example/s/1l8cW8K1", "https://share.wangpan.example/f/BM54hn6wpk"}},
       {"34、\t下载\t ", {kShop}},
       {355, 438}},
      {42, {"1、更新中……\t下载\t ", {kShop}}, {"40、\t \t ", {}}, {355, 438}},
      {95,
       {"1、恋爱沟通公开课 第1讲：自信从站姿开始\t观 看", {"https://v.shipin.example/play/VQxE95HPZe.html"}},
       {"93、\t观 看", {kShop}},
       {436}},
  };
  for (int i = 0; i < kContentPageCount; ++i) {
    SCOPED_TRACE(kContentPages[i].file_name);
    const PageText page = ReadPageText(ByteArrayData(kContentPages[i].bytes), kContentPages[i].bytes->length);
    const std::vector<Line> lines = Lines(page);
    ASSERT_EQ(lines.size(), rows[i].lines);
    EXPECT_EQ(lines[1], rows[i].first);
    EXPECT_EQ(lines[lines.size() - 2], rows[i].last);
    EXPECT_EQ(lines.back().text, "首页 上一页 下一页 尾页 第 页/共 页") << "the pager's words stay, as text";
    EXPECT_EQ(page.tab_stops, rows[i].tab_stops);
    EXPECT_EQ(page.runs.front().colour, 0xFF0000) << "the banner in its class's colour";
    EXPECT_EQ(Utf8(page.runs.front().text).rfind("【Velmora", 0), 0u);
  }
}

TEST(PageTextTest, MarkupAndInputThatIsNotHtml) {
  const std::string big_tag = "<b " + std::string(kPageTextLimit, 'x') + ">";
  const std::string long_href = "<a href=\"http://a.example/" + std::string(10000, 'q') + "\">x</a>";
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<table><tr><td>x";
  const struct {
    const char* label;
    std::string html;
    std::vector<Line> lines;
  } rows[] = {
      {"entities",
       "&lt;a&gt; &amp; &quot;q&quot; &#65;&#x42;&nbsp;&nbsp;c &copy; &#8212; &",
       {{"<a> & \"q\" AB  c &copy; &#8212; &", {}}}},
      {"white space folds, breaks split lines",
       "  a \r\n b<br>c<p>d</p><div>e</div><li>f<li>g<h1>h</h1>",
       {{"a b", {}}, {"c", {}}, {"d", {}}, {"e", {}}, {"f", {}}, {"g", {}}, {"h", {}}}},
      {"script, style, title and comments not shown",
       "<title>t</title><script>x('<b>s</b>')</script><style>p{}</style><!-- c -->x<!DOCTYPE html>",
       {{"x", {}}}},
      {"javascript: is text; a fragment too",
       "<a href=\" JavaScript:next()\">n</a> <a href=#top>t</a>",
       {{"n t", {}}}},
      {"unquoted attributes and entities in addresses",
       "<a href=http://a.example/?x=1&amp;y=2 target=_blank>go</a>",
       {{"go", {"http://a.example/?x=1&y=2"}}}},
      {"unclosed tag ends the text", "before<b class=\"x", {{"before", {}}}},
      {"unclosed comment ends the text", "before<!-- after", {{"before", {}}}},
      {"unclosed script ends the text", "before<script>after", {{"before", {}}}},
      {"a table inside a cell inside a table",
       "<table><tr><td>a</td><td><table><tr><td>b<td>c</table></td></tr><tr><td>d</td></tr></table>",
       {{"a\t", {}}, {"b\tc", {}}, {"d", {}}}},
      {"binary, NUL bytes and lone bytes", std::string("a\0b\x01\xff\x81<3", 8), {{"ab\?\?<3", {}}}},
      {"empty", "", {{"", {}}}},
      {"one 4 MiB tag", "x" + big_tag + "y", {{"x", {}}}},
      {"an address of 10,000 bytes", long_href, {{"x", {"http://a.example/" + std::string(10000, 'q')}}}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(LinesOf(row.html), row.lines) << row.label;
  }
  const std::vector<Line> nested = LinesOf(deep);
  ASSERT_EQ(nested.size(), 100000u) << "100,000 nested tables: a line for each row";
  EXPECT_EQ(nested.back().text.back(), 'x');

  // Colours from the markup, its class rules and style attributes; bold from headings and bold classes.
  const std::string styled =
      "<style><!-- .Hot, p.x {color:#f00} .Big{font-weight:bold; background-color:#00f} --></style>"
      "<font color=blue>a<span class=\"big hot\">b</span><b style=\"color: #123456\">c</b></font><th>d</th>";
  const PageText page = ReadPageText(reinterpret_cast<const uint8_t*>(styled.data()), styled.size());
  using Looks = std::vector<std::pair<int32_t, bool>>;  // colour, bold
  Looks looks;
  for (const PageRun& run : page.runs) looks.emplace_back(run.colour, run.bold);
  EXPECT_EQ(looks, (Looks{{0x0000FF, false}, {0xFF0000, true}, {0x123456, true}, {-1, true}}));
}

}  // namespace
