// UpdateCheck under Wine: MainWindow loaded from its description, the check
// pointed at pages of the local server, and what a person would see: the
// label captions, the announcement box and NewVersionWindow.
#include "core/update_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "components_test_support.h"
#include "fetch_server_view.h"
#include "format/property_fields.h"
#include "format/window_ids.h"
#include "support/test_support.h"
#include "windows/property_access.h"
#include "windows/windows_win32.h"

namespace {

constexpr char kServerDirVariable[] = "VELMORA_UPDATE_SERVER_DIR";
constexpr int32_t kCaption = PropertyIndex<LabelProperties>("Caption");

FetchServerView& Server() { return ServerNamedBy(kServerDirVariable); }

std::string Origin(int port) { return "http://127.0.0.1:" + std::to_string(port); }

// A page of exactly these bytes, served with its length stated.
std::string Hex(const std::string& body) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : body) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

std::string PageAddress(const std::string& body) { return Origin(Server().port()) + "/page/" + Hex(body); }

std::string Caption(uint32_t control_id) {
  Text t = GetControlText(ids::MainWindow, control_id, kCaption);
  return t.c_str();
}

// What the check put on the screen, in the order it appeared.
struct Shown {
  std::vector<std::string> order;  // "box", "window"
  MessageBoxContents box;
  bool box_icon = false;  // an icon is drawn in the box
  bool main_enabled_under_window = true;
};

// Wine keeps an empty icon control in a box without an icon; only a control
// that holds an icon shows one.
BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
  wchar_t cls[16];
  if (GetClassNameW(child, cls, 16) && _wcsicmp(cls, L"Static") == 0 &&
      (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
      SendMessageW(child, STM_GETICON, 0, 0)) {
    *reinterpret_cast<bool*>(found) = true;
  }
  return TRUE;
}

bool ShowsAnIcon(HWND box) {
  bool found = false;
  EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Answers the check's windows from inside its own loops: a thread timer runs
// in the message box's loop and in the modal window's loop alike.
class Responder {
 public:
  Responder() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 50, Tick);
  }
  ~Responder() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  Shown shown;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_) current_->Answer();
  }
  void Answer() {
    HWND box = WaitForMessageBox(GetCurrentProcessId(), 0);
    if (box && box != answered_box_) {
      answered_box_ = box;
      shown.order.push_back("box");
      shown.box = ReadMessageBox(box);
      shown.box_icon = ShowsAnIcon(box);
      PressMessageBoxButton(box, IDOK);
      return;
    }
    LiveWindow* w = FindLiveWindow(ids::NewVersionWindow);
    if (w && w->hwnd() && IsWindowVisible(w->hwnd()) && !window_answered_) {
      window_answered_ = true;
      shown.order.push_back("window");
      LiveWindow* main = FindLiveWindow(ids::MainWindow);
      shown.main_enabled_under_window = main && IsWindowEnabled(main->hwnd());
      DestroyWindowUnit(ids::NewVersionWindow);
    }
  }
  static Responder* current_;
  UINT_PTR timer_ = 0;
  HWND answered_box_ = nullptr;
  bool window_answered_ = false;
};
Responder* Responder::current_ = nullptr;

struct Outcome {
  std::string page_text, latest;
  Shown shown;
  DWORD took_ms = 0;  // the check alone
};

// One check against the address, in a fresh MainWindow.
Outcome Check(const std::string& address) {
  LoadedWindow main(ids::MainWindow);
  Outcome out;
  if (!main.get()) return out;
  {
    Responder responder;
    DWORD start = GetTickCount();
    UpdateCheckAt(address.c_str());
    out.took_ms = GetTickCount() - start;
    out.shown = responder.shown;
  }
  out.page_text = Caption(ids::MainWindow_PageTextLabel);
  out.latest = Caption(ids::MainWindow_LatestVersionLabel);
  EXPECT_EQ(Caption(ids::MainWindow_VersionLabel), "2.8") << "the running version is never written";
  EXPECT_EQ(FindLiveWindow(ids::NewVersionWindow), nullptr) << "the modal window is gone on return";
  EXPECT_TRUE(IsWindowEnabled(main->hwnd())) << "MainWindow is enabled again";
  return out;
}

class UpdateCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(Server().port(), 0) << "no local server: set " << kServerDirVariable; }
};

