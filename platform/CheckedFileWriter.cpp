#include "platform/CheckedFileWriter.h"

CheckedFileWriter::CheckedFileWriter(const QString& path) : file_(path) {}

bool CheckedFileWriter::Fail(const QString& why) {
    if (!failed_)
        error_ = why;
    failed_ = true;
    if (file_.isOpen())
        file_.cancelWriting();
    return false;
}

bool CheckedFileWriter::Open() {
    written_ = 0;
    failed_ = false;
    error_.clear();
    if (!file_.open(QIODevice::WriteOnly))
        return Fail(file_.errorString());
    return true;
}

bool CheckedFileWriter::Write(const char* data, qint64 size) {
    if (failed_ || !file_.isOpen())
        return Fail(error_.isEmpty() ? QStringLiteral("not open") : error_);
    const qint64 n = file_.write(data, size);
    if (n != size)
        return Fail(file_.errorString());
    written_ += n;
    return true;
}

bool CheckedFileWriter::Commit(qint64 expectedSize) {
    if (!file_.isOpen())
        return Fail(error_.isEmpty() ? QStringLiteral("not open") : error_);
    // Data still buffered reaches the disk only here; a failure of this last
    // write is not seen by commit() itself.
    if (!failed_ && !file_.flush())
        Fail(file_.errorString());
    if (!failed_ && file_.error() != QFileDevice::NoError)
        Fail(file_.errorString());
    if (!failed_ && expectedSize >= 0 && (written_ != expectedSize || file_.size() != expectedSize))
        Fail(QStringLiteral("%1 of %2 bytes written").arg(file_.size()).arg(expectedSize));
    if (failed_) {
        file_.commit(); // removes the temporary file
        return false;
    }
    if (!file_.commit())
        return Fail(file_.errorString());
    return true;
}

void CheckedFileWriter::Cancel() {
    if (!file_.isOpen())
        return;
    Fail(QStringLiteral("cancelled"));
    file_.commit();
}

bool CheckedFileWriter::WriteFile(const QString& path, const QByteArray& bytes, QString* error) {
    CheckedFileWriter writer(path);
    const bool ok = writer.Open() && writer.Write(bytes) && writer.Commit(bytes.size());
    if (!ok && error)
        *error = writer.ErrorString();
    return ok;
}
