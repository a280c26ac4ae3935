#include "TestHostProcess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ProcessSupport.h"

namespace zorvik::testing {

TestHostProcess::TestHostProcess(const std::vector<std::wstring>& arguments) {
  static std::atomic<int> counter{0};
  name_ = L"ZorvikTestHost-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++counter);
  journal_ = TempDirectory() + name_ + L".journal";
  DeleteFileW(journal_.c_str());

  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, name_.c_str());
  std::wstring command = QuoteArgument(ProgramDirectory() + L"dde-test-host.exe") + L" --ready " +
                         QuoteArgument(name_) + L" --journal " + QuoteArgument(journal_);
  for (const auto& arg : arguments) command += L" " + QuoteArgument(arg);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    ADD_FAILURE() << "cannot start dde-test-host.exe, error " << GetLastError();
    CloseHandle(ready);
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  HANDLE waits[] = {ready, process_};
  const DWORD rc = WaitForMultipleObjects(2, waits, FALSE, 10000);
  CloseHandle(ready);
  if (rc != WAIT_OBJECT_0) {
    ADD_FAILURE() << "dde-test-host.exe did not come up (wait result " << rc << ")";
    Kill();
  }
}

TestHostProcess::~TestHostProcess() {
  Kill();
  DeleteFileW(journal_.c_str());
}

HWND TestHostProcess::Window() const {
  return FindWindowW(nullptr, name_.c_str());
}

void TestHostProcess::SetItem(const std::string& item, const std::string& utf8Value) {
  std::string text = item + "=" + utf8Value;
  COPYDATASTRUCT data{};
  data.cbData = static_cast<DWORD>(text.size());
  data.lpData = text.data();
  DWORD_PTR result = 0;
  ASSERT_NE(0, SendMessageTimeoutW(Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                   SMTO_ABORTIFHUNG, 3000, &result));
}

void TestHostProcess::Quit() {
  if (!process_) return;
  PostMessageW(Window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_, 5000)) << "host did not quit";
  Kill();
}

void TestHostProcess::Kill() {
  if (!process_) return;
  TerminateProcess(process_, 1);
  WaitForSingleObject(process_, 5000);
  CloseHandle(process_);
  process_ = nullptr;
}

std::vector<std::string> TestHostProcess::Journal() const {
  std::ifstream in{std::filesystem::path(journal_)};
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace zorvik::testing
