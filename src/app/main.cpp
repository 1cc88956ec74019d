// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>

#include <QApplication>

#include "app/vapron_app.h"

int main(int argc, char** argv) {
    const CVapron::Options options = CVapron::parseArguments(argc, argv);
    if (!options.usageProblem.empty()) {
        std::fprintf(stderr, "vapron: %s\n", options.usageProblem.c_str());
        std::fprintf(stderr,
                     "Użycie: vapron [--simulate] [--no-pacing] [--port ŚCIEŻKA] "
                     "[--trace PLIK] [--version] [--help]\n");
        return 2;
    }
    if (options.help) {
        CVapron::printUsage();
        return 0;
    }
    if (options.version) {
        CVapron::printVersion();
        return 0;
    }
    QApplication application(argc, argv);
    CVapron::prepareApplication();
    CVapron program(options);
    program.start();
    return QApplication::exec();
}
