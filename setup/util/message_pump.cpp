// The message pump that runs between the parts of a long step.
#include "util/message_pump.h"

namespace {

bool is_user_input(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

// Takes the next message from the queue, in the queue's own order; false when nothing but due
// timers is left. A timer comes only after every other kind of message, and is not taken: taken,
// it would be gone (the timer fires again only after its next interval), so it stays pending for
// the loop that owns it.
bool next_message(MSG *msg) {
  if (!PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE) || msg->message == WM_TIMER) return false;
  return PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE) != 0;
}

}  // namespace

void pump_pending_messages() {
  MSG msg;
  while (next_message(&msg)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (is_user_input(msg.message)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void pause_pumping(DWORD milliseconds) {
  for (DWORD start = GetTickCount();;) {
    pump_pending_messages();
    DWORD passed = GetTickCount() - start;
    if (passed >= milliseconds) return;
    // Timers stay pending for their loop, so they must not end the wait.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - passed, QS_ALLINPUT & ~QS_TIMER);
  }
}
