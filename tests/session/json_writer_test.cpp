#include "session/json_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace orben::session {
namespace {

TEST(Tuka2Json, StringsStayValidWhateverTheBytes) {
  EXPECT_EQ(jsonString("a\"b\\c"), R"("a\"b\\c")");
  EXPECT_EQ(jsonString("uno\rdos\n"), R"("uno\rdos\n")");
  EXPECT_EQ(jsonString(std::string("\x01\x1A", 2)), R"("\u0001\u001A")");
  EXPECT_EQ(jsonString("línea ¡"), "\"línea ¡\"");                   // UTF-8 passes through
  EXPECT_EQ(jsonString("\xE9t\xE9"), R"("\u00E9t\u00E9")");          // Latin-1 bytes
  EXPECT_EQ(jsonString("\xC3"), R"("\u00C3")");                      // cut sequence
  EXPECT_EQ(jsonString("\xED\xA0\x80"), R"("\u00ED\u00A0\u0080")");  // surrogate
}

}  // namespace
}  // namespace orben::session
