// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/rs_error.h"

std::string CRSError::name() const {
    return "CRSError";
}

void CRSError::setMsgs(std::vector<std::string>& msgs) const {
    IError::setMsgs(msgs);
    msgs.push_back("Nie można otworzyć portu RS.");
    msgs.push_back("Nie można wykonać operacji na RS.");
}
