#include "builder/delta_writer.h"

namespace builder {

void DeltaWriter::Byte(std::uint8_t value) { bytes_.push_back(value); }

void DeltaWriter::Word(std::uint16_t value) {
  Byte(static_cast<std::uint8_t>(value));
  Byte(static_cast<std::uint8_t>(value >> 8));
}

void DeltaWriter::Dword(std::uint32_t value) {
  Word(static_cast<std::uint16_t>(value));
  Word(static_cast<std::uint16_t>(value >> 16));
}

void DeltaWriter::Literal(const std::uint8_t* bytes, std::uint32_t count) {
  if (count > 0) bytes_.insert(bytes_.end(), bytes, bytes + count);
  literalBytes_ += count;
}

void DeltaWriter::Differences(const std::uint8_t* bytes, std::uint32_t count) {
  if (count > 0) bytes_.insert(bytes_.end(), bytes, bytes + count);
  for (std::uint32_t i = 0; i < count; ++i) zeroDifferences_ += bytes[i] == 0;
}

void DeltaWriter::Insert8(const std::uint8_t* bytes, std::uint8_t count) {
  Byte(package::kOpInsert8);
  Byte(count);
  Literal(bytes, count);
}

void DeltaWriter::Insert16(const std::uint8_t* bytes, std::uint16_t count) {
  Byte(package::kOpInsert16);
  Word(count);
  Literal(bytes, count);
}

void DeltaWriter::Insert32(const std::uint8_t* bytes, std::uint32_t count) {
  Byte(package::kOpInsert32);
  Dword(count);
  Literal(bytes, count);
}

void DeltaWriter::SetBase(std::uint16_t high) {
  Byte(package::kOpSetBase);
  Word(high);
  base_ = static_cast<std::uint32_t>(high) << 16;
}

void DeltaWriter::CopyBase8(std::uint16_t offset, std::uint8_t count) {
  Byte(package::kOpCopyBase8);
  Word(offset);
  Byte(count);
}

void DeltaWriter::CopyBase16(std::uint16_t offset, std::uint16_t count) {
  Byte(package::kOpCopyBase16);
  Word(offset);
  Word(count);
}

void DeltaWriter::CopyBase32(std::uint16_t offset, std::uint32_t count) {
  Byte(package::kOpCopyBase32);
  Word(offset);
  Dword(count);
}

void DeltaWriter::CopyAbs8(std::uint32_t position, std::uint8_t count) {
  Byte(package::kOpCopyAbs8);
  Dword(position);
  Byte(count);
}

void DeltaWriter::CopyAbs16(std::uint32_t position, std::uint16_t count) {
  Byte(package::kOpCopyAbs16);
  Dword(position);
  Word(count);
}

void DeltaWriter::CopyAbs32(std::uint32_t position, std::uint32_t count) {
  Byte(package::kOpCopyAbs32);
  Dword(position);
  Dword(count);
}

void DeltaWriter::AddDiff8(std::uint32_t position, const std::uint8_t* differences,
                           std::uint8_t count) {
  Byte(package::kOpAddDiff8);
  Dword(position);
  Byte(count);
  Differences(differences, count);
}

void DeltaWriter::AddDiff16(std::uint32_t position, const std::uint8_t* differences,
                            std::uint16_t count) {
  Byte(package::kOpAddDiff16);
  Dword(position);
  Word(count);
  Differences(differences, count);
}

void DeltaWriter::AddDiff32(std::uint32_t position, const std::uint8_t* differences,
                            std::uint32_t count) {
  Byte(package::kOpAddDiff32);
  Dword(position);
  Dword(count);
  Differences(differences, count);
}

void DeltaWriter::NoOp(std::uint8_t code) { Byte(code); }

void DeltaWriter::End() { Byte(package::kOpEnd); }

void DeltaWriter::Insert(const std::uint8_t* bytes, std::uint32_t count) {
  if (count <= 0xFF) {
    Insert8(bytes, static_cast<std::uint8_t>(count));
  } else if (count <= 0xFFFF) {
    Insert16(bytes, static_cast<std::uint16_t>(count));
  } else {
    Insert32(bytes, count);
  }
}

void DeltaWriter::Copy(std::uint32_t position, std::uint32_t count) {
  if (BaseReaches(position)) {
    CopyRelative(position, count);
  } else {
    CopyAbsolute(position, count);
  }
}

void DeltaWriter::CopyRelative(std::uint32_t position, std::uint32_t count) {
  const std::uint16_t offset = static_cast<std::uint16_t>(position - base_);
  if (count <= 0xFF) {
    CopyBase8(offset, static_cast<std::uint8_t>(count));
  } else if (count <= 0xFFFF) {
    CopyBase16(offset, static_cast<std::uint16_t>(count));
  } else {
    CopyBase32(offset, count);
  }
}

void DeltaWriter::CopyAbsolute(std::uint32_t position, std::uint32_t count) {
  if (count <= 0xFF) {
    CopyAbs8(position, static_cast<std::uint8_t>(count));
  } else if (count <= 0xFFFF) {
    CopyAbs16(position, static_cast<std::uint16_t>(count));
  } else {
    CopyAbs32(position, count);
  }
}

void DeltaWriter::AddDiff(std::uint32_t position, const std::uint8_t* differences,
                          std::uint32_t count) {
  if (count <= 0xFF) {
    AddDiff8(position, differences, static_cast<std::uint8_t>(count));
  } else if (count <= 0xFFFF) {
    AddDiff16(position, differences, static_cast<std::uint16_t>(count));
  } else {
    AddDiff32(position, differences, count);
  }
}

}  // namespace builder
