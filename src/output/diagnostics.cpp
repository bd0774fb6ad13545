// Formatting and writing the run's messages.
//
// While a line is being scanned a message shows that line (TABs as single
// blanks, other control characters escaped, and the caret under the same
// character) with a caret under the scan position and names the line and
// file; otherwise it is one plain line. Each message is written in one
// piece and flushed, so it never interleaves with other output.
#include "output/diagnostics.h"

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>

#include <new>
#include <nlohmann/json.hpp>
#include <vector>

#include "output/file_replacement.h"
#include "output/writer.h"
#include "tokens/characters.h"

namespace bprep2 {

namespace {

std::string formatMessage(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) return {};
    std::string message(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(message.data(), message.size(), format, args);
    message.resize(static_cast<size_t>(length));
    return message;
}

bool isOnTheLine(const ScannedLine& line, int64_t column) {
    return column >= 0 && static_cast<uint64_t>(column) <= line.lineText.size();
}

constexpr char hexDigits[] = "0123456789ABCDEF";
constexpr size_t escapeWidth = 4;  // \xHH

void appendEscapedCharacter(std::string& out, char c) {
    const auto byte = static_cast<unsigned char>(c);
    out += "\\x";
    out.push_back(hexDigits[byte / 16]);
    out.push_back(hexDigits[byte % 16]);
}

// The echoed line shows a TAB as one blank and the other control characters
// escaped; the caret's offset counts the escapes' width before the column,
// so it stands under the same character.
struct EchoedLine {
    std::string text;
    size_t caretAt = 0;
};

EchoedLine echoed(const ScannedLine& line, int64_t column) {
    EchoedLine out;
    for (size_t i = 0; i < line.lineText.size(); ++i) {
        char c = line.lineText[i];
        bool escaped = isControlCharacter(c) && c != '\t';
        if (escaped) appendEscapedCharacter(out.text, c);
        else out.text.push_back(c == '\t' ? ' ' : c);
        if (i < static_cast<size_t>(column)) out.caretAt += escaped ? escapeWidth : 1;
    }
    return out;
}

constexpr int32_t errorStatus = 1;

enum class Severity { Error, Warning };

// The legacy form: the line, a caret line of dashes, then
// "bprep2: Error <message>: Line N in file F".
std::string legacyMessage(Severity severity, const ScannedLine* line, int64_t column, const std::string& message) {
    bool positioned = line && isOnTheLine(*line, column);
    std::string out;
    if (positioned && !line->noEcho) {
        EchoedLine shown = echoed(*line, column);
        out += shown.text;
        out.push_back('\n');
        out.append(shown.caretAt, '-');
        out += "^\n";
    }
    out += severity == Severity::Error ? "bprep2: Error " : "bprep2: Warning ";
    out += escapedForMessage(message, true);
    if (positioned) out += ": Line " + std::to_string(line->lineNumber) + " in file " + escapedForMessage(line->fileName);
    out += '\n';
    return out;
}

// GCC's margin: the line number right-aligned in at least this width.
constexpr size_t gutterWidth = 5;
constexpr const char* includeChainFirst = "In file included from ";
constexpr const char* includeChainNext = "                 from ";

std::string editorPosition(const ScannedLine& line) {
    return escapedForMessage(line.openedPath) + ':' + std::to_string(line.physicalLine);
}

// GCC's order: the source that included this one first, the main source last.
void appendIncludeChain(std::string& out, const ScannedLine& line) {
    const char* lead = includeChainFirst;
    for (const ScannedLine* from = line.includedFrom; from; from = from->includedFrom) {
        out += lead;
        out += editorPosition(*from);
        out += from->includedFrom ? ",\n" : ":\n";
        lead = includeChainNext;
    }
}

void appendGutteredLine(std::string& out, const ScannedLine& line, int64_t column) {
    EchoedLine shown = echoed(line, column);
    std::string number = std::to_string(line.physicalLine);
    size_t width = std::max(gutterWidth, number.size());
    out.append(width - number.size(), ' ');
    out += number;
    out += " | ";
    out += shown.text;
    out += '\n';
    out.append(width, ' ');
    out += " | ";
    out.append(shown.caretAt, ' ');
    out += "^\n";
}

// A source still being opened has read no line: its message belongs to the
// INCLUDE that named it.
const ScannedLine* editorLine(const ScannedLine* line, int64_t& column) {
    if (line && line->physicalLine == 0 && line->includedFrom) {
        line = line->includedFrom;
        column = line->scanPos;
    }
    return line && isOnTheLine(*line, column) ? line : nullptr;
}

// One line per message, which editors' problem matchers read; the message
// text's own line breaks stay, those it ends with go.
std::string gnuMessage(Severity severity, const ScannedLine* pointed, int64_t column, const std::string& message) {
    std::string text = escapedForMessage(message, true);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    const char* label = severity == Severity::Error ? "error: " : "warning: ";
    const ScannedLine* line = editorLine(pointed, column);
    if (!line) return "bprep2: " + (label + text) + '\n';
    std::string out;
    appendIncludeChain(out, *line);
    out += editorPosition(*line) + ':' + std::to_string(column + 1) + ": " + label + text + '\n';
    if (diagnosticsStyle().showCaret && !line->noEcho) appendGutteredLine(out, *line, column);
    return out;
}

DiagnosticsStyle currentStyle;

bool isSarif(DiagnosticsFormat format) {
    return format == DiagnosticsFormat::SarifStderr || format == DiagnosticsFormat::SarifFile;
}

// The results of the run's SARIF log, one a message, in the order written.
std::vector<nlohmann::json>& sarifResults() {
    static std::vector<nlohmann::json> results;
    return results;
}

nlohmann::json sarifPlace(const ScannedLine& line, int64_t column) {
    nlohmann::json region = {{"startLine", line.physicalLine}};
    if (column >= 0) region["startColumn"] = column + 1;
    return {{"physicalLocation", {{"artifactLocation", {{"uri", line.openedPath}}}, {"region", region}}}};
}

// A message as a result: its place where it has one (the same the gnu form
// names) and the INCLUDE lines that led there as related locations, the
// nearest first.
void addSarifResult(Severity severity, const ScannedLine* pointed, int64_t column, const std::string& message) {
    std::string text = message;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    nlohmann::json result = {{"level", severity == Severity::Error ? "error" : "warning"},
                             {"message", {{"text", text}}}};
    if (const ScannedLine* line = editorLine(pointed, column)) {
        result["locations"] = nlohmann::json::array({sarifPlace(*line, column)});
        nlohmann::json chain = nlohmann::json::array();
        for (const ScannedLine* from = line->includedFrom; from; from = from->includedFrom) {
            nlohmann::json related = sarifPlace(*from, -1);
            related["id"] = chain.size();
            related["message"] = {{"text", "included from here"}};
            chain.push_back(std::move(related));
        }
        if (!chain.empty()) result["relatedLocations"] = std::move(chain);
    }
    sarifResults().push_back(std::move(result));
}

constexpr const char* sarifSchema =
    "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/sarif-schema-2.1.0.json";

// Source text is often Latin-1 with marks above 0x7F: bytes that are not
// UTF-8 are written as U+FFFD rather than failing the log.
std::string sarifLog(int32_t status, std::string_view toolVersion) {
    nlohmann::json invocation = {{"executionSuccessful", status == 0}, {"exitCode", status}};
    nlohmann::json run = {{"tool", {{"driver", {{"name", "bprep2"}, {"version", toolVersion}}}}},
                          {"invocations", nlohmann::json::array({invocation})},
                          {"results", sarifResults()}};
    nlohmann::json log = {{"$schema", sarifSchema}, {"version", "2.1.0"}, {"runs", nlohmann::json::array({run})}};
    return log.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
}

void writeFormatted(const ScannedLine* line, int64_t column, Severity severity, const char* format, va_list args) {
    std::string message = formatMessage(format, args);
    if (isSarif(currentStyle.format)) addSarifResult(severity, line, column, message);
    else if (currentStyle.format == DiagnosticsFormat::Gnu) writeMessage(gnuMessage(severity, line, column, message));
    else writeMessage(legacyMessage(severity, line, column, message));
}

int64_t scanPosition(const ScannedLine* line) { return line ? line->scanPos : -1; }

}  // namespace

void Diagnostics::error(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    writeFormatted(line_, scanPosition(line_), Severity::Error, format, args);
    va_end(args);
    throw RunFailure{errorStatus};
}

void Diagnostics::errorWithStatus(int32_t status, const char* format, ...) const {
    va_list args;
    va_start(args, format);
    writeFormatted(line_, scanPosition(line_), Severity::Error, format, args);
    va_end(args);
    throw RunFailure{status};
}

void Diagnostics::errorAtColumn(int32_t column, const char* format, ...) const {
    va_list args;
    va_start(args, format);
    writeFormatted(line_, column, Severity::Error, format, args);
    va_end(args);
    throw RunFailure{errorStatus};
}

void Diagnostics::warning(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    writeFormatted(line_, scanPosition(line_), Severity::Warning, format, args);
    va_end(args);
}

void Diagnostics::writeError(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    writeFormatted(line_, scanPosition(line_), Severity::Error, format, args);
    va_end(args);
}

void Diagnostics::writeAtLimit(const SizeLimitExceeded& limit) const {
    writeError("%s exceeds maximum of %" PRIu64 "%s%s", limit.what, limit.maximum, *limit.unit ? " " : "", limit.unit);
}

std::string escapedForMessage(std::string_view text, bool keepLineFeeds) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (isControlCharacter(c) && !(keepLineFeeds && c == '\n')) appendEscapedCharacter(out, c);
        else out.push_back(c);
    }
    return out;
}

