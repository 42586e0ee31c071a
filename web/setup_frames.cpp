#include "web/setup_frames.h"

#include <boost/json.hpp>

#include "model/panel_model.h"
#include "platform/ipv4.h"
#include "web/frames.h"
#include "web/panel_set.h"

namespace web {
namespace {

namespace json = boost::json;

// Valid UTF-8 stays; anything else is read as Latin-1, so that a text frame
// never carries bytes a browser refuses.
std::string Utf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > text.size()) break;
        bool ok = true;
        for (std::size_t k = 1; k < n; ++k) ok = ok && (static_cast<unsigned char>(text[i + k]) >> 6) == 2;
        if (!ok) break;
        i += n;
    }
    if (i == text.size()) return std::string(text);
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

json::string S(std::string_view text) { return json::string(Utf8(text)); }

// A byte-order mark belongs to the file, not to its first line: the page
// never sees it, so the line it sends back is the line the program compares.
std::string_view WithoutMark(std::string_view text) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    return text.substr(0, kMark.size()) == kMark ? text.substr(kMark.size()) : text;
}

json::array Nets(const std::vector<model::NetRange>& nets) {
    json::array out;
    for (const model::NetRange& net : nets) out.emplace_back(json::string(NetText(net)));
    return out;
}

// What a board line may drive, by the kind a browser draws; nullptr: nothing.
const char* BoardKind(const platform::ControlTemplate& control) {
    const std::string_view kind = KindName(control);
    if (kind == "check") return "check";
    if (kind == "updown") return "stepper";
    if (kind == "button") return "button";
    if (kind == "value" || kind == "notify" || kind == "label") return "field";
    return nullptr;
}

const char* ControlNameOf(int id) {
    for (const model::ControlName& name : model::ControlNames())
        if (name.id == id) return name.name;
    return nullptr;
}

}  // namespace

// The words the page shows for each state; the page and its tests know them.
std::string BoardStateText(const model::BoardView& b) {
    switch (b.state) {
        case model::BoardState::Starting: return "starting";
        case model::BoardState::Connected: return "connected";
        case model::BoardState::Lost: return "lost";
        case model::BoardState::CannotOpen: return "cannot open";
        case model::BoardState::InUse: return "in use by another program";
        case model::BoardState::NoHello: return "no hello";
        case model::BoardState::OtherName: return "named " + b.heardName + ", not " + b.name;
        case model::BoardState::OtherVersion: return "speaks version " + std::to_string(b.version);
        case model::BoardState::Learning: return "learning";
    }
    return "";
}

const char* FoundStateText(model::FoundState state) {
    switch (state) {
        case model::FoundState::Board: return "board";
        case model::FoundState::NoAnswer: return "no answer";
        case model::FoundState::InUse: return "in use by another program";
        case model::FoundState::CannotOpen: return "cannot open";
    }
    return "";
}

const char* OfferText(model::PinOffer offer) {
    switch (offer) {
        case model::PinOffer::Unknown: return "";
        case model::PinOffer::Button: return "button";
        case model::PinOffer::Switch: return "switch";
        case model::PinOffer::Encoder: return "encoder";
    }
    return "";
}

std::string LearnStatusText(const model::LearnView& l) {
    std::string text;
    switch (l.status) {
        case model::LearnStatus::None: break;
        case model::LearnStatus::Configuring: text = "configuring the board"; break;
        case model::LearnStatus::Working: text = "working the board"; break;
        case model::LearnStatus::RefusedLight: text = "the board refused to light those pins: " + l.detail; break;
        case model::LearnStatus::NoHello: text = "no hello from the board"; break;
        case model::LearnStatus::OtherBoard:
            text = "the board on " + l.port + " is named " + l.detail + ", not " + l.board;
            break;
        case model::LearnStatus::NotTaken: text = "the board did not take the Learn configuration"; break;
        case model::LearnStatus::InUse: text = "in use by another program"; break;
        case model::LearnStatus::CannotOpen: text = "cannot open"; break;
    }
    return l.ended ? text + "; Learn ended" : text;
}

std::string NetText(const model::NetRange& net) {
    return platform::FormatIpv4(net.address) + "/" + std::to_string(net.bits);
}

