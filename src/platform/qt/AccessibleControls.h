#pragma once

// Drawn elements (a picture beside a caption, a label that acts when clicked) as the controls
// they stand for, for assistive tools: a role, a name, a checked state and a click as action.

#include <QAccessible>

class QWidget;

namespace vexo {

class LinkLabel;

// Announces `widget` as a control of `role` (push button, radio button, check box or link)
// named by its accessible name, else its text; its action ("Press", and "Toggle" for a check
// box) is a click on it. A window whose property "inputBlocked" is true shows its controls as
// disabled and their actions do nothing.
void makeAccessibleControl(QWidget* widget, QAccessible::Role role);
// The checked state of an option or check box; tools are told when it changes.
void setAccessibleChecked(QWidget* widget, bool checked);
// A picture that only shows the state of the control beside it: tools are told it is not there.
void makeAccessibleDecoration(QWidget* widget);
// Announces the label's text, and each of its links as a child of role Link that LinkLabel
// describes (every LinkLabel does this for itself).
void makeAccessibleLinks(LinkLabel* label);
// Announces `widget` as what it stands for (a window, a progress bar, a picture that tells a
// state), named by its accessible name, with nothing to do on it and no value to change.
void makeAccessibleDisplay(QWidget* widget, QAccessible::Role role);

} // namespace vexo
