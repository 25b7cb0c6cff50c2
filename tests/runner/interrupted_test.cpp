// tuka2 test interrupted while one student's endless loop runs: every
// report holds the programs already graded and is complete and valid.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "runner/tuka2_process.h"
#include "support/scratch_folder.h"

namespace orben::runner {
namespace {

TEST(Tuka2TestInterrupted, WritesTheReportsOfWhatIsGradedAndExitsWith130) {
  const ScratchFolder folder("tuka2-interrupted");
  const std::string cases = folder.write("c.toml", R"toml(
timeout = 60
max_steps = 10000000000
[[case]]
name = "para"
)toml");
  const std::string good = folder.write("bien.asm", "  HALT\n");
  const std::string loop = folder.write("bucle.asm", "otra: LDI RD, otra\n  BR\n");
  const std::string after = folder.write("despues.asm", "  HALT\n");
  const std::string junit = folder.path("notas.xml");
  for (const std::string format : {"text", "json"}) {
    std::vector<std::string> arguments = {"test", cases, good,      loop, after,
                                          "-j",   "1",   "--junit", junit};
    if (format == "json") arguments.push_back("--json");
    const auto began = std::chrono::steady_clock::now();
    const RanApart ran = runTuka2With(arguments, {"PATH=/usr/bin:/bin", "LANG=C"}, [](pid_t child) {
      // Long enough for the first program, far less than the loop's limit.
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));
      kill(child, SIGINT);
    });
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(50))
        << "the loop's run did not end at the interrupt";
    EXPECT_EQ(ran.status, 130) << ran.err;
    EXPECT_NE(ran.err.find("tuka2: interrupted, 2 programs left ungraded"), std::string::npos)
        << ran.err;
    EXPECT_NE(ran.out.find(good), std::string::npos) << ran.out;
    EXPECT_EQ(ran.out.find(loop), std::string::npos) << ran.out;
    EXPECT_EQ(ran.out.find(after), std::string::npos) << ran.out;
    if (format == "json") {
      EXPECT_EQ(ran.out.back(), '\n');
      EXPECT_NE(ran.out.find("\"passed\":true}"), std::string::npos) << ran.out;
    }
    if (std::system("command -v xmllint > /dev/null 2>&1") == 0) {
      const std::string check =
          "xmllint --noout --schema " + std::string(JUNIT_SCHEMA) + " " + junit + " 2>/dev/null";
      EXPECT_EQ(std::system(check.c_str()), 0) << check;
    }
    std::ifstream in(junit);
    const std::string xml(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(xml.find("tests=\"1\" failures=\"0\" errors=\"0\""), std::string::npos) << xml;
  }
}

}  // namespace
}  // namespace orben::runner