TEST_F(UpdateCheckTest, PagesFromTheServer) {
  struct Row {
    const char* label;
    std::string body;
    std::string page_text;  // PageTextLabel afterwards
    std::string latest;     // LatestVersionLabel afterwards
    bool announced;
  };
  const std::string exact = "<p>zuixingbbxz2.8kuailaix</p>";
  const Row rows[] = {
      {"the exact version", exact, exact, "2.8", false},
      {"a higher version", "zuixingbbxz2.9kuailaix", "zuixingbbxz2.9kuailaix", "2.9", true},
      {"the same version with a space", "zuixingbbxz2.8 kuailaix", "zuixingbbxz2.8 kuailaix", "2.8 ", true},
      {"markers in mixed case", "ZuiXingBBxz3.0KuaiLAIX", "ZuiXingBBxz3.0KuaiLAIX", "3.0", true},
      {"end marker only before the start", "kuailaix zuixingbbxz2.9", "kuailaix zuixingbbxz2.9", "", false},
      {"a decoy end marker before the start", "kuailaix zuixingbbxz3.1kuailaix",
       "kuailaix zuixingbbxz3.1kuailaix", "3.1", true},
      {"a second end marker after the first", "zuixingbbxz3.2kuailaix 9kuailaix",
       "zuixingbbxz3.2kuailaix 9kuailaix", "3.2", true},
      {"a zero byte before the markers", std::string("<p>\0zuixingbbxz2.9kuailaix", 26), "<p>", "", false},
      {"a zero byte after the version", std::string("zuixingbbxz3.3kuailaix\0tail", 27),
       "zuixingbbxz3.3kuailaix", "3.3", true},
      {"the start marker right before the end marker", "zuixingbbxzkuailaix", "zuixingbbxzkuailaix", "",
       false},
      // 0xB0 0x7A is one GBK character ending in 'z', 0xB0 0x6B one ending in 'k'.
      {"a start marker inside a GBK character", "\xB0zuixingbbxz2.9kuailaix", "\xB0zuixingbbxz2.9kuailaix",
       "", false},
      {"an end marker inside a GBK character", "zuixingbbxz2.9\xB0kuailaixkuailaix",
       "zuixingbbxz2.9\xB0kuailaixkuailaix", "2.9\xB0kuailaix", true},
      {"an empty page", "", "", "", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    Outcome o = Check(PageAddress(r.body));
    EXPECT_EQ(o.page_text, r.page_text);
    EXPECT_EQ(o.latest, r.latest);
    std::vector<std::string> expected_order;
    if (r.announced) expected_order = {"box", "window"};
    EXPECT_EQ(o.shown.order, expected_order);
  }
}

TEST_F(UpdateCheckTest, FailedChecksAnnounceNothing) {
  const struct {
    const char* label;
    std::string address;
    std::string page_text;
  } rows[] = {
      {"connection refused", Origin(Server().refused_port()) + "/page/", ""},
      {"server closes without an answer", Origin(Server().port()) + "/close", ""},
      {"an error page without markers", Origin(Server().port()) + "/notfound",
       "<html><body>missing page</body></html>"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    Outcome o = Check(r.address);
    EXPECT_EQ(o.page_text, r.page_text);
    EXPECT_EQ(o.latest, "");
    EXPECT_TRUE(o.shown.order.empty());
  }
}

// The whole check ends 2.7 s after it starts (MainWindow then has 0.3 s to show): what came by then counts,
// once asked; a page that names no version, however large, announces nothing.
TEST_F(UpdateCheckTest, ThreeSecondsForTheWholeCheck) {
  const std::string origin = Origin(Server().port()), newer = "zuixingbbxz2.9kuailaix";
  const struct {
    const char* label;
    std::string address;
    bool announced;
    DWORD min_ms, max_ms;
    int requests;
  } rows[] = {
      {"answers after 2.5 s", origin + "/late/2500/" + Hex(newer), true, 2400, 3100, 1},
      {"answers after 3.0 s", origin + "/late/3000/" + Hex(newer), false, 2600, 3100, 1},
      {"trickles a byte a second", origin + "/drip/1000/30", false, 2600, 3100, 1},
      {"closes mid-body, before the end marker", origin + "/cut/" + Hex("zuixingbbxz2.9kuai"), false, 0, 3100,
       1},
      {"refuses the connection", Origin(Server().refused_port()) + "/page/", false, 0, 3100, 0},
      {"a name that does not resolve", "http://velmora-nowhere.invalid/page/", false, 0, 3100, 0},
      {"a version text with a line break", PageAddress("zuixingbbxz2.9\r\nkuailaix"), false, 0, 3100, 1},
      {"a body that is not text", PageAddress(std::string("\x89PNG\r\n\x1a\n\0zuixingbbxz2.9kuailaix", 31)),
       false, 0, 3100, 1},
      {"4 MiB of one marker", origin + "/repeat/4194304/" + Hex("zuixingbbxz"), false, 0, 3100, 1},
      {"over the body cap", origin + "/repeat/5000000/" + Hex(newer), false, 0, 3100, 1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    size_t mark = Server().Mark();
    Outcome o = Check(r.address);
    // The announcement's own windows are answered within a few ticks of the responder.
    EXPECT_GE(o.took_ms, r.min_ms);
    EXPECT_LE(o.took_ms, r.max_ms + (r.announced ? 500 : 0));
    EXPECT_EQ(o.shown.order.size(), r.announced ? 2u : 0u);
    EXPECT_EQ(FetchServerView::Requests(Server().EventsSince(mark)).size(), static_cast<size_t>(r.requests));
  }
}

TEST_F(UpdateCheckTest, ANewerVersionIsAnnouncedThenNewVersionWindowOpensModally) {
  Outcome o = Check(PageAddress("zuixingbbxz2.9kuailaix"));
  ASSERT_EQ(o.shown.order, (std::vector<std::string>{"box", "window"}));
  EXPECT_EQ(o.shown.box.title, L"提醒：");
  EXPECT_EQ(o.shown.box.text, L"有新版本了，马上去更新");
  EXPECT_EQ(o.shown.box.buttons.size(), 1u) << "OK only";
  EXPECT_FALSE(o.shown.box_icon) << "no icon";
  EXPECT_FALSE(o.shown.main_enabled_under_window) << "NewVersionWindow is modal";
}

TEST(UpdateCheckAddress, IsAnHttpPageOnAnExampleHost) {
  std::string address = kCheckPageAddress;
  const std::string scheme = "http://";
  const std::string path = "/blog/static/2417290322015829103451265/";
  ASSERT_EQ(address.compare(0, scheme.size(), scheme), 0) << address;
  size_t slash = address.find('/', scheme.size());
  ASSERT_NE(slash, std::string::npos) << address;
  std::string host = address.substr(scheme.size(), slash - scheme.size());
  EXPECT_TRUE(host.size() > 8 && host.compare(host.size() - 8, 8, ".example") == 0) << host;
  EXPECT_EQ(address.substr(slash), path);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--server-dir=", 13) == 0) {
      _putenv_s(kServerDirVariable, WindowsPath(argv[i] + 13).c_str());
    }
  }
  return RunTestMain(argc, argv);
}
