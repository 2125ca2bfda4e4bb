// Where a PageControl's headers, scroll buttons and page area lie in its
// client area. Portable. Does not measure text or draw; the caller gives each
// header's length along the strip.
#pragma once

#include <cstdint>
#include <vector>

struct PageRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;

  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const PageRect&) const = default;
};

enum HeaderPosition : int32_t { kHeadersTop = 0, kHeadersBottom = 1, kHeadersLeft = 2, kHeadersRight = 3 };

struct StripInput {
  int32_t client_width = 0, client_height = 0;
  int32_t position = kHeadersTop;
  bool multi_row = true;  // left and right strips always wrap
  bool hidden = false;    // no strip: the page area is the client area
  int32_t row_height = 20;
  std::vector<int32_t> extents;  // per page: header length along the strip; 0 or less: not drawn
  int32_t current = -1;          // its row lies next to the page area
  int32_t first_visible = 0;     // one scrolling row: the first header shown
};

// Scroll buttons are squares of this side at the far end of a scrolling row.
inline constexpr int32_t kScrollButtonSide = 16;

struct StripLayout {
  std::vector<PageRect> headers;  // per page; empty when not drawn or scrolled away
  PageRect strip;                 // empty when hidden
  PageRect page_area;
  bool scrolls = false;  // one row longer than the strip: the scroll buttons show
  PageRect scroll_back, scroll_forward;
  int32_t visible_end = 0;  // a scrolling row shows headers left of this x
  int32_t first_visible = 0;
  bool can_scroll_back = false, can_scroll_forward = false;
};

StripLayout LayOutStrip(const StripInput& in);
// The page whose header is under the point, or -1.
int32_t HeaderAt(const StripLayout& layout, int32_t x, int32_t y);
// Whether the page's header shows whole (false when not drawn).
bool HeaderFullyVisible(const StripLayout& layout, int32_t page);
