// The reports for people who maintain sources and the pre-processor: the
// statistics line, the token dump with the name tables, and the keyword
// dump. They only read the run's records; write errors on their streams are
// ignored. The hashed tables are sorted by name here so every listing comes
// out in byte order, numbered by position among all entries.
#include "driver/reports.h"

#include <algorithm>
#include <cstdarg>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/context.h"
#include "output/format_checking.h"
#include "tokens/keywords.h"
#include "tokens/token.h"

namespace bprep2 {

namespace {

void appendFormatted(std::string& out, const char* format, ...) BPREP2_PRINTF(2, 3);

void appendFormatted(std::string& out, const char* format, ...) {
    char buffer[128];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length > 0) out.append(buffer, std::min(static_cast<size_t>(length), sizeof buffer - 1));
}

// "%-Ns" for a text that may hold any byte.
void appendPadded(std::string& out, std::string_view text, size_t width) {
    out.append(text);
    if (text.size() < width) out.append(width - text.size(), ' ');
}

void writeAll(FILE* out, const std::string& text) { std::fwrite(text.data(), 1, text.size(), out); }

std::vector<std::string_view> flagNames(const Token& t) {
    std::vector<std::string_view> names;
    if (t.flags & flagAssign) names.push_back("Assign");
    if (t.flags & flagLabel) names.push_back("Label");
    if (t.flags & flagFirst) names.push_back("First");
    return names;
}

std::vector<std::string> valueEntries(const TokenList& tokens, const Token& t) {
    std::vector<std::string> entries;
    switch (t.kind) {
        case TokenKind::Bracket:
        case TokenKind::Brace: {
            std::string e;
            appendFormatted(e, "%d '%c'", t.value(), static_cast<char>(t.value()));
            entries.push_back(e);
            break;
        }
        case TokenKind::CallName:
        case TokenKind::Verbatim:
            entries.emplace_back();
            break;
        case TokenKind::Keyword:
        case TokenKind::Function: {
            static constexpr std::pair<uint32_t, const char*> kBits[] = {
                {kwKeyword, "Keyword"},         {kwFunction1, "Function (1)"},
                {kwFunction2, "Function (2)"},  {kwFunction3, "Function (3)"},
                {kwArgs, "Args (1)"},           {kwObject, "Object"},
            };
            for (const auto& [bit, name] : kBits)
                if (t.hasKeywordFlag(bit)) entries.emplace_back(name);
            break;
        }
        default:
            entries.push_back(std::to_string(tokens.value(t)));
            break;
    }
    return entries;
}

void appendTokenRow(std::string& out, const TokenList& tokens, size_t index, const Token& t) {
    std::vector<std::string_view> flags = flagNames(t);
    std::vector<std::string> values = valueEntries(tokens, t);
    appendFormatted(out, "%-8zu %-2d ", index, kindNumber(t.kind));
    appendPadded(out, kindName(kindNumber(t.kind)), 15);
    out += ' ';
    appendPadded(out, flags.empty() ? std::string_view() : flags[0], 12);
    appendFormatted(out, " %-7d ", static_cast<int>(t.special));
    appendPadded(out, values.empty() ? std::string_view() : values[0], 10);
    out += ' ';
    out.append(tokens.text(t));
    out += '\n';
    for (size_t k = 1; k < flags.size() || k < values.size(); ++k) {
        appendPadded(out, {}, 35);
        out += ' ';
        appendPadded(out, k < flags.size() ? flags[k] : std::string_view(), 12);
        out += ' ';
        appendPadded(out, k < values.size() ? std::string_view(values[k]) : std::string_view(), 10);
        out += '\n';
    }
}

std::vector<std::pair<std::string_view, bool>> sortedByName(const NameSet& names) {
    std::vector<std::pair<std::string_view, bool>> entries(names.begin(), names.end());
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The members of a name set, numbered by position among every name it kept.
void appendNameSet(std::string& out, const NameSet& names) {
    size_t position = 0;
    for (const auto& [name, isMember] : sortedByName(names)) {
        if (isMember) {
            appendFormatted(out, "%-8zu ", position);
            appendPadded(out, name, 20);
            out += '\n';
        }
        ++position;
    }
}

}  // namespace

void printStatistics(const RunContext& run, FILE* out) {
    std::string line;
    appendFormatted(line, "Compiled %zu tokens, %zu equates, %u files, %u lines,", run.tokens.size(),
                    run.equates.size(), run.scan.filesOpened, run.scan.linesRead);
    const ResultSlots& slots = run.commandLine.results;
    if (slots.text)
        appendFormatted(line, " internal %u bytes\n", slots.length ? *slots.length : 0u);
    else
        line += " external\n";
    writeAll(out, line);
}

void dumpTokens(const RunContext& run, FILE* out) {
    std::string text =
        "Token#   Type               Sub Type     Special Op Int     Op String\n"
        "------   ----               --------     ------- ------     ---------\n";
    for (size_t i = 0; i < run.tokens.size(); ++i) appendTokenRow(text, run.tokens, i, run.tokens[i]);

    text += "\nEquat#   Name                 Value\n------   ----                 -----\n";
    size_t position = 0;
    for (const auto& [name, replacement] : run.equates.entries()) {
        appendFormatted(text, "%-8zu ", position++);
        appendPadded(text, name, 20);
        text += ' ';
        text += replacement;
        text += '\n';
    }

    text += "\nCond #   Name                 Value\n------   ----                 -----\n";
    position = 0;
    for (const auto& [name, value] : run.directives.definitions) {
        if (value >= 1) {
            appendFormatted(text, "%-8zu ", position);
            appendPadded(text, name, 20);
            appendFormatted(text, " %d\n", value);
        }
        ++position;
    }

    text += "\nUserDef# Name\n-------- ----\n";
    appendNameSet(text, run.declared.functions);
    text += "\nDimAr#   Name\n------   ----\n";
    appendNameSet(text, run.declared.arrays);
    writeAll(out, text);
}

void dumpKeywords(const RunContext& run, FILE* out) {
    std::vector<std::pair<std::string_view, const KeywordEntry*>> entries;
    entries.reserve(run.scan.keywords.size());
    for (const auto& [name, word] : run.scan.keywords)
        if (word.row || word.appended) entries.emplace_back(name, word.row);
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });

    std::string text =
        "\nReser#   Name                 Value       Special\n"
        "------   ----                 -----       -------\n";
    for (size_t position = 0; position < entries.size(); ++position) {
        const KeywordEntry* row = entries[position].second;
        if (!row) continue;
        appendFormatted(text, "%-8zu ", position);
        appendPadded(text, entries[position].first, 20);
        // "%#.8x" prints a bare 00000000 for zero, 0x and eight digits otherwise.
        if (row->flags)
            appendFormatted(text, " 0x%08x  %u\n", row->flags, row->special);
        else
            appendFormatted(text, " 00000000  %u\n", row->special);
    }
    writeAll(out, text);
}

}  // namespace bprep2
