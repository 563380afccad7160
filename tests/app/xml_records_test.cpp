#include <gtest/gtest.h>

#include <cstdint>

#include "app/xml_records.h"
#include "tests/support/test_support.h"

namespace corvanto {
namespace {

using test::XmlLines;
const std::string kDefaultConfig = XmlLines({
    "<?xml version=\"1.0\"?>",
    "<ConfigNode " CORVANTO_XML_NS ">",
    "  <SleepTime>900000</SleepTime>",
    "  <AlertFile>Alert.wav</AlertFile>",
    "  <AlertFile2>Alert2.wav</AlertFile2>",
    "  <AlertFile3>Alert3.wav</AlertFile3>",
    "  <BrowserPath />",
    "  <hServer>false</hServer>",
    "  <keywordCvt>false</keywordCvt>",
    "  <UpdateSync>false</UpdateSync>",
    "  <LivetubeJson>false</LivetubeJson>",
    "  <DisableFirstNotify>false</DisableFirstNotify>",
    "  <DontShowNiconico>false</DontShowNiconico>",
    "  <ViewProgramSite>false</ViewProgramSite>",
    "  <ViewTotalUserNum>false</ViewTotalUserNum>",
    "  <ViewMaxUserNum>false</ViewMaxUserNum>",
    "  <ViewUserNum>false</ViewUserNum>",
    "  <ViewCommentNum>false</ViewCommentNum>",
    "  <ViewTag>false</ViewTag>",
    "  <EnableLivetube>true</EnableLivetube>",
    "  <EnableCaveTube>false</EnableCaveTube>",
    "  <EnableHimawari>false</EnableHimawari>",
    "  <DisableProgramListByBrowser>false</DisableProgramListByBrowser>",
    "  <AtomLivetubeFile>index.live.xml</AtomLivetubeFile>",
    "  <JsonLivetubeFile>index.live.json</JsonLivetubeFile>",
    "  <AtomCaveTubeFile>index_live.xml</AtomCaveTubeFile>",
    "  <RssHimawariFile>rsshima.xml</RssHimawariFile>",
    "  <AtomLivetubeURL>http://livetube.cc/index.live.xml</AtomLivetubeURL>",
    "  <JsonLivetubeURL>http://livetube.cc/index.live.json</JsonLivetubeURL>",
    "  <AtomCaveTubeURL>http://rss.cavelis.net/index_live.xml</AtomCaveTubeURL>",
    "  <RssHimawariURL>http://himast.in/?mode=program&amp;cat=search&amp;sort=st_start_date&amp;st_status=1&amp;"
    "rss=1&amp;page=</RssHimawariURL>",
    "  <PopupTime>15000</PopupTime>",
    "  <TimeoutTime>20000</TimeoutTime>",
    "  <SoundVolume>100</SoundVolume>",
    "  <NotifyListPos>",
    "    <X>100</X>",
    "    <Y>100</Y>",
    "  </NotifyListPos>",
    "  <AlertListPos>",
    "    <X>100</X>",
    "    <Y>100</Y>",
    "  </AlertListPos>",
    "  <ProgramPos>",
    "    <X>100</X>",
    "    <Y>100</Y>",
    "  </ProgramPos>",
    "  <NgListPos>",
    "    <X>100</X>",
    "    <Y>100</Y>",
    "  </NgListPos>",
    "  <ConfigFormPos>",
    "    <X>100</X>",
    "    <Y>100</Y>",
    "  </ConfigFormPos>",
    "  <ProgramListSize>",
    "    <Width>606</Width>",
    "    <Height>306</Height>",
    "  </ProgramListSize>",
    "  <NgListHeight>311</NgListHeight>",
    "  <NotifyListHeight>407</NotifyListHeight>",
    "  <AlertListHeight>370</AlertListHeight>",
    "  <ProgramListWidth>",
    "    <int>30</int>",
    "    <int>240</int>",
    "    <int>80</int>",
    "    <int>120</int>",
    "    <int>65</int>",
    "    <int>65</int>",
    "    <int>65</int>",
    "    <int>65</int>",
    "    <int>65</int>",
    "    <int>65</int>",
    "  </ProgramListWidth>",
    "  <sortColumn>0</sortColumn>",
    "  <sortNumber>0</sortNumber>",
    "  <sortTitle>0</sortTitle>",
    "  <sortAuthor>0</sortAuthor>",
    "  <sortTime>0</sortTime>",
    "  <sortSite>0</sortSite>",
    "  <sortTUser>0</sortTUser>",
    "  <sortMUser>0</sortMUser>",
    "  <sortUser>0</sortUser>",
    "  <sortCom>0</sortCom>",
    "  <sortTag>0</sortTag>",
    "</ConfigNode>",
});

ConfigNode Defaults() {
  ConfigNode c;
  InitConfigNodeDat(c);
  return c;
}

TEST(ConfigFile, DefaultsWriteTheGoldenBytesAndReadBack) {
  EXPECT_EQ(SerializeConfigNode(Defaults()), kDefaultConfig);
  auto back = DeserializeConfigNode(kDefaultConfig);
  ASSERT_TRUE(back);
  EXPECT_TRUE(*back == Defaults());
}

TEST(ConfigFile, FreshRecordOmitsAbsentTextsAndLists) {
  ConfigNode c;
  c.SleepTime = -5;
  const std::string xml = SerializeConfigNode(c);
  EXPECT_NE(xml.find("\r\n  <SleepTime>-5</SleepTime>\r\n  <hServer>false</hServer>\r\n"), std::string::npos);
  EXPECT_EQ(xml.find("AlertFile"), std::string::npos);
  EXPECT_EQ(xml.find("ProgramListWidth"), std::string::npos);
  c.ProgramListWidth.emplace();
  EXPECT_NE(SerializeConfigNode(c).find("\r\n  <ProgramListWidth />\r\n"), std::string::npos);
}

TEST(ConfigFile, TextsAreEscapedAndSurviveARoundTrip) {
  ConfigNode c = Defaults();
  c.BrowserPath = L"C:\\Program Files\\ブラウザ\\a&b<c>\"d'.exe";
  const std::string xml = SerializeConfigNode(c);
  EXPECT_NE(xml.find("<BrowserPath>C:\\Program Files\\\xE3\x83\x96\xE3\x83\xA9\xE3\x82\xA6\xE3\x82\xB6\\a&amp;b&lt;c&gt;"
                     "\"d'.exe</BrowserPath>"),
            std::string::npos);
  auto back = DeserializeConfigNode(xml);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->BrowserPath, c.BrowserPath);

