// A stand-in for another program (a calculator, a mail handler) that ends at once. When
// VELMORA_STANDIN_LOG names a file, it appends one line to it: "started", then its arguments
// separated by blanks. Plain C++, so it runs wherever the tests run.
#include <cstdlib>
#include <fstream>

int main(int argc, char* argv[]) {
    const char* log = std::getenv("VELMORA_STANDIN_LOG");
    if (log == nullptr || *log == '\0') return 0;
    std::ofstream out(log, std::ios::app);
    out << "started";
    for (int i = 1; i < argc; ++i) out << ' ' << argv[i];
    out << '\n';
    return out ? 0 : 1;
}
