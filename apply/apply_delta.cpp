#include "apply/apply_delta.h"

#include <cstdint>

#include "apply/progress.h"
#include "package/delta_ops.h"
#include "package/upgrade_session.h"
#include "streams/kv_stream.h"

namespace apply {

namespace {

constexpr std::uint32_t kPieceSize = 256;
// A copy from this position takes the bytes from wherever the old file's
// read position stands.
constexpr std::uint32_t kNoSeek = 0xFFFFFFFFu;

struct DeltaOperation {
  streams::TKVStream* source = nullptr;
  // AddDiff: the package, whose bytes are added to the source's.
  streams::TKVStream* differences = nullptr;
  bool hasPosition = false;
  std::uint32_t position = 0;
  std::uint32_t count = 0;
};

// The count operand that follows a copy's position, by the width its code
// names (8, 16 or 32 bits in steps of three codes).
std::uint32_t ReadCopyCount(streams::TKVStream& package, std::uint8_t widthIndex) {
  switch (widthIndex) {
    case 0:
      return package.ReadByte();
    case 1:
      return package.ReadWord();
    default:
      return package.ReadDword();
  }
}

// Decodes the operands of `code`. False for End, SetBase and the codes that
// carry nothing: they move no bytes. AddDiff exists only in extended
// packages; a classic package keeps its codes as one-byte no-ops.
bool Decode(std::uint8_t code, bool extended, streams::TKVStream& package,
            streams::TKVStream* oldFile, std::uint32_t& base, DeltaOperation& op) {
  switch (code) {
    case package::kOpInsert8:
      op.source = &package;
      op.count = package.ReadByte();
      return true;
    case package::kOpInsert16:
      op.source = &package;
      op.count = package.ReadWord();
      return true;
    case package::kOpInsert32:
      op.source = &package;
      op.count = package.ReadDword();
      return true;
    case package::kOpSetBase:
      base = static_cast<std::uint32_t>(package.ReadWord()) << 16;
      return false;
    case package::kOpCopyBase8:
    case package::kOpCopyBase16:
    case package::kOpCopyBase32: {
      const std::uint32_t offset = package.ReadWord();
      op.count = ReadCopyCount(package, static_cast<std::uint8_t>(code - package::kOpCopyBase8));
      op.position = base + offset;
      op.hasPosition = true;
      op.source = oldFile;
      return true;
    }
    case package::kOpCopyAbs8:
    case package::kOpCopyAbs16:
    case package::kOpCopyAbs32:
      op.position = package.ReadDword();
      op.count = ReadCopyCount(package, static_cast<std::uint8_t>(code - package::kOpCopyAbs8));
      op.hasPosition = true;
      op.source = oldFile;
      return true;
    case package::kOpAddDiff8:
    case package::kOpAddDiff16:
    case package::kOpAddDiff32:
      if (!extended) return false;
      op.position = package.ReadDword();
      op.count = ReadCopyCount(package, static_cast<std::uint8_t>(code - package::kOpAddDiff8));
      op.hasPosition = true;
      op.source = oldFile;
      op.differences = &package;
      return true;
    default:
      return false;
  }
}

// Where one call's bytes go: the output and how much it may still take.
// It takes the declared size and one byte more, so that a stream running
// past its size leaves a file that fails its check as a longer one would,
// and a tiny package can no longer fill a disk. No output takes nothing.
struct Destination {
  streams::TKVStream* output;
  std::uint64_t room;

