// halvex-cli: scan folders, read recordings and export routes from a shell.
#include "CliCommands.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("halvex-cli");

    // The parsers trace start times to standard output; send those lines to
    // standard error so the results (JSON above all) stay clean.
    std::fflush(stdout);
    FILE* results = nullptr;
    const int saved = dup(STDOUT_FILENO);
    if (saved >= 0 && (results = fdopen(saved, "w")) != nullptr)
        dup2(STDERR_FILENO, STDOUT_FILENO);
    CliCommands::SetOutput(results ? results : stdout);

    const int code = CliCommands::Run(QCoreApplication::arguments().mid(1));
    std::fflush(nullptr);
    return code;
}
