#include "model/dialog_script.h"

#include "model/dialog_lexer.h"
#include "model/dialog_words.h"

#include <limits>
#include <string_view>

// Reads the subset of the resource-script language that our templates use:
// DIALOGEX/DIALOG blocks with STYLE, EXSTYLE, FONT and CAPTION, and the
// control statements CONTROL, LTEXT, RTEXT, CTEXT, GROUPBOX, PUSHBUTTON,
// DEFPUSHBUTTON and AUTOCHECKBOX, on the tokens of dialog_lexer.h and the
// words of dialog_words.h.

namespace model {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;
namespace style = platform::style;

using rc::Fail;
using rc::Tok;
using rc::Token;

class Parser {
public:
    Parser(const std::vector<Token>& tokens, std::string* error) : t_(tokens), error_(error) {}

    bool Run(std::vector<DialogTemplate>* out) {
        while (Peek().kind != Tok::End) {
            const Token& first = Peek();
            if (IsName(first, "LANGUAGE")) {
                ++i_;
                if (!SkipLanguage()) return false;
                continue;
            }
            if (IsName(first, "STRINGTABLE")) {
                ++i_;
                if (!SkipToBlockAndOver()) return false;
                continue;
            }
            if (first.kind != Tok::Number && first.kind != Tok::Name)
                return Fail(error_, first.line, "expected a resource id, found '" + Describe(first) + "'");
            ++i_;
            const Token& type = Peek();
            if (type.kind != Tok::Name && type.kind != Tok::Number)
                return Fail(error_, type.line, "expected a resource type after '" + first.text + "'");
            ++i_;
            if (IsName(type, "DIALOGEX") || IsName(type, "DIALOG")) {
                if (first.kind != Tok::Number)
                    return Fail(error_, first.line, "dialog id must be a number: '" + first.text + "'");
                if (first.value > 0xFFFF)
                    return Fail(error_, first.line, "dialog id out of range");
                DialogTemplate d;
                d.id = static_cast<int>(first.value);
                if (!ParseDialog(&d, IsName(type, "DIALOGEX"))) return false;
                out->push_back(std::move(d));
            } else if (!SkipResource(type.line)) {
                return false;
            }
        }
        return true;
    }

private:
    const Token& Peek() const { return t_[i_ < t_.size() ? i_ : t_.size() - 1]; }
    void Advance() {
        if (i_ + 1 < t_.size()) ++i_;
    }
    static bool IsName(const Token& t, std::string_view n) { return t.kind == Tok::Name && t.text == n; }
    static bool IsPunct(const Token& t, char c) {
        return t.kind == Tok::Punct && t.text.size() == 1 && t.text[0] == c;
    }
    static bool IsBegin(const Token& t) { return IsName(t, "BEGIN") || IsPunct(t, '{'); }
    static bool IsEndOfBlock(const Token& t) { return IsName(t, "END") || IsPunct(t, '}'); }
    static std::string Describe(const Token& t) {
        switch (t.kind) {
            case Tok::End: return "end of script";
            case Tok::String: return "\"" + t.text + "\"";
            default: return t.text;
        }
    }
    bool Unexpected(const std::string& wanted) {
        return Fail(error_, Peek().line, "expected " + wanted + ", found '" + Describe(Peek()) + "'");
    }

    bool Expect(char c) {
        if (!IsPunct(Peek(), c)) return Unexpected(std::string("'") + c + "'");
        Advance();
        return true;
    }

    // A whole number with an optional sign, within [lo, hi].
    bool Int(long long lo, long long hi, int* out) {
        bool negative = false;
        if (IsPunct(Peek(), '-') || IsPunct(Peek(), '+')) {
            negative = IsPunct(Peek(), '-');
            Advance();
        }
        const Token& t = Peek();
        long long v;
        if (t.kind == Tok::Number) {
            v = static_cast<long long>(t.value);
        } else if (IsName(t, "IDC_STATIC")) {
            v = -1;
        } else {
            return Unexpected("a number");
        }
        if (negative) v = -v;
        if (v < lo || v > hi) return Fail(error_, t.line, "number out of range '" + t.text + "'");
        Advance();
        *out = static_cast<int>(v);
        return true;
    }
    bool Coord(int* out) { return Int(-32768, 32767, out); }
    bool Id(int* out) {
        return Int(std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), out);
    }

