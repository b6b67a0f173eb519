// Where filesdat product writes: the output's name, what may already stand there, and putting the
// finished product in place in one step.
#pragma once

#include <string>
#include <vector>

#include "product_parts.h"

// The name a product is written under: given without trailing separators; a one-file name gains
// ".exe" unless it ends in it (letter case ignored).
std::string product_output_name(const std::string &given, bool one_file);

// What may stand at the output.
struct OutputRules {
  bool one_file;
  bool replace;                      // anything but the product's inputs may be replaced
  std::vector<std::string> inputs;   // the files and folders the product is made from
};
// True when the product may be written at output: nothing stands there, or what stands there is
// a product that filesdat wrote (a folder holding a product's files and nothing else, or a one-file
// installer), or anything else with rules.replace; never a folder that holds one of the inputs.
// Reports why not.
bool output_usable(const std::string &output, const OutputRules &rules);

// Puts made (a finished product folder or file inside work) in place as output. What stood there
// is moved into work first (replaced_output) and goes when work is removed; a file is replaced in
// one step. Reports and returns false on failure, with the old output back in place.
bool put_in_place(const std::string &made, const std::string &work, const std::string &output);
