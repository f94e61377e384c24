#pragma once
#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

// Reading and writing ISO base media boxes (big-endian) held in memory.
namespace synth {

struct Box {
    QByteArray type;
    int64_t offset = 0;     // of the header
    int64_t headerSize = 8; // 16 with a 64-bit size
    int64_t size = 0;       // header included

    int64_t PayloadOffset() const { return offset + headerSize; }
    int64_t PayloadSize() const { return size - headerSize; }
    int64_t End() const { return offset + size; }
};

// The boxes that follow each other in data[begin, end); nothing when one of
// them does not fit.
std::optional<std::vector<Box>> ReadBoxes(const QByteArray& data, int64_t begin, int64_t end);

// The first child of `parent` (a container box) along `path`.
std::optional<Box> FindPath(const QByteArray& data, const Box& parent,
                            const std::vector<QByteArray>& path);

QByteArray MakeBox(const char* type, const QByteArray& payload);
// A "full box": version and flags before the payload.
QByteArray MakeFullBox(const char* type, uint8_t version, uint32_t flags,
                       const QByteArray& payload);

void AppendBe16(QByteArray& out, uint16_t v);
void AppendBe32(QByteArray& out, uint32_t v);
void PutBe32(QByteArray& data, int64_t offset, uint32_t v);
uint32_t GetBe32(const QByteArray& data, int64_t offset);

// Rewrites the size field of the box at `box`; false when it does not fit.
bool SetBoxSize(QByteArray& data, const Box& box, int64_t newSize);

} // namespace synth
