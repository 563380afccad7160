#include "feeds/download_file.h"

#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <cwchar>

#include "base/files.h"
#include "base/text.h"
#include "feeds/feed_text.h"

namespace corvanto {

namespace {

constexpr std::chrono::milliseconds kLockPoll{1000};
constexpr DWORD kWsaTimedOut = 10060;  // Wine reports a response time-out with the socket's code

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET h = nullptr) : h_(h) {}
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  ~InternetHandle() {
    if (h_) ::WinHttpCloseHandle(h_);
  }
  HINTERNET get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HINTERNET h_;
};

std::wstring NetworkErrorText(DWORD code, const std::wstring& host) {
  std::wstring text;
  switch (code) {
    case ERROR_WINHTTP_TIMEOUT:
    case kWsaTimedOut:
      text = L"操作がタイムアウトしました。";
      break;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      text = L"リモート名を解決できませんでした。: '" + host + L"'";
      break;
    case ERROR_WINHTTP_CANNOT_CONNECT:
      text = L"リモート サーバーに接続できません。";
      break;
    case ERROR_WINHTTP_CONNECTION_ERROR:
      text = L"基になる接続が閉じられました: 予期しないエラーが発生しました。";
      break;
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      text = L"サーバーの応答が不正です。";
      break;
    case ERROR_WINHTTP_REDIRECT_FAILED:
      text = L"リダイレクトに失敗しました。";
      break;
    case ERROR_WINHTTP_SECURE_FAILURE:
      text = L"SSL/TLS のセキュリティで保護されたチャネルを確立できませんでした。";
      break;
    default:
      text = L"WinHTTP エラー: " + SystemMessage(code);
  }
  return text + L" (" + std::to_wstring(code) + L")";
}

std::wstring QueryHeader(HINTERNET request, DWORD info) {
  DWORD size = 0;
  ::WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                        WINHTTP_NO_HEADER_INDEX);
  if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return L"";
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (!::WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                             WINHTTP_NO_HEADER_INDEX)) {
    return L"";
  }
  value.resize(size / sizeof(wchar_t));
  return value;
}

[[noreturn]] void ThrowNetwork(const std::wstring& host) {
  const DWORD code = ::GetLastError();
  throw WebException(NetworkErrorText(code, host));
}

}  // namespace

DownloadFile::DownloadFile(std::wstring_view siteWord, Logger& logger)
    : dlmutex(L"Corvanto_dl" + std::wstring(siteWord)), mutexString(dlmutex.name()), logger(logger) {}

bool DownloadFile::MutexState() {
  if (!dlmutex.TryLock()) return true;
  dlmutex.Unlock();
  return false;
}

bool DownloadFile::Download(const std::wstring& url, const std::wstring& path, int timeout) {
  try {
    NamedMutexLock lock(dlmutex, kLockPoll);
    return DownloadLocked(url, path, timeout);
  } catch (const WebException& e) {  // the lock is free again here
    logger.WriteLine(L" [Error] WebException " + e.message());
    logger.WriteLine(L" [Error] Response " + e.response());
    throw;
  } catch (const IOException& e) {
    logger.WriteLine(L" [Error] IOException " + e.message());
    throw;
  }
}

bool DownloadFile::DownloadLocked(const std::wstring& url, const std::wstring& path, int timeout) {
  const int limit = timeout < 1 ? 1 : timeout;

  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
  if (url.empty() || !::WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) || parts.dwHostNameLength == 0) {
    throw ArgumentException(L"HTTP のアドレスではありません: " + url);
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring target(parts.lpszUrlPath, parts.dwUrlPathLength);
  target.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (target.empty()) target = L"/";
  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

  std::string body;
  {
    // The system's proxy settings as a browser would use them; older systems lack the automatic kind.
    HINTERNET opened = ::WinHttpOpen(L"Corvanto", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                     WINHTTP_NO_PROXY_BYPASS, 0);
    if (!opened) {
      opened = ::WinHttpOpen(L"Corvanto", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0);
    }
    InternetHandle session(opened);
    if (!session) ThrowNetwork(host);
    ::WinHttpSetTimeouts(session.get(), limit, limit, limit, limit);
    InternetHandle connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) ThrowNetwork(host);
    InternetHandle request(::WinHttpOpenRequest(connection.get(), L"GET", target.c_str(), nullptr,
                                                 WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                 WINHTTP_FLAG_REFRESH | (secure ? WINHTTP_FLAG_SECURE : 0)));
    if (!request) ThrowNetwork(host);
    // Without this option WinHTTP under Wine waits for the response headers without limit.
    DWORD responseTimeout = static_cast<DWORD>(limit);
    ::WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout,
                       sizeof(responseTimeout));
    static const wchar_t kNoCache[] = L"Cache-Control: no-cache\r\nPragma: no-cache";
    ::WinHttpAddRequestHeaders(request.get(), kNoCache, DWORD(-1), WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
    if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !::WinHttpReceiveResponse(request.get(), nullptr)) {
      ThrowNetwork(host);
    }

    DWORD status = 0, statusSize = sizeof(status);
    ::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX);
    if (status < 200 || status > 299) {
      const std::wstring reason = QueryHeader(request.get(), WINHTTP_QUERY_STATUS_TEXT);
      std::wstring version = QueryHeader(request.get(), WINHTTP_QUERY_VERSION);
      if (version.empty()) version = L"HTTP/1.1";
      throw WebException(L"リモート サーバーがエラーを返しました: (" + std::to_wstring(status) + L") " + reason + L"。",
                         version + L" " + std::to_wstring(status) + L" " + reason);
    }
    const std::wstring declared = QueryHeader(request.get(), WINHTTP_QUERY_CONTENT_LENGTH);
    if (!declared.empty() && wcstoull(declared.c_str(), nullptr, 10) > kMaxBodyBytes) {
      throw WebException(L"応答の本文が大きすぎます (" + declared + L" バイト、上限 " +
                         std::to_wstring(kMaxBodyBytes) + L" バイト)。");
    }

    for (;;) {
      DWORD available = 0;
      if (!::WinHttpQueryDataAvailable(request.get(), &available)) {
        throw IOException(L"応答の本文を読めません: " + NetworkErrorText(::GetLastError(), host));
      }
      if (available == 0) break;
      if (body.size() + available > kMaxBodyBytes) {
        throw WebException(L"応答の本文が大きすぎます (上限 " + std::to_wstring(kMaxBodyBytes) + L" バイト)。");
      }
      const size_t at = body.size();
      body.resize(at + available);
      DWORD got = 0;
      if (!::WinHttpReadData(request.get(), body.data() + at, available, &got)) {
        throw IOException(L"応答の本文を読めません: " + NetworkErrorText(::GetLastError(), host));
      }
      body.resize(at + got);
      if (got == 0) break;
    }
    // A connection that ends before the declared length is a broken transfer, not a shorter feed.
    if (!declared.empty() && body.size() < wcstoull(declared.c_str(), nullptr, 10)) {
      throw IOException(L"応答の本文が途中で切れました (" + std::to_wstring(body.size()) + L" / " + declared +
                        L" バイト)。");
    }
  }  // the request, connection and session are closed before the file is touched

  const std::string text = WideToUtf8(DecodeText(body));
  try {
    WriteWholeFile(path, text);
  } catch (const Win32Error& e) {
    throw IOException(e.message());
  }
  return true;
}

}  // namespace corvanto
