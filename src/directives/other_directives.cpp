// The directives that are not conditionals or includes: #define, #option,
// the #inline and #header blocks, #cheader and #bprepfilename.
//
// The two blocks read their lines themselves and copy them through as
// Verbatim text between marker keywords, one line end per copied line, and
// close with a line marker, so the output keeps the source's line count.
// Copied lines are never scanned. Every read stays inside its line.
#include <string>

#include "directives/directive_steps.h"
#include "host/quolt_host.h"
#include "scanner/source.h"
#include "tokens/characters.h"

namespace bprep2 {

namespace {

// How a block recognises its end line.
struct BlockRules {
    std::string_view startMarker;
    std::string_view endMarker;
    std::string_view endLine;       // 10 characters, case matters
    std::string_view endLineSwapped;
    bool endMayBeIndented;
};

constexpr BlockRules inlineRules = {"QAC_INLINE_START", "QAC_INLINE_END", "#endinline", "#inlineend",
                                    true};
constexpr BlockRules headerRules = {"QAC_HEADER_START", "QAC_HEADER_END", "#endheader", "#headerend",
                                    false};

bool isBlockEnd(const BlockRules& rules, std::string_view line) {
    size_t pos = rules.endMayBeIndented ? skipBlanks(line, 0) : 0;
    std::string_view head = line.substr(pos, rules.endLine.size());
    return head == rules.endLine || head == rules.endLineSwapped;
}

void restAtLineEnd(SourceReader& reader) {
    reader.scanPos = static_cast<int64_t>(reader.lineText.size());
}

// Copies lines up to the end line (or the end of the source); `copying`
// false reads and counts them without producing anything.
void copyBlock(Scan& scan, SourceReader& reader, const BlockRules& rules, bool copying) {
    if (copying) {
        appendToken(scan, reader, TokenKind::Keyword, rules.startMarker, 0);
        appendToken(scan, reader, TokenKind::LineEnd, {}, 1);
    }
    while (readSourceLine(scan, reader)) {
        reader.scanPos = 0;
        if (isBlockEnd(rules, reader.lineText)) break;
        if (copying) {
            appendToken(scan, reader, TokenKind::Verbatim, reader.lineText, 0);
            appendToken(scan, reader, TokenKind::LineEnd, {}, 1);
        }
    }
    restAtLineEnd(reader);
    if (copying) appendToken(scan, reader, TokenKind::Keyword, rules.endMarker, 0);
    appendToken(scan, reader, TokenKind::LineMarker, reader.fileName, static_cast<int32_t>(reader.lineNumber));
}

}  // namespace

void defineDirective(Scan& scan, DirectiveState&, SourceReader& reader) {
    std::string_view line = reader.lineText;
    size_t pos = skipBlanks(line, static_cast<size_t>(reader.scanPos));
    reader.scanPos = static_cast<int64_t>(pos);
    size_t length = nameLengthAt(scan.options, line, pos);
    if (length == 0) scan.diagnostics.error("Invalid syntax for #define");
    std::string name(line.substr(pos, length));
    size_t valueStart = skipBlanks(line, pos + length);
    // The name is kept as written whatever the case option says.
    scan.equates.set(name, line.substr(valueStart));
    restAtLineEnd(reader);
}

void optionDirective(Scan& scan, DirectiveState&, SourceReader& reader) {
    std::string_view line = reader.lineText;
    size_t pos = skipBlanks(line, static_cast<size_t>(reader.scanPos));
    reader.scanPos = static_cast<int64_t>(pos);
    std::string_view words = line.substr(pos);
    scan.options.word = QUOLTCtoolsParseCompileOptions(&scan.options.word, words.data(),
                                                       static_cast<uint32_t>(words.size()), 0);
    restAtLineEnd(reader);
}

void inlineBlock(Scan& scan, DirectiveState& state, SourceReader& reader) {
    copyBlock(scan, reader, inlineRules, state.linesActive());
}

// A header block is copied even inside an inactive region.
void headerBlock(Scan& scan, DirectiveState&, SourceReader& reader) { copyBlock(scan, reader, headerRules, true); }

void cheaderDirective(Scan& scan, DirectiveState& state, SourceReader& reader) {
    if (state.linesActive()) appendToken(scan, reader, TokenKind::Verbatim, reader.lineText, 0);
}

SourcePosition parseSourcePosition(std::string_view rest) {
    SourcePosition result;
    size_t firstStart = skipBlanks(rest, 0);
    size_t firstEnd = wordEnd(rest, firstStart);
    size_t secondStart = skipBlanks(rest, firstEnd);
    size_t secondEnd = wordEnd(rest, secondStart);
    if (firstEnd == firstStart || secondEnd == secondStart) return result;

    std::string_view first = rest.substr(firstStart, firstEnd - firstStart);
    std::string_view second = rest.substr(secondStart, secondEnd - secondStart);
    // Only a slash separates: the word usually arrives as "dir/name" with
    // its quotes, and without a slash its first character is the quote.
    size_t slash = first.rfind('/');
    std::string_view name = slash == std::string_view::npos ? first.substr(1) : first.substr(slash + 1);

    result.present = true;
    result.lineNumber = saturatingDecimal(second.substr(1));
    result.lineMarker = "#line " + std::to_string(result.lineNumber) + " \"" + std::string(name);
    if (!name.empty() && name.back() == '"') name.remove_suffix(1);
    result.fileName = std::string(name);
    return result;
}

void fileNameDirective(Scan& scan, DirectiveState&, SourceReader& reader) {
    // The directive line itself does not count, whether or not it names a
    // position.
    reader.lineNumber -= 1;
    SourcePosition position = parseSourcePosition(
        std::string_view(reader.lineText).substr(static_cast<size_t>(reader.scanPos)));
    if (position.present) {
        appendToken(scan, reader, TokenKind::Verbatim, position.lineMarker, 0);
        reader.fileName = position.fileName;
        reader.lineNumber = static_cast<uint32_t>(position.lineNumber) - 1u;
    }
    restAtLineEnd(reader);
}

}  // namespace bprep2
