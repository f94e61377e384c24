// Writes the starting corpus of each fuzz target: small well-formed files of
// every kind the parsers accept, into <dir>/avi, <dir>/mov and <dir>/meta.
#include "tests/support/core/CameraFileWriter.h"

#include <QDir>
#include <cstdio>

using namespace CameraFile;

namespace {

QByteArray Params(uint8_t b0, uint8_t b1 = 0) {
    QByteArray p = Zeros(4);
    p[0] = char(b0);
    p[1] = char(b1);
    return p;
}

MetaRecord TokyoRecord(int16_t x) {
    MetaRecord r;
    r.gsensorValid = 1;
    r.axis[0] = x;
    r.axis[1] = -x;
    r.axis[2] = 256;
    r.status = 1;
    r.latNum = 353912;
    r.latDen = 100;
    r.lonNum = 13945678;
    r.lonDen = 1000;
    r.speedNum = 100;
    r.speedDen = 10;
    r.year = 24;
    r.month = 4;
    r.day = 30;
    r.hour = 23;
    r.minute = 30;
    r.heading = 45;
    return r;
}

bool Write(const QString& dir, const char* name, const QByteArray& bytes) {
    QDir().mkpath(dir);
    if (WriteFile(dir + "/" + name, bytes))
        return true;
    std::fprintf(stderr, "cannot write %s/%s\n", qPrintable(dir), name);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds DIR\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QByteArray gps = GpsRecord(0, 0, 0, 0, 0, 0) + GpsRecord(21, 7, 4, 18, 30, 5);
    const QByteArray camera = AviChunk("gpsa", Params(1)) + AviChunk("gsea", Params(10, 8)) +
                              AviChunk("gps0", gps) + AviChunk("gsen", Zeros(24));
    bool ok = true;

    AviRecipe avi;
    avi.moviPayload = 32;
    avi.beforeMovi = camera + AviChunk("IDIT", "2021-07-04 18:30:05\n");
    avi.afterMovi = AviChunk("idx1", Zeros(16)) + AviChunk("JUNK", Zeros(8));
    ok &= Write(root + "/avi", "camera.avi", BuildAvi(avi));
    avi.beforeMovi = camera;
    avi.afterMovi = AviList("INFO", AviChunk("ISFT", "x"));
    ok &= Write(root + "/avi", "gps-time.avi", BuildAvi(avi));

    MovARecipe a;
    a.records = {MetadataRecordBytes(TokyoRecord(1)), MetadataRecordBytes(TokyoRecord(2))};
    a.mdatExtra = 16;
    ok &= Write(root + "/mov", "metadata-track.mov", BuildMovA(a));
    MovBRecipe b;
    b.cameraBoxes = Skip(0) + Box("gpsa", Params(1)) + Box("gsea", Params(10, 8)) +
                    Box("gps0", gps) + Box("gsen", Zeros(24)) +
                    Box("IDIT", "2021-07-04 18:30:05\n");
    b.mdatSize = 16;
    ok &= Write(root + "/mov", "camera-boxes.mov", BuildMovB(b));

    ok &= Write(root + "/meta", "records.bin",
                MetadataRecordBytes(TokyoRecord(5)) + MetadataRecordBytes(TokyoRecord(-300)));
    return ok ? 0 : 1;
}
