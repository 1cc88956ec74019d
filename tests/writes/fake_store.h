// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/i_car_settings_store.h"

// Records what was prepared and what was committed, in order.
class FakeStore : public ICarSettingsStore {
  public:
    class Pending : public IPending {
      public:
        Pending(FakeStore& owner, device_info_t info) : owner_(owner), info_(std::move(info)) {}
        commit_t commit() override {
            owner_.stored.push_back(info_);
            return owner_.commitResult;
        }

      private:
        FakeStore& owner_;
        device_info_t info_;
    };
    std::unique_ptr<IPending> prepare(const device_info_t& info, std::string& problem) override {
        ++prepared;
        if (!succeed) {
            problem = "brak miejsca na dysku";
            return nullptr;
        }
        return std::make_unique<Pending>(*this, info);
    }
    bool succeed = true;
    commit_t commitResult;
    int prepared = 0;
    std::vector<device_info_t> stored;
};
