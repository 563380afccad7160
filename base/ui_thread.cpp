#include "base/ui_thread.h"

#include <memory>

#include "base/files.h"

namespace corvanto {

namespace {
constexpr UINT kRunTask = WM_APP + 0x3F0;
}

MessageWindow::MessageWindow(const std::wstring& className) : className_(className) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &MessageWindow::WndProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = className_.c_str();
  ::RegisterClassExW(&wc);  // a second window of the class finds it registered already
  hwnd_ = ::CreateWindowExW(0, className_.c_str(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
  if (!hwnd_) throw Win32Error(::GetLastError(), L"CreateWindowEx " + className_);
}

MessageWindow::~MessageWindow() {
  // Tasks still queued own heap memory: take them out and free them without running them.
  MSG msg;
  while (::PeekMessageW(&msg, hwnd_, kRunTask, kRunTask, PM_REMOVE))
    delete reinterpret_cast<std::function<void()>*>(msg.lParam);
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  ::DestroyWindow(hwnd_);
}

bool MessageWindow::Post(std::function<void()> task) const {
  auto boxed = std::make_unique<std::function<void()>>(std::move(task));
  if (!::PostMessageW(hwnd_, kRunTask, 0, reinterpret_cast<LPARAM>(boxed.get()))) return false;
  boxed.release();
  return true;
}

LRESULT CALLBACK MessageWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<MessageWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == kRunTask) {
    std::unique_ptr<std::function<void()>> task(reinterpret_cast<std::function<void()>*>(lp));
    if (self && task && *task) (*task)();
    return 0;
  }
  if (self) {
    auto it = self->handlers_.find(msg);
    if (it != self->handlers_.end()) return it->second(wp, lp);
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

bool HandleDialogKeys(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
  HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
  if (!root || !(::GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
    // Outside a dialog no button is the default one, and the dialog manager would send IDOK whichever button
    // has the focus: Enter presses the focused button instead.
    const LRESULT code = ::SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (code & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON)) {
      ::SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
      return true;
    }
  }
  return ::IsDialogMessageW(root, &msg) != FALSE;
}

bool PumpPendingMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (HandleDialogKeys(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return true;
}

int RunMessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (HandleDialogKeys(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace corvanto
