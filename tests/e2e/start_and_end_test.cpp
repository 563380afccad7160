#include <gtest/gtest.h>

#include <chrono>

#include "app/xml_records.h"
#include "base/files.h"
#include "tests/support/test_support.h"

namespace corvanto {
namespace {

using namespace std::chrono_literals;
using test::FindCoreWindow;
using test::ListFolder;
using test::Process;
using test::ReadBytes;
using test::ReadLines;
using test::TempDir;
using test::WaitUntil;
using test::WriteBytes;

// A portable folder holding a copy of the program, as a user would unpack it.
class Portable {
 public:
  Portable() {
    exe_ = dir_ / L"Corvanto.exe";
    EXPECT_TRUE(::CopyFileW((test::TestBinFolder() + L"\\Corvanto.exe").c_str(), exe_.c_str(), FALSE));
  }
  const TempDir& dir() const { return dir_; }
  const std::wstring& exe() const { return exe_; }
  std::wstring operator/(std::wstring_view name) const { return dir_ / name; }

  // Messages of the log, without their timestamps (date and time are the first two blank-separated words).
  std::vector<std::wstring> LogMessages() const {
    std::vector<std::wstring> messages;
    if (!FileExists(dir_ / L"log.txt")) return messages;
    for (const auto& line : ReadLines(dir_ / L"log.txt")) {
      const size_t afterDate = line.find(L' ');
      const size_t afterTime = afterDate == std::wstring::npos ? afterDate : line.find(L' ', afterDate + 1);
      messages.push_back(afterTime == std::wstring::npos ? line : line.substr(afterTime + 1));
    }
    return messages;
  }

