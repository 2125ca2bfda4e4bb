#include "core/update_check.h"

#include <cstdint>

#include "core/extract_between.h"
#include "core/texts_gbk.h"
#include "net/fetch_web_page.h"
#include "services/services.h"
#include "windows/property_access.h"
#include "windows/windows_win32.h"

const char kCheckPageAddress[] = "http://www.velmora.example/blog/static/2417290322015829103451265/";

namespace {

constexpr uint32_t kMainWindow = 0x52010001, kNewVersionWindow = 0x520100ab;
constexpr uint32_t kPageTextLabel = 0x160100c9, kLatestVersionLabel = 0x160100ca, kVersionLabel = 0x160100d5;
constexpr int32_t kCaption = 8;
constexpr char kStartMarker[] = "zuixingbbxz";
constexpr char kEndMarker[] = "kuailaix";
constexpr int32_t kOkOnly = 0;

// The fetched page into PageTextLabel, the text between the markers into
// LatestVersionLabel, each value released before the next step.
void ReadPublishedVersion(TextValue address) {
  {
    Text fetched;
    {
      Bytes body = FetchWebPage(address);
      fetched = BytesToText(OrEmpty(body.get()));
    }
    SetControlText(kMainWindow, kPageTextLabel, kCaption, fetched.c_str());
  }
  Text found;
  {
    Text page = GetControlText(kMainWindow, kPageTextLabel, kCaption);
    found = ExtractBetween(page.c_str(), kStartMarker, kEndMarker);
  }
  SetControlText(kMainWindow, kLatestVersionLabel, kCaption, found.c_str());
}

// The captions compared, with the empty text found (no page, no markers,
// nothing between them) taken as no news: a failed check is not a new version.
bool NewerVersionPublished() {
  Text latest = GetControlText(kMainWindow, kLatestVersionLabel, kCaption);
  Text running = GetControlText(kMainWindow, kVersionLabel, kCaption);
  return TextLength(latest.c_str()) > 0 && CompareText(latest.c_str(), running.c_str()) != 0;
}

}  // namespace

void UpdateCheck() { UpdateCheckAt(kCheckPageAddress); }

void UpdateCheckAt(TextValue check_page_address) {
  ReadPublishedVersion(check_page_address);
  if (!NewerVersionPublished()) return;
  ShowMessage(gbk::kNewVersionMessage, kOkOnly, gbk::kNewVersionTitle);
  LoadWindow(kNewVersionWindow, 0, true);
}
