// Runs a fuzz target's function once over each file of the folders given
// (its corpus, then the inputs that once broke it), without libFuzzer: the
// test build compiles every target this way and the suite replays them.
//
//   replay_<target> <corpus folder> [<more folders or files>...]
//
// The first folder must hold at least one file; later ones may be missing.
// A broken invariant traps (the test fails); otherwise the exit code is 0.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
// Defined by the targets that prepare something once.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) __attribute__((weak));

namespace {

std::vector<std::filesystem::path> inputFiles(const std::filesystem::path &where)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    if (std::filesystem::is_regular_file(where, error)) {
        files.push_back(where);
        return files;
    }
    for (const auto &entry : std::filesystem::directory_iterator(where, error))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

bool readFile(const std::filesystem::path &path, std::vector<uint8_t> *bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder> [<folders or files>...]\n", argv[0]);
        return 2;
    }
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int run = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<std::filesystem::path> files = inputFiles(argv[i]);
        if (i == 1 && files.empty()) {
            std::fprintf(stderr, "no inputs in %s\n", argv[i]);
            return 2;
        }
        for (const std::filesystem::path &file : files) {
            std::vector<uint8_t> bytes;
            if (!readFile(file, &bytes)) {
                std::fprintf(stderr, "cannot read %s\n", file.c_str());
                return 2;
            }
            std::printf("%s (%zu bytes)\n", file.c_str(), bytes.size());
            std::fflush(stdout);
            // An empty vector's data() may be null: libFuzzer hands a valid pointer.
            static const uint8_t none = 0;
            LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
            ++run;
        }
    }
    std::printf("%d inputs ran\n", run);
    return 0;
}
