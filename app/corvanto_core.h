#pragma once
// The application context: owns the log, the settings record, the list editors and the program guide for the
// whole run, runs the interface thread's message loop without a main window, and ends the program with its saves.
#include <memory>
#include <string>
#include <vector>

#include "app/config_node.h"
#include "app/data_files.h"
#include "app/list_nodes.h"
#include "app/logger.h"
#include "base/ui_thread.h"

namespace corvanto {

class NotifyList;
class NgWordList;
class AuthorAdder;

class CorvantoCore {
 public:
  // The class of the context's message-only window. Closing that window (WM_CLOSE) asks the program to end the way
  // the tray menu's end item does; tests and the run script use it.
  static constexpr wchar_t kWindowClass[] = L"CorvantoCoreWindow";

  // Builds the whole program in its fixed order. Throws when a step fails (log not creatable, a data file that
  // exists but cannot be opened).
  CorvantoCore();
  CorvantoCore(const CorvantoCore&) = delete;
  CorvantoCore& operator=(const CorvantoCore&) = delete;
  ~CorvantoCore();

  // Runs the interface thread's message loop until OnFormClosed has ended it.
  int Run();

  // The program guide has closed for good: record the geometry, save, and end the message loop.
  void OnFormClosed();

  ConfigNode& Config() { return ConfigNodeDat; }
  Logger& Log() { return *logger; }
  NotifyList& NotifyEditor() { return *Notifylist; }
  NgWordList& NgEditor() { return *NgWordlist; }
  AuthorAdder& Adder() { return *AuthorListAdder; }
  MessageWindow& UiTasks() { return *uiWindow_; }

 private:
  void LoadConfigList();
  void SaveConfigList();
  void FormPositionCheck();

  std::unique_ptr<Logger> logger;
  DataPaths paths_;
  ConfigNode ConfigNodeDat;
  std::vector<NotifyNode> NotifyNodeDat;
  std::vector<NgWordNode> NgWordNodeDat;
  // The editors live for the whole run; the adder keeps references to their grids, so it goes first at the end.
  std::unique_ptr<NotifyList> Notifylist;
  std::unique_ptr<NgWordList> NgWordlist;
  std::unique_ptr<AuthorAdder> AuthorListAdder;
  std::unique_ptr<MessageWindow> uiWindow_;
  bool ended_ = false;
};

}  // namespace corvanto
