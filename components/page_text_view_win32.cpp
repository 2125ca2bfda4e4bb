// PageTextView: a read-only RICHEDIT50W child filled from a page file's runs.
// Text is converted from GBK at the call; formats are set only where a run
// differs from the view's font. The file is read at once, the control filled
// on the next turn of the message loop, as a navigation completes later: its
// formats cost tens of milliseconds, which the start does not wait for.
#include "components/page_text_view_win32.h"

#include <richedit.h>

#include <algorithm>

#include "base/system_library_win32.h"
#include "base/wide_win32.h"
#include "components/common_controls_win32.h"
#include "components/handles_win32.h"
#include "components/page_text.h"
#include "components/private_messages_win32.h"
#include "net/open_url.h"

namespace {

constexpr LONG kTwipsPerPixel = 15;  // the page's widths are pixels at 96 dots per inch
constexpr int32_t kLinkColour = 0x0000FF;
constexpr UINT_PTR kSubclassId = 0x5054;  // "PT"

// msftedit.dll from the system directory only, never from beside the program;
// kept for the process, since its windows need it while they live.
bool LoadRichEdit() {
  static const HMODULE module = LoadSystemLibrary(L"msftedit.dll");
  return module != nullptr;
}

// The page file's bytes up to the reader's cap; false when it cannot be read.
// Shared for reading only, as the program holds its pages: nobody changes the
// bytes while they are read, and reading never writes.
bool ReadPageFile(TextValue path, std::string* bytes) {
  HANDLE file = CreateFileW(GbkToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  KernelHandle owned = OwnFile(file);
  LARGE_INTEGER size{};
  if (!owned || !GetFileSizeEx(owned.get(), &size)) return false;
  bytes->resize(static_cast<size_t>(std::min<LONGLONG>(size.QuadPart, kPageTextLimit)));
  size_t done = 0;
  while (done < bytes->size()) {
    DWORD got = 0;
    if (!ReadFile(owned.get(), bytes->data() + done, static_cast<DWORD>(bytes->size() - done), &got, nullptr))
      return false;
    if (got == 0) break;
    done += got;
  }
  bytes->resize(done);
  return true;
}

CHARFORMAT2W Look(bool bold, int32_t colour, bool link) {
  CHARFORMAT2W f{};
  f.cbSize = sizeof f;
  f.dwMask = CFM_BOLD | CFM_COLOR | CFM_LINK | CFM_UNDERLINE;
  if (link && colour < 0) colour = kLinkColour;
  f.dwEffects =
      (bold ? CFE_BOLD : 0) | (link ? CFE_LINK | CFE_UNDERLINE : 0) | (colour < 0 ? CFE_AUTOCOLOR : 0);
  if (colour >= 0) f.crTextColor = RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
  return f;
}

void SetLook(HWND edit, LONG first, LONG end, const CHARFORMAT2W& look) {
  CHARRANGE range{first, end};
  SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&look));
}

}  // namespace

PageTextView::~PageTextView() {
  if (edit_ && IsWindow(edit_)) DestroyWindow(edit_);
}

