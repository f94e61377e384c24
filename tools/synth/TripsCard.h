#pragma once
#include <QString>
#include <functional>

namespace synth {

// Writes a memory card of several days below `root`: trips of one-minute
// front/rear recordings through central Tokyo with pauses between them, a
// harsh braking, an impact the camera locked, and one trip without G-sensor
// data whose hard stop shows only in the speed. `progress` (may be empty)
// hears each file written.
bool WriteTripsCard(const QString& root, QString* error,
                    const std::function<void(const QString&)>& progress = {});

} // namespace synth
