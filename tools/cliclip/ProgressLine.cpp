#include "ProgressLine.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex g_mutex;
QByteArray g_text; // what the line shows, "" when no line is open
QtMessageHandler g_previous = nullptr;

void Write(const QByteArray& bytes) {
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    fflush(stderr);
}

} // namespace

ProgressLine::ProgressLine() : previous_(qInstallMessageHandler(&ProgressLine::OnMessage)) {
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_previous = previous_;
    g_text.clear();
}

ProgressLine::~ProgressLine() {
    End();
    qInstallMessageHandler(previous_);
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_previous = nullptr;
}

void ProgressLine::Show(const QString& text) {
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_text = text.toLocal8Bit();
    Write('\r' + g_text);
}

void ProgressLine::End() {
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (g_text.isEmpty())
        return;
    Write("\n");
    g_text.clear();
}

void ProgressLine::OnMessage(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_text.isEmpty())
        Write("\n");
    if (g_previous)
        g_previous(type, context, message);
    else
        Write(qFormatLogMessage(type, context, message).toLocal8Bit() + '\n');
    if (!g_text.isEmpty())
        Write(g_text);
}
