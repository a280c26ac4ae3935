#include "host/win/LinkText.h"

namespace zorvik::host::win {

std::string LinkText::Get() const {
  std::lock_guard lock(mutex_);
  return text_;
}

void LinkText::Set(const std::string& text) {
  std::lock_guard lock(mutex_);
  text_ = text;
  programText_ = text;
}

std::uint64_t LinkText::BeginSetUp() {
  std::lock_guard lock(mutex_);
  linked_ = ++lastSetUp_;
  linkWrote_ = false;
  return linked_;
}

void LinkText::SetUpSucceeded(std::uint64_t setUp, const std::string& value) {
  std::lock_guard lock(mutex_);
  if (setUp == linked_ && !linkWrote_) text_ = value;
}

void LinkText::SetUpFailed(std::uint64_t setUp) {
  std::lock_guard lock(mutex_);
  if (setUp != linked_) return;
  linked_ = 0;
  text_ = programText_;
}

void LinkText::LinkEnded() {
  std::lock_guard lock(mutex_);
  linked_ = 0;
}

void LinkText::OnLinkData(std::uint64_t setUp, const std::string& value) {
  std::lock_guard lock(mutex_);
  if (setUp == 0 || setUp != linked_) return;
  text_ = value;
  linkWrote_ = true;
}

}  // namespace zorvik::host::win
