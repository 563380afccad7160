// Entry point: one copy of the program at a time, then the application context for the whole run.
#include <windows.h>
#include <commctrl.h>

#include "app/corvanto_core.h"
#include "base/handle.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Visual styles come from the manifest; the common controls must be registered before any window exists.
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&icc);

  corvanto::UniqueHandle instance(::CreateMutexW(nullptr, FALSE, L"Corvanto"));
  if (!instance) return 0;
  const DWORD taken = ::WaitForSingleObject(instance.get(), 0);
  if (taken != WAIT_OBJECT_0 && taken != WAIT_ABANDONED) return 0;  // another copy runs: touch nothing

  {
    corvanto::CorvantoCore core;
    core.Run();
  }
  ::ReleaseMutex(instance.get());
  return 0;
}
