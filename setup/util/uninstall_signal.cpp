// The named event that marks the end of an uninstall for a waiting installer.
#include "util/product_keys.h"
#include "util/uninstall_signal.h"

#include <cstring>

#include "scoped.h"
#include "util/bounded_text.h"

namespace {

// Object names may not hold a backslash; such a product name has no record either.
int event_name(const char *product_name, char *out, size_t size) {
  if (!names_one_key(product_name)) return 0;
  return format_text(out, size, "zindlesetup uninstall finished: %s", product_name);
}

}  // namespace

HANDLE create_uninstall_finished_event(const char *product_name) {
  char name[MAX_PATH];
  if (!event_name(product_name, name, sizeof name)) return nullptr;
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name);
  if (event && GetLastError() == ERROR_ALREADY_EXISTS) ResetEvent(event);
  return event;
}

void signal_uninstall_finished(const char *product_name) {
  char name[MAX_PATH];
  if (!event_name(product_name, name, sizeof name)) return;
  ScopedHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, name));
  if (event.valid()) SetEvent(event.get());
}