 private:
  TempDir dir_;
  std::wstring exe_;
};

void EndProgram(Process& program) {
  HWND core = FindCoreWindow(program.id());
  ASSERT_NE(core, nullptr);
  ASSERT_TRUE(::PostMessageW(core, WM_CLOSE, 0, 0));
  EXPECT_EQ(program.Wait(30s), DWORD{0});
}

TEST(StartAndEnd, FirstStartInAnEmptyFolderThenASecondCopyThenEnd) {
  Portable app;
  Process first(app.exe(), L"", app.dir().path());
  ASSERT_TRUE(WaitUntil([&] { return app.LogMessages().size() >= 4; }, 30s));

  const std::wstring config = app / L"config";
  const std::vector<std::wstring> loadLines = {
      L" [Worn]: " + config + L"\\Config.xml が存在しない",
      L" [Info]: コンフィグデータに初期値を採用",
      L" [Worn]: " + config + L"\\NotifyList.xml が存在しない",
      L" [Worn]: " + config + L"\\NgList.xml が存在しない",
  };
  ::Sleep(500);  // nothing more may come while it idles
  EXPECT_EQ(app.LogMessages(), loadLines);
  EXPECT_EQ(ListFolder(app.dir().path()),
            (std::vector<std::wstring>{L"Corvanto.exe", L"config", L"feedfile", L"log.txt"}));
  EXPECT_TRUE(ListFolder(config).empty());
  EXPECT_TRUE(ListFolder(app / L"feedfile").empty());

  // A second copy ends at once with 0 and leaves the first one's log alone.
  const std::string logBefore = ReadBytes(app / L"log.txt");
  {
    Process second(app.exe(), L"", app.dir().path());
    EXPECT_EQ(second.Wait(20s), DWORD{0});
  }
  EXPECT_EQ(ReadBytes(app / L"log.txt"), logBefore);

  EndProgram(first);
  std::vector<std::wstring> endLines = loadLines;
  endLines.push_back(L" [Info]: コンフィグXML書き出し完了");
  endLines.push_back(L" [Info]: 通知情報XML書き出し完了");
  EXPECT_EQ(app.LogMessages(), endLines);
  ConfigNode defaults;
  InitConfigNodeDat(defaults);
  EXPECT_EQ(ReadBytes(config + L"\\Config.xml"), SerializeConfigNode(defaults));
  EXPECT_EQ(ReadBytes(config + L"\\NotifyList.xml"), SerializeNotifyList({}));
  EXPECT_FALSE(FileExists(config + L"\\NgList.xml"));
  EXPECT_EQ(ListFolder(config), (std::vector<std::wstring>{L"Config.xml", L"NotifyList.xml"}));
}

TEST(StartAndEnd, LegacyListsBecomeTheNotifyListAtTheEnd) {
  Portable app;
  // An older version kept its lists beside the exe.
  AuthorNode a1, a2;
  a1.serverAuthor = L"Livetube", a1.AuthorName = L"配信者1", a1.NickName = L"いち";
  a2.serverAuthor = L"CaveTube", a2.AuthorName = L"配信者2", a2.NickName = L"";
  WriteBytes(app / L"List.xml", SerializeAuthorList({a1, a2}));
  KeywordNode k;
  k.serverKeyword = L"全部", k.Keyword = L"初見歓迎";
  WriteBytes(app / L"Keyword.xml", SerializeKeywordList({k}));

  Process program(app.exe(), L"", app.dir().path());
  ASSERT_TRUE(WaitUntil([&] { return app.LogMessages().size() >= 3; }, 30s));
  EndProgram(program);

  const std::wstring config = app / L"config";
  EXPECT_FALSE(FileExists(app / L"List.xml"));
  EXPECT_FALSE(FileExists(config + L"\\List.xml"));
  EXPECT_FALSE(FileExists(config + L"\\Keyword.xml"));
  const std::vector<std::wstring> placeholder = {kNowLiveIdPlaceholder};
  const std::vector<NotifyNode> expected = {
      {L"Livetube", L"配信者1", L"いち", L"", L"", placeholder},
      {L"CaveTube", L"配信者2", L"", L"", L"", placeholder},
      {L"全部", L"", L"", L"初見歓迎", L"", placeholder},
  };
  EXPECT_EQ(ReadBytes(config + L"\\NotifyList.xml"), SerializeNotifyList(expected));
}

TEST(StartAndEnd, AConfigFileThatCannotBeReadEndsTheStartWithALogLine) {
  Portable app;
  ASSERT_TRUE(::CreateDirectoryW((app / L"config").c_str(), nullptr));
  // A folder where the settings file should be: it exists but cannot be opened as a file.
  ASSERT_TRUE(::CreateDirectoryW((app / L"config\\Config.xml").c_str(), nullptr));
  Process program(app.exe(), L"", app.dir().path());
  const auto code = program.Wait(30s);
  ASSERT_TRUE(code.has_value());
  EXPECT_NE(*code, DWORD{0});
  const auto log = app.LogMessages();
  ASSERT_FALSE(log.empty());
  EXPECT_TRUE(log.back().starts_with(L" [Error]: 起動に失敗しました: ")) << log.back().size();
}

}  // namespace
}  // namespace corvanto

namespace corvanto {
namespace {

// The tray images are looked up by name in the exe; each is a 48 x 48 tile of its state's colour.
TEST(Resources, TrayImagesAreNamedTilesOfTheirColours) {
  const std::wstring exe = test::TestBinFolder() + L"\\Corvanto.exe";
  HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  const std::pair<const wchar_t*, COLORREF> images[] = {
      {L"icon", RGB(0xFF, 0xFF, 0xFF)}, {L"icon2", RGB(0x80, 0xFF, 0x80)}, {L"icon3", RGB(0xFF, 0x80, 0x80)},
      {L"icon4", RGB(0x65, 0xAC, 0xFF)}, {L"icon5", RGB(0xFF, 0xC9, 0x0E)}};
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 48, 48);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  for (const auto& [name, colour] : images) {
    HICON icon = static_cast<HICON>(::LoadImageW(module, name, IMAGE_ICON, 48, 48, 0));
    ASSERT_NE(icon, nullptr) << "icon resource missing";
    RECT all{0, 0, 48, 48};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::DrawIconEx(dc, 0, 0, icon, 48, 48, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(::GetPixel(dc, 24, 4), colour);  // the tile above the mark
    EXPECT_EQ(::GetPixel(dc, 24, 24), RGB(0, 0, 0));  // the mark
    EXPECT_EQ(::GetPixel(dc, 0, 0), RGB(0, 0, 0));  // a curved corner lets the background through
    ::DestroyIcon(icon);
  }
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);  // the window icon
  ::FreeLibrary(module);
}

}  // namespace
}  // namespace corvanto
