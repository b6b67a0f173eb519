// Painting the main window's background: the script's colour, then its bitmap centred or tiled.
#include "app/main_window.h"
#include "script/script_reader.h"
#include "scoped.h"

namespace {

// Tiles cover this square whatever the screen size, starting at the top left corner.
const int kTileLimit = 2048;

}  // namespace

void fill_background(HWND window, COLORREF color) {
  ScopedWindowDC dc(window);
  if (!dc.get()) return;
  RECT client;
  GetClientRect(window, &client);
  ScopedGdiObject brush(CreateSolidBrush(color));
  FillRect(dc.get(), &client, static_cast<HBRUSH>(brush.get()));
}

void draw_background_bitmap(HWND window, const SetupInfo *info) {
  if (!info->has_bitmap || !info->background_bitmap) return;
  ScopedWindowDC window_dc(window);
  HDC dc = window_dc.get();
  if (!dc) return;
  ScopedMemoryDC memory_dc(dc);
  HDC memory = memory_dc.get();
  ScopedSelection selected(memory, info->background_bitmap);
  BITMAP bitmap = {};
  GetObjectA(info->background_bitmap, sizeof bitmap, &bitmap);
  int w = bitmap.bmWidth, h = bitmap.bmHeight, scale = background_scale();
  if (!info->bitmap_tiled) {
    int x = GetSystemMetrics(SM_CXSCREEN) / 2 - w * scale / 2;
    int y = GetSystemMetrics(SM_CYSCREEN) / 2 - h * scale / 2;
    // A whole multiple: each pixel becomes a square of them, which every Windows draws alike.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, w * scale, h * scale, memory, 0, 0, w, h, SRCCOPY);
  } else if (w > 0 && h > 0) {
    for (int x = 0; x < kTileLimit; x += w)
      for (int y = 0; y < kTileLimit; y += h) BitBlt(dc, x, y, w, h, memory, 0, 0, SRCCOPY);
  }
}
