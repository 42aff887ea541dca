#include "platform/process/CommandLine.h"

namespace platform {
namespace {

bool IsSeparator(char16_t c) {
    return c == u' ' || c == u'\t';
}

bool NeedsQuotes(std::u16string_view arg) {
    return arg.empty() || arg.find_first_of(u" \t\"") != std::u16string_view::npos;
}

void AppendQuoted(std::u16string& out, std::u16string_view arg) {
    out += u'"';
    std::size_t backslashes = 0;
    for (char16_t c : arg) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        std::size_t count = c == u'"' ? backslashes * 2 + 1 : backslashes;
        out.append(count, u'\\');
        out += c;
        backslashes = 0;
    }
    // The closing quote follows them, so they are doubled too.
    out.append(backslashes * 2, u'\\');
    out += u'"';
}

}  // namespace

std::u16string BuildCommandLine(const std::vector<std::u16string>& args) {
    std::u16string line;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::u16string& arg = args[k];
        if (k > 0) {
            line += u' ';
        }
        if (NeedsQuotes(arg)) {
            AppendQuoted(line, arg);
        } else {
            line += arg;
        }
    }
    return line;
}

std::vector<std::u16string> SplitCommandLine(std::u16string_view line) {
    std::vector<std::u16string> args;
    std::size_t i = 0;
    const std::size_t end = line.size();
    for (;;) {
        while (i < end && IsSeparator(line[i])) {
            ++i;
        }
        if (i == end) {
            return args;
        }
        std::u16string arg;
        bool quoted = false;
        while (i < end && (quoted || !IsSeparator(line[i]))) {
            char16_t c = line[i];
            if (c == u'\\') {
                std::size_t run = 0;
                while (i < end && line[i] == u'\\') {
                    ++run;
                    ++i;
                }
                if (i < end && line[i] == u'"') {
                    arg.append(run / 2, u'\\');
                    if (run % 2 == 1) {
                        arg += u'"';
                    } else {
                        quoted = !quoted;
                    }
                    ++i;
                } else {
                    arg.append(run, u'\\');
                }
            } else if (c == u'"') {
                quoted = !quoted;
                ++i;
            } else {
                arg += c;
                ++i;
            }
        }
        args.push_back(std::move(arg));
    }
}

}  // namespace platform
