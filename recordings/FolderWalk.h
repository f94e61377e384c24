#pragma once
#include <QString>
#include <cstdint>
#include <functional>

// Depth-first walk of a folder tree in name order. Hidden and system entries
// are skipped, symbolic links to folders are not followed, and folders more
// than kMaxFolderDepth levels below the root are not entered. Folders are
// read through descriptors, each name opened relative to its folder, and the
// listing's file types spare a stat of each name.
namespace FolderWalk {

constexpr int kMaxFolderDepth = 40;

struct Entry {
    QString folder; // relative to the root, trailing "/"; "" for the root itself
    QString name;
    unsigned attributes = 0; // FileAttributes bits
    // The file, opened read-only (without blocking) to read its attributes,
    // and its size; -1 when it could not be opened. The walk closes it after
    // the visit unless the visitor takes it (and sets it to -1).
    int fd = -1;
    uint64_t size = 0;
};

using Visitor = std::function<void(Entry&)>;

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
