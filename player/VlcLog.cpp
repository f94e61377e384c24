#include "player/VlcLog.h"

#include "platform/LogCategories.h"
#include "player/VlcApi.h"

#include <QRegularExpression>
#include <cstdarg>
#include <cstdio>

namespace {

VlcLog& Shared() {
    static VlcLog log;
    return log;
}

// On libvlc's threads.
void Receive(void* data, int level, const libvlc_log_t* ctx, const char* fmt, va_list args) {
    // libvlc's debug lines run to hundreds a second; unread, they are not made.
    if (level < VlcLog::Error && !lcDiag().isDebugEnabled())
        return;
    const auto* api = static_cast<const VlcApi*>(data);
    char text[1024];
    std::vsnprintf(text, sizeof text, fmt, args);
    const char* module = nullptr;
    const char* object = nullptr;
    api->libvlc_log_get_context(ctx, &module, nullptr, nullptr);
    api->libvlc_log_get_object(ctx, &object, nullptr, nullptr);
    const QString line =
        QStringLiteral("libvlc %1 %2: %3")
            .arg(QString::fromUtf8(module ? module : "?"), QString::fromUtf8(object ? object : "?"),
                 QString::fromUtf8(text).simplified());
    if (Shared().ToTerminal(level, line))
        qCWarning(lcDiag).noquote() << line;
    else
        qCDebug(lcDiag).noquote() << line;
}

} // namespace

void VlcLog::Attach(const VlcApi& api, libvlc_instance_t* instance) {
    // The functions outlive every instance: an instance is released before
    // the library is unloaded.
    api.libvlc_log_set(instance, &Receive, const_cast<VlcApi*>(&api));
}

bool VlcLog::ToTerminal(int level, const QString& line) {
    if (level < Error)
        return false;
    // Counts and addresses change between repeats of one complaint.
    static const QRegularExpression numbers(QStringLiteral("(0x)?[0-9a-fA-F]*[0-9][0-9a-fA-F]*"));
    QString key = line;
    key.replace(numbers, QStringLiteral("#"));
    std::lock_guard<std::mutex> lock(mutex_);
    if (seen_.contains(key) || seen_.size() >= kRemembered)
        return false;
    seen_.insert(key);
    return true;
}
