// Fuzz target: the bytes are an argument vector for the in-process entry
// point. Up to the first newline they are words (split at blanks) ahead of
// -m, then the further command line, then after a second newline words
// after it, which are to be ignored. Path separators become '_' so that
// -e, -I and -a stay inside the fixture's working directory; the outer
// words are kept well formed (no -m of their own, an option's argument
// attached), since the caller of the in-process form vouches for them.
#include "fuzz_support.h"

namespace {

std::string withoutSeparators(std::string text) {
    for (char& c : text) {
        if (c == '/' || c == '\\' || c == '\0') c = '_';
    }
    return text;
}

std::vector<std::string> outerOptions(const std::string& text) {
    std::vector<std::string> words;
    for (const std::string& raw : fuzzing::splitInput(text, ' ', 64)) {
        if (raw.empty()) continue;
        std::string word = "-" + withoutSeparators(raw);
        for (size_t i = 1; i < word.size(); ++i) {
            if (word[i] == 'm') word[i] = 'M';
            if (std::string_view("aDeIU").find(word[i]) != std::string_view::npos) {
                if (i + 1 == word.size()) word += '_';
                break;
            }
        }
        words.push_back(word);
    }
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts =
        fuzzing::splitInput(std::string_view(reinterpret_cast<const char*>(data), size), '\n', 3);
    std::string line = withoutSeparators(parts.size() > 1 ? parts[1] : parts[0]);
    std::vector<std::string> leading = parts.size() > 1 ? outerOptions(parts[0]) : std::vector<std::string>{};
    std::vector<std::string> trailing;
    if (parts.size() > 2) {
        for (const std::string& word : fuzzing::splitInput(parts[2], ' ', 64))
            trailing.push_back(withoutSeparators(word));
    }
    fuzzing::RunInput input;
    input.items["MEM/main"] = "PRINT 1\nINCLUDE inc.b\n";
    input.files["prog.b"] = "PRINT 1\nINCLUDE inc.b\nEQU A TO 1\n";
    input.files["inc.b"] = "X = A\n";
    input.files["inc/c.b"] = "#ifdef LEVEL\nPRINT LEVEL\n#endif\n";
    fuzzing::runInProcess(input, "bprep2 " + line, leading, trailing);
    return 0;
}
