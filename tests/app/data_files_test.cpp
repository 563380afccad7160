#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/data_files.h"
#include "app/xml_records.h"
#include "base/files.h"
#include "tests/support/test_support.h"

namespace corvanto {
namespace {

using test::ListFolder;
using test::ReadBytes;
using test::ReadLines;
using test::TempDir;
using test::WriteBytes;

// A folder standing in for the executable's, with a log whose lines carry the time "T".
class DataFilesTest : public ::testing::Test {
 protected:
  DataFilesTest() : paths(DataPaths::In(dir.path())), logger(dir / L"log.txt") {
    logger.SetClockForTesting([] { return std::wstring(L"T"); });
  }

  LoadedData Load() { return LoadConfigList(paths, logger, DisplaySize{1024, 768}); }
  std::vector<std::wstring> Log() { return ReadLines(dir / L"log.txt"); }
  std::wstring Config(const wchar_t* name) { return dir / (std::wstring(L"config\\") + name); }

  TempDir dir;
  DataPaths paths;
  Logger logger;
};

TEST_F(DataFilesTest, FirstStartInAnEmptyFolder) {
  LoadedData data = Load();
  EXPECT_TRUE(DirectoryExists(dir / L"config"));
  EXPECT_TRUE(DirectoryExists(dir / L"feedfile"));
  EXPECT_TRUE(ListFolder(dir / L"config").empty());
  const std::vector<std::wstring> expected = {
      L"T  [Worn]: " + paths.ConfigFileName + L" が存在しない",
      L"T  [Info]: コンフィグデータに初期値を採用",
      L"T  [Worn]: " + paths.NotifyListFileName + L" が存在しない",
      L"T  [Worn]: " + paths.NgListFileName + L" が存在しない",
  };
  EXPECT_EQ(Log(), expected);
  ConfigNode defaults;
  InitConfigNodeDat(defaults);
  EXPECT_TRUE(data.ConfigNodeDat == defaults);
  EXPECT_TRUE(data.NotifyNodeDat.empty());
  EXPECT_TRUE(data.NgWordNodeDat.empty());
}

TEST_F(DataFilesTest, ReadConfigIsCorrectedAndPositionsChecked) {
  Load();
  WriteBytes(paths.ConfigFileName,
             "<ConfigNode><SoundVolume>101</SoundVolume><ProgramPos><X>1024</X><Y>768</Y></ProgramPos>"
             "<NgListPos><X>1025</X><Y>0</Y></NgListPos></ConfigNode>");
  ::DeleteFileW((dir / L"log.txt").c_str());
  LoadedData data = Load();
  const ConfigNode& c = data.ConfigNodeDat;
  EXPECT_EQ(c.SleepTime, 600000);  // the correction of a missing value, not the default
  EXPECT_TRUE(c.EnableLivetube);
  EXPECT_EQ(c.SoundVolume, 100);
  EXPECT_EQ(c.AlertFile, L"Alert.wav");
  EXPECT_EQ(c.ProgramPos, (Point{1024, 768}));
  EXPECT_EQ(c.NgListPos, (Point{100, 100}));
  EXPECT_EQ(c.NotifyListPos, (Point{0, 0}));  // absent from the file: (0, 0), on the display
}

TEST_F(DataFilesTest, MalformedFilesAreLoggedAndGiveDefaultsOrNothing) {
  Load();
  WriteBytes(paths.ConfigFileName, "<ConfigNode><SleepTime>soon</SleepTime></ConfigNode>");
  WriteBytes(paths.NotifyListFileName, "<ArrayOfNotifyNode><NotifyNode>");
  WriteBytes(paths.NgListFileName, "");
  WriteBytes(paths.ListFileName, "<ArrayOfAuthorNode><AuthorNode><AlertFlg>2</AlertFlg></AuthorNode></ArrayOfAuthorNode>");
  WriteBytes(paths.KeywordFileName, "<Wrong />");
  ::DeleteFileW((dir / L"log.txt").c_str());
  LoadedData data = Load();
  const std::vector<std::wstring> expected = {
      L"T  [Error]: " + paths.ConfigFileName + L" のフォーマットが異常です",
      L"T  [Error]: " + paths.NotifyListFileName + L" のフォーマットが異常です",
      L"T  [Error]: " + paths.ListFileName + L" のフォーマットが異常です",
      L"T  [Error]: " + paths.KeywordFileName + L" のフォーマットが異常です",
      L"T  [Error]: " + paths.NgListFileName + L" のフォーマットが異常です",
  };
  EXPECT_EQ(Log(), expected);
  ConfigNode defaults;
  InitConfigNodeDat(defaults);
  EXPECT_TRUE(data.ConfigNodeDat == defaults);
  EXPECT_TRUE(data.NotifyNodeDat.empty());
  // malformed legacy files stay to be tried again
  EXPECT_TRUE(FileExists(paths.ListFileName));
  EXPECT_TRUE(FileExists(paths.KeywordFileName));
}

TEST_F(DataFilesTest, LegacyListsAreConvertedAfterTheNotifyRowsAndDeleted) {
  Load();
  WriteBytes(paths.NotifyListFileName,
             SerializeNotifyList({{L"ニコニコ", L"既存", L"", L"", L"", std::nullopt},
                                  {std::nullopt, L"無印", L"", L"", L"", std::nullopt},
                                  {L"CaveTube", L"洞窟", L"", L"", L"", std::nullopt}}));
  AuthorNode a1, a2;
  a1.serverAuthor = L"ひまわりストリーム", a1.AuthorName = L"作者1", a1.NickName = L"あだ名";
  a2.serverAuthor = L"謎", a2.AuthorName = L"作者2";
  WriteBytes(paths.ListFileName, SerializeAuthorList({a1, a2}));
  KeywordNode k;
  k.serverKeyword = L"全部", k.Keyword = L"歌枠";
  WriteBytes(paths.KeywordFileName, SerializeKeywordList({k}));
  WriteBytes(paths.NgListFileName,
             SerializeNgList({{L"ニコニコ", L"x", std::nullopt, std::nullopt},
                              {std::nullopt, std::nullopt, L"y", std::nullopt},
                              {L"Livetube", std::nullopt, std::nullopt, L"z"}}));

  LoadedData data = Load();
  const std::vector<NotifyNode> expected = {
      {L"Livetube", L"既存", L"", L"", L"", std::nullopt},
      {L"Livetube", L"無印", L"", L"", L"", std::nullopt},
      {L"CaveTube", L"洞窟", L"", L"", L"", std::nullopt},
      {L"ひまわりストリーム", L"作者1", L"あだ名", L"", L"", std::nullopt},
      {L"Livetube", L"作者2", std::nullopt, L"", L"", std::nullopt},
      {L"全部", L"", L"", L"歌枠", L"", std::nullopt},
  };
  EXPECT_EQ(data.NotifyNodeDat, expected);
  EXPECT_FALSE(FileExists(paths.ListFileName));
  EXPECT_FALSE(FileExists(paths.KeywordFileName));
  ASSERT_EQ(data.NgWordNodeDat.size(), 3u);
  EXPECT_EQ(data.NgWordNodeDat[0].serverNg, L"全部");  // unknown site: all sites, not Livetube
  EXPECT_EQ(data.NgWordNodeDat[1].serverNg, L"全部");
  EXPECT_EQ(data.NgWordNodeDat[2].serverNg, L"Livetube");
}

TEST_F(DataFilesTest, FilesOfOlderVersionsMoveIntoConfigAndWin) {
  Load();
  WriteBytes(paths.ConfigFileName, "<ConfigNode><SoundVolume>10</SoundVolume></ConfigNode>");
  WriteBytes(dir / L"Config.xml", "<ConfigNode><SoundVolume>20</SoundVolume></ConfigNode>");
  WriteBytes(dir / L"NgList.xml", SerializeNgList({{L"CaveTube", L"old", std::nullopt, std::nullopt}}));
  WriteBytes(dir / L"List.xml", SerializeAuthorList({}));
  WriteBytes(dir / L"NotifyList.xml", "never moved");
  WriteBytes(dir / L"index.live.xml", "stale feed");
  LoadedData data = Load();
  EXPECT_EQ(data.ConfigNodeDat.SoundVolume, 20);
  ASSERT_EQ(data.NgWordNodeDat.size(), 1u);
  EXPECT_EQ(data.NgWordNodeDat[0].NgAuthorName, L"old");
  EXPECT_FALSE(FileExists(dir / L"Config.xml"));
  EXPECT_FALSE(FileExists(dir / L"NgList.xml"));
  EXPECT_FALSE(FileExists(dir / L"List.xml"));
  EXPECT_FALSE(FileExists(paths.ListFileName));  // moved, read (empty) and deleted
  EXPECT_FALSE(FileExists(dir / L"index.live.xml"));
  EXPECT_TRUE(FileExists(dir / L"NotifyList.xml"));
}

TEST_F(DataFilesTest, AFileThatCannotBeOpenedEndsTheStart) {
  Load();
  WriteBytes(paths.ConfigFileName, SerializeConfigNode(ConfigNode{}));
  HANDLE locked = ::CreateFileW(paths.ConfigFileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_THROW(Load(), Win32Error);
  ::CloseHandle(locked);
}

TEST_F(DataFilesTest, SavesWriteTheFileAndTheirSuccessLines) {
  Load();
  ::DeleteFileW((dir / L"log.txt").c_str());
  ConfigNode c;
  InitConfigNodeDat(c);
  EXPECT_TRUE(SaveConfigFile(paths.ConfigFileName, c, logger));
  EXPECT_TRUE(SaveNotifyListFile(paths.NotifyListFileName, {}, logger));
  EXPECT_TRUE(SaveNgListFile(paths.NgListFileName, {}, logger));
  EXPECT_EQ(ReadBytes(paths.ConfigFileName), SerializeConfigNode(c));
  EXPECT_EQ(ReadBytes(paths.NgListFileName), SerializeNgList({}));
  const std::vector<std::wstring> expected = {L"T  [Info]: コンフィグXML書き出し完了", L"T  [Info]: 通知情報XML書き出し完了",
                                              L"T  [Info]: NGリストXML書き出し完了"};
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(ListFolder(dir / L"config"), (std::vector<std::wstring>{L"Config.xml", L"NgList.xml", L"NotifyList.xml"}));
}

TEST_F(DataFilesTest, AFailedSerialisationKeepsTheOldFileAndSaysSo) {
  Load();
  const std::vector<NotifyNode> good = {{L"Livetube", L"a", L"", L"", L"", std::nullopt}};
  ASSERT_TRUE(SaveNotifyListFile(paths.NotifyListFileName, good, logger));
  const std::string before = ReadBytes(paths.NotifyListFileName);
  ::DeleteFileW((dir / L"log.txt").c_str());

  std::vector<NotifyNode> bad = good;
  bad[0].author = std::wstring(L"a") + wchar_t(0x07);
  EXPECT_FALSE(SaveNotifyListFile(paths.NotifyListFileName, bad, logger));
  EXPECT_EQ(ReadBytes(paths.NotifyListFileName), before);
  EXPECT_FALSE(FileExists(paths.NotifyListFileName + L".tmp"));
  const auto log = Log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], L"T 通知情報XML書き込み失敗");
  EXPECT_EQ(log[1], L"T XML ドキュメントの生成中にエラーが発生しました。");
  EXPECT_EQ(log[2], L"T XMLで表せない文字 U+0007 が含まれています");
}

TEST_F(DataFilesTest, AReplaceThatCannotHappenKeepsTheOldFile) {
  Load();
  ASSERT_TRUE(SaveNgListFile(paths.NgListFileName, {}, logger));
  const std::string before = ReadBytes(paths.NgListFileName);
  // Another program holds the file open without letting it be deleted or replaced.
  HANDLE held = ::CreateFileW(paths.NgListFileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ::DeleteFileW((dir / L"log.txt").c_str());
  EXPECT_FALSE(SaveNgListFile(paths.NgListFileName, {{L"全部", L"x", std::nullopt, std::nullopt}}, logger));
  ::CloseHandle(held);
  EXPECT_EQ(ReadBytes(paths.NgListFileName), before);
  const auto log = Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], L"T リストXML書き込み失敗");
  EXPECT_NE(log[1].find(L"MoveFileEx"), std::wstring::npos);
}

TEST_F(DataFilesTest, TheTargetIsNeverMissingWhileItIsReplaced) {
  Load();
  ASSERT_TRUE(SaveNotifyListFile(paths.NotifyListFileName, {}, logger));
  std::atomic<bool> done{false};
  std::atomic<int> missing{0}, checks{0};
  std::thread watcher([&] {
    while (!done) {
      if (::GetFileAttributesW(paths.NotifyListFileName.c_str()) == INVALID_FILE_ATTRIBUTES) ++missing;
      ++checks;
    }
  });
  std::vector<NotifyNode> rows;
  for (int i = 0; i < 150; ++i) {
    rows.push_back({L"全部", L"author" + std::to_wstring(i), L"", L"", L"", std::nullopt});
    SaveNotifyListFile(paths.NotifyListFileName, rows, logger);
  }
  done = true;
  watcher.join();
  EXPECT_GT(checks.load(), 0);
  EXPECT_EQ(missing.load(), 0);
  auto back = DeserializeNotifyList(ReadBytes(paths.NotifyListFileName));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->size(), 150u);
}

}  // namespace
}  // namespace corvanto
