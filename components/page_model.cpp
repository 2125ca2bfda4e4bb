#include "components/page_model.h"

#include <algorithm>
#include <cstring>

namespace {

using T = PropertyType;
constexpr T I = T::kInteger, C = T::kChoice, B = T::kBool, F = T::kFont, D = T::kBytes, K = T::kColor,
            H = T::kHidden;

}  // namespace

const PropertyType kPageControlPropertyTypes[kPageControlPropertyCount - 8] = {
    C, B, F, D, I, B, B, H, H, H,  // 8 to 17
    I, C, C, C, D, D, D, D, H, H,  // 18 to 27
    B, K, K, K, H, H, K, K, H, H,  // 28 to 37
    K, K, K, H, H, H, K, H, H, B,  // 38 to 47
    B, B, H, H, H, B, K, K, K, H,  // 48 to 57
    I, I, I, I, B,                 // 58 to 62
};

namespace {

// The stored 32-bit value behind a plain property (kind index), or null.
uint32_t* Word(PageControlProperties& p, int32_t index) { return NumberFieldAt<uint32_t>(p, index); }

ByteView BytesIn(const PropertyIn& in) {
  if (!in.bytes || in.bytes->length <= 0) return {};
  return ByteView{ByteArrayData(in.bytes), static_cast<uint32_t>(in.bytes->length)};
}

Bytes BytesOut(const ByteBuffer& b) {
  if (b.empty()) return Bytes();
  return Bytes(NewByteArray(b.data(), static_cast<int32_t>(b.size())));
}

}  // namespace

bool PageModel::Load(ByteView stored, bool design) {
  PageControlProperties read;
  if (ReadPageControlProperties(stored, &read) != StreamResult::kOk) return false;
  if (!PagesFromBlock(read.Pages, &pages_)) return false;
  images_[0] = CopyOf(read.HeaderImages);
  images_[1] = CopyOf(read.SecondHeaderImages);
  images_[2] = CopyOf(read.ScrollButtonImages);
  picture_ = CopyOf(read.Picture);
  read.Pages = read.HeaderImages = read.SecondHeaderImages = read.ScrollButtonImages = read.Picture =
      ByteView{};
  p_ = read;
  stored_current_ = read.CurrentPage;
  current_ = -1;
  design_ = design;
  creating_ = true;
  return true;
}

void PageModel::FinishCreation() {
  SelectPage(stored_current_, true);
  creating_ = false;
}

void PageModel::LoadComplete() {
  SelectPage(stored_current_, false);
  if (!creating_) host_->RefreshPageChildren();
}

bool PageModel::Selectable(int32_t index) const {
  if (index < 0 || index >= static_cast<int32_t>(pages_.size())) return false;
  if (design_) return true;
  const bool shown = pages_[index].shown != 0, enabled = pages_[index].enabled != 0;
  const bool hidden_ok = p_.HiddenPagesSelectable != 0, disabled_ok = p_.DisabledPagesSelectable != 0;
  return (shown || hidden_ok) && (enabled || disabled_ok);
}

bool PageModel::HeaderDrawn(int32_t index) const {
  return pages_[index].shown != 0 || p_.HiddenPagesSelectable != 0;
}

bool PageModel::SelectPage(int32_t index, bool check) {
  const int32_t count = static_cast<int32_t>(pages_.size());
  if (check && !Selectable(index)) {
    if (current_ >= 0) {
      host_->Repaint();
      return false;
    }
    index = 0;
    while (index < count && !Selectable(index)) ++index;
  }
  // Without the check a missing page still selects nothing.
  if (index < 0 || index >= count) return false;
  if (index != current_ && Notify(PageNotice::kChanging, index)) return false;
  // The changing handler may have rebuilt the pages.
  if (index >= static_cast<int32_t>(pages_.size())) return false;
  BringIntoView(index);
  const int32_t previous = current_;
  current_ = index;
  hot_ = -1;
  Relayout();
  host_->Repaint();
  if (index != previous) {
    if (pages_[index].excluded) {
      host_->HideAllChildren();
    } else if (!creating_) {
      host_->RefreshPageChildren();
    }
    Notify(PageNotice::kChanged, 0);
  }
  return true;
}

// Raised while creating too: only the page children wait for the load.
bool PageModel::Notify(PageNotice notice, int32_t index) { return host_->Notify(notice, index); }

void PageModel::BringIntoView(int32_t index) {
  if (p_.HideHeaders || p_.MultiRow || p_.HeaderPosition >= kHeadersLeft) return;
  Relayout();
  if (!HeaderFullyVisible(layout_, index)) first_visible_ = index;
}

