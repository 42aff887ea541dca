// Compares the files of a published version folder with its file list.
#pragma once

#include <string>
#include <vector>

#include "tools/gameinfo/GameInfoDocument.h"

// One line per difference; empty when every listed file exists with the
// listed size, CRC-32 and MD5. Paths resolve against the current directory,
// which must be the version folder.
std::vector<std::string> FindPublishedFileDifferences(const GameInfoDocument& document);
