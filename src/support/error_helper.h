// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "support/i_error.h"

// Gives a class the two raise operations for errors of type E.
template <class E>
class IErrorHelper {
  public:
    virtual ~IErrorHelper() = default;

    [[noreturn]] virtual void raise(unsigned code, const std::string& message, int line,
                                    const char* file) const {
        throw new E(code, message, line, file);
    }
    [[noreturn]] virtual void raise(unsigned code, const std::string& message, IError* cause,
                                    int line, const char* file) const {
        throw new E(code, message, cause, line, file);
    }
};