  // Line feeds and tabs stay as they are; a CR goes as a character reference so that no reader folds it away.
  c.BrowserPath = L"a\nb\tc";
  back = DeserializeConfigNode(SerializeConfigNode(c));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->BrowserPath, c.BrowserPath);
  c.BrowserPath = L"a\rb";
  EXPECT_NE(SerializeConfigNode(c).find("<BrowserPath>a&#xD;b</BrowserPath>"), std::string::npos);
}

TEST(ConfigFile, TextsXmlCannotHoldFailTheSerialisation) {
  ConfigNode c = Defaults();
  c.AlertFile = std::wstring(L"a") + wchar_t(0x01);
  EXPECT_THROW(SerializeConfigNode(c), XmlSerializeError);
  c.AlertFile = std::wstring(1, wchar_t(0xD800));
  EXPECT_THROW(SerializeConfigNode(c), XmlSerializeError);
}

TEST(ConfigFile, ReadingIsLenient) {
  const std::string shuffled =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<ConfigNode>\n"
      "  <Unknown><Deep>1</Deep></Unknown>\n"
      "  <ProgramPos><Y> 7 </Y><Extra/><X>-3</X></ProgramPos>\n"
      "  <EnableHimawari> 1 </EnableHimawari>\n"
      "  <hServer>true</hServer>\n"
      "  <EnableLivetube>0</EnableLivetube>\n"
      "  <SoundVolume>\t42\n</SoundVolume>\n"
      "  <AlertFile>  spaced.wav </AlertFile>\n"
      "  <SleepTime>+700000</SleepTime>\n"
      "</ConfigNode>";
  auto c = DeserializeConfigNode(shuffled);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->ProgramPos, (Point{-3, 7}));
  EXPECT_TRUE(c->EnableHimawari);
  EXPECT_TRUE(c->hServer);
  EXPECT_FALSE(c->EnableLivetube);
  EXPECT_EQ(c->SoundVolume, 42);
  EXPECT_EQ(c->AlertFile, L"  spaced.wav ");
  EXPECT_EQ(c->SleepTime, 700000);
  // missing fields keep their fresh values
  EXPECT_FALSE(c->AlertFile2.has_value());
  EXPECT_FALSE(c->ProgramListWidth.has_value());
  EXPECT_EQ(c->PopupTime, 0);
}

TEST(ConfigFile, UtF16WithBomReads) {
  const std::wstring text = L"<?xml version=\"1.0\" encoding=\"utf-16\"?><ConfigNode><AlertFile>音.wav</AlertFile></ConfigNode>";
  std::string bytes = "\xFF\xFE";
  for (wchar_t ch : text) bytes += static_cast<char>(ch & 0xFF), bytes += static_cast<char>(ch >> 8);
  auto c = DeserializeConfigNode(bytes);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->AlertFile, L"音.wav");
}

