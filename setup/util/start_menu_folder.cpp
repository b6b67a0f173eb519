// Start-menu folder names: the special folder pair and the split at the first backslash.
#include "util/start_menu_folder.h"

#include <cstring>

const char kSpecialProductName[] = "";
const char kSpecialFolderName[] = "";

void split_folder_name(const char *folder, String *first, String *rest) {
  const char *text = folder ? folder : "";
  const char *slash = strchr(text, '\\');
  String head;
  if (slash) {
    for (const char *p = text; p < slash; ++p) head.append(*p, 1);
  } else {
    head = text;
  }
  *first = head;
  *rest = slash ? slash : "";
}
