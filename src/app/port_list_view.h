// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QTreeWidget;

// The serial ports of this machine for the port dialog: each port with its adapter and
// whether this user may open it; below, what stands in the way of the selected port
// (or that there is no port at all), and the programs known to take adapters away.
class CPortListView : public QWidget {
    Q_OBJECT
  public:
    enum Column { COL_PATH, COL_DESCRIPTION, COL_ACCESS, COL_LATENCY };

    explicit CPortListView(QWidget* parent = nullptr);

    // Looks at the machine again (after an adapter was plugged in).
    void refresh();
    // Selects the port most likely meant: the first USB adapter this user may open, else
    // the first port that may be opened; returns its path (empty when there is none).
    QString selectLikeliest();

    QTreeWidget* list() const { return list_; }
    QString problemText() const;
    QString warningsText() const;

  signals:
    // A port was selected, or double-clicked to be taken at once.
    void portChosen(const QString& path);
    void portActivated(const QString& path);

  private:
    void showSelected();

    QTreeWidget* list_;
    QLabel* problem_;
    QLabel* warnings_;
};
