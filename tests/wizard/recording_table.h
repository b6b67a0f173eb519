// A hook table for tests of the install and uninstall sequences: it records every hook call by
// name, in order, and answers each hook from a per-hook list of results. Unless a test says
// otherwise the Before hook of every wizard page skips its page (2) and every other hook goes on
// (0), so a whole wizard runs without showing a dialog.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "sdk/dispatch_table.h"

using HookCalls = std::vector<std::string>;
// {4, 0}: the first call returns 4, every later call 0.
using HookResults = std::map<std::string, std::vector<int>>;

class RecordingTable : public SetupDispatchTable {
 public:
  // A sequence that calls hooks more often than this is looping; every hook then fails (-1).
  static const size_t kCallLimit = 100;

  explicit RecordingTable(HookResults results = {}) : results_(std::move(results)) {}

  HookCalls calls;
  std::function<void(const std::string &hook)> on_call;  // runs before the hook answers

#define RECORDED_HOOK(name, fallback) \
  int name(SetupInfo *, void *) override { return answer(#name, fallback); }
  RECORDED_HOOK(SetupCreate, 0)
  RECORDED_HOOK(SetupDestroy, 0)
  RECORDED_HOOK(BeforeIntroDialog, 2)
  RECORDED_HOOK(AfterIntroDialog, 0)
  RECORDED_HOOK(BeforeEulaDialog, 2)
  RECORDED_HOOK(AfterEulaDialog, 0)
  RECORDED_HOOK(BeforePathDialog, 2)
  RECORDED_HOOK(AfterPathDialog, 0)
  RECORDED_HOOK(BeforeStartDialog, 2)
  RECORDED_HOOK(AfterStartDialog, 0)
  RECORDED_HOOK(CopyBefore, 0)
  RECORDED_HOOK(CopyAfter, 0)
  RECORDED_HOOK(BeforeReadyDialog, 2)
  RECORDED_HOOK(AfterReadyDialog, 0)
  RECORDED_HOOK(BeforeCompleteDialog, 2)
  RECORDED_HOOK(AfterCompleteDialog, 0)
  RECORDED_HOOK(UninstallCreate, 0)
  RECORDED_HOOK(UninstallDestroy, 0)
  RECORDED_HOOK(BeforePreviousDialog, 0)
  RECORDED_HOOK(AfterPreviousDialog, 0)
  RECORDED_HOOK(BeforeVerifyUninstallDialog, 0)
  RECORDED_HOOK(AfterVerifyUninstallDialog, 0)
  RECORDED_HOOK(BeforeUninstallDialog, 0)
  RECORDED_HOOK(AfterUninstallDialog, 0)
#undef RECORDED_HOOK

 private:
  int answer(const char *hook, int fallback) {
    if (calls.size() >= kCallLimit) return -1;
    size_t call = static_cast<size_t>(std::count(calls.begin(), calls.end(), hook));
    calls.push_back(hook);
    if (on_call) on_call(hook);
    auto found = results_.find(hook);
    if (found == results_.end() || found->second.empty()) return fallback;
    return found->second[std::min(call, found->second.size() - 1)];
  }

  HookResults results_;
};
