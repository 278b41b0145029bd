#pragma once
// A progress display for tests: remembers every title, text and position it was given.

#include <string>
#include <vector>

#include "base/Progress.h"

struct RecordingProgress final : ProgressSink {
    std::vector<std::string> titles, texts;
    std::vector<int> positions;
    int low = 0, high = 100;
    void SetTitle(const std::string& t) override { titles.push_back(t); }
    void SetText(const std::string& t) override { texts.push_back(t); }
    void SetRange(int l, int h) override {
        low = l;
        high = h;
    }
    void SetPos(int p) override { positions.push_back(p); }
};
