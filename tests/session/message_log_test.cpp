#include "session/message_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orben::session {
namespace {

// Messages past the kept bytes go to the temporary file and come back in
// order, byte for byte (empty ones, NUL and 1AH bytes, long ones), however
// often the log is read between adds.
TEST(MessageLog, GivesBackEveryMessageInOrderAcrossTheSpill) {
  for (const std::size_t kept : {std::size_t{0}, std::size_t{100}, std::size_t{5000}}) {
    MessageLog log(kept);
    std::vector<std::string> shown;
    for (int i = 0; i < 300; ++i) {
      std::string text = "ERROR: Archivo HEX corrupto\rMire la línea: (" + std::to_string(i) + ")";
      if (i % 7 == 0) text.clear();
      if (i % 11 == 0) text += std::string("\0\x1A\xFF", 3);
      if (i % 50 == 0) text += std::string(3000, 'x');
      log.add(text);
      shown.push_back(text);
      if (i % 97 == 0) {
        EXPECT_EQ(log.all(), shown) << "kept " << kept << ", after " << i;
      }
    }
    EXPECT_EQ(log.size(), shown.size());
    EXPECT_EQ(log.all(), shown) << "kept " << kept;
    std::size_t seen = 0;
    log.forEach([&](std::string_view text) {
      EXPECT_EQ(text, shown[seen]) << seen;
      ++seen;
    });
    EXPECT_EQ(seen, shown.size());
  }
}

TEST(MessageLog, EmptyUntilTheFirstMessage) {
  MessageLog log(0);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(log.all().empty());
  log.add("Fin la ejecución :-)");
  EXPECT_FALSE(log.empty());
  EXPECT_EQ(log.all(), std::vector<std::string>{"Fin la ejecución :-)"});
}

}  // namespace
}  // namespace orben::session
