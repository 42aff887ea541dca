// Reading the game information files on disk: the installed `.\GameInfo.ini`
// and a downloaded one stay enciphered; a read makes a plain copy in the
// user's temporary folder, reads it and deletes it again.
//
// The read operations share that one temporary path, so they must not run on
// two threads at once; the patch workers' start rules keep them apart.
#pragma once

#include <string>
#include <vector>

#include "Procedure/RepairFileRecord.h"

// Turns the enciphered file at path into its plain body in place and checks
// the body's CRC against the header. Memory in proportion to the file.
bool DecipherGameInfoFile(const unsigned char* key, const std::string& path);

// The path of the plain temporary copy, or empty when the user has no
// temporary folder.
std::string GameInfoPlainCopyPath();

bool ReadGameInfoVersion(const std::string& sourcePath, std::string& version);

class IniReader;

// The version and the file records of parsed game information text: key
// `Version` of section `Version`, and the entries "0" to `FileCount` - 1 of
// section `FileList` that split into exactly five fields, appended in index
// order. The version stays as it was when the key is absent.
void ExtractGameInfoFileList(const IniReader& reader, std::string& version,
                             std::vector<RepairFileRecord>& records);

// Appends the file records in entry order.
bool ReadGameInfoFileList(const std::string& sourcePath, std::string& version,
                          std::vector<RepairFileRecord>& records);
