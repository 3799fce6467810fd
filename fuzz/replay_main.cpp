// The fuzz targets as ordinary programs: each argument, a file or a folder of files, is run
// once through the target's entry point. A broken invariant aborts, so a ctest over the seed
// corpus and every input that once found a fault fails when the fault comes back. Built by
// any compiler, with or without sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int runFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return 1;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    std::fprintf(stderr, "%s\n", path.string().c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int failures = 0;
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (!std::filesystem::exists(path)) continue;  // an area without regression inputs yet
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                if (entry.is_regular_file()) failures += runFile(entry.path()), ++inputs;
            }
        } else {
            failures += runFile(path), ++inputs;
        }
    }
    std::fprintf(stderr, "%d inputs run\n", inputs);
    return failures == 0 && inputs > 0 ? 0 : 1;
}
