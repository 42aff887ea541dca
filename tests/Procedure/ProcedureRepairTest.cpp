// The version check and the repair run over local "servers": a download
// function that copies from folders of the test, and a window that records
// every message the run sends.
#include "Procedure/ProcedureRepair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "Procedure/GameInfoCipher.h"
#include "Procedure/ProcedureSelfPatch.h"
#include "app/LauncherMessages.h"
#include "app/RunLog.h"
#include "platform/files/FileSystem.h"
#include "platform/sync/Event.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;

struct Sent {
    unsigned message;
    platform::MessageParam wParam;
    platform::MessageLong lParam;
    std::string text;  // for messages whose wParam is a text
};

std::vector<Sent>* g_sent = nullptr;

platform::MessageResult RecordProc(platform::WindowHandle window, std::uint32_t message,
                                   platform::MessageParam wParam, platform::MessageLong lParam) {
    if (message >= NM_LAUNCHER_CLEAN_PROGRESS && message <= NM_LAUNCHER_SHOW && g_sent) {
        bool isText = message == NM_LAUNCHER_PROGRESS_FILE ||
                      message == NM_LAUNCHER_NEW_VERSION_TEXT ||
                      message == NM_LAUNCHER_OLD_VERSION_TEXT;
        g_sent->push_back(
            {message, wParam, lParam, isText ? reinterpret_cast<const char*>(wParam) : ""});
        return 0;
    }
    return platform::DefaultWindowProcedure(window, message, wParam, lParam);
}

struct Record {
    std::string path;
    std::string content;
    int flag = 0;
};

class ProcedureRepairTest : public testsupport::SandboxTest {
  protected:
    void SetUp() override {
        SandboxTest::SetUp();
        ConfigureRunLog(RunLogOptions{.echo_to_stdout = false, .write_file = true});
        platform::RegisterWindowClass(u"ProcedureRepairTestWindow", RecordProc);
        window_ =
            platform::CreateWindowOfClass(u"ProcedureRepairTestWindow", u"", 0, 0, 0, 0, 0, 0, 0);
        ASSERT_NE(window_, 0u);
        g_sent = &sent_;
        procedure_ = std::make_unique<ProcedureSelfPatch>(
            [this](const std::string& url, const std::string& local, int id) {
                return FakeDownload(url, local, id);
            });
        WriteFile(work() / "launcher.ini", "[launcher]\nlauncherUrl=srv\n");
        procedure_->Init(window_, ".\\launcher.ini", &stop_);
        procedure_->SetBackupServer("backup");
        procedure_->SetSecondBackupServer("backup2");
    }

    void TearDown() override {
        g_sent = nullptr;
        platform::DestroyWindowHandle(window_);
        SandboxTest::TearDown();
    }

    // Copies "<base>\LauncherVersion\..." from the folder <base>; fails when
    // that folder or file is missing, as an unreachable server would.
    bool FakeDownload(const std::string& url, const std::string& local, int id) {
        EXPECT_EQ(id, 1);
        requests_.push_back(url);
        std::string native = url;
        std::replace(native.begin(), native.end(), '\\', '/');
        if (!fs::is_regular_file(work() / native)) {
            return false;
        }
        return platform::CopyFile(platform::PathArg::Native((work() / native).string()), local,
                                  false);
    }

    static std::string Body(const std::string& version, const std::vector<Record>& records,
                            std::string_view md5Override = {}) {
        std::string body = "[Version]\r\nVersion=" + version +
                           "\r\n[FileList]\r\nFileCount=" + std::to_string(records.size()) + "\r\n";
        for (std::size_t i = 0; i < records.size(); ++i) {
            const Record& r = records[i];
            std::string md5 = md5Override.empty() ? Md5(r.content) : std::string(md5Override);
            body += std::to_string(i) + "=" + r.path + "," + md5 + "," + Crc(r.content) + "," +
                    std::to_string(r.content.size()) + "," + std::to_string(r.flag) + "\r\n";
        }
        return body;
    }

    static std::string Md5(const std::string& content);
    static std::string Crc(const std::string& content) { return GameInfoCrcText(content); }

    static std::string Encode(const std::string& body) {
        unsigned char key[kGameInfoKeySize];
        MakeGameInfoKey(key);
        return EncodeGameInfoImage(key, body);
    }

