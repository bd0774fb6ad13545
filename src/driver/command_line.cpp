// The command line: option letters in getopt style, options spelled as a
// whole argument, the source name, and the in-process form in which a
// calling program passes its result slots.
//
// Parsing never ends the process. Reading stops at the help or the version,
// which are asked for rather than answered at once; a refused option ends
// the run with status 2; an unknown letter is only warned about. A letter
// that needs an argument and finds none gets the empty text.
//
// Whole-argument options are recognised only where an argument starts and
// before it is read as a cluster of letters, so every spelling the letters
// already gave a meaning keeps it; only spellings that drew unknown-letter
// warnings are taken.
#include "driver/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "bprep2.h"
#include "host/quolt_host.h"
#include "output/dependency_rules.h"
#include "output/diagnostics.h"
#include "scanner/source.h"
#include "tokens/characters.h"

namespace bprep2 {

namespace {

constexpr const char* kOptionLetters = "a:D:e:h?I:mU:";

// Codes of the whole-argument options, above every letter nextOption returns.
constexpr int kVersionOption = 256;
constexpr int kHelpOption = 257;
constexpr int kOutputOption = 258;
constexpr int kDependenciesOption = 259;
constexpr int kUserDependenciesOption = 260;
constexpr int kDependencyFileOption = 261;
constexpr int kTargetOption = 262;
constexpr int kQuotedTargetOption = 263;
constexpr int kPhonyRulesOption = 264;
constexpr int kDiagnosticsFormatOption = 265;
constexpr int kCaretOption = 266;
constexpr int kNoCaretOption = 267;
constexpr int kStandardInputNameOption = 268;

// Where a whole-argument option finds its own argument, if it has one.
enum class ArgumentPlace { None, NextArgument, AfterSpelling };

struct WholeArgumentOption {
    const char* spelling;
    int code;
    ArgumentPlace argument = ArgumentPlace::None;
};

constexpr WholeArgumentOption kWholeArgumentOptions[] = {
    {"--version", kVersionOption},
    {"--help", kHelpOption},
    {"-o", kOutputOption, ArgumentPlace::NextArgument},
    {"--output=", kOutputOption, ArgumentPlace::AfterSpelling},
    {"-MD", kDependenciesOption},
    {"-MMD", kUserDependenciesOption},
    {"-MF", kDependencyFileOption, ArgumentPlace::NextArgument},
    {"-MT", kTargetOption, ArgumentPlace::NextArgument},
    {"-MQ", kQuotedTargetOption, ArgumentPlace::NextArgument},
    {"-MP", kPhonyRulesOption},
    {"-fdiagnostics-format=", kDiagnosticsFormatOption, ArgumentPlace::AfterSpelling},
    {"-fdiagnostics-show-caret", kCaretOption},
    {"-fno-diagnostics-show-caret", kNoCaretOption},
    {"--stdin-filename=", kStandardInputNameOption, ArgumentPlace::AfterSpelling},
};

struct DiagnosticsFormatName {
    const char* name;
    DiagnosticsFormat format;
};

constexpr DiagnosticsFormatName kDiagnosticsFormats[] = {
    {"legacy", DiagnosticsFormat::Legacy},
    {"gnu", DiagnosticsFormat::Gnu},
    {"sarif-stderr", DiagnosticsFormat::SarifStderr},
    {"sarif-file", DiagnosticsFormat::SarifFile},
};

constexpr const char* kSarifSuffix = ".sarif";
constexpr const char* kSarifFileWithoutSource = "bprep2.sarif";

#ifdef _WIN32
constexpr const char* kPathSeparators = "/\\";
#else
constexpr const char* kPathSeparators = "/";
#endif

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

// A refused command line ends the run with this status, as the help does.
constexpr int32_t refusedStatus = 2;
constexpr int32_t helpStatus = 2;

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

// An option spelled with its argument matches by its start.
const WholeArgumentOption* findWholeArgumentOption(std::string_view argument) {
    for (const WholeArgumentOption& option : kWholeArgumentOptions) {
        bool matches = option.argument == ArgumentPlace::AfterSpelling ? argument.starts_with(option.spelling)
                                                                      : argument == option.spelling;
        if (matches) return &option;
    }
    return nullptr;
}

constexpr int optionEnd = -1;

// Where the reading of one argument vector stands, in getopt style: the
// next argument, the next letter of a cluster, the argument of the option
// last read.
struct OptionCursor {
    OptionCursor(int count, char** vector) : argc(count), argv(vector) {}

