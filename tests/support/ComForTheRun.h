#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "logdb/dao/ComHolders.h"

namespace zorvik::testing {

// COM initialised on the test thread for the whole run, as Zorvik.exe has it for the whole
// program: the DAO engine then joins that apartment instead of setting up one for every handle.
// Register with ::testing::AddGlobalTestEnvironment (which takes ownership).
class ComForTheRun final : public ::testing::Environment {
 public:
  void SetUp() override { apartment_.emplace(); }
  void TearDown() override { apartment_.reset(); }

 private:
  std::optional<logdb::dao::ComApartment> apartment_;
};

}  // namespace zorvik::testing
