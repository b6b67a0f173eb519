// System, path and shell utilities that setup uses itself and exports to hook libraries.
// None shows a message or keeps state; output buffers hold MAX_PATH (260) characters and
// are left unchanged on failure.
#pragma once

#include <windows.h>

#include "setup_api.h"
#include "setup_info.h"

// Windows version tests.
SETUP_API int is_this_winnt();
SETUP_API int is_this_win95();
SETUP_API int is_this_win98();
SETUP_API int is_this_win95_osr2();
SETUP_API int is_this_a_valid_win32();
SETUP_API int is_this_service_pack_3();
SETUP_API int is_this_japan();
SETUP_API int is_user_administrator();

// 1 when this run is silent ("/silent"): nobody watches it, so a hook shows nothing and asks nothing
// (a window it opens all the same is logged and answered with its default button), and refusing a
// page ends the run as cancelled. 0 in a run with the wizard.
SETUP_API int is_silent_run();

// Centres window on reference (null: the desktop) and brings it to the foreground.
SETUP_API void center_window(HWND reference, HWND window);

// Path and text checks. validate_path: 0 when a leading part of path exists as a file.
SETUP_API int validate_path(const char *path);
// 0 when text is null or holds one of / * ? " < > |
SETUP_API int validate_text(const char *text);
SETUP_API int path_is_ok(const char *path, int allow_root, int any_drive);

// Drives.
SETUP_API int find_first_drive(char *out);
SETUP_API int find_program_files(char *out);
SETUP_API void get_drive_path(const char *path, char *out);
SETUP_API int get_drive_info(const char *drive_root, unsigned long *total_mb, unsigned long *free_mb,
                             unsigned long *used_mb);

// Creates every missing level of path, outermost first; with record 1 each created level is
// entered in info's uninstall record. 1 when the whole path exists afterwards.
SETUP_API int create_path(SetupInfo *info, const char *path, int record);

// Shell.
SETUP_API void GetSpecialFolderch(int folder, char *out);
SETUP_API void get_win95_startpath(char *out);
SETUP_API int get_programs_path(char *out);
SETUP_API int create_start_link(const char *target, const char *shortcut_file, const char *description,
                                const char *arguments, const char *working_dir, const char *icon_file,
                                int icon_index);

// Starts command_line; with wait nonzero waits for it. Exit code, or 0xFFFFFFFF when it cannot start.
SETUP_API unsigned long run_program(int wait, const char *command_line);

// Loads string id from info's resource library, then from setup itself. 1 when found non-empty.
SETUP_API int load_res_string(SetupInfo *info, int id, char *buffer, unsigned long size);

// Schedules path for deletion at the next restart (MoveFileEx on NT, WinInit.Ini on 95/98).
SETUP_API void mark_file_for_deletion(const char *path);

// Size of a loose file, else of the files.dat member of that name; 0 when neither exists.
SETUP_API unsigned long get_file_size(const char *name);
// Writes the member name of the archive at archive_path (the files.dat layout, stored or
// compressed) to destination, overwriting it. 1 on success; 0 when the archive cannot be opened,
// holds no such member, or the member is damaged (then nothing is left at destination).
SETUP_API int extract_archive_member(const char *archive_path, const char *name, const char *destination);
