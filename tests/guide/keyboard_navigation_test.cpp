// Keyboard use of an editor window beyond the grid: Ctrl+Tab leaves the grid, Tab moves between the buttons,
// Enter presses the focused button and Escape cancels. Real key presses through the input queue.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "base/files.h"
#include "base/ui_thread.h"
#include "guide/notify_list.h"
#include "tests/support/test_support.h"

namespace corvanto::test {
namespace {

using namespace std::chrono_literals;

void Press(std::initializer_list<std::pair<WORD, bool>> keys) {
  std::vector<INPUT> inputs;
  for (auto [vk, up] : keys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
  }
  ASSERT_EQ(::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
}

void Tap(WORD vk) { Press({{vk, false}, {vk, true}}); }

bool PumpUntil(const std::function<bool()>& condition) {
  return WaitUntil(
      [&] {
        PumpPendingMessages();
        return condition();
      },
      5s);
}

TEST(EditorKeyboard, LeavesTheGridMovesBetweenButtonsAndPressesTheFocusedOne) {
  TempDir dir;
  Logger logger(dir / L"log.txt");
  ConfigNode config;
  InitConfigNodeDat(config);
  const std::wstring file = dir / L"NotifyList.xml";
  NotifyList editor(config, {}, logger, file);
  HWND window = editor.hwnd();
  HWND ok = ::GetDlgItem(window, NotifyList::kButtonOK);
  HWND cancel = ::GetDlgItem(window, NotifyList::kButtonCancel);
  HWND apply = ::GetDlgItem(window, NotifyList::kButtonSave);

  auto showWithFocus = [&](HWND focus) {
    editor.Show();
    ::SetForegroundWindow(window);
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == window; }));
    ::SetFocus(focus);
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == focus; }));
  };

  // From the grid, Ctrl+Tab goes to the first button; Tab goes on; Enter presses キャンセル, not OK.
  showWithFocus(editor.GetNotifyView().ListView());
  Press({{VK_CONTROL, false}, {VK_TAB, false}, {VK_TAB, true}, {VK_CONTROL, true}});
  EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == ok; }));
  Tap(VK_TAB);
  EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == cancel; }));
  Tap(VK_RETURN);
  EXPECT_TRUE(PumpUntil([&] { return !editor.Visible(); }));
  EXPECT_FALSE(FileExists(file));

  // Escape on a button cancels the window.
  showWithFocus(apply);
  Tap(VK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return !editor.Visible(); }));
  EXPECT_FALSE(FileExists(file));

  // Enter on 適用 saves and keeps the window.
  showWithFocus(apply);
  Tap(VK_RETURN);
  EXPECT_TRUE(PumpUntil([&] { return FileExists(file); }));
  EXPECT_TRUE(editor.Visible());

  // Shift+Tab goes back.
  Press({{VK_SHIFT, false}, {VK_TAB, false}, {VK_TAB, true}, {VK_SHIFT, true}});
  EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == cancel; }));
}

}  // namespace
}  // namespace corvanto::test
