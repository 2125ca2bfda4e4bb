// The handlers behind the windows' buttons and pictures: select a tab, show a
// content page, open an address, copy an access code, open or close a window.
// They keep nothing and test nothing but the clipboard copy.
#pragma once

#include <cstdint>

// Bound to a picture's left-button press: x, y and the shift state, ignored.
void SelectTab0(int32_t x, int32_t y, int32_t shift);
void SelectTab1(int32_t x, int32_t y, int32_t shift);
void SelectTab2(int32_t x, int32_t y, int32_t shift);
void SelectTab3(int32_t x, int32_t y, int32_t shift);
void ShowPage1(int32_t x, int32_t y, int32_t shift);
void ShowPage2(int32_t x, int32_t y, int32_t shift);
void ShowPage3(int32_t x, int32_t y, int32_t shift);
void ShowPage4(int32_t x, int32_t y, int32_t shift);
void ShowPage5(int32_t x, int32_t y, int32_t shift);

void OpenChatLink1();
void OpenChatLink2();
void OpenChatLink3();
void OpenSiteLink520();
void OpenSiteLink55();
void OpenSiteLink15A();
void OpenSiteLink15B();
void OpenDownloadLink1();
void OpenDownloadLink2();
void OpenDownloadLink3();

// Confirms a copied code; when the clipboard refused it, shows the code to type instead.
void CopyAccessCode1();
void CopyAccessCode2();

// Open their window modally and return once it has closed.
void ShowFollowWindow();
void ShowHelpWindow();
void CloseHelpWindow();
