// The folder a product run writes in before its result is put in place: OUTPUT.work-PID beside the
// output, so that nothing of a run that does not finish shows under the output's name, and
// whatever such a run leaves is known by its name and removed by the next run for that output.
#pragma once

#include <string>

// This run's work folder for output.
std::string work_folder_for(const std::string &output);
// Where, inside a work folder, what stood at the output waits while the new product takes its place.
std::string replaced_output(const std::string &work);
// Undoes a run that did not finish: puts back what stood at output when the run had moved it away
// and nothing took its place, then removes the work folder. True when nothing of it is left.
bool abandon_work(const std::string &work, const std::string &output);
// Abandons the work folders for output of runs that no longer run (killed before they could clean
// up); those of running processes are left alone.
void sweep_stale_work(const std::string &output);
