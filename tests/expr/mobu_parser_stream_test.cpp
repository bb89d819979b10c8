// The compiled-expression stream read back byte-exact, and damaged streams refused.
#include <gtest/gtest.h>

#include "core/mobu_error.h"
#include "expr/build_mobu_parser.h"
#include "expr/mobu_parser.h"
#include "expr/opcodes.h"

namespace mobu {
namespace {

std::string CompiledStream(const std::string& text)
{
    TBuildMobuParser compiler;
    compiler.Compile(text);
    return compiler.ToStream();
}

TEST(MobuParserStream, ReadsAndWritesEveryOperandKindByteExact)
{
    for (const char* text : {"a = IntToStr(7, 3) ++ 2.5 ++ TRUE ++ \"q\\\"\" ++ $10 ++ FALSE",
                             "x[i + 1, 2] = -3.25e10 * y", "SetArray(a, 1, 2, 3, 4, 5)", "", "DBDelete()"}) {
        std::string bytes = CompiledStream(text);
        TMobuParser parser;
        parser.LoadFromBytes(bytes);
        EXPECT_EQ(parser.ToStream(), bytes) << text;
        TMobuParser copy;
        copy.Assign(parser);
        EXPECT_EQ(copy.Operations(), parser.Operations());
    }
}

TEST(MobuParserStream, KeepsFunctionIdsAndArgumentCounts)
{
    TMobuParser parser;
    parser.LoadFromBytes(CompiledStream("Copy(s, 2)"));
    ASSERT_EQ(parser.Operations().size(), 2u);
    const TOpeData& call = parser.Operations()[0];
    EXPECT_EQ(call.Opcode, ocFunc);
    EXPECT_EQ(call.FuncId, 7);
    ASSERT_EQ(call.Operands.size(), 2u);
    EXPECT_EQ(call.Operands[0].Tag, otVariable);
    EXPECT_EQ(call.Operands[0].Text, "s");
    EXPECT_EQ(call.Operands[1].Tag, otInteger);
    EXPECT_EQ(call.Operands[1].Integer, 2);
}

TEST(MobuParserStream, RefusesEveryTruncationWithTheReadersMessage)
{
    std::string bytes = CompiledStream("a = Copy(\"abc\", 2, 1) ++ 1.5 ++ TRUE");
    for (size_t length = 0; length < bytes.size(); ++length) {
        ByteReader in(bytes.data(), length, "broken");
        TMobuParser parser;
        try {
            parser.LoadFromStream(in);
            ADD_FAILURE() << "accepted " << length << " bytes";
        } catch (const EMobuError& error) {
            EXPECT_STREQ(error.what(), "broken");
            EXPECT_TRUE(parser.Empty());
        }
    }
}

TEST(MobuParserStream, RefusesHostileCountsAndUnknownTags)
{
    ByteWriter huge;
    huge.I32(0x7FFFFFFF);
    huge.U8(1);
    EXPECT_THROW(TMobuParser().LoadFromBytes(huge.Bytes()), EMobuError);

    ByteWriter negative;
    negative.I32(-1);
    EXPECT_THROW(TMobuParser().LoadFromBytes(negative.Bytes()), EMobuError);

    ByteWriter operands;
    operands.I32(1);
    operands.U8(ocTo);
    operands.String("a");
    operands.I32(1000000);
    operands.U8(1);
    operands.I32(5);
    EXPECT_THROW(TMobuParser().LoadFromBytes(operands.Bytes()), EMobuError);

    ByteWriter tag;
    tag.I32(1);
    tag.U8(ocTo);
    tag.String("a");
    tag.I32(1);
    tag.U8(5);
    tag.I32(5);
    EXPECT_THROW(TMobuParser().LoadFromBytes(tag.Bytes()), EMobuError);
}

TEST(MobuParserStream, LoadsOpcodesOutsideTheTableForTheEvaluatorToRefuse)
{
    ByteWriter bytes;
    bytes.I32(1);
    bytes.U8(99);
    bytes.String("____0");
    bytes.I32(0);
    TMobuParser parser;
    parser.LoadFromBytes(bytes.Bytes());
    ASSERT_EQ(parser.Operations().size(), 1u);
    EXPECT_EQ(parser.Operations()[0].Opcode, 99);
    EXPECT_EQ(parser.ToStream(), bytes.Bytes());
}

}  // namespace
}  // namespace mobu