bool PageTextView::Create(HWND parent, HFONT font) {
  if (!LoadRichEdit()) return false;
  edit_ = CreateWindowExW(0, MSFTEDIT_CLASS, L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
                              ES_AUTOVSCROLL | ES_NOHIDESEL,
                          0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
  if (!edit_) return false;
  // The view's font is every run's face and size; the default limit would cut a long page.
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(edit_, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(kPageTextLimit));
  SendMessageW(edit_, EM_SETEVENTMASK, 0, ENM_LINK);
  SendMessageW(edit_, EM_SETUNDOLIMIT, 0, 0);  // nothing is typed, so nothing to undo
  CommonControls().SetWindowSubclass(edit_, Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

// Nothing can be typed here, so no caret blinks: the control makes one anew
// whenever focus or selection moves, so it is hidden after each message.
LRESULT CALLBACK PageTextView::Subclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  if (msg == kPageTextFillMessage) {
    reinterpret_cast<PageTextView*>(ref)->Fill();
    return 0;
  }
  const LRESULT result = CommonControls().DefSubclassProc(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY)
    CommonControls().RemoveWindowSubclass(hwnd, Subclass, kSubclassId);
  else if (GetFocus() == hwnd)
    HideCaret(hwnd);
  return result;
}

void PageTextView::Place(int x, int y, int width, int height) {
  if (edit_) SetWindowPos(edit_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PageTextView::Clear() {
  pending_ = false;
  ranges_.clear();
  addresses_.clear();
  if (edit_) SetWindowTextW(edit_, L"");
}

bool PageTextView::ShowFile(TextValue path) {
  std::string bytes;
  if (!edit_ || !ReadPageFile(path, &bytes)) {
    Clear();
    return false;
  }
  page_ = ReadPageText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  // One fill for any number of writes before the loop turns.
  if (!pending_) PostMessageW(edit_, kPageTextFillMessage, 0, 0);
  pending_ = true;
  return true;
}

void PageTextView::Fill() {
  if (!pending_) return;
  pending_ = false;
  PageText page = std::move(page_);
  std::wstring text;
  struct Styled {
    LONG first, end;
    const PageRun* run;
  };
  std::vector<Styled> styled;
  ranges_.clear();
  for (const PageRun& run : page.runs) {
    if (run.kind != PageRunKind::kText) {
      text += run.kind == PageRunKind::kLineBreak ? L'\r' : L'\t';
      continue;
    }
    const LONG first = static_cast<LONG>(text.size());
    text += GbkToWide(run.text.c_str());
    const LONG end = static_cast<LONG>(text.size());
    if (run.bold || run.colour >= 0 || run.link >= 0) styled.push_back({first, end, &run});
    if (run.link < 0) continue;
    if (!ranges_.empty() && ranges_.back().link == run.link && ranges_.back().end == first)
      ranges_.back().end = end;
    else
      ranges_.push_back({first, end, run.link});
  }
  addresses_ = std::move(page.links);

  SendMessageW(edit_, WM_SETREDRAW, FALSE, 0);
  SetWindowTextW(edit_, text.c_str());
  const CHARFORMAT2W plain = Look(false, -1, false);
  SendMessageW(edit_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&plain));
  PARAFORMAT tabs{};
  tabs.cbSize = sizeof tabs;
  tabs.dwMask = PFM_TABSTOPS;
  tabs.cTabCount = static_cast<SHORT>(std::min<size_t>(page.tab_stops.size(), MAX_TAB_STOPS));
  for (int i = 0; i < tabs.cTabCount; ++i) tabs.rgxTabs[i] = page.tab_stops[i] * kTwipsPerPixel;
  CHARRANGE all{0, -1};
  SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  SendMessageW(edit_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&tabs));
  for (const Styled& s : styled)
    SetLook(edit_, s.first, s.end, Look(s.run->bold, s.run->colour, s.run->link >= 0));
  // As a navigation would: the new page from its top, its scroll bar set
  // after drawing is on again (Wine's control leaves it as it was before).
  SendMessageW(edit_, WM_SETREDRAW, TRUE, 0);
  SendMessageW(edit_, EM_SETSEL, 0, 0);
  SendMessageW(edit_, WM_VSCROLL, SB_TOP, 0);
  InvalidateRect(edit_, nullptr, TRUE);
}

bool PageTextView::OnNotify(const NMHDR* header) {
  if (!edit_ || !header || header->hwndFrom != edit_ || header->code != EN_LINK) return false;
  const auto* link = reinterpret_cast<const ENLINK*>(header);
  if (link->msg != WM_LBUTTONUP) return true;
  // A drag that selects text to copy may end on a link: only a click opens it.
  CHARRANGE selected{};
  SendMessageW(edit_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selected));
  if (selected.cpMin != selected.cpMax) return true;
  const LONG at = link->chrg.cpMin;
  auto range = std::upper_bound(ranges_.begin(), ranges_.end(), at,
                                [](LONG position, const LinkRange& r) { return position < r.first; });
  if (range == ranges_.begin() || at >= (--range)->end) return true;
  OpenInBrowser(addresses_[range->link].c_str());
  return true;
}
