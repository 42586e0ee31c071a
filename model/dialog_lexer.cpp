#include "model/dialog_lexer.h"

#include <cstring>
#include <map>

namespace model::rc {
namespace {

using Macros = std::map<std::string, std::vector<Token>, std::less<>>;

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }


class Lexer {
public:
    Lexer(std::string_view src, std::string* error, Macros* macros, int firstLine = 1)
        : s_(src), error_(error), macros_(macros), line_(firstLine) {}

    bool Run(std::vector<Token>* out) {
        while (true) {
            SkipBlanks();
            if (failed_) return false;
            if (p_ >= s_.size()) break;
            char c = s_[p_];
            Token t;
            t.line = line_;
            if (c == '#' && atLineStart_) {
                if (!Directive()) return false;
                continue;
            }
            atLineStart_ = false;
            if (c == '"' || (c == 'L' && p_ + 1 < s_.size() && s_[p_ + 1] == '"')) {
                if (c == 'L') ++p_;
                if (!ReadString(&t)) return false;
            } else if (c >= '0' && c <= '9') {
                if (!ReadNumber(&t)) return false;
            } else if (IsNameStart(c)) {
                std::size_t b = p_;
                while (p_ < s_.size() && IsNameChar(s_[p_])) ++p_;
                t.kind = Tok::Name;
                t.text.assign(s_.substr(b, p_ - b));
                if (const auto m = macros_->find(t.text); m != macros_->end()) {
                    for (Token v : m->second) {
                        v.line = t.line;
                        out->push_back(std::move(v));
                    }
                    continue;
                }
            } else if (std::strchr(",|()-+{}", c) != nullptr) {
                t.kind = Tok::Punct;
                t.text.assign(1, c);
                ++p_;
            } else {
                return Fail(error_, line_, std::string("unexpected character '") + c + "'");
            }
            out->push_back(std::move(t));
        }
        Token end;
        end.line = line_;
        out->push_back(end);
        return true;
    }

private:
    void NewLine() {
        ++line_;
        atLineStart_ = true;
    }

    // Whitespace, comments and backslash-newline continuations.
    void SkipBlanks() {
        while (p_ < s_.size()) {
            char c = s_[p_];
            if (c == '\n') {
                NewLine();
                ++p_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++p_;
            } else if (c == '\\' && p_ + 1 < s_.size() &&
                       (s_[p_ + 1] == '\n' || s_[p_ + 1] == '\r')) {
                ++p_;  // the newline itself is counted on the next turn
            } else if (c == '/' && p_ + 1 < s_.size() && s_[p_ + 1] == '/') {
                while (p_ < s_.size() && s_[p_] != '\n') ++p_;
            } else if (c == '/' && p_ + 1 < s_.size() && s_[p_ + 1] == '*') {
                int start = line_;
                p_ += 2;
                while (p_ < s_.size() && !(s_[p_] == '*' && p_ + 1 < s_.size() && s_[p_ + 1] == '/')) {
                    if (s_[p_] == '\n') ++line_;
                    ++p_;
                }
                if (p_ >= s_.size()) {
                    failed_ = true;
                    Fail(error_, start, "unterminated comment");
                    return;
                }
                p_ += 2;
            } else {
                return;
            }
        }
    }

    void SkipSpaces() {
        while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\t')) ++p_;
    }

    std::string_view Word() {
        const std::size_t b = p_;
        while (p_ < s_.size() && IsNameChar(s_[p_])) ++p_;
        return s_.substr(b, p_ - b);
    }

    // A preprocessor line: an object-like #define is kept, anything else
    // skipped, as is a #define whose value this reader cannot take apart.
    bool Directive() {
        const int line = line_;
        ++p_;  // '#'
        SkipSpaces();
        if (Word() != "define") {
            SkipDirective();
            return true;
        }
        SkipSpaces();
        const std::string name(Word());
        const bool objectLike = !name.empty() && !(p_ < s_.size() && s_[p_] == '(');
        const std::size_t body = p_;
        SkipDirective();
        if (!objectLike) return true;
        Lexer value(s_.substr(body, p_ - body), nullptr, macros_, line);
        value.atLineStart_ = false;  // no directive within a directive
        std::vector<Token> tokens;
        if (!value.Run(&tokens)) return true;
        tokens.pop_back();  // End
        StripParentheses(&tokens);
        (*macros_)[name] = std::move(tokens);
        return true;
    }