void setDiagnosticsStyle(const DiagnosticsStyle& style) {
    if (!isSarif(style.format)) sarifResults().clear();
    currentStyle = style;
}

int32_t finishDiagnostics(int32_t status, std::string_view toolVersion) {
    if (!isSarif(currentStyle.format)) return status;
    std::string log = sarifLog(status, toolVersion);
    sarifResults().clear();
    if (currentStyle.format == DiagnosticsFormat::SarifStderr) {
        writeMessage(log);
        return status;
    }
    return replaceFile(currentStyle.logFile, log) ? status : unwrittenStatus;
}

const DiagnosticsStyle& diagnosticsStyle() { return currentStyle; }

void writeCommandLineWarning(std::string_view message) {
    if (currentStyle.format == DiagnosticsFormat::Legacy) {
        std::fprintf(stderr, "Warning: %.*s\n", static_cast<int>(message.size()), message.data());
        std::fflush(stderr);
        return;
    }
    if (isSarif(currentStyle.format)) addSarifResult(Severity::Warning, nullptr, -1, std::string(message));
    else writeMessage("bprep2: warning: " + escapedForMessage(message) + '\n');
}

void writeOutOfMemory() {
    if (isSarif(currentStyle.format)) {
        // What the run held is released by now; should even the result not
        // fit, the plain line is better than no word at all.
        try {
            addSarifResult(Severity::Error, nullptr, -1, "Not enough memory");
            return;
        } catch (const std::bad_alloc&) {
        }
    }
    writeMessage(currentStyle.format == DiagnosticsFormat::Gnu ? "bprep2: error: Not enough memory\n"
                                                               : "bprep2: Error Not enough memory\n");
}

void writeMessage(std::string_view text) {
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace bprep2
