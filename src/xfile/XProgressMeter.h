#pragma once
// Progress of one mesh file on the caller's progress window: the range is 0-100 and the bar moves
// in steps of 2 (value = offset * 50 / length, shown twice), at most once every 30 ms.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "base/Progress.h"

namespace xfile {

class XProgressMeter {
  public:
    // Milliseconds from any fixed start; steady_clock when empty. Tests pass their own.
    using Clock = std::function<std::int64_t()>;
    static constexpr std::int64_t kIntervalMs = 30;

    // `sink` may be null (nothing is reported).
    XProgressMeter(ProgressSink* sink, std::size_t textLength, Clock clock);

    // Range 0-100, position 0.
    void Start();
    // Called while reading; `offset` is where the current token starts.
    void Update(std::size_t offset);

  private:
    std::int64_t Now() const;

    ProgressSink* m_sink;
    std::size_t m_length;
    Clock m_clock;
    std::int64_t m_lastTime = 0;
    int m_lastValue = 0;
};

}  // namespace xfile
