#include "net/background_fetch_win32.h"

#include <windows.h>

#include <cstring>
#include <utility>

#include "base/fatal.h"
#include "net/fetch_web_page.h"
#include "net/internet_client_win32.h"

namespace {

// What the worker reads and writes; the UI thread reads body only after done.
struct FetchJob {
  Text address;
  uint32_t budget_ms = 0;
  Bytes body;
  HANDLE done = nullptr;
  HANDLE thread = nullptr;
};

FetchJob* g_job = nullptr;

DWORD WINAPI RunFetch(void* param) {
  auto* job = static_cast<FetchJob*>(param);
  job->body = FetchWebPageWithin(job->address.c_str(), job->budget_ms);
  SetEvent(job->done);
  return 0;
}

// Past its budget the worker ends on its own; one still blocked in the
// system's name lookup is left to the process's end rather than waited for.
constexpr DWORD kJoinMs = 2000;

void JoinBackgroundFetch() {
  if (!g_job) return;
  if (WaitForSingleObject(g_job->thread, kJoinMs) != WAIT_OBJECT_0) return;
  CloseHandle(g_job->thread);
  CloseHandle(g_job->done);
  delete g_job;
  g_job = nullptr;
}

}  // namespace

bool StartBackgroundFetch(TextValue address, uint32_t budget_ms) {
  if (g_job) return false;
  // The root handle and its clean-up are made here, on the UI thread.
  if (!InternetRoot()) return false;
  auto* job = new FetchJob;
  if (address && *address) job->address = Text(NewText(address, std::strlen(address)));
  job->budget_ms = budget_ms;
  job->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (job->done) job->thread = CreateThread(nullptr, 0, RunFetch, job, 0, nullptr);
  if (!job->thread) {
    if (job->done) CloseHandle(job->done);
    delete job;
    return false;
  }
  g_job = job;
  // Added after the root's close, so it runs before it.
  AddCleanupStep(JoinBackgroundFetch);
  return true;
}

bool BackgroundFetchStarted() { return g_job != nullptr; }

Bytes TakeBackgroundFetch(uint32_t wait_ms) {
  if (!g_job || WaitForSingleObject(g_job->done, wait_ms) != WAIT_OBJECT_0) return Bytes();
  return std::move(g_job->body);
}
