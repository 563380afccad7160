#pragma once
// System-wide named mutexes as the program uses them: tried without waiting and, when busy, polled with a fixed
// sleep. A Win32 mutex belongs to the thread that took it, so lock and unlock on the same thread.
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "base/handle.h"

namespace corvanto {

class NamedMutex {
 public:
  // Creates or opens the mutex without taking it. Throws Win32Error when the system refuses.
  explicit NamedMutex(std::wstring_view name);

  const std::wstring& name() const { return name_; }

  // One attempt without waiting. A mutex abandoned by a thread that died counts as taken.
  bool TryLock();
  // Tries, and while that fails sleeps `poll` and tries again, with no time-out.
  void LockPolling(std::chrono::milliseconds poll);
  // As above, but gives up (returning false) when `keepWaiting` says so before an attempt.
  bool LockPolling(std::chrono::milliseconds poll, const std::function<bool()>& keepWaiting);
  void Unlock();

 private:
  std::wstring name_;
  UniqueHandle handle_;
};

// Holds a NamedMutex for a scope; releases it on every way out.
class NamedMutexLock {
 public:
  NamedMutexLock(NamedMutex& mutex, std::chrono::milliseconds poll) : mutex_(&mutex) { mutex.LockPolling(poll); }
  // Adopts a mutex the caller has already taken.
  struct Adopt {};
  NamedMutexLock(NamedMutex& mutex, Adopt) : mutex_(&mutex) {}
  NamedMutexLock(const NamedMutexLock&) = delete;
  NamedMutexLock& operator=(const NamedMutexLock&) = delete;
  ~NamedMutexLock() {
    if (mutex_) mutex_->Unlock();
  }

 private:
  NamedMutex* mutex_;
};

}  // namespace corvanto
