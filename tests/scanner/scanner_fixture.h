// A context with the real tables, sources written to a private directory,
// and the scanned tokens rendered as one line of text for comparison.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "driver/context.h"
#include "driver/driver_test_support.h"
#include "scanner/source.h"
#include "scanner/tokenizer.h"
#include "tokens/token_list.h"

namespace bprep2_test {

class ScannerTest : public ::testing::Test {
protected:
    std::unique_ptr<bprep2::PreprocessorContext> ctx;
    std::filesystem::path dir;
    std::string errors;

    void SetUp() override {
        Args args{"bprep2"};
        ctx = bprep2::makeContext(args.argc(), args.argv(), false);
        ctx->options = bprep2::optArrowMember;  // a known word, whatever the environment says
        static std::atomic<int> serial{0};
        dir = std::filesystem::temp_directory_path() /
              ("bprep2_scanner_" + std::to_string(::getpid()) + "_" + std::to_string(serial++));
        std::filesystem::create_directories(dir);
        // Sources are found under the include directory by their bare names.
        ctx->includeDirs.push_back(dir.string());
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void write(const std::string& name, std::string_view bytes) {
        std::filesystem::path path = dir / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    int32_t compile(const std::string& name, const std::string* databaseFile = nullptr) {
        ::testing::internal::CaptureStderr();
        int32_t status = bprep2::compileSource(*ctx, name, databaseFile);
        errors = ::testing::internal::GetCapturedStderr();
        return status;
    }

    // Scans `text` as the source "src.b" into an empty list; returns the
    // status.
    int32_t scan(std::string_view text) {
        write("src.b", text);
        ctx->tokens.clear();
        return compile("src.b");
    }

    // The character scan alone, of one line in a reader of its own: the
    // tokens it appends.
    bprep2::SourceReader reader;
    std::string tokenize(std::string_view text) {
        reader = bprep2::SourceReader{};
        reader.fileName = "src.b";
        reader.lineNumber = 1;
        reader.lineText = std::string(text);
        reader.scanPos = 0;
        ctx->tokens.clear();
        ctx->reader = &reader;
        ::testing::internal::CaptureStderr();
        bprep2::tokenizeLine(*ctx);
        errors = ::testing::internal::GetCapturedStderr();
        ctx->reader = nullptr;
        return tokens(0);
    }

    // Tokens from `from` on, as "type(text)=value" words; text and value
    // only when present.
    std::string tokens(size_t from = 0) const {
        std::string out;
        for (size_t i = from; i < ctx->tokens.size(); ++i) {
            const bprep2::Token& t = ctx->tokens[i];
            if (!out.empty()) out += ' ';
            std::string_view name = bprep2::tokenTypeName(t.type);
            out += name.substr(0, name.find(' '));
            if (t.text.length > 0) {
                out += '(';
                out += ctx->text(t);
                out += ')';
            }
            if (t.value != 0) {
                out += '=';
                out += std::to_string(t.value);
            }
        }
        return out;
    }

    // The tokens of a one-line source: without the leading changeline and
    // the closing endofline.
    std::string line(std::string_view text) {
        EXPECT_EQ(scan(text), 0) << errors;
        std::string all = tokens(1);
        size_t end = all.rfind("endofline");
        if (end == std::string::npos) return all;
        return all.substr(0, end == 0 ? 0 : end - 1);
    }

    // The first token with this text, for its flags and column.
    const bprep2::Token& find(std::string_view text) const {
        for (const bprep2::Token& t : ctx->tokens)
            if (ctx->text(t) == text) return t;
        static const bprep2::Token none;
        ADD_FAILURE() << "no token " << text;
        return none;
    }
};

}  // namespace bprep2_test
