// The GBK message bytes, checked against glibc's own UTF-8 to GBK conversion.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "messages.h"

namespace {

std::string ToGbk(std::string utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  std::string out(utf8.size() * 2, '\0');
  char *in_ptr = utf8.data();
  char *out_ptr = out.data();
  std::size_t in_left = utf8.size(), out_left = out.size();
  iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

TEST(Messages, AreGbkBytesOfTheTexts) {
  EXPECT_EQ(cryptbox::kLengthMessage, ToGbk("加密串长度不正确"));
  EXPECT_EQ(cryptbox::kKeyMessage, ToGbk("秘钥必须为8位"));
  EXPECT_EQ(cryptbox::kHexRoomMessage, ToGbk("输出字符串长度不足"));
  EXPECT_EQ(cryptbox::kIntLengthMessage, ToGbk("目前支持长度位数 最长为4,消息长度过长"));
}

}  // namespace
