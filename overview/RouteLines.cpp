#include "overview/RouteLines.h"

#include "overview/RouteLayers.h"

#include <QThread>
#include <algorithm>

RouteLines::RouteLines(std::shared_ptr<const OverviewData> data, QObject* parent)
    : QObject(parent), data_(std::move(data)),
      layers_(std::make_shared<RouteLayers>(data_->Recordings(), data_->Trips())) {}

// The jobs, dropped with this object, cancel their work.
RouteLines::~RouteLines() = default;

void RouteLines::Ask(int zoom) {
    zoom = std::clamp(zoom, 0, RouteLayers::kMaxZoom);
    if (const QByteArray* made = layers_->Made(zoom)) {
        emit LinesMade(zoom, *made);
        return;
    }
    asked_.insert(zoom);
    if (!prepared_)
        Prepare(zoom);
    else if (!making_.count(zoom))
        MakeAside(zoom, false);
}

void RouteLines::Prepare(int first) {
    first = std::clamp(first, 0, RouteLayers::kMaxZoom);
    prepared_ = true;
    if (preparing_)
        preparing_->Cancel();
    MakeAside(first, true);
}

void RouteLines::MakeAside(int zoom, bool thenPrepare) {
    making_.insert(zoom);
    BackgroundJob& job = jobs_[zoom];
    // The workers hold the card and its lines: they may finish after this
    // object is gone, and their answers with it.
    job.Start(
        [layers = layers_, data = data_, zoom, thenPrepare](JobControl& control) {
            layers->ForZoom(zoom);
            if (!thenPrepare || control.Cancelled())
                return;
            control.Report(1, 1);
            // Nobody waits for the levels around: made when the machine is idle.
            QThread* thread = QThread::currentThread();
            thread->setPriority(QThread::IdlePriority);
            layers->Prepare(zoom, [&control] { return control.Cancelled(); });
            thread->setPriority(QThread::NormalPriority);
        },
        [this, zoom] { Delivered(zoom); },
        // The level asked for is handed over as soon as it is made, before
        // the levels around it.
        [this, zoom](qint64 done, qint64) {
            if (done > 0)
                Delivered(zoom);
        });
    if (thenPrepare)
        preparing_ = &job;
}

void RouteLines::Delivered(int zoom) {
    making_.erase(zoom);
    if (!asked_.erase(zoom))
        return;
    if (const QByteArray* made = layers_->Made(zoom))
        emit LinesMade(zoom, *made);
}
