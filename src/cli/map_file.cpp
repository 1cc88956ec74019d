// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/map_file.h"

#include <cmath>
#include <sstream>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

std::string rowCountProblem(std::size_t rows) {
    return "liczba wierszy: " + std::to_string(rows) + " zamiast " +
           std::to_string(CMapFile::kRows);
}

std::string cellCountProblem(std::size_t row, std::size_t cells) {
    return "wiersz " + std::to_string(row) + ": liczba wartości " + std::to_string(cells) +
           " zamiast " + std::to_string(CMapFile::kColumns);
}

std::string notNumberProblem(std::size_t row, std::size_t column, const std::string& cell) {
    return "wiersz " + std::to_string(row) + ", wartość " + std::to_string(column) +
           " nie jest liczbą: " + cell;
}

// The whole word as a finite number.
bool toNumber(const std::string& word, double& value) {
    std::size_t used = 0;
    try {
        value = std::stod(word, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == word.size() && std::isfinite(value);
}

}  // namespace

bool CMapFile::parse(const std::string& text, std::vector<double>& values, std::string& problem) {
    values.clear();
    const auto first = text.find_first_not_of(" \t\r\n");
    const bool isJson = first != std::string::npos && (text[first] == '{' || text[first] == '[');
    const bool parsed =
        isJson ? parseJson(text, values, problem) : parseText(text, values, problem);
    if (!parsed) {
        values.clear();
    }
    return parsed;
}

bool CMapFile::parseJson(const std::string& text, std::vector<double>& values,
                         std::string& problem) {
    const json object = json::parse(text, nullptr, false);
    if (object.is_discarded()) {
        problem = "to nie jest poprawny JSON";
        return false;
    }
    const json* rows = &object;
    if (object.is_object()) {
        rows = object.contains("rows") ? &object["rows"] : nullptr;
    }
    if (!rows || !rows->is_array()) {
        problem = "brak listy wierszy \"rows\"";
        return false;
    }
    if (rows->size() != kRows) {
        problem = rowCountProblem(rows->size());
        return false;
    }
    for (std::size_t r = 0; r < rows->size(); ++r) {
        const json& row = (*rows)[r];
        if (!row.is_array() || row.size() != kColumns) {
            problem = row.is_array() ? cellCountProblem(r + 1, row.size())
                                     : "wiersz " + std::to_string(r + 1) + " nie jest listą liczb";
            return false;
        }
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (!row[c].is_number()) {
                problem = notNumberProblem(r + 1, c + 1, row[c].dump());
                return false;
            }
            values.push_back(row[c].get<double>());
        }
    }
    return true;
}

// Rows are named by their line in the file, which is what an editor shows.
bool CMapFile::parseText(const std::string& text, std::vector<double>& values,
                         std::string& problem) {
    std::istringstream lines(text);
    std::string line;
    std::size_t lineNumber = 0;
    std::size_t rows = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        std::istringstream cells(line);
        std::vector<std::string> words;
        for (std::string word; cells >> word;) {
            words.push_back(word);
        }
        if (words.empty()) {
            continue;
        }
        if (++rows > kRows) {
            break;
        }
        if (words.size() != kColumns) {
            problem = cellCountProblem(lineNumber, words.size());
            return false;
        }
        for (std::size_t c = 0; c < words.size(); ++c) {
            double value = 0;
            if (!toNumber(words[c], value)) {
                problem = notNumberProblem(lineNumber, c + 1, words[c]);
                return false;
            }
            values.push_back(value);
        }
    }
    if (rows != kRows) {
        problem = rows > kRows ? "wiersz " + std::to_string(lineNumber) + " jest ponad " +
                                     std::to_string(kRows) + " wierszy mapy"
                               : rowCountProblem(rows);
        return false;
    }
    return true;
}
