#include "ClipProgram.h"

#include "tools/cli/CliCommands.h"
#include "tools/cli/CliText.h"

#include <QString>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace ClipProgram {

namespace {

int Fail(const std::string& what, int error) {
    const QString text = CliText::Printable(QString::fromLocal8Bit(what.c_str()));
    std::fprintf(stderr, "halvex-cli: cannot run %s: %s\n", text.toLocal8Bit().constData(),
                 std::strerror(error));
    return CliCommands::kBadInput;
}

} // namespace

int Exec(int argc, char** argv) {
    // Beside this program's own file, wherever it was started from; never
    // a file of the current folder.
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return Fail("halvex-clip", errno);
    std::string program(self, size_t(length));
    program.erase(program.rfind('/') + 1);
    program += "halvex-clip";
    std::vector<char*> arguments{program.data()};
    for (int i = 2; i < argc; ++i)
        arguments.push_back(argv[i]);
    arguments.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(program.c_str(), arguments.data());
    return Fail(program, errno);
}

} // namespace ClipProgram
