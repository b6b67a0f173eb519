// Message-box recorder for test programs.
#include "support/message_recorder.h"

#include "util/messages.h"

namespace {
std::vector<RecordedBox> g_boxes;
int g_answer = IDOK;

int WINAPI record_box(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  g_boxes.push_back({text ? text : "", caption ? caption : "", type});
  return g_answer;
}
}  // namespace

MessageRecorder::MessageRecorder(int answer) {
  g_boxes.clear();
  g_answer = answer;
  g_message_box = record_box;
}

MessageRecorder::~MessageRecorder() { g_message_box = MessageBoxA; }

const std::vector<RecordedBox> &MessageRecorder::boxes() const { return g_boxes; }

std::string MessageRecorder::seen() const {
  std::string all;
  for (const RecordedBox &box : g_boxes) all += "[" + box.caption + "] " + box.text + "\n";
  return all;
}
