// Writing a big file in pieces, each told to a progress that may stop the write: the atomic
// writes of TextFile.h, for a save that runs beside the window.
#pragma once

#include "platform/TextFile.h"

#include <functional>

// The progress of a write, told the bytes written so far after each piece (on the thread that
// writes); false stops the write there.
using WriteProgress = std::function<bool(qint64 written, qint64 total)>;

struct PieceWriteResult {
    TextWriteResult result;
    // The progress said stop: nothing was written, the old file stands.
    bool stopped = false;
};

// The pieces a big file is written in.
constexpr qsizetype WritePiece = 1 << 20;

PieceWriteResult writeTextFileInPieces(const QString& path, const QString& text,
                                       TextEncoding encoding, const WriteProgress& progress);
PieceWriteResult writeFileInPieces(const QString& path, const QByteArray& bytes,
                                   const WriteProgress& progress);
