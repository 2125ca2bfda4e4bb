#include "net/deadline_request_win32.h"

#include "net/wininet_win32.h"

namespace {

constexpr LONG kArmed = 0;
constexpr LONG kClosedByDeadline = 1;
constexpr LONG kClosedByOwner = 2;

}  // namespace

bool DeadlineRequest::Start(HINTERNET request, DWORD ms) {
  request_ = request;
  if (!CreateTimerQueueTimer(&timer_, nullptr, OnDeadline, this, ms, 0, WT_EXECUTEONLYONCE)) {
    timer_ = nullptr;
    return false;
  }
  return true;
}

VOID CALLBACK DeadlineRequest::OnDeadline(PVOID self, BOOLEAN) {
  auto* me = static_cast<DeadlineRequest*>(self);
  if (InterlockedCompareExchange(&me->state_, kClosedByDeadline, kArmed) == kArmed) {
    WinInet()->InternetCloseHandle(me->request_);
  }
}

DeadlineRequest::~DeadlineRequest() {
  if (!request_) return;
  bool ours = InterlockedCompareExchange(&state_, kClosedByOwner, kArmed) == kArmed;
  // Waits for a callback under way: it reads this object.
  if (timer_) DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
  if (ours) WinInet()->InternetCloseHandle(request_);
}