int32_t PageModel::ItemCount() const {
  return static_cast<int32_t>(
      std::count_if(pages_.begin(), pages_.end(), [](const Page& p) { return !p.excluded; }));
}

int32_t PageModel::PositionOf(int32_t index) const {
  if (index < 0 || index >= static_cast<int32_t>(pages_.size()) || pages_[index].excluded) return -1;
  int32_t position = 0;
  for (int32_t i = 0; i < index; ++i) position += pages_[i].excluded ? 0 : 1;
  return position;
}

int32_t PageModel::PageAtPosition(int32_t position) const {
  if (position < 0) return -1;
  for (int32_t i = 0; i < static_cast<int32_t>(pages_.size()); ++i) {
    if (!pages_[i].excluded && position-- == 0) return i;
  }
  return -1;
}

int32_t PageModel::CurrentPosition() const { return PositionOf(current_); }

int32_t PageModel::SelectPosition(int32_t position) {
  const int32_t page = PageAtPosition(position);
  if (page < 0) return -1;
  const int32_t previous = CurrentPosition();
  return SelectPage(page, false) ? previous : -1;
}

int32_t PageModel::HitTest(int32_t x, int32_t y, uint32_t* flags) const {
  constexpr uint32_t kNowhere = 1, kOnItem = 6;
  // An excluded page's header is no item of the window's numbering.
  const int32_t position = PositionOf(HeaderAt(layout_, x, y));
  *flags = position < 0 ? kNowhere : kOnItem;
  return position;
}

bool PageModel::GetProperty(int32_t index, int32_t sub, PropertyOut* out) const {
  if (index < 0 || index >= kPageControlPropertyCount - 8) return false;
  switch (index) {
    case kPropFont:
      return ReadFontValue(p_.Font, sub, out);
    case kPropPages:
      out->bytes = BytesOut(EncodePageList(pages_));
      return true;
    case kPropCurrentPage:
      out->number = design_ ? stored_current_ : current_;
      return true;
    case kPropHeaderImages:
    case kPropSecondImages:
    case kPropScrollButtonImages:
      out->bytes = BytesOut(images_[index - kPropHeaderImages]);
      return true;
    case kPropPicture:
      out->bytes = BytesOut(picture_);
      return true;
    case kPropPageAreaLeft:
      out->number = layout_.page_area.left;
      return true;
    case kPropPageAreaTop:
      out->number = layout_.page_area.top;
      return true;
    case kPropPageAreaWidth:
      out->number = layout_.page_area.width();
      return true;
    case kPropPageAreaHeight:
      out->number = layout_.page_area.height();
      return true;
    default:
      break;
  }
  uint32_t* word = Word(const_cast<PageControlProperties&>(p_), index);
  if (!word) return false;
  out->number = kPageControlPropertyTypes[index] == PropertyType::kColor ? static_cast<int64_t>(*word)
                                                                         : static_cast<int32_t>(*word);
  return true;
}

PageChange PageModel::SetProperty(int32_t index, int32_t sub, const PropertyIn& in) {
  if (index < 0 || index >= kPageControlPropertyCount - 8) return PageChange::kNone;
  const PropertyType type = kPageControlPropertyTypes[index];
  const int64_t n = in.number;
  switch (index) {
    case kPropHeaderPosition:
      if (n < kHeadersTop || n > kHeadersRight) return PageChange::kNone;
      p_.HeaderPosition = static_cast<int32_t>(n);
      return PageChange::kLayout;
    case kPropFont:
      if (!ApplyFontValue(&p_.Font, sub, in)) return PageChange::kNone;
      p_.DefaultFont = 0;  // a font written is the font used
      return PageChange::kFont;
    case kPropPages:
      return SetPages(BytesIn(in)) ? PageChange::kLayout : PageChange::kNone;
    case kPropCurrentPage:
      SelectPage(static_cast<int32_t>(n), true);
      stored_current_ = current_;
      return PageChange::kNone;
    case kPropHeaderImages:
    case kPropSecondImages:
    case kPropScrollButtonImages:
      images_[index - kPropHeaderImages] = CopyOf(BytesIn(in));
      return PageChange::kImages;
    case kPropPicture:
      picture_ = CopyOf(BytesIn(in));
      return PageChange::kNone;
    case kPropHeaderStyle19:
    case kPropHeaderStyle20:
      // Two exclusive drawing styles: making one active clears the other.
      *Word(p_, index) = static_cast<uint32_t>(NormalizeChoice(n));
      if (n > 0) *Word(p_, index == kPropHeaderStyle19 ? kPropHeaderStyle20 : kPropHeaderStyle19) = 0;
      return PageChange::kPaint;
    case kPropHeaderStyle21:
      if (n != 0 && n != 1) return PageChange::kNone;
      p_.HeaderStyle21 = static_cast<int32_t>(n);
      return PageChange::kPaint;
    default:
      break;
  }
  uint32_t* word = Word(p_, index);
  if (!word) return PageChange::kNone;  // hidden and read-only indexes
  switch (type) {
    case PropertyType::kBool:
      *word = static_cast<uint32_t>(NormalizeBool(n));
      break;
    case PropertyType::kChoice:
      *word = static_cast<uint32_t>(NormalizeChoice(n));
      break;
    default:
      *word = static_cast<uint32_t>(n);
      break;
  }
  switch (index) {
    case kPropMultiRow:
    case kPropHideHeaders:
    case kPropHeaderHeight:
    case kPropHiddenPagesSelectable:  // decides which headers are drawn
      return PageChange::kLayout;
    case kPropHeadersLocked:
      return PageChange::kNone;
    default:
      return PageChange::kPaint;
  }
}

