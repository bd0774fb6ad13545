// The command line: option letters in getopt style, options spelled as a
// whole argument, the source name, and the in-process form in which a
// calling program passes its result slots.
//
// Parsing never ends the process. Help, the version and a refused option are
// answered with the status the run must end with; an unknown letter is only
// warned about. A letter that needs an argument and finds none gets the empty
// text.
//
// Whole-argument options are recognised only where an argument starts and
// before it is read as a cluster of letters, so every spelling the letters
// already gave a meaning keeps it; only spellings that drew unknown-letter
// warnings are taken.
#include "driver/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bprep2.h"
#include "driver/platform.h"
#include "driver/report.h"
#include "host/quolt_host.h"
#include "tokens/characters.h"

namespace bprep2 {

namespace {

constexpr const char* kOptionLetters = "a:D:e:h?I:mU:";

// Codes of the whole-argument options, above every letter nextOption returns.
constexpr int kVersionOption = 256;
constexpr int kHelpOption = 257;

struct WholeArgumentOption {
    const char* spelling;
    int code;
};

constexpr WholeArgumentOption kWholeArgumentOptions[] = {
    {"--version", kVersionOption},
    {"--help", kHelpOption},
};

// Defined in every run unless the command line cancels them with -U. They
// are set after the command line, so a -D of one leaves its value at 1.
constexpr const char* kPredefinedNames[] = {"WIN32", "WINDOWS", "WIN64", "QUOLT_RELEASE_4_1",
                                            "QUOLT_RELEASE_4"};

constexpr const char* kHelpHead =
    "Called as\n"
    "bprep2 {-Ddefinition{=nn}} {-afilename} {-h} {-?} {-IIncludeDirectory}\n"
    "Where\n"
    "   -afilename           Specify a Quolt file for INCLUDE statements\n"
    "   -Ddefinition{=nn}    Sets a definition for use in #ifdef conditionals\n"
    "                        Can be multiple -D statements on the command line\n"
    "   -h                  \tThis help screen\n"
    "   -?                  \tThis help screen\n"
    "   -IIncludeDirectory   Sets a directory name for resolving INCLUDE statements\n"
    "                        Can be multiple -I statements on the command line\n"
    "The above options are used internal to Quolt i.e. when called from BASIC or bascomp\n"
    "\n"
    "You can add or remove further options using one or more of the options\n"
    "   shown below, each option delimited by space, colon or comma. These options\n"
    "   can be in your source code prefixed with #option or $option, or can be in\n"
    "   the BASC_BPREP2 environment variables. Each option can be negated by placing 'no'\n"
    "   before the keyword, for example 'nocase'\n";

constexpr const char* kHelpTail =
    "\n"
    "All these options can be negated by adding 'no' to the start of the option\n"
    "\n"
    "   Example:   export BASC_BPREP2=tokens:stats\n"
    "   Example:   In source code add '#option case, nowarnings , vizla\n";

// The slot references and the further command line that follow -m.
constexpr int kInProcessEntries = 4;

void writeHelp(FILE* out) {
    std::fputs(kHelpHead, out);
    for (const QuoltOptionEntry* e = QUOLTCtoolsGetCompilerOptionsTable(); e && e->word; ++e)
        std::fprintf(out, "      %-11s %s\n", e->word, e->description ? e->description : "");
    std::fputs(kHelpTail, out);
    std::fflush(out);
}

// The decimal number at the start of `text` the way atoi reads it (blanks,
// a sign, digits; 0 when there are none), held to the 32-bit range.
int32_t leadingNumber(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && isSpace(text[start])) ++start;
    return saturatingDecimal(text.substr(start));
}

// What -D and -U leave for the predefined names: those whose last mention
// on the command line was a -U stay undefined.
using CancelledNames = std::set<std::string>;

void addDefinition(PreprocessorContext& ctx, CancelledNames& cancelled, const std::string& argument) {
    size_t equals = argument.find('=');
    std::string name = argument.substr(0, equals);
    cancelled.erase(name);
    ctx.definitions[name] =
        equals == std::string::npos ? 1 : leadingNumber(std::string_view(argument).substr(equals + 1));
}

void cancelDefinition(PreprocessorContext& ctx, CancelledNames& cancelled, const std::string& name) {
    ctx.definitions.erase(name);
    cancelled.insert(name);
}

void addPredefinedNames(PreprocessorContext& ctx, const CancelledNames& cancelled) {
    for (const char* name : kPredefinedNames)
        if (!cancelled.count(name)) ctx.definitions[name] = 1;
}

void appendReleaseIncludeDir(PreprocessorContext& ctx) {
    const char* release = std::getenv("BASCRELEASEDIR");
    if (!release) return;
    std::string dir = release;
    dir += pathSeparator;
    dir += "include";
    ctx.includeDirs.push_back(dir);
}

std::vector<std::string> splitAtBlanks(const char* text) {
    std::vector<std::string> words;
    const char* p = text;
    while (*p) {
        while (*p == ' ') ++p;
        const char* start = p;
        while (*p && *p != ' ') ++p;
        if (p > start) words.emplace_back(start, p);
    }
    return words;
}

std::optional<int32_t> parseArguments(PreprocessorContext& ctx, CancelledNames& cancelled, int argc, char** argv,
                                      bool slotsAllowed);

// -m: the caller's three result slots, then a whole further command line
// that is parsed as a fresh argument vector.
std::optional<int32_t> takeInProcessForm(PreprocessorContext& ctx, CancelledNames& cancelled, int argc, char** argv,
                                         bool slotsAllowed) {
    if (!slotsAllowed) {
        report(ctx, ctx.inProcess ? "Option -m cannot appear in the in-process command line"
                                  : "Option -m is only for in-process callers");
        return 2;
    }
    int first = ctx.optionIndex;
    bool complete = first >= 0 && argc - first >= kInProcessEntries;
    for (int i = 0; complete && i < kInProcessEntries; ++i) complete = argv[first + i] != nullptr;
    if (!complete) {
        report(ctx, "Option -m needs the three result references and a command line");
        return 2;
    }
    ctx.resultText = reinterpret_cast<char**>(argv[first]);
    ctx.resultLength = reinterpret_cast<uint32_t*>(argv[first + 1]);
    ctx.resultStatus = reinterpret_cast<uint32_t*>(argv[first + 2]);
    ctx.optionIndex = first + kInProcessEntries;

    std::vector<std::string> words = splitAtBlanks(argv[first + 3]);
    std::vector<char*> vector;
    vector.reserve(words.size() + 1);
    for (std::string& w : words) vector.push_back(w.data());
    vector.push_back(nullptr);
    std::optional<int32_t> status =
        parseArguments(ctx, cancelled, static_cast<int>(words.size()), vector.data(), false);
    ctx.optionCursor = nullptr;  // it pointed into the words, which end here
    return status;
}

// An in-process caller reads the version with bprep2_version(): standard
// output is not where its text goes, and a status of 0 would promise text in
// the slots.
std::optional<int32_t> answerVersion(PreprocessorContext& ctx) {
    if (ctx.inProcess) {
        report(ctx, "Option --version is not for in-process callers: call bprep2_version()");
        return 2;
    }
    std::printf("bprep2 %s\n", bprep2_version());
    std::fflush(stdout);
    return 0;
}

std::optional<int32_t> parseArguments(PreprocessorContext& ctx, CancelledNames& cancelled, int argc, char** argv,
                                      bool slotsAllowed) {
    ctx.optionIndex = 0;
    for (int option; (option = nextOption(ctx, argc, argv, kOptionLetters)) != optionEnd;) {
        switch (option) {
            case 'a':
                ctx.defaultDatabaseFile = ctx.optionArgument;
                break;
            case 'D':
                addDefinition(ctx, cancelled, ctx.optionArgument);
                break;
            case 'e':
                ctx.equateExportFile = ctx.optionArgument;
                break;
            case 'h':
            case '?':
            case kHelpOption:
                writeHelp(stdout);
                return 2;
            case 'I':
                ctx.includeDirs.push_back(ctx.optionArgument);
                break;
            case 'm':
                return takeInProcessForm(ctx, cancelled, argc, argv, slotsAllowed);
            case 'U':
                // An empty name is a mistake of the calling script (an unset
                // variable), not a request to cancel nothing.
                if (ctx.optionArgument.empty()) {
                    report(ctx, "Option -U needs a name");
                    return 2;
                }
                cancelDefinition(ctx, cancelled, ctx.optionArgument);
                break;
            case kVersionOption:
                return answerVersion(ctx);
            default:
                break;
        }
    }
    addPredefinedNames(ctx, cancelled);
    appendReleaseIncludeDir(ctx);
    if (ctx.optionIndex < argc && argv[ctx.optionIndex]) ctx.inputName = argv[ctx.optionIndex];
    return std::nullopt;
}

const WholeArgumentOption* findWholeArgumentOption(const char* argument) {
    for (const WholeArgumentOption& option : kWholeArgumentOptions)
        if (std::string_view(argument) == option.spelling) return &option;
    return nullptr;
}

}  // namespace

