#pragma once
// What leaves the program leaves out the positions inside the privacy zones,
// and with them the speed and heading that would lead back to them.
#include "recordings/TripModel.h"
#include "settings/PrivacyZones.h"

#include <vector>

// Removes the points inside the zones; returns how many went.
int LeaveOutPrivatePoints(TripRecording* recording, const std::vector<PrivacyZone>& zones);
int LeaveOutPrivatePoints(Trip* trip, const std::vector<PrivacyZone>& zones);
