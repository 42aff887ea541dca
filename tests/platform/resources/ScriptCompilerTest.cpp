// vela-rescompile as the build runs it: a bad script or a wrong artwork file
// fails with the script's line, and writes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/process/ChildProcess.h"
#include "platform/process/CommandLine.h"
#include "platform/text/TextConversion.h"
#include "tests/support/Sandbox.h"

namespace {

namespace gfx = platform::gfx;

class ScriptCompilerTest : public testsupport::SandboxTest {
  protected:
    void SetUp() override {
        SandboxTest::SetUp();
        std::filesystem::create_directories(work() / "art");
        WriteArt("a", gfx::Bitmap(2, 2, gfx::Rgb(1, 2, 3)).ToBmp());
        WriteArt("wide", gfx::Bitmap(3, 2, gfx::Rgb(1, 2, 3)).ToBmp());
        std::vector<std::uint8_t> deep = gfx::Bitmap(2, 2).ToBmp();
        deep[28] = 32;  // bits per pixel
        WriteArt("deep", deep);
    }

    void WriteArt(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        WriteFile(work() / "art" / (name + ".bmp"),
                  std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

    struct Result {
        int code = -1;
        std::string errors;
        bool wrote = false;
    };

    Result Compile(const std::string& script) {
        WriteFile(work() / "test.vres", script);
        std::filesystem::path output = work() / "out.cpp";
        std::filesystem::remove(output);
        platform::ChildProcess child;
        platform::ProcessStartOptions options;
        options.capture_output = true;
        std::vector<std::u16string> args = {platform::Utf8ToUtf16(BinPath("vela-rescompile")),
                                            platform::Utf8ToUtf16((work() / "test.vres").string()),
                                            platform::Utf8ToUtf16((work() / "art").string()),
                                            platform::Utf8ToUtf16(output.string())};
        Result result;
        if (!child.Start(platform::BuildCommandLine(args), options)) {
            ADD_FAILURE() << "cannot start vela-rescompile";
            return result;
        }
        while (!child.WaitForExit(20)) {
            result.errors += child.ReadOutput(1 << 16);
        }
        for (std::string chunk; !(chunk = child.ReadOutput(1 << 16)).empty();) {
            result.errors += chunk;
        }
        result.code = child.exit_code().value_or(-1);
        result.wrote = std::filesystem::exists(output);
        return result;
    }
};

constexpr const char* kHead = "program \"P\"\nfunction Res\n";  // lines 1 and 2

TEST_F(ScriptCompilerTest, ErrorsNameTheLine) {
    struct Case {
        std::string body;  // from line 3
        int line;
        std::string message;
    };
    const Case cases[] = {
        {"frobnicate 1\n", 3, "unknown statement \"frobnicate\""},
        {"bitmap 1 a 2x2\n\nbitmap 1 a 2x2\n", 5, "bitmap 1 is defined twice"},
        {"string 5 \"abc\n", 3, "string not closed"},
        {"string 5 \"a\\q\"\n", 3, "unknown escape \\q"},
        {"string 5 \"\xC3\x28\"\n", 3, "not valid UTF-8"},
        {"string 5 \"a\" extra\n", 3, "unexpected \"extra\""},
        {"string 5\n", 3, "expected the text in double quotes"},
        {"bitmap 1 a 2by2\n", 3, "expected a size such as 37x37"},
        {"bitmap 70000 a 2x2\n", 3, "out of range"},
        {"bitmap x a 2x2\n", 3, "expected an identifier"},
        {"bitmap 1 ../a 2x2\n", 3, "not an artwork name"},
        {"end\n", 3, "\"end\" without an open menu or dialog"},
        {"item 1 \"Open\"\n", 3, "unknown statement \"item\""},
        {"menu 2\n  popup \"T\"\n    item 1 \"Open\"\n  end\n", 3, "not closed by \"end\""},
        {"menu 2\n  popup \"T\"\n  end\nend\n", 5, "a popup needs at least one item"},
        {"menu 2\n  item 0 \"Open\"\nend\n", 4, "out of range"},
        {"menu 2\n  caption \"x\"\nend\n", 4, "unknown menu statement \"caption\""},
        {"dialog 3 0 0 10 10\n  style kStylePopup | kStyleBogus\nend\n", 4,
         "unknown style name \"kStyleBogus\""},
        {"dialog 3 0 0 10 10\n  style kStylePopup |\nend\n", 4, "expected a style"},
        {"dialog 3 0 0 10 10\n  control Button 1 \"x\" 1 2 3\nend\n", 4, "expected the height"},
        {"dialog 3 0 0 10 10\n  control Button 1 \"x\" 1 2 3 4 colour 5\nend\n", 4,
         "expected style or exstyle"},
        {"dialog 3 0 0 10\nend\n", 3, "expected the height"},
        {"bitmap 1 missing 2x2\n", 3, "is missing"},
        {"icon 128 a 2x2\nbitmap 1 wide 2x2\n", 4, "wide is 3x2, the script says 2x2"},
        {"bitmap 1 deep 2x2\n", 3, "not an uncompressed 24-bit BMP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        Result result = Compile(kHead + c.body);
        EXPECT_EQ(result.code, 1);
        EXPECT_NE(result.errors.find("test.vres:" + std::to_string(c.line) + ": error: "),
                  std::string::npos)
            << result.errors;
        EXPECT_NE(result.errors.find(c.message), std::string::npos) << result.errors;
        EXPECT_FALSE(result.wrote);
    }
}

TEST_F(ScriptCompilerTest, ScriptMustNameProgramAndFunction) {
    for (const char* script :
         {"function Res\n", "program \"P\"\n", "program \"P\"\nfunction 9x\n"}) {
        SCOPED_TRACE(script);
        Result result = Compile(script);
        EXPECT_EQ(result.code, 1);
        EXPECT_NE(result.errors.find("error: "), std::string::npos);
        EXPECT_FALSE(result.wrote);
    }
}

TEST_F(ScriptCompilerTest, GoodScriptWritesTheModule) {
    Result result = Compile(std::string(kHead) +
                            "header \"res/x/Res.h\"\n"
                            "bitmap 1 a 2x2   # a comment\n"
                            "icon 128 a 2x2\n"
                            "string 101 \"关于 \\\"x\\\"\"\n"
                            "menu 215\n"
                            "  popup \"托盘\"\n"
                            "    item 32772 \"Open\"\n"
                            "    separator\n"
                            "  end\n"
                            "end\n"
                            "dialog 102 0 0 320 200\n"
                            "  style kStylePopup | kStyleVisible | 0x100\n"
                            "  exstyle kExStyleAppWindow\n"
                            "  font 9 \"MS Shell Dlg\"\n"
                            "  control \"Button\" 1034 \"OK\" 1 2 3 4 style kStyleChild\n"
                            "end\n");
    ASSERT_EQ(result.code, 0) << result.errors;
    ASSERT_TRUE(result.wrote);
    std::string source = ReadFile(work() / "out.cpp");
    EXPECT_NE(source.find("#include \"res/x/Res.h\""), std::string::npos);
    EXPECT_NE(source.find("const platform::ResourceModule& Res()"), std::string::npos);
    EXPECT_NE(source.find("{101, u\"\\u5173\\u4E8E \\x22\" u\"x\\x22\" u\"\"}"), std::string::npos)
        << source.substr(source.find("strings[]"), 200);
    EXPECT_NE(source.find("0x90000100u, 0x00040000u, 0, 0, 320, 200"), std::string::npos);
    EXPECT_NE(source.find("MenuItemTemplate{32772, u\"Open\", false, {}}"), std::string::npos);
    EXPECT_NE(source.find("MenuItemTemplate{0, u\"\", true, {}}"), std::string::npos);
    EXPECT_NE(source.find("{128, {kIcon128, "), std::string::npos);
}

}  // namespace
