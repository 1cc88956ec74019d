// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <string>

// The texts of the auto-calibration: log lines, boxes and the number format of the log.
namespace autosetup_text {

inline constexpr const char* kIdleQuestion = "Ustal wolne obroty";
inline constexpr const char* kStart = "Start";
inline constexpr const char* kToGasoline = "Przełączenie na benzynę...";
inline constexpr const char* kToLpg = "Przełączenie na LPG...";
inline constexpr const char* kMeasureGasoline = "Start pomiaru czasu wtrysku benz.";
inline constexpr const char* kGasolineTime = "Czas benzynowy = ";
inline constexpr const char* kGasolineTimeOnLpg = "Czas benzynowy na LPG = ";
inline constexpr const char* kCorrection = "Poprawka = ";
inline constexpr const char* kResults = "---- Wyniki ----:";
inline constexpr const char* kConstantCorrection = "Stała poprawka = ";
inline constexpr const char* kWriting = "Wpisanie wyliczonych ustawień...";
inline constexpr const char* kDone = "Koniec ustawiania";
inline constexpr const char* kEnd = "Koniec";
inline constexpr const char* kMs = " ms";
// The last line of a successful run, before the separator: the value now in the controller.
inline constexpr const char* kMainWritten = "Główna poprawka wpisana do sterownika = ";

inline constexpr const char* kReadFailed =
    "Błąd - Nie powiodło się wczytanie ustawień z urządzenia!";
inline constexpr const char* kWriteFailed =
    "Błąd - Nie powiodło się wpisanie ustawień do urządzenia!";
inline constexpr const char* kGasolineFailed = "Błąd - Nie można przełączyć na benzynę!";
inline constexpr const char* kLpgFailed = "Błąd - Nie można przełączyć na LPG!";

inline constexpr const char* kTooSmall =
    "Wyliczono zbyt małą poprawkę.\n"
    "Aby poprawnie ustawić sterownik spróbuj wykonać nastepujące czynności:\n"
    "-zmienić wtryskiwacze na mniejsze lub \n"
    "-obniżyć cisnienie reduktora lub \n"
    "-zwiększyć opóźnienie wtrysku.\n";
inline constexpr const char* kTooLarge =
    "Wyliczono zbyt dużą poprawkę.\nNależy zmienić wtryskiwacze na większe.";
inline constexpr const char* kNothingWritten =
    "Błąd - Wynik poza zakresem głównej poprawki, ustawień nie wpisano.";
inline constexpr const char* kAllRejected =
    "Błąd procedury autoustawiania. Wszystkie wartości średnie zostały odrzucone";
inline constexpr const char* kFailedHeading =
    "Błąd wykonania procedury autoustawiania\nSzczegóły: CAutoSetupView::doWork()";
inline constexpr const char* kNoCarInfo =
    "Musisz podać dane dotyczące samochodu i zamontowanej instalacji";

// What a run must have before Start, for the pane that starts it.
inline constexpr const char* kBeforeStart =
    "Przed startem: silnik rozgrzany i na wolnych obrotach; światła, klimatyzacja i inne "
    "odbiorniki wyłączone; tryb diagnostyczny włączony. Autoustawianie pięć razy przełącza "
    "sterownik między benzyną a LPG (5 kroków, każdy po co najmniej 200 próbek) i trwa zwykle "
    "1–2 minuty. Do końca nie zmieniaj warunków pracy silnika.";

// The work mode a run left the controller in: the one it confirmed last, Unknown when it
// did not confirm the last switch, or (`fromSamples`) the one its latest samples show.
enum class mode_left_t { Unchanged, Gasoline, Lpg, Unknown };

// The closing box of a run: the main correction written, or why nothing was, what the
// first step left in the controller, and the work mode it was left in.
std::string succeededSummary(double mainCorrection);
std::string failedSummary(const std::string& reason, mode_left_t mode, bool fromSamples,
                          const double* mainWrittenAfterFirstStep);

// The line that opens and closes a run: 82 hyphen-minus characters.
std::string separator();
// "Czas rozpoczęcia: dd-mm:yyyy hh:mm:ss" for a local time.
std::string startTime(const std::tm& local);
// A double as the log writes it: six significant digits, no trailing zeros (0.025,
// 3.425, 1.35), a point as the decimal separator whatever the locale.
std::string number(double value);
// The box of a final main correction the settings record cannot hold; `kept` is what
// the controller still holds.
std::string outOfRangeText(double found, double kept);

}  // namespace autosetup_text
