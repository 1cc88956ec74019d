#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// A fresh folder per test, removed afterwards; path() ends with '/'.
class SettingsTestFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "vapron-settings-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        folder_ = std::string(name.data()) + "/";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    const std::string& path() const { return folder_; }

  private:
    std::string folder_;
};
