// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include <QString>
#include <QWidget>

#include "corrections/map_proposal.h"
#include "corrections/ui/map_list.h"

class CDeviceDoc;
class CInjMap;
class CMapCoverageView;
class CInjMapBuild;
class QCheckBox;
class QMenu;
class QPushButton;
class QScrollArea;
class QTimer;

// The injection-map pane: the map in a list with an editor in every speed column, and
// the buttons that build a proposal from a recording, read the map from the controller,
// write it (verified, with the map switched on in the settings and the controller reset),
// clear it on screen and chart a recording's injection times.
class CMapView : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kReadingText = "Wczytywanie ustawień z urządzenia...";
    static constexpr const char* kWritingText = "Wpisywanie mapy wtrysków do sterownika...";

    explicit CMapView(CDeviceDoc& doc, QWidget* parent = nullptr);

    // Done once, when the pane is first shown: reads the map from a connected controller
    // behind a wait notice.
    void firstUpdate();
    bool updated() const { return updated_; }

    void OnBtnCreateMap();
    void OnBtnRead();
    void OnBtnWrite();
    void OnBtnClear();
    void OnBtnShowChart();
    // "Uzupełnij puste": empty cells between values get the line between them.
    void onBtnFill();

    // What closing would lose: "" when the list holds what the controller holds.
    QString unsavedText() const;

    CMapList* list() const { return list_; }
    // The build the list shows with its support, while it shows one.
    const std::optional<map_proposal_t>& lastProposal() const { return proposal_; }

    // The working point's outline follows the newest sample this often.
    static constexpr int kWorkingPointMs = 500;
    void updateWorkingPoint();

    // "Pokrycie na żywo": the coverage of the map by the running diagnostics in place of
    // the list, refreshed once a second from the samples gathered.
    static constexpr int kCoverageRefreshMs = 1000;
    void setLiveCoverage(bool on);
    CMapCoverageView* coverageView() const { return coverage_; }
    QTimer* coverageTimer() const { return coverageTimer_; }

    QMenu* blockMenu() const { return blockMenu_; }
    // The colours of the cells, the coverage greens and the few-samples mark, in words.
    static QString legendText();

  private:
    QPushButton* addButton(const QString& text, const char* name, void (CMapView::*handler)());
    void updateButtons();
    // The open dialog for a recording; the document remembers its folder. Empty when
    // cancelled.
    QString chooseRecording();
    // Builds the proposal of `path` and shows it; the map is left alone when the file
    // gives no sample or the user stops the reading.
    void buildFrom(const QString& path);
    void chartOf(const QString& path);
    // False, after telling the user, when the recording could not be opened.
    bool opened(const CInjMap& recording);
    void showNoSamples(const std::string& file);
    // What the write would change against the controller's copy, marked in the list and
    // told; false when the installer does not go on.
    bool confirmChanges(const CMapList::map_bytes_t& sent);
    bool writeMap();
    QPushButton* createBlockButton();
    // The amount of a block operation; false when the installer cancels.
    bool askAmount(const QString& question, double& amount);
    bool takeClock(CInjMapBuild& build, const std::string& file);
    void showFailure(const char* text, const QString& detail);

    CDeviceDoc& doc_;
    CMapList* list_;
    QPushButton* read_;
    QPushButton* write_;
    QCheckBox* live_;
    CMapCoverageView* coverage_;
    QTimer* coverageTimer_;
    QTimer* workingTimer_;
    bool updated_ = false;
    // The map the controller was last known to hold.
    std::optional<CMapList::map_bytes_t> held_;
    // When the last write was acknowledged ("HH:MM:SS").
    std::string written_;
    std::optional<map_proposal_t> proposal_;
    QMenu* blockMenu_ = nullptr;
    QScrollArea* coverageArea_ = nullptr;
};
