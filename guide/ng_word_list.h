#pragma once
// The NG list editor "NGリスト": the grid of NG rules, the live list the merge reads, and the records written to
// NgList.xml. Built once, hidden; shown by the tray menu.
#include <memory>
#include <string>
#include <vector>

#include "app/config_node.h"
#include "app/list_nodes.h"
#include "app/live_lists.h"
#include "app/logger.h"
#include "guide/list_editor_window.h"
#include "guide/ng_word_list_rules.h"

namespace corvanto {

class NgWordList : public ListEditorWindow {
 public:
  enum ButtonId : int { kButtonOK = 1, kButtonClose = 2, kButtonSave = 3 };

  // `listFileName` defaults to config\NgList.xml beside the executable.
  NgWordList(ConfigNode& config, const std::vector<NgWordNode>& rules, Logger& logger,
             std::wstring listFileName = {});
  ~NgWordList() override;

  EditableGrid& GetNgView() { return Grid(); }
  NgWordLiveList& GetNgWordNodeList() { return NgWordNodeList; }
  // What 適用 does. False when the file could not be written.
  bool SaveNgList() { return SaveNgData(); }
  const std::vector<NgWordNode>& NgWordNodeDatForTesting() const { return NgWordNodeDat; }
  const std::wstring& FileName() const { return NgListFileName; }

  void ButtonSave_Click();
  void ButtonOK_Click();
  void ButtonClose_Click();
  void NgWordList_Closing(bool userClosing);
  // A value the grid cannot take is dropped without a word.
  void NgWordView_DataError(int row, int column) {}

 private:
  void OnButton(int id) override;
  void OnClosing(bool userClosing) override { NgWordList_Closing(userClosing); }
  bool SaveNgData();

  ConfigNode& ConfigNodeDat;
  Logger& logger;
  NgWordLiveList NgWordNodeList;
  std::vector<NgWordNode> NgWordNodeDat;
  std::wstring NgListFileName;
  std::unique_ptr<NgWordListRules> rules_;
};

}  // namespace corvanto
