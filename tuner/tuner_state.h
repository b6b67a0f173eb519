// Program-wide state of the tuner: its instance, its texts, the current record and the dialog mode.
#pragma once

#include <windows.h>

class TunerSettings;

extern HINSTANCE g_instance;
extern char g_title[256];        // string 1: dialog title, message-box caption, single-instance key
extern char g_product_key[512];  // string 4: the product key under HKEY_LOCAL_MACHINE
extern char g_text_more[256];    // string 8: Advanced button while basic
extern char g_text_less[256];    // string 9: Advanced button while expanded
extern int g_mode;               // 0 basic, 1 expanded; mirrored in "Mode" of the product key

// Remembers the instance and loads strings 1, 4, 8 and 9 into their buffers.
void load_program_strings(HINSTANCE instance);

// The record being edited: owned by the program from start-up until the dialog ends.
TunerSettings *current_settings();
// Makes settings (may be null) the current record, freeing any record held before.
void adopt_settings(TunerSettings *settings);
// Frees the current record; current_settings() is null afterwards.
void release_settings();

// Loads a string of the tuner into buffer; empty text when it is missing.
void load_tuner_string(unsigned id, char *buffer, int capacity);
