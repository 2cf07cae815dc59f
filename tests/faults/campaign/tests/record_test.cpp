// The record a run leaves, and the injection points it yields: a site's first call and its second,
// where each has a failure to give, in the order the run made them.
#include <gtest/gtest.h>

#include <sstream>

#include "record.h"

namespace {

using fault_campaign::InjectionPoints;
using fault_campaign::ReadLog;
using fault_campaign::ReadRecord;

TEST(Record, YieldsEachSitesFirstAndSecondFailableCallInTheRunsOrder) {
  std::istringstream text(
      "call\tmsvcrt.dll!fread\t8b13\t1\t3\t1\t1\t40\t44\t48\t-\n"
      "call\tKERNEL32.dll!LoadLibraryExA\t7a26\t1\t1\t1\t-\t60\t0\t60\twinmm.dll\n"
      "call\tmsvcrt.dll!memcpy\t8b20\t1\t9\t0\t0\t41\t45\t49\t-\n"          // nothing to fail
      "call\tUSER32.dll!SendMessageA\t7c10\t3\t2\t0\t1\t90\t95\t95\t-\n"   // only its second fails
      "not a record line\n");
  const auto record = ReadRecord(text);
  ASSERT_EQ(record.size(), 4u);
  EXPECT_EQ(record[1].detail, "winmm.dll");
  EXPECT_EQ(record[0].lastSequence, 48u);
  const auto points = InjectionPoints(record);
  ASSERT_EQ(points.size(), 4u);
  EXPECT_EQ(points[0].import, "msvcrt.dll!fread");
  EXPECT_EQ(points[0].call, 1);
  EXPECT_EQ(points[1].import, "msvcrt.dll!fread");
  EXPECT_EQ(points[1].call, 2);
  EXPECT_EQ(points[1].sequence, 44u);
  EXPECT_EQ(points[2].import, "KERNEL32.dll!LoadLibraryExA");
  EXPECT_EQ(points[3].import, "USER32.dll!SendMessageA");
  EXPECT_EQ(points[3].call, 2);
  EXPECT_EQ(points[3].step, 3);
  EXPECT_EQ(fault_campaign::CallsOf(record, "msvcrt.dll!memcpy"), 9u);
}

TEST(Record, LogLinesKeepTheirTextWhole) {
  std::istringstream text("injected\tmsvcrt.dll!fopen\t8aef\t1\tNULL, EACCES\n"
                          "misuse\tUSER32.dll!SendMessageA\t7b20\t6\ta null window\n");
  const auto log = ReadLog(text);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].kind, "injected");
  EXPECT_EQ(log[0].text, "NULL, EACCES");
  EXPECT_EQ(log[1].site, 0x7b20u);
  EXPECT_EQ(log[1].step, 6);
}

}  // namespace
