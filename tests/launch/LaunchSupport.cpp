#include "LaunchSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <cstdlib>
#include <dlfcn.h>

namespace launch {
namespace {

// #8833FF at opacity 0.5 over Leaflet's empty background #DDDDDD.
constexpr QRgb kRouteOnEmptyMap = qRgb(178, 135, 238);

bool IsRouteColour(QRgb c) {
    return std::abs(qRed(c) - qRed(kRouteOnEmptyMap)) <= 8 &&
           std::abs(qGreen(c) - qGreen(kRouteOnEmptyMap)) <= 8 &&
           std::abs(qBlue(c) - qBlue(kRouteOnEmptyMap)) <= 8;
}

void Pause(int ms) {
    QCoreApplication::processEvents();
    QThread::msleep(ms);
}

} // namespace

Finished RunToEnd(const QString& program, const QStringList& args, const QString& workingDir,
                  const QProcessEnvironment& env, int timeoutMs) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workingDir);
    p.start(program, args);
    Finished f;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    } else if (p.exitStatus() == QProcess::NormalExit) {
        f.exitCode = p.exitCode();
    }
    f.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    f.err = QString::fromLocal8Bit(p.readAllStandardError());
    return f;
}

Running::Running(const QString& program, const QStringList& args, const QString& workingDir,
                 const QProcessEnvironment& env, bool separateChannels)
    : process_(std::make_unique<QProcess>()) {
    process_->setProcessEnvironment(env);
    process_->setWorkingDirectory(workingDir);
    process_->setProcessChannelMode(separateChannels ? QProcess::SeparateChannels
                                                     : QProcess::MergedChannels);
    process_->start(program, args);
    process_->waitForStarted();
}

Running::~Running() {
    Stop();
}

bool Running::HasExited() const {
    return process_->state() == QProcess::NotRunning;
}

qint64 Running::Pid() const {
    return process_->processId();
}

QString Running::Output() const {
    return QString::fromLocal8Bit(process_->readAllStandardOutput());
}

QString Running::Errors() const {
    return QString::fromLocal8Bit(process_->readAllStandardError());
}

void Running::Stop() {
    if (HasExited())
        return;
    process_->terminate();
    if (!process_->waitForFinished(10000)) {
        process_->kill();
        process_->waitForFinished();
    }
}

int RoutePixelsOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 0;
    const QImage shot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x)
            count += IsRouteColour(line[x]);
    }
    return count;
}

bool WaitForRoute(const Running& viewer, int timeoutMs) {
    // A short stretch of road is some hundred pixels; a stray pixel of a
    // similar colour elsewhere is not a route.
    constexpr int kRoute = 60;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (viewer.HasExited())
            return false;
        if (RoutePixelsOnScreen() >= kRoute)
            return true;
        Pause(500);
    }
    return false;
}

bool WaitForNoRoute(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (RoutePixelsOnScreen() > 0) {
        if (timer.elapsed() > timeoutMs)
            return false;
        Pause(200);
    }
    return true;
}

QProcessEnvironment ViewerEnvironment(const QString& configHome) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // No map tiles, even where the network reaches the tile server: the
    // route is then looked for over the map's plain background.
    env.insert("QTWEBENGINE_CHROMIUM_FLAGS", (env.value("QTWEBENGINE_CHROMIUM_FLAGS") +
                                              " --host-resolver-rules=\"MAP * ~NOTFOUND\"")
                                                 .trimmed());
    env.remove("QT_QPA_PLATFORM");
    if (!configHome.isEmpty())
        env.insert("XDG_CONFIG_HOME", configHome);
    return env;
}

bool WriteSmallCard(const QString& folder) {
    QDir().mkpath(folder);
    const Finished made = RunToEnd(
        HALVEX_BINARY_DIR "/tools/halvex-synth",
        {"file", "--duration", "20", "--size", "320x180", folder + "/DCIM/MOVIE/FILE0001F.MOV"},
        folder);
    return made.exitCode == 0;
}

void PressKeys(const QStringList& keys, int pauseMs) {
    for (const QString& key : keys) {
        RunToEnd("xdotool", {"key", key}, QDir::currentPath(),
                 QProcessEnvironment::systemEnvironment(), 10000);
        Pause(pauseMs);
    }
}

bool PlaceProbePlugin(const QString& folder) {
    QDir().mkpath(folder);
    return QFile::copy(HALVEX_PLUGIN_PROBE, folder + "/libprobe_plugin.so");
}

bool ProbeLeavesMark(const QString& markFile) {
    QFile::remove(markFile);
    qputenv("HALVEX_PROBE_FILE", QFile::encodeName(markFile));
    void* probe = dlopen(HALVEX_PLUGIN_PROBE, RTLD_NOW | RTLD_LOCAL);
    qunsetenv("HALVEX_PROBE_FILE");
    if (!probe)
        return false;
    dlclose(probe);
    QFile mark(markFile);
    const bool marked =
        mark.open(QIODevice::ReadOnly) &&
        mark.readAll().trimmed() == QByteArray::number(QCoreApplication::applicationPid());
    mark.close();
    QFile::remove(markFile);
    return marked;
}

} // namespace launch
