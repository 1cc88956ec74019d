// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "link/dev_setup.h"

// Every number of the settings record, once: the name the command-line tool and its
// JSON use, the label the history and the report show, the unit, how it is typed, the
// range a write is checked against and whether the controller takes a change only after
// a restart. The checks, the CLI, the settings editor and the comparison of two records
// all read this table. The injector masks are eight bytes, not a number, and stand apart.
struct setup_field_t {
    enum class Kind { Real, Byte, Integer };
    // How the controller's clock bounds the value: times travel as ticks, the switch-over
    // speed as an engine period in ticks, so a faster clock narrows what fits.
    enum class ClockBound { None, TicksInByte, TicksInWord, PeriodInWord };

    const char* name;
    const char* label;
    const char* unit;
    Kind kind;
    double min;
    double max;
    bool maxExcluded;  // the range ends just below `max`
    bool needsRestart;
    // The refusal a value out of range gets, and the place of that refusal among the
    // others (the controller's old order); no message for fields without a range.
    int checkOrder;
    const char* checkMessage;
    ClockBound clockBound;
    double (*get)(const dev_setup_t&);
    void (*set)(dev_setup_t&, double);

    bool integral() const { return kind != Kind::Real; }
    bool hasRange() const { return checkMessage != nullptr; }
    // NaN is never in range, so a value that is not a number is never written.
    bool inRange(double value) const;
    // Whether the record's field can hold `value` at all (a byte cannot hold 300 nor 1.5).
    bool fits(double value) const;
};

const std::vector<setup_field_t>& setupFields();
const setup_field_t* findSetupField(const std::string& name);
// One line for each field the controller stores otherwise than `typed` asked:
// "Opóźnienie włączenia emulatora: sterownik zapisał 2,5 s zamiast 2,7 s".
std::vector<std::string> storedOtherwise(const dev_setup_t& typed, const dev_setup_t& stored);
// Whether writing `after` over `before` needs the controller restarted to take effect.
bool setupNeedsRestart(const dev_setup_t& before, const dev_setup_t& after);
