#include "disegno/testo_html.h"

#include <gtest/gtest.h>

#include <limits>

namespace compattatore {
namespace {

TEST(TestoHtml, Windows1252BecomesEscapedUtf8) {
  const struct {
    std::string_view da;
    std::string_view a;
  } casi[] = {
      {"QUARVE", "QUARVE"},
      {"S.ANNA \xE8 \xE0", "S.ANNA \xC3\xA8 \xC3\xA0"},
      {"\x80 \x9F \x8A", "\xE2\x82\xAC \xC5\xB8 \xC5\xA0"},
      // Bytes the code page leaves empty, and control characters.
      {"\x81\x8D\x8F\x90\x9D", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {std::string_view("a\0b\x1F\x7F\t", 6),
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD\xEF\xBF\xBD\t"},
      {"<a href=\"x\">&amp;</a>", "&lt;a href=&quot;x&quot;&gt;&amp;amp;&lt;/a&gt;"},
  };
  for (const auto& c : casi) EXPECT_EQ(html(c.da), c.a) << c.da;
  EXPECT_EQ(utf8_da_1252("<\xE8>"), "<\xC3\xA8>");
}

TEST(TestoHtml, NumbersChainagesAndTimes) {
  EXPECT_EQ(numero(-0.04, 1), "0.0");
  EXPECT_EQ(numero(-0.06, 1), "-0.1");
  EXPECT_EQ(numero(1234567.26, 1), "1234567.3");
  EXPECT_EQ(numero(0.125, 3), "0.125");
  // Every digit of the largest double, 309 before the point.
  EXPECT_EQ(numero(-std::numeric_limits<double>::max(), 3).size(), 1 + 309 + 1 + 3u);
  EXPECT_EQ(progressiva(0), "0+000");
  EXPECT_EQ(progressiva(17400), "17+400");
  EXPECT_EQ(progressiva(-500), "-0+500");
  EXPECT_EQ(progressiva(1000000), "1000+000");
  EXPECT_EQ(ora(3300), "0:55:00");
  EXPECT_EQ(ora(39600), "11:00:00");
  EXPECT_EQ(ora(86399), "23:59:59");
}

}  // namespace
}  // namespace compattatore
