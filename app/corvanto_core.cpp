#include "app/corvanto_core.h"

#include <windows.h>

#include "base/files.h"

namespace corvanto {

CorvantoCore::CorvantoCore() {
  const std::wstring folder = ExeFolder();
  logger = std::make_unique<Logger>(folder + L"\\log.txt");
  try {
    paths_ = DataPaths::In(folder);
    LoadConfigList();
    // The list editors, the author adder and the program guide are built here, in that order, once they exist.
    uiWindow_ = std::make_unique<MessageWindow>(kWindowClass);
    uiWindow_->On(WM_CLOSE, [this](WPARAM, LPARAM) -> LRESULT {
      OnFormClosed();
      return 0;
    });
  } catch (const Win32Error& e) {
    // The program shows no message box: the log is where a failed start is told.
    logger->WriteLine(L" [Error]: 起動に失敗しました: " + e.message());
    throw;
  }
}

CorvantoCore::~CorvantoCore() = default;

int CorvantoCore::Run() { return RunMessageLoop(); }

void CorvantoCore::LoadConfigList() {
  LoadedData data = corvanto::LoadConfigList(paths_, *logger, PrimaryDisplaySize());
  ConfigNodeDat = std::move(data.ConfigNodeDat);
  NotifyNodeDat = std::move(data.NotifyNodeDat);
  NgWordNodeDat = std::move(data.NgWordNodeDat);
}

void CorvantoCore::FormPositionCheck() {
  corvanto::FormPositionCheck(ConfigNodeDat, PrimaryDisplaySize(), std::nullopt, std::nullopt, std::nullopt);
}

void CorvantoCore::SaveConfigList() { SaveConfigFile(paths_.ConfigFileName, ConfigNodeDat, *logger); }

void CorvantoCore::OnFormClosed() {
  if (ended_) return;
  ended_ = true;
  FormPositionCheck();
  SaveConfigList();
  // Until the notify editor holds the live rows, the loaded ones are what it would save; the first run writes
  // them (rows converted from the legacy lists included).
  if (!FileExists(paths_.NotifyListFileName)) {
    std::vector<NotifyNode> rows;
    for (const NotifyNode& n : NotifyNodeDat) {
      rows.push_back(NotifyNode{n.server.value_or(L""), n.author.value_or(L""), n.nickName.value_or(L""),
                                n.keyword.value_or(L""), n.tag.value_or(L""),
                                std::vector<std::wstring>{kNowLiveIdPlaceholder}});
    }
    SaveNotifyListFile(paths_.NotifyListFileName, rows, *logger);
  }
  ::PostQuitMessage(0);
}

}  // namespace corvanto
