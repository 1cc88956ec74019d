// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_app.h"

int main(int argc, char** argv) {
    CCliApp app;
    return app.run(argc, argv);
}
