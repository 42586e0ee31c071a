// Dialogs from templates: unit conversion, font, control geometry and kinds,
// what clicks report, writes from other threads, closed dialogs.
#include "host_test_support.h"

#include "platform/qt/check_box.h"
#include "platform/qt/controls.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/gui_call.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QThread>

#include <atomic>
#include <chrono>
#include <thread>

using namespace hosttest;
using platform::DialogMsgKind;
using platform::qthost::BaseUnits;

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero) {
    struct Case { int a, b, c, expected; };
    const Case cases[] = {{3, 6, 4, 5}, {5, 6, 4, 8}, {7, 13, 8, 11}, {-3, 6, 4, -5},
                          {225, 7, 4, 394}, {150, 13, 8, 244}, {0, 7, 4, 0}, {1, 1, 0, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(platform::qthost::MulDivRound(c.a, c.b, c.c), c.expected)
            << c.a << "*" << c.b << "/" << c.c;
}

TEST(DialogUnits, RectConvertsEachValueOnItsOwn) {
    const QRect r = platform::qthost::DialogRectToPixels(10, 20, 31, 14, BaseUnits{6, 13});
    EXPECT_EQ(r, QRect(15, 33, 47, 23));  // 15, 32.5, 46.5, 22.75 rounded
}

TEST(DialogUnits, BaseUnitsComeFromTheAlphabetNotTheAverageWidth) {
    const QFont font = platform::qthost::DialogFont();
    const BaseUnits units = platform::qthost::DialogBaseUnits(font);
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(units.width, (alphabet / 26 + 1) / 2);
    EXPECT_EQ(units.height, metrics.height());
    // A compact 8-point dialog font: sane units, whatever the machine.
    EXPECT_GE(units.width, 5);
    EXPECT_LE(units.width, 8);
    EXPECT_GE(units.height, 11);
    EXPECT_LE(units.height, 15);
}

TEST(DialogFont, ResolvesToDejaVuSans) {
    const QString family = platform::qthost::DialogFontFamily();
    ASSERT_FALSE(family.isEmpty()) << "no fonts installed: text would draw as boxes";
    EXPECT_EQ(family.toStdString(), "DejaVu Sans");
}

TEST_F(HostTest, ControlsSitWhereTheTemplateSaysAndNeverTakeFocus) {
    const platform::DialogTemplate* t = hosttest::TestTemplate(kTestTemplate);
    ASSERT_NE(t, nullptr);
    auto* dw = DialogWidget();
    ASSERT_NE(dw, nullptr);
    const BaseUnits units = platform::qthost::DialogBaseUnits(dw->font());
    const int edge = dw->frameWidth();
    EXPECT_EQ(edge, 1);  // the static edge
    EXPECT_EQ(dw->font().family().toStdString(), "DejaVu Sans");
    EXPECT_EQ(dw->pos(), QPoint(0, 0));
    EXPECT_EQ(dw->size(), platform::qthost::DialogRectToPixels(0, 0, 150, 90, units).size() +
                              QSize(2, 2));
    EXPECT_EQ(FrameWidget()->size(), dw->size());  // fitted
    ASSERT_EQ(dw->Items().size(), t->controls.size());
    for (std::size_t i = 0; i < t->controls.size(); ++i) {
        const platform::ControlTemplate& c = t->controls[i];
        QWidget* w = dw->Items()[i].widget;
        SCOPED_TRACE(c.id);
        EXPECT_EQ(w->geometry(),
                  platform::qthost::DialogRectToPixels(c.x, c.y, c.width, c.height, units)
                      .translated(edge, edge));
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus);
        for (QWidget* child : w->findChildren<QWidget*>()) EXPECT_EQ(child->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(w->isVisibleTo(dw), c.id != kUpDownHidden);
    }
    EXPECT_NE(dynamic_cast<QGroupBox*>(dw->Items()[0].widget), nullptr);
    EXPECT_EQ(dw->children().first(), dw->Items()[0].widget);  // behind the others
    EXPECT_NE(dynamic_cast<platform::qthost::LeftTextCheckBox*>(Control(kCheckBox)), nullptr);
    EXPECT_NE(dynamic_cast<QPushButton*>(Control(kPushButton)), nullptr);
    struct Field { int id; Qt::Alignment align; bool framed; };
    for (const Field f : {Field{kValueField, Qt::AlignRight, true}, Field{kNotifyField, Qt::AlignRight, true},
                          Field{kCentredField, Qt::AlignHCenter, true}}) {
        auto* label = dynamic_cast<QLabel*>(Control(f.id));
        ASSERT_NE(label, nullptr) << f.id;
        EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, f.align) << f.id;
        EXPECT_EQ(label->frameWidth() > 0, f.framed) << f.id;
    }
    ASSERT_FALSE(dialogMsgs.empty());
    EXPECT_EQ(dialogMsgs.front().kind, DialogMsgKind::Init);
}

TEST_F(HostTest, CheckBoxToggledAtItsIndicatorReportsACommand) {
    ShowAndFocus();
    auto* box = dynamic_cast<platform::qthost::LeftTextCheckBox*>(Control(kCheckBox));
    ASSERT_NE(box, nullptr);
    const QRect indicator = box->IndicatorRect();
    EXPECT_GT(indicator.left(), box->width() / 2);  // the text stands left of the box
    for (bool expected : {true, false}) {
        dialogMsgs.clear();
        QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
        EXPECT_EQ(dialog->GetItemCheck(kCheckBox), expected);
        EXPECT_EQ(Count(DialogMsgKind::Command, kCheckBox), 1);
    }
    dialog->SetItemCheck(kCheckBox, true);  // a write is no click
    EXPECT_TRUE(dialog->GetItemCheck(kCheckBox));
    EXPECT_EQ(Count(DialogMsgKind::Command, kCheckBox), 1);
}

TEST_F(HostTest, UpDownArrowsReportTheWindowsSign) {
    ShowAndFocus();
    struct Case { int id; QPoint at; int delta; const char* arrow; };
    auto spot = [this](int id, double fx, double fy) {
        QWidget* w = Control(id);
        return QPoint(int(w->width() * fx), int(w->height() * fy));
    };
    const Case cases[] = {
        {kUpDownVertical, spot(kUpDownVertical, 0.5, 0.25), -1, "up"},
        {kUpDownVertical, spot(kUpDownVertical, 0.5, 0.75), +1, "down"},
        {kUpDownHorizontal, spot(kUpDownHorizontal, 0.75, 0.5), -1, "right"},
        {kUpDownHorizontal, spot(kUpDownHorizontal, 0.25, 0.5), +1, "left"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arrow);
        dialogMsgs.clear();
        QWidget* arrow = Control(c.id)->childAt(c.at);
        ASSERT_NE(arrow, nullptr);
        QTest::mouseClick(arrow, Qt::LeftButton);
        ASSERT_EQ(dialogMsgs.size(), 1u);
        EXPECT_EQ(dialogMsgs[0].kind, DialogMsgKind::DeltaPos);
        EXPECT_EQ(dialogMsgs[0].controlId, c.id);
        EXPECT_EQ(dialogMsgs[0].delta, c.delta);
    }
    // Held down, the arrow repeats.
    dialogMsgs.clear();
    QWidget* up = Control(kUpDownVertical)->childAt(cases[0].at);
    QTest::mousePress(up, Qt::LeftButton);
    QTest::qWait(800);
    QTest::mouseRelease(up, Qt::LeftButton);
    EXPECT_GE(Count(DialogMsgKind::DeltaPos, kUpDownVertical), 3);
    for (const platform::DialogMsg& m : dialogMsgs) EXPECT_EQ(m.delta, -1);
}

TEST_F(HostTest, ClicksOnFieldsAndButtons) {
    ShowAndFocus();
    struct Case { int id; int commands; };
    for (const Case c : {Case{kNotifyField, 1}, Case{kValueField, 0}, Case{kCentredField, 0},
                         Case{kPushButton, 1}}) {
        dialogMsgs.clear();
        QTest::mouseClick(Control(c.id), Qt::LeftButton);
        EXPECT_EQ(Count(DialogMsgKind::Command, c.id), c.commands) << c.id;
        EXPECT_EQ(dialogMsgs.size(), std::size_t(c.commands)) << c.id;
    }
}

TEST_F(HostTest, TextAndCheckRoundTripAndMissingIdsDoNothing) {
    dialog->SetItemText(kValueField, " 12345 ");
    EXPECT_EQ(Text(kValueField), " 12345 ");
    EXPECT_EQ(static_cast<QLabel*>(Control(kValueField))->text().toStdString(), " 12345 ");
    dialog->SetItemText(kCheckBox, "Armed");
    EXPECT_EQ(Text(kCheckBox), "Armed");
    char small[4];
    EXPECT_EQ(dialog->GetItemText(kValueField, small, sizeof small), 3u);
    EXPECT_STREQ(small, " 12");
    dialog->SetItemText(9999, "x");
    dialog->SetItemText(-1, "x");  // labels are never addressed
    dialog->SetItemCheck(kValueField, true);
    EXPECT_EQ(Text(9999), "");
    EXPECT_EQ(Text(-1), "");
    EXPECT_FALSE(dialog->GetItemCheck(9999));
    EXPECT_FALSE(dialog->GetItemCheck(kValueField));
    dialog->SetItemCheck(kCheckBox, true);
    const std::string dump = platform::DumpDialogs();
    EXPECT_NE(dump.find("101 1001  12345 |0\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("101 1003 Armed|1\n"), std::string::npos) << dump;
}

TEST_F(HostTest, WritesFromAnotherThreadRunOnTheGuiThreadWhileTheCallerWaits) {
    std::atomic<bool> finished{false};
    std::atomic<QThread*> ranOn{nullptr};
    QObject::connect(static_cast<QCheckBox*>(Control(kCheckBox)), &QCheckBox::toggled,
                     [&ranOn] { ranOn = QThread::currentThread(); });
    std::string readBack;
    bool checkBack = false;
    std::thread writer([&] {
        dialog->SetItemText(kValueField, "from thread");
        dialog->SetItemCheck(kCheckBox, true);
        char buf[32];
        dialog->GetItemText(kValueField, buf, sizeof buf);
        readBack = buf;
        checkBack = dialog->GetItemCheck(kCheckBox);
        finished = true;
    });
    // Without the GUI loop turning, the writer cannot get on.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(finished.load());
    EXPECT_EQ(Text(kValueField), "");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!finished && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    writer.join();
    EXPECT_TRUE(finished.load());
    EXPECT_EQ(readBack, "from thread");
    EXPECT_TRUE(checkBack);
    EXPECT_EQ(ranOn.load(), QCoreApplication::instance()->thread());
}

TEST(GuiCall, ManyThreadsEachWaitForTheirOwnCall) {
    platform::qthost::PrepareGuiCalls();
    std::atomic<int> done{0};
    std::atomic<int> onGui{0};
    QThread* gui = QCoreApplication::instance()->thread();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                int value = 0;
                platform::qthost::RunOnGuiThread([&] {
                    value = 1;
                    if (QThread::currentThread() == gui) ++onGui;
                });
                EXPECT_EQ(value, 1);  // ran before the call returned
            }
            ++done;
        });
    while (done < 4) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(onGui.load(), 200);
}