    // Publishes a version into the server folder "srv".
    void Publish(const std::string& version, const std::vector<Record>& records,
                 std::string_view md5Override = {}) {
        fs::path dir = work() / "srv" / "LauncherVersion";
        WriteFile(dir / "version", version + "\r\n");
        fs::path folder = dir / ("Launcher_" + version);
        WriteFile(folder / "GameInfo.ini", Encode(Body(version, records, md5Override)));
        for (const Record& r : records) {
            std::string native = r.path;
            std::replace(native.begin(), native.end(), '\\', '/');
            WriteFile(folder / native, r.content);
        }
    }

    void Install(const std::string& version, const std::vector<Record>& records) {
        WriteFile(work() / "GameInfo.ini", Encode(Body(version, records)));
        for (const Record& r : records) {
            std::string native = r.path;
            std::replace(native.begin(), native.end(), '\\', '/');
            WriteFile(work() / native, r.content);
        }
    }

    std::vector<std::pair<platform::MessageParam, platform::MessageLong>> Steps() const {
        std::vector<std::pair<platform::MessageParam, platform::MessageLong>> steps;
        for (const Sent& s : sent_) {
            if (s.message == NM_LAUNCHER_PROGRESS_STEP) {
                steps.emplace_back(s.wParam, s.lParam);
            }
        }
        return steps;
    }

    std::vector<std::string> Texts(unsigned message) const {
        std::vector<std::string> texts;
        for (const Sent& s : sent_) {
            if (s.message == message) {
                texts.push_back(s.text);
            }
        }
        return texts;
    }

    unsigned LastMessage() const { return sent_.empty() ? 0 : sent_.back().message; }

    platform::WindowHandle window_ = 0;
    platform::Event stop_{platform::Event::Mode::kManualReset};
    std::unique_ptr<ProcedureSelfPatch> procedure_;
    std::vector<Sent> sent_;
    std::vector<std::string> requests_;
};

std::string ProcedureRepairTest::Md5(const std::string& content) {
    // Known digests keep the fixture independent of the code under test.
    static const std::pair<const char*, const char*> kKnown[] = {
        {"hello", "5D41402ABC4B2A76B9719D911017C592"},
        {"x", "9DD4E461268C8034F5C8564E155C67A6"},
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"listed", "E8D8654C197E7B3BEED4D69E3EDD3A5B"},
    };
    for (const auto& [text, md5] : kKnown) {
        if (content == text) {
            return md5;
        }
    }
    ADD_FAILURE() << "no known MD5 for fixture content " << content;
    return {};
}

TEST_F(ProcedureRepairTest, FreshInstallationGetsEveryFileAndTheNewGameInfo) {
    const std::vector<Record> files = {{"a\\x.txt", "x"}, {"b\\hello.txt", "hello"}, {"e", ""}};
    Publish("1.0.1", files);

    EXPECT_EQ(procedure_->CheckVersion(), 1);
    EXPECT_EQ(procedure_->Execute(), REPAIR_DONE);

    EXPECT_EQ(ReadFile(work() / "a" / "x.txt"), "x");
    EXPECT_EQ(ReadFile(work() / "b" / "hello.txt"), "hello");
    EXPECT_EQ(ReadFile(work() / "GameInfo.ini"),
              ReadFile(work() / "srv" / "LauncherVersion" / "Launcher_1.0.1" / "GameInfo.ini"));
    EXPECT_EQ(procedure_->CheckVersion(), 0) << "installed now";

    // Descending path order; a missing file is always fetched, even one of size 0.
    EXPECT_EQ(Texts(NM_LAUNCHER_PROGRESS_FILE),
              (std::vector<std::string>{"e", "b\\hello.txt", "a\\x.txt"}));
    using Step = std::pair<platform::MessageParam, platform::MessageLong>;
    EXPECT_EQ(Steps(), (std::vector<Step>{{1, 1},
                                          {2, 1},
                                          {3, 1},
                                          {4, 1},
                                          {1, 2},
                                          {2, 2},
                                          {3, 2},
                                          {4, 2},
                                          {1, 3},
                                          {2, 3},
                                          {3, 3},
                                          {4, 3},
                                          {4, 3}}));
    EXPECT_EQ(Texts(NM_LAUNCHER_NEW_VERSION_TEXT), std::vector<std::string>{"1.0.1"});
    EXPECT_EQ(Texts(NM_LAUNCHER_OLD_VERSION_TEXT), std::vector<std::string>{""});
    EXPECT_EQ(sent_.front().message, NM_LAUNCHER_PROGRESS_RESET);
    EXPECT_EQ(LastMessage(), NM_LAUNCHER_SELF_PATCH_DONE);
    EXPECT_FALSE(fs::exists(work() / "temp_launcher" / "launcher" / "x.txt"))
        << "download targets are deleted once in place";
    EXPECT_NE(requests_.front(), "") << "first request";
    EXPECT_EQ(requests_.front(), "srv\\LauncherVersion\\version");
    EXPECT_NE(std::find(requests_.begin(), requests_.end(),
                        "srv\\LauncherVersion\\Launcher_1.0.1\\b\\hello.txt"),
              requests_.end());
}

