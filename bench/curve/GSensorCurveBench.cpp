// What one repaint of the G-sensor strip costs with an hour of samples on a
// strip 1920 pixels wide, at several sample rates; and the curves alone,
// drawn one line per sample against the column-reduced drawing.
#include "controls/CGSensorCtrl.h"
#include "controls/GSensorCurvePainter.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>

namespace {

const QSize kStrip(1920, 150);

// One hour of a drive: a slow swing with road noise on every axis.
std::vector<GSensorSample> Hour(int perSecond) {
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0, 6);
    std::vector<GSensorSample> out(size_t(3600) * size_t(perSecond));
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / perSecond;
        out[i] = {int16_t(40 * std::sin(t / 9) + noise(rng)),
                  int16_t(20 * std::sin(t / 4) + noise(rng)), int16_t(64 + noise(rng))};
    }
    return out;
}

void Load(GSensorCurveState& s, int perSecond) {
    s.samples = Hour(perSecond);
    s.fullScale = 2.0;
    s.samplesPerMs = perSecond / 1000.0;
    s.pixelsPerMs = 0.01;
    s.scaleMode = 2;
    s.position = 1800000;
}

void BM_Repaint(benchmark::State& state) {
    CGSensorCtrl ctrl;
    ctrl.resize(kStrip);
    Load(ctrl.CurveState(), int(state.range(0)));
    ctrl.RecalcScale();
    for (auto _ : state) {
        QImage shot = ctrl.grab().toImage();
        benchmark::DoNotOptimize(shot.constBits());
    }
    state.counters["samples"] = double(ctrl.CurveState().samples.size());
}

void Graph(benchmark::State& state, GSensorCurveDrawing drawing) {
    GSensorCurveState s;
    Load(s, int(state.range(0)));
    QImage img(kStrip, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        DrawGSensorGraph(p, kStrip, s, drawing);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
    state.counters["samples"] = double(s.samples.size());
}

void BM_GraphDirect(benchmark::State& state) {
    Graph(state, GSensorCurveDrawing::Direct);
}
void BM_GraphReduced(benchmark::State& state) {
    Graph(state, GSensorCurveDrawing::ColumnReduced);
}

} // namespace

BENCHMARK(BM_Repaint)->Arg(5)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphDirect)->Arg(5)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphReduced)->Arg(5)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
