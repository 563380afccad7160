#include "app/xml_records.h"

#include <cwchar>
#include <type_traits>
#include <variant>

#include "base/text.h"
#include "base/xml_reader.h"

namespace corvanto {

XmlSerializeError::XmlSerializeError(std::wstring message)
    : std::runtime_error(WideToUtf8(message)), message_(std::move(message)) {}

namespace {

using OptIntList = std::optional<std::vector<int>>;

template <class R>
using FieldRef = std::variant<int R::*, bool R::*, OptText R::*, Point R::*, Size R::*, OptIntList R::*,
                              OptTextList R::*>;

template <class R>
struct Field {
  const wchar_t* name;
  FieldRef<R> ref;
};

template <class R>
struct RecordLayout;

#define F(R, name) Field<R>{L## #name, &R::name}

template <>
struct RecordLayout<ConfigNode> {
  static constexpr const wchar_t* kName = L"ConfigNode";
  static const std::vector<Field<ConfigNode>>& Fields() {
    using C = ConfigNode;
    static const std::vector<Field<C>> fields = {
        F(C, SleepTime), F(C, AlertFile), F(C, AlertFile2), F(C, AlertFile3), F(C, BrowserPath), F(C, hServer),
        F(C, keywordCvt), F(C, UpdateSync), F(C, LivetubeJson), F(C, DisableFirstNotify), F(C, DontShowNiconico),
        F(C, ViewProgramSite), F(C, ViewTotalUserNum), F(C, ViewMaxUserNum), F(C, ViewUserNum),
        F(C, ViewCommentNum), F(C, ViewTag), F(C, EnableLivetube), F(C, EnableCaveTube), F(C, EnableHimawari),
        F(C, DisableProgramListByBrowser), F(C, AtomLivetubeFile), F(C, JsonLivetubeFile), F(C, AtomCaveTubeFile),
        F(C, RssHimawariFile), F(C, AtomLivetubeURL), F(C, JsonLivetubeURL), F(C, AtomCaveTubeURL),
        F(C, RssHimawariURL), F(C, PopupTime), F(C, TimeoutTime), F(C, SoundVolume), F(C, NotifyListPos),
        F(C, AlertListPos), F(C, ProgramPos), F(C, NgListPos), F(C, ConfigFormPos), F(C, ProgramListSize),
        F(C, NgListHeight), F(C, NotifyListHeight), F(C, AlertListHeight), F(C, ProgramListWidth),
        F(C, sortColumn), F(C, sortNumber), F(C, sortTitle), F(C, sortAuthor), F(C, sortTime), F(C, sortSite),
        F(C, sortTUser), F(C, sortMUser), F(C, sortUser), F(C, sortCom), F(C, sortTag),
    };
    return fields;
  }
};

template <>
struct RecordLayout<NotifyNode> {
  static constexpr const wchar_t* kName = L"NotifyNode";
  static const std::vector<Field<NotifyNode>>& Fields() {
    using N = NotifyNode;
    static const std::vector<Field<N>> fields = {F(N, server),  F(N, author), F(N, nickName),
                                                 F(N, keyword), F(N, tag),    F(N, NowLiveIdList)};
    return fields;
  }
};

template <>
struct RecordLayout<NgWordNode> {
  static constexpr const wchar_t* kName = L"NgWordNode";
  static const std::vector<Field<NgWordNode>>& Fields() {
    using N = NgWordNode;
    static const std::vector<Field<N>> fields = {F(N, serverNg), F(N, NgAuthorName), F(N, NgKeyword), F(N, NgTag)};
    return fields;
  }
};

template <>
struct RecordLayout<AuthorNode> {
  static constexpr const wchar_t* kName = L"AuthorNode";
  static const std::vector<Field<AuthorNode>>& Fields() {
    using N = AuthorNode;
    static const std::vector<Field<N>> fields = {F(N, serverAuthor), F(N, AuthorName), F(N, NickName),
                                                 F(N, NowLiveId), F(N, AlertFlg)};
    return fields;
  }
};

template <>
struct RecordLayout<KeywordNode> {
  static constexpr const wchar_t* kName = L"KeywordNode";
  static const std::vector<Field<KeywordNode>>& Fields() {
    using N = KeywordNode;
    static const std::vector<Field<N>> fields = {F(N, serverKeyword), F(N, Keyword), F(N, NowLiveIdList)};
    return fields;
  }
};

#undef F

// ---- writing ----

constexpr char kNamespaces[] =
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"";

class Writer {
 public:
  Writer() { out_ = "<?xml version=\"1.0\"?>"; }

