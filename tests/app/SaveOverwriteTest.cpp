// A second SAVE into the same folder: the real overwrite questions come up
// and the user answers them, once with Return and once with a click on OK,
// taking a while, as users do.
#if HALVEX_HAVE_SYNTH
#include "WindowFixture.h"
#include "app/window/ControlIds.h"
#include "app/window/PlaybackLogic.h"
#include "controls/CVelGroupListCtrl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

namespace {

class SaveOverwriteTest : public WindowTest {};

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Answers each overwrite question that has been on screen for `delayMs`:
// the first with the Return key, the next with a click on OK, through the
// box's own window. Gives up after `giveUpMs`, closing every dialog.
class QuestionAnswerer {
  public:
    explicit QuestionAnswerer(int delayMs, int giveUpMs) : delayMs_(delayMs) {
        timer_.setInterval(50);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start();
        clock_.start();
        giveUpMs_ = giveUpMs;
    }
    int answered = 0;
    bool gaveUp = false;

  private:
    void Look() {
        if (clock_.elapsed() > giveUpMs_) {
            // Every box that still comes up is dismissed too.
            gaveUp = true;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
                    dialog->reject();
            return;
        }
        QMessageBox* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
                box = b;
        if (box != seen_) {
            seen_ = box;
            seenSince_.start();
            pressed_ = false;
        }
        if (!box || pressed_ || seenSince_.elapsed() < delayMs_)
            return;
        pressed_ = true;
        const QString text = box->text();
        if (answered == 0) {
            QTest::keyClick(box->windowHandle(), Qt::Key_Return);
        } else {
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            QTest::mouseClick(box->windowHandle(), Qt::LeftButton, {},
                              ok->mapTo(box, ok->rect().center()));
        }
        // The next question may already be up, in a box at the same address.
        if (!box->isVisible() || box->text() != text) {
            ++answered;
            seen_ = nullptr;
        }
    }

    QTimer timer_;
    QElapsedTimer clock_;
    QElapsedTimer seenSince_;
    QMessageBox* seen_ = nullptr;
    bool pressed_ = false;
    int delayMs_;
    int giveUpMs_;
};

TEST_F(SaveOverwriteTest, SecondSaveIntoTheSameFolderAsksAndOverwrites) {
    QTemporaryDir card;
    QTemporaryDir backup;
    WriteCard(card.path(), 1, 2000);
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    dlg.OpenFolder(card.path());
    ASSERT_EQ(dlg.Catalog().Files().size(), 2u);
    dlg.Playback()->files.chooseSaveFolder = [&](QString* folder) {
        *folder = backup.path();
        return true;
    };
    // The group is chosen by a click on its row.
    auto* groups = static_cast<CVelGroupListCtrl*>(dlg.Control(IDC_GROUP_LIST));
    auto chooseGroup = [&] {
        const QRect row = groups->visualRect(groups->model()->index(0, 1));
        QTest::mouseClick(dlg.windowHandle(), Qt::LeftButton, {},
                          groups->viewport()->mapTo(&dlg, row.center()));
        Pump();
    };
    chooseGroup();
    Click(dlg, IDC_SAVE);
    QStringList copies;
    for (const RecordingFile& f : dlg.Catalog().Files())
        copies << QDir::cleanPath(backup.path() + "/" + f.folder + "/" + f.fileName);
    for (const QString& copy : copies) {
        ASSERT_TRUE(QFile::exists(copy)) << copy.toStdString();
        QFile f(copy);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("older");
    }

    chooseGroup();
    QuestionAnswerer answerer(1200, 15000);
    Click(dlg, IDC_SAVE);
    EXPECT_FALSE(answerer.gaveUp) << "a question could not be answered";
    EXPECT_EQ(answerer.answered, 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Contents(copies[i]), Contents(dlg.Catalog().GetFilePath(i))) << i;
}

} // namespace
#endif
