#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <set>
#include <thread>

#include "app/logger.h"
#include "base/files.h"
#include "base/text.h"
#include "tests/support/test_support.h"

namespace corvanto {
namespace {

using test::ReadBytes;
using test::ReadLines;
using test::TempDir;
using test::WriteBytes;

TEST(Logger, StartEmptiesTheFileAndLinesCarryTheRegionalTime) {
  TempDir dir;
  const std::wstring path = dir / L"log.txt";
  WriteBytes(path, "earlier run\r\n");
  Logger logger(path);
  EXPECT_EQ(ReadBytes(path), "");
  logger.WriteLine(L" [Info]: 起動");
  logger.WriteLine(L"");
  const std::string bytes = ReadBytes(path);
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
  const auto lines = ReadLines(path);
  ASSERT_EQ(lines.size(), 2u);
  // The tests run with the Japanese locale: 2026/12/11 9:05:01
  const std::wregex japanese(LR"(^\d{4}/\d{2}/\d{2} \d{1,2}:\d{2}:\d{2} )");
  EXPECT_TRUE(std::regex_search(lines[0], japanese)) << WideToUtf8(lines[0]);
  EXPECT_TRUE(lines[0].ends_with(L"  [Info]: 起動"));
  // An empty message: the timestamp and one blank.
  EXPECT_TRUE(std::regex_match(lines[1], std::wregex(LR"(^\d{4}/\d{2}/\d{2} \d{1,2}:\d{2}:\d{2} $)")));
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST(Logger, TwoThreadsWriteWholeLines) {
  TempDir dir;
  Logger logger(dir / L"log.txt");
  constexpr int kPerThread = 200;
  auto writer = [&](wchar_t who) {
    for (int i = 0; i < kPerThread; ++i) logger.WriteLine(std::wstring(L" [Info]: ") + who + std::to_wstring(i));
  };
  std::thread a(writer, L'A'), b(writer, L'B');
  a.join();
  b.join();
  const auto lines = ReadLines(dir / L"log.txt");
  ASSERT_EQ(lines.size(), 2u * kPerThread);
  const std::wregex whole(LR"(^\S+ \S+  \[Info\]: [AB]\d+$)");
  std::set<std::wstring> seen;
  for (const auto& l : lines) {
    EXPECT_TRUE(std::regex_match(l, whole)) << WideToUtf8(l);
    seen.insert(l.substr(l.find(L"]: ") + 3));
  }
  EXPECT_EQ(seen.size(), 2u * kPerThread);
}

TEST(Logger, LinesThatCannotBeWrittenWaitForTheNextSuccessfulOne) {
  TempDir dir;
  const std::wstring path = dir / L"log.txt";
  Logger logger(path);
  int tick = 0;
  logger.SetClockForTesting([&] { return L"t" + std::to_wstring(++tick); });
  logger.WriteLine(L" [Info]: before");

  // Another program holds the log open without sharing.
  HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  logger.WriteLine(L" [Info]: one");
  logger.WriteLine(L" [Info]: two");
  logger.WriteLine(L"three\r\n");  // line breaks at the end of what is pending are dropped
  ::CloseHandle(held);
  EXPECT_EQ(ReadLines(path), (std::vector<std::wstring>{L"t1  [Info]: before"}));

  logger.WriteLine(L" [Info]: after");
  const std::vector<std::wstring> expected = {L"t1  [Info]: before", L"t2  [Info]: one", L"t3  [Info]: two",
                                              L"t4 three", L"t5  [Info]: after"};
  EXPECT_EQ(ReadLines(path), expected);
  logger.WriteLine(L" [Info]: last");
  EXPECT_EQ(ReadLines(path).back(), L"t6  [Info]: last");
  EXPECT_EQ(ReadLines(path).size(), expected.size() + 1);
}

TEST(Logger, AMissingFolderKeepsLinesInMemory) {
  TempDir dir;
  const std::wstring folder = dir / L"sub";
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  Logger logger(folder + L"\\log.txt");
  logger.SetClockForTesting([] { return std::wstring(L"T"); });
  ::DeleteFileW((folder + L"\\log.txt").c_str());
  ASSERT_TRUE(::RemoveDirectoryW(folder.c_str()));
  logger.WriteLine(L"lost for now");
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  logger.WriteLine(L"back");
  EXPECT_EQ(ReadLines(folder + L"\\log.txt"), (std::vector<std::wstring>{L"T lost for now", L"T back"}));
}

TEST(Logger, TheNamedMutexSerialisesWithOtherHolders) {
  TempDir dir;
  Logger logger(dir / L"log.txt");
  NamedMutex other(L"Corvanto_log");
  std::atomic<bool> written{false};
  std::thread holder;
  {
    std::atomic<bool> held{false};
    holder = std::thread([&] {
      other.LockPolling(std::chrono::milliseconds(1));
      held = true;
      ::Sleep(300);
      EXPECT_FALSE(written.load());
      other.Unlock();
    });
    while (!held) ::Sleep(1);
    logger.WriteLine(L"waited");
    written = true;
  }
  holder.join();
  EXPECT_EQ(ReadLines(dir / L"log.txt").size(), 1u);
}

}  // namespace
}  // namespace corvanto
