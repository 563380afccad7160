#include "base/named_mutex.h"

#include <thread>

#include "base/files.h"

namespace corvanto {

NamedMutex::NamedMutex(std::wstring_view name) : name_(name) {
  handle_.reset(::CreateMutexW(nullptr, FALSE, name_.c_str()));
  if (!handle_) throw Win32Error(::GetLastError(), L"CreateMutex " + name_);
}

bool NamedMutex::TryLock() {
  const DWORD r = ::WaitForSingleObject(handle_.get(), 0);
  return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

void NamedMutex::LockPolling(std::chrono::milliseconds poll) {
  while (!TryLock()) std::this_thread::sleep_for(poll);
}

bool NamedMutex::LockPolling(std::chrono::milliseconds poll, const std::function<bool()>& keepWaiting) {
  for (;;) {
    if (TryLock()) return true;
    std::this_thread::sleep_for(poll);
    if (!keepWaiting()) return false;
  }
}

void NamedMutex::Unlock() { ::ReleaseMutex(handle_.get()); }

}  // namespace corvanto
