// The window descriptions' pictures, cursors and image list, loaded the way
// Windows loads them.
#include <windows.h>
// In this order: commctrl.h declares ImageList_Read only once IStream is known.
#include <objbase.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "components/jpeg_decoder.h"
#include "format/program_windows.h"
#include "format/property_streams.h"
#include "format/window_ids.h"
#include "support/test_support.h"

namespace {

const ControlRecord& Rec(const WindowDescriptionTable& table, uint32_t window, uint32_t id) {
  const WindowDescription* w = table.Find(window);
  return *w->RecordAt(w->FindRecord(id));
}

class WindowAssetsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(table_.Parse(ProgramWindowBlock(), {})); }
  WindowDescriptionTable table_;
};

TEST_F(WindowAssetsTest, TheHeaderImageListLoadsWithOneImage) {
  PageControlProperties p;
  ASSERT_EQ(ReadPageControlProperties(Rec(table_, ids::MainWindow, ids::MainWindow_TabPager).properties, &p),
            StreamResult::kOk);
  ByteView list = ImageListStream(p.HeaderImages);
  ASSERT_FALSE(list.empty());

  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, list.size);
  ASSERT_NE(memory, nullptr);
  memcpy(GlobalLock(memory), list.data, list.size);
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(memory, TRUE, &stream), S_OK);
  HIMAGELIST images = ImageList_Read(stream);
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 1);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(images, &cx, &cy));
  EXPECT_EQ(cx, 100);
  EXPECT_EQ(cy, 35);
  IMAGEINFO info{};
  ASSERT_TRUE(ImageList_GetImageInfo(images, 0, &info));
  EXPECT_NE(info.hbmMask, nullptr);
  BITMAP bm{};
  ASSERT_TRUE(GetObjectW(info.hbmImage, sizeof bm, &bm));
  EXPECT_EQ(bm.bmBitsPixel, 32);
  // A corner is transparent and the middle is drawn.
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP target = CreateBitmap(100, 35, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, target);
  RECT all{0, 0, 100, 35};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ASSERT_TRUE(ImageList_Draw(images, 0, dc, 0, 0, ILD_TRANSPARENT));
  EXPECT_EQ(GetPixel(dc, 0, 0) & 0xFFFFFF, 0u);
  EXPECT_NE(GetPixel(dc, 50, 30) & 0xFFFFFF, 0u);
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ImageList_Destroy(images);
  stream->Release();
}

// Loads a stored cursor file from a scratch file, as LoadImage reads them.
HCURSOR LoadStoredCursor(const ControlRecord& r, const ScratchDir& dir) {
  EXPECT_EQ(LoadU32(r.mouse_pointer.data), 0xFFFFFFFFu);
  std::string path = dir.File("stored.cur");
  FILE* f = fopen(path.c_str(), "wb");
  fwrite(r.mouse_pointer.data + 4, 1, r.mouse_pointer.size - 4, f);
  fclose(f);
  return static_cast<HCURSOR>(LoadImageA(nullptr, path.c_str(), IMAGE_CURSOR, 32, 32, LR_LOADFROMFILE));
}

TEST_F(WindowAssetsTest, EveryCustomCursorLoadsWithItsHotSpot) {
  struct Row {
    uint32_t id;
    DWORD hot_x, hot_y;
  };
  const Row rows[] = {
      {ids::MainWindow_TabPicture0, 2, 0},  {ids::MainWindow_TabPicture3, 2, 0},
      {ids::MainWindow_PagePicture1, 2, 0},  // cursor A
      {ids::MainWindow_PageView, 0, 0},      // cursor B
      {ids::MainWindow_TabPager, 0, 0},      // cursor C
      {ids::MainWindow_PromoButton, 0, 0},   // PromoButton, three images
  };
  ScratchDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.id);
    HCURSOR cursor = LoadStoredCursor(Rec(table_, ids::MainWindow, row.id), dir);
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, row.hot_x);
    EXPECT_EQ(info.yHotspot, row.hot_y);
    BITMAP bm{};
    ASSERT_TRUE(GetObjectW(info.hbmMask, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 32);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyCursor(cursor);
  }
}

TEST_F(WindowAssetsTest, EveryPictureDecodesAtItsSize) {
  struct Row {
    uint32_t window, id;
    int width, height;
  };
  const Row rows[] = {
      {ids::MainWindow, ids::MainWindow_TabPicture0, 128, 44},
      {ids::MainWindow, ids::MainWindow_TabPicture1, 128, 44},
      {ids::MainWindow, ids::MainWindow_TabPicture2, 128, 44},
      {ids::MainWindow, ids::MainWindow_TabPicture3, 128, 44},
      {ids::MainWindow, ids::MainWindow_PagePicture1, 117, 37},
      {ids::MainWindow, ids::MainWindow_PagePicture2, 117, 37},
      {ids::MainWindow, ids::MainWindow_PagePicture3, 117, 37},
      {ids::MainWindow, ids::MainWindow_PagePicture4, 117, 37},
      {ids::MainWindow, ids::MainWindow_PagePicture5, 117, 37},
      {ids::MainWindow, ids::MainWindow_ContactPicture, 512, 512},
      {ids::FollowWindow, ids::FollowWindow_FollowPicture, 512, 512},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.id);
    PicBoxProperties p;
    ASSERT_EQ(ReadPicBoxProperties(Rec(table_, row.window, row.id).properties, &p), StreamResult::kOk);
    DecodedImage image = DecodeJpeg(p.Picture.data, p.Picture.size);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(image.width, row.width);
    EXPECT_EQ(image.height, row.height);
  }
}

}  // namespace

int main(int argc, char** argv) { return RunTestMain(argc, argv); }
