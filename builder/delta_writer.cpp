#include "builder/delta_writer.h"

namespace builder {

void DeltaWriter::Field(std::uint8_t value) { bytes_.push_back(value); }

void DeltaWriter::Field(std::uint16_t value) {
  Field(static_cast<std::uint8_t>(value));
  Field(static_cast<std::uint8_t>(value >> 8));
}

void DeltaWriter::Field(std::uint32_t value) {
  Field(static_cast<std::uint16_t>(value));
  Field(static_cast<std::uint16_t>(value >> 16));
}

void DeltaWriter::Literal(const std::uint8_t* bytes, std::uint32_t count) {
  if (count > 0) bytes_.insert(bytes_.end(), bytes, bytes + count);
  literalBytes_ += count;
}

void DeltaWriter::Differences(const std::uint8_t* bytes, std::uint32_t count) {
  if (count > 0) bytes_.insert(bytes_.end(), bytes, bytes + count);
  for (std::uint32_t i = 0; i < count; ++i) zeroDifferences_ += bytes[i] == 0;
}

static_assert(package::kOpInsert16 == package::kOpInsert8 + 1 &&
                  package::kOpInsert32 == package::kOpInsert8 + 2 &&
                  package::kOpCopyBase16 == package::kOpCopyBase8 + 1 &&
                  package::kOpCopyBase32 == package::kOpCopyBase8 + 2 &&
                  package::kOpCopyAbs16 == package::kOpCopyAbs8 + 1 &&
                  package::kOpCopyAbs32 == package::kOpCopyAbs8 + 2 &&
                  package::kOpAddDiff16 == package::kOpAddDiff8 + 1 &&
                  package::kOpAddDiff32 == package::kOpAddDiff8 + 2,
              "Counted picks a width by the distance from the 8-bit form's code");

void DeltaWriter::Insert8(const std::uint8_t* bytes, std::uint8_t count) {
  Op(package::kOpInsert8, count);
  Literal(bytes, count);
}

void DeltaWriter::Insert16(const std::uint8_t* bytes, std::uint16_t count) {
  Op(package::kOpInsert16, count);
  Literal(bytes, count);
}

void DeltaWriter::Insert32(const std::uint8_t* bytes, std::uint32_t count) {
  Op(package::kOpInsert32, count);
  Literal(bytes, count);
}

void DeltaWriter::SetBase(std::uint16_t high) {
  Op(package::kOpSetBase, high);
  base_ = static_cast<std::uint32_t>(high) << 16;
}

void DeltaWriter::CopyBase8(std::uint16_t offset, std::uint8_t count) {
  Op(package::kOpCopyBase8, offset, count);
}

void DeltaWriter::CopyBase16(std::uint16_t offset, std::uint16_t count) {
  Op(package::kOpCopyBase16, offset, count);
}

void DeltaWriter::CopyBase32(std::uint16_t offset, std::uint32_t count) {
  Op(package::kOpCopyBase32, offset, count);
}

void DeltaWriter::CopyAbs8(std::uint32_t position, std::uint8_t count) {
  Op(package::kOpCopyAbs8, position, count);
}

void DeltaWriter::CopyAbs16(std::uint32_t position, std::uint16_t count) {
  Op(package::kOpCopyAbs16, position, count);
}

void DeltaWriter::CopyAbs32(std::uint32_t position, std::uint32_t count) {
  Op(package::kOpCopyAbs32, position, count);
}

void DeltaWriter::AddDiff8(std::uint32_t position, const std::uint8_t* differences,
                           std::uint8_t count) {
  Op(package::kOpAddDiff8, position, count);
  Differences(differences, count);
}

void DeltaWriter::AddDiff16(std::uint32_t position, const std::uint8_t* differences,
                            std::uint16_t count) {
  Op(package::kOpAddDiff16, position, count);
  Differences(differences, count);
}

void DeltaWriter::AddDiff32(std::uint32_t position, const std::uint8_t* differences,
                            std::uint32_t count) {
  Op(package::kOpAddDiff32, position, count);
  Differences(differences, count);
}

void DeltaWriter::NoOp(std::uint8_t code) { Op(code); }

void DeltaWriter::End() { Op(package::kOpEnd); }

void DeltaWriter::Insert(const std::uint8_t* bytes, std::uint32_t count) {
  Counted(package::kOpInsert8, count);
  Literal(bytes, count);
}

void DeltaWriter::Copy(std::uint32_t position, std::uint32_t count) {
  if (BaseReaches(position)) {
    CopyRelative(position, count);
  } else {
    CopyAbsolute(position, count);
  }
}

void DeltaWriter::CopyRelative(std::uint32_t position, std::uint32_t count) {
  Counted(package::kOpCopyBase8, count, static_cast<std::uint16_t>(position - base_));
}

void DeltaWriter::CopyAbsolute(std::uint32_t position, std::uint32_t count) {
  Counted(package::kOpCopyAbs8, count, position);
}

void DeltaWriter::AddDiff(std::uint32_t position, const std::uint8_t* differences,
                          std::uint32_t count) {
  Counted(package::kOpAddDiff8, count, position);
  Differences(differences, count);
}

}  // namespace builder
