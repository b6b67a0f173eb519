// Cleanup on interrupt. POSIX: the signals are blocked in every thread and a watcher thread takes
// them with sigwait, where removing a folder is as safe as anywhere. Windows runs console control
// handlers on a thread of their own already.
#include "interrupt_cleanup.h"

#include "messages.h"
#include "work_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#endif

namespace {

// Set before the watch starts and not changed while it runs.
std::string g_work;
std::string g_output;
// Whether an interrupt still has a work folder to abandon; guarded by the gate.
bool g_watching = false;

void abandon() {
  if (!g_watching) return;
  report("interrupted: removing %s", g_work.c_str());
  abandon_work(g_work, g_output);
}

#ifdef _WIN32
CRITICAL_SECTION g_gate;
bool g_gate_ready = false;
// What a console program ends with when Ctrl+C ends it.
const UINT kInterruptedStatus = 0xC000013AU;

BOOL WINAPI on_console_event(DWORD) {
  EnterCriticalSection(&g_gate);
  abandon();
  ExitProcess(kInterruptedStatus);
  return TRUE;
}
#else
pthread_mutex_t g_gate = PTHREAD_MUTEX_INITIALIZER;
sigset_t g_signals;
bool g_started = false;

void *watch_signals(void *) {
  for (;;) {
    int signal_number = 0;
    if (sigwait(&g_signals, &signal_number) != 0) continue;
    pthread_mutex_lock(&g_gate);
    abandon();
    // End as the signal would have ended the process, so the caller sees how it ended.
    signal(signal_number, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal_number);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    raise(signal_number);
    _exit(128 + signal_number);
  }
  return nullptr;
}
#endif

void lock_gate() {
#ifdef _WIN32
  EnterCriticalSection(&g_gate);
#else
  pthread_mutex_lock(&g_gate);
#endif
}

void unlock_gate() {
#ifdef _WIN32
  LeaveCriticalSection(&g_gate);
#else
  pthread_mutex_unlock(&g_gate);
#endif
}

// Starts the watch once per process: false (reported) when it cannot.
bool start_watch() {
#ifdef _WIN32
  if (g_gate_ready) return true;
  InitializeCriticalSection(&g_gate);
  g_gate_ready = true;
  if (SetConsoleCtrlHandler(on_console_event, TRUE)) return true;
  report("cannot watch for interrupts (error %lu)", static_cast<unsigned long>(GetLastError()));
  return false;
#else
  if (g_started) return true;
  sigemptyset(&g_signals);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&g_signals, signal_number);
  // Blocked before the thread starts, so that it inherits the mask and every thread leaves the
  // signals to its sigwait.
  int failed = pthread_sigmask(SIG_BLOCK, &g_signals, nullptr);
  pthread_t watcher;
  if (!failed) failed = pthread_create(&watcher, nullptr, watch_signals, nullptr);
  if (failed) {
    pthread_sigmask(SIG_UNBLOCK, &g_signals, nullptr);
    report("cannot watch for interrupts: %s", strerror(failed));
    return false;
  }
  pthread_detach(watcher);
  g_started = true;
  return true;
#endif
}

}  // namespace

bool clean_up_on_interrupt(const std::string &work, const std::string &output) {
  if (!start_watch()) return false;
  lock_gate();
  g_work = work;
  g_output = output;
  g_watching = true;
  unlock_gate();
  return true;
}

void end_interrupt_cleanup() {
#ifdef _WIN32
  if (!g_gate_ready) return;
#endif
  lock_gate();
  g_watching = false;
  unlock_gate();
}
