#pragma once

// A temporary folder of one test's own, for the cases files and programs
// the grader tests write.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace orben::grader {

class GradingTest : public ::testing::Test {
 protected:
  GradingTest() {
    folder_ = std::filesystem::temp_directory_path() /
              ("tuka2-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  ~GradingTest() override { std::filesystem::remove_all(folder_); }
  std::string write(const std::string& name, const std::string& text) {
    std::filesystem::create_directories((folder_ / name).parent_path());
    std::ofstream(folder_ / name, std::ios::binary) << text;
    return (folder_ / name).string();
  }
  std::string read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::filesystem::path folder_;
};

}  // namespace orben::grader
