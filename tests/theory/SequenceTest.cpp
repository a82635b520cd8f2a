#include "theory/Sequence.h"

#include <gtest/gtest.h>

#include <vector>

namespace theory {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A file written out by hand: count 3, three used records with a different value at every
// field, and 21 unused records filled with bytes no step could hold.
Bytes HandMadeFile() {
    Bytes b(772, 0);
    Put32(b, 0, 3);
    // Record 0 at 4: the largest value of every field.
    const std::uint8_t head0[8] = {11, 43, 23, 16, 1, 0xAA, 0xBB, 0xCC};
    std::copy(head0, head0 + 8, b.begin() + 4);
    Put32(b, 12, 0xFFFFFFFF);  // -1
    Put32(b, 16, 0);
    Put32(b, 20, 14);
    Put32(b, 24, 3);
    Put32(b, 28, 7);
    Put32(b, 32, 12);
    // Record 1 at 36.
    const std::uint8_t head1[8] = {5, 10, 2, 1, 0, 0x01, 0x02, 0x03};
    std::copy(head1, head1 + 8, b.begin() + 36);
    for (int s = 0; s < 6; ++s)
        Put32(b, 44 + 4 * s, static_cast<std::uint32_t>(s + 1));
    // Record 2 at 68.
    const std::uint8_t head2[8] = {1, 0, 0, 2, 1, 0, 0, 0};
    std::copy(head2, head2 + 8, b.begin() + 68);
    Put32(b, 76, 8);
    Put32(b, 96, 0xFFFFFFFF);
    for (std::size_t i = 100; i < 772; ++i)
        b[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return b;
}

// 24 records of C Major, first shape, one bar; the count is left 0.
Bytes AllOneBar() {
    Bytes b(772, 0);
    for (std::size_t r = 0; r < 24; ++r)
        b[4 + 32 * r + 3] = 4;
    return b;
}

// A sequence unlike any decoded here, to show a refused file changes nothing.
Sequence Sentinel() {
    Sequence s;
    s.count = 1;
    s.steps[0] = {7, 3, 2, 8, 1, {9, 9, 9}, {-1, 3, 2, 0, 1, 0}};
    s.steps[5].root = 99;
    return s;
}

TEST(SequenceFileImage, FieldsSitAtTheirOffsets) {
    Bytes file = HandMadeFile();
    Sequence seq;
    ASSERT_EQ(DecodeSequence(file, seq), "");
    EXPECT_EQ(seq.count, 3);
    EXPECT_EQ(seq.steps[0],
              (SequenceStep{11, 43, 23, 16, 1, {0xAA, 0xBB, 0xCC}, {-1, 0, 14, 3, 7, 12}}));
    EXPECT_EQ(seq.steps[1], (SequenceStep{5, 10, 2, 1, 0, {1, 2, 3}, {1, 2, 3, 4, 5, 6}}));
    EXPECT_EQ(seq.steps[2], (SequenceStep{1, 0, 0, 2, 1, {0, 0, 0}, {8, 0, 0, 0, 0, -1}}));
    // An unused record keeps its bytes, though they are no step: record 3 starts at 100.
    EXPECT_EQ(seq.steps[3].root, static_cast<std::uint8_t>(100 * 7 + 3));
    EXPECT_EQ(seq.steps[3].unused[2], static_cast<std::uint8_t>(107 * 7 + 3));
    EXPECT_EQ(seq.steps[23].frets[5],
              0x18110A03);  // bytes 768..771: 7i+3 mod 256

    SequenceImage back = EncodeSequence(seq);
    EXPECT_EQ(Bytes(back.begin(), back.end()), file);
}

TEST(SequenceFileImage, AFreshSequenceIsAllZeros) {
    SequenceImage image = EncodeSequence(Sequence{});
    EXPECT_EQ(Bytes(image.begin(), image.end()), Bytes(772, 0));

    Sequence seq;
    seq.count = 24;
    seq.steps[23].frets[5] = -2;
    image = EncodeSequence(seq);
    EXPECT_EQ(image[0], 24);
    EXPECT_EQ(image[1] | image[2] | image[3], 0);
    EXPECT_EQ(Bytes(image.begin() + 768, image.end()), Bytes({0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(image[767], 0);
}

TEST(SequenceFileImage, BadCountOrSizeIsRefusedWhole) {
    const Bytes good = HandMadeFile();
    struct Case {
        const char* name;
        Bytes bytes;
    };
    std::vector<Case> cases{
        {"empty", {}}, {"771 bytes", Bytes(good.begin(), good.end() - 1)}, {"773 bytes", good}};
    cases.back().bytes.push_back(0);
    // Every record holds a good step, so only the count can be refused.
    for (std::uint32_t count : {0xFFFFFFFFu, 25u, 99u, 0x03000000u, 0x80000000u}) {
        Bytes b = AllOneBar();
        Put32(b, 0, count);
        cases.push_back({"count", b});
    }
    for (const Case& c : cases) {
        Sequence seq = Sentinel();
        std::string why = DecodeSequence(c.bytes, seq);
        EXPECT_FALSE(why.empty()) << c.name;
        EXPECT_EQ(why.find('\n'), std::string::npos) << c.name;
        EXPECT_EQ(seq, Sentinel()) << c.name;
        if (c.bytes.size() == 772) {
            EXPECT_NE(why.find("step count"), std::string::npos) << why;
        }
    }
    Sequence seq;
    EXPECT_NE(DecodeSequence(Bytes(771, 0), seq).find("771 bytes"), std::string::npos);
}

TEST(SequenceFileImage, CountsAtBothEndsAreTaken) {
    for (std::uint32_t count : {0u, 24u}) {
        Bytes b = AllOneBar();
        Put32(b, 0, count);
        Sequence seq = Sentinel();
        ASSERT_EQ(DecodeSequence(b, seq), "") << count;
        EXPECT_EQ(seq.count, static_cast<std::int32_t>(count));
        EXPECT_EQ(seq.steps[5].root, 0);
    }
}

// Each value is one past what the tables allow, written into the last used step (record
// 2) and then into the first unused one (record 3), where it is kept, not refused.
TEST(SequenceFileImage, StepFieldsOutsideTheTablesAreRefused) {
    struct Field {
        std::size_t offset;
        std::uint32_t value;
        int width;
        const char* name;
    };
    const Field fields[] = {
        {0, 12, 1, "root"},         {1, 44, 1, "chord type"},   {2, 24, 1, "shape"},
        {3, 0, 1, "length"},        {3, 3, 1, "length"},        {3, 32, 1, "length"},
        {4, 2, 1, "split"},         {8, 0xFFFFFFFE, 4, "fret"}, {28, 15, 4, "fret"},
        {8, 0xFFFFFF00, 4, "fret"},
    };
    for (const Field& f : fields) {
        for (std::size_t record : {2u, 3u}) {
            Bytes b = HandMadeFile();
            std::size_t at = 4 + 32 * record + f.offset;
            if (f.width == 1)
                b[at] = static_cast<std::uint8_t>(f.value);
            else
                Put32(b, at, f.value);
            Sequence seq = Sentinel();
            std::string why = DecodeSequence(b, seq);
            if (record == 2) {
                EXPECT_NE(why.find(f.name), std::string::npos) << f.name << " " << f.value;
                EXPECT_NE(why.find("step 3"), std::string::npos) << why;
                EXPECT_EQ(seq, Sentinel()) << f.name;
            } else {
                EXPECT_EQ(why, "") << f.name << " " << f.value;
                SequenceImage back = EncodeSequence(seq);
                EXPECT_EQ(Bytes(back.begin(), back.end()), b) << f.name;
            }
        }
    }
}

TEST(SequenceLength, Texts) {
    EXPECT_EQ(LengthText(1), "1/4 bar");
    EXPECT_EQ(LengthText(2), "1/2 bar");
    EXPECT_EQ(LengthText(4), "1 bar");
    EXPECT_EQ(LengthText(8), "2 bars");
    EXPECT_EQ(LengthText(16), "4 bars");
}

}  // namespace
}  // namespace theory
