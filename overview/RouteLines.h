#pragma once
#include "overview/OverviewData.h"
#include "platform/BackgroundJob.h"

#include <QByteArray>
#include <QObject>
#include <map>
#include <memory>
#include <set>

class RouteLayers;

// A card's route lines for the overview page, made on workers: a level is
// handed over by LinesMade once it is made, and nothing waits for one. The
// level the page is about to ask for is made first, then the levels around
// it at idle priority, so a zoom step finds its lines made.
class RouteLines : public QObject {
    Q_OBJECT
  public:
    RouteLines(std::shared_ptr<const OverviewData> data, QObject* parent);
    // Tells the workers to stop after their level; waits for none.
    ~RouteLines() override;

    // Asks for a level's lines: LinesMade follows, at once when they are
    // made already. The first level asked is prepared as by Prepare.
    void Ask(int zoom);
    // Makes `first`, then the levels around it (RouteLayers::Prepare); a
    // second call stops the first's levels around.
    void Prepare(int first);

    RouteLayers& Layers() const { return *layers_; }

  signals:
    void LinesMade(int zoom, const QByteArray& json);

  private:
    // Makes a level on a worker (then the levels around it); Delivered
    // follows on this thread.
    void MakeAside(int zoom, bool thenPrepare);
    void Delivered(int zoom);

    std::shared_ptr<const OverviewData> data_; // what the lines point into
    std::shared_ptr<RouteLayers> layers_;
    std::map<int, BackgroundJob> jobs_;  // by the level each makes first
    BackgroundJob* preparing_ = nullptr; // the job that goes on to the levels around
    std::set<int> making_;               // levels a worker makes for an answer
    std::set<int> asked_;                // levels asked for and not yet handed over
    bool prepared_ = false;
};
