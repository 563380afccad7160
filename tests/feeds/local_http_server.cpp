#include "tests/feeds/local_http_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace corvanto::test {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Trim(std::string s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

HttpReply HttpReply::Ok(std::string body, std::string contentType) {
  HttpReply r;
  r.body = std::move(body);
  r.headers.emplace_back("Content-Type", std::move(contentType));
  return r;
}

HttpReply HttpReply::Status(int status, std::string reason, std::string body) {
  HttpReply r;
  r.status = status;
  r.reason = std::move(reason);
  r.body = std::move(body);
  r.headers.emplace_back("Content-Type", "text/html; charset=utf-8");
  return r;
}

HttpReply HttpReply::Redirect(std::string location) {
  HttpReply r = Status(302, "Found");
  r.headers.emplace_back("Location", std::move(location));
  return r;
}

HttpReply HttpReply::Silent() {
  HttpReply r;
  r.neverAnswer = true;
  return r;
}

std::string HttpRequest::Header(std::string_view name) const {
  for (const auto& [n, v] : headers) {
    if (SameName(n, name)) return v;
  }
  return "";
}

int HttpRequest::HeaderCount(std::string_view name) const {
  int count = 0;
  for (const auto& h : headers) count += SameName(h.first, name);
  return count;
}

LocalHttpServer::LocalHttpServer() {
  WSADATA wsa;
  if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) throw std::runtime_error("WSAStartup");
  const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) throw std::runtime_error("socket");
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  int len = sizeof(addr);
  if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || ::listen(s, SOMAXCONN) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    ::closesocket(s);
    throw std::runtime_error("bind/listen");
  }
  listener_ = s;
  port_ = ntohs(addr.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

LocalHttpServer::~LocalHttpServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  ::closesocket(static_cast<SOCKET>(listener_));
  acceptor_.join();
  for (auto& w : workers_) w.join();  // no new workers once the acceptor has ended
  ::WSACleanup();
}

std::wstring LocalHttpServer::Url(std::string_view target) const {
  std::wstring url = L"http://127.0.0.1:" + std::to_wstring(port_);
  for (char c : target) url.push_back(static_cast<unsigned char>(c));
  return url;
}

void LocalHttpServer::Set(const std::string& target, HttpReply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  replies_[target] = std::move(reply);
}

void LocalHttpServer::Release(const std::string& target) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++released_[target];
  }
  changed_.notify_all();
}

std::vector<HttpRequest> LocalHttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::vector<HttpRequest> LocalHttpServer::RequestsTo(std::string_view target) const {
  std::vector<HttpRequest> out;
  for (auto& r : Requests()) {
    if (r.target == target) out.push_back(r);
  }
  return out;
}

bool LocalHttpServer::WaitReady(uintptr_t socket, bool write) const {
  const SOCKET s = static_cast<SOCKET>(socket);
  for (;;) {
    if (stopping_) return false;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval wait{0, 100000};  // look at the stop flag ten times a second
    const int r = ::select(0, write ? nullptr : &set, write ? &set : nullptr, nullptr, &wait);
    if (r > 0) return true;
    if (r < 0) return false;
  }
}

int LocalHttpServer::Receive(uintptr_t socket, char* buf, int size) const {
  for (;;) {
    if (!WaitReady(socket, false)) return -1;
    const int got = ::recv(static_cast<SOCKET>(socket), buf, size, 0);
    if (got >= 0) return got;
    if (::WSAGetLastError() != WSAEWOULDBLOCK) return -1;
  }
}

bool LocalHttpServer::SendAll(uintptr_t socket, std::string_view data) const {
  while (!data.empty()) {
    if (!WaitReady(socket, true)) return false;
    const int chunk = static_cast<int>(std::min<size_t>(data.size(), 65536));
    const int sent = ::send(static_cast<SOCKET>(socket), data.data(), chunk, 0);
    if (sent < 0 && ::WSAGetLastError() == WSAEWOULDBLOCK) continue;
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

void LocalHttpServer::AcceptLoop() {
  for (;;) {
    const SOCKET c = ::accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
    if (c == INVALID_SOCKET) return;  // the listener was closed
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) {
      ::closesocket(c);
      return;
    }
    u_long nonBlocking = 1;  // every wait goes through select, so that a stop ends it
    ::ioctlsocket(c, FIONBIO, &nonBlocking);
    connections_.push_back(c);
    workers_.emplace_back([this, c] { Serve(c); });
  }
}

void LocalHttpServer::Serve(uintptr_t socket) {
  const SOCKET s = static_cast<SOCKET>(socket);
  std::string data;
  char buf[4096];
  while (data.find("\r\n\r\n") == std::string::npos && data.size() < 65536) {
    const int got = Receive(socket, buf, sizeof(buf));
    if (got <= 0) break;
    data.append(buf, static_cast<size_t>(got));
  }
  const size_t headEnd = data.find("\r\n\r\n");
  if (headEnd == std::string::npos) {
    Close(socket);
    return;
  }
  HttpRequest request;
  size_t lineStart = 0;
  bool first = true;
  while (lineStart < headEnd) {
    size_t lineEnd = data.find("\r\n", lineStart);
    const std::string line = data.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 2;
    if (first) {
      first = false;
      const size_t a = line.find(' '), b = line.rfind(' ');
      request.method = line.substr(0, a);
      request.target = a == std::string::npos || b <= a ? "" : line.substr(a + 1, b - a - 1);
    } else if (const size_t colon = line.find(':'); colon != std::string::npos) {
      request.headers.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    }
  }

  std::unique_lock<std::mutex> lock(mutex_);
  request.arrived = ++events_;
  const size_t index = requests_.size();
  requests_.push_back(request);
  const auto found = replies_.find(request.target);
  HttpReply reply = found != replies_.end() ? found->second : HttpReply::Status(404, "Not Found", "not found");
  if (reply.neverAnswer) {
    changed_.wait(lock, [&] { return stopping_.load(); });
  } else if (reply.held) {
    const int ticket = ++released_["#held " + request.target];  // the n-th held request waits for the n-th release
    changed_.wait(lock, [&] { return stopping_ || released_[request.target] >= ticket; });
  }
  if (stopping_) {
    lock.unlock();
    Close(socket);
    return;
  }
  lock.unlock();

  std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + reply.reason + "\r\n";
  for (const auto& [n, v] : reply.headers) head += n + ": " + v + "\r\n";
  if (reply.withLength) head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
  head += "Connection: close\r\n\r\n";
  if (SendAll(socket, head) && SendAll(socket, std::string_view(reply.body).substr(0, reply.cutAfter))) {
    ::shutdown(s, SD_SEND);
    // Let the client read to the end before the socket goes.
    while (Receive(socket, buf, sizeof(buf)) > 0) {
    }
  }
  lock.lock();
  requests_[index].answered = ++events_;
  lock.unlock();
  Close(socket);
}

void LocalHttpServer::Close(uintptr_t socket) {
  std::lock_guard<std::mutex> lock(mutex_);
  connections_.erase(std::remove(connections_.begin(), connections_.end(), socket), connections_.end());
  ::closesocket(static_cast<SOCKET>(socket));
}

}  // namespace corvanto::test
