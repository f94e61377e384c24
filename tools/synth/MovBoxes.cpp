#include "tools/synth/MovBoxes.h"

#include <QtEndian>

namespace synth {

void AppendBe16(QByteArray& out, uint16_t v) {
    char b[2];
    qToBigEndian<quint16>(v, b);
    out.append(b, 2);
}

void AppendBe32(QByteArray& out, uint32_t v) {
    char b[4];
    qToBigEndian<quint32>(v, b);
    out.append(b, 4);
}

void PutBe32(QByteArray& data, int64_t offset, uint32_t v) {
    qToBigEndian<quint32>(v, data.data() + offset);
}

uint32_t GetBe32(const QByteArray& data, int64_t offset) {
    return qFromBigEndian<quint32>(data.constData() + offset);
}

std::optional<std::vector<Box>> ReadBoxes(const QByteArray& data, int64_t begin, int64_t end) {
    std::vector<Box> boxes;
    int64_t p = begin;
    while (p + 8 <= end) {
        Box b;
        b.offset = p;
        b.type = data.mid(p + 4, 4);
        b.size = GetBe32(data, p);
        if (b.size == 1) {
            if (p + 16 > end)
                return std::nullopt;
            b.headerSize = 16;
            b.size = int64_t(qFromBigEndian<quint64>(data.constData() + p + 8));
        } else if (b.size == 0) {
            b.size = end - p;
        }
        if (b.size < b.headerSize || b.End() > end)
            return std::nullopt;
        boxes.push_back(b);
        p = b.End();
    }
    if (p != end)
        return std::nullopt;
    return boxes;
}

std::optional<Box> FindPath(const QByteArray& data, const Box& parent,
                            const std::vector<QByteArray>& path) {
    Box current = parent;
    for (const QByteArray& type : path) {
        const auto children = ReadBoxes(data, current.PayloadOffset(), current.End());
        if (!children)
            return std::nullopt;
        bool found = false;
        for (const Box& child : *children) {
            if (child.type == type) {
                current = child;
                found = true;
                break;
            }
        }
        if (!found)
            return std::nullopt;
    }
    return current;
}

QByteArray MakeBox(const char* type, const QByteArray& payload) {
    QByteArray box;
    box.reserve(8 + payload.size());
    AppendBe32(box, uint32_t(8 + payload.size()));
    box.append(type, 4);
    box.append(payload);
    return box;
}

QByteArray MakeFullBox(const char* type, uint8_t version, uint32_t flags,
                       const QByteArray& payload) {
    QByteArray body;
    AppendBe32(body, (uint32_t(version) << 24) | (flags & 0xFFFFFF));
    body.append(payload);
    return MakeBox(type, body);
}

bool SetBoxSize(QByteArray& data, const Box& box, int64_t newSize) {
    if (box.headerSize == 16) {
        qToBigEndian<quint64>(quint64(newSize), data.data() + box.offset + 8);
        return true;
    }
    if (newSize > int64_t(UINT32_MAX))
        return false;
    PutBe32(data, box.offset, uint32_t(newSize));
    return true;
}

} // namespace synth
