#include "tools/gameinfo/GameInfoDocument.h"

#include "Procedure/GameInfoCipher.h"
#include "Procedure/GameInfoFile.h"
#include "Procedure/IniReader.h"
#include "platform/files/FileSystem.h"
#include "tools/gameinfo/ToolError.h"

std::string ReadGameInfoBody(const std::string& nativePath) {
    std::string image;
    auto size = platform::GetFileSize(platform::PathArg::Native(nativePath));
    if (!size) {
        throw ToolError(nativePath, "cannot read the file");
    }
    if (*size >= kGameInfoSizeLimit) {
        throw ToolError(nativePath, DescribeGameInfoStatus(GameInfoStatus::kTooLarge));
    }
    if (!platform::ReadWholeFile(platform::PathArg::Native(nativePath), image,
                                 kGameInfoSizeLimit)) {
        throw ToolError(nativePath, "cannot read the file");
    }
    unsigned char key[kGameInfoKeySize];
    MakeGameInfoKey(key);
    std::string headerCrc;
    std::string bodyCrc;
    GameInfoStatus status = DecodeGameInfoImage(key, image, &headerCrc, &bodyCrc);
    if (status == GameInfoStatus::kCrcMismatch) {
        throw ToolError(nativePath, std::string(DescribeGameInfoStatus(status)) + " (header " +
                                        headerCrc + ", body " + bodyCrc + ")");
    }
    if (status != GameInfoStatus::kOk) {
        throw ToolError(nativePath, DescribeGameInfoStatus(status));
    }
    return image;
}

GameInfoDocument ParseGameInfoBody(std::string body) {
    GameInfoDocument document;
    document.body = std::move(body);
    IniReader reader("#");
    reader.Parse(document.body);  // as the launcher: what stands before a bad line counts
    ExtractGameInfoFileList(reader, document.version, document.records);
    reader.GetIntValue("FileList", "FileCount", document.fileCount);
    return document;
}

std::string EncodeGameInfoBody(const std::string& body) {
    unsigned char key[kGameInfoKeySize];
    MakeGameInfoKey(key);
    return EncodeGameInfoImage(key, body);
}