    int argc;
    char** argv;
    int index = 1;
    const char* letter = nullptr;  // inside a cluster; null between arguments
    std::string argument;
    std::string_view spelling;  // of the whole-argument option last read
    // The unknown letters met, in order, for the warnings written once the
    // whole command line has said how messages look.
    std::string unknownLetters;

    // The next option: a letter of `letters`, or the code of an option
    // spelled as a whole argument (above every letter); optionEnd at the
    // first operand.
    int next(const char* letters) {
        for (;;) {
            if (!letter) {
                if (index >= argc) return optionEnd;
                const char* word = argv[index];
                if (!word || word[0] != '-') return optionEnd;
                ++index;
                if (const WholeArgumentOption* whole = findWholeArgumentOption(word)) {
                    takeArgumentOf(*whole, word);
                    return whole->code;
                }
                letter = word + 1;
            }
            char c = *letter;
            if (c == '\0') {
                letter = nullptr;  // a lone "-" or the end of a cluster
                continue;
            }
            ++letter;
            const char* known = c == ':' ? nullptr : std::strchr(letters, c);
            if (!known) {
                unknownLetters.push_back(c);
                continue;
            }
            if (known[1] != ':') {
                argument.clear();
                return static_cast<unsigned char>(c);
            }
            if (*letter)
                argument = letter;
            else if (index < argc && argv[index])
                argument = argv[index++];
            else
                argument.clear();
            letter = nullptr;
            return static_cast<unsigned char>(c);
        }
    }

   private:
    // A missing argument reads as the empty text, as a letter's does.
    void takeArgumentOf(const WholeArgumentOption& option, const char* word) {
        spelling = option.spelling;
        argument.clear();
        if (option.argument == ArgumentPlace::AfterSpelling) {
            spelling.remove_suffix(1);  // the '=' joins, it is not part of the name
            argument = word + std::strlen(option.spelling);
        } else if (option.argument == ArgumentPlace::NextArgument && index < argc && argv[index]) {
            argument = argv[index++];
        }
    }
};

// The reading of a whole command line, the one after -m included.
class CommandLineParse {
   public:
    CommandLineParse(CommandLine& result, bool inProcess) : result_(result), inProcess_(inProcess) {}

    // The warnings about unknown letters, in the form the command line
    // asked for; written before any refusal, so they keep their order.
    void writeUnknownLetterWarnings() {
        for (char c : unknownLetters_) writeCommandLineWarning(std::string(1, c) + " is an unknown option");
        unknownLetters_.clear();
    }

    void parse(int argc, char** argv, bool slotsAllowed) {
        OptionCursor cursor(argc, argv);
        for (int option; (option = nextOption(cursor)) != optionEnd;) {
            const std::string& argument = cursor.argument;
            switch (option) {
                case 'a':
                    result_.sources.defaultDatabaseFile = argument;
                    break;
                case 'D':
                    define(argument);
                    break;
                case 'e':
                    result_.equateExportFile = argument;
                    break;
                case 'h':
                case '?':
                case kHelpOption:
                    result_.request = Request::Help;
                    return;
                case 'I':
                    result_.sources.includeDirs.push_back(argument);
                    break;
                case 'm':
                    takeInProcessForm(argc, argv, cursor.index, slotsAllowed);
                    return;
                case 'U':
                    // An empty name is a mistake of the calling script (an
                    // unset variable), not a request to cancel nothing.
                    if (argument.empty()) refuse("Option -U needs a name");
                    cancel(argument);
                    break;
                case kVersionOption:
                    askForVersion();
                    return;
                case kOutputOption:
                    refuseInProcess(cursor.spelling, "the text goes to the result slots");
                    result_.outputFile = needed(cursor, "a file name");
                    break;
                case kDependenciesOption:
                case kUserDependenciesOption:
                case kDependencyFileOption:
                case kTargetOption:
                case kQuotedTargetOption:
                case kPhonyRulesOption:
                    refuseInProcess(cursor.spelling, "it writes a file");
                    takeDependencyOption(option, cursor);
                    break;
                case kDiagnosticsFormatOption:
                    style_.format = diagnosticsFormatNamed(cursor);
                    if (style_.format == DiagnosticsFormat::SarifFile)
                        refuseInProcess(cursor.spelling, "it writes a file");
                    setDiagnosticsStyle(style_);
                    break;
                case kCaretOption:
                case kNoCaretOption:
                    style_.showCaret = option == kCaretOption;
                    setDiagnosticsStyle(style_);
                    break;
                case kStandardInputNameOption:
                    refuseInProcess(cursor.spelling, "standard input is the caller's");
                    result_.inputName = needed(cursor, "a file name");
                    result_.sources.mainFromStandardInput = true;
                    break;
                default:
                    break;
            }
        }
        addPredefinedNames();
        appendReleaseIncludeDir();
        if (cursor.index < argc && argv[cursor.index]) takeSourceName(argv[cursor.index]);
        completeDependencyRequest();
        nameSarifFile();
    }

