#include "link/port_names.h"

std::string CPortNames::pathOf(int port) const {
    int index = port - 1;
    if (!firstPath_.empty()) {
        if (port == 1) {
            return firstPath_;
        }
        index = port - 2;
    }
    const auto mark = pattern_.find("%d");
    if (mark == std::string::npos) {
        return pattern_;
    }
    return pattern_.substr(0, mark) + std::to_string(index) + pattern_.substr(mark + 2);
}
