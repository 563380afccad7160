#include "app/corvanto_core.h"

#include <windows.h>

#include "base/files.h"
#include "base/text.h"
#include "guide/author_adder.h"
#include "guide/ng_word_list.h"
#include "guide/notify_list.h"

namespace corvanto {

CorvantoCore::CorvantoCore() {
  const std::wstring folder = ExeFolder();
  logger = std::make_unique<Logger>(folder + L"\\log.txt");
  try {
    paths_ = DataPaths::In(folder);
    LoadConfigList();
    // Both editors hidden with the loaded rows, then the adder over their grids; the program guide comes next.
    Notifylist = std::make_unique<NotifyList>(ConfigNodeDat, NotifyNodeDat, *logger, paths_.NotifyListFileName);
    NgWordlist = std::make_unique<NgWordList>(ConfigNodeDat, NgWordNodeDat, *logger, paths_.NgListFileName);
    AuthorListAdder =
        std::make_unique<AuthorAdder>(Notifylist->GetNotifyView().Model(), NgWordlist->GetNgView().Model());
    uiWindow_ = std::make_unique<MessageWindow>(kWindowClass);
    uiWindow_->On(WM_CLOSE, [this](WPARAM, LPARAM) -> LRESULT {
      OnFormClosed();
      return 0;
    });
  } catch (const Win32Error& e) {
    // The program shows no message box: the log is where a failed start is told.
    logger->WriteLine(L" [Error]: 起動に失敗しました: " + e.message());
    throw;
  } catch (const std::exception& e) {
    logger->WriteLine(L" [Error]: 起動に失敗しました: " + Utf8ToWide(e.what()));
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
  corvanto::FormPositionCheck(ConfigNodeDat, PrimaryDisplaySize(), std::nullopt, Notifylist->Geometry(),
                              NgWordlist->Geometry());
}

void CorvantoCore::SaveConfigList() { SaveConfigFile(paths_.ConfigFileName, ConfigNodeDat, *logger); }

void CorvantoCore::OnFormClosed() {
  if (ended_) return;
  ended_ = true;
  FormPositionCheck();
  SaveConfigList();
  // The first run writes a NotifyList.xml (rows converted from the legacy lists included); a hidden NG editor is
  // saved only by its own buttons.
  if (Notifylist->Visible() || !FileExists(paths_.NotifyListFileName)) Notifylist->SaveNotifyList();
  if (NgWordlist->Visible()) NgWordlist->SaveNgList();
  ::PostQuitMessage(0);
}

}  // namespace corvanto