   private:
    int nextOption(OptionCursor& cursor) {
        int option = cursor.next(kOptionLetters);
        unknownLetters_ += cursor.unknownLetters;
        cursor.unknownLetters.clear();
        return option;
    }

    // Messages about the command line come before any source is read: they
    // are plain lines.
    [[noreturn]] void refuse(const std::string& message) {
        writeUnknownLetterWarnings();
        const Diagnostics plain;
        plain.errorWithStatus(refusedStatus, "%s", message.c_str());
    }

    // The source read from standard input has its name already.
    void takeSourceName(const char* name) {
        if (result_.sources.mainFromStandardInput)
            refuse("Option --stdin-filename takes the place of the source name '" + std::string(name) + "'");
        result_.inputName = name;
    }

    // The log is named after the source, in the working directory.
    void nameSarifFile() {
        if (style_.format != DiagnosticsFormat::SarifFile) return;
        std::string_view source = baseName(result_.inputName);
        style_.logFile = source.empty() ? kSarifFileWithoutSource : std::string(source) + kSarifSuffix;
        setDiagnosticsStyle(style_);
    }

    DiagnosticsFormat diagnosticsFormatNamed(const OptionCursor& cursor) {
        for (const DiagnosticsFormatName& known : kDiagnosticsFormats)
            if (cursor.argument == known.name) return known.format;
        std::string names;
        for (const DiagnosticsFormatName& known : kDiagnosticsFormats)
            names += std::string(names.empty() ? "" : ", ") + known.name;
        refuse("Option " + std::string(cursor.spelling) + " needs " + names);
    }

    // The options that write files: an in-process caller gets the text in
    // its slots and must not have files appear behind its back.
    void refuseInProcess(std::string_view spelling, std::string_view why) {
        if (inProcess_)
            refuse("Option " + std::string(spelling) + " is not for in-process callers: " + std::string(why));
    }

    // The argument of a whole-argument option, which must not be empty.
    const std::string& needed(const OptionCursor& cursor, std::string_view what) {
        if (cursor.argument.empty()) refuse("Option " + std::string(cursor.spelling) + " needs " + std::string(what));
        return cursor.argument;
    }

    void takeDependencyOption(int option, const OptionCursor& cursor) {
        DependencyRequest& request = result_.dependencies;
        if (option == kDependenciesOption || option == kUserDependenciesOption) {
            request.wanted = true;
            request.releaseMembers = option == kDependenciesOption;
            requestSpelling_ = cursor.spelling;
            return;
        }
        if (dependencyDetail_.empty()) dependencyDetail_ = cursor.spelling;
        if (option == kDependencyFileOption) request.file = needed(cursor, "a file name");
        else if (option == kTargetOption) request.targets.push_back(needed(cursor, "a target"));
        else if (option == kQuotedTargetOption) request.targets.push_back(quotedForMake(needed(cursor, "a target")));
        else request.phonyRules = true;
    }

    // The defaults: the -o file is the target, and names the dependency
    // file after itself; without it the file is named after the source, in
    // the working directory, and a target must be given.
    void completeDependencyRequest() {
        DependencyRequest& request = result_.dependencies;
        if (!request.wanted) {
            if (!dependencyDetail_.empty())
                refuse("Option " + std::string(dependencyDetail_) + " needs -MD or -MMD");
            return;
        }
        const std::string& output = result_.outputFile;
        bool outputNamed = !output.empty() && output != standardOutputName;
        if (request.targets.empty()) {
            if (!outputNamed)
                refuse("Option " + std::string(requestSpelling_) + " needs a target: -o FILE, -MT or -MQ");
            request.targets.push_back(quotedForMake(output));
        }
        if (request.file.empty())
            request.file = withDependencySuffix(outputNamed ? output : baseName(result_.inputName));
    }

