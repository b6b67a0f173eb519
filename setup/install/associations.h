// The associations step: registers the script's file extensions with the installed programs.
#pragma once

#include "install/change_writer.h"

// For each association: if the extension already has a key, asks confirm_association; a No ends
// the step leaving this and all later associations unwritten. Otherwise writes
// HKCR\<ext> = "<ext>.file.type", the type key "<ext> file", its DefaultIcon and
// Shell\Open\Command, and records "<ext>,<prog>". An extension that is empty or holds a
// backslash names no extension key and is skipped. Always 0.
int write_associations(ChangeWriter *writer);

// Asks whether the existing association of extension may be replaced (strings 2026, 2027).
// 1 when the user answers No, 0 otherwise.
int confirm_association(SetupInfo *info, const char *extension);

// Fills template into out (size bytes, always terminated, cut when too long): the first "%s"
// becomes first, the second "%s" second, "%%" a single '%'; any other '%' sequence is kept as
// written, so a replaced string table can never make it read arguments that are not there.
void fill_two_texts(const char *template_text, const char *first, const char *second, char *out,
                    size_t size);
