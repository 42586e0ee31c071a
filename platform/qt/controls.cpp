#include "platform/qt/controls.h"

#include "platform/qt/check_box.h"
#include "platform/qt/up_down.h"

#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace platform::qthost {
namespace {

Qt::Alignment HorizontalAlignment(TextAlign align) {
    switch (align) {
        case TextAlign::Center: return Qt::AlignHCenter;
        case TextAlign::Right: return Qt::AlignRight;
        case TextAlign::Left: break;
    }
    return Qt::AlignLeft;
}

// A static text; a notify one reports a left click as a command.
class StaticText : public QLabel {
public:
    StaticText(int id, bool notify, ControlSink sink, QWidget* parent)
        : QLabel(parent), id_(id), notify_(notify), sink_(std::move(sink)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (notify_ && event->button() == Qt::LeftButton) {
            sink_(DialogMsg{DialogMsgKind::Command, id_, 0, 0});
            event->accept();
            return;
        }
        QLabel::mousePressEvent(event);
    }

private:
    int id_;
    bool notify_;
    ControlSink sink_;
};

QWidget* BuildStatic(const ControlTemplate& record, const ControlSink& sink, QWidget* parent) {
    auto* label = new StaticText(record.id, record.Notify(), sink, parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromLatin1(record.text.c_str()));
    const Qt::Alignment horizontal = HorizontalAlignment(record.Align());
    if (record.kind == ControlKind::ValueField) {
        // Fields change three times a second: filling their own background
        // makes them opaque, so a new value repaints the field alone and not
        // the group box and dialog beneath it.
        label->setAutoFillBackground(true);
        label->setAlignment(horizontal | Qt::AlignVCenter);
        if (record.Bordered()) {
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setLineWidth(1);
            label->setIndent(2);
        }
    } else {
        // Labels wrap at word breaks and start at the top, as statics do.
        label->setAlignment(horizontal | Qt::AlignTop);
        label->setWordWrap(true);
    }
    return label;
}

QWidget* BuildCheckBox(const ControlTemplate& record, const ControlSink& sink, QWidget* parent) {
    QCheckBox* box = record.LeftText() ? new LeftTextCheckBox(parent) : new QCheckBox(parent);
    box->setText(QString::fromLatin1(record.text.c_str()));
    box->setAutoFillBackground(true);  // opaque, as the value fields
    const int id = record.id;
    // An automatic check box has toggled itself by the time clicked() comes.
    QObject::connect(box, &QAbstractButton::clicked, box,
                     [sink, id] { sink(DialogMsg{DialogMsgKind::Command, id, 0, 0}); });
    return box;
}

QWidget* BuildPushButton(const ControlTemplate& record, const ControlSink& sink, QWidget* parent) {
    auto* button = new QPushButton(QString::fromLatin1(record.text.c_str()), parent);
    button->setAutoDefault(false);
    const int id = record.id;
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [sink, id] { sink(DialogMsg{DialogMsgKind::Command, id, 0, 0}); });
    return button;
}

QWidget* BuildUpDown(const ControlTemplate& record, const ControlSink& sink, QWidget* parent) {
    const int id = record.id;
    return new UpDown(
        record.Horizontal(),
        [sink, id](int delta) { sink(DialogMsg{DialogMsgKind::DeltaPos, id, delta, 0}); }, parent);
}

}  // namespace

QWidget* BuildControl(const ControlTemplate& record, const QRect& geometry, QWidget* parent,
                      const ControlSink& sink) {
    QWidget* control = nullptr;
    switch (record.kind) {
        case ControlKind::Label:
        case ControlKind::ValueField: control = BuildStatic(record, sink, parent); break;
        case ControlKind::CheckBox: control = BuildCheckBox(record, sink, parent); break;
        case ControlKind::PushButton: control = BuildPushButton(record, sink, parent); break;
        case ControlKind::UpDown: control = BuildUpDown(record, sink, parent); break;
        case ControlKind::GroupBox:
            control = new QGroupBox(QString::fromLatin1(record.text.c_str()), parent);
            break;
    }
    control->setFocusPolicy(Qt::NoFocus);
    control->setGeometry(geometry);
    if (record.kind == ControlKind::GroupBox) control->lower();  // a frame behind the others
    control->setVisible(record.Visible());
    return control;
}

void SetControlText(QWidget* control, ControlKind kind, const QString& text) {
    switch (kind) {
        case ControlKind::Label:
        case ControlKind::ValueField: {
            auto* label = static_cast<QLabel*>(control);
            if (label->text() != text) label->setText(text);  // spare the repaint
            break;
        }
        case ControlKind::CheckBox:
        case ControlKind::PushButton: {
            auto* button = static_cast<QAbstractButton*>(control);
            if (button->text() != text) button->setText(text);
            break;
        }
        case ControlKind::GroupBox: static_cast<QGroupBox*>(control)->setTitle(text); break;
        case ControlKind::UpDown: break;
    }
}

QString ControlText(const QWidget* control, ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
        case ControlKind::ValueField: return static_cast<const QLabel*>(control)->text();
        case ControlKind::CheckBox:
        case ControlKind::PushButton: return static_cast<const QAbstractButton*>(control)->text();
        case ControlKind::GroupBox: return static_cast<const QGroupBox*>(control)->title();
        case ControlKind::UpDown: break;
    }
    return QString();
}

void SetControlCheck(QWidget* control, ControlKind kind, bool checked) {
    if (kind == ControlKind::CheckBox) static_cast<QCheckBox*>(control)->setChecked(checked);
}

bool ControlCheck(const QWidget* control, ControlKind kind) {
    return kind == ControlKind::CheckBox && static_cast<const QCheckBox*>(control)->isChecked();
}

}  // namespace platform::qthost