    // Style expression: terms joined by '|' (or '+'), where "NOT x" clears x
    // from what has been built so far, starting from the statement's defaults.
    bool Style(std::uint32_t* value) {
        while (true) {
            bool clear = false;
            if (IsName(Peek(), "NOT")) {
                clear = true;
                Advance();
            }
            std::uint32_t v = 0;
            if (!Primary(&v)) return false;
            if (clear) *value &= ~v;
            else *value |= v;
            if (IsPunct(Peek(), '|') || IsPunct(Peek(), '+')) {
                Advance();
                continue;
            }
            return true;
        }
    }

    bool Primary(std::uint32_t* v) {
        const Token& t = Peek();
        if (t.kind == Tok::Number) {
            *v = t.value;
            Advance();
            return true;
        }
        if (t.kind == Tok::Name) {
            if (!rc::LookupName(t.text, v)) return Fail(error_, t.line, "unknown name '" + t.text + "'");
            Advance();
            return true;
        }
        if (IsPunct(t, '(')) {
            Advance();
            std::uint32_t inner = 0;
            if (!Style(&inner) || !Expect(')')) return false;
            *v = inner;
            return true;
        }
        return Unexpected("a style value");
    }

    bool Text(std::string* out) {
        if (Peek().kind != Tok::String) return Unexpected("a quoted text");
        *out = Peek().text;
        Advance();
        return true;
    }

    // A number or a name, whatever its value: for statements whose values
    // we do not keep.
    bool AnyValue() {
        const Token& t = Peek();
        if (t.kind != Tok::Number && t.kind != Tok::Name) return Unexpected("a value");
        Advance();
        return true;
    }

    bool SkipLanguage() { return AnyValue() && Expect(',') && AnyValue(); }

    // Skips to the next BEGIN/{ and over its block, nested blocks included.
    bool SkipToBlockAndOver() {
        while (!IsBegin(Peek())) {
            if (Peek().kind == Tok::End) return Unexpected("BEGIN");
            Advance();
        }
        int depth = 0;
        do {
            const Token& t = Peek();
            if (t.kind == Tok::End) return Fail(error_, t.line, "missing END");
            if (IsBegin(t)) ++depth;
            else if (IsEndOfBlock(t)) --depth;
            Advance();
        } while (depth > 0);
        return true;
    }

    // A resource we do not read: either "<id> <type> [options] file" on one
    // line, or a type with a BEGIN ... END block.
    bool SkipResource(int typeLine) {
        while (Peek().kind == Tok::Name && rc::IsMemoryOption(Peek().text)) Advance();
        if (Peek().kind == Tok::String && Peek().line == typeLine) {
            Advance();
            return true;
        }
        return SkipToBlockAndOver();
    }

    bool ParseDialog(DialogTemplate* d, bool extended) {
        while (Peek().kind == Tok::Name && rc::IsMemoryOption(Peek().text)) Advance();
        if (!Coord(&d->x) || !Expect(',') || !Coord(&d->y) || !Expect(',') || !Coord(&d->width) ||
            !Expect(',') || !Coord(&d->height))
            return false;
        if (extended && IsPunct(Peek(), ',')) {  // help id
            Advance();
            if (!AnyValue()) return false;
        }
        d->style = rc::kDefaultDialogStyle;
        bool hasFont = false, hasCaption = false;
        while (!IsBegin(Peek())) {
            const Token& t = Peek();
            if (IsName(t, "STYLE")) {
                Advance();
                d->style = 0;
                if (!Style(&d->style)) return false;
            } else if (IsName(t, "EXSTYLE")) {
                Advance();
                d->exStyle = 0;
                if (!Style(&d->exStyle)) return false;
            } else if (IsName(t, "FONT")) {
                Advance();
                int size = 0;
                if (!Int(1, 1000, &size) || !Expect(',') || !Text(&d->fontName)) return false;
                d->fontPointSize = size;
                hasFont = true;
                // weight, italic, charset
                for (int k = 0; k < 3 && IsPunct(Peek(), ','); ++k) {
                    Advance();
                    if (!AnyValue()) return false;
                }
            } else if (IsName(t, "CAPTION")) {
                Advance();
                std::string caption;
                if (!Text(&caption)) return false;
                hasCaption = true;
            } else if (IsName(t, "LANGUAGE")) {
                Advance();
                if (!SkipLanguage()) return false;
            } else if (IsName(t, "CHARACTERISTICS") || IsName(t, "VERSION")) {
                Advance();
                if (!AnyValue()) return false;
            } else if (IsName(t, "MENU") || IsName(t, "CLASS")) {
                Advance();
                if (Peek().kind == Tok::String) Advance();
                else if (!AnyValue()) return false;
            } else {
                return Unexpected("a dialog option or BEGIN");
            }
        }
        if (hasFont) d->style |= style::kDialogSetFont;
        if (hasCaption) d->style |= rc::kCaptionStyle;
        Advance();  // BEGIN
        while (!IsEndOfBlock(Peek())) {
            if (Peek().kind == Tok::End) return Fail(error_, Peek().line, "missing END");
            ControlTemplate c;
            if (!ParseControl(&c, extended)) return false;
            d->controls.push_back(std::move(c));
        }
        Advance();  // END
        return true;
    }

