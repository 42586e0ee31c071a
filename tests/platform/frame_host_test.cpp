// Frames: classes, placement and flags, close requests, left presses, keys
// and focus, destroyed handles, the message box.
#include "model/dialog_script.h"
#include "host_test_support.h"

#include "platform/qt/keys.h"

#include <QAbstractButton>

#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

using namespace hosttest;
using platform::FrameMsgKind;

namespace {
bool OtherProc(platform::Frame*, const platform::FrameMsg&) { return false; }
}  // namespace

TEST(FrameClass, RegistrationAndCreationFailures) {
    EXPECT_FALSE(platform::RegisterFrameClass("", RecordFrame));
    EXPECT_FALSE(platform::RegisterFrameClass(nullptr, RecordFrame));
    EXPECT_TRUE(platform::RegisterFrameClass("classtest", RecordFrame));
    EXPECT_TRUE(platform::RegisterFrameClass("classtest", RecordFrame));  // again, same proc
    EXPECT_FALSE(platform::RegisterFrameClass("classtest", OtherProc));
    EXPECT_EQ(platform::CreateFrame("unregistered", "x", 0, 0, 100, 100), nullptr);
    platform::Frame* frame = platform::CreateFrame("classtest", "x", 0, 0, 100, 100);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(hosttest::HandTestTemplates());
    EXPECT_EQ(platform::CreateDialogFromTemplate(frame, nullptr, RecordDialog), nullptr);
    EXPECT_EQ(platform::CreateDialogFromTemplate(nullptr, hosttest::TestTemplate(kTestTemplate), RecordDialog), nullptr);
    // A template without WS_VISIBLE starts hidden.
    platform::Dialog* plain =
        platform::CreateDialogFromTemplate(frame, hosttest::TestTemplate(kPlainTemplate), RecordDialog);
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(platform::qthost::DialogWidgetOf(plain)->isVisibleTo(platform::qthost::FrameWidgetOf(frame)));
    platform::ShowDialog(plain, true);
    EXPECT_TRUE(platform::qthost::DialogWidgetOf(plain)->isVisibleTo(platform::qthost::FrameWidgetOf(frame)));
    platform::DestroyFrame(frame);
}

