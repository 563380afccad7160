// The real editor windows under Wine: keyboard and mouse in the grid, the buttons and closing, the author adder,
// the window limits, and a screenshot of each editor.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/config_node.h"
#include "app/logger.h"
#include "app/xml_records.h"
#include "base/files.h"
#include "base/text.h"
#include "base/ui_thread.h"
#include "guide/author_adder.h"
#include "guide/ng_word_list.h"
#include "guide/notify_list.h"
#include "tests/guide/guide_test_util.h"
#include "tests/support/test_support.h"

namespace corvanto::test {
namespace {

const std::nullopt_t unset = std::nullopt;
const std::vector<std::wstring> kPlaceholder{kNowLiveIdPlaceholder};

void PumpFor(int milliseconds) {
  const DWORD end = ::GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    PumpPendingMessages();
    ::Sleep(5);
  } while (static_cast<int>(end - ::GetTickCount()) > 0);
}

// A key pressed and released on whatever has the keyboard focus, through the message queue.
void Key(UINT vk) {
  HWND focus = ::GetFocus();
  ASSERT_NE(focus, nullptr);
  ::PostMessageW(focus, WM_KEYDOWN, vk, 1);
  ::PostMessageW(focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
  PumpPendingMessages();
}

// Characters typed one by one; each goes to the window that has the focus at that moment.
void Type(const std::wstring& text) {
  for (wchar_t ch : text) {
    HWND focus = ::GetFocus();
    ASSERT_NE(focus, nullptr);
    ::PostMessageW(focus, WM_CHAR, ch, 1);
    PumpPendingMessages();
  }
}

void Click(EditableGrid& grid, int row, int column, bool doubleClick = false) {
  const RECT rc = grid.CellRect(row, column);
  const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  ::PostMessageW(grid.ListView(), doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(grid.ListView(), WM_LBUTTONUP, 0, at);
  PumpPendingMessages();
}

void PressButton(HWND window, int id) {
  ::SendMessageW(::GetDlgItem(window, id), BM_CLICK, 0, 0);
  PumpPendingMessages();
}

std::wstring Text(HWND h) {
  wchar_t buf[256] = {};
  ::GetWindowTextW(h, buf, 256);
  return buf;
}

std::vector<std::wstring> HeaderTexts(EditableGrid& grid) {
  std::vector<std::wstring> out;
  const int n = Header_GetItemCount(grid.Header());
  for (int i = 1; i < n; ++i) {
    wchar_t buf[64] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = buf;
    item.cchTextMax = 64;
    Header_GetItem(grid.Header(), i, &item);
    out.push_back(buf);
  }
  return out;
}

std::vector<std::wstring> ButtonTexts(HWND window) {
  return {Text(::GetDlgItem(window, 1)), Text(::GetDlgItem(window, 2)), Text(::GetDlgItem(window, 3))};
}

// The window as it stands on the screen (and `below` pixels under it), written as a 24-bit BMP.
void SaveScreenshot(HWND window, const std::wstring& path, int below = 0) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  PumpFor(400);
  RECT rc{};
  ::GetWindowRect(window, &rc);
  rc.bottom += below;
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  ::BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
  ::SelectObject(mem, old);
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof(bi);
  bi.biWidth = w;
  bi.biHeight = h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  bi.biCompression = BI_RGB;
  const int stride = (w * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * static_cast<size_t>(h), '\0');
  ::GetDIBits(mem, bmp, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(bi);
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string file(reinterpret_cast<const char*>(&fh), sizeof(fh));
  file.append(reinterpret_cast<const char*>(&bi), sizeof(bi));
  file += pixels;
  WriteWholeFile(path, file);
}

std::wstring TestOutputFolder() {
  std::wstring bin = TestBinFolder();
  const std::wstring folder = bin.substr(0, bin.find_last_of(L'\\')) + L"\\test-output";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

NotifyNode Notify(std::wstring site, std::wstring author, std::wstring nick, std::wstring keyword, std::wstring tag) {
  return NotifyNode{site, author, nick, keyword, tag, kPlaceholder};
}

class EditorWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    logger = std::make_unique<Logger>(dir / L"log.txt");
    InitConfigNodeDat(config);
  }
  std::wstring NotifyPath() const { return dir / L"NotifyList.xml"; }
  std::wstring NgPath() const { return dir / L"NgList.xml"; }
  int LogCount(const std::wstring& message) {
    int n = 0;
    for (const std::wstring& line : ReadLines(dir / L"log.txt"))
      if (line.size() >= message.size() && line.compare(line.size() - message.size(), message.size(), message) == 0)
        ++n;
    return n;
  }

  TempDir dir;
  std::unique_ptr<Logger> logger;
  ConfigNode config;
};

TEST_F(EditorWindows, NotifyEditorByKeyboardWhileAWorkerReads) {
  NotifyList editor(config, {}, *logger, NotifyPath());
  EditableGrid& grid = editor.GetNotifyView();
  NotifyLiveList& live = editor.GetNotifyNodeList();
  EXPECT_FALSE(editor.Visible());
  editor.Show();
  PumpFor(100);
  ::SetFocus(grid.ListView());

  // The fetch worker's side: snapshots and appends all the while.
  std::atomic<bool> stop{false};
  std::atomic<int> appendedTo{0};
  std::thread worker([&] {
    int serial = 0;
    while (!stop.load()) {
      for (const auto& entry : live.SnapshotRows()) {
        AppendNowLiveId(live, entry.row, L"http://live/" + std::to_wstring(++serial));
        ++appendedTo;
      }
      std::this_thread::yield();
    }
  });

  Key(VK_RIGHT);  // to 配信者 of the new-entry row
  EXPECT_EQ(grid.CurrentColumn(), kNotifyAuthor);
  Type(L"配信者X");  // typing starts the edit
  EXPECT_TRUE(grid.IsEditing());
  EXPECT_EQ(::GetFocus(), grid.TextEditor());
  EXPECT_EQ(live.Count(), 0u);  // nothing before the commit
  Key(VK_RETURN);
  EXPECT_FALSE(grid.IsEditing());
  ASSERT_EQ(live.Count(), 1u);
  EXPECT_EQ(live.At(0)->author, L"配信者X");
  EXPECT_EQ(live.At(0)->server, L"全部");
  EXPECT_EQ(grid.Model().RowCount(), 2);
  EXPECT_EQ(grid.CurrentRow(), 0);

  Key(VK_RIGHT);  // ニックネーム: Escape drops what was typed
  Key(VK_F2);
  Type(L"捨てる");
  Key(VK_ESCAPE);
  EXPECT_FALSE(grid.Model().Cell(0, kNotifyNickName).has_value());

  Key(VK_RIGHT);  // キーワード: a word arriving at once, as an input method delivers it, goes whole into the cell
  for (wchar_t ch : std::wstring(L"雑談")) ::PostMessageW(grid.ListView(), WM_CHAR, ch, 1);
  PumpPendingMessages();
  Key(VK_RETURN);
  EXPECT_EQ(live.At(0)->keyword, L"雑談");

  Key(VK_HOME);  // サイト: the drop-down list by keys
  Key(VK_F2);
  EXPECT_EQ(::GetFocus(), grid.ChoiceEditor());
  Key(VK_UP);  // from 全部 to ひまわりストリーム
  Key(VK_RETURN);
  EXPECT_EQ(live.At(0)->server, L"ひまわりストリーム");
  EXPECT_EQ(grid.Model().Cell(0, kNotifySite), L"ひまわりストリーム");
  Key(VK_F4);  // the open list: Down highlights the next choice, Enter takes it
  EXPECT_TRUE(::SendMessageW(grid.ChoiceEditor(), CB_GETDROPPEDSTATE, 0, 0));
  Key(VK_DOWN);
  Key(VK_RETURN);
  PumpFor(50);
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_EQ(live.At(0)->server, L"全部");
  EXPECT_EQ(::GetFocus(), grid.ListView());

  // A second entry in the new row, then Delete removes the first row and its record.
  Key(VK_DOWN);
  Key(VK_RIGHT);
  Type(L"二人目");
  Key(VK_RETURN);
  ASSERT_EQ(live.Count(), 2u);
  Key(VK_UP);
  EXPECT_EQ(grid.CurrentRow(), 0);
  Key(VK_DELETE);
  ASSERT_EQ(live.Count(), 1u);
  EXPECT_EQ(live.At(0)->author, L"二人目");
  Key(VK_DOWN);  // the new-entry row cannot be deleted
  Key(VK_DELETE);
  EXPECT_EQ(grid.Model().RowCount(), 2);

  // Clearing the last text of a row by keys deletes it.
  Key(VK_UP);
  Key(VK_F2);
  Key(VK_END);
  for (int i = 0; i < 3; ++i) Key(VK_BACK);
  ::SendMessageW(::GetFocus(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  Key(VK_RETURN);
  EXPECT_EQ(live.Count(), 0u);
  EXPECT_EQ(grid.Model().RowCount(), 1);

  stop = true;
  worker.join();
  EXPECT_GT(appendedTo.load(), 0);
  ExpectNotifyLiveMatchesGrid(grid.Model(), live);
  EXPECT_FALSE(FileExists(NotifyPath()));  // nothing is written before a save
}

// Real input through the system's queue: a double click and key presses, as a user would make them.
TEST_F(EditorWindows, NgEditorBySystemInput) {
  config.NgListPos = Point{40, 40};
  NgWordList editor(config, {}, *logger, NgPath());
  EditableGrid& grid = editor.GetNgView();
  editor.Show();
  PumpFor(200);

  RECT cell = grid.CellRect(0, kNgKeyword);
  POINT at{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
  ::ClientToScreen(grid.ListView(), &at);
  ::SetCursorPos(at.x, at.y);
  PumpFor(50);
  std::vector<INPUT> inputs;
  auto mouse = [&](DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    inputs.push_back(in);
  };
  auto key = [&](WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
  };
  for (int i = 0; i < 2; ++i) {
    mouse(MOUSEEVENTF_LEFTDOWN);
    mouse(MOUSEEVENTF_LEFTUP);
  }
  ASSERT_EQ(::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
  ASSERT_TRUE(WaitUntil([&] { PumpPendingMessages(); return grid.IsEditing(); }, std::chrono::seconds(5)));
  inputs.clear();
  for (WORD vk : {WORD('N'), WORD('G'), WORD(VK_RETURN)}) {
    key(vk, false);
    key(vk, true);
  }
  ASSERT_EQ(::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
  ASSERT_TRUE(WaitUntil([&] { PumpPendingMessages(); return editor.GetNgWordNodeList().Count() == 1; },
                        std::chrono::seconds(5)));
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_EQ(editor.GetNgWordNodeList().At(0), (NgWordNode{L"全部", L"", L"ng", L""}));
}

TEST_F(EditorWindows, NotifyEditorByMouse) {
  NotifyList editor(config, {Notify(L"Livetube", L"A", L"", L"", L"")}, *logger, NotifyPath());
  EditableGrid& grid = editor.GetNotifyView();
  NotifyLiveList& live = editor.GetNotifyNodeList();
  editor.Show();
  PumpFor(100);

  Click(grid, 1, kNotifyKeyword, true);  // a double click edits the new-entry row's keyword
  ASSERT_TRUE(grid.IsEditing());
  Type(L"マウス");
  Click(grid, 0, kNotifyAuthor);  // clicking elsewhere keeps what was typed
  EXPECT_FALSE(grid.IsEditing());
  ASSERT_EQ(live.Count(), 2u);
  EXPECT_EQ(live.At(1)->keyword, L"マウス");
  EXPECT_EQ(live.At(1)->server, L"全部");
  EXPECT_EQ(grid.CurrentRow(), 0);
  EXPECT_EQ(grid.CurrentColumn(), kNotifyAuthor);

  Click(grid, 0, kNotifyAuthor);  // a click on the current cell edits it
  ASSERT_TRUE(grid.IsEditing());
  ::SetWindowTextW(grid.TextEditor(), L"B");
  PressButton(editor.hwnd(), NotifyList::kButtonSave);  // the button takes the focus, the edit is kept
  EXPECT_EQ(live.At(0)->author, L"B");
  ASSERT_TRUE(FileExists(NotifyPath()));
  EXPECT_EQ(*DeserializeNotifyList(ReadBytes(NotifyPath())),
            (std::vector<NotifyNode>{Notify(L"Livetube", L"B", L"", L"", L""), Notify(L"全部", L"", L"", L"マウス", L"")}));

  // Choosing a site from the dropped list.
  Click(grid, 1, kNotifySite);
  Click(grid, 1, kNotifySite);
  ASSERT_TRUE(grid.IsEditing());
  EXPECT_TRUE(::SendMessageW(grid.ChoiceEditor(), CB_GETDROPPEDSTATE, 0, 0));
  ::SendMessageW(grid.ChoiceEditor(), CB_SETCURSEL, 1, 0);
  ::SendMessageW(grid.ChoiceEditor(), CB_SHOWDROPDOWN, FALSE, 0);  // closing the list takes the choice
  PumpFor(50);
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_EQ(live.At(1)->server, L"CaveTube");
}

// Each way of leaving the editor, in each editor: what is written, what stays visible, what is logged.
TEST_F(EditorWindows, ButtonsAndClosing) {
  struct Case {
    const char* name;
    std::function<void(HWND)> act;
    bool writes;
    bool visibleAfter;
  };
  const std::vector<Case> cases = {
      {"OK", [](HWND w) { PressButton(w, 1); }, true, false},
      {"キャンセル", [](HWND w) { PressButton(w, 2); }, false, false},
      {"適用", [](HWND w) { PressButton(w, 3); }, true, true},
      {"close box", [](HWND w) { ::SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }, false, false},
      {"closed for another reason", [](HWND w) { ::SendMessageW(w, WM_CLOSE, 0, 0); }, true, false},
      {"system shutting down", [](HWND w) { ::SendMessageW(w, WM_ENDSESSION, TRUE, 0); }, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ::DeleteFileW(NotifyPath().c_str());
    ::DeleteFileW(NgPath().c_str());
    const int closeLines = LogCount(L" [Info]: 閉じるボタン押下");
    {
      NotifyList editor(config, {Notify(L"Livetube", L"A", L"", L"", L"")}, *logger,
                        NotifyPath());
      editor.Show();
      PumpFor(50);
      ::SetFocus(editor.GetNotifyView().ListView());
      Key(VK_DOWN);
      Key(VK_RIGHT);
      Key(VK_RIGHT);
      Type(L"あだ名");  // a nickname alone: the save makes it the broadcaster
      Key(VK_RETURN);
      c.act(editor.hwnd());
      EXPECT_EQ(editor.Visible(), c.visibleAfter);
      EXPECT_EQ(FileExists(NotifyPath()), c.writes);
      const std::vector<NotifyNode> savedRows = {Notify(L"Livetube", L"A", L"", L"", L""),
                                                 Notify(L"全部", L"あだ名", L"あだ名", L"", L"")};
      if (c.writes) {
        EXPECT_EQ(ReadBytes(NotifyPath()), SerializeNotifyList(savedRows));
        EXPECT_EQ(editor.GetNotifyNodeList().Snapshot(), savedRows);
      } else {
        // Nothing undone: the live list has the edit, unsaved.
        ASSERT_EQ(editor.GetNotifyNodeList().Count(), 2u);
        EXPECT_EQ(editor.GetNotifyNodeList().At(1)->nickName, L"あだ名");
        EXPECT_EQ(editor.GetNotifyNodeList().At(1)->author, L"");
      }
      const bool closing = std::string(c.name).find("clos") != std::string::npos ||
                           std::string(c.name) == "system shutting down";
      EXPECT_EQ(LogCount(L" [Info]: 閉じるボタン押下") - closeLines, closing ? 1 : 0);
      if (!c.visibleAfter) {
        // Shown again, the grid still holds the edits.
        editor.Show();
        PumpFor(30);
        EXPECT_EQ(editor.GetNotifyView().Model().RowCount(), 3);
      }
    }
    {
      NgWordList editor(config, {NgWordNode{L"全部", L"荒らし", L"", std::nullopt}}, *logger, NgPath());
      editor.Show();
      PumpFor(50);
      ::SetFocus(editor.GetNgView().ListView());
      Key(VK_DOWN);
      Key(VK_END);  // タグ
      Type(L"NGタグ");
      Key(VK_RETURN);
      const int lines = static_cast<int>(ReadLines(dir / L"log.txt").size());
      c.act(editor.hwnd());
      EXPECT_EQ(editor.Visible(), c.visibleAfter);
      EXPECT_EQ(FileExists(NgPath()), c.writes);
      const std::vector<NgWordNode> rows = {NgWordNode{L"全部", L"荒らし", L"", std::nullopt},
                                            NgWordNode{L"全部", std::nullopt, std::nullopt, L"NGタグ"}};
      if (c.writes) {
        EXPECT_EQ(ReadBytes(NgPath()), SerializeNgList(rows));
      }
      EXPECT_EQ(editor.GetNgWordNodeList().At(1), (NgWordNode{L"全部", L"", L"", L"NGタグ"}));
      // The NG editor logs nothing when closed; a save logs its one line.
      EXPECT_EQ(static_cast<int>(ReadLines(dir / L"log.txt").size()) - lines, c.writes ? 1 : 0);
    }
  }
}

TEST_F(EditorWindows, NgEditorLimitsAndFixedColumns) {
  NgWordList editor(config, {}, *logger, NgPath());
  EditableGrid& grid = editor.GetNgView();
  editor.Show();
  PumpFor(50);
  ::SetFocus(grid.ListView());
  const std::wstring seventy(70, L'x');
  Key(VK_RIGHT);  // 配信者名: 64 characters at most
  Type(seventy);
  Key(VK_RETURN);
  EXPECT_EQ(grid.Model().Cell(0, kNgAuthor), std::wstring(64, L'x'));
  Key(VK_RIGHT);  // キーワード: 64 as well
  Type(seventy);
  Key(VK_RETURN);
  EXPECT_EQ(grid.Model().Cell(0, kNgKeyword), std::wstring(64, L'x'));
  Key(VK_RIGHT);  // タグ: no limit
  Type(seventy);
  Key(VK_RETURN);
  EXPECT_EQ(grid.Model().Cell(0, kNgTag), seventy);
  ExpectNgLiveMatchesGrid(grid.Model(), editor.GetNgWordNodeList());

  // Columns cannot be resized: the header refuses to start a drag.
  NMHEADERW nm{};
  nm.hdr.hwndFrom = grid.Header();
  nm.hdr.code = HDN_BEGINTRACKW;
  nm.iItem = 2;
  EXPECT_TRUE(::SendMessageW(grid.hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm)));
  EXPECT_EQ(ListView_GetColumnWidth(grid.ListView(), 2), 125);

  // Header tooltips on the three columns that have one.
  EXPECT_EQ(::SendMessageW(grid.ToolTip(), TTM_GETTOOLCOUNT, 0, 0), 3);
}

TEST_F(EditorWindows, AuthorAdderDrivesBothEditors) {
  NotifyList notify(config, {Notify(L"Livetube", L"A", L"", L"", L"")}, *logger, NotifyPath());
  NgWordList ng(config, {}, *logger, NgPath());
  AuthorAdder adder(notify.GetNotifyView().Model(), ng.GetNgView().Model());
  adder.AddAuthorList(L"CaveTube", L"洞窟の人", L"洞窟の人");
  adder.AddNgWordList(L"Livetube", L"荒らし");
  EXPECT_EQ(notify.GetNotifyNodeList().At(1), Notify(L"CaveTube", L"洞窟の人", L"洞窟の人", L"", L""));
  EXPECT_EQ(ng.GetNgWordNodeList().At(0), (NgWordNode{L"Livetube", L"荒らし", L"", L""}));
  EXPECT_EQ(notify.GetNotifyView().Model().RowCount(), 3);
  ASSERT_TRUE(notify.SaveNotifyList());
  ASSERT_TRUE(ng.SaveNgList());
  EXPECT_EQ(ReadBytes(NotifyPath()), SerializeNotifyList({Notify(L"Livetube", L"A", L"", L"", L""),
                                                         Notify(L"CaveTube", L"洞窟の人", L"洞窟の人", L"", L"")}));
  EXPECT_EQ(ReadBytes(NgPath()), SerializeNgList({NgWordNode{L"Livetube", L"荒らし", L"", std::nullopt}}));
  EXPECT_FALSE(notify.Visible());  // the editors need not be open
  EXPECT_FALSE(ng.Visible());
}

TEST_F(EditorWindows, SizesAndPlaces) {
  config.NotifyListPos = Point{150, 120};
  config.NotifyListHeight = 500;
  config.NgListPos = Point{60, 40};
  config.NgListHeight = 400;
  NotifyList notify(config, {}, *logger, NotifyPath());
  NgWordList ng(config, {}, *logger, NgPath());
  notify.Show();
  ng.Show();
  PumpFor(50);
  EXPECT_EQ(notify.Geometry().pos, (Point{150, 120}));
  EXPECT_EQ(notify.Geometry().size, (Size{598, 500}));
  EXPECT_EQ(ng.Geometry().pos, (Point{60, 40}));
  EXPECT_EQ(ng.Geometry().size, (Size{538, 400}));

  struct Case {
    int width, height;
    Size notifySize, ngSize;
  };
  for (const Case& c : {Case{900, 2000, {598, 1200}, {538, 1600}}, Case{100, 100, {598, 407}, {538, 311}},
                        Case{700, 800, {598, 800}, {538, 800}}}) {
    ::SetWindowPos(notify.hwnd(), nullptr, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER);
    ::SetWindowPos(ng.hwnd(), nullptr, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(notify.Geometry().size, c.notifySize);
    EXPECT_EQ(ng.Geometry().size, c.ngSize);
  }
  // The grid grows with the window; the buttons stay at the bottom.
  RECT grid{}, button{}, client{};
  ::GetWindowRect(notify.GetNotifyView().hwnd(), &grid);
  ::GetWindowRect(::GetDlgItem(notify.hwnd(), NotifyList::kButtonOK), &button);
  ::GetClientRect(notify.hwnd(), &client);
  EXPECT_LT(grid.bottom, button.top);
  POINT buttonTop{button.left, button.bottom};
  ::ScreenToClient(notify.hwnd(), &buttonTop);
  EXPECT_EQ(client.bottom - buttonTop.y, 369 - (332 + 36));
}

TEST_F(EditorWindows, ScreenshotsWithThreeRows) {
  const std::wstring out = TestOutputFolder();
  config.NotifyListPos = Point{10, 10};
  config.NgListPos = Point{420, 300};
  NotifyList notify(config,
                    {Notify(L"Livetube", L"配信者あ", L"あさん", L"", L""), Notify(L"全部", L"", L"", L"雑談", L""),
                     Notify(L"ひまわりストリーム", L"ひま", L"", L"", L"歌枠")},
                    *logger, NotifyPath());
  NgWordList ng(config,
                {NgWordNode{L"全部", L"荒らし", L"", std::nullopt}, NgWordNode{L"CaveTube", L"", L"宣伝", L""},
                 NgWordNode{L"ひまわりストリーム", std::nullopt, std::nullopt, L"R18"}},
                *logger, NgPath());
  EXPECT_EQ(Text(notify.hwnd()), L"通知設定");
  EXPECT_EQ(Text(ng.hwnd()), L"NGリスト");
  EXPECT_EQ(HeaderTexts(notify.GetNotifyView()),
            (std::vector<std::wstring>{L"サイト", L"配信者", L"ニックネーム", L"キーワード", L"タグ"}));
  EXPECT_EQ(HeaderTexts(ng.GetNgView()), (std::vector<std::wstring>{L"サイト", L"配信者名", L"キーワード", L"タグ"}));
  EXPECT_EQ(ButtonTexts(notify.hwnd()), (std::vector<std::wstring>{L"OK", L"キャンセル", L"適用"}));
  EXPECT_EQ(ButtonTexts(ng.hwnd()), (std::vector<std::wstring>{L"OK", L"キャンセル", L"適用"}));
  EXPECT_EQ(notify.GetNotifyView().Model().RowCount(), 4);
  EXPECT_EQ(ng.GetNgView().Model().RowCount(), 4);

  // One at a time, so that neither hides part of the other.
  notify.Show();
  PumpFor(300);
  SaveScreenshot(notify.hwnd(), out + L"\\notify_list.bmp");
  notify.Hide();
  ng.Show();
  PumpFor(300);
  SaveScreenshot(ng.hwnd(), out + L"\\ng_word_list.bmp");
  EXPECT_TRUE(FileExists(out + L"\\notify_list.bmp"));

  // Rows 21 pixels high, every second one AliceBlue, SeaShell behind them.
  HWND list = ng.GetNgView().ListView();
  RECT row0{}, row1{}, client{};
  ListView_GetItemRect(list, 0, &row0, LVIR_BOUNDS);
  ListView_GetItemRect(list, 1, &row1, LVIR_BOUNDS);
  ::GetClientRect(list, &client);
  EXPECT_EQ(row0.bottom - row0.top, 21);
  HDC dc = ::GetDC(list);
  const RECT tagCell = ng.GetNgView().CellRect(0, kNgTag);
  const int x = tagCell.right - 10;
  EXPECT_EQ(::GetPixel(dc, x, (row0.top + row0.bottom) / 2), EditableGrid::kSeaShell);
  EXPECT_EQ(::GetPixel(dc, x, (row1.top + row1.bottom) / 2), EditableGrid::kAliceBlue);
  EXPECT_EQ(::GetPixel(dc, x, client.bottom - 5), EditableGrid::kSeaShell);
  ::ReleaseDC(list, dc);

  // The pointer resting on a header shows that column's tooltip.
  RECT header{};
  Header_GetItemRect(ng.GetNgView().Header(), 2, &header);
  POINT at{(header.left + header.right) / 2, (header.top + header.bottom) / 2};
  ::ClientToScreen(ng.GetNgView().Header(), &at);
  ::SetCursorPos(at.x - 5, at.y);
  PumpFor(50);
  ::SetCursorPos(at.x, at.y);
  const bool shown = WaitUntil(
      [&] {
        PumpPendingMessages();
        return ::IsWindowVisible(ng.GetNgView().ToolTip()) != FALSE;
      },
      std::chrono::seconds(5));
  EXPECT_TRUE(shown);
  if (shown) {
    wchar_t text[128] = {};
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.lpszText = text;
    ASSERT_TRUE(::SendMessageW(ng.GetNgView().ToolTip(), TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_STREQ(text, L"番組表から除外するLivetubeIDを入力します");
    SaveScreenshot(ng.hwnd(), out + L"\\ng_word_list_tooltip.bmp", 40);
  }
  EXPECT_TRUE(FileExists(out + L"\\ng_word_list.bmp"));
}

}  // namespace
}  // namespace corvanto::test
