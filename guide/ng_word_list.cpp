#include "guide/ng_word_list.h"

#include "app/data_files.h"
#include "app/sites.h"
#include "base/files.h"

namespace corvanto {

namespace {

// The NG editor may grow taller than the height the settings keep (1200).
constexpr int kNgWindowMaxHeight = 1600;

EditorLayout NgLayout() {
  EditorLayout l;
  l.title = L"NGリスト";
  l.designClient = SIZE{522, 284};
  l.width = 538;
  l.minHeight = kNgListMinHeight;
  l.maxHeight = kNgWindowMaxHeight;
  l.minMaxBoxes = false;
  l.inTaskBar = false;
  l.groupText = L"NGリストの管理";
  l.group = RECT{-4, 2, -4 + 517, 2 + 236};
  // (3, 19) inside the group box.
  l.grid = RECT{-4 + 3, 2 + 19, -4 + 3 + 506, 2 + 19 + 211};
  l.buttons = {
      {NgWordList::kButtonOK, L"OK", RECT{247, 244, 247 + 84, 244 + 35}},
      {NgWordList::kButtonClose, L"キャンセル", RECT{337, 244, 337 + 84, 244 + 35}},
      {NgWordList::kButtonSave, L"適用", RECT{427, 244, 427 + 84, 244 + 35}},
  };
  l.groupFontPt = 9.75;
  l.buttonFontPt = 9;
  l.gridFontPt = 9;
  l.resizableColumns = false;
  return l;
}

std::vector<GridColumn> NgColumns() {
  const std::vector<std::wstring> sitesList = {std::wstring(sites::kLivetube), std::wstring(sites::kCaveTube),
                                               std::wstring(sites::kHimawari), std::wstring(sites::kAll)};
  return {
      GridColumn{L"サイト", 85, true, sitesList, 0, L"配信者、キーワードをNGにするサイト"},
      GridColumn{L"配信者名", 125, false, {}, 64, L"番組表から除外するLivetubeIDを入力します"},
      GridColumn{L"キーワード", 120, false, {}, 64, L"番組表から除外するキーワードを入力します"},
      GridColumn{L"タグ", 110, false, {}, 0, L""},
  };
}

}  // namespace

NgWordList::NgWordList(ConfigNode& config, const std::vector<NgWordNode>& rules, Logger& logger,
                       std::wstring listFileName)
    : ConfigNodeDat(config), logger(logger), NgWordNodeDat(rules),
      NgListFileName(listFileName.empty() ? ExeFolder() + L"\\config\\NgList.xml" : std::move(listFileName)) {
  Create(NgLayout(), ConfigNodeDat.NgListPos, ConfigNodeDat.NgListHeight, NgColumns());
  Grid().DataError = [this](int row, int column) { NgWordView_DataError(row, column); };
  rules_ = std::make_unique<NgWordListRules>(Grid().Model(), NgWordNodeList);
  rules_->Load(rules);
  Grid().SetCurrentCell(0, 0);
}

NgWordList::~NgWordList() { rules_.reset(); }

void NgWordList::OnButton(int id) {
  switch (id) {
    case kButtonOK: ButtonOK_Click(); break;
    case kButtonClose: ButtonClose_Click(); break;
    case kButtonSave: ButtonSave_Click(); break;
    default: break;
  }
}

bool NgWordList::SaveNgData() {
  if (Grid().IsEditing()) Grid().EndEdit(true);
  NgWordNodeDat = rules_->SaveRecords();
  return SaveNgListFile(NgListFileName, NgWordNodeDat, logger);
}

void NgWordList::ButtonSave_Click() { SaveNgData(); }

void NgWordList::ButtonOK_Click() {
  SaveNgData();
  Hide();
}

void NgWordList::ButtonClose_Click() { Hide(); }

void NgWordList::NgWordList_Closing(bool userClosing) {
  if (!userClosing) SaveNgData();
  Hide();
}

}  // namespace corvanto
