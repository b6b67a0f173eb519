// The command line's answers to the wizard's pages: /dir and /group give the Directory and
// Start-menu pages their values, and a silent run answers each page as its Next would.
#pragma once

#include <windows.h>

#include "sdk/setup_info.h"

// Gives a page's value from its switch, when one was given, as the page's Next would: whether or
// not the page is then shown, the administrator's choice stands.
void preset_page(SetupInfo *info, WORD page_id);
// What the page's Next does with the value it shows: RESULT_GO_ON, or RESULT_FAILED (logged) for
// an install directory the page would not accept.
int answer_page_silently(SetupInfo *info, WORD page_id);
