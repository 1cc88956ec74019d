// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <QString>

class CSetupReportModel;
class QPainter;
class QPdfWriter;

// Writes the setup report as an A4 PDF in Polish. Everything reads in black and white:
// the bars are hatched and outlined, the map cells carry their numbers.
class CSetupReportWriter {
  public:
    explicit CSetupReportWriter(const CSetupReportModel& model) : model_(model) {}

    // Writes to a temporary file beside `path` and renames it; false, with `error`
    // saying why, when the file could not be written.
    bool write(const QString& path, QString& error);

  private:
    void paint();
    void heading(const QString& text);
    void line(const QString& text, bool bold = false);
    void rows(const std::vector<std::pair<std::string, std::string>>& rows);
    void lines(const std::vector<std::string>& texts);
    // Starts a new page when fewer than `height` device units are left.
    void need(int height);
    void timeTableChart();
    void mapGrid();

    const CSetupReportModel& model_;
    QPdfWriter* writer_ = nullptr;
    QPainter* painter_ = nullptr;
    int y_ = 0;
    int lineHeight_ = 0;
    int width_ = 0;
    int height_ = 0;
};
