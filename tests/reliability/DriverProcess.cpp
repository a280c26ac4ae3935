#include "DriverProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

namespace zorvik::reliability {

std::vector<std::string> DriverRun::Lines(const std::string& kind) const {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < out.size()) {
    std::size_t end = out.find('\n', at);
    if (end == std::string::npos) end = out.size();
    const std::string line = out.substr(at, end - at);
    if (line.rfind(kind + "\t", 0) == 0) lines.push_back(line.substr(kind.size() + 1));
    at = end + 1;
  }
  return lines;
}

DriverRun RunAddDriver(const std::vector<std::string>& arguments,
                       std::optional<std::chrono::microseconds> killAfter) {
  std::vector<std::string> words{ZORVIK_ADD_DRIVER};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("pipe failed");
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);

  DriverRun run;
  int status = 0;
  bool reaped = false;
  if (killAfter) {
    // The driver writes only at its end, well inside the pipe's buffer, so it never blocks on
    // us while we wait here.
    std::this_thread::sleep_until(start + *killAfter);
    reaped = waitpid(child, &status, WNOHANG) == child;
    if (!reaped) kill(child, SIGKILL);
  }
  char buffer[4096];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) run.out.append(buffer, n);
  close(out[0]);
  if (!reaped) waitpid(child, &status, 0);
  run.took = std::chrono::steady_clock::now() - start;
  run.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

}  // namespace zorvik::reliability