std::string SetupFrame(const model::SetupSnapshot& s, const std::vector<PendingAsk>& asks, std::int64_t nowMs) {
    json::object o;
    o["t"] = "setup";
    o["v"] = s.version;
    json::array boards;
    for (const model::BoardView& b : s.boards)
        boards.push_back(json::object{{"name", S(b.name)}, {"port", S(b.port)}, {"state", S(BoardStateText(b))},
                                      {"version", b.version}, {"bad", b.badLines}, {"last", S(b.lastInput)}});
    o["boards"] = std::move(boards);
    o["finding"] = s.finding;
    json::array found;
    for (const model::FoundPort& f : s.found)
        found.push_back(
            json::object{{"port", S(f.port)}, {"state", FoundStateText(f.state)}, {"name", S(f.name)}, {"version", f.version}});
    o["found"] = std::move(found);
    json::array pins;
    for (const model::LearnPin& p : s.learn.pins)
        pins.push_back(json::object{{"pin", p.pin}, {"closed", p.closed}, {"changes", p.changes},
                                    {"offer", OfferText(p.offer)}, {"pair", p.pairPin},
                                    {"a", p.encoderA}});
    json::array unwatched;
    for (const int pin : s.learn.unwatched) unwatched.emplace_back(pin);
    o["learn"] = json::object{{"board", S(s.learn.board)}, {"status", S(LearnStatusText(s.learn))}, {"pins", std::move(pins)},
                              {"unwatched", std::move(unwatched)}};
    json::array entries;
    for (const model::FileEntry& e : s.file.entries) {
        json::array values;
        for (const std::string& v : e.values) values.push_back(S(v));
        entries.push_back(json::object{{"n", e.index}, {"keyword", S(e.keyword)}, {"values", std::move(values)},
                                       {"line", e.line}, {"board", e.board}});
    }
    o["file"] = json::object{{"path", S(s.file.path)}, {"text", S(WithoutMark(s.file.text))},
                             {"revision", S(s.file.revision)}, {"entries", std::move(entries)}};
    o["control"] = Nets(s.control);
    o["setup"] = Nets(s.setup);
    json::array pending;
    for (const PendingAsk& a : asks)
        pending.push_back(json::object{{"id", a.id}, {"address", platform::FormatIpv4(a.address)},
                                       {"code", a.code}, {"age", (nowMs - a.askedMs) / 1000}});
    o["asks"] = std::move(pending);
    return json::serialize(o);
}

std::string NamesFrame(const model::Catalog& catalog) {
    json::array controls;
    std::vector<int> seen;
    const auto add = [&](const char* panel, const platform::ControlTemplate& c) {
        const char* kind = BoardKind(c);
        const char* name = ControlNameOf(c.id);
        if (c.id == -1 || kind == nullptr || name == nullptr) return;
        for (const int id : seen)
            if (id == c.id) return;
        seen.push_back(c.id);
        controls.push_back(json::object{{"panel", panel}, {"id", c.id}, {"name", name}, {"kind", kind}});
    };
    const model::PanelInfo* extras = nullptr;
    for (std::size_t i = 0; i < catalog.panelCount; ++i) {
        const model::PanelInfo& panel = catalog.panels[i];
        if (panel.ownsCombinedExtras) extras = &panel;
        if (const platform::DialogTemplate* t = catalog.Template(panel.templateId))
            for (const platform::ControlTemplate& c : t->controls) add(panel.name, c);
    }
    // The combined window's own controls belong to the panel that owns them.
    if (const platform::DialogTemplate* t = catalog.Template(catalog.combinedTemplate); t != nullptr && extras)
        for (const platform::ControlTemplate& c : t->controls) add(extras->name, c);
    return json::serialize(json::object{{"t", "names"}, {"controls", std::move(controls)}});
}

std::string OutcomeFrame(const model::OutcomeView& o) {
    json::array context;
    for (const std::string& line : o.context) context.push_back(S(line));
    return json::serialize(json::object{{"t", "outcome"}, {"request", o.request}, {"ok", o.ok},
                                        {"message", S(o.message)}, {"line", o.line},
                                        {"disk", S(WithoutMark(o.diskText))}, {"from", o.contextFrom},
                                        {"context", std::move(context)}});
}

std::string PostedFrame(std::uint64_t id) { return "{\"t\":\"posted\",\"id\":" + std::to_string(id) + "}"; }

std::string AskedFrame(std::string_view code) { return "{\"t\":\"asked\",\"code\":" + JsonString(code) + "}"; }

std::string ControlFrame(bool on) { return std::string("{\"t\":\"control\",\"on\":") + (on ? "true" : "false") + "}"; }

}  // namespace web
