// Token lists for the statement pass and the declaration recorder, written as
// source lines: a small stand-in for the scanner that makes the token types,
// keyword flags and special codes the real one makes, records declarations
// after each line as the line loop does, and renders a list back as text
// (names as written, every separator as ";", line markers as [file:line]).
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "driver/context.h"
#include "passes/statement_pass.h"
#include "scanner/declarations.h"
#include "tokens/keywords.h"
#include "tokens/token_list.h"

namespace bprep2_test {

using namespace bprep2;

struct PassFixture {
    PreprocessorContext ctx;
    SourceReader reader;

    explicit PassFixture(uint32_t options = 0, std::string_view file = "prog.b") {
        ctx.options = options;
        ctx.reader = &reader;
        marker(file, 1);
    }

    void marker(std::string_view file, int32_t line) {
        reader.scanPos = 0;
        appendToken(ctx, changeline, file, line);
    }

    // Scans one line, records its declarations, and ends it.
    PassFixture& line(std::string_view text, int32_t lines = 1) {
        size_t first = tokenCount(ctx);
        scan(text);
        for (size_t i = first; i < tokenCount(ctx); ++i)
            if (ctx.tokens[i].type == system_keyword) recordDeclarations(ctx, i);
        appendToken(ctx, endofline, {}, lines);
        return *this;
    }

    // Scans text onto the current line without ending it.
    PassFixture& words(std::string_view text) {
        scan(text);
        return *this;
    }

    // As the driver does: the pass runs with no reader current.
    int32_t pass();
    std::string render() const { return render(0); }
    std::string render(size_t from) const;

    // Index of the first token at or after `from` whose text is `text`.
    size_t find(std::string_view text, size_t from = 0) const {
        for (size_t i = from; i < ctx.tokens.size(); ++i)
            if (ctx.text(ctx.tokens[i]) == text) return i;
        return npos;
    }

   private:
    const KeywordEntry* keyword(std::string_view word) const {
        std::string key = ctx.caseSensitive() ? std::string(word) : upperCased(word);
        for (const KeywordEntry& k : keywordTable())
            if (k.name == key) return &k;
        return nullptr;
    }

    void add(size_t column, int32_t type, std::string_view text = {}, int32_t value = 0, int32_t special = 0) {
        reader.scanPos = static_cast<int64_t>(column);
        appendTokenSpecial(ctx, type, text, value, special);
    }

    void word(size_t start, std::string_view w, std::string_view rest) {
        const KeywordEntry* k = keyword(w);
        uint32_t flags = k ? k->flags : 0;
        int32_t special = k ? static_cast<int32_t>(k->special) : 0;
        size_t next = rest.find_first_not_of(" \t");
        bool paren = next != std::string_view::npos && rest[next] == '(';
        int32_t type = variable;
        if (flags & kwKeyword) {
            type = (paren && (flags & (kwAnyFunction | kwArgs))) ? system_function : system_keyword;
        } else if (flags != 0) {
            type = system_function;
        }
        add(start + w.size(), type, w, static_cast<int32_t>(flags), special);
    }

    void scan(std::string_view s) {
        auto wordChar = [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '.';
        };
        for (size_t i = 0; i < s.size();) {
            size_t start = i;
            char c = s[i];
            if (c == ' ') {
                while (i < s.size() && s[i] == ' ') ++i;
                add(i, whitespace, {}, static_cast<int32_t>(i - start));
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
                add(i, numeric, s.substr(start, i - start));
            } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '$') {
                while (i < s.size() && wordChar(s[i])) ++i;
                word(start, s.substr(start, i - start), s.substr(i));
            } else if (c == '"') {
                size_t close = s.find('"', i + 1);
                i = close == std::string_view::npos ? s.size() : close + 1;
                add(i, string, s.substr(start, i - start));
            } else {
                ++i;
                switch (c) {
                    case '=': add(start, equals); break;
                    case ',': add(start, comma); break;
                    case ':': add(start, colon); break;
                    case ';': add(start, newstatement); break;
                    case '@': add(start, atsign); break;
                    case '{': case '}': add(start, braces, {}, c); break;
                    case '(': case ')': case '[': case ']': case '<': case '>': add(start, extract, {}, c); break;
                    default: add(start, maths, {}, c);
                }
            }
        }
    }
};

inline int32_t PassFixture::pass() {
    ctx.reader = nullptr;
    return runStatementPass(ctx);
}

inline std::string PassFixture::render(size_t from) const {
    std::string out;
    for (size_t i = from; i < ctx.tokens.size(); ++i) {
        const Token& t = ctx.tokens[i];
        switch (t.type) {
            case changeline:
                out += '[';
                out += ctx.text(t);
                out += ':';
                out += std::to_string(t.value);
                out += ']';
                break;
            case endofline: out += std::string(static_cast<size_t>(std::max(t.value, 0)), '\n'); break;
            case newstatement: out += ';'; break;
            case whitespace: out += ' '; break;
            case maths: case extract: case braces: out += static_cast<char>(t.value); break;
            case comma: out += ','; break;
            case colon: out += ':'; break;
            case atsign: out += '@'; break;
            case equals: out += '='; break;
            case null_token: break;
            default: out += ctx.text(t);
        }
    }
    return out;
}

}  // namespace bprep2_test
