#include "feeds/feed_frame.h"

#include <gtest/gtest.h>

#include "base/files.h"
#include "base/text.h"
#include "tests/support/test_support.h"

namespace corvanto {
namespace {

using test::TempDir;

TEST(FeedFrameTest, HiddenCopyReplacesAnOldCopyAndGoesAway) {
  TempDir dir;
  const std::wstring feed = dir / L"index.live.xml", copyPath = feed + L".tmp";
  test::WriteBytes(feed, "<feed>new</feed>");
  // A copy left behind by a failed read, hidden and read-only: it must not stop the next read.
  test::WriteBytes(copyPath, "<feed>old</feed>");
  ASSERT_TRUE(::SetFileAttributesW(copyPath.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
  {
    HiddenCopy copy(feed);
    EXPECT_EQ(copy.path(), copyPath);
    EXPECT_EQ(test::ReadBytes(copyPath), "<feed>new</feed>");
    EXPECT_TRUE(::GetFileAttributesW(copyPath.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  }
  EXPECT_FALSE(FileExists(copyPath));
  EXPECT_TRUE(FileExists(feed));
}

TEST(FeedFrameTest, HiddenCopyOfAMissingFileFails) {
  TempDir dir;
  EXPECT_THROW(HiddenCopy(dir / L"missing.xml"), Win32Error);
}

TEST(FeedFrameTest, LinguisticEqualityIsCaseAndWidthSensitive) {
  struct Case {
    const wchar_t* a;
    const wchar_t* b;
    bool equal;
  };
  const Case cases[] = {
      {L"さくら", L"さくら", true},  {L"Hanako", L"hanako", false}, {L"ABC", L"ＡＢＣ", false},
      {L"さくら", L"サクラ", false}, {L"", L"", true},              {L"a", L"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LinguisticEqual(c.a, c.b), c.equal) << WideToUtf8(c.a) << " / " << WideToUtf8(c.b);
  }
}

}  // namespace
}  // namespace corvanto
