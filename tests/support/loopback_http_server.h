#pragma once
// A small HTTP server on 127.0.0.1 for tests of web-service calls: it records
// each request and answers with a fixed status and body, or, when told to stay
// silent, accepts the connection and never answers.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vx::testing {

class LoopbackHttpServer {
 public:
  enum class Mode { Answer, Silent };
  struct Request {
    std::string head;  // request line and headers
    std::string body;
  };

  LoopbackHttpServer(int status, std::string body, Mode mode = Mode::Answer)
      : status_(status), body_(std::move(body)), mode_(mode) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(fd_, 8) != 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
      throw std::runtime_error("loopback server: cannot listen");
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackHttpServer() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
  }

  std::string Url(const std::string& path = "/ws") const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<Request> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  // Waits until fd is readable or the server stops; false when stopping.
  bool WaitReadable(int fd) {
    pollfd p{fd, POLLIN, 0};
    while (!stop_) {
      int rc = ::poll(&p, 1, 20);
      if (rc > 0) return true;
      if (rc < 0) return false;
    }
    return false;
  }

  void Serve() {
    while (WaitReadable(fd_)) {
      int c = ::accept(fd_, nullptr, nullptr);
      if (c < 0) continue;
      Handle(c);
      ::close(c);
    }
  }

  void Handle(int c) {
    std::string data;
    std::size_t head_end = std::string::npos, need = 0;
    char buf[4096];
    while (head_end == std::string::npos || data.size() < head_end + 4 + need) {
      if (!WaitReadable(c)) return;
      ssize_t n = ::recv(c, buf, sizeof buf, 0);
      if (n <= 0) return;
      data.append(buf, static_cast<std::size_t>(n));
      if (head_end == std::string::npos &&
          (head_end = data.find("\r\n\r\n")) != std::string::npos) {
        std::size_t p = data.find("Content-Length:");
        if (p != std::string::npos && p < head_end) need = std::stoul(data.substr(p + 15));
      }
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back({data.substr(0, head_end), data.substr(head_end + 4, need)});
    }
    if (mode_ == Mode::Silent) {
      // Hold the connection open without a word until the client gives up.
      while (WaitReadable(c))
        if (::recv(c, buf, sizeof buf, 0) <= 0) return;
      return;
    }
    std::string answer =
        "HTTP/1.1 " + std::to_string(status_) + " Status\r\n" +
        "Content-Type: text/xml; charset=utf-8\r\nContent-Length: " + std::to_string(body_.size()) +
        "\r\nConnection: close\r\n\r\n" + body_;
    ::send(c, answer.data(), answer.size(), MSG_NOSIGNAL);
  }

  int status_;
  std::string body_;
  Mode mode_;
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Request> requests_;
  std::thread thread_;
};

}  // namespace vx::testing
