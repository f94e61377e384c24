#pragma once
// The library's own record of what it keeps: each file's place, size and
// SHA-256, and each card file already met (by name, size and modification
// time, with a hash of its first and last bytes) with the content it had.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

struct sqlite3;

struct KeptFile {
    QString path;      // below the library, "YYYY/YYYY-MM-DD/NAME"
    QByteArray sha256; // 32 bytes
    int64_t size = 0;
    QByteArray quick; // QuickHash of the content
    int64_t modifiedNs = 0;
    bool locked = false;
    int64_t startUtcMs = 0;
};

// A card file as the import meets it.
struct SourceKey {
    QString name;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    QByteArray quick;
};

class LibraryIndex {
  public:
    LibraryIndex() = default;
    ~LibraryIndex();
    LibraryIndex(const LibraryIndex&) = delete;
    LibraryIndex& operator=(const LibraryIndex&) = delete;

    // Opens (creating when asked) the index of the library folder.
    bool Open(const QString& library, bool create, QString* error);

    // The kept file a card file met before turned out to be.
    std::optional<KeptFile> FindSource(const SourceKey& key);
    // Kept files that may hold the same content (same size and quick hash).
    std::vector<KeptFile> FindContent(int64_t size, const QByteArray& quick);
    std::optional<KeptFile> FindPath(const QString& path);

    bool AddFile(const KeptFile& file, QString* error);
    bool AddSource(const SourceKey& key, const QByteArray& sha256, QString* error);
    // Forgets a kept file the user deleted.
    bool RemoveFile(const QString& path, QString* error);

    std::vector<KeptFile> Files();

  private:
    std::vector<KeptFile> Select(const char* where, const std::vector<QByteArray>& texts,
                                 const std::vector<int64_t>& numbers);
    bool Exec(const char* sql, QString* error);

    sqlite3* db_ = nullptr;
};