  void Line(int depth, std::string_view content) {
    out_ += "\r\n";
    out_.append(static_cast<size_t>(depth) * 2, ' ');
    out_ += content;
  }
  void Leaf(int depth, const wchar_t* name, std::string_view value) {
    const std::string n = WideToUtf8(name);
    if (value.empty()) {
      Line(depth, "<" + n + " />");
    } else {
      Line(depth, "<" + n + ">");
      out_ += value;
      out_ += "</" + n + ">";
    }
  }
  void Text(int depth, const wchar_t* name, const std::wstring& text) { Leaf(depth, name, Escape(text)); }
  void Open(int depth, const wchar_t* name, std::string_view attributes = {}) {
    Line(depth, "<" + WideToUtf8(name) + std::string(attributes) + ">");
  }
  void OpenEmpty(int depth, const wchar_t* name, std::string_view attributes = {}) {
    Line(depth, "<" + WideToUtf8(name) + std::string(attributes) + " />");
  }
  void Close(int depth, const wchar_t* name) { Line(depth, "</" + WideToUtf8(name) + ">"); }
  std::string Take() { return std::move(out_); }

  // &, < and > as entities; a CR as a character reference so that it survives the reader's line-end
  // normalisation. Characters XML cannot hold make the whole serialisation fail.
  static std::string Escape(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
      const wchar_t c = text[i];
      if (c == L'&') out += L"&amp;";
      else if (c == L'<') out += L"&lt;";
      else if (c == L'>') out += L"&gt;";
      else if (c == L'\r') out += L"&#xD;";
      else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        out += c;
        out += text[++i];
      } else if ((c < 0x20 && c != L'\t' && c != L'\n') || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF) {
        wchar_t code[8];
        swprintf(code, 8, L"%04X", static_cast<unsigned>(c));
        throw XmlSerializeError(L"XMLで表せない文字 U+" + std::wstring(code) + L" が含まれています");
      } else {
        out += c;
      }
    }
    return WideToUtf8(out);
  }

 private:
  std::string out_;
};

template <class R>
void WriteFields(Writer& w, int depth, const R& r) {
  for (const auto& f : RecordLayout<R>::Fields()) {
    std::visit(
        [&](auto member) {
          using T = std::decay_t<decltype(r.*member)>;
          const T& v = r.*member;
          if constexpr (std::is_same_v<T, int>) {
            w.Leaf(depth, f.name, std::to_string(v));
          } else if constexpr (std::is_same_v<T, bool>) {
            w.Leaf(depth, f.name, v ? "true" : "false");
          } else if constexpr (std::is_same_v<T, OptText>) {
            if (v) w.Text(depth, f.name, *v);
          } else if constexpr (std::is_same_v<T, Point>) {
            w.Open(depth, f.name);
            w.Leaf(depth + 1, L"X", std::to_string(v.X));
            w.Leaf(depth + 1, L"Y", std::to_string(v.Y));
            w.Close(depth, f.name);
          } else if constexpr (std::is_same_v<T, Size>) {
            w.Open(depth, f.name);
            w.Leaf(depth + 1, L"Width", std::to_string(v.Width));
            w.Leaf(depth + 1, L"Height", std::to_string(v.Height));
            w.Close(depth, f.name);
          } else if constexpr (std::is_same_v<T, OptIntList>) {
            if (!v) return;
            if (v->empty()) return w.OpenEmpty(depth, f.name);
            w.Open(depth, f.name);
            for (int x : *v) w.Leaf(depth + 1, L"int", std::to_string(x));
            w.Close(depth, f.name);
          } else if constexpr (std::is_same_v<T, OptTextList>) {
            if (!v) return;
            if (v->empty()) return w.OpenEmpty(depth, f.name);
            w.Open(depth, f.name);
            for (const auto& s : *v) w.Text(depth + 1, L"string", s);
            w.Close(depth, f.name);
          }
        },
        f.ref);
  }
}

