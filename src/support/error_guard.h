// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "support/i_error.h"

using ErrorPtr = std::unique_ptr<IError>;

// Runs body; an IError raised inside is returned owned (never leaked, deleted once).
// Any other exception passes through.
template <class F>
ErrorPtr catchError(F&& body) {
    try {
        body();
    } catch (IError* e) {
        return ErrorPtr(e);
    }
    return nullptr;
}

// The guard of every user-interface handler: returns the text to show in the error box
// ("handler\nformat", "handler\nwhat()" for a standard exception, "handler\nnieznany
// wyjątek" for anything else), or nothing when the body completed.
template <class F>
std::optional<std::string> guarded(std::string_view handler, F&& body) {
    try {
        body();
        return std::nullopt;
    } catch (IError* e) {
        ErrorPtr owned(e);
        return std::string(handler) + "\n" + owned->format();
    } catch (const std::exception& e) {
        return std::string(handler) + "\n" + e.what();
    } catch (...) {
        return std::string(handler) + "\nnieznany wyjątek";
    }
}
