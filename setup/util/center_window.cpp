// center_window: places a window over the middle of another (or of the desktop).
#include "sdk/utilities.h"

void center_window(HWND reference, HWND window) {
  if (!reference) reference = GetDesktopWindow();
  RECT outer, inner;
  if (!GetWindowRect(reference, &outer) || !GetWindowRect(window, &inner)) return;
  int dx = (outer.left + outer.right - inner.left - inner.right) / 2;
  int dy = (outer.top + outer.bottom - inner.top - inner.bottom) / 2;
  MoveWindow(window, inner.left + dx, inner.top + dy, inner.right - inner.left, inner.bottom - inner.top, FALSE);
  SetForegroundWindow(window);
}
