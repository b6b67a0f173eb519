// The full-screen main window: its class and style, the painted colour and bitmap (read back
// pixel by pixel), and the wizard started once from its timer.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include "wizard/recording_table.h"

namespace {

const COLORREF kBackground = RGB(0x20, 0x40, 0x80);
const COLORREF kBody = RGB(0xC0, 0xA0, 0x60);
const COLORREF kTopLeft = RGB(0xFF, 0x00, 0x00);
const COLORREF kBottomRight = RGB(0x00, 0xFF, 0x00);

// A w by h bitmap of kBody whose top-left pixel is kTopLeft and bottom-right pixel kBottomRight,
// so that one pixel read tells which part of a copy lies there.
HBITMAP marked_bitmap(int w, int h) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all = {0, 0, w, h};
  HBRUSH body = CreateSolidBrush(kBody);
  FillRect(memory, &all, body);
  DeleteObject(body);
  SetPixel(memory, 0, 0, kTopLeft);
  SetPixel(memory, w - 1, h - 1, kBottomRight);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

COLORREF pixel(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return color;
}

// Leaves the quit message a destroyed main window posts, so later tests' loops are not ended by it.
void drop_quit_message() {
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

struct Point {
  int x, y;
  COLORREF color;
};

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { register_main_window_class(GetModuleHandleA(nullptr)); }

  MainWindowTest() { info_.background_color = kBackground; }
  ~MainWindowTest() override {
    if (info_.background_bitmap) DeleteObject(info_.background_bitmap);
  }

  // Creates, shows and paints the main window, as start-up does.
  HWND open() {
    if (!create_main_window(GetModuleHandleA(nullptr), &info_, &table_)) return nullptr;
    ShowWindow(info_.main_window, SW_SHOWNORMAL);
    UpdateWindow(info_.main_window);
    return info_.main_window;
  }

  void close(HWND window) {
    DestroyWindow(window);
    drop_quit_message();
  }

  void use_bitmap(int w, int h, int tiled) {
    info_.background_bitmap = marked_bitmap(w, h);
    info_.has_bitmap = 1;
    info_.bitmap_tiled = tiled;
  }

  SetupInfo info_;
  RecordingTable table_;
};

TEST_F(MainWindowTest, IsAHiddenFullScreenPopUpOfItsClass) {
  WNDCLASSEXA window_class = {};
  window_class.cbSize = sizeof window_class;
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "zindlesetup", &window_class));
  EXPECT_EQ(static_cast<UINT>(CS_HREDRAW | CS_VREDRAW), window_class.style);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), window_class.hbrBackground);
  EXPECT_EQ(0, window_class.cbClsExtra + window_class.cbWndExtra);

  ASSERT_TRUE(create_main_window(GetModuleHandleA(nullptr), &info_, &table_));
  HWND window = info_.main_window;
  char text[32] = {0};
  GetClassNameA(window, text, sizeof text);
  EXPECT_STREQ("zindlesetup", text);
  GetWindowTextA(window, text, sizeof text);
  EXPECT_STREQ("zindlesetup", text);
  LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_EQ(WS_POPUP, style & (WS_POPUP | WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_BORDER | WS_THICKFRAME));
  EXPECT_EQ(0, GetWindowLongA(window, GWL_EXSTYLE));
  RECT box;
  GetWindowRect(window, &box);
  EXPECT_EQ(0, box.left);
  EXPECT_EQ(0, box.top);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), box.right);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), box.bottom);
  close(window);
}

TEST_F(MainWindowTest, PaintsTheColourAndTheBitmapCentredOrTiled) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  // A 65 by 49 bitmap centred: x = cx / 2 - 32, y = cy / 2 - 24.
  const int x = cx / 2 - 32, y = cy / 2 - 24;
  const struct {
    const char *what;
    int w, h, tiled, has_bitmap;
    std::vector<Point> points;
  } cases[] = {
      {"centred", 65, 49, 0, 1,
       {{x, y, kTopLeft}, {x + 64, y + 48, kBottomRight}, {x - 1, y, kBackground}, {x + 65, y + 48, kBackground},
        {x, y - 1, kBackground}, {x + 64, y + 49, kBackground}, {0, 0, kBackground}, {cx - 1, cy - 1, kBackground}}},
      {"tiled from the top left", 64, 48, 1, 1,
       {{0, 0, kTopLeft}, {63, 47, kBottomRight}, {64, 0, kTopLeft}, {640, 480, kTopLeft},
        {cx - 1, cy - 1, kBottomRight}, {cx / 2 + 1, cy / 2 + 1, kBody}}},
      {"no bitmap loaded", 65, 49, 0, 0, {{x, y, kBackground}, {0, 0, kBackground}}},
  };
  ASSERT_EQ(0, cx % 64) << "the tiled points assume a screen a whole number of tiles wide";
  ASSERT_EQ(0, cy % 48);
  for (const auto &c : cases) {
    use_bitmap(c.w, c.h, c.tiled);
    info_.has_bitmap = c.has_bitmap;
    HWND window = open();
    ASSERT_NE(nullptr, window) << c.what;
    for (const Point &p : c.points)
      EXPECT_EQ(p.color, pixel(window, p.x, p.y)) << c.what << " at " << p.x << "," << p.y;
    close(window);
    DeleteObject(info_.background_bitmap);
    info_.background_bitmap = nullptr;
  }
}

