// Game information files come from plain HTTP: decipher and parse anything.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Procedure/GameInfoCipher.h"
#include "Procedure/GameInfoFile.h"
#include "Procedure/IniReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static unsigned char key[kGameInfoKeySize];
    static bool keyMade = (MakeGameInfoKey(key), true);
    (void)keyMade;

    std::string bytes(reinterpret_cast<const char*>(data), size);
    // Enciphered input with a well-formed header reaches the parser too.
    std::string image = EncodeGameInfoImage(key, bytes);
    for (std::string* input : {&bytes, &image}) {
        std::string body = *input;
        if (DecodeGameInfoImage(key, body) != GameInfoStatus::kOk) {
            body = *input;
        }
        IniReader reader("#");
        reader.Parse(body);
        std::string version;
        std::vector<RepairFileRecord> records;
        ExtractGameInfoFileList(reader, version, records);
    }
    return 0;
}
