#pragma once
// Programs started as a user starts them (scripts, the built or installed
// viewer), and what their real window shows on the X screen.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <memory>

namespace launch {

struct Finished {
    int exitCode = -1; // -1: crashed or did not finish in time
    QString out, err;
};

// Runs a program to its end.
Finished RunToEnd(const QString& program, const QStringList& args, const QString& workingDir,
                  const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                  int timeoutMs = 240000);

// A program left running (a viewer); stopped when destroyed.
class Running {
  public:
    // separateChannels keeps standard output and error apart.
    Running(const QString& program, const QStringList& args, const QString& workingDir,
            const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
            bool separateChannels = false);
    ~Running();
    bool HasExited() const;
    qint64 Pid() const;
    QString Output() const; // standard output (and error, unless kept apart) so far
    QString Errors() const; // standard error so far, when kept apart
    void Stop();

  private:
    std::unique_ptr<QProcess> process_;
};

// Pixels on the screen in the colour of a route drawn over the map's empty
// background (the page's route colour at its opacity).
int RoutePixelsOnScreen();

// Waits until a route shows on the screen (true) or the program ends or the
// time is up (false).
bool WaitForRoute(const Running& viewer, int timeoutMs = 90000);

// Waits until no route shows, so the next viewer starts on a clean screen.
bool WaitForNoRoute(int timeoutMs = 15000);

// The test's environment for a viewer: no browser sandbox (tests run as
// root), no host names resolved by the browser, the viewer's own display
// platform, and the configuration folder when one is given.
QProcessEnvironment ViewerEnvironment(const QString& configHome = QString());

// Writes a recording with a GPS route into FOLDER/DCIM/MOVIE/ with the
// build's synthesizer; returns false when it could not.
bool WriteSmallCard(const QString& folder);

// Sends keys (xdotool names: "space", "shift+Right") one after another to
// the window that has the keyboard focus on the test's display.
void PressKeys(const QStringList& keys, int pauseMs);

// Copies the plug-in probe (a library named like a libvlc plug-in that
// appends the pid of each process loading it to $HALVEX_PROBE_FILE) into
// folder; false when it could not.
bool PlaceProbePlugin(const QString& folder);

// True when the probe, loaded into this process, leaves its mark in
// markFile: the check that a missing mark means something.
bool ProbeLeavesMark(const QString& markFile);

} // namespace launch