TEST_F(HostTest, FrameIsAFixedWindowWithCloseAndMinimiseOnly) {
    QWidget* w = FrameWidget();
    EXPECT_EQ(w->objectName().toStdString(), "hosttest");
    EXPECT_EQ(w->windowTitle().toStdString(), "Host Test");
    EXPECT_EQ(platform::qthost::FindFrameWidget(QStringLiteral("Host Test")), w);
    EXPECT_EQ(w->frameGeometry().topLeft(), QPoint(30, 40));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());
    const Qt::WindowFlags flags = w->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(w->focusPolicy(), Qt::StrongFocus);
    EXPECT_FALSE(w->isVisible());
    platform::ShowFrame(frame, true);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(HostTest, CloseGoesToTheProcedureAndOnlyDestroyFrameEndsTheFrame) {
    ShowAndFocus();
    destroyOnClose = false;
    FrameWidget()->close();
    EXPECT_EQ(Count(FrameMsgKind::Close), 1);
    EXPECT_TRUE(platform::FrameExists(frame));
    EXPECT_TRUE(FrameWidget()->isVisible());
    destroyOnClose = true;
    QPointer<QWidget> widget = FrameWidget();
    widget->close();
    EXPECT_EQ(Count(FrameMsgKind::Close), 2);
    EXPECT_FALSE(platform::FrameExists(frame));
    EXPECT_FALSE(widget->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(widget.isNull());
    // The handle stays usable and everything on it does nothing.
    platform::ShowFrame(frame, true);
    platform::FocusFrame(frame);
    platform::DestroyFrame(frame);
    EXPECT_FALSE(platform::FrameExists(frame));
    EXPECT_EQ(Count(FrameMsgKind::Close), 2);
}

TEST_F(HostTest, EveryLeftPressIsReportedOnceAndKeysStillReachTheFrame) {
    ShowAndFocus();
    QWindow* window = FrameWidget()->windowHandle();
    // A label ignores the press, so Qt passes it on to its parents; an arrow
    // button sits two levels deep.
    QWidget* arrow = Control(kUpDownVertical)->childAt(2, 2);
    struct Target { QWidget* widget; QPoint at; };
    const Target targets[] = {{Control(kCheckBox), {3, 3}}, {Control(kNotifyField), {3, 3}},
                              {Control(kPushButton), {3, 3}}, {DialogWidget()->Items()[1].widget, {3, 3}},
                              {arrow, {2, 2}}, {DialogWidget(), {1, 1}}};
    for (const Target& t : targets) {
        SCOPED_TRACE(t.widget->metaObject()->className());
        frameMsgs.clear();
        QTest::mouseClick(t.widget, Qt::LeftButton, {}, t.at);
        EXPECT_EQ(Count(FrameMsgKind::LeftButtonDown), 1);
        QTest::mouseClick(t.widget, Qt::RightButton, {}, t.at);
        EXPECT_EQ(Count(FrameMsgKind::LeftButtonDown), 1);
        EXPECT_EQ(QApplication::focusWidget(), FrameWidget());
        QTest::keyClick(window, Qt::Key_A);
        ASSERT_EQ(frameMsgs.size(), 3u);
        EXPECT_EQ(frameMsgs[1].kind, FrameMsgKind::KeyDown);
        EXPECT_EQ(frameMsgs[1].keyCode, 'A');
        EXPECT_EQ(frameMsgs[2].kind, FrameMsgKind::KeyUp);
        EXPECT_EQ(frameMsgs[2].keyCode, 'A');
    }
}

TEST_F(HostTest, KeysArriveAsVirtualKeyCodes) {
    ShowAndFocus();
    QWindow* window = FrameWidget()->windowHandle();
    struct Case { Qt::Key key; Qt::KeyboardModifiers mods; int code; };
    const Case cases[] = {
        {Qt::Key_A, {}, 65}, {Qt::Key_Z, Qt::ShiftModifier, 90}, {Qt::Key_G, Qt::ControlModifier, 71},
        {Qt::Key_0, {}, 48}, {Qt::Key_9, {}, 57}, {Qt::Key_Exclam, Qt::ShiftModifier, 49},
        {Qt::Key_Left, {}, 37}, {Qt::Key_Up, {}, 38}, {Qt::Key_Right, Qt::ControlModifier, 39},
        {Qt::Key_Down, {}, 40}, {Qt::Key_F1, {}, 112}, {Qt::Key_F12, {}, 123},
        {Qt::Key_Control, {}, 17}, {Qt::Key_Shift, {}, 16}, {Qt::Key_Escape, {}, 27},
        {Qt::Key_Return, {}, 13}, {Qt::Key_Space, {}, 32}, {Qt::Key_Tab, {}, 9},
        {Qt::Key_5, Qt::KeypadModifier, 101}, {Qt::Key_Plus, Qt::KeypadModifier, 107},
        {Qt::Key_Minus, {}, 189},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(platform::qthost::VirtualKeyFromQt(c.key, c.mods), c.code);
        frameMsgs.clear();
        QTest::keyClick(window, c.key, c.mods);  // Shift and Control go down and up around it
        std::vector<platform::FrameMsg> own;
        for (const platform::FrameMsg& m : frameMsgs)
            if (m.keyCode == c.code || (m.keyCode != 16 && m.keyCode != 17)) own.push_back(m);
        ASSERT_EQ(own.size(), 2u);
        EXPECT_EQ(own[0].kind, FrameMsgKind::KeyDown);
        EXPECT_EQ(own[0].keyCode, c.code);
        EXPECT_EQ(own[1].kind, FrameMsgKind::KeyUp);
        EXPECT_EQ(own[1].keyCode, c.code);
    }
    EXPECT_EQ(platform::qthost::VirtualKeyFromQt(Qt::Key_Adiaeresis, {}), 0);
}

TEST_F(HostTest, AHeldKeyGivesRepeatedKeyDownsAndOneKeyUp) {
    ShowAndFocus();
    // As X11 reports it: press, (release, press) marked auto-repeat, release.
    struct Step { QEvent::Type type; bool repeat; };
    const Step steps[] = {{QEvent::KeyPress, false}, {QEvent::KeyRelease, true},
                          {QEvent::KeyPress, true},  {QEvent::KeyRelease, true},
                          {QEvent::KeyPress, true},  {QEvent::KeyRelease, false}};
    for (const Step& s : steps) {
        QKeyEvent event(s.type, Qt::Key_H, Qt::NoModifier, QStringLiteral("h"), s.repeat);
        QApplication::sendEvent(FrameWidget(), &event);
    }
    ASSERT_EQ(frameMsgs.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(frameMsgs[i].kind, FrameMsgKind::KeyDown);
    EXPECT_EQ(frameMsgs[3].kind, FrameMsgKind::KeyUp);
    for (const platform::FrameMsg& m : frameMsgs) EXPECT_EQ(m.keyCode, 'H');
    // A key-up the dialog itself receives goes to the dialog procedure.
    dialogMsgs.clear();
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_N, Qt::NoModifier);
    QApplication::sendEvent(DialogWidget(), &release);
    ASSERT_EQ(dialogMsgs.size(), 1u);
    EXPECT_EQ(dialogMsgs[0].kind, platform::DialogMsgKind::KeyUp);
    EXPECT_EQ(dialogMsgs[0].keyCode, 'N');
}

TEST_F(HostTest, FocusHostGivesTheFocusBackToTheFrame) {
    ShowAndFocus();
    QWidget other;
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    other.activateWindow();
    other.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    dialog->FocusHost();
    EXPECT_TRUE(QTest::qWaitForWindowActive(FrameWidget()));
    EXPECT_EQ(QApplication::focusWidget(), FrameWidget());
}

TEST_F(HostTest, MessageBoxWaitsForOkAndCarriesItsTitleOnScreen) {
    ShowAndFocus();
    FrameWidget()->move(32767, 32767);  // where `statusx 2147483647` ends up
    QString seenTitle, seenText;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(box->frameGeometry()))
            << box->frameGeometry().x() << "," << box->frameGeometry().y();
        seenTitle = box->windowTitle();
        seenText = box->text();
        EXPECT_EQ(box->parentWidget(), FrameWidget());
        EXPECT_EQ(box->buttons().size(), 1);
        box->button(QMessageBox::Ok)->click();
    });
    platform::MessageBoxOk(frame, "Unknown keyword: FOO", "Parameter Error");
    EXPECT_EQ(seenTitle.toStdString(), "Parameter Error");
    EXPECT_EQ(seenText.toStdString(), "Unknown keyword: FOO");
    EXPECT_FALSE(platform::ShiftKeyDown());
}
