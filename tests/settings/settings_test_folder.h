// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "temp_dir.h"

// A fresh folder per test, removed afterwards; path() ends with '/'.
class SettingsTestFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::make_unique<CTempDir>();
        folder_ = dir_->folder();
    }
    void TearDown() override { dir_.reset(); }

    const std::string& path() const { return folder_; }

  private:
    std::unique_ptr<CTempDir> dir_;
    std::string folder_;
};
