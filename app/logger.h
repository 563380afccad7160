#pragma once
// The program's log: log.txt beside the executable, emptied at start, one line per call, each call opening,
// appending and closing the file under the system-wide mutex "Corvanto_log". A line that cannot be written is
// kept and written in front of the next line that succeeds.
#include <functional>
#include <string>

#include "base/named_mutex.h"

namespace corvanto {

class Logger {
 public:
  // Creates or empties the file. Throws Win32Error when it cannot.
  explicit Logger(std::wstring outFile);
  Logger(const Logger&) = delete;
  Logger& operator=(const Logger&) = delete;

  // Appends "<local date and time> <message>" and CR LF. Callable from any thread; never fails to its caller.
  void WriteLine(const std::wstring& message);

  const std::wstring& OutFile() const { return OutFile_; }

  // The clock's text for "now"; tests replace it to give each line a known time.
  using Clock = std::function<std::wstring()>;
  void SetClockForTesting(Clock clock) { clock_ = std::move(clock); }

 private:
  bool TryAppend(const std::string& utf8);

  std::wstring OutFile_;
  std::wstring ngBuf;  // pending lines, each ended by CR LF; touched only while the named mutex is held
  NamedMutex mutex_;
  Clock clock_;
};

// The local date and time in the general form of the user's regional settings: short date, a blank, long time
// (on a Japanese system "2026/12/11 9:05:01").
std::wstring LocalDateTimeText();

}  // namespace corvanto
