// The catalog: the generated control names agree with the parsed templates,
// and a script that does not parse is reported.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/catalog.h"
#include "resources/dialog_script.h"
#include "resources/resource.h"

namespace {

const model::PanelInfo kRows[] = {
    {"radios", "Radios", IDD_RADIOS, nullptr, nullptr, nullptr, 0, true},
};

TEST(CatalogTest, EveryAddressedControlHasOneGeneratedNameAndEveryNameAControl) {
    model::Catalog catalog;
    std::string error;
    ASSERT_TRUE(model::BuildCatalog(PanelDialogScript(), kRows, 1, IDD_BIGWIN, &catalog, &error)) << error;
    std::set<int> ids;
    std::set<std::string> names;
    for (const model::ControlName& n : model::ControlNames()) {
        EXPECT_TRUE(names.insert(n.name).second) << n.name;
        EXPECT_TRUE(ids.insert(n.id).second) << n.name;
        EXPECT_NE(catalog.Control(n.id), nullptr) << n.name << " names no control of the templates";
        EXPECT_EQ(model::ControlIdByName(n.name), n.id);
        EXPECT_EQ(std::string(n.name).find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << n.name;
    }
    for (const platform::DialogTemplate& t : catalog.templates) {
        for (const platform::ControlTemplate& c : t.controls) {
            if (c.id != -1) {
                EXPECT_EQ(ids.count(c.id), 1u) << "control " << c.id << " of template " << t.id;
            }
        }
    }
    EXPECT_EQ(model::ControlIdByName("com1_active"), IDC_COM1_ACTIVE);
    EXPECT_EQ(model::ControlIdByName("IDC_COM1_ACTIVE"), -1);
    EXPECT_EQ(model::ControlIdByName(""), -1);
}

TEST(CatalogTest, ParseErrorsAndMissingTemplatesAreReportedAndLeaveNothingBuilt) {
    model::Catalog catalog;
    std::string error;
    EXPECT_FALSE(model::BuildCatalog("104 DIALOGEX 0, 0\nBEGIN", kRows, 1, IDD_BIGWIN, &catalog, &error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(model::BuildCatalog("", kRows, 1, IDD_BIGWIN, &catalog, &error));
    EXPECT_NE(error.find("radios"), std::string::npos);
    EXPECT_EQ(catalog.panelCount, 0u);
    EXPECT_EQ(catalog.Panel(0), nullptr);
}

}  // namespace
