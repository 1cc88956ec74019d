// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/i_error.h"

// Failure of the serial line: code 5 when the port cannot be opened, 6 for any
// other operation on it.
class CRSError : public IError {
  public:
    enum : unsigned { ERR_RS_OPEN = 5, ERR_RS_OPERATION = 6 };

    using IError::IError;
    std::string name() const override;

  protected:
    void setMsgs(std::vector<std::string>& msgs) const override;
};
