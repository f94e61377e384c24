#pragma once
// A small reader of MOV boxes for the synthesizer tests: headers, and the
// search for a child or a path of children within a limit.
#include "tests/support/core/SynthFixture.h"

#include <optional>

namespace synthtest {

struct BoxHeader {
    QByteArray type;
    qint64 payload = 0; // offset
    qint64 size = 0;    // payload size
};

inline BoxHeader HeaderAt(const QByteArray& d, qint64 p) {
    if (p + 8 > d.size())
        return {};
    qint64 size = Be32(d, p);
    qint64 header = 8;
    if (size == 1) {
        size = Be32(d, p + 12);
        header = 16;
    }
    return {d.mid(p + 4, 4), p + header, size - header};
}

// The first box of `type` among the boxes in [begin, begin + limit).
inline std::optional<BoxHeader> FindChild(const QByteArray& d, const QByteArray& type, qint64 begin,
                                          qint64 limit) {
    for (qint64 p = begin; p < begin + limit;) {
        const BoxHeader h = HeaderAt(d, p);
        if (h.type.isEmpty() || h.size < 0)
            return std::nullopt;
        if (h.type == type)
            return h;
        p = h.payload + h.size;
    }
    return std::nullopt;
}

inline std::optional<BoxHeader> FindPath(const QByteArray& d, const QList<QByteArray>& path,
                                         BoxHeader from) {
    for (const QByteArray& type : path) {
        const auto next = FindChild(d, type, from.payload, from.size);
        if (!next)
            return std::nullopt;
        from = *next;
    }
    return from;
}

} // namespace synthtest
