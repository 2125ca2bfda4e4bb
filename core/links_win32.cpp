// The link handlers. Addresses are compiled in and opened as they stand; the
// page pictures' crossed order lives in the window descriptions, not here.
#include "core/links.h"
#include "core/page_files.h"
#include "core/texts_gbk.h"
#include "format/property_fields.h"
#include "format/window_ids.h"
#include "net/open_url.h"
#include "services/services.h"
#include "windows/property_access.h"
#include "windows/windows_win32.h"

namespace {

constexpr int32_t kCurrentPageProperty = PropertyIndex<PageControlProperties>("CurrentPage"),
                  kUrlProperty = PropertyIndex<HtmlViewerProperties>("url");
constexpr uint32_t kNoOwner = 0;
constexpr int32_t kOkOnly = 0, kOkWithWarningIcon = 0x30;

// The messaging service's chat invitation: v, uin, site, menu, in that order.
constexpr char kChatAddress1[] = "http://wpa.qq.example/msgrd?v=3&uin=173925486&site=qq&menu=yes";
constexpr char kChatAddress2[] = "http://wpa.qq.example/msgrd?v=3&uin=319652840&site=qq&menu=yes";
constexpr char kChatAddress3[] = "http://wpa.qq.example/msgrd?v=3&uin=2857340196&site=qq&menu=yes";
constexpr char kSiteAddress520[] = "http://www.velmora.example/520";
constexpr char kSiteAddress55[] = "http://www.velmora.example/55/";
constexpr char kSiteAddress15[] = "http://www.velmora.example/15";
// One share on each of three cloud disks; the first needs no access code.
constexpr char kShareAddress1[] = "http://yunpan.example/s/1Vm8";
constexpr char kShareAddress2[] = "http://filebox.example/vm2";
constexpr char kShareAddress3[] = "http://dropit.example/v2";
constexpr char kShareCode2[] = "k7m2";
constexpr char kShareCode3[] = "x9q4";

void SelectTab(int32_t page) {
  SetControlNumber(ids::MainWindow, ids::MainWindow_TabPager, kCurrentPageProperty, page);
}

// page_number counts from 1, as the content pages are numbered.
void ShowPage(int page_number) {
  SetControlText(ids::MainWindow, ids::MainWindow_PageView, kUrlProperty,
                 ContentPageAddress(page_number - 1));
}

void CopyAccessCode(TextValue code) {
  if (SetClipboardText(code)) {
    Text message = JoinTexts({gbk::kCodeLabel, code, gbk::kCopiedTail});
    ShowMessage(message.get(), kOkOnly, gbk::kCopiedTitle);
    return;
  }
  // Saying "copied" here would send the user off to paste what is not there.
  Text message = JoinTexts({gbk::kCopyFailedHead, code});
  ShowMessage(message.get(), kOkWithWarningIcon, gbk::kCopyFailedTitle);
}

}  // namespace

void SelectTab0(int32_t, int32_t, int32_t) { SelectTab(0); }
void SelectTab1(int32_t, int32_t, int32_t) { SelectTab(1); }
void SelectTab2(int32_t, int32_t, int32_t) { SelectTab(2); }
void SelectTab3(int32_t, int32_t, int32_t) { SelectTab(3); }
void ShowPage1(int32_t, int32_t, int32_t) { ShowPage(1); }
void ShowPage2(int32_t, int32_t, int32_t) { ShowPage(2); }
void ShowPage3(int32_t, int32_t, int32_t) { ShowPage(3); }
void ShowPage4(int32_t, int32_t, int32_t) { ShowPage(4); }
void ShowPage5(int32_t, int32_t, int32_t) { ShowPage(5); }

void OpenChatLink1() { OpenInBrowser(kChatAddress1); }
void OpenChatLink2() { OpenInBrowser(kChatAddress2); }
void OpenChatLink3() { OpenInBrowser(kChatAddress3); }
void OpenSiteLink520() { OpenInBrowser(kSiteAddress520); }
void OpenSiteLink55() { OpenInBrowser(kSiteAddress55); }
void OpenSiteLink15A() { OpenInBrowser(kSiteAddress15); }
void OpenSiteLink15B() { OpenInBrowser(kSiteAddress15); }
void OpenDownloadLink1() { OpenInBrowser(kShareAddress1); }
void OpenDownloadLink2() { OpenInBrowser(kShareAddress2); }
void OpenDownloadLink3() { OpenInBrowser(kShareAddress3); }

void CopyAccessCode1() { CopyAccessCode(kShareCode2); }
void CopyAccessCode2() { CopyAccessCode(kShareCode3); }

void ShowFollowWindow() { LoadWindow(ids::FollowWindow, kNoOwner, true); }
void ShowHelpWindow() { LoadWindow(ids::HelpWindow, kNoOwner, true); }
void CloseHelpWindow() { DestroyWindowUnit(ids::HelpWindow); }
