#include "autosetup/auto_setup_text.h"

#include <locale>
#include <sstream>

namespace autosetup_text {

std::string separator() {
    return std::string(82, '-');
}

std::string startTime(const std::tm& local) {
    char text[64] = {};
    std::strftime(text, sizeof text, "Czas rozpoczęcia: %d-%m:%Y %H:%M:%S", &local);
    return text;
}

std::string number(double value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

}  // namespace autosetup_text
