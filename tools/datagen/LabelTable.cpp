#include "LabelTable.h"

#include <sstream>

namespace datagen {

namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> f;
    std::string::size_type start = 0;
    while (true) {
        const auto bar = line.find('|', start);
        f.push_back(line.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return f;
}

}  // namespace

std::optional<LabelTable> ParseLabelTable(const std::string& text, std::string* error) {
    LabelTable t;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const auto f = Fields(line);
        bool ok = false;
        if (f[0] == "FOLDER" && f.size() == 3) {
            t.folders[f[1]] = f[2];
            ok = true;
        } else if (f[0] == "VARIANT" && f.size() == 4) {
            t.variants[{f[1], std::atoi(f[2].c_str())}] = f[3];
            ok = true;
        } else if (f[0] == "COLOUR" && f.size() == 4) {
            t.colours[f[1]] = {f[2], f[3]};
            ok = !f[1].empty() && !f[2].empty();
        } else if (f[0] == "PROP" && f.size() == 3) {
            t.props.push_back({f[1], f[2]});
            ok = true;
        } else if (f[0] == "LIGHT" && f.size() == 3) {
            t.lights.push_back({f[1], f[2]});
            ok = true;
        }
        if (!ok) {
            if (error) *error = "line " + std::to_string(number) + ": " + line;
            return std::nullopt;
        }
    }
    return t;
}

}  // namespace datagen
