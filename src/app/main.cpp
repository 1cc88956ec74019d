#include <QApplication>

#include "app/vapron_app.h"

int main(int argc, char** argv) {
    const CVapron::Options options = CVapron::parseArguments(argc, argv);
    if (options.help) {
        CVapron::printUsage();
        return 0;
    }
    QApplication application(argc, argv);
    CVapron::prepareApplication();
    CVapron program(options);
    program.start();
    return QApplication::exec();
}
