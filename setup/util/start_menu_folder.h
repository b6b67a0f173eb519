// Start-menu folder names, shared by the Start-menu page and the shortcut step.
#pragma once

#include "sdk/setup_string.h"

// The built-in pair of the special folder rule (shared with the Start-menu page): a product name
// and the longer folder name used in its place. Both are empty, which disables the rule.
extern const char kSpecialProductName[];
extern const char kSpecialFolderName[];

// first := the text before the first backslash (all of it when there is none);
// rest := the text from that backslash on (empty when there is none).
void split_folder_name(const char *folder, String *first, String *rest);
