// The README's run command without a graphical session: it says what it needs and fails,
// before installing or building anything.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct Result {
  int status = -1;
  std::string output;
};

Result RunCommand(const std::string& command) {
  Result r;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  std::array<char, 512> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe)) r.output += buffer.data();
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

}  // namespace

TEST(RunScript, WithoutADisplayItSaysSoAndFails) {
  const std::string script = std::string(CASA_SOURCE_DIR) + "/scripts/run.sh";
  const Result r = RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u CASAVELT_HEADLESS timeout 20 bash '" + script +
                       "' 2>&1");
  EXPECT_EQ(r.status, 2) << r.output;
  EXPECT_NE(r.output.find("needs a graphical session"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("DISPLAY"), std::string::npos);
  EXPECT_NE(r.output.find("WAYLAND_DISPLAY"), std::string::npos);
  EXPECT_EQ(r.output.find("Installing"), std::string::npos);  // nothing was set up first
}