LRESULT CALLBACK plain_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ERASEBKGND) return 1;
  if (message == WM_PAINT) ValidateRect(window, nullptr);
  return DefWindowProcA(window, message, wparam, lparam);
}

// Tiles stop at 2048 pixels: a window larger than that, placed so that its far corner is on the
// screen, shows the colour beyond the last tile.
TEST_F(MainWindowTest, TilesCoverTheFirst2048PixelsOnly) {
  WNDCLASSA plain = {};
  plain.lpfnWndProc = plain_window_proc;
  plain.hInstance = GetModuleHandleA(nullptr);
  plain.lpszClassName = "zindle_large_window";
  RegisterClassA(&plain);
  const int size = 2100, cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  HWND window = CreateWindowExA(0, plain.lpszClassName, "", WS_POPUP | WS_VISIBLE, cx - size, cy - size, size, size,
                                nullptr, nullptr, plain.hInstance, nullptr);
  ASSERT_NE(nullptr, window);
  RECT client;
  GetClientRect(window, &client);
  ASSERT_EQ(size, client.right) << "the system would not make a window this large";
  const struct {
    int w, h;
    std::vector<Point> points;
  } cases[] = {
      // 32 tiles end exactly at 2048; nothing starts there.
      {64, 64,
       {{2047, 2047, kBottomRight}, {2048, 2047, kBackground}, {2047, 2048, kBackground}, {2099, 2099, kBackground}}},
      // The tile at 2000 starts below 2048 and is drawn whole.
      {100, 100, {{2000, 2000, kTopLeft}, {2099, 2099, kBottomRight}, {2099, 1999, kBottomRight}}},
  };
  for (const auto &c : cases) {
    use_bitmap(c.w, c.h, 1);
    fill_background(window, kBackground);
    draw_background_bitmap(window, &info_);
    for (const Point &p : c.points) EXPECT_EQ(p.color, pixel(window, p.x, p.y)) << c.w << " at " << p.x << "," << p.y;
    DeleteObject(info_.background_bitmap);
    info_.background_bitmap = nullptr;
  }
  DestroyWindow(window);
}

// The timer starts the wizard once, half a second after the window appeared, and the window
// closes when the wizard returns; a window closed before that never starts it.
TEST_F(MainWindowTest, TimerRunsTheWizardOnceAndTheWindowThenCloses) {
  const struct {
    const char *what;
    bool closed_at_once;
    HookCalls expected_calls;
    int expected_result;
  } cases[] = {
      {"wizard stopped by SetupCreate", false, {"SetupCreate"}, 7},
      {"closed (Alt+F4) before the timer", true, {}, 1},
  };
  for (const auto &c : cases) {
    RecordingTable table({{"SetupCreate", {7}}});
    DWORD created = 0, started = 0;
    // SetupCreate keeps messages flowing for a second, as a dialog would; a timer left running
    // would start the wizard a second time meanwhile.
    table.on_call = [&](const std::string &) {
      if (table.calls.size() > 1) return;
      started = GetTickCount();
      MSG message = {};
      for (DWORD t = GetTickCount(); GetTickCount() - t < 1200 && message.message != WM_QUIT; Sleep(10)) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && message.message != WM_QUIT)
          DispatchMessageA(&message);
      }
      if (message.message == WM_QUIT) PostQuitMessage(0);
    };
    ASSERT_TRUE(create_main_window(GetModuleHandleA(nullptr), &info_, &table)) << c.what;
    created = GetTickCount();
    HWND window = info_.main_window;
    ShowWindow(window, SW_SHOWNORMAL);
    if (c.closed_at_once) SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    EXPECT_FALSE(IsWindow(window)) << c.what;
    EXPECT_EQ(c.expected_calls, table.calls) << c.what;
    EXPECT_EQ(c.expected_result, main_window_wizard_result()) << c.what;
    if (!c.closed_at_once) {
      EXPECT_GE(started - created, 450u) << c.what;
      EXPECT_LT(started - created, 2500u) << c.what;
    }
  }
}

}  // namespace
