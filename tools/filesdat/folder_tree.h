// Whole folders: listing, removing a tree, moving a file or folder, and telling whether one path
// lies inside another. POSIX and Win32.
#pragma once

#include <string>
#include <vector>

// The names in folder (without "." and ".."), sorted. False (errno set) when it cannot be read.
bool list_folder(const std::string &folder, std::vector<std::string> *names);
// Removes path and, when it is a folder, everything in it. Links are removed, never followed.
// True when nothing is left under path; on failure errno tells the last problem.
bool remove_tree(const std::string &path);
// Moves source to target, which must not exist. False (errno set) on failure.
bool move_path(const std::string &source, const std::string &target);
// True when path (which exists) is folder or lies below it, links resolved.
bool is_inside(const std::string &path, const std::string &folder);
