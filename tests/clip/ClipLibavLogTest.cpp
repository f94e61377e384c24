// What libav says about a damaged recording reaches the terminal as one
// line naming the file, not a line of its own for each damaged picture.
#include "tests/support/core/ProgramRun.h"
#include "tests/support/core/ScratchDir.h"
#include "tests/support/core/SynthFixture.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The length field of each picture's NAL unit after the first `kept` made
// too large: the decoder refuses each of them with "Invalid NAL unit size".
void BreakNalLengths(const QString& path, int kept) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    qint64 at = 0, begin = -1, end = -1;
    while (at + 8 <= bytes.size()) {
        const qint64 size = synthtest::Be32(bytes, at);
        if (bytes.mid(int(at) + 4, 4) == "mdat") {
            begin = at + 8;
            end = at + size;
            break;
        }
        if (size < 8)
            break;
        at += size;
    }
    ASSERT_GT(begin, 0);
    int seen = 0, broken = 0;
    // A length field is followed by a NAL header: 0x65 a key picture, 0x41
    // another (nal_ref_idc set).
    for (qint64 i = begin; i + 5 <= end; ++i) {
        const uint32_t length = synthtest::Be32(bytes, i);
        const char header = bytes[int(i + 4)];
        if ((header == 0x65 || header == 0x41) && length > 8 && i + 4 + length <= end) {
            if (++seen > kept) {
                bytes[int(i)] = 0x7f;
                ++broken;
            }
            i += 4 + length - 1;
        }
    }
    ASSERT_GT(broken, 10);
    file.seek(0);
    file.write(bytes);
}

struct Damage {
    int keptPictures;
    int exitCode;
    const char* failure; // what the failure says after the file's name; "" for none
};

// A recording whose pictures after the first three cannot be decoded is cut
// with the damaged pictures left out; one none of whose pictures can be is
// refused, naming the file.
TEST(ClipLibavLog, ADamagedRecordingIsOneLineNamingIt) {
    synth::SetCacheFolder(HALVEX_BINARY_DIR "/synth-cache");
    for (const Damage& damage :
         {Damage{3, 0, ""}, Damage{0, 1, "the picture's size or pixel format is unknown"}}) {
        ScratchDir card, out;
        synth::RecordingRecipe recipe;
        recipe.container = synth::Container::MovBoxes;
        recipe.durationMs = 3000;
        recipe.frameSize = QSize(320, 180);
        recipe.frameRate = 10;
        recipe.audio = false;
        recipe.start = QDateTime(QDate(2021, 7, 4), QTime(18, 30, 5));
        const QString path = card.Root() + "DCIM/MovieF/MOV_0001F.MOV";
        synthtest::WriteBelow(card.Root(), recipe, "DCIM/MovieF/MOV_0001F.MOV");
        BreakNalLengths(path, damage.keptPictures);

        // Drawn figures make the clip decode every picture.
        const ProgramRun run = RunProgram(HALVEX_BINARY_DIR "/tools/halvex-cli",
                                          {"clip", path, "--from", "0", "--to", "3", "--overlay",
                                           "time", "--out", out.Root() + "clip"});
        const QString err = QString::fromUtf8(run.err);
        // The progress line is redrawn after a carriage return; a message
        // starts a line of its own, never on the progress line.
        const QStringList lines = err.split('\n', Qt::SkipEmptyParts);
        QStringList aboutIt;
        for (const QString& line : lines) {
            EXPECT_FALSE(line.startsWith('[')) << "libav's own line: " << line.toStdString();
            EXPECT_FALSE(line.contains("NAL") && !line.contains(path)) << line.toStdString();
            if (line.contains("halvex.libav")) {
                aboutIt << line;
                EXPECT_TRUE(line.startsWith("halvex.libav")) << line.toStdString();
            }
        }
        EXPECT_EQ(run.exitCode, damage.exitCode) << err.toStdString();
        ASSERT_EQ(aboutIt.size(), 1) << err.toStdString();
        EXPECT_TRUE(aboutIt[0].contains(path + ": ")) << aboutIt[0].toStdString();
        EXPECT_TRUE(aboutIt[0].contains("Invalid NAL unit size")) << aboutIt[0].toStdString();
        EXPECT_TRUE(aboutIt[0].contains(QRegularExpression("and \\d+ more messages")))
            << aboutIt[0].toStdString();
        if (*damage.failure) {
            EXPECT_TRUE(err.contains(path + ": " + damage.failure)) << err.toStdString();
        }
    }
}

} // namespace
