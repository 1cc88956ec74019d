// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QProcess>
#include <QStandardPaths>

#include "app/device_menu.h"
#include "app/setup_report_writer.h"
#include "app_fixture.h"
#include "corrections/setup_report_model.h"
#include "link/setup_fields.h"
#include "screenshot.h"
#include "settings/car_texts.h"
#include "temp_dir.h"

namespace {

// The text of a PDF as pdftotext lays it out; empty when the tool is missing.
QString pdfText(const QString& path) {
    QProcess tool;
    tool.start("pdftotext", {"-layout", path, "-"});
    tool.waitForFinished(20000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

bool havePdfToText() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

// The flag bytes read as the settings editor's boxes do, not as raw numbers.
TEST(SetupReportTest, FunctionsAndInjectionTypeAreWords) {
    const struct {
        std::uint8_t flags;
        std::uint8_t injType;
        const char* functions;
        const char* injection;
    } cases[] = {
        {87, 0,
         "główna poprawka: tak, poprawki od ciśnienia różnicowego: tak, tablica poprawek czasu: "
         "tak, mapa wtrysków: tak (bajt funkcji: 87)",
         "Pełna sekwencja"},
        {0x01, 0x05,
         "główna poprawka: nie, poprawki od ciśnienia różnicowego: nie, tablica poprawek czasu: "
         "nie, mapa wtrysków: nie (bajt funkcji: 1)",
         "Niesekwencja, wtryskiwacze benzynowe załączane sygnałem 12 V"},
        {0x13, 0x02,
         "główna poprawka: tak, poprawki od ciśnienia różnicowego: tak, tablica poprawek czasu: "
         "nie, mapa wtrysków: nie (bajt funkcji: 19)",
         "Półsekwencja"},
    };
    for (const auto& c : cases) {
        device_info_t info;
        info.setup.flags = c.flags;
        info.setup.injType = c.injType;
        CSetupReportModel::sources_t sources;
        sources.info = &info;
        const CSetupReportModel model(sources);
        auto value = [&](const char* label) {
            for (const auto& [name, text] : model.settings()) {
                if (name == label) {
                    return text;
                }
            }
            return std::string("?");
        };
        EXPECT_EQ(value("Funkcje sterownika"), c.functions);
        EXPECT_EQ(value("Typ wtrysku benzynowego"), c.injection);
    }
}

TEST(SetupReportTest, FileNameFromCarAndDate) {
    std::tm tm{};
    tm.tm_year = 126;
    tm.tm_mon = 11;
    tm.tm_mday = 7;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    const std::time_t when = std::mktime(&tm);
    const struct {
        const char* make;
        const char* model;
        const char* expected;
    } cases[] = {{"Opel", "Astra", "Raport-Opel-Astra-07-12-2026.pdf"},
                 {"Škoda", "Octavia II", "Raport-Škoda-Octavia_II-07-12-2026.pdf"},
                 {"A/B", "C:D", "Raport-A_B-C_D-07-12-2026.pdf"},
                 {"", "", "Raport-07-12-2026.pdf"}};
    for (const auto& c : cases) {
        EXPECT_EQ(CSetupReportModel::fileName(c.make, c.model, when), c.expected) << c.make;
    }
}

TEST(SetupReportTest, MenuCommandWritesTheInstallationAsPdf) {
    AppFixture app;
    app.doc().OnNewDocument();
    ASSERT_TRUE(app.doc().isConnected());
    car_texts_t{"Opel", "Astra", "1.6", "101", "2004", "2.0", "1.8"}.toRecord(app.doc().info());
    CControllerSim::table_t table;
    table.fill(100);
    table[3] = 112;  // +12 %
    app.sim().setTimeTable(table);
    CControllerSim::error_report_t errors{};
    errors[0] = 0x01;  // the first module's first fault
    app.sim().setErrorReport(errors);
    app.doc().map().fill(injmap::kNoCorrection);
    app.doc().map()[injmap::cellIndex(4, 2)] = 100 + 17;
    app.doc().map()[injmap::cellIndex(10, 5)] = 100 - 8;
    const auto setupBefore = app.sim().setup();
    const auto eepromBefore = app.sim().eeprom();
    CTempDir out;
    app.nextFile = QString::fromStdString(out.path("raport.pdf"));

    auto* item = app.window().findChild<QAction*>(QString::number(CDeviceMenu::ID_SETUP_REPORT));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "&Raport montażu...");
    item->trigger();
    ASSERT_FALSE(app.boxes.empty());
    EXPECT_TRUE(app.boxes.back().startsWith("Zapisano raport montażu."))
        << app.boxes.back().toStdString();
    EXPECT_TRUE(app.lastFolder.endsWith(".pdf")) << app.lastFolder.toStdString();
    EXPECT_TRUE(app.lastFolder.contains("Raport-Opel-Astra-")) << app.lastFolder.toStdString();
    // The report wrote nothing to the controller.
    EXPECT_EQ(app.sim().timeTable(), table);
    EXPECT_EQ(app.sim().setup(), setupBefore);
    EXPECT_EQ(app.sim().eeprom(), eepromBefore);

    if (!havePdfToText()) {
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    const QString text = pdfText(app.nextFile);
    // The functions row wraps inside the page: its last words are on it.
    EXPECT_TRUE(text.simplified().contains(QString::fromUtf8("mapa wtrysków: ")))
        << text.toStdString();
    for (const char* expected :
         {"Raport montażu", "Opel", "Astra", "Marka pojazdu", "Tabela korekcji czasu",
          "Mapa wtrysków", "17%", "-8%", "Kody błędów", "Kolejność wtryskiwaczy",
          "Wtryskiwacz 1: pozycja 1", "Moduł:"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    }
    for (const setup_field_t& field : setupFields()) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(field.label))) << field.label;
    }
    // The first page, with the functions row, as it prints.
    if (!QStandardPaths::findExecutable("pdftoppm").isEmpty()) {
        const QString shot = screenshotFolder() + "/report-page1";
        EXPECT_EQ(QProcess::execute("pdftoppm", {"-png", "-r", "96", "-f", "1", "-l", "1",
                                                 "-singlefile", app.nextFile, shot}),
                  0);
    }
}

TEST(SetupReportTest, MapFromABuildCarriesItsSupport) {
    if (!havePdfToText()) {
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    device_info_t info;
    CSetupReportModel::sources_t sources;
    sources.info = &info;
    sources.map.fill(injmap::kNoCorrection);
    map_proposal_t proposal;
    const int cell = injmap::cellIndex(6, 1);
    proposal.percent[cell] = 9;
    proposal.valued[cell] = true;
    proposal.gasolineSamples[cell] = 41;
    proposal.lpgSamples[cell] = 37;
    sources.map[cell] = proposal.byteAt(cell);
    sources.proposal = proposal;
    sources.autoSetupLog = {"Korekcja główna: 1.75 ms"};
    CTempDir out;
    const QString path = QString::fromStdString(out.path("r.pdf"));
    QString error;
    ASSERT_TRUE(CSetupReportWriter(CSetupReportModel(sources)).write(path, error))
        << error.toStdString();
    const QString text = pdfText(path);
    EXPECT_TRUE(text.contains("9% (41/37)")) << text.toStdString();
    EXPECT_TRUE(text.contains("Korekcja główna: 1.75 ms"));
    EXPECT_TRUE(text.contains(QString::fromUtf8("Nie odczytano kodów błędów.")));
}

TEST(SetupReportTest, UnwritableFolderIsReportedNotCreated) {
    device_info_t info;
    CSetupReportModel::sources_t sources;
    sources.info = &info;
    QString error;
    EXPECT_FALSE(CSetupReportWriter(CSetupReportModel(sources))
                     .write("/nonexistent-folder/raport.pdf", error));
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
