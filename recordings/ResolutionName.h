#pragma once
#include <QString>
#include <cstdint>

// The name of a video size as the group list shows it ("1080P HD", "720P"),
// "WxH" for a size without a name, "" when either side is 0.
QString ResolutionName(uint16_t width, uint16_t height);
