#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/Failure.h"
#include "host/DdeClient.h"
#include "host/SettingsStore.h"

namespace zorvik::testing {

// Settings from a map; missing keys read as empty.
class FakeSettings : public host::SettingsStore {
 public:
  std::string GetSetting(const std::string& app, const std::string& section,
                         const std::string& key) const override {
    auto it = values.find({app, section, key});
    return it == values.end() ? std::string() : it->second;
  }
  void Set(const std::string& key, const std::string& value) {
    values[{"DXKeeper", "Configuration", key}] = value;
  }
  std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
};

// An in-process DXKeeper for logic tests: item values from a map, executes journalled. Tests of
// the real transport use dxkeeper-sim instead.
class FakeDde : public host::DdeClient {
 public:
  std::string Text() const override { return text; }
  void SetText(const std::string& t) override { text = t; }
  void SetLinkTopic(const std::string& t) override { topic = t; }
  void SetLinkItem(const std::string& i) override { item = i; }
  void SetLinkMode(int mode) override {
    if (mode == 0) {
      conversation = false;
      return;
    }
    if (linkFailure) throw Failure(*linkFailure, "link failure");
    if (!running) {
      conversation = false;
      throw Failure(err::kDdeNoAnswer, "No foreign application responded to a DDE initiate");
    }
    conversation = true;
    auto it = items.find(item);
    text = it == items.end() ? std::string() : it->second;
  }
  void LinkExecute(const std::string& command) override {
    if (!conversation) throw Failure(err::kDdeNoConversation, "no DDE conversation is open");
    journal.push_back(command);
    if (executeFailure) throw Failure(*executeFailure, "execute failure");
  }

  bool running = true;
  bool conversation = false;
  std::map<std::string, std::string> items{{"DDECommand", "ready"}, {"QSLMode", "0"}};
  std::optional<int> linkFailure;
  std::optional<int> executeFailure;
  std::vector<std::string> journal;
  std::string text, topic, item;
};

}  // namespace zorvik::testing