    // "(-1)" as resource headers write it: the reader takes "-1".
    static void StripParentheses(std::vector<Token>* tokens) {
        auto punct = [tokens](std::size_t i, char c) {
            return (*tokens)[i].kind == Tok::Punct && (*tokens)[i].text[0] == c;
        };
        const std::size_t n = tokens->size();
        const bool signedNumber = (n == 3 && (*tokens)[1].kind == Tok::Number) ||
                                  (n == 4 && punct(1, '-') && (*tokens)[2].kind == Tok::Number);
        if (!signedNumber || !punct(0, '(') || !punct(n - 1, ')')) return;
        tokens->pop_back();
        tokens->erase(tokens->begin());
    }

    // The rest of a preprocessor line, with its backslash continuations.
    void SkipDirective() {
        while (p_ < s_.size() && s_[p_] != '\n') {
            if (s_[p_] == '\\' && p_ + 1 < s_.size() && s_[p_ + 1] == '\n') {
                ++line_;
                p_ += 2;
                continue;
            }
            if (s_[p_] == '\\' && p_ + 2 < s_.size() && s_[p_ + 1] == '\r' && s_[p_ + 2] == '\n') {
                ++line_;
                p_ += 3;
                continue;
            }
            ++p_;
        }
    }

    bool ReadString(Token* t) {
        t->kind = Tok::String;
        ++p_;  // opening quote
        while (true) {
            if (p_ >= s_.size() || s_[p_] == '\n' || s_[p_] == '\r')
                return Fail(error_, t->line, "unterminated string");
            char c = s_[p_++];
            if (c == '"') {
                if (p_ < s_.size() && s_[p_] == '"') {  // "" stands for one quote
                    t->text.push_back('"');
                    ++p_;
                    continue;
                }
                return true;
            }
            if (c == '\\' && p_ < s_.size()) {
                char e = s_[p_];
                if (e == 'n' || e == 't' || e == '\\' || e == '"') {
                    t->text.push_back(e == 'n' ? '\n' : e == 't' ? '\t' : e);
                    ++p_;
                    continue;
                }
            }
            t->text.push_back(c);
        }
    }

    bool ReadNumber(Token* t) {
        std::size_t b = p_;
        while (p_ < s_.size() && IsNameChar(s_[p_])) ++p_;
        std::string_view word = s_.substr(b, p_ - b);
        t->kind = Tok::Number;
        t->text.assign(word);
        // A trailing L or U (long, unsigned) is allowed, as in C.
        while (!word.empty() && (word.back() == 'L' || word.back() == 'l' ||
                                 word.back() == 'U' || word.back() == 'u'))
            word.remove_suffix(1);
        unsigned base = 10;
        if (word.size() > 1 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
            base = 16;
            word.remove_prefix(2);
        }
        if (word.empty()) return Fail(error_, t->line, "bad number '" + t->text + "'");
        std::uint64_t v = 0;
        for (char c : word) {
            unsigned d;
            if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
            else if (base == 16 && c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
            else if (base == 16 && c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
            else return Fail(error_, t->line, "bad number '" + t->text + "'");
            v = v * base + d;
            if (v > 0xFFFFFFFFull) return Fail(error_, t->line, "number out of range '" + t->text + "'");
        }
        t->value = static_cast<std::uint32_t>(v);
        return true;
    }

    std::string_view s_;
    std::string* error_;
    Macros* macros_;
    std::size_t p_ = 0;
    int line_;
    bool atLineStart_ = true;
    bool failed_ = false;
};

}  // namespace

bool Fail(std::string* error, int line, const std::string& what) {
    if (error != nullptr) *error = "line " + std::to_string(line) + ": " + what;
    return false;
}

bool Tokenise(std::string_view script, std::vector<Token>* out, std::string* error) {
    Macros macros;
    return Lexer(script, error, &macros).Run(out);
}

}  // namespace model::rc
