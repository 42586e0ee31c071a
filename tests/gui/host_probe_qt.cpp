// The panel-window test probe on the Qt host (offscreen).
#include "host_probe.h"

#include "platform/qt/check_box.h"
#include "platform/qt/dialog_widget.h"
#include "platform/qt/frame_widget.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <cstdlib>

namespace probe {
namespace {

QWidget* FrameOf(platform::Frame* frame) { return platform::qthost::FrameWidgetOf(frame); }
QWidget* DialogOf(platform::Dialog* dialog) { return platform::qthost::DialogWidgetOf(dialog); }

const platform::qthost::DialogItem* ItemOf(platform::Dialog* dialog, int id) {
    auto* widget = platform::qthost::DialogWidgetOf(dialog);
    return widget != nullptr ? widget->Item(id) : nullptr;
}

}  // namespace

void PrepareHost() { setenv("QT_QPA_PLATFORM", "offscreen", 0); }

std::string Title(platform::Frame* f) { return FrameOf(f)->windowTitle().toStdString(); }
std::string ClassName(platform::Frame* f) { return FrameOf(f)->objectName().toStdString(); }
Point Place(platform::Frame* f) { return {FrameOf(f)->pos().x(), FrameOf(f)->pos().y()}; }
Point ClientSize(platform::Frame* f) { return {FrameOf(f)->width(), FrameOf(f)->height()}; }
Point DialogSize(platform::Dialog* d) { return {DialogOf(d)->width(), DialogOf(d)->height()}; }
Point DialogPlace(platform::Dialog* d) { return {DialogOf(d)->x(), DialogOf(d)->y()}; }
bool Shown(platform::Frame* f) { return FrameOf(f)->isVisible(); }
bool OnTop(platform::Frame* f) { return FrameOf(f)->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
bool DialogShown(platform::Dialog* d) { return DialogOf(d)->isVisibleTo(DialogOf(d)->parentWidget()); }

void CloseByUser(platform::Frame* frame) { FrameOf(frame)->close(); }

bool HasFocus(platform::Frame* frame) {
    QWidget* w = FrameOf(frame);
    return w != nullptr && QTest::qWaitForWindowActive(w) && QApplication::focusWidget() == w;
}

int RunLoop(const std::function<void()>& action, int timeoutMs) {
    QTimer start, stop;
    start.setSingleShot(true);
    stop.setSingleShot(true);
    QObject::connect(&start, &QTimer::timeout, action);
    QObject::connect(&stop, &QTimer::timeout, [] { QApplication::exit(kNoQuit); });
    start.start(0);
    stop.start(timeoutMs);
    return QApplication::exec();
}

void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

std::vector<int> ClickableControls(platform::Dialog* dialog) {
    std::vector<int> ids;
    for (const platform::qthost::DialogItem& item :
         platform::qthost::DialogWidgetOf(dialog)->Items()) {
        if (item.kind != platform::ControlKind::Label &&
            item.kind != platform::ControlKind::GroupBox && item.widget->isVisible())
            ids.push_back(item.id);
    }
    return ids;
}

void Click(platform::Dialog* dialog, int id) {
    const platform::qthost::DialogItem* item = ItemOf(dialog, id);
    QPoint at = item->widget->rect().center();
    if (auto* box = dynamic_cast<platform::qthost::LeftTextCheckBox*>(item->widget)) {
        at = box->IndicatorRect().center();
    } else if (item->kind == platform::ControlKind::UpDown) {
        const QRect r = item->widget->rect();
        at = r.width() > r.height() ? QPoint(r.width() * 3 / 4, r.height() / 2)
                                    : QPoint(r.width() / 2, r.height() / 4);
    }
    QWidget* target = item->widget;
    if (QWidget* arrow = target->childAt(at)) {  // the up-down's arrow button
        at = arrow->mapFrom(target, at);
        target = arrow;
    }
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
}

void TypeKey(platform::Frame* frame, int code) {
    QTest::keyClick(FrameOf(frame)->windowHandle(), static_cast<Qt::Key>(code));
}

}  // namespace probe
