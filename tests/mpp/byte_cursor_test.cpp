// SPDX-License-Identifier: MIT
// The reader's one way of reading bytes: a read past the end is an error the caller sees,
// never a zero taken for data, and a sub-range cannot read into its neighbour.
#include <gtest/gtest.h>

#include "mpp/byte_cursor.h"
#include "mpp/generation_layout.h"

namespace nerin::mpp {
namespace {

TEST(ByteCursor, ReadsAdvanceAndAReadPastTheEndIsAStickyError) {
  const std::string bytes("\x01\x02\x03\x04\x05\x06\x07", 7);
  ByteCursor in(bytes);
  EXPECT_EQ(in.U16(), 0x0201);
  EXPECT_EQ(in.U32(), 0x06050403u);
  EXPECT_TRUE(in.Ok());
  EXPECT_EQ(in.Remaining(), 1u);
  in.U16();  // one byte left
  EXPECT_TRUE(in.Failed());
  EXPECT_EQ(in.U8(), 0);  // still failed: later reads give nothing either
  EXPECT_TRUE(in.Failed());
}

TEST(ByteCursor, ChildrenAndRangesStayInsideTheirBytes) {
  const std::string bytes("\x0A\x00\x0B\x00\x0C\x00", 6);
  ByteCursor in(bytes);
  ByteCursor first = in.Child(4);
  EXPECT_EQ(first.U16(), 0x0A);
  EXPECT_EQ(first.U16(), 0x0B);
  first.U16();
  EXPECT_TRUE(first.Failed()) << "the child ends where its range ends";
  EXPECT_TRUE(in.Ok());
  EXPECT_EQ(in.U16(), 0x0C);
  EXPECT_TRUE(in.Child(1).Failed());
  EXPECT_TRUE(in.Failed()) << "a child past the end fails its parent too";

  const ByteCursor whole(bytes);
  struct Probe {
    std::size_t offset;
    std::size_t count;
    bool ok;
  };
  for (const Probe& p : {Probe{0, 6, true}, Probe{6, 0, true}, Probe{5, 2, false}, Probe{7, 0, false},
                         Probe{2, std::string_view::npos, true}, Probe{SIZE_MAX, 1, false}}) {
    EXPECT_EQ(whole.Range(p.offset, p.count).Ok(), p.ok) << p.offset << "+" << p.count;
  }
  EXPECT_EQ(whole.U16At(4), 0x0C);
  EXPECT_FALSE(whole.U16At(5).has_value());
  EXPECT_FALSE(whole.I32At(SIZE_MAX - 1).has_value());
  EXPECT_FALSE(whole.Range(2, 2).U32At(0).has_value());
}

// One row per kind of file: what the reading code reads is chosen once, here.
TEST(GenerationLayout, RowsForEachGenerationAndSaver) {
  struct Row {
    Generation generation;
    std::int64_t savingVersion;
    std::uint16_t assignmentLastOffset;
    RecordLayout layout;
    std::string_view dataStorage;
    std::size_t lagOffset;
    bool manual;
  };
  for (const Row& r : {Row{Generation::Mpp9, 9, 134, RecordLayout::Classic, "   19", 16, false},
                       Row{Generation::Mpp9, 14, 102, RecordLayout::Early2010, "   19", 16, false},
                       Row{Generation::Mpp12, 12, 134, RecordLayout::Classic, "   112", 16, false},
                       Row{Generation::Mpp14, 14, 102, RecordLayout::Early2010, "   114", 16, true},
                       Row{Generation::Mpp14, 16, 102, RecordLayout::Late, "   114", 14, true}}) {
    const GenerationLayout row = ChooseGenerationLayout(r.generation, r.savingVersion, r.assignmentLastOffset);
    EXPECT_EQ(row.layout, r.layout);
    EXPECT_EQ(row.dataStorage, r.dataStorage);
    EXPECT_EQ(row.link.lagOffset, r.lagOffset);
    EXPECT_EQ(row.manual.has_value(), r.manual);
    EXPECT_EQ(row.assignmentRecordSize, r.assignmentLastOffset == 134 ? 142u : 110u);
  }
}

}  // namespace
}  // namespace nerin::mpp
