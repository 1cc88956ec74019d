// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/csv_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "link/controller_clock.h"
#include "temp_dir.h"

namespace {

// An LPG sample at 1000 rev/min, a gasoline one whose LPG time comes out negative, and
// one at the top of every 8-bit reading, then a line that is not a sample.
const std::string kRecording =
    "1\t2\t3\t15\t4800\t0\t160\t40\t20\t0\t100\t128\t200\t100\t45\t100\t0\t60\r\n"
    "2\t1\t0\t0\t0\t0\t0\t0\t40\t0\t255\t0\t128\t0\t0\t0\t255\t0\r\n"
    "3\t8\t3\t255\t65535\t0\t0\t0\t1\t0\t128\t128\t128\t255\t255\t128\t128\t128\r\n";
const std::string kRows =
    "Nr próbki,Wtryskiwacz,Tryb,Obroty [1/min],Czas benz. [ms],Czas LPG [ms],"
    "T. reduktora [°C],T. LPG [°C],T. wewn. [°C],Ciśn. różnicowe [kPa],Ciśn. 2 [kPa],"
    "Ciśn. w kolektorze [kPa],Nap. zas. [V],Lambda [V]\r\n"
    "1,2,LPG,1000,4.000,4.500,49,37,8,88.0,0.0,48.8,12.76,0.882\r\n"
    "2,1,Benzyna,0,0.000,-1.000,-36,209,37,0.0,240.0,0.0,0.70,0.000\r\n"
    "3,8,LPG,73,0.000,-0.025,37,37,37,115.5,115.5,115.5,31.45,5.000\r\n";

TEST(CsvExportTest, OneRowPerSampleInEngineeringUnits) {
    CTempDir dir;
    const std::string recording = dir.path("jazda.lpgd"), csv = dir.path("jazda.csv");
    CTempDir::writeBytes(recording, kRecording + "koniec\r\n");
    const CCsvExport::result_t result = CCsvExport::exportFile(recording, csv);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(CTempDir::readBytes(csv), kRows);
    EXPECT_EQ(result.rows, 3u);
    EXPECT_EQ(CCsvExport::message(result, recording, csv),
              "Nagranie zapisano w pliku CSV " + csv +
                  " (próbek: 3).\nKońca nagrania nie "
                  "wyeksportowano: " +
                  recording + ": nieodczytane wiersze od wiersza 4 (niepustych: 1)" +
                  "\nNagranie nie ma zapisanego zegara sterownika: czasy i obroty przeliczono "
                  "dla 40000 Hz.");
}

TEST(CsvExportTest, SeparatorDecimalMarkAndByteOrderMarkAsChosen) {
    CTempDir dir;
    const std::string recording = dir.path("jazda.lpgd"), csv = dir.path("jazda.csv");
    CTempDir::writeBytes(recording, kRecording.substr(0, kRecording.find('\n') + 1));
    const std::string header =
        "Nr próbki;Wtryskiwacz;Tryb;Obroty [1/min];Czas benz. [ms];Czas LPG [ms];"
        "T. reduktora [°C];T. LPG [°C];T. wewn. [°C];Ciśn. różnicowe [kPa];Ciśn. 2 [kPa];"
        "Ciśn. w kolektorze [kPa];Nap. zas. [V];Lambda [V]\r\n";
    const struct {
        csv_format_t format;
        std::string bytes;
    } rows[] = {
        {csv_format_t::polishSpreadsheet(),
         "\xEF\xBB\xBF" + header +
             "1;2;LPG;1000;4,000;4,500;49;37;8;88,0;0,0;48,8;12,76;0,882\r\n"},
        {{';', '.', false},
         header + "1;2;LPG;1000;4.000;4.500;49;37;8;88.0;0.0;48.8;12.76;0.882\r\n"},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(CCsvExport::exportFile(recording, csv, row.format).ok());
        EXPECT_EQ(CTempDir::readBytes(csv), row.bytes);
    }
    EXPECT_FALSE((csv_format_t{',', ',', false}.usable()));
    EXPECT_FALSE((csv_format_t{'1', '.', false}.usable()));
    EXPECT_TRUE((csv_format_t{'\t', ',', false}.usable()));
}

TEST(CsvExportTest, AFailedExportSaysWhyAndKeepsTheEarlierCsv) {
    CTempDir dir;
    const std::string recording = dir.path("jazda.lpgd"), csv = dir.path("jazda.csv");
    CTempDir::writeBytes(recording, kRecording);
    CTempDir::writeBytes(dir.path("tekst.lpgd"), "to nie jest nagranie\n");
    CTempDir::writeBytes(csv, "wcześniejszy eksport");
    struct failure_case_t {
        std::string recording, csv;
        CCsvExport::Outcome outcome;
        std::string message;
    };
    const failure_case_t cases[] = {
        {dir.path("brak.lpgd"), csv, CCsvExport::Outcome::CannotOpen,
         "Nie można otworzyć pliku do odczytu danych diagnostycznych\n" + dir.path("brak.lpgd") +
             ": plik nie istnieje"},
        {dir.path("tekst.lpgd"), csv, CCsvExport::Outcome::NoSamples,
         "Wskaż nagranie diagnostyczne (.lpgd): w tym pliku nie ma ani jednej próbki.\n" +
             dir.path("tekst.lpgd") + ": nieodczytane wiersze od wiersza 1 (niepustych: 1)"},
        {recording, recording, CCsvExport::Outcome::SameFile,
         "Wybierz inną nazwę pliku CSV: eksport zastąpiłby samo nagranie.\n" + recording},
        {recording, dir.path("brak/jazda.csv"), CCsvExport::Outcome::WriteFailed,
         "Nie można zapisać pliku CSV: wybierz inny folder albo zwolnij miejsce na dysku.\n" +
             dir.path("brak/jazda.csv") + ": plik nie istnieje"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const CCsvExport::result_t result = CCsvExport::exportFile(c.recording, c.csv);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(CCsvExport::message(result, c.recording, c.csv), c.message);
    }
    EXPECT_EQ(CTempDir::readBytes(csv), "wcześniejszy eksport");
    EXPECT_EQ(CTempDir::readBytes(recording), kRecording);
    // Nothing half-written is left beside them.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path("")),
                            std::filesystem::directory_iterator()),
              3);
}

TEST(CsvExportTest, TheCsvIsNamedAfterTheRecording) {
    const std::pair<const char*, const char*> cases[] = {
        {"/x/Diagnostyka.lpgd", "/x/Diagnostyka.csv"},
        {"/x/jazda.txt", "/x/jazda.txt.csv"},
        {"/x.lpgd/jazda", "/x.lpgd/jazda.csv"},
        {"/x/.lpgd", "/x/.lpgd.csv"},
    };
    for (const auto& [recording, csv] : cases) {
        EXPECT_EQ(CCsvExport::csvNameFor(recording), csv);
    }
}

}  // namespace
