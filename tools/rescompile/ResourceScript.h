// A program's resource script, parsed. The format is line based: one
// statement a line, '#' starts a comment outside strings, strings are UTF-8
// in double quotes with \" \\ \n \t escapes, and menus and dialogs are blocks
// closed by "end":
//
//   program "Launcher"              name the module carries
//   function LauncherResources      C++ function that returns the module
//   header "res/launcher/LauncherResources.h"
//   bitmap 214 keyart 1280x720      artwork file keyart.bmp, its exact size
//   icon 128 icon 32x32
//   string 101 "text"
//   menu 215
//     popup "text"
//       item 32772 "Open"
//       separator
//     end
//   end
//   dialog 216 0 0 285 175          position and size in dialog units
//     style kStylePopup | kStyleSysMenu
//     exstyle 0
//     caption ""
//     font 8 "MS Shell Dlg"
//     control Static 1035 "" 22 37 242 77 style kStyleChild | kStyleVisible
//   end
//
// Styles are names of the layer's style constants or numbers, joined by '|'.
#pragma once

#include <string>
#include <vector>

#include "platform/resources/Resources.h"

namespace rescompile {

struct ImageEntry {
    int id = 0;
    std::string name;  // artwork file without ".bmp"
    int width = 0;
    int height = 0;
    int line = 0;
};

struct ResourceScript {
    std::u16string program;
    std::string function;
    std::string header;
    std::vector<ImageEntry> bitmaps;
    std::vector<ImageEntry> icons;
    std::vector<std::pair<int, std::u16string>> strings;
    std::vector<std::pair<int, platform::MenuTemplate>> menus;
    std::vector<std::pair<int, platform::DialogTemplate>> dialogs;
};

struct ScriptError {
    int line = 0;
    std::string message;
};

// Parses the whole script; on failure returns false with the first error.
bool ParseResourceScript(std::string_view text, ResourceScript& script, ScriptError& error);

}  // namespace rescompile
