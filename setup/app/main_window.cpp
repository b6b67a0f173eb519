// The main window: class, creation, and the window procedure that drives the wizard.
#include "app/main_window.h"

#include "install/install_sequence.h"
#include "scoped.h"
#include "wizard/wizard.h"

const char kMainWindowClass[] = "zindlesetup";

namespace {

const UINT_PTR kWizardTimer = 1;

struct MainWindowState {
  SetupInfo *info = nullptr;
  SetupDispatchTable *table = nullptr;
  ScopedGdiObject face_brush{nullptr};  // the labels' background, remade when the colours change
  int wizard_result = 1;  // a window closed before the wizard ran counts as cancelled
};

MainWindowState g_state;

void recreate_face_brush() {
  g_state.face_brush.reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
}

void paint(HWND window) {
  PAINTSTRUCT ps;
  BeginPaint(window, &ps);
  fill_background(window, g_state.info->background_color);
  draw_background_bitmap(window, g_state.info);
  EndPaint(window, &ps);
}

void run_wizard_once(HWND window) {
  KillTimer(window, kWizardTimer);
  g_state.wizard_result = run_wizard(g_state.info, g_state.table, run_install_steps);
  DestroyWindow(window);
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      recreate_face_brush();
      fill_background(window, g_state.info->background_color);
      SetTimer(window, kWizardTimer, 500, nullptr);
      return 0;
    case WM_PAINT:
      paint(window);
      return 0;
    case WM_TIMER:
      run_wizard_once(window);
      return 0;
    case WM_DESTROY:
      g_state.face_brush.reset();
      PostQuitMessage(0);
      return 0;
    case WM_SYSCOLORCHANGE:
      recreate_face_brush();
      return 0;
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(g_state.face_brush.get());
    case WM_COMMAND:
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace

int register_main_window_class(HINSTANCE instance) {
  WNDCLASSEXA window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = main_window_proc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
  window_class.hIconSm = window_class.hIcon;
  window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  window_class.lpszClassName = kMainWindowClass;
  return RegisterClassExA(&window_class) != 0;
}

int create_main_window(HINSTANCE instance, SetupInfo *info, SetupDispatchTable *table) {
  g_state.info = info;
  g_state.table = table;
  g_state.wizard_result = RESULT_CANCELLED;  // until this window's timer runs the wizard
  HWND window = CreateWindowExA(0, kMainWindowClass, kMainWindowClass, WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
  if (!window) return 0;
  info->main_window = window;
  HMENU menu = GetSystemMenu(window, FALSE);
  if (menu) {
    EnableMenuItem(menu, SC_MOVE, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
    EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
  }
  return 1;
}

int main_window_wizard_result() { return g_state.wizard_result; }
