#include "ProcessTree.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <unistd.h>

namespace {

struct ProcStat {
    int ppid = 0;
    double cpuSeconds = 0;
};

// Fields after the command name, which may hold blanks and parentheses.
bool ReadStat(int pid, ProcStat* out) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = f.readAll();
    const int close = text.lastIndexOf(')');
    if (close < 0)
        return false;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    // state ppid ... utime (14th field overall) stime (15th)
    if (fields.size() < 13)
        return false;
    static const double ticks = double(sysconf(_SC_CLK_TCK));
    out->ppid = fields[1].toInt();
    out->cpuSeconds = (fields[11].toDouble() + fields[12].toDouble()) / ticks;
    return true;
}

double RollupKiB(int pid, const QByteArray& key) {
    QFile f(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toDouble();
    return 0;
}

// This process and its descendants, with their stat lines.
QMap<int, ProcStat> Tree() {
    QMap<int, ProcStat> all;
    for (const QString& name : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        const int pid = name.toInt(&number);
        ProcStat s;
        if (number && ReadStat(pid, &s))
            all.insert(pid, s);
    }
    QMap<int, ProcStat> tree;
    tree.insert(getpid(), all.value(getpid()));
    for (bool grown = true; grown;) {
        grown = false;
        for (auto it = all.begin(); it != all.end(); ++it) {
            if (!tree.contains(it.key()) && tree.contains(it->ppid)) {
                tree.insert(it.key(), *it);
                grown = true;
            }
        }
    }
    return tree;
}

} // namespace

ProcessTreeSample SampleProcessTree(bool withMemory) {
    ProcessTreeSample sample;
    const QMap<int, ProcStat> tree = Tree();
    for (auto it = tree.begin(); it != tree.end(); ++it) {
        sample.cpuSeconds += it->cpuSeconds;
        if (withMemory) {
            sample.pssMiB += RollupKiB(it.key(), "Pss:") / 1024.0;
            sample.rssMiB += RollupKiB(it.key(), "Rss:") / 1024.0;
        }
        ++sample.processes;
    }
    return sample;
}

double ChildrenCpuSeconds() {
    double total = 0;
    const QMap<int, ProcStat> tree = Tree();
    for (auto it = tree.begin(); it != tree.end(); ++it)
        if (it.key() != getpid())
            total += it->cpuSeconds;
    return total;
}
