#include "overview/RouteLines.h"

#include "overview/RouteLayers.h"

#include <QFutureWatcher>
#include <QThread>
#include <QtConcurrent>
#include <algorithm>

RouteLines::RouteLines(std::shared_ptr<const OverviewData> data, QObject* parent)
    : QObject(parent), data_(std::move(data)),
      layers_(std::make_shared<RouteLayers>(data_->Recordings(), data_->Trips())),
      stop_(std::make_shared<std::atomic<bool>>(false)) {}

RouteLines::~RouteLines() {
    stop_->store(true);
}

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
    stop_->store(true);
    stop_ = std::make_shared<std::atomic<bool>>(false);
    MakeAside(first, true);
}

void RouteLines::MakeAside(int zoom, bool thenPrepare) {
    making_.insert(zoom);
    auto* done = new QFutureWatcher<void>(this);
    connect(done, &QFutureWatcher<void>::finished, this, [this, done, zoom] {
        done->deleteLater();
        Delivered(zoom);
    });
    // The level asked for is handed over as soon as it is made, before the
    // levels around it.
    connect(done, &QFutureWatcher<void>::progressValueChanged, this, [this, zoom](int value) {
        if (value > 0)
            Delivered(zoom);
    });
    // The workers hold the card and its lines: they may finish after this
    // object is gone, and their answers with it.
    done->setFuture(QtConcurrent::run(
        [layers = layers_, data = data_, stop = stop_, zoom, thenPrepare](QPromise<void>& promise) {
            layers->ForZoom(zoom);
            if (!thenPrepare || stop->load())
                return;
            promise.setProgressRange(0, 1);
            promise.setProgressValue(1);
            // Nobody waits for the levels around: made when the machine is idle.
            QThread* thread = QThread::currentThread();
            thread->setPriority(QThread::IdlePriority);
            layers->Prepare(zoom, *stop);
            thread->setPriority(QThread::NormalPriority);
        }));
}

void RouteLines::Delivered(int zoom) {
    making_.erase(zoom);
    if (!asked_.erase(zoom))
        return;
    if (const QByteArray* made = layers_->Made(zoom))
        emit LinesMade(zoom, *made);
}
