// Entry point: one copy of the program at a time, then the application context for the whole run.
#include <windows.h>
#include <commctrl.h>

#include "app/corvanto_core.h"
#include "base/handle.h"

#include <exception>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Visual styles come from the manifest; the common controls must be registered before any window exists.
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&icc);

  corvanto::UniqueHandle instance(::CreateMutexW(nullptr, FALSE, L"Corvanto"));
  if (!instance) return 0;
  const DWORD taken = ::WaitForSingleObject(instance.get(), 0);
  if (taken != WAIT_OBJECT_0 && taken != WAIT_ABANDONED) return 0;  // another copy runs: touch nothing

  int exitCode = 0;
  try {
    corvanto::CorvantoCore core;
    core.Run();
  } catch (const std::exception& e) {
    // A start that failed (log not creatable, a data file that cannot be opened) ends the program; the context
    // has logged it when it could. The exit code tells a caller that the run did not happen.
    ::OutputDebugStringA(e.what());
    exitCode = 1;
  }
  ::ReleaseMutex(instance.get());
  return exitCode;
}
