// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/chart_settings.h"

#include <cmath>

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

#include "settings/program_folders.h"
#include "support/file_io.h"

namespace {

// The file is four short lines; anything longer is not a settings file of ours.
constexpr std::size_t kMaxFileSize = 64 * 1024;

std::optional<double> number(const QStringList& words, qsizetype at) {
    if (at >= words.size()) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = words[at].toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<chart_settings_t::Range> range(const QStringList& words, qsizetype at) {
    const auto min = number(words, at);
    const auto max = number(words, at + 1);
    if (!min || !max || !(*max > *min)) {
        return std::nullopt;
    }
    return chart_settings_t::Range{*min, *max};
}

std::optional<double> step(const QStringList& words, qsizetype at) {
    const auto value = number(words, at);
    if (!value || !(*value > 0.0)) {
        return std::nullopt;
    }
    return value;
}

QString text(double value) {
    return QString::number(value, 'g', 15);
}

}  // namespace

QString CChartSettings::pathFor(const QString& chartName) {
    return QString::fromStdString(CProgramFolders::programFolder()) + chartName +
           QStringLiteral(".txt");
}

chart_settings_t CChartSettings::parse(const QString& text) {
    chart_settings_t settings;
    const QStringList words =
        text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (word == QLatin1String("XAXIS")) {
            if (auto r = range(words, i + 1)) {
                settings.xAxis = r;
                i += 2;
            }
        } else if (word == QLatin1String("YAXIS")) {
            if (auto r = range(words, i + 1)) {
                settings.yAxis = r;
                i += 2;
            }
        } else if (word == QLatin1String("XGRID")) {
            if (auto s = step(words, i + 1)) {
                settings.xGrid = s;
                i += 1;
            }
        } else if (word == QLatin1String("YGRID")) {
            if (auto s = step(words, i + 1)) {
                settings.yGrid = s;
                i += 1;
            }
        }
    }
    return settings;
}

QString CChartSettings::format(double yMin, double yMax, double yGrid) {
    return QStringLiteral("YAXIS\t%1\t%2\nYGRID\t%3\n").arg(text(yMin), text(yMax), text(yGrid));
}

// Read through the core's file reader: a FIFO or device in the file's place is refused
// at once instead of holding the window until someone writes to it.
std::optional<chart_settings_t> CChartSettings::read(const QString& path) {
    const CFileIo::result_t file =
        CFileIo::readFile(QFile::encodeName(path).toStdString(), kMaxFileSize);
    if (!file.ok()) {
        return std::nullopt;
    }
    return parse(QString::fromLatin1(reinterpret_cast<const char*>(file.bytes.data()),
                                     static_cast<qsizetype>(file.bytes.size())));
}

bool CChartSettings::write(const QString& path, double yMin, double yMax, double yGrid) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = format(yMin, yMax, yGrid).toLatin1();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
