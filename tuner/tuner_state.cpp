// Program-wide state of the tuner: its instance, its texts, the current record and the dialog mode.
#include "tuner_state.h"

#include "resource.h"
#include "tuner_settings.h"

HINSTANCE g_instance = nullptr;
char g_title[256];
char g_product_key[512];
char g_text_more[256];
char g_text_less[256];
int g_mode = 0;

namespace {

TunerSettings *g_settings = nullptr;

}  // namespace

void load_tuner_string(unsigned id, char *buffer, int capacity) {
  if (capacity <= 0) return;
  buffer[0] = '\0';
  if (LoadStringA(g_instance, id, buffer, capacity) <= 0) buffer[0] = '\0';
}

void load_program_strings(HINSTANCE instance) {
  g_instance = instance;
  load_tuner_string(IDS_TITLE, g_title, sizeof g_title);
  load_tuner_string(IDS_PRODUCT_KEY, g_product_key, sizeof g_product_key);
  load_tuner_string(IDS_ADVANCED_MORE, g_text_more, sizeof g_text_more);
  load_tuner_string(IDS_ADVANCED_LESS, g_text_less, sizeof g_text_less);
}

TunerSettings *current_settings() { return g_settings; }

void adopt_settings(TunerSettings *settings) {
  if (g_settings != settings) delete g_settings;
  g_settings = settings;
}

void release_settings() {
  delete g_settings;
  g_settings = nullptr;
}
