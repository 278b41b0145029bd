#pragma once
// Labels, names and general names of the sample library, read from data/content/labels.txt (UTF-8).

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace datagen {

struct ColourLine {
    std::string generalName;  // UTF-8
    std::string remark;
};

struct LabelTable {
    std::map<std::string, std::string> folders;                   // FOLDER: joint -> label
    std::map<std::pair<std::string, int>, std::string> variants;  // VARIANT: (kind, number) -> name
    std::map<std::string, ColourLine> colours;                    // COLOUR: frame -> line
    std::vector<std::pair<std::string, std::string>> props;       // PROP: file, name
    std::vector<std::pair<std::string, std::string>> lights;      // LIGHT: folder, label
};

std::optional<LabelTable> ParseLabelTable(const std::string& text, std::string* error);

}  // namespace datagen
