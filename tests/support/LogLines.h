// Reads back a run log written by several writers at once, each writing lines
// of one tag character repeated over a fixed width.
#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace testsupport {

// Expects every line to be whole: a "[dd_hh:mm:ss]: " stamp, one tag over the
// full width, CR LF. Returns the number of whole lines per tag.
std::map<char, int> CountWholeLogLines(const std::string& log, std::size_t width);

}  // namespace testsupport
