// The page itself as read-only rich text, for an HtmlViewer on a system
// without an HTML engine: a page file's runs turned into RichEdit content,
// its links opened through the program's open path when clicked. Does not
// fetch addresses, run script, show pictures or page the rows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/value.h"
#include "components/page_text.h"

class PageTextView {
 public:
  PageTextView() = default;
  PageTextView(const PageTextView&) = delete;
  PageTextView& operator=(const PageTextView&) = delete;
  ~PageTextView();

  // Makes the view as a child of parent, its text in font; false when the
  // system's RichEdit (msftedit.dll) cannot be had.
  bool Create(HWND parent, HFONT font);
  HWND hwnd() const { return edit_; }
  void Place(int x, int y, int width, int height);
  // Reads the page file at path (GBK) and shows it from its top once the
  // message loop turns; false, with the view emptied, when it cannot be read.
  bool ShowFile(TextValue path);
  void Clear();
  // A notification from the view: a click on a link opens its address. True when taken.
  bool OnNotify(const NMHDR* header);

 private:
  struct LinkRange {
    LONG first, end;  // character positions, end exclusive
    int32_t link;     // index into addresses_
  };
  static LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref);
  void Fill();

  HWND edit_ = nullptr;                 // the RichEdit child; destroyed with this view
  PageText page_;                       // the page read last, until it is filled in
  bool pending_ = false;                // a fill is posted and page_ waits for it
  std::vector<LinkRange> ranges_;       // where each link's text is, in order
  std::vector<std::string> addresses_;  // GBK, as the page gives them
};
