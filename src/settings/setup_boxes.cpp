// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/setup_boxes.h"

#include <algorithm>
#include <bit>

#include "link/device_info.h"

void setup_boxes_t::fromRecord(const device_info_t& info) {
    const dev_setup_t& setup = info.setup;
    mainCorrection = setup.hasFlag(dev_setup_t::FLAG_MAIN_CORR);
    pressureCorrection = setup.hasFlag(dev_setup_t::FLAG_PRESSURE_CORR);
    gasoline12V = (setup.injType & dev_setup_t::INJ_12V) != 0;
    if (setup.injType & dev_setup_t::INJ_NON_SEQ) {
        injectionType = NON_SEQUENCE;
    } else if (setup.injType & dev_setup_t::INJ_HALF_SEQ) {
        injectionType = SEMI_SEQUENCE;
    } else {
        injectionType = FULL_SEQUENCE;
    }
    for (int i = 0; i < kInjectors; ++i) {
        injectors[i] = injectorOf(setup.lpgMasks[i], injectors[i]);
    }
}

std::uint8_t setup_boxes_t::functionFlags(const device_info_t& info) const {
    dev_setup_t setup = info.setup;
    setup.setFlag(dev_setup_t::FLAG_PRESSURE_CORR, pressureCorrection);
    setup.setFlag(dev_setup_t::FLAG_MAIN_CORR, mainCorrection);
    setup.setFlag(dev_setup_t::FLAG_SETUP_DONE, true);
    const bool tableUsed = std::any_of(info.timeTable.begin(), info.timeTable.end(),
                                       [](double v) { return v != 0.0; });
    if (tableUsed) {
        setup.setFlag(dev_setup_t::FLAG_TIME_TABLE, true);
    }
    return setup.flags;
}

std::uint8_t setup_boxes_t::injectionFlags() const {
    std::uint8_t flags = gasoline12V ? dev_setup_t::INJ_12V : 0;
    if (injectionType == NON_SEQUENCE) {
        flags |= dev_setup_t::INJ_NON_SEQ;
    } else if (injectionType == SEMI_SEQUENCE) {
        flags |= dev_setup_t::INJ_HALF_SEQ;
    }
    return flags;
}

bool setup_boxes_t::toRecord(device_info_t& info, bool withMasks) const {
    dev_setup_t& setup = info.setup;
    setup.flags = functionFlags(info);
    const std::uint8_t previous = setup.injType;
    setup.injType = injectionFlags();
    for (int i = 0; i < kInjectors && withMasks; ++i) {
        setup.lpgMasks[i] = maskOf(injectors[i]);
    }
    return setup.injType != previous;
}

int setup_boxes_t::injectorOf(std::uint8_t mask, int previous) {
    return mask == 0 ? previous : std::countr_zero(mask) + 1;
}

std::uint8_t setup_boxes_t::maskOf(int injector) {
    if (injector < 1 || injector > kInjectors) {
        return 0;
    }
    return static_cast<std::uint8_t>(1u << (injector - 1));
}