TEST_F(HostTest, AClosedDialogIgnoresEverything) {
    dialog->SetItemText(kValueField, "before");
    platform::DestroyFrame(frame);
    for (int pass = 0; pass < 2; ++pass) {  // before and after the widgets are deleted
        SCOPED_TRACE(pass);
        dialog->SetItemText(kValueField, "after");
        dialog->SetItemCheck(kCheckBox, true);
        EXPECT_EQ(Text(kValueField), "");
        EXPECT_FALSE(dialog->GetItemCheck(kCheckBox));
        dialog->FocusHost();
        platform::ShowDialog(dialog, true);
        platform::FitFrameToDialog(frame, dialog);
        EXPECT_EQ(platform::DumpDialogs().find("101 1001"), std::string::npos);
        RunInThread([this] { dialog->SetItemText(kValueField, "thread"); });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(platform::CreateDialogFromTemplate(frame, hosttest::TestTemplate(kTestTemplate), RecordDialog), nullptr);
}

// A write that leaves a control as it is must not wait for the GUI thread,
// which may be busy; one that changes it must still get through, including
// after a click has changed a box behind the writer's back.
TEST_F(HostTest, OnlyWritesThatChangeAControlWaitForTheGuiThread) {
    dialog->SetItemText(kValueField, "same");
    dialog->SetItemCheck(kCheckBox, true);
    std::atomic<bool> finished{false};
    std::thread writer([&] {
        dialog->SetItemText(kValueField, "same");
        dialog->SetItemCheck(kCheckBox, true);
        dialog->SetItemText(9999, "x");  // ids the dialog lacks change nothing either
        dialog->SetItemCheck(-1, true);
        finished = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!finished && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(finished.load()) << "an unchanged write waited for the GUI thread";
    while (!finished) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);  // let it go
    writer.join();

    static_cast<QCheckBox*>(Control(kCheckBox))->click();  // as the user would
    ASSERT_FALSE(dialog->GetItemCheck(kCheckBox));
    RunInThread([this] {
        dialog->SetItemCheck(kCheckBox, true);
        dialog->SetItemText(kValueField, "new");
    });
    EXPECT_TRUE(dialog->GetItemCheck(kCheckBox));
    EXPECT_EQ(Text(kValueField), "new");
}
