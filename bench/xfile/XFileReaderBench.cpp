// Parse throughput of the text mesh reader on a generated file of a few MB laid out like the part
// meshes (frames with a matrix and one mesh each: vertices, quads, one inline material, per-vertex
// normals, texture coordinates). Beside it, in the same run: the reader's tokenizer alone, and the
// plain way of reading the same numbers (split the tokens, strtod each) as the reference.

#include <benchmark/benchmark.h>
#include <locale.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/rm/Library.h"
#include "xfile/XFileReader.h"
#include "xfile/XTokenizer.h"

namespace {

std::string Real(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.6f", v);
    return b;
}

void AppendFaces(std::string& s, int grid, const char* indent) {
    const int cells = grid - 1;
    s += indent + std::to_string(cells * cells) + ";\n";
    for (int y = 0; y < cells; ++y) {
        for (int x = 0; x < cells; ++x) {
            const int a = y * grid + x;
            s += indent;
            s += "4;" + std::to_string(a) + "," + std::to_string(a + grid) + "," +
                 std::to_string(a + grid + 1) + "," + std::to_string(a + 1);
            s += (y == cells - 1 && x == cells - 1) ? ";;\n" : ";,\n";
        }
    }
}

// `meshes` frames, each with a grid x grid vertex sheet bent into a half cylinder.
std::string GenerateMeshFile(int meshes, int grid) {
    std::string s = "xof 0302txt 0032\nHeader {\n 1;\n 0;\n 1;\n}\n\nFrame ROOT {\n";
    for (int m = 0; m < meshes; ++m) {
        s += " Frame PART" + std::to_string(m) +
             " {\n  FrameTransformMatrix {\n   1.000000,0.000000,0.000000,0.000000,"
             "0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000," +
             Real(m * 0.5) + ",0.000000,0.000000,1.000000;;\n  }\n  Mesh {\n   " +
             std::to_string(grid * grid) + ";\n";
        for (int i = 0; i < grid * grid; ++i) {
            const double a = 3.14159265 * (i % grid) / (grid - 1);
            s += "   " + Real(std::cos(a) * 1.7) + ";" + Real(i / grid * 0.0625 - 2.0) + ";" +
                 Real(std::sin(a) * 1.7) + (i + 1 < grid * grid ? ";,\n" : ";;\n");
        }
        AppendFaces(s, grid, "   ");
        const int faces = (grid - 1) * (grid - 1);
        s += "   MeshMaterialList {\n    1;\n    " + std::to_string(faces) + ";\n    ";
        for (int f = 0; f < faces; ++f) s += f + 1 < faces ? "0," : "0;;\n";
        s += "    Material {\n     0.800000;0.600000;0.500000;1.000000;;\n     10.000000;\n"
             "     0.200000;0.200000;0.200000;;\n     0.000000;0.000000;0.000000;;\n    }\n   }\n";
        s += "   MeshNormals {\n    " + std::to_string(grid * grid) + ";\n";
        for (int i = 0; i < grid * grid; ++i) {
            const double a = 3.14159265 * (i % grid) / (grid - 1);
            s += "    " + Real(std::cos(a)) + ";0.000000;" + Real(std::sin(a)) +
                 (i + 1 < grid * grid ? ";,\n" : ";;\n");
        }
        AppendFaces(s, grid, "    ");
        s += "   }\n   MeshTextureCoords {\n    " + std::to_string(grid * grid) + ";\n";
        for (int i = 0; i < grid * grid; ++i) {
            s += "    " + Real(double(i % grid) / (grid - 1)) + ";" + Real(double(i / grid) / (grid - 1)) +
                 (i + 1 < grid * grid ? ";,\n" : ";;\n");
        }
        s += "   }\n  }\n }\n";
    }
    s += "}\n";
    return s;
}

const std::string& TestFile() {
    static const std::string file = GenerateMeshFile(8, 64);
    return file;
}

void BM_ReadMeshFile(benchmark::State& state) {
    const std::string& text = TestFile();
    rm::Ref<rm::Library> library = rm::Library::Create();
    std::size_t faces = 0;
    for (auto _ : state) {
        rm::Ref<rm::Frame> root;
        {
            CXFileReader reader;
            reader.Load(text.data(), text.size(), library.Get(), nullptr, &root);
            faces = reader.Frames().size();
        }
        state.PauseTiming();
        root = nullptr;  // releasing the built hierarchy is not reading
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(faces);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ReadMeshFile)->Unit(benchmark::kMillisecond);

void BM_TokenizeOnly(benchmark::State& state) {
    const std::string& text = TestFile();
    for (auto _ : state) {
        xfile::XTokenizer tokens(text);
        std::size_t n = 0;
        while (!tokens.Next().empty()) ++n;
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_TokenizeOnly)->Unit(benchmark::kMillisecond);

// The reference: a copy split with strtok and every token through strtod (C locale), building
// nothing.
void BM_ReferenceStrtokStrtod(benchmark::State& state) {
    const std::string& text = TestFile();
    const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    for (auto _ : state) {
        std::string copy = text;
        double sum = 0;
        char* save = nullptr;
        for (char* t = strtok_r(copy.data(), " ;,\t\r\n", &save); t;
             t = strtok_r(nullptr, " ;,\t\r\n", &save))
            sum += strtod_l(t, nullptr, c);
        benchmark::DoNotOptimize(sum);
    }
    freelocale(c);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReferenceStrtokStrtod)->Unit(benchmark::kMillisecond);

}  // namespace
