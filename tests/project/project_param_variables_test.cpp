#include "script/project_param_variables.h"

#include <gtest/gtest.h>

#include "expr/custom_param.h"
#include "expr/param_types.h"
#include "tests/project/test_support.h"

namespace mobu {
namespace {

using testing::J;

TEST(ProjectParamVariables, CreatesMissingStatusVariablesOnly)
{
    TParamCollection table;
    // Restored from the status data before the predefined variables are made.
    table.AddVariable("stored", PT_INT, TVarScope::Status)->Value()->SetInteger(41);
    TProjectParamVariables variables(table);

    std::vector<TPredefinedVariable> records(6);
    records[0] = {kPredefinedInt, "stored", 5, 0, false, ""};
    records[1] = {kPredefinedInt, J(u8"回数"), -3, 0, false, ""};
    records[2] = {kPredefinedReal, "rate", 0, 2.5L, false, ""};
    records[3] = {kPredefinedFlag, "seen", 0, 0, true, ""};
    records[4] = {kPredefinedString, "name", 0, 0, false, J(u8"太郎")};
    records[5] = {9, "odd", 0, 0, false, ""};
    for (const auto& record : records) {
        if (!variables.Exists(record.name)) variables.CreateStatusVariable(record);
    }

    EXPECT_EQ(table.Find("STORED")->Value()->GetInteger(), 41);
    TParamCollectionItem* count = table.Find(J(u8"回数"));
    ASSERT_NE(count, nullptr);
    EXPECT_TRUE(count->IsStatus);
    EXPECT_EQ(count->VarType(), PT_INT);
    EXPECT_EQ(count->Value()->GetInteger(), -3);
    EXPECT_EQ(table.Find("rate")->VarType(), PT_FLOAT);
    EXPECT_EQ(table.Find("rate")->Value()->GetFloat(), 2.5L);
    EXPECT_TRUE(table.Find("seen")->Value()->GetFlag());
    EXPECT_EQ(table.Find("name")->Value()->GetString(), J(u8"太郎"));
    EXPECT_TRUE(table.Find("name")->IsStatus);
    EXPECT_EQ(table.Find("odd"), nullptr);
}

}  // namespace
}  // namespace mobu
