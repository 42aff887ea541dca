#include "download/QuillChecksum.h"

QuillChecksum::~QuillChecksum() = default;
