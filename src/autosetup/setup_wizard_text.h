// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The boxes of the step-by-step setup. Each one ends the setup except the note on
// pressure corrections.
namespace setup_wizard_text {

inline constexpr const char* kNoCarInfo =
    "Musisz podać dane dotyczące samochodu i zamontowanej instalacji";
inline constexpr const char* kErrorsUnread = "Nie można wczytać błędów urządzenia";
inline constexpr const char* kStoredErrors =
    "Sterownik LPG sygnalizuje błędy!\nSkasuj błędy i uruchom ponownie autoustawianie";
inline constexpr const char* kNoSamples = "Urządzenie nie wysyła danych diagnostycznych!";
inline constexpr const char* kSetupUnread = "Nie powiodło się wczytanie ustawień z urządzenia!";
inline constexpr const char* kNoDiagSample =
    "Nie można pobrać danych diagnostycznych ze sterownika LPG.";
inline constexpr const char* kWriteFailed = "Nie powiodło się wpisanie ustawień do urządzenia!";
inline constexpr const char* kReadingErrors = "Wczytywanie błędów sterownika...";
inline constexpr const char* kReadingSettings = "Wczytywanie ustawień z urządzenia...";
inline constexpr const char* kReadingSamples = "Pobieranie danych diagnostycznych...";
inline constexpr const char* kWriting = "Wpisywanie ustawień do sterownika...";
inline constexpr const char* kSwitchingToLpg = "Przełączanie sterownika na LPG...";
inline constexpr const char* kSwitchingToAuto = "Przełączanie sterownika w tryb AUTO...";
inline constexpr const char* kSignalFaults = "Błędy sterownika LPG:";
inline constexpr const char* kNoPressureCorrection =
    "Nie została włączona zależność od ciśnienia róznicowego.";
inline constexpr const char* kLpgFailed = "Nie powiodło się przełączenie na LPG!";
inline constexpr const char* kCalibrationFailed =
    "Nie powiodła się procedura automatycznego wyznaczenia poprawek lub została przerwana!";
inline constexpr const char* kAutoFailed = "Nie powiodło się przejście urządzenia w tryb AUTO!";
// The error box: this heading, then the raised error's text.
inline constexpr const char* kErrorHeading =
    "Błąd wykonania procedury autoustawiania.\nSzczegóły: CDeviceDoc::onAutoSet()";

}  // namespace setup_wizard_text
