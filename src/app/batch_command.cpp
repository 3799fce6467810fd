#include "app/batch_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "calculator/batch.h"
#include "desktop/batch_usage.h"

namespace velmora::app {

namespace {

constexpr int kUsageStatus = 2;
constexpr std::size_t kReadChunkBytes = 1 << 16;
constexpr std::size_t kFlushBytes = 1 << 16;  // output is written in pieces of about this size

int usageError(const std::string& problem) {
    std::fprintf(stderr, "velmora: %s\n%s", problem.c_str(), desktop::kBatchUsage);
    return kUsageStatus;
}

struct Arguments {
    calc::BatchOptions options;
    std::string file;  // empty or "-": standard input
    bool help = false;
};

// Reads the arguments into out; the problem as a sentence when they cannot be used.
std::optional<std::string> readArguments(int argc, char* argv[], Arguments& out) {
    bool problemGiven = false;
    bool datumGiven = false;
    bool fileGiven = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            if (fileGiven) return "more than one input file ('" + std::string(arg) + "')";
            out.file = arg;
            fileGiven = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string_view> inlineValue;
        if (const std::size_t eq = arg.find('='); arg.starts_with("--") && eq != arg.npos) {
            inlineValue = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        }
        const bool takesValue = arg == "--datum" || arg == "--ellipsoid" || arg == "--unit";
        std::string_view value;
        if (takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                return "option '" + std::string(arg) + "' needs a value";
            }
        } else if (inlineValue) {
            return "option '" + std::string(arg) + "' takes no value";
        }
        if (arg == "--inverse" || arg == "--direct") {
            if (problemGiven) return std::string("give one of --inverse and --direct");
            out.options.problem =
                arg == "--inverse" ? calc::BatchProblem::Inverse : calc::BatchProblem::Direct;
            problemGiven = true;
        } else if (arg == "--datum" || arg == "--ellipsoid") {
            if (datumGiven) return std::string("give one of --datum and --ellipsoid");
            const std::optional<calc::BatchDatum> datum =
                arg == "--datum" ? calc::DatumByName(value) : calc::DatumFromAxes(value);
            if (!datum) {
                return arg == "--datum"
                           ? "no datum named '" + std::string(value) + "' in the Datum menu"
                           : "'" + std::string(value) +
                                 "' is no ellipsoid: give A,INVF with A > 0 metres, INVF > 1";
            }
            out.options.datum = *datum;
            datumGiven = true;
        } else if (arg == "--unit") {
            const std::optional<std::int16_t> unit = calc::UnitBySymbol(value);
            if (!unit) return "unknown unit '" + std::string(value) + "' (km, mi or nmi)";
            out.options.unit = *unit;
        } else if (arg == "--exact") {
            out.options.exactWhereUnsettled = true;
        } else if (arg == "-h" || arg == "--help") {
            out.help = true;
        } else {
            return "unknown option '" + std::string(arg) + "'";
        }
    }
    if (!problemGiven) return std::string("give --inverse or --direct");
    return std::nullopt;
}

bool writeAll(std::string& out, std::FILE* to) {
    const bool written = out.empty() || std::fwrite(out.data(), 1, out.size(), to) == out.size();
    out.clear();
    return written;
}

}  // namespace

bool IsBatchCommand(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") return false;
        if (arg == "--inverse" || arg == "--direct") return true;
    }
    return false;
}

int RunBatchCommand(int argc, char* argv[]) {
    Arguments arguments;
    if (const std::optional<std::string> problem = readArguments(argc, argv, arguments))
        return usageError(*problem);
    if (arguments.help) {
        std::fputs(desktop::kBatchUsage + 1, stdout);  // without the leading blank line
        return 0;
    }

    std::FILE* in = stdin;
    const bool fromFile = !arguments.file.empty() && arguments.file != "-";
    if (fromFile) {
        in = std::fopen(arguments.file.c_str(), "rb");
        if (!in) {
            return usageError("cannot open '" + arguments.file + "': " + std::strerror(errno));
        }
    }
#ifdef _WIN32
    // Bytes as they are: the rows' own line breaks in, "\n" out.
    if (!fromFile) _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif

    calc::BatchRun run(arguments.options);
    std::string out;
    out.reserve(kFlushBytes + kReadChunkBytes);
    std::string carry;  // the start of a line whose end is not read yet
    std::string chunk(kReadChunkBytes, '\0');
    bool writeFailed = false;
    while (!writeFailed) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), in);
        if (got == 0) break;
        std::string_view data(chunk.data(), got);
        std::size_t newline;
        while ((newline = data.find('\n')) != std::string_view::npos) {
            if (carry.empty()) {
                run.feedLine(data.substr(0, newline), out);
            } else {
                carry.append(data.substr(0, newline));
                run.feedLine(carry, out);
                carry.clear();
            }
            data.remove_prefix(newline + 1);
            if (out.size() >= kFlushBytes) writeFailed = !writeAll(out, stdout);
        }
        carry.append(data);
    }
    const bool readFailed = std::ferror(in) != 0;
    if (!carry.empty()) run.feedLine(carry, out);
    run.finish(out);
    writeFailed = writeFailed || !writeAll(out, stdout) || std::fflush(stdout) != 0;
    if (fromFile) std::fclose(in);

    if (readFailed) {
        std::fprintf(stderr, "velmora: cannot read '%s'\n",
                     fromFile ? arguments.file.c_str() : "standard input");
        return 1;
    }
    if (writeFailed) {
        std::fputs("velmora: cannot write the output\n", stderr);
        return 1;
    }
    return run.failedRows() == 0 ? 0 : 1;
}

}  // namespace velmora::app
