// One file of a published version, as its game information file lists it.
#pragma once

#include <string>

struct RepairFileRecord {
    std::string path;  // relative to the installation directory, '\'-separated, code page 936
    std::string md5;   // 32 upper-case hexadecimal characters
    std::string crc;   // 8 upper-case hexadecimal characters
    int size = 0;
    int flag = 0;
};