TEST_F(ProcedureRepairTest, UnchangedFilesAreNotFetchedAndObsoleteOnesDeleted) {
    Install("1.0", {{"keep.txt", "hello"}, {"old.txt", "x"}, {"zero", ""}});
    Publish("1.1", {{"keep.txt", "hello"}, {"zero", ""}, {"new.txt", "listed"}});

    EXPECT_EQ(procedure_->Execute(), REPAIR_DONE);
    EXPECT_FALSE(fs::exists(work() / "old.txt"));
    EXPECT_EQ(ReadFile(work() / "new.txt"), "listed");
    EXPECT_EQ(Texts(NM_LAUNCHER_OLD_VERSION_TEXT), std::vector<std::string>{"1.0"});

    std::vector<platform::MessageParam> clean;
    for (const Sent& s : sent_) {
        if (s.message == NM_LAUNCHER_CLEAN_PROGRESS) {
            clean.push_back(s.wParam);
        }
    }
    EXPECT_EQ(clean, std::vector<platform::MessageParam>{50});
    // zero, new.txt, keep.txt: unchanged files report stages 1 and 3 only.
    using Step = std::pair<platform::MessageParam, platform::MessageLong>;
    EXPECT_EQ(Steps(),
              (std::vector<Step>{
                  {1, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {1, 3}, {3, 3}, {4, 3}}));
    for (const std::string& request : requests_) {
        EXPECT_EQ(request.find("keep.txt"), std::string::npos) << request;
    }
}

TEST_F(ProcedureRepairTest, WrongMd5IsTriedThreeTimesThenFails) {
    Publish("2", {{"f.txt", "hello"}}, "0123456789ABCDEF0123456789ABCDEF");
    EXPECT_EQ(procedure_->Execute(), REPAIR_MD5);
    EXPECT_EQ(LastMessage(), NM_LAUNCHER_ERR_MD5);
    EXPECT_EQ(
        std::count(requests_.begin(), requests_.end(), "srv\\LauncherVersion\\Launcher_2\\f.txt"),
        3);
    std::string log = ReadFile(work() / "Launch.log");
    EXPECT_NE(log.find("FILE =Procedure\\ProcedureRepair.cpp, Line ="), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(work() / "f.txt"));
    EXPECT_FALSE(fs::exists(work() / "GameInfo.ini")) << "the installed list stays as it was";
}

TEST_F(ProcedureRepairTest, ServersAreAskedInTurnAndTheVersionFileIsChecked) {
    // No server at all.
    EXPECT_EQ(procedure_->CheckVersion(), 0);
    EXPECT_EQ(requests_, (std::vector<std::string>{"srv\\LauncherVersion\\version",
                                                   "backup\\LauncherVersion\\version",
                                                   "backup2\\LauncherVersion\\version"}));
    EXPECT_EQ(procedure_->Execute(), REPAIR_VERSION_DOWN);
    EXPECT_EQ(LastMessage(), NM_LAUNCHER_ERR_VERSION_DOWN);

    // 63 bytes are a version, 64 are not.
    Publish("v", {});
    WriteFile(work() / "srv" / "LauncherVersion" / "version", std::string(63, '7'));
    EXPECT_EQ(procedure_->CheckVersion(), 1);
    WriteFile(work() / "srv" / "LauncherVersion" / "version", std::string(64, '7'));
    EXPECT_EQ(procedure_->CheckVersion(), 0);
    EXPECT_EQ(procedure_->Execute(), REPAIR_VERSION_READ);

    // Blanks and line breaks anywhere are stripped; the folder is missing.
    WriteFile(work() / "srv" / "LauncherVersion" / "version", " 9. 9\r\n");
    EXPECT_EQ(procedure_->Execute(), REPAIR_GAMEINFO_DOWN);
    EXPECT_EQ(requests_.back(), "backup2\\LauncherVersion\\Launcher_9.9\\GameInfo.ini");
}

TEST_F(ProcedureRepairTest, RecordsOutsideTheInstallationRefuseTheList) {
    Publish("3", {{"ok.txt", "x"}});
    std::string body = Body("3", {{"ok.txt", "x"}}) + "1=..\\escape.txt,M,C,1,0\r\n";
    body.replace(body.find("FileCount=1"), 11, "FileCount=2");
    WriteFile(work() / "srv" / "LauncherVersion" / "Launcher_3" / "GameInfo.ini", Encode(body));

    EXPECT_EQ(procedure_->Execute(), REPAIR_GAMEINFO_PARSE);
    EXPECT_EQ(LastMessage(), NM_LAUNCHER_ERR_GAMEINFO_PARSE);
    EXPECT_FALSE(fs::exists(work() / "ok.txt")) << "nothing of a refused list is written";
    EXPECT_NE(ReadFile(work() / "Launch.log").find("..\\escape.txt"), std::string::npos);
}

TEST_F(ProcedureRepairTest, ObsoleteRecordsOutsideTheInstallationAreNotDeleted) {
    WriteFile(work().parent_path() / "victim.txt", "keep me");
    std::string body = Body("1", {}) + "0=..\\victim.txt,M,C,7,0\r\n";
    body.replace(body.find("FileCount=0"), 11, "FileCount=1");
    WriteFile(work() / "GameInfo.ini", Encode(body));
    Publish("2", {});
    EXPECT_EQ(procedure_->Execute(), REPAIR_DONE);
    EXPECT_EQ(ReadFile(work().parent_path() / "victim.txt"), "keep me");
}

TEST_F(ProcedureRepairTest, StopEventAndFlaggedOnly) {
    Publish("4", {{"b.txt", "hello", 1}, {"a.txt", "x", 0}});
    procedure_->SetFlaggedOnly(true);
    stop_.Set();
    EXPECT_EQ(procedure_->Execute(), REPAIR_STOPPED);
    EXPECT_EQ(sent_.back().message, NM_LAUNCHER_ERR_STOPPED);
    EXPECT_EQ(sent_.back().wParam, 1u);

    stop_.Reset();
    sent_.clear();
    EXPECT_EQ(procedure_->Execute(), REPAIR_DONE);
    EXPECT_TRUE(fs::exists(work() / "b.txt"));
    EXPECT_FALSE(fs::exists(work() / "a.txt")) << "flag 0 is not examined";
    using Step = std::pair<platform::MessageParam, platform::MessageLong>;
    EXPECT_EQ(Steps(), (std::vector<Step>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 2}, {3, 2}, {4, 2}}));
}

TEST_F(ProcedureRepairTest, EmptyListStillInstallsTheGameInfo) {
    Publish("5", {});
    EXPECT_EQ(procedure_->Execute(), REPAIR_DONE);
    using Step = std::pair<platform::MessageParam, platform::MessageLong>;
    EXPECT_EQ(Steps(), (std::vector<Step>{{4, 0}}));
    EXPECT_TRUE(fs::exists(work() / "GameInfo.ini"));
}

TEST(ProcedureSelfPatch, BuiltInBasesEndInTheChannel) {
    EXPECT_EQ(BuiltInPrimaryBase().rfind("http://", 0), 0u);
    EXPECT_TRUE(BuiltInPrimaryBase().ends_with("/SKYWHEEL/PC/XQRT"));
    EXPECT_TRUE(BuiltInBackupBase().ends_with("/SKYWHEEL/PC/XQRT"));
}

}  // namespace
