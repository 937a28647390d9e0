#include "common/correction_file.h"

#include "common/paths.h"

#include "framework/core/error.h"
#include "framework/core/open_file.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"

namespace common {

namespace {

fw::OpenFile openCorrectionFile(int recordLength) {
  return fw::OpenFile(files::kCorrections, fw::FileMode::Record, fw::Share::ReadWrite,
                      recordLength);
}

// Record 1 with the given record length; "" when the file is empty.
fw::Str recordOne(int recordLength) {
  fw::OpenFile file = openCorrectionFile(recordLength);
  if (fw::recordCount(file) == 0) return {};
  fw::get(file, 1);
  return fw::recordBuffer(file);
}

std::int64_t correctionFileSize() {
  fw::OpenFile file = openCorrectionFile(kCorrectionRecordBytes);
  return fw::fileSize(file);
}

// Record 1 as bytes, or "" when the file holds nothing. A record cut short
// (the file was truncated by a copy or an editor) is not an error here: its
// bytes are read and the missing rest counts as blank, which makes those
// values empty (0) without leaving 0x00 bytes in a value cut short.
fw::Str readRecordOne() {
  const std::int64_t size = correctionFileSize();
  if (size <= 0) return {};
  if (size >= kCorrectionRecordBytes) return recordOne(kCorrectionRecordBytes);
  fw::Str bytes = recordOne(static_cast<int>(size));
  bytes.resize(kCorrectionRecordBytes, ' ');
  return bytes;
}

}  // namespace

CorrectionTable::CorrectionTable() {
  vertical.fill("0");
  horizontal.fill("0");
  vertical[0].clear();
  horizontal[0].clear();
}

const fw::Str& CorrectionTable::text(int item, Axis axis) const {
  return axis == Axis::Vertical ? vertical.at(item) : horizontal.at(item);
}

double CorrectionTable::dyMillimetres(int item) const { return fw::val(vertical.at(item)); }
double CorrectionTable::dxMillimetres(int item) const { return fw::val(horizontal.at(item)); }

fw::Str normaliseCorrection(const fw::Str& text) {
  fw::Str value = fw::trim(text);
  return fw::val(value) == 0 ? fw::Str("0") : value;
}

CorrectionTable readCorrections() {
  CorrectionTable table;
  const fw::Str record = readRecordOne();
  if (record.empty()) return table;
  table.hasRecord = true;
  for (const CorrectionSlot& slot : kCorrectionSlots) {
    // Half a character at the end of a slot is dropped, as when writing.
    const fw::Str bytes(slotBytes(record, slot.at));
    fw::Str value = fw::trim(fw::leftWhole(bytes, slot.at.widthBytes));
    (slot.axis == Axis::Vertical ? table.vertical : table.horizontal)[slot.item] = value;
  }
  return table;
}

void writeCorrections(const std::array<fw::Str, kChartItemCount + 1>& vertical,
                      const std::array<fw::Str, kChartItemCount + 1>& horizontal) {
  fw::Str record(kCorrectionRecordBytes, '\0');
  for (const CorrectionSlot& slot : kCorrectionSlots) {
    putSlot(record, slot.at,
            normaliseCorrection(slot.axis == Axis::Vertical ? vertical.at(slot.item)
                                                            : horizontal.at(slot.item)));
  }
  fw::OpenFile file = openCorrectionFile(kCorrectionRecordBytes);
  fw::setRecordBuffer(file, record);
  fw::put(file, 1);
}

}  // namespace common