int nextOption(PreprocessorContext& ctx, int argc, char** argv, const char* letters) {
    if (ctx.optionIndex == 0) {
        ctx.optionCursor = nullptr;
        ctx.optionIndex = 1;
    }
    for (;;) {
        if (!ctx.optionCursor) {
            if (ctx.optionIndex >= argc) return optionEnd;
            const char* argument = argv[ctx.optionIndex];
            if (!argument || argument[0] != '-') return optionEnd;
            ++ctx.optionIndex;
            if (const WholeArgumentOption* whole = findWholeArgumentOption(argument)) {
                ctx.optionArgument.clear();
                return whole->code;
            }
            ctx.optionCursor = argument + 1;
        }
        char letter = *ctx.optionCursor;
        if (letter == '\0') {
            ctx.optionCursor = nullptr;  // a lone "-" or the end of a cluster
            continue;
        }
        ++ctx.optionCursor;
        const char* known = letter == ':' ? nullptr : std::strchr(letters, letter);
        if (!known) {
            std::fprintf(stderr, "Warning: %c is an unknown option\n", letter);
            std::fflush(stderr);
            continue;
        }
        if (known[1] != ':') {
            ctx.optionArgument.clear();
            return static_cast<unsigned char>(letter);
        }
        if (*ctx.optionCursor)
            ctx.optionArgument = ctx.optionCursor;
        else if (ctx.optionIndex < argc && argv[ctx.optionIndex])
            ctx.optionArgument = argv[ctx.optionIndex++];
        else
            ctx.optionArgument.clear();
        ctx.optionCursor = nullptr;
        return static_cast<unsigned char>(letter);
    }
}

std::optional<int32_t> parseCommandLine(PreprocessorContext& ctx, int argc, char** argv) {
    CancelledNames cancelled;
    return parseArguments(ctx, cancelled, argc, argv, ctx.inProcess);
}

}  // namespace bprep2