    static std::string_view baseName(std::string_view path) {
        size_t separator = path.find_last_of(kPathSeparators);
        return separator == std::string_view::npos ? path : path.substr(separator + 1);
    }

    // `name` with its suffix replaced by ".d", or ".d" added when it has none.
    static std::string withDependencySuffix(std::string_view name) {
        size_t dot = name.rfind('.');
        size_t separator = name.find_last_of(kPathSeparators);
        if (dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator))
            name = name.substr(0, dot);
        return std::string(name) + ".d";
    }

    void define(const std::string& argument) {
        size_t equals = argument.find('=');
        std::string name = argument.substr(0, equals);
        cancelled_.erase(name);
        result_.definitions[name] =
            equals == std::string::npos ? 1 : leadingNumber(std::string_view(argument).substr(equals + 1));
    }

    void cancel(const std::string& name) {
        result_.definitions.erase(name);
        cancelled_.insert(name);
    }

    void addPredefinedNames() {
        for (const char* name : kPredefinedNames)
            if (!cancelled_.count(name)) result_.definitions[name] = 1;
    }

    void appendReleaseIncludeDir() {
        // Empty is as unset: joined with "include" it would name /include.
        const char* release = std::getenv("BASCRELEASEDIR");
        if (!release || !*release) return;
        result_.sources.releaseIncludeDir = joinPath(release, "include");
        result_.sources.includeDirs.push_back(result_.sources.releaseIncludeDir);
    }

    // -m: the caller's three result slots, then a whole further command line
    // that is parsed as a fresh argument vector.
    void takeInProcessForm(int argc, char** argv, int first, bool slotsAllowed) {
        if (!slotsAllowed)
            refuse(inProcess_ ? "Option -m cannot appear in the in-process command line"
                              : "Option -m is only for in-process callers");
        bool complete = argc - first >= kInProcessEntries;
        for (int i = 0; complete && i < kInProcessEntries; ++i) complete = argv[first + i] != nullptr;
        if (!complete) refuse("Option -m needs the three result references and a command line");
        result_.results.text = reinterpret_cast<char**>(argv[first]);
        result_.results.length = reinterpret_cast<uint32_t*>(argv[first + 1]);
        result_.results.status = reinterpret_cast<uint32_t*>(argv[first + 2]);

        std::vector<std::string> words = splitAtBlanks(argv[first + 3]);
        std::vector<char*> vector;
        vector.reserve(words.size() + 1);
        for (std::string& w : words) vector.push_back(w.data());
        vector.push_back(nullptr);
        parse(static_cast<int>(words.size()), vector.data(), false);
    }

    // An in-process caller reads the version with bprep2_version():
    // standard output is not where its text goes, and a status of 0 would
    // promise text in the slots.
    void askForVersion() {
        if (inProcess_) refuse("Option --version is not for in-process callers: call bprep2_version()");
        result_.request = Request::Version;
    }

    CommandLine& result_;
    const bool inProcess_;
    // What -D and -U leave for the predefined names: those whose last
    // mention on the command line was a -U stay undefined.
    std::set<std::string> cancelled_;
    std::string_view requestSpelling_;   // the last of -MD and -MMD
    std::string_view dependencyDetail_;  // the first of -MF, -MT, -MQ and -MP
    DiagnosticsStyle style_;
    std::string unknownLetters_;
};

}  // namespace

CommandLine parseCommandLine(int argc, char** argv, bool inProcess) {
    CommandLine result;
    CommandLineParse parse(result, inProcess);
    parse.parse(argc, argv, inProcess);
    parse.writeUnknownLetterWarnings();
    return result;
}

int32_t answerRequest(Request request, bool inProcess) {
    if (request == Request::Help) {
        // An in-process caller's standard output is its own, not the
        // program's.
        writeHelp(inProcess ? stderr : stdout);
        return helpStatus;
    }
    std::printf("bprep2 %s\n", bprep2_version());
    std::fflush(stdout);
    return 0;
}

}  // namespace bprep2
