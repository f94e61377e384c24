#pragma once
#include <QSaveFile>
#include <QString>

// Writes a file whole or not at all. The bytes go to a temporary file beside
// the target, which replaces it only when every write, the final flush and
// the size check succeeded; on any failure the target stays as it was and
// the caller is told. (QSaveFile alone renames a file whose last buffered
// bytes never reached the disk.)
class CheckedFileWriter {
  public:
    explicit CheckedFileWriter(const QString& path);
    CheckedFileWriter(const CheckedFileWriter&) = delete;
    CheckedFileWriter& operator=(const CheckedFileWriter&) = delete;

    bool Open();
    // False once any write has failed; later writes are refused.
    bool Write(const char* data, qint64 size);
    bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }
    qint64 Written() const { return written_; }

    // Puts the file in place. With expectedSize >= 0 the file must hold
    // exactly that many bytes. False, target untouched, on any failure.
    bool Commit(qint64 expectedSize = -1);
    // Abandons the file; the target stays as it was.
    void Cancel();

    QString ErrorString() const { return error_; }

    // Open, one write and commit.
    static bool WriteFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

  private:
    bool Fail(const QString& why);

    QSaveFile file_;
    qint64 written_ = 0;
    bool failed_ = false;
    QString error_;
};
