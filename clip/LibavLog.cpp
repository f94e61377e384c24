#include "clip/LibavLog.h"

#include "platform/LogCategories.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace {

struct Tally {
    QString path;
    int users = 1;
    int count = 0;
    QString first;
};

// Messages of no known file: each text once, then at 10, 100, ... repeats.
constexpr size_t kRememberedTexts = 256;

std::mutex g_mutex;
std::set<Tally*> g_tallies;
std::map<std::string, long> g_repeats;
thread_local void* t_reading = nullptr;

// The tally a context counts into: a reading context carries it in its
// opaque field; others are asked for their parent (a decoder's threads
// share their context's opaque field). Under g_mutex.
Tally* TallyOf(void* context) {
    for (int depth = 0; context && depth < 4; ++depth) {
        const AVClass* type = *static_cast<const AVClass* const*>(context);
        if (!type)
            return nullptr;
        void* opaque = nullptr;
        if (type == avformat_get_class())
            opaque = static_cast<AVFormatContext*>(context)->opaque;
        else if (type == avcodec_get_class())
            opaque = static_cast<AVCodecContext*>(context)->opaque;
        if (opaque) {
            Tally* tally = static_cast<Tally*>(opaque);
            return g_tallies.count(tally) ? tally : nullptr;
        }
        if (type->parent_log_context_offset <= 0)
            return nullptr;
        context = *reinterpret_cast<void**>(static_cast<char*>(context) +
                                            type->parent_log_context_offset);
    }
    return nullptr;
}

// The name libav gives the context ("h264", "mov,mp4,m4a,3gp,3g2,mj2");
// "NULL" for a decoder not yet opened says nothing.
QString ItemName(void* context) {
    const AVClass* type = context ? *static_cast<const AVClass* const*>(context) : nullptr;
    const QString name =
        type && type->item_name ? QString::fromUtf8(type->item_name(context)) : QString();
    return name == QLatin1String("NULL") ? QString() : name;
}

void Callback(void* context, int level, const char* format, va_list arguments) {
    const int shown = std::min(av_log_get_level(), AV_LOG_WARNING);
    const bool tracing = lcAv().isDebugEnabled();
    if (level > shown && !tracing)
        return;
    char text[1024];
    va_list copy;
    va_copy(copy, arguments);
    vsnprintf(text, sizeof text, format, copy);
    va_end(copy);
    // libav may send one line in parts.
    thread_local std::string pending;
    pending += text;
    if (pending.empty() || pending.back() != '\n')
        return;
    QString line = QString::fromUtf8(pending.data(), int(pending.size())).trimmed();
    pending.clear();
    if (line.isEmpty())
        return;
    const QString name = ItemName(context);
    if (!name.isEmpty())
        line = name + ": " + line;

    std::unique_lock<std::mutex> lock(g_mutex);
    Tally* tally = TallyOf(context);
    if (!tally && t_reading && g_tallies.count(static_cast<Tally*>(t_reading)))
        tally = static_cast<Tally*>(t_reading);
    if (tally) {
        if (level <= shown && tally->count++ == 0)
            tally->first = line;
        const QString path = tally->path;
        lock.unlock();
        qCDebug(lcAv).noquote() << path + ": " + line;
        return;
    }
    if (level > shown) {
        lock.unlock();
        qCDebug(lcAv).noquote() << line;
        return;
    }
    long times = 1;
    const std::string key = line.toStdString();
    if (auto found = g_repeats.find(key); found != g_repeats.end())
        times = ++found->second;
    else if (g_repeats.size() < kRememberedTexts)
        g_repeats.emplace(key, 1);
    lock.unlock();
    if (times == 1)
        qCWarning(lcAv).noquote() << line;
    else if (times == 10 || times == 100 || times == 1000 || times == 10000)
        qCWarning(lcAv).noquote() << QStringLiteral("%1 (%2 times so far)").arg(line).arg(times);
}

} // namespace

namespace LibavLog {

void Install() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(Callback); });
}

void* Open(const QString& path) {
    Install();
    Tally* tally = new Tally;
    tally->path = path;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_tallies.insert(tally);
    return tally;
}

void* Share(void* handle) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Tally* tally = static_cast<Tally*>(handle);
    if (!g_tallies.count(tally))
        return nullptr;
    ++tally->users;
    return tally;
}

void Close(void* handle) {
    Tally* tally = static_cast<Tally*>(handle);
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_tallies.count(tally) || --tally->users > 0)
            return;
        g_tallies.erase(tally);
    }
    if (tally->count == 1)
        qCWarning(lcAv).noquote() << QStringLiteral("%1: %2").arg(tally->path, tally->first);
    else if (tally->count > 1)
        qCWarning(lcAv).noquote() << QStringLiteral("%1: %2 (and %3 more messages)")
                                         .arg(tally->path, tally->first)
                                         .arg(tally->count - 1);
    delete tally;
}

Reading::Reading(void* tally) : previous_(t_reading) {
    t_reading = tally;
}

Reading::~Reading() {
    t_reading = previous_;
}

} // namespace LibavLog