template <class R>
std::string SerializeRecord(const R& r) {
  Writer w;
  w.Open(0, RecordLayout<R>::kName, kNamespaces);
  WriteFields(w, 1, r);
  w.Close(0, RecordLayout<R>::kName);
  return w.Take();
}

template <class R>
std::string SerializeList(const std::vector<R>& rows) {
  Writer w;
  const std::wstring root = std::wstring(L"ArrayOf") + RecordLayout<R>::kName;
  if (rows.empty()) {
    w.OpenEmpty(0, root.c_str(), kNamespaces);
    return w.Take();
  }
  w.Open(0, root.c_str(), kNamespaces);
  for (const R& r : rows) {
    w.Open(1, RecordLayout<R>::kName);
    WriteFields(w, 2, r);
    w.Close(1, RecordLayout<R>::kName);
  }
  w.Close(0, root.c_str());
  return w.Take();
}

// ---- reading ----

struct Node {
  std::wstring name;
  bool inNamespace = false;
  std::wstring text;
  std::vector<Node> children;
};

std::optional<Node> ParseTree(std::string_view bytes) {
  try {
    XmlLiteReader reader(bytes);
    std::vector<Node> stack;
    std::optional<Node> root;
    auto finish = [&] {
      Node done = std::move(stack.back());
      stack.pop_back();
      if (stack.empty()) root = std::move(done);
      else stack.back().children.push_back(std::move(done));
    };
    while (reader.Read()) {
      switch (reader.NodeType()) {
        case XmlNodeType_Element: {
          if (root) return std::nullopt;  // a second root
          Node n;
          n.name = reader.LocalName();
          n.inNamespace = !reader.NamespaceUri().empty();
          const bool empty = reader.IsEmptyElement();
          stack.push_back(std::move(n));
          if (empty) finish();
          break;
        }
        case XmlNodeType_EndElement:
          if (stack.empty()) return std::nullopt;
          finish();
          break;
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        case XmlNodeType_Whitespace:
          if (!stack.empty()) stack.back().text += reader.Value();
          break;
        default:
          break;
      }
    }
    if (!stack.empty()) return std::nullopt;  // a reader that ended inside an element
    return root;
  } catch (const XmlParseError&) {
    return std::nullopt;
  }
}

bool IsXmlSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::wstring TrimXml(const std::wstring& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsXmlSpace(s[b])) ++b;
  while (e > b && IsXmlSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::optional<int> ParseInt(const std::wstring& raw) {
  const std::wstring s = TrimXml(raw);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == L'-' || s[i] == L'+')) negative = s[i++] == L'-';
  if (i == s.size()) return std::nullopt;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < L'0' || s[i] > L'9') return std::nullopt;
    v = v * 10 + (s[i] - L'0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return std::nullopt;
  return static_cast<int>(v);
}

std::optional<bool> ParseFlag(const std::wstring& raw) {
  const std::wstring s = TrimXml(raw);
  if (s == L"true" || s == L"1") return true;
  if (s == L"false" || s == L"0") return false;
  return std::nullopt;
}

const Node* Child(const Node& n, const wchar_t* name) {
  const Node* found = nullptr;
  for (const auto& c : n.children)
    if (!c.inNamespace && c.name == name) found = &c;  // the last of repeated elements wins
  return found;
}

