// The real program with its editors: built hidden at start with the loaded rows, saved at the end when shown,
// and their place and height recorded in the settings.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/xml_records.h"
#include "base/files.h"
#include "tests/support/test_support.h"

namespace corvanto::test {
namespace {

using namespace std::chrono_literals;

TEST(EditorsAtExit, SavedWhenShownAndPlacesRecorded) {
  // A notify row with only a nickname (the save makes it the broadcaster) and an NG file in a layout of its own
  // (a save writes it in the standard one), so that a save shows in the bytes.
  const std::string notifyFile =
      "<ArrayOfNotifyNode><NotifyNode><server>CaveTube</server><nickName>あだ名</nickName></NotifyNode>"
      "</ArrayOfNotifyNode>";
  const std::string ngFile =
      "<ArrayOfNgWordNode><NgWordNode><serverNg>全部</serverNg><NgKeyword>宣伝</NgKeyword></NgWordNode>"
      "</ArrayOfNgWordNode>";
  const std::vector<std::wstring> placeholder{kNowLiveIdPlaceholder};
  for (const bool shown : {false, true}) {
    SCOPED_TRACE(shown ? "editors shown at the end" : "editors hidden at the end");
    TempDir dir;
    const std::wstring exe = dir / L"Corvanto.exe";
    ASSERT_TRUE(::CopyFileW((TestBinFolder() + L"\\Corvanto.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(::CreateDirectoryW((dir / L"config").c_str(), nullptr));
    WriteBytes(dir / L"config\\NotifyList.xml", notifyFile);
    WriteBytes(dir / L"config\\NgList.xml", ngFile);

    Process program(exe, L"", dir.path());
    HWND notify = FindTopWindow(program.id(), L"通知設定");
    HWND ng = FindTopWindow(program.id(), L"NGリスト");
    ASSERT_NE(notify, nullptr);
    ASSERT_NE(ng, nullptr);
    EXPECT_FALSE(::IsWindowVisible(notify));  // nothing shows at start
    EXPECT_FALSE(::IsWindowVisible(ng));
    ::SetWindowPos(notify, nullptr, 200, 150, 598, 500, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(ng, nullptr, 300, 250, 538, 350, SWP_NOZORDER | SWP_NOACTIVATE);
    if (shown) {
      ::ShowWindow(notify, SW_SHOWNOACTIVATE);
      ::ShowWindow(ng, SW_SHOWNOACTIVATE);
      // The notify editor goes back to its stored place when first shown; put it where the user would.
      ::Sleep(200);
      ::SetWindowPos(notify, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND core = FindCoreWindow(program.id());
    ASSERT_NE(core, nullptr);
    ASSERT_TRUE(::PostMessageW(core, WM_CLOSE, 0, 0));
    ASSERT_EQ(program.Wait(30s), DWORD{0});

    if (shown) {
      EXPECT_EQ(ReadBytes(dir / L"config\\NotifyList.xml"),
                SerializeNotifyList({NotifyNode{L"CaveTube", L"あだ名", L"あだ名", L"", L"", placeholder}}));
      EXPECT_EQ(ReadBytes(dir / L"config\\NgList.xml"),
                SerializeNgList({NgWordNode{L"全部", std::nullopt, L"宣伝", std::nullopt}}));
    } else {
      EXPECT_EQ(ReadBytes(dir / L"config\\NotifyList.xml"), notifyFile);
      EXPECT_EQ(ReadBytes(dir / L"config\\NgList.xml"), ngFile);
    }
    auto config = DeserializeConfigNode(ReadBytes(dir / L"config\\Config.xml"));
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(config->NotifyListPos, (Point{200, 150}));
    EXPECT_EQ(config->NotifyListHeight, 500);
    EXPECT_EQ(config->NgListPos, (Point{300, 250}));
    EXPECT_EQ(config->NgListHeight, 350);
  }
}

}  // namespace
}  // namespace corvanto::test
