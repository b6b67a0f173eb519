// Answers setup's message boxes in test programs and records what they showed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct RecordedBox {
  std::string text;
  std::string caption;  // "" for the default caption
  UINT type;
};

// While alive, every box goes to the recorder and is answered with `answer`.
class MessageRecorder {
 public:
  explicit MessageRecorder(int answer = IDOK);
  ~MessageRecorder();
  const std::vector<RecordedBox> &boxes() const;
  // Every box so far, caption and text, for a failed check to print.
  std::string seen() const;
};
