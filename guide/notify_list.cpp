#include "guide/notify_list.h"

#include "app/data_files.h"
#include "app/sites.h"
#include "base/files.h"

namespace corvanto {

namespace {

EditorLayout NotifyLayout() {
  EditorLayout l;
  l.title = L"通知設定";
  l.designClient = SIZE{582, 369};
  l.width = 598;
  l.minHeight = kNotifyListMinHeight;
  l.maxHeight = kListMaxHeight;
  l.minMaxBoxes = true;
  l.inTaskBar = true;
  l.groupText = L"通知リストの管理";
  l.group = RECT{0, 2, 0 + 587, 2 + 324};
  l.grid = RECT{12, 21, 12 + 566, 21 + 299};
  l.buttons = {
      {NotifyList::kButtonOK, L"OK", RECT{312, 332, 312 + 84, 332 + 36}},
      {NotifyList::kButtonCancel, L"キャンセル", RECT{402, 332, 402 + 84, 332 + 36}},
      {NotifyList::kButtonSave, L"適用", RECT{492, 332, 492 + 84, 332 + 36}},
  };
  l.groupFontPt = 9.75;
  l.buttonFontPt = 9.75;
  l.gridFontPt = 9;
  l.resizableColumns = true;
  return l;
}

std::vector<GridColumn> NotifyColumns() {
  const std::vector<std::wstring> sitesList = {std::wstring(sites::kLivetube), std::wstring(sites::kCaveTube),
                                               std::wstring(sites::kHimawari), std::wstring(sites::kAll)};
  return {
      GridColumn{L"サイト", 120, true, sitesList, 0, L""},
      GridColumn{L"配信者", 110, false, {}, 0, L""},
      GridColumn{L"ニックネーム", 100, false, {}, 0, L""},
      GridColumn{L"キーワード", 100, false, {}, 0, L""},
      GridColumn{L"タグ", 90, false, {}, 0, L""},
  };
}

}  // namespace

NotifyList::NotifyList(ConfigNode& config, const std::vector<NotifyNode>& records, Logger& logger,
                       std::wstring listFileName)
    : ConfigNodeDat(config), logger(logger), NotifyNodeDat(records),
      NotifyListFileName(listFileName.empty() ? ExeFolder() + L"\\config\\NotifyList.xml" : std::move(listFileName)) {
  Create(NotifyLayout(), ConfigNodeDat.NotifyListPos, ConfigNodeDat.NotifyListHeight, NotifyColumns());
  rules_ = std::make_unique<NotifyListRules>(Grid().Model(), NotifyNodeList);
  rules_->Load(records);
  Grid().SetCurrentCell(0, 0);
}

NotifyList::~NotifyList() { rules_.reset(); }

void NotifyList::OnButton(int id) {
  switch (id) {
    case kButtonOK: ButtonOK_Click(); break;
    case kButtonCancel: ButtonCancel_Click(); break;
    case kButtonSave: ButtonSave_Click(); break;
    default: break;
  }
}

bool NotifyList::SaveNotifyData() {
  if (Grid().IsEditing()) Grid().EndEdit(true);
  NotifyNodeDat = rules_->ApplySaveRules();
  return SaveNotifyListFile(NotifyListFileName, NotifyNodeDat, logger);
}

void NotifyList::ButtonSave_Click() { SaveNotifyData(); }

void NotifyList::ButtonOK_Click() {
  SaveNotifyData();
  Hide();
}

// Nothing is undone: the grid and the live list keep every edit until the next save writes them.
void NotifyList::ButtonCancel_Click() { Hide(); }

void NotifyList::NotifyList_Load() {
  ::SetWindowPos(hwnd(), nullptr, ConfigNodeDat.NotifyListPos.X, ConfigNodeDat.NotifyListPos.Y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NotifyList::NotifyList_FormClosing(bool userClosing) {
  logger.WriteLine(L" [Info]: 閉じるボタン押下");
  Hide();
  if (!userClosing) SaveNotifyData();
}

}  // namespace corvanto
