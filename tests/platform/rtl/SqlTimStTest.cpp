#include "platform/rtl/SqlTimSt.h"

#include <gtest/gtest.h>

namespace {

TEST(SqlTimSt, ConvertsToAndFromDateTime)
{
    const TDateTime dt = EncodeDate(2024, 3, 5) + EncodeTime(13, 4, 5, 678);
    const TSQLTimeStamp ts = DateTimeToSQLTimeStamp(dt);
    EXPECT_EQ(ts.Year, 2024);
    EXPECT_EQ(ts.Month, 3);
    EXPECT_EQ(ts.Day, 5);
    EXPECT_EQ(ts.Hour, 13);
    EXPECT_EQ(ts.Minute, 4);
    EXPECT_EQ(ts.Second, 5);
    EXPECT_EQ(ts.Fractions, 678u);
    EXPECT_NEAR(SQLTimeStampToDateTime(ts), dt, 1e-9);

    // the blank stamp (a zero-filled record) is the zero date
    EXPECT_EQ(SQLTimeStampToDateTime(TSQLTimeStamp{}), 0.0);
    TSQLTimeStamp bad = ts;
    bad.Month = 13;
    TDateTime unused = 0;
    EXPECT_FALSE(TrySQLTimeStampToDateTime(bad, unused));
    EXPECT_THROW(SQLTimeStampToDateTime(bad), EConvertError);
    bad = ts;
    bad.Fractions = 1000;
    EXPECT_FALSE(TrySQLTimeStampToDateTime(bad, unused));
}

TEST(SqlTimSt, CompareFieldByField)
{
    TSQLTimeStamp a = DateTimeToSQLTimeStamp(EncodeDate(2000, 1, 1));
    TSQLTimeStamp b = a;
    EXPECT_EQ(SQLTimeStampCompare(a, b), 0);
    b.Fractions = 1;
    EXPECT_EQ(SQLTimeStampCompare(a, b), -1);
    b = a;
    b.Year = -1;  // the year is signed
    EXPECT_EQ(SQLTimeStampCompare(a, b), 1);
    b = a;
    b.Hour = 40000;  // the other fields are not
    EXPECT_EQ(SQLTimeStampCompare(a, b), -1);
}

}  // namespace
