#include "platform/registry/Registry.h"

#include <gtest/gtest.h>

#include "tests/support/Sandbox.h"

namespace {

using platform::Hive;
using platform::RegistryKey;
using namespace platform;

class RegistryTest : public testsupport::SandboxTest {
  protected:
    static void Set(const std::u16string& path, const std::u16string& name, uint32_t type,
                    const std::vector<uint8_t>& data, Hive hive = Hive::kCurrentUser) {
        RegistryKey key;
        ASSERT_EQ(key.Create(hive, path), kRegOk);
        ASSERT_EQ(key.SetValue(name, type, data.data(), data.size()), kRegOk);
    }

    static std::vector<std::u16string> Subkeys(const std::u16string& path) {
        RegistryKey key;
        EXPECT_EQ(key.Open(Hive::kCurrentUser, path), kRegOk);
        std::vector<std::u16string> names;
        std::u16string name;
        for (uint32_t i = 0; key.EnumSubkey(i, &name) == kRegOk; ++i) {
            names.push_back(name);
        }
        EXPECT_EQ(key.EnumSubkey(static_cast<uint32_t>(names.size()), &name), kRegNoMoreItems);
        return names;
    }
};

TEST_F(RegistryTest, ValuesKeepTheirTypeAndExactBytes) {
    const std::vector<uint8_t> odd_string = {'a', 0, 'b', 0, 0};  // the caller's length counts
    Set(u"Software\\Vela", u"Text", kRegTypeString, odd_string);
    Set(u"Software\\Vela", u"Bytes", kRegTypeBinary, {0x01, 0x0A, 0x00});
    Set(u"Software\\Vela", u"Empty", kRegTypeExpandString, {});
    Set(u"Software\\Vela", u"Bytes", kRegTypeDword, {7, 0, 0, 0});  // replaces type and data

    RegistryKey key;
    ASSERT_EQ(key.Open(Hive::kCurrentUser, u"SOFTWARE\\vela"), kRegOk);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(key.QueryValue(u"TEXT", &type, &data), kRegOk);
    EXPECT_EQ(type, kRegTypeString);
    EXPECT_EQ(data, odd_string);
    ASSERT_EQ(key.QueryValue(u"bytes", &type, &data), kRegOk);
    EXPECT_EQ(type, kRegTypeDword);
    EXPECT_EQ(data, (std::vector<uint8_t>{7, 0, 0, 0}));
    ASSERT_EQ(key.QueryValue(u"Empty", &type, &data), kRegOk);
    EXPECT_EQ(type, kRegTypeExpandString);
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(key.QueryValue(u"Missing", &type, &data), kRegNotFound);
}

TEST_F(RegistryTest, MissingKeysAndHivesAreNotFoundAndNothingIsCreatedByReading) {
    RegistryKey key;
    EXPECT_EQ(key.Open(Hive::kCurrentUser, u"Software"), kRegNotFound);
    EXPECT_FALSE(key.is_open());
    Set(u"Software\\A\\B\\C", u"v", kRegTypeDword, {1, 0, 0, 0});
    EXPECT_EQ(key.Open(Hive::kCurrentUser, u"software\\a\\b"), kRegOk);
    EXPECT_EQ(key.Open(Hive::kCurrentUser, u"Software\\A\\X"), kRegNotFound);
    // The hives are apart.
    EXPECT_EQ(key.Open(Hive::kLocalMachine, u"Software\\A"), kRegNotFound);
}

TEST_F(RegistryTest, SubkeysEnumerateInCaseInsensitiveOrderWithTheirFirstCase) {
    for (const char16_t* name : {u"beta", u"Alpha", u"_tail", u"GAMMA", u"zeta"}) {
        RegistryKey key;
        ASSERT_EQ(key.Create(Hive::kCurrentUser, std::u16string(u"Root\\") + name), kRegOk);
    }
    RegistryKey again;
    ASSERT_EQ(again.Create(Hive::kCurrentUser, u"ROOT\\ALPHA"), kRegOk);  // no second key
    // Upper-case order, as there: '_' sorts after the letters.
    EXPECT_EQ(Subkeys(u"root"),
              (std::vector<std::u16string>{u"Alpha", u"beta", u"GAMMA", u"zeta", u"_tail"}));
}

TEST_F(RegistryTest, DeletingAKeyWithSubkeysIsRefused) {
    Set(u"Uninstall\\{E1E6}\\Sub", u"x", kRegTypeString, {'x', 0});
    Set(u"Uninstall\\{E1E6}", u"InstallLocation", kRegTypeString, {'d', 0});
    EXPECT_EQ(DeleteKey(Hive::kCurrentUser, u"uninstall\\{e1e6}"), kRegAccessDenied);
    EXPECT_EQ(DeleteKey(Hive::kCurrentUser, u"Uninstall\\{E1E6}\\SUB"), kRegOk);
    EXPECT_EQ(DeleteKey(Hive::kCurrentUser, u"Uninstall\\{E1E6}"), kRegOk);
    EXPECT_EQ(DeleteKey(Hive::kCurrentUser, u"Uninstall\\{E1E6}"), kRegNotFound);
    EXPECT_EQ(DeleteKey(Hive::kCurrentUser, u""), kRegAccessDenied);

    // A key made again under the same name starts without the old values.
    RegistryKey key;
    ASSERT_EQ(key.Create(Hive::kCurrentUser, u"Uninstall\\{E1E6}"), kRegOk);
    EXPECT_EQ(key.QueryValue(u"InstallLocation", nullptr, nullptr), kRegNotFound);
    EXPECT_EQ(Subkeys(u"Uninstall\\{E1E6}"), std::vector<std::u16string>{});
}

TEST_F(RegistryTest, WritesNeedAKeyOpenedForWriting) {
    Set(u"Software\\Vela", u"v", kRegTypeDword, {1, 0, 0, 0});
    const uint8_t byte = 1;

    RegistryKey reader;
    ASSERT_EQ(reader.Open(Hive::kCurrentUser, u"Software\\Vela"), kRegOk);
    EXPECT_EQ(reader.SetValue(u"v", kRegTypeBinary, &byte, 1), kRegAccessDenied);
    EXPECT_EQ(reader.DeleteValue(u"v"), kRegAccessDenied);

    RegistryKey writer;
    ASSERT_EQ(writer.Open(Hive::kCurrentUser, u"Software\\Vela", RegistryKey::Access::kWrite),
              kRegOk);
    EXPECT_EQ(writer.DeleteValue(u"V"), kRegOk);
    EXPECT_EQ(writer.DeleteValue(u"v"), kRegNotFound);

    RegistryKey closed;
    EXPECT_EQ(closed.SetValue(u"v", kRegTypeBinary, &byte, 1), kRegInvalidHandle);
    EXPECT_EQ(closed.QueryValue(u"v", nullptr, nullptr), kRegInvalidHandle);
}

TEST_F(RegistryTest, AKeyDeletedWhileOpenTakesNoMoreValues) {
    RegistryKey key;
    ASSERT_EQ(key.Create(Hive::kCurrentUser, u"Gone"), kRegOk);
    ASSERT_EQ(DeleteKey(Hive::kCurrentUser, u"Gone"), kRegOk);
    RegistryKey newer;
    ASSERT_EQ(newer.Create(Hive::kCurrentUser, u"Newer"), kRegOk);
    const uint8_t byte = 1;
    EXPECT_EQ(key.SetValue(u"v", kRegTypeBinary, &byte, 1), kRegKeyDeleted);
    EXPECT_EQ(newer.QueryValue(u"v", nullptr, nullptr), kRegNotFound);
}

TEST_F(RegistryTest, AHiveWhoseFolderCannotBeMadeFailsCleanly) {
    // A file where the machine folder belongs: the folder cannot be made.
    WriteFile(std::filesystem::path(std::getenv("VELA_SANDBOX")) / "machine", "not a folder");
    RegistryKey key;
    EXPECT_EQ(key.Create(Hive::kLocalMachine, u"Software"), kRegAccessDenied);
    EXPECT_EQ(key.Open(Hive::kLocalMachine, u"Software"), kRegNotFound);
    EXPECT_EQ(DeleteKey(Hive::kLocalMachine, u"Software"), kRegAccessDenied);
    EXPECT_FALSE(key.is_open());
}

}  // namespace
