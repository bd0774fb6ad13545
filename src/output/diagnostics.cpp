// Formatting and writing the run's messages.
//
// While a line is being scanned a message shows that line (TABs as single
// blanks, so the caret lines up) with a caret under the scan position and
// names the line and file; otherwise it is one plain line. Each message is
// written in one piece and flushed, so it never interleaves with other
// output.
#include "output/diagnostics.h"

#include <cstdarg>
#include <cstdio>

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

void appendLineWithCaret(std::string& out, const ScannedLine& line, int64_t column) {
    for (char c : line.lineText) out.push_back(c == '\t' ? ' ' : c);
    out.push_back('\n');
    out.append(static_cast<size_t>(column), '-');
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
    out += message;
    if (positioned) out += ": Line " + std::to_string(line->lineNumber) + " in file " + line->fileName;
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

void writeMessage(std::string_view text) {
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace bprep2
