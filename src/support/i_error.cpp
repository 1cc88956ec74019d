// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/i_error.h"

IError::IError(unsigned code, std::string message, int line, std::string file)
    : code_(code), message_(std::move(message)), line_(line), file_(std::move(file)) {}

IError::IError(unsigned code, std::string message, IError* cause, int line, std::string file)
    : code_(code),
      message_(std::move(message)),
      line_(line),
      file_(std::move(file)),
      cause_(cause) {}

IError::~IError() = default;

std::string IError::name() const {
    return "IError";
}

void IError::setMsgs(std::vector<std::string>& msgs) const {
    msgs.push_back("Nieznany błąd.");
    msgs.push_back("Brak pamięci.");
    msgs.push_back("Błędny argument.");
    msgs.push_back("Błąd systemowy.");
    msgs.push_back("Błąd operacji na pliku.");
}

std::string IError::codeText() const {
    std::vector<std::string> msgs;
    setMsgs(msgs);
    return code_ < msgs.size() ? msgs[code_] : std::string();
}

std::string IError::format() const {
    std::string text = codeText();
    if (text.empty()) {
        text = "Kod błędu " + std::to_string(code_) + ".";
    }
    text += "\n" + message_;
    const auto slash = file_.find_last_of('/');
    const std::string where = slash == std::string::npos ? file_ : file_.substr(slash + 1);
    text += "\n(" + name() + ", " + where + ":" + std::to_string(line_) + ")";
    if (cause_) {
        text += "\nPrzyczyna: " + cause_->format();
    }
    return text;
}

void raiseError(unsigned code, const std::string& message, int line, const char* file) {
    throw new IError(code, message, line, file);
}
