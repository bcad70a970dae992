// The helper against whichever registry this build has: opening the key,
// deleting a value, and reading the text of one.
#include "registry/KesRegistryHelper.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TestDrive.h"
#include "tests/support/TestRegistry.h"
#ifndef _WIN32
#include "platform/emulation/EmulatedDrive.h"
#endif

namespace Kestrova_Orvane {
namespace {

using test_support::StoredValue;
using test_support::TestDrive;
using test_support::TestRegistry;
using Names = std::vector<std::string>;

class KesRegistryHelperTest : public test_support::ScratchKeyTest {
 protected:
  const std::string path = std::string(TestRegistry::kScratchKey) + "\\Helper";
  void SetUp() override {
    ScratchKeyTest::SetUp();
    SeedKey();
  }
  // The key every case starts from.
  void SeedKey() {
    TestRegistry::DeleteTree(path);
    TestRegistry::SetString(path, "Orvane", "C:\\Program Files\\Orvane\\orvane.exe");
    TestRegistry::SetString(path, "Other", "other.exe");
    TestRegistry::SetString(path, "", "default");
  }

  TestDrive drive;
};

TEST_F(KesRegistryHelperTest, OpenKeyCreatesAMissingKeyEmpty) {
  KesRegistryHelper helper;
  EXPECT_TRUE(helper.OpenKey(path + "\\New"));
  EXPECT_TRUE(TestRegistry::KeyExists(path + "\\New"));
  EXPECT_EQ(Names{}, TestRegistry::ValueNames(path + "\\New"));
}

TEST_F(KesRegistryHelperTest, OpenKeyRefusesAnEmptyPath) {
  KesRegistryHelper helper;
  EXPECT_FALSE(helper.OpenKey(""));
}

TEST_F(KesRegistryHelperTest, DeleteValueRemovesOnlyTheNamedValue) {
  struct Case {
    const char* name;
    bool result;
    Names left;
    std::optional<std::string> log;
  };
  // The log is the process's own and keeps what it was given, so the case
  // that logs comes last.
  const Case cases[] = {
      {"Orvane", true, {"", "Other"}, std::nullopt},
      {"ORVANE", true, {"", "Other"}, std::nullopt},  // without regard to case
      {"Missing", true, {"", "Orvane", "Other"}, std::nullopt},
      // An empty name would be the key's default value: that is kept.
      {"", false, {"", "Orvane", "Other"}, TestDrive::Lines({"Cannot delete value"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SeedKey();
    KesRegistryHelper helper;
    ASSERT_TRUE(helper.OpenKey(path));
    EXPECT_EQ(c.result, helper.DeleteValue(c.name));
    EXPECT_EQ(c.left, TestRegistry::ValueNames(path));
    EXPECT_EQ(c.log, TestDrive::LogBytes());
  }
}

TEST_F(KesRegistryHelperTest, StoredValuesAndWhatIsReadOfThem) {
  const std::string path511 = "C:\\" + std::string(508, 'x');
  struct Case {
    const char* label;
    DWORD type;
    std::string stored;
    LONG code;         // QueryString's result
    DWORD count;       // QueryString's count
    std::string text;  // ReadRegistry's result
  };
  const Case cases[] = {
      {"511 characters fill the buffer", REG_SZ, path511 + '\0', ERROR_SUCCESS, 512,
       "C:/" + std::string(508, 'x')},
      {"512 characters do not fit", REG_SZ, path511 + "y" + '\0', ERROR_MORE_DATA, 0, ""},
      {"no data at all is empty text", REG_SZ, "", ERROR_SUCCESS, 0, ""},
      {"a zero inside ends the text", REG_SZ, std::string("ab\0c\\d\0", 7), ERROR_SUCCESS, 7, "ab"},
      {"references stay unexpanded", REG_EXPAND_SZ,
       std::string("%ProgramFiles%\\Kestrova\\u.exe\0", 30), ERROR_SUCCESS, 30,
       "%ProgramFiles%/Kestrova/u.exe"},
      {"backslashes become slashes", REG_SZ,
       std::string("C:\\Program Files\\Kestrova\\Orvane\\uninstall.exe\0", 47), ERROR_SUCCESS, 47,
       "C:/Program Files/Kestrova/Orvane/uninstall.exe"},
      {"text without backslash is unchanged", REG_SZ, std::string("/S /norestart \"q\"\0", 18),
       ERROR_SUCCESS, 18, "/S /norestart \"q\""},
      {"unterminated text", REG_SZ, "abc", ERROR_INVALID_DATA, 0, ""},
      {"unterminated text filling the buffer", REG_SZ, std::string(512, 'z'), ERROR_INVALID_DATA, 0,
       ""},
      {"a number is not text", REG_DWORD, std::string("\x01\0\0\0", 4), ERROR_INVALID_DATA, 0, ""},
      {"terminated binary is not text", REG_BINARY, std::string("ab\0", 3), ERROR_INVALID_DATA, 0,
       ""},
      {"a list is not text", REG_MULTI_SZ, std::string("a\0b\0\0", 5), ERROR_INVALID_DATA, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TestRegistry::SetValue(path, "Value", c.type, c.stored);
    ASSERT_EQ((StoredValue{c.type, c.stored}), TestRegistry::GetValue(path, "Value"));

    RegistryKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(path));
    BYTE buffer[512] = {};
    DWORD count = sizeof buffer;
    EXPECT_EQ(c.code, key.QueryString("Value", buffer, count));
    EXPECT_EQ(c.count, count);

    KesRegistryHelper helper;
    EXPECT_EQ(c.text, helper.ReadRegistry(path, "Value"));
  }
}

TEST_F(KesRegistryHelperTest, ValueOrKeyThatIsNotThereReadsAsEmptyText) {
  TestRegistry::SetString(path, "Present", "text");
  KesRegistryHelper helper;
  EXPECT_EQ("text", helper.ReadRegistry(path, "Present"));
  EXPECT_EQ("", helper.ReadRegistry(path, "Missing"));
  EXPECT_EQ("text", helper.ReadRegistry(path, "Present"));
  EXPECT_EQ("", helper.ReadRegistry(path + "\\Missing", "Present"));
}

TEST_F(KesRegistryHelperTest, EmptyValueNameReadsTheDefaultValue) {
  TestRegistry::SetString(path, "", "C:\\default.exe");
  KesRegistryHelper helper;
  EXPECT_EQ("C:/default.exe", helper.ReadRegistry(path, ""));
}

TEST_F(KesRegistryHelperTest, EmptyKeyPathReadsFromTheRootItself) {
  const std::string name = "KesOrvTestsRootValue";
  HKEY root = HKEY_LOCAL_MACHINE;
  const std::string text = "C:\\root.exe";
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(root, name.c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(text.c_str()),
                                          static_cast<DWORD>(text.size() + 1)));
  std::string read;
  {
    KesRegistryHelper helper;
    read = helper.ReadRegistry("", name);
  }
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(root, name.c_str()));
  EXPECT_EQ("C:/root.exe", read);
}

// Code page 932: 表 is 0x95 0x5C and ソ is 0x83 0x5C.
const std::string kDoubleBytePath = "C:\\\x95\x5C\\\x83\x5C\\un.exe";

TEST_F(KesRegistryHelperTest, DoubleByteCodePageKeepsTrailBytes) {
#ifdef _WIN32
  if (GetACP() != 932) GTEST_SKIP() << "needs code page 932; ctest runs it under a Japanese locale";
#else
  emulation::EmulatedDrive::Instance().SetCodePage(932);
#endif
  TestRegistry::SetString(path, "Value", kDoubleBytePath);
  KesRegistryHelper helper;
  EXPECT_EQ("C:/\x95\x5C/\x83\x5C/un.exe", helper.ReadRegistry(path, "Value"));
}

TEST_F(KesRegistryHelperTest, SingleByteCodePageRewritesEveryBackslashByte) {
#ifdef _WIN32
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
#endif
  TestRegistry::SetString(path, "Value", kDoubleBytePath);
  KesRegistryHelper helper;
  EXPECT_EQ("C:/\x95//\x83//un.exe", helper.ReadRegistry(path, "Value"));
}

}  // namespace
}  // namespace Kestrova_Orvane
