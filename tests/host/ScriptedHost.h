#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

// A host that misbehaves on purpose (late, garbled or endless replies), on its own thread so
// the blocking client can be tested against it. `respond` gets each line received (without its
// line end) and returns the bytes to send back; it may sleep to answer late.
class ScriptedHost {
 public:
  using Respond = std::function<std::string(const std::string& line)>;

  ScriptedHost(const std::string& path, Respond respond) : respond_(std::move(respond)) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    path.copy(addr.sun_path, sizeof addr.sun_path - 1);
    ::unlink(path.c_str());
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener_, 4) != 0) {
      throw std::runtime_error("cannot listen on " + path);
    }
    path_ = path;
    thread_ = std::thread([this] { Serve(); });
  }
  ~ScriptedHost() {
    stop_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
    ::unlink(path_.c_str());
  }

 private:
  void Serve() {
    while (!stop_) {
      const int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) return;
      std::string buffer;
      char chunk[4096];
      for (;;) {
        const auto got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) break;
        buffer.append(chunk, static_cast<size_t>(got));
        for (auto end = buffer.find('\n'); end != std::string::npos; end = buffer.find('\n')) {
          const std::string reply = respond_(buffer.substr(0, end));
          buffer.erase(0, end + 1);
          if (reply == "<hang up>") {
            buffer.clear();
            goto closed;
          }
          ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
        }
      }
    closed:
      ::close(fd);
    }
  }

  Respond respond_;
  std::string path_;
  int listener_ = -1;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
