// Drives the running tuner's dialog from outside, as a person would, for the end-to-end tests.
// Each argument is one step, done in order; the first step that fails ends the program with 1.
//   wait                 wait until the dialog is shown
//   click=ID             click a control whose handler opens no window (sent, so it has finished after)
//   press=ID             click a control whose handler opens a message box (posted)
//   type=ID:TEXT         replace the text of an edit field
//   expect=ID:TEXT       the control's text must be TEXT
//   checked=ID:0|1       the button's check state
//   height=basic|full    the dialog must end just below the basic area or show everything
//   answer=ok|yes|no[:TEXT]  wait for a message box (whose text must be TEXT), press the button
//   gone                 wait until the dialog has closed
//   dialogs=N            exactly N tuner dialogs are open
//   rect                 print the dialog's window rectangle as WxH+X+Y for cropping a screenshot
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../tuner/dialog_driver.h"

namespace {

int fail(const std::string &step, const std::string &why) {
  fprintf(stderr, "tuner_driver: %s: %s\n", step.c_str(), why.c_str());
  return 1;
}

// Splits "HEAD:TAIL"; has_tail tells whether there was a colon.
void split(const std::string &argument, std::string *head, std::string *tail, bool *has_tail) {
  size_t colon = argument.find(':');
  *head = argument.substr(0, colon);
  *has_tail = colon != std::string::npos;
  *tail = *has_tail ? argument.substr(colon + 1) : std::string();
}

int answer(const std::string &step, const std::string &argument) {
  std::string name, expected;
  bool check_text = false;
  split(argument, &name, &expected, &check_text);
  int button = name == "yes" ? IDYES : name == "no" ? IDNO : IDOK;
  HWND box = driver::wait_message_box();
  if (!box) return fail(step, "no message box");
  std::string text = driver::message_text(box);
  if (check_text && text != expected) return fail(step, "message is \"" + text + "\"");
  window_driver::press(box, button);
  return driver::wait_gone(box) ? 0 : fail(step, "message box stays");
}

int control_step(HWND dialog, const std::string &step, const std::string &verb, const std::string &argument) {
  std::string id, value;
  bool has_value = false;
  split(argument, &id, &value, &has_value);
  HWND control = GetDlgItem(dialog, atoi(id.c_str()));
  if (!control) return fail(step, "no such control");
  if (verb == "click") {
    driver::click(dialog, atoi(id.c_str()));
  } else if (verb == "press") {
    driver::press(dialog, atoi(id.c_str()));
  } else if (verb == "type") {
    driver::type(dialog, atoi(id.c_str()), value.c_str());
  } else if (verb == "expect") {
    std::string have = driver::window_text(control);
    if (have != value) return fail(step, "text is \"" + have + "\"");
  } else if (verb == "checked") {
    if (driver::checked(dialog, atoi(id.c_str())) != (value == "1")) return fail(step, "other check state");
  } else {
    return fail(step, "unknown step");
  }
  return 0;
}

int step(HWND &dialog, const std::string &text) {
  size_t equals = text.find('=');
  std::string verb = text.substr(0, equals);
  std::string argument = equals == std::string::npos ? std::string() : text.substr(equals + 1);
  if (verb == "wait") {
    dialog = driver::wait_dialog();
    return dialog ? 0 : fail(text, "no dialog");
  }
  if (verb == "answer") return answer(text, argument);
  if (verb == "dialogs") {
    int count = driver::count_dialogs();
    return count == atoi(argument.c_str()) ? 0 : fail(text, std::to_string(count) + " dialogs");
  }
  if (!dialog) dialog = driver::find(true);
  if (!dialog) return fail(text, "no dialog");
  if (verb == "gone") return driver::wait_gone(dialog) ? 0 : fail(text, "dialog stays");
  if (verb == "rect") {
    RECT box;
    GetWindowRect(dialog, &box);
    printf("%ldx%ld+%ld+%ld\n", box.right - box.left, box.bottom - box.top, box.left, box.top);
    return 0;
  }
  if (verb == "height") {
    int want = driver::height_to(dialog, argument == "full" ? IDC_MARK_FULL : IDC_MARK_BASIC);
    int have = driver::height(dialog);
    return have == want ? 0 : fail(text, "height " + std::to_string(have) + ", not " + std::to_string(want));
  }
  return control_step(dialog, text, verb, argument);
}

}  // namespace

int main(int argc, char **argv) {
  HWND dialog = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (step(dialog, argv[i]) != 0) return 1;
  }
  fflush(stdout);
  return 0;
}
