#include "app/web_start.h"

#include <string>

#include "base/log.h"
#include "base/settings.h"
#include "link/link_state.h"
#include "model/panel_model.h"
#include "platform/ipv4.h"
#include "platform/window.h"
#include "web/server.h"

void StartWebPanels(ThreadOwner& threads, model::PanelModel& model, model::SetupDesk* setup,
                    const std::function<void(platform::Frame*, const char*, const char*)>& messageBox) {
    if (Settings.webPort == 0) return;
    web::ServerConfig config;
    // The link's own address, never every interface; without one the
    // server does not start (0.0.0.0 would be every interface).
    std::uint32_t address = 0;
    platform::ParseIpv4(selectedIp, &address);
    config.address = address;
    config.port = static_cast<std::uint16_t>(Settings.webPort);
    for (int i = 0; i < Settings.webNameCount; ++i) config.names.emplace_back(Settings.webName[i]);
    // With a desk, its grants are the only ones from start-up on (seeded
    // before the server starts): the settings' copy would be a second source.
    for (int i = 0; setup == nullptr && i < Settings.webControlCount; ++i)
        config.allowed.push_back(web::AllowedNet{Settings.webControlAddress[i], Settings.webControlBits[i]});
    for (int i = 0; setup == nullptr && i < Settings.webSetupCount; ++i)
        config.setupNets.push_back(web::AllowedNet{Settings.webSetupAddress[i], Settings.webSetupBits[i]});
    std::string error;
    config.panels.model = &model;
    config.setup = setup;
    const std::string where = platform::FormatIpv4(address) + ":" + std::to_string(Settings.webPort);
    if (address == 0) {
        error = "no address of the link's own";
    } else if (web::StartWebServer(threads, config, &error)) {
        WriteLog(("Web panels at http://" + where + "/\n").c_str());
        return;
    }
    WriteLog(("Web panels: cannot listen on " + where + ": " + error + "\n").c_str());
    // The windows go on; only the browsers go without.
    const std::string text = "TCP port " + std::to_string(Settings.webPort) + " cannot be used at " +
                             platform::FormatIpv4(address) + ": " + error +
                             ".\nThe panels are not served to browsers; the windows work as before.";
    if (messageBox) messageBox(nullptr, text.c_str(), "Port In Use");
}
