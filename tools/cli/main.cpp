// halvex-cli: scan folders, read recordings and export routes from a shell.
#include "CliCommands.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("halvex-cli");

    CliCommands::SetOutput(stdout);

    const int code = CliCommands::Run(QCoreApplication::arguments().mid(1));
    std::fflush(nullptr);
    return code;
}
