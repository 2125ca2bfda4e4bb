#include "components/page_layout.h"

#include <algorithm>

namespace {

using Line = std::vector<int32_t>;  // the pages of one row (or column), in page order

// Packs the drawn headers into lines no longer than `room`, at least one each.
std::vector<Line> Pack(const std::vector<int32_t>& extents, int32_t along_step, int32_t room, bool wrap) {
  std::vector<Line> lines;
  int32_t used = 0;
  for (int32_t page = 0; page < static_cast<int32_t>(extents.size()); ++page) {
    if (extents[page] <= 0) continue;
    int32_t len = along_step > 0 ? along_step : extents[page];
    if (lines.empty() || (wrap && used > 0 && used + len > room)) {
      lines.emplace_back();
      used = 0;
    }
    lines.back().push_back(page);
    used += len;
  }
  return lines;
}

// Line slots from the outer edge inwards: the current page's line goes last,
// next to the page area.
std::vector<size_t> SlotOrder(const std::vector<Line>& lines, int32_t current) {
  std::vector<size_t> order;
  size_t current_line = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (std::find(lines[i].begin(), lines[i].end(), current) != lines[i].end()) current_line = i;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i != current_line) order.push_back(i);
  }
  if (current_line < lines.size()) order.push_back(current_line);
  return order;
}

void PlaceRows(const StripInput& in, StripLayout* out) {
  const bool top = in.position == kHeadersTop;
  std::vector<Line> rows = Pack(in.extents, 0, in.client_width, true);
  std::vector<size_t> order = SlotOrder(rows, in.current);
  const int32_t count = static_cast<int32_t>(order.size());
  const int32_t thickness = std::min(count * in.row_height, in.client_height);
  const int32_t strip_top = top ? 0 : in.client_height - thickness;
  for (int32_t slot = 0; slot < count; ++slot) {
    // Top strips count slots downwards; bottom strips upwards from the page area.
    int32_t y = top ? slot * in.row_height : strip_top + (count - 1 - slot) * in.row_height;
    int32_t x = 0;
    for (int32_t page : rows[order[slot]]) {
      out->headers[page] = {x, y, x + in.extents[page], y + in.row_height};
      x += in.extents[page];
    }
  }
  out->strip = {0, strip_top, in.client_width, strip_top + thickness};
}

void PlaceScrollingRow(const StripInput& in, StripLayout* out) {
  const bool top = in.position == kHeadersTop;
  const int32_t thickness = std::min(in.row_height, in.client_height);
  const int32_t y = top ? 0 : in.client_height - thickness;
  int32_t total = 0, first_drawn = -1, last_drawn = -1;
  for (int32_t page = 0; page < static_cast<int32_t>(in.extents.size()); ++page) {
    if (in.extents[page] <= 0) continue;
    total += in.extents[page];
    if (first_drawn < 0) first_drawn = page;
    last_drawn = page;
  }
  out->strip = {0, y, in.client_width, y + thickness};
  out->visible_end = in.client_width;
  out->scrolls = total > in.client_width;
  int32_t first = 0;
  if (out->scrolls) {
    out->visible_end = std::max(0, in.client_width - 2 * kScrollButtonSide);
    int32_t by = y + (thickness - kScrollButtonSide) / 2;
    out->scroll_back = {out->visible_end, by, out->visible_end + kScrollButtonSide, by + kScrollButtonSide};
    out->scroll_forward = {out->visible_end + kScrollButtonSide, by, in.client_width, by + kScrollButtonSide};
    first = std::clamp(in.first_visible, 0, std::max(last_drawn, 0));
  }
  out->first_visible = first;
  int32_t x = 0;
  for (int32_t page = first; page < static_cast<int32_t>(in.extents.size()); ++page) {
    if (in.extents[page] <= 0) continue;
    out->headers[page] = {x, y, x + in.extents[page], y + thickness};
    x += in.extents[page];
  }
  out->can_scroll_back = out->scrolls && first > first_drawn;
  out->can_scroll_forward = out->scrolls && x > out->visible_end;
}

void PlaceColumns(const StripInput& in, StripLayout* out) {
  const bool left = in.position == kHeadersLeft;
  std::vector<Line> columns = Pack(in.extents, in.row_height, in.client_height, true);
  std::vector<size_t> order = SlotOrder(columns, in.current);
  std::vector<int32_t> widths;
  int32_t thickness = 0;
  for (size_t i : order) {
    int32_t w = 0;
    for (int32_t page : columns[i]) w = std::max(w, in.extents[page]);
    widths.push_back(w);
    thickness += w;
  }
  thickness = std::min(thickness, in.client_width);
  const int32_t strip_left = left ? 0 : in.client_width - thickness;
  // Left strips count slots rightwards; right strips leftwards from the page area.
  int32_t x = left ? 0 : in.client_width;
  for (size_t slot = 0; slot < order.size(); ++slot) {
    int32_t column_left = left ? x : x - widths[slot];
    int32_t y = 0;
    for (int32_t page : columns[order[slot]]) {
      out->headers[page] = {column_left, y, column_left + widths[slot], y + in.row_height};
      y += in.row_height;
    }
    x = left ? x + widths[slot] : x - widths[slot];
  }
  out->strip = {strip_left, 0, strip_left + thickness, in.client_height};
}

}  // namespace

StripLayout LayOutStrip(const StripInput& in) {
  StripLayout out;
  out.headers.resize(in.extents.size());
  const int32_t w = std::max(in.client_width, 0), h = std::max(in.client_height, 0);
  out.page_area = {0, 0, w, h};
  if (in.hidden) return out;
  StripInput clean = in;
  if (clean.position < kHeadersTop || clean.position > kHeadersRight) clean.position = kHeadersTop;
  clean.client_width = w;
  clean.client_height = h;
  clean.row_height = std::max(in.row_height, 1);
  switch (clean.position) {
    case kHeadersLeft:
    case kHeadersRight:
      PlaceColumns(clean, &out);
      break;
    default:
      if (in.multi_row) {
        PlaceRows(clean, &out);
      } else {
        PlaceScrollingRow(clean, &out);
      }
  }
  switch (clean.position) {
    case kHeadersTop:
      out.page_area.top = out.strip.bottom;
      break;
    case kHeadersBottom:
      out.page_area.bottom = out.strip.top;
      break;
    case kHeadersLeft:
      out.page_area.left = out.strip.right;
      break;
    case kHeadersRight:
      out.page_area.right = out.strip.left;
      break;
  }
  return out;
}

int32_t HeaderAt(const StripLayout& layout, int32_t x, int32_t y) {
  if (layout.scrolls && x >= layout.visible_end) return -1;
  for (size_t page = 0; page < layout.headers.size(); ++page) {
    if (layout.headers[page].Contains(x, y)) return static_cast<int32_t>(page);
  }
  return -1;
}

bool HeaderFullyVisible(const StripLayout& layout, int32_t page) {
  if (page < 0 || page >= static_cast<int32_t>(layout.headers.size())) return false;
  const PageRect& r = layout.headers[page];
  if (r.empty()) return false;
  return !layout.scrolls || r.right <= layout.visible_end;
}
