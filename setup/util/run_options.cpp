// The command line's switches: "/silent", "/dir=PATH", "/group=NAME", "/log=PATH" and "/bundle=PATH",
// any case.
#include "util/run_options.h"

#include <cstring>

#include "sdk/utilities.h"
#include "util/bounded_text.h"

namespace {

RunOptions g_run_options;

}  // namespace

const RunOptions &run_options() { return g_run_options; }

void set_run_options(const RunOptions &options) { g_run_options = options; }

int is_silent_run() { return g_run_options.silent ? 1 : 0; }

namespace {

// The text after "/name=" when word is that switch with a value; null otherwise.
const char *switch_value(const char *word, const char *name) {
  size_t length = strlen(name);
  char head[16];
  if (length >= sizeof head || strlen(word) <= length + 2) return nullptr;  // no empty value
  memcpy(head, word + 1, length);
  head[length] = 0;
  if (ascii_compare_nocase(head, name) != 0 || word[length + 1] != '=') return nullptr;
  return word + length + 2;
}

int take_switch(const char *word, RunOptions *out) {
  if (ascii_compare_nocase(word, "/silent") == 0) {
    out->silent = true;
    return 1;
  }
  struct Valued {
    const char *name;
    String RunOptions::*field;
  };
  static const Valued kValued[] = {
      {"dir", &RunOptions::install_dir},
      {"group", &RunOptions::start_menu_folder},
      {"log", &RunOptions::log_path},
      {"bundle", &RunOptions::bundle_path}};
  for (const Valued &entry : kValued) {
    const char *value = switch_value(word, entry.name);
    if (!value) continue;
    out->*entry.field = value;
    return 1;
  }
  return 0;
}

}  // namespace

int take_run_options(const CommandWords &args, uint32_t first, RunOptions *out, String *unknown) {
  for (uint32_t i = first; i < args.count(); ++i) {
    if (!is_switch_word(args[i]) || take_switch(args[i], out)) continue;
    if (unknown->length() == 0) *unknown = args[i];
  }
  return unknown->length() == 0;
}

int format_passed_switches(const RunOptions &options, char *out, size_t size) {
  const char *silent = options.silent ? " /silent" : "";
  if (options.log_path.length() == 0) return copy_text(out, size, silent);
  return format_text(out, size, "%s \"/log=%s\"", silent, options.log_path.c_str());
}
