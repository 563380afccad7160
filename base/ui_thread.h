#pragma once
// The interface thread's plumbing: a message-only window that runs tasks posted from any thread, and the pump
// that a wait on the interface thread calls between its sleeps.
#include <windows.h>

#include <functional>
#include <map>
#include <string>

namespace corvanto {

class MessageWindow {
 public:
  using Handler = std::function<LRESULT(WPARAM, LPARAM)>;

  // Creates the window on the calling thread; its tasks and handlers run on that thread.
  explicit MessageWindow(const std::wstring& className);
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;
  ~MessageWindow();

  HWND hwnd() const { return hwnd_; }
  // Queues `task` to run on the window's thread. Safe from any thread; false when the window is gone.
  bool Post(std::function<void()> task) const;
  // Handles one message kind (set up on the window's thread before messages arrive).
  void On(UINT message, Handler handler) { handlers_[message] = std::move(handler); }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  std::wstring className_;
  HWND hwnd_ = nullptr;
  std::map<UINT, Handler> handlers_;
};

// Keyboard use of windows that hold controls, for every top-level window marked WS_EX_CONTROLPARENT: Tab and
// Shift+Tab move between controls that do not want the key themselves, Enter or Space presses the focused
// button, Escape sends the window IDCANCEL. True when the message was used up.
bool HandleDialogKeys(MSG& msg);

// Dispatches every message already waiting for the calling thread, then returns. Returns false when a quit
// request was among them (it is posted again so that the outer loop still sees it).
bool PumpPendingMessages();

// The interface thread's message loop; returns the exit code that PostQuitMessage gave.
int RunMessageLoop();

}  // namespace corvanto
