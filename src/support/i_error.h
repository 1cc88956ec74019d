// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

// Error object of the program. Failures are raised as `throw new X(...)` and the
// catcher owns the pointer; use catchError()/guarded() from error_guard.h so that
// ownership is taken exactly once.
class IError {
  public:
    // Codes understood by the base table; derived classes append their own texts.
    enum Code : unsigned { ERR_UNKNOWN = 0, ERR_MEMORY, ERR_ARGUMENT, ERR_SYSTEM, ERR_FILE };

    IError(unsigned code, std::string message, int line, std::string file);
    // Takes ownership of `cause`, the error that led to this one.
    IError(unsigned code, std::string message, IError* cause, int line, std::string file);
    IError(const IError&) = delete;
    IError& operator=(const IError&) = delete;
    virtual ~IError();

    virtual std::string name() const;
    // Whole description for the user: code text, message, origin and the cause chain.
    virtual std::string format() const;

    unsigned code() const { return code_; }
    const std::string& message() const { return message_; }
    int line() const { return line_; }
    const std::string& file() const { return file_; }
    const IError* cause() const { return cause_.get(); }
    // Text of this error's code from the message table; empty when the table has none.
    std::string codeText() const;

  protected:
    // Appends the texts of the codes a class is raised with, in code order.
    virtual void setMsgs(std::vector<std::string>& msgs) const;

  private:
    unsigned code_;
    std::string message_;
    int line_;
    std::string file_;
    std::unique_ptr<IError> cause_;
};

// Raises a plain IError (used for file errors).
[[noreturn]] void raiseError(unsigned code, const std::string& message, int line, const char* file);

#define VAPRON_RAISE(code, message) raiseError((code), (message), __LINE__, __FILE__)
