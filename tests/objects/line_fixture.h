// A small stand-in for the scanner, for testing the object-syntax rewrites
// and TRY/CATCH/THROW on lines written as text: it splits a line into the
// token types the real scanner makes, runs the after-line dispatch over the
// line's tokens and renders the result the way the writer would (without its
// case folding).
#pragma once

#include <cctype>
#include <string>
#include <string_view>

#include "driver/context.h"
#include "objects/objects.h"
#include "scanner/try_catch.h"
#include "tokens/token_list.h"

namespace bprep2_test {

using namespace bprep2;

struct LineFixture {
    PreprocessorContext ctx;
    SourceReader reader;
    size_t lineStart = 0;

    explicit LineFixture(uint32_t options = optObjects | optArrowMember) {
        ctx.options = options;
        reader.fileName = "prog.b";
        ctx.reader = &reader;
        appendToken(ctx, changeline, "prog.b", 1);
    }

    // Scans one source line and runs the after-line pass over it; false when
    // a handler reported an error. The line's endofline is appended only on
    // success, as the scanner does.
    bool line(std::string_view text) {
        ++reader.lineNumber;
        reader.lineText = std::string(text);
        lineStart = tokenCount(ctx);
        scan(text);
        if (!afterLine()) return false;
        appendToken(ctx, endofline, {}, 1);
        return true;
    }

    // The text of the tokens of the last line.
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
                case oref_id: out += ctx.has(optDotMember) ? "." : "->"; break;
                case endofline: out += '\n'; break;
                case changeline: case null_token: break;
                default: out += ctx.text(t);
            }
        }
        return out;
    }

   private:
    void add(size_t column, int32_t type, std::string_view text = {}, int32_t value = 0) {
        reader.scanPos = static_cast<int64_t>(column);
        appendToken(ctx, type, text, value);
    }

    static bool isKeyword(std::string_view w) {
        for (std::string_view k : {"IF", "THEN", "ELSE", "CASE", "LOOP", "DO", "UNTIL", "WHILE", "END", "CRT",
                                   "NEW", "METHOD"})
            if (equalsIgnoreCase(w, k) == 0) return true;
        return false;
    }

    void scan(std::string_view s) {
        auto wordChar = [&](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
                   (c == '.' && !ctx.has(optDotMember));
        };
        for (size_t i = 0; i < s.size();) {
            size_t start = i;
            char c = s[i];
            if (c == ' ') {
                while (i < s.size() && s[i] == ' ') ++i;
                add(start, whitespace, {}, static_cast<int32_t>(i - start));
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
                add(start, numeric, s.substr(start, i - start));
            } else if (std::isalpha(static_cast<unsigned char>(c))) {
                while (i < s.size() && wordChar(s[i])) ++i;
                std::string_view w = s.substr(start, i - start);
                bool afterOperator = tokenCount(ctx) > 0 && ctx.tokens.back().type == oref_id;
                if (afterOperator) add(start, property_method, w);
                else if (isKeyword(w)) {
                    bool object = equalsIgnoreCase(w, "NEW") == 0 || equalsIgnoreCase(w, "METHOD") == 0;
                    add(start, system_keyword, w, object ? 0x10001 : 0x1);
                } else add(start, variable, w);
            } else if (c == '"') {
                size_t close = s.find('"', i + 1);
                i = close == std::string_view::npos ? s.size() : close + 1;
                add(start, string, s.substr(start, i - start));
            } else if (s.substr(i, 2) == "->" || (c == '.' && ctx.has(optDotMember))) {
                i += c == '.' ? 1 : 2;
                add(start, oref_id, s.substr(start, i - start));
            } else {
                ++i;
                switch (c) {
                    case '=': add(start, equals); break;
                    case ',': add(start, comma); break;
                    case ':': add(start, colon); break;
                    case ';': add(start, newstatement); break;
                    case '@': add(start, atsign); break;
                    case '~': add(start, tidle); break;
                    case '(': case ')': case '[': case ']': case '<': case '>': add(start, extract, {}, c); break;
                    default: add(start, maths, {}, c);
                }
            }
        }
        reader.scanPos = static_cast<int64_t>(s.size());
    }

    bool afterLine() {
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
        return true;
    }
};

}  // namespace bprep2_test