TEST(ConfigFile, MalformedDocumentsAreRefused) {
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"blank", "  \r\n"},
      {"not xml", "SleepTime=5"},
      // (A document cut off inside its root is refused by Windows' XmlLite; Wine's closes it silently.)
      {"mismatched tags", "<ConfigNode><SleepTime>1</Sleep></ConfigNode>"},
      {"other root", "<ArrayOfNotifyNode />"},
      {"root in a namespace", "<ConfigNode xmlns=\"urn:x\" />"},
      {"number that is not one", "<ConfigNode><SleepTime>ten</SleepTime></ConfigNode>"},
      {"number too large", "<ConfigNode><SoundVolume>2147483648</SoundVolume></ConfigNode>"},
      {"empty number", "<ConfigNode><SoundVolume /></ConfigNode>"},
      {"flag that is not one", "<ConfigNode><hServer>yes</hServer></ConfigNode>"},
      {"bad coordinate", "<ConfigNode><ProgramPos><X>1.5</X></ProgramPos></ConfigNode>"},
      {"bad width entry", "<ConfigNode><ProgramListWidth><int>x</int></ProgramListWidth></ConfigNode>"},
      {"text with an element inside", "<ConfigNode><AlertFile>a<b/></AlertFile></ConfigNode>"},
      {"doctype", "<!DOCTYPE ConfigNode [<!ENTITY e \"x\">]><ConfigNode><AlertFile>&e;</AlertFile></ConfigNode>"},
  };
  for (const auto& [name, xml] : cases) EXPECT_FALSE(DeserializeConfigNode(xml).has_value()) << name;
  EXPECT_EQ(DeserializeConfigNode("<ConfigNode><SoundVolume>-2147483648</SoundVolume></ConfigNode>")->SoundVolume,
            INT32_MIN);
}

TEST(NotifyListFile, GoldenBytesAndReadBack) {
  const std::vector<NotifyNode> rows = {
      {L"Livetube", L"配信者A", L"Aさん", L"", L"", std::vector<std::wstring>{kNowLiveIdPlaceholder}},
      {L"全部", L"", L"", L"雑談&ゲーム", L"<tag>", std::vector<std::wstring>{}},
  };
  const std::string golden = XmlLines({
      "<?xml version=\"1.0\"?>",
      "<ArrayOfNotifyNode " CORVANTO_XML_NS ">",
      "  <NotifyNode>",
      "    <server>Livetube</server>",
      "    <author>\xE9\x85\x8D\xE4\xBF\xA1\xE8\x80\x85" "A</author>",
      "    <nickName>A\xE3\x81\x95\xE3\x82\x93</nickName>",
      "    <keyword />",
      "    <tag />",
      "    <NowLiveIdList>",
      "      <string>http://example.com/sample/</string>",
      "    </NowLiveIdList>",
      "  </NotifyNode>",
      "  <NotifyNode>",
      "    <server>\xE5\x85\xA8\xE9\x83\xA8</server>",
      "    <author />",
      "    <nickName />",
      "    <keyword>\xE9\x9B\x91\xE8\xAB\x87&amp;\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0</keyword>",
      "    <tag>&lt;tag&gt;</tag>",
      "    <NowLiveIdList />",
      "  </NotifyNode>",
      "</ArrayOfNotifyNode>",
  });
  EXPECT_EQ(SerializeNotifyList(rows), golden);
  auto back = DeserializeNotifyList(golden);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, rows);
}

TEST(NgListFile, GoldenBytesWithAbsentValuesAndReadBack) {
  const std::vector<NgWordNode> rows = {
      {L"全部", L"荒らし", std::nullopt, std::nullopt},
      {L"CaveTube", std::nullopt, L"宣伝", L""},
  };
  const std::string golden = XmlLines({
      "<?xml version=\"1.0\"?>",
      "<ArrayOfNgWordNode " CORVANTO_XML_NS ">",
      "  <NgWordNode>",
      "    <serverNg>\xE5\x85\xA8\xE9\x83\xA8</serverNg>",
      "    <NgAuthorName>\xE8\x8D\x92\xE3\x82\x89\xE3\x81\x97</NgAuthorName>",
      "  </NgWordNode>",
      "  <NgWordNode>",
      "    <serverNg>CaveTube</serverNg>",
      "    <NgKeyword>\xE5\xAE\xA3\xE4\xBC\x9D</NgKeyword>",
      "    <NgTag />",
      "  </NgWordNode>",
      "</ArrayOfNgWordNode>",
  });
  EXPECT_EQ(SerializeNgList(rows), golden);
  auto back = DeserializeNgList(golden);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, rows);
}

