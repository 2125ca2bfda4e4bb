// A PageControl without its window: the pages, the properties of indexes 8 to
// 62, selecting a page with all its rules, the answers to the tab control's
// messages and the header strip's mouse behaviour. Portable. Does not draw,
// measure text, load image lists or show child windows: it asks its host.
#pragma once

#include <cstdint>
#include <vector>

#include "components/page_codec.h"
#include "components/page_layout.h"
#include "components/property_values.h"
#include "format/property_fields.h"

inline constexpr int32_t kPageControlPropertyCount = StoredPropertyCount<PageControlProperties>();
// The kind's own properties, indexes 8 to 62.
extern const PropertyType kPageControlPropertyTypes[kPageControlPropertyCount - 8];

// Kind-specific indexes (property index minus 8) the window side reacts to,
// from the stored field list.
enum PageProperty : int32_t {
  kPropHeaderPosition = OwnIndex<PageControlProperties>("HeaderPosition"),
  kPropMultiRow = OwnIndex<PageControlProperties>("MultiRow"),
  kPropFont = OwnIndex<PageControlProperties>("Font"),
  kPropPages = OwnIndex<PageControlProperties>("Pages"),
  kPropCurrentPage = OwnIndex<PageControlProperties>("CurrentPage"),
  kPropHideHeaders = OwnIndex<PageControlProperties>("HideHeaders"),
  kPropHeadersLocked = OwnIndex<PageControlProperties>("HeadersLocked"),
  kPropHeaderHeight = OwnIndex<PageControlProperties>("HeaderHeight"),
  kPropHeaderStyle19 = OwnIndex<PageControlProperties>("HeaderStyle19"),
  kPropHeaderStyle20 = OwnIndex<PageControlProperties>("HeaderStyle20"),
  kPropHeaderStyle21 = OwnIndex<PageControlProperties>("HeaderStyle21"),
  kPropHeaderImages = OwnIndex<PageControlProperties>("HeaderImages"),
  kPropSecondImages = OwnIndex<PageControlProperties>("SecondHeaderImages"),
  kPropScrollButtonImages = OwnIndex<PageControlProperties>("ScrollButtonImages"),
  kPropPicture = OwnIndex<PageControlProperties>("Picture"),
  kPropHiddenPagesSelectable = OwnIndex<PageControlProperties>("HiddenPagesSelectable"),
  kPropPageAreaLeft = 50,  // read only, not stored: 58 to 61
  kPropPageAreaTop,
  kPropPageAreaWidth,
  kPropPageAreaHeight,
};

// The notices the control sends itself (the parameter of its private message).
enum class PageNotice : int32_t {
  kChanged = 1,
  kChanging = 2,  // argument: the new index; true from the host cancels
  kClicked = 3,
  kHovered = 4,
  kRightClicked = 5,
};

// What the model asks of the window that shows it.
class PageHost {
 public:
  virtual bool Notify(PageNotice notice, int32_t index) = 0;
  virtual void RefreshPageChildren() = 0;
  virtual void HideAllChildren() = 0;
  virtual void Repaint() = 0;
  // The client size and the font's height, for the strip's geometry.
  virtual void ClientSize(int32_t* width, int32_t* height) = 0;
  virtual int32_t FontHeight() = 0;
  // A drawn header's length along the strip, caption and image included.
  virtual int32_t HeaderExtent(const Page& page, bool vertical_strip) = 0;

 protected:
  ~PageHost() = default;
};

// What a property write asks the window side to redo.
enum class PageChange { kNone, kLayout, kFont, kImages, kPaint };

class PageModel {
 public:
  explicit PageModel(PageHost* host) : host_(host) {}
  PageModel(const PageModel&) = delete;
  PageModel& operator=(const PageModel&) = delete;

  // Reads the stored block and builds the pages; the creating flag is set
  // until FinishCreation and holds back RefreshPageChildren only. False when
  // the block cannot be read.
  bool Load(ByteView stored, bool design);
  // Last step of creation: selects the stored page with the check on, then
  // clears the creating flag.
  void FinishCreation();
  // The load-complete message: the stored page without the check, then the
  // page children.
  void LoadComplete();

  // Select a page. Returns whether the page became (or already was) current.
  bool SelectPage(int32_t index, bool check);
  bool Selectable(int32_t index) const;
  bool HeaderDrawn(int32_t index) const;

  // The tab control's messages, in the window's numbering (excluded pages left out).
  int32_t ItemCount() const;
  int32_t CurrentPosition() const;
  int32_t SelectPosition(int32_t position);
  int32_t HitTest(int32_t x, int32_t y, uint32_t* flags) const;

  // Index is the property index minus 8. Get returns false for what it cannot
  // answer; Set ignores what it does not take.
  bool GetProperty(int32_t index, int32_t sub, PropertyOut* out) const;
  PageChange SetProperty(int32_t index, int32_t sub, const PropertyIn& in);
  ByteBuffer Save() const;

  // Recomputes the strip's geometry from the host's sizes.
  void Relayout();
  const StripLayout& layout() const { return layout_; }

  // The header strip's mouse and scroll behaviour.
  void LeftButtonDown(int32_t x, int32_t y);
  void RightButtonUp(int32_t x, int32_t y);
  void MouseMove(int32_t x, int32_t y);
  void MouseLeave();
  void Scroll(int32_t delta);

  const std::vector<Page>& pages() const { return pages_; }
  const PageControlProperties& properties() const { return p_; }
  // Replaces the stored font (the window side does, for the default-font flag).
  void SetFont(const LogFontA& font) { p_.Font = font; }
  const ByteBuffer& image_block(int32_t which) const { return images_[which]; }
  int32_t current() const { return current_; }
  int32_t stored_current() const { return stored_current_; }
  int32_t hot() const { return hot_; }
  bool creating() const { return creating_; }
  bool headers_shown() const { return !p_.HideHeaders; }

 private:
  bool Notify(PageNotice notice, int32_t index);
  int32_t PageAtPosition(int32_t position) const;
  int32_t PositionOf(int32_t index) const;
  void BringIntoView(int32_t index);
  bool SetPages(ByteView block);

  PageHost* host_;
  PageControlProperties p_;  // scalar values; its views are not used after Load
  std::vector<Page> pages_;
  ByteBuffer images_[3];        // blocks of properties 22, 23, 24, as stored
  ByteBuffer picture_;          // property 25, kept and returned
  int32_t current_ = -1;        // current page, -1 = none
  int32_t stored_current_ = 0;  // what CurrentPage was last set to or loaded as
  int32_t first_visible_ = 0;   // first header of a scrolling row
  int32_t hot_ = -1;            // header under the mouse
  bool design_ = false;
  bool creating_ = false;
  StripLayout layout_;
};
