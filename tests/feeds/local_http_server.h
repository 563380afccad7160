#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: runs in the test process on its own threads, listens on an
// ephemeral port and answers each request by its target with a reply the test has set. It can answer with any
// status, headers and body, hold a reply until the test releases it, or accept and never answer.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace corvanto::test {

struct HttpReply {
  int status = 200;
  std::string reason = "OK";
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  bool withLength = true;    // false: no Content-Length, the body ends when the connection closes
  bool neverAnswer = false;  // read the request, then keep the connection open without a word
  bool held = false;         // answer only after Release(target)
  size_t cutAfter = std::string::npos;  // close the connection after this many bytes of the body

  static HttpReply Ok(std::string body, std::string contentType = "text/xml; charset=utf-8");
  static HttpReply Status(int status, std::string reason, std::string body = "");
  static HttpReply Redirect(std::string location);  // 302 Found
  static HttpReply Silent();
};

struct HttpRequest {
  std::string method;
  std::string target;  // path and query as sent
  std::vector<std::pair<std::string, std::string>> headers;
  int arrived = 0;     // order of events on the server: arrival of this request ...
  int answered = 0;    // ... and the end of its reply (0 while not answered)
  // The value of the first header of that name (case-insensitive); "" when absent.
  std::string Header(std::string_view name) const;
  int HeaderCount(std::string_view name) const;
};

class LocalHttpServer {
 public:
  LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;
  ~LocalHttpServer();  // closes every connection and joins every thread

  uint16_t port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `target`.
  std::wstring Url(std::string_view target) const;

  // The reply for requests to `target` (path and query); a target without one gets 404.
  void Set(const std::string& target, HttpReply reply);
  // Lets the held replies of `target` go.
  void Release(const std::string& target);

  std::vector<HttpRequest> Requests() const;
  std::vector<HttpRequest> RequestsTo(std::string_view target) const;

 private:
  void AcceptLoop();
  void Serve(uintptr_t socket);
  void Close(uintptr_t socket);  // forgets and closes one connection
  // Socket waits that end when the server stops.
  bool WaitReady(uintptr_t socket, bool write) const;
  int Receive(uintptr_t socket, char* buf, int size) const;
  bool SendAll(uintptr_t socket, std::string_view data) const;

  uintptr_t listener_;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, HttpReply> replies_;
  std::map<std::string, int> released_;  // how many Release calls each target has had
  std::vector<HttpRequest> requests_;
  int events_ = 0;
  std::vector<uintptr_t> connections_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

}  // namespace corvanto::test
