#pragma once
// Errors from the system, the executable's folder, and whole-file reads and writes.
#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace corvanto {

// The system's own text for an error code, without the trailing line break.
std::wstring SystemMessage(DWORD code);

// A failed system call: the code, what was being done, and the system's text for the code.
class Win32Error : public std::runtime_error {
 public:
  Win32Error(DWORD code, std::wstring what);
  DWORD code() const { return code_; }
  // "<what>: <system message>"
  const std::wstring& message() const { return message_; }

 private:
  DWORD code_;
  std::wstring message_;
};

// The folder of the running executable, without a trailing backslash.
std::wstring ExeFolder();

bool FileExists(const std::wstring& path);       // a file, not a folder
bool DirectoryExists(const std::wstring& path);

// The whole file, or nothing when it does not exist. Other failures (locked, denied) throw Win32Error.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Creates or truncates the file and writes all of `bytes`, flushed to disk. Throws Win32Error.
void WriteWholeFile(const std::wstring& path, std::string_view bytes);

// Moves `from` over `to`, replacing it in one step: a crash leaves either the old or the new file.
void ReplaceFileAtomically(const std::wstring& from, const std::wstring& to);

}  // namespace corvanto
