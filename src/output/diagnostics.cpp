// Formatting and writing the run's messages.
//
// While a line is being scanned a message shows that line (TABs as single
// blanks, other control characters escaped, and the caret under the same
// character) with a caret under the scan position and names the line and
// file; otherwise it is one plain line. Each message is written in one
// piece and flushed, so it never interleaves with other output.
#include "output/diagnostics.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>

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
// escaped, so the caret counts the escapes' width before the column.
void appendLineWithCaret(std::string& out, const ScannedLine& line, int64_t column) {
    size_t caretAt = 0;
    for (size_t i = 0; i < line.lineText.size(); ++i) {
        char c = line.lineText[i];
        bool escaped = isControlCharacter(c) && c != '\t';
        if (escaped) appendEscapedCharacter(out, c);
        else out.push_back(c == '\t' ? ' ' : c);
        if (i < static_cast<size_t>(column)) caretAt += escaped ? escapeWidth : 1;
    }
    out.push_back('\n');
    out.append(caretAt, '-');
    out += "^\n";
}

constexpr int32_t errorStatus = 1;

void writeFormatted(const ScannedLine* line, int64_t column, const char* severity, const char* format,
                    va_list args) {
    std::string message = formatMessage(format, args);
    bool positioned = line && isOnTheLine(*line, column);
    std::string out;
    if (positioned && !line->noEcho) appendLineWithCaret(out, *line, column);
    out += "bprep2: ";
    out += severity;
    out += ' ';
    out += escapedForMessage(message, true);
    if (positioned) out += ": Line " + std::to_string(line->lineNumber) + " in file " + escapedForMessage(line->fileName);
    out += '\n';
    writeMessage(out);
}

int64_t scanPosition(const ScannedLine* line) { return line ? line->scanPos : -1; }

}  // namespace

void Diagnostics::error(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    writeFormatted(line_, scanPosition(line_), "Error", format, args);
    va_end(args);
    throw RunFailure{errorStatus};
}

void Diagnostics::errorWithStatus(int32_t status, const char* format, ...) const {
    va_list args;
    va_start(args, format);
    writeFormatted(line_, scanPosition(line_), "Error", format, args);
    va_end(args);
    throw RunFailure{status};
}

void Diagnostics::errorAtColumn(int32_t column, const char* format, ...) const {
    va_list args;
    va_start(args, format);
    writeFormatted(line_, column, "Error", format, args);
    va_end(args);
    throw RunFailure{errorStatus};
}

void Diagnostics::warning(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    writeFormatted(line_, scanPosition(line_), "Warning", format, args);
    va_end(args);
}

void Diagnostics::writeError(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    writeFormatted(line_, scanPosition(line_), "Error", format, args);
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

void writeOutOfMemory() { writeMessage("bprep2: Error Not enough memory\n"); }

void writeMessage(std::string_view text) {
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace bprep2
