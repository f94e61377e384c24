#pragma once
#include "recordings/FramePlace.h"

#include <QString>

class QImage;

// When and where a snapshot was taken, written into the picture file: EXIF
// DateTimeOriginal and, with a fix, GPS latitude, longitude, altitude, speed
// and direction for a JPEG; the same as text chunks for a PNG.

// Adds the PNG text chunks to the picture before it is saved.
void AddPngText(QImage* picture, const FramePlace& place);

// Writes the EXIF tags into a saved JPEG file; false when it cannot.
bool WriteJpegExif(const QString& path, const FramePlace& place);
