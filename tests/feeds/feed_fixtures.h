#pragma once
// Feeds of our own making in the shapes the three sites serve: Japanese titles, character references, the ct:
// elements of CaveTube and Himawari Stream's escaped HTML descriptions.
#include <string>

namespace corvanto::test {

// Five entries: さくら, たろう, さくら again (dropped), one without a name (takes さくら, dropped), Hanako and
// hanako (both kept: the comparison is case-sensitive).
inline const char kLivetubeAtom[] = R"(<?xml version="1.0" encoding="utf-8"?>
<feed xmlns="http://www.w3.org/2005/Atom" xml:lang="ja">
  <title>Livetube - 配信中の番組</title>
  <id>http://livetube.example/</id>
  <updated>2026-12-11T03:00:00Z</updated>
  <link rel="self" href="http://livetube.example/index.live.xml" />
  <entry>
    <title>雑談 &amp; お絵描き &#x2605;</title>
    <link href="http://livetube.example/watch/sakura" />
    <id>http://livetube.example/watch/sakura</id>
    <author><name>さくら</name></author>
    <published>2026-12-11T02:30:00Z</published>
  </entry>
  <entry>
    <title>深夜のゲーム実況</title>
    <id>http://livetube.example/watch/taro</id>
    <author><name>たろう</name></author>
    <published>2026-12-11T15:00:00Z</published>
  </entry>
  <entry>
    <title>二枠目</title>
    <id>http://livetube.example/watch/sakura2</id>
    <author><name>さくら</name></author>
    <published>2026-12-11T03:00:00Z</published>
  </entry>
  <entry>
    <title>名無しの配信</title>
    <id>http://livetube.example/watch/anon</id>
    <published>2026-12-11T04:00:00Z</published>
  </entry>
  <entry>
    <title><![CDATA[歌枠 <初見歓迎>]]></title>
    <id>http://livetube.example/watch/hanako</id>
    <author><name>Hanako</name></author>
    <published>2026-12-31T20:00:00Z</published>
  </entry>
  <entry>
    <title>作業用 &lt;BGM&gt;</title>
    <id>http://livetube.example/watch/hanako-small</id>
    <author><name>hanako</name></author>
    <published>2026-12-11T05:06:07Z</published>
  </entry>
</feed>
)";

inline const char kLivetubeJson[] = R"([
  {"id": "a1", "link": "watch/sakura", "author": "さくら", "title": "雑談 &amp; お絵描き",
   "viewing": 12, "view": 345, "comments": 67, "created": "Fri, 11 Dec 2026 02:30:00 GMT",
   "tags": ["game", "talk"]},
  {"id": "a2", "link": "watch/sakura2", "author": "さくら", "title": "二枠目",
   "viewing": 0, "view": 0, "comments": 0, "created": "Fri, 11 Dec 2026 15:00:00 GMT", "tags": []},
  {"link": "watch/%E3%81%9F?x=1&y=2", "author": "たろう", "title": "\u6b4c\u67a0",
   "created": "Sat, 12 Dec 2026 01:02:03 GMT", "tags": [" 歌 ", "ゲーム 実況 "], "extra": {"ignored": true}}
]
)";

// みかん (complete), りんご (ct:max_listener before its own counts and tag, no summary), an entry without
// ct:max_listener (no record; its values carry over), みかん again (dropped), and an entry whose tag is written
// with another prefix for the ct namespace (not recognised).
inline const char kCaveTubeAtom[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<feed xmlns="http://www.w3.org/2005/Atom" xmlns:ct="http://gae.cavelis.example/schema">
  <title>CaveTube 配信中</title>
  <id>http://gae.cavelis.example/</id>
  <entry>
    <title>お絵かき配信 &#12354;</title>
    <summary>のんびり描きます &lt;3</summary>
    <id>http://gae.cavelis.example/live/mikan</id>
    <published>2026-12-11T10:00:00Z</published>
    <author><name>みかん</name></author>
    <ct:tag>お絵かき 雑談</ct:tag>
    <ct:viewer>120</ct:viewer>
    <ct:listener>15</ct:listener>
    <ct:comment_num>230</ct:comment_num>
    <ct:max_listener>20</ct:max_listener>
  </entry>
  <entry>
    <title>ラジオ</title>
    <id>http://gae.cavelis.example/live/ringo</id>
    <published>2026-12-11T16:30:00Z</published>
    <author><name>りんご</name></author>
    <ct:max_listener>8</ct:max_listener>
    <ct:tag>ラジオ</ct:tag>
    <ct:viewer>40</ct:viewer>
    <ct:listener>3</ct:listener>
    <ct:comment_num>9</ct:comment_num>
  </entry>
  <entry>
    <title>テスト配信</title>
    <summary>マイクテスト中</summary>
    <id>http://gae.cavelis.example/live/test</id>
    <published>2026-12-11T11:00:00Z</published>
    <author><name>ぶどう</name></author>
    <ct:tag>テスト</ct:tag>
    <ct:viewer>1</ct:viewer>
  </entry>
  <entry>
    <title>みかん二枠目</title>
    <id>http://gae.cavelis.example/live/mikan2</id>
    <published>2026-12-11T12:00:00Z</published>
    <author><name>みかん</name></author>
    <ct:max_listener>99</ct:max_listener>
  </entry>
  <entry xmlns:cave="http://gae.cavelis.example/schema">
    <title>メロン</title>
    <id>http://gae.cavelis.example/live/melon</id>
    <published>2026-12-11T13:00:00Z</published>
    <author><name>めろん</name></author>
    <cave:tag>別の接頭辞</cave:tag>
    <ct:max_listener>5</ct:max_listener>
  </entry>
</feed>
)";

// One RSS page of Himawari Stream's search: items `first` to `first + count - 1`, broadcaster 配信者<n> unless
// `author` is given for all of them.
inline std::string HimawariItem(int n, const std::string& author) {
  const std::string num = std::to_string(n);
  return "    <item>\n"
         "      <title>番組" + num + " &amp; 雑談</title>\n"
         "      <link>http://himast.example/program/" + num + "</link>\n"
         "      <description>&lt;img src=\"http://himast.example/thumb/" + num +
         ".jpg\" /&gt;&lt;br /&gt;配信者:&lt;b&gt;" + author + "&lt;/b&gt; 視聴者数:5</description>\n"
         "      <pubDate>Fri, 11 Dec 2026 21:" + (n % 60 < 10 ? "0" : "") + std::to_string(n % 60) +
         ":00 +0900</pubDate>\n"
         "    </item>\n";
}

inline std::string HimawariPage(const std::string& items) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<rss version=\"2.0\">\n"
         "  <channel>\n"
         "    <title>ひまわりストリーム 番組検索</title>\n"
         "    <link>http://himast.example/</link>\n"
         "    <description>配信中の番組</description>\n" +
         items +
         "  </channel>\n"
         "</rss>\n";
}

inline std::string HimawariItems(int first, int count) {
  std::string items;
  for (int n = first; n < first + count; ++n) items += HimawariItem(n, "配信者" + std::to_string(n));
  return items;
}

}  // namespace corvanto::test
