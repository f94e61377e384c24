#include "CliPrivacy.h"

#include "CliCommands.h"
#include "CliText.h"
#include "settings/AppSettings.h"

#include <QFileInfo>
#include <cstdio>

namespace CliPrivacy {

const char kUsage[] = "  --privacy FILE   leave out the positions inside the zones of FILE's\n"
                      "                   [PRIVACY] instead of the settings file's (Halvex.ini of\n"
                      "                   the viewer's settings folder)\n"
                      "  --no-privacy     leave out nothing\n";

namespace {

void Say(const QString& text) {
    const QByteArray bytes = (CliText::Printable(text) + "\n").toLocal8Bit();
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    fflush(stderr);
}

} // namespace

int TakeOption(const QString& arg, const QStringList& args, int* next, Choice* choice,
               const std::function<int(const QString&)>& usageError) {
    if (arg == "--no-privacy") {
        if (!choice->file.isEmpty())
            return usageError("--privacy and --no-privacy exclude each other");
        choice->off = true;
        return -1;
    }
    if (arg != "--privacy")
        return -2;
    if (*next == args.size() || args[*next].isEmpty())
        return usageError("--privacy needs a settings file");
    if (choice->off)
        return usageError("--privacy and --no-privacy exclude each other");
    choice->file = args[(*next)++];
    return -1;
}

int Load(const Choice& choice, std::vector<PrivacyZone>* zones) {
    zones->clear();
    if (choice.off) {
        Say("privacy: no zone applied (--no-privacy)");
        return -1;
    }
    const QString file =
        QFileInfo(choice.file.isEmpty() ? AppSettings::Instance().Path() : choice.file)
            .absoluteFilePath();
    // A file named on the command line that is not there is a mistake, not
    // an empty list.
    if (!choice.file.isEmpty() && !QFileInfo(file).isFile()) {
        Say("halvex-cli: " + file + ": no such settings file; nothing exported");
        return CliCommands::kBadUsage;
    }
    QString error;
    if (!LoadPrivacyZones(file, zones, &error)) {
        Say("halvex-cli: privacy zone cannot be read: " + error + "; nothing exported");
        return CliCommands::kBadUsage;
    }
    if (zones->empty())
        Say("privacy: no zone set in " + file +
            (QFileInfo::exists(file) ? QString() : QStringLiteral(" (no such file)")));
    else
        Say(QStringLiteral("privacy: %1 zone%2 from %3")
                .arg(zones->size())
                .arg(zones->size() == 1 ? "" : "s")
                .arg(file));
    return -1;
}

void SayLeftOut(const std::vector<PrivacyZone>& zones, int count) {
    if (!zones.empty())
        Say(QStringLiteral("privacy: %1 position%2 left out")
                .arg(count)
                .arg(count == 1 ? "" : "s"));
}

} // namespace CliPrivacy
