// Other programs accept what the synthesizer writes: ffprobe sees the
// streams, exiftool reads the same GPS records back, and libvlc decodes and
// plays every kind of recording to its end.
#include "tests/support/core/SynthFixture.h"
#include "tools/synth/Drive.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <dlfcn.h>
#include <vlc/vlc.h>

namespace {

using namespace synthtest;
using synth::Container;

QByteArray RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << p.errorString().toStdString()
                      << p.readAllStandardError().toStdString();
        return {};
    }
    return p.readAllStandardOutput();
}

struct Kind {
    Container container;
    const char* name;
    const char* audioCodec;
};
const Kind kKinds[] = {{Container::Avi, "FILE0010.AVI", "pcm_s16le"},
                       {Container::MovBoxes, "FILE0010.MOV", "aac"},
                       {Container::MovTrack, "MOV_0001F.MOV", "aac"}};

class SynthExternalTools : public SynthFiles {};

TEST_F(SynthExternalTools, FfprobeSeesH264OfTheAskedSizeAndLength) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        auto recipe = SmallRecipe(k.container);
        recipe.durationMs = 3000;
        recipe.frameSize = QSize(192, 108);
        const QString path = Write(recipe, k.name);
        const QJsonObject probe =
            QJsonDocument::fromJson(RunTool("ffprobe", {"-v", "error", "-print_format", "json",
                                                        "-show_format", "-show_streams", path}))
                .object();
        EXPECT_NEAR(probe["format"].toObject()["duration"].toString().toDouble(), 3.0, 0.1);
        QStringList codecs;
        for (const QJsonValue& s : probe["streams"].toArray()) {
            const QJsonObject stream = s.toObject();
            codecs << stream["codec_type"].toString() + ":" + stream["codec_name"].toString();
            if (stream["codec_type"] == "video") {
                EXPECT_EQ(stream["width"].toInt(), 192);
                EXPECT_EQ(stream["height"].toInt(), 108);
            }
        }
        EXPECT_TRUE(codecs.contains("video:h264")) << codecs.join(' ').toStdString();
        EXPECT_TRUE(codecs.contains(QString("audio:") + k.audioCodec))
            << codecs.join(' ').toStdString();
    }
}

// exiftool knows the "gps0" chunk and box of this camera family; it takes the
// record time for UTC, which is only a label here.
TEST_F(SynthExternalTools, ExiftoolReadsTheGpsRecordsThatWereWritten) {
    auto recipe = SmallRecipe(Container::Avi);
    recipe.fixes.pop_back(); // exiftool would print the untimed record's zero date oddly
    const synth::Drive drive(synth::TokyoRoute());
    const auto driven = drive.Fixes(120, 6, 2);
    recipe.fixes.insert(recipe.fixes.end(), driven.begin(), driven.end());
    recipe.durationMs = 5000;
    for (const Container container : {Container::Avi, Container::MovBoxes}) {
        recipe.container = container;
        const QString path =
            Write(recipe, container == Container::Avi ? "FILE0010.AVI" : "FILE0010.MOV");
        const QJsonArray docs =
            QJsonDocument::fromJson(
                RunTool("exiftool", {"-j", "-ee", "-n", "-G3", "-GPSLatitude", "-GPSLongitude",
                                     "-GPSSpeed", "-GPSDateTime", "-GPSAltitude", path}))
                .array();
        ASSERT_EQ(docs.size(), 1);
        const QJsonObject tags = docs[0].toObject();
        // Documents are numbered across all embedded blocks; the GPS ones
        // are those that carry a latitude.
        QList<QJsonObject> records;
        for (int doc = 1; doc < 1000; ++doc) {
            const QString prefix = QString("Doc%1:").arg(doc);
            if (!tags.contains(prefix + "GPSLatitude"))
                continue;
            QJsonObject r;
            for (const char* key :
                 {"GPSLatitude", "GPSLongitude", "GPSSpeed", "GPSDateTime", "GPSAltitude"})
                r[key] = tags[prefix + key];
            records << r;
        }
        ASSERT_EQ(records.size(), int(recipe.fixes.size()));
        for (size_t i = 0; i < recipe.fixes.size(); ++i) {
            SCOPED_TRACE(i);
            const synth::Fix& fix = recipe.fixes[i];
            const QJsonObject& r = records[int(i)];
            EXPECT_NEAR(r["GPSLatitude"].toDouble(), fix.latitude, 1e-7);
            EXPECT_NEAR(r["GPSLongitude"].toDouble(), fix.longitude, 1e-7);
            EXPECT_EQ(r["GPSSpeed"].toInt(), fix.speedKmh);
            EXPECT_EQ(r["GPSAltitude"].toInt(), fix.altitude);
            const QDateTime t = recipe.start.addSecs(qint64(i) / recipe.gpsRate);
            EXPECT_EQ(r["GPSDateTime"].toString(), t.toString("yyyy:MM:dd HH:mm:ss") + "Z");
        }
    }
}