bool PageModel::SetPages(ByteView block) {
  std::vector<Page> pages;
  if (!PagesFromBlock(block, &pages)) return false;
  const int32_t previous = current_;
  pages_ = std::move(pages);
  hot_ = -1;
  first_visible_ = 0;
  if (previous >= 0 && previous < static_cast<int32_t>(pages_.size()) && Selectable(previous)) return true;
  // The old current page is gone: choose again by the usual rules.
  current_ = -1;
  SelectPage(previous, true);
  return true;
}

ByteBuffer PageModel::Save() const {
  PageControlProperties out = p_;
  out.version = kPageControlStreamVersion;
  out.CurrentPage = stored_current_;
  const ByteBuffer pages = EncodePageList(pages_);
  out.Pages = ViewOf(pages);
  out.HeaderImages = ViewOf(images_[0]);
  out.SecondHeaderImages = ViewOf(images_[1]);
  out.ScrollButtonImages = ViewOf(images_[2]);
  out.Picture = ViewOf(picture_);
  return EncodePageControlProperties(out);
}

void PageModel::Relayout() {
  StripInput in;
  host_->ClientSize(&in.client_width, &in.client_height);
  in.position = p_.HeaderPosition;
  in.multi_row = p_.MultiRow != 0;
  in.hidden = p_.HideHeaders != 0;
  in.row_height = std::max(p_.HeaderHeight, host_->FontHeight());
  in.current = current_;
  in.first_visible = first_visible_;
  const bool vertical = p_.HeaderPosition == kHeadersLeft || p_.HeaderPosition == kHeadersRight;
  in.extents.assign(pages_.size(), 0);
  if (!in.hidden) {
    for (int32_t i = 0; i < static_cast<int32_t>(pages_.size()); ++i) {
      if (HeaderDrawn(i)) in.extents[i] = std::max(1, host_->HeaderExtent(pages_[i], vertical));
    }
  }
  layout_ = LayOutStrip(in);
  first_visible_ = layout_.first_visible;
}

void PageModel::LeftButtonDown(int32_t x, int32_t y) {
  if (p_.HeadersLocked) return;
  const int32_t page = HeaderAt(layout_, x, y);
  if (!Selectable(page)) return;
  Notify(PageNotice::kClicked, page);
  SelectPage(page, true);
}

void PageModel::RightButtonUp(int32_t x, int32_t y) {
  if (p_.HeadersLocked) return;
  const int32_t page = HeaderAt(layout_, x, y);
  if (page >= 0) Notify(PageNotice::kRightClicked, page);
}

void PageModel::MouseMove(int32_t x, int32_t y) {
  const int32_t page = HeaderAt(layout_, x, y);
  if (page == hot_) return;
  hot_ = page;
  host_->Repaint();
  if (page >= 0 && !(p_.NoHotEventOnCurrent && page == current_)) Notify(PageNotice::kHovered, page);
}

void PageModel::MouseLeave() {
  if (hot_ < 0) return;
  hot_ = -1;
  host_->Repaint();
}

void PageModel::Scroll(int32_t delta) {
  if (!layout_.scrolls || delta == 0) return;
  if (delta < 0 && !layout_.can_scroll_back) return;
  if (delta > 0 && !layout_.can_scroll_forward) return;
  int32_t page = first_visible_ + (delta < 0 ? -1 : 1);
  while (page >= 0 && page < static_cast<int32_t>(pages_.size()) && !HeaderDrawn(page))
    page += delta < 0 ? -1 : 1;
  if (page < 0 || page >= static_cast<int32_t>(pages_.size())) return;
  first_visible_ = page;
  Relayout();
  host_->Repaint();
}
