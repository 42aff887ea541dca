// A path as the layer's callers hand it over: narrow code page 936 text (the
// update code), wide UTF-16 text (the uninstaller) or a native UTF-8 path
// (tools, tests). Narrow and wide paths may use '\' or '/' as separators and
// are converted once, at the edge: to UTF-8 first, so a second byte 0x5C of a
// double-byte character is never taken for a separator, then '\' to '/'.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

class PathArg {
  public:
    PathArg(const char* cp936) : PathArg(std::string_view(cp936)) {}
    PathArg(const std::string& cp936) : PathArg(std::string_view(cp936)) {}
    PathArg(std::string_view cp936);
    PathArg(const char16_t* wide) : PathArg(std::u16string_view(wide)) {}
    PathArg(const std::u16string& wide) : PathArg(std::u16string_view(wide)) {}
    PathArg(std::u16string_view wide);

    // A path that is already native (UTF-8, '/' separators).
    static PathArg Native(std::string native);

    // Empty when the path does not convert (or was empty): every operation fails then.
    const std::optional<std::string>& native() const& { return native_; }
    // On a temporary (PathArg(x).native()) the value is moved out, so that
    // `const auto& n = PathArg(x).native();` binds to a value that lives on.
    std::optional<std::string> native() && { return std::move(native_); }

  private:
    PathArg() = default;
    std::optional<std::string> native_;
};

// Native UTF-8 path to narrow code page 936, or nullopt when a character has no
// code page 936 form.
std::optional<std::string> Cp936PathFromNative(std::string_view native);
std::u16string WidePathFromNative(std::string_view native);

}  // namespace platform
