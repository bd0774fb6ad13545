// Lines scanned by the real tokenizer into a context with the real tables,
// then handed token by token to the object-syntax rewrites and the
// TRY/CATCH/THROW translation the way the after-line pass does, and rendered
// the way the writer would (without its case folding or prologue).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "driver/context.h"
#include "driver/driver_test_support.h"
#include "objects/objects.h"
#include "scanner/tokenizer.h"
#include "scanner/try_catch.h"
#include "tokens/token_list.h"

namespace bprep2_test {

using namespace bprep2;

struct LineFixture {
    std::unique_ptr<PreprocessorContext> owner;
    PreprocessorContext& ctx;
    SourceReader reader;
    size_t lineStart = 0;

    explicit LineFixture(uint32_t options = optObjects | optArrowMember) : owner(newContext()), ctx(*owner) {
        ctx.options = options;
        reader.fileName = "prog.b";
        ctx.reader = &reader;
        appendToken(ctx, changeline, "prog.b", 1);
    }

    // Scans one source line and runs the after-line handlers over it; false
    // when one of them reported an error. The line's endofline is appended
    // only on success, as the scanner does.
    bool line(std::string_view text) {
        ++reader.lineNumber;
        reader.lineText = std::string(text);
        reader.scanPos = 0;
        lineStart = tokenCount(ctx);
        tokenizeLine(ctx);
        for (size_t i = lineStart; i < tokenCount(ctx); ++i) {
            const Token& t = tokenAt(ctx, i);
            bool objectWord = t.type == system_keyword && (t.value & 0x10000) && ctx.objects();
            if (t.type == oref_id || t.type == colon || t.type == braces || objectWord) {
                int64_t next = rewriteObjectSyntax(ctx, i);
                if (next < 0) return false;
                i = static_cast<size_t>(next);
            } else if (t.type == variable && ctx.objects() && translateTryCatch(ctx, i) != 0) {
                return false;
            }
        }
        appendToken(ctx, endofline, {}, 1);
        return true;
    }

    std::string lastLine() const { return render(lineStart); }

    std::string render(size_t from) const {
        std::string out;
        for (size_t i = from; i < ctx.tokens.size(); ++i) {
            const Token& t = ctx.tokens[i];
            switch (t.type) {
                case whitespace: out += ' '; break;
                case maths: case extract: case braces: out += static_cast<char>(t.value); break;
                case comma: out += ','; break;
                case equals: out += '='; break;
                case colon: out += ':'; break;
                case newstatement: out += ';'; break;
                case atsign: out += '@'; break;
                case tidle: out += '~'; break;
                case oref_id: out += "->"; break;
                case endofline: out += '\n'; break;
                case changeline: case null_token: break;
                default: out += ctx.text(t);
            }
        }
        return out;
    }

   private:
    static std::unique_ptr<PreprocessorContext> newContext() {
        Args args{"bprep2"};
        return makeContext(args.argc(), args.argv(), false);
    }
};

}  // namespace bprep2_test
