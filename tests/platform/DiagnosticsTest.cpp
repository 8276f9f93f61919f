// Refusal reasons go to stderr only when LUMORA_LOG=1 asks for them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Diagnostics.h"

namespace {

// Runs `f` with stderr sent to a temporary file; returns what it wrote.
template <class F>
std::string CaptureStderr(F f) {
  std::fflush(stderr);
  FILE* tmp = std::tmpfile();
  if (!tmp) return "<no temporary file>";
  const int saved = ::dup(STDERR_FILENO);
  ::dup2(::fileno(tmp), STDERR_FILENO);
  f();
  std::fflush(stderr);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  std::string out;
  std::rewind(tmp);
  char buf[256];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, tmp)) > 0) out.append(buf, n);
  std::fclose(tmp);
  return out;
}

TEST(DiagnosticsTest, OnlyLumoraLog1Speaks) {
  for (const char* off : {"", "0", "yes"}) {
    setenv("LUMORA_LOG", off, 1);
    EXPECT_FALSE(plat::DiagnosticsEnabled()) << off;
    EXPECT_EQ(CaptureStderr([] { plat::Diagnose("Navdisc", "refused /x: bad"); }), "") << off;
  }
  unsetenv("LUMORA_LOG");
  EXPECT_EQ(CaptureStderr([] { plat::Diagnose("Navdisc", "refused /x: bad"); }), "");

  setenv("LUMORA_LOG", "1", 1);
  EXPECT_TRUE(plat::DiagnosticsEnabled());
  EXPECT_EQ(CaptureStderr([] {
              plat::Diagnose("Navdisc", "refused /x: bad");
              plat::Diagnose("skin", "refused /s/: no Skin.ini");
            }),
            "LumoraDVD: Navdisc: refused /x: bad\nLumoraDVD: skin: refused /s/: no Skin.ini\n");
  unsetenv("LUMORA_LOG");
}

}  // namespace
