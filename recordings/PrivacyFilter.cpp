#include "recordings/PrivacyFilter.h"

#include <algorithm>

int LeaveOutPrivatePoints(TripRecording* recording, const std::vector<PrivacyZone>& zones) {
    if (zones.empty())
        return 0;
    std::vector<GpsFix>& points = recording->points;
    const auto kept = std::remove_if(points.begin(), points.end(), [&](const GpsFix& p) {
        return InPrivacyZone(p.latitude, p.longitude, zones);
    });
    const int gone = int(points.end() - kept);
    points.erase(kept, points.end());
    return gone;
}

int LeaveOutPrivatePoints(Trip* trip, const std::vector<PrivacyZone>& zones) {
    int gone = 0;
    for (TripRecording& recording : trip->recordings)
        gone += LeaveOutPrivatePoints(&recording, zones);
    return gone;
}