// Throws nothing: returns false on an unreadable value.
template <class R>
bool ReadFields(const Node& n, R& r) {
  for (const Node& child : n.children) {
    if (child.inNamespace) continue;
    for (const auto& f : RecordLayout<R>::Fields()) {
      if (child.name != f.name) continue;
      const bool ok = std::visit(
          [&](auto member) -> bool {
            using T = std::decay_t<decltype(r.*member)>;
            T& v = r.*member;
            if constexpr (std::is_same_v<T, int>) {
              auto x = ParseInt(child.text);
              if (x) v = *x;
              return x.has_value();
            } else if constexpr (std::is_same_v<T, bool>) {
              auto x = ParseFlag(child.text);
              if (x) v = *x;
              return x.has_value();
            } else if constexpr (std::is_same_v<T, OptText>) {
              if (!child.children.empty()) return false;  // a text with elements inside is no text
              v = child.text;
              return true;
            } else if constexpr (std::is_same_v<T, Point> || std::is_same_v<T, Size>) {
              int* first;
              int* second;
              const wchar_t *firstName, *secondName;
              if constexpr (std::is_same_v<T, Point>) {
                first = &v.X, second = &v.Y, firstName = L"X", secondName = L"Y";
              } else {
                first = &v.Width, second = &v.Height, firstName = L"Width", secondName = L"Height";
              }
              for (auto [target, name] : {std::pair{first, firstName}, std::pair{second, secondName}}) {
                if (const Node* c = Child(child, name)) {
                  auto x = ParseInt(c->text);
                  if (!x) return false;
                  *target = *x;
                }
              }
              return true;
            } else if constexpr (std::is_same_v<T, OptIntList>) {
              v.emplace();
              for (const Node& item : child.children) {
                if (item.inNamespace || item.name != L"int") continue;
                auto x = ParseInt(item.text);
                if (!x) return false;
                v->push_back(*x);
              }
              return true;
            } else if constexpr (std::is_same_v<T, OptTextList>) {
              v.emplace();
              for (const Node& item : child.children) {
                if (item.inNamespace || item.name != L"string") continue;
                if (!item.children.empty()) return false;
                v->push_back(item.text);
              }
              return true;
            }
          },
          f.ref);
      if (!ok) return false;
      break;
    }
  }
  return true;
}

template <class R>
std::optional<R> DeserializeRecord(std::string_view bytes) {
  auto root = ParseTree(bytes);
  if (!root || root->inNamespace || root->name != RecordLayout<R>::kName) return std::nullopt;
  R r{};
  if (!ReadFields(*root, r)) return std::nullopt;
  return r;
}

template <class R>
std::optional<std::vector<R>> DeserializeList(std::string_view bytes) {
  auto root = ParseTree(bytes);
  if (!root || root->inNamespace || root->name != std::wstring(L"ArrayOf") + RecordLayout<R>::kName)
    return std::nullopt;
  std::vector<R> rows;
  for (const Node& item : root->children) {
    if (item.inNamespace || item.name != RecordLayout<R>::kName) continue;
    R r{};
    if (!ReadFields(item, r)) return std::nullopt;
    rows.push_back(std::move(r));
  }
  return rows;
}

}  // namespace

std::string SerializeConfigNode(const ConfigNode& c) { return SerializeRecord(c); }
std::string SerializeNotifyList(const std::vector<NotifyNode>& rows) { return SerializeList(rows); }
std::string SerializeNgList(const std::vector<NgWordNode>& rows) { return SerializeList(rows); }
std::string SerializeAuthorList(const std::vector<AuthorNode>& rows) { return SerializeList(rows); }
std::string SerializeKeywordList(const std::vector<KeywordNode>& rows) { return SerializeList(rows); }

std::optional<ConfigNode> DeserializeConfigNode(std::string_view bytes) { return DeserializeRecord<ConfigNode>(bytes); }
std::optional<std::vector<NotifyNode>> DeserializeNotifyList(std::string_view bytes) {
  return DeserializeList<NotifyNode>(bytes);
}
std::optional<std::vector<NgWordNode>> DeserializeNgList(std::string_view bytes) {
  return DeserializeList<NgWordNode>(bytes);
}
std::optional<std::vector<AuthorNode>> DeserializeAuthorList(std::string_view bytes) {
  return DeserializeList<AuthorNode>(bytes);
}
std::optional<std::vector<KeywordNode>> DeserializeKeywordList(std::string_view bytes) {
  return DeserializeList<KeywordNode>(bytes);
}

}  // namespace corvanto
