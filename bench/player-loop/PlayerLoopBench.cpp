// Plays every front file of a folder for a few seconds on one player, its rear
// partner on another, and prints the resident memory after each file, to tell
// what libvlc keeps from what the viewer keeps.
//   bench_player_loop FOLDER [SECONDS_PER_FILE] [ROUNDS] [--recreate] [--arenas]
#include "player/CVlcPlayer.h"
#include "recordings/CameraPairing.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QThread>
#include <QWidget>
#include <cstdio>
#include <malloc.h>

namespace {

long RssKib() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void Wait(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const bool recreate = args.removeAll("--recreate") > 0;
    const bool defaultArenas = args.removeAll("--arenas") > 0;
    if (args.isEmpty()) {
        std::fprintf(
            stderr, "usage: bench_player_loop FOLDER [SECONDS] [ROUNDS] [--recreate] [--arenas]\n");
        return 2;
    }
    if (!defaultArenas)
        mallopt(M_ARENA_MAX, 2);
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    const int seconds = args.value(1, "4").toInt();
    const int rounds = args.value(2, "3").toInt();

    QStringList fronts;
    QDirIterator it(args[0], {"*.MOV"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!IsRearCameraPath(path))
            fronts << path;
    }
    fronts.sort();
    std::fprintf(stderr, "%lld front files\n", qsizetype(fronts.size()));

    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    QWidget* surfaces[2] = {new QWidget, new QWidget};
    for (QWidget* s : surfaces) {
        s->setAttribute(Qt::WA_NativeWindow);
        s->setMinimumSize(320, 180);
        layout->addWidget(s);
    }
    window.show();
    Wait(300);

    CVlcPlayer front, rear;
    std::printf("file rss_kib\n%d %ld\n", 0, RssKib());
    int n = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const QString& path : fronts) {
            if (recreate)
                rear.Recreate(0);
            front.SetWindow(uint32_t(surfaces[0]->winId()));
            front.OpenMedia(path, 0);
            front.Play();
            const QString partner = RearPathFor(path);
            if (!partner.isEmpty()) {
                rear.SetWindow(uint32_t(surfaces[1]->winId()));
                rear.OpenMedia(partner, 1);
                rear.Play();
            }
            Wait(seconds * 1000);
            front.Stop();
            rear.Stop();
            std::printf("%d %ld\n", ++n, RssKib());
            std::fflush(stdout);
        }
    }
    return 0;
}