TEST(ListFiles, EmptyListIsTheRootAloneInShortForm) {
  EXPECT_EQ(SerializeNgList({}), "<?xml version=\"1.0\"?>\r\n<ArrayOfNgWordNode " CORVANTO_XML_NS " />");
  EXPECT_EQ(SerializeNotifyList({}), "<?xml version=\"1.0\"?>\r\n<ArrayOfNotifyNode " CORVANTO_XML_NS " />");
  auto rows = DeserializeNgList("<?xml version=\"1.0\"?>\r\n<ArrayOfNgWordNode " CORVANTO_XML_NS " />");
  ASSERT_TRUE(rows);
  EXPECT_TRUE(rows->empty());
}

TEST(LegacyListFiles, GoldenBytesAndReadBack) {
  AuthorNode a;
  a.serverAuthor = L"Livetube", a.AuthorName = L"作者", a.NickName = L"", a.NowLiveId = L"x", a.AlertFlg = true;
  const std::string authors = XmlLines({
      "<?xml version=\"1.0\"?>",
      "<ArrayOfAuthorNode " CORVANTO_XML_NS ">",
      "  <AuthorNode>",
      "    <serverAuthor>Livetube</serverAuthor>",
      "    <AuthorName>\xE4\xBD\x9C\xE8\x80\x85</AuthorName>",
      "    <NickName />",
      "    <NowLiveId>x</NowLiveId>",
      "    <AlertFlg>true</AlertFlg>",
      "  </AuthorNode>",
      "</ArrayOfAuthorNode>",
  });
  EXPECT_EQ(SerializeAuthorList({a}), authors);
  auto readAuthors = DeserializeAuthorList(authors);
  ASSERT_TRUE(readAuthors && readAuthors->size() == 1);
  EXPECT_EQ((*readAuthors)[0].AuthorName, L"作者");
  EXPECT_TRUE((*readAuthors)[0].AlertFlg);

  KeywordNode k;
  k.serverKeyword = L"CaveTube", k.Keyword = L"歌", k.NowLiveIdList = std::vector<std::wstring>{L"a", L"b"};
  const std::string keywords = XmlLines({
      "<?xml version=\"1.0\"?>",
      "<ArrayOfKeywordNode " CORVANTO_XML_NS ">",
      "  <KeywordNode>",
      "    <serverKeyword>CaveTube</serverKeyword>",
      "    <Keyword>\xE6\xAD\x8C</Keyword>",
      "    <NowLiveIdList>",
      "      <string>a</string>",
      "      <string>b</string>",
      "    </NowLiveIdList>",
      "  </KeywordNode>",
      "</ArrayOfKeywordNode>",
  });
  EXPECT_EQ(SerializeKeywordList({k}), keywords);
  auto readKeywords = DeserializeKeywordList(keywords);
  ASSERT_TRUE(readKeywords && readKeywords->size() == 1);
  EXPECT_EQ((*readKeywords)[0].Keyword, L"歌");
  EXPECT_EQ((*readKeywords)[0].NowLiveIdList, k.NowLiveIdList);
}

TEST(ListFiles, RowsInAnyOrderWithUnknownElementsAndAbsentFields) {
  auto rows = DeserializeNotifyList(
      "<ArrayOfNotifyNode><Comment>x</Comment><NotifyNode><tag>t</tag><Other/><server>CaveTube</server></NotifyNode>"
      "<NotifyNode/></ArrayOfNotifyNode>");
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 2u);
  EXPECT_EQ((*rows)[0].server, L"CaveTube");
  EXPECT_EQ((*rows)[0].tag, L"t");
  EXPECT_FALSE((*rows)[0].author.has_value());
  EXPECT_FALSE((*rows)[1].server.has_value());
  EXPECT_FALSE(DeserializeNotifyList("<ArrayOfNgWordNode />").has_value());
  EXPECT_FALSE(DeserializeAuthorList("<ArrayOfAuthorNode><AuthorNode><AlertFlg>maybe</AlertFlg></AuthorNode>"
                                     "</ArrayOfAuthorNode>")
                   .has_value());
}

}  // namespace
}  // namespace corvanto

namespace corvanto {
namespace {

// Long Japanese documents arrive in many reads of the input; none may split a character in a way the reader
// trips over.
TEST(ListFiles, ALongJapaneseListReadsBackWhole) {
  std::vector<NotifyNode> rows;
  for (int i = 0; i < 3000; ++i)
    rows.push_back({L"ひまわりストリーム", L"配信者さん" + std::to_wstring(i), L"ニックネーム", L"雑談キーワード", L"タグ",
                    std::vector<std::wstring>{kNowLiveIdPlaceholder}});
  auto back = DeserializeNotifyList(SerializeNotifyList(rows));
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, rows);
}

}  // namespace
}  // namespace corvanto
