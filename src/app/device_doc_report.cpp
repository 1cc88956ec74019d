// SPDX-License-Identifier: GPL-3.0-or-later
// "Raport montażu...": the installation as it stands, as a PDF for the customer. Reads
// what the program holds and, fresh from the controller, the settings, the
// time-correction table, the errors and the firing sequence; writes nothing to it.
#include <algorithm>
#include <ctime>

#include <QDir>

#include "app/device_doc.h"
#include "app/setup_report_writer.h"
#include "autosetup/ui/auto_setup_view.h"
#include "corrections/setup_report_model.h"
#include "corrections/ui/map_list.h"
#include "corrections/ui/map_view.h"
#include "settings/car_texts.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"
#include "widgets/off_window.h"
#include "widgets/wait_cursor.h"

namespace {

constexpr const char* kReadFailed =
    "Nie udało się odczytać ustawień ze sterownika. Sprawdź połączenie i spróbuj ponownie.";

// The settings and the table must come; the rest is reported as not read when it fails.
bool readFresh(CDeviceDoc& doc, CSetupReportModel::sources_t& sources) {
    if (!doc.readSetup() || !doc.readTimeTable()) {
        return false;
    }
    version_record_t version;
    if (doc.readVersionRecord(version)) {
        sources.version = version;
    }
    CLPGDeviceErr::report_t errors{};
    if (doc.readErrors(errors)) {
        sources.errors = doc.decodeReport(errors);
    }
    std::vector<sequence_entry_t> sequence;
    if (doc.readSequence(sequence, sources.staggered)) {
        sources.sequence = sequence;
    }
    return true;
}

}  // namespace

void CDeviceDoc::writeSetupReport() {
    CSetupReportModel::sources_t sources;
    sources.when = std::time(nullptr);
    bool read = false;
    bool stopped = false;
    const bool completed = runGuarded(window_, "CDeviceDoc::writeSetupReport()", [&] {
        read = COffWindow::run(
            window_, "Wczytywanie ustawień ze sterownika...",
            [&] { return readFresh(*this, sources); }, &stopped);
    });
    if (!completed || stopped) {
        return;
    }
    if (!read) {
        CMessageBox::show(window_, QString(kReadFailed) + "\nustawienia lub tabela korekcji",
                          Icon::Error);
        return;
    }
    sources.info = &info();
    std::copy(map().begin(), map().end(), sources.map.begin());
    // The map pane shows what the user sees, edits included, and the build behind it.
    if (auto* view = window_ ? window_->findChild<CMapView*>() : nullptr) {
        view->list()->readCells(sources.map);
        sources.proposal = view->lastProposal();
    }
    if (CAutoSetupView* log = autoSetupView()) {
        for (const QString& line : log->logLines()) {
            sources.autoSetupLog.push_back(line.toStdString());
        }
    }
    const CSetupReportModel model(sources);
    const car_texts_t car = car_texts_t::fromRecord(info());

    // The dialog opens in the document's folder with the report's name filled in.
    const QString name =
        QString::fromStdString(CSetupReportModel::fileName(car.make, car.model, sources.when));
    slowRefresh();
    const QString path = CFileDial::choose(window_, CFileDial::Mode::Save,
                                           folder_.isEmpty() ? name : QDir(folder_).filePath(name),
                                           kPdfFilter, "pdf");
    normalRefresh();
    if (path.isEmpty()) {
        return;
    }
    QString error;
    bool written = false;
    {
        CWaitCursor wait;
        written = CSetupReportWriter(model).write(path, error);
    }
    if (!written) {
        CMessageBox::show(window_,
                          "Nie udało się zapisać raportu. Wybierz inny folder lub nazwę pliku.\n" +
                              path + ": " + error,
                          Icon::Error);
        return;
    }
    CMessageBox::show(window_, "Zapisano raport montażu.\n" + path, Icon::Information);
}
