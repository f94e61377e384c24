#pragma once
// Cards of real recordings (tests/cardindex/IndexFixture.h) imported into a
// library folder on the real disk.
#include "library/CardImport.h"
#include "library/LibraryLayout.h"
#include "tests/cardindex/IndexFixture.h"
#include "tests/support/core/ProgramRun.h"

#include <QDirIterator>
#include <QProcess>
#include <QProcessEnvironment>
#include <sys/stat.h>

namespace librarytest {

using namespace indextest;

class LibraryTest : public IndexTest {
  protected:
    // Front and rear of the moment `sequence` (FILE<sequence>0.MOV and
    // FILE<sequence>1_b.MOV); the rear films another picture, as a rear
    // camera does, so the two are different recordings.
    QString Pair(const synth::RecordingRecipe& recipe, int sequence) {
        synth::RecordingRecipe rear = recipe;
        rear.pattern = "smptebars";
        WritePair(rear, sequence, false, true);
        return WritePair(recipe, sequence, true, false);
    }
    // A drive at `kmh` of `seconds`, front and rear.
    QString Drive(int sequence, const QDateTime& start, int seconds = 20, int kmh = 36,
                  double latitude = 35.0) {
        return Pair(
            Recipe(start, StraightFixes(latitude, 139.0, 0, std::vector<int>(size_t(seconds), kmh)),
                   QuietSamples(seconds, 10)),
            sequence);
    }

    ImportSummary Import(KeepMode keep = KeepMode::All,
                         const std::function<void(const ImportProgress&)>& progress = {},
                         const std::function<bool()>& cancelled = {},
                         const QString& from = QString()) {
        ImportRequest request;
        request.card = from.isEmpty() ? card.path() : from;
        request.library = Library();
        request.keep = keep;
        request.cardCacheFolder = cache.path();
        return ImportCard(request, progress, cancelled);
    }

    QString Library() const { return libraryParent.path() + "/library"; }

    // Every entry below a folder, hidden ones too, relative, in name order.
    static QStringList Tree(const QString& root) {
        QStringList names;
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            names << it.next().mid(root.size() + 1);
        names.sort();
        return names;
    }
    // The recordings the library holds, without its own files.
    QStringList Kept() const {
        QStringList names;
        for (const QString& name : Tree(Library()))
            if (!name.startsWith(".halvex-") && !QFileInfo(Library() + "/" + name).isDir())
                names << name;
        return names;
    }

    ProgramRun Cli(const QStringList& args) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CACHE_HOME", cache.path());
        env.insert("TZ", "UTC0");
        return RunProgram(QStringLiteral(HALVEX_BINARY_DIR "/tools/halvex-cli"), args, env);
    }

    static bool CopyTree(const QString& from, const QString& to) {
        return QProcess::execute("cp", {"-a", from, to}) == 0;
    }

    ScratchDir libraryParent;
    ScratchDir cache;
};

} // namespace librarytest