    bool ParseControl(ControlTemplate* c, bool extended) {
        const Token& kw = Peek();
        int line = kw.line;
        if (kw.kind != Tok::Name) return Unexpected("a control statement");
        bool generic = kw.text == "CONTROL";
        const rc::Statement* st = nullptr;
        if (!generic) {
            st = rc::FindStatement(kw.text);
            if (st == nullptr) return Fail(error_, line, "unknown control statement '" + kw.text + "'");
        }
        Advance();
        if (!Text(&c->text) || !Expect(',') || !Id(&c->id) || !Expect(',')) return false;
        c->style = style::kChild | style::kVisible;
        if (generic) {
            const Token& cls = Peek();
            std::string name;
            if (cls.kind == Tok::String) name = cls.text;
            else if (IsName(cls, "UPDOWN_CLASS")) name = "msctls_updown32";
            else if (cls.kind == Tok::Name) name = cls.text;
            else return Unexpected("a window class");
            if (const char* known = rc::KnownClass(name)) c->windowClass = known;
            if (c->windowClass.empty())
                return Fail(error_, cls.line, "unsupported window class '" + name + "'");
            Advance();
            if (!Expect(',') || !Style(&c->style) || !Expect(',')) return false;
        } else {
            c->windowClass = st->windowClass;
            c->style |= st->style;
        }
        if (!Coord(&c->x) || !Expect(',') || !Coord(&c->y) || !Expect(',') || !Coord(&c->width) ||
            !Expect(',') || !Coord(&c->height))
            return false;
        // Optional trailing fields: [style,] exstyle [, help id].
        if (!generic && IsPunct(Peek(), ',')) {
            Advance();
            if (!Style(&c->style)) return false;
        }
        if (IsPunct(Peek(), ',')) {
            Advance();
            if (!Style(&c->exStyle)) return false;
        }
        if (extended && IsPunct(Peek(), ',')) {
            Advance();
            if (!AnyValue()) return false;
        }
        return Classify(c, line);
    }

    bool Classify(ControlTemplate* c, int line) {
        if (c->windowClass == "Static") {
            c->kind = c->id == -1 ? ControlKind::Label : ControlKind::ValueField;
        } else if (c->windowClass == "msctls_updown32") {
            c->kind = ControlKind::UpDown;
        } else {
            switch (c->style & style::kButtonTypeMask) {
                case 0x0:
                case 0x1: c->kind = ControlKind::PushButton; break;
                case 0x2:
                case 0x3: c->kind = ControlKind::CheckBox; break;
                case 0x7: c->kind = ControlKind::GroupBox; break;
                default: return Fail(error_, line, "unsupported button style");
            }
        }
        return true;
    }

    const std::vector<Token>& t_;
    std::string* error_;
    std::size_t i_ = 0;
};

}  // namespace

bool ParseDialogScript(const char* script, std::vector<DialogTemplate>* out, std::string* error) {
    if (out == nullptr) return false;
    out->clear();
    if (script == nullptr) return Fail(error, 0, "no script");
    std::vector<Token> tokens;
    if (!rc::Tokenise(script, &tokens, error)) return false;
    std::vector<DialogTemplate> parsed;
    if (!Parser(tokens, error).Run(&parsed)) return false;
    *out = std::move(parsed);
    return true;
}

}  // namespace model

namespace model {

const platform::DialogTemplate* FindTemplate(const std::vector<platform::DialogTemplate>& templates, int id) {
    for (const platform::DialogTemplate& t : templates)
        if (t.id == id) return &t;
    return nullptr;
}

}  // namespace model
