#pragma once
// Runs a subcommand's entry function as `fretlore NAME ARGS...` would, and splits output.

#include <sstream>
#include <string>
#include <vector>

#include <span>

namespace commandtest {

struct Result {
    int code;
    std::string out;
    std::string err;
};

using Entry = int (*)(std::span<const std::string>, std::ostream&, std::ostream&);

inline Result Run(Entry entry, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int code = entry(args, out, err);
    return {code, out.str(), err.str()};
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace commandtest
