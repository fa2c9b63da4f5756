// The panel's pure pieces: probe joining, replacement, suffix and names, paths.
#include <gtest/gtest.h>

#include <cmath>

#include "service_names.h"
#include "service_state.h"
#include "templates.h"

using namespace svcpanel;

namespace {

TEST(ProbeText, JoinsLinesAndMatchesOnlyTheExactMarker) {
  struct Case {
    std::string file;
    std::string joined;
    bool running;
  };
  const Case cases[] = {
      {"a1m1\r\n", "a1m1", true},
      {"a1m1", "a1m1", true},
      {"a1\r\nm1\r\n", "a1m1", true},
      {"a1m1\r\n\r\n\r\n", "a1m1", true},
      {"a1\rm1\r", "a1m1", true},  // a lone CR ends a line too
      {"", "", false},
      {"A1M1\r\n", "A1M1", false},
      {" a1m1\r\n", " a1m1", false},
      {"a1m1 \r\n", "a1m1 ", false},
      {"a0m1\r\n", "a0m1", false},
      {"a1m1\n", "a1m1\n", false},  // a lone LF is no line end
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.file));
    const std::string joined = JoinProbeLines(c.file);
    EXPECT_EQ(joined, c.joined);
    EXPECT_EQ(IsRunningMarker(std::wstring(joined.begin(), joined.end())), c.running);
  }
}

// Lead bytes of code page 936 (GBK): 0x81 to 0xFE.
LeadBytes Cp936LeadBytes() {
  LeadBytes leadBytes;
  for (int byte = 0x81; byte <= 0xfe; ++byte) leadBytes.set(byte);
  return leadBytes;
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanning) {
  struct Case {
    std::string text, token, value, expected;
  };
  const Case cases[] = {
      {"PHP_Path/a;PHP_Path/b;PHP_Path", "PHP_Path", "D:/Web", "D:/Web/a;D:/Web/b;D:/Web"},
      {"php_path PHP_PATH PHP_Path", "PHP_Path", "X", "php_path PHP_PATH X"},
      {"no tokens here", "PHP_Path", "X", "no tokens here"},
      {"[PHP_Path]", "PHP_Path", "PHP_Path/PHP_Path", "[PHP_Path/PHP_Path]"},
      {"aaaa", "aa", "a", "aa"},
      {"", "PHP_Path", "X", ""},
      // GBK text around the token, and a GBK folder as the value.
      {"\xd6\xd0PHP_Path\xce\xc4", "PHP_Path", "D:/\xcd\xf8\xd5\xbe", "\xd6\xd0" "D:/\xcd\xf8\xd5\xbe\xce\xc4"},
      // 0x81 0x50 is one GBK character whose second byte is "P": no token starts inside it.
      {"\x81PHP_Path", "PHP_Path", "X", "\x81PHP_Path"},
      {"\x81\x81PHP_Path", "PHP_Path", "X", "\x81\x81X"},
      // Bytes GBK cannot decode come back as they were, with their neighbours.
      {"\x81 PHP_Path\x81\r\n\x7f\x80\xff", "PHP_Path", "X", "\x81 X\x81\r\n\x7f\x80\xff"},
      {"PHP_Path\x81", "PHP_Path", "X", "X\x81"},
      {std::string("a\0PHP_Path\0", 11), "PHP_Path", "X", std::string("a\0X\0", 4)},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(ReplaceAll(c.text, c.token, c.value, Cp936LeadBytes()), c.expected);
  }
  // A single-byte code page has no lead bytes: the same bytes match anywhere.
  EXPECT_EQ(ReplaceAll("\x81PHP_Path", "PHP_Path", "X", LeadBytes()), "\x81X");
}

TEST(ServiceSuffix, StaysWithinOneToHundred) {
  EXPECT_EQ(ServiceSuffixFromDraw(0.0f), 1);
  EXPECT_EQ(ServiceSuffixFromDraw(std::nextafter(1.0f, 0.0f)), 100);
  EXPECT_EQ(ServiceSuffixFromDraw(0.0600001f), 7);
  EXPECT_EQ(ServiceSuffixFromDraw(0.995f), 100);
  for (float r = 0.0f; r < 1.0f; r += 0.0009765625f) {
    const int suffix = ServiceSuffixFromDraw(r);
    ASSERT_GE(suffix, 1);
    ASSERT_LE(suffix, 100);
  }
}

TEST(ServiceNames, CarryTheSameUnpaddedNumber) {
  EXPECT_EQ(ServiceNamesFor(7).ApacheServiceName, "J_Apache_7");
  EXPECT_EQ(ServiceNamesFor(7).MysqlServiceName, "J_Mysql_7");
  EXPECT_EQ(ServiceNamesFor(100).ApacheServiceName, "J_Apache_100");
  EXPECT_EQ(ServiceNamesFor(100).MysqlServiceName, "J_Mysql_100");
}

TEST(Paths, ProgramDirAndItsSlashedForm) {
  EXPECT_EQ(DirectoryOf(L"D:\\Web\\Server\\svcpanel.exe"), L"D:\\Web\\Server");
  EXPECT_EQ(DirectoryOf(L"C:\\svcpanel.exe"), L"C:\\");  // a root keeps its backslash
  EXPECT_EQ(SlashedDir(L"D:\\Web\\Server"), L"D:/Web/Server");
  EXPECT_EQ(SlashedDir(L"C:\\"), L"C:/");
  EXPECT_EQ(SlashedDir(L"E:\\My Web\\服务器"), L"E:/My Web/服务器");
}

TEST(TemplateRows, SixRowsInOrderWithTheirTokens) {
  const auto rows = TemplateRows("J_Apache_7", "J_Mysql_7", "D:/Web");
  ASSERT_EQ(rows.size(), 6u);
  const wchar_t *expected[][2] = {
      {L"\\Ext\\B_Start.ini", L"\\Ext\\B_Start.bat"}, {L"\\Ext\\B_Stop.ini", L"\\Ext\\B_Stop.bat"},
      {L"\\Ext\\B_Port.ini", L"\\Ext\\B_Port.bat"},   {L"\\Ext\\I_php.ini", L"\\PHP\\php.ini"},
      {L"\\Ext\\I_apache.ini", L"\\apache\\conf\\httpd.conf"},
      {L"\\Ext\\I_mysql.ini", L"\\MySQL\\my.ini"}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_STREQ(rows[i].templatePath, expected[i][0]);
    EXPECT_STREQ(rows[i].targetPath, expected[i][1]);
  }
  for (std::size_t i = 0; i < 3; ++i) {
    ASSERT_EQ(rows[i].replacements.size(), 2u);
    EXPECT_EQ(rows[i].replacements[0].token, "J_SerVer_Apache");
    EXPECT_EQ(rows[i].replacements[0].value, "J_Apache_7");
    EXPECT_EQ(rows[i].replacements[1].token, "J_SerVer_MySQL");
    EXPECT_EQ(rows[i].replacements[1].value, "J_Mysql_7");
  }
  const char *pathTokens[] = {"PHP_Path", "Apache_Path", "Mysql_Path"};
  for (std::size_t i = 3; i < 6; ++i) {
    ASSERT_EQ(rows[i].replacements.size(), 1u);
    EXPECT_EQ(rows[i].replacements[0].token, pathTokens[i - 3]);
    EXPECT_EQ(rows[i].replacements[0].value, "D:/Web");
  }
}

}  // namespace
