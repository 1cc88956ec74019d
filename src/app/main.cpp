#include <cstdio>
#include <cstring>
#include <string>

#include <QApplication>

#include "app/vapron_app.h"

namespace {

void usage() {
    std::printf(
        "vapron [--simulate] [--no-pacing] [--port PATH]\n"
        "  --simulate   run against a simulated controller (no hardware needed)\n"
        "  --no-pacing  let the simulated line run faster than 38400 baud\n"
        "  --port PATH  try this serial device first\n"
        "VAPRON_HOME sets the program folder (recordings, car settings).\n");
}

}  // namespace

int main(int argc, char** argv) {
    CVapron::Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--simulate") == 0) {
            options.simulate = true;
        } else if (std::strcmp(argv[i], "--no-pacing") == 0) {
            options.pacing = false;
        } else if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            options.port = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0) {
            usage();
            return 0;
        }
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Vapron");
    QApplication::setOrganizationName("Vapron");
    CVapron program(options);
    program.start();
    return QApplication::exec();
}
