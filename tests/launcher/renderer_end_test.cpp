#include <gtest/gtest.h>

#include <csignal>

#include "service_core.h"

namespace orbilon {
namespace {

TEST(ServiceEnd, OnlyACleanExitIsQuiet) {
    EXPECT_EQ(DescribeRendererEnd(0).exitStatus, 0);
    EXPECT_TRUE(DescribeRendererEnd(0).line.empty());
    const RendererEnd failed = DescribeRendererEnd(1 << 8);  // exit(1)
    EXPECT_EQ(failed.exitStatus, 1);
    EXPECT_EQ(failed.line, "Orbilon.scr: the renderer ended with status 1");
    const RendererEnd crashed = DescribeRendererEnd(SIGSEGV);  // killed by SIGSEGV
    EXPECT_NE(crashed.exitStatus, 0);
    EXPECT_EQ(crashed.line, "Orbilon.scr: the renderer was killed by signal 11 (SIGSEGV)");
}

}  // namespace
}  // namespace orbilon
