#include "PlaybackHarness.h"
#include "platform/WindowMessages.h"
#include "settings/AppSettings.h"
#include "tests/support/core/CatalogStaging.h"
#include "tests/support/core/TestVideos.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

HarnessView::HarnessView() : position(Qt::Horizontal, &window), volume(Qt::Horizontal, &window) {
    window.resize(400, 200);
    for (int i = 0; i < 2; ++i) {
        surfaces[i] = new QWidget(&window);
        surfaces[i]->setAttribute(Qt::WA_NativeWindow);
        surfaces[i]->setGeometry(i * 200, 0, 160, 90);
    }
    window.show();
}

Harness::Harness(const QString& library) : front(0, library), rear(0, library) {
    PlaybackContext context;
    context.window = &view.window;
    context.catalog = &catalog;
    context.presenter = &presenter;
    context.view = &view;
    logic = std::make_unique<PlaybackLogic>(context, &front, &rear);
    view.window.logic = logic.get();
}

// Hands the playback messages on as the main window does.
bool HarnessWindow::event(QEvent* event) {
    if (DispatchWindowMessage(event, [this](unsigned m, quintptr, qintptr) {
            return logic && logic->OnWindowMessage(m) ? 1 : 0;
        }))
        return true;
    return QWidget::event(event);
}

void Harness::AddGroup(const QStringList& paths) {
    RecordingGroup group;
    group.number = int(catalog.Groups().size());
    group.firstFile = int(catalog.Files().size());
    group.fileCount = int(paths.size());
    for (const QString& path : paths) {
        const QFileInfo info(path);
        RecordingFile file;
        file.root = info.absolutePath() + "/";
        file.folder = "";
        file.fileName = info.fileName();
        file.groupStart = group.firstFile;
        file.info.variant = kChunkVariant;
        file.info.fileSize = uint64_t(info.size());
        FileListRow row;
        row.groupNumber = group.number;
        row.indexInGroup = int(catalog.Files().size()) - group.firstFile;
        row.fileIndex = int(catalog.Files().size());
        CatalogStaging::Rows(catalog).push_back(row);
        CatalogStaging::Files(catalog).push_back(file);
    }
    CatalogStaging::Groups(catalog).push_back(group);
}

void AnswerFolderBrowser(const QString& folder, QString* seenDirectory) {
    QTimer::singleShot(200, [folder, seenDirectory] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (seenDirectory)
            *seenDirectory = dialog->directory().absolutePath();
        if (folder.isEmpty()) {
            dialog->reject();
            return;
        }
        if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit"))
            edit->setText(folder);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

void HarnessTest::SetUp() {
    ScratchSettingsTest::SetUp();
    h_ = std::make_unique<Harness>();
    h_->Logic().Initialise();
}

void HarnessTest::TearDown() {
    h_.reset();
    ScratchSettingsTest::TearDown();
}

QTemporaryDir* RecordedPairTest::videos_ = nullptr;

void RecordedPairTest::SetUpTestSuite() {
    videos_ = new QTemporaryDir;
    for (const char* name : {"MOVF/0001F.MOV", "MOVR/0001R.MOV", "MOVF/0002F.MOV"}) {
        QString error;
        ASSERT_TRUE(MakeTestVideo(videos_->filePath(name), {20.0, 160, 90, false}, &error))
            << error.toStdString();
    }
}

void RecordedPairTest::TearDownTestSuite() {
    delete videos_;
    videos_ = nullptr;
}

void RecordedPairTest::SetUp() {
    HarnessTest::SetUp();
    ASSERT_EQ(h_->front.m_bAvailable, 1);
    h_->AddGroup({videos_->filePath("MOVF/0001F.MOV"), videos_->filePath("MOVR/0001R.MOV")});
    h_->AddGroup({videos_->filePath("MOVF/0002F.MOV")});
}
