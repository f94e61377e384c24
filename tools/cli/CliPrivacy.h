#pragma once
// The privacy zones a halvex-cli export applies: those of the settings file
// the viewer would use when started the same way (the installed program's
// configuration folder, else the working directory's Halvex.ini), another
// file with --privacy FILE, or none with --no-privacy. What was applied and
// how many positions were left out are said on standard error.
#include "settings/PrivacyZones.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace CliPrivacy {

extern const char kUsage[]; // the two options' lines for a command's usage

struct Choice {
    QString file; // --privacy FILE
    bool off = false;
};

// Takes --privacy (with its value from args[*next]) and --no-privacy.
// Returns -2 when arg is neither, -1 when taken, else the exit code of a
// usage error, which `usageError` prints.
int TakeOption(const QString& arg, const QStringList& args, int* next, Choice* choice,
               const std::function<int(const QString&)>& usageError);

// The zones to apply, said on standard error. Returns -1 to go on, else the
// exit code: a zone line that cannot be read stops the export (2).
int Load(const Choice& choice, std::vector<PrivacyZone>* zones);

// "privacy: N positions left out", when there were zones to apply.
void SayLeftOut(const std::vector<PrivacyZone>& zones, int count);

} // namespace CliPrivacy
