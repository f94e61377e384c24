#pragma once
#include "recordings/FramePlace.h"

#include <QByteArray>
#include <QString>

class QImage;

// When and where a snapshot was taken, written into the picture file: EXIF
// DateTimeOriginal (the camera clock's reading) with the zone measured for
// that clock in OffsetTimeOriginal (none when unknown) and, with a fix, GPS
// latitude, longitude, altitude, speed and direction for a JPEG; the same as
// text chunks for a PNG.

// Adds the PNG text chunks to the picture before it is saved.
void AddPngText(QImage* picture, const FramePlace& place);

// Adds the EXIF tags to an encoded JPEG in memory, so that the file is
// written once, whole; false when it cannot.
bool AddJpegExif(QByteArray* jpeg, const FramePlace& place);
