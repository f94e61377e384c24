#include "HourRoute.h"

#include "presenter/MapScripts.h"
#include "recordings/CVel3gpParser.h"
#include "tools/synth/RecordingWriter.h"

#include <QFileInfo>
#include <cmath>
#include <cstdio>

namespace benchmap {

namespace {

bool WriteHourRecording(const QString& path) {
    synth::RecordingRecipe recipe;
    recipe.container = synth::Container::MovTrack;
    recipe.durationMs = kHourSeconds * 1000;
    recipe.frameSize = QSize(160, 90);
    recipe.frameRate = 1;
    recipe.audio = false;
    // About 80 km/h, so every point passes the repeat filter; the records
    // keep thousandths of a minute.
    for (int i = 0; i < kHourSeconds * synth::kTrackRecordRate; ++i) {
        const double t = double(i) / synth::kTrackRecordRate;
        recipe.fixes.push_back(synth::Fix{
            35.40 + 0.00015 * t, 139.40 + 0.00015 * t + 0.002 * std::sin(t / 90.0), 12, 80, 45});
    }
    for (int i = 0; i < kHourSeconds * synth::kTrackRecordRate; ++i)
        recipe.gsensor.push_back({int16_t(i % 7), int16_t(-(i % 5)), 16});
    QString error;
    if (!synth::WriteRecording(recipe, path, &error)) {
        std::fprintf(stderr, "cannot write the recording: %s\n", qPrintable(error));
        return false;
    }
    return true;
}

// Keeps the route a load sends, as one text per point.
struct CapturingMap : MapView {
    void RunScript(const QString& s) override {
        const QString head = QLatin1String(kPathPlotBatch) + "([";
        if (!s.startsWith(head))
            return;
        const QStringList numbers = s.mid(head.size()).chopped(2).split(',');
        for (int i = 0; i + 1 < numbers.size(); i += 2)
            singles << PathPlotScript(numbers[i].toDouble(), numbers[i + 1].toDouble());
    }
    void MovePosition(double, double, StoredCoordinates) override {}
    QStringList singles;
};

} // namespace

bool HourRoute::Prepare(int mapChoice) {
    choice = mapChoice;
    const QString path = dir.filePath("HOUR.MOV");
    RecordingFile file;
    CVel3gpParser parser;
    parser.SetInfo(&file.info);
    if (!WriteHourRecording(path) || parser.Parse(path) != 0)
        return false;
    file.root = QFileInfo(path).absolutePath() + "/";
    file.fileName = QFileInfo(path).fileName();
    catalog.ListFiles({file});
    CapturingMap capture;
    ShowOn(&capture);
    presenter.LoadTrack(0);
    singles = capture.singles;
    ShowOn(nullptr);
    if (!pane.Open(choice))
        return false;
    view = NewestView(*pane.map);
    ShowOn(pane.map.get());
    return true;
}

QString HourRoute::Length(const char* line) const {
    return QString(choice == 1 ? "%1.getPath().length" : "%1.getPath().getLength()").arg(line);
}

bool HourRoute::WaitForLine(const char* line, int points) {
    return WaitUntil(view, QStringLiteral("%1 === %3 && %2._drawnLength() === %3")
                               .arg(Length(line), line)
                               .arg(points));
}

} // namespace benchmap
