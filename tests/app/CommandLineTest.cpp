#include <gtest/gtest.h>

#include "app/CommandLine.h"

TEST(CommandLine, FindsTheFileAfterTheProgramPath) {
  auto r = FindCommandLineFile("\"C:\\Program Files\\kobaltine.exe\" C:\\models\\tank.vxl");
  EXPECT_TRUE(r.Pending);
  EXPECT_EQ(r.File, "C:\\models\\tank.vxl");

  // Quotes, further spaces and trailing spaces reach the loader unchanged.
  r = FindCommandLineFile("\"kobaltine\" \"my tank.vxl\"  ");
  EXPECT_TRUE(r.Pending);
  EXPECT_EQ(r.File, "\"my tank.vxl\"  ");

  // An unquoted program path with a space is split at that space.
  r = FindCommandLineFile("C:\\My Programs\\kobaltine.exe");
  EXPECT_TRUE(r.Pending);
  EXPECT_EQ(r.File, "Programs\\kobaltine.exe");
}

TEST(CommandLine, NamesNoFile) {
  EXPECT_FALSE(FindCommandLineFile("\"kobaltine\"").Pending);
  EXPECT_FALSE(FindCommandLineFile("\"kobaltine\" ").Pending);  // one trailing space
  EXPECT_FALSE(FindCommandLineFile("\"kobaltine").Pending);     // no closing quote
  EXPECT_FALSE(FindCommandLineFile("kobaltine").Pending);
  EXPECT_FALSE(FindCommandLineFile("").Pending);
}

TEST(CommandLine, RebuildsOneTextFromTheArguments) {
  EXPECT_EQ(RebuildCommandLine("/usr/bin/kobaltine", {}), "\"/usr/bin/kobaltine\"");
  const std::string text = RebuildCommandLine("/usr/bin/kobaltine", {"/tmp/my tank.vxl"});
  EXPECT_EQ(text, "\"/usr/bin/kobaltine\" /tmp/my tank.vxl");
  EXPECT_EQ(FindCommandLineFile(text).File, "/tmp/my tank.vxl");
}
