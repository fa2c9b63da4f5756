// Template instantiation on real files, in the ANSI code page (936 under the test runner).
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>

#include "file_text.h"
#include "panel_error.h"
#include "templates.h"

using namespace svcpanel;

namespace {

class TemplateFiles : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"svcpanel templates " + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const wchar_t *name : {L"\\t.ini", L"\\out.txt"}) DeleteFileW((dir_ + name).c_str());
    RemoveDirectoryW(dir_.c_str());
  }
  std::wstring Path(const wchar_t *name) const { return dir_ + name; }
  void Write(const wchar_t *name, const std::string &bytes) const { WriteWholeFile(Path(name), bytes); }
  std::string Read(const wchar_t *name) const { return ReadWholeFile(Path(name)); }

  std::wstring dir_;
};

TEST_F(TemplateFiles, RunsUnderTheChineseCodePage) { EXPECT_EQ(GetACP(), 936u); }

TEST_F(TemplateFiles, ReplacesEachTokenAndKeepsGbkBytes) {
  // "; 中文注释" in GBK, CRLF line ends, no final line break.
  const std::string gbk_comment = "; \xd6\xd0\xce\xc4\xd7\xa2\xca\xcd";
  Write(L"\\t.ini", gbk_comment + "\r\nname=J_SerVer_Apache\r\ndb=J_SerVer_MySQL J_SerVer_MySQL\r\n"
                    "lower=j_server_apache");
  InstantiateTemplate(Path(L"\\t.ini"), Path(L"\\out.txt"),
                      {{"J_SerVer_Apache", "J_Apache_7"}, {"J_SerVer_MySQL", "J_Mysql_7"}});
  EXPECT_EQ(Read(L"\\out.txt"), gbk_comment + "\r\nname=J_Apache_7\r\ndb=J_Mysql_7 J_Mysql_7\r\n"
                                              "lower=j_server_apache");
  // The template itself is left as it was.
  EXPECT_NE(Read(L"\\t.ini").find("J_SerVer_Apache"), std::string::npos);
}

TEST_F(TemplateFiles, RestoresFromTheTemplateEveryTime) {
  Write(L"\\t.ini", "a=J_SerVer_Apache\r\n");
  InstantiateTemplate(Path(L"\\t.ini"), Path(L"\\out.txt"), {{"J_SerVer_Apache", "J_Apache_1"}});
  InstantiateTemplate(Path(L"\\t.ini"), Path(L"\\out.txt"), {{"J_SerVer_Apache", "J_Apache_2"}});
  EXPECT_EQ(Read(L"\\out.txt"), "a=J_Apache_2\r\n");
}

TEST_F(TemplateFiles, TemplateWithoutTokensAndEmptyTemplateComeOutUnchanged) {
  Write(L"\\t.ini", "plain text\r\n");
  InstantiateTemplate(Path(L"\\t.ini"), Path(L"\\out.txt"), {{"PHP_Path", "D:/Web"}});
  EXPECT_EQ(Read(L"\\out.txt"), "plain text\r\n");
  Write(L"\\t.ini", "");
  InstantiateTemplate(Path(L"\\t.ini"), Path(L"\\out.txt"), {{"PHP_Path", "D:/Web"}});
  EXPECT_EQ(Read(L"\\out.txt"), "");
}

TEST_F(TemplateFiles, BytesTheCodePageCannotDecodeComeBackUntouched) {
  // 0x81 before a space, before CR LF, before 0x7F, and a lone 0x80 and 0xFF.
  const std::string odd = "a\x81 b\x81\r\nc\x81\x7f\x80\xff\r\n";
  Write(L"\\t.ini", odd + "root=PHP_Path" + odd);
  InstantiateTemplate(Path(L"\\t.ini"), Path(L"\\out.txt"), {{"PHP_Path", "D:/Web"}});
  EXPECT_EQ(Read(L"\\out.txt"), odd + "root=D:/Web" + odd);
}

TEST_F(TemplateFiles, TargetOpenForReadingElsewhereIsStillRewritten) {
  Write(L"\\t.ini", "root=PHP_Path\r\n");
  Write(L"\\out.txt", "old");
  // A viewer, indexer or virus scanner that shares everything.
  const HANDLE reader = CreateFileW(Path(L"\\out.txt").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  InstantiateTemplate(Path(L"\\t.ini"), Path(L"\\out.txt"), {{"PHP_Path", "D:/Web"}});
  CloseHandle(reader);
  EXPECT_EQ(Read(L"\\out.txt"), "root=D:/Web\r\n");
}

TEST_F(TemplateFiles, FolderOutsideTheCodePageIsRefusedNotWrittenAsQuestionMarks) {
  EXPECT_EQ(EncodeAnsiExactly(L"D:/网站 ü"), "D:/\xcd\xf8\xd5\xbe \xa8\xb9");
  try {
    EncodeAnsiExactly(L"D:/한국");
    FAIL() << "no failure";
  } catch (const PanelError &error) {
    EXPECT_NE(error.Describe().find(L"D:/한국"), std::wstring::npos);
  }
}

TEST_F(TemplateFiles, WritesAChineseFolderInTheCodePage) {
  Write(L"\\t.ini", "root=PHP_Path\r\n");
  InstantiateTemplate(Path(L"\\t.ini"), Path(L"\\out.txt"), {{"PHP_Path", EncodeAnsiExactly(L"D:/网站")}});
  EXPECT_EQ(Read(L"\\out.txt"), "root=D:/\xcd\xf8\xd5\xbe\r\n");
}

TEST_F(TemplateFiles, ReadOnlyTemplateStillGivesARewrittenTarget) {
  Write(L"\\t.ini", "root=PHP_Path\r\n");
  SetFileAttributesW(Path(L"\\t.ini").c_str(), FILE_ATTRIBUTE_READONLY);
  InstantiateTemplate(Path(L"\\t.ini"), Path(L"\\out.txt"), {{"PHP_Path", "D:/Web"}});
  EXPECT_EQ(Read(L"\\out.txt"), "root=D:/Web\r\n");
  // Root under Wine writes read-only files anyway; the attribute tells what Windows would refuse.
  EXPECT_FALSE(GetFileAttributesW(Path(L"\\out.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(GetFileAttributesW(Path(L"\\t.ini").c_str()) & FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(Path(L"\\t.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(TemplateFiles, MissingTemplateOrTargetFolderFailsNamingThePath) {
  try {
    InstantiateTemplate(Path(L"\\missing.ini"), Path(L"\\out.txt"), {});
    FAIL() << "no failure";
  } catch (const PanelError &error) {
    EXPECT_NE(error.Describe().find(L"missing.ini"), std::wstring::npos);
  }
  Write(L"\\t.ini", "x");
  EXPECT_THROW(InstantiateTemplate(Path(L"\\t.ini"), Path(L"\\no such dir\\out.txt"), {}), PanelError);
}

}  // namespace
