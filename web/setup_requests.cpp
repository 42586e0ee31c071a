// Reading the pages' frames. Boost.JSON is compiled here, once for the
// program; only its error_code overloads are used.
#include <boost/json/src.hpp>

#include "web/allow_list.h"
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

bool ReadPinList(const json::value* v, std::size_t low, std::size_t high, std::vector<int>* out) {
    if (v == nullptr || !v->is_array() || v->get_array().size() < low || v->get_array().size() > high) return false;
    for (const json::value& pin : v->get_array()) {
        if (!pin.is_int64() || pin.get_int64() < 0 || pin.get_int64() > 255) return false;
        out->push_back(static_cast<int>(pin.get_int64()));
    }
    return true;
}

bool ReadNet(const json::object& o, model::NetRange* out) {
    std::string text;
    AllowedNet net{};
    if (!Text(o, "range", &text) || !ParseAllowedNet(text.c_str(), &net)) return false;
    *out = model::NetRange{net.address, net.bits};
    return true;
}

// One change by meaning: {"do":"map","type","board","pins","control"},
// {"do":"board","board","port"}, {"do":"remove","entry"} or
// {"do":"revoke","range"}. Allowing is the asks' own frame.
bool ReadChange(const json::object& c, model::FileChange* out) {
    using Change = model::FileChange::Kind;
    std::string what;
    if (!Text(c, "do", &what)) return false;
    if (what == "map") {
        out->kind = Change::AddMapping;
        return OnlyMembers(c, {"do", "type", "board", "pins", "control"}) && Text(c, "type", &out->type) &&
               Text(c, "board", &out->board) && Text(c, "control", &out->control) &&
               ReadPinList(c.if_contains("pins"), 1, 3, &out->pins);
    }
    if (what == "board") {
        out->kind = Change::AddBoard;
        return OnlyMembers(c, {"do", "board", "port"}) && Text(c, "board", &out->board) && Text(c, "port", &out->port);
    }
    if (what == "remove") {
        std::int64_t entry = 0;
        out->kind = Change::RemoveEntry;
        if (!OnlyMembers(c, {"do", "entry"}) || !Number(c, "entry", 0, 1000000, &entry)) return false;
        out->entry = static_cast<int>(entry);
        return true;
    }
    if (what == "revoke") {
        out->kind = Change::RevokeDevice;
        return OnlyMembers(c, {"do", "range"}) && ReadNet(c, &out->net);
    }
    return false;
}

bool ReadChanges(const json::object& o, std::vector<model::FileChange>* out) {
    const json::value* v = o.if_contains("changes");
    if (v == nullptr || !v->is_array() || v->get_array().size() > kMaxSetupChanges)
        return false;
    for (const json::value& item : v->get_array()) {
        model::FileChange change;
        const json::object* c = item.if_object();
        if (c == nullptr || !ReadChange(*c, &change)) return false;
        out->push_back(std::move(change));
    }
    return true;
}

// An LED's pin, or a display's DIN CLK CS.
bool ReadPins(const json::object& o, std::vector<int>* out) {
    const json::value* v = o.if_contains("pins");
    return ReadPinList(v, 1, 3, out) && out->size() != 2;
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
        r.kind = Kind::SaveChanges;
        return OnlyMembers(*o, {"t", "revision", "changes"}) && Text(*o, "revision", &r.revision) &&
               ReadChanges(*o, &r.changes);
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
        case Kind::SaveChanges:
            return "save (" + std::to_string(r.changes.size()) + (r.changes.size() == 1 ? " edit)" : " edits)");
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
