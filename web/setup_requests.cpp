// Reading the pages' frames. Boost.JSON is compiled here, once for the
// program; only its error_code overloads are used.
#include <boost/json/src.hpp>

#include "web/setup_frames.h"

namespace web {
namespace {

namespace json = boost::json;
using Kind = model::SetupRequest::Kind;

// The object a frame holds, or nullptr (not JSON, not an object, too deep).
const json::object* ReadObject(std::string_view frame, json::value* holder) {
    json::error_code ec;
    json::parse_options options;
    options.max_depth = 8;
    *holder = json::parse(frame, ec, {}, options);
    return ec ? nullptr : holder->if_object();
}

// Every member of `o` is one of `names` (each at most once: a repeated
// member leaves the object with one).
bool OnlyMembers(const json::object& o, std::initializer_list<std::string_view> names) {
    for (const auto& member : o) {
        bool known = false;
        for (const std::string_view name : names) known = known || member.key() == name;
        if (!known) return false;
    }
    return true;
}

bool Text(const json::object& o, std::string_view key, std::string* out) {
    const json::value* v = o.if_contains(key);
    if (v == nullptr || !v->is_string()) return false;
    out->assign(v->get_string().data(), v->get_string().size());
    return true;
}

bool Number(const json::object& o, std::string_view key, std::int64_t low, std::int64_t high, std::int64_t* out) {
    const json::value* v = o.if_contains(key);
    if (v == nullptr) return false;
    std::int64_t n = 0;
    if (v->is_int64()) n = v->get_int64();
    else if (v->is_uint64() && v->get_uint64() <= static_cast<std::uint64_t>(high)) n = static_cast<std::int64_t>(v->get_uint64());
    else return false;
    if (n < low || n > high) return false;
    *out = n;
    return true;
}

bool ReadEdits(const json::object& o, std::vector<model::LineEdit>* out) {
    const json::value* v = o.if_contains("edits");
    if (v == nullptr || !v->is_array() || v->get_array().size() > kMaxSetupEdits) return false;
    for (const json::value& item : v->get_array()) {
        const json::object* e = item.if_object();
        model::LineEdit edit;
        std::int64_t line = 0;
        if (e == nullptr || !OnlyMembers(*e, {"line", "expected", "text"}) || !Number(*e, "line", 0, 1000000, &line) ||
            !Text(*e, "text", &edit.text))
            return false;
        if (e->contains("expected") && !Text(*e, "expected", &edit.expected)) return false;
        edit.line = static_cast<int>(line);
        out->push_back(std::move(edit));
    }
    return true;
}

bool ReadPins(const json::object& o, std::vector<int>* out) {
    const json::value* v = o.if_contains("pins");
    if (v == nullptr || !v->is_array()) return false;
    const json::array& pins = v->get_array();
    if (pins.size() != 1 && pins.size() != 3) return false;  // an LED, or a display's DIN CLK CS
    for (const json::value& pin : pins) {
        if (!pin.is_int64() || pin.get_int64() < 0 || pin.get_int64() > 255) return false;
        out->push_back(static_cast<int>(pin.get_int64()));
    }
    return true;
}

std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text.substr(0, 60)) out += c >= ' ' && c <= '~' ? c : '?';
    return out;
}

}  // namespace

bool ParsePageRequest(std::string_view frame, PageRequest* out) {
    json::value holder;
    const json::object* o = ReadObject(frame, &holder);
    std::string t;
    if (o == nullptr || !Text(*o, "t", &t)) return false;
    *out = PageRequest{};
    model::SetupRequest& r = out->request;
    if (t == "allow" || t == "deny") {
        std::int64_t id = 0;
        out->kind = t == "allow" ? PageRequest::Kind::Allow : PageRequest::Kind::Deny;
        if (!OnlyMembers(*o, {"t", "id"}) || !Number(*o, "id", 1, INT64_MAX, &id)) return false;
        out->askId = static_cast<std::uint64_t>(id);
        return true;
    }
    if (t == "denyall") {
        out->kind = PageRequest::Kind::DenyAll;
        return OnlyMembers(*o, {"t"});
    }
    if (t == "find" || t == "unlearn" || t == "layout" || t == "reload") {
        r.kind = t == "find" ? Kind::FindBoards : t == "unlearn" ? Kind::StopLearn
                 : t == "layout" ? Kind::SaveWindowLayout : Kind::ReloadFile;
        return OnlyMembers(*o, {"t"});
    }
    if (t == "name") {
        r.kind = Kind::NameBoard;
        return OnlyMembers(*o, {"t", "port", "name"}) && Text(*o, "port", &r.port) && Text(*o, "name", &r.name);
    }
    if (t == "learn") {
        r.kind = Kind::StartLearn;
        return OnlyMembers(*o, {"t", "board"}) && Text(*o, "board", &r.board);
    }
    if (t == "identify") {
        r.kind = Kind::Identify;
        return OnlyMembers(*o, {"t", "board", "pins"}) && Text(*o, "board", &r.board) && ReadPins(*o, &r.pins);
    }
    if (t == "save") {
        r.kind = Kind::SaveEdits;
        return OnlyMembers(*o, {"t", "revision", "edits"}) && Text(*o, "revision", &r.revision) &&
               ReadEdits(*o, &r.edits);
    }
    return false;
}

std::string DescribeRequest(const model::SetupRequest& r) {
    switch (r.kind) {
        case Kind::FindBoards: return "find";
        case Kind::NameBoard: return "name " + Printable(r.port) + " " + Printable(r.name);
        case Kind::StartLearn: return "learn " + Printable(r.board);
        case Kind::StopLearn: return "unlearn";
        case Kind::Identify: return "identify " + Printable(r.board);
        case Kind::SaveEdits:
            return "save (" + std::to_string(r.edits.size()) + (r.edits.size() == 1 ? " edit)" : " edits)");
        case Kind::SaveWindowLayout: return "layout";
        case Kind::ReloadFile: return "reload";
    }
    return "?";
}

bool IsAskFrame(std::string_view frame) {
    json::value holder;
    const json::object* o = ReadObject(frame, &holder);
    std::string t;
    return o != nullptr && OnlyMembers(*o, {"t"}) && Text(*o, "t", &t) && t == "ask";
}

}  // namespace web
