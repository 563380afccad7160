#pragma once
// The notify list editor "通知設定": the grid the user edits, the live list the guide and the notification read,
// and the records written to NotifyList.xml. Built once, hidden; shown by the tray menu.
#include <memory>
#include <string>
#include <vector>

#include "app/config_node.h"
#include "app/list_nodes.h"
#include "app/live_lists.h"
#include "app/logger.h"
#include "guide/list_editor_window.h"
#include "guide/notify_list_rules.h"

namespace corvanto {

class NotifyList : public ListEditorWindow {
 public:
  enum ButtonId : int { kButtonOK = 1, kButtonCancel = 2, kButtonSave = 3 };

  // Builds the window hidden and loads `records` into the grid (and so into the live list). `listFileName`
  // defaults to config\NotifyList.xml beside the executable.
  NotifyList(ConfigNode& config, const std::vector<NotifyNode>& records, Logger& logger,
             std::wstring listFileName = {});
  ~NotifyList() override;

  EditableGrid& GetNotifyView() { return Grid(); }
  NotifyLiveList& GetNotifyNodeList() { return NotifyNodeList; }
  // What 適用 does: check the rows and write the file. False when the file could not be written.
  bool SaveNotifyList() { return SaveNotifyData(); }
  // The records as loaded, then as last written.
  const std::vector<NotifyNode>& NotifyNodeDatForTesting() const { return NotifyNodeDat; }
  const std::wstring& FileName() const { return NotifyListFileName; }

  void ButtonSave_Click();
  void ButtonOK_Click();
  void ButtonCancel_Click();
  void NotifyList_Load();
  void NotifyList_FormClosing(bool userClosing);

 private:
  void OnButton(int id) override;
  void OnClosing(bool userClosing) override { NotifyList_FormClosing(userClosing); }
  void OnFirstShown() override { NotifyList_Load(); }
  bool SaveNotifyData();

  ConfigNode& ConfigNodeDat;
  Logger& logger;
  NotifyLiveList NotifyNodeList;
  std::vector<NotifyNode> NotifyNodeDat;
  std::wstring NotifyListFileName;
  std::unique_ptr<NotifyListRules> rules_;
};

}  // namespace corvanto
