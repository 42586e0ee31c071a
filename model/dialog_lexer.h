// The tokens of a resource script, for the dialog template reader. The
// whole script is tokenised first, so the reader works on a vector with a
// closing End token and can never read past the input.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace model::rc {

enum class Tok { End, Number, String, Name, Punct };

struct Token {
    Tok kind = Tok::End;
    std::string text;         // String: the decoded text; Name/Punct: as written
    std::uint32_t value = 0;  // Number
    int line = 0;
};

// Comments and preprocessor lines are skipped, except an object-like
// "#define NAME value": from there on NAME stands for the tokens of value
// ("(-1)" taken as "-1"), as the C preprocessor that a Windows resource
// compiler runs first would put them. Included files are not opened: the
// build puts a header's text in place of its #include. false with a
// message naming the line on an error.
bool Tokenise(std::string_view script, std::vector<Token>* out, std::string* error);

// Sets *error (when given) to "line N: what"; returns false.
bool Fail(std::string* error, int line, const std::string& what);

}  // namespace model::rc
