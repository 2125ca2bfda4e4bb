// Owns a fetch's request handle and closes it exactly once: from a timer-queue
// thread when the fetch's time is up (closing is how WinINet cancels a blocked
// call), or when the owner goes, whichever comes first. Does not touch the
// connection handle.
#pragma once

#include <windows.h>
#include <wininet.h>

class DeadlineRequest {
 public:
  DeadlineRequest() = default;
  DeadlineRequest(const DeadlineRequest&) = delete;
  DeadlineRequest& operator=(const DeadlineRequest&) = delete;
  ~DeadlineRequest();

  // Takes the handle and closes it after ms; false when no timer could be made.
  bool Start(HINTERNET request, DWORD ms);
  HINTERNET get() const { return request_; }

 private:
  static VOID CALLBACK OnDeadline(PVOID self, BOOLEAN fired);

  HINTERNET request_ = nullptr;  // owned; closed by the deadline or the destructor
  HANDLE timer_ = nullptr;       // timer-queue timer, null when none was made
  volatile LONG state_ = 0;      // kArmed, then kClosedByDeadline or kClosedByOwner
};
