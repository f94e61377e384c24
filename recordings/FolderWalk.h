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

using Visitor = std::function<void(const Entry&)>;

// Why a file is reported instead of visited.
enum class Unlisted {
    // Its name, or a folder name above it, is not valid UTF-8: such a path
    // cannot be opened through text.
    NotText,
    // It lies more than kMaxFolderDepth folders down, or its path is longer
    // than the system opens.
    TooDeep,
};
// A file that is only reported, with its path below the root and each
// undecodable byte written \xNN.
using UnreadableVisitor = std::function<void(const QString& shownPath, Unlisted why)>;

// Calls visit for every file and unreadable for every file that cannot be
// named; root should end with "/".
void Walk(const QString& root, const Visitor& visit, const UnreadableVisitor& unreadable = {});

} // namespace FolderWalk