  // How much of a piece the output still takes.
  std::uint32_t Takes(std::uint32_t piece) const {
    return room < piece ? static_cast<std::uint32_t>(room) : piece;
  }
};

// Moves one piece from the source to the destination. Package bytes that
// are not kept are still read, so that the next stream is found where it
// lies; old-file bytes are read without an output, as the format has always
// done, but not into an output that is full. False when the package ran out
// of data.
bool MovePiece(streams::TKVStream& package, streams::TKVStream* source, Destination& to,
               std::uint32_t piece) {
  if (source == nullptr) return true;
  const std::uint32_t kept = to.Takes(piece);
  if (kept != 0) {
    const std::uint32_t copied = to.output->CopyFrom(*source, kept);
    to.room -= kept;
    if (source == &package && copied < kept) return false;
  }
  if (source != &package && to.output != nullptr) return true;
  for (std::uint32_t i = kept; i < piece && source->Error() == 0; ++i) source->ReadByte();
  return source != &package || package.Error() == 0;
}

// One piece of an AddDiff. The difference bytes are read whatever else is
// there, so that the package stays in step; what either stream could not
// deliver is not written, as a short copy writes only what it read, and the
// old file is read only for what the output still takes (all of the piece
// without an output, as a copy reads it). False when the package ran out of
// data.
bool AddPiece(streams::TKVStream& differences, streams::TKVStream* oldFile, Destination& to,
              std::uint32_t piece) {
  std::uint8_t added[kPieceSize];
  const std::int32_t gotAdded = differences.ReadBlock(added, static_cast<std::int32_t>(piece));
  const bool inStep = gotAdded == static_cast<std::int32_t>(piece);
  if (oldFile == nullptr) return inStep;
  const std::uint32_t wanted = to.output == nullptr ? piece : to.Takes(piece);
  if (wanted == 0) return inStep;
  std::uint8_t bytes[kPieceSize];
  const std::int32_t gotOld = oldFile->ReadBlock(bytes, static_cast<std::int32_t>(wanted));
  if (to.output == nullptr) return inStep;
  to.room -= wanted;
  const std::int32_t got = gotAdded < gotOld ? gotAdded : gotOld;
  for (std::int32_t i = 0; i < got; ++i) bytes[i] = static_cast<std::uint8_t>(bytes[i] + added[i]);
  if (got > 0) to.output->WriteBlock(bytes, got);
  return inStep;
}

}  // namespace

int ApplyDelta(package::UpgradeSession& session, streams::TKVStream* oldFile,
               streams::TKVStream* output, std::uint32_t newSize) {
  streams::TKVStream& package = *session.package;
  const bool extended = session.Kind() == package::PackageKind::kExtended;
  std::uint32_t base = 0;
  Destination to{output, output != nullptr ? std::uint64_t{newSize} + 1 : 0};
  // Bytes this stream has accounted for. A valid stream accounts for its
  // declared size exactly; past it, a copy that can move nothing is counted
  // in one step instead of piece by piece, so that its count costs nothing.
  std::uint64_t counted = 0;
  UpdateProgress(session);
  for (;;) {
    // The end of the package data reads as End too.
    const std::uint8_t code = package.ReadByte();
    if (code == package::kOpEnd) return 0;
    DeltaOperation op;
    if (!Decode(code, extended, package, oldFile, base, op)) continue;
    // The seek comes before the count is looked at: a copy of nothing still
    // moves the old file's read position, and later copies may rely on it.
    if (op.hasPosition && op.position != kNoSeek && op.source != nullptr) {
      op.source->Seek(op.position);
    }
    while (op.count != 0) {
      std::uint32_t piece = op.count >= kPieceSize ? kPieceSize : op.count;
      const bool readsPackage = op.source == &package || op.differences != nullptr;
      const bool movesNothing = !readsPackage && (op.source == nullptr || to.room == 0);
      if (counted > newSize && movesNothing) {
        piece = op.count;
      } else if (op.differences != nullptr ? !AddPiece(*op.differences, op.source, to, piece)
                                           : !MovePiece(package, op.source, to, piece)) {
        return 0;
      }
      op.count -= piece;
      counted += piece;
      session.bytesDone += piece;
      UpdateProgress(session);
      if (PollCancel(session) == 1) return 1;
    }
  }
}

}  // namespace apply
