// Writing a parsed resource script as the C++ source of its ResourceModule:
// bitmaps and icons as byte arrays (the artwork's BMP files, checked against
// the sizes the script states), strings, menus and dialogs as static data
// built on first use, so no static initialisation order matters.
#pragma once

#include <filesystem>
#include <string>

#include "tools/rescompile/ResourceScript.h"

namespace rescompile {

// Fills source, or returns false with the script line at fault.
bool WriteModuleSource(const ResourceScript& script, const std::filesystem::path& artwork_dir,
                       const std::string& script_name, std::string& source, ScriptError& error);

}  // namespace rescompile
