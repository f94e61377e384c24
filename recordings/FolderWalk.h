#pragma once
#include <QString>
#include <functional>

// Depth-first walk of a folder tree in name order. Hidden and system entries
// are skipped, symbolic links to folders are not followed, and folders more
// than kMaxFolderDepth levels below the root are not entered.
namespace FolderWalk {

constexpr int kMaxFolderDepth = 40;

struct Entry {
    QString folder; // relative to the root, trailing "/"; "" for the root itself
    QString name;
    unsigned attributes = 0; // FileAttributes bits
};

// Calls visit for every file; root should end with "/".
void Walk(const QString& root, const std::function<void(const Entry&)>& visit);

} // namespace FolderWalk
