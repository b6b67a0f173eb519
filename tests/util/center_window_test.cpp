// center_window on real windows of this program.
#include <gtest/gtest.h>

#include "sdk/utilities.h"

namespace {

HWND make_window(int x, int y, int width, int height) {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(CenterWindow, PlacesTheWindowOverTheMiddleOfTheReference) {
  HWND reference = make_window(100, 50, 401, 301);
  HWND window = make_window(0, 0, 100, 40);
  ASSERT_TRUE(reference && window);
  center_window(reference, window);
  RECT r;
  GetWindowRect(window, &r);
  // (100 + 501 - 0 - 100) / 2 = 250 across, (50 + 351 - 0 - 40) / 2 = 180 down, rounded toward zero.
  EXPECT_EQ(250, r.left);
  EXPECT_EQ(180, r.top);
  EXPECT_EQ(100, r.right - r.left);
  EXPECT_EQ(40, r.bottom - r.top);
  DestroyWindow(window);
  DestroyWindow(reference);
}

TEST(CenterWindow, NullReferenceMeansTheDesktop) {
  HWND window = make_window(3, 5, 200, 100);
  ASSERT_TRUE(window);
  center_window(nullptr, window);
  RECT desktop, r;
  GetWindowRect(GetDesktopWindow(), &desktop);
  GetWindowRect(window, &r);
  EXPECT_EQ(3 + (desktop.left + desktop.right - 3 - 203) / 2, r.left);
  EXPECT_EQ(5 + (desktop.top + desktop.bottom - 5 - 105) / 2, r.top);
  DestroyWindow(window);
}

}  // namespace