// libvlc resolved at run time, as the viewer does.
class Vlc {
  public:
    Vlc() : lib_(dlopen("libvlc.so.5", RTLD_NOW | RTLD_LOCAL)) {}
    ~Vlc() {
        if (lib_)
            dlclose(lib_);
    }
    bool Loaded() const { return lib_ != nullptr; }
    template <typename F> F* Fn(const char* name) const {
        return reinterpret_cast<F*>(dlsym(lib_, name));
    }

  private:
    void* lib_;
};

struct PlayResult {
    libvlc_state_t state = libvlc_NothingSpecial;
    unsigned width = 0, height = 0;
    int64_t lengthMs = 0;
    int decodedVideo = 0;
};

PlayResult PlayToEnd(const Vlc& vlc, libvlc_instance_t* instance, const QString& path) {
    PlayResult r;
    auto* media = vlc.Fn<decltype(libvlc_media_new_path)>("libvlc_media_new_path")(
        instance, QFile::encodeName(path).constData());
    auto* player = vlc.Fn<decltype(libvlc_media_player_new_from_media)>(
        "libvlc_media_player_new_from_media")(media);
    vlc.Fn<decltype(libvlc_media_player_set_rate)>("libvlc_media_player_set_rate")(player, 4.0f);
    vlc.Fn<decltype(libvlc_media_player_play)>("libvlc_media_player_play")(player);
    const auto getState =
        vlc.Fn<decltype(libvlc_media_player_get_state)>("libvlc_media_player_get_state");
    const auto getSize = vlc.Fn<decltype(libvlc_video_get_size)>("libvlc_video_get_size");
    for (int i = 0; i < 1000; ++i) {
        QThread::msleep(20);
        if (r.width == 0)
            getSize(player, 0, &r.width, &r.height);
        r.state = getState(player);
        if (r.state == libvlc_Ended || r.state == libvlc_Error)
            break;
    }
    r.lengthMs =
        vlc.Fn<decltype(libvlc_media_player_get_length)>("libvlc_media_player_get_length")(player);
    libvlc_media_stats_t stats{};
    if (vlc.Fn<decltype(libvlc_media_get_stats)>("libvlc_media_get_stats")(media, &stats))
        r.decodedVideo = stats.i_decoded_video;
    vlc.Fn<decltype(libvlc_media_player_release)>("libvlc_media_player_release")(player);
    vlc.Fn<decltype(libvlc_media_release)>("libvlc_media_release")(media);
    return r;
}

TEST_F(SynthExternalTools, LibvlcPlaysEveryKindToTheEnd) {
    const Vlc vlc;
    ASSERT_TRUE(vlc.Loaded()) << dlerror();
    const char* args[] = {"--vout=dummy", "--aout=dummy", "--no-video-title-show", "--quiet"};
    auto* instance = vlc.Fn<decltype(libvlc_new)>("libvlc_new")(4, args);
    ASSERT_NE(instance, nullptr);
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        const PlayResult r = PlayToEnd(vlc, instance, Write(SmallRecipe(k.container), k.name));
        EXPECT_EQ(r.state, libvlc_Ended);
        EXPECT_EQ(r.width, 160u);
        EXPECT_EQ(r.height, 90u);
        EXPECT_NEAR(double(r.lengthMs), 2000, 100);
        EXPECT_GT(r.decodedVideo, 10);
    }
    vlc.Fn<decltype(libvlc_release)>("libvlc_release")(instance);
}

} // namespace
