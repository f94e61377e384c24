#include "CliArgs.h"

#include "tools/cli/CliCommands.h"

#include <QByteArrayList>
#include <QStringDecoder>
#include <algorithm>

namespace CliArgs {
namespace {

QByteArrayList& Raw() {
    static QByteArrayList raw;
    return raw;
}

} // namespace

GroupText ParseGroup(const QString& text, int* group) {
    const QString digits = text.startsWith('G') ? text.mid(1) : text;
    if (digits.isEmpty() ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= '0' && c <= '9'; }))
        return GroupText::NotAGroup;
    bool number = false;
    *group = digits.toInt(&number);
    return number ? GroupText::Read : GroupText::TooLarge;
}

void KeepRawArguments(int argc, char** argv) {
    Raw().clear();
    for (int i = 0; i < argc; ++i)
        Raw() << QByteArray(argv[i]);
}

bool ArrivedAsUtf8(const QString& argument) {
    if (!argument.contains(QChar::ReplacementCharacter))
        return true;
    for (const QByteArray& raw : Raw()) {
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decode(raw);
        if (!decode.hasError() && text == argument)
            return true;
    }
    return false;
}

int Walk(const QStringList& args, const std::function<bool(const QString&)>& isOption,
         const std::function<int(const QString& arg, int* next)>& option, const Handler& positional,
         const std::function<void()>& printUsage) {
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        int code = -1;
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            printUsage();
            return CliCommands::kDone;
        } else if (!optionsEnded && isOption(arg)) {
            int next = i + 1;
            code = option(arg, &next);
            i = next - 1;
        } else {
            code = positional(arg);
        }
        if (code >= 0)
            return code;
    }
    return -1;
}

} // namespace CliArgs
