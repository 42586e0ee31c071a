#include "tests/e2e_gui/probe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cstdio>
#include <cstdlib>

#include "platform/qt/check_box.h"
#include "platform/qt/dialog_widget.h"
#include "platform/qt/frame_widget.h"
#include "platform/qt/up_down.h"

namespace e2egui {

void NodeLog::Poll() {
    std::FILE* file = std::fopen(path_.c_str(), "rb");
    if (file == nullptr) return;
    if (std::fseek(file, offset_, SEEK_SET) == 0) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) {
            offset_ += static_cast<long>(n);
            partial_.append(buf, n);
        }
    }
    std::fclose(file);
    std::size_t end;
    while ((end = partial_.find('\n')) != std::string::npos) {
        lines_.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
}

int NodeLog::Count(const std::string& line) {
    Poll();
    int count = 0;
    for (const std::string& l : lines_)
        if (l == line) ++count;
    return count;
}

std::string NodeLog::Tail(std::size_t lines) {
    Poll();
    std::string text;
    for (std::size_t i = lines_.size() > lines ? lines_.size() - lines : 0; i < lines_.size(); ++i)
        text += lines_[i] + "\n";
    return text;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (done()) return true;
        if (clock.elapsed() > timeoutMs) return false;
        QTest::qWait(100);
    }
}

bool HoldsFor(const std::function<bool()>& holds, int ms) {
    return !WaitUntil([&] { return !holds(); }, ms);
}

std::string Text(platform::Dialog* dialog, int id) {
    char buf[256];
    dialog->GetItemText(id, buf, sizeof buf);
    return buf;
}

bool Checked(platform::Dialog* dialog, int id) { return dialog->GetItemCheck(id); }

int ShownNumber(platform::Dialog* dialog, int id) {
    const std::string text = Text(dialog, id);
    std::size_t i = text.find_first_not_of(' ');
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

double ShownReal(platform::Dialog* dialog, int id) { return std::atof(Text(dialog, id).c_str()); }

bool HasControl(platform::Dialog* dialog, int id) {
    platform::qthost::DialogWidget* widget = platform::qthost::DialogWidgetOf(dialog);
    return widget != nullptr && widget->Item(id) != nullptr;
}

std::string Format(const char* format, int value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

namespace {

QWidget* VisibleControl(platform::Dialog* dialog, int id, platform::ControlKind* kind) {
    platform::qthost::DialogWidget* widget = platform::qthost::DialogWidgetOf(dialog);
    const platform::qthost::DialogItem* item = widget != nullptr ? widget->Item(id) : nullptr;
    if (item == nullptr || !item->widget->isVisible()) return nullptr;
    *kind = item->kind;
    return item->widget;
}

}  // namespace

bool Click(platform::Dialog* dialog, int id) {
    platform::ControlKind kind;
    QWidget* control = VisibleControl(dialog, id, &kind);
    if (control == nullptr || kind == platform::ControlKind::UpDown) return false;
    QPoint at = control->rect().center();
    if (auto* box = dynamic_cast<platform::qthost::LeftTextCheckBox*>(control))
        at = box->IndicatorRect().center();
    QTest::mouseClick(control, Qt::LeftButton, {}, at);
    return true;
}

bool ClickArrow(platform::Dialog* dialog, int id, bool up) {
    platform::ControlKind kind;
    auto* control = dynamic_cast<platform::qthost::UpDown*>(VisibleControl(dialog, id, &kind));
    if (control == nullptr) return false;
    QWidget* arrow = up ? control->Decrease() : control->Increase();
    QTest::mouseClick(arrow, Qt::LeftButton, {}, arrow->rect().center());
    return true;
}

void TypeKey(platform::Frame* frame, int qtKey) {
    QWidget* widget = platform::qthost::FrameWidgetOf(frame);
    if (widget == nullptr || widget->windowHandle() == nullptr) return;
    QTest::keyClick(widget->windowHandle(), static_cast<Qt::Key>(qtKey));
}

bool HasFocus(platform::Frame* frame) {
    QWidget* widget = platform::qthost::FrameWidgetOf(frame);
    return widget != nullptr && QApplication::focusWidget() == widget && widget->hasFocus();
}

bool Checker::Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (ok) return true;
    if (failures_++ == 0) {
        std::printf("--- simulator, last lines\n%s", node_->Tail(25).c_str());
        std::printf("--- controls\n%s", platform::DumpDialogs().c_str());
        QWidget* focus = QApplication::focusWidget();
        std::printf("--- focus: %s\n",
                    focus != nullptr ? focus->window()->windowTitle().toLatin1().constData() : "none");
    }
    std::fflush(stdout);
    return false;
}

bool Checker::WaitForSet(const std::string& line, int before, int timeoutMs) {
    return Wait([&] { return node_->Count(line) > before; }, timeoutMs,
                "the simulator prints \"" + line + "\"");
}

}  // namespace e2egui
