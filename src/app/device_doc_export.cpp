// SPDX-License-Identifier: GPL-3.0-or-later
// "Eksportuj do CSV...": the recording being looked at, as a CSV file.
#include "app/device_doc.h"
#include "diag/csv_export.h"
#include "settings/i_preferences.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"
#include "widgets/wait_cursor.h"

namespace {

// The second filter of the export: the format a Polish spreadsheet opens.
constexpr const char* kCsvSpreadsheetFilter =
    "Arkusz (polski): średnik, przecinek dziesiętny (*.csv)";

}  // namespace

void CDeviceDoc::exportCsv() {
    const std::string recording = exportableRecording();
    if (recording.empty()) {
        CMessageBox::show(window_,
                          "Wczytaj plik diagnostyczny albo włącz tryb diagnostyczny: nie ma "
                          "nagrania do eksportu.",
                          Icon::Information);
        return;
    }
    // The dialog opens beside the recording with the CSV's name filled in.
    // The format offered first is the one chosen last time; before any choice, a Polish
    // desktop is offered the layout its spreadsheet opens.
    slowRefresh();
    const bool spreadsheet = (preferences_ ? preferences_->csvForSpreadsheet() : std::nullopt)
                                 .value_or(systemLocale_.language() == QLocale::Polish);
    QString filter = spreadsheet ? kCsvSpreadsheetFilter : kCsvFilter;
    const QString path = CFileDial::choose(
        window_, CFileDial::Mode::Save, QString::fromStdString(CCsvExport::csvNameFor(recording)),
        {kCsvFilter, kCsvSpreadsheetFilter}, filter, "csv");
    normalRefresh();
    if (path.isEmpty()) {
        return;
    }
    const bool forSpreadsheet = filter == kCsvSpreadsheetFilter;
    if (preferences_) {
        preferences_->setCsvForSpreadsheet(forSpreadsheet);
    }
    CCsvExport::result_t result;
    {
        CWaitCursor wait;
        // A live recording is flushed line by line: what has been recorded so far goes.
        result = CCsvExport::exportFile(
            recording, path.toStdString(),
            forSpreadsheet ? csv_format_t::polishSpreadsheet() : csv_format_t{});
    }
    Icon icon = Icon::Information;
    if (!result.ok()) {
        icon = Icon::Error;
    } else if (result.unreadLines > 0) {
        icon = Icon::Warning;
    }
    CMessageBox::show(
        window_, QString::fromStdString(CCsvExport::message(result, recording, path.toStdString())),
        icon);
}
