#pragma once
// The failures that travel out of the downloader, the timestamp conversion and the feed readers.
#include <stdexcept>
#include <string>

#include "base/text.h"

namespace corvanto {

// Base of the feed failures: a message as text for the log.
class FeedError : public std::runtime_error {
 public:
  explicit FeedError(std::wstring message) : std::runtime_error(WideToUtf8(message)), message_(std::move(message)) {}
  const std::wstring& message() const { return message_; }

 private:
  std::wstring message_;
};

// The response could not be obtained: name resolution, connection, time-out, an HTTP error status, a body
// over the size limit. `response()` describes the error response that came with it ("" when none came).
class WebException : public FeedError {
 public:
  WebException(std::wstring message, std::wstring response = L"")
      : FeedError(std::move(message)), response_(std::move(response)) {}
  const std::wstring& response() const { return response_; }

 private:
  std::wstring response_;
};

// Reading the body, or creating or writing the feed file, failed.
class IOException : public FeedError {
 public:
  using FeedError::FeedError;
};

// An address the downloader cannot fetch (not http:// or https://).
class ArgumentException : public FeedError {
 public:
  using FeedError::FeedError;
};

// A timestamp that does not convert.
class FormatException : public FeedError {
 public:
  using FeedError::FeedError;
};

// An operation that the XML reader's current node does not allow (taking the text of an end tag). Not an XML
// error: the readers let it through to their caller.
class InvalidOperationException : public FeedError {
 public:
  using FeedError::FeedError;
};

}  // namespace corvanto
