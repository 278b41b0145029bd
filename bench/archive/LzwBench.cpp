// Throughput of the archive's LZW codec on mesh-like text and on incompressible bytes, beside the
// `compress` program (Debian's ncompress) on the same bytes. Both sides are measured in CPU time, so
// that other work on a shared machine does not tilt the comparison: the codec's as the process CPU
// time of the calls, the program's as the whole child process's user + system time (start-up,
// reading the file, writing to /dev/null), taken from wait4().
//
// Bytes per second count the uncompressed bytes on every side.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "SampleData.h"
#include "archive/LzwCoder.h"
#include "archive/LzwDecoder.h"
#include "archive/LzwFormat.h"

extern char** environ;

namespace {

constexpr std::size_t kSize = 4 << 20;

const std::vector<std::uint8_t>& Input(int kind) {
    static const std::vector<std::uint8_t> text = sample::MeshText(kSize, 1);
    static const std::vector<std::uint8_t> random = sample::RandomBytes(kSize, 1);
    return kind == 0 ? text : random;
}

const char* KindName(int kind) {
    return kind == 0 ? "mesh text" : "random";
}

void Compress(benchmark::State& state) {
    const auto& input = Input(static_cast<int>(state.range(0)));
    std::vector<std::uint8_t> out;
    for (auto _ : state) {
        lzw::Compress(input, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
    state.SetLabel(std::string(KindName(static_cast<int>(state.range(0)))) + ", ratio " +
                   std::to_string(static_cast<double>(out.size()) / static_cast<double>(input.size())));
}

void Expand(benchmark::State& state) {
    const auto& input = Input(static_cast<int>(state.range(0)));
    std::vector<std::uint8_t> packed;
    lzw::Compress(input, packed);
    std::vector<std::uint8_t> out(input.size() + lzw::kExpandSlack);
    lzw::LzwDecoder decoder;
    std::size_t length = 0;
    for (auto _ : state) {
        if (!decoder.Expand(out, length, packed)) state.SkipWithError("stream refused");
        benchmark::DoNotOptimize(out.data());
    }
    if (!std::equal(input.begin(), input.end(), out.begin())) state.SkipWithError("expanded bytes differ");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
    state.SetLabel(KindName(static_cast<int>(state.range(0))));
}

// Writes `bytes` to a file under /tmp once per name and returns its path.
std::string TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = "/tmp/marisole-lzw-bench-" + std::to_string(getpid()) + "-" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Runs `compress` with the arguments, stdout to `outPath`; true when it exits with 0 (or 2, which
// compress uses for "output larger than input"). `cpuSeconds` receives the child's user + system time.
bool RunCompress(std::vector<std::string> args, const std::string& outPath, double* cpuSeconds = nullptr) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    args.insert(args.begin(), "compress");
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "compress", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    if (cpuSeconds) {
        *cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    }
    return WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 2);
}

void CompressProgram(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const auto& input = Input(kind);
    const std::string in = TempFile(std::to_string(kind) + ".in", input);
    for (auto _ : state) {
        double seconds = 0;
        if (!RunCompress({"-c", in}, "/dev/null", &seconds)) {
            state.SkipWithError("compress (ncompress) is not available");
            break;
        }
        state.SetIterationTime(seconds);
    }
    const std::string packed = in + ".Z";
    RunCompress({"-c", in}, packed);
    std::ifstream packedFile(packed, std::ios::binary | std::ios::ate);
    const auto packedSize = static_cast<double>(packedFile.tellg());
    std::remove(in.c_str());
    std::remove(packed.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
    state.SetLabel(std::string(KindName(kind)) + ", ratio " +
                   std::to_string(packedSize / static_cast<double>(input.size())));
}

void ExpandProgram(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const auto& input = Input(kind);
    const std::string in = TempFile(std::to_string(kind) + ".in", input);
    const std::string packed = in + ".Z";
    if (!RunCompress({"-c", in}, packed)) state.SkipWithError("compress (ncompress) is not available");
    for (auto _ : state) {
        double seconds = 0;
        if (!RunCompress({"-d", "-c", packed}, "/dev/null", &seconds)) {
            state.SkipWithError("compress -d failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    std::remove(in.c_str());
    std::remove(packed.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
    state.SetLabel(KindName(kind));
}

}  // namespace

BENCHMARK(Compress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(CompressProgram)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(Expand)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ExpandProgram)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();
