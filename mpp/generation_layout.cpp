// SPDX-License-Identifier: MIT
#include "mpp/generation_layout.h"

namespace nerin::mpp {

namespace {

constexpr std::uint16_t CLASSIC_ASSIGNMENT_LAST_OFFSET = 134;

GenerationLayout Mpp9Row() {
  GenerationLayout row;
  row.generation = Generation::Mpp9;
  row.digits = "9";
  row.dataStorage = "   19";
  row.outerProps = "Props9";
  row.oneByteVarKeys = true;
  row.varEntrySize = 8;
  row.blankTaskRecordSize = 8;
  row.calendar.hoursKey = 3;
  row.calendar.exceptionCountFirst = true;
  return row;
}

GenerationLayout Mpp12Row() {
  GenerationLayout row;
  row.generation = Generation::Mpp12;
  row.digits = "12";
  row.dataStorage = "   112";
  row.outerProps = "Props12";
  return row;
}

GenerationLayout Mpp14Row() {
  GenerationLayout row;
  row.generation = Generation::Mpp14;
  row.digits = "14";
  row.dataStorage = "   114";
  row.outerProps = "Props14";
  row.costResource = FlagBit{8, 0x10};
  return row;
}

// The flag positions and the link layout of the two task layouts.
void SetEarlyFlags(GenerationLayout& row) {
  row.milestone = FlagBit{8, 0x20};
  row.summary = FlagBit{9, 0x04};
  row.critical = FlagBit{8, 0x40};
  row.link = LinkLayout{20, 16, 14};
}

void SetLateFlags(GenerationLayout& row) {
  row.milestone = FlagBit{10, 0x02};
  row.summary = FlagBit{12, 0x08};
  row.critical = FlagBit{9, 0x40};
  row.link = LinkLayout{20, 14, 18};
  row.calendar.uidOffset = 8;
  row.calendar.baseOffset = 0;
  row.calendar.resourceOffset = 4;
}

}  // namespace

GenerationLayout ChooseGenerationLayout(Generation generation, std::int64_t savingVersion,
                                        std::uint16_t assignmentMapLargestOffset) {
  GenerationLayout row;
  switch (generation) {
    case Generation::Mpp9:
      row = Mpp9Row();
      break;
    case Generation::Mpp12:
      row = Mpp12Row();
      break;
    case Generation::Mpp14:
      row = Mpp14Row();
      break;
  }
  if (generation == Generation::Mpp14) {
    row.layout = savingVersion >= 15 ? RecordLayout::Late : RecordLayout::Early2010;
    row.manual = savingVersion >= 15 ? FlagBit{8, 0x80} : FlagBit{8, 0x08};
    row.active = savingVersion >= 15 ? FlagBit{8, 0x40} : FlagBit{8, 0x04};
  } else {
    // Files of the older generations written by an early 14.0 build carry that build's
    // layout; their assignment records are the shorter ones.
    row.layout = assignmentMapLargestOffset == CLASSIC_ASSIGNMENT_LAST_OFFSET || assignmentMapLargestOffset == 0
                     ? RecordLayout::Classic
                     : RecordLayout::Early2010;
  }
  if (row.layout == RecordLayout::Late) {
    SetLateFlags(row);
  } else {
    SetEarlyFlags(row);
  }
  // Flag1-20 follow the other flags of the item; the samples (saved by 14.0) show them in
  // the classic layout of MPP9 and MPP12 and in MPP14's 2010 layout.
  if (row.layout == RecordLayout::Classic) row.taskCustomFlagBase = 300;
  if (row.layout == RecordLayout::Early2010 && generation == Generation::Mpp14) row.taskCustomFlagBase = 285;
  if (row.layout != RecordLayout::Late) row.resourceCustomFlagBase = 228;
  if (row.layout == RecordLayout::Classic && generation == Generation::Mpp12) row.assignmentCustomFlagBase = 229;
  row.assignmentRecordSize = assignmentMapLargestOffset == CLASSIC_ASSIGNMENT_LAST_OFFSET ? 142 : 110;
  return row;
}

}  // namespace nerin::mpp
