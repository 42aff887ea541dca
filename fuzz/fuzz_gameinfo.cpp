// Game information files come from plain HTTP: decipher and read anything,
// through the same files and calls as the repair run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Procedure/GameInfoCipher.h"
#include "Procedure/GameInfoFile.h"
#include "app/RunLog.h"
#include "platform/files/FileSystem.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::CreateDirectory("fuzz-gameinfo");
    setenv("VELA_SANDBOX", "fuzz-gameinfo", 1);
    ConfigureRunLog(RunLogOptions{.echo_to_stdout = false, .write_file = false});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static unsigned char key[kGameInfoKeySize];
    static bool keyMade = (MakeGameInfoKey(key), true);
    (void)keyMade;

    std::string raw(reinterpret_cast<const char*>(data), size);
    // The same bytes behind a valid header reach the INI reader too.
    for (const std::string& image : {raw, EncodeGameInfoImage(key, raw)}) {
        platform::FileWriter writer;
        writer.Open("fuzz-gameinfo/GameInfo.ini", platform::FileWriter::Mode::kTruncate);
        writer.Write(image.data(), image.size());
        writer.Close();
        std::string version;
        std::vector<RepairFileRecord> records;
        ReadGameInfoFileList("fuzz-gameinfo/GameInfo.ini", version, records);
        ReadGameInfoVersion("fuzz-gameinfo/GameInfo.ini", version);
    }
    return 0;
}
