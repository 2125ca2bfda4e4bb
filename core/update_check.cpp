#include "core/update_check.h"

#include <windows.h>

#include <cstdint>
#include <utility>

#include "core/extract_between.h"
#include "core/texts_gbk.h"
#include "format/property_fields.h"
#include "format/window_ids.h"
#include "net/background_fetch_win32.h"
#include "net/fetch_rules.h"
#include "net/fetch_web_page.h"
#include "services/services.h"
#include "windows/property_access.h"
#include "windows/windows_win32.h"

const char kCheckPageAddress[] = "http://www.velmora.example/blog/static/2417290322015829103451265/";

namespace {

constexpr int32_t kCaption = PropertyIndex<LabelProperties>("Caption");
constexpr char kStartMarker[] = "zuixingbbxz";
constexpr char kEndMarker[] = "kuailaix";
constexpr int32_t kOkOnly = 0;
// MainWindow is on screen this long after the process started, whatever the server does.
constexpr uint32_t kWindowDueMs = 3000;
// What showing MainWindow takes once the check is over, with room for the
// slowest machine we run on: the 64-bit twin under 64-bit Wine needed about
// 200 ms from the check's end to a window on screen.
constexpr uint32_t kShowWindowMs = 300;
// The whole check (connection, request and body) ends this long after the
// process started, or after UpdateCheckAt is called.
constexpr uint32_t kCheckBudgetMs = kWindowDueMs - kShowWindowMs;
// A start slower than the budget still asks once, for no longer than this.
constexpr uint32_t kLeastCheckMs = 500;
// What the worker's fetch leaves of the budget to hand over a body it has.
constexpr uint32_t kHandOverMs = 100;

uint64_t FileTimeMs(const FILETIME& t) {
  return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
}

// What is left until end_ms after the process started.
uint32_t CheckTimeLeft(uint32_t end_ms) {
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return end_ms;
  GetSystemTimeAsFileTime(&now);
  uint64_t spent = FileTimeMs(now) - FileTimeMs(created);
  return spent + kLeastCheckMs >= end_ms ? kLeastCheckMs : static_cast<uint32_t>(end_ms - spent);
}

// The fetched page into PageTextLabel, the text between the markers into
// LatestVersionLabel, each value released before the next step.
void ReadPublishedVersion(Bytes body) {
  {
    Text fetched = BytesToText(OrEmpty(body.get()));
    body = Bytes();
    SetControlText(ids::MainWindow, ids::MainWindow_PageTextLabel, kCaption, fetched.c_str());
  }
  Text found;
  {
    Text page = GetControlText(ids::MainWindow, ids::MainWindow_PageTextLabel, kCaption);
    found = ExtractBetween(page.c_str(), kStartMarker, kEndMarker);
  }
  SetControlText(ids::MainWindow, ids::MainWindow_LatestVersionLabel, kCaption, found.c_str());
}

// The captions compared, with what is no version text (empty, too long,
// control bytes, not GBK) taken as no news: a failed check is not a new version.
bool NewerVersionPublished() {
  Text latest = GetControlText(ids::MainWindow, ids::MainWindow_LatestVersionLabel, kCaption);
  Text running = GetControlText(ids::MainWindow, ids::MainWindow_VersionLabel, kCaption);
  return IsVersionText(latest.c_str()) && CompareText(latest.c_str(), running.c_str()) != 0;
}

// The fetched page read, and the news, if any, announced.
void CheckPublishedVersion(Bytes body) {
  // A body that reached the cap was cut there: not the page that was published.
  if (body.size() >= fetch::kBodyCap) body = Bytes();
  ReadPublishedVersion(std::move(body));
  if (!NewerVersionPublished()) return;
  ShowMessage(gbk::kNewVersionMessage, kOkOnly, gbk::kNewVersionTitle);
  LoadWindow(ids::NewVersionWindow, 0, true);
}

}  // namespace

void StartUpdateFetch() {
  StartBackgroundFetch(kCheckPageAddress, CheckTimeLeft(kCheckBudgetMs - kHandOverMs));
}

void UpdateCheck() {
  // The answer that came while the window was made; a start without the
  // worker fetches here, within what is left of the same budget.
  uint32_t left = CheckTimeLeft(kCheckBudgetMs);
  CheckPublishedVersion(BackgroundFetchStarted() ? TakeBackgroundFetch(left)
                                                 : FetchWebPageWithin(kCheckPageAddress, left));
}

void UpdateCheckAt(TextValue check_page_address) {
  CheckPublishedVersion(FetchWebPageWithin(check_page_address, kCheckBudgetMs));
}
