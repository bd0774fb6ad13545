// The one routine every diagnostic goes through.
//
// While a line is being scanned the report shows that line (TABs as single
// blanks, so the caret lines up) with a caret under the scan position and
// names the line and file; otherwise it is one plain line. Each report is
// written in one piece and flushed, so it never interleaves with other
// output, and a warning request applies to one report only.
#include "driver/report.h"

#include <cstdarg>
#include <cstdio>
#include <string>

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

bool hasValidPosition(const SourceReader* reader) {
    return reader && reader->scanPos >= 0 &&
           static_cast<uint64_t>(reader->scanPos) <= reader->lineText.size();
}

void appendLineWithCaret(std::string& out, const SourceReader& reader) {
    for (char c : reader.lineText) out.push_back(c == '\t' ? ' ' : c);
    out.push_back('\n');
    out.append(static_cast<size_t>(reader.scanPos), '-');
    out += "^\n";
}

}  // namespace

void report(PreprocessorContext& ctx, const char* format, ...) {
    const char* severity = ctx.nextIsWarning ? "Warning" : "Error";
    ctx.nextIsWarning = false;

    va_list args;
    va_start(args, format);
    std::string message = formatMessage(format, args);
    va_end(args);

    const SourceReader* reader = ctx.reader;
    bool positioned = hasValidPosition(reader);
    std::string out;
    if (positioned && !reader->noEcho) appendLineWithCaret(out, *reader);
    out += "bprep2: ";
    out += severity;
    out += ' ';
    out += message;
    if (positioned) {
        out += ": Line " + std::to_string(reader->lineNumber) + " in file " + reader->fileName;
    }
    out += '\n';
    writeMessage(out);
}

void pointAtToken(PreprocessorContext& ctx, size_t index) {
    if (ctx.reader && index < ctx.tokens.size()) ctx.reader->scanPos = ctx.tokens[index].column;
}

void writeMessage(std::string_view text) {
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace bprep2
