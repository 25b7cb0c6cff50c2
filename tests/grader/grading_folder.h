#pragma once

// The grader tests' fixture: a folder of the test's own for the cases
// files and programs it writes.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/scratch_folder.h"

namespace orben::grader {

class GradingTest : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& text) {
    return scratch_.write(name, text);
  }
  static std::string read(const std::string& path) { return ScratchFolder::read(path); }

  ScratchFolder scratch_{"tuka2-test"};
  const std::filesystem::path& folder_ = scratch_.folder();
};

}  // namespace orben::grader
