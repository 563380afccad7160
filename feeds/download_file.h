#pragma once
// The base of the feed readers: fetches one feed over HTTP(S) into a file, one download of a site at a time
// across all threads and processes (the named mutex "Corvanto_dl" followed by the site word).
#include <cstddef>
#include <string>
#include <string_view>

#include "app/logger.h"
#include "base/named_mutex.h"
#include "feeds/feed_errors.h"

namespace corvanto {

class DownloadFile {
 public:
  // The largest body accepted; a larger one is a network failure, so that a server without bound cannot
  // exhaust memory.
  static constexpr size_t kMaxBodyBytes = size_t{32} << 20;

  // Creates or opens the site's lock without taking it. Throws Win32Error when the system refuses.
  DownloadFile(std::wstring_view siteWord, Logger& logger);
  DownloadFile(const DownloadFile&) = delete;
  DownloadFile& operator=(const DownloadFile&) = delete;

  // Fetches `url` (GET, no-cache, User-Agent "Corvanto", `timeout` ms to obtain the response; a value below 1
  // counts as 1) and writes the body, decoded as UTF-8 (a byte-order mark honoured and dropped, invalid bytes
  // as U+FFFD), to `path` as UTF-8 without a byte-order mark. The file is created only once the whole body has
  // arrived. Returns true when the file was written. (WinHTTP keeps no response cache and the request forbids
  // caches on the way, so there is no cached answer to report with false.)
  // Network failure: logs " [Error] WebException " + message and " [Error] Response " + the error response's
  // status line, throws WebException. Reading the body or writing the file: logs " [Error] IOException " +
  // message, throws IOException (a body shorter than its declared length counts as a failed read). An address that is not http:// or https://: throws ArgumentException, no log.
  // The lock is held only inside this call and released on every way out.
  bool Download(const std::wstring& url, const std::wstring& path, int timeout);

  // True when someone else holds the site's lock at this moment.
  bool MutexState();

  const std::wstring& MutexName() const { return mutexString; }

 protected:
  NamedMutex dlmutex;
  std::wstring mutexString;
  Logger& logger;

 private:
  bool DownloadLocked(const std::wstring& url, const std::wstring& path, int timeout);
};

}  // namespace corvanto
