#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zorvik::testing {

// One running dde-test-host.exe (found beside the test program), ended with the object.
class TestHostProcess {
 public:
  // Starts the host with `arguments` (options and item=value pairs) and waits until its window
  // exists. Fails the current test when it does not start within a few seconds.
  explicit TestHostProcess(const std::vector<std::wstring>& arguments);
  ~TestHostProcess();
  TestHostProcess(const TestHostProcess&) = delete;
  TestHostProcess& operator=(const TestHostProcess&) = delete;

  bool Started() const { return process_ != nullptr; }
  // Changes an item's value; the host advises linked clients.
  void SetItem(const std::string& item, const std::string& utf8Value);
  // Ends every conversation the polite way and waits for the host to exit.
  void Quit();
  // Ends the process at once, as a crash would: no conversation is ended.
  void Kill();
  // The executes the host acknowledged, oldest first.
  std::vector<std::string> Journal() const;

 private:
  HWND Window() const;

  std::wstring name_;
  std::wstring journal_;
  HANDLE process_ = nullptr;
};

}  // namespace zorvik::testing
