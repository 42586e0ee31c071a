// The controls of a dialog, built from their template records.
#pragma once
#include "platform/dialog.h"
#include "platform/dialog_template.h"
#include "platform/qt/dialog_units.h"

#include <QString>
#include <QWidget>

#include <functional>

namespace platform::qthost {

// Where a control reports clicks and steps: a Command or DeltaPos message
// for the dialog procedure.
using ControlSink = std::function<void(const DialogMsg&)>;

// Builds the control of `record` as a child of `parent` at `geometry`
// (pixels). It never takes the keyboard focus.
QWidget* BuildControl(const ControlTemplate& record, const QRect& geometry, QWidget* parent,
                      const ControlSink& sink);

// Text and check state of a control built by BuildControl; controls without
// them read "" and false and ignore writes.
void SetControlText(QWidget* control, ControlKind kind, const QString& text);
QString ControlText(const QWidget* control, ControlKind kind);
void SetControlCheck(QWidget* control, ControlKind kind, bool checked);
bool ControlCheck(const QWidget* control, ControlKind kind);

}  // namespace platform::qthost
