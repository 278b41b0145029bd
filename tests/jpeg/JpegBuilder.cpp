#include "JpegBuilder.h"

#include <cstdlib>
#include <string>

namespace jpegtest {
namespace {

class BitWriter {
  public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : m_out(out) {}
    void Put(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            m_byte = static_cast<std::uint8_t>(m_byte << 1 | (value >> i & 1));
            if (++m_used == 8) Flush();
        }
    }
    // Pads the last byte with one bits.
    void Align() {
        while (m_used != 0) Put(1, 1);
    }

  private:
    void Flush() {
        m_out.push_back(m_byte);
        if (m_byte == 0xFF) m_out.push_back(0x00);
        m_byte = 0;
        m_used = 0;
    }
    std::vector<std::uint8_t>& m_out;
    std::uint8_t m_byte = 0;
    int m_used = 0;
};

int SizeOf(int v) {
    int s = 0;
    for (int a = std::abs(v); a != 0; a >>= 1) ++s;
    return s;
}

std::uint32_t Magnitude(int v, int size) {
    return static_cast<std::uint32_t>(v >= 0 ? v : v + (1 << size) - 1);
}

std::vector<std::uint8_t> AcSymbols() {
    std::vector<std::uint8_t> s{0x00, 0xF0};
    for (int r = 0; r < 16; ++r)
        for (int size = 1; size <= 10; ++size) s.push_back(static_cast<std::uint8_t>(r << 4 | size));
    return s;
}

int AcCode(std::uint8_t symbol) {
    static const std::vector<std::uint8_t> symbols = AcSymbols();
    for (std::size_t i = 0; i < symbols.size(); ++i)
        if (symbols[i] == symbol) return static_cast<int>(i);
    std::abort();
}

void Segment(std::vector<std::uint8_t>& out, std::uint8_t marker, const std::vector<std::uint8_t>& body) {
    out.push_back(0xFF);
    out.push_back(marker);
    const std::size_t length = body.size() + 2;
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(length));
    out.insert(out.end(), body.begin(), body.end());
}

void EncodeBlock(BitWriter& bits, const ZigzagBlock& b, int& predictor) {
    const int diff = b[0] - predictor;
    predictor = b[0];
    const int dcSize = SizeOf(diff);
    bits.Put(static_cast<std::uint32_t>(dcSize), 4);
    bits.Put(Magnitude(diff, dcSize), dcSize);
    int run = 0;
    for (int k = 1; k < 64; ++k) {
        if (b[k] == 0) {
            ++run;
            continue;
        }
        while (run > 15) {
            bits.Put(static_cast<std::uint32_t>(AcCode(0xF0)), 8);
            run -= 16;
        }
        const int size = SizeOf(b[k]);
        bits.Put(static_cast<std::uint32_t>(AcCode(static_cast<std::uint8_t>(run << 4 | size))), 8);
        bits.Put(Magnitude(b[k], size), size);
        run = 0;
    }
    if (run > 0) bits.Put(static_cast<std::uint32_t>(AcCode(0x00)), 8);
}

}  // namespace

std::vector<std::uint8_t> BuildJpeg(const BuildPlan& plan) {
    std::vector<std::uint8_t> out{0xFF, 0xD8};
    Segment(out, 0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});

    std::vector<std::uint8_t> dqt{static_cast<std::uint8_t>(plan.wideQuant ? 0x10 : 0x00)};
    for (std::uint16_t q : plan.quant) {
        const std::uint16_t value = q == 0 ? 1 : q;
        if (plan.wideQuant) dqt.push_back(static_cast<std::uint8_t>(value >> 8));
        dqt.push_back(static_cast<std::uint8_t>(value));
    }
    Segment(out, 0xDB, dqt);

    const int count = static_cast<int>(plan.components.size());
    std::vector<std::uint8_t> sof{8,
                                  static_cast<std::uint8_t>(plan.height >> 8),
                                  static_cast<std::uint8_t>(plan.height),
                                  static_cast<std::uint8_t>(plan.width >> 8),
                                  static_cast<std::uint8_t>(plan.width),
                                  static_cast<std::uint8_t>(count)};
    int hMax = 1, vMax = 1;
    for (int i = 0; i < count; ++i) {
        const auto& c = plan.components[i];
        sof.insert(sof.end(),
                   {static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(c.h << 4 | c.v), 0});
        hMax = std::max(hMax, c.h);
        vMax = std::max(vMax, c.v);
    }
    Segment(out, 0xC0, sof);

    std::vector<std::uint8_t> dht{0x00};
    for (int len = 1; len <= 16; ++len) dht.push_back(len == 4 ? 12 : 0);
    for (int s = 0; s < 12; ++s) dht.push_back(static_cast<std::uint8_t>(s));
    const auto ac = AcSymbols();
    dht.push_back(0x10);
    for (int len = 1; len <= 16; ++len) dht.push_back(len == 8 ? static_cast<std::uint8_t>(ac.size()) : 0);
    dht.insert(dht.end(), ac.begin(), ac.end());
    Segment(out, 0xC4, dht);

    if (plan.restartInterval != 0)
        Segment(out, 0xDD,
                {static_cast<std::uint8_t>(plan.restartInterval >> 8),
                 static_cast<std::uint8_t>(plan.restartInterval)});

    std::vector<std::uint8_t> sos{static_cast<std::uint8_t>(count)};
    for (int i = 0; i < count; ++i) sos.insert(sos.end(), {static_cast<std::uint8_t>(i + 1), 0x00});
    sos.insert(sos.end(), {0, 63, 0});
    Segment(out, 0xDA, sos);

    // A single component is coded block by block; several are interleaved in MCUs.
    const bool single = count == 1;
    const int mh = single ? 1 : hMax, mv = single ? 1 : vMax;
    const int mcuColumns = ((plan.width + 7) / 8 + mh - 1) / mh;
    const int mcuRows = ((plan.height + 7) / 8 + mv - 1) / mv;
    BitWriter bits(out);
    std::vector<int> predictors(count, 0);
    int mcus = 0, restarts = 0;
    for (int my = 0; my < mcuRows; ++my) {
        for (int mx = 0; mx < mcuColumns; ++mx) {
            for (int i = 0; i < count; ++i) {
                const int h = single ? 1 : plan.components[i].h, v = single ? 1 : plan.components[i].v;
                for (int by = 0; by < v; ++by)
                    for (int bx = 0; bx < h; ++bx)
                        EncodeBlock(bits, plan.block(i, mx * h + bx, my * v + by), predictors[i]);
            }
            ++mcus;
            const bool last = my == mcuRows - 1 && mx == mcuColumns - 1;
            if (plan.restartInterval != 0 && mcus % plan.restartInterval == 0 && !last) {
                bits.Align();
                out.push_back(0xFF);
                out.push_back(static_cast<std::uint8_t>(0xD0 + restarts++ % 8));
                std::fill(predictors.begin(), predictors.end(), 0);
            }
        }
    }
    bits.Align();
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

std::size_t FindMarkerOffset(const std::vector<std::uint8_t>& file, std::uint8_t code) {
    for (std::size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == code) return i;
    return std::string::npos;
}

}  // namespace jpegtest
