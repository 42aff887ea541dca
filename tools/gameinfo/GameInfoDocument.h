// A game information file read by the tool: deciphered in memory (the file
// itself is never touched) and parsed as the launcher parses it.
#pragma once

#include <string>
#include <vector>

#include "Procedure/RepairFileRecord.h"

struct GameInfoDocument {
    std::string body;
    std::string version;
    int fileCount = 0;
    std::vector<RepairFileRecord> records;
};

// Throws ToolError naming the file and the reason when it is not valid.
std::string ReadGameInfoBody(const std::string& nativePath);
GameInfoDocument ParseGameInfoBody(std::string body);
// The enciphered image for a body.
std::string EncodeGameInfoBody(const std::string& body);
