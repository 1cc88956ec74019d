// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/error_guard.h"
#include "support/error_helper.h"
#include "support/rs_error.h"

namespace {

class Raiser : public IErrorHelper<CRSError> {};

TEST(ErrorTest, RsErrorCarriesCodeTextAndName) {
    Raiser raiser;
    ErrorPtr error = catchError(
        [&] { raiser.raise(5, "CSerialPort::open(7) - GetLastError()=2", 12, "x.cpp"); });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->name(), "CRSError");
    EXPECT_EQ(error->code(), 5u);
    EXPECT_EQ(error->codeText(), "Nie można otworzyć portu RS.");
    EXPECT_EQ(error->line(), 12);
    const std::string text = error->format();
    EXPECT_NE(text.find("Nie można otworzyć portu RS."), std::string::npos);
    EXPECT_NE(text.find("CSerialPort::open(7) - GetLastError()=2"), std::string::npos);

    CRSError operation(6, "m", 1, "f");
    EXPECT_EQ(operation.codeText(), "Nie można wykonać operacji na RS.");
}

TEST(ErrorTest, FormatListsTheCauseChain) {
    ErrorPtr error = catchError([] {
        Raiser raiser;
        raiser.raise(6, "outer", new IError(4, "inner file", 3, "a.cpp"), 7, "b.cpp");
    });
    ASSERT_NE(error, nullptr);
    ASSERT_NE(error->cause(), nullptr);
    const std::string text = error->format();
    const auto outer = text.find("outer");
    const auto inner = text.find("inner file");
    ASSERT_NE(outer, std::string::npos);
    ASSERT_NE(inner, std::string::npos);
    EXPECT_LT(outer, inner);
    EXPECT_NE(text.find("Błąd operacji na pliku."), std::string::npos);
}

TEST(ErrorTest, UnknownCodeStillFormats) {
    IError error(99, "odd", 1, "f");
    EXPECT_EQ(error.codeText(), "");
    EXPECT_NE(error.format().find("99"), std::string::npos);
}

TEST(ErrorTest, FreeRaiseMakesPlainError) {
    ErrorPtr error = catchError([] { VAPRON_RAISE(4, "Nie można otworzyć pliku"); });
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->name(), "IError");
    EXPECT_EQ(error->message(), "Nie można otworzyć pliku");
}

TEST(ErrorTest, GuardComposesHandlerTexts) {
    auto ok = guarded("CDevicePanel::onBtnLpg()", [] {});
    EXPECT_FALSE(ok.has_value());

    auto failed = guarded("CDevicePanel::onBtnLpg()", [] { VAPRON_RAISE(4, "x"); });
    ASSERT_TRUE(failed.has_value());
    EXPECT_EQ(failed->rfind("CDevicePanel::onBtnLpg()\n", 0), 0u);

    // Anything else is named, never hidden behind a bare "catch(...)".
    auto other = guarded("H()", [] { throw 42; });
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(*other, "H()\nnieznany wyjątek");
    auto standard = guarded("H()", [] { throw std::length_error("vector::reserve"); });
    ASSERT_TRUE(standard.has_value());
    EXPECT_EQ(*standard, "H()\nvector::reserve");
}

TEST(ErrorTest, CatchErrorReturnsNullWhenNothingRaised) {
    int runs = 0;
    EXPECT_EQ(catchError([&] { ++runs; }), nullptr);
    EXPECT_EQ(runs, 1);
}

}  // namespace
