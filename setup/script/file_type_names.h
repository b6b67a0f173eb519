// The names the script gives the file types of its associations ("Pixel Paint picture"), kept
// beside SetupInfo, whose item layout hook libraries are built against, by extension.
#pragma once

// Keeps name for the file type of extension; a later name for the same extension replaces it.
// 0 when memory is short.
int set_file_type_name(const char *extension, const char *name);
// The script's name for extension's file type, or null when it gave none.
const char *file_type_name(const char *extension);
