// The browser host with a set-up desk, for setup_socket.py: serves at
// 10.0.0.1:8080 (an address the test gives loopback) beside a stand-in for
// the program's set-up worker. The stand-in takes each request and publishes
// what a real one would for the control list: a save allowing a device
// grants it; "reload" forgets every grant; "find" publishes 200 times
// in about half a second. Runs until its input ends.
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "base/log.h"
#include "base/thread_owner.h"
#include "model/panel_model.h"
#include "model/setup_desk.h"
#include "panels/panel_table.h"
#include "platform/process.h"
#include "tests/support/netns_guard.h"
#include "web/allow_list.h"
#include "web/server.h"

namespace {

void FakeWorker(model::SetupDesk& desk) {
    for (model::SetupRequest request; desk.Take(&request);) {
        // "find": 200 changes in about half a second, as a busy Learn gives
        for (int i = 0; request.kind == model::SetupRequest::Kind::FindBoards && i < 200; ++i) {
            desk.Publish([i](model::SetupSnapshot& s) { s.finding = i < 199; });
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        desk.Publish([&request](model::SetupSnapshot& s) {
            if (request.kind == model::SetupRequest::Kind::ReloadFile) s.control.clear();
            for (const model::FileChange& change : request.changes)
                if (change.kind == model::FileChange::Kind::AllowDevice) s.control.push_back(change.net);
            s.file.revision = "r" + std::to_string(request.id + 1);
        });
        desk.Answer(model::OutcomeView{request.id, true, "saved by " + request.from, 0, "", 0, {}});
    }
}

}  // namespace

int main() {
    testsupport::RequirePrivateNetworkNamespace();
    StartLog("setup_host.log");
    static model::Catalog catalog;
    if (!panels::LoadPanelCatalog(&catalog)) return 2;
    static model::PanelModel panels(catalog);
    static model::SetupDesk desk;
    desk.Publish([](model::SetupSnapshot& s) {
        s.file.revision = "r1";
        s.setup = {{0x0A000003, 32}};  // websetup 10.0.0.3
    });
    web::ServerConfig config;
    config.address = 0x0A000001;
    config.port = 8080;
    config.panels.model = &panels;
    config.setup = &desk;
    static ThreadOwner threads;
    std::string error;
    if (!web::StartWebServer(threads, config, &error)) {
        std::fprintf(stderr, "cannot serve: %s\n", error.c_str());
        return 2;
    }
    std::thread(FakeWorker, std::ref(desk)).detach();
    std::puts("ready");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    desk.Interrupt();
    platform::ExitProcess(0);  // the server's thread is never joined
}
