#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/process/ChildProcess.h"
#include "platform/process/CommandLine.h"
#include "platform/registry/Registry.h"
#include "platform/text/TextConversion.h"
#include "tests/platform/integration/ProbeTest.h"

namespace {

using namespace platform;

std::u16string Hex(const std::vector<uint8_t>& bytes) {
    std::u16string hex;
    const char16_t* digits = u"0123456789ABCDEF";
    for (uint8_t byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0xF];
    }
    return hex;
}

std::vector<uint8_t> Utf16LeBytes(std::u16string_view text) {
    std::vector<uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

bool RunningAsRoot() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        std::istringstream fields(line);
        std::string label;
        long real_uid = -1, effective_uid = -1;
        if (fields >> label >> real_uid >> effective_uid && label == "Uid:") {
            return effective_uid == 0;
        }
    }
    return false;
}

class RegistryProcessTest : public testsupport::ProbeTest {};

TEST_F(RegistryProcessTest, ValuesOfEveryTypeWrittenByAnotherProcessReadBackUnderAnyCase) {
    struct Case {
        std::u16string name;
        uint32_t type;
        std::vector<uint8_t> data;
    };
    const Case cases[] = {
        {u"deviceid_h1602965840", kRegTypeBinary, {'U', 'N', 0x02, 0x00, 0xFF}},
        {u"gclidshort", kRegTypeString, Utf16LeBytes(std::u16string(u"h\u00e9\u8868\0", 4))},
        {u"Path", kRegTypeExpandString, Utf16LeBytes(std::u16string(u"%TEMP%\\x\0", 9))},
        {u"Count", kRegTypeDword, {7, 0, 0, 0}},
        {u"List", kRegTypeMultiString, Utf16LeBytes(std::u16string(u"a\0bc\0\0", 6))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunProbe({u"regset", u"u", u"SOFTWARE\\halcyra\\EmberVoyage", c.name,
                            Utf8ToUtf16(std::to_string(c.type)), Hex(c.data)}),
                  "0\n");
    }
    RegistryKey key;
    ASSERT_EQ(key.Open(Hive::kCurrentUser, u"software\\HALCYRA\\embervoyage"), kRegOk);
    for (const Case& c : cases) {
        std::u16string other_case = c.name;
        for (char16_t& unit : other_case) {
            unit = unit >= u'a' && unit <= u'z' ? unit - u'a' + u'A' : unit;
        }
        uint32_t type = 0;
        std::vector<uint8_t> data;
        ASSERT_EQ(key.QueryValue(other_case, &type, &data), kRegOk) << Utf16ToUtf8(c.name);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(data, c.data);
    }

    // And the other way round, in the machine hive.
    RegistryKey machine;
    ASSERT_EQ(machine.Create(Hive::kLocalMachine, u"Software\\Uninstall\\{E1E6}"), kRegOk);
    const uint8_t version[] = {0x01, 0x0A};
    ASSERT_EQ(machine.SetValue(u"DisplayVersion", kRegTypeBinary, version, 2), kRegOk);
    EXPECT_EQ(RunProbe({u"regget", u"m", u"SOFTWARE\\uninstall\\{e1e6}", u"displayversion"}),
              "0 3 010A\n");
    EXPECT_EQ(RunProbe({u"regget", u"u", u"SOFTWARE\\uninstall\\{e1e6}", u"displayversion"}),
              "2 0 \n");
}

TEST_F(RegistryProcessTest, ProcessesWritingAtOnceLoseNothing) {
    constexpr int kWriters = 6;
    std::vector<ChildProcess> writers(kWriters);
    for (int i = 0; i < kWriters; ++i) {
        StartProbe(writers[i],
                   {u"regset", u"u", u"Shared\\Key", Utf8ToUtf16("v" + std::to_string(i)), u"4",
                    Hex({static_cast<uint8_t>(i), 0, 0, 0})});
    }
    for (ChildProcess& writer : writers) {
        ASSERT_TRUE(writer.WaitForExit(20000));
        EXPECT_EQ(writer.ReadOutput(4096), "0\n");
    }
    RegistryKey key;
    ASSERT_EQ(key.Open(Hive::kCurrentUser, u"Shared\\Key"), kRegOk);
    for (int i = 0; i < kWriters; ++i) {
        std::vector<uint8_t> data;
        EXPECT_EQ(key.QueryValue(Utf8ToUtf16("v" + std::to_string(i)), nullptr, &data), kRegOk);
        EXPECT_EQ(data, (std::vector<uint8_t>{static_cast<uint8_t>(i), 0, 0, 0}));
    }
}

// A user without write rights to the machine hive reads it and is refused writes.
TEST_F(RegistryProcessTest, MachineHiveWithoutWriteRightsIsReadOnly) {
    if (!RunningAsRoot() || !std::filesystem::exists("/usr/bin/setpriv")) {
        GTEST_SKIP() << "needs root to run the probe as another user";
    }
    RegistryKey machine;
    ASSERT_EQ(machine.Create(Hive::kLocalMachine, u"Software\\Vela"), kRegOk);
    const uint8_t value[] = {0x2A, 0, 0, 0};
    ASSERT_EQ(machine.SetValue(u"Answer", kRegTypeDword, value, 4), kRegOk);
    machine.Close();

    auto as_nobody = [&](const std::vector<std::u16string>& args) {
        std::vector<std::u16string> argv = {u"setpriv", u"--reuid=65534", u"--regid=65534",
                                            u"--clear-groups", ProbePath()};
        argv.insert(argv.end(), args.begin(), args.end());
        ChildProcess child;
        ProcessStartOptions options;
        options.capture_output = true;
        EXPECT_TRUE(child.Start(BuildCommandLine(argv), options));
        EXPECT_TRUE(child.WaitForExit(20000));
        return child.ReadOutput(4096);
    };
    EXPECT_EQ(as_nobody({u"regget", u"m", u"software\\vela", u"answer"}), "0 4 2A000000\n");
    EXPECT_EQ(as_nobody({u"regset", u"m", u"Software\\Vela", u"Answer", u"4", u"00000000"}), "5\n");
    EXPECT_EQ(as_nobody({u"regset", u"m", u"Software\\Other", u"x", u"4", u"00000000"}), "5\n");
}

}  // namespace
