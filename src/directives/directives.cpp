// The directive handler: recognises the word after a line's leading # or $
// and hands the line to the branch for that word.
//
// Guarantees: no read leaves the line; on return the context's reader is
// the directive line's own reader again (an #include's inner scan clears
// it); a failure has been reported once and its status set on that reader.
#include "directives/directive_steps.h"
#include "directives/directives.h"
#include "driver/report.h"
#include "scanner/tokenizer.h"
#include "tokens/characters.h"
#include "tokens/words.h"

namespace bprep2 {

namespace {

DirectiveOutcome positiveBlock(PreprocessorContext& ctx, SourceReader& reader) {
    return openConditional(ctx, reader, false);
}

DirectiveOutcome negativeBlock(PreprocessorContext& ctx, SourceReader& reader) {
    return openConditional(ctx, reader, true);
}

DirectiveOutcome acceptAndIgnore(PreprocessorContext&, SourceReader&) { return directiveDone(); }

DirectiveOutcome includeDirective(PreprocessorContext& ctx, SourceReader& reader) {
    int32_t status = handleInclude(ctx);
    ctx.reader = &reader;
    return status == 0 ? directiveDone() : directiveFailure(status);
}

// Words that look like directives but are program text ($QUOLT and the
// like); the caller puts the scan back on the # or $.
DirectiveOutcome programText(PreprocessorContext&, SourceReader&) { return directiveHandBack(); }

struct DirectiveWord {
    std::string_view word;
    DirectiveOutcome (*branch)(PreprocessorContext&, SourceReader&);
};

// Searched in this order; the first whole-word match wins.
constexpr DirectiveWord directiveWords[] = {
    {"if", positiveBlock},          {"ifdef", positiveBlock},
    {"ifndef", negativeBlock},      {"else", switchConditional},
    {"endif", closeConditional},    {"end", closeConditional},
    {"cheader", cheaderDirective},  {"varappend", acceptAndIgnore},
    {"bprepfilename", fileNameDirective}, {"define", defineDirective},
    {"inline", inlineBlock},        {"header", headerBlock},
    {"option", optionDirective},    {"options", optionDirective},
    {"include", includeDirective},  {"insert", includeDirective},
    {"quolt", programText},         {"file", programText},
    {"system", programText},        {"development", programText},
};

DirectiveOutcome dispatchDirective(PreprocessorContext& ctx, SourceReader& reader) {
    std::string_view line = reader.lineText;
    size_t pos = static_cast<size_t>(reader.scanPos) + 1;
    reader.scanPos = static_cast<int64_t>(pos);
    size_t length = nameLengthAt(ctx, line, pos);
    if (length == 0) {
        report(ctx, "Invalid syntax for # pre-processor directives");
        return directiveFailure(1);
    }
    std::string_view word = line.substr(pos, length);
    reader.scanPos = static_cast<int64_t>(pos + length);
    for (const DirectiveWord& entry : directiveWords) {
        if (equalIgnoringCase(word, entry.word)) return entry.branch(ctx, reader);
    }
    report(ctx, "Unknown pre-processor directive");
    return directiveFailure(1);
}

}  // namespace

size_t skipBlanks(std::string_view line, size_t pos) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    return pos;
}

size_t wordEnd(std::string_view line, size_t pos) {
    while (pos < line.size() && !isBlank(line[pos])) ++pos;
    return pos;
}

size_t nameLengthAt(const PreprocessorContext& ctx, std::string_view line, size_t pos) {
    if (pos >= line.size()) return 0;
    return measureName(line, pos, ctx.options.dotMember()).length;
}

int32_t handleDirective(PreprocessorContext& ctx) {
    SourceReader* own = ctx.reader;
    if (own == nullptr) return directiveFailed;
    int64_t start = own->scanPos;
    if (start < 0 || start >= static_cast<int64_t>(own->lineText.size())) return directiveRescan;

    DirectiveOutcome outcome = dispatchDirective(ctx, *own);
    ctx.reader = own;
    if (outcome.result == directiveFailed) {
        stopScan(ctx, outcome.status != 0 ? outcome.status : 1);
        return directiveFailed;
    }
    if (outcome.result == directiveRescan) {
        own->scanPos = start;
        return directiveRescan;
    }
    return directiveHandled;
}

}  // namespace bprep2
